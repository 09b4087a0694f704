// Syntax trees of the model language: every piece of code (SIM, procedures,
// INIT, initial and parameter values) is a binary tree of one node type. The
// parser builds them, the rewrites here simplify them for the back end, and
// the tree printer writes them back as model text into the symbol listing.
#ifndef KYT_COMPILER_SYNTAXTREE_H
#define KYT_COMPILER_SYNTAXTREE_H

#include <cstdint>
#include <cstdio>
#include <functional>
#include <vector>

enum NodeType {
    NODE_NUMBER = 0,
    NODE_VARIABLE = 1,         // name of a variable
    NODE_STRING_PARAMETER = 2, // name of a STRING parameter
    NODE_STRING_INDEX = 3,     // STRING parameter passed as its string index
    NODE_CALLED_NAME = 4,      // name of a called function or procedure
    NODE_PROCEDURE_NAME = 5,
    NODE_STRING = 6,           // string constant: text and string-table entry
    NODE_NOW = 7,
    NODE_STORE = 8,
    NODE_STORE_ALL = 9,
    NODE_QUIT = 10,
    NODE_BREAK = 11,
    NODE_PROCEDURE_CALL = 12,  // name, argument chain
    NODE_FUNCTION_CALL = 13,   // name, argument chain
    NODE_NEGATE = 14,          // right
    NODE_NOT = 15,             // right
    NODE_EXIT = 16,            // right: text
    NODE_PAIR = 17,            // expression with trailers, or trailer chain
    NODE_TRAILER = 18,         // procedure or schedule, signal chain
    NODE_PRIORITY = 19,        // procedure name, priority
    NODE_ADD = 20,
    NODE_SUBTRACT = 21,
    NODE_MULTIPLY = 22,
    NODE_DIVIDE = 23,
    NODE_EQUAL = 24,
    NODE_NOT_EQUAL = 25,
    NODE_LESS_EQUAL = 26,
    NODE_GREATER_EQUAL = 27,
    NODE_LESS = 28,
    NODE_GREATER = 29,
    NODE_AND = 30,
    NODE_OR = 31,
    NODE_ASSIGN = 32,          // target, value
    NODE_DERIVATIVE = 33,      // state, value
    NODE_SEQUENCE = 34,        // sequence so far, statement
    NODE_SWITCH = 35,          // variable, case chain
    NODE_CASE_CHAIN = 36,      // chain so far, case
    NODE_CASE = 37,            // number, statements
    NODE_DEFAULT = 38,         // none, statements
    NODE_ONRISE = 39,          // condition, procedure name
    NODE_IF = 40,              // condition, statements
    NODE_SCHEDULE = 41,        // procedure with priority, time
    NODE_CHAIN = 42,           // argument or signal chain: chain so far, element
    NODE_INDEXED = 43,         // name, index
    NODE_DELAY_TIME = 44       // delay name, value (made by the back end)
};

struct SyntaxNode {
    SyntaxNode* left;
    SyntaxNode* right;
    int32_t type;
    int32_t line;
    // String nodes: the string-table entry. Call nodes: the library row the
    // call check found. Names bound by the back end: its variable or procedure.
    void* entry;
    int32_t spare;
    // Nesting depth of the tree below and with this node (1 for a leaf),
    // set by makeNode. A SEQUENCE adds none: every walk goes along a
    // statement sequence in a loop, so only the nesting beneath it counts.
    int32_t height;
    union {
        double number;
        char* text;   // owned; name and string nodes
    } value;
};

// Node makers. Nodes are zero-filled heap blocks, texts are owned copies.
SyntaxNode* makeNode(SyntaxNode* left, SyntaxNode* right, int type, int line);
SyntaxNode* makeNumberNode(double value, int line);
SyntaxNode* makeNowNode(int line);
// Copies the text and enters it in the string table (SYMaddstring).
SyntaxNode* makeStringNode(const char* text, int line);
// Copies the text; the type is the name kind (1 to 5).
SyntaxNode* makeNameNode(const char* text, int kind, int line);

inline bool nodeHasText(int type) { return type >= NODE_VARIABLE && type <= NODE_STRING; }

// The deepest tree the parser builds. The walks over a tree (rewrites,
// checks, the printer, the PI-code writer) recurse over its nesting, and the
// programs run with a stack of 1 MiB; the back end's rewrites add a few
// levels of their own. A deeper expression or statement is refused with
// message 20204.
const int kMaxTreeHeight = 1000;

// Marks the helpers of a walk that hold vectors or texts: inlined into the
// walk, their locals would widen its frame at every level of an expression.
#if defined(__GNUC__)
#define KYT_WALK_HELPER __attribute__((noinline))
#else
#define KYT_WALK_HELPER
#endif

// The height a node of type over left and right gets.
int treeHeight(const SyntaxNode* left, const SyntaxNode* right, int type);
// Sets the node's height again after its children were replaced.
void updateHeight(SyntaxNode* n);

// The statements of a sequence tree in written order (a tree that is no
// sequence is its own one statement; null gives none), found in a loop: a
// sequence may be as long as the text. The slots are those that hold each
// statement, so that a rewrite can replace it.
void sequenceSlots(SyntaxNode** tree, std::vector<SyntaxNode**>& out);
void sequenceStatements(const SyntaxNode* tree, std::vector<const SyntaxNode*>& out);
// Calls visit with the slot of each statement of a sequence tree in written
// order, in a loop; stops at the first call that gives true and gives true
// then. A walk calls it from a small function of its own: the frame of the
// function that recurses into expressions stays small.
bool visitStatements(SyntaxNode** tree, const std::function<bool(SyntaxNode** slot)>& visit);
bool visitStatements(const SyntaxNode* tree, const std::function<bool(const SyntaxNode* statement)>& visit);
// Frees the sequence nodes of a tree whose statements were taken out, not
// the statements.
void freeSequenceNodes(SyntaxNode* tree);

// Frees left, right, the node's own text and the node; null is nothing.
// Neither this nor copyTree recurses: they serve trees of any shape.
void freeTree(SyntaxNode* tree);
// Deep copy, texts included; entries are shared. Null gives null.
SyntaxNode* copyTree(const SyntaxNode* tree);

// Outcome of foldConstant.
enum FoldResult {
    FOLD_NOT_CONSTANT = 0,
    FOLD_CONSTANT = 1,
    FOLD_NON_FINITE = 2   // constant, but the value is not a finite number
};
// Numbers, unary minus, + - * / of constant operands are constant. A
// division by zero (either sign) is not constant, value 0.
int foldConstant(const SyntaxNode* tree, double* value);

// The values of the words PI and cE; the tree printer shows them by name.
double constantPi();
double constantE();

// Precedence of a node when printed back (higher binds tighter).
int nodePrecedence(const SyntaxNode* tree);

// The rewrites the back end applies to each block's code, in this order.
// Each returns 0, or 1 after a compiler message; the tree is replaced in place.
int rewriteSwitch(SyntaxNode** tree);
int rewriteIfSequence(SyntaxNode** tree);
int mergeConditions(SyntaxNode** tree);
// STORE, STORE ALL, QUIT and BREAK are not allowed in INIT code: 1 after
// message 20203.
int checkInitCode(const SyntaxNode* tree);

// The tree printer: writes a tree back as model text. printTree writes into
// the symbol listing; printTreeToStream into an open stream.
void printTree(const SyntaxNode* tree, int indent, int aliasFlag);
void printTreeToStream(FILE* out, const SyntaxNode* tree, int indent, int aliasFlag);

#endif
