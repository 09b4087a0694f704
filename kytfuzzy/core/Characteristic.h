// The characteristic of a fuzzy block without windows: the choice of axes
// and step counts, the fixed values of the other inputs, the grid computed
// with the kernel, the colours and meshes the surface window draws, the
// palette of its OpenGL window, the text and MATLAB exports, and the layout
// of the About box.
#ifndef KYT_KYTFUZZY_CHARACTERISTIC_H
#define KYT_KYTFUZZY_CHARACTERISTIC_H

#include <array>
#include <string>
#include <vector>

class FuzzyKernel;

// --- The choice of axes ("Berechnung der Regelkennfläche ...") -----------

// Remembered for the rest of the program's run.
struct SurfaceChoice {
    std::string x, xDivision, y, yDivision, z;
};
SurfaceChoice& rememberedSurfaceChoice();

// What OK makes of the dialog's fields.
enum SurfaceConfirm {
    SURFACE_CONFIRMED = 0,
    SURFACE_AXIS_MISSING = 1,    // an axis not chosen, or x equal to y
    SURFACE_X_DIVISION_ZERO = 2, // a division below 1: a curve of one step
    SURFACE_Y_DIVISION_ZERO = 3  // would only join its two end points
};

// The fields of the dialog over the block's input and output names.
class SurfaceChoiceModel {
public:
    // Step counts OK accepts.
    static const int kMinDivisions = 1;
    static const int kMaxDivisions = 500;

    SurfaceChoiceModel(const std::vector<std::string>& inputs, const std::vector<std::string>& outputs);

    // A division field's text when it loses the focus: whole, positive and
    // at least 5.
    static std::string leaveDivisionField(const std::string& text);
    // OK: anything but SURFACE_CONFIRMED keeps the dialog open (an axis
    // missing, x equal to y, a division that is no whole number of at least
    // 1); confirmed, the divisions are whole and positive and the choice is
    // remembered.
    SurfaceConfirm confirm();

    int xDivisions() const;
    int yDivisions() const;
    bool hasYAxis() const { return inputCount >= 2; }

    std::string x, xDivision, y, yDivision, z;
    // The remembered x, y and z all name variables of the block.
    int choiceStillValid = 0;

private:
    int inputCount;
};

// --- The values of the other inputs ("Initialisierung ...") ---------------

// The proposed value: the middle of the range.
std::string rangeMidpointText(double xmin, double xmax);
// The value of a cell; text that is no number gives 0.
double cellValue(const std::string& text);

// --- The grid --------------------------------------------------------------

struct SurfacePoint {
    double x, y, z;
};

// Minimum and range of the x input, the y input and the output (the
// variables' own limits).
struct SurfaceBounds {
    double xMin, xRange, yMin, yRange, zMin, zRange;
};

struct SurfaceGrid {
    // Points along x and y; ny is 1 for a curve over one input.
    int nx = 0, ny = 0;
    // Record i * ny + j is the point of x index i and y index j.
    std::vector<SurfacePoint> points;
    SurfaceBounds bounds{};
    std::string xName, yName, zName;

    const SurfacePoint& at(int i, int j) const { return points[static_cast<size_t>(i * ny + j)]; }
    bool isCurve() const { return yName.empty(); }
};

// Evaluates the kernel over the grid: xDivisions + 1 points from XMIN to
// XMAX of the x input (and likewise for y unless yName is empty), the
// output read at each. The other inputs keep their values. False when a
// name is not found.
bool computeCharacteristic(FuzzyKernel* kernel, const std::string& xName, int xDivisions,
                           const std::string& yName, int yDivisions, const std::string& zName, SurfaceGrid* grid);

// The box the surface is drawn in: a range of exactly 0 drawn as 1.0.
struct SurfaceBox {
    double xMin, xMax, yMin, yMax, zMin, zMax;
    double xRange, yRange, zRange;
};
SurfaceBox surfaceBox(const SurfaceBounds& bounds);

// Colour of a vertex at height z: green at the bottom, violet in the
// middle, red at three quarters, yellow at the top.
std::array<float, 3> surfaceColor(double z, double zMin, double zRange);

// Two triangles per grid cell (P00 P01 P10 and P01 P10 P11) and the mesh
// lines P00-P01 and P00-P10 of each cell, as point indexes.
std::vector<std::array<int, 3>> surfaceTriangles(const SurfaceGrid& grid);
std::vector<std::array<int, 4>> surfaceMeshLines(const SurfaceGrid& grid);

// --- The OpenGL window's palette --------------------------------------------

struct PixelLayout {
    bool needsPalette;
    int colorBits;
    int redBits, redShift, greenBits, greenShift, blueBits, blueShift;
};
struct PaletteColor {
    unsigned char red, green, blue;
};
// The logical palette of a device that needs one (empty otherwise); an
// 8-bit 3-3-2 layout also gets the twelve system colours.
std::vector<PaletteColor> buildGlPalette(const PixelLayout& layout);

// --- Exports -----------------------------------------------------------------

// The grid as lines of " z" (one line per x value; a curve is one line
// without a line end), and as MATLAB commands. A file that cannot be
// written is reported at level 2 with its name; nothing is left behind and
// the result is false.
bool writeCharacteristicText(const char* path, const SurfaceGrid& grid);
bool writeCharacteristicMatlab(const char* path, const SurfaceGrid& grid);
std::string characteristicText(const SurfaceGrid& grid);
std::string characteristicMatlab(const SurfaceGrid& grid);

// --- The About box -------------------------------------------------------------

struct AboutRect {
    int left, top, width, height;
};
struct AboutLayout {
    AboutRect box;
    int buttonY;
    int centreX, leftX, rightX;
};
// The box fits the picture plus the window's border (nonClient: window size
// minus client size) and is centred on the parent; the buttons (button
// size in pixels) sit in a row near the bottom.
AboutLayout aboutLayout(int pictureWidth, int pictureHeight, int nonClientWidth, int nonClientHeight,
                        const AboutRect& parent, int buttonWidth, int buttonHeight);
// Where a credit picture window of the given size opens: 0 left, 1 centre,
// 2 right of the About box, vertically centred on it.
AboutRect creditWindowPlace(const AboutRect& about, int place, int width, int height);

#endif
