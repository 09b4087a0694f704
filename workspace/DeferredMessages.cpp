#include "DeferredMessages.h"

#include "AList.h"
#include "ErrorReporter.h"

namespace {

struct DeferredMessage {
    int level;
    String text;
};

AList<DeferredMessage>& queue()
{
    static AList<DeferredMessage> list(nullptr);
    return list;
}

// Set while the boxes are shown: a box's own message loop may deliver
// another 9032, which must not show the same messages again.
int draining = 0;
CommandPoster poster;
int* runPauseWord = nullptr;

} // namespace

void setDeferredCommandPoster(CommandPoster p)
{
    poster = p;
}

void setRunPauseWord(int* pauseWord)
{
    runPauseWord = pauseWord;
}

void queueDeferredMessage(int level, const char* text)
{
    if (runPauseWord)
        *runPauseWord = 1;
    queue().AddTail(DeferredMessage{level, String(text)});
    if (poster)
        poster(kCommandShowDeferredMessages);
}

int flushDeferredMessages(int commandId)
{
    if (commandId != kCommandShowDeferredMessages)
        return 0;
    if (draining)
        return 1;
    draining = 1;
    AList<DeferredMessage>& q = queue();
    while (!q.IsEmpty()) {
        AList<DeferredMessage>::Position head = q.GetHeadPosition();
        DeferredMessage m = q.GetAt(head);
        q.RemoveAt(head);
        reportError(m.level, "%s", m.text.text());
    }
    if (runPauseWord)
        *runPauseWord = 0;
    draining = 0;
    return 1;
}

void clearDeferredMessages()
{
    queue().RemoveAll();
}

int deferredMessageCount()
{
    int n = 0;
    AList<DeferredMessage>& q = queue();
    for (AList<DeferredMessage>::Position p = q.GetHeadPosition(); p; p = q.GetNext(p))
        ++n;
    return n;
}
