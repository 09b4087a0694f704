// The document and the method table: defaults, the methods the dialog
// offers, the key table and the limits.
#include "IdentBlockData.h"

#include "EditorStrings.h"
#include "ResString.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class IdentBlockDataTest : public EditorStringsTest {};

TEST_F(IdentBlockDataTest, NewDocumentHoldsTheDefaults)
{
    IdentBlockData doc;
    EXPECT_EQ(0, doc.algo);
    EXPECT_EQ(1, doc.numDeg);
    EXPECT_EQ(2, doc.denDeg);
    EXPECT_EQ(1.0, doc.sample);
    EXPECT_EQ(0.0, doc.dead);
    EXPECT_EQ(0, doc.pOutput);
    EXPECT_EQ(0, doc.gOutput);
    ASSERT_EQ(2, doc.parameterCount());
    EXPECT_EQ(1.0, doc.params[0]);
    EXPECT_EQ(10000.0, doc.params[1]);

    // Defaults again keep the names.
    doc.blockName = "w3";
    doc.directory = "C:\\kyt\\local";
    doc.setMethod(2);
    doc.numDeg = 4;
    doc.setDefaults();
    EXPECT_EQ(0, doc.algo);
    EXPECT_EQ(1, doc.numDeg);
    EXPECT_EQ("C:\\kyt\\local\\w3", doc.blockPath());
}

TEST_F(IdentBlockDataTest, MethodTableNamesAndDefaults)
{
    struct Case {
        int method;
        const char* name;
        const char* keys;
        std::vector<double> defaults;
        const char* lastLabel;
    } cases[] = {
        {0, "RLS", "LAMBDA ALPHA", {1.0, 10000.0}, "Anfangswert"},
        {1, "*[RLS mit QR]*", "LAMBDA ALPHA", {1.0, 100.0}, "Anfangswert"},
        {2, "Hilfsvariable", "LAMBDA ALPHA GAMMA D", {1.0, 10000.0, 0.9, 2.0}, "Verzögerung"},
        {3, "Extended RLS", "LAMBDA ALPHA FILTERDEG", {1.0, 10000.0, 2.0}, "Zählergrad des Filters"},
        {4, "Total RLS", "LAMBDA ALPHA", {1.0, 100.0}, "Anfangswert"},
        {5, "*[Adjusted RLS]*", "LAMBDA ALPHA", {1.0, 100.0}, "Anfangswert"},
    };
    for (const Case& c : cases) {
        const IdentMethodRow& row = IdentMethodTable[c.method];
        EXPECT_STREQ(c.name, getResString(row.nameId)) << c.method;
        ASSERT_EQ(static_cast<int>(c.defaults.size()), row.parameterCount) << c.method;
        // One key per parameter: the reader and the writer go by the keys.
        EXPECT_EQ(c.defaults.size(), identParameterKeys(c.method).size()) << c.method;
        EXPECT_STREQ(c.keys, row.keys);
        IdentBlockData doc;
        doc.setMethod(c.method);
        for (int i = 0; i < row.parameterCount; ++i) {
            EXPECT_EQ(c.defaults[i], doc.params[i]) << c.method << " " << i;
            EXPECT_STRNE("", getResString(row.parameterNameIds[i]));
        }
        EXPECT_STREQ(c.lastLabel, getResString(row.labelIds[row.parameterCount - 1]));
    }
    EXPECT_STREQ("Lambda", getResString(IdentMethodTable[0].parameterNameIds[0]));
    EXPECT_STREQ("Vergessensfaktor", getResString(IdentMethodTable[0].labelIds[0]));
}

TEST_F(IdentBlockDataTest, DialogListOffersMethodsZeroTwoThreeFour)
{
    EXPECT_EQ(4, identOfferedMethodCount());
    const int methodOfItem[] = {0, 2, 3, 4};
    for (int item = 0; item < 4; ++item) {
        EXPECT_EQ(methodOfItem[item], identMethodOfItem(item));
        EXPECT_EQ(item, identItemOfMethod(methodOfItem[item]));
    }
    EXPECT_EQ(-1, identMethodOfItem(4));
    EXPECT_EQ(-1, identMethodOfItem(-1));
    for (int method : {1, 5, 6, -1})
        EXPECT_EQ(-1, identItemOfMethod(method)) << method;
}

TEST_F(IdentBlockDataTest, KeyTableFollowsTheMethod)
{
    std::vector<std::string> names;
    for (const IdentKey& key : buildIdentKeyTable(3)) {
        names.push_back(key.name);
        EXPECT_FALSE(key.found);
    }
    EXPECT_EQ((std::vector<std::string>{"NUM_DEG", "DEN_DEG", "SAMPLE", "DEAD", "POUTPUT", "GOUTPUT", "LAMBDA",
                                        "ALPHA", "FILTERDEG"}),
              names);
}

TEST_F(IdentBlockDataTest, LimitsOfEachParameter)
{
    // Lambda of every method and Gamma: the forgetting factor.
    for (int method = 0; method < kIdentWizardMethods; ++method) {
        const IdentLimits* lambda = identLimitsOf(IdentMethodTable[method].kinds[0]);
        ASSERT_NE(nullptr, lambda);
        EXPECT_EQ(0.0, lambda->hardMin);
        EXPECT_EQ(1.0, lambda->hardMax);
        EXPECT_EQ(0.9, lambda->softMin);
        EXPECT_EQ(1.0, lambda->softMax);
        const IdentLimits* alpha = identLimitsOf(IdentMethodTable[method].kinds[1]);
        ASSERT_NE(nullptr, alpha);
        const bool large = method == 0 || method == 2 || method == 3;
        EXPECT_EQ(large ? 1.0 : 0.0, alpha->hardMin) << method;
        EXPECT_EQ(large ? 1000000.0 : 10000.0, alpha->hardMax) << method;
        EXPECT_EQ(large ? 1000.0 : 1.0, alpha->softMin) << method;
        EXPECT_EQ(large ? 100000.0 : 10000.0, alpha->softMax) << method;
    }
    EXPECT_EQ(identLimitsOf(IDENT_PARAM_FORGETTING), identLimitsOf(IdentMethodTable[2].kinds[2]));
    EXPECT_EQ(nullptr, identLimitsOf(IdentMethodTable[2].kinds[3]));
    EXPECT_EQ(nullptr, identLimitsOf(IdentMethodTable[3].kinds[2]));
}

} // namespace
