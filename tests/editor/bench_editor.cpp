// The editing pane's work on a large circuit: 200 blocks (every tenth with
// a bitmap icon) in a row of lines, each line with two interpoints. Prints
// the median milliseconds of
//   - one full paint into a 2000 x 2000 memory context,
//   - one connection made,
//   - all blocks moved by one cell with their lines' extents recomputed,
//   - 100 blocks removed with their lines,
//   - the circuit saved as a circuit file,
//   - that file loaded into an empty model,
// each with its ratio to 50 ms (the target: every ratio at most 1); then
// circuits of 200, 400, 800 and 1,600 such blocks saved and loaded, with the
// growth of the load time per doubling (the target: at most 2.3).
//
//   bench_editor [RUNS]
#include "Bitmap.h"
#include "CircuitModel.h"
#include "CircuitReader.h"
#include "DcCanvas.h"
#include "EditorStores.h"
#include "SignalNameRegistry.h"
#include "Workspace.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const std::string kFixtures = KYT_FIXTURES;
const int kBlocks = 200;

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

void build(CircuitModel& model, const std::string& bitmapBlock, int count = kBlocks)
{
    std::string pt1 = kFixtures + "/standard/pt1.blk";
    std::vector<BlockObject*> blocks;
    for (int i = 0; i < count; ++i) {
        Point at(1 + (i % 20) * 9, 1 + (i / 20) * 8);
        bool bitmap = i % 10 == 9 && !bitmapBlock.empty();
        const std::string& file = bitmap ? bitmapBlock : pt1;
        blocks.push_back(model.createBlock(at, Point(6, 3), file.c_str(), bitmap ? "Bench" : "Standard", 0));
    }
    for (int i = 0; i + 1 < count; ++i) {
        ConnectionObject* c = model.createConnection(blocks[i], PortRef{2, 1}, blocks[i + 1], PortRef{1, 1});
        if (c) {
            Point a = blocks[i]->position;
            c->appendInterpoint(a.x() + 7, a.y() + 5);
            c->appendInterpoint(a.x() + 8, a.y() + 6);
        }
    }
}

void report(const char* what, double ms)
{
    printf("%-48s %9.3f ms   ratio to 50 ms %.4f\n", what, ms, ms / 50.0);
}

} // namespace

int main(int argc, char** argv)
{
    int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    char dirTemplate[] = "/tmp/kyt-bench-editor-XXXXXX";
    std::string dir = mkdtemp(dirTemplate) ? dirTemplate : "/tmp";
    std::string ini = dir + "/kyt.ini";
    FILE* f = fopen(ini.c_str(), "w");
    fprintf(f, "CIRCUITDIR = %s;\nICONDIR = %s/icons;\nTEMPDIR = %s;\nBLOCKLIBS\n    LIB Standard AT %s/standard;\n"
            "    LIB Bench AT %s;\nENDBLOCKLIBS\n",
            dir.c_str(), kFixtures.c_str(), dir.c_str(), kFixtures.c_str(), dir.c_str());
    fclose(f);
    f = fopen((dir + "/ablocks.bfl").c_str(), "w");
    fputs("$Bilder\nBild,bild.blk\n", f);
    fclose(f);
    std::string bitmapBlock = dir + "/bild.blk";
    f = fopen(bitmapBlock.c_str(), "w");
    fputs("BLOCK Bild;\n$ BLOCKDIM -1 -1 6 4\n$ TEXT \"Bild\"\n$ TEXTALIG 1 2 1 0\n$ ICONNAME \"bild.bmp\"\n"
          "$ ICONDIM 4 3\n$ ICONALIG 1 0 1\n"
          "INPUT u;\nOUTPUT y;\nSIM\n  y = u;\nENDBLOCK\n",
          f);
    fclose(f);

    Workspace workspace;
    readInstallationFile(workspace, ini.c_str());
    setWorkspace(&workspace);
    SignalNameRegistry registry;
    sNBase = &registry;
    iconBase = makeIconStore();

    MemoryDC display(static_cast<Bitmap*>(nullptr));
    MemoryDC page(display, 2000, 2000);
    ContextPane view(page);

    std::vector<double> paint, connect, move, removal, save, load;
    std::string circuitFile = dir + "/gross.kyt";
    for (int run = 0; run < runs; ++run) {
        CircuitModel model(nullptr, Point(11, 11));
        build(model, bitmapBlock);
        model.setView(&view);

        PatBlt(page.hdc, 0, 0, 2000, 2000, WHITENESS);
        double t = now();
        page.attach();
        model.paint(view, Rect(0, 0, 2000, 2000));
        page.release();
        paint.push_back(now() - t);

        // A line back from the last block to the first one's free input.
        BlockObject* first = nullptr;
        BlockObject* last = nullptr;
        for (GraphicObject* o : model.objects)
            if (o->kind() == 1) {
                if (!first)
                    first = static_cast<BlockObject*>(o);
                last = static_cast<BlockObject*>(o);
            }
        page.attach();
        t = now();
        ConnectionObject* made = model.createConnection(last, PortRef{2, 1}, first, PortRef{1, 1});
        connect.push_back(now() - t);
        page.release();
        if (!made)
            fprintf(stderr, "the connection was refused\n");

        t = now();
        for (GraphicObject* o : model.objects)
            if (o->kind() == 1)
                o->moveTo(o->position.plus(1, 1));
        for (GraphicObject* o : model.objects)
            if (o->kind() == 2) {
                ConnectionObject* c = static_cast<ConnectionObject*>(o);
                c->moveMarkedInterpointsBy(1, 1);
                c->rect = c->getRect();
            }
        move.push_back(now() - t);

        model.setView(nullptr);
        t = now();
        if (!model.saveCircuit(circuitFile.c_str(), 0, 0))
            fprintf(stderr, "the circuit was not saved\n");
        save.push_back(now() - t);
        {
            CircuitModel loaded(nullptr, Point(11, 11));
            t = now();
            CircuitReader reader(0);
            if (reader.openFile(circuitFile.c_str()))
                loaded.readCircuit(reader);
            reader.closeFile();
            load.push_back(now() - t);
            if (loaded.objects.size() != model.objects.size())
                fprintf(stderr, "the loaded circuit differs\n");
        }

        std::vector<BlockObject*> doomed;
        for (GraphicObject* o : model.objects)
            if (o->kind() == 1 && doomed.size() < 100)
                doomed.push_back(static_cast<BlockObject*>(o));
        t = now();
        for (BlockObject* b : doomed)
            model.removeBlock(b);
        removal.push_back(now() - t);
    }
    printf("bench_editor: %d blocks, %d lines with two interpoints, %d runs (medians)\n", kBlocks, kBlocks - 1, runs);
    report("full paint into 2000 x 2000", median(paint));
    report("one connection made", median(connect));
    report("all blocks moved, line extents recomputed", median(move));
    report("100 blocks removed with their lines", median(removal));
    report("200-block circuit saved", median(save));
    report("200-block circuit loaded into an empty model", median(load));

    double previous = 0;
    double first = 0;
    for (int count = kBlocks; count <= 8 * kBlocks; count *= 2) {
        {
            CircuitModel model(nullptr, Point(11, 11));
            build(model, std::string(), count);
            if (!model.saveCircuit(circuitFile.c_str(), 0, 0))
                fprintf(stderr, "the circuit was not saved\n");
        }
        std::vector<double> times;
        for (int run = 0; run < runs; ++run) {
            CircuitModel loaded(nullptr, Point(11, 11));
            double t = now();
            CircuitReader reader(0);
            if (reader.openFile(circuitFile.c_str()))
                loaded.readCircuit(reader);
            reader.closeFile();
            times.push_back(now() - t);
        }
        double ms = median(times);
        if (previous > 0)
            printf("%5d-block circuit loaded %20s %9.3f ms   growth per doubling %.2f\n", count, "", ms, ms / previous);
        else
            printf("%5d-block circuit loaded %20s %9.3f ms\n", count, "", ms);
        if (first == 0)
            first = ms;
        previous = ms;
    }
    if (first > 0)
        printf("load growth per doubling, %d to %d blocks (geometric mean) %.2f\n", kBlocks, 8 * kBlocks,
               std::cbrt(previous / first));

    deleteIconStore(iconBase);
    iconBase = nullptr;
    sNBase = nullptr;
    setWorkspace(nullptr);
    system(("rm -rf '" + dir + "'").c_str());
    return 0;
}
