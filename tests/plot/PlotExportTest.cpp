// The plot exports against golden files (ASCII columns and MATLAB command
// file), their edge cases, the MATLAB names, write failures, and the check
// of typed scales.
#include "FileLayer.h"
#include "PlotExport.h"
#include "PlotModel.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The text an export writes, through the file layer's checked write.
std::string exported(const PlotModel& m, bool (*writer)(const PlotModel&, FILE*))
{
    char name[] = "/tmp/plotexportXXXXXX";
    int fd = mkstemp(name);
    close(fd);
    bool ok = writeFileChecked(name, "w", [&](FILE* f) { return writer(m, f); });
    std::string text = ok ? readAll(name) : std::string("(failed)");
    std::remove(name);
    return text;
}

// x title "Zeit", signals "Sig 1" and "y", three points.
PlotModel goldenModel()
{
    PlotModel m;
    m.setTitle("Zeit");
    m.setSignals(2);
    m.setSignal(0, "Sig 1", 0);
    m.setSignal(1, "y", 0);
    const double rows[3][3] = {{0, 1, 0.5}, {0.1, 0.9, 1e-12}, {1e20, -2.5, 100}};
    for (const auto& r : rows)
        m.addPoint(r[0], r + 1, 2, nullptr, nullptr);
    return m;
}

} // namespace

TEST(PlotExport, GoldenFiles)
{
    PlotModel m = goldenModel();
    EXPECT_EQ(exported(m, exportAscii), readAll(KYT_PLOT_FIXTURES "/export-golden.txt"));
    EXPECT_EQ(exported(m, exportMatlab), readAll(KYT_PLOT_FIXTURES "/export-golden.m"));
}

TEST(PlotExport, EdgeCases)
{
    PlotModel empty;
    empty.setTitle("Zeit");
    empty.setSignals(2);
    EXPECT_EQ(exported(empty, exportAscii), "");
    EXPECT_EQ(exported(empty, exportMatlab), "");

    PlotModel none;
    none.setTitle("Zeit");
    none.setSignals(0);
    none.addPoint(0, nullptr, 0, nullptr, nullptr);
    none.addPoint(0.1, nullptr, 0, nullptr, nullptr);
    EXPECT_EQ(exported(none, exportAscii), "#Zeit\n0.\n0.1\n");
    EXPECT_EQ(exported(none, exportMatlab), "Zeit = [\n0.,\n0.1];\nplot();\n");

    // A point missing a value writes 0; hidden signals are written; the
    // values that are no numbers are written as Octave reads them.
    PlotModel m;
    m.setTitle("t");
    m.setSignals(2);
    m.setSignal(0, "a", 0);
    m.setSignal(1, "b", 0);
    m.signals[1].shown = 0;
    const double one[1] = {std::numeric_limits<double>::quiet_NaN()};
    const double two[2] = {std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
    m.addPoint(0, one, 1, nullptr, nullptr);
    m.addPoint(1, two, 2, nullptr, nullptr);
    EXPECT_EQ(exported(m, exportAscii), "#t a b\n0. NaN 0.\n1. Inf -Inf\n");
    EXPECT_EQ(exported(m, exportMatlab), "t = [\n0.,\n1.];\na = [\nNaN,\nInf];\nb = [\n0.,\n-Inf];\nplot(t,a, t,b);\n");
}

TEST(PlotExport, MatlabNamesAreValidAndUnique)
{
    PlotModel m;
    m.setTitle("Zeit");
    const char* names[] = {"x", "x", "Gr\xf6\xdf" "e", "end", "2y", "Zeit", "plot", "y(t)", "x_2", ""};
    const int n = sizeof names / sizeof names[0];
    m.setSignals(n);
    for (int i = 0; i < n; ++i)
        m.setSignal(i, names[i], 0);
    std::vector<std::string> got;
    for (const String& s : matlabNames(m))
        got.push_back(s.text());
    const std::vector<std::string> expected = {"Zeit", "x",      "x_2",  "Gr__e", "vend", "v2y",
                                               "Zeit_2", "vplot", "y_t_", "x_2_2", "v"};
    EXPECT_EQ(got, expected);
    // The ASCII header keeps the names, blanks only made "_".
    m.setSignals(1);
    m.setSignal(0, "y (t)", 0);
    const double v = 1;
    m.addPoint(0, &v, 1, nullptr, nullptr);
    EXPECT_EQ(exported(m, exportAscii), "#Zeit y_(t)\n0. 1.\n");
}

TEST(PlotExport, AFailingStreamIsReportedAndLeavesTheOldFile)
{
    PlotModel m = goldenModel();
    // A stream that takes 100 bytes and no more.
    char buffer[100];
    FILE* small = fmemopen(buffer, sizeof buffer, "w");
    ASSERT_NE(small, nullptr);
    setvbuf(small, nullptr, _IONBF, 0);
    EXPECT_FALSE(exportMatlab(m, small));
    std::fclose(small);

    char name[] = "/tmp/plotexportXXXXXX";
    int fd = mkstemp(name);
    close(fd);
    {
        std::ofstream old(name, std::ios::binary);
        old << "alt\n";
    }
    bool ok = writeFileChecked(name, "w", [&](FILE* f) {
        char limited[100];
        FILE* s = fmemopen(limited, sizeof limited, "w");
        setvbuf(s, nullptr, _IONBF, 0);
        bool written = exportMatlab(m, s);
        std::fclose(s);
        // What reached the real stream before the failure.
        std::fwrite(limited, 1, sizeof limited, f);
        return written;
    });
    EXPECT_FALSE(ok);
    EXPECT_EQ(readAll(name), "alt\n");
    EXPECT_NE(access(checkedWriteTemporary(name).text(), F_OK), 0);
    std::remove(name);
}

TEST(PlotExport, ScaleTexts)
{
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"1.5", true, 1.5},   {"1,5", true, 1.5},     {" 2 ", true, 2},       {"1e-3", true, 1e-3},
        {"0", false, 0},      {"-1", false, 0},       {"abc", false, 0},      {"1.5x", false, 0},
        {"", false, 0},       {"1e-17", false, 0},    {"2.220446049250313e-16", true, 2.220446049250313e-16},
        {"1e999", false, 0},
    };
    for (const Case& c : cases) {
        double v = -7;
        EXPECT_EQ(parseScaleText(c.text, &v), c.ok) << c.text;
        EXPECT_EQ(v, c.ok ? c.value : -7) << c.text;
    }
}
