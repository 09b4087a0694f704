#include "Polynomial.h"
#include "PolyGrammarParser.h"
#include "TransferTestSupport.h"

#include <gtest/gtest.h>

namespace {

Polynomial s()
{
    return Polynomial(CaNode(1.0), 1, POLY_S);
}

Polynomial z()
{
    return Polynomial(CaNode(1.0), 1, POLY_Z);
}

Polynomial constant(double x)
{
    return Polynomial(CaNode(x), 0, POLY_CONSTANT);
}

Polynomial name(const char* n)
{
    return Polynomial(CaNode(n), 0, POLY_CONSTANT);
}

TEST(PolynomialTest, MonomialConstructor)
{
    PolyGrammarParser d;
    Polynomial p(CaNode("K"), 3, 7);
    EXPECT_EQ("0. | 0. | 0. | K @z", polyText(d, p));
    EXPECT_FALSE(d.hasMessage());

    Polynomial q(CaNode("K"), kMaxPolynomialDegree + 1, POLY_S);
    EXPECT_EQ("K @s", polyText(d, q));
    EXPECT_EQ(18031u, d.getMessageId());
}

TEST(PolynomialTest, SumDifferenceAndProduct)
{
    PolyGrammarParser d;
    Polynomial a = s() + constant(1);
    EXPECT_EQ("1. | 1. @s", polyText(d, a));

    // s - s is the polynomial 0 of degree 0, still in s.
    Polynomial zero = s() - s();
    EXPECT_EQ(0, zero.degree);
    EXPECT_EQ("0. @s", polyText(d, zero));

    // (s+1)(s+2) = s^2 + 3s + 2, folded to numbers.
    Polynomial b = (s() + constant(1)) * (s() + constant(2));
    EXPECT_EQ("2. | 3. | 1. @s", polyText(d, b));

    // Symbolic coefficients stay trees: (K*s + 1)^2 without collecting terms.
    Polynomial k = Polynomial(CaNode("K"), 1, POLY_S) + constant(1);
    Polynomial k2 = k * k;
    EXPECT_EQ("1. | K+K | K*K @s", polyText(d, k2));

    // A polynomial multiplied by itself.
    k *= k;
    EXPECT_EQ("1. | K+K | K*K @s", polyText(d, k));
    EXPECT_FALSE(d.hasMessage());
}

TEST(PolynomialTest, SAndZDoNotMix)
{
    PolyGrammarParser d;
    Polynomial a = s() + constant(1);
    a += z();
    EXPECT_EQ("1. | 1. @s", polyText(d, a));
    EXPECT_EQ(18032u, d.getMessageId());
}

TEST(PolynomialTest, NormalizeAndRealConstant)
{
    PolyGrammarParser d;
    Polynomial p(CaNode(0.0), 4, POLY_S);
    p.coefficients[1]->value.re = 2.0;
    p.normalize();
    EXPECT_EQ("0. | 2. @s", polyText(d, p));
    EXPECT_TRUE(p.isRealConstant());
    EXPECT_FALSE(name("K").isRealConstant());
    EXPECT_FALSE(Polynomial(CaNode(0.0, 1.0), 0, POLY_CONSTANT).isRealConstant());
}

struct RationalCase {
    const char* text;
    const char* numerator;
    const char* denominator;
    unsigned int messageId;
};

// Rational arithmetic through the grammar. The expected forms follow the
// arithmetic rules: (n*rd + d*rn)/(d*rd) and so on, no cancelling except
// powers of the variable, leading coefficients kept.
const RationalCase rationalCases[] = {
    {"s*s/s", "0. | 1. @s", "1. @s", 0},
    {"s/s", "1. @s", "1. @s", 0},
    {"0/(s+1)", "0. @-", "1. @-", 0},
    {"(s+1)/(z+1)", "1. | 1. @s", "1. | 1. @z", 18032},
    {"s^2", "0. | 0. | 1. @s", "1. @-", 0},
    {"s^-2", "1. @-", "0. | 0. | 1. @s", 0},
    {"s^0", "1. @-", "1. @-", 0},
    {"s^51", "1. @-", "1. @-", 18034},
    {"s^1.5", "1. @-", "1. @-", 18034},
    {"s^(1/0)", "1. @-", "1. @-", 18034},
    {"s^K", "1. @-", "1. @-", 18033},
    {"s^s", "1. @-", "1. @-", 18033},
    {"Zgh0(1/s)", "1. | 1.11 @s", "0. | 1. @s", 0},
    {"Zghp(1)", "3.22 @-", "1. @-", 0},
    {"IZgh0(1)", "4.33 @-", "1. @-", 0},
    {"IZghp(1)", "5.44 @-", "1. @-", 0},
    {"Foo(s)", "1. @-", "1. @-", 18035},
    {"zgh0(s)", "1. @-", "1. @-", 18035},
    {"2*j*j", "-2. @-", "1. @-", 0},
    {"1/(1+T*s)", "1. @-", "1. | T @s", 0},
    {"(s+2)/(s+1)-1", "1. @s", "1. | 1. @s", 0},
};

TEST(RationalFunctionTest, ArithmeticThroughTheGrammar)
{
    for (const RationalCase& c : rationalCases) {
        SCOPED_TRACE(c.text);
        ParseRun run = parseTransfer(c.text);
        EXPECT_EQ(0, run.rc);
        EXPECT_EQ(c.numerator, run.numerator);
        EXPECT_EQ(c.denominator, run.denominator);
        EXPECT_EQ(c.messageId, run.messageId);
        EXPECT_EQ(0, run.leftRegistered);
    }
}

TEST(RationalFunctionTest, FirstMessageWins)
{
    ParseRun run = parseTransfer("s^K + Foo(s) + s^99");
    EXPECT_EQ(18033u, run.messageId);
}

// (K*s+1)^k holds about 4*2^k nodes: the budget ends the growth, every
// further operation gives the constant 1, and nothing beyond the budget is
// built.
TEST(RationalFunctionTest, NodeBudgetStopsExponentialGrowth)
{
    ParseRun big = parseTransfer("(K*s+1)^30");
    EXPECT_EQ(0, big.rc);
    EXPECT_EQ(18039u, big.messageId);
    EXPECT_EQ("1. @-", big.numerator);
    EXPECT_EQ("1. @-", big.denominator);
    // A copy that would not fit is not made at all.
    EXPECT_LE(big.nodesMade, kTransferNodeBudget);

    ParseRun further = parseTransfer("(K*s+1)^30 * (s+1) + K");
    EXPECT_EQ(18039u, further.messageId);
    EXPECT_EQ("1. @-", further.numerator);

    ParseRun ten = parseTransfer("(K*s+1)^10");
    EXPECT_EQ(0u, ten.messageId);
    EXPECT_LT(ten.nodesMade, kTransferNodeBudget / 10);
}

} // namespace
