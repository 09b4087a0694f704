#include "SymbolListing.h"

#include "CircuitFlattening.h"
#include "CompilerMessages.h"

#include "MessageLog.h"
#include "NumberFormat.h"
#include "ResString.h"
#include "strings/BackendStrings.h"

#include <cstring>

namespace {

const int kAllFlags = VARIABLE_DISCRETE | VARIABLE_ASSIGNED_IN_IF | VARIABLE_ASSIGNED | VARIABLE_INITIALIZED |
                      VARIABLE_INITIALIZED_IN_IF | VARIABLE_SAVED | VARIABLE_DERIVATIVE_SAVED |
                      VARIABLE_STRING_PARAMETER | VARIABLE_SOCKET_PARAMETER;

const char* kindWord(const CodeVariable* v)
{
    switch (v->kind) {
    case SYMBOL_INPUT: return "input    ";
    case SYMBOL_OUTPUT: return "output   ";
    case SYMBOL_PARAMETER:
        if (v->flags & VARIABLE_STRING_PARAMETER)
            return "string   ";
        if (v->flags & VARIABLE_SOCKET_PARAMETER)
            return "socket   ";
        return "parameter";
    case SYMBOL_VAR: return "variable ";
    case SYMBOL_STATE: return "state    ";
    case SYMBOL_PARAMETER_VALUE: return "unknown  ";
    case SYMBOL_DELAY: return "delay    ";
    default: compileInternalError(kStrInternalUnknownSignalKind);
    }
}

void writeVariableEntry(const CodeVariable* v)
{
    char number[kMaxNumberText + 1];
    formatNumber(v->value, number);
    symbolFilePrintf("   %s = %s - ", v->name, number);
    if (v->location >= 0)
        symbolFilePrintf("location %d - ", v->location);
    symbolFilePrintf("%s", kindWord(v));
    static const struct {
        int flag;
        const char* word;
    } words[] = {
        {VARIABLE_DISCRETE, " discrete"},
        {VARIABLE_ASSIGNED_IN_IF, " assigned within an if"},
        {VARIABLE_ASSIGNED, " assigned"},
        {VARIABLE_INITIALIZED, " initialized"},
        {VARIABLE_INITIALIZED_IN_IF, " initialized within an if"},
        {VARIABLE_SAVED, " SAVE"},
        {VARIABLE_DERIVATIVE_SAVED, " SAVE DERIVATE"},
    };
    for (const auto& w : words)
        if (v->flags & w.flag)
            symbolFilePrintf("%s", w.word);
    if (v->flags & ~kAllFlags)
        compileInternalError(kStrInternalUnknownSymbolFlag);
    if (v->alias)
        symbolFilePrintf(" alias %s\n", v->alias->name);
    else
        symbolFilePrintf("\n");
    if (v->initialCode) {
        symbolFilePrintf("    = ");
        printTree(v->initialCode, 0, 0);
    }
}

void writeStatements(const StatementList* list)
{
    for (const Statement* s = list->head; s; s = s->next)
        printTree(s->tree, 3, 0);
}

} // namespace

bool variableHasProblem(const CodeVariable* v)
{
    const int assigned = VARIABLE_ASSIGNED_IN_IF | VARIABLE_ASSIGNED;
    const int initialized = VARIABLE_INITIALIZED | VARIABLE_INITIALIZED_IN_IF;
    switch (v->kind) {
    case SYMBOL_INPUT:
        return !v->alias;
    case SYMBOL_OUTPUT:
    case SYMBOL_STATE:
        return !(v->flags & assigned);
    case SYMBOL_PARAMETER:
        if (v->flags & VARIABLE_SOCKET_PARAMETER)
            return !(v->flags & assigned);
        return !(v->flags & initialized);
    case SYMBOL_VAR:
        if (v->flags & VARIABLE_DISCRETE)
            return !(v->flags & initialized);
        return !(v->flags & assigned);
    case SYMBOL_DELAY:
        return !(v->flags & initialized) || !(v->flags & assigned);
    default:
        return false;
    }
}

void SymbolFileWrite(int errorsOnly)
{
    if (errorsOnly)
        symbolFilePrintf("\n");
    symbolFilePrintf("%s", getResString(kStrSymbolTableHeading));
    if (errorsOnly)
        symbolFilePrintf("%s", getResString(kStrSymbolTableErrorsOnly));
    symbolFilePrintf("\n");

    static const unsigned int headings[kVariableLists] = {20046, 20047, 20048, 20049};
    for (int list = 0; list < kVariableLists; ++list) {
        bool first = true;
        for (const CodeVariable* v = codeVariables(static_cast<VariableList>(list)); v; v = v->next) {
            if (errorsOnly && !variableHasProblem(v))
                continue;
            if (first)
                symbolFilePrintf("%s", getResString(headings[list]));
            first = false;
            writeVariableEntry(v);
        }
    }

    if (!errorsOnly) {
        bool first = true;
        for (const StringConstant* s = stringConstantList(); s; s = s->next) {
            if (strcmp(s->text, kThisPlaceholder) == 0)
                continue;
            if (first)
                symbolFilePrintf("%s", getResString(kStrSymbolTableString));
            first = false;
            symbolFilePrintf("   \"%s\" /* %d */\n", s->text, s->index);
        }
    }
    symbolFilePrintf("%s", getResString(kStrSymbolTableEnd));
    if (errorsOnly)
        return;

    symbolFilePrintf("\nINITS\n");
    writeStatements(initStatements());
    symbolFilePrintf("ENDINITS\n");
    symbolFilePrintf("\nSIMS\n");
    writeStatements(contStatements());
    symbolFilePrintf("ENDSIMS\n");
    if (codeProcedures()) {
        symbolFilePrintf("\nPROCEDURES");
        for (const CodeProcedure* p = codeProcedures(); p; p = p->next) {
            symbolFilePrintf("\nPROCEDURE %s", p->name);
            if (p->used & 1)
                symbolFilePrintf(" - used");
            symbolFilePrintf("\n");
            writeStatements(p->statements);
            symbolFilePrintf("ENDPROCEDURE\n");
        }
        symbolFilePrintf("ENDPROCEDURES\n");
    }
}
