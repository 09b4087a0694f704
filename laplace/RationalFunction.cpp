#include "Polynomial.h"

#include "CheckedHeap.h"
#include "PolyGrammarParser.h"
#include "strings/LaplaceStrings.h"

#include <cmath>
#include <cstring>
#include <utility>

namespace {


// Largest magnitude of an exponent.
const double kMaxExponent = 50.0;

// The named functions of the grammar: the argument plus a constant.
struct TransferFunctionRow {
    const char* name;
    double constant;
};

const TransferFunctionRow transferFunctions[] = {
    {"Zgh0", 1.11},
    {"Zghp", 2.22},
    {"IZgh0", 3.33},
    {"IZghp", 4.44},
};

Polynomial constantPolynomial(double x)
{
    return Polynomial(CaNode(x), 0, POLY_CONSTANT);
}

enum Operation { OP_SUM, OP_DIFFERENCE, OP_PRODUCT, OP_QUOTIENT };

// One rational operation on a and b; past the node budget the constant 1.
RationalFunction combine(const RationalFunction& a, const RationalFunction& b, Operation op)
{
    if (PolyGrammarParser::tooLargeNow())
        return RationalFunction(1.0);
    Polynomial n;
    Polynomial d;
    switch (op) {
    case OP_SUM:
    case OP_DIFFERENCE: {
        n = a.numerator * b.denominator;
        Polynomial t = a.denominator * b.numerator;
        if (op == OP_SUM)
            n += t;
        else
            n -= t;
        d = a.denominator * b.denominator;
        break;
    }
    case OP_PRODUCT:
        n = a.numerator * b.numerator;
        d = a.denominator * b.denominator;
        break;
    case OP_QUOTIENT:
        n = a.numerator * b.denominator;
        d = a.denominator * b.numerator;
        break;
    }
    RationalFunction r(n, d);
    r.normalize();
    if (PolyGrammarParser::tooLargeNow())
        return RationalFunction(1.0);
    return r;
}

} // namespace

RationalFunction::RationalFunction() : numerator(constantPolynomial(0.0)), denominator(constantPolynomial(1.0)) {}

RationalFunction::RationalFunction(const Polynomial& p) : numerator(p), denominator(constantPolynomial(1.0)) {}

RationalFunction::RationalFunction(double x) : numerator(constantPolynomial(x)), denominator(constantPolynomial(1.0)) {}

RationalFunction::RationalFunction(const Polynomial& n, const Polynomial& d) : numerator(n), denominator(d) {}

RationalFunction::RationalFunction(const RationalFunction& other)
    : numerator(other.numerator), denominator(other.denominator)
{
}

RationalFunction::RationalFunction(RationalFunction&& other) noexcept
    : numerator(std::move(other.numerator)), denominator(std::move(other.denominator))
{
}

RationalFunction& RationalFunction::operator=(const RationalFunction& other)
{
    if (this != &other) {
        numerator = other.numerator;
        denominator = other.denominator;
    }
    return *this;
}

RationalFunction& RationalFunction::operator=(RationalFunction&& other) noexcept
{
    numerator = std::move(other.numerator);
    denominator = std::move(other.denominator);
    return *this;
}

RationalFunction::~RationalFunction() {}

void* RationalFunction::operator new(size_t size)
{
    return mallocHook(size);
}

void RationalFunction::operator delete(void* p)
{
    freeHook(p);
}

RationalFunction& RationalFunction::operator+=(const RationalFunction& r)
{
    *this = combine(*this, r, OP_SUM);
    return *this;
}

RationalFunction& RationalFunction::operator/=(const RationalFunction& r)
{
    *this = combine(*this, r, OP_QUOTIENT);
    return *this;
}

RationalFunction RationalFunction::operator+(const RationalFunction& r) const
{
    return combine(*this, r, OP_SUM);
}

RationalFunction RationalFunction::operator-(const RationalFunction& r) const
{
    return combine(*this, r, OP_DIFFERENCE);
}

RationalFunction RationalFunction::operator*(const RationalFunction& r) const
{
    return combine(*this, r, OP_PRODUCT);
}

RationalFunction RationalFunction::operator/(const RationalFunction& r) const
{
    return combine(*this, r, OP_QUOTIENT);
}

void RationalFunction::normalize()
{
    // 1. s and z do not mix.
    if (!variablesCompatible(numerator.variable, denominator.variable))
        PolyGrammarParser::report(kStrLaplaceIncompatible);

    // 2. Common powers of the variable cancel.
    while (numerator.degree > 0 && denominator.degree >= 1 && numerator.coefficients[0]->isZero() &&
           denominator.coefficients[0]->isZero()) {
        numerator.shiftDown();
        denominator.shiftDown();
    }

    // 3. A zero numerator makes the denominator 1.
    if (numerator.degree != 0)
        return;
    const CaNode* c = numerator.coefficients[0];
    if (c->kind == CA_NUMBER && c->value.im == 0.0 && c->value.re == 0.0)
        denominator = constantPolynomial(1.0);
}

RationalFunction RationalFunction::power(const RationalFunction& e) const
{
    if (PolyGrammarParser::tooLargeNow())
        return RationalFunction(1.0);

    // 1. The exponent must be a real number.
    double x = 0.0;
    const Polynomial& en = e.numerator;
    const Polynomial& ed = e.denominator;
    if (en.degree == 0 && ed.degree == 0 && en.isRealConstant() && ed.isRealConstant()) {
        x = en.coefficients[0]->value.re / ed.coefficients[0]->value.re;
    } else {
        PolyGrammarParser::report(kStrLaplaceExponentNumber);
        x = 0.0;
    }

    // 2. An integer of at most 50 (NaN and infinity fail here as well).
    if (!(x == std::floor(x) && std::fabs(x) <= kMaxExponent)) {
        PolyGrammarParser::report(kStrLaplaceExponentRange);
        x = 0.0;
    }

    // 3.
    int k = static_cast<int>(std::fabs(x));
    if (k == 0)
        return RationalFunction(1.0);

    // 4.
    RationalFunction r(*this);
    for (int i = 1; i < k; ++i) {
        if (PolyGrammarParser::tooLargeNow())
            return RationalFunction(1.0);
        r.numerator *= numerator;
        r.denominator *= denominator;
        r.normalize();
    }
    if (PolyGrammarParser::tooLargeNow())
        return RationalFunction(1.0);

    // 5.
    if (x > 0)
        return r;
    RationalFunction one(1.0);
    one /= r;
    return one;
}

RationalFunction RationalFunction::applyFunction(const char* functionName) const
{
    for (const TransferFunctionRow& row : transferFunctions)
        if (functionName && strcmp(row.name, functionName) == 0)
            return *this + RationalFunction(row.constant);
    PolyGrammarParser::report(kStrLaplaceUnknownFunction);
    return RationalFunction(1.0);
}
