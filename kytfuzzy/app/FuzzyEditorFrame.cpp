#include "FuzzyEditorFrame.h"
#include "FuzzyToolBar.h"

#include "AboutBox.h"
#include "Application.h"
#include "CharacteristicCommands.h"
#include "CharacteristicDialogs.h"
#include "CommonDialogs.h"
#include "ErrorReporter.h"
#include "FuzzyOptions.h"
#include "Layout.h"
#include "ComPage.h"
#include "FsetPage.h"
#include "HelpViewerWindow.h"
#include "ListingViewer.h"
#include "LvarPage.h"
#include "Menu.h"
#include "MsfPage.h"
#include "ResString.h"
#include "StatusBar.h"
#include "ToolBar.h"
#include "Window.h"
#include "strings/KytfuzzyStrings.h"

#include <windows.h>

#include <string>
#include <vector>

namespace {

const char kGeneralHelp[] = "IDH_HELP_FuzzyGeneral";
const char kErrorHelp[] = "IDH_HELP_Errormessages";

// Heights of the pages: the comment page shows 32 pixels, hidden 1.
const int kVariablePageHeight = 90;
const int kCommentPageHeight = 33;
const int kCommentShown = 32;
const int kCommentHidden = 1;
const int kSetPageHeight = 95;
const int kToolBarHeight = 29;

std::string res(unsigned int id)
{
    return getResString(id);
}

// The tool bar: command, bitmap, group, style. A new group starts after a
// gap; the comment line's button latches.
const FuzzyBarButton kBarButtons[] = {
    {CMD_NEW, CMD_NEW, 0, 0},
    {CMD_OPEN, CMD_OPEN, 0, 0},
    {CMD_SAVE, CMD_SAVE, 0, 0},
    // The printer is 9101: 9001 is the plot windows' picture, of another size.
    {CMD_PRINT, 9101, 0, 0},
    {CMD_COMMENT_LINE, CMD_COMMENT_LINE, 1, 0x200},
    {CMD_ADD_VARIABLE, CMD_ADD_VARIABLE, 2, 0},
    {CMD_ADD_SET, CMD_ADD_SET, 2, 0},
    {CMD_DELETE_VARIABLE, CMD_DELETE_VARIABLE, 3, 0},
    {CMD_DELETE_SET, CMD_DELETE_SET, 3, 0},
    {CMD_RULE_EDITOR, CMD_RULE_EDITOR, 4, 0},
    {CMD_SHOW_CHARACTERISTIC, CMD_EXPORT_MATLAB, 5, 0},
    {CMD_ACTIVE_PLOT, 124, 6, 0},
};

// The commands that need a block ("list A").
const int kBlockButtons[] = {CMD_SAVE,          CMD_SHOW_CHARACTERISTIC, CMD_RULE_EDITOR, CMD_ADD_VARIABLE,
                             CMD_ADD_SET,       CMD_DELETE_VARIABLE,     CMD_DELETE_SET,  CMD_PRINT,
                             CMD_COMMENT_LINE};
const int kBlockMenuEntries[] = {CMD_SAVE_AS,       CMD_GLOBAL_METHODS,  CMD_COPY,
                                 CMD_EXPORT_ASCII, CMD_RENAME_VARIABLE, CMD_RENAME_SET};

// The commands that later parts of the editor fill in.
const unsigned int kHookCommands[] = {CMD_RULE_EDITOR,    CMD_GLOBAL_METHODS,  CMD_ADD_VARIABLE,
                                      CMD_ADD_SET,        CMD_DELETE_VARIABLE, CMD_DELETE_SET,
                                      CMD_RENAME_VARIABLE, CMD_RENAME_SET};

// Is the variable (or the set) still part of the block?
bool holdsVariable(const FuzzyBlock* block, const FuzzyVariable* variable)
{
    for (const FuzzyVariable* list : {block->inputs, block->outputs})
        for (const FuzzyVariable* v = list; v; v = v->next)
            if (v == variable)
                return true;
    return false;
}

bool holdsMember(const FuzzyVariable* variable, const FuzzyMember* member)
{
    for (const FuzzyMember* m = variable->members; m; m = m->next)
        if (m == member)
            return true;
    return false;
}

std::string chooseFile(WindowCL* owner, unsigned int title, bool save)
{
    const std::string blocks = res(kStrFzBlockFilter), all = res(kStrFzAllFilesFilter);
    const char* const filters[] = {blocks.c_str(), "*.kyb", all.c_str(), "*.*", nullptr};
    const std::string caption = res(title);
    if (save) {
        FileSaveDialog dialog(owner, caption.c_str(), "", filters);
        return dialog.ok ? std::string(dialog.path) : std::string();
    }
    FileOpenDialog dialog(owner, caption.c_str(), "", filters);
    return dialog.ok ? std::string(dialog.path) : std::string();
}

} // namespace

FuzzyEditorFrame::FuzzyEditorFrame(void* unused, Geometry* g, DWORD style, const char* title, FuzzyOptions* opts)
    : AppFrameCL(unused, g, style, title), options(opts), session(this)
{
    setClassIcon(new Icon(ResourceId(kFuzzyIcon)));
    new Menu(this, ResourceId(kFuzzyMenu));
    if (!getMenu() || !getMenu()->handle())
        reportError(ERR_FATAL, "Assertion failed: %s", "appMenu");
    characteristic = new CharacteristicCommands(this, options);
    // kytfuzzy's help window has an icon of its own and may be taller than
    // the screen.
    HelpViewerLook look;
    look.keepOnScreen = false;
    look.iconId = kFuzzyHelpIcon;
    helpViewers = new HelpViewerWindowFactory(this, look);
    options->setHelpViewerFactory(helpViewers);
    FuzzyOptions* help = options;
    setCharacteristicHelp([help](const char* topic) { help->showHelp(topic); });
    buildToolBar();
    buildStatusBar();
    if (theApplication)
        theApplication->loadAccelerators(ResourceId(kFuzzyAccelerators));
    applyCommandStates();
}

FuzzyEditorFrame::~FuzzyEditorFrame()
{
    setCharacteristicHelp(nullptr);
    options->closeHelp();
    options->setHelpViewerFactory(nullptr);
    delete helpViewers;
    delete characteristic;
    deletePages();
}

void FuzzyEditorFrame::buildToolBar()
{
    toolBar = buildFuzzyToolBar(this, kToolBarHeight, kBarButtons, sizeof kBarButtons / sizeof kBarButtons[0],
                                "toolbar_image");
    toolBar->linkMenu();
}

void FuzzyEditorFrame::buildStatusBar()
{
    statusBar = new FrameStatusBarCL(this, new EdgeLayout(PLACE_BOTTOM, 0, 0), 0);
    new NumLockField(statusBar, PLACE_RIGHT, -1);
    new CapsLockField(statusBar, PLACE_RIGHT, -1, "CAPS ON", "");
    new StatusField(statusBar, new EdgeLayout(PLACE_LEFT, 130, 0, statusBar->barLayout()), kFuzzyStatusText, 0x401);
    new StatusField(statusBar, PLACE_REST, nullptr, kFuzzyMenuHelp, 0x401);
    statusBar->setMenuHelpField(kFuzzyMenuHelp);
}

VisualCtrl* FuzzyEditorFrame::page(int index) const
{
    VisualCtrl* pages[] = {variablePage, commentPage, setPage, membershipPage};
    return index >= 0 && index < 4 ? pages[index] : nullptr;
}

void FuzzyEditorFrame::buildPages()
{
    // The order of creation is the order of docking: the variable page under
    // the tool bar, the comment page over the status bar, the set page over
    // it, the membership page in what remains.
    state.variable = nullptr;
    state.set = nullptr;
    variablePage = new LvarPage(this, new EdgeLayout(PLACE_TOP, 0, kVariablePageHeight), WS_BORDER);
    if (!variablePage->hwnd)
        reportError(ERR_FATAL, "Assertion failed: %s", "lvar_image");
    commentLayout = new EdgeLayout(PLACE_BOTTOM, 0, kCommentPageHeight);
    commentPage = new ComPage(this, commentLayout, WS_BORDER);
    if (!commentPage->hwnd)
        reportError(ERR_FATAL, "Assertion failed: %s", "com_image");
    setPage = new FsetPage(this, new EdgeLayout(PLACE_BOTTOM, 0, kSetPageHeight), WS_BORDER);
    if (!setPage->hwnd)
        reportError(ERR_FATAL, "Assertion failed: %s", "fset_image");
    membershipPage = new MsfPage(this, new FillLayout, WS_BORDER);
    if (!membershipPage->hwnd)
        reportError(ERR_FATAL, "Assertion failed: %s", "msf_image");
    for (int i = 0; i < 4; ++i)
        page(i)->show(SW_SHOW);
    if (geometry)
        geometry->layout(nullptr);
    variablePage->focusXmin();
}

void FuzzyEditorFrame::deletePages()
{
    // The pages ask each other while they go: each pointer is cleared first.
    MsfPage* msf = membershipPage;
    membershipPage = nullptr;
    delete msf;
    FsetPage* fset = setPage;
    setPage = nullptr;
    delete fset;
    LvarPage* lvar = variablePage;
    variablePage = nullptr;
    delete lvar;
    ComPage* com = commentPage;
    commentPage = nullptr;
    delete com;
    commentLayout = nullptr;
    state.variable = nullptr;
    state.set = nullptr;
}

void FuzzyEditorFrame::modelDropped()
{
    deletePages();
}

void FuzzyEditorFrame::inform(const std::string& text, const std::string& caption)
{
    MessageBoxObject(this, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}

void FuzzyEditorFrame::setStatusText(int field, const std::string& text)
{
    if (statusBar)
        if (StatusField* f = statusBar->fieldById(field))
            f->setText(text.c_str());
}

void FuzzyEditorFrame::enableToolButton(int id, bool on)
{
    if (toolBar)
        toolBar->enableButton(id, on ? 1 : 0);
}

void FuzzyEditorFrame::applyCommandStates()
{
    for (int id : kBlockButtons)
        toolBar->enableButton(id, blockCommands ? 1 : 0);
    if (Menu* m = getMenu()) {
        for (int id : kBlockMenuEntries)
            m->grayItem(id, blockCommands ? 0 : 1);
        m->grayItem(CMD_UNDO, undoEnabled ? 0 : 1);
        m->checkItem(CMD_COMMENT_LINE, commentState == 1 ? 1 : 0);
    }
    toolBar->checkButton(CMD_COMMENT_LINE, commentState == 1 ? 1 : 0);
}

void FuzzyEditorFrame::setBlockCommandsEnabled(bool on)
{
    blockCommands = on;
    if (!on) {
        deletePages();
        // A cancelled or failed New or Open shows the comment line's entry
        // checked again, as at the start.
        commentState = 1;
        undoEnabled = false;
    }
    applyCommandStates();
}

void FuzzyEditorFrame::setUndoEnabled(bool on)
{
    undoEnabled = on;
    if (Menu* m = getMenu())
        m->grayItem(CMD_UNDO, on ? 0 : 1);
}

void FuzzyEditorFrame::titleChanged(const std::string& title)
{
    setTitle(title.c_str());
}

void FuzzyEditorFrame::pagesChanged()
{
    if (!session.model()) {
        deletePages();
        return;
    }
    if (!hasPages()) {
        buildPages();
        toggleCommentLine();
        return;
    }
    // A deletion or its undo may have taken the current variable or set.
    FuzzyBlock* b = block();
    if (state.variable && !holdsVariable(b, state.variable))
        state.variable = nullptr;
    if (state.set && (!state.variable || !holdsMember(state.variable, state.set)))
        state.set = nullptr;
    variablePage->refresh();
    for (int i = 0; i < 4; ++i)
        InvalidateRect(page(i)->hwnd, nullptr, TRUE);
}

void FuzzyEditorFrame::addRecentFile(const std::string& path)
{
    options->addRecentFile(path);
    rebuildMenus();
}

void FuzzyEditorFrame::toggleCommentLine()
{
    commentState = commentState == 1 ? 0 : 1;
    applyCommandStates();
    if (commentLayout)
        commentLayout->sizePoint = Point(0, commentState == 0 ? kCommentShown : kCommentHidden);
    // A height one pixel off makes the frame lay its children out anew.
    RECT r;
    GetWindowRect(hwnd, &r);
    const int nudge = commentState == 1 ? -1 : 1;
    SetWindowPos(hwnd, nullptr, 0, 0, r.right - r.left, r.bottom - r.top + nudge, SWP_NOMOVE | SWP_NOZORDER);
    if (geometry)
        geometry->layout(nullptr);
    if (commentPage)
        UpdateWindow(commentPage->hwnd);
    UpdateWindow(hwnd);
}

void FuzzyEditorFrame::rebuildMenus()
{
    Menu* m = getMenu();
    if (!m || !m->handle())
        return;
    struct Popup {
        int position;
        std::vector<FuzzyMenuItem> items;
    };
    const Popup popups[] = {{0, options->fileMenuItems()}, {4, options->windowMenuItems()}};
    for (const Popup& p : popups) {
        HMENU popup = GetSubMenu(m->handle(), p.position);
        if (!popup)
            continue;
        while (GetMenuItemCount(popup) > 0)
            DeleteMenu(popup, 0, MF_BYPOSITION);
        for (const FuzzyMenuItem& item : p.items) {
            if (item.id == 0)
                AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
            else
                AppendMenuA(popup, MF_STRING, item.id, item.text.c_str());
        }
    }
    applyCommandStates();
    DrawMenuBar(hwnd);
}

bool FuzzyEditorFrame::ask(const std::string& text)
{
    // Leaving wizard mode without the block asks OK or Cancel.
    if (text == res(kStrFzWizardNotWritten))
        return MessageBoxObject(this, text.c_str(), res(kStrFzProgramTitle).c_str(), MB_OKCANCEL | MB_ICONQUESTION)
                   .answer == IDOK;
    return MessageBoxObject(this, text.c_str(), res(kStrFzProgramTitle).c_str(), MB_YESNO | MB_ICONQUESTION).answer ==
           IDYES;
}

void FuzzyEditorFrame::showBox(const std::string& text, const std::string& caption)
{
    // The check results only inform; everything else is an error.
    const unsigned int informing[] = {kStrFzAmbiguous, kStrFzIncomplete, kStrFzScriptAmbiguous, kStrFzScriptInconsistent};
    UINT style = MB_ICONHAND;
    for (unsigned int id : informing)
        if (caption == res(id))
            style = MB_ICONINFORMATION;
    MessageBoxObject(this, text.c_str(), caption.c_str(), style);
}

std::string FuzzyEditorFrame::chooseFileToOpen()
{
    return chooseFile(this, kStrFzOpenFileTitle, false);
}

std::string FuzzyEditorFrame::chooseFileToSave()
{
    return chooseFile(this, kStrFzSaveAsTitle, true);
}

int FuzzyEditorFrame::openGivenFile(unsigned int command)
{
    const std::string path = options->getRecentFile(command);
    if (path.empty())
        return 1;
    session.openBlock(path);
    return 1;
}

LRESULT FuzzyEditorFrame::onClose(EventRecord*)
{
    closeEditor();
    return 1;
}

LRESULT FuzzyEditorFrame::onCommand(EventRecord* event)
{
    // Notifications of controls other than buttons are not commands.
    if (event->lParam && HIWORD(event->wParam) != 0 && HIWORD(event->wParam) != BN_CLICKED)
        return 0;
    return runCommand(LOWORD(event->wParam));
}

int FuzzyEditorFrame::runCommand(unsigned int id)
{
    switch (id) {
    case CMD_OPEN:
        session.openBlock();
        return 1;
    case CMD_SAVE:
        session.save();
        return 1;
    case CMD_SAVE_AS:
        session.saveAs();
        return 1;
    case CMD_NEW:
        session.newBlock();
        return 1;
    case CMD_EXIT:
        closeEditor();
        return 1;
    case CMD_COMMENT_LINE:
        toggleCommentLine();
        return 1;
    case CMD_UNDO:
        session.undoDeletion();
        return 1;
    case CMD_INFO:
        showInfo();
        return 1;
    case CMD_HELP_CONTENTS:
        options->showHelp(kGeneralHelp);
        return 1;
    case CMD_HELP_ERRORS:
        options->showHelp(kErrorHelp);
        return 1;
    case CMD_PRINT:
        if (membershipPage) {
            membershipPage->print();
            InvalidateRect(membershipPage->hwnd, nullptr, TRUE);
        }
        return 1;
    case CMD_COPY:
        if (membershipPage)
            membershipPage->copyToClipboard();
        return 1;
    default:
        break;
    }
    if (characteristic->command(id))
        return 1;
    if (id >= CMD_FIRST_RECENT && id <= CMD_LAST_RECENT)
        return openGivenFile(id);
    if ((id >= CMD_FIRST_PLOT && id <= CMD_LAST_PLOT) || id == CMD_ACTIVE_PLOT) {
        options->bringPlotWindowToFront(id);
        return 1;
    }
    for (unsigned int hooked : kHookCommands)
        if (id == hooked) {
            // The rule editor counts as a change, whatever is done in it.
            if (id == CMD_RULE_EDITOR)
                session.setModified();
            hooks->command(id);
            return 1;
        }
    return 0;
}

void FuzzyEditorFrame::closeEditor()
{
    if (session.close())
        PostQuitMessage(0);
}

void FuzzyEditorFrame::showInfo()
{
    AboutDialog* box = new AboutDialog(this, fuzzyAboutContent(), getResString(kStrFzInformation), 0);
    delete box;
}

void FuzzyEditorFrame::showListing(const char* message, const char* path, int line)
{
    // kyt's listing viewer with kytfuzzy's excerpt and English texts.
    ListingFileViewer viewer(this, fuzzyListingStyle());
    viewer.showFile(message, path, line);
}
