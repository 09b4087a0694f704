#include "ModuleCallCheck.h"

#include "CompilerMessages.h"
#include "SyntaxTree.h"

#include "ModuleCatalog.h"
#include "String.h"
#include "strings/CompilerStrings.h"

#include <cstring>

namespace {

String expectedWords;

void appendLetter(String& signature, char letter)
{
    signature += letter;
}

void signatureOf(SyntaxNode* n, String& signature)
{
    if (!n)
        return;
    switch (n->type) {
    case NODE_CHAIN:
    case NODE_PAIR:
        signatureOf(n->left, signature);
        signatureOf(n->right, signature);
        return;
    case NODE_STRING_PARAMETER:
        n->type = NODE_STRING_INDEX;
        appendLetter(signature, 's');
        return;
    case NODE_STRING:
        appendLetter(signature, 's');
        return;
    default:
        appendLetter(signature, 'd');
        return;
    }
}

// The words of a row's parameters; fatal on a letter other than d and s.
String parameterWords(const char* parameters, const char* name)
{
    String words;
    for (const char* p = parameters; *p; ++p) {
        if (p != parameters)
            words += ", ";
        if (*p == 'd')
            words += "Zahl";
        else if (*p == 's')
            words += "String";
        else
            compileInternalError(kStrInternalUnknownCallParameter, name);
    }
    return words;
}

} // namespace

String actualSignatureOf(SyntaxNode* arguments)
{
    String signature;
    signatureOf(arguments, signature);
    return signature;
}

int checkModuleCall(SyntaxNode* call)
{
    if (!call || (call->type != NODE_FUNCTION_CALL && call->type != NODE_PROCEDURE_CALL) || !call->left
        || !call->left->value.text)
        compileInternalError(kStrInternalUnknownCallLayout);
    bool function = call->type == NODE_FUNCTION_CALL;
    String actual = actualSignatureOf(call->right);

    const char* name = call->left->value.text;
    const ModuleEntry* row = moduleCatalog().lookup(name);
    if (!row || !(row->kind & (function ? MODULE_FUNCTION_ROW : MODULE_PROCEDURE_ROW)))
        return 1;
    const char* rowSignature = row->signature ? row->signature : "";
    const char* parameters = rowSignature;
    bool match;
    if (function)
        match = rowSignature[0] == 'd' && strcmp(rowSignature + 1, actual.text()) == 0;
    else
        match = strcmp(rowSignature, actual.text()) == 0;
    if (function && rowSignature[0])
        parameters = rowSignature + 1;
    if (match) {
        call->entry = const_cast<ModuleEntry*>(row);
        return 0;
    }
    expectedWords = parameterWords(parameters, name);
    return 2;
}

const char* actualSignature()
{
    return expectedWords.text();
}
