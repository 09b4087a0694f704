#include "SymbolTables.h"

#include "CompilerMessages.h"
#include "SyntaxTree.h"

#include "CheckedHeap.h"
#include "ErrorReporter.h"
#include "ModuleRegistry.h"
#include "ResString.h"

#include <cstdlib>
#include <cstring>

const char* const kThisPlaceholder = "\"$THIS$\"";

namespace {

BlockType* blockTypes = nullptr;
Instance* instances = nullptr;
Connection* connections = nullptr;
SavedSignal* savedSignals = nullptr;
StringConstant* stringConstants = nullptr;
char* theCircuitName = nullptr;

// The block being read.
char* openName = nullptr;
char* openPrefix = nullptr;
char* overrideName = nullptr;

// Values of the block or instance being read.
Symbol* pendingSymbolList = nullptr;
SyntaxNode* pendingContinuous = nullptr;
SyntaxNode* pendingInitial = nullptr;
bool continuousSet = false;
bool initialSet = false;
Procedure* pendingProcedureList = nullptr;

char* copyText(const char* text)
{
    if (!text)
        text = "";
    size_t n = strlen(text) + 1;
    char* copy = static_cast<char*>(CheckedAlloc(n));
    memcpy(copy, text, n);
    return copy;
}

template <class T>
T* newRecord()
{
    return static_cast<T*>(checkedCalloc(sizeof(T)));
}

template <class T>
void appendTo(T** head, T* record)
{
    T** p = head;
    while (*p)
        p = &(*p)->next;
    *p = record;
}

bool sameText(const char* a, const char* b)
{
    return strcmp(a ? a : "", b ? b : "") == 0;
}

void freeSymbols(Symbol* s)
{
    while (s) {
        Symbol* next = s->next;
        free(s->name);
        free(s->comment);
        freeTree(s->initialValue);
        free(s);
        s = next;
    }
}

void freeProcedures(Procedure* p)
{
    while (p) {
        Procedure* next = p->next;
        freeTree(p->name);
        freeTree(p->body);
        free(p);
        p = next;
    }
}

void clearText(char** text)
{
    free(*text);
    *text = nullptr;
}

BlockType* findBlockType(const char* prefix, const char* typeName)
{
    for (BlockType* b = blockTypes; b; b = b->next)
        if (sameText(b->prefix, prefix) && sameText(b->typeName, typeName))
            return b;
    return nullptr;
}

Instance* findInstance(const char* name)
{
    for (Instance* i = instances; i; i = i->next)
        if (strcmp(i->name, name) == 0)
            return i;
    return nullptr;
}

} // namespace

StringConstant* SYMaddstring(const char* text)
{
    if (!text)
        compileInternalError(20700);
    int index = 0;
    for (StringConstant* s = stringConstants; s; s = s->next) {
        if (strcmp(s->text, text) == 0)
            return s;
        if (strcmp(s->text, kThisPlaceholder) != 0)
            ++index;
    }
    StringConstant* entry = newRecord<StringConstant>();
    entry->text = copyText(text);
    entry->index = index;
    appendTo(&stringConstants, entry);
    return entry;
}

int openBlock(const char* prefix, const char* name)
{
    if (openName || openPrefix)
        return 1;
    openPrefix = copyText(prefix);
    openName = copyText(name);
    return 0;
}

const char* currentBlockName()
{
    return openName ? openName : "";
}

const char* currentBlockPrefix()
{
    return openPrefix ? openPrefix : "";
}

void setTypeNameOverride(const char* text)
{
    clearText(&overrideName);
    if (text)
        overrideName = copyText(text);
}

const char* typeNameOverride()
{
    return overrideName;
}

Symbol* addSymbol(const char* name, int kind, const char* comment, int attributes,
                  SyntaxNode* initialValue)
{
    if (findSymbol(name))
        return nullptr;
    Symbol* s = newRecord<Symbol>();
    s->name = copyText(name);
    s->attributes = attributes;
    s->kind = kind;
    s->comment = copyText(comment);
    s->initialValue = initialValue;
    appendTo(&pendingSymbolList, s);
    return s;
}

Symbol* findSymbol(const char* name)
{
    for (Symbol* s = pendingSymbolList; s; s = s->next)
        if (strcmp(s->name, name) == 0)
            return s;
    return nullptr;
}

void setContinuousCode(SyntaxNode* tree)
{
    if (continuousSet)
        compileInternalError(20703);
    continuousSet = true;
    pendingContinuous = tree;
}

void setInitialCode(SyntaxNode* tree)
{
    if (initialSet)
        compileInternalError(20704);
    initialSet = true;
    pendingInitial = tree;
}

int addProcedure(SyntaxNode* name, SyntaxNode* body)
{
    for (Procedure* p = pendingProcedureList; p; p = p->next)
        if (strcmp(p->name->value.text, name->value.text) == 0)
            return 1;
    Procedure* p = newRecord<Procedure>();
    p->name = name;
    p->body = body;
    appendTo(&pendingProcedureList, p);
    return 0;
}

void discardPendingValues()
{
    freeSymbols(pendingSymbolList);
    pendingSymbolList = nullptr;
    freeTree(pendingContinuous);
    pendingContinuous = nullptr;
    freeTree(pendingInitial);
    pendingInitial = nullptr;
    continuousSet = false;
    initialSet = false;
    freeProcedures(pendingProcedureList);
    pendingProcedureList = nullptr;
}

int closeBlock(const char* name)
{
    if (!name)
        return 2;
    if (!openName || strcmp(openName, name) != 0)
        return 1;
    const char* typeName = overrideName ? overrideName : openName;
    BlockType* existing = findBlockType(openPrefix, typeName);
    if (existing) {
        // The values of a refused block must not end up in the next one.
        clearText(&openName);
        clearText(&openPrefix);
        discardPendingValues();
        return 2;
    }
    BlockType* b = newRecord<BlockType>();
    b->prefix = copyText(openPrefix);
    b->typeName = copyText(typeName);
    size_t lp = strlen(b->prefix), lt = strlen(b->typeName);
    b->key = static_cast<char*>(CheckedAlloc(lp + lt + 1));
    memcpy(b->key, b->prefix, lp);
    memcpy(b->key + lp, b->typeName, lt + 1);
    b->symbols = pendingSymbolList;
    b->continuousCode = pendingContinuous;
    b->initialCode = pendingInitial;
    b->procedures = pendingProcedureList;
    pendingSymbolList = nullptr;
    pendingContinuous = nullptr;
    pendingInitial = nullptr;
    pendingProcedureList = nullptr;
    continuousSet = false;
    initialSet = false;
    clearText(&openName);
    clearText(&openPrefix);
    appendTo(&blockTypes, b);
    return 0;
}

void setCircuitName(const char* name)
{
    if (theCircuitName)
        compileInternalError(20705);
    theCircuitName = copyText(name);
}

const char* circuitName()
{
    return theCircuitName;
}

int addInstance(const char* prefix, const char* typeName, const char* instanceName,
                const char* thisName)
{
    int result = 0;
    BlockType* type = nullptr;
    if (instanceName[0] == 'd')
        result = 3;
    else if (findInstance(instanceName))
        result = 1;
    else if (!(type = findBlockType(prefix, overrideName ? overrideName : typeName)))
        result = 2;
    if (result) {
        // The values of a refused instance must not go to the next one.
        discardPendingValues();
        return result;
    }
    Instance* i = newRecord<Instance>();
    i->name = copyText(instanceName);
    i->thisName = copyText(thisName);
    i->parameterValues = pendingSymbolList;
    pendingSymbolList = nullptr;
    i->blockType = type;
    appendTo(&instances, i);
    return 0;
}

int resolveSignal(const char* instanceName, const char* symbolName, SignalReference** result)
{
    *result = nullptr;
    int derivative = instanceName[0] == 'd';
    Instance* instance = findInstance(derivative ? instanceName + 1 : instanceName);
    if (!instance)
        return 1;
    Symbol* symbol = nullptr;
    for (Symbol* s = instance->blockType->symbols; s; s = s->next)
        if (strcmp(s->name, symbolName) == 0) {
            symbol = s;
            break;
        }
    if (!symbol || (derivative && symbol->kind != SYMBOL_STATE))
        return 2;
    SignalReference* ref = static_cast<SignalReference*>(CheckedAlloc(sizeof(SignalReference)));
    ref->instance = instance;
    ref->symbol = symbol;
    ref->derivative = derivative;
    *result = ref;
    return 0;
}

int addSave(SignalReference* signal)
{
    if (!signal)
        return 1;
    SavedSignal* s = newRecord<SavedSignal>();
    s->signal = signal;
    appendTo(&savedSignals, s);
    return 0;
}

int addConnection(SignalReference* target, SignalReference* source)
{
    Connection* c = newRecord<Connection>();
    c->source = source;
    c->target = target;
    appendTo(&connections, c);
    return 0;
}

void freeSymbolTables()
{
    while (blockTypes) {
        BlockType* next = blockTypes->next;
        free(blockTypes->prefix);
        free(blockTypes->typeName);
        free(blockTypes->key);
        freeSymbols(blockTypes->symbols);
        freeTree(blockTypes->continuousCode);
        freeTree(blockTypes->initialCode);
        freeProcedures(blockTypes->procedures);
        free(blockTypes);
        blockTypes = next;
    }
    while (instances) {
        Instance* next = instances->next;
        free(instances->name);
        free(instances->thisName);
        freeSymbols(instances->parameterValues);
        free(instances);
        instances = next;
    }
    while (connections) {
        Connection* next = connections->next;
        free(connections->source);
        free(connections->target);
        free(connections);
        connections = next;
    }
    while (savedSignals) {
        SavedSignal* next = savedSignals->next;
        free(savedSignals->signal);
        free(savedSignals);
        savedSignals = next;
    }
    while (stringConstants) {
        StringConstant* next = stringConstants->next;
        free(stringConstants->text);
        free(stringConstants);
        stringConstants = next;
    }
    clearText(&theCircuitName);
    clearText(&openName);
    clearText(&openPrefix);
    clearText(&overrideName);
    discardPendingValues();
    ModuleRegistryFree();
}

BlockType* blockTypeList() { return blockTypes; }
Instance* instanceList() { return instances; }
Connection* connectionList() { return connections; }
SavedSignal* savedSignalList() { return savedSignals; }
StringConstant* stringConstantList() { return stringConstants; }
Symbol* pendingSymbols() { return pendingSymbolList; }
Procedure* pendingProcedures() { return pendingProcedureList; }
