// The reporter through which the program tells the user about errors, and the
// sink that shows its boxes: a message box in the Windows programs, a recorder
// in tests.
#ifndef KYT_FOUNDATION_ERRORREPORTER_H
#define KYT_FOUNDATION_ERRORREPORTER_H

#include <string>
#include <vector>

enum ErrorLevel {
    ERR_MESSAGE = 0,
    ERR_WARNING = 1,
    ERR_ERROR = 2,
    ERR_FATAL = 3
};

class ErrorSink {
public:
    virtual ~ErrorSink() {}
    // The default beep (MessageBeep with 0).
    virtual void beep() = 0;
    // A modal box with an OK button and the exclamation icon, owned by the
    // main window while there is one; returns when the user has closed it.
    virtual void showBox(const char* text, const char* title) = 0;
    // Ends the process after a fatal report; does not return.
    [[noreturn]] virtual void endProcess(int exitCode) = 0;
};

// The sink in use; null restores the default one, which writes the box text to
// standard error and calls exit.
void setErrorSink(ErrorSink* sink);
ErrorSink* getErrorSink();

// Takes every report for as long as it lives, in place of the sink that was
// in use: no box and no beep, the box texts kept in order. Work that must not
// wait for the user, such as a DDE transaction inside the DDE library's
// callback, runs under one: a box's modal loop there would let further
// messages of the conversation into that callback before it has answered.
// A fatal report still ends the process through the previous sink.
class CollectedReports : public ErrorSink {
public:
    CollectedReports();
    ~CollectedReports() override;
    CollectedReports(const CollectedReports&) = delete;
    CollectedReports& operator=(const CollectedReports&) = delete;

    void beep() override {}
    void showBox(const char* text, const char* title) override;
    [[noreturn]] void endProcess(int exitCode) override;

    int count() const { return static_cast<int>(texts.size()); }
    // The text of box i (from 0), or "" when there is none.
    const char* text(int i) const;

private:
    ErrorSink* previous;
    std::vector<std::string> texts;
};

void reportError(int level, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// Switch of the appending to ERROR.LOG in the current directory (on at start).
void disableErrorLog();
void enableErrorLog();
// Switch of the message boxes (on at start).
void setMessageBoxesEnabled(bool on);

// The companion programs (kytfuzzy, kytident) switch their reporter to its
// own form first thing: English level words in box and log, the title
// "Message", level 0 a warning, an ERROR.LOG entry for every report of level
// 0 and above. Switching it on turns the log and the boxes on.
void setCompanionReporting(bool on);
bool isCompanionReporting();

// The clock of the time stamps, in seconds since 1970; null restores time().
// (No <ctime> here: Winelib units include this header before windows.h,
// whose winsock.h defines struct timeval once more.)
typedef long long (*ReportClock)();
void setReportClock(ReportClock clock);

// Longest formatted text of one report; longer output is cut.
const int kMaxReportText = 999;

#endif
