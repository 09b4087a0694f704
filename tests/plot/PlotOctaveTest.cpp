// MATLAB command files as GNU Octave loads them: octave-cli runs a written
// file in a temporary directory whose recording plot.m stands in for the
// real one (a machine without a display has no graphics toolkit), then
// prints every variable and the arguments that plot received.
#include "FileLayer.h"
#include "PlotExport.h"
#include "PlotModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// The records that the check function prints: "var NAME N v1 .. vN" per
// variable, "plot N" and "arg K v1 .. vK" per argument of plot.
const char kRecordingPlot[] =
    "function plot(varargin)\n"
    "  global kyt_plot_args\n"
    "  kyt_plot_args = varargin;\n"
    "end\n";

const char kCheck[] =
    "function kyt_check()\n"
    "  global kyt_plot_args\n"
    "  kyt_plot_args = {};\n"
    "  exported;\n"
    "  kyt_names = who();\n"
    "  for kyt_i = 1:numel(kyt_names)\n"
    "    kyt_name = kyt_names{kyt_i};\n"
    "    if strncmp(kyt_name, 'kyt_', 4)\n"
    "      continue;\n"
    "    end\n"
    "    kyt_value = eval(kyt_name);\n"
    "    printf('var %s %d', kyt_name, numel(kyt_value));\n"
    "    printf(' %.17g', kyt_value);\n"
    "    printf('\\n');\n"
    "  end\n"
    "  printf('plot %d\\n', numel(kyt_plot_args));\n"
    "  for kyt_i = 1:numel(kyt_plot_args)\n"
    "    printf('arg %d', numel(kyt_plot_args{kyt_i}));\n"
    "    printf(' %.17g', kyt_plot_args{kyt_i});\n"
    "    printf('\\n');\n"
    "  end\n"
    "end\n";

// What Octave saw of one file.
struct Loaded {
    bool ran = false;
    std::string output;
    std::map<std::string, std::vector<double>> variables;
    int plotArguments = -1;
    std::vector<std::vector<double>> arguments;
};

std::vector<double> readValues(std::istringstream& in, int n)
{
    std::vector<double> values;
    for (int i = 0; i < n; ++i) {
        std::string word;
        in >> word;
        values.push_back(std::strtod(word.c_str(), nullptr));
    }
    return values;
}

bool octaveInstalled()
{
    return std::system("command -v octave-cli >/dev/null 2>&1") == 0;
}

void writeText(const std::string& path, const char* text)
{
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// Writes the model's MATLAB file and runs it in Octave.
Loaded loadInOctave(const PlotModel& m)
{
    Loaded result;
    char dir[] = "/tmp/plotoctaveXXXXXX";
    if (!mkdtemp(dir))
        return result;
    const std::string folder = dir;
    writeText(folder + "/plot.m", kRecordingPlot);
    writeText(folder + "/kyt_check.m", kCheck);
    const std::string file = folder + "/exported.m";
    if (!writeFileChecked(file.c_str(), "w", [&](FILE* f) { return exportMatlab(m, f); }))
        return result;
    const std::string command = "cd '" + folder + "' && octave-cli --norc --quiet --eval \"addpath('" + folder +
                                "'); kyt_check\" 2>&1";
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            result.output.append(buffer, n);
        int status = pclose(pipe);
        result.ran = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    std::istringstream lines(result.output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        std::string kind;
        in >> kind;
        if (kind == "var") {
            std::string name;
            int n = 0;
            in >> name >> n;
            result.variables[name] = readValues(in, n);
        } else if (kind == "plot") {
            in >> result.plotArguments;
        } else if (kind == "arg") {
            int n = 0;
            in >> n;
            result.arguments.push_back(readValues(in, n));
        }
    }
    for (const char* name : {"plot.m", "kyt_check.m", "exported.m"})
        std::remove((folder + "/" + name).c_str());
    rmdir(dir);
    return result;
}

// Equal within 1e-13 relative; NaN equals NaN, infinities equal themselves.
bool sameValues(const std::vector<double>& got, const std::vector<double>& expected)
{
    if (got.size() != expected.size())
        return false;
    for (size_t i = 0; i < got.size(); ++i) {
        double a = got[i], b = expected[i];
        if (std::isnan(b) ? !std::isnan(a) : std::isinf(b) ? a != b : std::fabs(a - b) > 1e-13 * std::fabs(b))
            return false;
    }
    return true;
}

// The x column, or the values of signal i.
std::vector<double> column(const PlotModel& m, int signal)
{
    std::vector<double> c;
    for (const PlotPoint& p : m.points())
        c.push_back(signal < 0 ? p.t : (static_cast<size_t>(signal) < p.values.size() ? p.values[signal] : 0.0));
    return c;
}

// Every variable has the model's column under its MATLAB name, nothing
// else is there, and plot got x and each signal in turn.
void expectLoaded(const PlotModel& m, const std::vector<std::string>& names, Loaded& loaded)
{
    ASSERT_TRUE(octaveInstalled()) << "octave-cli is missing: scripts/setup installs the package octave";
    loaded = loadInOctave(m);
    ASSERT_TRUE(loaded.ran) << loaded.output;
    ASSERT_EQ(names.size(), static_cast<size_t>(m.nSignals) + 1);
    EXPECT_EQ(loaded.variables.size(), names.size()) << loaded.output;
    for (size_t i = 0; i < names.size(); ++i) {
        auto it = loaded.variables.find(names[i]);
        ASSERT_NE(it, loaded.variables.end()) << names[i] << "\n" << loaded.output;
        EXPECT_TRUE(sameValues(it->second, column(m, static_cast<int>(i) - 1))) << names[i] << "\n" << loaded.output;
    }
    ASSERT_EQ(loaded.plotArguments, 2 * m.nSignals) << loaded.output;
    ASSERT_EQ(loaded.arguments.size(), static_cast<size_t>(loaded.plotArguments));
    for (int i = 0; i < m.nSignals; ++i) {
        EXPECT_TRUE(sameValues(loaded.arguments[2 * i], column(m, -1))) << "argument " << 2 * i + 1;
        EXPECT_TRUE(sameValues(loaded.arguments[2 * i + 1], column(m, i))) << "argument " << 2 * i + 2;
    }
}

} // namespace

TEST(PlotOctave, TheGoldenFileLoads)
{
    PlotModel m;
    m.setTitle("Zeit");
    m.setSignals(2);
    m.setSignal(0, "Sig 1", 0);
    m.setSignal(1, "y", 0);
    const double rows[3][3] = {{0, 1, 0.5}, {0.1, 0.9, 1e-12}, {1e20, -2.5, 100}};
    for (const auto& r : rows)
        m.addPoint(r[0], r + 1, 2, nullptr, nullptr);
    Loaded loaded;
    expectLoaded(m, {"Zeit", "Sig_1", "y"}, loaded);
    ASSERT_EQ(loaded.variables["Sig_1"].size(), 3u);
    EXPECT_EQ(loaded.variables["Sig_1"][2], -2.5);
    EXPECT_EQ(loaded.variables["Zeit"][2], 1e20);
}

TEST(PlotOctave, NamesThatAreNoVariablesLoadUnderTheirNewNames)
{
    PlotModel m;
    m.setTitle("Zeit");
    const char* names[] = {"x", "x", "Gr\xf6\xdf" "e", "end", "2y", "Zeit"};
    m.setSignals(6);
    for (int i = 0; i < 6; ++i)
        m.setSignal(i, names[i], 0);
    for (int k = 0; k < 5; ++k) {
        double v[6];
        for (int i = 0; i < 6; ++i)
            v[i] = (i + 1) * 0.25 + k * std::sqrt(2.0);
        m.addPoint(k * 0.1, v, 6, nullptr, nullptr);
    }
    Loaded loaded;
    expectLoaded(m, {"Zeit", "x", "x_2", "Gr__e", "vend", "v2y", "Zeit_2"}, loaded);
    EXPECT_EQ(loaded.plotArguments, 12);
}

TEST(PlotOctave, ValuesThatAreNoNumbersLoad)
{
    PlotModel m;
    m.setTitle("t");
    m.setSignals(2);
    m.setSignal(0, "a", 0);
    m.setSignal(1, "b", 0);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double rows[3][3] = {{0, nan, 1e-300}, {1, inf, -inf}, {2, -1.0 / 3.0, 6.02214076e23}};
    for (const auto& r : rows)
        m.addPoint(r[0], r + 1, 2, nullptr, nullptr);
    Loaded loaded;
    expectLoaded(m, {"t", "a", "b"}, loaded);
}
