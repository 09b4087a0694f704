// What kytsim's binary result file costs (prints figures; not a test).
//
//   bench_result_write KYTSIM CHAIN_MODEL [steps] [runs]
//
// The chain of 50 PT1 blocks (golden/kette50.kyt) run by kytsim with Euler,
// INITSTEP = dt = 0.001 and tend = steps · 0.001 (default 10^6 steps), all
// 50 outputs and the time recorded at every step into a binary result file
// (RMODE 1, HMODE 1) and standard output on the null device; against a
// plain program that computes the same chain with the same Euler steps and
// writes the same header and records (51 doubles each, one fwrite per
// record). Both run as child processes into a fresh directory; their cpu
// times (user + system) and wall times are taken over several runs and
// the medians and their ratio printed.
#include "ChildTiming.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace childtiming;

namespace {

const int kBlocks = 50;

// The plain program: the chain x' = (u - x)/T with T = 0.5 and Euler steps
// of 0.001, the records written as kytsim writes them (header line, then
// 51 little-endian doubles per point).
void plainWriter(const char* path, long steps)
{
    FILE* f = fopen(path, "ab");
    if (!f)
        _exit(1);
    std::string header = "SIMUL 1.0:REAL*8:BINARY:VAR:t:";
    for (int i = 1; i <= kBlocks; ++i)
        header += "g" + std::to_string(i) + "_y:";
    header += '\n';
    fwrite(header.data(), 1, header.size(), f);
    double x[kBlocks] = {0};
    double d[kBlocks];
    double record[kBlocks + 1];
    const double h = 0.001;
    double t = 0;
    for (long k = 0; k <= steps; ++k) {
        record[0] = t;
        memcpy(record + 1, x, sizeof x);
        fwrite(record, sizeof(double), kBlocks + 1, f);
        double u = 1;
        for (int i = 0; i < kBlocks; ++i) {
            d[i] = (u - x[i]) / 0.5;
            u = x[i];
        }
        for (int i = 0; i < kBlocks; ++i)
            x[i] += h * d[i];
        t = (k + 1) * h;
    }
    fclose(f);
    _exit(0);
}

void runKytsim(const std::string& kytsim, const std::string& dir)
{
    if (chdir(dir.c_str()) != 0 || !freopen("/dev/null", "w", stdout))
        _exit(1);
    execl(kytsim.c_str(), kytsim.c_str(), "kette.kyt", "--IALG", "8", "--INITSTEP", "0.001",
          "--FNAME", "kytsim.bin", "--RMODE", "1", "--HMODE", "1", static_cast<char*>(nullptr));
    _exit(127);
}

long fileSize(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? static_cast<long>(st.st_size) : -1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: bench_result_write KYTSIM CHAIN_MODEL [steps] [runs]\n");
        return 1;
    }
    char* absolute = realpath(argv[1], nullptr);
    if (!absolute) {
        fprintf(stderr, "bench_result_write: no program %s\n", argv[1]);
        return 1;
    }
    const std::string kytsim = absolute;
    free(absolute);
    const long steps = argc > 3 ? atol(argv[3]) : 1000000;
    const int runs = argc > 4 ? atoi(argv[4]) : 5;

    std::ifstream in(argv[2]);
    std::stringstream text;
    text << in.rdbuf();
    std::string model = text.str();
    const std::string tend = "tend = 1.;";
    const size_t at = model.find(tend);
    if (at == std::string::npos) {
        fprintf(stderr, "bench_result_write: no \"%s\" in %s\n", tend.c_str(), argv[2]);
        return 1;
    }
    model.replace(at, tend.size(), "tend = " + std::to_string(steps / 1000.0) + ";");

    char pattern[] = "/tmp/bench-result-write-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    const std::string dir = pattern;
    std::ofstream(dir + "/kette.kyt") << model;
    const std::string kytsimFile = dir + "/kytsim.bin";
    const std::string plainFile = dir + "/plain.bin";

    std::vector<double> kCpu, kWall, pCpu, pWall, ratio;
    long kytsimBytes = 0, plainBytes = 0;
    for (int r = 0; r <= runs; ++r) {
        unlink(kytsimFile.c_str());
        unlink(plainFile.c_str());
        const Figure k = timeChild([&] { runKytsim(kytsim, dir); });
        const Figure p = timeChild([&] { plainWriter(plainFile.c_str(), steps); });
        if (k.status != 0 || p.status != 0)
            fprintf(stderr, "bench_result_write: a run ended with status %d / %d\n", k.status,
                    p.status);
        kytsimBytes = fileSize(kytsimFile);
        plainBytes = fileSize(plainFile);
        if (r == 0)
            continue;   // the warm-up
        kCpu.push_back(k.cpu);
        kWall.push_back(k.wall);
        pCpu.push_back(p.cpu);
        pWall.push_back(p.wall);
        ratio.push_back(k.cpu / p.cpu);
    }
    unlink(kytsimFile.c_str());
    unlink(plainFile.c_str());
    unlink((dir + "/kette.kyt").c_str());
    rmdir(dir.c_str());

    printf("bench_result_write: 50-state chain, Euler, %ld steps, all 50 outputs and t in binary, "
           "%d runs (medians), %ld cores\n",
           steps, runs, sysconf(_SC_NPROCESSORS_ONLN));
    printf("  kytsim  %9.3f s cpu %9.3f s wall  %ld bytes\n", median(kCpu), median(kWall),
           kytsimBytes);
    printf("  plain   %9.3f s cpu %9.3f s wall  %ld bytes\n", median(pCpu), median(pWall),
           plainBytes);
    printf("  kytsim/plain cpu ratio %.2f (median of the pairs; target at most 3)\n",
           median(ratio));
    return kytsimBytes == plainBytes ? 0 : 1;
}
