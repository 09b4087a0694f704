/* Grammar of the transfer functions of the Laplace wizard, such as
   K*(1+T1*s)/(s*(1+T2*s)) or 0.5/(z-0.5). The token numbers below are the
   ones the scanner returns and the token printer names. */

%require "3.6"
%define api.prefix {transfer}
%define api.pure full
%define api.token.prefix {TOK_}
%define parse.error custom
%define parse.lac full
%define parse.trace
%parse-param {PolyGrammarYacc* engine}
%lex-param {PolyGrammarYacc* engine}

%code requires {
class RationalFunction;
class PolyGrammarYacc;
}

%union {
    RationalFunction* rf;
    char* text;
}

%code {
#include "PolyGrammarYacc.h"

#include "CheckedHeap.h"
#include "PolyGrammarParser.h"
#include "Polynomial.h"
#include "YaccParser.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

// The parse stack of every generated parser of the program: 150 entries,
// never grown. Bison gives up when its top entry is reached, not when it is
// passed; the one entry more lets a parse use all 150.
#define YYINITDEPTH (kYaccStackDepth + 1)
#define YYMAXDEPTH (kYaccStackDepth + 1)

// The trace goes to standard output, where the engine's trace always went.
#define YYFPRINTF transferTrace

namespace {

int transferTrace(FILE*, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int n = vprintf(format, args);
    va_end(args);
    return n;
}

PolyGrammarParser* driver()
{
    return PolyGrammarParser::live();
}

// A new value of the parse: registered, so that a failed parse frees it.
RationalFunction* keep(RationalFunction* r)
{
    driver()->registerPointer(r, TRANSFER_VALUE);
    return r;
}

void release(RationalFunction* r)
{
    driver()->unregisterPointer(r);
    delete r;
}

void releaseText(char* text)
{
    driver()->unregisterPointer(text);
    freeHook(text);
}

RationalFunction* monomial(const CaNode& coefficient, int degree, int variable)
{
    return keep(new RationalFunction(Polynomial(coefficient, degree, variable)));
}

} // namespace

static int transferlex(TRANSFERSTYPE* value, PolyGrammarYacc* engine);
static void transfererror(PolyGrammarYacc* engine, const char* text);
}

%token PIDENT 257
%token POPERATORS 258
%token POPERATORZ 259
%token POPERATORJ 260
%token PNUMBER 261
%token PMINUS 262
%token PPLUS 263
%token PMULT 264
%token PDIV 265
%token PPOWER 266
%token PLBRACK 267
%token PRBRACK 268
%token PKILL 269
%token PUMINUS 270

%left PPLUS PMINUS
%left PMULT PDIV
%left PPOWER
%left PUMINUS

%type <rf> transfer transferitem
%type <text> ident

%%

line
    : transfer optn
        {
            RationalFunction* result = driver()->getResult();
            if (result) {
                result->numerator = $1->numerator;
                result->denominator = $1->denominator;
            }
            release($1);
        }
    ;

optn
    : '\n'
    | %empty
    ;

ident
    : PIDENT
        {
            char* text = copyText(driver()->tokenText());
            driver()->registerPointer(text, TRANSFER_TEXT);
            $$ = text;
        }
    ;

transferitem
    : ident PLBRACK transfer PRBRACK
        {
            $$ = keep(new RationalFunction($3->applyFunction($1)));
            releaseText($1);
            release($3);
        }
    | PIDENT
        { $$ = monomial(CaNode(driver()->tokenText()), 0, POLY_CONSTANT); }
    | PNUMBER
        { $$ = keep(new RationalFunction(driver()->getNumberValue())); }
    | POPERATORJ
        { $$ = monomial(CaNode(0.0, 1.0), 0, POLY_CONSTANT); }
    | POPERATORS
        { $$ = monomial(CaNode(1.0), 1, POLY_S); }
    | POPERATORZ
        { $$ = monomial(CaNode(1.0), 1, POLY_Z); }
    ;

transfer
    : transfer PPLUS transfer
        { $$ = keep(new RationalFunction(*$1 + *$3)); release($1); release($3); }
    | transfer PMINUS transfer
        { $$ = keep(new RationalFunction(*$1 - *$3)); release($1); release($3); }
    | transfer PMULT transfer
        { $$ = keep(new RationalFunction(*$1 * *$3)); release($1); release($3); }
    | PMINUS transfer %prec PUMINUS
        {
            RationalFunction minusOne(Polynomial(CaNode(-1.0), 0, POLY_CONSTANT));
            $$ = keep(new RationalFunction(minusOne * *$2));
            release($2);
        }
    | transfer PDIV transfer
        { $$ = keep(new RationalFunction(*$1 / *$3)); release($1); release($3); }
    | transferitem
        { $$ = $1; }
    | PLBRACK transfer PRBRACK
        { $$ = $2; }
    | transfer PPOWER transfer
        { $$ = keep(new RationalFunction($1->power(*$3))); release($1); release($3); }
    ;

%%

namespace {

// External token code of every symbol kind, for the token printer.
int tokenCodeOfKind(yysymbol_kind_t kind)
{
    static int codes[YYNTOKENS];
    static bool filled = false;
    if (!filled) {
        for (int k = 0; k < YYNTOKENS; ++k)
            codes[k] = -1;
        for (int code = YYMAXUTOK; code >= 0; --code) {
            int k = YYTRANSLATE(code);
            if (k >= 0 && k < YYNTOKENS && k != YYSYMBOL_YYUNDEF)
                codes[k] = code;
        }
        filled = true;
    }
    return kind >= 0 && kind < YYNTOKENS ? codes[kind] : -1;
}

} // namespace

static int transferlex(TRANSFERSTYPE*, PolyGrammarYacc* engine)
{
    return engine->yylex();
}

// With custom syntax errors the skeleton calls this only when the stack is
// full.
static void transfererror(PolyGrammarYacc* engine, const char*)
{
    engine->stackOverflow();
}

// Names every token that could be shifted here, in the order of their codes,
// and closes the list, which shows the message.
static int yyreport_syntax_error(const yypcontext_t* context, PolyGrammarYacc* engine)
{
    yysymbol_kind_t expected[YYNTOKENS];
    int n = yypcontext_expected_tokens(context, expected, YYNTOKENS);
    if (n < 0)
        return n;
    int codes[YYNTOKENS];
    int count = 0;
    for (int i = 0; i < n; ++i) {
        int code = tokenCodeOfKind(expected[i]);
        if (code >= 0)
            codes[count++] = code;
    }
    std::sort(codes, codes + count);
    for (int i = 0; i < count; ++i)
        YaccParser::error(engine, nullptr, engine->tokenName(codes[i]));
    YaccParser::error(engine, nullptr, static_cast<const char*>(nullptr));
    return 0;
}

int runTransferGrammar(PolyGrammarYacc* engine)
{
    transferdebug = engine->getTrace();
    // 2 (stack full) is a failed parse like a syntax error.
    return transferparse(engine) == 0 ? 0 : 1;
}
