#include "ModelListing.h"

#include "Parser.h"
#include "SyntaxTree.h"

#include "ErrorReporter.h"
#include "MessageLog.h"
#include "ResString.h"
#include "strings/CompilerStrings.h"

namespace {

const char* const kindWords[] = {"INPUT", "OUTPUT", "PARAMETER", "VAR", "STATE", "VALUE", "DELAY"};

void writeExpression(FILE* out, const SyntaxNode* tree)
{
    printTreeToStream(out, tree, 0, 0);
}

void writeSymbols(FILE* out, const Symbol* s, const char* indent)
{
    for (; s; s = s->next) {
        const char* kind = s->kind >= 0 && s->kind <= SYMBOL_DELAY ? kindWords[s->kind] : "?";
        fprintf(out, "%s%s %s", indent, kind, s->name);
        if (s->attributes & SYMBOL_STRING)
            fputs(" STRING", out);
        if (s->attributes & SYMBOL_SOCKET)
            fputs(" SOCKET", out);
        if (s->attributes & SYMBOL_DISCRETE)
            fputs(" DISCRETE", out);
        if (s->initialValue) {
            fputs(" = ", out);
            writeExpression(out, s->initialValue);
        }
        if (s->comment[0])
            fprintf(out, " \"%s\"", s->comment);
        fputs("\n", out);
    }
}

// The code as the back end sees it after its rewrites; the tables keep
// theirs unchanged.
int writeCode(FILE* out, const char* open, const char* close, const SyntaxNode* code, bool initCode)
{
    if (open)
        fprintf(out, "   %s\n", open);
    SyntaxNode* copy = copyTree(code);
    int failed = rewriteSwitch(&copy);
    if (!failed) {
        rewriteIfSequence(&copy);
        mergeConditions(&copy);
        if (initCode)
            failed = checkInitCode(copy);
    }
    if (!failed && copy)
        printTreeToStream(out, copy, 3, 0);
    freeTree(copy);
    fprintf(out, "   %s\n", close);
    return failed;
}

void writeSignal(FILE* out, const SignalReference* s)
{
    fprintf(out, "%s%s.%s", s->derivative ? "d" : "", s->instance->name, s->symbol->name);
}

} // namespace

int parseModelText(FILE* input)
{
    kytfil = input;
    if (scanreset()) {
        reportError(ERR_WARNING, "%s", getResString(kStrScanResetAbort));
        freeSymbolTables();
        return 2;
    }
    enableMessageLog();
    int result = yyparse();
    disableMessageLog();
    if (result) {
        freeRegisteredPointers();
        freeSymbolTables();
        return 1;
    }
    return 0;
}

int writeModelListing(FILE* out)
{
    int failed = 0;
    fprintf(out, "CIRCUIT %s\n", circuitName() ? circuitName() : "");
    for (const BlockType* b = blockTypeList(); b; b = b->next) {
        fprintf(out, "\nBLOCK \"%s\" \"%s\"\n", b->prefix, b->typeName);
        writeSymbols(out, b->symbols, "   ");
        if (b->continuousCode)
            failed |= writeCode(out, "SIM", "ENDSIM", b->continuousCode, false);
        for (const Procedure* p = b->procedures; p; p = p->next) {
            fprintf(out, "   PROCEDURE %s\n", p->name->value.text);
            failed |= writeCode(out, nullptr, "ENDPROCEDURE", p->body, false);
        }
        if (b->initialCode)
            failed |= writeCode(out, "INIT", "ENDINIT", b->initialCode, true);
        fputs("ENDBLOCK\n", out);
    }
    fputs("\n", out);
    for (const Instance* i = instanceList(); i; i = i->next) {
        fprintf(out, "USE \"%s\" \"%s\" AS %s", i->blockType->prefix, i->blockType->typeName, i->name);
        if (i->thisName[0])
            fprintf(out, " THIS %s", i->thisName);
        fputs("\n", out);
        writeSymbols(out, i->parameterValues, "   ");
    }
    for (const Connection* c = connectionList(); c; c = c->next) {
        fputs("CONNECT ", out);
        writeSignal(out, c->source);
        fputs(" TO ", out);
        writeSignal(out, c->target);
        fputs("\n", out);
    }
    for (const SavedSignal* s = savedSignalList(); s; s = s->next) {
        fputs("SAVE ", out);
        writeSignal(out, s->signal);
        fputs("\n", out);
    }
    for (const StringConstant* s = stringConstantList(); s; s = s->next)
        fprintf(out, "STRING %d \"%s\"\n", s->index, s->text);
    return failed;
}
