// Base of the parsers that bison generates for the small languages of the
// program (fuzzy-block text, neural-net descriptions, transfer functions).
// It gives them one shape: a token source, line bookkeeping, a token printer,
// a parse operation, and one syntax-error reporter that builds its messages
// like the compiler's message log but always shows them in an error box and
// keeps the last one in the object.
#ifndef KYT_COMPILER_YACCPARSER_H
#define KYT_COMPILER_YACCPARSER_H

#include <cstdarg>

// Every generated parser keeps its parse stack at this depth (YYINITDEPTH and
// YYMAXDEPTH); deeper nesting is reported with kYaccStackOverflow.
const int kYaccStackDepth = 150;
extern const char kYaccStackOverflow[];  // "yacc stack overflow"

class YaccParser {
public:
    // Room of the message text, the terminating NUL included.
    static const int kMessageSize = 504;

    YaccParser();
    virtual ~YaccParser();

    // The next token; the base reads one character of the standard input
    // (0 at its end). Every derived parser supplies its own lexer.
    virtual int yylex();
    virtual int getLine();
    virtual void setLine(int line);
    // Printable name of a token, used in the list of expected alternatives.
    virtual const char* tokenName(int token) = 0;
    // Messages carry a line position again; the line counter starts at 0.
    virtual void enableMessageLog();
    // Messages carry the prefix "Während der Analyse" instead of a line.
    virtual void disableMessageLog();
    // The next message names exactly this line.
    virtual void setMessageLine(int line);
    // Parses one text; calls reset first.
    virtual int parse() = 0;

    // Back to the state after construction, the line counter at 1.
    void reset();

    // The reporter of all derived parsers, used like printf. A null format
    // gives the next argument a special meaning: the name of a token that
    // would have been accepted (added to the list of expected alternatives),
    // or null to close that list and show it; without any alternative the
    // closing call shows the position and "syntax error".
    static void error(YaccParser* p, const char* format, ...);
    static void verror(YaccParser* p, const char* format, va_list args);
    // What the generated parsers call when their stack is full.
    void stackOverflow();

    // The message being built or last shown.
    const char* getMessage() const { return message; }
    int getLineMode() const { return lineMode; }
    int isLinePending() const { return linePending; }
    int isListOpen() const { return listOpen; }
    int getTrace() const { return trace; }
    void setTrace(int on) { trace = on; }
    // Off: a message is only kept (getMessage), for a caller that shows it
    // in a box of its own; on (the default): it is reported as well.
    void setReporting(bool on) { reporting = on; }
    bool isReporting() const { return reporting; }

protected:
    char message[kMessageSize];
    int lineMode;     // 1: position by line; 0: "Während der Analyse"
    int linePending;  // 1: the line was set for the next message
    int listOpen;     // 1: expected alternatives are being collected
    int line;         // read and written through getLine and setLine only
    int trace;        // derived parsers may print traces while it is set
    bool reporting;   // messages go to the error reporter as well
};

#endif
