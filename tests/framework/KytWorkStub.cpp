// A stand-in for the outside DDE server "KYTWork": it serves the topic
// "Command" and writes each execute text as one line into LOGFILE.
//
//   kytwork-stub LOGFILE [--refuse]
//
// Executes are answered DDE_FACK, with --refuse DDE_FNOTPROCESSED. The text
// "STUB-ENDE" ends the program (after it is logged); so does one minute
// without it.
#include "Dde.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

FILE* logFile = nullptr;
bool refuse = false;

void CALLBACK endTimer(HWND, UINT, UINT_PTR, DWORD)
{
    PostQuitMessage(0);
}

class CommandTopic : public DdeTopic {
public:
    explicit CommandTopic(DdeServer* server) : DdeTopic(server, "Command") {}
    HDDEDATA onConnectConfirm(DdeEvent* event) override
    {
        conversations.push_back(event->conversation);
        return nullptr;
    }
    // A server that ends says goodbye to its clients.
    void disconnectAll()
    {
        for (HCONV c : conversations)
            DdeDisconnect(c);
        conversations.clear();
    }
    std::vector<HCONV> conversations;
    HDDEDATA onExecute(DdeEvent* event) override
    {
        std::string text;
        if (event->data)
            text.assign(reinterpret_cast<const char*>(event->data),
                        strnlen(reinterpret_cast<const char*>(event->data), event->dataSize));
        fprintf(logFile, "%s\n", text.c_str());
        fflush(logFile);
        // The answer goes out before the program ends.
        if (text == "STUB-ENDE")
            SetTimer(nullptr, 0, 300, endTimer);
        return reinterpret_cast<HDDEDATA>(refuse ? DDE_FNOTPROCESSED : DDE_FACK);
    }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: kytwork-stub LOGFILE [--refuse]\n");
        return 2;
    }
    logFile = fopen(argv[1], "w");
    if (!logFile)
        return 2;
    refuse = argc > 2 && strcmp(argv[2], "--refuse") == 0;
    int code = 0;
    {
        DdeServer server("KYTWork");
        if (!server.initialised()) {
            fclose(logFile);
            return 1;
        }
        CommandTopic topic(&server);
        SetTimer(nullptr, 0, 60000, nullptr);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            if (msg.message == WM_TIMER && msg.hwnd == nullptr) {
                code = 3;
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        topic.disconnectAll();
    }
    fclose(logFile);
    return code;
}
