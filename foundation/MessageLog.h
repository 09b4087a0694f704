// The compiler message log and the symbol listing file kytsym.tmp.
//
// Every message of the model-language compiler goes through compilerMessage.
// While positions are known the message starts with the line (and the token
// near which the error stands) and is shown above the translated circuit
// text kyttrans.tmp in the file viewer; otherwise it goes to an error box.
#ifndef KYT_FOUNDATION_MESSAGELOG_H
#define KYT_FOUNDATION_MESSAGELOG_H

#include "strings/MessagesStrings.h"

#include <cstdarg>
#include <cstdio>

// The translated circuit text in the temporary directory.
extern const char kCompilerInputFile[];  // "kyttrans.tmp"
// The symbol listing in the temporary directory.
extern const char kSymbolFile[];         // "kytsym.tmp"

// Room of the message text and of one formatted piece, NUL included. Longer
// texts are cut.
const int kMessageTextSize = 520;

// String-table texts of the message positions and the expected alternatives,
// shared with the parser base so both build the same messages.
const unsigned int kResLine = kStrInOrBeforeLine;
const unsigned int kResNoLine = kStrDuringAnalysis;
const unsigned int kResNear = kStrNear;
const unsigned int kResExpected = kStrExpected;
const unsigned int kResAlternative = kStrExpectedOr;
const int kMessageWorkSize = 500;
// A token is quoted with at most this many characters.
const int kMessageTokenChars = 20;

// The scanner's line counter and its current token text, which the log
// reads; the log also sets the counter (enableMessageLog, setMessageLine).
// Without a scanner the log keeps a counter of its own and sees no token.
typedef const char* (*TokenTextSource)();
void attachScanner(int* lineCounter, TokenTextSource tokenText);
void detachScanner();
int getCompilerLine();
void setCompilerLine(int line);

// Log switch on (the parser runs), line counter 1; a line still pending from
// setMessageLine and a list of alternatives still open are dropped.
void enableMessageLog();
// Log switch off.
void disableMessageLog();
bool isMessageLogEnabled();
// The next message names this line, even with the log switched off.
void setMessageLine(int line);

// Reports a compiler message, formatted like printf. A null format gives the
// next argument a special meaning: the name of a token that would have been
// accepted (added to the list of expected alternatives), or null to close
// that list and show it; without any alternative the closing call shows the
// position and "syntax error".
void compilerMessage(const char* format, ...);
void vCompilerMessage(const char* format, va_list args);

// The message being built or last shown.
const char* getCompilerMessageText();

// Opens kytsym.tmp in the temporary directory for writing; fatal when the
// directory is not writable.
void openSymbolFile();
void closeSymbolFile();
bool isSymbolFileOpen();
// Writes to the symbol listing; while it is closed the call is an error,
// reopens the file for appending and writes nothing.
void symbolFilePrintf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

#endif
