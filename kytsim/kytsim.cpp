// kytsim MODEL [--FIELD VALUE ...]: compiles a model-text file as the run
// command does, simulates it to its end without any window and prints the
// plot's points as ASCII columns (a header "#" with the x title and the
// signal names, then one line per point). Every settings field is an
// option named after it (--FNAME out.txt --IALG 1 --INITSTEP 0.01 ...);
// the others keep their defaults.
//
// Messages go to standard error; a library's deferred message is shown at
// once and does not pause the run. Ctrl+C stops the run as "St&op" does.
//
// The library "Local" (the wizards' blocks that FZINIT and the other
// run-time libraries read) comes from the installation file kyt.ini in the
// directory of --INI DIR, by default the current directory as for kyt, or
// straight from --LOCAL DIR.
//
// kytsim CIRCUIT.kyt --ini KYT.INI [--FIELD VALUE ...]: the file is a saved
// circuit. The installation is read from KYT.INI; TEMPDIR and library Local
// are a fresh private directory (removed at the end), so that the run never
// meets an editor's lock or files. The circuit's own settings apply, the
// options override them; the circuit is checked, written for the compiler,
// compiled, labelled and run as the run command does.
//
// Mended: runs stopped by an error exited 0, so scripts took them for
// complete ones. The exit status is 0 only for a normal end (the end, QUIT,
// BREAK or the model's own EXIT); 1 when nothing ran (bad options, a model
// that does not compile or load, a kyt.ini named but not readable); the end
// code 4 to 8 of a run that ended with an error; 130 after Ctrl+C.
#include "CircuitModel.h"
#include "CircuitReader.h"
#include "CompileRoad.h"
#include "LocalLibrary.h"
#include "RunRoad.h"
#include "SignalNameRegistry.h"
#include "Workspace.h"

#include "RunTimeLibraries.h"

#include "HostServices.h"
#include "ModuleRegistry.h"
#include "PiLoader.h"
#include "PiProgram.h"
#include "PlotServices.h"
#include "RunState.h"
#include "SimParams.h"
#include "Simulator.h"

#include "ErrorReporter.h"
#include "FileLayer.h"
#include "IniReader.h"
#include "Integrators.h"
#include "NumberFormat.h"
#include "ResString.h"
#include "ShowFile.h"
#include "strings/MessagesStrings.h"
#include "strings/SimulatorStrings.h"

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

class ConsoleSink : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char* text, const char*) override { fprintf(stderr, "%s\n", text); }
    [[noreturn]] void endProcess(int exitCode) override
    {
        fflush(stdout);
        exit(exitCode);
    }
};

const char* modelPath = "";
// The file that the viewer's messages are about: the model, or kyt.ini while
// it is read.
const char* viewedPath = "";

// Compiler messages name the model file and the line.
class ConsoleViewer : public FileViewer {
public:
    void showFile(const char* message, const char*, int line) override
    {
        if (line > 0)
            fprintf(stderr, "%s:%d:\n%s\n", viewedPath, line, message);
        else
            fprintf(stderr, "%s:\n%s\n", viewedPath, message);
    }
};

// Exit statuses besides the end codes.
const int kExitNothingRan = 1;
const int kExitInterrupted = 130;

// --help: the call, the options besides the settings fields and the exit
// statuses.
const unsigned kHelpTexts[] = {kStrKytsimUsage, kStrKytsimMoreOptions, kStrKytsimExitCodes1, kStrKytsimExitCodes2, kStrKytsimExitCodes3};

// The directory of the library "Local".
std::string localDirectory;

const char* localLibrary()
{
    return localDirectory.c_str();
}

// Standard output is the null device: nothing shown there is formatted.
bool stdoutIsNullDevice()
{
    struct stat out, null;
    return fstat(STDOUT_FILENO, &out) == 0 && S_ISCHR(out.st_mode) &&
           stat("/dev/null", &null) == 0 && S_ISCHR(null.st_mode) && out.st_rdev == null.st_rdev;
}

// The points as the plot's ASCII export writes them: names with their
// blanks as underscores, numbers in the one number text of the system.
// A point is one line built in one buffer and written at once.
class ConsolePlot : public PlotServices {
public:
    void setSignals(int n) override { names.assign(static_cast<size_t>(n > 0 ? n : 0), ""); }
    void setSignal(int index, const char* name, uint32_t) override
    {
        if (index >= 0 && index < static_cast<int>(names.size()))
            names[static_cast<size_t>(index)] = name;
    }
    void setTitle(const char* text) override { title = text; }
    void setPagingMode(int) override {}
    void setRunState(int) override {}
    void stampDateTime() override {}
    void setStatusText(const char*) override {}
    void clearPoints() override { headerWritten = false; }
    void addPoint(double x, const double* values, int count) override
    {
        if (discard)
            return;
        if (!headerWritten) {
            std::string header = "#" + underscored(title);
            for (const std::string& n : names)
                header += " " + underscored(n);
            puts(header.c_str());
            headerWritten = true;
        }
        line.resize((names.size() + 1) * (kMaxNumberText + 1) + 1);
        char* p = &line[0];
        p += formatNumber(x, p);
        for (size_t i = 0; i < names.size(); ++i) {
            *p++ = ' ';
            p += formatNumber(static_cast<int>(i) < count ? values[i] : 0.0, p);
        }
        *p++ = '\n';
        fwrite(line.data(), 1, static_cast<size_t>(p - line.data()), stdout);
    }
    void rescale() override { fflush(stdout); }
    int newSettingsFlag() override { return 0; }
    void clearNewSettingsFlag() override {}
    void setPlotParams(const PlotParams&) override {}

private:
    static std::string underscored(std::string s)
    {
        for (char& c : s)
            if (c == ' ')
                c = '_';
        return s;
    }
    std::string title;
    std::vector<std::string> names;
    bool headerWritten = false;
    const bool discard = stdoutIsNullDevice();
    // The line of a point; kept from point to point.
    std::string line;
};

class ConsoleHost : public RunHost {
public:
    explicit ConsoleHost(const char* model) : name(model) {}
    bool confirmSettings(SimParams&, int) override { return true; }
    void getPlotParams(PlotParams& params) override { params = PlotParams{1, 1, 1, 1, 0, 0}; }
    const char* circuitName() override { return name; }
    void setMainStatus(int, const char*) override {}
    void setPlotStatus(int, const char*) override {}
    void startStatusTimer(int) override {}
    void stopStatusTimer() override {}
    void registerIdleTask() override {}
    void unlockEditing() override {}

private:
    const char* name;
};

// No main window to show them later: a library's message is shown at once.
void showNow(int level, const char* text)
{
    reportError(level, "%s", text);
}

const char* circuitFile()
{
    return modelPath;
}

const char* systemTempDir()
{
    const char* dir = getenv("TMPDIR");
    return dir && *dir ? dir : "/tmp";
}

volatile std::sig_atomic_t interrupted = 0;

void stopOnInterrupt(int)
{
    stopRequest = 1;
    interrupted = 1;
}

// The whole text must be the number.
bool readDouble(const char* text, double* value)
{
    size_t n = parseNumber(text, value);
    return n > 0 && text[n] == 0;
}

bool readInt(const char* text, int* value)
{
    char* end = nullptr;
    long v = strtol(text, &end, 10);
    if (!*text || *end || v < -2147483647L - 1 || v > 2147483647L)
        return false;
    *value = static_cast<int>(v);
    return true;
}

// One option "--FIELD VALUE" into the settings; false after its message.
bool setOption(SimParams& settings, const char* option, const char* value)
{
    const SimParamField* field =
        strncmp(option, "--", 2) == 0 ? findSimParamField(option + 2) : nullptr;
    if (!field) {
        reportError(ERR_ERROR, getResString(kStrUnknownOption), option);
        return false;
    }
    if (!value) {
        reportError(ERR_ERROR, getResString(kStrOptionWithoutValue), option);
        return false;
    }
    char* at = reinterpret_cast<char*>(&settings) + field->offset;
    switch (field->kind) {
    case SIM_PARAM_TEXT:
        if (!setResultFileName(settings, value)) {
            reportError(ERR_ERROR, getResString(kStrFileNameTooLong), value);
            return false;
        }
        return true;
    case SIM_PARAM_INT: {
        int v;
        if (!readInt(value, &v)) {
            reportError(ERR_ERROR, getResString(kStrOptionNotANumber), option, value);
            return false;
        }
        memcpy(at, &v, sizeof v);
        return true;
    }
    case SIM_PARAM_DOUBLE: {
        double v;
        if (!readDouble(value, &v)) {
            reportError(ERR_ERROR, getResString(kStrOptionNotANumber), option, value);
            return false;
        }
        memcpy(at, &v, sizeof v);
        return true;
    }
    }
    return false;
}

// The editor labels each marked signal with its name.
void labelOutputs()
{
    for (int i = 0; i < piProgram.nsymbols; ++i)
        if (piProgram.symbols[i].flags & PI_SAVE)
            piProgram.symbols[i].label = piProgram.symbols[i].name;
}

int simulate(const SimParams& settings)
{
    ConsolePlot plot;
    ConsoleHost host(modelPath);
    Simulator simulator(&plot, &host);
    if (!simulator.startSimulation(settings, 1))
        return 1;
    signal(SIGINT, stopOnInterrupt);
    while (!simulator.SimulationRunStep()) {
    }
    signal(SIGINT, SIG_DFL);
    fflush(stdout);
    const int code = simulator.lastEndCode();
    if (code == SIM_END_STOPPED && interrupted)
        return kExitInterrupted;
    if (code == SIM_END_NORMAL || code == SIM_END_STOPPED || code == SIM_END_EXIT)
        return 0;
    return code;
}

// The library "Local" from kyt.ini in installDir. A kyt.ini that is not
// there is no mistake when no directory was named: the run then has no
// local library, as the test harness. False after a message.
bool readInstallation(const char* installDir, bool named)
{
    const String path = joinPath(installDir, "kyt.ini");
    FILE* f = openFile(path.text(), "rt");
    if (!f) {
        if (!named)
            return true;
        reportError(ERR_ERROR, getResString(kStrCannotOpen), path.text());
        return false;
    }
    ADArray<BlockLibrary> libraries;
    int count = 0;
    viewedPath = path.text();
    {
        IniReader reader;
        reader.setFile(f, path.text());
        reader.read(libraries, count);
    }
    viewedPath = modelPath;
    fclose(f);
    for (int i = 0; i < count; ++i)
        if (strcmp(libraries[i].name.text(), "Local") == 0) {
            localDirectory = libraries[i].file.text();
            return true;
        }
    if (named) {
        reportError(ERR_ERROR, getResString(kStrNoLocalInIni), path.text());
        return false;
    }
    return true;
}

// A fresh directory of its own in the system's temporary directory.
std::string makePrivateDirectory()
{
    std::string pattern = std::string(systemTempDir()) + "/kytsim-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back(0);
    return mkdtemp(buffer.data()) ? std::string(buffer.data()) : std::string();
}

void removePrivateDirectory(const std::string& dir)
{
    if (dir.empty())
        return;
    deleteDirectoryFiles(dir.c_str());
    rmdir(dir.c_str());
}

typedef std::vector<std::pair<const char*, const char*>> OptionList;

bool applyOptions(SimParams& settings, const OptionList& options)
{
    for (const auto& o : options)
        if (!setOption(settings, o.first, o.second))
            return false;
    return true;
}

// The circuit mode: a saved circuit with its installation file.
int runCircuit(const char* path, const char* iniPath, const OptionList& options)
{
    Workspace workspace;
    readInstallationFile(workspace, iniPath);
    const std::string privateDir = makePrivateDirectory();
    if (privateDir.empty()) {
        reportError(ERR_ERROR, getResString(kStrCannotOpen), systemTempDir());
        return kExitNothingRan;
    }
    workspace.setTempDir(privateDir.c_str());
    bool hasLocal = false;
    for (int i = 0; i < workspace.libraryCount; ++i)
        if (strcmp(workspace.libraries[i].name.text(), "Local") == 0) {
            workspace.libraries[i].file = privateDir.c_str();
            workspace.libraries[i].sectionCount = 0;
            hasLocal = true;
        }
    if (!hasLocal) {
        BlockLibrary& local = workspace.libraries[workspace.libraryCount++];
        local.name = "Local";
        local.file = privateDir.c_str();
        local.sectionCount = 0;
    }
    workspace.circuitName = path;
    localDirectory = privateDir;
    setWorkspace(&workspace);
    SignalNameRegistry registry;
    sNBase = &registry;

    int status = kExitNothingRan;
    bool keepPrivate = false;
    {
        CircuitModel model;
        CircuitReader reader(0);
        if (!reader.openFile(path)) {
            reportError(ERR_ERROR, getResString(kStrCannotOpen), path);
        } else {
            model.readCircuit(reader);
            reader.closeFile();
            SimParams settings;
            workspace.getSimParams(settings);
            // A circuit without blocks that could not be written to Local
            // is not the circuit asked for: it does not run.
            if (!reader.failed() && !reader.incomplete() && applyOptions(settings, options)) {
                const RunFinding finding = model.checkRunnable();
                if (finding == RunFinding::NoCircuit)
                    reportError(ERR_ERROR, "%s", getResString(kResNoCircuit));
                else if (finding == RunFinding::NoControlBlock)
                    reportError(ERR_ERROR, "%s", getResString(kResNoControlBlock));
                else if (finding == RunFinding::NoMarkedSignal)
                    reportError(ERR_ERROR, "%s", getResString(kResNoMarkedSignal));
                else {
                    // The compiler reads the text written for it, not the
                    // circuit: its lines are that file's, which is kept
                    // and named when it does not compile.
                    const std::string compilerText = privateDir + "/" + kCompilerFileName;
                    viewedPath = compilerText.c_str();
                    const int compiled = compileCircuit(model);
                    viewedPath = modelPath;
                    if (compiled == COMPILE_LOADED) {
                        collectMarkedSymbols(model, piProgram);
                        if (settings.IALG == kMethodNone && piProgram.nstates > 0)
                            reportError(ERR_WARNING, getResString(kStrNoIntegration), piProgram.nstates);
                        status = simulate(settings);
                        releaseCompiledModel();
                    } else if (compiled == COMPILE_PARSE_FAILED || compiled == COMPILE_GENERATION_FAILED) {
                        keepPrivate = true;
                        reportError(ERR_MESSAGE, getResString(kStrCompilerTextKept), compilerText.c_str());
                    }
                }
            }
        }
        model.clear();
    }
    sNBase = nullptr;
    setWorkspace(nullptr);
    if (!keepPrivate)
        removePrivateDirectory(privateDir);
    return status;
}

int run(int argc, char** argv)
{
    SimParams settings = defaultSimParams();
    const char* path = nullptr;
    const char* installDir = nullptr;
    const char* localDir = nullptr;
    const char* circuitIni = nullptr;
    OptionList options;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        if (strcmp(a, "--help") == 0 || strcmp(a, "-h") == 0) {
            for (unsigned id : kHelpTexts)
                printf("%s\n", getResString(id));
            return 0;
        }
        if (strcmp(a, "--INI") == 0 || strcmp(a, "--LOCAL") == 0) {
            if (i + 1 >= argc) {
                reportError(ERR_ERROR, getResString(kStrOptionWithoutValue), a);
                return kExitNothingRan;
            }
            (a[2] == 'I' ? installDir : localDir) = argv[++i];
        } else if (strcmp(a, "--ini") == 0) {
            if (i + 1 >= argc) {
                reportError(ERR_ERROR, getResString(kStrOptionWithoutValue), a);
                return kExitNothingRan;
            }
            circuitIni = argv[++i];
        } else if (a[0] == '-' && a[1]) {
            options.emplace_back(a, i + 1 < argc ? argv[++i] : nullptr);
        } else if (path) {
            reportError(ERR_ERROR, "%s", getResString(kStrKytsimUsage));
            return kExitNothingRan;
        } else {
            path = a;
        }
    }
    if (!path) {
        reportError(ERR_ERROR, "%s", getResString(kStrKytsimUsage));
        return kExitNothingRan;
    }
    modelPath = path;
    viewedPath = path;
    if (!circuitIni && !applyOptions(settings, options))
        return kExitNothingRan;

    // kyt's default: kyt.ini in the current directory.
    if (circuitIni)
        ;
    else if (localDir)
        localDirectory = localDir;
    else if (!readInstallation(installDir ? installDir : ".", installDir != nullptr))
        return kExitNothingRan;

    HostSeams seams = {};
    seams.queueDeferredMessage = showNow;
    seams.stringCount = piStringCount;
    seams.stringText = piStringText;
    seams.circuitFileName = circuitFile;
    seams.localLibraryDirectory = localLibrary;
    setHostSeams(&seams);

    if (circuitIni)
        return runCircuit(path, circuitIni, options);
    if (compileModelFile(path) != COMPILE_LOADED)
        return kExitNothingRan;
    labelOutputs();
    // Mended: method 0 left the states frozen without a word.
    if (settings.IALG == kMethodNone && piProgram.nstates > 0)
        reportError(ERR_WARNING, getResString(kStrNoIntegration), piProgram.nstates);
    return simulate(settings);
}

} // namespace

int main(int argc, char** argv)
{
    // As in the main program: no ERROR.LOG in the current directory.
    disableErrorLog();
    ConsoleSink sink;
    setErrorSink(&sink);
    ConsoleViewer viewer;
    setFileViewer(&viewer);
    setTempDirSource(systemTempDir);
    setModuleLibraryList(kRunTimeLibraries);
    setModuleCatalog(&registryModuleCatalog);
    const int status = run(argc, argv);
    setHostSeams(nullptr);
    setTempDirSource(nullptr);
    setFileViewer(nullptr);
    setErrorSink(nullptr);
    freeResStringCache();
    return status;
}
