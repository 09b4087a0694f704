// Flattening of the parsed circuit into variables and statement lists, and
// the checks that need the whole circuit: parameter values, connections,
// saved signals, name binding and SWITCH symmetry.
#include "CircuitFlattening.h"

#include "CompilerMessages.h"

#include "CheckedHeap.h"
#include "strings/BackendStrings.h"
#include "strings/CompilerStrings.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

struct VariableChain {
    CodeVariable* head;
    CodeVariable* tail;
};

VariableChain variables[kVariableLists];
CodeProcedure* procedureHead = nullptr;
CodeProcedure* procedureTail = nullptr;
StatementList initList = {nullptr, nullptr};
StatementList contList = {nullptr, nullptr};

// Name indexes beside the lists, so that binding a name or a connection
// walks nothing. A variable is found by its joined name in its kind's list,
// the first one of that name as a walk from the head would find it (instance
// "a_b" with symbol "c" and instance "a" with symbol "b_c" both make
// "a_b_c"). Keys view the records' own names.
std::unordered_map<std::string_view, CodeVariable*> variableIndex[kVariableLists];

struct ProcedureKey {
    const Instance* instance;
    std::string_view name;
    bool operator==(const ProcedureKey& other) const
    {
        return instance == other.instance && name == other.name;
    }
};

struct ProcedureKeyHash {
    size_t operator()(const ProcedureKey& key) const
    {
        size_t h = std::hash<std::string_view>()(key.name);
        return h ^ (std::hash<const void*>()(key.instance) + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2));
    }
};

std::unordered_map<ProcedureKey, CodeProcedure*, ProcedureKeyHash> procedureIndex;

char* copyText(const char* text)
{
    size_t n = strlen(text) + 1;
    char* copy = static_cast<char*>(CheckedAlloc(n));
    memcpy(copy, text, n);
    return copy;
}

char* joinedName(const char* instance, const char* name)
{
    std::string s = std::string(instance) + "_" + name;
    return copyText(s.c_str());
}

bool isThisPlaceholder(const SyntaxNode* n)
{
    return n && n->type == NODE_STRING && n->value.text && strcmp(n->value.text, kThisPlaceholder) == 0;
}

// THIS becomes the instance's own name, entered in the string table.
void replaceThis(SyntaxNode* n, const Instance* instance)
{
    free(n->value.text);
    n->value.text = copyText(instance->thisName);
    n->entry = SYMaddstring(instance->thisName);
}

// target = value, or the delay-time node, made from an initial value.
SyntaxNode* initialStatement(const char* symbolName, SyntaxNode* value, int type)
{
    SyntaxNode* target = makeNameNode(symbolName, NODE_VARIABLE, value->line);
    return makeNode(target, value, type, value->line);
}

void appendVariable(CodeVariable* v)
{
    VariableList list = variableListOfKind(v->kind);
    VariableChain& chain = variables[list];
    if (chain.tail)
        chain.tail->next = v;
    else
        chain.head = v;
    chain.tail = v;
    variableIndex[list].emplace(v->name, v);
}

// The name of the procedure instance "_" name, or null.
CodeProcedure* findProcedure(const Instance* instance, const char* name)
{
    std::string full = std::string(instance->name) + "_" + name;
    auto found = procedureIndex.find(ProcedureKey{instance, full});
    return found != procedureIndex.end() ? found->second : nullptr;
}

int bindNode(SyntaxNode* n, Instance* instance, int sequencesAllowed, bool root);

// Along the sequence in a loop: it may be as long as the text.
KYT_WALK_HELPER int bindSequence(SyntaxNode* n, Instance* instance, int sequencesAllowed)
{
    return visitStatements(&n, [=](SyntaxNode** s) { return bindNode(*s, instance, sequencesAllowed, false) != 0; })
               ? 1
               : 0;
}

int bindNode(SyntaxNode* n, Instance* instance, int sequencesAllowed, bool root)
{
    if (!n)
        return 0;
    if (n->type == NODE_SEQUENCE && !root && !sequencesAllowed) {
        compileErrorAtLine(n->line, kStrInternalNtseq);
        return 1;
    }
    if (n->type == NODE_SEQUENCE)
        return bindSequence(n, instance, sequencesAllowed);
    if (bindNode(n->left, instance, sequencesAllowed, false) ||
        bindNode(n->right, instance, sequencesAllowed, false))
        return 1;
    switch (n->type) {
    case NODE_VARIABLE:
    case NODE_STRING_INDEX: {
        const Symbol* s = findBlockTypeSymbol(instance->blockType, n->value.text);
        if (!s) {
            compileErrorAtLine(n->line, kStrSymbolNotDefinedInBlock, n->value.text, instance->name);
            return 1;
        }
        CodeVariable* v = findVariable(instance, s);
        if (!v) {
            compileErrorAtLine(n->line, kStrInternalSymbolNotInTable, n->value.text, instance->name);
            return 1;
        }
        n->entry = v;
        return 0;
    }
    case NODE_STRING_PARAMETER:
        compileErrorAtLine(n->line, kStrNoStringHere);
        return 1;
    case NODE_PROCEDURE_NAME: {
        CodeProcedure* p = findProcedure(instance, n->value.text);
        if (!p) {
            compileErrorAtLine(n->line, kStrProcedureNotDefinedInBlock, n->value.text, instance->name);
            return 1;
        }
        n->entry = p;
        p->used |= 1;
        return 0;
    }
    case NODE_STRING:
        if (isThisPlaceholder(n))
            replaceThis(n, instance);
        return 0;
    case NODE_INDEXED: {
        // The index selects a time on a delay line: any other variable has
        // no line, and its location would address a line that is not there.
        const SyntaxNode* name = n->left;
        const CodeVariable* v = name && name->type == NODE_VARIABLE
                                    ? static_cast<const CodeVariable*>(name->entry)
                                    : nullptr;
        if (v && v->kind != SYMBOL_DELAY) {
            compileErrorAtLine(n->line, kStrOnlyDelayIndexed, v->name);
            return 1;
        }
        return 0;
    }
    default:
        return 0;
    }
}

// ---- SWITCH symmetry

void collectAssignments(const SyntaxNode* n, std::vector<const SyntaxNode*>& out);

KYT_WALK_HELPER void collectSequenceAssignments(const SyntaxNode* n, std::vector<const SyntaxNode*>& out)
{
    visitStatements(n, [&out](const SyntaxNode* s) {
        collectAssignments(s, out);
        return false;
    });
}

void collectAssignments(const SyntaxNode* n, std::vector<const SyntaxNode*>& out)
{
    if (!n)
        return;
    if (n->type == NODE_SEQUENCE) {
        collectSequenceAssignments(n, out);
        return;
    }
    if (n->type == NODE_ASSIGN || n->type == NODE_DERIVATIVE || n->type == NODE_DELAY_TIME)
        out.push_back(n);
    collectAssignments(n->left, out);
    collectAssignments(n->right, out);
}

const char* targetName(const SyntaxNode* assignment, unsigned int fatalId)
{
    const SyntaxNode* t = assignment->left;
    if (!t || t->type != NODE_VARIABLE)
        compileInternalError(fatalId);
    return t->value.text;
}

int checkOneSwitch(const SyntaxNode* sw)
{
    const SyntaxNode* variable = sw->left;
    if (!variable || variable->type != NODE_VARIABLE)
        compileInternalError(kStrInternalSwitchNotVariable);

    std::vector<const SyntaxNode*> all;
    collectAssignments(sw->right, all);
    for (const SyntaxNode* a : all) {
        if (strcmp(targetName(a, kStrInternalLhsNotVariable), variable->value.text) == 0) {
            compileErrorAtLine(a->line, kStrSwitchVariableAsLhs, variable->value.text);
            return 1;
        }
    }

    // From the outer end of the chain: the last written case first.
    std::vector<const SyntaxNode*> cases;
    for (const SyntaxNode* chain = sw->right; chain; chain = chain->left) {
        if (chain->type != NODE_CASE_CHAIN)
            compileInternalError(kStrInternalUnknownCaseNode);
        if (chain->right)
            cases.push_back(chain->right);
    }
    if (cases.empty())
        return 0;

    // The work list: the first case's targets, each with its mark.
    std::vector<std::string> targets;
    std::vector<bool> marked;
    std::vector<const SyntaxNode*> first;
    collectAssignments(cases[0]->right, first);
    for (const SyntaxNode* a : first) {
        std::string name = targetName(a, kStrInternalTargetNotVariable);
        bool known = false;
        for (const std::string& t : targets)
            known |= t == name;
        if (!known) {
            targets.push_back(name);
            marked.push_back(false);
        }
    }
    for (size_t c = 1; c < cases.size(); ++c) {
        std::vector<const SyntaxNode*> assignments;
        collectAssignments(cases[c]->right, assignments);
        for (const SyntaxNode* a : assignments) {
            std::string name = targetName(a, kStrInternalTargetNotVariable);
            bool found = false;
            for (size_t i = 0; i < targets.size(); ++i)
                if (targets[i] == name) {
                    marked[i] = true;
                    found = true;
                }
            if (!found) {
                compileErrorAtLine(a->line, kStrSwitchVariableUnbalanced, name.c_str());
                return 1;
            }
        }
        for (size_t i = 0; i < targets.size(); ++i) {
            if (!marked[i]) {
                compileErrorAtLine(cases[c]->line, kStrSwitchVariableUnbalanced, targets[i].c_str());
                return 1;
            }
            marked[i] = false;
        }
    }
    return 0;
}

void freeVariable(CodeVariable* v)
{
    free(v->name);
    freeTree(v->initialCode);
    free(v);
}

} // namespace

CodeVariable* codeVariables(VariableList list)
{
    return variables[list].head;
}

CodeProcedure* codeProcedures()
{
    return procedureHead;
}

StatementList* initStatements()
{
    return &initList;
}

StatementList* contStatements()
{
    return &contList;
}

VariableList variableListOfKind(int kind)
{
    switch (kind) {
    case SYMBOL_INPUT:
    case SYMBOL_OUTPUT:
    case SYMBOL_VAR:
        return LIST_V;
    case SYMBOL_PARAMETER:
        return LIST_PARAMETERS;
    case SYMBOL_STATE:
        return LIST_STATES;
    case SYMBOL_DELAY:
        return LIST_DELAYS;
    default:
        compileInternalError(kStrInternalUnknownSignalKind);
    }
}

int instantiateBlock(Instance* instance)
{
    const BlockType* type = instance->blockType;
    for (const Symbol* value = instance->parameterValues; value; value = value->next) {
        const Symbol* s = findBlockTypeSymbol(type, value->name);
        if (!s) {
            compileError(kStrUnknownActualParameter, value->name, instance->name);
            return 1;
        }
        if (s->kind != SYMBOL_PARAMETER) {
            compileError(kStrSymbolNotParameter, value->name, instance->name);
            return 1;
        }
    }

    int failed = 0;
    for (const Symbol* s = type->symbols; s; s = s->next) {
        CodeVariable* v = static_cast<CodeVariable*>(checkedCalloc(sizeof(CodeVariable)));
        v->instance = instance;
        v->name = joinedName(instance->name, s->name);
        v->kind = s->kind;
        v->flags = s->attributes & (VARIABLE_DISCRETE | VARIABLE_STRING_PARAMETER | VARIABLE_SOCKET_PARAMETER);
        bool textParameter = s->kind == SYMBOL_PARAMETER && (s->attributes & (SYMBOL_STRING | SYMBOL_SOCKET));
        if (textParameter)
            v->flags |= VARIABLE_INITIALIZED;
        v->location = -1;
        appendVariable(v);   // fatal for a kind without a list

        const Symbol* given = findParameterValue(instance, s->name);
        const SyntaxNode* initial = given ? given->initialValue : s->initialValue;
        if (!initial)
            continue;
        if (textParameter) {
            SyntaxNode* copy = copyTree(initial);
            if (copy->type != NODE_STRING) {
                compileError(kStrStringExpectedInAssignment, s->name, instance->name);
                failed = 1;
            } else if (isThisPlaceholder(copy)) {
                // Replaced here, not when the code is bound: a STRING
                // parameter must push the index of the name, and SOCKET
                // parameters are matched by this text.
                replaceThis(copy, instance);
            }
            v->initialCode = initialStatement(s->name, copy, NODE_ASSIGN);
        } else if (s->kind == SYMBOL_VAR) {
            v->initialCode = initialStatement(s->name, copyTree(initial), NODE_ASSIGN);
        } else if (s->kind == SYMBOL_DELAY) {
            v->initialCode = initialStatement(s->name, copyTree(initial), NODE_DELAY_TIME);
        } else {
            double value = 0;
            switch (foldConstant(initial, &value)) {
            case FOLD_CONSTANT:
                v->value = value;
                v->flags |= VARIABLE_INITIALIZED;
                break;
            case FOLD_NON_FINITE:
                // 1e200*1e200 would reach the PI text as a word the loader
                // cannot read back.
                compileErrorAtLine(initial->line, kStrNumberOutOfRange);
                return 1;
            default:
                v->initialCode = initialStatement(s->name, copyTree(initial), NODE_ASSIGN);
                break;
            }
        }
    }
    return failed;
}

void createProcedures(Instance* instance)
{
    for (const Procedure* p = instance->blockType->procedures; p; p = p->next) {
        CodeProcedure* c = static_cast<CodeProcedure*>(checkedCalloc(sizeof(CodeProcedure)));
        c->name = joinedName(instance->name, p->name->value.text);
        c->instance = instance;
        c->body = p->body;
        c->number = -1;
        c->statements = static_cast<StatementList*>(checkedCalloc(sizeof(StatementList)));
        if (procedureTail)
            procedureTail->next = c;
        else
            procedureHead = c;
        procedureTail = c;
        procedureIndex.emplace(ProcedureKey{instance, c->name}, c);
    }
}

CodeVariable* findVariable(const Instance* instance, const Symbol* symbol)
{
    std::string full = std::string(instance->name) + "_" + symbol->name;
    const auto& index = variableIndex[variableListOfKind(symbol->kind)];
    auto found = index.find(full);
    return found != index.end() ? found->second : nullptr;
}

int checkConnections()
{
    for (const Connection* c = connectionList(); c; c = c->next) {
        const SignalReference* from = c->source;
        const SignalReference* to = c->target;
        CodeVariable* source = findVariable(from->instance, from->symbol);
        if (!source) {
            compileError(kStrConnectNoSuchSignal, from->instance->name, from->symbol->name);
            return 1;
        }
        if (source->kind != SYMBOL_OUTPUT) {
            compileError(kStrConnectNotAnOutput, from->instance->name, from->symbol->name);
            return 1;
        }
        CodeVariable* target = findVariable(to->instance, to->symbol);
        if (!target) {
            compileError(kStrConnectNoSuchSignal, to->instance->name, to->symbol->name);
            return 1;
        }
        if (target->kind != SYMBOL_INPUT) {
            compileError(kStrConnectNotAnInput, to->instance->name, to->symbol->name);
            return 1;
        }
        if (target->alias) {
            compileError(kStrConnectInputAlreadyConnected, to->instance->name, to->symbol->name);
            return 1;
        }
        target->alias = source;
    }

    for (const CodeVariable* v = variables[LIST_V].head; v; v = v->next) {
        if (v->kind == SYMBOL_INPUT && !v->alias) {
            compileError(kStrConnectInputNotConnected, v->name);
            return 1;
        }
    }

    for (const SavedSignal* s = savedSignalList(); s; s = s->next) {
        const SignalReference* r = s->signal;
        CodeVariable* v = findVariable(r->instance, r->symbol);
        if (!v) {
            compileError(kStrSaveNoSuchSignal, r->instance->name, r->symbol->name);
            return 1;
        }
        if (v->kind == SYMBOL_INPUT) {
            compileError(kStrSaveInputNotSavable, r->instance->name, r->symbol->name);
            return 1;
        }
        v->flags |= (r->derivative && v->kind == SYMBOL_STATE) ? VARIABLE_DERIVATIVE_SAVED : VARIABLE_SAVED;
    }

    // Sockets of the same text share the first one's place.
    std::unordered_map<std::string_view, CodeVariable*> firstOfText;
    for (CodeVariable* p = variables[LIST_PARAMETERS].head; p; p = p->next) {
        if (!(p->flags & VARIABLE_SOCKET_PARAMETER) || p->alias || !p->initialCode)
            continue;
        auto first = firstOfText.emplace(p->initialCode->right->value.text, p);
        if (!first.second)
            p->alias = first.first->second;
    }

    for (int list = 0; list < kVariableLists; ++list) {
        for (CodeVariable* v = variables[list].head; v; v = v->next) {
            if (!v->initialCode)
                continue;
            if (v->flags & (VARIABLE_STRING_PARAMETER | VARIABLE_SOCKET_PARAMETER))
                continue;   // kept: their text is read where the code uses them
            if (v->kind == SYMBOL_PARAMETER && v->initialCode->right &&
                v->initialCode->right->type == NODE_STRING) {
                compileError(kStrNoStringForParameter, v->name);
                return 1;
            }
            SyntaxNode* statement = v->initialCode;
            v->initialCode = nullptr;
            if (checkInitCode(statement)) {
                freeTree(statement);
                return 1;
            }
            if (appendStatements(&initList, statement, v->instance, 0))
                return 1;
        }
    }
    return 0;
}

int appendStatements(StatementList* list, SyntaxNode* tree, Instance* instance, int sequencesAllowed)
{
    if (!tree)
        return 0;
    std::vector<SyntaxNode**> slots;
    sequenceSlots(&tree, slots);
    std::vector<SyntaxNode*> statements;
    for (SyntaxNode** s : slots)
        statements.push_back(*s);
    // The sequence nodes go; the statements move into the list.
    freeSequenceNodes(tree);
    for (size_t i = 0; i < statements.size(); ++i) {
        if (bindNode(statements[i], instance, sequencesAllowed, true)) {
            for (size_t j = i; j < statements.size(); ++j)
                freeTree(statements[j]);
            return 1;
        }
        appendStatement(list, statements[i]);
    }
    return 0;
}

KYT_WALK_HELPER static int checkSwitchInSequence(const SyntaxNode* tree)
{
    return visitStatements(tree, [](const SyntaxNode* s) { return checkSwitch(s) != 0; }) ? 1 : 0;
}

int checkSwitch(const SyntaxNode* tree)
{
    if (!tree)
        return 0;
    if (tree->type == NODE_SEQUENCE)
        return checkSwitchInSequence(tree);
    if (checkSwitch(tree->left) || checkSwitch(tree->right))
        return 1;
    return tree->type == NODE_SWITCH ? checkOneSwitch(tree) : 0;
}

void appendStatement(StatementList* list, SyntaxNode* tree)
{
    Statement* s = static_cast<Statement*>(CheckedAlloc(sizeof(Statement)));
    s->next = nullptr;
    s->tree = tree;
    if (list->tail)
        list->tail->next = s;
    else
        list->head = s;
    list->tail = s;
}

void freeStatementList(StatementList* list)
{
    Statement* s = list->head;
    while (s) {
        Statement* next = s->next;
        freeTree(s->tree);
        free(s);
        s = next;
    }
    list->head = list->tail = nullptr;
}

void freeGeneratedCode()
{
    for (VariableChain& chain : variables) {
        CodeVariable* v = chain.head;
        while (v) {
            CodeVariable* next = v->next;
            freeVariable(v);
            v = next;
        }
        chain.head = chain.tail = nullptr;
    }
    // New tables: clear() would keep a large circuit's buckets.
    for (auto& index : variableIndex)
        std::unordered_map<std::string_view, CodeVariable*>().swap(index);
    std::unordered_map<ProcedureKey, CodeProcedure*, ProcedureKeyHash>().swap(procedureIndex);
    freeStatementList(&initList);
    freeStatementList(&contList);
    CodeProcedure* p = procedureHead;
    while (p) {
        CodeProcedure* next = p->next;
        freeStatementList(p->statements);
        free(p->statements);
        free(p->name);
        free(p);
        p = next;
    }
    procedureHead = procedureTail = nullptr;
}
