// bench_fuzzy: evaluations per second of the pd9 controller through the
// FUZZY library functions, as a compiled model calls them (two FZSETINPUT,
// FZSIMULATE, FZGETOUTPUT per evaluation), for the singleton variant S and
// the trapezoid variant T, and the same T controller in libfuzzylite 6.0
// (Mamdani, Minimum implication, Centroid of 101 points) in the same run.
// Prints figures only; nothing is asserted.
//
// Usage: bench_fuzzy [seconds per variant, default 1] [Local directory]
#include "FuzzyModule.h"

#include "HostServices.h"

#include <fl/Headers.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#ifndef FUZZY_FIXTURE_DIR
#error FUZZY_FIXTURE_DIR names the folder of the fuzzy fixtures
#endif

namespace {

std::vector<std::string> constants = {"pd9", "pd9s"};
std::string localDir = std::string(FUZZY_FIXTURE_DIR) + "/Local";

int stringCount()
{
    return static_cast<int>(constants.size());
}
const char* stringText(int i)
{
    return constants[static_cast<size_t>(i)].c_str();
}
const char* local()
{
    return localDir.c_str();
}
void showMessage(int, const char* text)
{
    fprintf(stderr, "message: %s\n", text);
}

// The sweep: a 101 x 101 grid over [-1, 1]^2, visited row by row.
const int kGrid = 101;
double gridValue(int i)
{
    return -1.0 + 2.0 * i / (kGrid - 1);
}

typedef std::chrono::steady_clock Clock;

struct Figure {
    long evaluations;
    double seconds;
    double checksum;
    double perSecond() const { return evaluations / seconds; }
};

template <class Evaluate>
Figure measure(double minSeconds, Evaluate evaluate)
{
    Figure f = {0, 0.0, 0.0};
    Clock::time_point start = Clock::now();
    do {
        for (int i = 0; i < kGrid; ++i)
            for (int j = 0; j < kGrid; ++j)
                {
                    double u = evaluate(gridValue(i), gridValue(j));
                    f.checksum += u * u;
                }
        f.evaluations += kGrid * kGrid;
        f.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    } while (f.seconds < minSeconds);
    return f;
}

const char* kPd9Fll =
    "Engine: pd9\n"
    "InputVariable: e\n  enabled: true\n  range: -1 1\n  lock-range: false\n"
    "  term: N Trapezoid -1 -1 -1 0\n  term: Z Trapezoid -1 0 0 1\n  term: P Trapezoid 0 1 1 1\n"
    "InputVariable: de\n  enabled: true\n  range: -1 1\n  lock-range: false\n"
    "  term: N Trapezoid -1 -1 -1 0\n  term: Z Trapezoid -1 0 0 1\n  term: P Trapezoid 0 1 1 1\n"
    "OutputVariable: u\n  enabled: true\n  range: -1.01 1.01\n  lock-range: false\n  aggregation: Maximum\n"
    "  defuzzifier: Centroid 101\n  default: 0\n  lock-previous: false\n"
    "  term: NB Trapezoid -1 -1 -1 -0.5\n  term: NS Trapezoid -1 -0.5 -0.5 0\n"
    "  term: ZO Trapezoid -0.5 0 0 0.5\n  term: PS Trapezoid 0 0.5 0.5 1\n  term: PB Trapezoid 0.5 1 1 1\n"
    "RuleBlock: rules\n  enabled: true\n  conjunction: Minimum\n  disjunction: Maximum\n"
    "  implication: Minimum\n  activation: General\n"
    "  rule: if e is N and de is N then u is NB\n  rule: if e is N and de is Z then u is NS\n"
    "  rule: if e is N and de is P then u is ZO\n  rule: if e is Z and de is N then u is NS\n"
    "  rule: if e is Z and de is Z then u is ZO\n  rule: if e is Z and de is P then u is PS\n"
    "  rule: if e is P and de is N then u is ZO\n  rule: if e is P and de is Z then u is PS\n"
    "  rule: if e is P and de is P then u is PB\n";

} // namespace

int main(int argc, char** argv)
{
    double minSeconds = argc > 1 ? atof(argv[1]) : 1.0;
    if (!(minSeconds > 0))
        minSeconds = 1.0;
    if (argc > 2)
        localDir = argv[2];

    HostSeams seams = {};
    seams.queueDeferredMessage = showMessage;
    seams.stringCount = stringCount;
    seams.stringText = stringText;
    seams.localLibraryDirectory = local;
    setHostSeams(&seams);
    HostServices services;
    fillHostServices(&services);
    FuzzyModuleRegister(&services);

    double t = FZINIT(0);  // pd9: T, max_min, centroid
    double s = FZINIT(1);  // pd9s: S, max_prod, centroid
    if (fuzzyBlockTable().usedCount() != 2) {
        fprintf(stderr, "bench_fuzzy: cannot load pd9 and pd9s from %s\n", localDir.c_str());
        return 1;
    }
    auto library = [](double h) {
        return [h](double e, double de) {
            FZSETINPUT(h, 0, e);
            FZSETINPUT(h, 1, de);
            FZSIMULATE(h);
            return FZGETOUTPUT(h, 0);
        };
    };

    std::unique_ptr<fl::Engine> engine;
    try {
        engine.reset(fl::FllImporter().fromString(kPd9Fll));
    } catch (const fl::Exception& ex) {
        fprintf(stderr, "bench_fuzzy: %s\n", ex.what());
        return 1;
    }
    fl::InputVariable* e = engine->getInputVariable("e");
    fl::InputVariable* de = engine->getInputVariable("de");
    fl::OutputVariable* u = engine->getOutputVariable("u");
    auto fuzzylite = [&](double x, double y) {
        e->setValue(x);
        de->setValue(y);
        engine->process();
        return u->getValue();
    };

    // The two T implementations agree on the sweep (the oracle test checks
    // this within 1e-9); the largest difference is printed with the figures.
    double largest = 0;
    for (int i = 0; i < kGrid; ++i)
        for (int j = 0; j < kGrid; ++j)
            largest = std::fmax(largest, std::fabs(library(t)(gridValue(i), gridValue(j)) -
                                                   fuzzylite(gridValue(i), gridValue(j))));

    Figure fs = measure(minSeconds, library(s));
    Figure ft = measure(minSeconds, library(t));
    Figure fl = measure(minSeconds, fuzzylite);

    printf("bench_fuzzy: pd9 (2 inputs, 9 rules), sweep of %d x %d inputs over [-1, 1]^2\n", kGrid, kGrid);
    printf("  one evaluation: FZSETINPUT x2, FZSIMULATE, FZGETOUTPUT\n");
    printf("  %-44s %10.0f evaluations/s  (%ld in %.2f s, mean u^2 %.6f)\n", "S (singletons, max_prod, centroid):",
           fs.perSecond(), fs.evaluations, fs.seconds, fs.checksum / fs.evaluations);
    printf("  %-44s %10.0f evaluations/s  (%ld in %.2f s, mean u^2 %.6f)\n", "T (trapezoids, max_min, centroid):",
           ft.perSecond(), ft.evaluations, ft.seconds, ft.checksum / ft.evaluations);
    printf("  %-44s %10.0f evaluations/s  (%ld in %.2f s, mean u^2 %.6f)\n", "T in libfuzzylite 6.0 (Mamdani, Centroid 101):",
           fl.perSecond(), fl.evaluations, fl.seconds, fl.checksum / fl.evaluations);
    printf("  kernel/libfuzzylite ratio for T: %.2f  (largest difference of the outputs %.3g)\n",
           ft.perSecond() / fl.perSecond(), largest);

    fuzzyUnloadHook();
    setHostSeams(nullptr);
    return 0;
}
