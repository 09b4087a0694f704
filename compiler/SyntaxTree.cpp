#include "SyntaxTree.h"

#include "CompilerMessages.h"
#include "SymbolTables.h"

#include "CheckedHeap.h"
#include "ErrorReporter.h"
#include "ResString.h"
#include "strings/CompilerStrings.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

char* copyText(const char* text)
{
    size_t n = strlen(text) + 1;
    char* copy = static_cast<char*>(CheckedAlloc(n));
    memcpy(copy, text, n);
    return copy;
}

} // namespace

int treeHeight(const SyntaxNode* left, const SyntaxNode* right, int type)
{
    int below = 0;
    if (left && left->height > below)
        below = left->height;
    if (right && right->height > below)
        below = right->height;
    return type == NODE_SEQUENCE ? below : below + 1;
}

void updateHeight(SyntaxNode* n)
{
    n->height = treeHeight(n->left, n->right, n->type);
}

SyntaxNode* makeNode(SyntaxNode* left, SyntaxNode* right, int type, int line)
{
    SyntaxNode* n = static_cast<SyntaxNode*>(checkedCalloc(sizeof(SyntaxNode)));
    n->left = left;
    n->right = right;
    n->type = type;
    n->line = line;
    n->height = treeHeight(left, right, type);
    return n;
}

SyntaxNode* makeNumberNode(double value, int line)
{
    SyntaxNode* n = makeNode(nullptr, nullptr, NODE_NUMBER, line);
    n->value.number = value;
    return n;
}

SyntaxNode* makeNowNode(int line)
{
    return makeNode(nullptr, nullptr, NODE_NOW, line);
}

SyntaxNode* makeStringNode(const char* text, int line)
{
    SyntaxNode* n = makeNode(nullptr, nullptr, NODE_STRING, line);
    n->value.text = copyText(text);
    n->entry = SYMaddstring(text);
    return n;
}

SyntaxNode* makeNameNode(const char* text, int kind, int line)
{
    SyntaxNode* n = makeNode(nullptr, nullptr, kind, line);
    n->value.text = copyText(text);
    return n;
}

void freeTree(SyntaxNode* tree)
{
    if (!tree)
        return;
    if (!tree->left && !tree->right) {
        if (nodeHasText(tree->type))
            free(tree->value.text);
        free(tree);
        return;
    }
    std::vector<SyntaxNode*> pending(1, tree);
    while (!pending.empty()) {
        SyntaxNode* n = pending.back();
        pending.pop_back();
        if (n->left)
            pending.push_back(n->left);
        if (n->right)
            pending.push_back(n->right);
        if (nodeHasText(n->type))
            free(n->value.text);
        free(n);
    }
}

SyntaxNode* copyTree(const SyntaxNode* tree)
{
    SyntaxNode* root = nullptr;
    struct Pending {
        const SyntaxNode* from;
        SyntaxNode** to;
    };
    std::vector<Pending> pending;
    if (tree)
        pending.push_back({tree, &root});
    while (!pending.empty()) {
        Pending p = pending.back();
        pending.pop_back();
        SyntaxNode* n = static_cast<SyntaxNode*>(CheckedAlloc(sizeof(SyntaxNode)));
        *n = *p.from;
        n->left = n->right = nullptr;
        if (nodeHasText(n->type) && n->value.text)
            n->value.text = copyText(n->value.text);
        *p.to = n;
        if (p.from->right)
            pending.push_back({p.from->right, &n->right});
        if (p.from->left)
            pending.push_back({p.from->left, &n->left});
    }
    return root;
}

void sequenceSlots(SyntaxNode** tree, std::vector<SyntaxNode**>& out)
{
    std::vector<SyntaxNode**> pending(1, tree);
    while (!pending.empty()) {
        SyntaxNode** slot = pending.back();
        pending.pop_back();
        SyntaxNode* n = *slot;
        if (!n)
            continue;
        if (n->type == NODE_SEQUENCE) {
            pending.push_back(&n->right);
            pending.push_back(&n->left);
        } else {
            out.push_back(slot);
        }
    }
}

bool visitStatements(SyntaxNode** tree, const std::function<bool(SyntaxNode** slot)>& visit)
{
    std::vector<SyntaxNode**> statements;
    sequenceSlots(tree, statements);
    for (SyntaxNode** s : statements)
        if (visit(s))
            return true;
    return false;
}

bool visitStatements(const SyntaxNode* tree, const std::function<bool(const SyntaxNode* statement)>& visit)
{
    std::vector<const SyntaxNode*> statements;
    sequenceStatements(tree, statements);
    for (const SyntaxNode* s : statements)
        if (visit(s))
            return true;
    return false;
}

void freeSequenceNodes(SyntaxNode* tree)
{
    std::vector<SyntaxNode*> pending(1, tree);
    while (!pending.empty()) {
        SyntaxNode* n = pending.back();
        pending.pop_back();
        if (!n || n->type != NODE_SEQUENCE)
            continue;
        pending.push_back(n->left);
        pending.push_back(n->right);
        free(n);
    }
}

void sequenceStatements(const SyntaxNode* tree, std::vector<const SyntaxNode*>& out)
{
    std::vector<const SyntaxNode*> pending(1, tree);
    while (!pending.empty()) {
        const SyntaxNode* n = pending.back();
        pending.pop_back();
        if (!n)
            continue;
        if (n->type == NODE_SEQUENCE) {
            pending.push_back(n->right);
            pending.push_back(n->left);
        } else {
            out.push_back(n);
        }
    }
}

int foldConstant(const SyntaxNode* tree, double* value)
{
    *value = 0;
    if (!tree)
        return FOLD_NOT_CONSTANT;
    if (tree->type == NODE_NUMBER) {
        *value = tree->value.number;
        return std::isfinite(*value) ? FOLD_CONSTANT : FOLD_NON_FINITE;
    }
    double a = 0, b = 0;
    int ra, rb;
    switch (tree->type) {
    case NODE_NEGATE:
        ra = foldConstant(tree->right, &a);
        if (ra == FOLD_NOT_CONSTANT)
            return FOLD_NOT_CONSTANT;
        *value = -a;
        return ra;
    case NODE_ADD:
    case NODE_SUBTRACT:
    case NODE_MULTIPLY:
    case NODE_DIVIDE:
        ra = foldConstant(tree->left, &a);
        rb = foldConstant(tree->right, &b);
        if (ra == FOLD_NOT_CONSTANT || rb == FOLD_NOT_CONSTANT)
            return FOLD_NOT_CONSTANT;
        switch (tree->type) {
        case NODE_ADD: *value = a + b; break;
        case NODE_SUBTRACT: *value = a - b; break;
        case NODE_MULTIPLY: *value = a * b; break;
        default:
            if (b == 0)
                return FOLD_NOT_CONSTANT;
            *value = a / b;
            break;
        }
        if (ra == FOLD_NON_FINITE || rb == FOLD_NON_FINITE || !std::isfinite(*value))
            return FOLD_NON_FINITE;
        return FOLD_CONSTANT;
    default:
        return FOLD_NOT_CONSTANT;
    }
}

double constantPi()
{
    return 4 * atan(1.0);
}

double constantE()
{
    // 2 to the power log2 e, as the scanner has always computed it.
    return pow(2.0, 1.4426950408889634074);
}

int nodePrecedence(const SyntaxNode* tree)
{
    if (!tree)
        return 0;
    switch (tree->type) {
    case NODE_NUMBER:
    case NODE_VARIABLE:
    case NODE_STRING_PARAMETER:
    case NODE_STRING_INDEX:
    case NODE_PROCEDURE_NAME:
    case NODE_STRING:
    case NODE_NOW:
        return 10;
    case NODE_NEGATE:
    case NODE_NOT:
        return 9;
    case NODE_FUNCTION_CALL:
        return 8;
    case NODE_MULTIPLY:
    case NODE_DIVIDE:
        return 7;
    case NODE_ADD:
    case NODE_SUBTRACT:
        return 6;
    case NODE_EQUAL:
    case NODE_NOT_EQUAL:
    case NODE_LESS_EQUAL:
    case NODE_GREATER_EQUAL:
    case NODE_LESS:
    case NODE_GREATER:
        return 5;
    case NODE_AND:
        return 4;
    case NODE_OR:
        return 3;
    case NODE_PAIR:
    case NODE_TRAILER:
        return 1;
    case NODE_CALLED_NAME:
    case NODE_STORE:
    case NODE_STORE_ALL:
    case NODE_QUIT:
    case NODE_BREAK:
    case NODE_PROCEDURE_CALL:
    case NODE_EXIT:
        return 0;
    default:
        if (tree->type >= NODE_ASSIGN && tree->type <= NODE_DELAY_TIME)
            return 0;
        compileInternalError(kStrInternalUnknownNodeType);
    }
}
