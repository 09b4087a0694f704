// The model-language block of a transfer function: a G(s) in observable
// canonical form with continuous states, a G(z) in controllable canonical
// form updated by a procedure scheduled every sampling time T.
#include "Polynomial.h"

#include "BoundedText.h"
#include "PolyGrammarParser.h"
#include "ResString.h"
#include "strings/LaplaceStrings.h"

#include <cstring>
#include <ctime>
#include <utility>

namespace {


// Longest identifier of the model language.
const size_t kMaxModelName = 100;

// The words the model-language scanner reads as keywords: a parameter of
// one of these names would not compile.
const char* const modelKeywords[] = {
    "CIRCUIT", "ENDCIRCUIT", "FROM", "USE", "ENDUSE", "AS", "BLOCK", "ENDBLOCK",
    "SIM", "ENDSIM", "PROCEDURE", "ENDPROCEDURE", "INIT", "ENDINIT", "SAVE", "CONNECT",
    "TO", "INPUT", "OUTPUT", "PARAMETER", "VAR", "STATE", "DELAY", "DISCRETE",
    "SOCKET", "STRING", "TYPENAME", "STORE", "ALL", "QUIT", "BREAK", "EXIT",
    "BOOL", "THIS", "AND", "OR", "NOT", "SCHEDULE", "CALL", "AT",
    "NOW", "PRIO", "SWITCH", "ENDSWITCH", "CASE", "DEFAULT", "ONRISE", "DO",
    "IF", "THEN", "ELSE", "ENDIF",
};

// Constants of the model language: written as they are, never declared.
const char* const modelConstants[] = {"PI", "cE"};

// Spellings of pi that the model language does not know: in the block they
// would be undeclared names.
const char* const unknownConstants[] = {"Pi", "cPI", "cPi"};

// Sampling time of a G(z), declared by the block itself.
const char kSamplingTime[] = "T";

template <size_t N>
bool inTable(const char* const (&table)[N], const char* name)
{
    for (const char* entry : table)
        if (strcmp(entry, name) == 0)
            return true;
    return false;
}

void systemClock(struct tm* now)
{
    time_t t = time(nullptr);
    localtime_r(&t, now);
}

TransferClock currentClock = systemClock;

// The standard 24-character date text ("Wed Jan  2 02:03:55 1980"), built
// here so that neither the locale nor the C library changes it.
void formatDate(char* out, size_t size)
{
    static const char days[7][4] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char months[12][4] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    struct tm now;
    memset(&now, 0, sizeof now);
    currentClock(&now);
    int wday = now.tm_wday >= 0 && now.tm_wday < 7 ? now.tm_wday : 0;
    int mon = now.tm_mon >= 0 && now.tm_mon < 12 ? now.tm_mon : 0;
    formatBounded(out, size, "%.3s %.3s%3d %.2d:%.2d:%.2d %d", days[wday], months[mon], now.tm_mday,
                  now.tm_hour, now.tm_min, now.tm_sec, 1900 + now.tm_year);
}

// x1 ... xn.
bool isStateName(const char* name, int n)
{
    if (name[0] != 'x' || name[1] < '1' || name[1] > '9')
        return false;
    long v = 0;
    for (const char* p = name + 1; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        v = v * 10 + (*p - '0');
        if (v > n)
            return false;
    }
    return v >= 1;
}

// Everything the writer needs to know about the block.
struct BlockShape {
    bool discrete;
    int n;          // denominator degree
    int m;          // numerator degree after the feed-through (-1: none)
    const CaNode* b; // feed-through, or null
};

// A name that would break the generated block, or null.
const char* refusedName(const ParameterList& parameters, const BlockShape& shape)
{
    for (const ParameterList::Record* r = parameters.first(); r; r = r->next) {
        const char* name = r->name;
        bool refused = strlen(name) > kMaxModelName || inTable(modelKeywords, name) ||
                       inTable(unknownConstants, name) || strcmp(name, "u") == 0 ||
                       strcmp(name, "y") == 0 || isStateName(name, shape.n);
        if (shape.discrete) {
            refused = refused || strcmp(name, "yk") == 0 || strcmp(name, "transfer") == 0 ||
                      (shape.n > 0 && strcmp(name, "h") == 0);
        } else {
            bool hasYp = shape.n >= 1 && !shape.b;
            refused = refused || (hasYp && strcmp(name, "yp") == 0);
        }
        if (refused)
            return name;
    }
    return nullptr;
}

// Coefficient k times signal v; nothing for a zero coefficient. In the
// discrete procedure a blank goes before a plain coefficient.
bool writeTerm(const CaNode* k, const char* v, bool discrete)
{
    if (k->isZero())
        return false;
    if (k->isOne()) {
        transferPrintf("%s", v);
    } else if (k->isLow()) {
        transferPrintf("(");
        k->print();
        transferPrintf(")*%s", v);
    } else {
        if (discrete)
            transferPrintf(" ");
        k->print();
        transferPrintf("*%s", v);
    }
    return true;
}

void writeParameter(const ParameterList::Record* r)
{
    transferPrintf("   %s = %s \"%s\";\n", r->name, r->value, r->comment);
}

void writeContinuousPart(const RationalFunction& w, const BlockShape& shape, const char* blockName)
{
    const ParameterList& parameters = PolyGrammarParser::live()->getParameters();
    const int n = shape.n;
    const int m = shape.m;
    const CaNode* b = shape.b;

    bool first = true;
    for (const ParameterList::Record* r = parameters.first(); r; r = r->next) {
        if (inTable(modelConstants, r->name))
            continue;
        if (first)
            transferPrintf("PARAMETER\n");
        first = false;
        writeParameter(r);
    }

    if (n > 0) {
        transferPrintf("STATE\n");
        for (int i = 1; i <= n; ++i)
            transferPrintf("   x%d \"[1] %s\";\n", i, blockName);
    }
    bool hasYp = n >= 1 && !b;
    if (hasYp)
        transferPrintf("VAR\n   yp \"derivate\";\n");

    transferPrintf("SIM\n");
    for (int k = 0; k < n; ++k) {
        transferPrintf("   x%d .= ", k + 1);
        if (k == n - 1 && hasYp)
            transferPrintf("yp;\n   yp  = ");
        bool written = false;
        if (k > 0) {
            transferPrintf("x%d ", k);
            written = true;
        }
        const CaNode* a = w.denominator.coefficients[k];
        if (!a->isZero()) {
            if (a->isOne()) {
                transferPrintf("-x%d", n);
            } else if (a->isLow()) {
                transferPrintf("-(");
                a->print();
                transferPrintf(")*x%d", n);
            } else {
                transferPrintf("- ");
                a->print();
                transferPrintf("*x%d", n);
            }
            written = true;
        }
        if (k <= m) {
            const CaNode* c = w.numerator.coefficients[k];
            if (!c->isZero()) {
                if (written)
                    transferPrintf(" + ");
                writeTerm(c, "u", false);
            }
        }
        transferPrintf(";\n");
    }

    if (n > 0) {
        transferPrintf("   y   = x%d", n);
        if (b && !b->isZero()) {
            if (b->isOne()) {
                transferPrintf(" + u");
            } else if (b->kind == CA_NUMBER && b->value.re == -1.0 && b->value.im == 0.0) {
                transferPrintf(" - u");
            } else if (b->isLow()) {
                transferPrintf(" + (");
                b->print();
                transferPrintf(")*u");
            } else {
                transferPrintf(" + ");
                b->print();
                transferPrintf("*u");
            }
        }
        transferPrintf(";\n");
    } else if (b) {
        if (b->isOne()) {
            transferPrintf("   y   = u");
        } else if (b->isLow()) {
            transferPrintf("   y   = (");
            b->print();
            transferPrintf(")*u");
        } else {
            transferPrintf("   y   = ");
            b->print();
            transferPrintf("*u");
        }
        transferPrintf(";\n");
    }
    transferPrintf("ENDSIM\n");
}

void writeDiscretePart(const RationalFunction& w, const BlockShape& shape, const char* blockName)
{
    const ParameterList& parameters = PolyGrammarParser::live()->getParameters();
    const int n = shape.n;
    const int m = shape.m;
    const CaNode* b = shape.b;

    transferPrintf("PARAMETER\n");
    transferPrintf("   T  = 1. \"[s] %s\";\n", "Abtastzeit");
    for (const ParameterList::Record* r = parameters.first(); r; r = r->next)
        if (strcmp(r->name, kSamplingTime) != 0 && !inTable(modelConstants, r->name))
            writeParameter(r);

    transferPrintf("VAR\n   yk DISCRETE;");
    if (n > 0)
        transferPrintf(" h DISCRETE;");
    transferPrintf("\n");
    for (int i = 1; i <= n; ++i)
        transferPrintf("   x%d DISCRETE \"[1] %s\";\n", i, blockName);

    transferPrintf("SIM\n   y = yk <- transfer(u);\nENDSIM\n");

    transferPrintf("PROCEDURE transfer;\n   yk = ");
    char state[16];
    bool written = false;
    if (n > 0) {
        for (int i = 0; i <= m; ++i) {
            const CaNode* c = w.numerator.coefficients[i];
            if (c->isZero())
                continue;
            if (written)
                transferPrintf("\n      + ");
            formatBounded(state, sizeof state, "x%d", i + 1);
            writeTerm(c, state, true);
            written = true;
        }
    }
    if (b && !b->isZero()) {
        if (written)
            transferPrintf("\n      + ");
        writeTerm(b, "u", true);
    }
    transferPrintf(";\n");

    if (n > 0) {
        transferPrintf("   h  = ");
        written = false;
        for (int i = 0; i < n; ++i) {
            const CaNode* a = w.denominator.coefficients[i];
            if (a->isZero())
                continue;
            transferPrintf(written ? "\n      - " : "- ");
            formatBounded(state, sizeof state, "x%d", i + 1);
            writeTerm(a, state, true);
            written = true;
        }
        transferPrintf(written ? "\n      + u;\n" : "u;\n");
        for (int i = 1; i < n; ++i)
            transferPrintf("   x%d = x%d;\n", i, i + 1);
        transferPrintf("   x%d = h;\n", n);
    }
    transferPrintf("   STORE ALL;\n   SCHEDULE transfer AT NOW+T;\nENDPROCEDURE\n");

    transferPrintf("INIT\n   yk = 0;");
    if (n > 0)
        transferPrintf(" h = 0;");
    transferPrintf("\n");
    for (int i = 1; i <= n; ++i)
        transferPrintf("   x%d = 0;\n", i);
    transferPrintf("   SCHEDULE transfer AT NOW;\nENDINIT\n");
}

// Some coefficient of the block is infinite or NaN: written, it would be a
// word the compiler cannot read.
bool hasNonFiniteCoefficient(const RationalFunction& w, const BlockShape& shape)
{
    for (int i = 0; i <= w.numerator.degree; ++i)
        if (w.numerator.coefficients[i]->hasNonFiniteNumber())
            return true;
    for (int i = 0; i <= w.denominator.degree; ++i)
        if (w.denominator.coefficients[i]->hasNonFiniteNumber())
            return true;
    return shape.b && shape.b->hasNonFiniteNumber();
}

// True when the procedure of a G(z) would compute yk from nothing.
bool discreteOutputIsEmpty(const RationalFunction& w, const BlockShape& shape)
{
    if (shape.n > 0)
        for (int i = 0; i <= shape.m; ++i)
            if (!w.numerator.coefficients[i]->isZero())
                return false;
    return !shape.b || shape.b->isZero();
}

size_t transferTextLength(const char* text)
{
    size_t n = strlen(text ? text : "");
    // The grammar accepts a line feed at the end; written into the comment,
    // wizard and TEXT lines it would break them.
    if (n && text[n - 1] == '\n') {
        --n;
        if (n && text[n - 1] == '\r')
            --n;
    }
    return n;
}

} // namespace

void setTransferClock(TransferClock clock)
{
    currentClock = clock ? clock : systemClock;
}

void RationalFunction::writeTransferBlock(const char* blockName) const
{
    PolyGrammarParser* driver = PolyGrammarParser::live();
    if (!driver)
        return;
    RationalFunction w(*this);
    int m = w.numerator.degree;
    int n = w.denominator.degree;

    // 1. The block must be proper.
    if (m > n) {
        PolyGrammarParser::report(kStrLaplaceNumeratorDegree);
        return;
    }

    // 2. Direct feed-through.
    CaNode* b = nullptr;
    if (m == n) {
        b = new CaNode(CA_QUOTIENT, copyTree(w.numerator.coefficients[n]), copyTree(w.denominator.coefficients[n]));
        b->simplify();
        for (int i = m - 1; i >= 0; --i) {
            CaNode* product = new CaNode(CA_PRODUCT, copyTree(w.denominator.coefficients[i]), copyTree(b));
            CaNode* c = new CaNode(CA_DIFFERENCE, w.numerator.coefficients[i], product);
            c->simplify();
            w.numerator.coefficients[i] = c;
        }
        w.numerator.dropHighest();
    }

    // 3. Leading denominator coefficient 1.
    CaNode* an = w.denominator.coefficients[n];
    if (!an->isOne()) {
        for (int i = 0; i <= w.numerator.degree; ++i) {
            CaNode* c = new CaNode(CA_QUOTIENT, w.numerator.coefficients[i], copyTree(an));
            c->simplify();
            w.numerator.coefficients[i] = c;
        }
        for (int i = 0; i < n; ++i) {
            CaNode* a = new CaNode(CA_QUOTIENT, w.denominator.coefficients[i], copyTree(an));
            a->simplify();
            w.denominator.coefficients[i] = a;
        }
        delete an;
        w.denominator.coefficients[n] = new CaNode(1.0);
        w.normalize();
    }

    // 4. and 5.
    BlockShape shape;
    shape.discrete = w.numerator.variable == POLY_Z || w.denominator.variable == POLY_Z;
    shape.n = w.denominator.degree;
    shape.m = w.numerator.degree;
    shape.b = b;

    const char* text = driver->getInput() ? driver->getInput() : "";
    int length = static_cast<int>(transferTextLength(text));
    int parameterCount = driver->getParameters().getCount();
    int width = (length + 7) / 2;
    if (width < 6)
        width = 6;
    if (width > 8)
        width = 8;
    int height = parameterCount + (length + 7) / 16 + (shape.discrete ? 3 : 2);
    if (height < 3)
        height = 3;
    if (height < width / 2)
        height = width / 2;

    // Refusals that would otherwise give a block the compiler rejects.
    const char* name = refusedName(driver->getParameters(), shape);
    if (name) {
        driver->storeMessage(kStrLaplaceNameRefused, name);
        delete b;
        return;
    }
    if (hasNonFiniteCoefficient(w, shape)) {
        driver->storeMessage(kStrLaplaceOverflow);
        delete b;
        return;
    }
    if (shape.discrete && discreteOutputIsEmpty(w, shape)) {
        driver->storeMessage(kStrLaplaceZero);
        delete b;
        return;
    }

    // 6. The block text.
    char date[32];
    formatDate(date, sizeof date);
    transferPrintf(getResString(kStrLaplaceBlockHeader), blockName);
    transferPrintf(shape.discrete ? "#  G(z) = %.*s\n" : "#  G(s) = %.*s\n", length, text);
    transferPrintf("%s", getResString(kStrLaplaceGeneratedBy));
    transferPrintf("#  %s\n", date);
    transferPrintf("#\n");
    transferPrintf("$ WIZARD Laplace \"%.*s\"\n", length, text);
    transferPrintf("BLOCK %s;\n", blockName);
    transferPrintf("$ BLOCKDIM -1 -1 %d %d\n", width, height);
    transferPrintf(shape.discrete ? "$ TEXT \"G(z) = %.*s\"\n" : "$ TEXT \"G(s) = %.*s\"\n",
                   length < 9 ? length : 9, text);
    for (int offset = 9; offset < length; offset += 16) {
        int chunk = length - offset < 16 ? length - offset : 16;
        transferPrintf("$      \"%.*s\"\n", chunk, text + offset);
    }
    transferPrintf("$ TEXTALIG 1 1 1 1\n");
    transferPrintf("$ ICONNAME \"*** NO PIC ***\"\n");
    transferPrintf("$ ICONDIM 4 4\n");
    transferPrintf("$ ICONALIG 1 1 1\n");
    transferPrintf("INPUT\n   u \"[1] %s %s\";\n", blockName, "Eingang");
    transferPrintf("OUTPUT\n   y \"[1] %s %s\";\n", blockName, "Ausgang");

    if (shape.discrete)
        writeDiscretePart(w, shape, blockName);
    else
        writeContinuousPart(w, shape, blockName);
    transferPrintf("ENDBLOCK %s;\n", blockName);
    delete b;
}
