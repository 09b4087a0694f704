// The tree printer: a tree written back as model text, for the symbol
// listing and the listing of statements caught in an algebraic loop.
#include "SyntaxTree.h"

#include "CodeModel.h"
#include "CompilerMessages.h"

#include "MessageLog.h"
#include "NumberFormat.h"
#include "strings/CompilerStrings.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <vector>

namespace {

struct PrintTarget {
    FILE* stream;   // null: the symbol listing
    int alias;
};

void emit(const PrintTarget& to, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

void emit(const PrintTarget& to, const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (to.stream)
        fputs(text, to.stream);
    else
        symbolFilePrintf("%s", text);
}

void emitText(const PrintTarget& to, const char* text)
{
    // Texts of any length (names, strings) go out whole.
    if (to.stream)
        fputs(text, to.stream);
    else
        symbolFilePrintf("%s", text);
}

void lineStart(const PrintTarget& to, int line, int indent)
{
    emit(to, "%4d: %*s", line, indent, "");
}

void printExpression(const PrintTarget& to, const SyntaxNode* n);

void printOperand(const PrintTarget& to, const SyntaxNode* operand, bool parenthesize)
{
    if (parenthesize) {
        emitText(to, "(");
        printExpression(to, operand);
        emitText(to, ")");
    } else {
        printExpression(to, operand);
    }
}

const char* operatorText(int type)
{
    switch (type) {
    case NODE_ADD: return "+";
    case NODE_SUBTRACT: return "-";
    case NODE_MULTIPLY: return "*";
    case NODE_DIVIDE: return "/";
    case NODE_EQUAL: return " == ";
    case NODE_NOT_EQUAL: return " != ";
    case NODE_LESS_EQUAL: return " <= ";
    case NODE_GREATER_EQUAL: return " >= ";
    case NODE_LESS: return " < ";
    case NODE_GREATER: return " > ";
    case NODE_AND: return " && ";
    case NODE_OR: return " || ";
    default: return nullptr;
    }
}

void printName(const PrintTarget& to, const SyntaxNode* n)
{
    if ((n->type == NODE_VARIABLE || n->type == NODE_STRING_INDEX) && n->entry) {
        const CodeVariable* v = static_cast<const CodeVariable*>(n->entry);
        if (to.alias && v->alias)
            v = v->alias;
        emitText(to, v->name);
    } else if (n->type == NODE_PROCEDURE_NAME && n->entry) {
        emitText(to, static_cast<const CodeProcedure*>(n->entry)->name);
    } else {
        emitText(to, n->value.text);
    }
}

void printNumber(const PrintTarget& to, double v)
{
    if (v == constantPi()) {
        emitText(to, "PI");
    } else if (v == constantE()) {
        emitText(to, "cE");
    } else {
        char text[kMaxNumberText + 1];
        formatNumber(v, text);
        emitText(to, text);
    }
}

[[noreturn]] void unknownNode(const PrintTarget& to, const SyntaxNode* n)
{
    emit(to, "KYTNode <%d>\n", n->type);
    compileInternalError(kStrInternalUnknownNodeType);
}

void printExpression(const PrintTarget& to, const SyntaxNode* n)
{
    if (!n) {
        emitText(to, ">> (0) << ");
        return;
    }
    switch (n->type) {
    case NODE_NUMBER:
        printNumber(to, n->value.number);
        return;
    case NODE_VARIABLE:
    case NODE_STRING_PARAMETER:
    case NODE_STRING_INDEX:
    case NODE_CALLED_NAME:
    case NODE_PROCEDURE_NAME:
        printName(to, n);
        return;
    case NODE_STRING:
        emitText(to, "\"");
        emitText(to, n->value.text);
        emitText(to, "\"");
        return;
    case NODE_NOW:
        emitText(to, "NOW");
        return;
    case NODE_FUNCTION_CALL:
    case NODE_PROCEDURE_CALL:
        printExpression(to, n->left);
        emitText(to, "(");
        if (n->right)
            printExpression(to, n->right);
        emitText(to, ")");
        return;
    case NODE_NEGATE:
    case NODE_NOT:
        emitText(to, n->type == NODE_NEGATE ? "-" : "!");
        printOperand(to, n->right, nodePrecedence(n->right) < 9);
        return;
    case NODE_PAIR:
        printExpression(to, n->left);
        printExpression(to, n->right);
        return;
    case NODE_TRAILER:
        emitText(to, " <- ");
        printExpression(to, n->left);
        if (n->right) {
            emitText(to, "(");
            printExpression(to, n->right);
            emitText(to, ")");
        }
        return;
    case NODE_PRIORITY:
        printExpression(to, n->left);
        if (n->right) {
            emitText(to, "PRIO ");
            printExpression(to, n->right);
        }
        return;
    case NODE_SCHEDULE:
        // A SCHEDULE without time is the CALL or SCHEDULE of a trailer.
        emitText(to, "SCHEDULE ");
        printExpression(to, n->left);
        if (n->right) {
            emitText(to, " AT ");
            printExpression(to, n->right);
        }
        return;
    case NODE_CHAIN:
        if (n->left) {
            printExpression(to, n->left);
            emitText(to, ", ");
        }
        printExpression(to, n->right);
        return;
    case NODE_INDEXED:
        printExpression(to, n->left);
        emitText(to, "[");
        printExpression(to, n->right);
        emitText(to, "]");
        return;
    default:
        break;
    }
    const char* op = operatorText(n->type);
    if (!op)
        unknownNode(to, n);
    int own = nodePrecedence(n);
    bool equalNeedsParentheses = n->type == NODE_SUBTRACT || n->type == NODE_DIVIDE;
    printOperand(to, n->left, nodePrecedence(n->left) < own);
    emitText(to, op);
    int right = nodePrecedence(n->right);
    printOperand(to, n->right, right < own || (equalNeedsParentheses && right == own));
}

void printStatement(const PrintTarget& to, const SyntaxNode* n, int indent)
{
    if (!n) {
        emitText(to, ">> (0) << ");
        return;
    }
    switch (n->type) {
    case NODE_SEQUENCE: {
        // Along the sequence in a loop: it may be as long as the text.
        std::vector<const SyntaxNode*> statements;
        sequenceStatements(n, statements);
        for (const SyntaxNode* s : statements)
            printStatement(to, s, indent);
        return;
    }
    case NODE_ASSIGN:
    case NODE_DERIVATIVE:
    case NODE_DELAY_TIME:
        lineStart(to, n->line, indent);
        printExpression(to, n->left);
        emitText(to, n->type == NODE_DERIVATIVE ? " .= " : " = ");
        printExpression(to, n->right);
        emitText(to, ";\n");
        return;
    case NODE_STORE:
    case NODE_STORE_ALL:
    case NODE_QUIT:
    case NODE_BREAK: {
        static const char* const words[] = {"STORE;\n", "STORE ALL;\n", "QUIT;\n", "BREAK;\n"};
        lineStart(to, n->line, indent);
        emitText(to, words[n->type - NODE_STORE]);
        return;
    }
    case NODE_EXIT:
        lineStart(to, n->line, indent);
        emitText(to, "EXIT ");
        printExpression(to, n->right);
        emitText(to, ";\n");
        return;
    case NODE_ONRISE:
        lineStart(to, n->line, indent);
        emitText(to, "ONRISE ");
        printExpression(to, n->left);
        emitText(to, " DO ");
        printExpression(to, n->right);
        emitText(to, ";\n");
        return;
    case NODE_SCHEDULE:
        lineStart(to, n->line, indent);
        printExpression(to, n);
        emitText(to, ";\n");
        return;
    case NODE_PROCEDURE_CALL:
        lineStart(to, n->line, indent);
        printExpression(to, n);
        emitText(to, ";\n");
        return;
    case NODE_IF:
        lineStart(to, n->line, indent);
        emitText(to, "IF ");
        printExpression(to, n->left);
        emitText(to, " THEN\n");
        printStatement(to, n->right, indent + 3);
        lineStart(to, n->line, indent);
        emitText(to, "ENDIF\n");
        return;
    case NODE_SWITCH:
    case NODE_CASE_CHAIN:
    case NODE_CASE:
    case NODE_DEFAULT:
        unknownNode(to, n);
    default:
        if (n->type > NODE_DELAY_TIME)
            unknownNode(to, n);
        printExpression(to, n);
        return;
    }
}

} // namespace

void printTree(const SyntaxNode* tree, int indent, int aliasFlag)
{
    PrintTarget to = {nullptr, aliasFlag};
    printStatement(to, tree, indent);
}

void printTreeToStream(FILE* out, const SyntaxNode* tree, int indent, int aliasFlag)
{
    PrintTarget to = {out, aliasFlag};
    printStatement(to, tree, indent);
}
