// A DDE client for tests: connects to SERVICE/TOPIC and runs the
// transactions of its command line, writing one line for each into OUTFILE.
//
//   ddeprobe OUTFILE SERVICE TOPIC [request:ITEM | execute:TEXT]...
//
// All transactions go over the one conversation. The first line is
// "connected" or "refused"; a request writes its reply or "no data", an
// execute "ok" or "failed". A reply keeps to its line: a line break in it is
// written "\n" and a backslash "\\".
#include "Dde.h"

#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

const int kRequestTimeoutMs = 30000;
const DWORD kTrailingAckMs = 3000;

// Handles the messages that have come in, as an interactive client does
// between its requests: Wine's DDEML client leaves the end of the last
// synchronous transaction among them, and a request sent before they are
// handled gets no data.
void handleMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// Wine's DDEML server follows the data of an answered request with a
// positive WM_DDE_ACK. A synchronous transaction started before that ACK has
// come takes it for its own answer: a request then gets no data and its
// real data lands on the transaction after it, whose wait ends on data of
// another item. So after data the probe waits for the ACK and hands it to
// DDEML, which drops it.
void awaitTrailingAck(const DdeConversation& conversation)
{
    CONVINFO info = {};
    info.cb = sizeof info;
    if (!DdeQueryConvInfo(conversation.conversation, QID_SYNC, &info))
        return;
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        if (PeekMessageA(&msg, info.hwnd, WM_DDE_ACK, WM_DDE_ACK, PM_REMOVE)) {
            DispatchMessageA(&msg);
            return;
        }
        const DWORD waited = GetTickCount() - start;
        if (waited >= kTrailingAckMs)
            return;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kTrailingAckMs - waited, QS_POSTMESSAGE);
    }
}

std::string oneLine(const char* text)
{
    std::string line;
    for (const char* c = text; *c; ++c) {
        if (*c == '\n')
            line += "\\n";
        else if (*c == '\\')
            line += "\\\\";
        else
            line += *c;
    }
    return line;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        fprintf(stderr, "usage: ddeprobe OUTFILE SERVICE TOPIC [request:ITEM | execute:TEXT]...\n");
        return 2;
    }
    FILE* out = fopen(argv[1], "w");
    if (!out)
        return 2;
    DdeClient client;
    DdeConversation conversation(&client, argv[2], argv[3]);
    fprintf(out, "%s\n", conversation.isConnected() ? "connected" : "refused");
    fflush(out);
    for (int i = 4; i < argc && conversation.isConnected(); ++i) {
        handleMessages();
        std::string op = argv[i];
        if (op.compare(0, 8, "request:") == 0) {
            String reply;
            // A loaded machine can keep the server from answering within the
            // usual 5 s; a reply that comes late would be taken for the next
            // request's and shift every answer after it.
            if (ddeRequestText(&conversation, op.c_str() + 8, reply, kRequestTimeoutMs)) {
                fprintf(out, "%s\n", oneLine(reply.text()).c_str());
                awaitTrailingAck(conversation);
            } else {
                fprintf(out, "no data\n");
                fprintf(stderr, "ddeprobe: no data for %s (DDEML error 0x%x)\n", op.c_str(),
                        DdeGetLastError(client.instance()));
            }
        } else if (op.compare(0, 8, "execute:") == 0) {
            DdeExecute execute(&conversation, op.c_str() + 8, 5);
            fprintf(out, "%s\n", execute.started() ? "ok" : "failed");
        } else {
            fprintf(out, "unknown: %s\n", op.c_str());
        }
        fflush(out);
    }
    fclose(out);
    return 0;
}
