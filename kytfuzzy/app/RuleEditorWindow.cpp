#include "RuleEditorWindow.h"

#include "Application.h"
#include "ErrorReporter.h"
#include "FileLayer.h"
#include "FuzzyEditorFrame.h"
#include "FuzzyOptions.h"
#include "FuzzyToolBar.h"
#include "Layout.h"
#include "Menu.h"
#include "Printing.h"
#include "ResString.h"
#include "RuleText.h"
#include "StatusBar.h"
#include "TextEditCtrl.h"
#include "ToolBar.h"
#include "strings/KytfuzzyStrings.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

namespace {

const int kPrintAbortDialog = 125;
const char kPrintJobName[] = "Rulebase-Editor print job";
const char kHelpTopic[] = "IDH_HELP_General";
const int kToolBarHeight = 29;

// The tool bar: command, bitmap, group; a new group starts after a gap of
// 16 pixels. The printer is the frame's 9101 and cut and block information
// have 9126 and 9110: the plot windows, which kytfuzzy carries too, hold
// 9001, 126 and 9010 for pictures of their own.
const FuzzyBarButton kBarButtons[] = {
    {CMD_RULE_CUT, 9126, 0, 0},   {CMD_RULE_COPY, 127, 0, 0},   {CMD_RULE_PASTE, 128, 0, 0},
    {CMD_RULE_PRINT, 9101, 1, 0}, {CMD_RULE_CHECK, 9013, 1, 0}, {CMD_RULE_BLOCK_INFO, 9110, 2, 0},
    {CMD_RULE_HELP, 9012, 2, 0},
};

int printerSetup(PrinterDC* printer)
{
    return printer->setup();
}

RulePrintSetup printSetup = printerSetup;

std::string inTempDir(const std::string& temp, const char* name)
{
    return temp.empty() ? std::string(name) : temp + "\\" + name;
}

// Written as a Windows text file: every line feed becomes CR LF, which the
// editor control needs to break a line.
bool writeText(const std::string& path, const std::string& text)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    FILE* f = openFile(path.c_str(), "wb");
    if (!f)
        return false;
    const bool written = fwrite(out.data(), 1, out.size(), f) == out.size();
    return fclose(f) == 0 && written;
}

// Through the file layer: the path is a Windows path.
void removeFile(const std::string& path)
{
    remove(mapPath(path.c_str()).text());
}

std::string readWhole(const std::string& path)
{
    std::string text;
    FILE* f = openFile(path.c_str(), "rb");
    if (!f)
        return text;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, f)) > 0)
        text.append(buffer, got);
    fclose(f);
    return text;
}

} // namespace

void setRulePrintSetup(RulePrintSetup setup)
{
    printSetup = setup ? setup : printerSetup;
}

HelpViewer* RuleEditorWindow::textViewer() const
{
    return frame->getOptions()->getHelpWindow();
}

RuleEditorWindow::RuleEditorWindow(FuzzyEditorFrame* editorFrame, RuleEditorWindow** o)
    : AppFrameCL(nullptr, new Layout(0, 0, 640, 300), WS_OVERLAPPEDWINDOW, getResString(kStrFzRuleEditorTitle)),
      frame(editorFrame), owner(o)
{
    // The window's own icon: the class is the frame's as well.
    if (HICON icon = LoadIconA(programInstance(), MAKEINTRESOURCEA(kRuleEditorIcon))) {
        SendMessageA(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        SendMessageA(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
    new Menu(this, ResourceId(kRuleEditorMenu));
    state |= STATE_AUTODELETE;
    buildToolBar();
    buildStatusLine();
    text = new TextEditCtrlCL(this, new FillLayout, static_cast<int32_t>(kMaxRuleText));
    text->style |= ES_WANTRETURN;
    text->updateStyle();
    SendMessageA(text->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FIXED_FONT)), 0);
    const std::string temp = frame->getOptions()->getTempDir();
    workPath = inTempDir(temp, "rule.tmp");
    printPath = inTempDir(temp, "rule_pr.tmp");
    FILE* f = openFile(workPath.c_str(), "w");
    if (!f) {
        workFileFailure();
        return;
    }
    fclose(f);
    removeFile(workPath);
    FuzzyBlock* block = frame->block();
    if (block && block->rules) {
        f = openFile(workPath.c_str(), "w");
        if (!f) {
            workFileFailure();
            return;
        }
        // The line end as a Windows text file writes it: the editor control
        // breaks lines only at CR LF.
        fprintf(f, "%s\r\n", frame->getSession().getRuleText().c_str());
        fclose(f);
        text->loadFile(workPath.c_str());
    }
}

RuleEditorWindow::~RuleEditorWindow()
{
    if (owner && *owner == this)
        *owner = nullptr;
    abandonPrintJob();
    delete printer;
}

void RuleEditorWindow::buildToolBar()
{
    toolBar = buildFuzzyToolBar(this, kToolBarHeight, kBarButtons, sizeof kBarButtons / sizeof kBarButtons[0],
                                "rule_tp_image");
    for (int id : {CMD_RULE_CUT, CMD_RULE_COPY, CMD_RULE_PASTE})
        toolBar->enableButton(id, 1);
}

void RuleEditorWindow::buildStatusLine()
{
    statusLine = new FrameStatusBarCL(this, new EdgeLayout(PLACE_BOTTOM, 0, 0), 0);
    new NumLockField(statusLine, PLACE_RIGHT, -1);
    new CapsLockField(statusLine, PLACE_RIGHT, -1, "CAPS ON", "");
    new StatusField(statusLine, PLACE_REST, nullptr, kRuleMenuHelpField, 0x401);
    statusLine->setMenuHelpField(kRuleMenuHelpField);
}

void RuleEditorWindow::workFileFailure()
{
    std::vector<char> message(strlen(getResString(kStrFzTempFileNotOpened)) + workPath.size() + 1);
    snprintf(message.data(), message.size(), getResString(kStrFzTempFileNotOpened), workPath.c_str());
    MessageBoxObject(this, message.data(), getResString(kStrFzRuleEditorTitle), MB_OK | MB_ICONHAND);
}

bool RuleEditorWindow::saveWorkFile()
{
    if (!text->saveFile(workPath.c_str())) {
        workFileFailure();
        return false;
    }
    return true;
}

// A job still printing would read the deleted editor at its next idle pass:
// it is abandoned, and its abort dialog goes with the editor.
void RuleEditorWindow::abandonPrintJob()
{
    // The dialog belongs to the editor frame, so it lives until here unless
    // the frame itself went.
    const bool dialogAlive = printDialog && IsWindow(printDialogWindow) &&
                             theApplication && theApplication->winMap &&
                             theApplication->winMap->lookup(printDialogWindow) == printDialog;
    if (printJob && PrintJob::current() == printJob && dialogAlive) {
        printJob->abort();
        delete printDialog;
    }
    printJob = nullptr;
    printDialog = nullptr;
    printDialogWindow = nullptr;
}

void RuleEditorWindow::close()
{
    abandonPrintJob();
    DestroyWindow(hwnd);
}

void RuleEditorWindow::check()
{
    if (!saveWorkFile())
        return;
    std::string message;
    switch (applyRuleFile(frame->getSession().model(), workPath, &message)) {
    case RULES_UNREADABLE:
        workFileFailure();
        break;
    case RULES_SYNTAX_ERROR:
        MessageBoxObject(this, message.c_str(), getResString(kStrFzRuleEditorTitle), MB_OK | MB_ICONHAND);
        break;
    case RULES_SEMANTIC_ERROR:
        MessageBoxObject(this, message.c_str(), getResString(kStrFzRuleSemanticError), MB_OK | MB_ICONINFORMATION);
        break;
    case RULES_CORRECT:
        MessageBoxObject(this, getResString(kStrFzRulesCorrect), getResString(kStrFzRuleEditorTitle), MB_OK | MB_ICONINFORMATION);
        break;
    }
}

void RuleEditorWindow::leave()
{
    // A work file that cannot be written keeps the window and its text:
    // closing it would lose the edits.
    if (!saveWorkFile())
        return;
    std::string message;
    const RuleFileResult result = applyRuleFile(frame->getSession().model(), workPath, &message);
    if (result == RULES_UNREADABLE) {
        workFileFailure();
        return;
    }
    auto leaveAnyway = [&]() {
        return MessageBoxObject(this, getResString(kStrFzLeaveRuleEditor), getResString(kStrFzRuleEditorTitle),
                                MB_YESNO | MB_ICONQUESTION)
                   .answer == IDYES;
    };
    if (result == RULES_SYNTAX_ERROR) {
        MessageBoxObject(this, message.c_str(), getResString(kStrFzRuleEditorTitle), MB_OK | MB_ICONHAND);
        if (leaveAnyway())
            close();
        return;
    }
    frame->getSession().setRuleText(rebuildRuleText(readWhole(workPath)));
    frame->setModified();
    removeFile(workPath);
    if (result == RULES_SEMANTIC_ERROR) {
        MessageBoxObject(this, message.c_str(), getResString(kStrFzRuleSemanticError), MB_OK | MB_ICONHAND);
        if (!leaveAnyway())
            return;
    }
    close();
}

LRESULT RuleEditorWindow::onClose(EventRecord*)
{
    leave();
    return 1;
}

LRESULT RuleEditorWindow::onCommand(EventRecord* event)
{
    if (event->lParam && HIWORD(event->wParam) != 0)
        return 0;
    switch (LOWORD(event->wParam)) {
    case CMD_RULE_CUT:
        text->cut();
        return 1;
    case CMD_RULE_COPY:
        text->copy();
        return 1;
    case CMD_RULE_PASTE:
        if (IsClipboardFormatAvailable(CF_TEXT))
            text->paste();
        return 1;
    case CMD_RULE_BLOCK_INFO:
        showBlockInformation();
        return 1;
    case CMD_RULE_HELP:
        frame->getOptions()->showHelp(kHelpTopic);
        return 1;
    case CMD_RULE_PRINT:
        print();
        return 1;
    case CMD_RULE_CHECK:
        check();
        return 1;
    case CMD_RULE_LEAVE:
        leave();
        return 1;
    default:
        return 0;
    }
}

LRESULT RuleEditorWindow::onFocus(EventRecord* event)
{
    if (event->message == WM_SETFOCUS && text && text->isWindow()) {
        SetFocus(text->hwnd);
        return 1;
    }
    return 0;
}

void RuleEditorWindow::updateMenu(HMENU popup)
{
    DWORD start = 0, end = 0;
    SendMessageA(text->hwnd, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const UINT selection = start == end ? MF_GRAYED : MF_ENABLED;
    EnableMenuItem(popup, CMD_RULE_CUT, MF_BYCOMMAND | selection);
    EnableMenuItem(popup, CMD_RULE_COPY, MF_BYCOMMAND | selection);
    EnableMenuItem(popup, CMD_RULE_PASTE,
                   MF_BYCOMMAND | (IsClipboardFormatAvailable(CF_TEXT) ? MF_ENABLED : MF_GRAYED));
}

LRESULT RuleEditorWindow::defaultEvent(EventRecord* event)
{
    if (event->message == WM_INITMENUPOPUP && text)
        updateMenu(reinterpret_cast<HMENU>(event->wParam));
    return AppFrameCL::defaultEvent(event);
}

void RuleEditorWindow::print()
{
    // One job at a time: the abort dialog of the running one is still up.
    if (PrintJob::current()) {
        MessageBeep(MB_OK);
        return;
    }
    // 1. A work file that cannot be written ends the print here: printing
    // would leave the print layout in the editor for good.
    if (!saveWorkFile())
        return;
    // 2. The print file: the head, then the rules wrapped at 78 columns.
    removeFile(printPath);
    const std::string comment = frame->pageState().comment.text() ? frame->pageState().comment.text() : "";
    char title[256] = "";
    GetWindowTextA(frame->hwnd, title, sizeof title);
    const std::string layout = rulePrintLayout(title, ruleDateText(std::time(nullptr)), comment, readWhole(workPath));
    writeText(printPath, layout);
    // 3. The user sees the print layout.
    text->loadFile(printPath.c_str());
    // 4. Set up and print.
    if (!printer)
        printer = new PrinterDC();
    bool printed = true;
    if (!printer->hasPrinter()) {
        // Asked again next time: a printer may have been set up meanwhile.
        delete printer;
        printer = nullptr;
        printed = false;
    } else if (printSetup(printer)) {
        PrinterDC* chosen = printer;
        // A confirmed set-up is asked again at the next print.
        printer = nullptr;
        if (chosen->hasPrinter()) {
            // Over the editor frame: a dialog owned by this window would be
            // destroyed before it, while the job still points to it.
            PrintAbortDialogCL* dialog = new PrintAbortDialogCL(frame, ResourceId(kPrintAbortDialog));
            printDialogWindow = dialog->hwnd;
            printed = text->print(kPrintJobName, chosen, dialog) != 0;
            printJob = PrintJob::current();
            printDialog = printJob ? dialog : nullptr;
        } else {
            delete chosen;
            printed = false;
        }
    }
    if (!printed)
        showNoPrinter(this);
    // 5. The rules back into the editor.
    removeFile(printPath);
    text->loadFile(workPath.c_str());
    show(SW_SHOW);
}

void RuleEditorWindow::showBlockInformation()
{
    showInViewer(blockInformation(frame->block()));
}

void RuleEditorWindow::showInViewer(const std::string& shown)
{
    // One viewer for the program: an earlier one gives way to the new.
    frame->getOptions()->showHelpWindow(shown);
}
