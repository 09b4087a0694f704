#include "IdentResultFrame.h"

#include "Application.h"
#include "Clipboard.h"
#include "Dde.h"
#include "ErrorReporter.h"
#include "IdentTexts.h"
#include "IdentWindowLink.h"
#include "Layout.h"
#include "Menu.h"
#include "Pane.h"
#include "ResString.h"
#include "ToolBar.h"
#include "UnitPoint.h"
#include "Workspace.h"

#include <windows.h>

#include <algorithm>
#include <string>

const char* const kHandOverService = "KYTWork";
const char* const kHandOverTopic = "Command";

namespace {

const int kButtonWidth = 27;
const int kButtonHeight = 25;
const int kLeadingGap = 4;
const int kGroupGap = 16;
// A plain button, one that latches like a check box, and the latching
// buttons of a radio group.
const DWORD kPlainButton = 0;
const DWORD kCheckButton = 0x200;
const DWORD kRadioButton = 0x230;

// The end of a hand-over: wParam 1 when the partner accepted, lParam the
// hand-over's number.
const UINT kHandOverDone = WM_APP + 0x39;

// The tool bar, left to right: command (also the bitmap's id), button kind
// and group; a gap lies between groups.
struct IdentButton {
    int command;
    DWORD style;
    int group;
};
const IdentButton kIdentButtons[] = {
    {kIdentCommandCopy, kPlainButton, 0},      {kIdentCommandHandOver, kPlainButton, 0},
    {kIdentCommandZ, kRadioButton, 1},         {kIdentCommandHold0, kRadioButton, 1},
    {kIdentCommandHold1, kRadioButton, 1},     {kIdentCommandAllDigits, kCheckButton, 2},
    {kIdentCommandFreeze, kCheckButton, 3},    {kIdentCommandClose, kPlainButton, 3},
};

// The window's frame style: an overlapped window with every box.
const DWORD kIdentFrameStyle = WS_OVERLAPPEDWINDOW;

// The placement's origin and size, given in dialog units, in pixels.
Layout* placedLayout(const IdentWindowPlacement& p)
{
    const DialogUnitPoint origin(p.unitX, p.unitY);
    const DialogUnitPoint size(p.unitWidth, p.unitHeight);
    return new Layout(origin.pixelX, origin.pixelY, size.pixelX, size.pixelY);
}

int modeOfCommand(int command)
{
    return command - kIdentCommandZ + 1;
}

} // namespace

HandOverExecute::HandOverExecute(IdentResultFrame* owner, DdeConversation* conversation, const char* command,
                                 unsigned int n)
    : DdeExecute(conversation, command, 0), frame(owner), keeper(nullptr), serial(n)
{
}

HandOverExecute::~HandOverExecute()
{
    if (frame)
        frame->handOverGone(this);
    if (keeper)
        keeper->handOverEnded(this);
}

HDDEDATA HandOverExecute::onComplete(DdeEvent* event)
{
    // An execute completes with TRUE when the partner answered DDE_FACK.
    if (frame)
        frame->handOverCompleted(this, event->dataHandle != nullptr);
    return reinterpret_cast<HDDEDATA>(DDE_FACK);
}

IdentResultFrame::IdentResultFrame(WindowCL* owner, int handleNumber, int na, const char* text,
                                   const IdentWindowPlacement& placement, HandOverClientSource* source)
    : DialogFrameCL(owner, placedLayout(placement), kIdentFrameStyle, text, 1),
      handle(handleNumber), running(1), frozen(0), allDigits(0), bar(nullptr), modes(nullptr), pane(nullptr),
      conversation(nullptr), pending(nullptr), handOverSerial(0), clients(source), boxDepth(0),
      deleteAfterBox(false)
{
    // The menu is the frame's from its creation, so that the size given is
    // the client area below it.
    menuId = ResourceId(kIdentMenu);
    hasMenu = true;
    create();
    if (!isWindow()) {
        // Never shown, never the handle's window: its end reports nothing.
        handle = -1;
        return;
    }
    AddEventHandler(this, &IdentResultFrame::onHandOverDone, kHandOverDone);
    buildToolBar();
    pane = new TextPaneCL(this, new FillLayout, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, kIdentPaneRows,
                          35 * na + 60);
    pane->show(SW_SHOW);
    fitToPane();
    // Freezing and closing wait for the end of the run.
    enableCommand(kIdentCommandFreeze, false);
    enableCommand(kIdentCommandClose, false);
    state |= STATE_AUTODELETE;
}

IdentResultFrame::~IdentResultFrame()
{
    dropConversation();
    delete modes;
    modes = nullptr;
    delete pane;
    pane = nullptr;
    delete bar;
    bar = nullptr;
    detach();
}

void IdentResultFrame::detach()
{
    if (handle < 0)
        return;
    const int closed = handle;
    handle = -1;
    if (clients)
        clients->frameGone(this);
    identWindowEnded(closed);
}

void IdentResultFrame::fitToPane()
{
    Point extent;
    if (!pane || !pane->getExtent(extent))
        return;
    RECT frameRect;
    GetWindowRect(hwnd, &frameRect);
    // A mended fault: the placement's 60 dialog units high and 25 * (4 * na +
    // 8) pixels wide cut the fraction line and the last buttons; the frame
    // now holds the tool bar and the pane's rows and columns, with the pane's
    // scroll bars. Its right edge stays where the placement put it, and it
    // keeps to the screen.
    RECT wanted = {0, 0, extent.x() + GetSystemMetrics(SM_CXVSCROLL),
                   kIdentToolBarHeight + extent.y() + GetSystemMetrics(SM_CYHSCROLL)};
    AdjustWindowRectEx(&wanted, static_cast<DWORD>(GetWindowLongA(hwnd, GWL_STYLE)), hasMenu ? TRUE : FALSE,
                       static_cast<DWORD>(GetWindowLongA(hwnd, GWL_EXSTYLE)));
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    const int width = std::min(static_cast<int>(wanted.right - wanted.left), screenWidth);
    const int height = std::min(static_cast<int>(wanted.bottom - wanted.top), screenHeight);
    const int left = std::max(0, std::min(static_cast<int>(frameRect.right), screenWidth) - width);
    const int top = std::max(0, std::min(static_cast<int>(frameRect.top), screenHeight - height));
    SetWindowPos(hwnd, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void IdentResultFrame::buildToolBar()
{
    bar = new ToolBarCL(this, new EdgeLayout(PLACE_TOP, 0, kIdentToolBarHeight), 0x001);
    if (!bar)
        reportError(ERR_FATAL, "Assertion failed: %s", "tbar");
    bar->setMargins(4, 1);
    int position = 1;
    bar->addSpacer(position++, Point(kLeadingGap, 0));
    int group = 0;
    for (const IdentButton& b : kIdentButtons) {
        if (b.group != group) {
            bar->addSpacer(position++, Point(kGroupGap, 0));
            group = b.group;
        }
        BmpButtonCL* button = new BmpButtonCL(bar, new BarItemLayout(position++, Point(kButtonWidth, kButtonHeight)),
                                              b.style, "", b.command, nullptr);
        // A bitmap that does not load leaves a blank button that works.
        button->loadBitmap(ResourceId(static_cast<unsigned int>(b.command)));
        if (BmpButtonItemCL* item = button->buttonItem())
            item->imageCount = 1;
    }
    modes = new RadioGroup(bar, kIdentCommandZ, kIdentCommandHold1);
    bar->rebuildLayout();
    // Checked and enabled buttons are mirrored in the menu.
    bar->linkMenu();
    bar->show(SW_SHOW);
}

void IdentResultFrame::enableCommand(int command, bool enabled)
{
    if (bar)
        bar->enableButton(command, enabled ? 1 : 0);
    // A disabled entry is greyed as well, so that it looks disabled.
    if (menu)
        menu->grayItem(static_cast<UINT>(command), enabled ? 0 : 1);
}

// ---------------------------------------------------------------- the library's side

void IdentResultFrame::checkOutputMode(int mode)
{
    if (mode < 1 || mode > 3 || !bar)
        return;
    bar->checkButton(kIdentCommandZ + mode - 1, 1);
    if (menu)
        for (int m = 1; m <= 3; ++m)
            menu->checkItem(static_cast<UINT>(kIdentCommandZ + m - 1), m == mode ? 1 : 0);
}

void IdentResultFrame::writeText(const std::string& text)
{
    if (!pane)
        return;
    pane->clear();
    pane->rows().setCursor(0, 0);
    *pane << text.c_str();
}

void IdentResultFrame::showDiscrete(const double* theta, int count, int nb, int na, int d)
{
    if (!theta || count < nb + na) {
        writeText(std::string());
        return;
    }
    writeText(identDiscreteDisplay(theta, nb, na, d, allDigits != 0));
}

void IdentResultFrame::showContinuous(const double* coefficients, int count, double deadTime)
{
    // A failed conversion leaves the pane empty.
    if (!coefficients || count < 1) {
        writeText(std::string());
        return;
    }
    writeText(identContinuousDisplay(coefficients, count, deadTime, allDigits != 0));
}

void IdentResultFrame::endRun()
{
    running = 0;
    if (!frozen) {
        enableCommand(kIdentCommandFreeze, true);
        enableCommand(kIdentCommandClose, true);
    }
}

void IdentResultFrame::destroy()
{
    detach();
    if (boxDepth > 0) {
        // A box of this frame is open: the frame goes when it is answered.
        deleteAfterBox = true;
        if (isWindow())
            ShowWindow(hwnd, SW_HIDE);
        return;
    }
    delete this;
}

// ---------------------------------------------------------------- the window's side

LRESULT IdentResultFrame::onClose(EventRecord*)
{
    return running;
}

LRESULT IdentResultFrame::onCommand(EventRecord* event)
{
    // Menu entries and the tool bar's buttons (a click: code 0); other
    // notifications are not commands of the frame.
    if (event->lParam && HIWORD(event->wParam) != 0)
        return 0;
    runCommand(LOWORD(event->wParam));
    return 1;
}

void IdentResultFrame::runCommand(int command)
{
    switch (command) {
    case kIdentCommandZ:
    case kIdentCommandHold0:
    case kIdentCommandHold1:
        setMode(modeOfCommand(command));
        break;
    case kIdentCommandAllDigits:
        toggleAllDigits();
        break;
    case kIdentCommandClose:
        // Disabled while the run lasts; a command sent anyway is refused.
        if (!running)
            endDialog();
        break;
    case kIdentCommandFreeze:
        freeze();
        break;
    case kIdentCommandCopy:
        copyToClipboard();
        break;
    case kIdentCommandHandOver:
        handOver();
        break;
    case kIdentCommandHelp:
        if (theWorkspace)
            theWorkspace->showHelpSection("IDH_HELP_IdentWindow");
        break;
    default:
        break;
    }
}

void IdentResultFrame::setMode(int mode)
{
    if (handle < 0)
        return;
    checkOutputMode(mode);
    identWindowSetMode(handle, mode);
}

void IdentResultFrame::toggleAllDigits()
{
    allDigits = !allDigits;
    if (bar)
        bar->checkButton(kIdentCommandAllDigits, allDigits);
    if (menu)
        menu->checkItem(kIdentCommandAllDigits, allDigits);
    if (handle >= 0)
        identWindowRefresh(handle);
}

void IdentResultFrame::freeze()
{
    if (frozen || running)
        return;
    frozen = 1;
    String text = title;
    text += " ";
    text += getResString(kResIdentFrozen);
    setTitle(text);
    if (bar)
        bar->checkButton(kIdentCommandFreeze, 1);
    enableCommand(kIdentCommandFreeze, false);
}

void IdentResultFrame::showError(unsigned int textId)
{
    ++boxDepth;
    const String text = getResString(textId);
    const String caption = getResString(kResIdentErrorCaption);
    MessageBoxObject(this, text.text(), caption.text(), MB_OK | MB_ICONSTOP);
    --boxDepth;
}

void IdentResultFrame::copyToClipboard()
{
    IdentTransfer transfer;
    if (handle < 0 || !identWindowTransfer(handle, &transfer)) {
        showError(kResIdentNoResult);
    } else {
        Clipboard clipboard(this);
        clipboard.empty();
        clipboard.putText(transfer.text.c_str());
    }
    if (deleteAfterBox && boxDepth == 0)
        delete this;
}

// Each hand-over has a conversation of its own, ended after its answer:
// under Wine a second asynchronous transaction on one conversation never
// completes, and a client is not told when the partner's process ends, so
// an old conversation would hide that the partner is gone.
void IdentResultFrame::handOver()
{
    IdentTransfer transfer;
    if (handle < 0 || !identWindowTransfer(handle, &transfer)) {
        showError(kResIdentNoResult);
        if (deleteAfterBox && boxDepth == 0)
            delete this;
        return;
    }
    const std::string command = identHandOverCommand(transfer.text, transfer.deadTime, transfer.tsamp);
    dropConversation();
    DdeClient* client = clients ? clients->handOverClient() : nullptr;
    if (client) {
        conversation = new DdeConversation(client, kHandOverService, kHandOverTopic);
        if (conversation->isConnected()) {
            HandOverExecute* execute = new HandOverExecute(this, conversation, command.c_str(), ++handOverSerial);
            if (execute->started()) {
                pending = execute;
                return;
            }
            // A send that fails at once is a missing partner as well.
            execute->frame = nullptr;
            delete execute;
        }
    }
    dropConversation();
    showError(kResIdentNoPartner);
    if (deleteAfterBox && boxDepth == 0)
        delete this;
}

void IdentResultFrame::handOverCompleted(HandOverExecute* execute, bool accepted)
{
    // The box comes from the frame's own message, not from inside the DDE
    // callback.
    if (isWindow())
        PostMessageA(hwnd, kHandOverDone, accepted ? 1 : 0, static_cast<LPARAM>(execute->serial));
}

void IdentResultFrame::handOverGone(HandOverExecute* execute)
{
    if (pending == execute)
        pending = nullptr;
}

LRESULT IdentResultFrame::onHandOverDone(EventRecord* event)
{
    // Only the latest hand-over's conversation is ended here; a newer one
    // may be waiting for its own answer.
    if (static_cast<unsigned int>(event->lParam) == handOverSerial && !pending)
        dropConversation();
    if (!event->wParam) {
        showError(kResIdentNoPartner);
        if (deleteAfterBox && boxDepth == 0)
            delete this;
    }
    return 1;
}

void IdentResultFrame::dropConversation()
{
    if (pending && clients) {
        // Still waiting for its answer: the hand-over and its conversation
        // end later, without the frame.
        HandOverExecute* execute = pending;
        pending = nullptr;
        execute->frame = nullptr;
        execute->keeper = clients;
        clients->adoptHandOver(conversation, execute);
        conversation = nullptr;
        return;
    }
    delete conversation;
    conversation = nullptr;
}
