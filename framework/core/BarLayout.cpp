#include "BarLayout.h"

#include <algorithm>
#include <vector>

BarLayout::BarLayout(int o) : orientation(o), marginX(0), marginY(0), stepX(0), stepY(0)
{
}

void BarLayout::measure(SizeHints& hints, GeometryList& children)
{
    hints.clear();
    DListIteratorOf<Geometry> walk(children);
    while (Geometry* child = walk.next()) {
        SizeHints h;
        child->getSizeHints(h);
        if (h.kind != PLACE_FREE)
            continue;
        int32_t right = h.x + (h.prefWidth == kNotGiven ? 0 : h.prefWidth);
        int32_t bottom = h.y + (h.prefHeight == kNotGiven ? 0 : h.prefHeight);
        hints.prefWidth = std::max(hints.prefWidth, right);
        hints.maxWidth = std::max(hints.maxWidth, right);
        hints.prefHeight = std::max(hints.prefHeight, bottom);
        hints.maxHeight = std::max(hints.maxHeight, bottom);
    }
}

void BarLayout::arrange(GeometryList& children, int, Rect& rect)
{
    struct Entry {
        Geometry* geometry;
        SizeHints hints;
        Rect placed;
        bool done;
    };
    std::vector<Entry> entries;
    DListIteratorOf<Geometry> walk(children);
    while (Geometry* child = walk.next()) {
        Entry e{child, SizeHints(), Rect(), false};
        child->getSizeHints(e.hints);
        entries.push_back(e);
    }
    const Rect area(rect.left() + marginX, rect.top() + marginY, rect.right() - marginX, rect.bottom() - marginY);
    const bool row = orientation == 1;
    int32_t cx = area.left(), cy = area.top();
    int32_t last = 0;
    for (Entry& e : entries) {
        if (e.hints.kind == PLACE_FREE) {
            int32_t w = e.hints.prefWidth == kNotGiven ? area.right() - e.hints.x : e.hints.prefWidth;
            int32_t h = e.hints.prefHeight == kNotGiven ? area.bottom() - e.hints.y : e.hints.prefHeight;
            e.placed = Rect(e.hints.x, e.hints.y, e.hints.x + w, e.hints.y + h);
            e.done = true;
        } else {
            last = std::max(last, e.hints.reserved);
        }
    }
    for (int32_t n = 1; n <= last; ++n) {
        Entry* found = nullptr;
        for (Entry& e : entries)
            if (!e.done && e.hints.reserved == n) {
                found = &e;
                break;
            }
        if (!found) {
            if (row)
                cx += stepX;
            else
                cy += stepY;
            continue;
        }
        const SizeHints& h = found->hints;
        int32_t w = h.prefWidth;
        if (w == 0)
            w = area.right() - cx;
        else if (w == -1)
            w = stepX;
        int32_t ht = (h.kind == 1 && !row) ? h.y : h.prefHeight;
        if (ht == 0)
            ht = area.bottom() - cy;
        else if (ht == -1)
            ht = stepY;
        int32_t x = cx, y = cy;
        if (row) {
            y = h.kind == 1 ? h.y : area.top() + (area.height() - ht) / 2;
            cx += w;
        } else {
            x = area.left() + (area.width() - w) / 2;
            cy += ht;
        }
        found->placed = Rect(x, y, x + w, y + ht);
        found->done = true;
    }
    for (Entry& e : entries)
        if (e.done)
            e.geometry->applyRect(e.placed, 0);
    rect = Rect(rect.left(), rect.top(), rect.left() + (cx - area.left()), rect.top() + (cy - area.top()));
}

BarItemLayout::BarItemLayout(int number, const Point& size, Layout* parent)
    : Layout(parent), position(number), itemSize(size), itemKind(0), across(0)
{
    width = size.x();
    height = size.y();
    kind = 0;
}

BarItemLayout::BarItemLayout(int number, Layout* parent) : BarItemLayout(number, Point(-1, -1), parent)
{
}

BarItemLayout::BarItemLayout(int number, const Point& size, int acrossPosition, Layout* parent)
    : BarItemLayout(number, size, parent)
{
    itemKind = 1;
    kind = 1;
    across = acrossPosition;
}

void BarItemLayout::getSizeHints(SizeHints& hints)
{
    hints.clear();
    hints.minWidth = hints.prefWidth = hints.maxWidth = itemSize.x();
    hints.minHeight = hints.prefHeight = hints.maxHeight = itemSize.y();
    hints.x = itemKind == 1 ? across : x;
    hints.y = itemKind == 1 ? across : y;
    hints.kind = itemKind;
    hints.reserved = position;
}
