#include "RuleEditorWindow.h"

#include "Application.h"
#include "FileLayer.h"
#include "FuzzyEditorFrame.h"
#include "FuzzyOptions.h"
#include "Layout.h"
#include "Menu.h"
#include "ResString.h"
#include "RuleText.h"
#include "TextEditCtrl.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const unsigned int kResTitle = 17664;
const unsigned int kResWorkFile = 17729;
const unsigned int kResSemantic = 17649;
const unsigned int kResLeaveAnyway = 17650;
const unsigned int kResCorrect = 17651;
const unsigned int kResInformation = 17660;
const int kRuleMenu = 114;
enum { CMD_CUT = 126, CMD_COPY_TEXT = 127, CMD_PASTE = 128, CMD_BLOCK_INFO = 9010, CMD_RULE_HELP = 9012,
       CMD_CHECK = 9013, CMD_RULE_PRINT = 9014, CMD_LEAVE = 11023 };

// Through the file layer: the path is a Windows path.
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

RuleEditorWindow::RuleEditorWindow(FuzzyEditorFrame* editorFrame, RuleEditorWindow** o)
    : AppFrameCL(nullptr, new Layout(0, 0, 640, 300), WS_OVERLAPPEDWINDOW, getResString(kResTitle)),
      frame(editorFrame), owner(o), text(nullptr)
{
    new Menu(this, ResourceId(kRuleMenu));
    state |= STATE_AUTODELETE;
    text = new TextEditCtrlCL(this, new FillLayout, static_cast<int32_t>(kMaxRuleText));
    text->style |= ES_WANTRETURN;
    text->updateStyle();
    SendMessageA(text->hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(SYSTEM_FIXED_FONT)), 0);
    const std::string temp = frame->getOptions()->getTempDir();
    workPath = temp.empty() ? "rule.tmp" : temp + "\\rule.tmp";
    FILE* f = openFile(workPath.c_str(), "w");
    if (!f) {
        workFileFailure();
        return;
    }
    fclose(f);
    remove(workPath.c_str());
    FuzzyBlock* block = frame->block();
    if (block && block->rules) {
        f = openFile(workPath.c_str(), "w");
        if (!f) {
            workFileFailure();
            return;
        }
        fprintf(f, "%s\n", frame->getSession().getRuleText().c_str());
        fclose(f);
        text->loadFile(workPath.c_str());
    }
}

RuleEditorWindow::~RuleEditorWindow()
{
    if (owner && *owner == this)
        *owner = nullptr;
}

void RuleEditorWindow::workFileFailure()
{
    std::vector<char> message(strlen(getResString(kResWorkFile)) + workPath.size() + 1);
    snprintf(message.data(), message.size(), getResString(kResWorkFile), workPath.c_str());
    MessageBoxObject(this, message.data(), getResString(kResTitle), MB_OK | MB_ICONHAND);
}

bool RuleEditorWindow::saveWorkFile()
{
    if (!text->saveFile(workPath.c_str())) {
        workFileFailure();
        return false;
    }
    return true;
}

void RuleEditorWindow::close()
{
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
        MessageBoxObject(this, message.c_str(), getResString(kResTitle), MB_OK | MB_ICONHAND);
        break;
    case RULES_SEMANTIC_ERROR:
        MessageBoxObject(this, message.c_str(), getResString(kResSemantic), MB_OK | MB_ICONINFORMATION);
        break;
    case RULES_CORRECT:
        MessageBoxObject(this, getResString(kResCorrect), getResString(kResTitle), MB_OK | MB_ICONINFORMATION);
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
        return MessageBoxObject(this, getResString(kResLeaveAnyway), getResString(kResTitle),
                                MB_YESNO | MB_ICONQUESTION)
                   .answer == IDYES;
    };
    if (result == RULES_SYNTAX_ERROR) {
        MessageBoxObject(this, message.c_str(), getResString(kResTitle), MB_OK | MB_ICONHAND);
        if (leaveAnyway())
            close();
        return;
    }
    frame->getSession().setRuleText(rebuildRuleText(readWhole(workPath)));
    frame->setModified();
    remove(workPath.c_str());
    if (result == RULES_SEMANTIC_ERROR) {
        MessageBoxObject(this, message.c_str(), getResString(kResSemantic), MB_OK | MB_ICONHAND);
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
    case CMD_CUT:
        text->cut();
        return 1;
    case CMD_COPY_TEXT:
        text->copy();
        return 1;
    case CMD_PASTE:
        if (IsClipboardFormatAvailable(CF_TEXT))
            text->paste();
        return 1;
    case CMD_BLOCK_INFO: {
        const std::string info = blockInformation(frame->block());
        MessageBoxObject(this, info.c_str(), getResString(kResInformation), MB_OK | MB_ICONINFORMATION);
        return 1;
    }
    case CMD_RULE_HELP:
    case CMD_RULE_PRINT:
        return 1;
    case CMD_CHECK:
        check();
        return 1;
    case CMD_LEAVE:
        leave();
        return 1;
    default:
        return 0;
    }
}
