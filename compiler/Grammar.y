/* The grammar of the model language: the block descriptions, then the
   circuit. The actions fill the symbol tables, build the syntax trees,
   check library calls and report through the compiler message log.

   Every tree an action builds is entered in the allocation registry until a
   parent node or a symbol table takes it, so that after a failed parse
   freeRegisteredPointers frees everything still loose. */

%code requires {
#include "SymbolTables.h"
#include "SyntaxTree.h"
}

%code provides {
// The parse of kytfil: 0 when the text was accepted without any compiler
// message, 1 after a syntax error, a stack overflow or a compiler message.
int yyparse();
}

%{
#include "AllocationRegistry.h"
#include "CompilerMessages.h"
#include "ModuleCallCheck.h"
#include "Scanner.h"
#include "Tokens.h"

#include "BoundedText.h"
#include "MessageLog.h"
#include "strings/CompilerStrings.h"

#include <cstdlib>
#include <cstring>

// The parse stacks hold 150 entries; one more is a stack overflow.
#define YYINITDEPTH 150
#define YYMAXDEPTH 150
%}


%code {
void yyerror(const char* message);

namespace {

// Hidden variables of the open block (IF snapshots), counted per block.
int hiddenVariables = 0;

// The USE being read: its values wait for ENDUSE.
struct UseClause {
    char prefix[kMaxTokenText + 1];
    char typeName[kMaxTokenText + 1];
    char instanceName[kMaxTokenText + 1];
    char thisName[kMaxTokenText + 1];
} use;

SyntaxNode* own(SyntaxNode* n)
{
    registerPointer(n, POINTER_TREE);
    return n;
}

SyntaxNode* take(SyntaxNode* n)
{
    unregisterPointer(n);
    return n;
}

void drop(SyntaxNode* n)
{
    freeTree(take(n));
}

// The number that stands in for a tree refused as too deep; its spare field
// carries this mark.
const int kRefusedTree = -1;

bool isRefused(const SyntaxNode* n)
{
    return n && n->type == NODE_NUMBER && n->spare == kRefusedTree;
}

// A tree deeper than kMaxTreeHeight is refused with 20204 at the line where
// it starts, and a number takes its place, so that no walk ever meets it.
// Whatever is built on a refused tree is refused with it, without a second
// message; a sequence keeps its other statements.
SyntaxNode* node(SyntaxNode* left, SyntaxNode* right, int type)
{
    take(left);
    take(right);
    if (type != NODE_SEQUENCE && (isRefused(left) || isRefused(right))) {
        SyntaxNode* standIn = isRefused(left) ? left : right;
        freeTree(standIn == left ? right : left);
        return own(standIn);
    }
    SyntaxNode* n = makeNode(left, right, type, scannerLine());
    if (n->height <= kMaxTreeHeight)
        return own(n);
    // The first leaf in written order.
    const SyntaxNode* first = n;
    while (first->left || first->right)
        first = first->left ? first->left : first->right;
    int line = first->line;
    compileErrorAtLine(line, kStrStatementTooLarge, kMaxTreeHeight);
    freeTree(n);
    SyntaxNode* standIn = makeNumberNode(0, line);
    standIn->spare = kRefusedTree;
    return own(standIn);
}

SyntaxNode* number(double value)
{
    return own(makeNumberNode(value, scannerLine()));
}

SyntaxNode* name(const char* text, int kind)
{
    return own(makeNameNode(text, kind, scannerLine()));
}

// A name in code: a STRING parameter of the open block is marked as such.
SyntaxNode* variable(const char* text)
{
    Symbol* s = findSymbol(text);
    bool stringParameter = s && s->kind == SYMBOL_PARAMETER && (s->attributes & SYMBOL_STRING);
    return name(text, stringParameter ? NODE_STRING_PARAMETER : NODE_VARIABLE);
}

SyntaxNode* priority(const char* procedure)
{
    return node(name(procedure, NODE_PROCEDURE_NAME), nullptr, NODE_PRIORITY);
}

SyntaxNode* sequence(SyntaxNode* list, SyntaxNode* statement)
{
    if (!statement)
        return list;
    if (!list)
        return statement;
    return node(list, statement, NODE_SEQUENCE);
}

SyntaxNode* assignment(SyntaxNode* target, SyntaxNode* value, SyntaxNode* trailers, int type)
{
    if (!target) {
        // Refused target (NOW): the message has been given.
        drop(value);
        drop(trailers);
        return nullptr;
    }
    SyntaxNode* right = trailers ? node(value, trailers, NODE_PAIR) : value;
    return node(target, right, type);
}

void defineProcedure(const char* procedureName, SyntaxNode* body)
{
    SyntaxNode* n = makeNameNode(procedureName, NODE_PROCEDURE_NAME, scannerLine());
    take(body);
    if (addProcedure(n, body)) {
        compileError(kStrDuplicateProcedureInBlock, procedureName, currentBlockName());
        freeTree(n);
        freeTree(body);
    }
}

// The procedure of an ONRISE: named, or "GenProc" and the next number.
SyntaxNode* generatedProcedure(const char* givenName, SyntaxNode* body)
{
    char text[kMaxTokenText + 32];
    if (givenName && givenName[0])
        formatBounded(text, sizeof text, "%s", givenName);
    else
        formatBounded(text, sizeof text, "GenProc%ld", nextGeneratedProcedure());
    defineProcedure(text, body);
    return name(text, NODE_PROCEDURE_NAME);
}

SyntaxNode* onrise(double line, SyntaxNode* condition, SyntaxNode* procedure)
{
    SyntaxNode* n = node(condition, procedure, NODE_ONRISE);
    n->line = static_cast<int>(line);
    return n;
}

SyntaxNode* call(const char* calledName, SyntaxNode* arguments, int type)
{
    SyntaxNode* c = node(name(calledName, NODE_CALLED_NAME), arguments, type);
    if (isRefused(c))
        return c;
    bool function = type == NODE_FUNCTION_CALL;
    switch (checkModuleCall(c)) {
    case 1:
        compileError(function ? 22003 : 22001, calledName, currentBlockName());
        break;
    case 2:
        compileError(function ? 22004 : 22002, calledName, actualSignature(), currentBlockName());
        break;
    default:
        break;
    }
    return c;
}

// A VAR of the open block that no identifier can spell: it keeps the value
// of an IF's condition from before the IF's statements ran.
void hiddenVariable(char* text, size_t size)
{
    do
        formatBounded(text, size, "_IF%d", ++hiddenVariables);
    while (!addSymbol(text, SYMBOL_VAR, "", 0, nullptr));
}

// t = c, with t a new hidden variable; the IF node tests t from now on.
SyntaxNode* snapshotCondition(SyntaxNode* ifNode, char* text, size_t size)
{
    hiddenVariable(text, size);
    SyntaxNode* condition = ifNode->left;
    ifNode->left = makeNameNode(text, NODE_VARIABLE, ifNode->line);
    updateHeight(ifNode);
    SyntaxNode* target = makeNameNode(text, NODE_VARIABLE, ifNode->line);
    return own(makeNode(target, condition, NODE_ASSIGN, ifNode->line));
}

// Split later into one IF per statement, each of them must test the
// condition as it was before the first statement ran.
SyntaxNode* ifStatement(SyntaxNode* ifNode, SyntaxNode* body)
{
    take(body);
    if (body && body->type == NODE_SEQUENCE) {
        char text[32];
        SyntaxNode* snapshot = snapshotCondition(ifNode, text, sizeof text);
        ifNode->right = body;
        updateHeight(ifNode);
        return node(snapshot, ifNode, NODE_SEQUENCE);
    }
    ifNode->right = body;
    updateHeight(ifNode);
    return ifNode;
}

// t = c; IF t THEN s1; IF !t THEN s2: the ELSE branch must not see what the
// THEN branch did to the condition.
SyntaxNode* ifElseStatement(SyntaxNode* ifNode, SyntaxNode* thenBody, int elseLine, SyntaxNode* elseBody)
{
    char text[32];
    SyntaxNode* snapshot = snapshotCondition(ifNode, text, sizeof text);
    ifNode->right = take(thenBody);
    updateHeight(ifNode);
    SyntaxNode* notTest = makeNode(nullptr, makeNameNode(text, NODE_VARIABLE, elseLine), NODE_NOT, elseLine);
    SyntaxNode* elseIf = own(makeNode(notTest, take(elseBody), NODE_IF, elseLine));
    return node(node(snapshot, ifNode, NODE_SEQUENCE), elseIf, NODE_SEQUENCE);
}

SyntaxNode* typeNameValue()
{
    const char* text = typeNameOverride();
    if (!text || !text[0])
        text = currentBlockName();
    if (!text[0]) {
        compileError(kStrTypenameWithoutBlock);
        return nullptr;
    }
    return own(makeStringNode(text, scannerLine()));
}

void declare(const char* symbolName, int kind, const char* comment, int attributes, SyntaxNode* value)
{
    take(value);
    if (!addSymbol(symbolName, kind, comment, attributes, value)) {
        compileError(kStrDuplicateSymbolInBlock, symbolName, currentBlockName());
        freeTree(value);
    }
}

void parameterValue(const char* symbolName, SyntaxNode* value)
{
    take(value);
    if (!addSymbol(symbolName, SYMBOL_PARAMETER_VALUE, "", 0, value)) {
        compileError(kStrDuplicateSymbol, symbolName);
        freeTree(value);
    }
}

// A misnamed ENDBLOCK still closes the block, under its opening name.
void endBlock(const char* closingName)
{
    int result = closeBlock(closingName);
    if (result == 1 && currentBlockName()[0]) {
        String opening(currentBlockName());
        compileError(kStrBlockEndNameMismatch, closingName, opening.text());
        result = closeBlock(opening.text());
    }
    if (result == 2)
        compileError(kStrDuplicateBlockType);
}

void endUse()
{
    switch (addInstance(use.prefix, use.typeName, use.instanceName, use.thisName)) {
    case 1:
        compileError(kStrDuplicateBlock, use.instanceName);
        break;
    case 2:
        compileError(kStrUndefinedBlock, use.typeName);
        break;
    case 3:
        compileError(kStrBlockNameStartsWithD, use.instanceName);
        break;
    default:
        break;
    }
}

SignalReference* resolve(const char* instanceName, const char* symbolName)
{
    SignalReference* ref = nullptr;
    switch (resolveSignal(instanceName, symbolName, &ref)) {
    case 1:
        compileError(kStrUnknownSignalBlock, instanceName, symbolName);
        break;
    case 2:
        compileError(kStrUnknownSignalSymbol, instanceName, symbolName);
        break;
    default:
        break;
    }
    registerPointer(ref, POINTER_BLOCK);
    return ref;
}

void save(SignalReference* ref)
{
    unregisterPointer(ref);
    if (addSave(ref))
        compileError(kStrSaveNotAllowed);
}

void connect(SignalReference* from, SignalReference* to)
{
    unregisterPointer(from);
    unregisterPointer(to);
    if (from && to) {
        addConnection(to, from);
    } else {
        free(from);
        free(to);
    }
}

} // namespace
}

%define api.prefix {mdl}
%define api.token.prefix {TOK_}
%define parse.error custom
%define parse.lac full

%union {
    double number;
    char text[101];
    SyntaxNode* node;
    SignalReference* signal;
    int flags;
}

/* The numbers are the tokens' numbers in the token table (Tokens.h). */
%token CIRCUIT 257 ENDCIRCUIT 258 FROM 259 USE 260 ENDUSE 261 AS 262
%token BLOCK 263 ENDBLOCK 264 SIM 265 ENDSIM 266 PROCEDURE 267 ENDPROCEDURE 268
%token INIT 269 ENDINIT 270 SAVE 271 CONNECT 272 TO 273
%token DOT 274 COMMA 275 SEMICOLON 276
%token INPUT 277 OUTPUT 278 PARAMETER 279 VAR 280 STATE 281 DELAY 282
%token FILE 283 DISCRETE 284 SOCKET 285 STRINGKEY 286
%token TYPENAME 287 STORE 288 ALL 289 QUIT 290 BREAK 291 EXIT 292
%token <text> Identifier 293
%token <number> Number 294
%token <text> String 295
%token BOOL 296 THIS 297
%token ASSIGN 298 COLONASSIGN 299 DERIVASSIGN 300 ARROW 301
%token MINUS 302 PLUS 303 STAR 304 SLASH 305
%token LPAREN 306 RPAREN 307 LBRACKET 308 RBRACKET 309
%token EQ 310 NE 311 GE 312 LE 313 GT 314 LT 315
%token AND 316 OR 317 NOT 318
%token SCHEDULE 319 CALL 320 AT 321 NOW 322 PRIO 323
%token FOPEN 324 FCLOSE 325 FREAD 326 FGET 327 FSTATUS 328
%token SWITCH 329 ENDSWITCH 330 CASE 331 COLON 332
%token DEFAULT 333 ONRISE 334 DO 335 IF 336 THEN 337 ELSE 338 ENDIF 339
%token KILL 340 UNC 341 UMINUS 342

/* Loosest first. The comparisons need none: a condition is no operand of
   an expression. */
%left OR
%left AND
%precedence NOT
%left MINUS PLUS
%left STAR SLASH
%precedence UNC

%type <text> fromClause optComment optProcName
%type <flags> optDiscrete
%type <node> simStatements simStatement statements statement caseList caseHead
%type <node> ifHead target trailers trailer signalList varName expr cond
%type <node> optArgs args arg textValue
%type <number> elseMark switchKeyword onriseKeyword
%type <signal> signal

%initial-action {
    resetCompileErrorCount();
    hiddenVariables = 0;
}

%%

program
    : blockList circuit
        {
            if (compileErrorCount() > 0)
                YYABORT;
        }
    ;

blockList
    : %empty
    | blockList blockDef
    ;

blockDef
    : blockHead declarations simSection procedureList initSection ENDBLOCK Identifier optSemi
        { endBlock($7); }
    ;

blockHead
    : fromClause BLOCK Identifier SEMICOLON
        {
            if (openBlock($1, $3))
                compileError(kStrInternalDuplicateBlockName, $3);
            hiddenVariables = 0;
        }
    ;

fromClause
    : %empty                    { $$[0] = 0; setTypeNameOverride(nullptr); }
    | FROM Identifier           { strcpy($$, $2); setTypeNameOverride(nullptr); }
    | FROM String               { strcpy($$, $2); setTypeNameOverride(nullptr); }
    | FROM String String        { strcpy($$, $2); setTypeNameOverride($3); }
    ;

declarations
    : %empty
    | declarations INPUT inputList
    | declarations OUTPUT outputList
    | declarations PARAMETER parameterList
    | declarations VAR varList
    | declarations STATE stateList
    | declarations DELAY delayList
    ;

inputList
    : %empty
    | inputList Identifier optComment SEMICOLON
        { declare($2, SYMBOL_INPUT, $3, 0, nullptr); }
    ;

outputList
    : %empty
    | outputList Identifier optComment SEMICOLON
        { declare($2, SYMBOL_OUTPUT, $3, 0, nullptr); }
    ;

parameterList
    : %empty
    | parameterList Identifier optComment SEMICOLON
        { declare($2, SYMBOL_PARAMETER, $3, 0, nullptr); }
    | parameterList Identifier optBool ASSIGN expr optComment SEMICOLON
        { declare($2, SYMBOL_PARAMETER, $6, 0, $5); }
    | parameterList Identifier STRINGKEY ASSIGN textValue optComment SEMICOLON
        { declare($2, SYMBOL_PARAMETER, $6, SYMBOL_STRING, $5); }
    | parameterList Identifier SOCKET ASSIGN textValue optComment SEMICOLON
        { declare($2, SYMBOL_PARAMETER, $6, SYMBOL_SOCKET, $5); }
    ;

optBool
    : %empty
    | BOOL
    ;

varList
    : %empty
    | varList Identifier optDiscrete optComment SEMICOLON
        { declare($2, SYMBOL_VAR, $4, $3, nullptr); }
    | varList Identifier ASSIGN expr optDiscrete optComment
        { declare($2, SYMBOL_VAR, $6, $5, $4); }
    ;

stateList
    : %empty
    | stateList Identifier optComment SEMICOLON
        { declare($2, SYMBOL_STATE, $3, 0, nullptr); }
    | stateList Identifier ASSIGN expr optComment SEMICOLON
        { declare($2, SYMBOL_STATE, $5, 0, $4); }
    ;

delayList
    : %empty
    | delayList Identifier ASSIGN expr optComment SEMICOLON
        { declare($2, SYMBOL_DELAY, $5, 0, $4); }
    ;

optComment
    : %empty                    { $$[0] = 0; }
    | String                    { strcpy($$, $1); }
    ;

optDiscrete
    : %empty                    { $$ = 0; }
    | DISCRETE                  { $$ = SYMBOL_DISCRETE; }
    ;

simSection
    : %empty
    | SIM simStatements ENDSIM  { setContinuousCode(take($2)); }
    ;

procedureList
    : %empty
    | procedureList PROCEDURE Identifier SEMICOLON statements ENDPROCEDURE optSemi
        { defineProcedure($3, $5); }
    ;

initSection
    : %empty
    | INIT statements ENDINIT   { setInitialCode(take($2)); }
    ;

simStatements
    : %empty                    { $$ = nullptr; }
    | simStatements simStatement
        { $$ = sequence($1, $2); }
    ;

simStatement
    : EXIT textValue SEMICOLON
        { $$ = node(nullptr, $2, NODE_EXIT); }
    | switchKeyword varName caseList ENDSWITCH optSemi
        {
            $$ = node($2, $3, NODE_SWITCH);
            $$->line = static_cast<int>($1);
        }
    | target ASSIGN expr trailers SEMICOLON
        { $$ = assignment($1, $3, $4, NODE_ASSIGN); }
    | target DERIVASSIGN expr trailers SEMICOLON
        { $$ = assignment($1, $3, $4, NODE_DERIVATIVE); }
    | onriseKeyword cond DO Identifier SEMICOLON
        { $$ = onrise($1, $2, name($4, NODE_PROCEDURE_NAME)); }
    | onriseKeyword cond DO statement
        { $$ = onrise($1, $2, generatedProcedure(nullptr, $4)); }
    | onriseKeyword cond DO PROCEDURE optProcName SEMICOLON statements ENDPROCEDURE optSemi
        { $$ = onrise($1, $2, generatedProcedure($5, $7)); }
    | Identifier LPAREN optArgs RPAREN SEMICOLON
        { $$ = call($1, $3, NODE_PROCEDURE_CALL); }
    ;

optProcName
    : %empty                    { $$[0] = 0; }
    | Identifier                { strcpy($$, $1); }
    ;

caseList
    : %empty                    { $$ = nullptr; }
    | caseList caseHead simStatements
        {
            $2->right = take($3);
            updateHeight($2);
            $$ = node($1, $2, NODE_CASE_CHAIN);
        }
    ;

caseHead
    : CASE Number COLON         { $$ = node(number($2), nullptr, NODE_CASE); }
    | DEFAULT COLON             { $$ = node(nullptr, nullptr, NODE_DEFAULT); }
    ;

statements
    : %empty                    { $$ = nullptr; }
    | statements statement      { $$ = sequence($1, $2); }
    ;

statement
    : EXIT textValue SEMICOLON
        { $$ = node(nullptr, $2, NODE_EXIT); }
    | target ASSIGN expr trailers SEMICOLON
        { $$ = assignment($1, $3, $4, NODE_ASSIGN); }
    | target COLONASSIGN expr trailers SEMICOLON
        { $$ = assignment($1, $3, $4, NODE_ASSIGN); }
    | STORE SEMICOLON           { $$ = node(nullptr, nullptr, NODE_STORE); }
    | STORE ALL SEMICOLON       { $$ = node(nullptr, nullptr, NODE_STORE_ALL); }
    | QUIT SEMICOLON            { $$ = node(nullptr, nullptr, NODE_QUIT); }
    | BREAK SEMICOLON           { $$ = node(nullptr, nullptr, NODE_BREAK); }
    | ifHead statements ENDIF optSemi
        { $$ = ifStatement($1, $2); }
    | ifHead statements elseMark statements ENDIF optSemi
        { $$ = ifElseStatement($1, $2, static_cast<int>($3), $4); }
    | SCHEDULE Identifier AT expr SEMICOLON
        { $$ = node(priority($2), $4, NODE_SCHEDULE); }
    | SCHEDULE Identifier AT EXIT SEMICOLON
        { $$ = node(priority($2), number(1e30), NODE_SCHEDULE); }
    | Identifier LPAREN optArgs RPAREN SEMICOLON
        { $$ = call($1, $3, NODE_PROCEDURE_CALL); }
    ;

ifHead
    : IF cond THEN              { $$ = node($2, nullptr, NODE_IF); }
    ;

elseMark
    : ELSE                      { $$ = scannerLine(); }
    ;

/* The line of the keyword itself: the statement ends after a look-ahead. */
switchKeyword
    : SWITCH                    { $$ = scannerLine(); }
    ;

onriseKeyword
    : ONRISE                    { $$ = scannerLine(); }
    ;

target
    : Identifier                { $$ = variable($1); }
    | NOW
        {
            compileError(kStrNowAssigned);
            $$ = nullptr;
        }
    ;

trailers
    : %empty                    { $$ = nullptr; }
    | trailers ARROW trailer    { $$ = $1 ? node($1, $3, NODE_PAIR) : $3; }
    ;

trailer
    : SCHEDULE Identifier LPAREN signalList RPAREN
        { $$ = node(node(priority($2), nullptr, NODE_SCHEDULE), $4, NODE_TRAILER); }
    | SCHEDULE Identifier
        { $$ = node(node(priority($2), nullptr, NODE_SCHEDULE), nullptr, NODE_TRAILER); }
    | CALL Identifier LPAREN signalList RPAREN
        { $$ = node(node(priority($2), nullptr, NODE_SCHEDULE), $4, NODE_TRAILER); }
    | CALL Identifier
        { $$ = node(node(priority($2), nullptr, NODE_SCHEDULE), nullptr, NODE_TRAILER); }
    | Identifier LPAREN signalList RPAREN
        { $$ = node(name($1, NODE_PROCEDURE_NAME), $3, NODE_TRAILER); }
    | Identifier
        { $$ = node(name($1, NODE_PROCEDURE_NAME), nullptr, NODE_TRAILER); }
    ;

signalList
    : varName                   { $$ = $1; }
    | signalList COMMA varName  { $$ = node($1, $3, NODE_CHAIN); }
    ;

varName
    : Identifier                { $$ = variable($1); }
    ;

expr
    : Number                    { $$ = number($1); }
    | varName                   { $$ = $1; }
    | NOW                       { $$ = own(makeNowNode(scannerLine())); }
    | varName LBRACKET expr RBRACKET
        { $$ = node($1, $3, NODE_INDEXED); }
    | LPAREN expr RPAREN        { $$ = $2; }
    | expr PLUS expr            { $$ = node($1, $3, NODE_ADD); }
    | expr MINUS expr           { $$ = node($1, $3, NODE_SUBTRACT); }
    | expr STAR expr            { $$ = node($1, $3, NODE_MULTIPLY); }
    | expr SLASH expr           { $$ = node($1, $3, NODE_DIVIDE); }
    | MINUS expr %prec UNC      { $$ = node(nullptr, $2, NODE_NEGATE); }
    | Identifier LPAREN optArgs RPAREN
        { $$ = call($1, $3, NODE_FUNCTION_CALL); }
    ;

cond
    : expr EQ expr              { $$ = node($1, $3, NODE_EQUAL); }
    | expr NE expr              { $$ = node($1, $3, NODE_NOT_EQUAL); }
    | expr LE expr              { $$ = node($1, $3, NODE_LESS_EQUAL); }
    | expr GE expr              { $$ = node($1, $3, NODE_GREATER_EQUAL); }
    | expr LT expr              { $$ = node($1, $3, NODE_LESS); }
    | expr GT expr              { $$ = node($1, $3, NODE_GREATER); }
    | LPAREN cond RPAREN        { $$ = $2; }
    | cond AND cond             { $$ = node($1, $3, NODE_AND); }
    | cond OR cond              { $$ = node($1, $3, NODE_OR); }
    | NOT cond                  { $$ = node(nullptr, $2, NODE_NOT); }
    ;

optArgs
    : %empty                    { $$ = nullptr; }
    | args                      { $$ = $1; }
    ;

args
    : arg                       { $$ = $1; }
    | args COMMA arg            { $$ = node($1, $3, NODE_CHAIN); }
    ;

arg
    : expr                      { $$ = $1; }
    | textValue                 { $$ = $1; }
    ;

textValue
    : THIS                      { $$ = own(makeStringNode(kThisPlaceholder, scannerLine())); }
    | TYPENAME                  { $$ = typeNameValue(); }
    | String                    { $$ = own(makeStringNode($1, scannerLine())); }
    ;

circuit
    : circuitHead useList connectionList ENDCIRCUIT Identifier optSemi
        {
            const char* opened = circuitName() ? circuitName() : "";
            if (strcmp($5, opened) != 0)
                compileError(kStrCircuitEndNameMismatch, $5, opened);
        }
    ;

circuitHead
    : CIRCUIT Identifier SEMICOLON
        { setCircuitName($2); }
    ;

useList
    : %empty
    | useList useHead assignmentList ENDUSE
        { endUse(); }
    ;

useHead
    : fromClause USE Identifier AS Identifier optThis
        {
            strcpy(use.prefix, $1);
            strcpy(use.typeName, $3);
            strcpy(use.instanceName, $5);
        }
    ;

optThis
    : %empty                    { use.thisName[0] = 0; }
    | THIS Identifier           { strcpy(use.thisName, $2); }
    ;

assignmentList
    : %empty
    | assignmentList Identifier ASSIGN expr SEMICOLON
        { parameterValue($2, $4); }
    | assignmentList Identifier ASSIGN textValue SEMICOLON
        { parameterValue($2, $4); }
    ;

connectionList
    : %empty
    | connectionList SAVE saveItems SEMICOLON
    | connectionList CONNECT connectItems SEMICOLON
    ;

saveItems
    : signal                    { save($1); }
    | saveItems optComma signal { save($3); }
    ;

optComma
    : %empty
    | COMMA
    ;

connectItems
    : connectPair
    | connectItems COMMA connectPair
    ;

connectPair
    : signal TO signal          { connect($1, $3); }
    ;

signal
    : Identifier DOT Identifier { $$ = resolve($1, $3); }
    ;

optSemi
    : %empty
    | SEMICOLON
    ;

%%


namespace {

// The token whose symbol the parser tables number kind.
int tokenOfSymbol(int kind)
{
    for (int token = 0; token <= YYMAXUTOK; ++token)
        if (YYTRANSLATE(token) == kind)
            return token;
    return -1;
}

} // namespace

// No action for the look-ahead token: every token that could follow is
// offered as an alternative, then the message is shown.
static int yyreport_syntax_error(const yypcontext_t* context)
{
    yysymbol_kind_t expected[YYNTOKENS];
    int n = yypcontext_expected_tokens(context, expected, YYNTOKENS);
    if (n < 0)
        return n;
    for (int i = 0; i < n; ++i) {
        int token = tokenOfSymbol(expected[i]);
        if (token >= 0)
            compilerMessage(nullptr, tokenName(token).text());
    }
    compilerMessage(nullptr, nullptr);
    return 0;
}

// Bison's only other message: the parse stacks are full.
void yyerror(const char*)
{
    compilerMessage("%s", "yacc stack overflow");
}

#undef yyparse
int yyparse()
{
    return mdlparse() == 0 ? 0 : 1;
}
