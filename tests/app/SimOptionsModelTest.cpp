#include "SimOptionsModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const std::vector<std::string> kThree = {"t", "x", "y"};

SimParams circuitSettings()
{
    SimParams s = defaultSimParams();
    setResultFileName(s, "ergebnis.dat");
    s.IALG = 2;
    s.INITSTEP = 0.01;
    return s;
}

TEST(SimOptionsModel, NumberTextsAreNormalised)
{
    // A decimal comma is read as German users mean it; a text that is no
    // number stays as typed (it was 0 without a word, "0,05" too).
    const struct {
        const char* typed;
        const char* shown;
    } cases[] = {{"0,05", "0.05"}, {"-1,5e-3", "-0.0015"}, {"1e-6", "1.e-6"}, {"0.100", "0.1"},
                 {"1e20", "1.e+020"}, {"abc", "abc"},     {"2.5xyz", "2.5xyz"}, {"1,5,3", "1,5,3"},
                 {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(SimOptionsModel::normalise(c.typed), c.shown) << c.typed;

    SimOptionsModel m(circuitSettings(), kThree);
    EXPECT_EQ(m.initStep, "0.01");
    *m.field(SIMOPT_LIMIT) = "0,5";
    m.leaveField(SIMOPT_LIMIT);
    EXPECT_EQ(m.limit, "0.5");
    EXPECT_EQ(m.field(SIMOPT_METHOD), nullptr);
}

TEST(SimOptionsModel, OkRefusesTheFirstUsedFieldWithoutANumber)
{
    SimOptionsModel m(circuitSettings(), kThree);
    EXPECT_EQ(m.firstFieldWithoutNumber(), 0);
    *m.field(SIMOPT_LIMIT) = "abc";
    *m.field(SIMOPT_RELERR) = "";
    EXPECT_EQ(m.firstFieldWithoutNumber(), SIMOPT_RELERR);
    // Euler greys the error fields: they are not checked, and their
    // settings are kept.
    m.selectMethod(7);
    EXPECT_EQ(m.firstFieldWithoutNumber(), SIMOPT_LIMIT);
    *m.field(SIMOPT_LIMIT) = "1,5e-3";
    EXPECT_EQ(m.firstFieldWithoutNumber(), 0);
    SimParams stored = circuitSettings();
    stored.RELERR = 0.25;
    m.storeInto(stored);
    EXPECT_DOUBLE_EQ(stored.LIMIT, 1.5e-3);
    EXPECT_DOUBLE_EQ(stored.RELERR, 0.25);
    EXPECT_EQ(stored.IALG, 8);
}

TEST(SimOptionsModel, FixedStepMethodsDisableTheErrorFields)
{
    SimOptionsModel m(circuitSettings(), kThree);
    const struct {
        int index;
        bool enabled;
    } cases[] = {{0, false}, {7, false}, {8, true}, {5, true}};
    for (const auto& c : cases) {
        m.selectMethod(c.index);
        EXPECT_EQ(m.errorFieldsEnabled(), c.enabled) << methodText(c.index);
    }
    EXPECT_STREQ(methodText(5), "RuKu-Dorm.-Prince, var. Schritt - 5(4)");
}

TEST(SimOptionsModel, MethodAndAxisComeFromTheListsThereAre)
{
    const struct {
        int ialg, xvar;
        std::vector<std::string> listed;
        int index, xIndex;
    } cases[] = {
        {2, 7, kThree, 1, 2},  // XVAR beyond the list: the last entry
        {2, -3, kThree, 1, 0}, // a negative XVAR: the first
        {0, 0, kThree, 5, 0},  // IALG outside 1..9: Dormand-Prince 5(4)
        {12, 1, kThree, 5, 1},
        {9, 0, {}, 8, -1}, // nothing listed: no x axis
    };
    for (const auto& c : cases) {
        SimParams s = circuitSettings();
        s.IALG = c.ialg;
        s.XVAR = c.xvar;
        SimOptionsModel m(s, c.listed);
        EXPECT_EQ(m.methodIndex, c.index) << c.ialg;
        EXPECT_EQ(m.xIndex, c.xIndex) << c.xvar;
    }
    SimOptionsModel m(circuitSettings(), kThree);
    ASSERT_EQ(m.xAxisEntries.size(), 3u);
    EXPECT_EQ(m.xAxisEntries[0], "time");
    EXPECT_EQ(m.xAxisEntries[2], "y");
}

TEST(SimOptionsModel, DefaultsChangeOnlyTheFieldsAndOkKeepsTheResultFile)
{
    const SimParams circuit = circuitSettings();
    SimOptionsModel m(circuit, kThree);
    m.xIndex = 2;
    m.setDefaults();
    EXPECT_EQ(m.methodIndex, 5);
    EXPECT_EQ(m.initStep, "0.1");
    EXPECT_EQ(m.xIndex, 0);
    // Cancel: the circuit's settings are what they were (the model never
    // touched them). OK: the dialog's values, the result file kept.
    SimParams stored = circuit;
    m.storeInto(stored);
    EXPECT_STREQ(stored.FNAME, "ergebnis.dat");
    EXPECT_EQ(stored.IALG, 6);
    EXPECT_DOUBLE_EQ(stored.INITSTEP, 0.1);
    EXPECT_EQ(stored.HMODE, circuit.HMODE);
}

TEST(SimOptionsModel, StartAtOnceGivesTheNormalisedValues)
{
    SimParams s = circuitSettings();
    s.MAXSTEP = 0.123456789012345678;
    s.XVAR = 9;
    SimOptionsModel m(s, kThree);
    SimParams run = s;
    m.storeInto(run);
    EXPECT_EQ(run.XVAR, 2);
    EXPECT_DOUBLE_EQ(run.MAXSTEP, strtod(SimOptionsModel::normalise("0.123456789012345678").c_str(), nullptr));
    EXPECT_EQ(run.IALG, 2);
}

} // namespace
