// The rewrites the back end applies to a block's code before it writes PI
// code: SWITCH into IFs, IF over several statements into one IF per
// statement, nested conditions into one, and the check of INIT code.
#include "SyntaxTree.h"

#include "CompilerMessages.h"
#include "strings/CompilerStrings.h"

#include <cstdlib>
#include <vector>

namespace {

// Appends a statement to a sequence that may still be empty.
SyntaxNode* appendStatement(SyntaxNode* sequence, SyntaxNode* statement, int line)
{
    if (!sequence)
        return statement;
    if (!statement)
        return sequence;
    return makeNode(sequence, statement, NODE_SEQUENCE, line);
}

// Replaces one SWITCH node; 0, or 1 after a message (the node stays).
KYT_WALK_HELPER int replaceSwitch(SyntaxNode** slot)
{
    SyntaxNode* sw = *slot;
    SyntaxNode* variable = sw->left;

    // The case chain from its outer end: the last written case first.
    std::vector<SyntaxNode*> cases;
    for (SyntaxNode* chain = sw->right; chain; chain = chain->left) {
        if (chain->type != NODE_CASE_CHAIN)
            compileInternalError(kStrInternalSwitchNotTransformed);
        if (!chain->right)
            compileInternalError(kStrInternalRightTreeEmpty);
        if (chain->right->type != NODE_CASE && chain->right->type != NODE_DEFAULT)
            compileInternalError(kStrInternalUnknownNodeType);
        cases.push_back(chain->right);
    }
    SyntaxNode* defaultCase = nullptr;
    int caseCount = 0;
    for (SyntaxNode* c : cases) {
        if (c->type == NODE_DEFAULT) {
            if (defaultCase) {
                // The cases come last written first: defaultCase is the second.
                compileErrorAtLine(defaultCase->line, kStrSwitchTwoDefaults);
                return 1;
            }
            defaultCase = c;
        } else {
            ++caseCount;
        }
    }
    // Without a CASE there is nothing to test, and DEFAULT has no condition
    // to negate.
    if (caseCount == 0) {
        compileErrorAtLine(sw->line, kStrSwitchWithoutCase);
        return 1;
    }

    SyntaxNode* sequence = nullptr;
    for (SyntaxNode* c : cases) {
        if (c->type != NODE_CASE)
            continue;
        SyntaxNode* test = makeNode(copyTree(variable), copyTree(c->left), NODE_EQUAL, c->line);
        SyntaxNode* ifNode = makeNode(test, copyTree(c->right), NODE_IF, c->line);
        sequence = appendStatement(sequence, ifNode, c->line);
    }
    if (defaultCase) {
        // NOT (c1 || c2 || ...), the cases in written order.
        SyntaxNode* anyCase = nullptr;
        for (auto c = cases.rbegin(); c != cases.rend(); ++c) {
            if ((*c)->type != NODE_CASE)
                continue;
            SyntaxNode* test = makeNode(copyTree(variable), copyTree((*c)->left), NODE_EQUAL, (*c)->line);
            anyCase = anyCase ? makeNode(anyCase, test, NODE_OR, (*c)->line) : test;
        }
        SyntaxNode* none = makeNode(nullptr, anyCase, NODE_NOT, defaultCase->line);
        SyntaxNode* ifNode = makeNode(none, copyTree(defaultCase->right), NODE_IF, defaultCase->line);
        sequence = appendStatement(sequence, ifNode, defaultCase->line);
    }
    freeTree(sw);
    *slot = sequence;
    return 0;
}

// Each walk goes along a sequence in a loop and recurses only into the
// statements and expressions themselves, whose nesting the parser bounds.
int switchWalk(SyntaxNode** slot);

KYT_WALK_HELPER int switchWalkSequence(SyntaxNode** slot)
{
    int failed = 0;
    visitStatements(slot, [&failed](SyntaxNode** s) {
        failed |= switchWalk(s);
        return false;
    });
    return failed;
}

int switchWalk(SyntaxNode** slot)
{
    SyntaxNode* n = *slot;
    if (!n)
        return 0;
    if (n->type == NODE_SEQUENCE)
        return switchWalkSequence(slot);
    int failed = switchWalk(&n->left);
    failed |= switchWalk(&n->right);
    if (n->type == NODE_SWITCH)
        failed |= replaceSwitch(slot);
    return failed;
}

// One IF per statement of the IF's sequence.
KYT_WALK_HELPER void splitIf(SyntaxNode** slot)
{
    SyntaxNode* n = *slot;
    std::vector<SyntaxNode*> statements;
    std::vector<SyntaxNode**> slots;
    sequenceSlots(&n->right, slots);
    for (SyntaxNode** s : slots)
        statements.push_back(*s);
    freeSequenceNodes(n->right);
    SyntaxNode* sequence = nullptr;
    for (SyntaxNode* s : statements) {
        SyntaxNode* ifNode = makeNode(copyTree(n->left), s, NODE_IF, s->line);
        sequence = appendStatement(sequence, ifNode, s->line);
    }
    freeTree(n->left);
    free(n);
    *slot = sequence;
}

void ifSequenceWalk(SyntaxNode** slot);

KYT_WALK_HELPER void ifSequenceWalkSequence(SyntaxNode** slot)
{
    visitStatements(slot, [](SyntaxNode** s) {
        ifSequenceWalk(s);
        return false;
    });
}

void ifSequenceWalk(SyntaxNode** slot)
{
    SyntaxNode* n = *slot;
    if (!n)
        return;
    if (n->type == NODE_SEQUENCE) {
        ifSequenceWalkSequence(slot);
        return;
    }
    ifSequenceWalk(&n->left);
    ifSequenceWalk(&n->right);
    if (n->type == NODE_IF && n->right && n->right->type == NODE_SEQUENCE)
        splitIf(slot);
}

// The sequence nodes of a tree with the slots that hold them, each before
// the sequences beneath it.
void sequenceNodeSlots(SyntaxNode** tree, std::vector<SyntaxNode**>& out)
{
    std::vector<SyntaxNode**> pending(1, tree);
    while (!pending.empty()) {
        SyntaxNode** slot = pending.back();
        pending.pop_back();
        SyntaxNode* n = *slot;
        if (!n || n->type != NODE_SEQUENCE)
            continue;
        out.push_back(slot);
        pending.push_back(&n->right);
        pending.push_back(&n->left);
    }
}

void mergeWalk(SyntaxNode** slot);

KYT_WALK_HELPER void mergeSequence(SyntaxNode** slot)
{
    visitStatements(slot, [](SyntaxNode** s) {
        mergeWalk(s);
        return false;
    });
    // A removed statement leaves no empty place in its sequence; the
    // inner sequences first, as a walk from the leaves would.
    std::vector<SyntaxNode**> sequences;
    sequenceNodeSlots(slot, sequences);
    for (auto s = sequences.rbegin(); s != sequences.rend(); ++s) {
        SyntaxNode* q = **s;
        if (!q->left || !q->right) {
            **s = q->left ? q->left : q->right;
            free(q);
        }
    }
}

void mergeWalk(SyntaxNode** slot)
{
    SyntaxNode* n = *slot;
    if (!n)
        return;
    if (n->type == NODE_SEQUENCE) {
        mergeSequence(slot);
        return;
    }
    mergeWalk(&n->left);
    mergeWalk(&n->right);
    if (n->type != NODE_IF)
        return;
    SyntaxNode* body = n->right;
    if (!body) {
        freeTree(n);
        *slot = nullptr;
    } else if (body->type == NODE_ONRISE) {
        body->left = makeNode(n->left, body->left, NODE_AND, n->line);
        free(n);
        *slot = body;
    } else if (body->type == NODE_IF) {
        n->left = makeNode(n->left, body->left, NODE_AND, body->line);
        n->right = body->right;
        free(body);
    }
}

const SyntaxNode* findRunControl(const SyntaxNode* n);

KYT_WALK_HELPER const SyntaxNode* findRunControlInSequence(const SyntaxNode* n)
{
    const SyntaxNode* found = nullptr;
    visitStatements(n, [&found](const SyntaxNode* s) {
        found = findRunControl(s);
        return found != nullptr;
    });
    return found;
}

const SyntaxNode* findRunControl(const SyntaxNode* n)
{
    if (!n)
        return nullptr;
    switch (n->type) {
    case NODE_STORE:
    case NODE_STORE_ALL:
    case NODE_QUIT:
    case NODE_BREAK:
        return n;
    case NODE_SEQUENCE:
        return findRunControlInSequence(n);
    default:
        break;
    }
    const SyntaxNode* found = findRunControl(n->left);
    return found ? found : findRunControl(n->right);
}

} // namespace

int rewriteSwitch(SyntaxNode** tree)
{
    return switchWalk(tree);
}

int rewriteIfSequence(SyntaxNode** tree)
{
    ifSequenceWalk(tree);
    return 0;
}

int mergeConditions(SyntaxNode** tree)
{
    mergeWalk(tree);
    return 0;
}

int checkInitCode(const SyntaxNode* tree)
{
    const SyntaxNode* bad = findRunControl(tree);
    if (!bad)
        return 0;
    compileErrorAtLine(bad->line, kStrQuitStoreInInit);
    return 1;
}
