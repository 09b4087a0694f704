#include "GedPane.h"

#include "Application.h"
#include "Assert.h"
#include "BlockDialogs.h"
#include "BlockMenus.h"
#include "Bitmap.h"
#include "Clipboard.h"
#include "CommonDialogs.h"
#include "PaneCommands.h"
#include "WizardLauncher.h"
#include "EditorStores.h"
#include "PiLoader.h"
#include "Printing.h"
#include "Profile.h"
#include "ResString.h"
#include "ResetSimulator.h"
#include "SignalNameRegistry.h"
#include "StatusBar.h"
#include "UnitPoint.h"
#include "Workspace.h"
#include "strings/CircuitStrings.h"

#include <string>

namespace {


// The editor's grid: 4 mm on the screen, made odd.
Point screenGrid(DeviceContext& screen)
{
    TenthMillimetreSize size(40, 40, &screen);
    Point p = size.pixels();
    int x = p.x() < 1 ? 1 : p.x();
    int y = p.y() < 1 ? 1 : p.y();
    return Point(x % 2 ? x : x + 1, y % 2 ? y : y + 1);
}

} // namespace

// The dialogs of the pane's commands, run modally over the pane.
class PaneDialogs : public PaneCommandWindows {
public:
    explicit PaneDialogs(GedPane* pane) : pane(pane) {}
    ChosenBlock selectBlock(int startLibrary, int startGroup) override
    {
        ChosenBlock chosen{0, 0, 0, String(), String()};
        if (!theWorkspace)
            return chosen;
        SelectBlockDialog* dialog = new SelectBlockDialog(pane, kSelectBlockTemplate, startLibrary, startGroup,
                                                          &theWorkspace->libraries, theWorkspace->libraryCount);
        KYT_ASSERT_TEXT(dialog, "sbDlg != NULL");
        if (dialog->accepted)
            chosen = ChosenBlock{1, dialog->libraryIndex, dialog->groupIndex, dialog->blockFilePath(),
                                 dialog->libraryName()};
        delete dialog;
        return chosen;
    }
    int editParameters(BlockObject& block, std::vector<String>& values) override
    {
        BlockParameterDialog* dialog = new BlockParameterDialog(pane, &block);
        KYT_ASSERT_TEXT(dialog, "bdDlg != NULL");
        int accepted = dialog->accepted;
        if (accepted)
            values = dialog->values;
        delete dialog;
        return accepted;
    }
    int editLayout(BlockObject& block, BlockLayoutValues& values) override
    {
        BlockLayoutDialog* dialog = new BlockLayoutDialog(pane, &block);
        KYT_ASSERT_TEXT(dialog, "blDlg != NULL");
        int accepted = dialog->accepted;
        if (accepted)
            values = dialog->values;
        delete dialog;
        return accepted;
    }
    void markData(BlockObject& block) override
    {
        MarkDataDialog* dialog = new MarkDataDialog(pane, &block);
        KYT_ASSERT_TEXT(dialog, "dlg");
        delete dialog;
    }
    int askTransfer(String& text) override
    {
        LaplaceWizardDialog* dialog = new LaplaceWizardDialog(pane, kLaplaceTemplate, text.text());
        int accepted = dialog->accepted;
        if (accepted)
            text = dialog->transfer;
        delete dialog;
        return accepted;
    }
    int chooseFragment(String& path) override
    {
        // The dialog opens in FRAGDIR by its initial name: the process's
        // current directory stays as it is.
        String initial = (theWorkspace ? theWorkspace->FRAGDIR : String()) + "\\*.kyf";
        String filter = getResString(kResFragmentFilter);
        const char* const filters[] = {filter.text(), "*.kyf", nullptr};
        FileOpenDialog chooser(pane, getResString(kResFragmentTitle), initial.text(), filters);
        if (!chooser.ok)
            return 0;
        path = chooser.path;
        return 1;
    }
    void setStatusField1(const char* text) override { pane->setStatusField(1, text); }

private:
    GedPane* pane;
};

GedPane::GedPane(WindowCL* parentWindow, Geometry* geometry, DWORD paneStyle)
    : PaneWindowCL(parentWindow, geometry, paneStyle | WS_HSCROLL | WS_VSCROLL), circuit(this),
      control(circuit, *this), statusBar(nullptr), clipCommands(nullptr), currentCursor(0),
      drawing(new DcCanvas(*own)), ownIcons(nullptr), ownRegistry(nullptr)
{
    circuit.grid = screenGrid(*own);
    if (theWorkspace) {
        theWorkspace->gridInactive = 0;
        theWorkspace->showInputSignalNames = 0;
        theWorkspace->hideConnectionLines = 0;
        theWorkspace->printing = 0;
    }
    if (!iconBase)
        iconBase = ownIcons = makeIconStore();
    if (!sNBase)
        sNBase = ownRegistry = new SignalNameRegistry();
    makeBarStates();
    ExtentScroller* extent = new ExtentScroller(this);
    extent->setHorzLine(40);
    extent->setVertLine(40);
    extent->setHorzPage(160);
    extent->setVertPage(160);
    scroller = extent;
    own->setBackColor(Color(255, 255, 255));
    own->setBackMode(TRANSPARENT);
    AddEventHandler(this, &GedPane::onKeyDown, WM_KEYDOWN);
    AddEventHandler(this, &GedPane::onKeyDown, WM_SYSKEYDOWN);
    AddEventHandler(this, &GedPane::onKeyUp, WM_KEYUP);
    AddEventHandler(this, &GedPane::onKeyUp, WM_SYSKEYUP);
    setCursorShape(kCursorNormal);
    dialogs = new PaneDialogs(this);
    starter = new CompanionThreadStarter(nullptr);
    paneCommands = new PaneCommands(circuit, control, *dialogs, *starter);
    starter->setCommands(paneCommands);
}

GedPane::~GedPane()
{
    RemoveEventHandler(this, &GedPane::onKeyDown, WM_KEYDOWN);
    RemoveEventHandler(this, &GedPane::onKeyDown, WM_SYSKEYDOWN);
    RemoveEventHandler(this, &GedPane::onKeyUp, WM_KEYUP);
    RemoveEventHandler(this, &GedPane::onKeyUp, WM_SYSKEYUP);
    delete insertMenu;
    delete blockMenu;
    delete paneCommands;
    delete starter;
    delete dialogs;
    resetSimulator();
    unloadPICode();
    circuit.setView(nullptr);
    circuit.clear();
    delete scroller;
    scroller = nullptr;
    if (ownRegistry && sNBase == ownRegistry)
        sNBase = nullptr;
    delete ownRegistry;
    if (ownIcons && iconBase == ownIcons)
        iconBase = nullptr;
    deleteIconStore(ownIcons);
    delete drawing;
}

void GedPane::readIniSetup(const char* installDirectory)
{
    if (theWorkspace)
        readInstallationFile(*theWorkspace, installationFilePath(installDirectory).text());
    paneCommands->setInstallDirectory(installDirectory);
}

LRESULT GedPane::onCommand(EventRecord* event)
{
    return paneCommands->onCommand(LOWORD(event->wParam));
}

void GedPane::setStatusField(int field, const char* text)
{
    if (statusBar)
        statusBar->setFieldText(field, text ? text : "");
}

int GedPane::getExtent(Point& size)
{
    size = Point(kDocumentExtent, kDocumentExtent);
    return 1;
}

LRESULT GedPane::paint(DeviceContext& dc)
{
    Rect update = dc.updateRect();
    if (dc.kind() == DC_WINDOW && dc.hdc) {
        // The pane's own background under the circuit.
        HBRUSH background = CreateSolidBrush(RGB(kPaneBackground.red, kPaneBackground.green, kPaneBackground.blue));
        RECT r = {update.left(), update.top(), update.right(), update.bottom()};
        FillRect(dc.hdc, &r, background);
        DeleteObject(background);
    }
    DcCanvas onContext(dc);
    DcCanvas* screen = drawing;
    drawing = &onContext;
    circuit.paint(*this, update);
    drawing = screen;
    return 1;
}

void GedPane::invalidateRect(const Rect& pixels, int erase)
{
    if (!isWindow())
        return;
    // Document pixels to the client area.
    Point origin = own->windowOrigin();
    Rect client(pixels.left() - origin.x(), pixels.top() - origin.y(), pixels.right() - origin.x(),
                pixels.bottom() - origin.y());
    own->invalidateRect(&client, erase != 0);
}

void GedPane::invalidateAll()
{
    if (isWindow())
        own->invalidateRect(nullptr, true);
}

void GedPane::beep()
{
    MessageBeep(0);
}

void GedPane::showWaitCursor()
{
    previousCursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));
}

void GedPane::restoreCursor()
{
    SetCursor(previousCursor);
    previousCursor = nullptr;
}

void GedPane::paintNow(GraphicObject& object, int zoomX, int zoomY)
{
    if (!isWindow())
        return;
    own->attach();
    object.paint(*this, zoomX, zoomY);
    own->release();
}

int GedPane::print()
{
    PrinterDC* printer = new PrinterDC();
    // No printer installed at all: there is nothing to choose from, and the
    // user is told so.
    if (!printer->hasPrinter() && printerDevices().empty()) {
        delete printer;
        showNoPrinter(theApplication ? static_cast<WindowCL*>(theApplication->mainFrame) : nullptr);
        return 0;
    }
    if (!printer->setup() || !printer->hasPrinter()) {
        delete printer;
        return 0;
    }
    WindowCL* owner = theApplication ? static_cast<WindowCL*>(theApplication->mainFrame) : nullptr;
    PrintAbortDialogCL* dialog = new PrintAbortDialogCL(owner, ResourceId(PrintAbortDialogCL::kProgramTemplate));
    PrintJob* job = new PrintJob(this, printer, dialog);
    job->setDocName(getResString(kStrCircuitPrintJob));
    job->print();
    return 1;
}

int GedPane::printTo(DeviceContext* printer, int)
{
    if (!printer)
        return 0;
    // Printer pixels per screen pixel, from one millimetre on each.
    Point onPrinter = TenthMillimetreSize(10, 10, printer).pixels();
    Point onScreen = TenthMillimetreSize(10, 10, own).pixels();
    double rx = onScreen.x() > 0 ? static_cast<double>(onPrinter.x()) / onScreen.x() : 1.0;
    double ry = onScreen.y() > 0 ? static_cast<double>(onPrinter.y()) / onScreen.y() : 1.0;
    pushContext(printer);
    dcChanged();
    ContextPane view(*printer);
    printer->attach();
    circuit.printInto(view, rx, ry, printer->updateRect());
    printer->release();
    popContext();
    dcChanged();
    return 0;
}

// ---- Mouse and keys ----

int GedPane::mouse(EventRecord* event, int kind)
{
    MouseEvent* m = static_cast<MouseEvent*>(event);
    int button = m->isButton(1) ? kLeftButton : m->isButton(2) ? kRightButton : 0;
    if (kind != kMouseMove && button == 0)
        return 1;
    Point client(m->x(), m->y());
    Point document = client.plus(own->windowOrigin());
    int ctrl = (event->wParam & MK_CONTROL) ? 1 : 0;
    return control.onMouse(kind, button, document, client, ctrl);
}

LRESULT GedPane::onMouseMove(EventRecord* event)
{
    return mouse(event, kMouseMove);
}

LRESULT GedPane::onButtonUp(EventRecord* event)
{
    return mouse(event, kMouseRelease);
}

LRESULT GedPane::onButtonDown(EventRecord* event)
{
    return mouse(event, kMousePress);
}

LRESULT GedPane::onKeyDown(EventRecord* event)
{
    int extended = (event->lParam >> 24) & 1;
    int alt = (event->lParam >> 29) & 1;
    return control.onKeyDown(static_cast<int>(event->wParam), extended, alt, GetKeyState(VK_CONTROL) < 0);
}

LRESULT GedPane::onKeyUp(EventRecord*)
{
    return control.onKeyUp(GetKeyState(VK_CONTROL) < 0);
}

LRESULT GedPane::onChar(EventRecord* event)
{
    int extended = (event->lParam >> 24) & 1;
    int alt = (event->lParam >> 29) & 1;
    return control.onChar(static_cast<int>(event->wParam), extended, alt);
}

LRESULT GedPane::defaultEvent(EventRecord* event)
{
    // Alt+Tab or a window popping up takes the capture in mid-drag.
    if (event->message == WM_CAPTURECHANGED && !control.releasingCapture())
        control.captureLost();
    return PaneWindowCL::defaultEvent(event);
}

// ---- Feedback ----

void GedPane::xorShape(const Rect& r, int line, int penStyle)
{
    if (!isWindow())
        return;
    own->attach();
    HDC dc = own->hdc;
    int oldRop = SetROP2(dc, R2_XORPEN);
    HPEN pen = CreatePen(penStyle, 1, RGB(128, 128, 128));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    if (line) {
        MoveToEx(dc, r.left(), r.top(), nullptr);
        LineTo(dc, r.right(), r.bottom());
    } else {
        Rectangle(dc, r.left(), r.top(), r.right(), r.bottom());
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    SetROP2(dc, oldRop);
    own->release();
}

void GedPane::xorLine(const Point& a, const Point& b)
{
    xorShape(Rect(a, b), 1, PS_SOLID);
}

void GedPane::xorBand(const Rect& r)
{
    xorShape(r, 0, PS_DOT);
}

void GedPane::xorOutline(const Rect& r)
{
    xorShape(r, 0, PS_DOT);
}

void GedPane::setCursorShape(int id)
{
    if (id == currentCursor)
        return;
    HCURSOR cursor = id == kWaitCursor ? LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT))
                                       : LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id));
    if (!cursor)
        return;
    currentCursor = id;
    setCursorHandle(cursor);
}

void GedPane::setStatusHint(unsigned int id)
{
    if (statusBar)
        statusBar->setFieldText(2, id ? getResString(id) : "");
}

void GedPane::captureMouse(int on)
{
    if (!isWindow())
        return;
    if (on)
        SetCapture(hwnd);
    else if (GetCapture() == hwnd)
        ReleaseCapture();
}

int GedPane::askYesNo(unsigned int text, unsigned int caption)
{
    if (!isWindow())
        return 0;
    std::string body = getResString(text);
    std::string title = getResString(caption);
    // Both texts are kept to 200 characters.
    body = body.substr(0, 200);
    title = title.substr(0, 200);
    return MessageBoxA(hwnd, body.c_str(), title.c_str(), MB_YESNO | MB_ICONEXCLAMATION) == IDYES ? 1 : 0;
}

void GedPane::showInsertMenu(const Point& client)
{
    if (!isWindow())
        return;
    delete insertMenu;
    paneCommands->setLibraryMenu(nullptr);
    insertMenu = new InsertPopupMenu(client, this, theWorkspace ? &theWorkspace->libraries : nullptr,
                                theWorkspace ? theWorkspace->libraryCount : 0);
    paneCommands->setLibraryMenu(&insertMenu->nodes());
    insertMenu->track();
}

void GedPane::showBlockMenu(const Point& client, BlockObject& block)
{
    if (!isWindow())
        return;
    delete blockMenu;
    blockMenu = new BlockContextMenu(client, this, block);
    blockMenu->track();
}

int GedPane::editTextBlock(BlockObject& block)
{
    TextBlockDialog* dialog = new TextBlockDialog(this, &block);
    KYT_ASSERT_TEXT(dialog, "blDlg != NULL");
    int accepted = dialog->accepted;
    if (accepted)
        dialog->apply(block);
    delete dialog;
    return accepted;
}

int GedPane::editFrameBlock(BlockObject& block)
{
    FrameBlockDialog* dialog = new FrameBlockDialog(this, &block);
    KYT_ASSERT_TEXT(dialog, "blDlg != NULL");
    int accepted = dialog->accepted;
    if (accepted)
        dialog->apply(block);
    delete dialog;
    return accepted;
}

int GedPane::copyToClipboard()
{
    RECT client = {0, 0, 0, 0};
    if (isWindow())
        GetClientRect(hwnd, &client);
    const int width = client.right > 0 ? client.right : 1;
    const int height = client.bottom > 0 ? client.bottom : 1;
    Clipboard clipboard(this);
    clipboard.empty();
    MemoryDC* memory = new MemoryDC(*own, width, height);
    KYT_ASSERT_TEXT(memory->bitmap() && memory->bitmap()->bitmap(), "bit");
    pushContext(memory);
    dcChanged();
    // The visible part of the document, on the memory context's background.
    const Point origin = own->windowOrigin();
    RECT all = {0, 0, width, height};
    HBRUSH background = CreateSolidBrush(RGB(255, 255, 255));
    FillRect(memory->hdc, &all, background);
    DeleteObject(background);
    SetWindowOrgEx(memory->hdc, origin.x(), origin.y(), nullptr);
    DcCanvas onMemory(*memory);
    DcCanvas* screen = drawing;
    drawing = &onMemory;
    circuit.paint(*this, Rect(origin.x(), origin.y(), origin.x() + width, origin.y() + height));
    drawing = screen;
    SetWindowOrgEx(memory->hdc, 0, 0, nullptr);
    popContext();
    dcChanged();
    clipboard.putBitmap(memory->selectBitmap(nullptr));
    delete memory;
    return 1;
}

void GedPane::copyToClipFile()
{
    if (clipCommands)
        clipCommands->copyToClipFile();
}

void GedPane::cutToClipFile()
{
    if (clipCommands)
        clipCommands->cutToClipFile();
}

void GedPane::pasteFromClipFile()
{
    if (clipCommands)
        clipCommands->pasteFromClipFile();
}

intptr_t WindowsLockFileSystem::open(const char* path)
{
    HANDLE h = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return h == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<intptr_t>(h);
}

void WindowsLockFileSystem::close(intptr_t handle)
{
    if (handle)
        CloseHandle(reinterpret_cast<HANDLE>(handle));
}
