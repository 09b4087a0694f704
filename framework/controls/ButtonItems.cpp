#include "ButtonItems.h"

#include "Application.h"
#include "BarLayout.h"
#include "ControlSeams.h"
#include "DeviceContext.h"
#include "Timer.h"

#include <algorithm>

using namespace paint3d;

namespace {

// One hover at a time in the whole program.
HWND hoverWindow = nullptr;

bool leftHeld(const EventRecord* event)
{
    return (event->wParam & MK_LBUTTON) != 0;
}

bool anyHeld(const EventRecord* event)
{
    return (event->wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0;
}

bool isPressedState(int state)
{
    return state == BUTTON_PRESSED_LATCHED || state == BUTTON_PRESSED_UP;
}

} // namespace

// ---------------------------------------------------------------- ButtonItemCL

ButtonItemCL::ButtonItemCL(ItemGroupCL* group, Geometry* g, uint32_t itemStyle, int itemId)
    : StateItemCL(group, g, itemStyle, nullptr, itemId), tracking(0), pressed(0), hover(0), hoverTimer(nullptr),
      savedState(BUTTON_UP), autoToggle(0), twoState(0)
{
    setFlags(kWantsMouse);
    state = BUTTON_UP;
}

ButtonItemCL::~ButtonItemCL()
{
    delete hoverTimer;
    hoverTimer = nullptr;
    setCurrentInGroups(nullptr);
}

void ButtonItemCL::setCurrentInGroups(ItemCL* item)
{
    if (!parent)
        return;
    if (item || parent->current == this)
        parent->current = item;
    if (ItemGroupCL* above = parent->parent) {
        if (item || above->current == parent)
            above->current = item ? parent : nullptr;
    }
}

HWND ButtonItemCL::helpTarget() const
{
    WindowCL* window = host();
    if (window && window->parent)
        return window->parent->hwnd;
    return window && window->hwnd ? GetParent(window->hwnd) : nullptr;
}

void ButtonItemCL::paint(const Rect*)
{
    switch (state) {
    case BUTTON_LATCHED: showLatched(); break;
    case BUTTON_PRESSED_LATCHED: showPressed(); break;
    case BUTTON_PRESSED_UP: showPressedFromUp(); break;
    case BUTTON_DISABLED: showDisabled(); break;
    default: showUp(); break;
    }
}

LRESULT ButtonItemCL::buttonDown(EventRecord* event)
{
    if (event->message != WM_LBUTTONDOWN && event->message != WM_LBUTTONDBLCLK)
        return 0;
    pressed = 1;
    tracking = 1;
    savedState = state;
    WindowCL* window = host();
    if (window && window->hwnd)
        SetCapture(window->hwnd);
    showPressed();
    return 1;
}

LRESULT ButtonItemCL::mouseMove(EventRecord* event)
{
    if (contains(pointOf(event))) {
        if (leftHeld(event) && !isPressedState(state) && tracking && pressed)
            showPressed();
        if (!hover && !pressed && !anyHeld(event)) {
            WindowCL* window = host();
            if (!hoverTimer)
                hoverTimer = new Timer(this, &ButtonItemCL::hoverTick, 500);
            hoverWindow = window ? window->hwnd : nullptr;
            setCurrentInGroups(this);
            hover = 1;
            if (HWND target = helpTarget())
                SendMessageA(target, WM_MENUSELECT, static_cast<WPARAM>(id & 0xFFFF), 0);
        }
    } else if (isPressedState(state)) {
        if (savedState == BUTTON_LATCHED)
            showLatched();
        else
            showUp();
    }
    return 0;
}

void ButtonItemCL::hoverTick()
{
    WindowCL* window = host();
    HWND own = window ? window->hwnd : nullptr;
    if (hoverWindow == own) {
        if (windowUnderPointer() == own)
            return;
        if (HWND target = helpTarget())
            SendMessageA(target, WM_MENUSELECT, 0xFFFF0000u, 0);
    }
    hover = 0;
    if (!pressed)
        setCurrentInGroups(nullptr);
    Timer* t = hoverTimer;
    hoverTimer = nullptr;
    delete t;
}

LRESULT ButtonItemCL::buttonUp(EventRecord* event)
{
    if (event->message != WM_LBUTTONUP)
        return 0;
    pressed = 0;
    WindowCL* window = host();
    const HWND target = helpTarget();
    if (!isPressedState(state)) {
        if (state != savedState) {
            state = savedState;
            paint(nullptr);
        }
        ReleaseCapture();
        tracking = 0;
        setCurrentInGroups(nullptr);
        if (target)
            SendMessageA(target, WM_MENUSELECT, 0xFFFF0000u, 0);
        return 1;
    }
    if (state == BUTTON_PRESSED_LATCHED) {
        if (twoState && autoToggle)
            showUp();
        else
            showLatched();
    } else {
        if (autoToggle)
            showLatched();
        else
            showUp();
    }
    tracking = 0;
    setCurrentInGroups(nullptr);
    ReleaseCapture();
    if (target)
        SendMessageA(target, WM_MENUSELECT, 0xFFFF0000u, 0);
    LRESULT handled = 0;
    if (handler1.isSet())
        handled = handler1(this);
    if (!handled && handler2.isSet()) {
        EventRecord record = {0, static_cast<WPARAM>(id), WM_COMMAND, window ? window->hwnd : nullptr};
        handled = handler2(&record);
    }
    if (!handled) {
        WindowCL* to = window;
        if (to && to->hwnd)
            SendMessageA(to->hwnd, WM_COMMAND, static_cast<WPARAM>(id & 0xFFFF),
                         reinterpret_cast<LPARAM>(to->hwnd));
    }
    return 1;
}

// ---------------------------------------------------------------- ButtonLabelItemCL

void ButtonLabelItemCL::placeText()
{
    if (placed) {
        textX = at.x;
        textY = at.y;
    } else {
        const Rect g = groupRect();
        textX = g.left() + (g.width() - textWidth) / 2;
        textY = g.top() + (g.height() - textHeight) / 2;
    }
    if (isPressedState(buttonState)) {
        ++textX;
        ++textY;
    }
}

void ButtonLabelItemCL::paint(const Rect* clip)
{
    if ((style & 0x4000) || text.empty())
        return;
    LabelItemCL::paint(clip);
}

// ---------------------------------------------------------------- BmpButtonItemCL

BmpButtonItemCL::BmpButtonItemCL(ItemGroupCL* group, Geometry* g, uint32_t itemStyle, const char*, int itemId,
                                 HBITMAP strip, int count)
    : ButtonItemCL(group, g, itemStyle, itemId), bitmap(strip), disabledBitmap(nullptr), imagePosition(),
      focus(0), disabledImage(0), cellFlag(0), cellOrigin(), cellSize(), imageCount(count > 0 ? count : 1)
{
    twoState = autoToggle = (itemStyle & 0x200) ? 1 : 0;
}

BmpButtonItemCL::~BmpButtonItemCL()
{
    if (bitmap && !cellFlag)
        DeleteObject(bitmap);
    if (disabledBitmap)
        DeleteObject(disabledBitmap);
}

HBITMAP BmpButtonItemCL::setBitmap(HBITMAP strip)
{
    HBITMAP previous = bitmap;
    bitmap = strip;
    cellFlag = 0;
    if (disabledBitmap)
        DeleteObject(disabledBitmap);
    disabledBitmap = nullptr;
    return previous;
}

void BmpButtonItemCL::setCell(HBITMAP strip, int x, int y, int w, int h)
{
    setBitmap(strip);
    cellFlag = 1;
    cellOrigin = POINT{x, y};
    cellSize = SIZE{w, h};
}

Point BmpButtonItemCL::imageSize() const
{
    if (!bitmap)
        return Point();
    if (cellFlag)
        return Point(cellSize.cx, cellSize.cy);
    BITMAP info;
    if (!GetObjectA(bitmap, sizeof info, &info))
        return Point();
    return Point(info.bmWidth / imageCount, info.bmHeight);
}

ButtonLabelItemCL* BmpButtonItemCL::buttonLabel() const
{
    return dynamic_cast<ButtonLabelItemCL*>(label());
}

void BmpButtonItemCL::placeContents(HDC dc)
{
    const Rect b = bounds();
    const int inset = (style & 0x1000) ? 2 : 1;
    const RECT area = {b.left() + inset, b.top() + inset, b.right() - inset, b.bottom() - inset};
    const int aw = area.right - area.left, ah = area.bottom - area.top;
    const Point image = imageSize();
    ButtonLabelItemCL* text = buttonLabel();
    int tw = 0, th = 0;
    const bool hasText = text && !text->text.empty() && !(style & 0x4000);
    if (hasText) {
        text->measure(dc);
        tw = text->textWidth;
        th = text->textHeight;
    }
    auto centred = [&](int w, int h, POINT& at) {
        at.x = w <= aw ? area.left + (aw - w) / 2 : area.left;
        at.y = h <= ah ? area.top + (ah - h) / 2 : area.top;
    };
    POINT textAt = {0, 0};
    if (!hasText || !bitmap) {
        centred(image.x(), image.y(), imagePosition);
        centred(tw, th, textAt);
    } else {
        switch (style & 0xC00) {
        case 0x000: // text left, image right
        case 0x800: { // image left, text right
            POINT block;
            centred(tw + 1 + image.x(), std::max(th, image.y()), block);
            const bool imageFirst = (style & 0xC00) == 0x800;
            imagePosition.x = imageFirst ? block.x : block.x + tw + 1;
            textAt.x = imageFirst ? block.x + image.x() + 1 : block.x;
            imagePosition.y = area.top + (ah - image.y()) / 2;
            textAt.y = area.top + (ah - th) / 2;
            break;
        }
        default: { // 0x400 image above, 0xC00 text above
            POINT block;
            centred(std::max(tw, image.x()), th + 1 + image.y(), block);
            const bool imageFirst = (style & 0xC00) == 0x400;
            imagePosition.y = imageFirst ? block.y : block.y + th + 1;
            textAt.y = imageFirst ? block.y + image.y() + 1 : block.y;
            imagePosition.x = area.left + (aw - image.x()) / 2;
            textAt.x = area.left + (aw - tw) / 2;
            break;
        }
        }
    }
    if (text) {
        text->placed = true;
        text->at = textAt;
    }
}

void BmpButtonItemCL::drawFace(HDC dc)
{
    const Rect b = bounds();
    const RECT whole = {b.left(), b.top(), b.right(), b.bottom()};
    fill(dc, whole, face());
    if ((style & 0x1000) && focus)
        frame(dc, whole, kBlack);
    if (style & (0x2000 | 0x4000))
        return;
    RECT outline = whole;
    if (style & 0x1000)
        InflateRect(&outline, -1, -1);
    frame(dc, outline, kBlack);
    const int d = (style & 0x1000) ? 2 : 1;
    const int L = b.left() + d, T = b.top() + d, R = b.width() - d, B = b.height() - d;
    switch (state) {
    case BUTTON_PRESSED_LATCHED:
    case BUTTON_PRESSED_UP: line(dc, kGray, R - 1, T, L, T, L, B); break;
    case BUTTON_LATCHED:
        line(dc, kGray, R - 1, T, L, T, L, B);
        line(dc, kWhite, L, B - 1, R - 1, B - 1, R - 1, T - 1);
        break;
    default:
        line(dc, kWhite, R - 1, T, L, T, L, B);
        line(dc, kGray, L, B - 1, R - 1, B - 1, R - 1, T - 1);
        line(dc, kGray, L + 1, B - 2, R - 2, B - 2, R - 2, T);
        break;
    }
}

namespace {

// A copy of the image with light gray on every pixel of even x + y.
HBITMAP makeDisabledImage(HDC reference, HBITMAP source, int sx, int sy, int w, int h)
{
    HDC from = CreateCompatibleDC(reference);
    HDC to = CreateCompatibleDC(reference);
    HBITMAP copy = CreateCompatibleBitmap(reference, w, h);
    HGDIOBJ oldFrom = SelectObject(from, source);
    HGDIOBJ oldTo = SelectObject(to, copy);
    BitBlt(to, 0, 0, w, h, from, sx, sy, SRCCOPY);
    for (int y = 0; y < h; ++y)
        for (int x = y % 2; x < w; x += 2)
            SetPixel(to, x, y, kLightGray);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    return copy;
}

} // namespace

void BmpButtonItemCL::drawImage(HDC dc)
{
    if (!bitmap)
        return;
    const Point size = imageSize();
    const bool disabled = disabledImage || state == BUTTON_DISABLED;
    int x = imagePosition.x, y = imagePosition.y;
    if (isPressedState(state) && !(style & 0x4000)) {
        ++x;
        ++y;
    }
    HBITMAP source = bitmap;
    int sx = cellFlag ? cellOrigin.x : 0, sy = cellFlag ? cellOrigin.y : 0;
    if (imageCount == 1 && !cellFlag) {
        if (disabled) {
            if (!disabledBitmap)
                disabledBitmap = makeDisabledImage(dc, bitmap, 0, 0, size.x(), size.y());
            source = disabledBitmap;
        }
    } else if (!cellFlag) {
        sx = buttonImageCell(style, twoState != 0, state, disabled) * size.x();
    }
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, source);
    BitBlt(dc, x, y, size.x(), size.y(), memory, sx, sy, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void BmpButtonItemCL::repaint()
{
    HDC dc = beginDraw();
    if (dc) {
        placeContents(dc);
        drawFace(dc);
        drawImage(dc);
        endDraw();
    }
    if (ButtonLabelItemCL* text = buttonLabel()) {
        text->buttonState = state;
        text->setDisabled(disabledImage);
        if (!(style & 0x4000))
            text->paint(nullptr);
    }
}

void BmpButtonItemCL::showUp()
{
    state = BUTTON_UP;
    repaint();
}

void BmpButtonItemCL::showDisabled()
{
    state = BUTTON_DISABLED;
    repaint();
}

void BmpButtonItemCL::showLatched()
{
    state = twoState ? BUTTON_LATCHED : BUTTON_UP;
    repaint();
}

void BmpButtonItemCL::showPressed()
{
    if (!twoState)
        state = BUTTON_PRESSED_UP;
    else
        state = state == BUTTON_LATCHED ? BUTTON_PRESSED_LATCHED : BUTTON_PRESSED_UP;
    repaint();
}

void BmpButtonItemCL::showPressedFromUp()
{
    state = BUTTON_PRESSED_UP;
    repaint();
}

void BmpButtonItemCL::finishToggle()
{
    if (!twoState)
        showUp();
    else if (state == BUTTON_PRESSED_LATCHED)
        showUp();
    else if (state == BUTTON_PRESSED_UP)
        showLatched();
}

void BmpButtonItemCL::drawFocusFrame(bool erase)
{
    if (!(style & 0x1000))
        return;
    HDC dc = beginDraw();
    if (!dc)
        return;
    const Rect b = bounds();
    frame(dc, RECT{b.left(), b.top(), b.right(), b.bottom()}, erase ? face() : kBlack);
    endDraw();
}

// ---------------------------------------------------------------- BmpButtonCL

BmpButtonCL::BmpButtonCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, const char* text, int controlId,
                         HBITMAP strip, int)
    : Button3dCL(parentWindow, g, windowStyle | WS_VISIBLE, text, controlId)
{
    pushButton = 1;
    SubItemGroupCL* box = makeBox();
    BmpButtonItemCL* button = new BmpButtonItemCL(box, fill(box), windowStyle, text, controlId, strip, 6);
    ButtonLabelItemCL* caption = new ButtonLabelItemCL(box, fill(box), windowStyle, text, strip != nullptr);
    box->addChild(button);
    box->addChild(caption);
    box->mainItem = button;
    box->labelItem = caption;
    setMainItem(items, box, windowStyle);
    layoutItems();
}

BmpButtonCL::BmpButtonCL(WindowCL* parentWindow, int controlId)
    : BmpButtonCL(takePlaceholder(parentWindow, controlId), parentWindow, controlId)
{
}

BmpButtonCL::BmpButtonCL(const Placeholder3d& placeholder, WindowCL* parentWindow, int controlId)
    : BmpButtonCL(parentWindow, placeholder.geometry, placeholder.style, placeholder.text.c_str(), controlId, nullptr)
{
    takePlace(placeholder);
    if (BmpButtonItemCL* button = buttonItem())
        button->setFocusFlag(placeholder.found ? lastFocusShown : 0);
}

BmpButtonItemCL* BmpButtonCL::buttonItem() const
{
    return mainItem ? dynamic_cast<BmpButtonItemCL*>(mainItem->mainItem) : nullptr;
}

void BmpButtonCL::setButtonStyle(uint32_t s)
{
    if (BmpButtonItemCL* button = buttonItem())
        button->twoState = button->autoToggle = (s & 0x200) ? 1 : 0;
}

void BmpButtonCL::setDisabled(int flag)
{
    BmpButtonItemCL* button = buttonItem();
    if (!button)
        return;
    button->disabledImage = flag ? 1 : 0;
    if (LabelItemCL* text = textItem())
        text->setDisabled(flag);
    button->repaint();
}

LRESULT BmpButtonCL::onFocus(EventRecord* event)
{
    LRESULT r = Button3dCL::onFocus(event);
    if (BmpButtonItemCL* button = buttonItem())
        button->drawFocusFrame(event->message != WM_SETFOCUS);
    return r;
}

void BmpButtonCL::setBitmap(HBITMAP strip, int sizeMode, int extraWidth, int extraHeight)
{
    BmpButtonItemCL* button = buttonItem();
    if (!button)
        return;
    HBITMAP previous = button->setBitmap(strip);
    if (previous && previous != strip)
        DeleteObject(previous);
    if (ButtonLabelItemCL* caption = dynamic_cast<ButtonLabelItemCL*>(textItem()))
        caption->hasBitmap = strip != nullptr;
    if (sizeMode != 0 && geometry) {
        int w = extraWidth, h = extraHeight;
        if (sizeMode != 2) {
            const int border = (buttonStyle & 0x2000) ? 0 : 7;
            const Point cell = button->imageSize();
            w = cell.x() + extraWidth + border;
            h = cell.y() + extraHeight + border;
        }
        if (geometry->kind == PLACE_FREE) {
            if (isWindow())
                MoveWindow(hwnd, geometry->x, geometry->y, w, h, TRUE);
        } else if (BarItemLayout* entry = dynamic_cast<BarItemLayout*>(geometry)) {
            entry->setItemSize(Point(w, h));
        } else {
            geometry->setSize(Point(w, h));
        }
        if (parent && parent->geometry)
            parent->geometry->layout(nullptr);
    }
    if (drawing)
        drawing->invalidateRect(nullptr, false);
}

bool BmpButtonCL::loadBitmap(const ResourceId& resource)
{
    ResourceModule module(resource);
    HBITMAP loaded = module.failed() ? nullptr : LoadBitmapA(module.module(), resourceName(resource));
    if (!loaded)
        return false;
    setBitmap(loaded, 0, 0, 0);
    return true;
}
