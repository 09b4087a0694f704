// The readers on large generated inputs, each shape at two sizes:
//   - a text block of many "$ "x"" lines,
//   - many blocks that all carry one instance name,
//   - many blocks with distinct instance names,
//   - a kyt.ini with many LIB lines,
//   - a library whose ablocks.bfl has many entries.
// Prints the median milliseconds of each read and the growth from the small
// to the large size (the target: at most 2.3 per doubling).
//
//   bench_readers [RUNS] [DIVISOR] [SHAPE]
// DIVISOR shrinks every size (default 1); SHAPE (text, same, distinct, libs,
// entries) runs one shape only.
#include "CircuitModel.h"
#include "CircuitReader.h"
#include "Icon.h"
#include "LocalLibrary.h"
#include "SignalNameRegistry.h"
#include "Workspace.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{

const std::string kFixtures = KYT_FIXTURES;

double now()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void writeFile(const std::string& path, const std::string& text)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        fprintf(stderr, "cannot write %s\n", path.c_str());
        exit(1);
    }
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

std::string iniText(const std::string& dir, int extraLibraries)
{
    std::string ini = "CIRCUITDIR = " + dir + ";\nICONDIR = " + kFixtures + "/icons;\nTEMPDIR = " + dir
        + ";\nBLOCKLIBS\n    LIB Standard AT " + kFixtures + "/standard;\n    LIB Local AT " + dir + "/local;\n";
    for (int i = 0; i < extraLibraries; ++i)
        ini += "    LIB L" + std::to_string(i) + " AT " + dir + "/many;\n";
    return ini + "ENDBLOCKLIBS\n";
}

std::string useBlock(const std::string& instance, int i)
{
    return "USE pt1.blk AS " + instance + " \n$ BLOCKLIB Standard\n$ BLOCKDIM " + std::to_string(1 + i % 50 * 8) + " "
        + std::to_string(1 + i / 50 * 6)
        + " 6 4\n$ TEXT \"PT1\"\n$ TEXTALIG 1 2 1 0 \n$ ICONNAME \"pt1.ico\"\n$ "
          "ICONDIM 4 3\n$ ICONALIG 1 0 1\n"
          "$ SIGNAMES\n$    \"y\"\n$ ENDSIGNAMES\nENDUSE\n";
}

std::string circuit(const std::string& body)
{
    return "CIRCUIT Gross;\n" + body + "\nENDCIRCUIT Gross;\n";
}

std::string textLines(int n)
{
    std::string body = "USE text.blk AS B_1 \n$ BLOCKLIB Standard\n$ BLOCKDIM 2 "
                       "2 6 3\n$ TEXT \"x\"\n";
    for (int i = 1; i < n; ++i)
        body += "$      \"x\"\n";
    body += "$ TEXTALIG 0 0 0 0 1.50\n$ ICONNAME \"*** NO PIC ***\"\n$ ICONDIM 1 "
            "1\n$ ICONALIG 0 0 0\n"
            "$ SIGNAMES\n$ ENDSIGNAMES\nENDUSE\n";
    return circuit(body);
}

std::string blocks(int n, bool distinct)
{
    std::string body;
    for (int i = 0; i < n; ++i)
        body += useBlock(distinct ? "B_" + std::to_string(i + 1) : "B_1", i);
    return circuit(body);
}

std::string catalogue(int n)
{
    std::string text = "$Viele\n";
    for (int i = 0; i < n; ++i)
        text += "Block" + std::to_string(i) + ",b" + std::to_string(i) + ".blk\n";
    return text;
}

struct Bench {
    std::string dir;
    int runs;

    double readCircuit(const std::string& text)
    {
        std::string path = dir + "/gross.kyt";
        writeFile(path, text);
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            Workspace workspace;
            readInstallationFile(workspace, (dir + "/kyt.ini").c_str());
            setWorkspace(&workspace);
            SignalNameRegistry registry;
            sNBase = &registry;
            IconStore icons;
            iconBase = &icons;
            LocalBlockLibrary().reset();
            double t = now();
            {
                CircuitModel model(nullptr, Point(11, 11));
                CircuitReader reader(0);
                if (reader.openFile(path.c_str()) == 1) {
                    model.readCircuit(reader);
                    reader.closeFile();
                } else {
                    fprintf(stderr, "cannot open %s\n", path.c_str());
                }
                times.push_back(now() - t);
            }
            iconBase = nullptr;
            sNBase = nullptr;
            setWorkspace(nullptr);
        }
        return median(times);
    }

    double readIni(const std::string& text)
    {
        std::string path = dir + "/viele.ini";
        writeFile(path, text);
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            Workspace workspace;
            double t = now();
            readInstallationFile(workspace, path.c_str());
            times.push_back(now() - t);
        }
        return median(times);
    }
};

void row(const char* what, int small, double smallMs, double largeMs)
{
    printf("%-34s %7d: %10.2f ms  %7d: %10.2f ms  growth per doubling %.2f\n", what, small, smallMs, 2 * small, largeMs,
        smallMs > 0 ? largeMs / smallMs : 0.0);
}

} // namespace

int main(int argc, char** argv)
{
    Bench bench;
    bench.runs = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    char dirTemplate[] = "/tmp/kyt-bench-readers-XXXXXX";
    bench.dir = mkdtemp(dirTemplate) ? dirTemplate : "/tmp";
    std::string cmd = "mkdir -p '" + bench.dir + "/local' '" + bench.dir + "/many'";
    if (system(cmd.c_str()) != 0)
        return 1;
    writeFile(bench.dir + "/kyt.ini", iniText(bench.dir, 0));
    writeFile(bench.dir + "/many/ablocks.bfl", "$Leer\n");

    int divisor = argc > 2 ? std::max(1, atoi(argv[2])) : 1;
    const int textSmall = 100000 / divisor, sameSmall = 2000 / divisor, distinctSmall = 2000 / divisor,
              libsSmall = 2500 / divisor, entriesSmall = 10000 / divisor;
    std::string only = argc > 3 ? argv[3] : "";
    auto wanted = [&](const char* shape) { return only.empty() || only == shape; };
    if (wanted("text"))
        row("text lines of one block", textSmall, bench.readCircuit(textLines(textSmall)),
            bench.readCircuit(textLines(2 * textSmall)));
    if (wanted("same"))
        row("blocks with one instance name", sameSmall, bench.readCircuit(blocks(sameSmall, false)),
            bench.readCircuit(blocks(2 * sameSmall, false)));
    if (wanted("distinct"))
        row("blocks with distinct names", distinctSmall, bench.readCircuit(blocks(distinctSmall, true)),
            bench.readCircuit(blocks(2 * distinctSmall, true)));
    if (wanted("libs"))
        row("LIB lines of kyt.ini", libsSmall, bench.readIni(iniText(bench.dir, libsSmall)),
            bench.readIni(iniText(bench.dir, 2 * libsSmall)));
    if (wanted("entries")) {
        writeFile(bench.dir + "/many/ablocks.bfl", catalogue(entriesSmall));
        double catalogueSmall = bench.readIni(iniText(bench.dir, 1));
        writeFile(bench.dir + "/many/ablocks.bfl", catalogue(2 * entriesSmall));
        row("entries of ablocks.bfl", entriesSmall, catalogueSmall, bench.readIni(iniText(bench.dir, 1)));
    }
    cmd = "rm -rf '" + bench.dir + "'";
    return system(cmd.c_str()) == 0 ? 0 : 1;
}
