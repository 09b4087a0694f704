#include "GedPane.h"

#include "Application.h"
#include "EditorStores.h"
#include "PiLoader.h"
#include "Printing.h"
#include "Profile.h"
#include "ResString.h"
#include "ResetSimulator.h"
#include "SignalNameRegistry.h"
#include "UnitPoint.h"
#include "Workspace.h"

namespace {

const unsigned int kResPrintJobName = 19011;

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

GedPane::GedPane(WindowCL* parentWindow, Geometry* geometry, DWORD paneStyle)
    : PaneWindowCL(parentWindow, geometry, paneStyle | WS_HSCROLL | WS_VSCROLL), circuit(this),
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
}

GedPane::~GedPane()
{
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
    // No printer installed at all: there is nothing to choose from.
    if (!printer->hasPrinter() && printerDevices().empty()) {
        delete printer;
        return 0;
    }
    if (!printer->setup() || !printer->hasPrinter()) {
        delete printer;
        return 0;
    }
    WindowCL* owner = theApplication ? static_cast<WindowCL*>(theApplication->mainFrame) : nullptr;
    PrintAbortDialogCL* dialog = new PrintAbortDialogCL(owner, ResourceId(PrintAbortDialogCL::kProgramTemplate));
    PrintJob* job = new PrintJob(this, printer, dialog);
    job->setDocName(getResString(kResPrintJobName));
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
