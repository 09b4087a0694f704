// What a stiff run costs kytsim as a whole (prints figures; not a test).
//
//   bench_kytsim_vdp KYTSIM VANDERPOL_MODEL [OTHER_KYTSIM] [runs] [tend]
//
// Van der Pol with mu = 1000 (fixtures/vanderpol1000.kyt, its end time
// raised to tend, default 3000: about 1.7 million accepted and 0.3 million
// rejected Dormand-Prince steps) run by kytsim with IALG 6. With a second
// kytsim (an older build) both run in turn, their outputs are compared byte
// for byte and the ratio of the cpu times is printed pair by pair. Cpu times
// are user + system of the child process; medians over the runs.
#include "ChildTiming.h"

#include <fcntl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using namespace childtiming;

namespace {

void runKytsim(const std::string& kytsim, const std::string& dir, const std::string& out)
{
    const int fd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (chdir(dir.c_str()) != 0 || fd < 0 || dup2(fd, 1) < 0)
        _exit(1);
    execl(kytsim.c_str(), kytsim.c_str(), "vdp.kyt", "--IALG", "6", static_cast<char*>(nullptr));
    _exit(127);
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string absolute(const char* path)
{
    char* p = realpath(path, nullptr);
    std::string s = p ? p : "";
    free(p);
    return s;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        fprintf(stderr, "usage: bench_kytsim_vdp KYTSIM VANDERPOL_MODEL [OTHER_KYTSIM] [runs] [tend]\n");
        return 1;
    }
    const std::string kytsim = absolute(argv[1]);
    const std::string other = argc > 3 && std::string(argv[3]) != "-" ? absolute(argv[3]) : "";
    const int runs = argc > 4 ? atoi(argv[4]) : 11;
    const std::string tend = argc > 5 ? argv[5] : "3000.";
    if (kytsim.empty() || (argc > 3 && std::string(argv[3]) != "-" && other.empty())) {
        fprintf(stderr, "bench_kytsim_vdp: no such program\n");
        return 1;
    }

    std::string model = fileText(argv[2]);
    const std::string end = "tend = 0.5";
    const size_t at = model.find(end);
    if (at == std::string::npos) {
        fprintf(stderr, "bench_kytsim_vdp: no \"%s\" in %s\n", end.c_str(), argv[2]);
        return 1;
    }
    model.replace(at, end.size(), "tend = " + tend);
    char pattern[] = "/tmp/bench-kytsim-vdp-XXXXXX";
    if (!mkdtemp(pattern))
        return 1;
    const std::string dir = pattern;
    std::ofstream(dir + "/vdp.kyt") << model;

    std::vector<double> cpu, otherCpu, ratio;
    bool same = true;
    for (int r = 0; r <= runs; ++r) {
        const Figure a = timeChild([&] { runKytsim(kytsim, dir, dir + "/a.out"); });
        if (a.status != 0)
            fprintf(stderr, "bench_kytsim_vdp: kytsim ended with status %d\n", a.status);
        if (other.empty()) {
            if (r > 0)
                cpu.push_back(a.cpu);
            continue;
        }
        const Figure b = timeChild([&] { runKytsim(other, dir, dir + "/b.out"); });
        same = same && fileText(dir + "/a.out") == fileText(dir + "/b.out");
        if (r == 0)
            continue;   // the warm-up
        cpu.push_back(a.cpu);
        otherCpu.push_back(b.cpu);
        ratio.push_back(a.cpu / b.cpu);
    }
    const std::string last = fileText(dir + "/a.out");
    for (const char* f : {"/a.out", "/b.out", "/vdp.kyt"})
        unlink((dir + f).c_str());
    rmdir(dir.c_str());

    printf("bench_kytsim_vdp: Van der Pol, mu = 1000, to t = %s, IALG 6, %d runs (medians), %ld "
           "cores\n",
           tend.c_str(), runs, sysconf(_SC_NPROCESSORS_ONLN));
    printf("  kytsim        %8.3f s cpu   last line: %s", median(cpu),
           last.substr(last.rfind('\n', last.size() - 2) + 1).c_str());
    if (!other.empty()) {
        printf("  other kytsim  %8.3f s cpu\n", median(otherCpu));
        printf("  kytsim/other cpu ratio %.3f (median of the pairs), outputs %s\n", median(ratio),
               same ? "byte-identical" : "DIFFER");
    }
    return same ? 0 : 1;
}
