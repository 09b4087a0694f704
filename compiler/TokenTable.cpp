#include "Tokens.h"

#include "Grammar.hpp"

#include "BoundedText.h"
#include "ResString.h"
#include "strings/CompilerStrings.h"

#include <cstring>

// The numbers come from the grammar's token declarations; a row out of
// place fails the build.
#define ROW(tok, name, spelling) {TOK_##tok, name, spelling}

constexpr TokenRow tokenTable[] = {
    ROW(CIRCUIT, "CIRCUIT", "CIRCUIT"),
    ROW(ENDCIRCUIT, "ENDCIRCUIT", "ENDCIRCUIT"),
    ROW(FROM, "FROM", "FROM"),
    ROW(USE, "USE", "USE"),
    ROW(ENDUSE, "ENDUSE", "ENDUSE"),
    ROW(AS, "AS", "AS"),
    ROW(BLOCK, "BLOCK", "BLOCK"),
    ROW(ENDBLOCK, "ENDBLOCK", "ENDBLOCK"),
    ROW(SIM, "SIM", "SIM"),
    ROW(ENDSIM, "ENDSIM", "ENDSIM"),
    ROW(PROCEDURE, "PROCEDURE", "PROCEDURE"),
    ROW(ENDPROCEDURE, "ENDPROCEDURE", "ENDPROCEDURE"),
    ROW(INIT, "INIT", "INIT"),
    ROW(ENDINIT, "ENDINIT", "ENDINIT"),
    ROW(SAVE, "SAVE", "SAVE"),
    ROW(CONNECT, "CONNECT", "CONNECT"),
    ROW(TO, "TO", "TO"),
    ROW(DOT, ".", nullptr),
    ROW(COMMA, ",", nullptr),
    ROW(SEMICOLON, ";", nullptr),
    ROW(INPUT, "INPUT", "INPUT"),
    ROW(OUTPUT, "OUTPUT", "OUTPUT"),
    ROW(PARAMETER, "PARAMETER", "PARAMETER"),
    ROW(VAR, "VAR", "VAR"),
    ROW(STATE, "STATE", "STATE"),
    ROW(DELAY, "DELAY", "DELAY"),
    ROW(FILE, "FILE", nullptr),   // the word FILE is an identifier
    ROW(DISCRETE, "DISCRETE", "DISCRETE"),
    ROW(SOCKET, "SOCKET", "SOCKET"),
    ROW(STRINGKEY, "STRINGKEY", "STRING"),
    ROW(TYPENAME, "TYPENAME", "TYPENAME"),
    ROW(STORE, "STORE", "STORE"),
    ROW(ALL, "ALL", "ALL"),
    ROW(QUIT, "QUIT", "QUIT"),
    ROW(BREAK, "BREAK", "BREAK"),
    ROW(EXIT, "EXIT", "EXIT"),
    ROW(Identifier, "Identifier", nullptr),
    ROW(Number, "Number", nullptr),
    ROW(String, "String", nullptr),
    ROW(BOOL, "BOOL", "BOOL"),
    ROW(THIS, "THIS", "THIS"),
    ROW(ASSIGN, "=", nullptr),
    ROW(COLONASSIGN, ":=", nullptr),
    ROW(DERIVASSIGN, ".=", nullptr),
    ROW(ARROW, "<-", nullptr),
    ROW(MINUS, "-", nullptr),
    ROW(PLUS, "+", nullptr),
    ROW(STAR, "*", nullptr),
    ROW(SLASH, "/", nullptr),
    ROW(LPAREN, "(", nullptr),
    ROW(RPAREN, ")", nullptr),
    ROW(LBRACKET, "[", nullptr),
    ROW(RBRACKET, "]", nullptr),
    ROW(EQ, "==", nullptr),
    ROW(NE, "!=", nullptr),
    ROW(GE, ">=", nullptr),
    ROW(LE, "<=", nullptr),
    ROW(GT, ">", nullptr),
    ROW(LT, "<", nullptr),
    ROW(AND, "&&", "AND"),
    ROW(OR, "||", "OR"),
    ROW(NOT, "!", "NOT"),
    ROW(SCHEDULE, "SCHEDULE", "SCHEDULE"),
    ROW(CALL, "CALL", "CALL"),
    ROW(AT, "AT", "AT"),
    ROW(NOW, "NOW", "NOW"),
    ROW(PRIO, "PRIO", "PRIO"),
    ROW(FOPEN, "FOPEN", nullptr),
    ROW(FCLOSE, "FCLOSE", nullptr),
    ROW(FREAD, "FREAD", nullptr),
    ROW(FGET, "FGET", nullptr),
    ROW(FSTATUS, "FSTATUS", nullptr),
    ROW(SWITCH, "SWITCH", "SWITCH"),
    ROW(ENDSWITCH, "ENDSWITCH", "ENDSWITCH"),
    ROW(CASE, "CASE", "CASE"),
    ROW(COLON, ":", nullptr),
    ROW(DEFAULT, "DEFAULT", "DEFAULT"),
    ROW(ONRISE, "ONRISE", "ONRISE"),
    ROW(DO, "DO", "DO"),
    ROW(IF, "IF", "IF"),
    ROW(THEN, "THEN", "THEN"),
    ROW(ELSE, "ELSE", "ELSE"),
    ROW(ENDIF, "ENDIF", "ENDIF"),
    ROW(KILL, "KILL", nullptr),
    ROW(UNC, "UNC", nullptr),
    ROW(UMINUS, "-", nullptr),
};

#undef ROW

const int tokenTableSize = sizeof tokenTable / sizeof tokenTable[0];

namespace {

constexpr bool rowsInOrder(const TokenRow* rows, int n)
{
    for (int i = 0; i < n; ++i)
        if (rows[i].token != kFirstNamedToken + i)
            return false;
    return true;
}

static_assert(sizeof tokenTable / sizeof tokenTable[0] == kLastNamedToken - kFirstNamedToken + 1,
              "one row per token from 257 to 342");
static_assert(rowsInOrder(tokenTable, sizeof tokenTable / sizeof tokenTable[0]),
              "the rows stand in token number order");

} // namespace

int keywordToken(const char* word)
{
    for (int i = 0; i < tokenTableSize; ++i)
        if (tokenTable[i].spelling && strcmp(tokenTable[i].spelling, word) == 0)
            return tokenTable[i].token;
    return 0;
}

String tokenName(int token)
{
    char text[64];
    switch (token) {
    case 0: return String(getResString(kStrTokenEndOfFile));
    case 8: return String("'\\b'");
    case 9: return String("'\\t'");
    case 10: return String("'\\n'");
    case 12: return String("'\\f'");
    case 13: return String("'\\r'");
    case 256: return String(getResString(kStrTokenError));
    default: break;
    }
    if (token >= kFirstNamedToken && token <= kLastNamedToken)
        return String(tokenTable[token - kFirstNamedToken].name);
    if (token >= 32 && token < 127) {
        formatBounded(text, sizeof text, "'%c`", token);
    } else if (token >= 256) {
        formatBounded(text, sizeof text, getResString(kStrTokenSymbol), token);
    } else {
        formatBounded(text, sizeof text, getResString(kStrTokenCharacter), token);
    }
    return String(text);
}
