// Under wine: dialogs built from the test program's templates; the standard
// controls, Enter and the default button, taking over items, factories,
// nested modal runs, field dialogs, and a picture of the field dialog; list
// and combo boxes through the same steps, with a picture of the two.
// Modal runs are scripted by messages posted before runModal.
//
//   framework_dialog_test PNG-PATH
//   framework_dialog_test --only-dialog   (a program whose only window is a dialog)
#include "Application.h"
#include "Control.h"
#include "DeviceContext.h"
#include "Dialog.h"
#include "ErrorReporter.h"
#include "Frame.h"
#include "Menu.h"
#include "UnitPoint.h"
#include "Window.h"
#include "WineCheck.h"
#include "WineRecordingSink.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using winecheck::check;
using winecheck::pixelOf;

namespace {

const int kFieldDialog = 100;
const int kOuterDialog = 110;
const int kInnerDialog = 111;
const int kNoFontDialog = 112;
const int kExtendedDialog = 113;

// The caption and the static of the field dialog, in Windows-1252.
const char kCaption1252[] = "Einstellungen \xe4ndern ...";
const char kStatic1252[] = "\x84Gr\xf6\xdf" "e\x93 \x96 5 \x80";

using winecheck::RecordingSink;

RecordingSink sink;

void setCtrl(bool held)
{
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = held ? 0x80 : 0;
    SetKeyboardState(keys);
}

std::string textOf(HWND hwnd)
{
    char buffer[256] = "";
    GetWindowTextA(hwnd, buffer, sizeof buffer);
    return buffer;
}

// A window class of the test's own, recorded as a custom control class.
int customMessages = 0;

LRESULT CALLBACK customProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_APP + 7)
        return ++customMessages;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// What the TestSwatch factory was given.
struct FactoryCall {
    int calls = 0;
    int id = 0;
    std::string text;
    DWORD style = 0;
    Rect rect;
} swatch;

WindowCL* makeSwatch(DialogFrameCL* dialog, Layout* g, int itemId, const char* text, DWORD itemStyle)
{
    ++swatch.calls;
    swatch.id = itemId;
    swatch.text = text ? text : "";
    swatch.style = itemStyle;
    swatch.rect = Rect(g->x, g->y, g->x + g->width, g->y + g->height);
    return new StaticCL(dialog, g, itemStyle, text, itemId);
}

// A dialog that records its commands, what reached createCustomItem and its deletion.
class TestDialog : public DialogFrameCL {
public:
    // Created here, so that the items reach this class's createCustomItem.
    TestDialog(WindowCL* parentWindow, int templateId) : DialogFrameCL(parentWindow, ResourceId(templateId), 0, 1)
    {
        create();
    }
    ~TestDialog() override { ++deletions; }

    WindowCL* createCustomItem(const char* name, const Point& position, const Point&, int itemId) override
    {
        customClass = name ? name : "";
        customId = itemId;
        customPosition = position;
        return nullptr;
    }
    LRESULT onCommand(EventRecord* event) override
    {
        commands.push_back(std::make_pair(static_cast<int>(LOWORD(event->wParam)), reinterpret_cast<HWND>(event->lParam)));
        if (LOWORD(event->wParam) == IDOK && endsOnOk)
            endDialog();
        return 0;
    }
    LRESULT onEnterKey(EventRecord*)
    {
        ++enterMessages;
        return 0;
    }

    std::vector<std::pair<int, HWND>> commands;
    std::string customClass;
    int customId = 0;
    Point customPosition;
    int enterMessages = 0;
    bool endsOnOk = false;
    static int deletions;
};

int TestDialog::deletions = 0;

// The average character width and the line height of the dialog font, measured.
void measureDialogFont(HWND reference, int& average, int& lineHeight)
{
    HDC dc = GetDC(reference);
    int height = MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72);
    HFONT f = CreateFontA(-height, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                          DEFAULT_QUALITY, 0, "MS Sans Serif");
    HGDIOBJ old = SelectObject(dc, f);
    SIZE s;
    GetTextExtentPoint32A(dc, kDialogUnitSample, 52, &s);
    average = s.cx / 52 + (s.cx % 52 >= 26 ? 1 : 0);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    lineHeight = tm.tmHeight + tm.tmExternalLeading;
    SelectObject(dc, old);
    DeleteObject(f);
    ReleaseDC(reference, dc);
}

int unitsX(int units, int average)
{
    int t = units * average;
    return t / 4 + (t % 4 >= 2 ? 1 : 0);
}

int unitsY(int units, int lineHeight)
{
    return lineHeight * units / 8 + 3;
}

// ---------------------------------------------------------------- controls

void testControls(Application* app, FrameWindowCL* frame)
{
    // Style 0 gives a tab stop; a static never is one.
    EditCL* plain = new EditCL(frame, new Geometry(5, 5, 80, 20), 0, "", 900);
    StaticCL* label = new StaticCL(frame, new Geometry(5, 30, 80, 20), WS_TABSTOP, "Text", 901);
    check((GetWindowLongA(plain->hwnd, GWL_STYLE) & WS_TABSTOP) && !(GetWindowLongA(label->hwnd, GWL_STYLE) & WS_TABSTOP),
          "style 0 gives WS_TABSTOP; a static never has it");
    // A control at x -20 reports -20 (a mended fault: it read 65516).
    MoveWindow(plain->hwnd, -20, 5, 80, 20, FALSE);
    check(plain->geometry->x == -20, "WM_MOVE of a control stores signed words");
    delete plain;
    delete label;

    TestDialog* dialog = new TestDialog(frame, kFieldDialog);
    dialog->show(SW_SHOW);
    winecheck::pump();

    // Take-over: handlers, HWND, position and the map entry come along.
    WindowCL* placeholder = dialog->findChild(101);
    HWND editHandle = placeholder ? placeholder->hwnd : nullptr;
    Rect before = placeholder ? placeholder->geometry->rect() : Rect();
    int probes = 0;
    struct Probe {
        int* count;
        LRESULT hit(EventRecord*)
        {
            ++*count;
            return 7;
        }
    } probe{&probes};
    if (placeholder)
        placeholder->AddEventHandler(&probe, &Probe::hit, WM_APP + 5);
    String name;
    EditCL* edit = new EditCL(dialog, 101, &name, 0);
    check(edit->hwnd == editHandle && edit->hwnd && edit->geometry && edit->geometry->rect() == before &&
              app->winMap->lookup(editHandle) == edit && dialog->findChild(101) == edit,
          "a take-over keeps the HWND and the position, and the map yields the new object");
    check(SendMessageA(editHandle, WM_APP + 5, 0, 0) == 7 && probes == 1, "the take-over keeps the handlers");

    // Bound empty fields fail, and pass with option 256.
    String comboText, listText;
    int listIndex = -1;
    BoundComboBoxCL* list = new BoundComboBoxCL(dialog, 103, &comboText, 0);
    BoundComboBoxCL* editable = new BoundComboBoxCL(dialog, 104, &comboText, 0);
    BoundListBoxCL* listBox = new BoundListBoxCL(dialog, 105, &listIndex, 0);
    const char* const levels[] = {"Klein", "Mittel", "Gro\xdf", nullptr};
    list->fill(levels);
    editable->fill(levels);
    listBox->fill(levels);
    struct Field {
        const char* what;
        CtrlWindowCL* control;
        int* options;
    };
    Field fields[] = {{"a bound empty edit", edit, &edit->options},
                      {"a drop-down list without a selection", list, &list->options},
                      {"an empty editable combo", editable, &editable->options},
                      {"a list box without a selection", listBox, &listBox->options}};
    for (Field& f : fields) {
        bool fails = f.control->validate() == 0;
        *f.options = kAcceptEmpty;
        bool passes = f.control->validate() == 1;
        *f.options = 0;
        check(fails && passes, (std::string(f.what) + " fails validation and passes with option 256").c_str());
    }

    // Kind 2: selects by text and stores the item text; kind 1 stores the index.
    comboText = "Mittel";
    list->loadValue();
    comboText = "";
    list->storeValue();
    check(list->getCurSel() == 1 && std::string(comboText.text()) == "Mittel",
          "a kind-2 combo selects by text and stores the item text");
    int index = -1;
    BoundComboBoxCL* byIndex = new BoundComboBoxCL(dialog, 999, &index, 0); // no such item
    delete byIndex;
    sink.boxes.clear();
    list->bindInt(&index);
    list->setCurSel(2);
    list->storeValue();
    check(index == 2, "a kind-1 combo stores CB_GETCURSEL");

    // Check box bound to an int.
    int grid = 1;
    CheckBoxCL* box = new CheckBoxCL(dialog, 102, &grid);
    bool loaded = box->getCheck() == 1;
    box->setCheck(0);
    box->storeValue();
    check(loaded && grid == 0, "a check box bound to an int loads and stores it");

    // A disabled edit shows new text and stays disabled.
    EditCL* disabled = new EditCL(dialog, 106);
    disabled->setText("ge\xe4ndert");
    check(textOf(disabled->hwnd) == "ge\xe4ndert" && !IsWindowEnabled(disabled->hwnd),
          "a disabled edit shows new text and stays disabled");

    // Enter in an edit.
    dialog->AddEventHandler(dialog, &TestDialog::onEnterKey, WM_USER + 2);
    setCtrl(false);
    dialog->commands.clear();
    SendMessageA(edit->hwnd, WM_KEYDOWN, VK_RETURN, 0);
    check(dialog->enterMessages == 1 && dialog->commands.size() == 1 && dialog->commands[0].first == IDOK &&
              dialog->commands[0].second == nullptr,
          "Enter in an edit sends WM_USER+2; without a default id that gives IDOK with 0");
    setCtrl(true);
    SendMessageA(edit->hwnd, WM_KEYDOWN, VK_RETURN, 0);
    setCtrl(false);
    MultiEditCL* multi = new MultiEditCL(dialog, 110);
    SendMessageA(multi->hwnd, WM_KEYDOWN, VK_RETURN, 0);
    check(dialog->enterMessages == 1, "no WM_USER+2 with Ctrl held or with ES_WANTRETURN");
    check(SendMessageA(dialog->hwnd, DM_GETDEFID, 0, 0) == 0, "DM_GETDEFID answers 0 without a default id");
    SendMessageA(dialog->hwnd, DM_SETDEFID, 3, 0);
    check(static_cast<DWORD>(SendMessageA(dialog->hwnd, DM_GETDEFID, 0, 0)) == 0x534B0003u,
          "DM_GETDEFID answers 0x534B0003 after DM_SETDEFID 3");
    dialog->commands.clear();
    SendMessageA(edit->hwnd, WM_KEYDOWN, VK_RETURN, 0);
    HWND button3 = GetDlgItem(dialog->hwnd, 3);
    check(dialog->commands.size() == 1 && dialog->commands[0].first == 3 && dialog->commands[0].second == button3 &&
              button3,
          "with default id 3 Enter gives WM_COMMAND 3 with that button's HWND");
    // Through the loop, the dialog manager takes Enter first: one press.
    dialog->commands.clear();
    int messagesBefore = dialog->enterMessages;
    SetFocus(edit->hwnd);
    currentModelessDialog = dialog->hwnd;
    PostMessageA(edit->hwnd, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(edit->hwnd, WM_KEYUP, VK_RETURN, 0);
    app->quit();
    app->MessageLoop();
    int presses = 0;
    for (auto& c : dialog->commands)
        if (c.first == 3)
            ++presses;
    printf("commands through the loop: %d, WM_USER+2: %d\n", static_cast<int>(dialog->commands.size()),
           dialog->enterMessages - messagesBefore);
    check(presses == 1, "through the loop, Enter presses the default button once");

    // A group box at -3 answers with its parent's colour.
    GroupBoxCL* group = new GroupBoxCL(dialog, 107);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBRUSH brush = reinterpret_cast<HBRUSH>(
        SendMessageA(dialog->hwnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(memory), reinterpret_cast<LPARAM>(group->hwnd)));
    LOGBRUSH lb = {};
    if (brush)
        GetObjectA(brush, sizeof lb, &lb);
    check(group->backColor == kParentBackground && brush && lb.lbColor == dialog->backColor &&
              GetBkColor(memory) == dialog->backColor && dialog->backColor == GetSysColor(COLOR_BTNFACE),
          "a group box at -3 answers WM_CTLCOLORSTATIC with its parent's colour");
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);

    // WM_NEXTDLGCTL wraps over the enabled tab stops.
    HWND okButton = GetDlgItem(dialog->hwnd, IDOK);
    HWND cancelButton = GetDlgItem(dialog->hwnd, IDCANCEL);
    SetFocus(cancelButton);
    SendMessageA(dialog->hwnd, WM_NEXTDLGCTL, 0, 0);
    HWND wrapped = GetFocus();
    SendMessageA(dialog->hwnd, WM_NEXTDLGCTL, 1, 0);
    HWND back = GetFocus();
    SendMessageA(dialog->hwnd, WM_NEXTDLGCTL, 1, 0);
    HWND beforeCancel = GetFocus();
    check(wrapped == edit->hwnd && back == cancelButton && beforeCancel == okButton,
          "WM_NEXTDLGCTL wraps over the enabled tab stops (the disabled edit and the static are skipped)");

    // The factory and the unknown class.
    int average = 0, lineHeight = 0;
    measureDialogFont(frame->hwnd, average, lineHeight);
    Rect expected(unitsX(10, average), unitsY(108, lineHeight), unitsX(10, average) + unitsX(40, average),
                  unitsY(108, lineHeight) + unitsY(20, lineHeight));
    printf("dialog font: average %d, line %d; swatch at %d,%d %dx%d\n", average, lineHeight, swatch.rect.left(),
           swatch.rect.top(), swatch.rect.width(), swatch.rect.height());
    check(swatch.calls >= 1 && swatch.id == 108 && swatch.text == "Farbe" && (swatch.style & WS_CHILD) &&
              swatch.rect == expected,
          "the TestSwatch factory receives the item's id, text, style and geometry");
    check(dialog->customClass == "UnbekannteKlasse" && dialog->customId == 109,
          "an unknown class reaches createCustomItem");
    RECT client;
    GetClientRect(dialog->hwnd, &client);
    check(client.right == unitsX(250, average) && client.bottom == unitsY(170, lineHeight),
          "the client size follows the dialog units of the bold dialog font");
    check(dialog->font != nullptr && SendMessageA(edit->hwnd, WM_GETFONT, 0, 0) == reinterpret_cast<LRESULT>(dialog->font->font()),
          "a template with DS_SETFONT gives the items the dialog font");

    // A missing id: the report, and the object stays without a window.
    sink.boxes.clear();
    String lost("bleibt");
    EditCL* missing = new EditCL(dialog, 777, &lost, 0);
    bool reported = sink.boxes.size() == 1 && sink.boxes[0].find("100") != std::string::npos &&
                    sink.boxes[0].find("777") != std::string::npos;
    check(reported && missing->hwnd == nullptr && missing->isMissing() && missing->validate() == 0 &&
              missing->storeValue() == 0 && missing->loadValue() == 0 && std::string(lost.text()) == "bleibt",
          "a missing id gives an error report naming dialog and control, and a control without a window");
    if (!sink.boxes.empty())
        printf("report: %s\n", sink.boxes[0].c_str());

    delete dialog;
    check(TestDialog::deletions == 1, "the dialog and its controls are deleted");
    TestDialog::deletions = 0;

    // No DS_SETFONT: no font object, the items keep the system font.
    TestDialog* plainDialog = new TestDialog(frame, kNoFontDialog);
    WindowCL* item = plainDialog->findChild(302);
    check(plainDialog->font == nullptr && item && SendMessageA(item->hwnd, WM_GETFONT, 0, 0) == 0,
          "a template without DS_SETFONT makes no font object");
    printf("dialog menu: has %d, id %u, object %p, handle %p, window's %p\n", plainDialog->hasMenu, plainDialog->menuId.id,
           static_cast<void*>(plainDialog->menu), plainDialog->menu ? static_cast<void*>(plainDialog->menu->handle()) : nullptr,
           static_cast<void*>(GetMenu(plainDialog->hwnd)));
    check(plainDialog->menu && plainDialog->menu->handle() && GetMenu(plainDialog->hwnd) == plainDialog->menu->handle(),
          "the template's menu is attached to the dialog");
    RECT menuClient;
    GetClientRect(plainDialog->hwnd, &menuClient);
    const long baseUnits = GetDialogBaseUnits();
    check(menuClient.right == 120 * LOWORD(baseUnits) / 4 && menuClient.bottom == 50 * HIWORD(baseUnits) / 8,
          "without a font the system's dialog base units size the dialog, below its menu bar");
    // The registered-class item: a custom control; its take-over leaves it in place.
    WindowCL* customItem = plainDialog->findChild(303);
    CustomCtrlCL* custom = dynamic_cast<CustomCtrlCL*>(customItem);
    check(custom && custom->kind == KIND_CUSTOM && custom->isWindow() &&
              GetWindowLongPtrA(custom->hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(ControlWindowProc) &&
              SendMessageA(custom->hwnd, WM_APP + 7, 0, 0) == 1,
          "an item of a recorded custom class becomes a custom control whose messages reach the class");
    CustomCtrlCL* follower = new CustomCtrlCL(plainDialog, 303);
    check(custom && plainDialog->findChild(303) == custom && custom->linked == follower && follower->hwnd == nullptr &&
              (follower->state & STATE_AUTODELETE) && app->winMap->lookup(custom->hwnd) == custom,
          "taking over a custom control keeps it in place, linked to the new object");
    delete plainDialog;

    // Bad templates: nothing is created beyond what was read.
    TestDialog* extended = new TestDialog(frame, kExtendedDialog);
    TestDialog* absent = new TestDialog(frame, 4242);
    check(extended->isWindow() && extended->children == nullptr && extended->itemCount == 0 &&
              absent->isWindow() && absent->children == nullptr,
          "an extended and a missing template give an empty dialog");
    absent->show(SW_SHOW);
    PostMessageA(absent->hwnd, WM_CLOSE, 0, 0);
    winecheck::pump();
    check(!absent->isWindow(), "the empty dialog opens and closes");
    delete absent;
    delete extended;
    TestDialog::deletions = 0;
}

// ---------------------------------------------------------------- modal runs

struct ModalRecord {
    bool frameDisabledInB = false;
    bool outerDisabledInB = false;
    bool outerEnabledAfterB = false;
    bool frameDisabledAfterB = false;
    int deletionsInB = -1;
    int deletionsAfterB = -1;
};

class OuterDialog;

class InnerScript {
public:
    InnerScript(ModalRecord* r, FrameWindowCL* f, DialogFrameCL* o) : record(r), frame(f), outer(o) {}
    LRESULT inRun(EventRecord* event)
    {
        record->frameDisabledInB = !IsWindowEnabled(frame->hwnd);
        record->outerDisabledInB = !IsWindowEnabled(outer->hwnd);
        record->deletionsInB = TestDialog::deletions;
        PostMessageA(event->hwnd, WM_COMMAND, IDOK, 0);
        return 1;
    }
    ModalRecord* record;
    FrameWindowCL* frame;
    DialogFrameCL* outer;
};

class OuterScript {
public:
    OuterScript(ModalRecord* r, FrameWindowCL* f, DialogFrameCL* o) : record(r), frame(f), outer(o) {}
    LRESULT runInner(EventRecord* event)
    {
        TestDialog* inner = new TestDialog(outer, kInnerDialog);
        inner->endsOnOk = true;
        inner->state |= STATE_AUTODELETE;
        InnerScript script(record, frame, outer);
        inner->AddEventHandler(&script, &InnerScript::inRun, WM_APP + 1);
        PostMessageA(inner->hwnd, WM_APP + 1, 0, 0);
        inner->runModal();
        record->deletionsAfterB = TestDialog::deletions;
        record->outerEnabledAfterB = IsWindowEnabled(outer->hwnd) != 0;
        record->frameDisabledAfterB = !IsWindowEnabled(frame->hwnd);
        // The outer one ends by its close box.
        PostMessageA(event->hwnd, WM_CLOSE, 0, 0);
        return 1;
    }
    ModalRecord* record;
    FrameWindowCL* frame;
    DialogFrameCL* outer;
};

void testModalRuns(FrameWindowCL* frame)
{
    TestDialog::deletions = 0;
    ModalRecord record;
    TestDialog* outer = new TestDialog(frame, kOuterDialog);
    outer->state |= STATE_AUTODELETE;
    HWND outerHandle = outer->hwnd;
    OuterScript script(&record, frame, outer);
    outer->AddEventHandler(&script, &OuterScript::runInner, WM_APP);
    PostMessageA(outer->hwnd, WM_APP, 0, 0);
    outer->runModal();
    check(record.frameDisabledInB && record.outerDisabledInB, "while B runs, A and the frame are disabled");
    check(record.outerEnabledAfterB && record.frameDisabledAfterB, "when B ends, only A is enabled again");
    check(IsWindowEnabled(frame->hwnd) != 0, "when A ends, the frame is enabled too");
    check(record.deletionsInB == 0 && record.deletionsAfterB == 1 && TestDialog::deletions == 2,
          "each auto-delete dialog is deleted once, after its runModal (B by OK, A by the close box)");
    check(!IsWindow(outerHandle) && modalDialogDepth() == 0, "the outer dialog's window is gone and no run is left");

    // Modeless auto-delete dialogs: by endDialog's WM_USER+3, or with their window.
    TestDialog::deletions = 0;
    TestDialog* ended = new TestDialog(frame, kInnerDialog);
    ended->state |= STATE_AUTODELETE;
    ended->show(SW_SHOW);
    ended->endDialog();
    bool keptUntilMessage = TestDialog::deletions == 0;
    winecheck::pump();
    check(keptUntilMessage && TestDialog::deletions == 1 && IsWindowEnabled(frame->hwnd),
          "a modeless auto-delete dialog is deleted by the message endDialog posts, and enables nothing");
    TestDialog* closed = new TestDialog(frame, kInnerDialog);
    closed->state |= STATE_AUTODELETE;
    closed->show(SW_SHOW);
    SendMessageA(closed->hwnd, WM_CLOSE, 0, 0);
    winecheck::pump();
    check(TestDialog::deletions == 2, "a modeless auto-delete dialog closed by its close box is deleted once");
    TestDialog::deletions = 0;
}

// ---------------------------------------------------------------- field dialog

struct FieldVariables {
    String name;
    int grid = 1;
    String level;
    String fixed;
    String typed;
    String lost = "bleibt";
};

class FieldScript {
public:
    FieldScript(FieldDialogCL* d, FieldVariables* v, const std::string& p) : dialog(d), vars(v), picture(p) {}

    LRESULT firstOk(EventRecord*)
    {
        HWND ok = GetDlgItem(dialog->hwnd, IDOK);
        SendMessageA(GetDlgItem(dialog->hwnd, 102), BM_SETCHECK, BST_UNCHECKED, 0);
        SendMessageA(dialog->hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
        HWND nameEdit = GetDlgItem(dialog->hwnd, 101);
        check(vars->grid == 1 && std::string(vars->name.text()).empty() && dialog->accepted == 0 &&
                  GetFocus() == nameEdit && IsWindowVisible(dialog->hwnd),
              "OK with one invalid enabled field stores nothing, focuses it and stays open");
        // The frame and caption as well: the picture shows what a user sees.
        RedrawWindow(dialog->hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        winecheck::pump();
        check(winecheck::saveWindowPicture(dialog->hwnd, picture), "the picture of the field dialog is saved");
        RECT client;
        GetClientRect(dialog->hwnd, &client);
        check(pixelOf(dialog->hwnd, client.right - 3, 3) == GetSysColor(COLOR_BTNFACE),
              "an empty spot of the dialog is COLOR_BTNFACE");
        RECT inside;
        GetClientRect(nameEdit, &inside);
        check(pixelOf(nameEdit, inside.right - 3, inside.bottom / 2) == GetSysColor(COLOR_WINDOW),
              "the inside of an edit is COLOR_WINDOW");
        check(textOf(dialog->hwnd) == kCaption1252 && textOf(GetDlgItem(dialog->hwnd, 201)) == kStatic1252,
              "caption and static carry the template's 1252 bytes");
        // Corrected, OK stores every field.
        SetWindowTextA(nameEdit, "Regler");
        SendMessageA(dialog->hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
        return 1;
    }
    LRESULT cancel(EventRecord*)
    {
        SendMessageA(GetDlgItem(dialog->hwnd, 102), BM_SETCHECK, BST_UNCHECKED, 0);
        SetWindowTextA(GetDlgItem(dialog->hwnd, 101), "anders");
        HWND button = GetDlgItem(dialog->hwnd, IDCANCEL);
        SendMessageA(dialog->hwnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        return 1;
    }
    LRESULT closeBox(EventRecord*)
    {
        SendMessageA(GetDlgItem(dialog->hwnd, 102), BM_SETCHECK, BST_UNCHECKED, 0);
        PostMessageA(dialog->hwnd, WM_CLOSE, 0, 0);
        return 1;
    }

    FieldDialogCL* dialog;
    FieldVariables* vars;
    std::string picture;
};

// The field dialog with its bound controls.
FieldDialogCL* makeFieldDialog(FrameWindowCL* frame, FieldVariables& vars)
{
    FieldDialogCL* dialog = new FieldDialogCL(frame, ResourceId(kFieldDialog));
    new EditCL(dialog, 101, &vars.name, 0);
    new CheckBoxCL(dialog, 102, &vars.grid);
    BoundComboBoxCL* level = new BoundComboBoxCL(dialog, 103, &vars.level, 0);
    const char* const levels[] = {"Klein", "Mittel", "Gro\xdf", nullptr};
    level->fill(levels);
    level->loadValue();
    new BoundComboBoxCL(dialog, 104, &vars.typed, kAcceptEmpty);
    new EditCL(dialog, 106, &vars.fixed, 0); // disabled: neither validated nor stored
    new EditCL(dialog, 778, &vars.lost, 0);  // not in the template: passed over, reported
    return dialog;
}

void testFieldDialog(FrameWindowCL* frame, const std::string& picture)
{
    FieldVariables vars;
    vars.level = "Mittel";
    vars.fixed = "fest";
    FieldDialogCL* dialog = makeFieldDialog(frame, vars);
    dialog->show(SW_SHOW);
    SetWindowTextA(GetDlgItem(dialog->hwnd, 106), ""); // invalid, but disabled
    FieldScript script(dialog, &vars, picture);
    dialog->AddEventHandler(&script, &FieldScript::firstOk, WM_APP + 10);
    PostMessageA(dialog->hwnd, WM_APP + 10, 0, 0);
    dialog->runModal();
    printf("stored: name \"%s\", grid %d, level \"%s\", accepted %d\n", vars.name.text(), vars.grid, vars.level.text(),
           dialog->accepted);
    check(std::string(vars.name.text()) == "Regler" && vars.grid == 0 && std::string(vars.level.text()) == "Mittel" &&
              dialog->accepted == 1,
          "once corrected, OK stores every field and the accepted flag is 1");
    check(std::string(vars.fixed.text()) == "fest", "a disabled field is neither validated nor stored");
    check(std::string(vars.lost.text()) == "bleibt" && !sink.boxes.empty() &&
              sink.boxes.back().find("778") != std::string::npos,
          "a missing id is reported while OK still works");
    delete dialog;

    FieldVariables before = vars;
    dialog = makeFieldDialog(frame, vars);
    FieldScript cancelScript(dialog, &vars, picture);
    dialog->AddEventHandler(&cancelScript, &FieldScript::cancel, WM_APP + 11);
    PostMessageA(dialog->hwnd, WM_APP + 11, 0, 0);
    dialog->runModal();
    bool unchanged = std::string(vars.name.text()) == "Regler" && vars.grid == before.grid;
    check(dialog->accepted == 0 && unchanged, "Cancel leaves the flag 0 and the variables unchanged");
    delete dialog;

    dialog = makeFieldDialog(frame, vars);
    HWND handle = dialog->hwnd;
    FieldScript closeScript(dialog, &vars, picture);
    dialog->AddEventHandler(&closeScript, &FieldScript::closeBox, WM_APP + 12);
    PostMessageA(dialog->hwnd, WM_APP + 12, 0, 0);
    dialog->runModal();
    check(dialog->accepted == 0 && vars.grid == before.grid && !IsWindow(handle) && IsWindowEnabled(frame->hwnd),
          "the close box ends the run with the flag 0, the variables unchanged and the window destroyed");
    delete dialog;
}


// ---------------------------------------------------------------- list controls

// The picture of the list controls lies beside the dialog's.
std::string listPicture(const std::string& picture)
{
    const size_t dot = picture.rfind('.');
    return (dot == std::string::npos ? picture : picture.substr(0, dot)) + "-lists.png";
}

// List boxes and combo boxes share their operations; each is driven by its
// own messages. The same steps on both show that every operation reaches
// its control with the right message.
void testListControls(FrameWindowCL* frame, const std::string& picture)
{
    ListBoxCL* listBox = new ListBoxCL(frame, new Geometry(10, 10, 150, 120), LBS_NOTIFY | WS_BORDER | WS_VSCROLL, "", 910);
    listBox->create();
    ComboBoxCL* comboBox = new ComboBoxCL(frame, new Geometry(180, 10, 150, 160), CBS_DROPDOWNLIST | WS_VSCROLL, "", 911);
    comboBox->create();
    struct Changes {
        int count;
        LRESULT changed(EventRecord*)
        {
            ++count;
            return 0;
        }
    };
    struct Kind {
        const char* what;
        ListControlCL* control;
        Changes changes;
    } kinds[] = {{"list box", listBox, {0}}, {"combo box", comboBox, {0}}};
    const char* const greek[] = {"Alpha", "Beta", "Gamma", nullptr};
    for (Kind& k : kinds) {
        ListControlCL* c = k.control;
        const std::string what = std::string(k.what) + ": ";
        c->onSelChange(&k.changes, &Changes::changed);
        check(c->hwnd && c->getCount() == 0, (what + "made empty").c_str());
        c->fill(greek);
        const int added = c->addString(String("Delta"));
        const int inserted = c->insertString(1, "Eins");
        String text("unber\xfchrt");
        const bool read = c->getItemText(1, text);
        check(added == 3 && inserted == 1 && c->getCount() == 5 && read && std::string(text.text()) == "Eins",
              (what + "fill, add and insert put the items in their places").c_str());
        const int left = c->deleteString(1);
        String none("unber\xfchrt");
        const bool noSelection = !c->getItemText(-1, none) && c->getCurSel() == -1;
        const bool beyond = !c->getItemText(9, none);
        check(left == 4 && noSelection && beyond && std::string(none.text()) == "unber\xfchrt",
              (what + "a deleted item is gone; reading no item fails and keeps the text").c_str());
        const int found = c->selectString("Ga");
        String selected;
        const bool readSelected = c->getItemText(-1, selected);
        check(found == 2 && c->getCurSel() == 2 && readSelected && std::string(selected.text()) == "Gamma",
              (what + "select by the beginning of a text, read the selection").c_str());
        const int set = c->setCurSel(0);
        SendMessageA(c->hwnd, WM_KEYDOWN, VK_DOWN, 0);
        winecheck::pump();
        check(set == 0 && c->getCurSel() == 1 && k.changes.count == 1,
              (what + "the arrow key moves the selection and calls the change handler once").c_str());
    }
    check(winecheck::saveWindowPicture(frame->hwnd, picture), "the picture of the list controls is saved");
    for (Kind& k : kinds) {
        k.control->resetContent();
        check(k.control->getCount() == 0, (std::string(k.what) + ": emptied").c_str());
        k.control->removeNotify(&k.changes, &Changes::changed, k.control == listBox ? LBN_SELCHANGE : CBN_SELCHANGE);
    }
    delete listBox;
    delete comboBox;

    // Without a window every operation fails quietly.
    ListBoxCL* missingList = new ListBoxCL(frame, 998);
    ComboBoxCL* missingCombo = new ComboBoxCL(frame, 999);
    sink.boxes.clear();
    for (ListControlCL* c : {static_cast<ListControlCL*>(missingList), static_cast<ListControlCL*>(missingCombo)}) {
        String text;
        check(c->addString("x") == -1 && c->insertString(0, "x") == -1 && c->deleteString(0) == -1 &&
                  c->getCount() == 0 && c->getCurSel() == -1 && c->setCurSel(0) == -1 && c->selectString("x") == -1 &&
                  !c->getItemText(0, text) && c->validate() == 0,
              "a list control without a window answers -1, 0 or false");
    }
    delete missingList;
    delete missingCombo;
}

} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(60);
    setErrorSink(&sink);
    disableErrorLog();
    std::string argument = winecheck::trimmedArgument(app->commandLine.text());
    if (argument == "--only-dialog") {
        // The dialog is the program's only window, and so its main frame.
        DialogFrameCL* only = new DialogFrameCL(nullptr, ResourceId(kNoFontDialog));
        only->show(SW_SHOW);
        PostMessageA(only->hwnd, WM_CLOSE, 0, 0);
        int code = app->MessageLoop();
        printf("loop ended with %d\n", code);
        delete only;
        app->exitCode = code;
        return;
    }
    registerDialogItemFactory("TestSwatch", makeSwatch);
    WNDCLASSA customClass = {};
    customClass.lpfnWndProc = customProcedure;
    customClass.hInstance = app->instance;
    customClass.lpszClassName = "KytTestRegler";
    RegisterClassA(&customClass);
    app->addCustomControlClass("KytTestRegler", nullptr, app->instance);
    AppFrameCL* frame = new AppFrameCL(nullptr, new Layout(100, 100, 640, 480), WS_OVERLAPPEDWINDOW, "Dialogtest");
    frame->show(SW_SHOW);
    winecheck::pump();
    testControls(app, frame);
    testModalRuns(frame);
    testFieldDialog(frame, argument);
    testListControls(frame, listPicture(argument));
    DestroyWindow(frame->hwnd);
    winecheck::pump();
    delete frame;
    app->exitCode = winecheck::summary();
}
