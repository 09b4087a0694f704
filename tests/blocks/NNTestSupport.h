// Shared helpers of the neural-net tests: a recording host, a recording
// error plot, a recorder of error boxes, a scratch directory and the
// fixtures.
#ifndef KYT_TESTS_BLOCKS_NNTESTSUPPORT_H
#define KYT_TESTS_BLOCKS_NNTESTSUPPORT_H

#include "ErrorReporter.h"
#include "NNLibrary.h"
#include "NetErrorPlot.h"
#include "NetHost.h"
#include "NetKernel.h"
#include "NetParsers.h"
#include "RecordingHost.h"

#include "FileBytes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#ifndef NN_FIXTURE_DIR
#error NN_FIXTURE_DIR names the folder of the neural-net fixtures
#endif

namespace nntest {

inline std::string fixturePath(const std::string& name)
{
    return std::string(NN_FIXTURE_DIR) + "/" + name;
}

inline bool fileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

// The names in a directory, without "." and "..".
inline std::vector<std::string> listDirectory(const std::string& dir)
{
    std::vector<std::string> names;
    if (DIR* d = opendir(dir.c_str())) {
        while (dirent* e = readdir(d)) {
            std::string n = e->d_name;
            if (n != "." && n != "..")
                names.push_back(n);
        }
        closedir(d);
    }
    return names;
}

// A fresh directory under /tmp, removed with its files at the end.
class ScratchDir {
public:
    ScratchDir()
    {
        char name[] = "/tmp/kyt_nn_XXXXXX";
        char* made = mkdtemp(name);
        if (made)
            path_ = made;
        chmod(path_.c_str(), 0755);
    }
    ~ScratchDir()
    {
        chmod(path_.c_str(), 0755);
        for (const std::string& n : listDirectory(path_)) {
            std::string p = path_ + "/" + n;
            struct stat st;
            if (stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
                for (const std::string& m : listDirectory(p))
                    unlink((p + "/" + m).c_str());
                rmdir(p.c_str());
            } else {
                unlink(p.c_str());
            }
        }
        rmdir(path_.c_str());
    }
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// The recording host, with the circuits directory that names the directory
// of pattern files.
struct NetFakeHost : RecordingHost {
    static std::string& circuitsDir()
    {
        static std::string d;
        return d;
    }
    static const char* circuits() { return circuitsDir().c_str(); }

    // Attaches the library to this host, as the registry would.
    static ModuleDescriptor* attach()
    {
        clear();
        strings().clear();
        circuitsDir().clear();
        HostServices s = services();
        setNetCircuitsDirectorySource(circuits);
        return NNModuleRegister(&s);
    }
    // The index of a new string constant of the "loaded program".
    static double addString(const std::string& s)
    {
        strings().push_back(s);
        return static_cast<double>(strings().size() - 1);
    }
};

// One point or call as the fake plot saw it.
struct PlotCall {
    std::string what;
    double x;
    double value;
};

struct FakePlot : NetErrorPlot {
    std::vector<PlotCall> calls;
    std::vector<std::pair<double, double>> points;
    int rescales = 0;
    double scale = 1.0;
    bool released = false;
    bool destroyed = false;
    std::string signalName;
    unsigned long colour = 0;
    std::string plotTitle;
    int drawingMode = 0;
    int signalCount = 0;

    void setSignalCount(int count) override
    {
        signalCount = count;
        calls.push_back({"signals", static_cast<double>(count), 0});
    }
    void setPlotTitle(const char* text) override
    {
        plotTitle = text;
        calls.push_back({"title", 0, 0});
    }
    void setSignal(int index, const char* name, unsigned long c) override
    {
        signalName = name;
        colour = c;
        calls.push_back({"signal", static_cast<double>(index), 0});
    }
    void setDrawingMode(int mode) override
    {
        drawingMode = mode;
        calls.push_back({"mode", static_cast<double>(mode), 0});
    }
    void show(int how) override { calls.push_back({"show", static_cast<double>(how), 0}); }
    void addPoint(double x, double v) override
    {
        points.push_back({x, v});
        calls.push_back({"point", x, v});
    }
    void rescale() override
    {
        ++rescales;
        calls.push_back({"rescale", static_cast<double>(points.size()), 0});
    }
    double xScale() override { return scale; }
    void release() override { released = true; }
    void destroy() override { destroyed = true; }
};

// Keeps every plot it makes (owning them), with the frame it was asked for.
struct FakePlotSystem : NetErrorPlotSystem {
    std::vector<FakePlot*> plots;
    std::vector<NetErrorPlotFrame> frames;
    double scale = 1.0;

    ~FakePlotSystem() override
    {
        for (FakePlot* p : plots)
            delete p;
    }
    NetErrorPlot* createErrorPlot(const NetErrorPlotFrame& frame) override
    {
        FakePlot* p = new FakePlot;
        p->scale = scale;
        plots.push_back(p);
        frames.push_back(frame);
        return p;
    }
    FakePlot* last() { return plots.empty() ? nullptr : plots.back(); }
};

// Error boxes of the parser base, recorded.
struct RecordingSink : ErrorSink {
    std::vector<std::string> boxes;
    void beep() override {}
    void showBox(const char* text, const char*) override { boxes.push_back(text); }
    [[noreturn]] void endProcess(int code) override
    {
        ADD_FAILURE() << "fatal report";
        std::exit(code);
    }
};

// Installs the sink (and no ERROR.LOG) for the lifetime of a test.
class SinkScope {
public:
    SinkScope()
    {
        disableErrorLog();
        setErrorSink(&sink);
    }
    ~SinkScope() { setErrorSink(nullptr); }
    RecordingSink sink;
};

// Parses text as a net file into net (which gets no file image).
inline int parseNet(NeuralNet* net, const std::string& text)
{
    NetDescriptionParser parser;
    parser.setNet(net);
    return parser.parseText(text.data(), text.size());
}

inline int parsePatterns(NeuralNet* net, const std::string& text)
{
    NetAuxParser parser;
    parser.setNet(net);
    return parser.parseText(text.data(), text.size());
}

// Reads the net file at path as NNINIT does, with the file image that the
// write-back needs; null when it does not parse. The caller owns the net.
inline NeuralNet* loadNetFile(const std::string& path)
{
    NeuralNet* net = new NeuralNet;
    net->image = new NetFileImage;
    net->image->path = path.c_str();
    net->image->bytes = readFileBytes(path);
    if (parseNet(net, net->image->bytes) != 0) {
        delete net;
        return nullptr;
    }
    return net;
}

// Reads the patterns of the pattern file at path into net.
inline bool loadPatterns(NeuralNet* net, const std::string& path)
{
    return parsePatterns(net, readFileBytes(path)) == 0;
}

inline std::string replaceOnce(std::string s, const std::string& from, const std::string& to)
{
    size_t p = s.find(from);
    if (p != std::string::npos)
        s.replace(p, from.size(), to);
    return s;
}

} // namespace nntest

#endif
