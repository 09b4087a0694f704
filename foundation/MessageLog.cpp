#include "MessageLog.h"

#include "BoundedText.h"
#include "ErrorReporter.h"
#include "FileLayer.h"
#include "ResString.h"
#include "ShowFile.h"
#include "strings/MessagesStrings.h"

#include <cstring>

const char kCompilerInputFile[] = "kyttrans.tmp";
const char kSymbolFile[] = "kytsym.tmp";

namespace {


struct LogState {
    bool enabled = false;
    bool linePending = false;
    bool positionWritten = false;
    bool listOpen = false;
    char text[kMessageTextSize] = "";
    int ownLine = 1;
    int* line = &ownLine;
    TokenTextSource tokenText = nullptr;
};

LogState logState;
FILE* symbolStream = nullptr;

const char* currentToken()
{
    const char* t = logState.tokenText ? logState.tokenText() : nullptr;
    return t ? t : "";
}

void showMessage()
{
    if (logState.positionWritten)
        showFileAtLine(logState.text, kCompilerInputFile, *logState.line, 0);
    else
        // As text: a "%" from a token or a name must not be read again.
        reportError(ERR_ERROR, "%s", logState.text);
}

// Step 4 of a new message: the line and the token near which it stands.
void appendPosition(BoundedText& text)
{
    char work[kMessageWorkSize];
    const char* token = currentToken();
    int line = *logState.line;
    bool linePart = false;
    if (line > 0) {
        // The scanner has already counted the newline it stands on.
        if (!logState.linePending && (token[0] == 0 || token[0] == '\n'))
            --line;
        formatBounded(work, sizeof work, getResString(kResLine), line);
        text.append(work);
        linePart = true;
        logState.positionWritten = true;
    }
    int n = 0;
    while (n < kMessageTokenChars && token[n] && token[n] != '\n')
        ++n;
    if (n) {
        if (linePart)
            text.append(" ");
        formatBounded(work, sizeof work, getResString(kResNear), n, token);
        text.append(work);
        logState.positionWritten = true;
    }
    if (logState.positionWritten)
        text.append(":\n");
    logState.linePending = false;
}

String symbolPath()
{
    return joinPath(getTempDir(), kSymbolFile);
}

void openSymbolStream(const char* mode)
{
    symbolStream = openFile(symbolPath().text(), mode);
    if (!symbolStream)
        reportError(ERR_FATAL, getResString(kStrNoTempRights), getTempDir());
}

} // namespace

void attachScanner(int* lineCounter, TokenTextSource tokenText)
{
    logState.line = lineCounter ? lineCounter : &logState.ownLine;
    logState.tokenText = tokenText;
}

void detachScanner()
{
    attachScanner(nullptr, nullptr);
}

int getCompilerLine()
{
    return *logState.line;
}

void setCompilerLine(int line)
{
    *logState.line = line;
}

void enableMessageLog()
{
    // A new parse starts a new log: a line given for a message that never
    // came, or a list of alternatives that an aborted parse left open,
    // belongs to the earlier text and must not reach the first message of
    // this one.
    logState.enabled = true;
    logState.linePending = false;
    logState.listOpen = false;
    *logState.line = 1;
}

void disableMessageLog()
{
    logState.enabled = false;
}

bool isMessageLogEnabled()
{
    return logState.enabled;
}

void setMessageLine(int line)
{
    logState.linePending = true;
    *logState.line = line;
}

const char* getCompilerMessageText()
{
    return logState.text;
}

void compilerMessage(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    vCompilerMessage(format, args);
    va_end(args);
}

void vCompilerMessage(const char* format, va_list args)
{
    const char* name = nullptr;
    va_list rest;
    va_copy(rest, args);
    if (!format)
        name = va_arg(rest, const char*);
    va_end(rest);

    // 1. A list of alternatives is open: add one, or close and show it.
    if (!format && logState.listOpen) {
        if (name) {
            BoundedText more(logState.text, sizeof logState.text, true);
            more.append(getResString(kResAlternative));
            more.append(name);
        } else {
            showFileAtLine(logState.text, kCompilerInputFile, *logState.line, 0);
            logState.listOpen = false;
        }
        return;
    }

    // 2. A new message. A list left open by an earlier message is abandoned,
    // so that its closing call cannot show a stale text.
    BoundedText text(logState.text, sizeof logState.text);
    logState.positionWritten = false;
    logState.listOpen = false;

    if (!logState.enabled && !logState.linePending) {
        // 3. No position known.
        text.append(getResString(kResNoLine));
        text.append("\n");
    } else {
        appendPosition(text);
    }

    if (!format) {
        // 5. The first alternative opens the list; nothing is shown yet.
        if (name) {
            text.append(getResString(kResExpected));
            text.append(name);
            logState.listOpen = true;
            return;
        }
        text.append("syntax error");
    } else {
        // 6. The formatted piece.
        char work[kMessageWorkSize];
        vsnprintf(work, sizeof work, format, args);
        text.append(work);
    }
    // 7.
    showMessage();
}

void openSymbolFile()
{
    if (symbolStream) {
        reportError(ERR_ERROR, "Symbol file already open");
        return;
    }
    openSymbolStream("wt");
}

void closeSymbolFile()
{
    if (!symbolStream) {
        reportError(ERR_ERROR, "Symbol file already closed");
        return;
    }
    if (fclose(symbolStream) != 0)
        reportError(ERR_ERROR, "Error closing symbol file");
    symbolStream = nullptr;
}

bool isSymbolFileOpen()
{
    return symbolStream != nullptr;
}

void symbolFilePrintf(const char* format, ...)
{
    if (!symbolStream) {
        reportError(ERR_ERROR, "Symbol file not open");
        openSymbolStream("at");
        return;
    }
    va_list args;
    va_start(args, format);
    vfprintf(symbolStream, format, args);
    va_end(args);
}
