// Polynomials in s or z with symbolic coefficients, and the rational
// functions G(s) and G(z) built from them by the transfer-function grammar.
#ifndef KYT_LAPLACE_POLYNOMIAL_H
#define KYT_LAPLACE_POLYNOMIAL_H

#include "CaNode.h"

#include <cstddef>

// The variable of a polynomial.
enum {
    POLY_CONSTANT = -1,  // no variable
    POLY_S = 0,          // the Laplace operator s
    POLY_Z = 1           // the shift operator z
};

// Highest degree a polynomial can be built with (products may go higher).
const int kMaxPolynomialDegree = 50;

// The variable of two polynomials that meet; incompatible when one is s
// and the other z.
bool variablesCompatible(int a, int b);
int combineVariables(int a, int b);

class Polynomial {
public:
    // The constant 0 without variable.
    Polynomial();
    // The monomial coefficient * variable^degree. A degree outside 0 to 50
    // stores 18031 and 0 is used; the variable is kept as its sign.
    Polynomial(const CaNode& coefficient, int degree, int variable);
    Polynomial(const Polynomial& other);
    Polynomial(Polynomial&& other) noexcept;
    Polynomial& operator=(const Polynomial& other);
    Polynomial& operator=(Polynomial&& other) noexcept;
    virtual ~Polynomial();

    Polynomial& operator+=(const Polynomial& p);
    Polynomial& operator-=(const Polynomial& p);
    Polynomial& operator*=(const Polynomial& p);
    Polynomial operator+(const Polynomial& p) const;
    Polynomial operator-(const Polynomial& p) const;
    Polynomial operator*(const Polynomial& p) const;

    // Simplifies every coefficient and drops the zero ones at the top.
    void normalize();
    // Every coefficient is a number with imaginary part 0.
    bool isRealConstant() const;

    // Removes the constant coefficient: the others move down one power.
    void shiftDown();
    // Removes the highest coefficient; a degree of -1 means no coefficient.
    void dropHighest();

    const CaNode& coefficient(int i) const { return *coefficients[i]; }

    int degree;
    int variable;
    // Index i holds the coefficient of the variable's i-th power.
    CaNode** coefficients;

private:
    void addOrSubtract(const Polynomial& p, int kind);
    void resize(int newDegree);
    void release();
};

class RationalFunction {
public:
    // 0/1.
    RationalFunction();
    // p/1.
    explicit RationalFunction(const Polynomial& p);
    // x/1.
    explicit RationalFunction(double x);
    RationalFunction(const Polynomial& n, const Polynomial& d);
    RationalFunction(const RationalFunction& other);
    RationalFunction(RationalFunction&& other) noexcept;
    RationalFunction& operator=(const RationalFunction& other);
    RationalFunction& operator=(RationalFunction&& other) noexcept;
    virtual ~RationalFunction();

    // The values of a parse come from the parser's allocation hook.
    static void* operator new(size_t size);
    static void operator delete(void* p);

    RationalFunction& operator+=(const RationalFunction& r);
    RationalFunction& operator/=(const RationalFunction& r);
    RationalFunction operator+(const RationalFunction& r) const;
    RationalFunction operator-(const RationalFunction& r) const;
    RationalFunction operator*(const RationalFunction& r) const;
    RationalFunction operator/(const RationalFunction& r) const;

    // This value to the power of e, which must be an integer from -50 to 50.
    RationalFunction power(const RationalFunction& e) const;
    // The functions Zgh0, Zghp, IZgh0 and IZghp of the grammar.
    RationalFunction applyFunction(const char* functionName) const;
    // Cancels common powers of the variable; a zero numerator gets the
    // denominator 1.
    void normalize();

    // Writes the block blockName for this function into the live parser's
    // work file; a refusal is a stored message.
    void writeTransferBlock(const char* blockName) const;

    Polynomial numerator;
    Polynomial denominator;
};

#endif
