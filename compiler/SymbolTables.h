// The compiler's symbol tables: what a model text declares, entered by the
// parser's actions in text order (the block types with their symbols, code
// and procedures, then the circuit's instances, connections and saved
// signals, and the string constants) and read by the back end. The tables own
// every record, text and tree in them; freeSymbolTables empties them after
// each compilation. Names compare byte by byte, case-sensitively.
#ifndef KYT_COMPILER_SYMBOLTABLES_H
#define KYT_COMPILER_SYMBOLTABLES_H

struct SyntaxNode;

enum SymbolKind {
    SYMBOL_INPUT = 0,
    SYMBOL_OUTPUT = 1,
    SYMBOL_PARAMETER = 2,
    SYMBOL_VAR = 3,
    SYMBOL_STATE = 4,
    SYMBOL_PARAMETER_VALUE = 5,   // a parameter value of an instance
    SYMBOL_DELAY = 6
};

enum SymbolAttribute {
    SYMBOL_DISCRETE = 1,
    SYMBOL_STRING = 128,
    SYMBOL_SOCKET = 256
};

struct Symbol {
    Symbol* next;
    char* name;
    int attributes;            // SymbolAttribute bits
    int kind;                  // SymbolKind
    char* comment;             // "" when the declaration has none
    SyntaxNode* initialValue;  // or null
};

struct Procedure {
    Procedure* next;
    SyntaxNode* name;          // procedure-name node, its text in the value
    SyntaxNode* body;
};

struct BlockType {
    BlockType* next;
    // The key is the pair (FROM prefix, type name), compared whole; the type
    // name is the FROM clause's override when it has one, else the block name.
    char* prefix;
    char* typeName;
    char* key;                 // prefix and type name run together, for texts
    Symbol* symbols;
    SyntaxNode* continuousCode;  // SIM section, or null
    SyntaxNode* initialCode;     // INIT section, or null
    Procedure* procedures;
};

struct Instance {
    Instance* next;
    char* name;
    char* thisName;            // "" when the USE gives none
    Symbol* parameterValues;   // kind 5, the value tree as initial value
    BlockType* blockType;
};

struct SignalReference {
    Instance* instance;
    Symbol* symbol;
    int derivative;            // 1: written with a leading "d"
};

struct Connection {
    Connection* next;
    SignalReference* source;
    SignalReference* target;
};

struct SavedSignal {
    SavedSignal* next;
    SignalReference* signal;
};

struct StringConstant {
    StringConstant* next;
    char* text;
    int index;
};

// The text that stands for THIS: no string literal can equal it.
extern const char* const kThisPlaceholder;

// The equal entry, else a new one appended. Null is fatal (20700).
StringConstant* SYMaddstring(const char* text);

// 1 when a block is already open; else records both, 0.
int openBlock(const char* prefix, const char* name);
const char* currentBlockName();
const char* currentBlockPrefix();
// The FROM clause's type-name override; null when none.
void setTypeNameOverride(const char* text);
const char* typeNameOverride();

// Null when the pending list already holds the name; else the new symbol
// (own copies of name and comment; it takes the tree).
Symbol* addSymbol(const char* name, int kind, const char* comment, int attributes,
                  SyntaxNode* initialValue);
Symbol* findSymbol(const char* name);
// The symbol of that name among a block type's symbols, or among an
// instance's parameter values; null when there is none.
const Symbol* findBlockTypeSymbol(const BlockType* type, const char* name);
const Symbol* findParameterValue(const Instance* instance, const char* name);
// A second call before the block is closed is fatal (20703, 20704).
void setContinuousCode(SyntaxNode* tree);
void setInitialCode(SyntaxNode* tree);
// 1 when a pending procedure has the same name text (nothing is taken);
// else appends, 0.
int addProcedure(SyntaxNode* name, SyntaxNode* body);
// 2 for a null name; 1 when no block is open or the name differs from the
// opening one (the block stays open); 2 when a block type of the same key
// exists (the block is closed and its pending values are dropped); else the
// block type is appended with the pending values, 0.
int closeBlock(const char* name);

// A second circuit is fatal (20705).
void setCircuitName(const char* name);
const char* circuitName();   // null when none

// 3 when the instance name begins with "d"; 1 when an instance of that name
// exists; 2 when no block type has the key (prefix, override or type name);
// in these cases the pending parameter values are dropped. Else the instance
// takes them, 0.
int addInstance(const char* prefix, const char* typeName, const char* instanceName,
                const char* thisName);
// 1 unknown instance, 2 unknown symbol (or a derivative of a non-state);
// else 0 and a new reference in *result.
int resolveSignal(const char* instanceName, const char* symbolName, SignalReference** result);
// 1 for null; else appends (the table takes the reference), 0.
int addSave(SignalReference* signal);
// Appends the connection (source, target); the table takes both; 0.
int addConnection(SignalReference* target, SignalReference* source);

// Drops the pending symbols, code and procedures without closing anything.
void discardPendingValues();

// Frees every table with its texts and trees, clears the open block and the
// circuit name, then frees the run-time library catalog's list of rows
// (ModuleCatalog.h).
void freeSymbolTables();

// Read access for the back end, listings and tests.
BlockType* blockTypeList();
Instance* instanceList();
Connection* connectionList();
SavedSignal* savedSignalList();
StringConstant* stringConstantList();
Symbol* pendingSymbols();
Procedure* pendingProcedures();

#endif
