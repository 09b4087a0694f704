#include "Ctl3dWindow.h"

#include "Application.h"
#include "ButtonItems.h"
#include "DeviceContext.h"

#include <cstring>

using namespace paint3d;

namespace {

// A space key-down waiting for its key-up, for the whole program: a second
// key-down (auto-repeat) is swallowed. Only space sets it, and losing the
// focus clears it (a mended fault: any key used to set it for good, so that
// after a letter no 3-D button toggled by keyboard any more).
bool spacePending = false;

int checkValue(int state)
{
    switch (state) {
    case BUTTON_LATCHED: return 1;
    case BUTTON_UP: return 0;
    case BUTTON_PRESSED_LATCHED:
    case BUTTON_PRESSED_UP: return 2;
    default: return 0;
    }
}

// The sunken 12 x 12 box of the check box and the radio button.
RECT markBox(const Rect& item, uint32_t style, int rightInset)
{
    const int top = item.top() + item.height() / 2 - 6;
    const int left = (style & 0x20) ? item.left() + item.width() - rightInset : item.left();
    return RECT{left, top, left + 12, top + 12};
}

// The mark of a check box or a radio button: how it shows each button
// state; the two differ in their drawing and in how a release toggles.
class Mark3dItem : public ButtonItemCL {
public:
    Mark3dItem(ItemGroupCL* group, Geometry* g, uint32_t itemStyle, int itemId)
        : ButtonItemCL(group, g, itemStyle, itemId)
    {
    }
    void showUp() override
    {
        state = BUTTON_UP;
        draw(false, false);
    }
    void showLatched() override
    {
        state = BUTTON_LATCHED;
        draw(false, true);
    }
    void showPressed() override
    {
        state = state == BUTTON_LATCHED ? BUTTON_PRESSED_LATCHED : BUTTON_PRESSED_UP;
        draw(true, state == BUTTON_PRESSED_LATCHED);
    }
    void showPressedFromUp() override
    {
        state = BUTTON_PRESSED_UP;
        draw(true, false);
    }
    void showDisabled() override { draw(false, false); }

protected:
    virtual void draw(bool down, bool mark) = 0;
};

class CheckMark3dItem : public Mark3dItem {
public:
    CheckMark3dItem(ItemGroupCL* group, Geometry* g, uint32_t itemStyle, int itemId)
        : Mark3dItem(group, g, itemStyle, itemId)
    {
        twoState = 1;
        setStyle(itemStyle);
    }
    void setStyle(uint32_t s)
    {
        style = s;
        autoToggle = (s & 3) == 3;
    }
    void finishToggle() override
    {
        if (state == BUTTON_PRESSED_LATCHED)
            autoToggle ? showUp() : showLatched();
        else if (state == BUTTON_PRESSED_UP)
            autoToggle ? showLatched() : showUp();
    }

private:
    void draw(bool down, bool mark) override
    {
        HDC dc = beginDraw();
        if (!dc)
            return;
        const RECT b = markBox(bounds(), style, 14);
        const int l = b.left, t = b.top;
        if (style & 0x200) {
            RECT inside = {l, t, l + 12, t + 12};
            FillRect(dc, &inside, static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
            line(dc, kGray, l, t + 11, l, t, l + 12, t);
            line(dc, kWhite, l + 11, t + 1, l + 11, t + 11, l, t + 11);
        } else {
            line(dc, kGray, l, t + 11, l, t, l + 12, t);
            line(dc, kWhite, l + 11, t + 1, l + 11, t + 12);
            line(dc, kWhite, l, t + 11, l + 11, t + 11);
            RECT inside = {l + 2, t + 2, l + 10, t + 10};
            fill(dc, inside, down ? face() : kWhite);
            line(dc, kBlack, l + 1, t + 10, l + 1, t + 1, l + 11, t + 1);
            line(dc, face(), l + 10, t + 2, l + 10, t + 10, l + 1, t + 10);
        }
        if (mark) {
            const COLORREF c = kBlack;
            HBRUSH brush = CreateSolidBrush(c);
            if (style & 0x400) {
                line(dc, c, l + 3, t + 4, l + 3, t + 9);
                line(dc, c, l + 4, t + 4, l + 4, t + 10);
                for (int i = 0; i < 3; ++i) {
                    RECT dot = {l + 5 + i, t + 7 - 2 * i, l + 7 + i, t + 9 - 2 * i};
                    FillRect(dc, &dot, brush);
                }
            } else {
                const int xs[] = {3, 4, 5, 6, 7, 8};
                const int ys[] = {5, 6, 7, 6, 5, 4};
                for (int i = 0; i < 6; ++i) {
                    RECT dot = {l + xs[i], t + ys[i], l + xs[i] + 2, t + ys[i] + 2};
                    FillRect(dc, &dot, brush);
                }
            }
            DeleteObject(brush);
        }
        endDraw();
    }
};

class RadioMark3dItem : public Mark3dItem {
public:
    RadioMark3dItem(ItemGroupCL* group, Geometry* g, uint32_t itemStyle, int itemId)
        : Mark3dItem(group, g, itemStyle, itemId)
    {
        // A release from checked stays checked: a click never unchecks.
        twoState = 0;
        setStyle(itemStyle);
    }
    void setStyle(uint32_t s)
    {
        style = s;
        autoToggle = (s & 9) == 9;
    }
    void finishToggle() override
    {
        if (state == BUTTON_PRESSED_LATCHED)
            showLatched();
        else if (state == BUTTON_PRESSED_UP)
            (style & 9) ? showLatched() : showUp();
    }

private:
    void draw(bool down, bool mark) override
    {
        HDC dc = beginDraw();
        if (!dc)
            return;
        const RECT b = markBox(bounds(), style, 13);
        RECT area = {b.left, b.top, b.left + 13, b.top + 13};
        fill(dc, area, face());
        HPEN gray = CreatePen(PS_SOLID, 1, kGray);
        HBRUSH inside = CreateSolidBrush(down ? face() : kWhite);
        HGDIOBJ oldPen = SelectObject(dc, gray);
        HGDIOBJ oldBrush = SelectObject(dc, inside);
        Ellipse(dc, b.left, b.top, b.left + 12, b.top + 12);
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(gray);
        DeleteObject(inside);
        if (mark) {
            const int cx = b.left + 5, cy = b.top + 5;
            SetPixel(dc, cx, cy - 2, kBlack);
            SetPixel(dc, cx, cy + 2, kBlack);
            line(dc, kBlack, cx - 1, cy - 1, cx + 2, cy - 1);
            line(dc, kBlack, cx - 1, cy + 1, cx + 2, cy + 1);
            line(dc, kBlack, cx - 2, cy, cx + 3, cy);
        }
        endDraw();
    }
};

class StaticText3dItem : public LabelItemCL {
public:
    using LabelItemCL::LabelItemCL;
    void paint(const Rect*) override
    {
        if (text.empty())
            return;
        DeviceContext* dc = context();
        if (!dc)
            return;
        dc->attach();
        if (HDC h = dc->hdc) {
            measure(h);
            const Rect g = groupRect();
            const int w = g.width();
            switch (style & 3) {
            case 1: textX = g.left() + 1 + ((w - 2) / 2 - textWidth / 2); break;
            case 2: textX = g.left() + 1 + (w - 2 - textWidth); break;
            default: textX = g.left() + 1; break;
            }
            textY = g.top() + effectOffset(style);
            RECT whole = {g.left(), g.top(), g.right(), g.bottom()};
            fill(h, whole, face());
            drawText(h);
        }
        dc->release();
    }
};

void applyMarkStyle(ButtonItemCL* mark, uint32_t s)
{
    if (CheckMark3dItem* check = dynamic_cast<CheckMark3dItem*>(mark))
        check->setStyle(s);
    else if (RadioMark3dItem* radio = dynamic_cast<RadioMark3dItem*>(mark))
        radio->setStyle(s);
    else if (mark)
        mark->style = s;
}

} // namespace

// ---------------------------------------------------------------- Ctl3dWindowCL

Ctl3dWindowCL::Ctl3dWindowCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, const char* text,
                             int controlIdentifier)
    : ItemCtrlCL(parentWindow, g, windowStyle, text, controlIdentifier), font(nullptr), mainItem(nullptr),
      controlId(controlIdentifier), buttonStyle(windowStyle)
{
    id = controlIdentifier;
    if (hwnd)
        SetWindowLongA(hwnd, GWL_ID, controlIdentifier);
    setBackColor(Color(static_cast<uint32_t>(GetSysColor(COLOR_BTNFACE)) & 0xFFFFFFu));
}

Ctl3dWindowCL::Ctl3dWindowCL(WindowCL* parentWindow, int controlIdentifier)
    : ItemCtrlCL(parentWindow, controlIdentifier), font(nullptr), mainItem(nullptr), controlId(controlIdentifier),
      buttonStyle(style)
{
    id = controlIdentifier;
    if (hwnd) {
        buttonStyle = static_cast<uint32_t>(GetWindowLongA(hwnd, GWL_STYLE));
        SetWindowLongA(hwnd, GWL_ID, controlIdentifier);
    }
    setBackColor(Color(static_cast<uint32_t>(GetSysColor(COLOR_BTNFACE)) & 0xFFFFFFu));
}

Ctl3dWindowCL::~Ctl3dWindowCL()
{
    // The composite is a child of the container, deleted with it.
    mainItem = nullptr;
}

SubItemGroupCL* Ctl3dWindowCL::makeBox()
{
    Layout* windowLayout = geometry ? geometry->asLayout() : nullptr;
    return new SubItemGroupCL(items, new EdgeLayout(PLACE_REST, 0, 0, windowLayout));
}

EdgeLayout* Ctl3dWindowCL::fill(SubItemGroupCL* box)
{
    return new EdgeLayout(PLACE_REST, 0, 0, box->geometry ? box->geometry->asLayout() : nullptr);
}

void Ctl3dWindowCL::setMainItem(ItemGroupCL* container, SubItemGroupCL* item, uint32_t s)
{
    buttonStyle = s;
    mainItem = item;
    container->addChild(item);
}

LabelItemCL* Ctl3dWindowCL::textItem() const
{
    return mainItem ? dynamic_cast<LabelItemCL*>(mainItem->labelItem) : nullptr;
}

ButtonItemCL* Ctl3dWindowCL::markItem() const
{
    return mainItem ? dynamic_cast<ButtonItemCL*>(mainItem->mainItem) : nullptr;
}

void Ctl3dWindowCL::notifyParent(int code)
{
    if (parent && parent->isWindow())
        SendMessageA(parent->hwnd, WM_COMMAND, MAKEWPARAM(id & 0xFFFF, code), reinterpret_cast<LPARAM>(hwnd));
}

void Ctl3dWindowCL::postNotify(int code)
{
    if (parent && parent->isWindow())
        PostMessageA(parent->hwnd, WM_COMMAND, MAKEWPARAM(id & 0xFFFF, code), reinterpret_cast<LPARAM>(hwnd));
}

void Ctl3dWindowCL::repaintBox()
{
    if (!mainItem || !drawing)
        return;
    drawing->attach();
    mainItem->paint(nullptr);
    drawing->release();
}

void Ctl3dWindowCL::setFont(HFONT f, int redraw)
{
    font = f;
    if (LabelItemCL* text = textItem())
        text->setFont(f);
    if (redraw)
        repaintBox();
}

void Ctl3dWindowCL::setDisabled(int flag)
{
    if (LabelItemCL* text = textItem()) {
        text->setDisabled(flag);
        if (drawing) {
            drawing->attach();
            text->paint(nullptr);
            drawing->release();
        }
    }
}

void Ctl3dWindowCL::setStyle(uint32_t s, int redraw)
{
    buttonStyle = s;
    applyMarkStyle(markItem(), s);
    if (LabelItemCL* text = textItem())
        text->setStyle(s);
    if (redraw)
        repaintBox();
}

void Ctl3dWindowCL::setText(const char* text)
{
    title = text ? text : "";
    if (LabelItemCL* label = textItem()) {
        std::string t = title.text() ? title.text() : "";
        if (t.size() > kLabelTextLimit)
            t.resize(kLabelTextLimit);
        label->setText(t.c_str());
    }
    if (drawing)
        drawing->invalidateRect(nullptr, true);
}

namespace {

// Leaves the sibling windows that overlap the control out of dc, except
// other group boxes and panels, which lie under them as well.
void excludeSiblings(HWND self, HDC dc)
{
    HWND parentHandle = GetParent(self);
    if (!parentHandle)
        return;
    for (HWND sibling = GetWindow(parentHandle, GW_CHILD); sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        if (sibling == self || !IsWindowVisible(sibling))
            continue;
        WindowCL* object = theApplication && theApplication->winMap ? theApplication->winMap->lookup(sibling) : nullptr;
        Ctl3dWindowCL* control = dynamic_cast<Ctl3dWindowCL*>(object);
        if (control && control->holdsWindows())
            continue;
        RECT r;
        GetWindowRect(sibling, &r);
        MapWindowPoints(nullptr, self, reinterpret_cast<POINT*>(&r), 2);
        ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
    }
}

} // namespace

LRESULT Ctl3dWindowCL::paint(EventRecord* event)
{
    if (drawing && isWindow()) {
        drawing->attach();
        if (HDC h = drawing->hdc) {
            const int saved = SaveDC(h);
            if (holdsWindows())
                excludeSiblings(hwnd, h);
            RECT client;
            GetClientRect(hwnd, &client);
            paint3d::fill(h, client, face());
            RestoreDC(h, saved);
        }
        drawing->release();
    }
    return ItemCtrlCL::paint(event);
}

LRESULT Ctl3dWindowCL::onFocus(EventRecord* event)
{
    if (event->message == WM_SETFOCUS && parent && parent->isWindow())
        SendMessageA(parent->hwnd, WM_NEXTDLGCTL, 0, 0);
    return 0;
}

LRESULT Ctl3dWindowCL::defaultEvent(EventRecord* event)
{
    switch (event->message) {
    case WM_ENABLE: setDisabled(event->wParam == 0); return 0;
    case WM_SETREDRAW:
    case WM_SYSCOLORCHANGE:
    case WM_WININICHANGE:
    case WM_GETDLGCODE: return 0;
    case WM_SETTEXT: setText(reinterpret_cast<const char*>(event->lParam)); return 0;
    case WM_GETTEXT: {
        // The count copied, and nothing for a buffer of 0 (a mended fault:
        // wParam 0 wrapped round to an unbounded copy, and 0 was returned).
        char* buffer = reinterpret_cast<char*>(event->lParam);
        const size_t room = static_cast<size_t>(event->wParam);
        if (!buffer || room == 0)
            return 0;
        const char* text = title.text() ? title.text() : "";
        size_t n = strlen(text);
        if (n > room - 1)
            n = room - 1;
        memcpy(buffer, text, n);
        buffer[n] = 0;
        return static_cast<LRESULT>(n);
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(title.text() ? strlen(title.text()) : 0);
    case WM_SETFONT: setFont(reinterpret_cast<HFONT>(event->wParam), static_cast<int>(event->lParam)); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(font);
    case BM_SETSTYLE: setStyle(static_cast<uint32_t>(event->wParam), static_cast<int>(event->lParam)); return 0;
    default: return ItemCtrlCL::defaultEvent(event);
    }
}

// ---------------------------------------------------------------- Button3dCL

int Button3dCL::lastFocusShown = 0;

Button3dCL::Button3dCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, const char* text, int controlId)
    : Ctl3dWindowCL(parentWindow, g, windowStyle, text, controlId), pushButton(0)
{
}

Button3dCL::~Button3dCL()
{
    LabelItemCL* text = textItem();
    lastFocusShown = text && text->focus ? 1 : 0;
}

void Button3dCL::takePlace(const Placeholder3d& placeholder)
{
    adoptPlace(placeholder);
    if (LabelItemCL* text = textItem())
        text->setFocus(placeholder.found ? lastFocusShown : 0);
}

LRESULT Button3dCL::defaultEvent(EventRecord* event)
{
    ButtonItemCL* mark = markItem();
    switch (event->message) {
    case BM_GETCHECK: return mark ? checkValue(mark->state) : 0;
    case BM_SETCHECK:
        if (mark) {
            if (event->wParam == 0)
                mark->showUp();
            else
                mark->showLatched();
        }
        return 0;
    case BM_GETSTATE: {
        if (!mark)
            return 0;
        LabelItemCL* text = textItem();
        return checkValue(mark->state) | ((text && text->focus) ? 12 : 0);
    }
    case BM_SETSTATE:
        if (!mark)
            return 0;
        if (event->wParam == 1 && (mark->state == BUTTON_LATCHED || mark->state == BUTTON_UP))
            mark->showPressed();
        else if (event->wParam == 0 && mark->state == BUTTON_PRESSED_LATCHED)
            mark->showLatched();
        else if (event->wParam == 0 && mark->state == BUTTON_PRESSED_UP)
            mark->showUp();
        return 0;
    case BM_SETSTYLE:
        setButtonStyle(static_cast<uint32_t>(event->wParam));
        return Ctl3dWindowCL::defaultEvent(event);
    case BM_CLICK:
        // As the system's buttons: a press and a release, as the space bar
        // makes them; a disabled button does nothing.
        if (mark && IsWindowEnabled(hwnd) && (mark->state == BUTTON_LATCHED || mark->state == BUTTON_UP)) {
            mark->showPressed();
            keyUp();
        }
        return 0;
    case WM_KEYDOWN:
        if (event->wParam != VK_SPACE)
            return 1;
        if (spacePending)
            return 1;
        spacePending = true;
        keyDown(event->wParam);
        return 0;
    case WM_KEYUP:
        if (event->wParam != VK_SPACE)
            return 1;
        spacePending = false;
        keyUp();
        return 0;
    case WM_COMMAND:
        if (parent && parent->isWindow())
            return SendMessageA(parent->hwnd, WM_COMMAND, event->wParam, event->lParam);
        return 0;
    default: return Ctl3dWindowCL::defaultEvent(event);
    }
}

void Button3dCL::keyDown(WPARAM key)
{
    ButtonItemCL* mark = markItem();
    if (key == VK_SPACE && mark && (mark->state == BUTTON_LATCHED || mark->state == BUTTON_UP))
        mark->showPressed();
}

void Button3dCL::keyUp()
{
    ButtonItemCL* mark = markItem();
    if (!mark || (mark->state != BUTTON_PRESSED_LATCHED && mark->state != BUTTON_PRESSED_UP))
        return;
    mark->finishToggle();
    if (parent && parent->isWindow())
        SendMessageA(parent->hwnd, WM_COMMAND, static_cast<WPARAM>(id & 0xFFFF), reinterpret_cast<LPARAM>(hwnd));
}

LRESULT Button3dCL::onButtonDown(EventRecord* event)
{
    if (event->message != WM_LBUTTONDOWN && event->message != WM_LBUTTONDBLCLK)
        return 0;
    return Ctl3dWindowCL::onButtonDown(event);
}

LRESULT Button3dCL::onButtonUp(EventRecord* event)
{
    if (event->message != WM_LBUTTONUP)
        return 0;
    return Ctl3dWindowCL::onButtonUp(event);
}

LRESULT Button3dCL::onFocus(EventRecord* event)
{
    const bool focused = event->message == WM_SETFOCUS;
    if (!focused)
        spacePending = false;
    LabelItemCL* text = textItem();
    if (text)
        text->setFocus(focused);
    if (pushButton) {
        if (ButtonItemCL* mark = markItem())
            mark->setFocusFlag(focused);
        if (!(buttonStyle & 0x8000))
            return 0;
    }
    if (text && drawing && text->showsFocusDots) {
        drawing->attach();
        if (drawing->hdc)
            text->drawFocus(drawing->hdc, !focused);
        drawing->release();
    }
    return 0;
}

// ---------------------------------------------------------------- check box and radio button

namespace {

std::string labelText(const char* text)
{
    std::string t = text ? text : "";
    if (t.size() > kLabelTextLimit)
        t.resize(kLabelTextLimit);
    return t;
}

} // namespace

CheckBox3dCL::CheckBox3dCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, const char* text, int controlId)
    : Button3dCL(parentWindow, g, windowStyle | 0x8000, labelText(text).c_str(), controlId), bound(nullptr),
      bindingKind(0), extra(0)
{
    const uint32_t s = windowStyle | 0x8000;
    SubItemGroupCL* box = makeBox();
    ButtonItemCL* mark = new CheckMark3dItem(box, fill(box), s, controlId);
    LabelItemCL* label = new LabelItemCL(box, fill(box), s, labelText(text).c_str());
    box->addChild(mark);
    box->addChild(label);
    box->mainItem = mark;
    box->labelItem = label;
    setMainItem(items, box, s);
    layoutItems();
}

CheckBox3dCL::CheckBox3dCL(WindowCL* parentWindow, int controlId, int* variable, int extraWord)
    : CheckBox3dCL(takePlaceholder(parentWindow, controlId), parentWindow, controlId, variable, extraWord)
{
}

CheckBox3dCL::CheckBox3dCL(const Placeholder3d& placeholder, WindowCL* parentWindow, int controlId, int* variable,
                           int extraWord)
    : CheckBox3dCL(parentWindow, placeholder.geometry, placeholder.style, placeholder.text.c_str(), controlId)
{
    takePlace(placeholder);
    extra = extraWord;
    if (variable) {
        bind(variable);
        loadValue();
    }
}

void CheckBox3dCL::setButtonStyle(uint32_t s)
{
    applyMarkStyle(markItem(), s);
}

void CheckBox3dCL::bind(int* variable)
{
    bound = variable;
    bindingKind = variable ? 1 : 0;
}

int CheckBox3dCL::storeValue()
{
    if (bindingKind == 1 && bound && hwnd)
        *bound = static_cast<int>(SendMessageA(hwnd, BM_GETCHECK, 0, 0));
    return 1;
}

int CheckBox3dCL::loadValue()
{
    if (bindingKind == 1 && bound && hwnd)
        SendMessageA(hwnd, BM_SETCHECK, static_cast<WPARAM>(*bound), 0);
    return 1;
}

RadioButton3dCL::RadioButton3dCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, const char* text,
                                 int controlId)
    : Button3dCL(parentWindow, g, windowStyle, labelText(text).c_str(), controlId), bound(nullptr), bindingKind(0),
      extra(0), mouseUp(1)
{
    SubItemGroupCL* box = makeBox();
    ButtonItemCL* mark = new RadioMark3dItem(box, fill(box), windowStyle, controlId);
    LabelItemCL* label = new LabelItemCL(box, fill(box), windowStyle, labelText(text).c_str());
    box->addChild(mark);
    box->addChild(label);
    box->mainItem = mark;
    box->labelItem = label;
    setMainItem(items, box, windowStyle);
    layoutItems();
}

RadioButton3dCL::RadioButton3dCL(WindowCL* parentWindow, int controlId, int* variable, int extraWord)
    : RadioButton3dCL(takePlaceholder(parentWindow, controlId), parentWindow, controlId, variable, extraWord)
{
}

RadioButton3dCL::RadioButton3dCL(const Placeholder3d& placeholder, WindowCL* parentWindow, int controlId,
                                 int* variable, int extraWord)
    : RadioButton3dCL(parentWindow, placeholder.geometry, placeholder.style, placeholder.text.c_str(), controlId)
{
    takePlace(placeholder);
    extra = extraWord;
    if (variable) {
        bind(variable);
        loadValue();
    }
}

void RadioButton3dCL::setButtonStyle(uint32_t s)
{
    applyMarkStyle(markItem(), s);
}

LRESULT RadioButton3dCL::onButtonDown(EventRecord* event)
{
    mouseUp = 0;
    return Button3dCL::onButtonDown(event);
}

LRESULT RadioButton3dCL::onButtonUp(EventRecord* event)
{
    LRESULT r = Button3dCL::onButtonUp(event);
    mouseUp = 1;
    return r;
}

LRESULT RadioButton3dCL::onFocus(EventRecord* event)
{
    // Focus from the keyboard selects, as a standard radio button does.
    if (event->message == WM_SETFOCUS && mouseUp && parent && parent->isWindow())
        SendMessageA(parent->hwnd, WM_COMMAND, static_cast<WPARAM>(id & 0xFFFF), reinterpret_cast<LPARAM>(hwnd));
    return Button3dCL::onFocus(event);
}

void RadioButton3dCL::bind(int* variable)
{
    bound = variable;
    bindingKind = variable ? 1 : 0;
}

int RadioButton3dCL::storeValue()
{
    if (bindingKind == 1 && bound && hwnd && SendMessageA(hwnd, BM_GETCHECK, 0, 0) == 1)
        *bound = controlId;
    return 1;
}

int RadioButton3dCL::loadValue()
{
    if (bindingKind == 1 && bound && hwnd)
        SendMessageA(hwnd, BM_SETCHECK, *bound == controlId ? 1 : 0, 0);
    return 1;
}

// ---------------------------------------------------------------- passive controls

StaticText3dCL::StaticText3dCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, const char* text,
                               int controlId)
    : Ctl3dWindowCL(parentWindow, g, windowStyle, labelText(text).c_str(), controlId)
{
    buildItems(windowStyle, text);
}

StaticText3dCL::StaticText3dCL(WindowCL* parentWindow, int controlId) : Ctl3dWindowCL(parentWindow, controlId)
{
    const std::string text = title.text() ? title.text() : "";
    buildItems(buttonStyle, text.c_str());
}

void StaticText3dCL::buildItems(DWORD windowStyle, const char* text)
{
    SubItemGroupCL* box = makeBox();
    LabelItemCL* label = new StaticText3dItem(box, fill(box), windowStyle, labelText(text).c_str());
    box->addChild(label);
    box->labelItem = label;
    setMainItem(items, box, windowStyle);
    layoutItems();
}

GroupBox3dCL::GroupBox3dCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, const char* text, int controlId)
    : Ctl3dWindowCL(parentWindow, g, windowStyle, labelText(text).c_str(), controlId)
{
    SubItemGroupCL* box = makeBox();
    FrameItemCL* frameItem = new FrameItemCL(box, fill(box), windowStyle, "", controlId);
    GroupLabelItemCL* label = new GroupLabelItemCL(box, fill(box), windowStyle, labelText(text).c_str());
    box->addChild(frameItem);
    box->addChild(label);
    box->mainItem = frameItem;
    box->labelItem = label;
    setMainItem(items, box, windowStyle);
    layoutItems();
}

LRESULT GroupBox3dCL::defaultEvent(EventRecord* event)
{
    if (event->message == WM_NCHITTEST)
        return HTTRANSPARENT;
    return Ctl3dWindowCL::defaultEvent(event);
}

Panel3dCL::Panel3dCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, const char* text, int controlId,
                     int width, int gapWidth)
    : Ctl3dWindowCL(parentWindow, g, windowStyle, labelText(text).c_str(), controlId), bevelWidth(width),
      gap(gapWidth)
{
    int w = width, gp = gapWidth;
    panelBevel(windowStyle, w, gp);
    bevelWidth = w;
    gap = gp;
    SubItemGroupCL* box = makeBox();
    BevelItemCL* bevel = new BevelItemCL(box, fill(box), windowStyle, "", controlId, bevelWidth, gap, 1);
    PanelLabelItemCL* label = new PanelLabelItemCL(box, fill(box), windowStyle, labelText(text).c_str());
    box->addChild(bevel);
    box->addChild(label);
    box->mainItem = bevel;
    box->labelItem = label;
    setMainItem(items, box, windowStyle);
    layoutItems();
}

LRESULT Panel3dCL::defaultEvent(EventRecord* event)
{
    if (event->message == WM_NCHITTEST)
        return HTTRANSPARENT;
    return Ctl3dWindowCL::defaultEvent(event);
}

void Panel3dCL::setStyle(uint32_t s, int redraw)
{
    int w = 999, gp = 999;
    panelBevel(s, w, gp);
    bevelWidth = w;
    gap = gp;
    if (BevelItemCL* bevel = mainItem ? dynamic_cast<BevelItemCL*>(mainItem->mainItem) : nullptr) {
        bevel->bevelWidth = w;
        bevel->gap = gp;
        bevel->style = s;
    }
    Ctl3dWindowCL::setStyle(s, redraw);
}
