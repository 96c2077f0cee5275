#pragma once

// Page movement through the image list: which picture a move command goes
// to, which picture partners it in a spread, the end-of-list actions, the
// shuffled order of random moves, and how the image cache takes part. The
// browser window carries out the resulting plan (showing a picture, opening
// the next folder, closing the picture, ending the program); TPageMover keeps
// the travel state between moves.

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "viewer/ViewOptions.h"

// The move commands, numbered as key bindings and mouse bindings store them.
enum class TMoveCommand : uint8_t {
    mcFirst,        // "最初のファイル"
    mcNext,         // "次のファイル"
    mcPrior,        // "前のファイル"
    mcOneNext,      // "ひとつ次のファイル"
    mcOnePrior,     // "ひとつ前のファイル"
    mcLast,         // "最後のファイル"
    mcJumpNext,     // "ジャンプ"
    mcJumpPrior,    // "前へジャンプ"
    mcRandomNext,   // "ランダム移動"
    mcRandomPrior,  // "前へランダム移動"
};
inline constexpr int MoveCommandCount = 10;

// The command's name in the key and mouse dialogs.
std::string MoveCommandName(TMoveCommand command);
// The browser action that carries the command out ("actNext", ...).
std::string MoveCommandAction(TMoveCommand command);

// A command from a key on a left-bound book may be swapped with its mirror
// image: right-bound books are read right to left, so the keys that mean
// "next" there can be made to mean "previous" here. Menus and the mouse are
// never swapped.
TMoveCommand ResolveMoveCommand(TMoveCommand command, bool fromKey, TBinding binding, const TViewScrollOptions& options);

// The four direction buttons of the image bar follow the binding, so that the
// left button always turns towards the left page.
enum class TImageBarButton : uint8_t { ibLeft, ibOneLeft, ibOneRight, ibRight };
TMoveCommand ImageBarCommand(TImageBarButton button, TBinding binding);

// The pages on screen: the page the last move arrived at and its partner
// (-1 when one page is shown).
struct TShownPair {
    int Primary = -1;
    int Partner = -1;
    bool HasPartner() const { return Partner >= 0; }
};

// Travel state of the viewer.
struct TTravelState {
    bool TravelBackward = false;   // after a backward move the partner lies below
    std::vector<int> RandomOrder;  // shuffled list indexes of random moves
    int RandomPosition = -1;       // position in RandomOrder; -1: no random order active
    bool RandomActive() const { return RandomPosition >= 0; }
};

enum class TMoveOutcome : uint8_t {
    moNothing,      // the view stays as it is
    moShow,         // show Index
    moNextFolder,   // open the next folder or archive
    moPriorFolder,  // open the previous folder or archive
    moClose,        // close the picture
    moExit,         // end the program
};

struct TMovePlan {
    TMoveOutcome Outcome = TMoveOutcome::moNothing;
    int Index = -1;               // the new primary picture (moShow)
    bool TravelBackward = false;  // travel direction after the move
    bool DirectionChanged = false;  // the slots exchange roles; the cache is told
    bool StopCache = false;       // the cache thread is stopped first
    bool FromCache = false;       // pictures come from the cache (created when missing)
    bool RandomMove = false;      // the partner and prefetching follow RandomOrder
    bool SubFolderFirst = false;  // moNextFolder: enter a sub-folder first
    // One-page steps pass the shown pages through the cache's queues
    // instead of loading them again: RouteAhead goes to the head of the
    // queue ahead, RouteBehind to the head of the queue behind.
    int RouteAhead = -1;
    int RouteBehind = -1;
};

class TPageMover {
public:
    // random draws the shuffles of random moves; by default a generator
    // seeded from the clock each time an order is built.
    using TRandomSource = std::function<uint32_t()>;
    explicit TPageMover(TRandomSource random = nullptr);

    void SetOptions(const TViewMoveOptions& options) { fOptions = options; }
    const TViewMoveOptions& Options() const { return fOptions; }
    // "FirstImage": the first picture of the list always stands alone.
    void SetFirstImageAlone(bool on) { fFirstImageAlone = on; }

    const TTravelState& Travel() const { return fTravel; }
    bool TravelBackward() const { return fTravel.TravelBackward; }
    // A new list or a closed picture: forward, no random order.
    void Reset();

    // Plans a move from the shown pair in a list of count pictures and
    // updates the travel state; a move that ends in moNothing leaves the
    // state as it was.
    TMovePlan Move(TMoveCommand command, const TShownPair& shown, int count);
    // The seek bar's jump to a list index.
    // backward: the picture is reached travelling backward (the previous
    // book opened at its end), so a spread pairs it with the page before it.
    TMovePlan GoToIndex(int index, int count, bool backward = false);

    // The partner of primary in a list of count pictures (-1: none), the
    // neighbour in the travel direction. randomMove: the neighbour in
    // RandomOrder, primary being the entry at RandomPosition.
    int PartnerIndex(int primary, int count, bool randomMove) const;
    // After a random move showed a partner, the random position moves onto
    // it, so that the next random move continues beyond the pair.
    void PartnerShown(int count);
    // The partner shown was handed back (the spread ended): the random
    // position returns to the primary.
    void PartnerHidden(int count);

    // The position of a list index in the cache's position space: the index
    // itself, or during random moves its place in RandomOrder (-1 if absent).
    int PositionOf(int index) const;

    // Builds RandomOrder with the shown pages pinned at its start (or, for a
    // backward walk, at its end). Exposed for tests.
    void BuildRandomOrder(const TShownPair& shown, int count, bool backward);

private:
    int JumpAmount(int count) const;
    TMovePlan Show(int index, bool backward, bool fromCache, bool randomMove);
    TMovePlan EndOfList(bool forward, int count);

    TViewMoveOptions fOptions;
    bool fFirstImageAlone = false;
    TTravelState fTravel;
    TRandomSource fRandom;
};
