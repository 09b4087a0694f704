// Every example circuit of the installation runs headless through
// `kytsim Beispiele/NAME.kyt --ini kyt.ini` in the installation directory
// with its own settings, and shows the control-engineering property that its
// comment promises. Expected values are analytic or come from the difference
// equation of the sampled loop, computed here.
#include "TempDirFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

const std::string kInstallation = KYT_INSTALL_DIR;

// The printed points: one column per marked signal, by the signal's name.
struct ExampleRun {
    int status = -1;
    std::string err;
    std::vector<std::string> names;       // "Zeit" first
    std::vector<std::vector<double>> rows;

    std::vector<double> column(const std::string& name) const
    {
        std::vector<double> values;
        for (size_t c = 0; c < names.size(); ++c)
            if (names[c] == name)
                for (const auto& row : rows)
                    values.push_back(row[c]);
        return values;
    }
    // The value of a signal at the printed time nearest t.
    double at(const std::string& name, double t) const
    {
        std::vector<double> time = column("Zeit"), values = column(name);
        size_t best = 0;
        for (size_t i = 0; i < time.size(); ++i)
            if (std::fabs(time[i] - t) < std::fabs(time[best] - t))
                best = i;
        EXPECT_NEAR(t, time.at(best), 1e-9) << name;
        return values.at(best);
    }
    // Minimum and maximum of a signal over t >= from.
    std::pair<double, double> range(const std::string& name, double from) const
    {
        std::vector<double> time = column("Zeit"), values = column(name);
        double lo = INFINITY, hi = -INFINITY;
        for (size_t i = 0; i < values.size(); ++i)
            if (time[i] >= from - 1e-9) {
                lo = std::min(lo, values[i]);
                hi = std::max(hi, values[i]);
            }
        return {lo, hi};
    }
};

std::string readAll(const std::string& path)
{
    std::string text;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        fclose(f);
    }
    return text;
}

ExampleRun kytsim(const std::string& example)
{
    // The output stays out of the installation's own TEMPDIR.
    ScratchDir scratch;
    const std::string out = scratch.file("out.txt");
    const std::string err = scratch.file("err.txt");
    const std::string command = "cd '" + kInstallation + "' && '" KYTSIM_PATH "' 'Beispiele/" + example +
                                ".kyt' --ini kyt.ini > '" + out + "' 2> '" + err + "'";
    ExampleRun run;
    int status = system(command.c_str());
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = readAll(err);
    std::istringstream lines(readAll(out));
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream words(line);
        if (line[0] == '#') {
            std::string word;
            words >> word;  // the title
            run.names.assign(1, "Zeit");
            while (words >> word)
                run.names.push_back(word);
            continue;
        }
        std::vector<double> row;
        double v;
        while (words >> v)
            row.push_back(v);
        if (row.size() == run.names.size())
            run.rows.push_back(row);
    }
    return run;
}

struct Example {
    const char* name;
    const char* property;
    std::function<void(const ExampleRun&)> check;
};

const Example kExamples[] = {
    {"example", "the integrator's output is c Ki t: 10 at t = 10",
     [](const ExampleRun& r) {
         EXPECT_NEAR(10.0, r.at("y", 10), 1e-9);
         EXPECT_NEAR(5.0, r.at("y", 5), 1e-9);
     }},
    {"pi-pt2", "the PI loop settles to its set point within 2 % by t = 20",
     [](const ExampleRun& r) {
         auto late = r.range("x", 20);
         EXPECT_GE(late.first, 0.98);
         EXPECT_LE(late.second, 1.02);
         EXPECT_EQ(1.0, r.at("w", 20));
     }},
    {"ofen", "the two-point controller holds the temperature between its hysteresis bounds",
     [](const ExampleRun& r) {
         // After heating up: within 195..205 K, reaching both bounds.
         auto late = r.range("Temperatur", 100);
         EXPECT_GE(late.first, 194.9);
         EXPECT_LE(late.first, 195.5);
         EXPECT_GE(late.second, 204.5);
         EXPECT_LE(late.second, 205.1);
         // Heating up to 195 K at full power: 100 ln(400 / 205) = 66.9 s.
         std::vector<double> time = r.column("Zeit"), temp = r.column("Temperatur");
         size_t i = 0;
         while (i < temp.size() && temp[i] < 195)
             ++i;
         ASSERT_LT(i, temp.size());
         EXPECT_NEAR(100 * std::log(400.0 / 205.0), time[i], 0.15);
         // and the heater keeps switching.
         std::vector<double> heater = r.column("Heizung");
         int switches = 0;
         for (size_t k = 1; k < heater.size(); ++k)
             switches += heater[k] != heater[k - 1];
         EXPECT_GT(switches, 20);
     }},
    {"totzeit-pid", "the PID loop with dead time settles within 2 % by t = 30, overshoot below 5 %",
     [](const ExampleRun& r) {
         auto late = r.range("x", 30);
         EXPECT_GE(late.first, 0.98);
         EXPECT_LE(late.second, 1.02);
         EXPECT_LT(r.range("x", 0).second, 1.05);
         // Nothing moves before the dead time has passed after the step.
         EXPECT_EQ(0.0, r.at("x", 1.9));
         EXPECT_GT(r.at("x", 2.5), 0.0);
     }},
    {"abtastregelung", "the sampled loop matches its difference equation at t = 1, 2 and 3",
     [](const ExampleRun& r) {
         const double Ta = 0.5, T = 1, K = 1, Kp = 1, Ti = 1, w = 1;
         const double a = std::exp(-Ta / T);
         std::map<int, double> x;
         double xk = 0, sum = 0;
         for (int k = 0; k <= 6; ++k) {
             x[k] = xk;
             const double e = w - xk;
             sum += e;
             const double u = Kp * (e + Ta / Ti * sum);
             xk = a * xk + K * (1 - a) * u;
         }
         for (int k : {2, 4, 6}) {
             SCOPED_TRACE(k);
             EXPECT_NEAR(x[k], r.at("x", k * Ta), 1e-8);
         }
         // Between the samples the controller holds its output.
         EXPECT_EQ(r.at("u", 1.1), r.at("u", 1.4));
     }},
    {"lose", "the load stays half the backlash behind the set point, on the side of the last move",
     [](const ExampleRun& r) {
         EXPECT_NEAR(1.0, r.at("Motor", 20), 1e-6);
         EXPECT_NEAR(0.9, r.at("Last", 20), 1e-3);
         EXPECT_NEAR(0.0, r.at("Motor", 40), 1e-6);
         EXPECT_NEAR(0.1, r.at("Last", 40), 1e-3);
     }},
    {"laplace", "the step response of 1/(1+s+s^2) overshoots by 16.3 % at t = 3.63",
     [](const ExampleRun& r) {
         const double D = 0.5;
         const double overshoot = std::exp(-M_PI * D / std::sqrt(1 - D * D));
         const double peakTime = M_PI / std::sqrt(1 - D * D);
         std::vector<double> time = r.column("Zeit"), y = r.column("y");
         ASSERT_FALSE(y.empty());
         size_t peak = 0;
         for (size_t i = 0; i < y.size(); ++i)
             if (y[i] > y[peak])
                 peak = i;
         EXPECT_NEAR(1 + overshoot, y[peak], 1e-3);
         EXPECT_NEAR(peakTime, time[peak], 0.05);
         EXPECT_NEAR(1.0, r.at("y", 20), 1e-3);
     }},
    {"fuzzy", "the fuzzy PD loop on an integrating plant reaches its set point without overshoot",
     [](const ExampleRun& r) {
         auto late = r.range("x", 15);
         EXPECT_GE(late.first, 0.495);
         EXPECT_LE(late.second, 0.5);
         EXPECT_LE(r.range("x", 0).second, 0.5);
         // At rest (e = 0, de/dt = 0) the rule base gives 0.
         EXPECT_NEAR(0.0, r.at("u", 20), 1e-4);
         // The step reaches the controller at its next sample after t = 1.
         EXPECT_NEAR(0.0, r.at("u", 1.0), 1e-12);
         EXPECT_GT(r.at("u", 1.1), 0.1);
     }},
    {"identifikation", "RLS identifies the exact discretisation of the PT1 plant",
     [](const ExampleRun& r) {
         // The input holds from half a sample before each sampling instant:
         // y(k) = a y(k-1) + (1 - sqrt a) u(k) + (sqrt a - a) u(k-1), a = e^-1/2.
         const double a = std::exp(-0.5), root = std::exp(-0.25);
         EXPECT_NEAR(-a, r.at("a0", 100), 1e-6);
         EXPECT_NEAR(1 - root, r.at("b1", 100), 1e-6);
         EXPECT_NEAR(root - a, r.at("b0", 100), 1e-6);
         EXPECT_NEAR(1.0, (r.at("b0", 100) + r.at("b1", 100)) / (1 + r.at("a0", 100)), 1e-5);
     }},
};

} // namespace

TEST(ExamplesTest, EveryExampleRunsHeadlessAndShowsItsProperty)
{
    for (const Example& example : kExamples) {
        SCOPED_TRACE(std::string(example.name) + ".kyt: " + example.property);
        ExampleRun run = kytsim(example.name);
        ASSERT_EQ(0, run.status) << run.err;
        EXPECT_EQ("", run.err);
        ASSERT_FALSE(run.rows.empty());
        example.check(run);
    }
}

// Every circuit of the Beispiele directory has its case above.
TEST(ExamplesTest, EveryShippedExampleIsChecked)
{
    FILE* p = popen(("ls '" + kInstallation + "/Beispiele'").c_str(), "r");
    ASSERT_NE(nullptr, p);
    char line[512];
    int count = 0;
    while (fgets(line, sizeof line, p)) {
        std::string name(line);
        name.erase(name.find_last_not_of("\r\n") + 1);
        if (name.size() < 4 || name.substr(name.size() - 4) != ".kyt")
            continue;
        ++count;
        name.erase(name.size() - 4);
        bool known = false;
        for (const Example& example : kExamples)
            known = known || name == example.name;
        EXPECT_TRUE(known) << name;
    }
    pclose(p);
    EXPECT_EQ(static_cast<int>(sizeof kExamples / sizeof kExamples[0]), count);
}
