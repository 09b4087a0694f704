// Under wine: the six 3-D control classes from a dialog template, the check
// box's messages, mouse and keys, radio buttons and their focus, binding
// through a field dialog, the transparent group box and panel, the panel's
// bevel pixels and a disabled one-image bitmap button. Saves the dialog.
//
//   framework_controls3d_test PNG-PATH
#include "Application.h"
#include "ButtonItems.h"
#include "Ctl3dWindow.h"
#include "Dialog.h"
#include "ErrorReporter.h"
#include "ToolBar.h"
#include "Frame.h"
#include "VisualCtrl.h"
#include "WineCheck.h"

#include <windows.h>

#include <string>
#include <vector>

using winecheck::check;
using winecheck::pixelOf;

namespace {

const int kDialog3d = 130;
const COLORREF kGray = RGB(128, 128, 128);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kLight = RGB(192, 192, 192);
const COLORREF kRed = RGB(255, 0, 0);

class RecordingSink : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char* text, const char*) override { boxes.push_back(text ? text : ""); }
    [[noreturn]] void endProcess(int exitCode) override { ExitProcess(static_cast<UINT>(exitCode)); }
    std::vector<std::string> boxes;
};
RecordingSink sink;

// Counts the WM_COMMAND messages a window receives, by id.
struct CommandCounter {
    std::vector<std::pair<int, HWND>> seen;
    LRESULT onCommand(EventRecord* event)
    {
        seen.push_back({LOWORD(event->wParam), reinterpret_cast<HWND>(event->lParam)});
        return 0;
    }
    int count(int id) const
    {
        int n = 0;
        for (auto& s : seen)
            n += s.first == id;
        return n;
    }
};

LPARAM at(int x, int y)
{
    return MAKELPARAM(x, y);
}

void click(HWND hwnd, int x, int y)
{
    SendMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at(x, y));
    SendMessageA(hwnd, WM_LBUTTONUP, 0, at(x, y));
}

template <typename T>
T* itemOf(WindowCL* dialog, int id)
{
    return dynamic_cast<T*>(dialog->findChild(id));
}

void templateBeforeRegistration(AppFrameCL* frame)
{
    DialogFrameCL* dialog = new DialogFrameCL(frame, ResourceId(kDialog3d));
    check(dialog->isWindow(), "a template naming 3-D classes before registration still opens");
    check(!dialog->findChild(501) && !dialog->findChild(507) && dialog->findChild(IDOK),
          "... without those items, with the others");
    delete dialog;
}

void checkBoxMessages(AppFrameCL* frame)
{
    CheckBox3dCL* box =
        new CheckBox3dCL(frame, new Layout(10, 10, 120, 20), WS_VISIBLE | BS_AUTOCHECKBOX, "Hallo", 601);
    HWND h = box->hwnd;
    check(SendMessageA(h, BM_GETCHECK, 0, 0) == 0, "a new check box is unchecked");
    SendMessageA(h, BM_SETCHECK, 1, 0);
    check(SendMessageA(h, BM_GETCHECK, 0, 0) == 1, "BM_SETCHECK 1 -> BM_GETCHECK 1");
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at(5, 10));
    check(SendMessageA(h, BM_GETCHECK, 0, 0) == 2, "BM_GETCHECK 2 while the mouse holds it");
    SendMessageA(h, WM_LBUTTONUP, 0, at(5, 10));
    check(SendMessageA(h, BM_GETCHECK, 0, 0) == 0, "the release toggles an auto check box");

    SetFocus(h);
    SendMessageA(h, WM_KEYDOWN, 'A', 0);
    SendMessageA(h, WM_KEYUP, 'A', 0);
    SendMessageA(h, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(h, WM_KEYDOWN, VK_SPACE, 0x40000000);
    SendMessageA(h, WM_KEYUP, VK_SPACE, 0);
    check(SendMessageA(h, BM_GETCHECK, 0, 0) == 1, "space toggles it, also after a key-down and up of 'A'");
    SendMessageA(h, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(h, WM_KILLFOCUS, 0, 0);
    SendMessageA(h, WM_KEYUP, VK_SPACE, 0);
    SendMessageA(h, WM_KEYDOWN, VK_SPACE, 0);
    SendMessageA(h, WM_KEYUP, VK_SPACE, 0);
    check(SendMessageA(h, BM_GETCHECK, 0, 0) == 1, "a lost focus ends a pending space (two toggles)");

    char buffer[16] = "xxxxxxxxxxxxxxx";
    LRESULT n = SendMessageA(h, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer));
    check(n == 3 && std::string(buffer) == "Hal", "WM_GETTEXT with 4 gives \"Hal\" and 3");
    buffer[0] = 'x';
    n = SendMessageA(h, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer));
    check(n == 0 && buffer[0] == 'x', "WM_GETTEXT with 0 copies nothing and gives 0");
    check(GetWindowTextLengthA(h) == 5, "WM_GETTEXTLENGTH");

    CheckBox3dCL* plain = new CheckBox3dCL(frame, new Layout(10, 40, 120, 20), WS_VISIBLE | BS_CHECKBOX, "Fest", 602);
    click(plain->hwnd, 5, 10);
    check(SendMessageA(plain->hwnd, BM_GETCHECK, 0, 0) == 0, "a non-auto check box stays as it was");
    int value = 7;
    plain->storeValue();
    plain->loadValue();
    check(value == 7, "an unbound check box ignores store and load");
    delete plain;
    delete box;
}

void radioButtons(AppFrameCL* frame)
{
    CommandCounter counter;
    frame->AddEventHandler(&counter, &CommandCounter::onCommand, WM_COMMAND);
    RadioButton3dCL* first =
        new RadioButton3dCL(frame, new Layout(10, 70, 120, 20), WS_VISIBLE | BS_AUTORADIOBUTTON, "Eins", 611);
    RadioButton3dCL* second =
        new RadioButton3dCL(frame, new Layout(10, 90, 120, 20), WS_VISIBLE | BS_AUTORADIOBUTTON, "Zwei", 612);
    SetFocus(frame->hwnd);
    counter.seen.clear();
    click(first->hwnd, 5, 10);
    check(counter.count(611) == 1, "a click on a radio button sends exactly one WM_COMMAND");
    check(counter.seen.size() == 1 && counter.seen[0].second == first->hwnd, "... with the button's handle");
    check(SendMessageA(first->hwnd, BM_GETCHECK, 0, 0) == 1, "... and checks it");
    click(first->hwnd, 5, 10);
    check(SendMessageA(first->hwnd, BM_GETCHECK, 0, 0) == 1, "a click never unchecks a radio button");
    counter.seen.clear();
    SetFocus(second->hwnd);
    check(counter.count(612) == 1, "focus from the keyboard sends WM_COMMAND");
    frame->RemoveEventHandler(&counter, &CommandCounter::onCommand, WM_COMMAND);
    delete first;
    delete second;
}

void passiveControls(AppFrameCL* frame)
{
    Panel3dCL* panel = new Panel3dCL(frame, new Layout(200, 10, 120, 40), WS_VISIBLE | 0x0818, "", 621, 999, 999);
    GroupBox3dCL* group = new GroupBox3dCL(frame, new Layout(200, 60, 120, 60), WS_VISIBLE | 0x0800, "Gruppe", 622);
    winecheck::pump();
    UpdateWindow(panel->hwnd);
    check(panel->bevelWidth == 3 && panel->gap == 1, "panel 999/999 with style 0x0818: width 3, gap 1");
    check(SendMessageA(group->hwnd, WM_NCHITTEST, 0, 0) == HTTRANSPARENT, "the group box is transparent to the mouse");
    check(SendMessageA(panel->hwnd, WM_NCHITTEST, 0, 0) == HTTRANSPARENT, "the panel is transparent to the mouse");
    bool top = true, bottom = true;
    for (int y = 0; y < 3; ++y) {
        top = top && pixelOf(panel->hwnd, 60, y) == kGray;
        bottom = bottom && pixelOf(panel->hwnd, 60, 39 - y) == kWhite;
    }
    check(top, "the sunken panel is gray on its top three rows");
    check(bottom, "... and white on its bottom three");
    delete panel;
    delete group;
}

// True when every pixel of the rectangle (right and bottom excluded) is c.
bool allOf(HWND hwnd, const RECT& r, COLORREF c)
{
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (pixelOf(hwnd, x, y) != c)
                return false;
    return true;
}

// On a frame that clips its children nothing paints under a control: the
// controls themselves must cover their area in the face colour, and a
// group box must do so without wiping the windows that lie inside it.
void faceAllOver(AppFrameCL* frame)
{
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    CheckBox3dCL* box =
        new CheckBox3dCL(frame, new Layout(10, 130, 120, 20), WS_VISIBLE | BS_AUTOCHECKBOX, "Hallo", 641);
    StaticText3dCL* empty = new StaticText3dCL(frame, new Layout(10, 160, 120, 20), WS_VISIBLE, "", 642);
    RadioButton3dCL* radio =
        new RadioButton3dCL(frame, new Layout(10, 190, 120, 20), WS_VISIBLE | BS_AUTORADIOBUTTON, "Eins", 643);
    GroupBox3dCL* group = new GroupBox3dCL(frame, new Layout(200, 130, 150, 80), WS_VISIBLE | 0x0800, "Gruppe", 644);
    Panel3dCL* panel = new Panel3dCL(frame, new Layout(200, 220, 150, 40), WS_VISIBLE | 0x0818, "", 645, 999, 999);
    CheckBox3dCL* inside =
        new CheckBox3dCL(frame, new Layout(210, 160, 100, 20), WS_VISIBLE | BS_AUTOCHECKBOX, "Innen", 646);
    winecheck::pump();
    check(frame->backColor != face, "the frame's colour is not the face colour");
    struct Area {
        WindowCL* control;
        RECT r;
        const char* what;
    };
    const Area areas[] = {
        {box, {90, 0, 120, 20}, "a check box is face-coloured right of its text"},
        {box, {0, 0, 120, 3}, "... and above its box and text"},
        {empty, {0, 0, 120, 20}, "an empty static text is face-coloured all over"},
        {radio, {90, 0, 120, 20}, "a radio button is face-coloured right of its text"},
        {group, {10, 62, 140, 72}, "a group box is face-coloured inside"},
        {panel, {8, 8, 140, 30}, "a panel is face-coloured inside"},
    };
    for (const Area& a : areas)
        check(allOf(a.control->hwnd, a.r, face), a.what);
    InvalidateRect(group->hwnd, nullptr, TRUE);
    UpdateWindow(group->hwnd);
    check(pixelOf(inside->hwnd, 6, 10) == kWhite, "a group box that paints again leaves the check box inside it");
    for (WindowCL* w : std::vector<WindowCL*>{inside, panel, group, radio, empty, box})
        delete w;
    winecheck::pump();
}

void disabledImage(AppFrameCL* frame)
{
    HDC screen = GetDC(nullptr);
    HBITMAP red = CreateCompatibleBitmap(screen, 16, 16);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, red);
    RECT all = {0, 0, 16, 16};
    HBRUSH brush = CreateSolidBrush(kRed);
    FillRect(memory, &all, brush);
    DeleteObject(brush);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    BmpButtonCL* button = new BmpButtonCL(frame, new Layout(340, 10, 30, 30), 0, "", 631, nullptr);
    BmpButtonItemCL* item = button->buttonItem();
    item->imageCount = 1;
    button->setBitmap(red, 0, 0, 0);
    button->setDisabled(1);
    winecheck::pump();
    const int x0 = item->imagePosition.x, y0 = item->imagePosition.y;
    check(x0 == 7 && y0 == 7, "the image is centred in the button");
    bool even = true, odd = true;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            COLORREF c = pixelOf(button->hwnd, x0 + x, y0 + y);
            if ((x + y) % 2 == 0)
                even = even && c == kLight;
            else
                odd = odd && c == kRed;
        }
    check(even, "a disabled one-image button is light gray where x + y is even");
    check(odd, "... and shows its image between");
    delete button;
}

using winecheck::windowText;

// A 3-D static text takes over the template's 3-D static and a standard
// static alike: same place, text, style and tab order, the dialog's font.
void takeOverStatics(FieldDialogCL* dialog)
{
    struct Case {
        int id;
        const char* text;
        uint32_t styleBits;
        uint32_t mask;
    };
    const Case cases[] = {
        {504, "Gr\xF6\xDF" "e && Form", 0x0C0, 0x1C3},
        {508, "Hinweis", SS_CENTER, 0x1C3},
    };
    for (const Case& c : cases) {
        WindowCL* placeholder = dialog->findChild(c.id);
        check(placeholder && placeholder->isWindow(), "the template has the static to take over");
        if (!placeholder)
            continue;
        RECT before;
        GetWindowRect(placeholder->hwnd, &before);
        HWND next = GetWindow(placeholder->hwnd, GW_HWNDNEXT);
        HFONT dialogFont = reinterpret_cast<HFONT>(SendMessageA(placeholder->hwnd, WM_GETFONT, 0, 0));
        StaticText3dCL* taken = new StaticText3dCL(dialog, c.id);
        RECT after;
        GetWindowRect(taken->hwnd, &after);
        char className[32] = "";
        GetClassNameA(taken->hwnd, className, sizeof className);
        const std::string label = taken->textItem() ? taken->textItem()->text : std::string("-");
        check(dialog->findChild(c.id) == taken && GetDlgItem(dialog->hwnd, c.id) == taken->hwnd &&
                  EqualRect(&before, &after) && std::string(className) == "VisualCtrl",
              (std::string("a 3-D static takes over ") + std::to_string(c.id) + " in its place").c_str());
        check(taken->kind == KIND_OWNERDRAW_ALT && GetWindow(taken->hwnd, GW_HWNDNEXT) == next,
              "... marked as taken over, in the same tab-order place");
        check(windowText(taken->hwnd) == c.text && label == windowText(taken->hwnd) &&
                  (taken->buttonStyle & c.mask) == c.styleBits,
              "... with the placeholder's text and style");
        Font* font = taken->drawing ? taken->drawing->currentFont() : nullptr;
        check(!dialogFont || (font && font->font() == dialogFont), "... drawing with the placeholder's font");
    }
}

void fromTemplate(AppFrameCL* frame, const std::string& picture)
{
    FieldDialogCL* dialog = new FieldDialogCL(frame, ResourceId(kDialog3d));
    check(itemOf<CheckBox3dCL>(dialog, 501) && itemOf<RadioButton3dCL>(dialog, 502) &&
              itemOf<RadioButton3dCL>(dialog, 503) && itemOf<StaticText3dCL>(dialog, 504) &&
              itemOf<GroupBox3dCL>(dialog, 505) && itemOf<BmpButtonCL>(dialog, 506) &&
              itemOf<Panel3dCL>(dialog, 507),
          "after register3dClasses each 3-D class of the template is built");
    int grid = 1, scale = 503;
    RECT before;
    GetWindowRect(dialog->findChild(501)->hwnd, &before);
    CheckBox3dCL* taken = new CheckBox3dCL(dialog, 501, &grid);
    RECT after;
    GetWindowRect(taken->hwnd, &after);
    check(dialog->findChild(501) == taken && EqualRect(&before, &after) && GetDlgItem(dialog->hwnd, 501) == taken->hwnd,
          "a take-over replaces the template's check box in its place");
    check(GetWindow(taken->hwnd, GW_HWNDNEXT) == dialog->findChild(502)->hwnd, "... and keeps its tab order");
    new RadioButton3dCL(dialog, 502, &scale);
    new RadioButton3dCL(dialog, 503, &scale);
    itemOf<RadioButton3dCL>(dialog, 502)->bind(&scale);
    dialog->loadAll();
    check(SendMessageA(dialog->findChild(501)->hwnd, BM_GETCHECK, 0, 0) == 1 &&
              SendMessageA(dialog->findChild(503)->hwnd, BM_GETCHECK, 0, 0) == 1 &&
              SendMessageA(dialog->findChild(502)->hwnd, BM_GETCHECK, 0, 0) == 0,
          "taken-over check box and radio pair load their variables");
    takeOverStatics(dialog);
    dialog->show(SW_SHOW);
    winecheck::pump();
    click(dialog->findChild(501)->hwnd, 5, 6);
    SendMessageA(dialog->findChild(502)->hwnd, BM_SETCHECK, 1, 0);
    SendMessageA(dialog->findChild(503)->hwnd, BM_SETCHECK, 0, 0);
    dialog->validateAll();
    check(grid == 0 && scale == 502, "... and store them through the field dialog");
    winecheck::pump();
    check(winecheck::saveWindowPicture(dialog->hwnd, picture), "picture of the 3-D dialog saved");
    delete dialog;
}

// A bar of three 3-D radio buttons in a field dialog, bound as a group to
// one variable: the dialog loads it, a click selects, the dialog stores.
void boundRadioGroup(AppFrameCL* frame)
{
    FieldDialogCL* dialog = new FieldDialogCL(frame, ResourceId(kDialog3d));
    ToolBarCL* bar = new ToolBarCL(dialog, new Layout(12, 172, 200, 24), 0);
    const char* const names[] = {"Rot", "Gr\xFCn", "Blau"};
    for (int i = 0; i < 3; ++i)
        new RadioButton3dCL(bar, new BarItemLayout(i + 1, Point(60, 20)), WS_VISIBLE | BS_AUTORADIOBUTTON, names[i],
                            701 + i);
    bar->rebuildLayout();
    auto checked = [bar](int id) {
        WindowCL* b = bar->control(id);
        return b ? SendMessageA(b->hwnd, BM_GETCHECK, 0, 0) : -1;
    };
    int colour = 702;
    BoundRadioGroup* group = new BoundRadioGroup(bar, 701, 703, &colour);
    check(checked(702) == 1 && checked(701) == 0 && checked(703) == 0 && group->selectedId == 702,
          "a bound radio group of 3-D radio buttons loads its variable at once");
    colour = 703;
    dialog->loadAll();
    check(checked(703) == 1 && checked(702) == 0 && group->selectedId == 703,
          "the field dialog loads the group through its bar");
    dialog->show(SW_SHOW);
    winecheck::pump();
    click(bar->control(701)->hwnd, 5, 10);
    check(checked(701) == 1 && checked(703) == 0 && colour == 703, "a click selects in the group, the variable waits");
    check(bar->isButtonChecked(701) == 1 && bar->checkButton(701, 0) == 1 && checked(702) == 1,
          "the bar checks its 3-D radio buttons by id");
    dialog->validateAll();
    check(colour == 702, "the field dialog stores the selected id");
    colour = 999;
    dialog->loadAll();
    check(checked(702) == 1 && group->selectedId == 702, "a value outside the range leaves the selection");
    EnableWindow(bar->hwnd, FALSE);
    dialog->validateAll();
    check(colour == 999, "a disabled bar stores nothing");
    delete group;
    delete dialog;
}

// An item that counts what reaches it.
class ProbeItem : public ItemCL {
public:
    ProbeItem(ItemGroupCL* group, Geometry* g, bool wantsMouse) : ItemCL(group, g)
    {
        if (wantsMouse)
            setFlags(kWantsMouse);
    }
    LRESULT buttonDown(EventRecord*) override
    {
        ++downs;
        return 1;
    }
    LRESULT buttonUp(EventRecord*) override
    {
        ++ups;
        return 1;
    }
    void paint(const Rect*) override { ++paints; }
    int downs = 0, ups = 0, paints = 0;
};

// Auto-sized texts stack at the top of the pane, each as large as its text,
// and a new text lays the pane out again.
void autoSizedTexts(AppFrameCL* frame)
{
    ItemPaneCL* pane = new ItemPaneCL(frame, new Layout(10, 220, 300, 60), WS_CHILD | WS_VISIBLE);
    TextItemCL* first = new TextItemCL(pane->root, nullptr, "Hallo", 1);
    TextItemCL* second = new TextItemCL(pane->root, new Geometry(200, 40, 5, 5), "Welt", 1);
    pane->addItem(first);
    pane->addItem(second);
    SendMessageA(pane->hwnd, WM_SIZE, 0, MAKELPARAM(300, 60));
    const Point hallo = first->textExtent(), welt = second->textExtent();
    check(hallo.x() > 0 && hallo.y() > 0, "a text item measures its text on the pane's context");
    check(first->bounds() == Rect(0, 0, hallo.x(), hallo.y()), "an auto-sized text takes its extent at the top");
    check(second->bounds() == Rect(0, hallo.y(), welt.x(), hallo.y() + welt.y()),
          "... and the next one goes below it, wherever its own geometry was");
    first->setText("Hallo, liebe Welt");
    const Point longer = first->textExtent();
    check(longer.x() > hallo.x() && first->bounds() == Rect(0, 0, longer.x(), longer.y()),
          "a new text lays the pane out again at the new extent");
    InvalidateRect(pane->hwnd, nullptr, TRUE);
    UpdateWindow(pane->hwnd);
    HDC dc = GetDC(pane->hwnd);
    const RECT ink = winecheck::inkBox(dc, RECT{0, 0, 300, longer.y() + welt.y()}, pixelOf(pane->hwnd, 299, 59));
    ReleaseDC(pane->hwnd, dc);
    check(ink.left >= 0 && ink.left < 4 && ink.top >= 0 && ink.top < longer.y(), "the text is painted at its item's place");
    delete pane;
}

void itemTrees(AppFrameCL* frame)
{
    ItemPaneCL* pane = new ItemPaneCL(frame, new Layout(10, 150, 200, 60), WS_CHILD | WS_VISIBLE);
    ProbeItem* quiet = new ProbeItem(pane->root, new Geometry(0, 0, 50, 50), false);
    pane->addItem(quiet);
    check(quiet->paints == 1, "addItem paints the item at once");
    check(SendMessageA(pane->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at(10, 10)) == 0 && quiet->downs == 0,
          "a pane whose tree wants no mouse ignores clicks");

    SubItemGroupCL* group = new SubItemGroupCL(pane->root, new Geometry(60, 0, 100, 50));
    pane->root->addChild(group);
    ProbeItem* button = new ProbeItem(group, new Geometry(60, 0, 40, 40), true);
    group->addChild(button);
    check((group->flags & kWantsMouse) && (pane->root->flags & kWantsMouse), "the mouse bit goes up to the root");
    SendMessageA(pane->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at(70, 10));
    SendMessageA(pane->hwnd, WM_LBUTTONUP, 0, at(150, 55));
    check(button->downs == 1 && button->ups == 1, "a press and its release reach the same item, wherever released");
    button->setVisible(0);
    SendMessageA(pane->hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at(70, 10));
    check(button->downs == 1, "a hidden item is never hit");
    Rect update(60, 0, 100, 40);
    const int before = button->paints;
    group->paint(&update);
    check(button->paints == before, "... and skipped by rectangle painting");
    group->paint(nullptr);
    check(button->paints == before + 1, "... but painted without a rectangle");
    button->setVisible(1);
    group->coverAll = 1;
    check(group->contains(Point(500, 500)), "a cover-all group reports every point inside");
    group->setVisible(0);
    check(!group->contains(Point(500, 500)), "... only while visible");
    group->setVisible(1);
    button->clearFlags(kWantsMouse);
    check(!(group->flags & kWantsMouse) && !(pane->root->flags & kWantsMouse),
          "clearing the last mouse child clears the bit up to the root");
    delete button;
    check(group->children.empty() && group->mouseChildren.empty(), "a deleted child leaves its group's lists");
    delete pane;
}


} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(60);
    setErrorSink(&sink);
    disableErrorLog();
    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(50, 50, 420, 300), WS_OVERLAPPEDWINDOW, "3-D-Test");
    frame->show(SW_SHOW);
    winecheck::pump();
    itemTrees(frame);
    autoSizedTexts(frame);
    templateBeforeRegistration(frame);
    register3dClasses();
    checkBoxMessages(frame);
    radioButtons(frame);
    passiveControls(frame);
    faceAllOver(frame);
    disabledImage(frame);
    boundRadioGroup(frame);
    fromTemplate(frame, winecheck::trimmedArgument(app->commandLine.text()));
    check(sink.boxes.empty(), "no error box");
    delete frame;
    app->exitCode = winecheck::summary();
}
