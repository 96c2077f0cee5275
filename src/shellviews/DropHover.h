#pragma once

// What a view shows while a drag passes over it: the item a drop would go
// into is highlighted, and an item the drag rests on opens after a while
// (one level). The view owns the
// timer and the painting; this decides when each changes. TKey names an
// item of the view and compares equal for the same item.

#include <optional>

// How long a drag rests on one tree node before the node opens.
inline constexpr int DropExpandDelayMs = 1500;
// How often a drag resting near an edge scrolls the view one more line.
inline constexpr int DragScrollIntervalMs = 50;

// Which way a drag at pos (from the top of a view extent high) scrolls:
// -1 within zone of the top edge, 1 within zone of the bottom edge, else 0.
inline int DragScrollDirection(int pos, int extent, int zone)
{
    if (extent <= 0 || pos < 0 || pos >= extent)
        return 0;
    if (pos < zone)
        return -1;
    if (pos >= extent - zone)
        return 1;
    return 0;
}

template <class TKey>
class TDropHover {
public:
    struct TChange {
        bool Repaint = false;       // the highlighted item changed
        bool RestartTimer = false;  // the pointer came onto another item: the resting time counts from now
        bool StopTimer = false;     // the pointer is over no item
    };

    // The pointer is over item (none over empty space); target tells that
    // a drop there goes into the item itself (a folder, a shelf), not into
    // what the view shows as a whole.
    TChange Over(const std::optional<TKey>& item, bool target)
    {
        TChange change;
        std::optional<TKey> highlight = target ? item : std::nullopt;
        change.Repaint = highlight != fHighlighted;
        fHighlighted = std::move(highlight);
        if (item != fOver) {
            fOver = item;
            change.RestartTimer = fOver.has_value();
            change.StopTimer = !fOver.has_value();
        }
        return change;
    }

    // The drag left the view or was dropped.
    TChange Leave()
    {
        TChange change;
        change.Repaint = fHighlighted.has_value();
        change.StopTimer = true;
        fHighlighted.reset();
        fOver.reset();
        return change;
    }

    // The resting time ran out: the item to open, none when the pointer is
    // over no item. The time counts again from now while the pointer stays.
    const std::optional<TKey>& Rested() const { return fOver; }
    const std::optional<TKey>& Highlighted() const { return fHighlighted; }

private:
    std::optional<TKey> fOver;
    std::optional<TKey> fHighlighted;
};
