// What the tests of the FILE, TABLE and RT libraries share: the libraries
// attached to recording host services, string constants and a circuit file
// of the test's own, a scratch directory as the current directory, and
// streams that are counted and can be made to fail.
#ifndef KYT_TESTS_ENGINE_LIBRARYTESTSUPPORT_H
#define KYT_TESTS_ENGINE_LIBRARYTESTSUPPORT_H

#include "BaseLibrary.h"
#include "CompilerOptions.h"
#include "FileLayer.h"
#include "HostServices.h"
#include "ModuleRegistry.h"
#include "ResString.h"
#include "RunState.h"
#include "RunTimeFiles.h"
#include "TempDirFixture.h"
#include "TestSinks.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace libtest {

// ---- what the host services hand out and record

struct Queued {
    int level;
    std::string text;
};
inline std::vector<Queued> queued;
inline void recordQueued(int level, const char* text) { queued.push_back({level, text}); }

// The texts of queued messages.
inline std::vector<std::string> messages()
{
    std::vector<std::string> out;
    for (const Queued& q : queued)
        out.push_back(q.text);
    return out;
}

inline std::vector<std::string> stringConstants;
inline int stringCount() { return static_cast<int>(stringConstants.size()); }
inline const char* stringText(int i) { return stringConstants[static_cast<size_t>(i)].c_str(); }

inline std::string circuitFile;
inline const char* circuitFileName() { return circuitFile.c_str(); }

// ---- streams of FOPEN and TABLEOPEN

// The next stream opened fails to read after failAfter bytes (-1: never) and
// fails to close when failClose is set.
struct StreamFaults {
    long failAfter = -1;
    bool failClose = false;
};
inline StreamFaults nextFaults;
inline int liveStreams = 0;
inline int openedStreams = 0;

struct CountedStream {
    FILE* inner;
    StreamFaults faults;
};

inline ssize_t countedRead(void* cookie, char* buf, size_t size)
{
    CountedStream* s = static_cast<CountedStream*>(cookie);
    if (s->faults.failAfter == 0) {
        errno = EIO;
        return -1;
    }
    if (s->faults.failAfter > 0 && size > static_cast<size_t>(s->faults.failAfter))
        size = static_cast<size_t>(s->faults.failAfter);
    size_t got = fread(buf, 1, size, s->inner);
    if (s->faults.failAfter > 0)
        s->faults.failAfter -= static_cast<long>(got);
    return static_cast<ssize_t>(got);
}

inline int countedClose(void* cookie)
{
    CountedStream* s = static_cast<CountedStream*>(cookie);
    int r = fclose(s->inner);
    bool fail = s->faults.failClose;
    delete s;
    --liveStreams;
    return fail ? -1 : r;
}

// openFile (text mode and all) under a stream that counts its close.
inline FILE* countingOpener(const char* path, const char* mode)
{
    FILE* inner = openFile(path, mode);
    StreamFaults faults = nextFaults;
    nextFaults = StreamFaults();
    if (!inner)
        return nullptr;
    cookie_io_functions_t io = {countedRead, nullptr, nullptr, countedClose};
    CountedStream* s = new CountedStream{inner, faults};
    FILE* f = fopencookie(s, "r", io);
    if (!f) {
        fclose(inner);
        delete s;
        return nullptr;
    }
    ++liveStreams;
    ++openedStreams;
    return f;
}

// A call that the library refuses with one queued message, stopping the run.
struct RefusedCall {
    const char* what;
    std::function<void()> call;
    std::string message;
};

// ---- the fixture

inline const ModuleRegisterFunction fileTableLibraries[] = {BaseModuleRegister, FileModuleRegister,
                                                            TableModuleRegister, nullptr};

// Attaches BASE, FILE and TABLE and runs their load hooks, in a scratch
// directory that is the current directory; the circuit file lies in its
// folder "kreis".
class LibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        queued.clear();
        stringConstants.clear();
        nextFaults = StreamFaults();
        liveStreams = 0;
        openedStreams = 0;
        char cwd[4096];
        ASSERT_NE(nullptr, getcwd(cwd, sizeof cwd));
        oldDirectory = cwd;
        ASSERT_EQ(0, chdir(scratch.path.c_str()));
        scratch.mkdir("kreis");
        circuitFile = scratch.file("kreis/regelkreis.kyt");
        HostSeams seams = {};
        seams.queueDeferredMessage = recordQueued;
        seams.stringCount = stringCount;
        seams.stringText = stringText;
        seams.circuitFileName = circuitFileName;
        setHostSeams(&seams);
        setRunTimeFileOpener(countingOpener);
        setModuleLibraryList(fileTableLibraries);
        ASSERT_EQ(0, ModuleRegistryLoad());
        runState = RunState();
        runState.phase = 2;
        resetRunErrors();
        ASSERT_EQ(0, runLoadHooks());
        runStartHooks();
    }
    void TearDown() override
    {
        runUnloadHooks();
        EXPECT_EQ(0, liveStreams) << "a file was left open";
        ModuleRegistryFree();
        setModuleLibraryList(nullptr);
        setHostSeams(nullptr);
        setRunTimeFileOpener(nullptr);
        runState = RunState();
        EXPECT_EQ(0, chdir(oldDirectory.c_str()));
    }

    // The double of a string constant, as PI code passes it.
    static double name(const std::string& text)
    {
        stringConstants.push_back(text);
        return stringCount() - 1;
    }

    static const ModuleEntry& row(const char* rowName)
    {
        const ModuleEntry* e = ModuleRegistryLookup(rowName);
        EXPECT_NE(nullptr, e) << rowName;
        return *e;
    }
    static double f1(const char* n, double a)
    {
        return reinterpret_cast<double (*)(double)>(row(n).function)(a);
    }
    static double f2(const char* n, double a, double b)
    {
        return reinterpret_cast<double (*)(double, double)>(row(n).function)(a, b);
    }
    static double f3(const char* n, double a, double b, double c)
    {
        return reinterpret_cast<double (*)(double, double, double)>(row(n).function)(a, b, c);
    }
    static void p1(const char* n, double a)
    {
        reinterpret_cast<void (*)(double)>(row(n).function)(a);
    }

    static bool stopped() { return runState.errorFlag == kRunErrorStop; }

    // Each call from an empty queue and a run without an error.
    template <size_t N>
    static void expectEachRefused(const RefusedCall (&calls)[N])
    {
        for (const RefusedCall& c : calls) {
            SCOPED_TRACE(c.what);
            queued.clear();
            resetRunErrors();
            c.call();
            EXPECT_EQ(std::vector<std::string>{c.message}, messages());
            EXPECT_TRUE(stopped());
        }
    }

    ScratchDir scratch;
    std::string oldDirectory;
    RecordingScope recording;
};

inline const double kNaN = std::nan("");

} // namespace libtest

#endif
