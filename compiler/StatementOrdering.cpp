#include "StatementOrdering.h"

#include "CircuitFlattening.h"
#include "CompilerMessages.h"
#include "SymbolListing.h"

#include "MessageLog.h"
#include "ResString.h"
#include "ShowFile.h"
#include "strings/BackendStrings.h"

#include <algorithm>
#include <functional>
#include <queue>
#include <vector>

namespace {

enum Readiness {
    READY = 0,
    WAITING = 1,   // a variable it reads is not available yet
    REFUSED = 2    // a message has been given
};

int priorityCounter = kFirstPriorityCounter;

// Set while a statement's readiness is only looked at: the message of a
// refusal is given when the refused statement is the one the walk takes.
bool quietRefusal = false;

// The variables a section's statements name, sorted by address, with the
// number of assignments (through the alias) the waiting statements still
// make to each.
struct SectionVariables {
    std::vector<CodeVariable*> variables;
    std::vector<int> waitingAssignments;

    int idOf(const CodeVariable* v) const
    {
        auto at = std::lower_bound(variables.begin(), variables.end(), v);
        return at != variables.end() && *at == v ? static_cast<int>(at - variables.begin()) : -1;
    }
};

// The section being ordered: its rules and the statements still waiting,
// with their assignments counted when the counts are kept.
struct Section {
    bool init;
    const Statement* waiting;
    const SectionVariables* counted;
};

CodeVariable* boundVariable(const SyntaxNode* name)
{
    CodeVariable* v = static_cast<CodeVariable*>(name->entry);
    if (!v)
        compileInternalError(kStrInternalVariableWithoutSymbol);
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
    if (section.counted) {
        int id = section.counted->idOf(v);
        return id >= 0 && section.counted->waitingAssignments[id] > 0;
    }
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
    if (!quietRefusal)
        compileErrorAtLine(line, messageId, name);
    return REFUSED;
}

// The target of an assignment as it stands, not through its alias.
Readiness targetIsAllowed(const Section& section, const SyntaxNode* assignment, bool insideIf)
{
    const SyntaxNode* target = assignment->left;
    if (!target || target->type != NODE_VARIABLE)
        compileInternalError(kStrInternalLhsNotVariable);
    const CodeVariable* v = boundVariable(target);
    int line = assignment->line;
    if (section.init) {
        if (!insideIf && (v->flags & (VARIABLE_INITIALIZED | VARIABLE_INITIALIZED_IN_IF)))
            return refuse(line, kStrMultipleAssignment, v->name);
        if (v->kind == SYMBOL_INPUT)
            return refuse(line, kStrInputAssigned, v->name);
        if (v->kind == SYMBOL_OUTPUT)
            return refuse(line, kStrOutputAssignedTwice, v->name);
        return READY;
    }
    if (!insideIf && (v->flags & (VARIABLE_DISCRETE | VARIABLE_ASSIGNED_IN_IF | VARIABLE_ASSIGNED)))
        return refuse(line, kStrMultipleAssignment, v->name);
    if (v->kind == SYMBOL_INPUT)
        return refuse(line, kStrInputAssigned, v->name);
    if (v->kind == SYMBOL_PARAMETER && !(v->flags & VARIABLE_SOCKET_PARAMETER))
        return refuse(line, kStrParameterAssigned, v->name);
    if (v->kind == SYMBOL_STATE && assignment->type == NODE_ASSIGN)
        return refuse(line, kStrStateAssigned, v->name);
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

// What a statement's readiness depends on and what ordering it changes, as
// ranges of one pool of variables.
struct StatementFacts {
    Statement* statement;
    // Every variable its names are bound to, and the ones they alias: the
    // flags that decide whether it is ready or refused.
    int readsBegin, readsEnd;
    // The variables its assignments mark (as bound and through the alias).
    int marksBegin, marksEnd;
    // The variables it assigns as waitingAssigns sees them, once per
    // assignment.
    int assignsBegin, assignsEnd;
};

void addOnce(std::vector<CodeVariable*>& list, CodeVariable* v)
{
    for (CodeVariable* w : list)
        if (w == v)
            return;
    list.push_back(v);
}

// The facts of one tree, walked with a stack of its own (a long expression
// makes a deep tree); the scratch vectors keep their room between calls.
struct FactCollector {
    std::vector<const SyntaxNode*> stack;
    std::vector<CodeVariable*> reads, marks, assigns;
    std::vector<CodeVariable*> pool;

    StatementFacts collect(Statement* statement, bool init)
    {
        reads.clear();
        marks.clear();
        assigns.clear();
        if (statement->tree)
            stack.push_back(statement->tree);
        while (!stack.empty()) {
            const SyntaxNode* n = stack.back();
            stack.pop_back();
            if ((n->type == NODE_VARIABLE || n->type == NODE_STRING_INDEX) && n->entry) {
                CodeVariable* v = static_cast<CodeVariable*>(n->entry);
                addOnce(reads, v);
                addOnce(reads, throughAlias(v));
            }
            if ((n->type == NODE_ASSIGN || n->type == NODE_DERIVATIVE || n->type == NODE_DELAY_TIME) &&
                n->left && n->left->type == NODE_VARIABLE && n->left->entry) {
                CodeVariable* v = static_cast<CodeVariable*>(n->left->entry);
                addOnce(marks, v);
                addOnce(marks, throughAlias(v));
                if (isAssignment(n, init))
                    assigns.push_back(throughAlias(v));
            }
            if (n->right)
                stack.push_back(n->right);
            if (n->left)
                stack.push_back(n->left);
        }
        StatementFacts facts;
        facts.statement = statement;
        facts.readsBegin = static_cast<int>(pool.size());
        pool.insert(pool.end(), reads.begin(), reads.end());
        facts.readsEnd = facts.marksBegin = static_cast<int>(pool.size());
        pool.insert(pool.end(), marks.begin(), marks.end());
        facts.marksEnd = facts.assignsBegin = static_cast<int>(pool.size());
        pool.insert(pool.end(), assigns.begin(), assigns.end());
        facts.assignsEnd = static_cast<int>(pool.size());
        return facts;
    }
};

// The walk of one section; the list holds the ordered statements afterwards,
// and on failure the ordered ones followed by those still waiting.
//
// Each step takes the first waiting statement (in list order) that is not
// waiting any more. A statement's readiness changes only when a variable it
// depends on is marked, or when the last waiting statement that assigns such
// a variable leaves; so only those statements are looked at again, and the
// first one that is not waiting comes from an ordered set. A walk from the
// head at every step would take time growing with the square of the
// section's length whenever the statements stand against their data flow.
int orderSection(StatementList* list, bool init, unsigned int loopMessage)
{
    FactCollector collector;
    std::vector<StatementFacts> facts;
    for (Statement* s = list->head; s; s = s->next)
        facts.push_back(collector.collect(s, init));
    const int count = static_cast<int>(facts.size());
    const std::vector<CodeVariable*>& pool = collector.pool;

    // Marks and assignments name only variables the statement reads the
    // flags of, so the read ranges give every variable.
    SectionVariables counted;
    for (const StatementFacts& f : facts)
        counted.variables.insert(counted.variables.end(), pool.begin() + f.readsBegin, pool.begin() + f.readsEnd);
    std::sort(counted.variables.begin(), counted.variables.end());
    counted.variables.erase(std::unique(counted.variables.begin(), counted.variables.end()),
                            counted.variables.end());
    const size_t variableCount = counted.variables.size();
    counted.waitingAssignments.assign(variableCount, 0);

    // The statements that depend on each variable, one range per variable.
    std::vector<int> dependentStart(variableCount + 1, 0);
    std::vector<int> readIds(pool.size(), -1);
    for (const StatementFacts& f : facts) {
        for (int k = f.readsBegin; k < f.readsEnd; ++k) {
            readIds[k] = counted.idOf(pool[k]);
            ++dependentStart[readIds[k] + 1];
        }
        for (int k = f.assignsBegin; k < f.assignsEnd; ++k)
            ++counted.waitingAssignments[counted.idOf(pool[k])];
    }
    for (size_t v = 0; v < variableCount; ++v)
        dependentStart[v + 1] += dependentStart[v];
    std::vector<int> dependents(dependentStart.back());
    {
        std::vector<int> fill(dependentStart.begin(), dependentStart.end() - 1);
        for (int i = 0; i < count; ++i)
            for (int k = facts[i].readsBegin; k < facts[i].readsEnd; ++k)
                dependents[fill[readIds[k]]++] = i;
    }

    std::vector<char> waiting(count, 1);
    // The waiting statements as a chain of indexes, -1 at the ends.
    std::vector<int> previousWaiting(count), nextWaiting(count);
    for (int i = 0; i < count; ++i) {
        previousWaiting[i] = i - 1;
        nextWaiting[i] = i + 1 < count ? i + 1 : -1;
    }
    std::vector<char> dirty(count, 1);
    std::vector<int> dirtyList;
    for (int i = 0; i < count; ++i)
        dirtyList.push_back(i);
    std::vector<Readiness> readiness(count, WAITING);
    // The statements found not waiting, the first in list order on top; an
    // entry whose statement has left or waits again is skipped when it
    // comes up.
    std::priority_queue<int, std::vector<int>, std::greater<int>> notWaiting;
    auto markDependentsDirty = [&](const CodeVariable* v) {
        int id = counted.idOf(v);
        if (id < 0)
            return;
        for (int k = dependentStart[id]; k < dependentStart[id + 1]; ++k) {
            int i = dependents[k];
            if (waiting[i] && !dirty[i]) {
                dirty[i] = 1;
                dirtyList.push_back(i);
            }
        }
    };

    StatementList ordered = {nullptr, nullptr};
    int failed = 0;
    for (;;) {
        Section section = {init, list->head, &counted};
        quietRefusal = true;
        for (int i : dirtyList) {
            dirty[i] = 0;
            if (!waiting[i])
                continue;
            Readiness was = readiness[i];
            readiness[i] = walkReady(section, facts[i].statement->tree, false);
            if (readiness[i] != WAITING && was == WAITING)
                notWaiting.push(i);
        }
        quietRefusal = false;
        dirtyList.clear();
        while (!notWaiting.empty() && (!waiting[notWaiting.top()] || readiness[notWaiting.top()] == WAITING))
            notWaiting.pop();
        if (notWaiting.empty())
            break;
        int first = notWaiting.top();
        Statement* s = facts[first].statement;
        if (readiness[first] == REFUSED) {
            // Again, for its message.
            walkReady(section, s->tree, false);
            failed = 1;
            break;
        }
        if (init)
            markInitialized(s->tree, false);
        else
            markAssigned(s->tree, false);
        notWaiting.pop();
        waiting[first] = 0;

        int before = previousWaiting[first], after = nextWaiting[first];
        if (before >= 0)
            nextWaiting[before] = after;
        if (after >= 0)
            previousWaiting[after] = before;
        Statement* previous = before >= 0 ? facts[before].statement : nullptr;
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

        const StatementFacts& taken = facts[first];
        for (int k = taken.marksBegin; k < taken.marksEnd; ++k)
            markDependentsDirty(pool[k]);
        for (int k = taken.assignsBegin; k < taken.assignsEnd; ++k)
            if (--counted.waitingAssignments[counted.idOf(pool[k])] == 0)
                markDependentsDirty(pool[k]);
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
            compileError(kStrDiscreteNotInitialised, v->name, v->instance->name);
            return 1;
        }
    }
    for (const CodeVariable* v = codeVariables(LIST_PARAMETERS); v; v = v->next) {
        if (!(v->flags & (VARIABLE_INITIALIZED | VARIABLE_INITIALIZED_IN_IF))) {
            compileError(kStrParameterNotInitialised, v->name, v->instance->name);
            return 1;
        }
    }
    for (const CodeVariable* v = codeVariables(LIST_DELAYS); v; v = v->next) {
        if (!(v->flags & (VARIABLE_INITIALIZED | VARIABLE_INITIALIZED_IN_IF))) {
            compileError(kStrDelayNotInitialised, v->name, v->instance->name);
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
            compileError(kStrStateDerivativeNotAssigned, v->name, v->instance->name);
            return 1;
        }
    }
    for (const CodeVariable* v = codeVariables(LIST_DELAYS); v; v = v->next) {
        if (!(v->flags & kAnyAssignment)) {
            compileError(kStrDelayNotAssigned, v->name, v->instance->name);
            return 1;
        }
    }
    for (const CodeVariable* v = codeVariables(LIST_V); v; v = v->next) {
        if (v->kind == SYMBOL_OUTPUT && !(v->flags & (VARIABLE_ASSIGNED_IN_IF | VARIABLE_ASSIGNED))) {
            compileError(kStrOutputNotAssigned, v->name, v->instance->name);
            return 1;
        }
    }
    for (const CodeProcedure* p = codeProcedures(); p; p = p->next) {
        if (!(p->used & 1)) {
            compileError(kStrProcedureNeverUsed, p->name, p->instance->blockType->key);
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
