// Compile time against circuit size: the compile road (parse, flatten,
// order, write the PI text, load it) on generated model texts, a ring of N
// first-order blocks and a single block of N statements, for N = 1,000,
// 10,000 and 50,000. Each compile runs in a child process of its own, so
// that its peak memory is its own. Prints the median time of the runs, the
// peak memory and the growth t(50,000)/t(10,000) (5 for linear growth),
// the median of the ratios each run of both sizes gives.
// Besides the wall-clock time it prints the processor time of the compile
// (user and system), which a machine busy with other work disturbs less.
// Asserts nothing about time; meant for an optimised build.
//
//   bench_compile [runs [largest N]]
#include "GeneratedModels.h"

#include "CompileRoad.h"
#include "PiProgram.h"

#include "ErrorReporter.h"
#include "ShowFile.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Shape {
    const char* name;
    std::string (*text)(int);
    int (*expectedStates)(int);
};

int chainStates(int n) { return n; }
int singleStates(int) { return 1; }

const Shape kShapes[] = {
    {"chain of N blocks", generated::blockChain, chainStates},
    {"one block, N statements", generated::singleBlock, singleStates},
    // Not one of the two measured shapes: the same block with its
    // statements against their data flow, for the ordering.
    {"one block, N statements written last first", generated::singleBlockReversed, singleStates},
};

struct Figure {
    double seconds;      // wall clock
    double cpuSeconds;   // user and system
    long peakKiB;
    bool ok;
};

double cpuNow()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

std::string scratchDir;

const char* scratchOfBench()
{
    return scratchDir.c_str();
}

// In the child: the text made, then compiled and loaded under the clock.
// The time goes back through the pipe; the exit code says whether the
// program loaded with the expected number of states.
[[noreturn]] void compileInChild(const Shape& shape, int n, int out)
{
    std::string text = shape.text(n);
    FILE* f = fmemopen(const_cast<char*>(text.data()), text.size(), "r");
    double cpuStart = cpuNow();
    auto start = std::chrono::steady_clock::now();
    int result = f ? compileModelStream(f) : -1;
    auto stop = std::chrono::steady_clock::now();
    double seconds[2] = {std::chrono::duration<double>(stop - start).count(), cpuNow() - cpuStart};
    bool ok = result == COMPILE_LOADED && piProgram.nstates == shape.expectedStates(n);
    if (result == COMPILE_LOADED)
        releaseCompiledModel();
    if (f)
        fclose(f);
    if (write(out, seconds, sizeof seconds) != sizeof seconds)
        _exit(3);
    _exit(ok ? 0 : 2);
}

Figure runOnce(const Shape& shape, int n)
{
    Figure figure = {0, 0, 0, false};
    int channel[2];
    if (pipe(channel) != 0)
        return figure;
    fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        compileInChild(shape, n, channel[1]);
    }
    close(channel[1]);
    if (child < 0) {
        close(channel[0]);
        return figure;
    }
    double seconds[2] = {0, 0};
    bool got = read(channel[0], seconds, sizeof seconds) == sizeof seconds;
    close(channel[0]);
    int status = 0;
    struct rusage usage;
    memset(&usage, 0, sizeof usage);
    if (wait4(child, &status, 0, &usage) != child)
        return figure;
    figure.seconds = seconds[0];
    figure.cpuSeconds = seconds[1];
    figure.peakKiB = usage.ru_maxrss;
    figure.ok = got && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    return figure;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    size_t m = values.size() / 2;
    return values.size() % 2 ? values[m] : (values[m - 1] + values[m]) / 2;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const int largest = argc > 2 ? atoi(argv[2]) : 50000;
    const int sizes[] = {1000, 10000, 50000};

    char pattern[] = "/tmp/bench_compile_XXXXXX";
    if (!mkdtemp(pattern)) {
        fprintf(stderr, "no temporary directory\n");
        return 1;
    }
    scratchDir = pattern;
    setTempDirSource(scratchOfBench);
    disableErrorLog();

    long cores = sysconf(_SC_NPROCESSORS_ONLN);
    printf("compile and load, median of %d runs, %ld cores\n", runs, cores);
    bool allOk = true;
    const int sizeCount = sizeof sizes / sizeof sizes[0];
    for (const Shape& shape : kShapes) {
        // The runs of the sizes take turns, so that a change in the load of
        // a shared machine falls on all sizes alike and the growth holds.
        std::vector<double> times[sizeCount], cpuTimes[sizeCount], ratios, cpuRatios;
        long peak[sizeCount] = {};
        bool ok[sizeCount];
        std::fill(ok, ok + sizeCount, true);
        for (int r = 0; r < runs; ++r) {
            double t10000 = 0, t50000 = 0, c10000 = 0, c50000 = 0;
            for (int k = 0; k < sizeCount; ++k) {
                int n = sizes[k];
                if (n > largest)
                    continue;
                Figure f = runOnce(shape, n);
                ok[k] = ok[k] && f.ok;
                times[k].push_back(f.seconds);
                cpuTimes[k].push_back(f.cpuSeconds);
                peak[k] = std::max(peak[k], f.peakKiB);
                if (n == 10000) {
                    t10000 = f.seconds;
                    c10000 = f.cpuSeconds;
                }
                if (n == 50000) {
                    t50000 = f.seconds;
                    c50000 = f.cpuSeconds;
                }
            }
            if (t10000 > 0 && t50000 > 0 && c10000 > 0) {
                ratios.push_back(t50000 / t10000);
                cpuRatios.push_back(c50000 / c10000);
            }
        }
        printf("%s\n", shape.name);
        for (int k = 0; k < sizeCount; ++k) {
            if (times[k].empty())
                continue;
            allOk = allOk && ok[k];
            printf("  N = %6d: %8.3f s wall  %8.3f s cpu   peak %8.1f MiB%s\n", sizes[k], median(times[k]),
                   median(cpuTimes[k]), peak[k] / 1024.0, ok[k] ? "" : "   (DID NOT LOAD AS EXPECTED)");
        }
        if (!ratios.empty())
            printf("  growth t(50,000)/t(10,000), median of the runs' own: %.2f wall, %.2f cpu (linear: 5)\n",
                   median(ratios), median(cpuRatios));
    }
    std::string cleanup = "rm -rf '" + scratchDir + "'";
    if (system(cleanup.c_str()) != 0)
        fprintf(stderr, "%s left behind\n", scratchDir.c_str());
    return allOk ? 0 : 1;
}
