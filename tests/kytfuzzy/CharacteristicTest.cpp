// The characteristic without windows: the dialogs' fields, the grid on the
// kernel, colours, meshes, palette, exports and the About box's layout.
#include "Characteristic.h"
#include "EditorStrings.h"
#include "ErrorReporter.h"
#include "FuzzyKernel.h"
#include "FuzzyParser.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// u = e (plus de): two ramps of sets whose centroids lie on a straight line.
const char* kTwoInputs =
    "FBLOCK \"lin\";\n"
    "CONFIGURATION;\n   AND_METHOD = min;\n   OR_METHOD = max;\n   INFERENCE_METHOD = max_min;\n"
    "   DEFUZZIFICATION_METHOD = centroid;\nENDCONFIGURATION;\n"
    "INPUTVAR e;\n   XMIN -1;\n   XMAX 1;\n   MEMBER N;\n      TRAPEZ -1, -1, -1, 1;\n   ENDMEMBER;\n"
    "   MEMBER P;\n      TRAPEZ -1, 1, 1, 1;\n   ENDMEMBER;\nENDINPUTVAR;\n"
    "INPUTVAR de;\n   XMIN 0;\n   XMAX 4;\n   MEMBER N;\n      TRAPEZ 0, 0, 0, 4;\n   ENDMEMBER;\n"
    "   MEMBER P;\n      TRAPEZ 0, 4, 4, 4;\n   ENDMEMBER;\nENDINPUTVAR;\n"
    "OUTPUTVAR u;\n   XMIN -1;\n   XMAX 1;\n   MEMBER N;\n      TRAPEZ -1, -1, -1, 1;\n   ENDMEMBER;\n"
    "   MEMBER P;\n      TRAPEZ -1, 1, 1, 1;\n   ENDMEMBER;\nENDOUTPUTVAR;\n"
    "RULEBASE;\nIF (e==N) THEN u=N;\nIF (e==P) THEN u=P;\nIF (de==N) THEN u=N WITH 0.5;\nENDRULEBASE;\nENDFBLOCK;\n";

class CharacteristicTest : public EditorStringsTest {
protected:
    void SetUp() override
    {
        EditorStringsTest::SetUp();
        char tmpl[] = "/tmp/kytfuzzycharXXXXXX";
        ASSERT_TRUE(mkdtemp(tmpl));
        dir = tmpl;
        rememberedSurfaceChoice() = SurfaceChoice();
    }
    void TearDown() override
    {
        if (kernel)
            freeFuzzyBlock(kernel);
        std::string cmd = "rm -rf '" + dir + "'";
        EXPECT_EQ(0, system(cmd.c_str()));
        EditorStringsTest::TearDown();
    }
    FuzzyKernel* read(const std::string& text)
    {
        std::string path = dir + "/block.kyb";
        std::ofstream(path, std::ios::binary) << text;
        FuzzyReadResult result;
        String detail;
        kernel = readFuzzyBlockFile(path.c_str(), kFuzzyCheckTexts, &result, &detail);
        EXPECT_TRUE(kernel) << detail.text();
        return kernel;
    }
    std::string fileText(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string dir;
    FuzzyKernel* kernel = nullptr;
};

TEST_F(CharacteristicTest, ChoiceOfAxes)
{
    SurfaceChoiceModel first({"e1", "e2", "e3"}, {"a1"});
    EXPECT_EQ("e1", first.x);
    EXPECT_EQ("e2", first.y);
    EXPECT_EQ("20", first.xDivision);
    EXPECT_EQ("20", first.yDivision);
    EXPECT_EQ("a1", first.z);
    EXPECT_EQ(0, first.choiceStillValid);
    ASSERT_EQ(SURFACE_CONFIRMED, first.confirm());
    EXPECT_EQ("20.", first.xDivision);

    SurfaceChoiceModel again({"e1", "e2", "e3"}, {"a1"});
    EXPECT_EQ(1, again.choiceStillValid);
    // Renamed variables bring the defaults back.
    SurfaceChoiceModel renamed({"e1", "x2", "e3"}, {"a1"});
    EXPECT_EQ("x2", renamed.y);
    EXPECT_EQ(0, renamed.choiceStillValid);

    // A division below 1 is refused (nothing confirmed: the choice
    // remembered stays the last one), on either axis.
    struct Case {
        const char* typed;
        const char* left;
        SurfaceConfirm onX;
        SurfaceConfirm onY;
        const char* confirmed;
    } cases[] = {
        {"-7.9", "7.", SURFACE_CONFIRMED, SURFACE_CONFIRMED, "7."},
        {"2", "5.", SURFACE_CONFIRMED, SURFACE_CONFIRMED, "2."},
        {"1", "5.", SURFACE_CONFIRMED, SURFACE_CONFIRMED, "1."},
        {"0", "5.", SURFACE_X_DIVISION_ZERO, SURFACE_Y_DIVISION_ZERO, nullptr},
        {"0.9", "5.", SURFACE_X_DIVISION_ZERO, SURFACE_Y_DIVISION_ZERO, nullptr},
        {"-0.5", "5.", SURFACE_X_DIVISION_ZERO, SURFACE_Y_DIVISION_ZERO, nullptr},
        {"abc", "5.", SURFACE_X_DIVISION_ZERO, SURFACE_Y_DIVISION_ZERO, nullptr},
        {"100000", "100000.", SURFACE_CONFIRMED, SURFACE_CONFIRMED, "500."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.left, SurfaceChoiceModel::leaveDivisionField(c.typed)) << c.typed;
        for (int axis = 0; axis < 2; ++axis) {
            rememberedSurfaceChoice() = SurfaceChoice{"e1", "20.", "e2", "20.", "a1"};
            SurfaceChoiceModel m({"e1", "e2"}, {"a1"});
            (axis ? m.yDivision : m.xDivision) = c.typed;
            EXPECT_EQ(axis ? c.onY : c.onX, m.confirm()) << c.typed << " on axis " << axis;
            if (c.confirmed)
                EXPECT_EQ(c.confirmed, axis ? m.yDivision : m.xDivision) << c.typed;
            else
                EXPECT_EQ("20.", axis ? rememberedSurfaceChoice().yDivision : rememberedSurfaceChoice().xDivision);
        }
    }

    SurfaceChoiceModel same({"e1", "e2"}, {"a1"});
    same.y = "e1";
    EXPECT_EQ(SURFACE_AXIS_MISSING, same.confirm());

    SurfaceChoiceModel one({"e"}, {"u"});
    EXPECT_FALSE(one.hasYAxis());
    EXPECT_EQ(" ", one.y);
    EXPECT_EQ("0", one.yDivision);
    EXPECT_EQ(0, one.choiceStillValid);
    // Its disabled y division of 0 is no refusal.
    EXPECT_EQ(SURFACE_CONFIRMED, one.confirm());
    EXPECT_EQ(0, one.yDivisions());
    one.xDivision = "0";
    EXPECT_EQ(SURFACE_X_DIVISION_ZERO, one.confirm());

    EXPECT_EQ("2.", rangeMidpointText(0, 4));
    EXPECT_EQ(0, cellValue("abc"));
    EXPECT_EQ(1.5, cellValue("1.5"));
    // A decimal comma, as German users type it.
    EXPECT_EQ(0.5, cellValue("0,5"));
    EXPECT_EQ("7.", SurfaceChoiceModel::leaveDivisionField("7,9"));
}

TEST_F(CharacteristicTest, GridOnTheKernel)
{
    ASSERT_TRUE(read(kTwoInputs));
    SurfaceGrid grid;
    ASSERT_TRUE(computeCharacteristic(kernel, "e", 10, "de", 10, "u", &grid));
    EXPECT_EQ(121u, grid.points.size());
    EXPECT_EQ(200u, surfaceTriangles(grid).size());
    EXPECT_EQ(100u, surfaceMeshLines(grid).size());
    // Record i * ny + j: x index major.
    EXPECT_DOUBLE_EQ(-1 + 0.2 * 3, grid.at(3, 7).x);
    EXPECT_DOUBLE_EQ(0.4 * 7, grid.at(3, 7).y);
    for (int i = 0; i < grid.nx; ++i)
        for (int j = 0; j < grid.ny; ++j) {
            setFuzzyInput(kernel, "e", grid.at(i, j).x);
            setFuzzyInput(kernel, "de", grid.at(i, j).y);
            SimulateStep(kernel);
            EXPECT_EQ(getFuzzyOutput(kernel, "u"), grid.at(i, j).z);
        }
    EXPECT_EQ((std::array<int, 3>{0, 1, 11}), surfaceTriangles(grid)[0]);
    EXPECT_EQ((std::array<int, 3>{1, 11, 12}), surfaceTriangles(grid)[1]);

    SurfaceGrid curve;
    ASSERT_TRUE(computeCharacteristic(kernel, "e", 20, "", 0, "u", &curve));
    ASSERT_EQ(21u, curve.points.size());
    for (int i = 0; i <= 20; ++i)
        EXPECT_DOUBLE_EQ(-1 + 2.0 * i / 20, curve.at(i, 0).x);
    EXPECT_FALSE(computeCharacteristic(kernel, "nosuch", 20, "", 0, "u", &curve));
    EXPECT_FALSE(computeCharacteristic(kernel, "e", 0, "", 0, "u", &curve));
}

TEST_F(CharacteristicTest, ColoursBoxAndPalette)
{
    struct Case {
        double f;
        std::array<float, 3> rgb;
    } cases[] = {{0, {0, 1, 0}}, {0.5, {0.5f, 0, 0.5f}}, {0.75, {1, 0, 0}}, {1, {1, 1, 0}}};
    for (const Case& c : cases)
        EXPECT_EQ(c.rgb, surfaceColor(2 + 4 * c.f, 2, 4)) << c.f;

    SurfaceBox box = surfaceBox({3, 0, -1, 2, 0, 0});
    EXPECT_EQ(1.0, box.xRange);
    EXPECT_EQ(4.0, box.xMax);
    EXPECT_EQ(1.0, box.yMax);
    EXPECT_EQ(1.0, box.zRange);

    std::vector<PaletteColor> p = buildGlPalette({true, 8, 3, 0, 3, 3, 2, 6});
    ASSERT_EQ(256u, p.size());
    EXPECT_EQ(128, p[3].red);
    EXPECT_EQ(0, p[3].green);
    EXPECT_EQ(128, p[91].blue);
    EXPECT_EQ(128, p[91].green);
    // Index 255: every component at its top level.
    EXPECT_EQ(255, p[255].red);
    EXPECT_EQ(255, p[255].blue);
    EXPECT_TRUE(buildGlPalette({false, 24, 8, 16, 8, 8, 8, 0}).empty());
}

SurfaceGrid exampleGrid()
{
    // 2 x 2 points: x in {0, 1}, y in {0, 2}; z 1, 2 at x = 0 and 3, 4 at x = 1.
    SurfaceGrid g;
    g.nx = 2;
    g.ny = 2;
    g.points = {{0, 0, 1}, {0, 2, 2}, {1, 0, 3}, {1, 2, 4}};
    g.bounds = {0, 1, 0, 2, 1, 3};
    g.xName = "e";
    g.yName = "de";
    g.zName = "u";
    return g;
}

TEST_F(CharacteristicTest, Exports)
{
    EXPECT_EQ("x_axis = [\n\t0.,\n\t1. ];\ny_axis = [\n\t0.,\n\t2. ];\ngeb = [[\n\t1.\n\t3.]'\n\t[\n\t2.\n\t4. ]'\n];\n"
              "surf(x_axis,y_axis,geb);\n"
              "axis([min(x_axis) max(x_axis) min(y_axis) max(y_axis) min(min(geb)) max(max(geb))]);\n"
              "xlabel('e');\nylabel('de');\nzlabel('u');\ngrid;\n",
              characteristicMatlab(exampleGrid()));

    SurfaceGrid three;
    three.nx = 3;
    three.ny = 2;
    three.points = {{0, 0, 1}, {0, 1, 2}, {1, 0, 3}, {1, 1, 4}, {2, 0, 5}, {2, 1, 0.5}};
    three.bounds = {0, 2, 0, 1, 0, 5};
    three.yName = "y";
    EXPECT_EQ(" 1. 2.\n 3. 4.\n 5. 0.5\n", characteristicText(three));

    SurfaceGrid curve;
    curve.nx = 3;
    curve.ny = 1;
    curve.points = {{-1, 0, -0.5}, {0, 0, 0}, {1, 0, 0.5}};
    curve.bounds = {-1, 2, 0, 0, -1, 2};
    curve.xName = "e";
    curve.zName = "u";
    EXPECT_EQ(" -0.5 0. 0.5", characteristicText(curve));
    EXPECT_EQ("x_axis = [\n\t-1.,\n\t0.,\n\t1. ];\ngeb = [\n\t-0.5,\n\t0.,\n\t0.5 ];\nplot(x_axis,geb);\n"
              "xlabel('e');\nylabel('u');\n",
              characteristicMatlab(curve));

    ASSERT_TRUE(writeCharacteristicText((dir + "/k.txt").c_str(), curve));
    EXPECT_EQ(" -0.5 0. 0.5", fileText(dir + "/k.txt"));
}

class Recorder : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char* text, const char*) override { boxes.push_back(text); }
    [[noreturn]] void endProcess(int code) override { _exit(code); }
    std::vector<std::string> boxes;
};

TEST_F(CharacteristicTest, ExportIntoADirectoryIsReported)
{
    Recorder sink;
    setErrorSink(&sink);
    disableErrorLog();
    std::string target = dir + "/belegt";
    ASSERT_EQ(0, system(("mkdir -p '" + target + "/inhalt'").c_str()));
    EXPECT_FALSE(writeCharacteristicMatlab(target.c_str(), exampleGrid()));
    enableErrorLog();
    setErrorSink(nullptr);
    ASSERT_EQ(1u, sink.boxes.size());
    EXPECT_NE(std::string::npos, sink.boxes[0].find("Die Datei \"" + target + "\" kann nicht geschrieben werden!"));
    EXPECT_EQ("", fileText(target + ".new"));
}

TEST_F(CharacteristicTest, AboutBoxLayout)
{
    // A 400 x 300 picture, borders 8 x 27, parent at (100, 50) 800 x 600,
    // buttons 66 x 20 pixels.
    AboutLayout l = aboutLayout(400, 300, 8, 27, {100, 50, 800, 600}, 66, 20);
    EXPECT_EQ(408, l.box.width);
    EXPECT_EQ(327, l.box.height);
    EXPECT_EQ(100 + (800 - 408) / 2, l.box.left);
    EXPECT_EQ(50 + (600 - 327) / 2, l.box.top);
    EXPECT_EQ(327 - 24 - 54, l.buttonY);
    EXPECT_EQ(204 - 33, l.centreX);
    EXPECT_EQ(68 - 33, l.leftX);
    EXPECT_EQ(340 - 33, l.rightX);
    // A parent at the screen's edge leaves the box partly outside.
    EXPECT_LT(aboutLayout(400, 300, 8, 27, {-300, 0, 200, 200}, 66, 20).box.left, 0);

    AboutRect left = creditWindowPlace(l.box, 0, 100, 80);
    EXPECT_EQ(l.box.left, left.left);
    EXPECT_EQ(l.box.top + (327 - 80) / 2, left.top);
    EXPECT_EQ(l.box.left + 408 - 100, creditWindowPlace(l.box, 2, 100, 80).left);
    EXPECT_EQ(l.box.left + (408 - 100) / 2, creditWindowPlace(l.box, 1, 100, 80).left);
}

} // namespace
