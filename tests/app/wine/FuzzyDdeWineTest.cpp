// Under wine: the DDE topic "Fuzzy" of kyt's server "KYT". Against kyt
// itself, ddeprobe loads the controller pd9 and drives it through the six
// input pairs of the FUZZY library's table; a request in another format than
// text gets no data and an unknown topic is refused. Against kyt in this
// process, a block loaded over DDE is gone once the next run's load hooks
// have run.
//
//   kyt_dde_test KYT-PROGRAM DDEPROBE INSTALLATION PD9-FILE WORK-FOLDER
#include "Application.h"
#include "Dde.h"
#include "KytProgram.h"
#include "MainFrame.h"
#include "ModuleRegistry.h"
#include "WineCheck.h"

#include <windows.h>

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

// Runs ddeprobe against KYT/topic with one request item and gives its
// lines; pumps meanwhile, since the server may live in this process.
std::vector<std::string> probeOnce(const Installation& inst, const char* topic, const std::string& item)
{
    DeleteFileA(probeDos.c_str());
    std::string line = "\"" + inst.probe + "\" \"" + probeUnix + "\" KYT " + topic + " \"request:" + item + "\"";
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
    if (!ended)
        TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);
    return lines(readText(probeDos));
}

// The replies to the items, each from a conversation of its own: under
// this Wine a request that follows an answered one on the same
// conversation gets no data. A reply is the text, "no data", or "refused"
// when the topic is not served.
std::vector<std::string> probe(const Installation& inst, const char* topic, const std::vector<std::string>& items)
{
    std::vector<std::string> replies;
    for (const std::string& item : items) {
        const std::vector<std::string> got = probeOnce(inst, topic, item);
        if (got.empty() || got[0] != "connected") {
            replies.push_back(got.empty() ? std::string("(nothing)") : got[0]);
            continue;
        }
        std::string reply;
        for (size_t i = 1; i < got.size(); ++i)
            reply += (i > 1 ? "\n" : "") + got[i];
        replies.push_back(reply);
    }
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

void againstKyt(const Installation& inst)
{
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    std::string line = "\"" + inst.kyt + "\" -i" + inst.dos;
    const std::string folder = inst.dos + "\\examples";
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info)) {
        check(false, "kyt starts");
        return;
    }
    CloseHandle(info.hThread);
    HWND frame = waitForFrame(info.dwProcessId);
    check(frame != nullptr, "kyt shows its main frame");

    std::vector<std::string> items = {std::string("LoadFile ") + kBlock};
    std::vector<std::string> expected = {"0"};
    for (const auto& p : kPairs) {
        items.push_back("SetInputValue 0 e " + number(p.e));
        items.push_back("SetInputValue 0 de " + number(p.de));
        items.push_back("SimulateStep 0");
        items.push_back("GetOutputValue 0 u");
        expected.insert(expected.end(), {"1", "1", "1", ""});
    }
    items.push_back("ShowActiveBlocks");
    const std::vector<std::string> got = probe(inst, "Fuzzy", items);
    bool answered = got.size() >= expected.size();
    bool values = answered;
    for (size_t i = 0; answered && i < expected.size(); ++i) {
        if (!expected[i].empty()) {
            answered = answered && got[i] == expected[i];
            continue;
        }
        const double u = kPairs[(i - 1) / 4].u;
        char* end = nullptr;
        const double v = strtod(got[i].c_str(), &end);
        values = values && end && *end == '\0' && !got[i].empty() && std::fabs(v - u) < 1e-9;
    }
    check(answered, ("LoadFile gives slot 0, SetInputValue and SimulateStep reply 1: " + joined(got)).c_str());
    check(values, "GetOutputValue gives the kernel's values for the six input pairs");
    check(got.size() > expected.size() && got[expected.size()] == std::string("0 : ") + kBlock + " | pd9\n",
          "ShowActiveBlocks lists the block as \"n : name | block\"");

    check(requestIn(CF_TEXT, "ShowActiveBlocks"), "a text request of this process is answered");
    check(!requestIn(CF_BITMAP, "ShowActiveBlocks") && !requestIn(CF_DIB, "GetOutputValue 0 u"),
          "a request in another format gets no data");
    check(probeOnce(inst, "Fremd", "ShowActiveBlocks") == std::vector<std::string>{"refused"},
          "the topic \"Fremd\" is refused");
    check(probe(inst, "Fuzzy", {"getoutputvalue 0 u", "GetOutputValue", "GetOutputValue abc u", "CloseBlock 0",
                                "GetOutputValue 0 u"}) ==
              (std::vector<std::string>{"no data", "no data", "no data", "1", "no data"}),
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
    const std::vector<std::string> args = words(app->commandLine.text() ? app->commandLine.text() : "");
    if (args.size() != 5) {
        printf("usage: kyt_dde_test KYT-PROGRAM DDEPROBE INSTALLATION PD9-FILE WORK-FOLDER\n");
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

    againstKyt(inst);

    InProcessKyt kyt(app, inst);
    check(kyt.run() == 0, "kyt in this process ends with 0");
    app->exitCode = winecheck::summary();
}
