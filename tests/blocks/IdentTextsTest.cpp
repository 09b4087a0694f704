// The texts of an identification result: display, clipboard and hand-over.
#include "IdentTexts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// G(z) = (z + 0.5) / (z^2 - 1.5 z + 0.7): theta = (a1, a2, b1, b0).
const double kTheta[] = {-1.5, 0.7, 1, 0.5};

TEST(IdentTextsTest, TransferFunctionOfTheEstimate)
{
    const std::string transfer = identDiscreteTransfer(kTheta, 2, 2);
    EXPECT_EQ("(1.*z+0.5)/(1.*z^2-1.5*z+0.7)", transfer);
    EXPECT_EQ("CREATE Ident (1.*z+0.5)/(1.*z^2-1.5*z+0.7) 0. 0.1", identHandOverCommand(transfer, 0, 0.1));

    struct Case {
        std::vector<double> p;
        char letter;
        const char* text;
    } cases[] = {
        {{0, 0}, 'z', ""},
        {{-2, 0, 3}, 's', "-2.*s^2+3."},
        {{0, -1, 0.25}, 'z', "-1.*z+0.25"},
        {{1e-20}, 'z', "1.e-20"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, identPolynomialText(c.p.data(), static_cast<int>(c.p.size()), c.letter));
    const double zeroNumerator[] = {-1.5, 0.7, 0, 0};
    EXPECT_EQ("()/(1.*z^2-1.5*z+0.7)", identDiscreteTransfer(zeroNumerator, 2, 2));
}

TEST(IdentTextsTest, DiscreteDisplay)
{
    const std::string text = identDiscreteDisplay(kTheta, 2, 2, 0, false);
    EXPECT_EQ("        + 1.0000z^1 + 0.5000z^0\r\n"
              "G(z) = " + std::string(34, '-') + "\r\n"
              "             z^2 - 1.5000z^1 + 0.7000z^0\r\n\r\n\r\n\r\n\r\n",
              text);
    const std::string delayed = identDiscreteDisplay(kTheta, 2, 2, 2, true);
    EXPECT_NE(std::string::npos, delayed.find("-*z^(-2)\r\n"));
    EXPECT_NE(std::string::npos, delayed.find(std::string(19, ' ') + "z^2 - 1.5z^1 + 0.7z^0\r\n"));
}

TEST(IdentTextsTest, ContinuousDisplayReadsOnlyTheReturnedOrder)
{
    // A first-order result (count 3) where second order was asked for: the
    // vector holds exactly what the conversion returned.
    std::vector<double> c = {2, 0.5, 1};
    const std::string text = identContinuousDisplay(c.data(), static_cast<int>(c.size()), 0, false);
    EXPECT_EQ("        + 0.5000s^1 + 1.0000s^0\r\n"
              "G(s) = " + std::string(25, '-') + "\r\n"
              "             s^1 + 2.0000s^0\r\n\r\n\r\n\r\n\r\n",
              text);
    EXPECT_EQ("(0.5*s+1.)/(1.*s+2.)", identContinuousTransfer(c.data(), 3));
    const std::string delayed = identContinuousDisplay(c.data(), 3, 0.3, false);
    EXPECT_NE(std::string::npos, delayed.find("-*exp(-s*0.3000)\r\n"));
}

} // namespace
