#include "CompilerTestSupport.h"
#include "GermanLocale.h"

#include "AllocationRegistry.h"
#include "CodeModel.h"
#include "SymbolTables.h"
#include "SyntaxTree.h"

#include "SmallStack.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <string>

namespace {

SyntaxNode* num(double v)
{
    return makeNumberNode(v, 1);
}

SyntaxNode* var(const char* name)
{
    return makeNameNode(name, NODE_VARIABLE, 1);
}

SyntaxNode* op(SyntaxNode* l, int type, SyntaxNode* r)
{
    return makeNode(l, r, type, 1);
}

std::string printed(const SyntaxNode* tree, int indent = 0, int alias = 0)
{
    FILE* f = tmpfile();
    printTreeToStream(f, tree, indent, alias);
    return bytesWrittenTo(f);
}

class SyntaxTreeTest : public ::testing::Test {
protected:
    void TearDown() override { freeSymbolTables(); }
    RecordingScope scope;
};

TEST_F(SyntaxTreeTest, FoldConstant)
{
    const struct {
        SyntaxNode* tree;
        int result;
        double value;
    } cases[] = {
        {num(2.5), FOLD_CONSTANT, 2.5},
        {op(op(num(2), NODE_ADD, num(3)), NODE_MULTIPLY, num(4)), FOLD_CONSTANT, 20},
        {makeNode(nullptr, op(num(6), NODE_SUBTRACT, num(1)), NODE_NEGATE, 1), FOLD_CONSTANT, -5},
        {op(num(1), NODE_DIVIDE, num(0)), FOLD_NOT_CONSTANT, 0},
        {op(num(1), NODE_DIVIDE, num(-0.0)), FOLD_NOT_CONSTANT, 0},
        {op(var("x"), NODE_ADD, num(1)), FOLD_NOT_CONSTANT, 0},
        {makeNowNode(1), FOLD_NOT_CONSTANT, 0},
        {op(num(1), NODE_LESS, num(2)), FOLD_NOT_CONSTANT, 0},
        {op(num(1e200), NODE_MULTIPLY, num(1e200)), FOLD_NON_FINITE, 0},
        {op(op(num(1e200), NODE_MULTIPLY, num(1e200)), NODE_SUBTRACT, num(1)), FOLD_NON_FINITE, 0},
        {nullptr, FOLD_NOT_CONSTANT, 0},
    };
    for (const auto& c : cases) {
        double value = -1;
        EXPECT_EQ(c.result, foldConstant(c.tree, &value)) << printed(c.tree);
        if (c.result == FOLD_CONSTANT) {
            EXPECT_EQ(c.value, value) << printed(c.tree);
        } else if (c.result == FOLD_NOT_CONSTANT) {
            EXPECT_EQ(0, value) << printed(c.tree);
        }
        freeTree(c.tree);
    }
}

TEST_F(SyntaxTreeTest, CopyIsDeepAndSharesEntries)
{
    SyntaxNode* s = makeStringNode("Datei", 3);
    ASSERT_NE(nullptr, s->entry);
    EXPECT_EQ(SYMaddstring("Datei"), s->entry);
    SyntaxNode* tree = op(var("x"), NODE_ADD, s);
    SyntaxNode* copy = copyTree(tree);
    ASSERT_NE(tree->left, copy->left);
    EXPECT_NE(tree->left->value.text, copy->left->value.text);
    EXPECT_STREQ("x", copy->left->value.text);
    EXPECT_EQ(s->entry, copy->right->entry);
    EXPECT_EQ(3, copy->right->line);
    freeTree(tree);
    EXPECT_EQ("x+\"Datei\"", printed(copy));
    freeTree(copy);
    EXPECT_EQ(nullptr, copyTree(nullptr));
    freeTree(nullptr);
}

// Heights count nesting, not the statements of a sequence; copy and free
// take trees of any shape, also on the programs' 1 MiB stack.
TEST_F(SyntaxTreeTest, HeightsAndTreesOfAnyShape)
{
    SyntaxNode* sum = op(op(var("x"), NODE_ADD, num(1)), NODE_MULTIPLY, num(2));
    EXPECT_EQ(3, sum->height);
    SyntaxNode* statement = op(var("y"), NODE_ASSIGN, sum);
    SyntaxNode* sequence = op(op(statement, NODE_SEQUENCE, op(var("z"), NODE_ASSIGN, num(1))), NODE_SEQUENCE,
                              makeNode(nullptr, nullptr, NODE_QUIT, 1));
    EXPECT_EQ(4, sequence->height);
    SyntaxNode* ifNode = op(op(var("x"), NODE_GREATER, num(0)), NODE_IF, sequence);
    EXPECT_EQ(5, ifNode->height);
    ifNode->right = nullptr;
    updateHeight(ifNode);
    EXPECT_EQ(3, ifNode->height);
    ifNode->right = sequence;
    std::vector<const SyntaxNode*> statements;
    sequenceStatements(ifNode->right, statements);
    ASSERT_EQ(3u, statements.size());
    EXPECT_EQ(statement, statements[0]);
    EXPECT_EQ(NODE_QUIT, statements[2]->type);
    freeTree(ifNode);

    // Long sequences and chains: far more than a recursive walk could take.
    const int n = 200000;
    SyntaxNode* chain = num(0);
    SyntaxNode* list = nullptr;
    for (int i = 0; i < n; ++i) {
        chain = op(chain, NODE_ADD, num(i));
        SyntaxNode* s = makeNode(nullptr, nullptr, NODE_STORE, i);
        list = list ? op(list, NODE_SEQUENCE, s) : s;
    }
    EXPECT_EQ(n + 1, chain->height);
    EXPECT_EQ(1, list->height);
    SyntaxNode* chainCopy = nullptr;
    std::vector<SyntaxNode**> slots;
    ASSERT_TRUE(runOnSmallStack([&] {
        chainCopy = copyTree(chain);
        sequenceSlots(&list, slots);
    }));
    ASSERT_EQ(size_t(n), slots.size());
    EXPECT_EQ(n - 1, (*slots.back())->line);
    const SyntaxNode* a = chain;
    const SyntaxNode* b = chainCopy;
    for (; a->left && b->left; a = a->left, b = b->left)
        ASSERT_TRUE(a != b && a->height == b->height && b->right->value.number == a->right->value.number);
    EXPECT_EQ(nullptr, b->left);
    EXPECT_EQ(NODE_NUMBER, b->type);
    ASSERT_TRUE(runOnSmallStack([&] {
        freeTree(chain);
        freeTree(chainCopy);
        freeTree(list);
    }));
}

TEST_F(SyntaxTreeTest, PrinterParenthesizesByPrecedence)
{
    const struct {
        SyntaxNode* tree;
        const char* text;
    } cases[] = {
        {op(op(var("a"), NODE_SUBTRACT, var("b")), NODE_SUBTRACT, var("c")), "a-b-c"},
        {op(var("a"), NODE_SUBTRACT, op(var("b"), NODE_SUBTRACT, var("c"))), "a-(b-c)"},
        {op(var("a"), NODE_ADD, op(var("b"), NODE_ADD, var("c"))), "a+b+c"},
        {op(var("a"), NODE_DIVIDE, op(var("b"), NODE_MULTIPLY, var("c"))), "a/(b*c)"},
        {op(op(var("a"), NODE_ADD, var("b")), NODE_MULTIPLY, var("c")), "(a+b)*c"},
        {op(makeNode(nullptr, var("a"), NODE_NEGATE, 1), NODE_MULTIPLY, var("b")), "-a*b"},
        {makeNode(nullptr, op(var("a"), NODE_ADD, var("b")), NODE_NEGATE, 1), "-(a+b)"},
        {makeNode(nullptr, op(var("a"), NODE_EQUAL, num(1)), NODE_NOT, 1), "!(a == 1.)"},
        {op(op(var("a"), NODE_LESS, var("b")), NODE_OR, op(var("c"), NODE_GREATER_EQUAL, var("d"))),
         "a < b || c >= d"},
        {op(op(op(var("a"), NODE_LESS, var("b")), NODE_OR, op(var("c"), NODE_GREATER, var("d"))), NODE_AND,
            op(var("e"), NODE_NOT_EQUAL, var("f"))),
         "(a < b || c > d) && e != f"},
        {op(num(constantPi()), NODE_MULTIPLY, num(constantE())), "PI*cE"},
        {op(num(1e-5), NODE_ADD, num(1e30)), "1.e-5+1.e+030"},
        {op(num(0), NODE_ADD, num(12.5)), "0.+12.5"},
        {makeNowNode(1), "NOW"},
        {nullptr, ">> (0) << "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, printed(c.tree));
        freeTree(c.tree);
    }
}

TEST_F(SyntaxTreeTest, PrinterNumbersIgnoreTheLocale)
{
    const char* old = setlocale(LC_ALL, nullptr);
    std::string saved = old ? old : "C";
    if (!setGermanLocale(LC_ALL))
        GTEST_SKIP() << "no German locale installed";
    SyntaxNode* tree = op(op(num(0), NODE_ADD, num(12.5)), NODE_ADD, op(num(1e-5), NODE_ADD, num(1e30)));
    std::string text = printed(tree);
    setlocale(LC_ALL, saved.c_str());
    freeTree(tree);
    EXPECT_EQ("0.+12.5+1.e-5+1.e+030", text);
}

TEST_F(SyntaxTreeTest, PrinterStatements)
{
    SyntaxNode* call = makeNode(makeNameNode("SHOW", NODE_CALLED_NAME, 4),
                                makeNode(makeStringNode("a", 4), num(2), NODE_CHAIN, 4), NODE_PROCEDURE_CALL, 4);
    SyntaxNode* trailer = makeNode(makeNameNode("p", NODE_PROCEDURE_NAME, 5), var("y"), NODE_TRAILER, 5);
    SyntaxNode* assign = makeNode(var("x"), makeNode(num(1), trailer, NODE_PAIR, 5), NODE_ASSIGN, 5);
    SyntaxNode* priority = makeNode(makeNameNode("p", NODE_PROCEDURE_NAME, 6), nullptr, NODE_PRIORITY, 6);
    SyntaxNode* schedule = makeNode(priority, num(1e30), NODE_SCHEDULE, 6);
    SyntaxNode* body = makeNode(makeNode(nullptr, nullptr, NODE_STORE_ALL, 8), makeNode(nullptr, nullptr, NODE_QUIT, 9),
                                NODE_SEQUENCE, 9);
    SyntaxNode* ifNode = makeNode(op(var("a"), NODE_LESS_EQUAL, num(0)), body, NODE_IF, 7);
    SyntaxNode* delay = makeNode(var("d"), num(0.5), NODE_DELAY_TIME, 10);
    SyntaxNode* all = makeNode(makeNode(makeNode(makeNode(call, assign, NODE_SEQUENCE, 5), schedule, NODE_SEQUENCE, 6),
                                        ifNode, NODE_SEQUENCE, 7),
                               delay, NODE_SEQUENCE, 10);
    EXPECT_EQ("   4:    SHOW(\"a\", 2.);\n"
              "   5:    x = 1. <- p(y);\n"
              "   6:    SCHEDULE p AT 1.e+030;\n"
              "   7:    IF a <= 0. THEN\n"
              "   8:       STORE ALL;\n"
              "   9:       QUIT;\n"
              "   7:    ENDIF\n"
              "  10:    d = 0.5;\n",
              printed(all, 3));
    freeTree(all);
}

TEST_F(SyntaxTreeTest, PrinterUsesBoundVariablesAndAliases)
{
    CodeVariable output = {};
    output.name = const_cast<char*>("B_2_y");
    CodeVariable input = {};
    input.name = const_cast<char*>("B_1_u");
    input.alias = &output;
    CodeProcedure procedure = {};
    procedure.name = const_cast<char*>("B_1_p");
    SyntaxNode* u = var("u");
    u->entry = &input;
    SyntaxNode* p = makeNameNode("p", NODE_PROCEDURE_NAME, 1);
    p->entry = &procedure;
    SyntaxNode* tree = makeNode(op(u, NODE_GREATER, num(1)), p, NODE_ONRISE, 12);
    EXPECT_EQ("  12: ONRISE B_1_u > 1. DO B_1_p;\n", printed(tree, 0, 0));
    EXPECT_EQ("  12: ONRISE B_2_y > 1. DO B_1_p;\n", printed(tree, 0, 1));
    freeTree(tree);
}

TEST_F(SyntaxTreeTest, PrinterEndsOnNodesItCannotPrint)
{
    SyntaxNode* sw = makeNode(var("v"), nullptr, NODE_SWITCH, 1);
    EXPECT_EXIT((showBoxesOnStderr(), printed(sw)), ::testing::ExitedWithCode(1), "Unbekannter Typ node");
    freeTree(sw);
}

TEST_F(SyntaxTreeTest, RegistryFreesWhatIsStillRegistered)
{
    freeRegisteredPointers();   // empty: nothing happens
    EXPECT_EQ(0, registeredPointerCount());
    SyntaxNode* a = var("a");
    SyntaxNode* b = var("b");
    char* text = static_cast<char*>(malloc(4));
    registerPointer(a, POINTER_TREE);
    registerPointer(b, POINTER_TREE);
    registerPointer(text, POINTER_TEXT);
    registerPointer(nullptr, POINTER_TREE);
    EXPECT_EQ(3, registeredPointerCount());
    unregisterPointer(b);
    unregisterPointer(nullptr);
    EXPECT_EQ(2, registeredPointerCount());
    freeTree(b);
    freeRegisteredPointers();   // frees a and text; the sanitizer build sees any leak
    EXPECT_EQ(0, registeredPointerCount());
}

TEST_F(SyntaxTreeTest, RegistryRefusesPointersTwiceAndStrangers)
{
    SyntaxNode* a = var("a");
    registerPointer(a, POINTER_TREE);
    EXPECT_EXIT((showBoxesOnStderr(), registerPointer(a, POINTER_TREE)), ::testing::ExitedWithCode(1),
                "Zeiger bereits bekannt");
    int stranger = 0;
    EXPECT_EXIT((showBoxesOnStderr(), unregisterPointer(&stranger)), ::testing::ExitedWithCode(1),
                "Unbekannter Zeiger!");
    freeRegisteredPointers();
    EXPECT_EXIT(
        {
            showBoxesOnStderr();
            registerPointer(malloc(1), 7);
            freeRegisteredPointers();
        },
        ::testing::ExitedWithCode(1), "Unbekannter Zeigertyp");
}

} // namespace
