#include "Characteristic.h"

#include "ErrorReporter.h"
#include "FileLayer.h"
#include "FuzzyKernel.h"
#include "NumberField.h"
#include "NumberFormat.h"
#include "ResString.h"
#include "strings/KytfuzzyStrings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {


std::string number(double v)
{
    return formatDouble(v).text();
}

// The text read as a number and cut to a whole one (no number: 0).
double wholeValue(const std::string& text)
{
    // The number fields' rule first ("10,0" is 10); else the leading number.
    double v = 0;
    if (!readNumberField(text.c_str(), &v))
        parseNumber(text.c_str(), &v);
    if (!std::isfinite(v))
        return 0;
    return std::trunc(v);
}

// A step count as OK takes it: whole, positive, and at most so many that
// the grid stays small enough to compute.
std::string confirmedDivision(const std::string& text)
{
    double v = std::fabs(wholeValue(text));
    v = std::min<double>(v, SurfaceChoiceModel::kMaxDivisions);
    return number(v);
}

// Below one step there is no grid to draw: raising it to one would show a
// straight line between the two ends that says nothing about the block.
bool tooFewDivisions(const std::string& text)
{
    return std::fabs(wholeValue(text)) < SurfaceChoiceModel::kMinDivisions;
}

bool contains(const std::vector<std::string>& names, const std::string& name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

} // namespace

SurfaceChoice& rememberedSurfaceChoice()
{
    static SurfaceChoice choice;
    return choice;
}

SurfaceChoiceModel::SurfaceChoiceModel(const std::vector<std::string>& inputs,
                                       const std::vector<std::string>& outputs)
    : inputCount(static_cast<int>(inputs.size()))
{
    const SurfaceChoice& last = rememberedSurfaceChoice();
    bool xFound = !last.x.empty() && contains(inputs, last.x);
    x = xFound ? last.x : (inputs.empty() ? "" : inputs[0]);
    xDivision = xFound ? last.xDivision : "20";
    bool yFound = false;
    if (inputCount >= 2) {
        yFound = !last.y.empty() && contains(inputs, last.y);
        y = yFound ? last.y : inputs[1];
        yDivision = yFound ? last.yDivision : "20";
    } else {
        y = " ";
        yDivision = "0";
    }
    bool zFound = !last.z.empty() && contains(outputs, last.z);
    z = zFound ? last.z : (outputs.empty() ? "" : outputs[0]);
    choiceStillValid = xFound && yFound && zFound ? 1 : 0;
}

std::string SurfaceChoiceModel::leaveDivisionField(const std::string& text)
{
    double v = std::fabs(wholeValue(text));
    return number(v < 5 ? 5 : v);
}

SurfaceConfirm SurfaceChoiceModel::confirm()
{
    if (x.empty() || z.empty() || (hasYAxis() && (y.empty() || x == y)))
        return SURFACE_AXIS_MISSING;
    if (tooFewDivisions(xDivision))
        return SURFACE_X_DIVISION_ZERO;
    if (hasYAxis() && tooFewDivisions(yDivision))
        return SURFACE_Y_DIVISION_ZERO;
    xDivision = confirmedDivision(xDivision);
    if (hasYAxis())
        yDivision = confirmedDivision(yDivision);
    rememberedSurfaceChoice() = SurfaceChoice{x, xDivision, y, yDivision, z};
    return SURFACE_CONFIRMED;
}

int SurfaceChoiceModel::xDivisions() const
{
    return static_cast<int>(wholeValue(xDivision));
}

int SurfaceChoiceModel::yDivisions() const
{
    return hasYAxis() ? static_cast<int>(wholeValue(yDivision)) : 0;
}

std::string rangeMidpointText(double xmin, double xmax)
{
    return number(xmin + 0.5 * (xmax - xmin));
}

double cellValue(const std::string& text)
{
    // A decimal comma is read as German users mean it ("0,5" was 0).
    double v = 0;
    if (readNumberField(text.c_str(), &v))
        return v;
    if (parseNumber(text.c_str(), &v) == 0)
        return 0;
    return v;
}

bool computeCharacteristic(FuzzyKernel* kernel, const std::string& xName, int xDivisions,
                           const std::string& yName, int yDivisions, const std::string& zName, SurfaceGrid* grid)
{
    FuzzyIoNode* xInput = kernel ? kernel->findInput(xName.c_str()) : nullptr;
    FuzzyIoNode* yInput = kernel && !yName.empty() ? kernel->findInput(yName.c_str()) : nullptr;
    FuzzyIoNode* output = kernel ? kernel->findOutput(zName.c_str()) : nullptr;
    if (!xInput || !output || (!yName.empty() && !yInput) || xDivisions < 1 || (yInput && yDivisions < 1))
        return false;
    int xSteps = xDivisions;
    int ySteps = yInput ? yDivisions : 0;
    grid->nx = xSteps + 1;
    grid->ny = ySteps + 1;
    grid->xName = xName;
    grid->yName = yInput ? yName : "";
    grid->zName = zName;
    double xRange = xInput->maximum - xInput->minimum;
    double yRange = yInput ? yInput->maximum - yInput->minimum : 0;
    grid->bounds = {xInput->minimum, xRange, yInput ? yInput->minimum : 0, yRange, output->minimum,
                    output->maximum - output->minimum};
    grid->points.clear();
    grid->points.reserve(static_cast<size_t>(grid->nx) * static_cast<size_t>(grid->ny));
    for (int i = 0; i <= xSteps; ++i) {
        // The step is divided in floating point: no count makes it NaN.
        double xv = static_cast<double>(i) / xSteps * xRange + xInput->minimum;
        setFuzzyInput(kernel, xInput->name, xv);
        for (int j = 0; j <= ySteps; ++j) {
            double yv = 0;
            if (yInput) {
                yv = static_cast<double>(j) / ySteps * yRange + yInput->minimum;
                setFuzzyInput(kernel, yInput->name, yv);
            }
            SimulateStep(kernel);
            grid->points.push_back({xv, yv, getFuzzyOutput(kernel, output->name)});
        }
    }
    return true;
}

SurfaceBox surfaceBox(const SurfaceBounds& b)
{
    SurfaceBox box;
    box.xRange = b.xRange == 0 ? 1.0 : b.xRange;
    box.yRange = b.yRange == 0 ? 1.0 : b.yRange;
    box.zRange = b.zRange == 0 ? 1.0 : b.zRange;
    box.xMin = b.xMin;
    box.yMin = b.yMin;
    box.zMin = b.zMin;
    box.xMax = box.xMin + box.xRange;
    box.yMax = box.yMin + box.yRange;
    box.zMax = box.zMin + box.zRange;
    return box;
}

std::array<float, 3> surfaceColor(double z, double zMin, double zRange)
{
    float f = static_cast<float>((z - zMin) / zRange);
    if (f <= 0.5f)
        return {f, 1 - 2 * f, f};
    float r = std::min(2 * f - 0.5f, 1.0f);
    float g = f > 0.75f ? 4 * f - 3 : 0.0f;
    return {r, g, 1 - r};
}

std::vector<std::array<int, 3>> surfaceTriangles(const SurfaceGrid& grid)
{
    std::vector<std::array<int, 3>> triangles;
    for (int i = 0; i + 1 < grid.nx; ++i)
        for (int j = 0; j + 1 < grid.ny; ++j) {
            int p00 = i * grid.ny + j, p01 = p00 + 1, p10 = p00 + grid.ny, p11 = p10 + 1;
            triangles.push_back({p00, p01, p10});
            triangles.push_back({p01, p10, p11});
        }
    return triangles;
}

std::vector<std::array<int, 4>> surfaceMeshLines(const SurfaceGrid& grid)
{
    std::vector<std::array<int, 4>> lines;
    for (int i = 0; i + 1 < grid.nx; ++i)
        for (int j = 0; j + 1 < grid.ny; ++j) {
            int p00 = i * grid.ny + j;
            lines.push_back({p00, p00 + 1, p00, p00 + grid.ny});
        }
    return lines;
}

namespace {

int level(int value, int bits)
{
    static const int one[] = {0, 255};
    static const int two[] = {0, 85, 170, 255};
    static const int three[] = {0, 36, 73, 109, 146, 182, 219, 255};
    switch (bits) {
    case 1:
        return one[value & 1];
    case 2:
        return two[value & 3];
    case 3:
        return three[value & 7];
    default:
        return 0;
    }
}

struct SystemColor {
    int index;
    PaletteColor color;
};

// The first twelve non-black static colours of the default palette.
const SystemColor kSystemColors[] = {
    {3, {128, 0, 0}},     {24, {0, 128, 0}},     {27, {128, 128, 0}},   {64, {0, 0, 128}},
    {67, {128, 0, 128}},  {88, {0, 128, 128}},   {173, {192, 192, 192}}, {181, {192, 220, 192}},
    {236, {166, 202, 240}}, {247, {255, 251, 240}}, {164, {160, 160, 164}}, {91, {128, 128, 128}},
};

} // namespace

std::vector<PaletteColor> buildGlPalette(const PixelLayout& p)
{
    std::vector<PaletteColor> palette;
    // Only palette devices have one; they have at most 8 bits a pixel.
    if (!p.needsPalette || p.colorBits < 1 || p.colorBits > 8)
        return palette;
    int n = 1 << p.colorBits;
    auto component = [](int i, int bits, int shift) {
        int mask = bits > 0 && bits < 31 ? (1 << bits) - 1 : 0;
        return static_cast<unsigned char>(level((i >> shift) & mask, bits));
    };
    for (int i = 0; i < n; ++i)
        palette.push_back({component(i, p.redBits, p.redShift), component(i, p.greenBits, p.greenShift),
                           component(i, p.blueBits, p.blueShift)});
    if (p.colorBits == 8 && p.redBits == 3 && p.redShift == 0 && p.greenBits == 3 && p.greenShift == 3 &&
        p.blueBits == 2 && p.blueShift == 6)
        for (const SystemColor& s : kSystemColors)
            palette[static_cast<size_t>(s.index)] = s.color;
    return palette;
}

std::string characteristicText(const SurfaceGrid& grid)
{
    std::string text;
    if (grid.isCurve()) {
        for (int i = 0; i < grid.nx; ++i)
            text += " " + number(grid.at(i, 0).z);
        return text;
    }
    for (int i = 0; i < grid.nx; ++i) {
        for (int j = 0; j < grid.ny; ++j)
            text += " " + number(grid.at(i, j).z);
        text += "\n";
    }
    return text;
}

std::string characteristicMatlab(const SurfaceGrid& grid)
{
    SurfaceBox box = surfaceBox(grid.bounds);
    auto list = [](const std::vector<double>& values, const char* separator) {
        std::string text;
        for (size_t k = 0; k < values.size(); ++k)
            text += (k == 0 ? "\t" : separator) + number(values[k]);
        return text;
    };
    auto axis = [](int n, double min, double range) {
        std::vector<double> values;
        for (int k = 0; k < n; ++k)
            values.push_back(n > 1 ? min + static_cast<double>(k) / (n - 1) * range : min);
        return values;
    };
    std::string text = "x_axis = [\n" + list(axis(grid.nx, box.xMin, box.xRange), ",\n\t") + " ];\n";
    if (grid.isCurve()) {
        std::vector<double> outputs;
        for (int i = 0; i < grid.nx; ++i)
            outputs.push_back(grid.at(i, 0).z);
        text += "geb = [\n" + list(outputs, ",\n\t") + " ];\n";
        text += "plot(x_axis,geb);\n";
        text += "xlabel('" + grid.xName + "');\n";
        text += "ylabel('" + grid.zName + "');\n";
        return text;
    }
    text += "y_axis = [\n" + list(axis(grid.ny, box.yMin, box.yRange), ",\n\t") + " ];\n";
    // One block per y value, the outputs over x: geb has a row per y and a
    // column per x, as surf(x_axis, y_axis, geb) wants it.
    text += "geb = [[\n";
    for (int j = 0; j < grid.ny; ++j) {
        std::vector<double> column;
        for (int i = 0; i < grid.nx; ++i)
            column.push_back(grid.at(i, j).z);
        text += list(column, "\n\t");
        text += j + 1 < grid.ny ? "]'\n\t[\n" : " ]'\n];\n";
    }
    text += "surf(x_axis,y_axis,geb);\n";
    text += "axis([min(x_axis) max(x_axis) min(y_axis) max(y_axis) min(min(geb)) max(max(geb))]);\n";
    text += "xlabel('" + grid.xName + "');\n";
    text += "ylabel('" + grid.yName + "');\n";
    text += "zlabel('" + grid.zName + "');\n";
    text += "grid;\n";
    return text;
}

namespace {

bool writeExport(const char* path, const std::string& text)
{
    bool written = writeFileChecked(path, "wt", [&](FILE* out) {
        return fwrite(text.data(), 1, text.size(), out) == text.size();
    });
    if (!written)
        reportError(ERR_ERROR, getResString(kStrFzCannotWrite), path);
    return written;
}

} // namespace

bool writeCharacteristicText(const char* path, const SurfaceGrid& grid)
{
    return writeExport(path, characteristicText(grid));
}

bool writeCharacteristicMatlab(const char* path, const SurfaceGrid& grid)
{
    return writeExport(path, characteristicMatlab(grid));
}

AboutLayout aboutLayout(int pictureWidth, int pictureHeight, int nonClientWidth, int nonClientHeight,
                        const AboutRect& parent, int buttonWidth, int buttonHeight)
{
    AboutLayout l;
    l.box.width = pictureWidth + nonClientWidth;
    l.box.height = pictureHeight + nonClientHeight;
    l.box.left = parent.left + (parent.width - l.box.width) / 2;
    l.box.top = parent.top + (parent.height - l.box.height) / 2;
    int width = l.box.width;
    l.buttonY = l.box.height - static_cast<int>(1.2 * buttonHeight) - l.box.height / 6;
    l.centreX = width / 2 - buttonWidth / 2;
    l.leftX = width / 6 - buttonWidth / 2;
    l.rightX = 5 * width / 6 - buttonWidth / 2;
    return l;
}

AboutRect creditWindowPlace(const AboutRect& about, int place, int width, int height)
{
    AboutRect r{0, about.top + (about.height - height) / 2, width, height};
    if (place == 0)
        r.left = about.left;
    else if (place == 2)
        r.left = about.left + about.width - width;
    else
        r.left = about.left + (about.width - width) / 2;
    return r;
}
