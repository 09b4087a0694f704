// The back end's flattened circuit: one variable per symbol of each block
// instance and one procedure per procedure of each instance. Syntax-tree
// names that the back end binds point at these (the node's entry), and the
// tree printer reads their names.
#ifndef KYT_COMPILER_CODEMODEL_H
#define KYT_COMPILER_CODEMODEL_H

struct Instance;
struct SyntaxNode;
struct StatementList;

struct CodeVariable {
    CodeVariable* next;
    // A connected input: the output it is connected to; a SOCKET parameter:
    // the first socket parameter with the same text; else null.
    CodeVariable* alias;
    Instance* instance;
    char* name;               // instance name, "_", symbol name
    int kind;                 // 0 input, 1 output, 2 parameter, 3 var, 4 state, 6 delay
    double value;             // constant initial value
    SyntaxNode* initialCode;  // initial-value statement not yet moved to INIT
    int flags;                // CodeVariableFlag bits
    int location;             // -1 until the header writer assigns it
};

enum CodeVariableFlag {
    VARIABLE_DISCRETE = 1,
    VARIABLE_ASSIGNED_IN_IF = 2,
    VARIABLE_ASSIGNED = 4,
    VARIABLE_INITIALIZED = 8,
    VARIABLE_INITIALIZED_IN_IF = 16,
    VARIABLE_SAVED = 32,
    VARIABLE_DERIVATIVE_SAVED = 64,
    VARIABLE_STRING_PARAMETER = 128,
    VARIABLE_SOCKET_PARAMETER = 256
};

struct CodeProcedure {
    CodeProcedure* next;
    char* name;               // instance name, "_", procedure name
    Instance* instance;
    SyntaxNode* body;         // the block type's procedure tree
    int number;               // its DISC section, -1 until numbered
    int priority;             // 0 until assigned
    int used;                 // bit 0
    StatementList* statements;
};

#endif
