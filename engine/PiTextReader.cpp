#include "PiTextReader.h"

#include "DelayLines.h"
#include "DiscreteFlags.h"
#include "ErrorReporter.h"
#include "NumberFormat.h"
#include "PiLinker.h"
#include "PiLoader.h"
#include "PiOpcodes.h"
#include "PiTextBuffer.h"
#include "ResString.h"
#include "strings/PiStrings.h"

#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

// Token codes of the reader.
enum PiToken {
    AT_EXAMPLE = 0, AT_INDEP = 1, AT_SAVE = 2, AT_STATES = 3, AT_DERIV = 4,
    AT_DSTATES = 5, AT_VARS = 6, AT_INP = 7, AT_OUTP = 8, AT_PARAMS = 9,
    AT_EVENTS = 10, AT_DELAYS = 11, AT_DELAY = 12, AT_SDELAY = 13, AT_DDELAY = 14,
    AT_INIT = 15, AT_CONT = 16, AT_DISCRET = 17, AT_DISC = 18, AT_PUSH = 19,
    AT_POP = 20, AT_FUNC = 21, AT_ADD = 22, AT_SUB = 23, AT_MUL = 24, AT_DIV = 25,
    AT_STRINGS = 26, AT_ABORT = 27, AT_OR = 28, AT_AND = 29, AT_NOT = 30,
    AT_EQ = 31, AT_NE = 32, AT_LT = 33, AT_LE = 34, AT_GT = 35, AT_GE = 36,
    AT_IFT = 37, AT_IFF = 38, AT_NIFT = 39, AT_NIFF = 40, AT_GOTO = 41,
    AT_LABEL = 42, AT_CALL = 43, AT_CHS = 44, AT_UFUNC = 45, AT_UPROC = 46,
    AT_SCHED = 47, AT_EVENT = 48, AT_END = 49, AT_COMMENT = 50, AT_LINE = 51,
    AT_STRING = 52, AT_NUMBER = 53, AT_LETTER = 54, AT_EOL = 55, AT_EOF = 56
};

struct Keyword {
    const char* text;
    int token;
};

// Searched in this order; a keyword counts only when a blank, a tab, the
// line end or the end of the text follows it.
const Keyword keywords[] = {
    {"UFUNC", AT_UFUNC}, {"UPROC", AT_UPROC}, {"EXAMPLE", AT_EXAMPLE},
    {"INDEP", AT_INDEP}, {"SAVE", AT_SAVE}, {"INP", AT_INP}, {"OUTP", AT_OUTP},
    {"STATES", AT_STATES}, {"SDELAY", AT_SDELAY}, {"ABORT", AT_ABORT},
    {"CONT", AT_CONT}, {"EQ", AT_EQ}, {"LT", AT_LT}, {"IFT", AT_IFT},
    {"NIFF", AT_NIFF}, {"CHS", AT_CHS}, {"END", AT_END},
    {"DERIV", AT_DERIV}, {"DSTATES", AT_DSTATES}, {"VARS", AT_VARS},
    {"PARAMS", AT_PARAMS}, {"EVENTS", AT_EVENTS}, {"STRINGS", AT_STRINGS},
    {"DELAYS", AT_DELAYS}, {"DELAY", AT_DELAY}, {"DDELAY", AT_DDELAY},
    {"INIT", AT_INIT}, {"AND", AT_AND}, {"NE", AT_NE}, {"GT", AT_GT},
    {"IFF", AT_IFF}, {"GOTO", AT_GOTO}, {"SCHED", AT_SCHED}, {"#line", AT_LINE},
    {"DISCRET", AT_DISCRET}, {"DISC", AT_DISC}, {"PUSH", AT_PUSH}, {"POP", AT_POP},
    {"FUNC", AT_FUNC}, {"ADD", AT_ADD}, {"SUB", AT_SUB}, {"MUL", AT_MUL},
    {"DIV", AT_DIV}, {"OR", AT_OR}, {"NOT", AT_NOT}, {"LE", AT_LE}, {"GE", AT_GE},
    {"NIFT", AT_NIFT}, {"CALL", AT_CALL}, {"EVENT", AT_EVENT}, {"//", AT_COMMENT},
};

const char* keywordText(int token)
{
    for (const Keyword& k : keywords)
        if (k.token == token)
            return k.text;
    return "";
}

// Whether a whole word is a keyword, and its token. Looked up by index: a
// walk of the table per token took a fifth of the time a large circuit
// needs from model text to loaded program.
bool findKeyword(const char* word, size_t length, int* token)
{
    static const std::unordered_map<std::string_view, int> index = [] {
        std::unordered_map<std::string_view, int> m;
        for (const Keyword& k : keywords)
            m.emplace(k.text, k.token);
        return m;
    }();
    auto found = index.find(std::string_view(word, length));
    if (found == index.end())
        return false;
    *token = found->second;
    return true;
}

// The reader's current token.
struct Token {
    int token;
    double number;           // AT_NUMBER
    char letter;             // AT_LETTER
    char text[kPiWordSize];  // AT_STRING, AT_LABEL
};

// Where the reader stands.
struct LoaderState {
    const char* cursor;      // rest of the current line; null: read the next
    long lineNumber;         // PI line number for messages
    Token ctok;
    int sourceLine;          // from the last #line
    std::vector<PendingCall> calls;
};

LoaderState loader;

} // namespace

[[noreturn]] void piLoadFatal(const char* text)
{
    reportError(ERR_FATAL, "%s", text);
    abort();
}

[[noreturn]] void piCheckFailed(const char* text, int checkLine)
{
    reportError(ERR_FATAL, getResString(kStrCheckFailed), "KYT", static_cast<long>(checkLine), text,
                loader.lineNumber);
    abort();
}

[[noreturn]] void piCheckFailedAt(const char* text, int checkLine, long piLine)
{
    loader.lineNumber = piLine;
    piCheckFailed(text, checkLine);
}

double* newPiValues(int n)
{
    return new double[static_cast<size_t>(n > 0 ? n : 1)]();
}

namespace {

// What the declarations hold until the rows are built.
struct DeclaredSymbol {
    std::string name;
    int kind;
    int flags;
    int index;
};

bool isDelimiter(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == 0;
}

size_t wordLength(const char* s)
{
    size_t n = 0;
    while (!isDelimiter(s[n]))
        ++n;
    return n;
}

void copyWord(const char* s, size_t n)
{
    PI_CHECK(n < static_cast<size_t>(kPiWordSize), "s < PBUFSZ");
    memcpy(loader.ctok.text, s, n);
    loader.ctok.text[n] = 0;
}

// Only plain decimal words: the number reader would also take "inf" and
// "nan", and an overflowing exponent gives inf.
bool readDecimal(const char* word, double* value)
{
    for (const char* p = word; *p; ++p)
        if (!strchr("0123456789.+-eE", *p))
            return false;
    double v = 0;
    if (parseNumber(word, &v) != strlen(word))
        return false;
    if (!std::isfinite(v))
        return false;
    *value = v;
    return true;
}

void nextPiToken()
{
    Token& t = loader.ctok;
    if (!loader.cursor) {
        const char* line = nextCodeLine(&piTextBuffer);
        if (!line) {
            t.token = AT_EOF;
            return;
        }
        ++loader.lineNumber;
        loader.cursor = line;
    }
    const char* s = loader.cursor;
    while (*s == ' ' || *s == '\t')
        ++s;
    if (*s == '\n' || *s == 0) {
        loader.cursor = nullptr;
        t.token = AT_EOL;
        return;
    }
    // A keyword is a whole word: at most one of the table can match it.
    size_t n = wordLength(s);
    int keyword = 0;
    if (findKeyword(s, n, &keyword)) {
        if (keyword == AT_COMMENT) {
            loader.cursor = nullptr;
            t.token = AT_EOL;
        } else {
            loader.cursor = s + n;
            t.token = keyword;
        }
        return;
    }
    if (*s == '"') {
        const char* end = s + 1;
        while (*end && *end != '"' && *end != '\n')
            ++end;
        if (*end != '"')
            piLoadFatal(getResString(kStrStringPastLineEnd));
        copyWord(s + 1, static_cast<size_t>(end - s - 1));
        loader.cursor = end + 1;
        t.token = AT_STRING;
        return;
    }
    if (*s == '-' || *s == '.' || (*s >= '0' && *s <= '9')) {
        size_t n = wordLength(s);
        copyWord(s, n);
        loader.cursor = s + n;
        t.token = AT_NUMBER;
        // The writer's text of 1e30, the no-time of AT EXIT, taken exactly.
        if (strcmp(t.text, "1.e+030") == 0) {
            t.number = 1e30;
            return;
        }
        PI_CHECK(readDecimal(t.text, &t.number), "sscanf(s, \"%lf\", &ctok.u.number) == 1");
        return;
    }
    if (*s == '$') {
        size_t n = wordLength(s + 1);
        copyWord(s + 1, n);
        loader.cursor = s + 1 + n;
        t.token = AT_LABEL;
        return;
    }
    if (strchr("TSDVP", *s) && isDelimiter(s[1])) {
        t.letter = *s;
        loader.cursor = s + 1;
        t.token = AT_LETTER;
        return;
    }
    reportError(ERR_FATAL, getResString(kStrUnknownCharacter), loader.lineNumber);
    abort();
}

// The first token of the next line that holds one: blank lines and comment
// lines may stand between any two lines.
int nextLineStart()
{
    do
        nextPiToken();
    while (loader.ctok.token == AT_EOL);
    return loader.ctok.token;
}

void expectEol()
{
    nextPiToken();
    PI_CHECK(loader.ctok.token == AT_EOL, "ctok.token == ATEOL");
}

// The writer follows "DISC  n" with "  // name:priority": the name is kept
// for the messages that name a procedure.
void keepSectionName(PiCode& code)
{
    code.name[0] = 0;
    const char* s = loader.cursor;
    if (!s)
        return;
    while (*s == ' ' || *s == '\t')
        ++s;
    if (strncmp(s, "//", 2) != 0)
        return;
    s += 2;
    while (*s == ' ')
        ++s;
    size_t n = strcspn(s, ":\n");
    if (n >= sizeof code.name)
        n = sizeof code.name - 1;
    memcpy(code.name, s, n);
    code.name[n] = 0;
}

double expectNumber()
{
    nextPiToken();
    PI_CHECK(loader.ctok.token == AT_NUMBER, "ctok.token == ATNUMBER");
    return loader.ctok.number;
}

bool isWhole(double v)
{
    return std::floor(v) == v;
}

// The count after a section keyword, then the line end.
int readCount(const char* negativeCheck)
{
    double n = expectNumber();
    PI_CHECK(n >= 0 && isWhole(n), negativeCheck);
    PI_CHECK(n <= kPiMaxCount, "n <= PMAXCOUNT");
    expectEol();
    return static_cast<int>(n);
}

// An operand index: a whole number from 0 to below count.
int readIndex(int count, const char* check)
{
    double i = expectNumber();
    PI_CHECK(i >= 0 && i < count && isWhole(i), check);
    return static_cast<int>(i);
}

char* copyText(const char* s)
{
    size_t n = strlen(s);
    char* p = new char[n + 1];
    memcpy(p, s, n + 1);
    return p;
}

// The optional words of a declaration line, in their fixed order, then the
// line end. allowed lists the tokens that may stand, in order.
int readFlags(const int* allowed, int count)
{
    int flags = 0;
    nextPiToken();
    for (int i = 0; i < count && loader.ctok.token != AT_EOL; ++i) {
        if (loader.ctok.token == allowed[i]) {
            flags |= allowed[i] == AT_SAVE ? PI_SAVE : allowed[i] == AT_INP ? PI_INPUT : PI_OUTPUT;
            nextPiToken();
        }
    }
    PI_CHECK(loader.ctok.token == AT_EOL, "ctok.token == ATEOL");
    return flags;
}

const int kSaveOnly[] = {AT_SAVE};
const int kVarWords[] = {AT_SAVE, AT_INP, AT_OUTP};

// Lines "name" [value] [SAVE] up to the line that starts with one of the
// end tokens (returned). Each line is checked against max and recorded.
int readDeclarationLines(int kind, int max, bool withValue, double* values,
                         std::vector<DeclaredSymbol>& symbols, int end1, int end2 = -1)
{
    int n = 0;
    for (;;) {
        int t = nextLineStart();
        if (t == end1 || t == end2)
            return t;
        PI_CHECK(t == AT_STRING, "ctok.token == ATSTRING");
        PI_CHECK(n < max, "nstate < nmaxstate");
        DeclaredSymbol d;
        d.name = loader.ctok.text;
        d.kind = kind;
        d.index = n;
        if (withValue) {
            double v = expectNumber();
            if (values)
                values[n] = v;
        }
        d.flags = kind == PI_VARIABLE ? readFlags(kVarWords, 3) : readFlags(kSaveOnly, 1);
        symbols.push_back(d);
        ++n;
    }
}

void readStrings(int count)
{
    piProgram.strings = new char*[static_cast<size_t>(count > 0 ? count : 1)]();
    int index = 0;
    for (;;) {
        int t = nextLineStart();
        if (t == AT_EVENTS)
            break;
        if (t == AT_STRINGS)
            piLoadFatal(getResString(kStrInternalStringTableDefined));
        PI_CHECK(t == AT_STRING, "ctok.token == ATSTRING");
        PI_CHECK(index < count, "index < nstrings");
        piProgram.strings[index] = copyText(loader.ctok.text);
        piProgram.nstrings = ++index;
        expectEol();
    }
    PI_CHECK(index == count, "nstate == nmaxstate");
}

void readDeclarations(std::vector<DeclaredSymbol>& symbols)
{
    PiProgram& p = piProgram;
    PI_CHECK(nextLineStart() == AT_EXAMPLE, "ctok.token == ATEXAMPLE");
    nextPiToken();
    PI_CHECK(loader.ctok.token == AT_STRING, "ctok.token == ATSTRING");
    expectEol();

    int t = nextLineStart();
    if (t == AT_INDEP) {
        expectEol();
        PI_CHECK(nextLineStart() == AT_STRING, "ctok.token == ATSTRING");
        DeclaredSymbol d;
        d.name = loader.ctok.text;
        d.kind = PI_INDEPENDENT;
        d.index = 0;
        p.t[0] = expectNumber();
        d.flags = readFlags(kSaveOnly, 1);
        symbols.push_back(d);
        t = nextLineStart();
    }

    PI_CHECK(t == AT_STATES, "ctok.token == ATSTATES");
    int n = readCount("n >= 0");
    p.nstates = n;
    p.derivative = newPiValues(n);
    for (double*& s : p.state)
        s = newPiValues(n);
    p.stateWork = newPiValues(n);
    readDeclarationLines(PI_STATE, n, true, p.state[0], symbols, AT_DERIV);
    expectEol();
    readDeclarationLines(PI_DERIVATIVE, n, false, nullptr, symbols, AT_DSTATES);

    n = readCount("n >= 0");
    if (n != 0)
        piLoadFatal(getResString(kStrDiscreteStatesUnsupported));
    p.ndstates = 0;
    readDeclarationLines(PI_DISCRETE_STATE, 0, true, nullptr, symbols, AT_VARS);

    p.nvariables = readCount("n >= 0");
    readDeclarationLines(PI_VARIABLE, p.nvariables, false, nullptr, symbols, AT_PARAMS);

    p.nparameters = readCount("n >= 0");
    p.value = newPiValues(p.nparameters + p.nvariables);
    t = readDeclarationLines(PI_PARAMETER, p.nparameters, true, p.value, symbols, AT_EVENTS,
                             AT_STRINGS);
    if (t == AT_STRINGS)
        readStrings(readCount("n >= 0"));

    // The token is EVENTS here.
    allocDiscreteFlags(readCount("n >= 0"));
    PI_CHECK(nextLineStart() == AT_DELAYS, "ctok.token == ATDELAYS");
    allocDelayLines(readCount("n >= 0"));
}

void buildSymbols(const std::vector<DeclaredSymbol>& symbols)
{
    PiProgram& p = piProgram;
    p.nsymbols = static_cast<int>(symbols.size());
    p.symbols = new PiSymbol[symbols.size() ? symbols.size() : 1];
    for (size_t k = 0; k < symbols.size(); ++k) {
        const DeclaredSymbol& d = symbols[k];
        PiSymbol& s = p.symbols[k];
        s.name = copyText(d.name.c_str());
        s.kind = d.kind;
        s.flags = d.flags;
        s.value[0] = s.value[1] = s.value[2] = nullptr;
        switch (d.kind) {
        case PI_INDEPENDENT:
            for (int b = 0; b < 3; ++b)
                s.value[b] = &p.t[b];
            break;
        case PI_STATE:
            for (int b = 0; b < 3; ++b)
                s.value[b] = &p.state[b][d.index];
            break;
        case PI_DERIVATIVE:
            s.value[0] = &p.derivative[d.index];
            break;
        case PI_VARIABLE:
            s.value[0] = &p.value[p.nparameters + d.index];
            break;
        case PI_PARAMETER:
            s.value[0] = &p.value[d.index];
            break;
        default:
            break;
        }
    }
}

// The word after FUNC: an operator, or UFUNC/UPROC k "name" bound to its
// library row.
void readFunc(RawInstruction& r)
{
    nextPiToken();
    int t = loader.ctok.token;
    if (t == AT_UFUNC || t == AT_UPROC) {
        double k = expectNumber();
        PI_CHECK(k >= 0 && k <= kPiMaxArguments && isWhole(k), "k >= 0 && k <= 9");
        nextPiToken();
        PI_CHECK(loader.ctok.token == AT_STRING, "ctok.token == ATSTRING");
        linkLibraryCall(r, t == AT_UFUNC, static_cast<int>(k), loader.ctok.text);
        return;
    }
    int op = piFuncOpcode(keywordText(t));
    PI_CHECK(op >= 0 && t != AT_COMMENT, "error");
    r.opcode = op;
}

// PUSH or POP with its operand.
void readPushPop(RawInstruction& r, bool push)
{
    PiProgram& p = piProgram;
    nextPiToken();
    const Token& c = loader.ctok;
    if (c.token == AT_NUMBER || (c.token == AT_LETTER && c.letter == 'T')) {
        PI_CHECK(push, "ftoken == ATPUSH");
        if (c.token == AT_NUMBER) {
            r.opcode = PI_PUSH_NUMBER;
            r.linked.u.number = c.number;
        } else {
            r.opcode = PI_PUSH_T;
        }
        return;
    }
    PI_CHECK(c.token == AT_LETTER, "error");
    switch (c.letter) {
    case 'S':
    case 'D':
        r.opcode = c.letter == 'S' ? (push ? PI_PUSH_S : PI_POP_S) : (push ? PI_PUSH_D : PI_POP_D);
        r.linked.u.index = readIndex(p.nstates, "p.u.index >= 0 && p.u.index < ordn");
        break;
    case 'P':
        r.opcode = push ? PI_PUSH_V : PI_POP_V;
        r.linked.u.value =
            p.value + readIndex(p.nparameters, "p.u.index >= 0 && p.u.index < nparameters");
        break;
    default:  // 'V'
        r.opcode = push ? PI_PUSH_V : PI_POP_V;
        r.linked.u.value =
            p.value + p.nparameters +
            readIndex(p.nvariables, "p.u.index >= 0 && p.u.index < nvariables");
        break;
    }
}

} // namespace

void startPiText()
{
    loader.cursor = nullptr;
    loader.lineNumber = 0;
    loader.sourceLine = 0;
    loader.calls.clear();
    rewindCodeBuffer(&piTextBuffer, 0);
}

void finishPiText()
{
    loader.lineNumber = 0;
    loader.calls.clear();
    loader.calls.shrink_to_fit();
}

void readPiDeclarations()
{
    std::vector<DeclaredSymbol> symbols;
    readDeclarations(symbols);
    buildSymbols(symbols);
}

void readInitStart()
{
    PI_CHECK(nextLineStart() == AT_INIT, "ctok.token == ATINIT");
    expectEol();
}

void readContStart()
{
    PI_CHECK(nextLineStart() == AT_CONT, "ctok.token == ATCONT");
    expectEol();
}

int readDiscretCount()
{
    PI_CHECK(nextLineStart() == AT_DISCRET, "ctok.token == ATDISCRET");
    return readCount("ndiscr >= 0");
}

void readDiscStart(int index, PiCode& code)
{
    PI_CHECK(nextLineStart() == AT_DISC, "ctok.token == ATDISC");
    PI_CHECK(expectNumber() == index, "i == (int)ctok.u.number");
    keepSectionName(code);
    expectEol();
}

void readTextEnd()
{
    PI_CHECK(nextLineStart() == AT_EOF, "ctok.token == ATEOF");
}

const std::vector<PendingCall>& pendingPiCalls()
{
    return loader.calls;
}

// The instruction lines of one section up to and including END.
void readPiInstructions(std::vector<RawInstruction>& section)
{
    loader.sourceLine = 0;
    for (;;) {
        int t = nextLineStart();
        if (t == AT_LINE) {
            double n = expectNumber();
            loader.sourceLine = n >= INT_MIN && n <= INT_MAX ? static_cast<int>(n) : 0;
            expectEol();
            continue;
        }
        RawInstruction r;
        r.opcode = -1;
        r.sourceLine = loader.sourceLine;
        r.piLine = loader.lineNumber;
        r.linked.u.number = 0;
        switch (t) {
        case AT_PUSH:
            readPushPop(r, true);
            break;
        case AT_POP:
            readPushPop(r, false);
            break;
        case AT_FUNC:
            readFunc(r);
            break;
        case AT_IFT: case AT_IFF: case AT_NIFT: case AT_NIFF: case AT_GOTO:
            r.opcode = t == AT_IFT ? PI_IFT : t == AT_IFF ? PI_IFF : t == AT_NIFT ? PI_NIFT
                     : t == AT_NIFF ? PI_NIFF : PI_GOTO;
            nextPiToken();
            PI_CHECK(loader.ctok.token == AT_LABEL, "ctok.token == ATLABEL");
            r.label = loader.ctok.text;
            break;
        case AT_LABEL:
            r.opcode = PI_LABEL;
            r.label = loader.ctok.text;
            break;
        case AT_CALL: {
            double n = expectNumber();
            PI_CHECK(n >= 0 && n < kPiMaxCount, "n >= 0");
            r.opcode = PI_CALL;
            r.linked.u.index = static_cast<int>(n + 0.5);
            loader.calls.push_back({r.linked.u.index, r.piLine});
            break;
        }
        case AT_END:
            r.opcode = PI_END;
            break;
        default:
            piCheckFailed("error", __LINE__);
        }
        expectEol();
        section.push_back(r);
        if (r.opcode == PI_END)
            return;
    }
}
