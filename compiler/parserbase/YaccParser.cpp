#include "YaccParser.h"

#include "BoundedText.h"
#include "ErrorReporter.h"
#include "MessageLog.h"
#include "ResString.h"

#include <cstdio>

const char kYaccStackOverflow[] = "yacc stack overflow";

namespace {

// Alternatives are quoted with a blank inside each quote.
const char kQuotedName[] = "\" %s \"";

void show(const YaccParser* p)
{
    // As text: a "%" in a token or file name must not be read as a format.
    if (p->isReporting())
        reportError(ERR_ERROR, "%s", p->getMessage());
}

} // namespace

YaccParser::YaccParser() : lineMode(1), linePending(0), listOpen(0), line(0), trace(0), reporting(true)
{
    message[0] = 0;
    // Not through the table: a derived object does not exist yet.
    YaccParser::setLine(1);
}

YaccParser::~YaccParser() {}

int YaccParser::yylex()
{
    int c = getchar();
    return c == EOF ? 0 : c;
}

int YaccParser::getLine()
{
    return line;
}

void YaccParser::setLine(int l)
{
    line = l;
}

void YaccParser::enableMessageLog()
{
    lineMode = 1;
    setLine(0);
}

void YaccParser::disableMessageLog()
{
    lineMode = 0;
}

void YaccParser::setMessageLine(int l)
{
    linePending = 1;
    setLine(l);
}

void YaccParser::reset()
{
    message[0] = 0;
    listOpen = 0;
    linePending = 0;
    lineMode = 1;
    setLine(1);
}

void YaccParser::stackOverflow()
{
    error(this, "%s", kYaccStackOverflow);
}

void YaccParser::error(YaccParser* p, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    verror(p, format, args);
    va_end(args);
}

void YaccParser::verror(YaccParser* p, const char* format, va_list args)
{
    if (!p)
        return;
    const char* name = nullptr;
    va_list rest;
    va_copy(rest, args);
    if (!format)
        name = va_arg(rest, const char*);

    // 1. A list of alternatives is open: add one, or close and show it.
    if (!format && p->listOpen) {
        if (!name) {
            show(p);
            p->listOpen = 0;
        } else {
            BoundedText tail(p->message, kMessageSize, true);
            tail.append(getResString(kResAlternative));
            tail.appendf(kQuotedName, name);
        }
        va_end(rest);
        return;
    }

    // 2. A new message: its position part. A list left open by an earlier
    // message is abandoned, so its closing call cannot show a stale text.
    BoundedText text(p->message, kMessageSize);
    p->listOpen = 0;
    if (p->lineMode == 0 && !p->linePending) {
        text.append(getResString(kResNoLine));
        text.append("\n");
    } else {
        int l = p->getLine();
        if (l > 0)
            text.appendf(getResString(kResLine), p->linePending ? l : l - 1);
        text.append(":\n");
        p->linePending = 0;
    }

    if (format) {
        // 3. The formatted text.
        text.vappendf(format, args);
        show(p);
    } else if (name) {
        // 4. The first alternative opens the list; nothing is shown yet.
        text.append(getResString(kResExpected));
        text.appendf(kQuotedName, name);
        p->listOpen = 1;
    } else {
        // 5. Nothing to offer.
        text.append("syntax error");
        show(p);
    }
    va_end(rest);
}
