// Under wine: the identification dialog on a block file (its method list,
// parameter rows, help windows, About box and a dead-time correction), in a
// picture; then the program itself, run as a child process: OK writes the
// golden block, Cancel and the close box keep the file, a missing help file,
// a missing kyt.ini, a wrong command line and a block file that cannot be
// written.
//
//   kytident_dialog_test PNG-PATH KYTIDENT-PROGRAM SCRATCH-FOLDER DATA-FOLDER
#include "Application.h"
#include "CommandLine.h"
#include "Control.h"
#include "ErrorReporter.h"
#include "IdentBlockFile.h"
#include "IdentDialogModel.h"
#include "IdentHelp.h"
#include "IdentHelpWindow.h"
#include "IdentStart.h"
#include "IdentWizardDialog.h"
#include "ResString.h"
#include "UnitPoint.h"
#include "WineCheck.h"

#include <windows.h>

#include <string>
#include <vector>

using winecheck::BoxWatcher;
using winecheck::check;

namespace {

using winecheck::writeText;
using winecheck::readText;

using winecheck::dosPath;

// The block text with its date line (the fourth) left out.
std::string withoutDate(const std::string& block)
{
    size_t start = 0;
    for (int line = 0; line < 3 && start != std::string::npos; ++line) {
        start = block.find('\n', start);
        if (start != std::string::npos)
            ++start;
    }
    if (start == std::string::npos)
        return block;
    const size_t end = block.find('\n', start);
    return block.substr(0, start) + "#  <date>" + (end == std::string::npos ? "" : block.substr(end));
}

bool isDateLine(const std::string& block)
{
    // "#  Www Mmm dd hh:mm:ss yyyy"
    size_t start = 0;
    for (int line = 0; line < 3; ++line)
        start = block.find('\n', start) + 1;
    const std::string line = block.substr(start, block.find('\n', start) - start);
    return line.size() == 27 && line.compare(0, 3, "#  ") == 0 && line[16] == ':' && line[19] == ':';
}

// Text of a window, by WM_GETTEXT (also for a control of another process).
std::string windowText(HWND hwnd)
{
    char text[4096] = "";
    SendMessageA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

std::string itemText(HWND dialog, int id)
{
    HWND item = GetDlgItem(dialog, id);
    return item ? windowText(item) : std::string("<none>");
}

void command(HWND dialog, int id, int code = BN_CLICKED)
{
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    winecheck::pump();
}

void activate(HWND window)
{
    winecheck::bringToFront(window);
}

bool quitPosted()
{
    MSG msg;
    return PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

// A top-level window of a process, by class and (unless null) title.
struct WindowSearch {
    DWORD process;
    const char* className;
    const char* title;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND hwnd, LPARAM search)
{
    WindowSearch* s = reinterpret_cast<WindowSearch*>(search);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    char cls[64] = "";
    char title[256] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowTextA(hwnd, title, sizeof title);
    if (process == s->process && IsWindowVisible(hwnd) && lstrcmpiA(cls, s->className) == 0 &&
        (!s->title || lstrcmpA(title, s->title) == 0)) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND waitForWindow(DWORD process, const char* className, const char* title, DWORD timeoutMs = 15000)
{
    for (DWORD waited = 0; waited < timeoutMs; waited += 50) {
        WindowSearch search = {process, className, title, nullptr};
        EnumWindows(matchWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        Sleep(50);
    }
    return nullptr;
}

// The About box of this process: found on a thread of its own while the
// dialog runs it modally, pictured and closed with OK.
struct AboutWatch {
    std::string picture;
    std::string title;
    bool found = false;
    bool hasOk = false;
};

DWORD WINAPI watchAbout(LPVOID p)
{
    AboutWatch* w = static_cast<AboutWatch*>(p);
    const std::string title = getResString(kIdentInfoTitle);
    HWND box = waitForWindow(GetCurrentProcessId(), "DialogFrameCL", title.c_str(), 10000);
    if (!box)
        return 0;
    Sleep(300);
    w->found = true;
    w->title = title;
    // The buttons lie on the box's picture pane.
    HWND pane = GetWindow(box, GW_CHILD);
    w->hasOk = pane && GetDlgItem(pane, IDOK) != nullptr;
    winecheck::saveWindowPicture(box, w->picture);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    return 0;
}

// ---------------------------------------------------------------- the dialog in this process

void dialogInProcess(const std::string& scratch, const std::string& data, const std::string& picture)
{
    const std::string local = scratch + "\\local";
    CreateDirectoryA(local.c_str(), nullptr);
    const std::string golden = readText(data + "\\ident_rls.mdl");
    writeText(local + "\\w1", golden);

    IdentBlockData doc;
    doc.blockName = "w1";
    doc.directory = local;
    doc.helpPath = data + "\\identhlp.txt";
    bool opened = false;
    doc.shiftLetter = probeIdentHelp(doc.helpPath, &opened);
    check(readIdentBlock(&doc, [](const IdentMessage&) { return false; }) == IDENT_READ_OK && doc.algo == 0 && doc.pOutput == 1,
          "the fixture, the golden RLS block, reads");
    int exitCode = kIdentExitFailed;
    IdentWizardDialog* dialog = new IdentWizardDialog(&doc, &exitCode);
    dialog->open();
    winecheck::pump();
    UpdateWindow(dialog->hwnd);
    winecheck::pump();
    HWND d = dialog->hwnd;

    check(windowText(d) == getResString(kIdentTitle), "the dialog is titled KYTident 2.51");
    check(static_cast<DWORD>(GetWindowLongA(d, GWL_STYLE)) & WS_SYSMENU, "... with a system menu");
    RECT client;
    GetClientRect(d, &client);
    const DialogUnitPoint size(kIdentDialogWidth, kIdentDialogHeight);
    RECT outer;
    GetWindowRect(d, &outer);
    const DialogUnitPoint origin(kIdentDialogX, kIdentDialogY);
    check(client.right == size.pixelX && client.bottom == size.pixelY && outer.left == origin.pixelX &&
              outer.top == origin.pixelY,
          "... 205 x 210 dialog units at (100, 100)");
    check((GetWindowLongA(d, GWL_STYLE) & 0x80080) == 0x80080 && (GetWindowLongA(d, GWL_STYLE) & WS_CAPTION),
          "... with the style 0x80080 and the caption Windows adds");
    check(itemText(d, IDC_IDENT_METHOD) == "RLS", "the method list shows RLS");
    check(SendMessageA(GetDlgItem(d, IDC_IDENT_METHOD), CB_GETCOUNT, 0, 0) == 4, "... and offers four methods");
    check(itemText(d, IDC_IDENT_NUM_DEG).find('1') != std::string::npos &&
              itemText(d, IDC_IDENT_DEN_DEG).find('2') != std::string::npos,
          "the order fields show 1 and 2");
    check(itemText(d, IDC_IDENT_SAMPLE) == "0.5" && itemText(d, IDC_IDENT_DEAD) == "1.",
          "sampling and dead time show 0.5 and 1.");
    check(SendMessageA(GetDlgItem(d, IDC_IDENT_OUTPUT_FIRST + 1), BM_GETCHECK, 0, 0) == BST_CHECKED &&
              SendMessageA(GetDlgItem(d, IDC_IDENT_OUTPUT_FIRST), BM_GETCHECK, 0, 0) == BST_UNCHECKED,
          "the G(z) option is the checked one");
    check(itemText(d, IDC_IDENT_OUTPUT_FIRST + 1) == "G(&z)", "... named after the help file's letter z");
    check(SendMessageA(GetDlgItem(d, IDC_IDENT_PARAMETER_OUT), BM_GETCHECK, 0, 0) == BST_CHECKED,
          "the Parameter->Aus box is checked");
    // Other tests' windows on the display may have taken the activation:
    // the dialog gets it back with the focus where it was.
    activate(d);
    check(GetFocus() == GetDlgItem(d, IDOK), "the focus is on OK");
    check(GetClassLongPtrA(d, GCLP_HICON) != 0, "the dialog carries the program's icon");
    check(itemText(d, IDC_IDENT_ROW_NAME_FIRST) == "Lambda :" && itemText(d, IDC_IDENT_ROW_FIELD_FIRST + 1) == "10000." &&
              GetDlgItem(d, IDC_IDENT_ROW_FIELD_FIRST + 2) == nullptr,
          "RLS has two rows: Lambda and Alpha 10000.");

    // The order fields take digits only, two at most; a parameter field
    // shows its number formatted once the focus leaves it.
    HWND order = GetDlgItem(d, IDC_IDENT_DEN_DEG);
    activate(d);
    SetFocus(order);
    SendMessageA(order, EM_SETSEL, 0, -1);
    for (char c : std::string("x3"))
        SendMessageA(order, WM_CHAR, static_cast<unsigned char>(c), 0);
    const std::string typed = itemText(d, IDC_IDENT_DEN_DEG);
    SendMessageA(order, EM_SETSEL, 0, -1);
    for (char c : std::string("123"))
        SendMessageA(order, WM_CHAR, static_cast<unsigned char>(c), 0);
    check(typed.find('x') == std::string::npos && typed.find('3') != std::string::npos &&
              itemText(d, IDC_IDENT_DEN_DEG).find("12") != std::string::npos &&
              itemText(d, IDC_IDENT_DEN_DEG).find('3') == std::string::npos,
          "the order fields take two digits and no letter (\"##\")");
    SendMessageA(order, EM_SETSEL, 0, -1);
    SendMessageA(order, WM_CHAR, '2', 0);
    HWND alpha = GetDlgItem(d, IDC_IDENT_ROW_FIELD_FIRST + 1);
    SetFocus(alpha);
    SetWindowTextA(alpha, "2e4");
    SetFocus(GetDlgItem(d, IDOK));
    winecheck::pump();
    check(itemText(d, IDC_IDENT_ROW_FIELD_FIRST + 1) == "20000.", "a parameter field shows 2e4 as 20000. on leaving");

    // Choosing "Hilfsvariable".
    HWND list = GetDlgItem(d, IDC_IDENT_METHOD);
    SendMessageA(list, CB_SETCURSEL, 1, 0);
    command(d, IDC_IDENT_METHOD, CBN_SELCHANGE);
    check(doc.algo == 2 && itemText(d, IDC_IDENT_METHOD) == "Hilfsvariable", "choosing Hilfsvariable sets method 2");
    const char* const values[] = {"1.", "10000.", "0.9", "2."};
    const char* const names[] = {"Lambda :", "Alpha :", "Gamma :", "d :"};
    bool rows = GetDlgItem(d, IDC_IDENT_ROW_FIELD_FIRST + 4) == nullptr;
    for (int i = 0; i < 4; ++i)
        rows = rows && itemText(d, IDC_IDENT_ROW_FIELD_FIRST + i) == values[i] &&
               itemText(d, IDC_IDENT_ROW_NAME_FIRST + i) == names[i];
    check(rows, "... with four rows: 1., 10000., 0.9 and 2.");
    check(itemText(d, IDC_IDENT_ROW_LABEL_FIRST + 3) == "Verz\xf6gerung", "... the last labelled Verz\xf6gerung");
    RECT r0, r3;
    GetWindowRect(GetDlgItem(d, IDC_IDENT_ROW_FIELD_FIRST), &r0);
    GetWindowRect(GetDlgItem(d, IDC_IDENT_ROW_FIELD_FIRST + 3), &r3);
    MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&r0), 2);
    MapWindowPoints(nullptr, d, reinterpret_cast<POINT*>(&r3), 2);
    check(r0.top == DialogUnitPoint(0, 102).pixelY && r3.top == DialogUnitPoint(0, 102 + 45).pixelY,
          "... the rows stand at 102 + 15 i dialog units");

    winecheck::pump();
    UpdateWindow(d);
    check(winecheck::saveWindowPicture(d, picture), "the dialog's picture is saved");
    // An empty place of the dialog, right of the rows' fields, between the
    // rows and the buttons.
    const DialogUnitPoint empty(190, 178);
    check(winecheck::pixelOf(d, empty.pixelX, empty.pixelY) == GetSysColor(COLOR_BTNFACE),
          "the dialog's background is the button face colour");

    // Method help and general help.
    command(d, IDC_IDENT_METHOD_HELP);
    IdentHelpWindow* help = dialog->helpWindow();
    std::string expected;
    identMethodHelp(doc.helpPath, 2, 'z', &expected);
    check(help && windowText(help->hwnd) == "KYTident Hilfe - Hilfsvariable", "&? opens KYTident Hilfe - Hilfsvariable");
    const std::string shown = help && help->textControl() ? windowText(help->textControl()->hwnd) : "";
    check(shown == expected && shown.find("Modell B(z)/A(z).\r\nGamma gewichtet") != std::string::npos &&
              shown.find("Extended") == std::string::npos,
          "... showing the section of method 2 with z for &z");
    check(help && help->textControl() &&
              (GetWindowLongA(help->textControl()->hwnd, GWL_STYLE) & (ES_MULTILINE | ES_READONLY | WS_VSCROLL)) ==
                  (ES_MULTILINE | ES_READONLY | WS_VSCROLL),
          "... in a read-only multi-line text");
    if (help) {
        winecheck::saveWindowPicture(help->hwnd, winecheck::pictureFolder(picture) + "kytident-help.png");
        RECT hr;
        GetClientRect(help->hwnd, &hr);
        const DialogUnitPoint helpSize(kIdentHelpWidth, kIdentHelpHeight);
        check(hr.right == helpSize.pixelX && hr.bottom == helpSize.pixelY,
              "... in a window of 200 x 150 dialog units");
        SendMessageA(help->hwnd, WM_CLOSE, 0, 0);
        winecheck::pump();
    }
    check(dialog->helpWindow() == nullptr, "closing the help window clears the dialog's pointer");
    command(d, IDC_IDENT_HELP);
    help = dialog->helpWindow();
    check(help && windowText(help->hwnd) == "KYTident Hilfe" &&
              windowText(help->textControl()->hwnd).find("Hilfe zu KYTident") == 0,
          "&Hilfe opens KYTident Hilfe with the text before the first section");

    // Info ...
    AboutWatch about;
    about.picture = winecheck::pictureFolder(picture) + "kytident-about.png";
    HANDLE watcher = CreateThread(nullptr, 0, watchAbout, &about, 0, nullptr);
    command(d, IDC_IDENT_INFO);
    WaitForSingleObject(watcher, 15000);
    CloseHandle(watcher);
    check(about.found && about.hasOk, "Info ... opens the About box titled Information, with OK");
    check(!dialog->hasEnded() && IsWindowVisible(d), "... and the dialog stays after it");

    // A dead time that is no multiple of the sampling time: Yes corrects it
    // and the dialog stays open.
    SetWindowTextA(GetDlgItem(d, IDC_IDENT_DEAD), "0.6");
    {
        BoxWatcher question(getResString(kIdentCaptionWarning), IDYES);
        command(d, IDOK);
        check(question.found() && question.text() == getResString(26966), "dead time 0.6 with Tsamp 0.5 asks 26966");
    }
    winecheck::pump();
    check(itemText(d, IDC_IDENT_DEAD) == "0.5" && !dialog->hasEnded() && exitCode == kIdentExitFailed,
          "... Yes shows 0.5 and the dialog stays open");
    // Lambda above its hard maximum: an error, the focus on its field.
    SetWindowTextA(GetDlgItem(d, IDC_IDENT_ROW_FIELD_FIRST), "1.5");
    {
        // Enter in the field presses the default button, OK.
        BoxWatcher error(getResString(kIdentCaptionError), IDOK);
        SendMessageA(GetDlgItem(d, IDC_IDENT_ROW_FIELD_FIRST), WM_KEYDOWN, VK_RETURN, 0);
        winecheck::pump();
        check(error.found() && error.text() == "Lambda gr\xf6\xdf" "er als 1. ist nicht zul\xe4ssig!",
              "Enter with Lambda 1.5 is refused: Lambda gr\xf6\xdf" "er als 1. ist nicht zul\xe4ssig!");
    }
    winecheck::pump();
    activate(d);
    check(GetFocus() == GetDlgItem(d, IDC_IDENT_ROW_FIELD_FIRST) && !dialog->hasEnded(),
          "... the focus is on Lambda's field, the dialog stays");

    // Cancel: exit code 1, the loop is left, the file untouched.
    command(d, IDCANCEL);
    check(dialog->hasEnded() && exitCode == kIdentExitNothing && quitPosted(), "Abbrechen ends the dialog with 1");
    check(readText(local + "\\w1") == golden, "... and leaves the block file as it was");
    delete dialog;
}

// ---------------------------------------------------------------- the program

bool startProgram(const std::string& program, const std::string& arguments, const std::string& folder,
                  PROCESS_INFORMATION* info)
{
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    std::string line = "\"" + program + "\" " + arguments;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, info))
        return false;
    CloseHandle(info->hThread);
    return true;
}

int endOf(const PROCESS_INFORMATION& info)
{
    if (WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(info.hProcess, 99);
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    return static_cast<int>(code);
}

HWND waitForDialog(const PROCESS_INFORMATION& info)
{
    return waitForWindow(info.dwProcessId, "DialogFrameCL", getResString(kIdentTitle));
}

void post(HWND dialog, int id)
{
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void program(const std::string& exe, const std::string& scratch, const std::string& data)
{
    // The installation: kyt.ini names the help folder.
    const std::string inst = scratch + "\\inst";
    const std::string helpDir = inst + "\\hilfe";
    const std::string local = inst + "\\local";
    CreateDirectoryA(inst.c_str(), nullptr);
    CreateDirectoryA(helpDir.c_str(), nullptr);
    CreateDirectoryA(local.c_str(), nullptr);
    writeText(inst + "\\kyt.ini", "HELPDIR = " + helpDir + ";\n");
    writeText(helpDir + "\\identhlp.txt", readText(data + "\\identhlp.txt"));
    const std::string golden = readText(data + "\\ident_rls.mdl");
    const std::string block = local + "\\w1";
    DeleteFileA(block.c_str());
    PROCESS_INFORMATION info;

    // A new block, edited to the golden one's settings: OK writes it and ends with 0.
    if (startProgram(exe, "w1 " + local, inst, &info)) {
        HWND d = waitForDialog(info);
        check(d != nullptr, "the program opens its dialog on a new block");
        check(itemText(d, IDC_IDENT_SAMPLE) == "1." && itemText(d, IDC_IDENT_DEAD) == "0.",
              "... with the defaults Tsamp 1. and dead time 0.");
        // Typed as German students type: a decimal comma is written with a
        // point; a text that is no number is refused naming its field.
        SendMessageA(GetDlgItem(d, IDC_IDENT_SAMPLE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("0,5"));
        SendMessageA(GetDlgItem(d, IDC_IDENT_DEAD), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc"));
        {
            BoxWatcher refused(info.dwProcessId, "Nachricht", IDOK, 15000);
            post(d, IDOK);
            check(refused.found() && refused.text().find("Im Feld \"Totzeit [s]\" steht keine Zahl: \"abc\"") == 0,
                  ("OK with the dead time abc is refused naming the field: " + refused.text()).c_str());
        }
        // The other process's focus, once its box has gone.
        GUITHREADINFO focus = {};
        focus.cbSize = sizeof focus;
        for (int waited = 0; waited < 5000; waited += 100) {
            Sleep(100);
            GetGUIThreadInfo(GetWindowThreadProcessId(d, nullptr), &focus);
            if (focus.hwndFocus == GetDlgItem(d, IDC_IDENT_DEAD))
                break;
        }
        char title[200] = "";
        GetWindowTextA(focus.hwndActive, title, sizeof title);
        printf("after the refusal: the focus on %p (the dead time is %p), the active window \"%s\"\n",
               static_cast<void*>(focus.hwndFocus), static_cast<void*>(GetDlgItem(d, IDC_IDENT_DEAD)), title);
        check(IsWindowVisible(d) && focus.hwndFocus == GetDlgItem(d, IDC_IDENT_DEAD),
              "... the dialog stays open with the focus on the dead time");
        SendMessageA(GetDlgItem(d, IDC_IDENT_DEAD), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("1"));
        SendMessageA(GetDlgItem(d, IDC_IDENT_PARAMETER_OUT), BM_SETCHECK, BST_CHECKED, 0);
        post(d, IDC_IDENT_PARAMETER_OUT);
        post(d, IDC_IDENT_OUTPUT_FIRST + 1);
        post(d, IDOK);
        const int code = endOf(info);
        const std::string written = readText(block);
        check(code == 0, "OK ends the program with exit code 0");
        check(!written.empty() && withoutDate(written) == withoutDate(golden) && isDateLine(written),
              "... and the block file equals the golden RLS block (date line masked)");
    }

    // Cancel and the close box: exit code 1, the file untouched.
    const std::string before = readText(block);
    struct Leave {
        const char* what;
        bool closeBox;
    };
    for (const Leave& l : {Leave{"Abbrechen", false}, Leave{"the close box", true}}) {
        if (!startProgram(exe, "w1 " + local, inst, &info))
            continue;
        HWND d = waitForDialog(info);
        SendMessageA(GetDlgItem(d, IDC_IDENT_SAMPLE), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("2"));
        if (l.closeBox)
            PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0);
        else
            post(d, IDCANCEL);
        const int code = endOf(info);
        check(d && code == 1, (std::string(l.what) + " ends the program with exit code 1").c_str());
        check(readText(block) == before, (std::string("... ") + l.what + " leaves the file untouched").c_str());
    }

    // Without identhlp.txt: 26986 at the start, 26978 on "&?".
    const std::string noHelp = scratch + "\\ohne-hilfe";
    CreateDirectoryA(noHelp.c_str(), nullptr);
    writeText(noHelp + "\\kyt.ini", "HELPDIR = " + noHelp + "\\leer;\n");
    if (startProgram(exe, "w1 " + local, noHelp, &info)) {
        BoxWatcher start(info.dwProcessId, getResString(kIdentCaptionError), IDOK, 15000);
        check(start.found() && start.text() == getResString(kIdentHelpMissingAtStart),
              "without identhlp.txt the start shows 26986");
        HWND d = waitForDialog(info);
        check(d != nullptr, "... the dialog opens after it");
        BoxWatcher helpBox(info.dwProcessId, getResString(kIdentCaptionHelp), IDOK, 15000);
        post(d, IDC_IDENT_METHOD_HELP);
        check(helpBox.found() && helpBox.text() == getResString(kIdentHelpMissing), "... and &? shows 26978");
        post(d, IDCANCEL);
        check(endOf(info) == 1, "... Abbrechen ends with 1");
    }

    // Without kyt.ini: 26709 at level 2 in ERROR.LOG, the dialog still opens.
    const std::string noIni = scratch + "\\ohne-ini";
    CreateDirectoryA(noIni.c_str(), nullptr);
    DeleteFileA((noIni + "\\kyt.ini").c_str());
    DeleteFileA((noIni + "\\ERROR.LOG").c_str());
    if (startProgram(exe, "w1 " + local, noIni, &info)) {
        BoxWatcher report(info.dwProcessId, "Message", IDOK, 15000);
        report.wait();
        // The help is looked for in the start directory, where there is none.
        BoxWatcher start(info.dwProcessId, getResString(kIdentCaptionError), IDOK, 15000);
        start.wait();
        HWND d = waitForDialog(info);
        check(d != nullptr, "without kyt.ini the dialog still opens");
        if (d)
            post(d, IDCANCEL);
        endOf(info);
        char message[600];
        snprintf(message, sizeof message, getResString(kIdentIniMissing), (noIni + "\\kyt.ini").c_str());
        const std::string log = readText(noIni + "\\ERROR.LOG");
        check(log.find(std::string(" Error: ") + message) != std::string::npos,
              "... and ERROR.LOG has 26709 with the path as an Error (level 2)");
        check(report.text().find(message) != std::string::npos, "... after the reporter's box");
    }

    // A block file that is not the wizard's, kept: nothing is written, exit code 1.
    const std::string foreign = "BLOCK fremd;\nENDBLOCK fremd;\n";
    writeText(local + "\\fremd", foreign);
    if (startProgram(exe, "fremd " + local, inst, &info)) {
        BoxWatcher question(info.dwProcessId, getResString(kIdentCaptionWarning), IDNO, 15000);
        check(question.found() && question.text() == getResString(kIdentNotWizardBlock),
              "a block file without wizard line asks 26982");
        check(endOf(info) == 1, "... No ends the program with exit code 1");
        check(readText(local + "\\fremd") == foreign, "... and leaves the file unchanged");
    }

    // A wrong command line: 26985 and -1.
    if (startProgram(exe, "w1", inst, &info)) {
        BoxWatcher wrong(info.dwProcessId, getResString(kIdentCaptionError), IDOK, 15000);
        check(wrong.found() && wrong.text() == getResString(kIdentWrongCommandLine), "one word shows 26985");
        check(endOf(info) == -1, "... and ends with -1");
    }

    // The block file replaced by a non-empty directory while the dialog is
    // open: OK shows 26988 and the program ends with -1.
    const std::string w2 = local + "\\w2";
    DeleteFileA((w2 + "\\inhalt").c_str());
    RemoveDirectoryA(w2.c_str());
    writeText(w2, golden);
    if (startProgram(exe, "w2 " + local, inst, &info)) {
        HWND d = waitForDialog(info);
        DeleteFileA(w2.c_str());
        CreateDirectoryA(w2.c_str(), nullptr);
        writeText(w2 + "\\inhalt", "x");
        BoxWatcher failure(info.dwProcessId, getResString(kIdentCaptionError), IDOK, 15000);
        post(d, IDOK);
        check(failure.found() && failure.text() == getResString(kIdentNotSaved),
              "a block file that cannot be written shows 26988");
        check(endOf(info) == -1, "... and the program ends with -1");
        check(readText(w2 + "\\inhalt") == "x", "... leaving what stands there");
    }
}


} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(200);
    disableErrorLog();
    std::vector<std::string> args = splitCommandLine(app->commandLine.text());
    if (args.size() != 4) {
        printf("usage: kytident_dialog_test PNG-PATH KYTIDENT-PROGRAM SCRATCH-FOLDER DATA-FOLDER\n");
        app->exitCode = 2;
        return;
    }
    const std::string scratch = dosPath(args[2]);
    CreateDirectoryA(scratch.c_str(), nullptr);
    const std::string data = dosPath(args[3]);
    dialogInProcess(scratch, data, args[0]);
    program(dosPath(args[1]), scratch, data);
    app->exitCode = winecheck::summary();
}
