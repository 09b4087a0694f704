#include "CompilerTestSupport.h"

#include "CompilerOptions.h"
#include "SymbolTables.h"
#include "SyntaxTree.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class SymbolTablesTest : public ::testing::Test {
protected:
    void TearDown() override { freeSymbolTables(); }

    // A closed block type with one symbol of each given kind.
    void defineBlock(const char* prefix, const char* name, const char* override = nullptr)
    {
        setTypeNameOverride(override);
        ASSERT_EQ(0, openBlock(prefix, name));
        addSymbol("u", SYMBOL_INPUT, "", 0, nullptr);
        addSymbol("x", SYMBOL_STATE, "", 0, nullptr);
        addSymbol("K", SYMBOL_PARAMETER, "", 0, nullptr);
        ASSERT_EQ(0, closeBlock(name));
    }

    RecordingScope scope;
};

TEST_F(SymbolTablesTest, StringConstantsShareEntriesAndThisTakesNoIndex)
{
    StringConstant* a = SYMaddstring("a");
    StringConstant* self = SYMaddstring(kThisPlaceholder);
    StringConstant* b = SYMaddstring("b");
    EXPECT_EQ(0, a->index);
    EXPECT_EQ(1, self->index);
    EXPECT_EQ(1, b->index);
    EXPECT_EQ(a, SYMaddstring("a"));
    EXPECT_EQ(2, SYMaddstring("c")->index);
    EXPECT_STREQ("\"$THIS$\"", kThisPlaceholder);
}

TEST_F(SymbolTablesTest, NullStringIsFatal)
{
    EXPECT_EXIT((showBoxesOnStderr(), SYMaddstring(nullptr)), ::testing::ExitedWithCode(1), "SYMaddstring ist NULL");
}

TEST_F(SymbolTablesTest, BlockCollectsItsPendingValues)
{
    ASSERT_EQ(0, openBlock("Standard", "PT1"));
    EXPECT_EQ(1, openBlock("Standard", "PT2"));
    EXPECT_STREQ("PT1", currentBlockName());
    EXPECT_STREQ("Standard", currentBlockPrefix());
    Symbol* u = addSymbol("u", SYMBOL_INPUT, "Eingang", 0, nullptr);
    ASSERT_NE(nullptr, u);
    EXPECT_STREQ("Eingang", u->comment);
    EXPECT_EQ(nullptr, addSymbol("u", SYMBOL_OUTPUT, "", 0, nullptr));
    EXPECT_EQ(u, findSymbol("u"));
    EXPECT_EQ(nullptr, findSymbol("U"));
    setContinuousCode(makeNumberNode(1, 3));
    EXPECT_EQ(0, addProcedure(makeNameNode("p", NODE_PROCEDURE_NAME, 4), nullptr));
    SyntaxNode* again = makeNameNode("p", NODE_PROCEDURE_NAME, 5);
    EXPECT_EQ(1, addProcedure(again, nullptr));
    freeTree(again);

    // A closing name that differs leaves the block open with its values.
    EXPECT_EQ(1, closeBlock("PT2"));
    EXPECT_STREQ("PT1", currentBlockName());
    EXPECT_EQ(u, findSymbol("u"));
    EXPECT_EQ(2, closeBlock(nullptr));

    ASSERT_EQ(0, closeBlock("PT1"));
    EXPECT_STREQ("", currentBlockName());
    EXPECT_EQ(nullptr, pendingSymbols());
    BlockType* b = blockTypeList();
    ASSERT_NE(nullptr, b);
    EXPECT_STREQ("StandardPT1", b->key);
    EXPECT_EQ(u, b->symbols);
    ASSERT_NE(nullptr, b->continuousCode);
    ASSERT_NE(nullptr, b->procedures);
    EXPECT_EQ(nullptr, b->procedures->next);
    EXPECT_EQ(1, closeBlock("PT1"));   // none open
}

TEST_F(SymbolTablesTest, SecondSectionOfABlockIsFatal)
{
    ASSERT_EQ(0, openBlock("", "B"));
    setContinuousCode(nullptr);
    EXPECT_EXIT((showBoxesOnStderr(), setContinuousCode(nullptr)), ::testing::ExitedWithCode(1), "Simulationabschnitt");
    setInitialCode(nullptr);
    EXPECT_EXIT((showBoxesOnStderr(), setInitialCode(nullptr)), ::testing::ExitedWithCode(1), "Initialisierungsabschnitt");
}

TEST_F(SymbolTablesTest, KeyIsThePairOfPrefixAndTypeName)
{
    defineBlock("A", "bc");
    // Run together the keys would be equal; as pairs they differ.
    setTypeNameOverride(nullptr);
    ASSERT_EQ(0, openBlock("Ab", "c"));
    EXPECT_EQ(0, closeBlock("c"));
    // The same pair again is a duplicate, and its values are dropped.
    ASSERT_EQ(0, openBlock("A", "bc"));
    addSymbol("lost", SYMBOL_VAR, "", 0, makeNumberNode(1, 1));
    EXPECT_EQ(2, closeBlock("bc"));
    EXPECT_STREQ("", currentBlockName());
    EXPECT_EQ(nullptr, pendingSymbols());
    // The override stands for the block name.
    defineBlock("Lib", "PT1", "pt1");
    EXPECT_STREQ("pt1", blockTypeList()->next->next->typeName);

    setTypeNameOverride(nullptr);
    EXPECT_EQ(0, addInstance("A", "bc", "B_1", ""));
    EXPECT_EQ(0, addInstance("Ab", "c", "B_2", ""));
    EXPECT_EQ(2, addInstance("", "Abc", "B_3", ""));
    EXPECT_EQ(2, addInstance("Lib", "PT1", "B_4", ""));
    EXPECT_EQ(0, addInstance("Lib", "pt1", "B_4", ""));
    setTypeNameOverride("pt1");
    EXPECT_EQ(0, addInstance("Lib", "anything", "B_5", ""));
    Instance* i = instanceList();
    EXPECT_STREQ("bc", i->blockType->typeName);
    EXPECT_STREQ("c", i->next->blockType->typeName);
}

TEST_F(SymbolTablesTest, InstancesTakeOrDropTheirPendingValues)
{
    defineBlock("", "PT1");
    addSymbol("K", SYMBOL_PARAMETER_VALUE, "", 0, makeNumberNode(2, 7));
    ASSERT_EQ(0, addInstance("", "PT1", "B_1", "Regler"));
    Instance* b1 = instanceList();
    ASSERT_NE(nullptr, b1->parameterValues);
    EXPECT_STREQ("Regler", b1->thisName);
    EXPECT_EQ(nullptr, pendingSymbols());

    const struct {
        const char* type;
        const char* name;
        int result;
    } refused[] = {
        {"PT1", "dX", 3},
        {"nothing", "dX", 3},   // the "d" test comes first
        {"PT1", "B_1", 1},
        {"PT2", "B_2", 2},
    };
    for (const auto& c : refused) {
        addSymbol("K", SYMBOL_PARAMETER_VALUE, "", 0, makeNumberNode(3, 8));
        EXPECT_EQ(c.result, addInstance("", c.type, c.name, "")) << c.name;
        // A refused USE must not hand its values to the next one.
        EXPECT_EQ(nullptr, pendingSymbols()) << c.name;
    }
    EXPECT_EQ(nullptr, b1->next);
}

TEST_F(SymbolTablesTest, SignalsResolveThroughInstanceAndSymbol)
{
    defineBlock("", "PT1");
    ASSERT_EQ(0, addInstance("", "PT1", "PT1", ""));
    const struct {
        const char* instance;
        const char* symbol;
        int result;
        int derivative;
    } cases[] = {
        {"PT1", "u", 0, 0},
        {"PT1", "x", 0, 0},
        {"dPT1", "x", 0, 1},
        {"dPT1", "K", 2, 0},   // a parameter has no derivative
        {"dPT1", "u", 2, 0},
        {"PT1", "y", 2, 0},
        {"PT2", "u", 1, 0},
        {"d", "x", 1, 0},
    };
    for (const auto& c : cases) {
        SignalReference* ref = nullptr;
        EXPECT_EQ(c.result, resolveSignal(c.instance, c.symbol, &ref)) << c.instance << "." << c.symbol;
        if (c.result == 0) {
            ASSERT_NE(nullptr, ref);
            EXPECT_EQ(c.derivative, ref->derivative);
            EXPECT_STREQ(c.symbol, ref->symbol->name);
            free(ref);
        } else {
            EXPECT_EQ(nullptr, ref);
        }
    }
}

TEST_F(SymbolTablesTest, SavesAndConnectionsKeepTheirOrder)
{
    defineBlock("", "PT1");
    ASSERT_EQ(0, addInstance("", "PT1", "A", ""));
    SignalReference *x1, *x2, *u, *x;
    resolveSignal("A", "x", &x1);
    resolveSignal("A", "x", &x2);
    EXPECT_EQ(0, addSave(x1));
    EXPECT_EQ(0, addSave(x2));
    EXPECT_EQ(1, addSave(nullptr));
    ASSERT_NE(nullptr, savedSignalList()->next);
    EXPECT_EQ(x2, savedSignalList()->next->signal);

    resolveSignal("A", "u", &u);
    resolveSignal("A", "x", &x);
    EXPECT_EQ(0, addConnection(u, x));
    EXPECT_EQ(x, connectionList()->source);
    EXPECT_EQ(u, connectionList()->target);
}

TEST_F(SymbolTablesTest, CircuitNameOnce)
{
    EXPECT_EQ(nullptr, circuitName());
    setCircuitName("VavEda");
    EXPECT_STREQ("VavEda", circuitName());
    EXPECT_EXIT((showBoxesOnStderr(), setCircuitName("Zwei")), ::testing::ExitedWithCode(1), "Schaltung bereits definiert");
}

TEST_F(SymbolTablesTest, FreeEmptiesEverything)
{
    defineBlock("", "PT1");
    SYMaddstring("s");
    setCircuitName("C");
    ASSERT_EQ(0, openBlock("", "open"));
    addSymbol("v", SYMBOL_VAR, "", 0, makeNumberNode(1, 1));
    freeSymbolTables();
    EXPECT_EQ(nullptr, blockTypeList());
    EXPECT_EQ(nullptr, stringConstantList());
    EXPECT_EQ(nullptr, circuitName());
    EXPECT_EQ(nullptr, pendingSymbols());
    EXPECT_STREQ("", currentBlockName());
    EXPECT_EQ(0, openBlock("", "again"));
}

TEST(CompilerOptionsTest, WordOfFlags)
{
    clearOptions();
    setOption(OPTION_COMPILE_PHASE | OPTION_REAL_TIME);
    EXPECT_EQ(1, testOption(OPTION_COMPILE_PHASE));
    EXPECT_EQ(1, testOption(OPTION_REAL_TIME | 2));
    clearOption(OPTION_COMPILE_PHASE);
    EXPECT_EQ(0, testOption(OPTION_COMPILE_PHASE));
    EXPECT_EQ(1, testOption(OPTION_REAL_TIME));
    clearOptions();
    EXPECT_EQ(0, testOption(0xFFFFFFFFu));
}

} // namespace
