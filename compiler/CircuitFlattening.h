// The flattened circuit: every symbol of every block instance becomes one
// CodeVariable named instance "_" symbol, connections make inputs aliases of
// outputs, and the code of all blocks is gathered into the INIT list, the
// continuous (CONT) list and one list per procedure, with names bound to
// their variables and procedures. The lists live from the start of
// PiCodeGenerate until freeGeneratedCode.
#ifndef KYT_COMPILER_CIRCUITFLATTENING_H
#define KYT_COMPILER_CIRCUITFLATTENING_H

#include "CodeModel.h"
#include "SymbolTables.h"
#include "SyntaxTree.h"

// One statement of a list: a tree without a sequence node at its root.
struct Statement {
    Statement* next;
    SyntaxNode* tree;
};

struct StatementList {
    Statement* head;
    Statement* tail;
};

// The four variable lists, each in creation order.
enum VariableList {
    LIST_V = 0,          // inputs, outputs and vars
    LIST_PARAMETERS = 1,
    LIST_STATES = 2,
    LIST_DELAYS = 3
};
const int kVariableLists = 4;

CodeVariable* codeVariables(VariableList list);
CodeProcedure* codeProcedures();
StatementList* initStatements();
StatementList* contStatements();

// The list a symbol kind belongs to; another kind is fatal (20040).
VariableList variableListOfKind(int kind);

// Creates the instance's variables; 0, or 1 after a message.
int instantiateBlock(Instance* instance);
// One CodeProcedure per procedure of the instance's block type, in
// declaration order, appended to the procedure list.
void createProcedures(Instance* instance);
// Connections, unconnected inputs, saved signals, socket aliases and the
// move of initial code to the INIT list; 0, or 1 after a message.
int checkConnections();
// The variable of the instance's symbol, or null.
CodeVariable* findVariable(const Instance* instance, const Symbol* symbol);
// Splits a sequence into statements, binds their names in the instance and
// appends them to the list; it takes the tree. sequencesAllowed: an IF body
// may still be a sequence. 0, or 1 after a message (the rest of the tree is
// freed).
int appendStatements(StatementList* list, SyntaxNode* tree, Instance* instance,
                     int sequencesAllowed);
// The symmetry of every SWITCH of CONT code, innermost first; 0, or 1 after
// a message.
int checkSwitch(const SyntaxNode* tree);

// Frees the variable lists, the INIT and CONT lists with their trees and
// every procedure with its statements.
void freeGeneratedCode();

// Appends a statement that is already bound (the lists' own helper).
void appendStatement(StatementList* list, SyntaxNode* tree);
void freeStatementList(StatementList* list);

#endif
