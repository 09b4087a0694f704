#include "DelayLines.h"

#include "HostServices.h"
#include "ResString.h"
#include "RunState.h"
#include "strings/PiStrings.h"

#include <cstddef>

#include <cfloat>

namespace {

DelayLine* lines = nullptr;
int lineCount = 0;

DelayRecord* newRecord(double time, double value)
{
    DelayRecord* r = new DelayRecord;
    r->next = r->previous = nullptr;
    r->time = time;
    r->value = value;
    return r;
}

void link(DelayRecord* a, DelayRecord* b)
{
    a->next = b;
    b->previous = a;
}

// Frees the data records between the sentinels.
void clearRecords(DelayLine& line)
{
    DelayRecord* r = line.first->next;
    while (r != line.last) {
        DelayRecord* next = r->next;
        delete r;
        r = next;
    }
    link(line.first, line.last);
    line.cursor = line.first;
}

// Refused the way a library error is: the run goes on to the end of the
// running code and stops there.
DelayLine* checkedLine(int line)
{
    if (line >= 0 && line < lineCount)
        return &lines[line];
    moduleMessage(1, getResString(kStrInternalDelayNotDeclared), line);
    requestErrorStop(0);
    return nullptr;
}

} // namespace

void allocDelayLines(int n)
{
    freeDelayLines();
    if (n <= 0)
        return;
    lines = new DelayLine[static_cast<size_t>(n)];
    lineCount = n;
    for (int i = 0; i < n; ++i) {
        DelayLine& line = lines[i];
        line.delay = 0;
        line.first = newRecord(-DBL_MAX, 0);
        line.last = newRecord(DBL_MAX, 0);
        link(line.first, line.last);
        line.cursor = line.first;
    }
}

void freeDelayLines()
{
    for (int i = 0; i < lineCount; ++i) {
        clearRecords(lines[i]);
        delete lines[i].first;
        delete lines[i].last;
    }
    delete[] lines;
    lines = nullptr;
    lineCount = 0;
}

int delayLineCount()
{
    return lineCount;
}

void clearDelayLines()
{
    for (int i = 0; i < lineCount; ++i)
        clearRecords(lines[i]);
}

const DelayLine* delayLine(int line)
{
    return line >= 0 && line < lineCount ? &lines[line] : nullptr;
}

int delayRecordCount(int line)
{
    const DelayLine* l = delayLine(line);
    if (!l)
        return 0;
    int n = 0;
    for (const DelayRecord* r = l->first->next; r != l->last; r = r->next)
        ++n;
    return n;
}

void setDelayTime(int line, double delay)
{
    if (DelayLine* l = checkedLine(line))
        l->delay = delay;
}

void DelayAppend(int line, double t, double value)
{
    if (runState.phase != 2)
        return;
    DelayLine* l = checkedLine(line);
    if (!l)
        return;
    DelayRecord* newest = l->last->previous;
    // Reachable from a model: an event handler appends at its own time, which
    // may lie up to LIMIT ahead, and CONT then appends at the earlier current
    // time. The run is stopped with a message instead of ending the program.
    if (newest != l->first && newest->time > t) {
        moduleMessage(1, "%s", getResString(kStrInternalDelayNotMonotonic));
        requestErrorStop(0);
        return;
    }
    DelayRecord* r = newRecord(t, value);
    link(newest, r);
    link(r, l->last);

    const double c = t - (l->delay + runState.epsilon);
    if (l->cursor->time < c)
        l->cursor = l->first;
    // Keep the newest record earlier than c: a read at c still needs it.
    DelayRecord* keep = l->first->next;
    while (keep != l->last && keep->next->time < c) {
        DelayRecord* next = keep->next;
        delete keep;
        keep = next;
    }
    link(l->first, keep);
}

double DelayRead(int line, double t)
{
    DelayLine* l = checkedLine(line);
    if (!l)
        return 0;
    const double limit = t + runState.epsilon;
    DelayRecord* r = l->cursor;
    if (r->time <= limit) {
        while (r->next && r->next->time <= limit)
            r = r->next;
    } else {
        while (r->previous && r->time > limit)
            r = r->previous;
    }
    l->cursor = r;
    return r->value;
}

void DelayInit(int line, double value)
{
    if (line < 0 || line >= lineCount)
        return;
    lines[line].first->value = value;
    lines[line].last->value = value;
}
