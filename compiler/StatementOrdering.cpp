#include "StatementOrdering.h"

#include "CircuitFlattening.h"
#include "CompilerMessages.h"
#include "SymbolListing.h"

#include "MessageLog.h"
#include "ResString.h"
#include "ShowFile.h"

#include <vector>

namespace {

enum Readiness {
    READY = 0,
    WAITING = 1,   // a variable it reads is not available yet
    REFUSED = 2    // a message has been given
};

int priorityCounter = kFirstPriorityCounter;

// The section being ordered: its rules and the statements still waiting.
struct Section {
    bool init;
    const Statement* waiting;
};

CodeVariable* boundVariable(const SyntaxNode* name)
{
    CodeVariable* v = static_cast<CodeVariable*>(name->entry);
    if (!v)
        compileInternalError(20077);
    return v;
}

CodeVariable* throughAlias(CodeVariable* v)
{
    return v->alias ? v->alias : v;
}

bool isAssignment(const SyntaxNode* n, bool init)
{
    return n->type == NODE_ASSIGN || n->type == NODE_DELAY_TIME || (!init && n->type == NODE_DERIVATIVE);
}

bool treeAssigns(const SyntaxNode* n, const CodeVariable* v, bool init);

KYT_WALK_HELPER bool sequenceAssigns(const SyntaxNode* n, const CodeVariable* v, bool init)
{
    return visitStatements(n, [=](const SyntaxNode* s) { return treeAssigns(s, v, init); });
}

bool treeAssigns(const SyntaxNode* n, const CodeVariable* v, bool init)
{
    if (!n)
        return false;
    if (n->type == NODE_SEQUENCE)
        return sequenceAssigns(n, v, init);
    if (isAssignment(n, init) && n->left && n->left->type == NODE_VARIABLE && n->left->entry &&
        throughAlias(static_cast<CodeVariable*>(n->left->entry)) == v)
        return true;
    return treeAssigns(n->left, v, init) || treeAssigns(n->right, v, init);
}

bool waitingAssigns(const Section& section, const CodeVariable* v)
{
    for (const Statement* s = section.waiting; s; s = s->next)
        if (treeAssigns(s->tree, v, section.init))
            return true;
    return false;
}

Readiness readIsReady(const Section& section, const SyntaxNode* name)
{
    CodeVariable* v = throughAlias(boundVariable(name));
    if (section.init) {
        if (v->flags & VARIABLE_INITIALIZED_IN_IF)
            return waitingAssigns(section, v) ? WAITING : READY;
        return (v->flags & VARIABLE_INITIALIZED) ? READY : WAITING;
    }
    bool plainParameter = v->kind == SYMBOL_PARAMETER && !(v->flags & VARIABLE_SOCKET_PARAMETER);
    if (v->kind == SYMBOL_STATE || v->kind == SYMBOL_DELAY || (v->flags & VARIABLE_DISCRETE) || plainParameter)
        return READY;
    if (v->flags & VARIABLE_ASSIGNED_IN_IF)
        return waitingAssigns(section, v) ? WAITING : READY;
    return (v->flags & VARIABLE_ASSIGNED) ? READY : WAITING;
}

// The message on the assignment's line, and the statement is out.
Readiness refuse(int line, unsigned int messageId, const char* name)
{
    compileErrorAtLine(line, messageId, name);
    return REFUSED;
}

// The target of an assignment as it stands, not through its alias.
Readiness targetIsAllowed(const Section& section, const SyntaxNode* assignment, bool insideIf)
{
    const SyntaxNode* target = assignment->left;
    if (!target || target->type != NODE_VARIABLE)
        compileInternalError(20061);
    const CodeVariable* v = boundVariable(target);
    int line = assignment->line;
    if (section.init) {
        if (!insideIf && (v->flags & (VARIABLE_INITIALIZED | VARIABLE_INITIALIZED_IN_IF)))
            return refuse(line, 20073, v->name);
        if (v->kind == SYMBOL_INPUT)
            return refuse(line, 20075, v->name);
        if (v->kind == SYMBOL_OUTPUT)
            return refuse(line, 20078, v->name);
        return READY;
    }
    if (!insideIf && (v->flags & (VARIABLE_DISCRETE | VARIABLE_ASSIGNED_IN_IF | VARIABLE_ASSIGNED)))
        return refuse(line, 20073, v->name);
    if (v->kind == SYMBOL_INPUT)
        return refuse(line, 20075, v->name);
    if (v->kind == SYMBOL_PARAMETER && !(v->flags & VARIABLE_SOCKET_PARAMETER))
        return refuse(line, 20074, v->name);
    if (v->kind == SYMBOL_STATE && assignment->type == NODE_ASSIGN)
        return refuse(line, 20076, v->name);
    return READY;
}

Readiness walkReady(const Section& section, const SyntaxNode* n, bool insideIf);

KYT_WALK_HELPER Readiness sequenceReady(const Section& section, const SyntaxNode* n, bool insideIf)
{
    Readiness r = READY;
    visitStatements(n, [&](const SyntaxNode* s) {
        r = walkReady(section, s, insideIf);
        return r != READY;
    });
    return r;
}

Readiness walkReady(const Section& section, const SyntaxNode* n, bool insideIf)
{
    if (!n)
        return READY;
    switch (n->type) {
    case NODE_SEQUENCE:
        return sequenceReady(section, n, insideIf);
    case NODE_VARIABLE:
    case NODE_STRING_INDEX:
        return readIsReady(section, n);
    case NODE_ASSIGN:
    case NODE_DERIVATIVE:
    case NODE_DELAY_TIME: {
        Readiness r = targetIsAllowed(section, n, insideIf);
        return r != READY ? r : walkReady(section, n->right, insideIf);
    }
    case NODE_IF: {
        Readiness r = walkReady(section, n->left, insideIf);
        return r != READY ? r : walkReady(section, n->right, true);
    }
    default: {
        Readiness r = walkReady(section, n->left, insideIf);
        return r != READY ? r : walkReady(section, n->right, insideIf);
    }
    }
}

// The procedure a trailer or a SCHEDULE attaches, or null.
CodeProcedure* attachedProcedure(const SyntaxNode* n)
{
    const SyntaxNode* name = nullptr;
    if (n->type == NODE_TRAILER) {
        if (n->left && n->left->type == NODE_PROCEDURE_NAME)
            name = n->left;
        else if (n->left && n->left->type == NODE_SCHEDULE)
            n = n->left;
    }
    if (!name && n->type == NODE_SCHEDULE && n->left && n->left->type == NODE_PRIORITY && n->left->left &&
        n->left->left->type == NODE_PROCEDURE_NAME)
        name = n->left->left;
    return name ? static_cast<CodeProcedure*>(name->entry) : nullptr;
}

void markAssigned(SyntaxNode* n, bool insideIf);

KYT_WALK_HELPER void markAssignedInSequence(SyntaxNode* n, bool insideIf)
{
    visitStatements(&n, [insideIf](SyntaxNode** s) {
        markAssigned(*s, insideIf);
        return false;
    });
}

void markAssigned(SyntaxNode* n, bool insideIf)
{
    if (!n)
        return;
    switch (n->type) {
    case NODE_SEQUENCE:
        markAssignedInSequence(n, insideIf);
        return;
    case NODE_ASSIGN:
    case NODE_DERIVATIVE:
    case NODE_DELAY_TIME:
        throughAlias(boundVariable(n->left))->flags |= insideIf ? VARIABLE_ASSIGNED_IN_IF : VARIABLE_ASSIGNED;
        markAssigned(n->right, insideIf);
        return;
    case NODE_IF:
        markAssigned(n->left, insideIf);
        markAssigned(n->right, true);
        return;
    case NODE_TRAILER:
    case NODE_SCHEDULE: {
        // Procedures get their priorities in the order in which the
        // ordered statements attach them.
        CodeProcedure* p = attachedProcedure(n);
        if (p && p->priority == 0)
            p->priority = --priorityCounter;
        return;
    }
    default:
        markAssigned(n->left, insideIf);
        markAssigned(n->right, insideIf);
        return;
    }
}

void markInitialized(SyntaxNode* n, bool insideIf);

KYT_WALK_HELPER void markInitializedInSequence(SyntaxNode* n, bool insideIf)
{
    visitStatements(&n, [insideIf](SyntaxNode** s) {
        markInitialized(*s, insideIf);
        return false;
    });
}

void markInitialized(SyntaxNode* n, bool insideIf)
{
    if (!n)
        return;
    switch (n->type) {
    case NODE_SEQUENCE:
        markInitializedInSequence(n, insideIf);
        return;
    case NODE_ASSIGN:
    case NODE_DERIVATIVE:
    case NODE_DELAY_TIME:
        boundVariable(n->left)->flags |= insideIf ? VARIABLE_INITIALIZED_IN_IF : VARIABLE_INITIALIZED;
        markInitialized(n->right, insideIf);
        return;
    case NODE_IF:
        markInitialized(n->left, insideIf);
        markInitialized(n->right, true);
        return;
    default:
        markInitialized(n->left, insideIf);
        markInitialized(n->right, insideIf);
        return;
    }
}

// The statements that could not be ordered, then the variables in error,
// shown together in the viewer.
void showUnordered(const Statement* remaining, unsigned int messageId)
{
    openSymbolFile();
    for (const Statement* s = remaining; s; s = s->next)
        printTree(s->tree, 3, 1);
    SymbolFileWrite(1);
    closeSymbolFile();
    showFileAtLine(getResString(messageId), kSymbolFile, -1, 0);
}

// The walk of one section; the list holds the ordered statements afterwards,
// and on failure the ordered ones followed by those still waiting.
int orderSection(StatementList* list, bool init, unsigned int loopMessage)
{
    StatementList ordered = {nullptr, nullptr};
    int failed = 0;
    for (;;) {
        Section section = {init, list->head};
        Statement* previous = nullptr;
        Statement* s = list->head;
        Readiness r = WAITING;
        for (; s; previous = s, s = s->next) {
            r = walkReady(section, s->tree, false);
            if (r != WAITING)
                break;
        }
        if (!s)
            break;
        if (r == REFUSED) {
            failed = 1;
            break;
        }
        if (init)
            markInitialized(s->tree, false);
        else
            markAssigned(s->tree, false);
        if (previous)
            previous->next = s->next;
        else
            list->head = s->next;
        if (list->tail == s)
            list->tail = previous;
        s->next = nullptr;
        if (ordered.tail)
            ordered.tail->next = s;
        else
            ordered.head = s;
        ordered.tail = s;
    }
    if (!failed && list->head) {
        showUnordered(list->head, loopMessage);
        failed = 1;
    }
    if (ordered.tail) {
        ordered.tail->next = list->head;
        if (!list->head)
            list->tail = ordered.tail;
        list->head = ordered.head;
    }
    return failed;
}

int checkInitialized()
{
    for (const CodeVariable* v = codeVariables(LIST_V); v; v = v->next) {
        if ((v->flags & VARIABLE_DISCRETE) && !(v->flags & (VARIABLE_INITIALIZED | VARIABLE_INITIALIZED_IN_IF))) {
            compileError(20067, v->name, v->instance->name);
            return 1;
        }
    }
    for (const CodeVariable* v = codeVariables(LIST_PARAMETERS); v; v = v->next) {
        if (!(v->flags & (VARIABLE_INITIALIZED | VARIABLE_INITIALIZED_IN_IF))) {
            compileError(20066, v->name, v->instance->name);
            return 1;
        }
    }
    for (const CodeVariable* v = codeVariables(LIST_DELAYS); v; v = v->next) {
        if (!(v->flags & (VARIABLE_INITIALIZED | VARIABLE_INITIALIZED_IN_IF))) {
            compileError(20065, v->name, v->instance->name);
            return 1;
        }
    }
    return 0;
}

const int kAnyAssignment = VARIABLE_DISCRETE | VARIABLE_ASSIGNED_IN_IF | VARIABLE_ASSIGNED;

int checkAssigned()
{
    for (const CodeVariable* v = codeVariables(LIST_STATES); v; v = v->next) {
        if (!(v->flags & kAnyAssignment)) {
            compileError(20069, v->name, v->instance->name);
            return 1;
        }
    }
    for (const CodeVariable* v = codeVariables(LIST_DELAYS); v; v = v->next) {
        if (!(v->flags & kAnyAssignment)) {
            compileError(20070, v->name, v->instance->name);
            return 1;
        }
    }
    for (const CodeVariable* v = codeVariables(LIST_V); v; v = v->next) {
        if (v->kind == SYMBOL_OUTPUT && !(v->flags & (VARIABLE_ASSIGNED_IN_IF | VARIABLE_ASSIGNED))) {
            compileError(20071, v->name, v->instance->name);
            return 1;
        }
    }
    for (const CodeProcedure* p = codeProcedures(); p; p = p->next) {
        if (!(p->used & 1)) {
            compileError(20072, p->name, p->instance->blockType->key);
            return 1;
        }
    }
    return 0;
}

} // namespace

int orderStatements()
{
    priorityCounter = kFirstPriorityCounter;
    if (orderSection(initStatements(), true, 20064))
        return 1;
    if (checkInitialized())
        return 1;
    if (orderSection(contStatements(), false, 20068))
        return 1;
    return checkAssigned();
}
