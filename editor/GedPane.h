// The circuit editing pane of the main window: a framework pane that owns
// the circuit model, shows it over a 2000 x 2000 document and prints it.
// Keys, mouse and commands come with their own classes.
#ifndef KYT_EDITOR_GEDPANE_H
#define KYT_EDITOR_GEDPANE_H

#include "CircuitModel.h"
#include "DcCanvas.h"
#include "LocalLibrary.h"
#include "Pane.h"

class IconStore;
class SignalNameRegistry;

// The pane's background.
const Color kPaneBackground(255, 255, 232);
// The document the scroll bars cover.
const int kDocumentExtent = 2000;
// The design cursor of editor/'s resources.
const int kDesignCursor = 122;

class GedPane : public PaneWindowCL, public PaneView {
public:
    GedPane(WindowCL* parent, Geometry* geometry, DWORD style);
    ~GedPane() override;

    // kyt.ini of the installation directory into the workspace (a fatal
    // error when it cannot be opened).
    void readIniSetup(const char* installDirectory);

    int getExtent(Point& size) override;
    LRESULT paint(DeviceContext& dc) override;
    // The print command: set-up dialog, then a print job with the abort
    // dialog 21001; 1 when a job was started.
    int print();
    int printTo(DeviceContext* printer, int flag) override;

    // PaneView.
    Canvas& canvas() override { return *drawing; }
    Point scrollOffset() const override { return Point(0, 0); }
    void notePainted() override {}
    void invalidateRect(const Rect& pixels, int erase) override;
    void beep() override;
    void invalidateAll() override;
    void paintNow(GraphicObject& object, int zoomX, int zoomY) override;
    void showWaitCursor() override;
    void restoreCursor() override;

    CircuitModel& model() { return circuit; }
    // The circuit text of the pane's circuit, and reading one into it.
    void writeCircuit(FILE* stream, int forCompiler, int markedOnly)
    {
        circuit.writeCircuit(stream, forCompiler, markedOnly);
    }
    void readCircuit(CircuitReader& reader) { circuit.readCircuit(reader); }

private:
    CircuitModel circuit;
    HCURSOR previousCursor = nullptr;
    DcCanvas* drawing;
    IconStore* ownIcons;
    SignalNameRegistry* ownRegistry;
};

// The instance lock of the programs: kyt.lock opened with share mode 0.
class WindowsLockFileSystem : public LockFileSystem {
public:
    intptr_t open(const char* path) override;
    void close(intptr_t handle) override;
};

#endif
