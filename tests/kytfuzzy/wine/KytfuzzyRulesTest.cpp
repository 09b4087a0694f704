// Under wine: the rule-base editor around its text. Its own icon, the tool
// bar's seven buttons in their groups and what they do, the status line's
// fields and menu help, the menu's grayed entries, a print on the stand-in
// printer (a page picture, the print layout in the editor while it prints,
// the rules back afterwards), a print without printer, a print whose work
// file cannot be written, the help and the block information in the text
// viewer.
//
//   kytfuzzy_rules_test PNG-PATH SCRATCH-FOLDER
#include "Application.h"
#include "CommandLine.h"
#include "ControlSeams.h"
#include "EditorDialogs.h"
#include "ErrorReporter.h"
#include "FuzzyEditorFrame.h"
#include "FuzzyOptions.h"
#include "HelpViewerWindow.h"
#include "Layout.h"
#include "Menu.h"
#include "Printing.h"
#include "Profile.h"
#include "ResString.h"
#include "RuleEditorWindow.h"
#include "RuleText.h"
#include "StandInPrinter.h"
#include "StatusBar.h"
#include "TextEditCtrl.h"
#include "ToolBar.h"
#include "WineCheck.h"

#include <windows.h>

#include <string>
#include <vector>

using winecheck::BoxWatcher;
using winecheck::check;

namespace {

const char* const kBlock =
    "FBLOCK \"Regeln\";\nCONFIGURATION;\n AND_METHOD = min;\n OR_METHOD = max;\n INFERENCE_METHOD = max_prod;\n"
    " DEFUZZIFICATION_METHOD = centroid;\nENDCONFIGURATION;\n"
    "INPUTVAR e;\n XMIN -1;\n XMAX 1;\n MEMBER neg;\n  TRAPEZ -1, -1, -1, 0;\n ENDMEMBER;\n"
    " MEMBER pos;\n  TRAPEZ 0, 1, 1, 1;\n ENDMEMBER;\nENDINPUTVAR;\n"
    "INPUTVAR de;\n XMIN -1;\n XMAX 1;\n MEMBER null;\n  TRAPEZ -1, 0, 0, 1;\n ENDMEMBER;\nENDINPUTVAR;\n"
    "OUTPUTVAR u;\n XMIN -1;\n XMAX 1;\n MEMBER klein;\n  SINGLETON -1;\n ENDMEMBER;\n"
    " MEMBER gross;\n  SINGLETON 1;\n ENDMEMBER;\nENDOUTPUTVAR;\n"
    "RULEBASE;\nIF (e==neg) THEN u=klein;\nIF (e==pos) AND (de==null) THEN u=gross;\nENDRULEBASE;\n"
    "COMMENT Regler der Regeltests;\nENDFBLOCK;\n";

const char* const kRules = "IF (e==neg) THEN u=klein;\r\nIF (e==pos) AND (de==null) THEN u=gross;\r\n";

StandInPrinter standIn;
std::string picturesFolder;

using winecheck::dosPath;

using winecheck::windowText;

void clickButton(HWND button)
{
    SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(13, 12));
    SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(13, 12));
    winecheck::pump();
}

std::string clipboardText()
{
    std::string text;
    if (!OpenClipboard(nullptr))
        return text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* p = static_cast<const char*>(GlobalLock(data))) {
            text = p;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void putClipboardText(const char* text)
{
    if (!OpenClipboard(nullptr))
        return;
    EmptyClipboard();
    if (text) {
        HGLOBAL data = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
        memcpy(GlobalLock(data), text, strlen(text) + 1);
        GlobalUnlock(data);
        SetClipboardData(CF_TEXT, data);
    }
    CloseClipboard();
}

void select(RuleEditorWindow* editor, int from, int to)
{
    SendMessageA(editor->editor()->hwnd, EM_SETSEL, from, to);
}

// The menu's state after it opened (WM_INITMENUPOPUP on "&Bearbeiten").
UINT editEntryState(RuleEditorWindow* editor, int id)
{
    HMENU popup = GetSubMenu(GetMenu(editor->hwnd), 1);
    SendMessageA(editor->hwnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 1);
    return GetMenuState(popup, id, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED);
}

int idleCount()
{
    return theApplication->idleTasks.getCount();
}

void finishJob()
{
    for (int i = 0; i < 20 && idleCount() > 0; ++i) {
        theApplication->runIdleTasks();
        winecheck::pump();
    }
    winecheck::pump();
}

bool capsLock = false;

bool toggledKeys(int key)
{
    return key == VK_NUMLOCK || (key == VK_CAPITAL && capsLock);
}

int confirmSetup(PrinterDC*)
{
    return 1;
}

int cancelSetup(PrinterDC*)
{
    return 0;
}

// Icon, tool bar and status line as the window is made.
void checkWindow(RuleEditorWindow* editor)
{
    HICON icon = reinterpret_cast<HICON>(SendMessageA(editor->hwnd, WM_GETICON, ICON_BIG, 0));
    check(icon && icon == LoadIconA(programInstance(), MAKEINTRESOURCEA(kRuleEditorIcon)),
          "the editor shows its own icon 133");
    check(windowText(editor->editor()->hwnd) == std::string(kRules) + "\r\n",
          "it opens with the block's rules and one more line end");
    SetForegroundWindow(editor->hwnd);
    SetFocus(editor->hwnd);
    winecheck::pump();
    check(GetFocus() == editor->editor()->hwnd, "the focus passes on to the text");

    ToolBarCL* bar = editor->getToolBar();
    RECT barRect, editRect;
    GetWindowRect(bar->hwnd, &barRect);
    GetWindowRect(editor->editor()->hwnd, &editRect);
    check(barRect.bottom - barRect.top == 29 && editRect.top >= barRect.bottom, "a tool bar of 29 pixels over the text");
    // Buttons of 27 x 25: cut, copy, paste; a gap of 16; print, check; a
    // gap of 16; block information, help.
    const int ids[] = {CMD_RULE_CUT,   CMD_RULE_COPY,       CMD_RULE_PASTE, CMD_RULE_PRINT,
                       CMD_RULE_CHECK, CMD_RULE_BLOCK_INFO, CMD_RULE_HELP};
    const int gaps[] = {0, 0, 16, 0, 16, 0};
    bool all = true, sized = true, spaced = true;
    int lastRight = -1;
    for (int i = 0; i < 7; ++i) {
        BmpButtonCL* b = bar->button(ids[i]);
        if (!b) {
            all = false;
            continue;
        }
        RECT r;
        GetWindowRect(b->hwnd, &r);
        sized = sized && r.right - r.left == 27 && r.bottom - r.top == 25;
        if (i > 0 && lastRight >= 0)
            spaced = spaced && r.left - lastRight == gaps[i - 1];
        lastRight = r.right;
    }
    check(all && sized, "the seven buttons are there, 27 x 25 pixels each");
    check(spaced, "... in three groups, 16 pixels apart");
    check(bar->isButtonEnabled(CMD_RULE_CUT) && bar->isButtonEnabled(CMD_RULE_COPY) &&
              bar->isButtonEnabled(CMD_RULE_PASTE),
          "cut, copy and paste are enabled at creation");
    // The buttons show their own pictures: the check button its green
    // tick, the help button its blue question mark.
    check(winecheck::pixelOf(bar->button(CMD_RULE_CHECK)->hwnd, 3 + 16, 3 + 6) == RGB(0, 144, 0) ||
              winecheck::pixelOf(bar->button(CMD_RULE_CHECK)->hwnd, 3 + 15, 3 + 7) == RGB(0, 144, 0),
          "the check button shows its green tick");
    check(winecheck::pixelOf(bar->button(CMD_RULE_HELP)->hwnd, 3 + 10, 3 + 15) == RGB(0, 0, 192),
          "the help button shows its blue question mark");

    setKeyToggleSource(toggledKeys);
    FrameStatusBarCL* line = editor->getStatusLine();
    RECT lineRect;
    GetWindowRect(line->hwnd, &lineRect);
    check(lineRect.top >= editRect.bottom, "the status line lies under the text");
    StatusField* help = line->fieldById(kRuleMenuHelpField);
    check(help != nullptr, "the status line has the menu-help field 1113");
    HMENU menu = GetMenu(editor->hwnd);
    const int entries[] = {CMD_RULE_CHECK, CMD_RULE_PRINT, CMD_RULE_LEAVE, CMD_RULE_CUT,
                           CMD_RULE_COPY,  CMD_RULE_PASTE, CMD_RULE_HELP,  CMD_RULE_BLOCK_INFO};
    bool shown = true;
    for (int id : entries) {
        SendMessageA(editor->hwnd, WM_MENUSELECT, MAKEWPARAM(id, 0), reinterpret_cast<LPARAM>(menu));
        const std::string expected = getResString(static_cast<unsigned>(id));
        if (!help || help->getText() != expected || expected.empty()) {
            printf("menu help of %d: \"%s\"\n", id, help ? help->getText().c_str() : "");
            shown = false;
        }
    }
    SendMessageA(editor->hwnd, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    check(shown, "a selected menu entry shows its help text in field 1113");
    // NUM and CAPS: with Caps Lock on one field says "CAPS ON", off it is empty.
    capsLock = true;
    for (StatusField* f : line->fields)
        f->paint(nullptr);
    bool capsOn = false, numShown = false;
    for (StatusField* f : line->fields) {
        capsOn = capsOn || f->getText() == "CAPS ON";
        numShown = numShown || f->getText() == "NUM";
    }
    capsLock = false;
    for (StatusField* f : line->fields)
        f->paint(nullptr);
    bool capsOff = true;
    for (StatusField* f : line->fields)
        capsOff = capsOff && f->getText() != "CAPS ON";
    setKeyToggleSource(nullptr);
    check(numShown, "a field shows \"NUM\" while Num Lock is on");
    check(capsOff, "... and none \"CAPS ON\" with Caps Lock off");
    check(capsOn, "with Caps Lock on, a field shows \"CAPS ON\"");
}

// What the buttons do and what the menu grays.
void checkButtons(RuleEditorWindow* editor)
{
    ToolBarCL* bar = editor->getToolBar();
    HWND text = editor->editor()->hwnd;
    SetWindowTextA(text, "IF (e==neg) THEN u=klein;\r\n");

    select(editor, 0, 0);
    putClipboardText(nullptr);
    check(editEntryState(editor, CMD_RULE_CUT) == MF_GRAYED && editEntryState(editor, CMD_RULE_COPY) == MF_GRAYED,
          "without a selection cut (126) and copy (127) are grayed");
    check(editEntryState(editor, CMD_RULE_PASTE) == MF_GRAYED, "without text in the clipboard paste (128) is grayed");

    select(editor, 0, 2);
    check(editEntryState(editor, CMD_RULE_CUT) == 0 && editEntryState(editor, CMD_RULE_COPY) == 0,
          "with a selection cut and copy are enabled");
    clickButton(bar->button(CMD_RULE_COPY)->hwnd);
    check(clipboardText() == "IF" && windowText(text) == "IF (e==neg) THEN u=klein;\r\n",
          "the copy button puts the selection into the clipboard");
    check(editEntryState(editor, CMD_RULE_PASTE) == 0, "with text in the clipboard paste is enabled");

    select(editor, 3, 11);
    clickButton(bar->button(CMD_RULE_CUT)->hwnd);
    check(clipboardText() == "(e==neg)" && windowText(text) == "IF  THEN u=klein;\r\n",
          "the cut button moves the selection into the clipboard");
    select(editor, 3, 3);
    clickButton(bar->button(CMD_RULE_PASTE)->hwnd);
    check(windowText(text) == "IF (e==neg) THEN u=klein;\r\n", "the paste button puts it back");

    // The check button runs 9013.
    {
        BoxWatcher correct(getResString(17664), IDOK);
        clickButton(bar->button(CMD_RULE_CHECK)->hwnd);
        check(correct.found() && correct.text() == getResString(17651),
              "the check button shows \"Regelbasis ist korrekt !\"");
    }
    SetWindowTextA(text, kRules);
}

// 9014 on the stand-in printer.
void checkPrint(RuleEditorWindow* editor, FuzzyEditorFrame* frame, const std::string& scratch)
{
    HWND text = editor->editor()->hwnd;
    setPrinterDevice(&standIn);
    TableProfile profile;
    profile.set("windows", "Device", "Testdrucker,teststub,FILE:");
    setProfileSource(&profile);

    // A cancelled set-up prints nothing; the rules come back.
    setRulePrintSetup(cancelSetup);
    standIn.begin("rules-cancel");
    SendMessageA(editor->hwnd, WM_COMMAND, CMD_RULE_PRINT, 0);
    check(standIn.count("StartDoc:Rulebase-Editor print job") == 0 && windowText(text) == kRules,
          "a cancelled set-up prints nothing and the rules are back");

    setRulePrintSetup(confirmSetup);
    standIn.begin("rules");
    standIn.folder = picturesFolder;
    std::string shownWhilePrinting;
    standIn.onPage = [&](HDC) { shownWhilePrinting = windowText(text); };
    SendMessageA(editor->hwnd, WM_COMMAND, CMD_RULE_PRINT, 0);
    check(windowText(text) == kRules, "right after the print the editor shows the rules again");
    HWND dialog = winecheck::findOwnWindow("Drucken ...");
    char said[100] = "";
    GetDlgItemTextA(dialog, 101, said, sizeof said);
    check(dialog && IsWindowVisible(dialog) && GetWindow(dialog, GW_OWNER) == frame->hwnd &&
              strcmp(said, "Das Dokument wird gedruckt.") == 0 && PrintJob::current(),
          "the job runs with the abort dialog 125 over the editor frame");
    SendMessageA(editor->hwnd, WM_COMMAND, CMD_RULE_PRINT, 0);
    check(standIn.count("StartDoc:Rulebase-Editor print job") == 1 && windowText(text) == kRules,
          "a second print meanwhile starts no other job");
    finishJob();
    const std::string title = windowText(frame->hwnd);
    const std::string head = "\r\n\r\n\r\n\r\n\t" + title + "\r\n\r\n\t";

    check(shownWhilePrinting.compare(0, head.size(), head) == 0,
          "the printed text begins with the layout's head: four empty lines and the frame's title");
    check(shownWhilePrinting.find("\tRegler der Regeltests\r\n\r\n\r\n\r\nIF (e==neg) THEN u=klein;\r\n") !=
              std::string::npos,
          "... then the comment, three empty lines and the rules");
    const std::vector<std::string> expected = {"SetAbortProc", "StartDoc:Rulebase-Editor print job", "StartPage",
                                               "EndPage", "EndDoc", "DeleteDC"};
    check(standIn.log == expected, "the job \"Rulebase-Editor print job\" prints one page");
    check(!standIn.inkBoxes.empty() && standIn.inkBoxes[0].right > standIn.inkBoxes[0].left,
          "the page carries text");
    const std::string page = picturesFolder + "print-rules-1.png";
    check(GetFileAttributesA(dosPath(page).c_str()) != INVALID_FILE_ATTRIBUTES, "the page picture is saved");
    check(GetFileAttributesA((scratch + "\\rule_pr.tmp").c_str()) == INVALID_FILE_ATTRIBUTES,
          "the print file is deleted afterwards");
    check(!PrintJob::current() && idleCount() == 0 && !IsWindow(dialog), "the job and its dialog are over");

    // Without a printer: 17647 titled 17648, and the rules come back.
    TableProfile none;
    setProfileSource(&none);
    standIn.begin("rules-none");
    {
        BoxWatcher box(getResString(17648), IDOK);
        SendMessageA(editor->hwnd, WM_COMMAND, CMD_RULE_PRINT, 0);
        check(box.found() && box.text() == getResString(17647),
              "without a printer 9014 shows \"Kein Druckertreiber vorhanden\"");
    }
    check(windowText(text) == kRules && standIn.count("StartDoc:Rulebase-Editor print job") == 0,
          "... prints nothing and shows the rules again");

    // A work file that cannot be written: the print stops before the
    // editor shows the layout.
    setProfileSource(&profile);
    standIn.begin("rules-blocked");
    const std::string work = editor->getWorkPath();
    DeleteFileA(work.c_str());
    CreateDirectoryA(work.c_str(), nullptr);
    winecheck::writeText(work + "\\inhalt.txt", "x");
    SetWindowTextA(text, "IF (e==pos) THEN u=gross;\r\n");
    {
        BoxWatcher box(getResString(17664), IDOK);
        SendMessageA(editor->hwnd, WM_COMMAND, CMD_RULE_PRINT, 0);
        check(box.found() && box.text().find("rule.tmp") != std::string::npos,
              "a work file that cannot be written is reported (17729)");
    }
    check(windowText(text) == "IF (e==pos) THEN u=gross;\r\n" && standIn.created == 0,
          "... nothing is printed and the editor keeps its text");
    DeleteFileA((work + "\\inhalt.txt").c_str());
    RemoveDirectoryA(work.c_str());
    SetWindowTextA(text, kRules);

    setRulePrintSetup(nullptr);
    setProfileSource(nullptr);
    setPrinterDevice(nullptr);
}

// 9010 and 9012: the program's one text viewer.
void checkViewer(RuleEditorWindow* editor, FuzzyEditorFrame* frame)
{
    SendMessageA(editor->hwnd, WM_COMMAND, CMD_RULE_BLOCK_INFO, 0);
    winecheck::pump();
    HelpViewerWindow* viewer = dynamic_cast<HelpViewerWindow*>(editor->textViewer());
    check(viewer && viewer->isWindow() && IsWindowVisible(viewer->hwnd), "9010 opens the text viewer");
    if (!viewer)
        return;
    const std::string shown = windowText(viewer->textControl->hwnd);
    check(windowText(viewer->hwnd) == getResString(17660), "... titled \"KYT-Fuzzy Hilfe\"");
    check(shown == blockInformation(frame->block()), "... on the block information");
    check(shown.find("EINGANGSVARIABLEN:\r\n\te:\r\n\t\tneg\r\n\t\tpos\r\n\tde:\r\n\t\tnull\r\n\r\n"
                     "AUSGANGSVARIABLEN:\r\n\tu:\r\n\t\tklein\r\n\t\tgross\r\n") != std::string::npos,
          "... which lists the inputs and outputs with their sets");
    UpdateWindow(viewer->hwnd);
    winecheck::pump();
    check(winecheck::saveWindowPicture(viewer->hwnd, picturesFolder + "kytfuzzy-blockinfo.png"),
          "the picture of the block information is saved");

    // A second 9010 replaces the viewer: the program keeps one.
    HWND first = viewer->hwnd;
    SendMessageA(editor->hwnd, WM_COMMAND, CMD_RULE_BLOCK_INFO, 0);
    winecheck::pump();
    HelpViewerWindow* second = dynamic_cast<HelpViewerWindow*>(editor->textViewer());
    check(second && second->isWindow() && !IsWindow(first), "a second 9010 replaces the viewer");

    // Closing it clears the slot.
    if (second)
        SendMessageA(second->hwnd, WM_CLOSE, 0, 0);
    winecheck::pump();
    check(editor->textViewer() == nullptr, "a closed viewer leaves the slot empty");

    // 9012: the topic IDH_HELP_General of fuzzyhlp.txt.
    SendMessageA(editor->hwnd, WM_COMMAND, CMD_RULE_HELP, 0);
    winecheck::pump();
    HelpViewerWindow* help = dynamic_cast<HelpViewerWindow*>(editor->textViewer());
    check(help && windowText(help->textControl->hwnd).find("Allgemeine Hinweise zur Bedienung.") == 0,
          "9012 shows the help topic IDH_HELP_General");
    frame->getOptions()->closeHelp();
}


} // namespace

void appMain(Application* app)
{
    winecheck::startWatchdog(100);
    disableErrorLog();
    std::vector<std::string> args = splitCommandLine(app->commandLine.text());
    if (args.size() != 3) {
        printf("usage: kytfuzzy_rules_test PNG-PATH SCRATCH-FOLDER HELP-FOLDER\n");
        app->exitCode = 2;
        return;
    }
    const std::string scratch = dosPath(args[1]);
    CreateDirectoryA(scratch.c_str(), nullptr);
    picturesFolder = winecheck::pictureFolder(args[0]);

    FuzzyOptions* options = new FuzzyOptions;
    options->setTempDir(scratch);
    options->setHelpDir(dosPath(args[2]));
    options->color = FuzzyOptions::kDefaultColor;
    FuzzyEditorFrame* frame = new FuzzyEditorFrame(nullptr, new Layout(0, 0, 900, 700), WS_OVERLAPPEDWINDOW,
                                                   getResString(17723), options);
    EditorDialogHooks hooks(frame);
    frame->setHooks(&hooks);
    frame->show(SW_SHOW);
    winecheck::pump();

    const std::string path = scratch + "\\regeln.kyb";
    winecheck::writeText(path, kBlock);
    check(frame->getSession().openBlock(path) == 1, "the fixture opens");
    frame->runCommand(CMD_RULE_EDITOR);
    RuleEditorWindow* editor = hooks.ruleEditor();
    check(editor != nullptr, "116 opens the rule editor");
    if (editor) {
        winecheck::pump();
        checkWindow(editor);
        checkButtons(editor);
        UpdateWindow(editor->hwnd);
        winecheck::pump();
        check(winecheck::saveWindowPicture(editor->hwnd, picturesFolder + "kytfuzzy-ruleeditor.png"),
              "the picture of the rule editor with its bars is saved");
        checkPrint(editor, frame, scratch);
        checkViewer(editor, frame);
        // An editor left while its job prints abandons the job.
        setPrinterDevice(&standIn);
        TableProfile profile;
        profile.set("windows", "Device", "Testdrucker,teststub,FILE:");
        setProfileSource(&profile);
        setRulePrintSetup(confirmSetup);
        standIn.begin();
        SendMessageA(editor->hwnd, WM_COMMAND, CMD_RULE_PRINT, 0);
        SendMessageA(editor->hwnd, WM_COMMAND, CMD_RULE_LEAVE, 0);
        winecheck::pump();
        check(!hooks.ruleEditor(), "leaving closes the editor");
        finishJob();
        check(standIn.count("StartDoc:Rulebase-Editor print job") == 1 && standIn.count("AbortDoc") == 1 &&
                  standIn.count("EndDoc") == 0 && standIn.count("DeleteDC") == 1 && !PrintJob::current() &&
                  idleCount() == 0 && !winecheck::findOwnWindow("Drucken ..."),
              "... and abandons the job that was still printing, with its dialog");
        setRulePrintSetup(nullptr);
        setProfileSource(nullptr);
        setPrinterDevice(nullptr);
    }
    frame->setHooks(nullptr);
    delete frame;
    delete options;
    app->exitCode = winecheck::summary();
}
