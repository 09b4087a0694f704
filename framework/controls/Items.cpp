#include "Items.h"

#include "Application.h"
#include "DeviceContext.h"
#include "Frame.h"
#include "Window.h"

#include <algorithm>

namespace {

void eraseFrom(std::vector<ItemCL*>& list, ItemCL* item)
{
    auto it = std::find(list.begin(), list.end(), item);
    if (it != list.end())
        list.erase(it);
}

bool inside(const Rect& r, const Point& p)
{
    return p.x() >= r.left() && p.x() < r.right() && p.y() >= r.top() && p.y() < r.bottom();
}

} // namespace

LPARAM shiftedPoint(LPARAM lParam, const Point& origin)
{
    short x = static_cast<short>(LOWORD(lParam)) + static_cast<short>(origin.x());
    short y = static_cast<short>(HIWORD(lParam)) + static_cast<short>(origin.y());
    return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y));
}

Point pointOf(const EventRecord* event)
{
    return Point(static_cast<short>(LOWORD(event->lParam)), static_cast<short>(HIWORD(event->lParam)));
}

// ---------------------------------------------------------------- ItemCL

ItemCL::ItemCL(ItemGroupCL* group, Geometry* g)
    : geometry(g), parent(group), observers(nullptr), visible(1), flags(0)
{
}

ItemCL::~ItemCL()
{
    ItemGroupCL* group = parent;
    if (group) {
        eraseFrom(group->children, this);
        if (group->current == this)
            group->current = nullptr;
        if (flags & kWantsMouse) {
            eraseFrom(group->mouseChildren, this);
            group->mouseCount = static_cast<int32_t>(group->mouseChildren.size());
        }
    }
    delete geometry;
    delete observers;
}

Rect ItemCL::bounds() const
{
    return geometry ? geometry->rect() : Rect();
}

bool ItemCL::contains(const Point& p)
{
    return visible && inside(bounds(), p);
}

bool ItemCL::intersects(const Rect& r)
{
    const Rect b = bounds();
    return visible && r.left() < b.right() && b.left() < r.right() && r.top() < b.bottom() && b.top() < r.bottom();
}

void ItemCL::notifyObservers()
{
    if (!observers)
        return;
    for (ItemObserver* o : *observers)
        o->onItemsPainted(context());
}

void ItemCL::addObserver(ItemObserver* observer)
{
    if (!observers)
        observers = new std::vector<ItemObserver*>;
    if (std::find(observers->begin(), observers->end(), observer) == observers->end())
        observers->push_back(observer);
}

void ItemCL::setFlags(uint32_t bits)
{
    if (flags & bits)
        return;
    flags |= bits;
    if (!parent)
        return;
    parent->mouseChildren.push_back(this);
    parent->mouseCount = static_cast<int32_t>(parent->mouseChildren.size());
    parent->setFlags(bits);
}

void ItemCL::clearFlags(uint32_t bits)
{
    if (!(flags & bits))
        return;
    flags &= ~bits;
    if (!parent)
        return;
    eraseFrom(parent->mouseChildren, this);
    parent->mouseCount = static_cast<int32_t>(parent->mouseChildren.size());
    if (parent->mouseCount == 0)
        parent->clearFlags(bits);
}

DeviceContext* ItemCL::context() const
{
    const ItemCL* item = this;
    while (item) {
        const ItemGroupCL* group = dynamic_cast<const ItemGroupCL*>(item);
        if (group && group->dcSlot)
            return *group->dcSlot;
        item = item->parent;
    }
    return nullptr;
}

WindowCL* ItemCL::host() const
{
    const ItemCL* item = this;
    while (item) {
        const ItemGroupCL* group = dynamic_cast<const ItemGroupCL*>(item);
        if (group && group->hostWindow)
            return group->hostWindow;
        item = item->parent;
    }
    return theApplication ? theApplication->mainFrame : nullptr;
}

// ---------------------------------------------------------------- ItemGroupCL

ItemGroupCL::ItemGroupCL(WindowCL* window, DeviceContext** slot)
    : ItemCL(nullptr, window ? window->geometry : nullptr), mouseCount(0), coverAll(0), current(nullptr),
      dcSlot(slot), hostWindow(window), ownsGeometry(false)
{
}

ItemGroupCL::ItemGroupCL(ItemGroupCL* group, Geometry* g)
    : ItemCL(group, g), mouseCount(0), coverAll(0), current(nullptr), dcSlot(group ? group->dcSlot : nullptr),
      hostWindow(group ? group->host() : nullptr), ownsGeometry(true)
{
}

ItemGroupCL::~ItemGroupCL()
{
    while (!children.empty()) {
        ItemCL* child = children.back();
        children.pop_back();
        eraseFrom(mouseChildren, child);
        child->parent = nullptr;
        delete child;
    }
    mouseChildren.clear();
    if (!ownsGeometry)
        geometry = nullptr;
}

bool ItemGroupCL::contains(const Point& p)
{
    return visible && (coverAll || ItemCL::contains(p));
}

bool ItemGroupCL::intersects(const Rect& r)
{
    return visible && (coverAll || ItemCL::intersects(r));
}

ItemCL* ItemGroupCL::addChild(ItemCL* item)
{
    item->parent = this;
    children.push_back(item);
    // An item built with this group as its parent has listed itself already.
    if ((item->flags & kWantsMouse) &&
        std::find(mouseChildren.begin(), mouseChildren.end(), item) == mouseChildren.end()) {
        mouseChildren.push_back(item);
        mouseCount = static_cast<int32_t>(mouseChildren.size());
        setFlags(kWantsMouse);
    }
    return item;
}

void ItemGroupCL::removeChild(ItemCL* item)
{
    eraseFrom(children, item);
    eraseFrom(mouseChildren, item);
    mouseCount = static_cast<int32_t>(mouseChildren.size());
    if (current == item)
        current = nullptr;
}

LRESULT ItemGroupCL::buttonDown(EventRecord* event)
{
    const Point p = pointOf(event);
    const std::vector<ItemCL*> list = children;
    for (ItemCL* child : list) {
        if (!child->contains(p) || !child->acceptsPoint(p))
            continue;
        current = child;
        if (child->buttonDown(event))
            return 1;
    }
    current = nullptr;
    return 0;
}

LRESULT ItemGroupCL::mouseMove(EventRecord* event)
{
    if (current)
        return current->mouseMove(event);
    const Point p = pointOf(event);
    const std::vector<ItemCL*> list = children;
    for (ItemCL* child : list)
        if (child->contains(p) && child->acceptsPoint(p) && child->mouseMove(event))
            return 1;
    return 0;
}

LRESULT ItemGroupCL::buttonUp(EventRecord* event)
{
    if (!current)
        return 0;
    ItemCL* child = current;
    current = nullptr;
    return child->buttonUp(event);
}

LRESULT ItemGroupCL::character(EventRecord* event)
{
    const std::vector<ItemCL*> list = children;
    for (ItemCL* child : list)
        if (child->character(event))
            return 1;
    return 0;
}

void ItemGroupCL::paint(const Rect* r)
{
    notifyObservers();
    const std::vector<ItemCL*> list = children;
    for (ItemCL* child : list) {
        if (!r)
            child->paint(nullptr);
        else if (child->visible && child->acceptsRect(*r))
            child->paint(r);
    }
}

void ItemGroupCL::layoutChanged()
{
    for (ItemCL* child : children)
        child->layoutChanged();
}

void ItemGroupCL::setVisible(int flag)
{
    ItemCL::setVisible(flag);
    for (ItemCL* child : children)
        child->setVisible(flag);
}

// ---------------------------------------------------------------- ItemPaneCL

ItemPaneCL::ItemPaneCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle)
    : PaneWindowCL(parentWindow, g, windowStyle), root(nullptr)
{
    root = new ItemGroupCL(this, &current);
}

ItemPaneCL::~ItemPaneCL()
{
    root->geometry = nullptr;
    delete root;
    root = nullptr;
}

void ItemPaneCL::addItem(ItemCL* item)
{
    root->addChild(item);
    current->attach();
    item->paint(nullptr);
    current->release();
}

LRESULT ItemPaneCL::onSize(EventRecord*)
{
    if (geometry)
        geometry->layout(nullptr);
    root->layoutChanged();
    own->invalidateRect(nullptr, true);
    return 1;
}

LRESULT ItemPaneCL::paint(DeviceContext& dc)
{
    dc.attach();
    Rect update = dc.updateRect();
    root->paint(&update);
    dc.release();
    return 1;
}

LRESULT ItemPaneCL::onMouseMove(EventRecord* event)
{
    if (!(root->flags & kWantsMouse))
        return 0;
    EventRecord shifted = *event;
    shifted.lParam = shiftedPoint(event->lParam, current->scrollOrigin());
    return root->mouseMove(&shifted);
}

LRESULT ItemPaneCL::onButtonUp(EventRecord* event)
{
    if (!(root->flags & kWantsMouse))
        return 0;
    return root->buttonUp(event);
}

LRESULT ItemPaneCL::onButtonDown(EventRecord* event)
{
    if (!(root->flags & kWantsMouse))
        return 0;
    if (isWindow())
        SetFocus(hwnd);
    EventRecord shifted = *event;
    shifted.lParam = shiftedPoint(event->lParam, current->scrollOrigin());
    return root->buttonDown(&shifted);
}

LRESULT ItemPaneCL::onChar(EventRecord* event)
{
    if (!(root->flags & kWantsMouse))
        return 0;
    return root->character(event);
}

int ItemPaneCL::printTo(DeviceContext* dc, int flag)
{
    if (!geometry)
        return PaneWindowCL::printTo(dc, flag);
    const Point saved(geometry->width, geometry->height);
    own->attach();
    const Rect area = own->drawingArea();
    Rect r(0, 0, area.width(), area.height());
    geometry->layout(&r);
    root->paint(nullptr);
    own->release();
    Rect back(0, 0, saved.x(), saved.y());
    geometry->layout(&back);
    return PaneWindowCL::printTo(dc, flag);
}
