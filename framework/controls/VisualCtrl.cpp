#include "VisualCtrl.h"

#include "Application.h"
#include "ButtonItems.h"
#include "Ctl3dRules.h"
#include "Ctl3dWindow.h"
#include "Dialog.h"

VisualCtrlCL::VisualCtrlCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, const char* text, int controlId)
    : CtrlWindowCL(parentWindow, g, windowStyle, text, controlId), drawing(nullptr)
{
    kind = KIND_OWNERDRAW;
    className = "VisualCtrl";
    style &= ~static_cast<DWORD>(WS_CLIPSIBLINGS);
    create();
    WindowDC* dc = new WindowDC(this);
    // The context starts with the system font, never deleted.
    delete dc->popFont();
    dc->pushFont(new Font(StockObject{SYSTEM_FONT}));
    drawing = dc;
}

// ---------------------------------------------------------------- take-over

Placeholder3d takePlaceholder(WindowCL* parentWindow, int id)
{
    Placeholder3d p{nullptr, WS_CHILD, std::string(), nullptr, nullptr, false};
    WindowCL* child = parentWindow ? parentWindow->findChild(id) : nullptr;
    if (!child) {
        p.geometry = new Layout(0, 0, 0, 0);
        return p;
    }
    p.found = true;
    const Geometry* g = child->geometry;
    p.geometry = g ? new Layout(g->x == kNotGiven ? 0 : g->x, g->y == kNotGiven ? 0 : g->y,
                                g->width == kNotGiven ? 0 : g->width, g->height == kNotGiven ? 0 : g->height)
                   : new Layout(0, 0, 0, 0);
    if (child->isWindow()) {
        p.style = static_cast<DWORD>(GetWindowLongA(child->hwnd, GWL_STYLE));
        p.after = GetWindow(child->hwnd, GW_HWNDPREV);
        char text[kLabelTextLimit + 1] = "";
        GetWindowTextA(child->hwnd, text, sizeof text);
        p.text = text;
        // The dialog's font, which outlives the placeholder.
        p.font = reinterpret_cast<HFONT>(SendMessageA(child->hwnd, WM_GETFONT, 0, 0));
    } else {
        p.style = child->style;
        p.text = child->title.text() ? child->title.text() : "";
    }
    delete child;
    return p;
}

// ---------------------------------------------------------------- VisualCtrlCL take-over

VisualCtrlCL::VisualCtrlCL(WindowCL* parentWindow, int controlId)
    : VisualCtrlCL(takePlaceholder(parentWindow, controlId), parentWindow, controlId)
{
}

VisualCtrlCL::VisualCtrlCL(const Placeholder3d& placeholder, WindowCL* parentWindow, int controlId)
    : VisualCtrlCL(parentWindow, placeholder.geometry, placeholder.style, placeholder.text.c_str(), controlId)
{
    adoptPlace(placeholder);
}

void VisualCtrlCL::adoptPlace(const Placeholder3d& placeholder)
{
    if (!placeholder.found)
        return;
    kind = KIND_OWNERDRAW_ALT;
    if (isWindow())
        SetWindowPos(hwnd, placeholder.after ? placeholder.after : HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (placeholder.font && drawing) {
        // Not owned: the handle stays the dialog's.
        delete drawing->popFont();
        drawing->pushFont(new Font(placeholder.font));
    }
}

VisualCtrlCL::~VisualCtrlCL()
{
    delete drawing;
    drawing = nullptr;
}

LRESULT VisualCtrlCL::defaultEvent(EventRecord* event)
{
    return DefWindowProcA(event->hwnd, event->message, event->wParam, event->lParam);
}

WNDCLASSA* VisualCtrlCL::classInfo()
{
    WNDCLASSA* wc = WindowCL::classInfo();
    wc->style = CS_DBLCLKS;
    wc->lpfnWndProc = VisualCtrlProc;
    wc->hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc->hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    return wc;
}

void VisualCtrlCL::create()
{
    registerWindowClass(classInfo(), false, nullptr);
    title.markUncounted();
    hwnd = createControlAtGeometry(nullptr);
    if (!hwnd)
        return;
    mapWindow();
    // The base "VisualCtrl" class may have been registered with the frame
    // procedure first: these windows always answer through their own.
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(VisualCtrlProc));
    savedProc = nullptr;
}

LRESULT CALLBACK VisualCtrlProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowCL* window = (theApplication && theApplication->winMap) ? theApplication->winMap->lookup(hwnd) : nullptr;
    VisualCtrlCL* control = dynamic_cast<VisualCtrlCL*>(window);
    if (!control)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    if ((control->state & STATE_DELETING) && message != WM_NCDESTROY)
        return DefWindowProcA(hwnd, message, wParam, lParam);
    EventRecord event = {lParam, wParam, message, hwnd};
    switch (message) {
    case WM_DESTROY: return 1;
    case WM_PAINT: {
        WindowDC* dc = static_cast<WindowDC*>(control->drawing);
        if (!dc)
            return DefWindowProcA(hwnd, message, wParam, lParam);
        dc->painting = 1;
        dc->attach();
        LRESULT r = control->paint(&event);
        dc->release();
        dc->painting = 0;
        return r;
    }
    case WM_CHAR:
    case WM_SYSCHAR: {
        LRESULT r = control->onChar(&event);
        return r ? r : control->defaultEvent(&event);
    }
    default: return control->dispatchEvent(&event);
    }
}

// ---------------------------------------------------------------- ItemCtrlCL

ItemCtrlCL::ItemCtrlCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, const char* text, int controlId)
    : VisualCtrlCL(parentWindow, g, windowStyle, text, controlId), items(nullptr)
{
    items = new ItemGroupCL(this, &drawing);
}

ItemCtrlCL::ItemCtrlCL(WindowCL* parentWindow, int controlId) : VisualCtrlCL(parentWindow, controlId), items(nullptr)
{
    items = new ItemGroupCL(this, &drawing);
    layoutItems();
}

ItemCtrlCL::~ItemCtrlCL()
{
    if (items) {
        items->hostWindow = nullptr;
        delete items;
    }
    items = nullptr;
}

void ItemCtrlCL::addItem(ItemCL* item)
{
    items->addChild(item);
    if (!drawing)
        return;
    drawing->attach();
    item->paint(nullptr);
    drawing->release();
}

void ItemCtrlCL::layoutItems()
{
    Layout* l = geometry ? geometry->asLayout() : nullptr;
    if (!l || !isWindow())
        return;
    RECT client;
    GetClientRect(hwnd, &client);
    const int32_t x = l->x == kNotGiven ? 0 : l->x, y = l->y == kNotGiven ? 0 : l->y;
    l->applyRect(Rect(x, y, x + client.right, y + client.bottom), 1);
    items->layoutChanged();
}

LRESULT ItemCtrlCL::onSize(EventRecord*)
{
    if (!items)
        return 1;
    layoutItems();
    if (drawing)
        drawing->invalidateRect(nullptr, true);
    return 1;
}

LRESULT ItemCtrlCL::onMouseMove(EventRecord* event)
{
    if (!itemsEnabled())
        return 0;
    EventRecord shifted = *event;
    shifted.lParam = shiftedPoint(event->lParam, pixelOrigin());
    return items->mouseMove(&shifted);
}

LRESULT ItemCtrlCL::onButtonUp(EventRecord* event)
{
    if (!itemsEnabled())
        return 0;
    return items->buttonUp(event);
}

LRESULT ItemCtrlCL::onButtonDown(EventRecord* event)
{
    if (!itemsEnabled())
        return 0;
    if (isWindow())
        SetFocus(hwnd);
    EventRecord shifted = *event;
    shifted.lParam = shiftedPoint(event->lParam, pixelOrigin());
    return items->buttonDown(&shifted);
}

LRESULT ItemCtrlCL::onChar(EventRecord* event)
{
    if (!itemsEnabled())
        return 0;
    return items->character(event);
}

LRESULT ItemCtrlCL::paint(EventRecord*)
{
    if (!items || !drawing)
        return 0;
    drawing->attach();
    const Rect area = drawing->updateRect();
    items->paint(&area);
    drawing->release();
    return 1;
}

// ---------------------------------------------------------------- registration

namespace {

WindowCL* makeCheckBox(DialogFrameCL* dialog, Layout* g, int id, const char* text, DWORD style)
{
    return new CheckBox3dCL(dialog, g, style, text, id);
}

WindowCL* makeRadioButton(DialogFrameCL* dialog, Layout* g, int id, const char* text, DWORD style)
{
    return new RadioButton3dCL(dialog, g, style, text, id);
}

WindowCL* makeStaticText(DialogFrameCL* dialog, Layout* g, int id, const char* text, DWORD style)
{
    return new StaticText3dCL(dialog, g, style, text, id);
}

WindowCL* makeGroupBox(DialogFrameCL* dialog, Layout* g, int id, const char* text, DWORD style)
{
    return new GroupBox3dCL(dialog, g, style, text, id);
}

WindowCL* makeBmpButton(DialogFrameCL* dialog, Layout* g, int id, const char* text, DWORD style)
{
    return new BmpButtonCL(dialog, g, style, text, id, nullptr, 0);
}

WindowCL* makePanel(DialogFrameCL* dialog, Layout* g, int id, const char* text, DWORD style)
{
    return new Panel3dCL(dialog, g, style, text, id, 999, 999);
}

} // namespace

void register3dClasses()
{
    registerDialogItemFactory("CheckBox3dClass", makeCheckBox);
    registerDialogItemFactory("RadioBtn3dClass", makeRadioButton);
    registerDialogItemFactory("StatTxt3dClass", makeStaticText);
    registerDialogItemFactory("GroupBox3dClass", makeGroupBox);
    registerDialogItemFactory("BmpBtnClass", makeBmpButton);
    registerDialogItemFactory("Panel3dClass", makePanel);
}
