// Under wine: a DDE server with the topics "Test" and "Leer" and a client in
// the same program, the test pumping messages while the transactions run.
#include "Application.h"
#include "Dde.h"
#include "ErrorReporter.h"
#include "TraceSink.h"
#include "WineCheck.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using winecheck::check;

namespace {

RecordingTraceSink gTrace;
std::vector<std::string> gExecuted;
HCONV gServerSide = nullptr;
CRITICAL_SECTION gLock;

class ValueItem : public DdeAdviseItem {
public:
    ValueItem(DdeTopic* topic, DdeEvent* event) : DdeAdviseItem(topic, event) {}
    HDDEDATA onAdviseRequest(DdeEvent* event) override
    {
        ++requests;
        return event->makeTextData(("Wert " + std::to_string(requests)).c_str());
    }
    int requests = 0;
};

// Answers a text request with "echo:" and the item, logs executes and
// accepts an advise loop on "Wert".
class TestTopic : public DdeTopic {
public:
    TestTopic(DdeServer* server, const char* name = "Test") : DdeTopic(server, name) {}
    HDDEDATA onConnectConfirm(DdeEvent* event) override
    {
        gServerSide = event->conversation;
        return nullptr;
    }
    HDDEDATA onRequest(DdeEvent* event) override
    {
        if (event->format != CF_TEXT)
            return nullptr;
        std::string reply = std::string("echo:") + event->getItemName().text();
        return event->makeTextData(reply.c_str());
    }
    HDDEDATA onExecute(DdeEvent* event) override
    {
        if (event->data) {
            EnterCriticalSection(&gLock);
            gExecuted.push_back(std::string(reinterpret_cast<const char*>(event->data),
                                            strnlen(reinterpret_cast<const char*>(event->data), event->dataSize)));
            LeaveCriticalSection(&gLock);
        }
        return reinterpret_cast<HDDEDATA>(DDE_FACK);
    }
    HDDEDATA onAdviseStart(DdeEvent* event) override
    {
        if (strcmp(event->getItemName().text(), "Wert") != 0 || findItem(event->item))
            return nullptr;
        new ValueItem(this, event);
        return reinterpret_cast<HDDEDATA>(TRUE);
    }
};

// Records the boxes the program would show; a box in a test would wait for
// a person.
class BoxRecorder : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char* text, const char*) override { boxes.push_back(text); }
    [[noreturn]] void endProcess(int exitCode) override { ExitProcess(static_cast<UINT>(exitCode)); }
    std::vector<std::string> boxes;
};
BoxRecorder gBoxes;

// Its work fails with an error report, as a parser's does on a damaged file;
// the reply tells whether the report reached the program's box sink.
class FailingTopic : public DdeTopic {
public:
    explicit FailingTopic(DdeServer* server) : DdeTopic(server, "Defekt") {}
    HDDEDATA onRequest(DdeEvent* event) override
    {
        reportError(ERR_ERROR, "In oder vor Zeile %d: erwartet wird \"XMIN\"", 46);
        return event->makeTextData(gBoxes.boxes.empty() ? "Error" : "Box");
    }
};

// The server runs on a thread of its own, as a partner program would.
const UINT kPostAdvise = WM_APP + 1;
TestTopic* volatile gTest = nullptr;
volatile LONG gServerReady = 0;
volatile LONG gItems = 0;

std::vector<std::string> executed()
{
    EnterCriticalSection(&gLock);
    std::vector<std::string> copy = gExecuted;
    LeaveCriticalSection(&gLock);
    return copy;
}

DWORD WINAPI serverThread(LPVOID)
{
    DdeServer server("KYT");
    TestTopic test(&server);
    TestTopic measured(&server, "Messung");
    DdeTopic empty(&server, "Leer");
    FailingTopic failing(&server);
    gTest = &measured;
    InterlockedExchange(&gServerReady, server.initialised() ? 1 : -1);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr && msg.message == kPostAdvise) {
            if (!measured.items.empty())
                measured.items.front()->postAdvise();
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
        InterlockedExchange(&gItems, static_cast<LONG>(measured.items.size()));
    }
    gTest = nullptr;
    return 0;
}

int gCompleted = 0;
int gDeleted = 0;

class CountedExecute : public DdeExecute {
public:
    CountedExecute(DdeConversation* c, const char* text, int timeout) : DdeExecute(c, text, timeout) {}
    ~CountedExecute() override { ++gDeleted; }
    HDDEDATA onComplete(DdeEvent*) override
    {
        ++gCompleted;
        return nullptr;
    }
};

class CountedAdvise : public DdeAdviseTransaction {
public:
    CountedAdvise(DdeConversation* c, const char* item) : DdeAdviseTransaction(c, item) {}
    HDDEDATA onAdviseData(DdeEvent* event) override
    {
        if (event->data)
            values.push_back(reinterpret_cast<const char*>(event->data));
        return DdeAdviseTransaction::onAdviseData(event);
    }
    std::vector<std::string> values;
};

// Pumps until done() or about three seconds have passed.
template <typename F>
bool pumpUntil(F done)
{
    for (int i = 0; i < 300 && !done(); ++i) {
        winecheck::pump();
        Sleep(10);
    }
    return done();
}

bool traced(const char* prefix)
{
    for (const std::string& line : gTrace.lines)
        if (line.compare(0, strlen(prefix), prefix) == 0)
            return true;
    return false;
}

std::string gProbe;
std::string gStub;
std::string gFolder;

// Starts a program of this prefix and waits for its end, pumping meanwhile.
bool runProgram(const std::string& commandLine, HANDLE* process = nullptr)
{
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info;
    std::string line = commandLine;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    CloseHandle(info.hThread);
    if (process) {
        *process = info.hProcess;
        return true;
    }
    bool ended = false;
    for (int i = 0; i < 300 && !ended; ++i)
        if (MsgWaitForMultipleObjects(1, &info.hProcess, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0)
            ended = true;
        else
            winecheck::pump();
    if (!ended) {
        // A partner that hangs must not take the rest of the test with it.
        printf("note: %s did not end within 30 s and is stopped\n", commandLine.c_str());
        TerminateProcess(info.hProcess, 3);
        WaitForSingleObject(info.hProcess, 5000);
    }
    CloseHandle(info.hProcess);
    return ended;
}

std::string fileText(const std::string& path)
{
    std::string text;
    if (FILE* f = fopen(path.c_str(), "rb")) {
        char buffer[512];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
            text.append(buffer, n);
        fclose(f);
    }
    return text;
}

// The test tools as partners in other processes: ddeprobe against this
// program's server, this program against kytwork-stub.
void partnerPrograms(DdeClient& client)
{
    std::string out = gFolder + "ddeprobe.txt";
    check(runProgram("\"" + gProbe + "\" \"" + out + "\" KYT Test \"request:Hallo Welt\" execute:STATUS"),
          "ddeprobe starts");
    check(fileText(out) == "connected\necho:Hallo Welt\nok\n", "ddeprobe reaches KYT/Test and is answered");
    runProgram("\"" + gProbe + "\" \"" + out + "\" KYT Fremd request:x");
    check(fileText(out) == "refused\n", "ddeprobe is refused the topic Fremd");
    // A connect is a broadcast to every top-level window of the display;
    // a window of another test program that does not answer for a while
    // holds it up. A probe stopped for that is tried once more.
    if (!runProgram("\"" + gProbe + "\" \"" + out + "\" KYT Leer request:x"))
        runProgram("\"" + gProbe + "\" \"" + out + "\" KYT Leer request:x");
    std::string leer = fileText(out);
    check(leer == "connected\nno data\n", "KYT/Leer gives ddeprobe no data");
    if (leer != "connected\nno data\n")
        printf("note: ddeprobe wrote \"%s\"\n", leer.c_str());

    std::string log = gFolder + "kytwork.log";
    HANDLE stub = nullptr;
    check(runProgram("\"" + gStub + "\" \"" + log + "\"", &stub), "kytwork-stub starts");
    DdeConversation* work = nullptr;
    for (int i = 0; i < 100 && stub; ++i) {
        work = new DdeConversation(&client, "KYTWork", "Command");
        if (work->isConnected())
            break;
        delete work;
        work = nullptr;
        winecheck::pump();
        Sleep(100);
    }
    check(work != nullptr, "KYTWork/Command is reached");
    if (work) {
        const char command[] = "CREATE Ident (1)/(1 -0.5) 0 0.1";
        int deleted = gDeleted;
        CountedExecute* execute = new CountedExecute(work, command, 0);
        check(execute->started() && pumpUntil([&] { return gDeleted == deleted + 1; }), "the execute completes");
        check(fileText(log) == std::string(command) + "\n", "kytwork-stub logs it exactly");
        DdeExecute* end = new DdeExecute(work, "STUB-ENDE", 0);
        check(end->started(), "the end command is sent");
        for (int i = 0; i < 100 && stub; ++i)
            if (MsgWaitForMultipleObjects(1, &stub, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0)
                break;
            else
                winecheck::pump();
        check(WaitForSingleObject(stub, 0) == WAIT_OBJECT_0, "the stub ends");
        // Wine does not tell the client when the server's process has
        // ended; the next execute finds out.
        pumpUntil([&] { return work->isConnected() == 0; });
        DdeExecute* late = new DdeExecute(work, "CREATE Ident", 0);
        check(work->isConnected() == 0 || !late->started(), "after the stub's exit nothing more is sent");
        if (!late->started())
            delete late;
        delete work;
    }
    if (stub) {
        if (WaitForSingleObject(stub, 5000) != WAIT_OBJECT_0)
            TerminateProcess(stub, 1);
        CloseHandle(stub);
    }
}

void run()
{
    InitializeCriticalSection(&gLock);
    DWORD serverId = 0;
    HANDLE thread = CreateThread(nullptr, 0, serverThread, nullptr, 0, &serverId);
    pumpUntil([] { return gServerReady != 0; });
    check(gServerReady == 1, "the server starts");
    DdeClient client;
    check(client.initialised(), "the client starts");

    DdeConversation conversation(&client, "KYT", "Test");
    check(conversation.isConnected() == 1, "KYT/Test is reached");
    gTrace.lines.clear();
    {
        DdeConversation stranger(&client, "KYT", "Fremd");
        check(stranger.isConnected() == 0, "an unknown topic is refused");
        check(traced("Unable to create DDE conversation "), "and traced as error 3");
    }

    String reply;
    check(ddeRequestText(&conversation, "Hallo Welt", reply) && strcmp(reply.text(), "echo:Hallo Welt") == 0,
          "\"Hallo Welt\" is answered with \"echo:Hallo Welt\"");
    DdeConversation none(&client, "KYT", "Leer");
    check(none.isConnected() == 1, "KYT/Leer is reached");
    check(!ddeRequestText(&none, "Hallo Welt", reply), "a topic without requests gives no data");

    // A report inside a transaction goes to the transaction, never into a
    // box, and the program's sink is back in place afterwards.
    {
        gTrace.lines.clear();
        DdeConversation damaged(&client, "KYT", "Defekt");
        bool replies = true;
        for (int i = 0; i < 3; ++i) {
            replies = replies && ddeRequestText(&damaged, "LoadFile defekt.kyb", reply) &&
                      strcmp(reply.text(), "Error") == 0;
            winecheck::pump();
        }
        check(replies && gBoxes.boxes.empty(), "three failing requests reply \"Error\" and show no box");
        bool traced = false;
        for (const std::string& line : gTrace.lines)
            traced = traced || (line.compare(0, 24, "DDE transaction report: ") == 0 &&
                                line.find("In oder vor Zeile 46: erwartet wird \"XMIN\"") != std::string::npos);
        check(traced, "the report's text goes to the trace");
        check(getErrorSink() == &gBoxes, "the program's sink is in place again");
        reportError(ERR_MESSAGE, "danach");
        check(gBoxes.boxes.size() == 1, "a report outside a transaction reaches it");
        gBoxes.boxes.clear();
    }

    // A synchronous execute waits for its answer.
    {
        DdeExecute now(&conversation, "STATUS", 5);
        check(now.started() && executed().size() == 1 && executed()[0] == "STATUS", "a synchronous execute is done at once");
    }

    // An asynchronous execute returns at once and completes later.
    const char command[] = "CREATE Ident (1)/(1 -0.5) 0 0.1";
    CountedExecute* execute = new CountedExecute(&conversation, command, 0);
    check(execute->started(), "the execute is started");
    check(gCompleted == 0, "and returns before its completion");
    check(pumpUntil([] { return gDeleted == 1; }), "its completion arrives");
    check(gCompleted == 1 && gDeleted == 1, "the completion runs once and frees the object");
    check(executed().size() == 2 && executed()[1] == command, "the server logs the text exactly");
    // Advise loop on "Wert".
    gTrace.lines.clear();
    DdeConversation measuring(&client, "KYT", "Messung");
    check(measuring.isConnected() == 1, "KYT/Messung is reached");
    CountedAdvise* advise = new CountedAdvise(&measuring, "Wert");
    check(advise->started(), "the advise loop starts");
    check(pumpUntil([&] { return advise->transactionId == 0 && gItems == 1; }), "the server accepts it");
    PostThreadMessageA(serverId, kPostAdvise, 0, 0);
    pumpUntil([&] { return advise->values.size() == 1; });
    PostThreadMessageA(serverId, kPostAdvise, 0, 0);
    pumpUntil([&] { return advise->values.size() == 2; });
    check(advise->values.size() == 2 && advise->values[0] == "Wert 1" && advise->values[1] == "Wert 2",
          "two posts deliver two values");
    delete advise;
    check(pumpUntil([&] { return gItems == 0; }), "deleting the loop ends it on the server (onAdviseStop ran)");
    check(!traced("Advise for unknown transaction received"), "no advise arrives for an unknown transaction");

    // Names that do not fit their fields.
    gTrace.lines.clear();
    std::string longTopic(50, 'T');
    DdeConversation tooLong(&client, "KYT", longTopic.c_str());
    check(tooLong.isConnected() == 0 && traced("Unable to create DDE conversation "),
          "a topic of 50 characters is not connected (error 3)");
    std::string longItem(100, 'i');
    DdePoke poke(&conversation, longItem.c_str(), "1", 2, 5);
    check(!poke.started() && traced("DDE error number(5,"), "an item of 100 characters starts nothing (error 5)");

    // Without a partner an execute reports that it did not start.
    gTrace.lines.clear();
    DdeConversation missing(&client, "KYTWork", "Command");
    check(missing.isConnected() == 0 && traced("Unable to create DDE conversation "),
          "without the partner there is no conversation, and the trace says so");
    DdeExecute lost(&missing, "CREATE Ident", 0);
    check(!lost.started(), "an execute without conversation reports failure");

    if (!gProbe.empty() && !gStub.empty())
        partnerPrograms(client);

    check(gServerSide != nullptr, "the server confirmed the connections");
    check(conversation.isConnected() == 1 && measuring.isConnected() == 1, "the conversations stay connected");
    PostThreadMessageA(serverId, WM_QUIT, 0, 0);
    while (MsgWaitForMultipleObjects(1, &thread, FALSE, 5000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        winecheck::pump();
    CloseHandle(thread);
}

} // namespace

//   framework_dde_test [DDEPROBE KYTWORK-STUB FOLDER]   (programs as wine paths, the folder for
//   their files as a host path)
int main(int argc, char** argv)
{
    winecheck::startWatchdog(150);
    if (argc > 3) {
        gProbe = argv[1];
        gStub = argv[2];
        gFolder = argv[3];
    }
    setTraceSink(&gTrace);
    disableErrorLog();
    Application* app = new Application(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWNORMAL);
    setErrorSink(&gBoxes);
    run();
    app->shutdown();
    delete app;
    setErrorSink(nullptr);
    setTraceSink(nullptr);
    return winecheck::summary();
}
