// Under wine: the DDE topic "Fuzzy" of kyt's server "KYT". Against kyt
// itself, with the installation's example circuit open, ddeprobe holds ONE conversation
// as a client program does: three damaged files in a row get "Error" and no
// box, then it loads the controller pd9, reads its names, drives it through
// six input pairs, changes an output set, saves, closes and loads the saved
// block again, every reply's text checked; the output values are the
// test's own evaluation of the block. kyt still has its circuit afterwards
// and ends with 0. A request in another format than text gets no data and
// an unknown topic is refused. Against kyt in this process, a block loaded
// over DDE is gone once the next run's load hooks have run.
//
//   kyt_dde_test KYT-PROGRAM DDEPROBE INSTALLATION PD9-FILE WORK-FOLDER FUZZY-EXAMPLE
#include "Application.h"
#include "Dde.h"
#include "KytProgram.h"
#include "MainFrame.h"
#include "ModuleRegistry.h"
#include "WineCheck.h"
#include "RunTimeLibraries.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using winecheck::check;

namespace {

// Fixtures lie at DOS paths without blanks: a command's words are split at
// blanks.
const char kFolder[] = "C:\\kytdde";
const char kBlock[] = "C:\\kytdde\\pd9T.kyb";
// Damaged copies: pd9 cut after 600 bytes, pd9 with an empty rule base, the
// shipped example fuzzy.kyt (a circuit with the block in a wizard block)
// cut after 600 bytes.
const char kCut[] = "C:\\kytdde\\pd9cut.kyb";
const char kNoRules[] = "C:\\kytdde\\pd9leer.kyb";
const char kCutWizard[] = "C:\\kytdde\\fuzzycut.kyt";
// ddeprobe writes its lines to a Unix path; this program reads them by
// the DOS one.
std::string probeUnix;
std::string probeDos;

// pd9 (T, max_min, centroid) by hand, as the FUZZY library's tests have it.
const struct {
    double e, de, u;
} kPairs[] = {
    {0, 0, 0},
    {0.5, -0.25, 703.0 / 7498},
    {-0.7, 0.3, -250.0 / 1887},
    {0.25, 0.75, 1503.0 / 4025},
    {1, 1, 0.84},
    {2, -3, 0},
};

struct Installation {
    std::string dos;
    std::string kyt;
    std::string probe;
};

using winecheck::dosPath;

std::vector<std::string> words(const std::string& text)
{
    std::vector<std::string> out;
    size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ')
            ++i;
        size_t end = text.find(' ', i);
        if (end == std::string::npos)
            end = text.size();
        if (end > i)
            out.push_back(text.substr(i, end - i));
        i = end;
    }
    return out;
}

std::string readText(const std::string& path)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return std::string();
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(f, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(f);
    return text;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        out.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return out;
}

// ddeprobe's line of one reply back to its text.
std::string unescaped(const std::string& line)
{
    std::string text;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size()) {
            text += line[i + 1] == 'n' ? '\n' : line[i + 1];
            ++i;
        } else {
            text += line[i];
        }
    }
    return text;
}

// Runs ddeprobe against KYT/topic with the request items, all on one
// conversation, and gives its lines; pumps meanwhile, since the server may
// live in this process. A probe still running after 30 s is stopped: a
// connect is a broadcast to every top-level window of the display, and a
// window of another test that does not answer must not hold this one.
std::vector<std::string> probeLines(const Installation& inst, const char* topic, const std::vector<std::string>& items)
{
    DeleteFileA(probeDos.c_str());
    std::string line = "\"" + inst.probe + "\" \"" + probeUnix + "\" KYT " + topic;
    for (const std::string& item : items)
        line += " \"request:" + item + "\"";
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return {"(ddeprobe does not start)"};
    CloseHandle(info.hThread);
    bool ended = false;
    for (int i = 0; i < 300 && !ended; ++i) {
        if (MsgWaitForMultipleObjects(1, &info.hProcess, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0)
            ended = true;
        else
            winecheck::pump();
    }
    if (!ended) {
        printf("note: ddeprobe did not end within 30 s and is stopped\n");
        TerminateProcess(info.hProcess, 1);
    }
    CloseHandle(info.hProcess);
    return lines(readText(probeDos));
}

// The replies to the items over one conversation: the text, "no data", or
// "refused" when the topic is not served.
std::vector<std::string> probe(const Installation& inst, const char* topic, const std::vector<std::string>& items)
{
    const std::vector<std::string> got = probeLines(inst, topic, items);
    if (got.empty() || got[0] != "connected")
        return {got.empty() ? std::string("(nothing)") : got[0]};
    std::vector<std::string> replies;
    for (size_t i = 1; i < got.size(); ++i)
        replies.push_back(got[i] == "no data" ? got[i] : unescaped(got[i]));
    return replies;
}

std::string number(double v)
{
    char text[40];
    snprintf(text, sizeof text, "%.17g", v);
    return text;
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (const std::string& l : lines)
        out += l + "|";
    return out;
}

// ---------------------------------------------------------------- pd9 by the test's own evaluation

// The test's own evaluation of pd9 (max_min, centroid): inputs clamped to
// [-1, 1], rule activation the smaller premise degree, the output clipped
// sets joined by max and swept at the 101 points -1 + i * 0.02.
struct Trapez {
    double a, b, c, d;
};

double degree(const Trapez& t, double x)
{
    if (x == t.a && t.a == t.b)
        return 1.0;
    if (x <= t.a)
        return 0.0;
    if (x <= t.b)
        return (x - t.a) / (t.b - t.a);
    if (x <= t.c)
        return 1.0;
    if (x <= t.d)
        return (t.d - x) / (t.d - t.c);
    return 0.0;
}

const Trapez kInputSets[3] = {{-1, -1, -1, 0}, {-1, 0, 0, 1}, {0, 1, 1, 1}};  // N, Z, P
enum { NB, NS, ZO, PS, PB };
// The set concluded for e = N, Z, P (rows) and de = N, Z, P (columns).
const int kRules[3][3] = {{NB, NS, ZO}, {NS, ZO, PS}, {ZO, PS, PB}};

struct Pd9Sets {
    Trapez out[5] = {{-1, -1, -1, -0.5}, {-1, -0.5, -0.5, 0}, {-0.5, 0, 0, 0.5}, {0, 0.5, 0.5, 1}, {0.5, 1, 1, 1}};
};

double clamped(double v)
{
    return v < -1 ? -1 : v > 1 ? 1 : v;
}

double pd9Output(const Pd9Sets& sets, double e, double de)
{
    e = clamped(e);
    de = clamped(de);
    double weighted = 0, total = 0;
    for (int i = 0; i <= 100; ++i) {
        const double x = -1 + i * 0.02;
        double mu = 0;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                const double w = std::min(degree(kInputSets[r], e), degree(kInputSets[c], de));
                mu = std::max(mu, std::min(degree(sets.out[kRules[r][c]], x), w));
            }
        weighted += x * mu;
        total += mu;
    }
    return total == 0 ? 0.0 : weighted / total;
}

// A value as GetOutputValue writes it: 20 significant digits, trailing
// mantissa zeros dropped (the point stays), no leading zeros in a negative
// exponent.
std::string twentyDigits(double v)
{
    char text[64];
    snprintf(text, sizeof text, "%#.20g", v);
    std::string t = text;
    const size_t e = t.find('e');
    std::string mantissa = t.substr(0, e);
    std::string exponent = e == std::string::npos ? "" : t.substr(e);
    while (!mantissa.empty() && mantissa.back() == '0')
        mantissa.pop_back();
    if (exponent.size() > 2 && exponent[1] == '-')
        while (exponent.size() > 3 && exponent[2] == '0')
            exponent.erase(2, 1);
    return mantissa + exponent;
}

// ---------------------------------------------------------------- kyt itself

BOOL CALLBACK matchFrame(HWND hwnd, LPARAM p)
{
    std::pair<DWORD, HWND>* s = reinterpret_cast<std::pair<DWORD, HWND>*>(p);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (process == s->first && lstrcmpA(cls, "AppFrameCL") == 0 && IsWindowVisible(hwnd)) {
        s->second = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND waitForFrame(DWORD process)
{
    for (int waited = 0; waited < 20000; waited += 50) {
        std::pair<DWORD, HWND> search(process, nullptr);
        EnumWindows(matchFrame, reinterpret_cast<LPARAM>(&search));
        if (search.second)
            return search.second;
        Sleep(50);
    }
    return nullptr;
}

// A request in another format than text, and one in text for comparison,
// from a client of this process; true when data came.
bool requestIn(UINT format, const char* item)
{
    DdeClient client;
    DdeConversation conversation(&client, "KYT", "Fuzzy");
    if (!conversation.isConnected())
        return false;
    HSZ itemHandle = DdeCreateStringHandleA(client.instance(), item, CP_WINANSI);
    HDDEDATA data = DdeClientTransaction(nullptr, 0, conversation.conversation, itemHandle, format, XTYP_REQUEST,
                                         5000, nullptr);
    DdeFreeStringHandle(client.instance(), itemHandle);
    if (data)
        DdeFreeDataHandle(data);
    return data != nullptr;
}

bool writeFile(const std::string& path, const std::string& text)
{
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(f);
    return ok && written == text.size();
}

// The three damaged files beside the good block.
bool writeDamagedFiles(const std::string& fuzzyExample)
{
    const std::string pd9 = readText(kBlock);
    const std::string example = readText(fuzzyExample);
    const size_t rules = pd9.find("RULEBASE;\n");
    const size_t rulesEnd = pd9.find("ENDRULEBASE;");
    if (pd9.size() < 600 || example.size() < 600 || rules == std::string::npos || rulesEnd == std::string::npos)
        return false;
    const std::string noRules = pd9.substr(0, rules + 10) + pd9.substr(rulesEnd);
    return writeFile(kCut, pd9.substr(0, 600)) && writeFile(kNoRules, noRules) &&
           writeFile(kCutWizard, example.substr(0, 600));
}

// One step of the exchange: the request and the reply it must get.
struct Step {
    std::string item;
    std::string reply;
};

// The exchange of a client program with kyt on one conversation.
std::vector<Step> exchange()
{
    const std::string load = std::string("LoadFile ") + kBlock;
    std::vector<Step> steps = {
        {std::string("LoadFile ") + kCut, "Error"},
        {std::string("LoadFile ") + kNoRules, "Error"},
        {std::string("LoadFile ") + kCutWizard, "Error"},
        {std::string("LoadFile ") + kCut, "Error"},
        {"ShowActiveBlocks", ""},
        {load, "0"},
        {"ShowInputNames 0", "INPUTS: e, de"},
        {"ShowOutputNames 0", "OUTPUTS: u"},
        {"InitSimulation 0", "1"},
    };
    const Pd9Sets shipped;
    for (const auto& p : kPairs) {
        steps.push_back({"SetInputValue 0 e " + number(p.e), "1"});
        steps.push_back({"SetInputValue 0 de " + number(p.de), "1"});
        steps.push_back({"SimulateStep 0", "1"});
        steps.push_back({"GetOutputValue 0 u", twentyDigits(pd9Output(shipped, p.e, p.de))});
    }
    // PS ends at 0.875 instead of 1.
    Pd9Sets changed;
    changed.out[PS].d = 0.875;
    const double e = 0.25, de = 0.75;
    const std::vector<Step> rest = {
        {"SetParameterOfMemberOfVariable 0 4 PS u 0.875", "1"},
        {"ShowParametersOfMemberOfVariable 0 PS u", "PS: \n\tTrapez: 0, 0.5, 0.5, 0.875\n"},
        {"SetInputValue 0 e " + number(e), "1"},
        {"SetInputValue 0 de " + number(de), "1"},
        {"SimulateStep 0", "1"},
        {"GetOutputValue 0 u", twentyDigits(pd9Output(changed, e, de))},
        {"SaveBlock 0", "1"},
        {"ShowActiveBlocks", std::string("0 : ") + kBlock + " | pd9\n"},
        {"CloseBlock 0", "1"},
        {"ShowActiveBlocks", ""},
        {"GetOutputValue 0 u", "no data"},
        // The saved block comes back with the changed set.
        {load, "0"},
        {"SetInputValue 0 e " + number(e), "1"},
        {"SetInputValue 0 de " + number(de), "1"},
        {"SimulateStep 0", "1"},
        {"GetOutputValue 0 u", twentyDigits(pd9Output(changed, e, de))},
        {"CloseAllBlocks", "1"},
    };
    steps.insert(steps.end(), rest.begin(), rest.end());
    return steps;
}

std::string windowTitle(HWND hwnd)
{
    char text[256] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

void againstKyt(const Installation& inst, const std::string& fuzzyExample)
{
    check(writeDamagedFiles(fuzzyExample), "the damaged files are written");
    // The evaluation of this test against the hand-computed values.
    bool ownEvaluation = true;
    for (const auto& p : kPairs)
        ownEvaluation = ownEvaluation && std::fabs(pd9Output(Pd9Sets(), p.e, p.de) - p.u) < 1e-12;
    check(ownEvaluation, "the test's evaluation of pd9 gives the hand-computed values");

    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    std::string line = "\"" + inst.kyt + "\" -i" + inst.dos + " example.kyt";
    const std::string folder = inst.dos + "\\examples";
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info)) {
        check(false, "kyt starts");
        return;
    }
    CloseHandle(info.hThread);
    HWND frame = waitForFrame(info.dwProcessId);
    check(frame != nullptr, "kyt shows its main frame");
    // The frame shows before the circuit is read.
    const std::string title = "KYT 2.52 - example.kyt";
    for (int waited = 0; frame && waited < 20000 && windowTitle(frame) != title; waited += 50)
        Sleep(50);
    check(frame && windowTitle(frame) == title,
          ("kyt has the circuit open: " + (frame ? windowTitle(frame) : std::string())).c_str());

    const std::vector<Step> steps = exchange();
    std::vector<std::string> items;
    for (const Step& s : steps)
        items.push_back(s.item);
    std::vector<std::string> got;
    {
        // A box would wait for a person; should one come, it is answered
        // and the test fails.
        winecheck::BoxWatcher box(info.dwProcessId, "Nachricht", IDOK, 15000);
        got = probe(inst, "Fuzzy", items);
        check(!box.found(), ("kyt shows no box for a DDE request: " + box.text()).c_str());
    }
    check(got.size() == steps.size(), ("every request of the one conversation is answered: " + joined(got)).c_str());
    for (size_t i = 0; i < steps.size() && i < got.size(); ++i)
        check(got[i] == steps[i].reply,
              ("\"" + steps[i].item + "\" gets \"" + steps[i].reply + "\": \"" + got[i] + "\"").c_str());
    check(readText(kBlock).find("TRAPEZ 0, 0.5, 0.5, 0.875;") != std::string::npos,
          "SaveBlock wrote the changed set into the file");

    check(WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT && IsWindow(frame) && windowTitle(frame) == title,
          "after the damaged files kyt still runs with its circuit");
    check(requestIn(CF_TEXT, "ShowActiveBlocks"), "a text request of this process is answered");
    check(!requestIn(CF_BITMAP, "ShowActiveBlocks") && !requestIn(CF_DIB, "GetOutputValue 0 u"),
          "a request in another format gets no data");
    check(probe(inst, "Fremd", {"ShowActiveBlocks"}) == std::vector<std::string>{"refused"},
          "the topic \"Fremd\" is refused");
    check(probe(inst, "Fuzzy", {std::string("LoadFile ") + kBlock, "getoutputvalue 0 u", "GetOutputValue",
                                "GetOutputValue abc u", "CloseBlock 0", "GetOutputValue 0 u"}) ==
              (std::vector<std::string>{"0", "no data", "no data", "no data", "1", "no data"}),
          "a wrong command word, missing words and a free slot get no data");

    if (frame)
        PostMessageA(frame, WM_CLOSE, 0, 0);
    DWORD code = 99;
    if (WaitForSingleObject(info.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(info.hProcess, 99);
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    check(code == 0, "kyt ends with 0");
}

// ---------------------------------------------------------------- kyt in this process

// The run's load as the loader ends it: the libraries attached and their
// load hooks run.
void loadLikeTheNextRun()
{
    ModuleRegistryLoad();
    runLoadHooks();
}

class InProcessKyt : public KytProgram {
public:
    InProcessKyt(Application* application, const Installation& installation)
        : KytProgram(application, ("-i" + installation.dos).c_str()), inst(installation)
    {
    }

protected:
    void runCircuit(int) override {}
    int messageLoop() override
    {
        winecheck::pump();
        const std::vector<std::string> loaded =
            probe(inst, "Fuzzy", {std::string("LoadFile ") + kBlock, "SimulateStep 0", "GetOutputValue 0 u"});
        check(loaded.size() == 3 && loaded[0] == "0" && loaded[1] == "1" && std::fabs(atof(loaded[2].c_str())) < 1e-9,
              ("kyt in this process serves the topic: " + joined(loaded)).c_str());
        loadLikeTheNextRun();
        const std::vector<std::string> after = probe(inst, "Fuzzy", {"ShowActiveBlocks", "GetOutputValue 0 u"});
        check(after == (std::vector<std::string>{"", "no data"}),
              ("a block loaded over DDE is gone after the next run's load: " + joined(after)).c_str());
        runUnloadHooks();
        ModuleRegistryFree();
        PostMessageA(frame()->hwnd, WM_COMMAND, kCommandExit, 0);
        return KytProgram::messageLoop();
    }

private:
    const Installation& inst;
};

} // namespace

void appMain(Application* app)
{
    // The libraries kyt hands to the registry (FUZZY and IDENT with the engine's own).
    setModuleLibraryList(kRunTimeLibraries);
    const std::vector<std::string> args = words(app->commandLine.text() ? app->commandLine.text() : "");
    if (args.size() != 6) {
        printf("usage: kyt_dde_test KYT-PROGRAM DDEPROBE INSTALLATION PD9-FILE WORK-FOLDER FUZZY-EXAMPLE\n");
        app->exitCode = 2;
        return;
    }
    winecheck::startWatchdog(200);
    Installation inst;
    inst.kyt = dosPath(args[0]);
    inst.probe = dosPath(args[1]);
    inst.dos = dosPath(args[2]);
    probeUnix = args[4] + "/probe.txt";
    probeDos = "Z:" + dosPath(probeUnix);
    CreateDirectoryA(kFolder, nullptr);
    check(CopyFileA(dosPath(args[3]).c_str(), kBlock, FALSE) != 0, "pd9 is copied to C:\\kytdde");

    againstKyt(inst, dosPath(args[5]));

    InProcessKyt kyt(app, inst);
    check(kyt.run() == 0, "kyt in this process ends with 0");
    app->exitCode = winecheck::summary();
}
