// Painted items: rectangles inside one window that paint through that
// window's device context and take its mouse and character messages. Groups
// hold items, so the items of a window form a tree; a pane or a 3-D control
// window is the host of one tree.
#ifndef KYT_FRAMEWORK_ITEMS_H
#define KYT_FRAMEWORK_ITEMS_H

#include "EventTarget.h"
#include "Layout.h"
#include "Pane.h"

#include <windows.h>

#include <vector>

class DeviceContext;
class ItemGroupCL;
class WindowCL;

// Told before a tree paints.
class ItemObserver {
public:
    virtual ~ItemObserver() {}
    virtual void onItemsPainted(DeviceContext* dc) = 0;
};

// The only flag bit: the item (or something inside a group) wants the mouse.
const uint32_t kWantsMouse = 1;

class ItemCL : public EventTarget {
public:
    // Not yet a child of the group: its addChild does that.
    ItemCL(ItemGroupCL* group, Geometry* geometry);
    // Leaves the parent's lists; deletes geometry and observer list.
    ~ItemCL() override;

    virtual bool contains(const Point& p);
    virtual bool intersects(const Rect& r);
    virtual bool acceptsPoint(const Point& p) { return contains(p); }
    virtual bool acceptsRect(const Rect& r) { return intersects(r); }
    virtual LRESULT buttonUp(EventRecord*) { return 0; }
    virtual LRESULT buttonDown(EventRecord*) { return 0; }
    virtual LRESULT mouseMove(EventRecord*) { return 0; }
    virtual LRESULT character(EventRecord*) { return 0; }
    virtual void notifyObservers();
    // null: everything.
    virtual void paint(const Rect*) {}
    virtual void layoutChanged() {}
    virtual void setVisible(int flag) { visible = flag ? 1 : 0; }

    // Sets bits (only kWantsMouse) and hands them up the parent chain.
    void setFlags(uint32_t bits);
    void clearFlags(uint32_t bits);
    void addObserver(ItemObserver* observer);

    // The tree's drawing context and the window it paints (null when none).
    DeviceContext* context() const;
    WindowCL* host() const;
    Rect bounds() const;

    Geometry* geometry;
    ItemGroupCL* parent;
    std::vector<ItemObserver*>* observers;
    int32_t visible;
    uint32_t flags;

private:
    ItemCL(const ItemCL&) = delete;
    ItemCL& operator=(const ItemCL&) = delete;
};

class ItemGroupCL : public ItemCL {
public:
    // A root over a window: its geometry is the window's (not owned), its
    // context the one held in *dcSlot.
    ItemGroupCL(WindowCL* window, DeviceContext** dcSlot);
    // A nested group inside parent, with a geometry of its own.
    ItemGroupCL(ItemGroupCL* group, Geometry* geometry);
    // Deletes every child.
    ~ItemGroupCL() override;

    bool contains(const Point& p) override;
    bool intersects(const Rect& r) override;
    LRESULT buttonUp(EventRecord* event) override;
    LRESULT buttonDown(EventRecord* event) override;
    LRESULT mouseMove(EventRecord* event) override;
    LRESULT character(EventRecord* event) override;
    void paint(const Rect* r) override;
    void layoutChanged() override;
    void setVisible(int flag) override;

    ItemCL* addChild(ItemCL* item);
    void removeChild(ItemCL* item);

    std::vector<ItemCL*> children;
    std::vector<ItemCL*> mouseChildren;
    int32_t mouseCount;
    int32_t coverAll;
    ItemCL* current;
    DeviceContext** dcSlot;
    WindowCL* hostWindow;
    // A root clears this before deleting itself: the window owns the geometry.
    bool ownsGeometry;
};

// A nested group that is a composite control: a main item and its label.
class SubItemGroupCL : public ItemGroupCL {
public:
    SubItemGroupCL(ItemGroupCL* group, Geometry* geometry)
        : ItemGroupCL(group, geometry), mainItem(nullptr), labelItem(nullptr)
    {
    }
    virtual ItemCL* label() { return labelItem; }

    // Children of the group as well: the group deletes them.
    ItemCL* mainItem;
    ItemCL* labelItem;
};

// A pane whose surface is a tree of items.
class ItemPaneCL : public PaneWindowCL {
public:
    ItemPaneCL(WindowCL* parent, Geometry* geometry, DWORD style);
    ~ItemPaneCL() override;

    // Adds the item to the root and paints it at once.
    void addItem(ItemCL* item);

    LRESULT onSize(EventRecord* event) override;
    LRESULT paint(DeviceContext& dc) override;
    LRESULT onMouseMove(EventRecord* event) override;
    LRESULT onButtonUp(EventRecord* event) override;
    LRESULT onButtonDown(EventRecord* event) override;
    LRESULT onChar(EventRecord* event) override;
    int printTo(DeviceContext* dc, int flag) override;

    ItemGroupCL* root;
};

// The point of a mouse event moved by the context's scroll origin.
LPARAM shiftedPoint(LPARAM lParam, const Point& origin);
Point pointOf(const EventRecord* event);

#endif
