#include "StatusBar.h"

#include "Application.h"
#include "ControlSeams.h"
#include "DeviceContext.h"
#include "Menu.h"
#include "Profile.h"
#include "Timer.h"

#include <algorithm>
#include <cstring>
#include <vector>

using namespace paint3d;

namespace {

const char* const kFrameClasses[] = {"AppFrameCL", "DialogFrameCL", "MDIframeCL",
                                     "MDIchildCL", "MDIdialogCL",   "ChildFrameCL"};

bool isFrameClass(HWND hwnd)
{
    char name[128] = "";
    if (!hwnd || !GetClassNameA(hwnd, name, sizeof name))
        return false;
    for (const char* frame : kFrameClasses)
        if (strncmp(name, frame, strlen(frame)) == 0)
            return true;
    return false;
}

} // namespace

// ---------------------------------------------------------------- StatusField

StatusField::StatusField(StatusBarCL* owner, Geometry* g, int fieldId, uint32_t fieldStyle)
    : ItemCL(owner->root, g), bar(owner), frame(nullptr), style(fieldStyle), id(fieldId), lastText(),
      spacer(nullptr)
{
    init();
}

StatusField::StatusField(StatusBarCL* owner, int kind, const char* templateText, int fieldId, uint32_t fieldStyle)
    : ItemCL(owner->root, nullptr), bar(owner), frame(nullptr), style(fieldStyle), id(fieldId), lastText(),
      spacer(nullptr)
{
    const int width = kind == PLACE_REST ? 0 : owner->textWidth(templateText ? templateText : "") + 8;
    geometry = new EdgeLayout(kind, width, 0, owner->barLayout());
    init();
}

void StatusField::init()
{
    frame = new BevelItemCL(bar->root, new Geometry(0, 0, 0, 0), 0, "", 0, 1, 0, 0);
    bar->root->addChild(this);
    bar->addField(this);
    if (!(style & 0x800))
        makeSpacer();
}

StatusField::~StatusField()
{
    if (bar) {
        bar->removeField(this);
        if (bar->helpField == this)
            bar->helpField = nullptr;
    }
    delete frame;
    delete spacer;
}

void StatusField::makeSpacer()
{
    delete spacer;
    spacer = nullptr;
    if (geometry && (geometry->kind == PLACE_LEFT || geometry->kind == PLACE_RIGHT))
        spacer = new EdgeLayout(geometry->kind, 4, 0, bar->barLayout());
}

void StatusField::setText(const char* t)
{
    std::string s = t ? t : "";
    if (s.size() > kFieldTextLimit)
        s.resize(kFieldTextLimit);
    if (bar->helpField == this)
        bar->help.fieldTextSet(s);
    if (s == text)
        return;
    text = s;
    invalidate();
}

void StatusField::invalidate()
{
    if (!geometry || !bar->isWindow())
        return;
    const Rect r = bounds();
    bar->ownContext()->invalidateRect(&r, false);
}

RECT StatusField::innerRect() const
{
    const Rect b = bounds();
    return RECT{b.left() + 2, b.top() + 2, b.right() - 4, b.bottom() - 2};
}

void StatusField::paint(const Rect*)
{
    DeviceContext* dc = context();
    if (!dc || !geometry)
        return;
    dc->attach();
    if (dc->hdc)
        paintFrameAndText(dc->hdc);
    dc->release();
}

void StatusField::paintFrameAndText(HDC dc)
{
    const Rect b = bounds();
    frame->geometry->setOrigin(b.topLeft());
    frame->geometry->setSize(Point(b.width(), b.height()));
    if (!(style & 0x400)) {
        frame->drawOn(dc);
        paintText(dc);
        return;
    }
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, b.left(), b.top(), b.right(), b.bottom());
    paintText(dc);
    frame->drawOn(dc);
    RestoreDC(dc, saved);
}

void StatusField::eraseText(HDC dc, const RECT& r)
{
    fill(dc, r, bar->backColor);
}

void StatusField::paintText(HDC dc)
{
    if (text.empty()) {
        eraseText(dc, lastText);
        lastText = RECT{0, 0, 0, 0};
        shown.clear();
        return;
    }
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    const RECT inner = innerRect();
    // A text wider than the field is shortened with "..." to its inside
    // (a path keeps its file name), never drawn over the next field.
    const bool fits = size.cx <= inner.right - inner.left;
    if (!fits)
        size.cx = std::max<LONG>(0, inner.right - inner.left);
    if (!fits || size.cx < lastText.right - lastText.left) {
        RECT whole = {bounds().left() + 1, bounds().top() + 1, bounds().right() - 1, bounds().bottom() - 1};
        eraseText(dc, whole);
        frame->drawOn(dc);
    }
    int x = inner.left;
    if (fits && (style & 0x004))
        x = inner.left + (inner.right - inner.left) / 2 - size.cx / 2;
    else if (fits && (style & 0x002))
        x = inner.right - size.cx;
    const int y = inner.top + (inner.bottom - inner.top - size.cy) / 2;
    const COLORREF oldBack = SetBkColor(dc, bar->backColor);
    const COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
    const int oldMode = SetBkMode(dc, OPAQUE);
    if (fits) {
        TextOutA(dc, x, y, text.c_str(), static_cast<int>(text.size()));
        shown = text;
    } else {
        // DrawText writes the shortened text back; it needs room for the dots.
        std::vector<char> buffer(text.begin(), text.end());
        buffer.resize(text.size() + 5, '\0');
        RECT box = {inner.left, y, inner.right, y + size.cy};
        const UINT shortening = text.find('\\') != std::string::npos ? DT_PATH_ELLIPSIS | DT_END_ELLIPSIS
                                                                        : DT_END_ELLIPSIS;
        DrawTextA(dc, buffer.data(), static_cast<int>(text.size()), &box,
                  DT_SINGLELINE | DT_NOPREFIX | DT_MODIFYSTRING | shortening);
        shown = buffer.data();
    }
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
    lastText = RECT{x, y, x + size.cx, y + size.cy};
}

// ---------------------------------------------------------------- StatusBarCL

StatusBarCL::StatusBarCL(WindowCL* parentWindow, Geometry* g, DWORD style, DWORD paneStyle, Font* given)
    : ItemPaneCL(parentWindow, g, paneStyle), frameParent(0), barStyle(style), helpTable(nullptr),
      stringBase(0u), stringModule(nullptr), loadedLibrary(nullptr), helpField(nullptr), font(given),
      margins{nullptr, nullptr, nullptr, nullptr}, verticalMargin(0), innerTop(2), marginLeft(0), marginRight(0),
      border(2), hooked(false)
{
    if (!font) {
        HDC screen = GetDC(nullptr);
        const int height = 120 * GetDeviceCaps(screen, LOGPIXELSY) / 720;
        ReleaseDC(nullptr, screen);
        font = new Font("Helv", 0, height, FW_NORMAL, 0, VARIABLE_PITCH, 0);
    }
    own->pushFont(font);
    layoutBar();
    const Color face(static_cast<uint32_t>(GetSysColor(COLOR_BTNFACE)) & 0xFFFFFFu);
    setBackColor(face);
    own->setBackColor(face);
    own->setTextColor(Color(static_cast<uint32_t>(GetSysColor(COLOR_BTNTEXT)) & 0xFFFFFFu));
    frameParent = parent && isFrameClass(parent->hwnd) ? 1 : 0;
}

StatusBarCL::~StatusBarCL()
{
    unhook();
    for (EdgeLayout*& m : margins) {
        delete m;
        m = nullptr;
    }
    // The fields go with the item tree; they must not report back to the bar.
    for (StatusField* f : fields)
        f->bar = nullptr;
    fields.clear();
    helpField = nullptr;
    // Popped before it is deleted (a mended fault: the font was deleted
    // while still on the context, which deleted it again).
    if (own && font && own->currentFont() == font)
        own->popFont();
    delete font;
    font = nullptr;
    if (loadedLibrary)
        FreeLibrary(loadedLibrary);
}

int StatusBarCL::fontHeight()
{
    own->attach();
    TEXTMETRICA tm = {};
    if (own->hdc)
        GetTextMetricsA(own->hdc, &tm);
    own->release();
    return tm.tmHeight;
}

int StatusBarCL::textWidth(const char* text)
{
    own->attach();
    SIZE size = {0, 0};
    if (own->hdc)
        GetTextExtentPoint32A(own->hdc, text, static_cast<int>(strlen(text)), &size);
    own->release();
    return size.cx;
}

void StatusBarCL::layoutBar()
{
    const int height = statusBarHeight(fontHeight(), border, verticalMargin, innerTop);
    if (geometry) {
        geometry->height = height;
        if (EdgeLayout* edge = dynamic_cast<EdgeLayout*>(geometry))
            edge->sizePoint = Point(0, height);
    }
    const int sizes[4][2] = {{0, border + innerTop},
                             {0, verticalMargin + border},
                             {marginLeft + 5, 0},
                             {marginRight + 5, 0}};
    const int sides[4] = {PLACE_TOP, PLACE_BOTTOM, PLACE_LEFT, PLACE_RIGHT};
    for (int i = 0; i < 4; ++i) {
        if (!margins[i]) {
            margins[i] = new EdgeLayout(sides[i], sizes[i][0], sizes[i][1], barLayout());
        } else {
            margins[i]->sizePoint = Point(sizes[i][0], sizes[i][1]);
        }
    }
}

void StatusBarCL::setMargins(const Point& m)
{
    verticalMargin = m.y();
    innerTop = m.y() + 2;
    marginLeft = marginRight = m.x();
    layoutBar();
    if (parent && parent->geometry)
        parent->geometry->layout(nullptr);
}

Point StatusBarCL::getMargins() const
{
    return Point(margins[2] ? margins[2]->sizePoint.x() : 0, margins[0] ? margins[0]->sizePoint.y() : 0);
}

void StatusBarCL::setFont(Font* f)
{
    if (!f)
        return;
    if (font && own->currentFont() == font)
        own->popFont();
    delete font;
    font = f;
    own->pushFont(font);
    layoutBar();
    if (parent && parent->geometry)
        parent->geometry->layout(nullptr);
}

void StatusBarCL::addField(StatusField* field)
{
    fields.push_back(field);
    if (isWindow() && geometry)
        geometry->layout(nullptr);
}

void StatusBarCL::removeField(StatusField* field)
{
    for (auto it = fields.begin(); it != fields.end(); ++it)
        if (*it == field) {
            fields.erase(it);
            return;
        }
}

StatusField* StatusBarCL::removeFieldById(int id)
{
    StatusField* f = fieldById(id);
    if (f)
        removeField(f);
    return f;
}

StatusField* StatusBarCL::fieldById(int id)
{
    for (StatusField* f : fields)
        if (f->id == id)
            return f;
    return nullptr;
}

void StatusBarCL::setFieldText(int id, const char* text)
{
    if (StatusField* f = fieldById(id))
        f->setText(text);
}

LRESULT StatusBarCL::defaultEvent(EventRecord* event)
{
    if (parent && parent->isWindow()) {
        if (event->message == WM_COMMAND || event->message == WM_MENUSELECT)
            return SendMessageA(parent->hwnd, event->message, event->wParam, event->lParam);
    }
    return DefWindowProcA(event->hwnd, event->message, event->wParam, event->lParam);
}

LRESULT StatusBarCL::paint(DeviceContext& dc)
{
    dc.attach();
    if (HDC h = dc.hdc) {
        RECT client;
        GetClientRect(hwnd, &client);
        fill(h, client, backColor);
        line(h, kBlack, 0, 0, client.right, 0);
        line(h, kWhite, 0, 1, client.right, 1);
        if (help.shownInBar && !help.barText.empty()) {
            SIZE size = {0, 0};
            GetTextExtentPoint32A(h, help.barText.c_str(), static_cast<int>(help.barText.size()), &size);
            const COLORREF oldBack = SetBkColor(h, backColor);
            TextOutA(h, 16, (client.bottom - size.cy) / 2, help.barText.c_str(),
                     static_cast<int>(help.barText.size()));
            SetBkColor(h, oldBack);
        } else {
            root->paint(nullptr);
        }
    }
    dc.release();
    return 1;
}

// ---------------------------------------------------------------- menu help

void StatusBarCL::hook()
{
    if (hooked || !frameParent || !parent)
        return;
    if (Menu* menu = parent->getMenu()) {
        menu->onMenuSelect(this, &StatusBarCL::menuSelectHandler);
        hooked = true;
    }
}

void StatusBarCL::unhook()
{
    if (!hooked)
        return;
    hooked = false;
    // A frame deletes its menu before its children: then nothing is left to unhook.
    if (Menu* menu = parent ? parent->getMenu() : nullptr)
        menu->removeMenuSelectHandler(this, &StatusBarCL::menuSelectHandler);
}

LRESULT StatusBarCL::menuSelectHandler(EventRecord* event)
{
    return onMenuSelect(event);
}

LRESULT StatusBarCL::onMenuSelect(EventRecord* event)
{
    help.menuSelect(HIWORD(event->wParam), LOWORD(event->wParam), static_cast<long>(event->lParam), *this);
    return 0;
}

void StatusBarCL::setMenuHelpInBar()
{
    setMenuHelpInBar(ResourceId(0u));
}

void StatusBarCL::setMenuHelpInBar(const ResourceId& base)
{
    hook();
    helpTable = nullptr;
    stringBase = base;
    stringModule = nullptr;
    help.mode = MENUHELP_BAR;
    helpField = nullptr;
}

void StatusBarCL::setMenuHelpInBar(const MenuHelpEntry* table)
{
    hook();
    helpTable = table;
    help.mode = MENUHELP_BAR;
    helpField = nullptr;
}

void StatusBarCL::setMenuHelpField(StatusField* field)
{
    hook();
    help.mode = MENUHELP_FIELD;
    helpField = field;
}

void StatusBarCL::setMenuHelpField(int id)
{
    setMenuHelpField(fieldById(id));
}

void StatusBarCL::setMenuHelpField(int id, const MenuHelpEntry* table)
{
    helpTable = table;
    setMenuHelpField(fieldById(id));
}

StatusField* StatusBarCL::setMenuHelpField(int id, const ResourceId& base)
{
    helpTable = nullptr;
    stringBase = base;
    stringModule = nullptr;
    setMenuHelpField(fieldById(id));
    return helpField;
}

void StatusBarCL::endMenuHelp()
{
    unhook();
    help.mode = MENUHELP_NONE;
}

bool StatusBarCL::helpText(unsigned id, std::string& text)
{
    if (helpTable && helpTable[0].id != 0) {
        for (const MenuHelpEntry* e = helpTable; e->text; ++e)
            if (static_cast<unsigned>(e->id) == id) {
                text = e->text;
                return true;
            }
        return false;
    }
    if (!stringModule) {
        // Loaded once for the bar, freed with it.
        ResourceModule module(stringBase);
        stringModule = module.failed() ? nullptr : module.module();
        loadedLibrary = module.release();
        if (!stringModule)
            stringModule = programInstance();
    }
    char buffer[200];
    const int n = LoadStringA(stringModule, (stringBase.id & 0xFFFF) + id, buffer, sizeof buffer);
    if (n <= 0)
        return false;
    text.assign(buffer, static_cast<size_t>(n));
    return true;
}

std::string StatusBarCL::fieldText()
{
    return helpField ? helpField->text : std::string();
}

void StatusBarCL::setFieldText(const std::string& text)
{
    if (helpField)
        helpField->setText(text.c_str());
}

void StatusBarCL::showHelpInBar(bool)
{
    if (own)
        own->invalidateRect(nullptr, false);
}

void StatusBarCL::barTextChanged()
{
    if (own)
        own->invalidateRect(nullptr, false);
}

// ---------------------------------------------------------------- standard fields

namespace {

std::string clockTemplateText()
{
    return clockTemplate(readClockFormat(profileSource()));
}

} // namespace

ClockField::ClockField(StatusBarCL* owner, int kind, int fieldId)
    : StatusField(owner, kind, clockTemplateText().c_str(), fieldId, 0x804), timer(nullptr),
      format(readClockFormat(profileSource())), shownTime(currentClockTime())
{
    makeSpacer();
    timer = new Timer(this, &ClockField::tick, 500);
}

ClockField::~ClockField()
{
    delete timer;
    timer = nullptr;
}

void ClockField::tick()
{
    const std::time_t now = currentClockTime();
    if (!minuteChanged(shownTime, now))
        return;
    shownTime = now;
    if (bar && !bar->helpShownInBar())
        invalidate();
}

void ClockField::paint(const Rect* r)
{
    std::tm local = {};
    const std::time_t t = shownTime;
    if (std::tm* l = std::localtime(&t))
        local = *l;
    text = clockText(format, local.tm_hour, local.tm_min);
    StatusField::paint(r);
}

KeyStateField::KeyStateField(StatusBarCL* owner, int kind, int fieldId, const char* on, const char* off, int key,
                             const char* fallbackOn)
    : StatusField(owner, kind, keyStateTemplate(on ? on : "", off ? off : "").c_str(), fieldId, 0x804),
      onText(on ? on : ""), offText(off ? off : ""), virtualKey(key), defaultOn(fallbackOn), timer(nullptr)
{
    makeSpacer();
    setText(offText.c_str());
    timer = new Timer(this, &KeyStateField::tick, 1000);
}

KeyStateField::~KeyStateField()
{
    delete timer;
    timer = nullptr;
}

void KeyStateField::tick()
{
    if (bar && !bar->helpShownInBar())
        paint(nullptr);
}

void KeyStateField::paint(const Rect* r)
{
    text = keyStateText(keyToggled(virtualKey), onText, offText, defaultOn);
    StatusField::paint(r);
}

FrameStatusBarCL::FrameStatusBarCL(WindowCL* parentWindow, Geometry* g, DWORD style, DWORD paneStyle, Font* f)
    : StatusBarCL(parentWindow, g, style, paneStyle, f)
{
    if (style & 0x1000)
        new ClockField(this, PLACE_RIGHT, -1);
    if (style & 0x0800)
        new NumLockField(this, PLACE_RIGHT, -1);
    if (style & 0x4000)
        new CapsLockField(this, PLACE_RIGHT, -1);
    if (style & 0x0100)
        new StatusField(this, static_cast<Geometry*>(nullptr), 0, 0x401);
    if (style & 0x2000)
        setMenuHelpInBar();
    else if ((style & 0x8000) && (style & 0x0100))
        setMenuHelpField(0);
}

void FrameStatusBarCL::show(int cmd)
{
    if (!(state & STATE_SHOWN) && (barStyle & 0x100)) {
        StatusField* main = fieldById(0);
        if (main && !main->geometry) {
            main->geometry = new EdgeLayout(PLACE_REST, 0, 0, barLayout());
            if (isWindow() && geometry)
                geometry->layout(nullptr);
        }
    }
    StatusBarCL::show(cmd);
}
