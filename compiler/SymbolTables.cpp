#include "SymbolTables.h"

#include "CompilerMessages.h"
#include "SyntaxTree.h"

#include "CheckedHeap.h"
#include "ErrorReporter.h"
#include "ModuleCatalog.h"
#include "ResString.h"
#include "strings/CompilerStrings.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

const char* const kThisPlaceholder = "\"$THIS$\"";

namespace {

// Every list is kept with its last record, so that an append walks
// nothing: a circuit of many thousand instances and connections would
// otherwise take time growing with the square of its size.
BlockType* blockTypes = nullptr;
BlockType* blockTypesTail = nullptr;
Instance* instances = nullptr;
Instance* instancesTail = nullptr;
Connection* connections = nullptr;
Connection* connectionsTail = nullptr;
SavedSignal* savedSignals = nullptr;
SavedSignal* savedSignalsTail = nullptr;
StringConstant* stringConstants = nullptr;
StringConstant* stringConstantsTail = nullptr;
char* theCircuitName = nullptr;

// The block being read.
char* openName = nullptr;
char* openPrefix = nullptr;
char* overrideName = nullptr;

// Values of the block or instance being read.
Symbol* pendingSymbolList = nullptr;
Symbol* pendingSymbolTail = nullptr;
SyntaxNode* pendingContinuous = nullptr;
SyntaxNode* pendingInitial = nullptr;
bool continuousSet = false;
bool initialSet = false;
Procedure* pendingProcedureList = nullptr;
Procedure* pendingProcedureTail = nullptr;

// Name indexes beside the lists. The lists keep their order (the PI text is
// written from them); an index only finds an entry without a walk. Keys view
// the records' own texts, which live as long as the records. Names compare
// byte by byte, as strcmp does.
//
// A symbol is indexed under its owner: the block type, the instance whose
// parameter values it is, or (while it is pending) no owner. The lists hold
// each name once per owner (addSymbol refuses a second one), so the index
// finds what a walk from the head would.
struct OwnedName {
    const void* owner;
    std::string_view name;
    bool operator==(const OwnedName& other) const
    {
        return owner == other.owner && name == other.name;
    }
};

struct OwnedNameHash {
    size_t operator()(const OwnedName& key) const
    {
        size_t h = std::hash<std::string_view>()(key.name);
        return h ^ (std::hash<const void*>()(key.owner) + 0x9e3779b97f4a7c15ull + (h << 6) + (h >> 2));
    }
};

std::unordered_map<OwnedName, Symbol*, OwnedNameHash> symbolIndex;
std::unordered_map<std::string_view, Procedure*> pendingProcedureIndex;
std::unordered_map<std::string, BlockType*> blockTypeIndex;
std::unordered_map<std::string_view, Instance*> instanceIndex;
std::unordered_map<std::string_view, StringConstant*> stringConstantIndex;
// The index the next string constant gets: THIS takes none.
int nextStringIndex = 0;

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
void appendTo(T** head, T** tail, T* record)
{
    if (*tail)
        (*tail)->next = record;
    else
        *head = record;
    *tail = record;
}

// Emptied by assigning a new one: clear() would also sweep the buckets a
// large table left, once for every small block or instance after it.
template <class Map>
void dropIndex(Map& index)
{
    Map().swap(index);
}

// The pending symbols go to their owner (null: they are dropped).
void movePendingSymbols(const void* owner)
{
    for (Symbol* s = pendingSymbolList; s; s = s->next) {
        symbolIndex.erase(OwnedName{nullptr, s->name});
        if (owner)
            symbolIndex.emplace(OwnedName{owner, s->name}, s);
    }
}

void forgetPendingProcedures()
{
    for (Procedure* p = pendingProcedureList; p; p = p->next)
        pendingProcedureIndex.erase(p->name->value.text);
}

std::string blockTypeKey(const char* prefix, const char* typeName)
{
    std::string key = prefix ? prefix : "";
    key += '\0';
    key += typeName ? typeName : "";
    return key;
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

// The pair compared whole; a null text stands for "" (no name holds a NUL).
BlockType* findBlockType(const char* prefix, const char* typeName)
{
    auto found = blockTypeIndex.find(blockTypeKey(prefix, typeName));
    return found != blockTypeIndex.end() ? found->second : nullptr;
}

Instance* findInstance(const char* name)
{
    auto found = instanceIndex.find(name);
    return found != instanceIndex.end() ? found->second : nullptr;
}

Symbol* findOwnedSymbol(const void* owner, const char* name)
{
    auto found = symbolIndex.find(OwnedName{owner, name});
    return found != symbolIndex.end() ? found->second : nullptr;
}

} // namespace

StringConstant* SYMaddstring(const char* text)
{
    if (!text)
        compileInternalError(kStrInternalAddStringNull);
    auto found = stringConstantIndex.find(text);
    if (found != stringConstantIndex.end())
        return found->second;
    StringConstant* entry = newRecord<StringConstant>();
    entry->text = copyText(text);
    // The index counts the constants before it, THIS not among them.
    entry->index = nextStringIndex;
    if (strcmp(entry->text, kThisPlaceholder) != 0)
        ++nextStringIndex;
    appendTo(&stringConstants, &stringConstantsTail, entry);
    stringConstantIndex.emplace(entry->text, entry);
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
    appendTo(&pendingSymbolList, &pendingSymbolTail, s);
    symbolIndex.emplace(OwnedName{nullptr, s->name}, s);
    return s;
}

Symbol* findSymbol(const char* name)
{
    return findOwnedSymbol(nullptr, name);
}

const Symbol* findBlockTypeSymbol(const BlockType* type, const char* name)
{
    return findOwnedSymbol(type, name);
}

const Symbol* findParameterValue(const Instance* instance, const char* name)
{
    return findOwnedSymbol(instance, name);
}

void setContinuousCode(SyntaxNode* tree)
{
    if (continuousSet)
        compileInternalError(kStrInternalSimSectionPrepared);
    continuousSet = true;
    pendingContinuous = tree;
}

void setInitialCode(SyntaxNode* tree)
{
    if (initialSet)
        compileInternalError(kStrInternalInitSectionPrepared);
    initialSet = true;
    pendingInitial = tree;
}

int addProcedure(SyntaxNode* name, SyntaxNode* body)
{
    if (pendingProcedureIndex.count(name->value.text))
        return 1;
    Procedure* p = newRecord<Procedure>();
    p->name = name;
    p->body = body;
    appendTo(&pendingProcedureList, &pendingProcedureTail, p);
    pendingProcedureIndex.emplace(p->name->value.text, p);
    return 0;
}

void discardPendingValues()
{
    movePendingSymbols(nullptr);
    forgetPendingProcedures();
    freeSymbols(pendingSymbolList);
    pendingSymbolList = pendingSymbolTail = nullptr;
    freeTree(pendingContinuous);
    pendingContinuous = nullptr;
    freeTree(pendingInitial);
    pendingInitial = nullptr;
    continuousSet = false;
    initialSet = false;
    freeProcedures(pendingProcedureList);
    pendingProcedureList = pendingProcedureTail = nullptr;
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
    movePendingSymbols(b);
    forgetPendingProcedures();
    b->symbols = pendingSymbolList;
    b->continuousCode = pendingContinuous;
    b->initialCode = pendingInitial;
    b->procedures = pendingProcedureList;
    pendingSymbolList = pendingSymbolTail = nullptr;
    pendingContinuous = nullptr;
    pendingInitial = nullptr;
    pendingProcedureList = pendingProcedureTail = nullptr;
    continuousSet = false;
    initialSet = false;
    clearText(&openName);
    clearText(&openPrefix);
    appendTo(&blockTypes, &blockTypesTail, b);
    blockTypeIndex.emplace(blockTypeKey(b->prefix, b->typeName), b);
    return 0;
}

void setCircuitName(const char* name)
{
    if (theCircuitName)
        compileInternalError(kStrInternalCircuitDefined);
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
    movePendingSymbols(i);
    i->parameterValues = pendingSymbolList;
    pendingSymbolList = pendingSymbolTail = nullptr;
    i->blockType = type;
    appendTo(&instances, &instancesTail, i);
    instanceIndex.emplace(i->name, i);
    return 0;
}

int resolveSignal(const char* instanceName, const char* symbolName, SignalReference** result)
{
    *result = nullptr;
    int derivative = instanceName[0] == 'd';
    Instance* instance = findInstance(derivative ? instanceName + 1 : instanceName);
    if (!instance)
        return 1;
    Symbol* symbol = findOwnedSymbol(instance->blockType, symbolName);
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
    appendTo(&savedSignals, &savedSignalsTail, s);
    return 0;
}

int addConnection(SignalReference* target, SignalReference* source)
{
    Connection* c = newRecord<Connection>();
    c->source = source;
    c->target = target;
    appendTo(&connections, &connectionsTail, c);
    return 0;
}

void freeSymbolTables()
{
    dropIndex(symbolIndex);
    dropIndex(pendingProcedureIndex);
    dropIndex(blockTypeIndex);
    dropIndex(instanceIndex);
    dropIndex(stringConstantIndex);
    nextStringIndex = 0;
    blockTypesTail = nullptr;
    instancesTail = nullptr;
    connectionsTail = nullptr;
    savedSignalsTail = nullptr;
    stringConstantsTail = nullptr;
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
    moduleCatalog().free();
}

BlockType* blockTypeList() { return blockTypes; }
Instance* instanceList() { return instances; }
Connection* connectionList() { return connections; }
SavedSignal* savedSignalList() { return savedSignals; }
StringConstant* stringConstantList() { return stringConstants; }
Symbol* pendingSymbols() { return pendingSymbolList; }
Procedure* pendingProcedures() { return pendingProcedureList; }
