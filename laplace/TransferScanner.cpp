// The scanner and the token printer of the transfer-function grammar. The
// token numbers come from the grammar (PolyGrammar.y) alone.
#include "PolyGrammarYacc.h"

#include "BoundedText.h"
#include "NumberFormat.h"
#include "PolyGrammarParser.h"
#include "PolyGrammarTab.h"
#include "TokenNames.h"

#include <cmath>
#include <cstring>

namespace {

// Printed names of the tokens, as syntax messages list them.
struct TokenNameRow {
    int token;
    const char* name;
};

// The grammar's own tokens; every other code is named by commonTokenName.
const TokenNameRow tokenNames[] = {
    {TOK_PIDENT, "Identifier"},
    {TOK_POPERATORS, "s"},
    {TOK_POPERATORZ, "OPERATORZ"},
    {TOK_POPERATORJ, "j"},
    {TOK_PNUMBER, "Number"},
    {TOK_PMINUS, "-"},
    {TOK_PPLUS, "+"},
    {TOK_PMULT, "*"},
    {TOK_PDIV, "/"},
    {TOK_PPOWER, "^"},
    {TOK_PLBRACK, "("},
    {TOK_PRBRACK, ")"},
    {TOK_PKILL, "KILL"},
    {TOK_PUMINUS, "UMINUS"},
};

// The characters that are tokens of their own.
struct CharTokenRow {
    int c;
    int token;
};

const CharTokenRow charTokens[] = {
    {'(', TOK_PLBRACK},
    {')', TOK_PRBRACK},
    {'*', TOK_PMULT},
    {'+', TOK_PPLUS},
    {'-', TOK_PMINUS},
    {'/', TOK_PDIV},
    {'^', TOK_PPOWER},
};

// The operator names; every other name is a parameter.
struct OperatorNameRow {
    const char* name;
    int token;
};

const OperatorNameRow operatorNames[] = {
    {"s", TOK_POPERATORS},
    {"z", TOK_POPERATORZ},
    {"j", TOK_POPERATORJ},
};

bool isDigit(int c)
{
    return c >= '0' && c <= '9';
}

bool isLetter(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Collects a token's characters; a token longer than the token text is
// read to its end but only its beginning is kept.
class TokenCollector {
public:
    explicit TokenCollector(char* text) : buf(text), n(0), tooLong(false) { buf[0] = 0; }
    void put(int c)
    {
        if (n < static_cast<size_t>(kTransferTokenSize - 1)) {
            buf[n++] = static_cast<char>(c);
            buf[n] = 0;
        } else {
            tooLong = true;
        }
    }
    size_t length() const { return n; }
    bool isTooLong() const { return tooLong; }

private:
    char* buf;
    size_t n;
    bool tooLong;
};

// Digits, an optional point and digits, an optional exponent. The exponent
// letter belongs to the number only when digits follow it: 3E is the
// number 3 and the name E (a syntax error), as 3S is.
int scanNumber(PolyGrammarParser* d, int first)
{
    TokenCollector t(d->tokenText());
    t.put(first);
    int c = d->getChar();
    while (isDigit(c)) {
        t.put(c);
        c = d->getChar();
    }
    if (c == '.') {
        t.put(c);
        c = d->getChar();
        while (isDigit(c)) {
            t.put(c);
            c = d->getChar();
        }
    }
    if (c == 'e' || c == 'E') {
        const char* ahead = d->inputPointer();
        bool exponent = isDigit(ahead[0]) || ((ahead[0] == '+' || ahead[0] == '-') && isDigit(ahead[1]));
        if (exponent) {
            t.put(c);
            c = d->getChar();
            if (c == '+' || c == '-') {
                t.put(c);
                c = d->getChar();
            }
            while (isDigit(c)) {
                t.put(c);
                c = d->getChar();
            }
        }
    }
    if (c)
        d->ungetChar();

    if (t.isTooLong())
        return TOK_PKILL;
    // Read without the locale: a German locale must not turn 1.5 into 1.
    double v = 0.0;
    if (parseNumber(d->tokenText(), &v) != t.length() || !std::isfinite(v))
        return TOK_PKILL;
    d->setNumberValue(v);
    return TOK_PNUMBER;
}

int scanName(PolyGrammarParser* d, int first)
{
    TokenCollector t(d->tokenText());
    t.put(first);
    int c = d->getChar();
    while (isLetter(c) || isDigit(c) || c == '_') {
        t.put(c);
        c = d->getChar();
    }
    if (c)
        d->ungetChar();
    if (t.isTooLong())
        return TOK_PKILL;
    const char* name = d->tokenText();
    for (const OperatorNameRow& row : operatorNames)
        if (strcmp(row.name, name) == 0)
            return row.token;
    d->getParameters().add(name);
    return TOK_PIDENT;
}

} // namespace

PolyGrammarYacc::PolyGrammarYacc()
{
    nameBuffer[0] = 0;
}

PolyGrammarYacc::~PolyGrammarYacc() {}

int PolyGrammarYacc::yylex()
{
    PolyGrammarParser* d = PolyGrammarParser::live();
    if (!d)
        return TOK_YYEOF;
    int c = d->getChar();
    while (c == ' ' || c == '\t')
        c = d->getChar();
    if (c == 0)
        return TOK_YYEOF;
    for (const CharTokenRow& row : charTokens)
        if (row.c == c)
            return row.token;
    if (isDigit(c))
        return scanNumber(d, c);
    if (isLetter(c))
        return scanName(d, c);
    return c;
}

const char* PolyGrammarYacc::tokenName(int token)
{
    for (const TokenNameRow& row : tokenNames)
        if (row.token == token)
            return row.name;
    return commonTokenName(token, nameBuffer, sizeof nameBuffer);
}

int PolyGrammarYacc::parse()
{
    reset();
    return runTransferGrammar(this);
}

int PolyGrammarParser::parse()
{
    PolyGrammarYacc engine;
    return engine.parse();
}
