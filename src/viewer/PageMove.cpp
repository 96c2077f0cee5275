#include "viewer/PageMove.h"

#include <algorithm>
#include <chrono>

#include "viewer/Geometry.h"

namespace {

const char* const MoveNames[MoveCommandCount] = {
    "最初のファイル", "次のファイル", "前のファイル", "ひとつ次のファイル", "ひとつ前のファイル",
    "最後のファイル", "ジャンプ",     "前へジャンプ", "ランダム移動",       "前へランダム移動",
};

const char* const MoveActions[MoveCommandCount] = {
    "actFirst", "actNext", "actPrior", "actS_Next", "actS_Prior",
    "actLast",  "actJ_Next", "actJ_Prior", "actR_Next", "actR_Prior",
};

}  // namespace

std::string MoveCommandName(TMoveCommand command)
{
    return MoveNames[static_cast<int>(command) % MoveCommandCount];
}

std::string MoveCommandAction(TMoveCommand command)
{
    return MoveActions[static_cast<int>(command) % MoveCommandCount];
}

TMoveCommand ResolveMoveCommand(TMoveCommand command, bool fromKey, TBinding binding, const TViewScrollOptions& options)
{
    if (!fromKey || binding != TBinding::bdLeft)
        return command;
    switch (command) {
    case TMoveCommand::mcNext:
        return options.MoveExchange ? TMoveCommand::mcPrior : command;
    case TMoveCommand::mcPrior:
        return options.MoveExchange ? TMoveCommand::mcNext : command;
    case TMoveCommand::mcOneNext:
        return options.S_MoveExchange ? TMoveCommand::mcOnePrior : command;
    case TMoveCommand::mcOnePrior:
        return options.S_MoveExchange ? TMoveCommand::mcOneNext : command;
    case TMoveCommand::mcJumpNext:
        return options.JumpExchange ? TMoveCommand::mcJumpPrior : command;
    case TMoveCommand::mcJumpPrior:
        return options.JumpExchange ? TMoveCommand::mcJumpNext : command;
    default:
        return command;
    }
}

TMoveCommand ImageBarCommand(TImageBarButton button, TBinding binding)
{
    const bool right = binding == TBinding::bdRight;
    switch (button) {
    case TImageBarButton::ibLeft:
        return right ? TMoveCommand::mcNext : TMoveCommand::mcPrior;
    case TImageBarButton::ibOneLeft:
        return right ? TMoveCommand::mcOneNext : TMoveCommand::mcOnePrior;
    case TImageBarButton::ibOneRight:
        return right ? TMoveCommand::mcOnePrior : TMoveCommand::mcOneNext;
    case TImageBarButton::ibRight:
        break;
    }
    return right ? TMoveCommand::mcPrior : TMoveCommand::mcNext;
}

// ---------------------------------------------------------------------------

TPageMover::TPageMover(TRandomSource random) : fRandom(std::move(random)) {}

void TPageMover::Reset()
{
    fTravel = TTravelState{};
}

int TPageMover::JumpAmount(int count) const
{
    const int amount = fOptions.MoveByRatio ? RoundHalfAway(count * std::clamp(fOptions.MoveRatio, 1, 100) / 100.0)
                                            : std::clamp(fOptions.MoveCount, 1, 100);
    // A jump always moves: 10 % of a list of three pictures is still one.
    return std::max(1, amount);
}

TMovePlan TPageMover::Show(int index, bool backward, bool fromCache, bool randomMove)
{
    const bool wasRandom = fTravel.RandomActive();
    TMovePlan plan;
    plan.Outcome = TMoveOutcome::moShow;
    plan.Index = index;
    plan.DirectionChanged = backward != fTravel.TravelBackward;
    plan.TravelBackward = backward;
    plan.RandomMove = randomMove;
    plan.FromCache = fromCache;
    plan.StopCache = !fromCache;
    fTravel.TravelBackward = backward;
    if (!randomMove)
        fTravel.RandomPosition = -1;
    // The cache's queues follow one order; switching between random and
    // sequential moves starts it afresh.
    if (fromCache && wasRandom != randomMove) {
        plan.StopCache = true;
        plan.FromCache = false;
    }
    return plan;
}

TMovePlan TPageMover::EndOfList(bool forward, int count)
{
    TMovePlan plan;
    plan.TravelBackward = fTravel.TravelBackward;
    switch (fOptions.LastFileMove) {
    case TEndOfList::elLoop:
        // Handled by the callers, who know where the other end is.
        break;
    case TEndOfList::elFolder:
        plan.Outcome = forward ? TMoveOutcome::moNextFolder : TMoveOutcome::moPriorFolder;
        plan.SubFolderFirst = forward && fOptions.LastToSubFolder;
        plan.StopCache = true;
        fTravel.RandomPosition = -1;
        break;
    case TEndOfList::elNothing:
        break;
    case TEndOfList::elClose:
        plan.Outcome = TMoveOutcome::moClose;
        plan.StopCache = true;
        break;
    case TEndOfList::elExit:
        // Ending the program is only for running off the last picture.
        if (forward) {
            plan.Outcome = TMoveOutcome::moExit;
            plan.StopCache = true;
        }
        break;
    }
    (void)count;
    return plan;
}

TMovePlan TPageMover::Move(TMoveCommand command, const TShownPair& shown, int count)
{
    if (count <= 0 || shown.Primary < 0)
        return TMovePlan{TMoveOutcome::moNothing, -1, fTravel.TravelBackward};
    const TTravelState saved = fTravel;
    const bool forward = !fTravel.TravelBackward;
    const bool partner = shown.HasPartner();
    const bool loop = fOptions.LastFileMove == TEndOfList::elLoop;
    TMovePlan plan;

    switch (command) {
    case TMoveCommand::mcFirst:
        plan = Show(0, false, false, false);
        break;
    case TMoveCommand::mcLast:
        plan = Show(count - 1, true, false, false);
        break;
    case TMoveCommand::mcNext:
    case TMoveCommand::mcOneNext: {
        if (command == TMoveCommand::mcOneNext && partner) {
            // The pair shifts by one page: the higher page becomes the
            // primary through the queue ahead, the lower page goes behind.
            const int higher = forward ? shown.Partner : shown.Primary;
            const int lower = forward ? shown.Primary : shown.Partner;
            plan = Show(higher, false, true, false);
            plan.RouteAhead = higher;
            plan.RouteBehind = lower;
            break;
        }
        const int base = (command == TMoveCommand::mcNext && forward && partner) ? shown.Partner : shown.Primary;
        int n = base + 1;
        if (n > count - 1) {
            if (!loop) {
                plan = EndOfList(true, count);
                break;
            }
            n = 0;
        }
        plan = Show(n, false, true, false);
        break;
    }
    case TMoveCommand::mcPrior:
    case TMoveCommand::mcOnePrior: {
        if (command == TMoveCommand::mcOnePrior && partner) {
            const int lower = forward ? shown.Primary : shown.Partner;
            const int higher = forward ? shown.Partner : shown.Primary;
            plan = Show(lower, true, true, false);
            plan.RouteBehind = lower;
            plan.RouteAhead = higher;
            break;
        }
        const int base = (command == TMoveCommand::mcPrior && !forward && partner) ? shown.Partner : shown.Primary;
        int n = base - 1;
        if (n < 0) {
            if (!loop) {
                plan = EndOfList(false, count);
                break;
            }
            n = count - 1;
        }
        plan = Show(n, true, true, false);
        break;
    }
    case TMoveCommand::mcJumpNext: {
        const int base = (!forward && partner) ? shown.Partner : shown.Primary;  // the lower page
        int n = base + JumpAmount(count);
        if (n > count - 1) {
            if (shown.Primary != count - 1) {
                n = count - 1;
            } else if (loop) {
                n = 0;
            } else {
                plan = EndOfList(true, count);
                break;
            }
        }
        plan = Show(n, false, false, false);
        break;
    }
    case TMoveCommand::mcJumpPrior: {
        const int base = (forward && partner) ? shown.Partner : shown.Primary;  // the higher page
        int n = base - JumpAmount(count);
        if (n <= 0) {
            if (base > 0) {
                n = 0;
            } else if (loop) {
                n = count - 1;
            } else {
                plan = EndOfList(false, count);
                break;
            }
        }
        plan = Show(n, true, false, false);
        break;
    }
    case TMoveCommand::mcRandomNext: {
        const int pages = partner ? 2 : 1;
        int position;
        if (!fTravel.RandomActive()) {
            BuildRandomOrder(shown, count, false);
            position = pages;
        } else {
            position = fTravel.RandomPosition + 1 + ((!forward && partner) ? 1 : 0);
        }
        if (position >= count) {
            if (!loop) {
                plan = EndOfList(true, count);
                break;
            }
            position = 0;
        }
        const bool wasRandom = saved.RandomActive();
        fTravel.RandomPosition = position;
        plan = Show(fTravel.RandomOrder[position], false, true, true);
        if (!wasRandom) {
            plan.StopCache = true;
            plan.FromCache = false;
        }
        break;
    }
    case TMoveCommand::mcRandomPrior: {
        const int pages = partner ? 2 : 1;
        int position;
        if (!fTravel.RandomActive()) {
            BuildRandomOrder(shown, count, true);
            position = count - 1 - pages;
        } else {
            position = fTravel.RandomPosition - 1 - ((forward && partner) ? 1 : 0);
        }
        if (position < 0) {
            if (!loop) {
                plan = EndOfList(false, count);
                break;
            }
            position = count - 1;
        }
        const bool wasRandom = saved.RandomActive();
        fTravel.RandomPosition = position;
        plan = Show(fTravel.RandomOrder[position], true, true, true);
        if (!wasRandom) {
            plan.StopCache = true;
            plan.FromCache = false;
        }
        break;
    }
    }

    if (plan.Outcome == TMoveOutcome::moNothing) {
        // Nothing happens: the travel state stays as it was, so that the
        // next move counts from the same place.
        fTravel = saved;
        plan.TravelBackward = fTravel.TravelBackward;
        plan.StopCache = false;
    }
    return plan;
}

TMovePlan TPageMover::GoToIndex(int index, int count, bool backward)
{
    if (count <= 0)
        return TMovePlan{TMoveOutcome::moNothing, -1, fTravel.TravelBackward};
    return Show(std::clamp(index, 0, count - 1), backward, false, false);
}

int TPageMover::PartnerIndex(int primary, int count, bool randomMove) const
{
    if (count <= 1 || primary < 0 || primary >= count)
        return -1;
    const bool loop = fOptions.LastFileMove == TEndOfList::elLoop;
    const int step = fTravel.TravelBackward ? -1 : 1;
    int partner;
    if (randomMove && fTravel.RandomActive() && static_cast<int>(fTravel.RandomOrder.size()) == count) {
        int position = fTravel.RandomPosition + step;
        if (position < 0 || position >= count) {
            if (!loop)
                return -1;
            position = (position + count) % count;
        }
        partner = fTravel.RandomOrder[position];
    } else {
        // The first picture stands alone: it neither takes a partner nor
        // becomes one.
        if (fFirstImageAlone && primary == 0)
            return -1;
        partner = primary + step;
        if (partner < 0 || partner >= count) {
            if (!loop)
                return -1;
            partner = (partner + count) % count;
        }
        if (fFirstImageAlone && partner == 0)
            return -1;
    }
    return partner == primary ? -1 : partner;
}

void TPageMover::PartnerShown(int count)
{
    if (!fTravel.RandomActive() || count <= 0)
        return;
    const int step = fTravel.TravelBackward ? -1 : 1;
    fTravel.RandomPosition = ((fTravel.RandomPosition + step) % count + count) % count;
}

void TPageMover::PartnerHidden(int count)
{
    if (!fTravel.RandomActive() || count <= 0)
        return;
    const int step = fTravel.TravelBackward ? 1 : -1;
    fTravel.RandomPosition = ((fTravel.RandomPosition + step) % count + count) % count;
}

int TPageMover::PositionOf(int index) const
{
    if (!fTravel.RandomActive())
        return index;
    const auto it = std::find(fTravel.RandomOrder.begin(), fTravel.RandomOrder.end(), index);
    return it == fTravel.RandomOrder.end() ? -1 : static_cast<int>(it - fTravel.RandomOrder.begin());
}

void TPageMover::BuildRandomOrder(const TShownPair& shown, int count, bool backward)
{
    std::vector<int>& order = fTravel.RandomOrder;
    order.clear();
    if (count <= 0)
        return;
    order.reserve(static_cast<size_t>(count));
    std::vector<bool> pinnedIndex(static_cast<size_t>(count), false);
    if (shown.Primary >= 0 && shown.Primary < count) {
        order.push_back(shown.Primary);
        pinnedIndex[static_cast<size_t>(shown.Primary)] = true;
    }
    if (shown.Partner >= 0 && shown.Partner < count && !pinnedIndex[static_cast<size_t>(shown.Partner)]) {
        order.push_back(shown.Partner);
        pinnedIndex[static_cast<size_t>(shown.Partner)] = true;
    }
    const size_t pinned = order.size();

    std::mt19937 clockSeeded;
    if (!fRandom)
        clockSeeded.seed(static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    auto draw = [&](size_t bound) -> size_t {  // uniform in 0 .. bound - 1
        if (fRandom)
            return static_cast<size_t>(fRandom()) % bound;
        return std::uniform_int_distribution<size_t>(0, bound - 1)(clockSeeded);
    };
    // Inside-out shuffle of the unpinned indexes behind the pinned ones.
    for (int i = 0; i < count; ++i) {
        if (pinnedIndex[static_cast<size_t>(i)])
            continue;
        const size_t k = order.size();
        const size_t j = pinned + draw(k - pinned + 1);
        order.push_back(i);
        std::swap(order[j], order[k]);
    }
    // A backward walk starts from the end: the pinned pages go there.
    if (backward && pinned > 0) {
        std::swap(order.front(), order.back());
        if (pinned == 2 && count > 3)
            std::swap(order[1], order[static_cast<size_t>(count) - 2]);
    }
}
