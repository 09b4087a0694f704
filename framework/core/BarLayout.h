// The row (or column) of a tool bar: entries numbered 1, 2, ... are placed
// one after another from the bar's margin, each centred across the bar; a
// number without an entry leaves a gap of the default step, and an entry
// without a window is a spacer of its own size. Free entries keep their own
// position.
#ifndef KYT_FRAMEWORK_BARLAYOUT_H
#define KYT_FRAMEWORK_BARLAYOUT_H

#include "Layout.h"

class BarLayout : public Arranger {
public:
    // Orientation 1 is a row, 0 a column.
    explicit BarLayout(int orientation = 1);

    void place(Rect& area, GeometryList& children, int count) override { arrange(children, count, area); }
    // Only the free children count: the widest right edge and the lowest bottom.
    void measure(SizeHints& hints, GeometryList& children) override;
    void arrange(GeometryList& children, int count, Rect& rect);

    void setMargins(int x, int y)
    {
        marginX = x;
        marginY = y;
    }
    Point getMargins() const { return Point(marginX, marginY); }
    void setDefaultStep(int x, int y)
    {
        stepX = x;
        stepY = y;
    }
    Point getDefaultStep() const { return Point(stepX, stepY); }
    void setOrientation(int o) { orientation = o; }
    int getOrientation() const { return orientation; }

    int32_t orientation;
    int32_t marginX;
    int32_t marginY;
    int32_t stepX;
    int32_t stepY;
};

// One entry of a bar: its number, its size (-1: the bar's default step, 0:
// up to the bar's far edge) and its kind (1 keeps its own position across
// the bar). The number travels in the size hints' spare word.
class BarItemLayout : public Layout {
public:
    BarItemLayout(int position, const Point& size, Layout* parent = nullptr);
    BarItemLayout(int position, Layout* parent = nullptr);
    // Kind 1: fixed position across the bar.
    BarItemLayout(int position, const Point& size, int across, Layout* parent);

    void getSizeHints(SizeHints& hints) override;
    void setItemSize(const Point& size) { itemSize = size; }
    Point getItemSize() const { return itemSize; }

    int32_t position;
    Point itemSize;
    int32_t itemKind;
    int32_t across;
};

#endif
