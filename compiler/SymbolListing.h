// The symbol listing kytsym.tmp: the variables of the flattened circuit with
// their values, locations, kinds and flags, the string constants, and the
// INIT, CONT and procedure statements printed back as model text. With
// errorsOnly set only the variables that a check complains about are
// listed, and no code.
#ifndef KYT_COMPILER_SYMBOLLISTING_H
#define KYT_COMPILER_SYMBOLLISTING_H

struct CodeVariable;

// Writes into the open kytsym.tmp.
void SymbolFileWrite(int errorsOnly);

// The errors-only filter: true for a variable that is not connected,
// initialized or assigned as its kind requires.
bool variableHasProblem(const CodeVariable* v);

#endif
