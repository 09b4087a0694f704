#include "Dialog.h"

#include "Application.h"
#include "Control.h"
#include "DeviceContext.h"
#include "DialogTemplate.h"
#include "Menu.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

bool dialogClassRegistered = false;

struct DialogItemFactory {
    std::string className;
    DialogItemFactoryFunction factory;
};

std::vector<DialogItemFactory>& factories()
{
    static std::vector<DialogItemFactory> list;
    return list;
}

std::vector<DialogFrameCL*>& modalStack()
{
    static std::vector<DialogFrameCL*> stack;
    return stack;
}

// A mended fault: texts used to keep the low byte of each character, which
// garbled „ “ – €. The system's conversion into code page 1252.
std::string systemWideTo1252(const uint16_t* text, size_t count)
{
    std::vector<WCHAR> wide(text, text + count);
    int n = WideCharToMultiByte(1252, 0, wide.data(), static_cast<int>(count), nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(1252, 0, wide.data(), static_cast<int>(count), &out[0], n, nullptr, nullptr);
    return out;
}

// The metrics of the dialog's font selected into a context of the parent's window.
class DialogFontMetrics : public DeviceMetrics {
public:
    DialogFontMetrics(HWND window, HFONT font) : hwnd(window), dc(GetDC(window)), old(nullptr)
    {
        if (dc && font)
            old = SelectObject(dc, font);
    }
    ~DialogFontMetrics() override
    {
        if (dc) {
            if (old)
                SelectObject(dc, old);
            ReleaseDC(hwnd, dc);
        }
    }
    int deviceCaps(int index) const override { return dc ? GetDeviceCaps(dc, index) : 0; }
    int textExtentWidth(const char* text, int length) const override
    {
        SIZE s = {0, 0};
        if (dc)
            GetTextExtentPoint32A(dc, text, length, &s);
        return s.cx;
    }
    int textLineHeight() const override
    {
        TEXTMETRICA tm = {};
        if (dc)
            GetTextMetricsA(dc, &tm);
        return tm.tmHeight + tm.tmExternalLeading;
    }
    bool valid() const { return dc != nullptr; }

private:
    HWND hwnd;
    HDC dc;
    HGDIOBJ old;
};

bool isClass(const DialogTemplateItem& item, uint16_t atom, const char* name)
{
    return item.classAtom == atom || (!item.className.empty() && name && lstrcmpiA(item.className.c_str(), name) == 0);
}

} // namespace

void registerDialogItemFactory(const char* className, DialogItemFactoryFunction factory)
{
    factories().push_back(DialogItemFactory{className ? className : "", factory});
}

int modalDialogDepth()
{
    return static_cast<int>(modalStack().size());
}

LRESULT CALLBACK DialogWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    WindowCL* window = (theApplication && theApplication->winMap) ? theApplication->winMap->lookup(hwnd) : nullptr;
    if (!window || ((window->state & STATE_DELETING) && message != WM_NCDESTROY))
        return DefWindowProcA(hwnd, message, wParam, lParam);
    if (window->state & STATE_DELETING) {
        window->state |= STATE_GONE;
        if (theApplication->winMap->lookup(hwnd) == window)
            theApplication->winMap->remove(hwnd);
        return 0;
    }
    EventRecord event = {lParam, wParam, message, hwnd};
    return static_cast<DialogFrameCL*>(window)->dispatchDialog(&event);
}

// ---------------------------------------------------------------- DialogFrameCL

DialogFrameCL::DialogFrameCL(WindowCL* parentWindow, const ResourceId& templateId, DWORD styleArgument,
                             int doNotCreate)
    : FrameWindowCL(parentWindow, new Layout(0, 0, 0, 0), 0, nullptr), menuId(0u)
{
    initDialogFrame();
    id = static_cast<int32_t>(templateId.id);
    loadTemplate(templateId, styleArgument);
    if (doNotCreate)
        return;
    create();
}

DialogFrameCL::DialogFrameCL(WindowCL* parentWindow, Geometry* g, DWORD windowStyle, const char* text, int doNotCreate)
    : FrameWindowCL(parentWindow, g, windowStyle, text), menuId(0u)
{
    initDialogFrame();
    if (!doNotCreate)
        create();
}

void DialogFrameCL::initDialogFrame()
{
    className = "DialogFrameCL";
    itemCount = 0;
    hasMenu = false;
    font = nullptr;
    modal = 0;
    defaultId = 65535;
    savedFocus = nullptr;
    exStyle = 0;
    loaded = nullptr;
    ended = false;
    backColor = LOBYTE(LOWORD(GetVersion())) >= 4 ? GetSysColor(COLOR_BTNFACE) : GetSysColor(COLOR_WINDOW);
}

DialogFrameCL::~DialogFrameCL()
{
    state &= ~STATE_AUTODELETE;
    state |= STATE_DELETING;
    std::vector<DialogFrameCL*>& stack = modalStack();
    stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
    if (currentModelessDialog && currentModelessDialog == hwnd)
        currentModelessDialog = nullptr;
    // The children and the window go before the font they use.
    if (children) {
        while (WindowCL* child = children->first())
            delete child;
    }
    if (!(state & STATE_GONE) && hwnd && IsWindow(hwnd))
        DestroyWindow(hwnd);
    delete font;
    font = nullptr;
    delete loaded;
    loaded = nullptr;
}

void DialogFrameCL::loadTemplate(const ResourceId& templateId, DWORD styleArgument)
{
    ResourceModule from(templateId);
    if (from.failed())
        return;
    HRSRC info = FindResourceA(from.module(), resourceName(templateId), reinterpret_cast<LPCSTR>(RT_DIALOG));
    if (!info)
        return;
    HGLOBAL handle = LoadResource(from.module(), info);
    const uint8_t* bytes = handle ? static_cast<const uint8_t*>(LockResource(handle)) : nullptr;
    DWORD size = SizeofResource(from.module(), info);
    DialogTemplate parsed = parseDialogTemplate(bytes, bytes ? size : 0, systemWideTo1252);
    if (handle)
        FreeResource(handle);
    if (!parsed.found)
        return;
    loaded = new DialogTemplate(parsed);
    const DialogTemplateHeader& h = loaded->header;
    itemCount = static_cast<int>(loaded->items.size());
    DWORD templateStyle = h.style;
    style = styleArgument ? ((templateStyle & 0xFFFFu) | styleArgument) : templateStyle;
    style &= ~static_cast<DWORD>(WS_VISIBLE);
    exStyle = h.exStyle;
    title = h.title.c_str();
    if (h.menu.present) {
        hasMenu = true;
        menuId = h.menu.isOrdinal ? ResourceId(h.menu.ordinal) : ResourceId(h.menu.text.c_str(), static_cast<const char*>(nullptr));
    }
    const bool withFont = h.hasFont && parent && parent->isWindow();
    Rect parentRect;
    if (parent && parent->isWindow()) {
        RECT r;
        GetWindowRect(parent->hwnd, &r);
        parentRect = Rect(r.left, r.top, r.right, r.bottom);
    }
    DialogUnitPoint position, extent;
    if (withFont) {
        DialogFontMetrics probe(parent->hwnd, nullptr);
        int height = MulDiv(h.pointSize, probe.deviceCaps(LOGPIXELSY), 72);
        font = new Font(h.faceName.c_str(), 0, -height, FW_BOLD, 0, 0, 0);
        DialogFontMetrics metrics(parent->hwnd, font->font());
        position = DialogUnitPoint(h.x, h.y, &metrics);
        extent = DialogUnitPoint(h.width, h.height, &metrics);
    } else {
        position = DialogUnitPoint(h.x, h.y);
        extent = DialogUnitPoint(h.width, h.height);
    }
    geometry->x = position.pixelX + parentRect.left();
    geometry->y = position.pixelY + parentRect.top();
    geometry->width = extent.pixelX;
    geometry->height = extent.pixelY;
}

WindowCL* DialogFrameCL::createCustomItem(const char*, const Point&, const Point&, int)
{
    return nullptr;
}

void DialogFrameCL::initDialog() {}

WNDCLASSA* DialogFrameCL::classInfo()
{
    WNDCLASSA* wc = WindowCL::classInfo();
    wc->hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc->lpfnWndProc = DialogWindowProc;
    return wc;
}

void DialogFrameCL::create()
{
    // The client size of the template becomes the window's size.
    const bool sized = geometry && geometry->width != kNotGiven && geometry->height != kNotGiven;
    RECT frame = {0, 0, sized ? geometry->width : 0, sized ? geometry->height : 0};
    AdjustWindowRectEx(&frame, style, hasMenu, exStyle);
    const int windowWidth = sized ? frame.right - frame.left : CW_USEDEFAULT;
    const int windowHeight = sized ? frame.bottom - frame.top : CW_USEDEFAULT;
    className = "DialogFrameCL";
    registerWindowClass(classInfo(), true, &dialogClassRegistered);
    HWND owner = parent ? parent->hwnd : nullptr;
    int32_t gx = geometry ? geometry->x : CW_USEDEFAULT;
    int32_t gy = geometry ? geometry->y : CW_USEDEFAULT;
    if (gx == kNotGiven)
        gx = CW_USEDEFAULT;
    if (gy == kNotGiven)
        gy = CW_USEDEFAULT;
    hwnd = CreateWindowExA(exStyle, className.text(), title.text(), style, gx, gy, windowWidth, windowHeight, owner,
                           nullptr, programInstance(), nullptr);
    if (!hwnd)
        return;
    mapWindow();
    // The template's menu, also for a dialog created later.
    if (hasMenu && !menu)
        new Menu(this, menuId);
    const DWORD allBoxes = WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    if ((style & WS_SYSMENU) && (style & allBoxes) != allBoxes && parent && parent != this) {
        HMENU system = GetSystemMenu(hwnd, FALSE);
        if (system) {
            if (!(style & WS_THICKFRAME))
                DeleteMenu(system, SC_SIZE, MF_BYCOMMAND);
            if (!(style & WS_MINIMIZEBOX))
                DeleteMenu(system, SC_MINIMIZE, MF_BYCOMMAND);
            if (!(style & WS_MAXIMIZEBOX))
                DeleteMenu(system, SC_MAXIMIZE, MF_BYCOMMAND);
            if (!(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)))
                DeleteMenu(system, SC_RESTORE, MF_BYCOMMAND);
        }
    }
    if (loaded) {
        createItems();
        delete loaded;
        loaded = nullptr;
    }
    if (HWND first = firstFocusChild())
        SetFocus(first);
    if (font && children) {
        DListIteratorOf<WindowCL> walk(*children);
        while (WindowCL* child = walk.next())
            if (child->isWindow())
                SendMessageA(child->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font->font()), FALSE);
    }
    RECT r;
    GetWindowRect(hwnd, &r);
    if (geometry) {
        if (!(style & WS_POPUP) && parent && parent->isWindow()) {
            RECT p;
            GetWindowRect(parent->hwnd, &p);
            geometry->x = r.left - p.left;
            geometry->y = r.top - p.top;
        } else {
            geometry->x = r.left;
            geometry->y = r.top;
        }
        geometry->width = r.right - r.left;
        geometry->height = r.bottom - r.top;
    }
}

void DialogFrameCL::createItems()
{
    DialogFontMetrics* metrics = (font && parent && parent->isWindow()) ? new DialogFontMetrics(parent->hwnd, font->font())
                                                                       : nullptr;
    for (const DialogTemplateItem& item : loaded->items) {
        DialogUnitPoint position(item.x, item.y, metrics);
        DialogUnitPoint size(item.width, item.height, metrics);
        std::string text = item.title.text;
        if (item.title.isOrdinal) {
            char number[16];
            snprintf(number, sizeof number, "#%u", item.title.ordinal);
            text = number;
        }
        const int itemId = item.id;
        const DWORD itemStyle = item.style;
        auto layout = [&]() { return new Layout(position.pixelX, position.pixelY, size.pixelX, size.pixelY); };
        if (isClass(item, 0x80, "button")) {
            (new ButtonCL(this, layout(), itemStyle, text.c_str(), itemId))->create();
        } else if (isClass(item, 0x81, "edit")) {
            new EditCL(this, layout(), itemStyle, text.c_str(), itemId);
        } else if (isClass(item, 0x82, "static")) {
            new StaticCL(this, layout(), itemStyle, text.c_str(), itemId);
        } else if (isClass(item, 0x83, "listbox")) {
            (new ListBoxCL(this, layout(), itemStyle, text.c_str(), itemId))->create();
        } else if (isClass(item, 0x84, "scrollbar")) {
            (new ScrollBarCL(this, layout(), itemStyle, text.c_str(), itemId))->create();
        } else if (isClass(item, 0x85, "combobox")) {
            (new ComboBoxCL(this, layout(), itemStyle, text.c_str(), itemId))->create();
        } else if (theApplication && theApplication->findCustomControlClass(item.className.c_str())) {
            new CustomCtrlCL(this, layout(), itemStyle, text.c_str(), itemId, item.className.c_str());
        } else {
            const DialogItemFactory* chosen = nullptr;
            for (const DialogItemFactory& f : factories())
                if (f.className == item.className) {
                    chosen = &f;
                    break;
                }
            if (chosen && chosen->factory)
                chosen->factory(this, layout(), itemId, text.c_str(), itemStyle);
            else
                createCustomItem(item.className.c_str(), position.pixels(), size.pixels(), itemId);
        }
    }
    delete metrics;
}

HWND DialogFrameCL::firstFocusChild() const
{
    if (!children)
        return nullptr;
    HWND first = nullptr;
    DListIteratorOf<WindowCL> walk(*children);
    while (WindowCL* child = walk.next()) {
        if (!child->isWindow())
            continue;
        if (!first)
            first = child->hwnd;
        LONG s = GetWindowLongA(child->hwnd, GWL_STYLE);
        if ((s & WS_TABSTOP) && IsWindowEnabled(child->hwnd))
            return child->hwnd;
    }
    return first;
}

void DialogFrameCL::focusNextTabStop(bool backwards)
{
    if (!children)
        return;
    std::vector<HWND> windows;
    int current = -1;
    HWND focus = GetFocus();
    DListIteratorOf<WindowCL> walk(*children);
    while (WindowCL* child = walk.next()) {
        if (!child->isWindow())
            continue;
        if (focus && (child->hwnd == focus || IsChild(child->hwnd, focus)))
            current = static_cast<int>(windows.size());
        windows.push_back(child->hwnd);
    }
    const int n = static_cast<int>(windows.size());
    if (n == 0)
        return;
    // From the focused child on (or from the ends without one), the next
    // enabled tab stop, wrapping around.
    int at = current >= 0 ? current : (backwards ? 0 : n - 1);
    for (int step = 1; step <= n; ++step) {
        int i = backwards ? (at - step + n * 2) % n : (at + step) % n;
        LONG s = GetWindowLongA(windows[static_cast<size_t>(i)], GWL_STYLE);
        if ((s & WS_TABSTOP) && IsWindowEnabled(windows[static_cast<size_t>(i)])) {
            SetFocus(windows[static_cast<size_t>(i)]);
            return;
        }
    }
}

LRESULT DialogFrameCL::onActivate(EventRecord* event)
{
    bool activating = event->message == WM_ACTIVATE ? LOWORD(event->wParam) != 0
                                                     : reinterpret_cast<HWND>(event->lParam) == hwnd;
    if (activating) {
        if (savedFocus && IsWindow(savedFocus))
            SetFocus(savedFocus);
        savedFocus = nullptr;
    } else {
        HWND focus = GetFocus();
        savedFocus = (focus && IsChild(hwnd, focus)) ? focus : nullptr;
    }
    return 1;
}

LRESULT DialogFrameCL::onFocus(EventRecord* event)
{
    if (event->message != WM_SETFOCUS)
        return 0;
    if (HWND first = firstFocusChild())
        SetFocus(first);
    return 1;
}

void DialogFrameCL::show(int cmd)
{
    if (!markFirstShow(cmd))
        return;
    initDialog();
    currentModelessDialog = hwnd;
    if (isWindow()) {
        SetWindowTextA(hwnd, title.text());
        ShowWindow(hwnd, cmd);
        UpdateWindow(hwnd);
    }
    if (cmd)
        style |= WS_VISIBLE;
}

int DialogFrameCL::runModal()
{
    std::vector<DialogFrameCL*>& stack = modalStack();
    if (!stack.empty() && stack.back()->isWindow())
        EnableWindow(stack.back()->hwnd, FALSE);
    stack.push_back(this);
    modal = 1;
    ended = false;
    HWND focus = GetFocus();
    WindowCL* mainFrame = theApplication ? static_cast<WindowCL*>(theApplication->mainFrame) : nullptr;
    if (parent && parent->isWindow()) {
        EnableWindow(parent->hwnd, FALSE);
        if (parent != mainFrame && mainFrame && mainFrame->isWindow())
            EnableWindow(mainFrame->hwnd, FALSE);
    }
    // A dialog that is not on the screen is shown: a modal run nobody sees
    // could never end.
    if (isWindow() && !IsWindowVisible(hwnd)) {
        if (state & STATE_SHOWN)
            ShowWindow(hwnd, SW_SHOW);
        else
            show(SW_SHOW);
    }
    int code = theApplication ? theApplication->MessageLoop() : 0;
    if (focus && IsWindow(focus) && focus != hwnd && !(isWindow() && IsChild(hwnd, focus)))
        SetFocus(focus);
    else if (mainFrame && mainFrame != this && mainFrame->isWindow())
        SetFocus(mainFrame->hwnd);
    modal = 0;
    // A mended fault: an auto-delete dialog used to be deleted (by WM_USER+3
    // or WM_NCDESTROY) while this run still used it. It goes here, last.
    if (state & STATE_AUTODELETE)
        delete this;
    return code;
}

void DialogFrameCL::endDialog()
{
    std::vector<DialogFrameCL*>& stack = modalStack();
    const bool running = modal && std::find(stack.begin(), stack.end(), this) != stack.end();
    if (running) {
        stack.erase(std::remove(stack.begin(), stack.end(), this), stack.end());
        if (!stack.empty() && stack.back()->isWindow()) {
            EnableWindow(stack.back()->hwnd, TRUE);
        } else {
            WindowCL* mainFrame = theApplication ? static_cast<WindowCL*>(theApplication->mainFrame) : nullptr;
            if (parent && parent->isWindow())
                EnableWindow(parent->hwnd, TRUE);
            if (mainFrame && parent != mainFrame && mainFrame->isWindow())
                EnableWindow(mainFrame->hwnd, TRUE);
        }
    }
    if (isWindow()) {
        ShowWindow(hwnd, SW_HIDE);
        UpdateWindow(hwnd);
    }
    if (running) {
        ended = true;
        PostQuitMessage(0);
        return;
    }
    // A modal dialog is deleted by its run, never by a message.
    if (!modal && (state & STATE_AUTODELETE) && isWindow())
        PostMessageA(hwnd, WM_USER + 3, 0, 0);
}

LRESULT DialogFrameCL::dispatchDialog(EventRecord* event)
{
    LifeWatch watch(*this);
    bool died = false;
    switch (event->message) {
    case WM_DESTROY:
        dispatchEvent(event);
        return 1;
    case WM_ACTIVATE:
        if (LOWORD(event->wParam))
            currentModelessDialog = hwnd;
        else if (currentModelessDialog == hwnd)
            currentModelessDialog = nullptr;
        return dispatchEvent(event);
    case WM_CLOSE: {
        LRESULT r = askHandlersThenOwn(event, HF_CLOSE, &WindowCL::onClose, watch, &died);
        if (r || died || !watch.alive())
            return r;
        if (modal)
            endDialog();
        return DefWindowProcA(event->hwnd, event->message, event->wParam, event->lParam);
    }
    case WM_NEXTDLGCTL:
        if (event->lParam)
            SetFocus(reinterpret_cast<HWND>(event->wParam));
        else
            focusNextTabStop(event->wParam != 0);
        return 1;
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN: {
        LRESULT r = askAllHandlers(event, false, watch, &died);
        if (!r && !died && watch.alive())
            r = onButtonDown(event);
        if (r || died || !watch.alive())
            return r;
        HWND focus = GetFocus();
        char cls[32] = "";
        if (focus)
            GetClassNameA(focus, cls, sizeof cls);
        HWND combo = nullptr;
        if (focus && lstrcmpiA(cls, "ComboBox") == 0 && GetParent(focus) == hwnd) {
            combo = focus;
        } else if (focus && lstrcmpiA(cls, "Edit") == 0) {
            HWND up = GetParent(focus);
            char upClass[32] = "";
            if (up)
                GetClassNameA(up, upClass, sizeof upClass);
            if (up && lstrcmpiA(upClass, "ComboBox") == 0 && GetParent(up) == hwnd)
                combo = up;
        }
        if (combo)
            SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
        return defaultEvent(event);
    }
    case DM_GETDEFID:
        return defaultId == 65535 ? 0 : MAKELRESULT(defaultId, DC_HASDEFID);
    case DM_SETDEFID:
        defaultId = static_cast<int>(event->wParam & 0xFFFF);
        return 1;
    case WM_USER + 2:
        if (event->wParam == 0x1000 && event->lParam == 0x1000) {
            // Enter in an edit: the default button is pressed.
            if (defaultId != 65535) {
                WindowCL* button = findChild(defaultId);
                HWND buttonHandle = button && button->isWindow() ? button->hwnd : nullptr;
                SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(defaultId, BN_CLICKED),
                             reinterpret_cast<LPARAM>(buttonHandle));
            } else {
                SendMessageA(hwnd, WM_COMMAND, IDOK, 0);
            }
            if (!watch.alive())
                return 0;
        }
        break;
    case WM_USER + 3:
        if (modal) {
            // The run deletes it when it ends.
            return 0;
        }
        delete this;
        return 0;
    case WM_NCDESTROY:
        state |= STATE_GONE;
        if (theApplication && theApplication->winMap)
            theApplication->winMap->remove(event->hwnd);
        if (currentModelessDialog == event->hwnd)
            currentModelessDialog = nullptr;
        // While modal, runModal deletes the dialog when it returns.
        if ((state & STATE_AUTODELETE) && !modal)
            delete this;
        return 0;
    default:
        break;
    }
    return dispatchEvent(event);
}

// ---------------------------------------------------------------- FieldDialogCL

FieldDialogCL::FieldDialogCL(WindowCL* parentWindow, const ResourceId& templateId, DWORD styleArgument)
    : DialogFrameCL(parentWindow, templateId, styleArgument, 0), reserved(nullptr), accepted(0)
{
    if (WindowCL* ok = findChild(IDOK))
        addCommandHandler(new NotifyHandlerRecord(ok->hwnd, BN_CLICKED, &FieldDialogCL::onOk, this));
    if (WindowCL* cancel = findChild(IDCANCEL))
        addCommandHandler(new NotifyHandlerRecord(cancel->hwnd, BN_CLICKED, &FieldDialogCL::onCancel, this));
}

int FieldDialogCL::validateAll()
{
    if (!children)
        return 1;
    {
        DListIteratorOf<WindowCL> walk(*children);
        while (WindowCL* child = walk.next()) {
            // Disabled fields, and objects without a window, are passed over.
            VisualCtrl* field = dynamic_cast<VisualCtrl*>(child);
            if (!field || !child->isWindow() || !IsWindowEnabled(child->hwnd))
                continue;
            if (!field->validate()) {
                if (child->isWindow())
                    SetFocus(child->hwnd);
                accepted = 0;
                return 0;
            }
        }
    }
    DListIteratorOf<WindowCL> walk(*children);
    while (WindowCL* child = walk.next()) {
        VisualCtrl* field = dynamic_cast<VisualCtrl*>(child);
        if (field && child->isWindow() && IsWindowEnabled(child->hwnd))
            field->storeValue();
    }
    accepted = 1;
    return 1;
}

LRESULT FieldDialogCL::onOk(EventRecord*)
{
    if (validateAll())
        endDialog();
    return 0;
}

LRESULT FieldDialogCL::onCancel(EventRecord*)
{
    accepted = 0;
    endDialog();
    return 0;
}

int FieldDialogCL::loadAll()
{
    if (!children)
        return 1;
    DListIteratorOf<WindowCL> walk(*children);
    while (WindowCL* child = walk.next())
        if (VisualCtrl* field = dynamic_cast<VisualCtrl*>(child))
            field->loadValue();
    return 1;
}
