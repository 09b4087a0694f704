#include "ToolBar.h"

#include "DeviceContext.h"

#include <algorithm>

LRESULT setCheck(WindowCL* button, int state)
{
    if (!button || !button->isWindow())
        return 0;
    if (state == 1 && SendMessageA(button->hwnd, BM_GETCHECK, 0, 0) == 1)
        return 0;
    WNDPROC procedure = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(button->hwnd, GWLP_WNDPROC));
    return CallWindowProcA(procedure, button->hwnd, BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

// ---------------------------------------------------------------- ButtonMenuLink

ButtonMenuLink::ButtonMenuLink(ToolBarCL* b, Menu* m, int first, int last, int f)
    : bar(b), menu(m), firstId(first), lastId(last), flags(f)
{
    for (WindowCL* button : buttons())
        attach(button);
}

ButtonMenuLink::~ButtonMenuLink()
{
    for (WindowCL* button : buttons())
        detach(button);
}

std::vector<WindowCL*> ButtonMenuLink::buttons()
{
    std::vector<WindowCL*> list;
    if (!bar || !bar->children)
        return list;
    const bool all = firstId == 0 && lastId == 0xFFFF;
    DListIteratorOf<WindowCL> walk(*bar->children);
    while (WindowCL* child = walk.next())
        if (all || (child->id >= firstId && child->id <= lastId))
            list.push_back(child);
    return list;
}

void ButtonMenuLink::attach(WindowCL* button)
{
    if (!flags)
        return;
    button->AddEventHandler(this, &ButtonMenuLink::onButtonEvent, WM_ENABLE);
    button->AddEventHandler(this, &ButtonMenuLink::onButtonEvent, BM_SETCHECK);
    if (flags & 1) {
        EventRecord e = {0, static_cast<WPARAM>(button->isWindow() && IsWindowEnabled(button->hwnd)), WM_ENABLE,
                         button->hwnd};
        onButtonEvent(&e);
    }
    if (flags & 2) {
        WPARAM checked = button->isWindow() ? static_cast<WPARAM>(SendMessageA(button->hwnd, BM_GETCHECK, 0, 0)) : 0;
        EventRecord e = {0, checked, BM_SETCHECK, button->hwnd};
        onButtonEvent(&e);
    }
}

void ButtonMenuLink::detach(WindowCL* button)
{
    button->RemoveEventHandler(this, &ButtonMenuLink::onButtonEvent, WM_ENABLE);
    button->RemoveEventHandler(this, &ButtonMenuLink::onButtonEvent, BM_SETCHECK);
}

LRESULT ButtonMenuLink::onButtonEvent(EventRecord* event)
{
    if (!menu || !event->hwnd)
        return 0;
    const UINT id = static_cast<UINT>(GetWindowLongA(event->hwnd, GWL_ID));
    if (event->message == WM_ENABLE && (flags & 1))
        menu->grayItem(id, event->wParam == 0);
    else if (event->message == BM_SETCHECK && (flags & 2))
        menu->checkItem(id, static_cast<int>(event->wParam));
    return 0;
}

// ---------------------------------------------------------------- RadioGroup

RadioGroup::RadioGroup(ToolBarCL* b, int first, int last)
    : bar(b), firstId(first), lastId(last), selectedId(first), registered(true)
{
    if (bar) {
        if (!bar->radioGroups)
            bar->radioGroups = new std::vector<RadioGroup*>;
        bar->radioGroups->push_back(this);
    }
    init();
}

RadioGroup::RadioGroup(ToolBarCL* b, int first, int last, bool doRegister)
    : bar(b), firstId(first), lastId(last), selectedId(first), registered(false)
{
    if (doRegister && bar) {
        registered = true;
        if (!bar->radioGroups)
            bar->radioGroups = new std::vector<RadioGroup*>;
        bar->radioGroups->push_back(this);
    }
    init();
}

RadioGroup::~RadioGroup()
{
    if (!bar)
        return;
    bar->removeCommandHandlerRecord(this, &RadioGroup::onGroupCommand);
    if (bar->radioGroups) {
        auto& list = *bar->radioGroups;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void RadioGroup::init()
{
    selectedId = 0;
    for (int id = firstId; id <= lastId && bar; ++id) {
        WindowCL* b = bar->control(id);
        if (b && b->isWindow() && SendMessageA(b->hwnd, BM_GETCHECK, 0, 0) == 1) {
            selectedId = id;
            break;
        }
    }
    if (!selectedId) {
        selectedId = firstId;
        if (bar)
            setCheck(bar->control(firstId), 1);
    }
    if (bar)
        bar->onCommand(this, &RadioGroup::onGroupCommand, firstId, lastId);
}

LRESULT RadioGroup::onGroupCommand(EventRecord* event)
{
    if (HIWORD(event->wParam) != 0)
        return 0;
    select(LOWORD(event->wParam));
    if (notify.isSet())
        notify(event);
    return 0;
}

int RadioGroup::select(int id)
{
    WindowCL* old = bar ? bar->control(selectedId) : nullptr;
    if (old && old->hwnd) {
        setCheck(old, 0);
        old->style &= ~static_cast<DWORD>(WS_TABSTOP);
        SetWindowLongA(old->hwnd, GWL_STYLE, static_cast<LONG>(GetWindowLongA(old->hwnd, GWL_STYLE) & ~WS_TABSTOP));
    }
    selectedId = id;
    WindowCL* chosen = bar ? bar->control(id) : nullptr;
    if (chosen && chosen->hwnd) {
        setCheck(chosen, 1);
        chosen->style |= WS_TABSTOP;
        SetWindowLongA(chosen->hwnd, GWL_STYLE, static_cast<LONG>(GetWindowLongA(chosen->hwnd, GWL_STYLE) | WS_TABSTOP));
    }
    return old && chosen ? 1 : 0;
}

void RadioGroup::enable(int flag)
{
    for (int id = firstId; id <= lastId; ++id)
        if (bar)
            bar->enableButton(id, flag);
}

BoundRadioGroup::BoundRadioGroup(ToolBarCL* b, int first, int last, int* v) : RadioGroup(b, first, last), variable(v)
{
    bindButtons();
    loadValue();
}

BoundRadioGroup::BoundRadioGroup(ToolBarCL* b, int first, int last, int* v, bool doRegister)
    : RadioGroup(b, first, last, doRegister), variable(v)
{
    bindButtons();
    loadValue();
}

void BoundRadioGroup::bindButtons()
{
    if (!bar || !bar->children)
        return;
    DListIteratorOf<WindowCL> walk(*bar->children);
    while (WindowCL* child = walk.next())
        if (child->id >= firstId && child->id <= lastId)
            if (RadioButton3dCL* radio = dynamic_cast<RadioButton3dCL*>(child))
                radio->bind(variable);
}

int BoundRadioGroup::loadValue()
{
    if (variable && *variable >= firstId && *variable <= lastId)
        select(*variable);
    return 1;
}

int BoundRadioGroup::storeValue()
{
    if (variable)
        *variable = selectedId;
    return 1;
}

// ---------------------------------------------------------------- ToolBarCL

ToolBarCL::ToolBarCL(WindowCL* parentWindow, Geometry* g, DWORD style, DWORD paneStyle)
    : ItemPaneCL(parentWindow, g, paneStyle), menuLink(nullptr), radioGroups(nullptr), forwardFlag(0),
      barLayout(nullptr), frameItem(nullptr), barStyle(style), itemGroup(nullptr)
{
    initBar(style);
}

ToolBarCL::ToolBarCL(ForwardToGrandparent, WindowCL* parentWindow, Geometry* g, DWORD style, DWORD paneStyle)
    : ItemPaneCL(parentWindow, g, paneStyle), menuLink(nullptr), radioGroups(nullptr), forwardFlag(1),
      barLayout(nullptr), frameItem(nullptr), barStyle(style), itemGroup(nullptr)
{
    initBar(style);
}

void ToolBarCL::initBar(DWORD style)
{
    const Color face(static_cast<uint32_t>(GetSysColor(COLOR_BTNFACE)) & 0xFFFFFFu);
    setBackColor(face);
    own->setBackColor(face);
    own->setTextColor(Color(static_cast<uint32_t>(GetSysColor(COLOR_BTNTEXT)) & 0xFFFFFFu));
    barLayout = new BarLayout(1);
    barLayout->setMargins(4, 1);
    if (Layout* l = geometry ? geometry->asLayout() : nullptr)
        l->setArranger(barLayout);
    itemGroup = new SubItemGroupCL(root, nullptr);
    root->addChild(itemGroup);
    if (style & 0x200) {
        const int w = geometry && geometry->width != kNotGiven ? geometry->width : 0;
        const int h = geometry && geometry->height != kNotGiven ? geometry->height : 0;
        frameItem = new BevelItemCL(itemGroup, new Geometry(0, 0, w, h), 0x4000, "", 1, 1, -1, 1);
        itemGroup->addChild(frameItem);
    }
    if ((style & 0x001) && geometry) {
        switch (geometry->kind) {
        case PLACE_LEFT: barStyle |= 0x02; break;
        case PLACE_RIGHT: barStyle |= 0x04; break;
        case PLACE_TOP: barStyle |= 0x10; break;
        case PLACE_BOTTOM: barStyle |= 0x08; break;
        default: break;
        }
    }
}

ToolBarCL::~ToolBarCL()
{
    delete menuLink;
    menuLink = nullptr;
    if (radioGroups) {
        // The groups are their creators'; they must not reach a dead bar.
        for (RadioGroup* group : *radioGroups)
            group->bar = nullptr;
        delete radioGroups;
        radioGroups = nullptr;
    }
    // The buttons go before the spacers leave the layout.
    if (children) {
        while (WindowCL* child = children->first())
            delete child;
    }
    for (BarItemLayout* spacer : spacers)
        delete spacer;
    spacers.clear();
    // The frame item goes with the item group, a child of the root.
    frameItem = nullptr;
    itemGroup = nullptr;
}

WindowCL* ToolBarCL::target() const
{
    if (!parent)
        return nullptr;
    return forwardFlag ? parent->parent : parent;
}

LRESULT ToolBarCL::defaultEvent(EventRecord* event)
{
    WindowCL* to = target();
    if (to) {
        if (event->message == WM_COMMAND && to->isWindow())
            return SendMessageA(to->hwnd, WM_COMMAND, event->wParam, event->lParam);
        if (event->message == WM_MENUSELECT)
            return SendMessageA(to->hwnd, WM_MENUSELECT, event->wParam, event->lParam);
    }
    return ItemPaneCL::defaultEvent(event);
}

LRESULT ToolBarCL::onSize(EventRecord* event)
{
    if (frameItem && frameItem->geometry)
        frameItem->geometry->setSize(Point(LOWORD(event->lParam), HIWORD(event->lParam)));
    own->invalidateRect(nullptr, true);
    return 0;
}

LRESULT ToolBarCL::paint(DeviceContext& dc)
{
    dc.attach();
    if (HDC h = dc.hdc) {
        RECT client;
        GetClientRect(hwnd, &client);
        const int x = 0, y = 0, w = client.right, ht = client.bottom;
        if (frameItem) {
            frameItem->geometry->setSize(Point(w, ht));
            frameItem->drawOn(h);
        } else {
            HGDIOBJ old = SelectObject(h, GetStockObject(BLACK_PEN));
            if (barStyle & 0x10) {
                MoveToEx(h, x, y + ht - 1, nullptr);
                LineTo(h, x + w, y + ht - 1);
            }
            if (barStyle & 0x08) {
                MoveToEx(h, x, y, nullptr);
                LineTo(h, x + w, y);
            }
            if (barStyle & 0x02) {
                MoveToEx(h, x + w - 1, y, nullptr);
                LineTo(h, x + w - 1, y + ht - 1);
            }
            if (barStyle & 0x04) {
                MoveToEx(h, x, y, nullptr);
                LineTo(h, x, y + ht - 1);
            }
            SelectObject(h, old);
        }
    }
    dc.release();
    return 1;
}

WindowCL* ToolBarCL::control(int id)
{
    if (!children)
        return nullptr;
    DListIteratorOf<WindowCL> walk(*children);
    while (WindowCL* child = walk.next())
        if (child->id == id)
            return child;
    return nullptr;
}

int ToolBarCL::loadValue()
{
    for (BoundRadioGroup* group : boundGroups())
        group->loadValue();
    return 1;
}

int ToolBarCL::validate()
{
    for (BoundRadioGroup* group : boundGroups())
        if (!group->validate())
            return 0;
    return 1;
}

int ToolBarCL::storeValue()
{
    for (BoundRadioGroup* group : boundGroups())
        group->storeValue();
    return 1;
}

std::vector<BoundRadioGroup*> ToolBarCL::boundGroups() const
{
    std::vector<BoundRadioGroup*> bound;
    if (radioGroups)
        for (RadioGroup* group : *radioGroups)
            if (BoundRadioGroup* b = dynamic_cast<BoundRadioGroup*>(group))
                bound.push_back(b);
    return bound;
}

BmpButtonCL* ToolBarCL::button(int id)
{
    if (!children)
        return nullptr;
    DListIteratorOf<WindowCL> walk(*children);
    while (WindowCL* child = walk.next())
        if (child->id == id)
            return dynamic_cast<BmpButtonCL*>(child);
    return nullptr;
}

void ToolBarCL::enableButton(int id, int flag)
{
    if (CtrlWindowCL* b = dynamic_cast<CtrlWindowCL*>(control(id))) {
        if (flag)
            b->enable();
        else
            b->disable();
    }
}

int ToolBarCL::isButtonEnabled(int id)
{
    CtrlWindowCL* b = dynamic_cast<CtrlWindowCL*>(control(id));
    return b && b->isEnabled() ? 1 : 0;
}

int ToolBarCL::checkButton(int id, int state)
{
    if (radioGroups) {
        for (RadioGroup* group : *radioGroups) {
            if (id < group->firstId || id > group->lastId)
                continue;
            if (!control(id))
                return 0;
            if (state)
                group->select(id);
            else
                group->select(id >= group->lastId ? group->firstId : id + 1);
            return 1;
        }
    }
    WindowCL* b = control(id);
    return b ? static_cast<int>(setCheck(b, state)) : 0;
}

int ToolBarCL::isButtonChecked(int id)
{
    WindowCL* b = control(id);
    return b && b->isWindow() ? static_cast<int>(SendMessageA(b->hwnd, BM_GETCHECK, 0, 0)) : 0;
}

BarItemLayout* ToolBarCL::addSpacer(int position, const Point& size)
{
    BarItemLayout* spacer = new BarItemLayout(position, size, geometry ? geometry->asLayout() : nullptr);
    spacers.push_back(spacer);
    return spacer;
}

void ToolBarCL::rebuildLayout()
{
    if (geometry && isWindow()) {
        RECT client;
        GetClientRect(hwnd, &client);
        const int32_t x = geometry->x == kNotGiven ? 0 : geometry->x;
        const int32_t y = geometry->y == kNotGiven ? 0 : geometry->y;
        Rect r(x, y, x + client.right, y + client.bottom);
        geometry->layout(&r);
    }
    own->invalidateRect(nullptr, true);
}

void ToolBarCL::linkMenu()
{
    delete menuLink;
    menuLink = nullptr;
    WindowCL* owner = forwardFlag ? (parent ? parent->parent : nullptr) : parent;
    Menu* menu = owner ? owner->getMenu() : nullptr;
    menuLink = new ButtonMenuLink(this, menu, 0, 0xFFFF, 3);
}

void ToolBarCL::unlinkMenu()
{
    delete menuLink;
    menuLink = nullptr;
}
