#include "ErrorReporter.h"

#include "ResString.h"
#include "strings/FoundationStrings.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

class StderrSink : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char* text, const char* title) override
    {
        fprintf(stderr, "[%s] %s\n", title, text);
    }
    [[noreturn]] void endProcess(int exitCode) override
    {
        exit(exitCode);
    }
};

StderrSink defaultSink;
ErrorSink* currentSink = &defaultSink;
bool logSwitch = true;
bool boxSwitch = true;
bool companionMode = false;
ReportClock reportClock = nullptr;

// The companions' level words; their ERROR.LOG is read by people comparing it
// with the main program's, so the English words stay as they are.
struct CompanionRow {
    const char* boxPrefix;
    const char* logWord;     // null: no log entry
    bool beeps;
    bool ends;
};

CompanionRow companionRow(int level)
{
    if (level < 0)
        return {"\n??: ", nullptr, false, false};
    if (level <= ERR_WARNING)
        return {"\nWarning: ", "Warning", false, false};
    if (level == ERR_ERROR)
        return {"\nError: ", "Error", true, false};
    if (level == ERR_FATAL)
        return {"\nFatal Error: ", "Fatal Error", true, true};
    return {"\n??: ", "??", true, true};
}

struct LevelRow {
    int level;
    unsigned int prefixId;   // 0: no prefix
    const char* logWord;     // null: no log line
    bool beeps;
};

// Levels 0 to 3; every other value is "unknown" (see unknownLevel).
const LevelRow levelTable[] = {
    {ERR_MESSAGE, 0, nullptr, false},
    {ERR_WARNING, 20908, "Warning", false},
    {ERR_ERROR, 20909, "Error", true},
    {ERR_FATAL, 20910, "Fatal Error", true},
};

void appendText(char* dst, size_t cap, const char* src)
{
    size_t used = strlen(dst);
    if (used + 1 >= cap)
        return;
    snprintf(dst + used, cap - used, "%s", src);
}

void takeStamp(char* stamp, size_t cap)
{
    time_t now = reportClock ? static_cast<time_t>(reportClock()) : time(nullptr);
    const char* ct = ctime(&now);
    snprintf(stamp, cap, "%s", ct ? ct : "");
    size_t sl = strlen(stamp);
    if (sl && stamp[sl - 1] == '\n')
        stamp[sl - 1] = 0;
}

void reportCompanion(int level, const char* format, va_list args)
{
    CompanionRow row = companionRow(level);
    char message[32 + kMaxReportText + 32];
    message[0] = 0;
    char stamp[64];
    takeStamp(stamp, sizeof stamp);

    FILE* log = nullptr;
    if (logSwitch && row.logWord)
        log = fopen("ERROR.LOG", "a");
    if (row.beeps)
        currentSink->beep();
    appendText(message, sizeof message, row.boxPrefix);
    if (log)
        fprintf(log, "\n%s %s: ", stamp, row.logWord);

    va_list again;
    va_copy(again, args);
    char text[kMaxReportText + 1];
    vsnprintf(text, sizeof text, format ? format : "", args);
    appendText(message, sizeof message, text);

    const char* title = "Message";
    if (!row.ends && boxSwitch)
        currentSink->showBox(message, title);
    if (log)
        vfprintf(log, format ? format : "", again);
    va_end(again);

    if (row.ends) {
        appendText(message, sizeof message, "\nProgram aborts\n");
        if (boxSwitch)
            currentSink->showBox(message, title);
        if (log) {
            fprintf(log, "\n%s Program aborts!\n", stamp);
            fclose(log);
        }
        currentSink->endProcess(1);
    }
    if (log)
        fclose(log);
}

} // namespace

void setCompanionReporting(bool on)
{
    companionMode = on;
    if (on)
        logSwitch = boxSwitch = true;
}

bool isCompanionReporting()
{
    return companionMode;
}

void setReportClock(ReportClock clock)
{
    reportClock = clock;
}

void setErrorSink(ErrorSink* sink)
{
    currentSink = sink ? sink : &defaultSink;
}

ErrorSink* getErrorSink()
{
    return currentSink;
}

CollectedReports::CollectedReports() : previous(currentSink)
{
    currentSink = this;
}

CollectedReports::~CollectedReports()
{
    // Scopes end in the reverse order of their start; a sink set meanwhile
    // by someone else is left alone.
    if (currentSink == this)
        currentSink = previous;
}

void CollectedReports::showBox(const char* text, const char* /*title*/)
{
    texts.push_back(text ? text : "");
}

void CollectedReports::endProcess(int exitCode)
{
    previous->endProcess(exitCode);
    // Not reached: the previous sink ends the process.
    exit(exitCode);
}

const char* CollectedReports::text(int i) const
{
    return i >= 0 && i < count() ? texts[static_cast<size_t>(i)].c_str() : "";
}

void disableErrorLog()
{
    logSwitch = false;
}

void enableErrorLog()
{
    logSwitch = true;
}

void setMessageBoxesEnabled(bool on)
{
    boxSwitch = on;
}

void reportError(int level, const char* format, ...)
{
    if (companionMode) {
        va_list args;
        va_start(args, format);
        reportCompanion(level, format, args);
        va_end(args);
        return;
    }
    // Prefix (at most a resource string of 200 characters), text, closing text.
    char message[2 * 201 + kMaxReportText + 1];
    message[0] = 0;

    char stamp[64];
    takeStamp(stamp, sizeof stamp);

    bool known = level >= ERR_MESSAGE && level <= ERR_FATAL;
    const LevelRow* row = known ? &levelTable[level] : nullptr;
    bool logs = known ? row->logWord != nullptr : level >= 1;
    bool beeps = known ? row->beeps : level >= 2;

    FILE* log = nullptr;
    if (logSwitch && logs)
        log = fopen("ERROR.LOG", "a");

    if (beeps)
        currentSink->beep();

    if (known) {
        if (row->prefixId) {
            appendText(message, sizeof message, getResString(row->prefixId));
            appendText(message, sizeof message, " ");
        }
        if (log)
            fprintf(log, "\n%s %s: ", stamp, row->logWord ? row->logWord : "");
    } else {
        appendText(message, sizeof message, "??: ");
        if (log)
            fprintf(log, "\n%s ??: ", stamp);
    }

    // Bounded: a longer text is cut at the limit, never written past the buffer.
    char text[kMaxReportText + 1];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format ? format : "", args);
    va_end(args);
    appendText(message, sizeof message, text);

    const char* title = getResString(kStrMessageCaption);
    if (level < ERR_FATAL && boxSwitch)
        currentSink->showBox(message, title);

    if (log)
        fputs(text, log);

    if (level >= ERR_FATAL) {
        appendText(message, sizeof message, getResString(kStrProgramEnds));
        if (boxSwitch)
            currentSink->showBox(message, title);
        if (log) {
            fprintf(log, "\n%s Program aborts!\n", stamp);
            fclose(log);
        }
        currentSink->endProcess(1);
    }
    if (log)
        fclose(log);
}
