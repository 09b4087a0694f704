// Under wine: kytfuzzy's help window. The "Hilfe" menu's entries 9016 and
// 11042 and a dialog's "Hilfe" button each show their topic of fuzzyhlp.txt
// in the one help window of the options; a long topic makes a window taller
// than the screen; a missing help file is reported in German.
//
//   kytfuzzy_help_test PNG-PATH HELP-FOLDER SCRATCH-FOLDER
#include "Application.h"
#include "CommandLine.h"
#include "EditorDialogs.h"
#include "ErrorReporter.h"
#include "FuzzyEditorFrame.h"
#include "FuzzyOptions.h"
#include "HelpViewerWindow.h"
#include "Layout.h"
#include "ResString.h"
#include "WineCheck.h"

#include <windows.h>

#include <string>
#include <unistd.h>
#include <vector>

using winecheck::BoxWatcher;
using winecheck::check;

namespace {

const char kHelpTitle[] = "KYT-Fuzzy Hilfe";
const char kConfigurationTitle[] = "Konfiguration ...";
const int kConfigurationHelp = 1018;

using winecheck::dosPath;

using winecheck::windowText;

std::string controlText(HWND hwnd)
{
    std::vector<char> text(70000);
    SendMessageA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return text.data();
}

struct TitleSearch {
    const char* title;
    std::vector<HWND> found;
};

BOOL CALLBACK matchTitle(HWND hwnd, LPARAM p)
{
    TitleSearch* s = reinterpret_cast<TitleSearch*>(p);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(hwnd) && windowText(hwnd) == s->title)
        s->found.push_back(hwnd);
    return TRUE;
}

// The visible windows of this process with the title.
std::vector<HWND> ownWindows(const char* title)
{
    TitleSearch s = {title, {}};
    EnumWindows(matchTitle, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// The one help window on the screen and the text of its control; null
// and empty when there is not exactly one.
struct HelpShown {
    HWND window = nullptr;
    std::string text;
    int windows = 0;
};

HelpShown helpShown()
{
    HelpShown shown;
    std::vector<HWND> all = ownWindows(kHelpTitle);
    shown.windows = static_cast<int>(all.size());
    if (all.size() == 1) {
        shown.window = all[0];
        if (HWND edit = FindWindowExA(all[0], nullptr, "Edit", nullptr))
            shown.text = controlText(edit);
    }
    return shown;
}

// On a thread of its own while New's configuration dialog runs modally:
// presses its "Hilfe" button, reads the help window that comes, then
// cancels the dialog.
struct DialogScript {
    HANDLE thread = nullptr;
    bool dialogSeen = false;
    HelpShown help;

    static DWORD WINAPI run(LPVOID p)
    {
        DialogScript* self = static_cast<DialogScript*>(p);
        HWND dialog = nullptr;
        for (int i = 0; i < 200 && !dialog; ++i) {
            std::vector<HWND> all = ownWindows(kConfigurationTitle);
            dialog = all.empty() ? nullptr : all[0];
            if (!dialog)
                Sleep(50);
        }
        if (!dialog)
            return 0;
        self->dialogSeen = true;
        // Shown comes before the modal run.
        Sleep(300);
        DWORD_PTR answer = 0;
        SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(kConfigurationHelp, BN_CLICKED),
                            reinterpret_cast<LPARAM>(GetDlgItem(dialog, kConfigurationHelp)), SMTO_NORMAL, 5000,
                            &answer);
        for (int i = 0; i < 100 && !self->help.window; ++i) {
            self->help = helpShown();
            if (!self->help.window)
                Sleep(50);
        }
        SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                            reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)), SMTO_NORMAL, 5000, &answer);
        return 0;
    }
    void start() { thread = CreateThread(nullptr, 0, run, this, 0, nullptr); }
    void wait()
    {
        if (thread) {
            WaitForSingleObject(thread, 20000);
            CloseHandle(thread);
            thread = nullptr;
        }
    }
};

void menuAndDialogHelp(FuzzyEditorFrame* frame, FuzzyOptions* options)
{
    // The "Hilfe" menu: each entry shows its topic, in one window.
    struct Case {
        const char* what;
        unsigned int command;
        const char* topic;
    } const cases[] = {
        {"9016 (Inhalt)", CMD_HELP_CONTENTS, "IDH_HELP_FuzzyGeneral"},
        {"11042 (Fehlermeldungen)", CMD_HELP_ERRORS, "IDH_HELP_Errormessages"},
    };
    for (const Case& c : cases) {
        SendMessageA(frame->hwnd, WM_COMMAND, c.command, 0);
        winecheck::pump();
        const HelpShown shown = helpShown();
        const std::string what = c.what;
        const std::string expected = options->loadHelpText(c.topic);
        check(!expected.empty() && shown.text == expected, (what + " shows its topic").c_str());
        check(shown.windows == 1, (what + ": one help window").c_str());
        HelpViewerWindow* kept = dynamic_cast<HelpViewerWindow*>(options->getHelpWindow());
        check(kept && kept->hwnd == shown.window, (what + ": the options keep that window").c_str());
        if (shown.text != expected)
            printf("shown: [%s]\n", shown.text.c_str());
    }

    // Closed by the user: the options forget it; help again makes a new one.
    HelpShown before = helpShown();
    if (before.window)
        SendMessageA(before.window, WM_CLOSE, 0, 0);
    winecheck::pump();
    check(options->getHelpWindow() == nullptr && helpShown().windows == 0,
          "a closed help window is gone from the screen and from the options");
    SendMessageA(frame->hwnd, WM_COMMAND, CMD_HELP_CONTENTS, 0);
    winecheck::pump();
    check(helpShown().windows == 1 && options->getHelpWindow() != nullptr, "help after a close opens a new window");

    // The configuration dialog's "Hilfe" button (New runs the dialog first).
    DialogScript script;
    script.start();
    SendMessageA(frame->hwnd, WM_COMMAND, CMD_NEW, 0);
    script.wait();
    winecheck::pump();
    check(script.dialogSeen, "New shows the configuration dialog");
    check(script.help.windows == 1 && script.help.text == options->loadHelpText("IDH_HELP_Configuration"),
          "its \"Hilfe\" button shows IDH_HELP_Configuration in the one help window");
    check(!frame->hasPages(), "... and the cancelled dialog leaves no block");
}

// The help window of a topic of some lines in a picture: the control holds
// the topic, dark text on its background.
void helpPicture(FuzzyOptions* options, const std::string& png)
{
    options->showHelp("IDH_HELP_Lvar");
    winecheck::pump();
    const HelpShown shown = helpShown();
    HWND edit = shown.window ? FindWindowExA(shown.window, nullptr, "Edit", nullptr) : nullptr;
    check(edit && controlText(edit) == options->loadHelpText("IDH_HELP_Lvar"),
          "the help control's text is the topic");
    if (edit) {
        UpdateWindow(edit);
        winecheck::pump();
        HDC dc = GetDC(edit);
        int dark = 0;
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 200; ++x) {
                const COLORREF c = GetPixel(dc, x, y);
                if (c != CLR_INVALID && GetRValue(c) + GetGValue(c) + GetBValue(c) < 200)
                    ++dark;
            }
        ReleaseDC(edit, dc);
        check(dark > 50, "the text area holds dark text pixels");
    }
    if (shown.window)
        check(winecheck::saveWindowPicture(shown.window, png), "the help window's picture is saved");
}

// A topic of 60 lines: 18 * 61 pixels high, more than the test display.
void tallTopic(FuzzyEditorFrame* frame, FuzzyOptions* options, const std::string& scratch)
{
    const std::string folder = scratch + "\\lang";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string text = "IDH_HELP_FuzzyGeneral\n";
    for (int i = 1; i <= 60; ++i)
        text += "Zeile " + std::to_string(i) + " des langen Hilfethemas.\n";
    text += "IDH_HELP_Errormessages\nx\n";
    winecheck::writeText(folder + "\\fuzzyhlp.txt", text);
    options->setHelpDir(folder);
    SendMessageA(frame->hwnd, WM_COMMAND, CMD_HELP_CONTENTS, 0);
    winecheck::pump();
    const HelpShown shown = helpShown();
    RECT r = {};
    if (shown.window)
        GetWindowRect(shown.window, &r);
    check(r.bottom - r.top > 1000 && GetSystemMetrics(SM_CYSCREEN) < 1000,
          "a 60-line topic gives a window taller than 1000 pixels, taller than the screen");
    if (r.bottom - r.top <= 1000)
        printf("height %d, screen %d\n", static_cast<int>(r.bottom - r.top), GetSystemMetrics(SM_CYSCREEN));
}

void missingHelpFile(FuzzyEditorFrame* frame, FuzzyOptions* options, const std::string& scratch)
{
    const std::string folder = scratch + "\\ohne-hilfe";
    CreateDirectoryA(folder.c_str(), nullptr);
    options->setHelpDir(folder);
    options->closeHelp();
    BoxWatcher box("Message", IDOK, 10000);
    // The box runs inside the command; the watcher answers it.
    SendMessageA(frame->hwnd, WM_COMMAND, CMD_HELP_ERRORS, 0);
    const std::string expected =
        "\nWarning: Hilfedatei \"" + folder + "\\fuzzyhlp.txt\"  ist nicht verf\xfc" "gbar!";
    // The box's static text drops the leading line feed.
    check(box.found() && expected.find(box.text()) != std::string::npos && box.text().size() > 20,
          "a missing help file shows the German message in the box \"Message\"");
    if (!box.found() || expected.find(box.text()) == std::string::npos)
        printf("box: [%s]\n", box.text().c_str());
    winecheck::pump();
    check(helpShown().windows == 0 && options->getHelpWindow() == nullptr, "... and no help window");
    const std::string log = winecheck::readText(scratch + "\\ERROR.LOG");
    check(log.find("Warning: Hilfedatei \"" + folder) != std::string::npos, "... written to ERROR.LOG as a warning");
}


} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(120);
    std::vector<std::string> args = splitCommandLine(app->commandLine.text());
    if (args.size() != 3) {
        printf("usage: kytfuzzy_help_test PNG-PATH HELP-FOLDER SCRATCH-FOLDER\n");
        app->exitCode = 2;
        return;
    }
    const std::string scratch = dosPath(args[2]);
    CreateDirectoryA(scratch.c_str(), nullptr);
    // ERROR.LOG goes to the current folder, which the C library knows by
    // its Unix name.
    SetCurrentDirectoryA(scratch.c_str());
    if (args[2].compare(0, 2, "Z:") == 0 && chdir(args[2].substr(2).c_str()) != 0)
        printf("cannot change to %s\n", args[2].c_str());
    DeleteFileA((scratch + "\\ERROR.LOG").c_str());
    setCompanionReporting(true);

    FuzzyOptions* options = new FuzzyOptions;
    options->setTempDir(scratch);
    options->setHelpDir(dosPath(args[1]));
    FuzzyEditorFrame* frame = new FuzzyEditorFrame(nullptr, new Layout(0, 0, 700, 520), WS_OVERLAPPEDWINDOW,
                                                   getResString(17723), options);
    EditorDialogHooks dialogs(frame);
    frame->setHooks(&dialogs);
    frame->rebuildMenus();
    frame->show(SW_SHOW);
    winecheck::pump();

    menuAndDialogHelp(frame, options);
    helpPicture(options, dosPath(args[0]));
    tallTopic(frame, options, scratch);
    missingHelpFile(frame, options, scratch);

    // The frame takes the help window along.
    options->setHelpDir(dosPath(args[1]));
    SendMessageA(frame->hwnd, WM_COMMAND, CMD_HELP_CONTENTS, 0);
    winecheck::pump();
    frame->setHooks(nullptr);
    delete frame;
    winecheck::pump();
    check(options->getHelpWindow() == nullptr && helpShown().windows == 0,
          "deleting the frame deletes its help window");
    delete options;
    setCompanionReporting(false);
    app->exitCode = winecheck::summary();
}
