#include "CaNode.h"
#include "PolyGrammarParser.h"
#include "TransferTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

CaNode* num(double re, double im = 0.0)
{
    return new CaNode(re, im);
}

CaNode* nm(const char* name)
{
    return new CaNode(name);
}

CaNode* op(int kind, CaNode* l, CaNode* r)
{
    return new CaNode(kind, l, r);
}

CaNode* neg(CaNode* l)
{
    return new CaNode(CA_NEGATION, l, nullptr);
}

TEST(ComplexTest, DivisionTakesTheBranchOfTheLargerDivisorPart)
{
    struct Case {
        CaComplex a, b, expected;
    };
    // Reference: (a/b) = a * conj(b) / |b|^2, worked out by hand.
    const Case cases[] = {
        {{1, 2}, {3, 4}, {0.44, 0.08}},  // |c| < |d|
        {{1, 2}, {4, 3}, {0.4, 0.2}},    // |c| >= |d|
        {{5, 0}, {0, -2}, {0, 2.5}},     // c = 0
        {{1, 1}, {0, 0}, {1e20, 1e20}},  // zero divisor
    };
    for (const Case& c : cases) {
        CaComplex q = complexDiv(c.a, c.b);
        EXPECT_NEAR(c.expected.re, q.re, 1e-12);
        EXPECT_NEAR(c.expected.im, q.im, 1e-12);
    }
}

TEST(ComplexTest, ModulusAndProduct)
{
    EXPECT_DOUBLE_EQ(5.0, complexAbs({3, 4}));
    EXPECT_DOUBLE_EQ(5.0, complexAbs({-4, 3}));
    EXPECT_DOUBLE_EQ(3.0, complexAbs({-3, -0.0}));
    EXPECT_DOUBLE_EQ(2.0, complexAbs({0.0, -2}));
    // Scaled: no overflow for large parts.
    EXPECT_DOUBLE_EQ(5e300, complexAbs({3e300, 4e300}));
    CaComplex jj = complexMul({0, 1}, {0, 1});
    EXPECT_EQ(-1.0, jj.re);
    EXPECT_EQ(0.0, jj.im);
}

struct PrintCase {
    const char* what;
    std::function<CaNode*()> build;
    const char* printed;
    unsigned int messageId;  // first message of the run, 0 for none
};

// Trees folded with simplify and printed; the expected texts follow the
// printing rules (least parentheses, "- " for differences, "%#.14g"-style
// numbers with three-digit positive exponents).
const PrintCase printCases[] = {
    {"0 + K", [] { return op(CA_SUM, num(0), nm("K")); }, "K", 0},
    {"K * 1", [] { return op(CA_PRODUCT, nm("K"), num(1)); }, "K", 0},
    {"1 * K", [] { return op(CA_PRODUCT, num(1), nm("K")); }, "K", 0},
    {"0 * K", [] { return op(CA_PRODUCT, num(0), nm("K")); }, "0.", 0},
    {"K * 0", [] { return op(CA_PRODUCT, nm("K"), num(0)); }, "0.", 0},
    {"0 / K", [] { return op(CA_QUOTIENT, num(0), nm("K")); }, "0.", 0},
    {"K / 1", [] { return op(CA_QUOTIENT, nm("K"), num(1)); }, "K", 0},
    {"K - 0", [] { return op(CA_DIFFERENCE, nm("K"), num(0)); }, "K", 0},
    {"0 - K", [] { return op(CA_DIFFERENCE, num(0), nm("K")); }, " -K", 0},
    {"0 - (a*b)", [] { return op(CA_DIFFERENCE, num(0), op(CA_PRODUCT, nm("a"), nm("b"))); }, " -(a*b)", 0},
    {"0 - 3 folds", [] { return op(CA_DIFFERENCE, num(0), num(3)); }, "-3.", 0},
    {"-(3)", [] { return neg(num(3)); }, "-3.", 0},
    {"2 * 3", [] { return op(CA_PRODUCT, num(2), num(3)); }, "6.", 0},
    {"1e-5", [] { return num(1e-5); }, "1.e-5", 0},
    {"-0.5", [] { return num(-0.5); }, "-0.5", 0},
    {"2.50", [] { return num(2.50); }, "2.5", 0},
    {"1e30", [] { return num(1e30); }, "1.e+030", 0},
    {"a - (b + c)", [] { return op(CA_DIFFERENCE, nm("a"), op(CA_SUM, nm("b"), nm("c"))); }, "a- (b+c)", 0},
    {"a - (b - c)", [] { return op(CA_DIFFERENCE, nm("a"), op(CA_DIFFERENCE, nm("b"), nm("c"))); }, "a- (b- c)", 0},
    {"a + (b - c)", [] { return op(CA_SUM, nm("a"), op(CA_DIFFERENCE, nm("b"), nm("c"))); }, "a+b- c", 0},
    {"a / (b * c)", [] { return op(CA_QUOTIENT, nm("a"), op(CA_PRODUCT, nm("b"), nm("c"))); }, "a/(b*c)", 0},
    {"(a / b) * c", [] { return op(CA_PRODUCT, op(CA_QUOTIENT, nm("a"), nm("b")), nm("c")); }, "a/b*c", 0},
    {"a / (b / c)", [] { return op(CA_QUOTIENT, nm("a"), op(CA_QUOTIENT, nm("b"), nm("c"))); }, "a/(b/c)", 0},
    {"(a + b) * c", [] { return op(CA_PRODUCT, op(CA_SUM, nm("a"), nm("b")), nm("c")); }, "(a+b)*c", 0},
    {"-(a * b)", [] { return neg(op(CA_PRODUCT, nm("a"), nm("b"))); }, " -(a*b)", 0},
    {"a - (-b)", [] { return op(CA_DIFFERENCE, nm("a"), neg(nm("b"))); }, "a-  -b", 0},
    {"j * j", [] { return op(CA_PRODUCT, num(0, 1), num(0, 1)); }, "-1.", 0},
    {"j alone", [] { return num(0, 1); }, "", 18030},
    // The division is the first message; printing the result adds 18030.
    {"K / 0", [] { return op(CA_QUOTIENT, nm("K"), num(0)); }, "", 20210},
    {"2 / 0", [] { return op(CA_QUOTIENT, num(2), num(0)); }, "", 20210},
    {"unknown kind", [] { return op(9, nm("a"), nm("b")); }, "", 20201},
    // An overflow names itself, also where the NaN imaginary part of the
    // result would look like a complex number.
    {"1e200 * 1e200", [] { return op(CA_PRODUCT, num(1e200), num(1e200)); }, "", 18040},
    {"1e200 * 1e200 * 2", [] { return op(CA_PRODUCT, op(CA_PRODUCT, num(1e200), num(1e200)), num(2)); }, "", 18040},
    {"1 / 1e-310", [] { return op(CA_QUOTIENT, num(1), num(1e-310)); }, "", 18040},
    {"1e308 + 1e308", [] { return op(CA_SUM, num(1e308), num(1e308)); }, "", 18040},
    {"-(1e308 - -1e308)", [] { return neg(op(CA_DIFFERENCE, num(1e308), num(-1e308))); }, "", 18040},
    {"an infinite number", [] { return num(HUGE_VAL); }, "", 18040},
    {"a NaN", [] { return num(std::nan("")); }, "", 18040},
    {"1e300 * 1e-300 stays", [] { return op(CA_PRODUCT, num(1e300), num(1e-300)); }, "1.", 0},
};

TEST(CaNodeTest, SimplifyAndPrint)
{
    for (const PrintCase& c : printCases) {
        SCOPED_TRACE(c.what);
        PolyGrammarParser d;
        CaNode* node = c.build();
        node->simplify();
        EXPECT_EQ(c.printed, printNode(d, *node));
        EXPECT_EQ(c.messageId, d.getMessageId());
        EXPECT_EQ(c.messageId != 0, d.hasMessage());
        delete node;
    }
}

TEST(CaNodeTest, DivisionByZeroFoldsToTheMarkerValue)
{
    PolyGrammarParser d;
    CaNode* node = op(CA_QUOTIENT, nm("K"), num(0, -0.0));
    node->simplify();
    EXPECT_EQ(CA_NUMBER, node->kind);
    EXPECT_EQ(1e30, node->value.re);
    EXPECT_EQ(1e30, node->value.im);
    EXPECT_EQ(20210u, d.getMessageId());
    delete node;
}

TEST(CaNodeTest, OneAndZeroTests)
{
    CaNode one(1.0, -0.0);
    CaNode nearOne(1.0 + 1e-15);
    CaNode complexOne(1.0, 1e-300);
    CaNode zero(-0.0, 0.0);
    CaNode name("K");
    EXPECT_TRUE(one.isOne());
    EXPECT_FALSE(nearOne.isOne());
    EXPECT_FALSE(complexOne.isOne());
    EXPECT_TRUE(zero.isZero());
    EXPECT_FALSE(complexOne.isZero());
    EXPECT_FALSE(name.isZero());
    EXPECT_FALSE(name.isOne());
}

TEST(CaNodeTest, CopyIsDeep)
{
    PolyGrammarParser d;
    CaNode* a = op(CA_SUM, nm("a"), op(CA_PRODUCT, nm("b"), num(2)));
    CaNode* b = new CaNode(*a);
    delete a;
    EXPECT_EQ("a+b*2.", printNode(d, *b));
    EXPECT_EQ(3, b->getHeight());
    delete b;
}

// The walks over a tree recurse; a tree beyond the height limit marks the
// run as too large, and one at the limit is copied, folded, printed and
// freed without trouble.
TEST(CaNodeTest, TreeHeightIsBounded)
{
    PolyGrammarParser d;
    CaNode* chain = nm("a");
    for (int i = 1; i < kMaxTransferTreeHeight; ++i)
        chain = op(CA_SUM, chain, nm("a"));
    EXPECT_EQ(kMaxTransferTreeHeight, chain->getHeight());
    EXPECT_FALSE(d.isTooLarge());
    CaNode* copy = copyTree(chain);
    copy->simplify();
    std::string text = printNode(d, *copy);
    EXPECT_EQ(2u * kMaxTransferTreeHeight - 1, text.size());
    delete copy;

    chain = op(CA_SUM, chain, nm("a"));
    EXPECT_TRUE(d.isTooLarge());
    EXPECT_EQ(18039u, d.getMessageId());
    delete chain;
}

} // namespace
