#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>

#include "viewer/PageMove.h"

namespace {

struct TMoveCase {
    const char* Name;
    TMoveCommand Command;
    int Primary, Partner;
    bool Backward;
    int Count;
    std::function<void(TViewMoveOptions&)> Setup;
    TMoveOutcome Outcome;
    int Index;
    bool BackwardAfter;
    bool FromCache;
    int RouteAhead, RouteBehind;
};

void PrintTo(const TMoveCase& c, std::ostream* os)
{
    *os << c.Name;
}

class Moves : public ::testing::TestWithParam<TMoveCase> {};

TEST_P(Moves, GoWhereTheCommandSays)
{
    const TMoveCase& c = GetParam();
    TViewMoveOptions options;
    if (c.Setup)
        c.Setup(options);
    TPageMover mover;
    mover.SetOptions(options);
    // Arrive at the starting pair travelling in the given direction.
    if (c.Backward)
        mover.Move(TMoveCommand::mcLast, TShownPair{0, -1}, c.Count);
    ASSERT_EQ(mover.TravelBackward(), c.Backward);

    const TMovePlan plan = mover.Move(c.Command, TShownPair{c.Primary, c.Partner}, c.Count);
    EXPECT_EQ(plan.Outcome, c.Outcome);
    if (c.Outcome == TMoveOutcome::moShow) {
        EXPECT_EQ(plan.Index, c.Index);
        EXPECT_EQ(plan.FromCache, c.FromCache);
        EXPECT_EQ(plan.StopCache, !c.FromCache);
        EXPECT_EQ(plan.DirectionChanged, c.Backward != c.BackwardAfter);
    }
    EXPECT_EQ(plan.TravelBackward, c.BackwardAfter);
    EXPECT_EQ(mover.TravelBackward(), c.BackwardAfter);
    EXPECT_EQ(plan.RouteAhead, c.RouteAhead);
    EXPECT_EQ(plan.RouteBehind, c.RouteBehind);
}

auto Last = [](TViewMoveOptions& o, TEndOfList m) { o.LastFileMove = m; };

using enum TMoveCommand;
using enum TMoveOutcome;

INSTANTIATE_TEST_SUITE_P(
    Move, Moves,
    ::testing::Values(
        TMoveCase{"NextAfterForwardPair", mcNext, 4, 5, false, 20, nullptr, moShow, 6, false, true, -1, -1},
        TMoveCase{"NextAfterBackwardPair", mcNext, 5, 4, true, 20, nullptr, moShow, 6, false, true, -1, -1},
        TMoveCase{"NextLoopsToFirst", mcNext, 18, 19, false, 20, nullptr, moShow, 0, false, true, -1, -1},
        TMoveCase{"NextOpensNextFolder", mcNext, 19, -1, false, 20,
                  [](TViewMoveOptions& o) { Last(o, TEndOfList::elFolder); }, moNextFolder, -1, false, false, -1, -1},
        TMoveCase{"NextAtEndDoesNothing", mcNext, 19, -1, true, 20,
                  [](TViewMoveOptions& o) { Last(o, TEndOfList::elNothing); }, moNothing, -1, true, false, -1, -1},
        TMoveCase{"NextAtEndCloses", mcNext, 19, -1, false, 20,
                  [](TViewMoveOptions& o) { Last(o, TEndOfList::elClose); }, moClose, -1, false, false, -1, -1},
        TMoveCase{"NextAtEndExits", mcNext, 19, -1, false, 20,
                  [](TViewMoveOptions& o) { Last(o, TEndOfList::elExit); }, moExit, -1, false, false, -1, -1},
        TMoveCase{"PriorAtStartNeverExits", mcPrior, 0, -1, false, 20,
                  [](TViewMoveOptions& o) { Last(o, TEndOfList::elExit); }, moNothing, -1, false, false, -1, -1},
        TMoveCase{"PriorOpensPreviousFolder", mcPrior, 0, -1, false, 20,
                  [](TViewMoveOptions& o) { Last(o, TEndOfList::elFolder); }, moPriorFolder, -1, false, false, -1,
                  -1},
        TMoveCase{"PriorAfterBackwardPair", mcPrior, 5, 4, true, 20, nullptr, moShow, 3, true, true, -1, -1},
        TMoveCase{"PriorAfterForwardPair", mcPrior, 4, 5, false, 20, nullptr, moShow, 3, true, true, -1, -1},
        TMoveCase{"PriorLoopsToLast", mcPrior, 0, -1, false, 20, nullptr, moShow, 19, true, true, -1, -1},
        // One page on: the higher page through the queue ahead, the lower behind.
        TMoveCase{"OneNextShiftsForwardPair", mcOneNext, 4, 5, false, 20, nullptr, moShow, 5, false, true, 5, 4},
        TMoveCase{"OneNextShiftsBackwardPair", mcOneNext, 5, 4, true, 20, nullptr, moShow, 5, false, true, 5, 4},
        TMoveCase{"OneNextAlone", mcOneNext, 4, -1, false, 20, nullptr, moShow, 5, false, true, -1, -1},
        TMoveCase{"OnePriorShiftsForwardPair", mcOnePrior, 4, 5, false, 20, nullptr, moShow, 4, true, true, 5, 4},
        TMoveCase{"OnePriorAlone", mcOnePrior, 4, -1, false, 20, nullptr, moShow, 3, true, true, -1, -1},
        // 10 % of 15 pictures: Round(1.5) = 2.
        TMoveCase{"JumpRoundsHalfAway", mcJumpNext, 3, -1, false, 15, nullptr, moShow, 5, false, false, -1, -1},
        TMoveCase{"JumpStopsAtLast", mcJumpNext, 13, -1, false, 15, nullptr, moShow, 14, false, false, -1, -1},
        TMoveCase{"JumpAtLastLoops", mcJumpNext, 14, -1, false, 15, nullptr, moShow, 0, false, false, -1, -1},
        TMoveCase{"JumpAtLastDoesNothing", mcJumpNext, 14, -1, false, 15,
                  [](TViewMoveOptions& o) { Last(o, TEndOfList::elNothing); }, moNothing, -1, false, false, -1, -1},
        // 10 % of three pictures rounds to 0; a jump still moves one.
        TMoveCase{"JumpMovesAtLeastOne", mcJumpNext, 0, -1, false, 3, nullptr, moShow, 1, false, false, -1, -1},
        TMoveCase{"JumpByCount", mcJumpNext, 2, -1, false, 100,
                  [](TViewMoveOptions& o) {
                      o.MoveByRatio = false;
                      o.MoveCount = 7;
                  },
                  moShow, 9, false, false, -1, -1},
        // A jump counts from the lower page of the pair.
        TMoveCase{"JumpFromLowerPage", mcJumpNext, 11, 10, true, 100, nullptr, moShow, 20, false, false, -1, -1},
        // A jump back counts from the higher page.
        TMoveCase{"JumpPriorFromHigherPage", mcJumpPrior, 10, 11, false, 100, nullptr, moShow, 1, true, false, -1,
                  -1},
        TMoveCase{"JumpPriorStopsAtFirst", mcJumpPrior, 3, -1, false, 100, nullptr, moShow, 0, true, false, -1, -1},
        TMoveCase{"JumpPriorAtFirstLoops", mcJumpPrior, 0, -1, false, 100, nullptr, moShow, 99, true, false, -1, -1},
        TMoveCase{"First", mcFirst, 50, 51, false, 100, nullptr, moShow, 0, false, false, -1, -1},
        TMoveCase{"Last", mcLast, 50, 51, false, 100, nullptr, moShow, 99, true, false, -1, -1}),
    [](const ::testing::TestParamInfo<TMoveCase>& info) { return std::string(info.param.Name); });

TEST(Move, EmptyListDoesNothing)
{
    TPageMover mover;
    for (int c = 0; c < MoveCommandCount; ++c)
        EXPECT_EQ(mover.Move(static_cast<TMoveCommand>(c), TShownPair{}, 0).Outcome, moNothing);
    EXPECT_EQ(mover.GoToIndex(3, 0).Outcome, moNothing);
}

TEST(Move, SeekBarJumpTravelsForwardWithoutTheCache)
{
    TPageMover mover;
    mover.Move(mcLast, TShownPair{0, -1}, 10);
    const TMovePlan plan = mover.GoToIndex(4, 10);
    EXPECT_EQ(plan.Outcome, moShow);
    EXPECT_EQ(plan.Index, 4);
    EXPECT_FALSE(plan.TravelBackward);
    EXPECT_TRUE(plan.StopCache);
    EXPECT_FALSE(plan.FromCache);
}

// --- Key exchange and the image bar ------------------------------------------------

TEST(Move, ExchangeSwapsOnlyKeysOnLeftBoundBooks)
{
    TViewScrollOptions options;
    options.MoveExchange = true;
    EXPECT_EQ(ResolveMoveCommand(mcNext, true, TBinding::bdLeft, options), mcPrior);
    EXPECT_EQ(ResolveMoveCommand(mcPrior, true, TBinding::bdLeft, options), mcNext);
    EXPECT_EQ(ResolveMoveCommand(mcNext, false, TBinding::bdLeft, options), mcNext);
    EXPECT_EQ(ResolveMoveCommand(mcNext, true, TBinding::bdRight, options), mcNext);
    // Each pair has its own option.
    EXPECT_EQ(ResolveMoveCommand(mcOneNext, true, TBinding::bdLeft, options), mcOneNext);
    options.S_MoveExchange = true;
    options.JumpExchange = true;
    EXPECT_EQ(ResolveMoveCommand(mcOneNext, true, TBinding::bdLeft, options), mcOnePrior);
    EXPECT_EQ(ResolveMoveCommand(mcJumpPrior, true, TBinding::bdLeft, options), mcJumpNext);
    EXPECT_EQ(ResolveMoveCommand(mcRandomNext, true, TBinding::bdLeft, options), mcRandomNext);
}

TEST(Move, ImageBarButtonsTurnTowardsTheirSide)
{
    EXPECT_EQ(ImageBarCommand(TImageBarButton::ibLeft, TBinding::bdRight), mcNext);
    EXPECT_EQ(ImageBarCommand(TImageBarButton::ibOneLeft, TBinding::bdRight), mcOneNext);
    EXPECT_EQ(ImageBarCommand(TImageBarButton::ibOneRight, TBinding::bdRight), mcOnePrior);
    EXPECT_EQ(ImageBarCommand(TImageBarButton::ibRight, TBinding::bdRight), mcPrior);
    EXPECT_EQ(ImageBarCommand(TImageBarButton::ibLeft, TBinding::bdLeft), mcPrior);
    EXPECT_EQ(ImageBarCommand(TImageBarButton::ibRight, TBinding::bdLeft), mcNext);
}

// --- Partners -------------------------------------------------------------------------

struct TPartnerCase {
    const char* Name;
    int Primary;
    bool Backward;
    int Count;
    bool Loop;
    bool FirstImage;
    int Partner;
};

void PrintTo(const TPartnerCase& c, std::ostream* os)
{
    *os << c.Name;
}

class Partners : public ::testing::TestWithParam<TPartnerCase> {};

TEST_P(Partners, NeighbourInTravelDirection)
{
    const TPartnerCase& c = GetParam();
    TPageMover mover;
    TViewMoveOptions options;
    options.LastFileMove = c.Loop ? TEndOfList::elLoop : TEndOfList::elNothing;
    mover.SetOptions(options);
    mover.SetFirstImageAlone(c.FirstImage);
    if (c.Backward)
        mover.Move(mcLast, TShownPair{0, -1}, c.Count);
    EXPECT_EQ(mover.PartnerIndex(c.Primary, c.Count, false), c.Partner);
}

INSTANTIATE_TEST_SUITE_P(
    Move, Partners,
    ::testing::Values(TPartnerCase{"Forward", 4, false, 10, true, false, 5},
                      TPartnerCase{"Backward", 4, true, 10, true, false, 3},
                      TPartnerCase{"LastAloneWithoutLoop", 9, false, 10, false, false, -1},
                      TPartnerCase{"LastPairsWithFirstOnLoop", 9, false, 10, true, false, 0},
                      TPartnerCase{"FirstBackwardPairsWithLastOnLoop", 0, true, 10, true, false, 9},
                      TPartnerCase{"SinglePictureAlone", 0, false, 1, true, false, -1},
                      TPartnerCase{"TwoPicturesLoop", 1, false, 2, true, false, 0},
                      TPartnerCase{"FirstImageStandsAlone", 0, false, 10, true, true, -1},
                      TPartnerCase{"FirstImageThenPairs", 1, false, 10, true, true, 2},
                      // The first picture is never taken as a partner either.
                      TPartnerCase{"FirstImageNotPartnerBackward", 1, true, 10, true, true, -1},
                      TPartnerCase{"FirstImageNotPartnerOnLoop", 9, false, 10, true, true, -1}),
    [](const ::testing::TestParamInfo<TPartnerCase>& info) { return std::string(info.param.Name); });

// --- Random moves -------------------------------------------------------------------

TEST(RandomOrder, InsideOutShuffleBehindPinnedPages)
{
    // A source that always draws 0 places each new index right behind the
    // pinned ones, pushing the previous occupant to the end.
    TPageMover mover([] { return 0u; });
    mover.BuildRandomOrder(TShownPair{2, -1}, 5, false);
    EXPECT_EQ(mover.Travel().RandomOrder, (std::vector<int>{2, 4, 0, 1, 3}));
    // Drawing the top of the range leaves every index where it lands.
    uint32_t k = 0;
    TPageMover ordered([&k] { return k++; });
    ordered.BuildRandomOrder(TShownPair{2, 3}, 5, false);
    EXPECT_EQ(ordered.Travel().RandomOrder, (std::vector<int>{2, 3, 0, 1, 4}));
}

struct TPinCase {
    const char* Name;
    int Count;
    int Primary, Partner;
    bool Backward;
    std::vector<int> Head;  // expected first entries (forward) or last entries (backward)
};

void PrintTo(const TPinCase& c, std::ostream* os)
{
    *os << c.Name;
}

class RandomPins : public ::testing::TestWithParam<TPinCase> {};

TEST_P(RandomPins, ShownPagesArePinned)
{
    const TPinCase& c = GetParam();
    for (uint32_t seed = 1; seed < 20; ++seed) {
        std::mt19937 engine(seed);
        TPageMover mover([&engine] { return static_cast<uint32_t>(engine()); });
        mover.BuildRandomOrder(TShownPair{c.Primary, c.Partner}, c.Count, c.Backward);
        std::vector<int> order = mover.Travel().RandomOrder;
        ASSERT_EQ(order.size(), static_cast<size_t>(c.Count));
        if (c.Backward)
            EXPECT_TRUE(std::equal(c.Head.begin(), c.Head.end(), order.end() - static_cast<long>(c.Head.size())));
        else
            EXPECT_TRUE(std::equal(c.Head.begin(), c.Head.end(), order.begin()));
        std::sort(order.begin(), order.end());
        for (int i = 0; i < c.Count; ++i)
            ASSERT_EQ(order[static_cast<size_t>(i)], i);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Move, RandomPins,
    ::testing::Values(TPinCase{"ForwardPair", 10, 4, 5, false, {4, 5}},
                      TPinCase{"ForwardAlone", 10, 7, -1, false, {7}},
                      // A backward walk starts from the end: the pair sits there,
                      // the primary (the higher page) last.
                      TPinCase{"BackwardPair", 10, 5, 4, true, {4, 5}},
                      TPinCase{"BackwardAlone", 10, 7, -1, true, {7}},
                      TPinCase{"BackwardPairOfThree", 3, 2, 1, true, {1, 2}},
                      TPinCase{"BackwardPairOfTwo", 2, 1, 0, true, {0, 1}}),
    [](const ::testing::TestParamInfo<TPinCase>& info) { return std::string(info.param.Name); });

// Walks random moves with spreads, the way the viewer does: the partner is
// the next entry of the order, and the position moves onto it.
std::vector<int> WalkRandom(TPageMover& mover, TMoveCommand command, TShownPair start, int count, bool pairs,
                            int steps, std::vector<TMovePlan>* plans = nullptr)
{
    std::vector<int> shown;
    TShownPair pair = start;
    for (int i = 0; i < steps; ++i) {
        const TMovePlan plan = mover.Move(command, pair, count);
        if (plans)
            plans->push_back(plan);
        if (plan.Outcome != moShow)
            break;
        pair = TShownPair{plan.Index, -1};
        shown.push_back(plan.Index);
        if (pairs) {
            pair.Partner = mover.PartnerIndex(plan.Index, count, true);
            if (pair.Partner >= 0) {
                mover.PartnerShown(count);
                shown.push_back(pair.Partner);
            }
        }
    }
    return shown;
}

TEST(RandomMove, ShowsEveryPictureOnceBeforeTheEnd)
{
    for (const bool pairs : {false, true}) {
        for (const bool backward : {false, true}) {
            std::mt19937 engine(7);
            TPageMover mover([&engine] { return static_cast<uint32_t>(engine()); });
            TViewMoveOptions options;
            options.LastFileMove = TEndOfList::elNothing;
            mover.SetOptions(options);
            const int count = 13;
            const TShownPair start = pairs ? TShownPair{6, backward ? 5 : 7} : TShownPair{6, -1};
            if (backward)
                mover.Move(mcLast, TShownPair{0, -1}, count);
            std::vector<TMovePlan> plans;
            std::vector<int> seen = WalkRandom(mover, backward ? mcRandomPrior : mcRandomNext, start, count, pairs,
                                               count + 2, &plans);
            // The pages shown when the order was built are not shown again.
            seen.push_back(start.Primary);
            if (start.HasPartner())
                seen.push_back(start.Partner);
            std::sort(seen.begin(), seen.end());
            std::vector<int> all(count);
            for (int i = 0; i < count; ++i)
                all[static_cast<size_t>(i)] = i;
            EXPECT_EQ(seen, all) << "pairs " << pairs << " backward " << backward;
            ASSERT_FALSE(plans.empty());
            EXPECT_EQ(plans.back().Outcome, moNothing);
            // The first random move starts the cache afresh; later ones use it.
            EXPECT_TRUE(plans.front().StopCache);
            EXPECT_FALSE(plans.front().FromCache);
            ASSERT_GE(plans.size(), 3u);
            EXPECT_TRUE(plans[1].FromCache);
            EXPECT_TRUE(plans[1].RandomMove);
        }
    }
}

TEST(RandomMove, LoopStartsTheOrderAgain)
{
    TPageMover mover([] { return 0u; });
    const int count = 4;
    std::vector<int> seen = WalkRandom(mover, mcRandomNext, TShownPair{1, -1}, count, false, 5);
    // Order [1, 3, 0, 2] (always drawing 0): after the last entry the loop
    // starts again at the first.
    EXPECT_EQ(seen, (std::vector<int>{3, 0, 2, 1, 3}));
}

TEST(RandomMove, SequentialMoveAfterRandomLeavesTheOrder)
{
    TPageMover mover;
    TMovePlan plan = mover.Move(mcRandomNext, TShownPair{0, -1}, 10);
    ASSERT_TRUE(mover.Travel().RandomActive());
    plan = mover.Move(mcNext, TShownPair{plan.Index, -1}, 10);
    EXPECT_FALSE(mover.Travel().RandomActive());
    EXPECT_TRUE(plan.StopCache);
    EXPECT_FALSE(plan.FromCache);
    plan = mover.Move(mcNext, TShownPair{plan.Index, -1}, 10);
    EXPECT_TRUE(plan.FromCache);
}

TEST(RandomMove, EndOfListWithNothingKeepsThePosition)
{
    TPageMover mover([] { return 0u; });
    TViewMoveOptions options;
    options.LastFileMove = TEndOfList::elNothing;
    mover.SetOptions(options);
    TShownPair pair{0, -1};
    for (int i = 0; i < 2; ++i)
        pair.Primary = mover.Move(mcRandomNext, pair, 3).Index;
    const int position = mover.Travel().RandomPosition;
    ASSERT_EQ(position, 2);
    EXPECT_EQ(mover.Move(mcRandomNext, pair, 3).Outcome, moNothing);
    EXPECT_EQ(mover.Travel().RandomPosition, position);
    // Going back from there shows the previous entry of the order.
    const TMovePlan back = mover.Move(mcRandomPrior, pair, 3);
    EXPECT_EQ(back.Index, mover.Travel().RandomOrder[1]);
}

}  // namespace
