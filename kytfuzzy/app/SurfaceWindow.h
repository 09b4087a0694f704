// The control surface of a fuzzy block in a window of its own: the output
// over a grid of two inputs, drawn with OpenGL as a coloured mesh in a box
// with dotted grid walls, tick labels and axis names. The view turns in
// steps of 10 degrees; the grid saves as a text table or MATLAB commands.
// There is at most one surface window at a time.
#ifndef KYT_KYTFUZZY_SURFACEWINDOW_H
#define KYT_KYTFUZZY_SURFACEWINDOW_H

#include "Characteristic.h"
#include "FuzzyOptions.h"
#include "GLPaneWindow.h"

#include <string>

class ToolBarCL;

// Commands of the window (menu 18036 and its tool bar).
enum SurfaceCommand {
    SURFACE_EXPORT_TEXT = 18034,
    SURFACE_EXPORT_MATLAB = 18035,
    SURFACE_SOLID_LINES = 18044,
    SURFACE_EDITOR_TO_FRONT = 18045,
    SURFACE_TURN_UP = 18231,
    SURFACE_TURN_LEFT = 18232,
    SURFACE_TURN_DOWN = 18233,
    SURFACE_TURN_RIGHT = 18234,
    SURFACE_HOME = 18235
};

const int kSurfaceMenu = 18036;
const int kSurfaceIcon = 18237;

// The file an export writes to (the save dialog with its title and
// filters, pairs of text and pattern ending in null); false when cancelled.
// Tests install answers of their own; null restores the dialog.
typedef bool (*CharacteristicFileChooser)(WindowCL* owner, const char* title, const char* const* filters,
                                          std::string& path);
void setCharacteristicFileChooser(CharacteristicFileChooser chooser);
// Asks the chooser, then completes the name with the extension.
bool chooseCharacteristicFile(WindowCL* owner, bool matlab, std::string& path);

// The view angles, shared by every surface window of the run.
struct SurfaceView {
    double aboutX = -65.0;
    double aboutZ = 30.0;
};
SurfaceView& surfaceView();

class GLMeshWindow : public GLPaneWindowCL {
public:
    // Takes the grid; keepView 0 resets the view angles. The background is
    // the colour of the graphic panes.
    GLMeshWindow(SurfaceGrid grid, int keepView, const FuzzyPaneColor& background);
    ~GLMeshWindow() override;

    LRESULT onSize(EventRecord* event) override;
    LRESULT onClose(EventRecord* event) override;
    LRESULT onCommand(EventRecord* event) override;
    int draw() override;

    const SurfaceGrid& grid() const { return points; }
    bool dottedLines() const { return dotted != 0; }
    ToolBarCL* toolBar() const { return bar; }
    // Live windows of the class (each destroyed exactly once).
    static int liveCount();

private:
    void setUpGl();
    void projectAndRedraw();
    void setProjection(bool force);
    void centredText(double x, double y, double z, const std::string& text);
    void exportGrid(bool matlab);

    SurfaceGrid points;
    FuzzyPaneColor background;
    SurfaceBox box{};
    RECT client{};
    unsigned int fontBase = 0;
    int resizePending = 1;
    int dotted = 0;
    ToolBarCL* bar = nullptr;
};

// Replaces the surface window by a new one over the grid; the editor frame
// is what command 18045 brings to the front.
void openSurfaceWindow(WindowCL* editorFrame, SurfaceGrid grid, int keepView, const FuzzyPaneColor& background);
// Deletes the surface window, if there is one.
void deleteSurfaceWindow();
// Hidden and shown again: to the front. 0 when there is none.
int raiseSurfaceWindow();
GLMeshWindow* currentSurfaceWindow();

#endif
