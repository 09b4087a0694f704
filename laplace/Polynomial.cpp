#include "Polynomial.h"

#include "CheckedHeap.h"
#include "PolyGrammarParser.h"
#include "strings/LaplaceStrings.h"

#include <cstring>
#include <utility>

namespace {


CaNode** allocateCoefficients(long count)
{
    return static_cast<CaNode**>(CheckedAlloc(sizeof(CaNode*) * static_cast<size_t>(count > 0 ? count : 1)));
}

int signOf(int v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}

// A coefficient that normalize drops from the top.
bool isExactZero(const CaNode* c)
{
    return c->kind == CA_NUMBER && c->value.re == 0.0 && c->value.im == 0.0;
}

} // namespace

bool variablesCompatible(int a, int b)
{
    return !(a >= 0 && b >= 0 && a != b);
}

int combineVariables(int a, int b)
{
    if (a == POLY_S || b == POLY_S)
        return POLY_S;
    if (a == POLY_Z || b == POLY_Z)
        return POLY_Z;
    return POLY_CONSTANT;
}

Polynomial::Polynomial() : degree(0), variable(POLY_CONSTANT), coefficients(allocateCoefficients(1))
{
    coefficients[0] = new CaNode(0.0);
}

Polynomial::Polynomial(const CaNode& coefficient, int deg, int var)
    : degree(deg), variable(signOf(var)), coefficients(nullptr)
{
    if (deg < 0 || deg > kMaxPolynomialDegree) {
        PolyGrammarParser::report(kStrLaplaceWrongDegree);
        degree = 0;
    }
    coefficients = allocateCoefficients(degree + 1);
    for (int i = 0; i < degree; ++i)
        coefficients[i] = new CaNode(0.0);
    coefficients[degree] = copyTree(&coefficient);
}

Polynomial::Polynomial(const Polynomial& other)
    : degree(other.degree), variable(other.variable), coefficients(allocateCoefficients(other.degree + 1))
{
    for (int i = 0; i <= degree; ++i)
        coefficients[i] = copyTree(other.coefficients[i]);
}

Polynomial::Polynomial(Polynomial&& other) noexcept
    : degree(other.degree), variable(other.variable), coefficients(other.coefficients)
{
    other.coefficients = nullptr;
    other.degree = -1;
}

Polynomial& Polynomial::operator=(const Polynomial& other)
{
    if (this != &other) {
        Polynomial copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Polynomial& Polynomial::operator=(Polynomial&& other) noexcept
{
    if (this != &other) {
        release();
        degree = other.degree;
        variable = other.variable;
        coefficients = other.coefficients;
        other.coefficients = nullptr;
        other.degree = -1;
    }
    return *this;
}

Polynomial::~Polynomial()
{
    release();
}

void Polynomial::release()
{
    if (!coefficients)
        return;
    for (int i = 0; i <= degree; ++i)
        delete coefficients[i];
    freeHook(coefficients);
    coefficients = nullptr;
}

// New entries are the number 0; entries above newDegree are deleted.
void Polynomial::resize(int newDegree)
{
    CaNode** grown = allocateCoefficients(newDegree + 1);
    int i = 0;
    for (; i <= degree && i <= newDegree; ++i)
        grown[i] = coefficients[i];
    for (; i <= newDegree; ++i)
        grown[i] = new CaNode(0.0);
    for (int k = newDegree + 1; k <= degree; ++k)
        delete coefficients[k];
    freeHook(coefficients);
    coefficients = grown;
    degree = newDegree;
}

void Polynomial::addOrSubtract(const Polynomial& p, int kind)
{
    if (degree < 0 || p.degree < 0) {
        PolyGrammarParser::report(kStrLaplaceWrongDegree);
        return;
    }
    if (!variablesCompatible(variable, p.variable)) {
        PolyGrammarParser::report(kStrLaplaceIncompatible);
        return;
    }
    if (PolyGrammarParser::tooLargeNow())
        return;
    if (&p == this) {
        Polynomial copy(p);
        addOrSubtract(copy, kind);
        return;
    }
    variable = combineVariables(variable, p.variable);
    if (p.degree > degree) {
        if (!PolyGrammarParser::reserveNodes(static_cast<unsigned long>(p.degree - degree)))
            return;
        resize(p.degree);
    }
    for (int i = 0; i <= p.degree; ++i) {
        if (PolyGrammarParser::tooLargeNow())
            break;
        CaNode* right = copyTree(p.coefficients[i]);
        coefficients[i] = new CaNode(kind, coefficients[i], right);
    }
    normalize();
}

Polynomial& Polynomial::operator+=(const Polynomial& p)
{
    addOrSubtract(p, CA_SUM);
    return *this;
}

Polynomial& Polynomial::operator-=(const Polynomial& p)
{
    addOrSubtract(p, CA_DIFFERENCE);
    return *this;
}

Polynomial& Polynomial::operator*=(const Polynomial& p)
{
    if (degree < 0 || p.degree < 0) {
        PolyGrammarParser::report(kStrLaplaceWrongDegree);
        return *this;
    }
    if (!variablesCompatible(variable, p.variable)) {
        PolyGrammarParser::report(kStrLaplaceIncompatible);
        return *this;
    }
    if (PolyGrammarParser::tooLargeNow())
        return *this;
    if (&p == this) {
        Polynomial copy(p);
        return *this *= copy;
    }
    variable = combineVariables(variable, p.variable);

    // No degree limit applies to products; the node budget bounds them.
    long newDegree = static_cast<long>(degree) + p.degree;
    if (!PolyGrammarParser::reserveNodes(static_cast<unsigned long>(newDegree + 1)))
        return *this;
    int oldDegree = degree;
    CaNode** old = coefficients;
    coefficients = allocateCoefficients(newDegree + 1);
    degree = static_cast<int>(newDegree);
    for (int k = 0; k <= degree; ++k)
        coefficients[k] = new CaNode(0.0);

    for (int j = 0; j <= p.degree && !PolyGrammarParser::tooLargeNow(); ++j) {
        for (int i = 0; i <= oldDegree; ++i) {
            if (PolyGrammarParser::tooLargeNow())
                break;
            CaNode* a = copyTree(old[i]);
            CaNode* b = copyTree(p.coefficients[j]);
            CaNode* product = new CaNode(CA_PRODUCT, a, b);
            coefficients[i + j] = new CaNode(CA_SUM, coefficients[i + j], product);
        }
    }
    normalize();

    for (int i = 0; i <= oldDegree; ++i)
        delete old[i];
    freeHook(old);
    return *this;
}

Polynomial Polynomial::operator+(const Polynomial& p) const
{
    Polynomial r(*this);
    r += p;
    return r;
}

Polynomial Polynomial::operator-(const Polynomial& p) const
{
    Polynomial r(*this);
    r -= p;
    return r;
}

Polynomial Polynomial::operator*(const Polynomial& p) const
{
    Polynomial r(*this);
    r *= p;
    return r;
}

void Polynomial::normalize()
{
    if (degree < 0) {
        PolyGrammarParser::report(kStrLaplaceWrongDegree);
        return;
    }
    for (int i = 0; i <= degree; ++i)
        coefficients[i]->simplify();
    int top = degree;
    while (top > 0 && isExactZero(coefficients[top]))
        --top;
    if (top < degree)
        resize(top);
}

bool Polynomial::isRealConstant() const
{
    for (int i = 0; i <= degree; ++i) {
        const CaNode* c = coefficients[i];
        if (c->kind != CA_NUMBER || c->value.im != 0.0)
            return false;
    }
    return true;
}

void Polynomial::shiftDown()
{
    if (degree < 0)
        return;
    delete coefficients[0];
    for (int i = 0; i < degree; ++i)
        coefficients[i] = coefficients[i + 1];
    --degree;
}

void Polynomial::dropHighest()
{
    if (degree < 0)
        return;
    delete coefficients[degree];
    --degree;
}
