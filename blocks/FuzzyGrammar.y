/* Grammar of the fuzzy-block text. The check pass and the build pass share
   it; every action builds only while the parser builds, so the check pass
   runs none. The start token that the scanner hands out first selects a
   whole block or a rule base alone. */

%code requires {
#include "FuzzyBlock.h"
class FuzzyParser;
}

%code top {
/* Before the prefix macros of the generated parser: they would rename the
   parser class's yylex. */
#include "FuzzyParser.h"
/* The parse stack of every generated parser has the same fixed depth. */
#define YYINITDEPTH kYaccStackDepth
#define YYMAXDEPTH kYaccStackDepth
}

%code {
#include <cstdlib>

int fzyylex(FZYYSTYPE* value, FuzzyParser* parser);
void fzyyerror(FuzzyParser* parser, const char* message);

#define BUILDING (parser->isBuilding())
}

%define api.prefix {fzyy}
%define api.pure full
%define api.token.prefix {FZ_}
%define parse.error custom
/* Look-ahead correction: the list of expected tokens is complete also where
   the tables would reduce by default first. */
%define parse.lac full
%param {FuzzyParser* parser}

%union {
    char* text;
    int color;
    FuzzyPremise* premise;
    FuzzyRule* rule;
    FuzzyRuleNode* rules;
    FuzzyConfiguration* config;
    FuzzyPosition* position;
    FuzzyMemberSet* set;
    FuzzyMember* members;
    FuzzyVariable* variables;
}

/* The one table of the tokens: their numbers come from here, the scanner
   returns them, and the quoted names are what syntax messages print. */
%token END 0 "Dateiende"
%token <text> NAME "Identifier"
%token <text> NUMBER "Number"
%token <text> STRING "String"
%token <text> COMMENT "COMMENT"
%token FBLOCK "FBLOCK"
%token CONFIGURATION "CONFIGURATION"
%token AND_METHOD "AND_METHOD"
%token OR_METHOD "OR_METHOD"
%token INFERENCE_METHOD "INFERENCE_METHOD"
%token DEFUZZIFICATION_METHOD "DEFUZZIFICATION_METHOD"
%token ENDCONFIGURATION "ENDCONFIGURATION"
%token INPUTVAR "INPUTVAR"
%token XMIN "XMIN"
%token XMAX "XMAX"
%token GRID "GRID"
%token MEMBER "MEMBER"
%token TRAPEZ "TRAPEZ"
%token SINGLETON "SINGLETON"
%token COLOR "COLOR"
%token POSITION "POSITION"
%token ENDMEMBER "ENDMEMBER"
%token ENDINPUTVAR "ENDINPUTVAR"
%token OUTPUTVAR "OUTPUTVAR"
%token ENDOUTPUTVAR "ENDOUTPUTVAR"
%token RULEBASE "RULEBASE"
%token IF "IF"
%token THEN "THEN"
%token AND "AND"
%token OR "OR"
%token NOT "NOT"
%token WITH "WITH"
%token ENDRULEBASE "ENDRULEBASE"
%token ENDFBLOCK "ENDFBLOCK"
%token EQ "=="
%token ASSIGN "="
%token SEMI ";"
%token COMMA ","
%token LPAREN "("
%token RPAREN ")"
%token START_BLOCK "FBLOCK-Text"
%token START_RULES "Regelbasis"

%type <text> blockname grid cf commentpart
%type <color> color
%type <position> position
%type <set> shape
%type <members> members
%type <variables> variable inputs outputs
%type <config> configuration
%type <rules> rulebase rules
%type <rule> rule
%type <premise> premise conjunction factor atom

/* What a pass that stops leaves on the stack is freed here. */
%destructor { free($$); } <text>
%destructor { freePosition($$); } <position>
%destructor { freeMemberSet($$); } <set>
%destructor { freeMembers($$); } <members>
%destructor { freeVariables($$); } <variables>
%destructor { freeConfiguration($$); } <config>
%destructor { freeRuleList($$); } <rules>
%destructor { freeRule($$); } <rule>
%destructor { freePremise($$); } <premise>

%%

start
    : START_BLOCK block
    | START_RULES rules                 { if (BUILDING) parser->keepRules($2); else freeRuleList($2); }
    ;

block
    : FBLOCK blockname SEMI configuration inputs outputs rulebase commentpart ENDFBLOCK SEMI
        {
            if (BUILDING)
                FuzzyBlock::finish(parser->getKernel(), $2, $4, $5, $6, $7, $8);
        }
    ;

blockname
    : NAME                              { $$ = $1; }
    | STRING                            { $$ = $1; }
    ;

configuration
    : CONFIGURATION SEMI
      AND_METHOD ASSIGN NAME SEMI
      OR_METHOD ASSIGN NAME SEMI
      INFERENCE_METHOD ASSIGN NAME SEMI
      DEFUZZIFICATION_METHOD ASSIGN NAME SEMI
      ENDCONFIGURATION SEMI
        { $$ = BUILDING ? makeConfiguration($5, $9, $13, $17) : nullptr; }
    ;

inputs
    : INPUTVAR variable ENDINPUTVAR SEMI         { $$ = $2; }
    | inputs INPUTVAR variable ENDINPUTVAR SEMI  { $$ = BUILDING ? appendVariable($1, $3) : nullptr; }
    ;

outputs
    : OUTPUTVAR variable ENDOUTPUTVAR SEMI         { $$ = $2; }
    | outputs OUTPUTVAR variable ENDOUTPUTVAR SEMI { $$ = BUILDING ? appendVariable($1, $3) : nullptr; }
    ;

variable
    : NAME SEMI XMIN NUMBER SEMI XMAX NUMBER SEMI grid members
        { $$ = BUILDING ? makeVariable($1, $4, $7, $9, $10) : nullptr; }
    ;

grid
    : %empty                            { $$ = nullptr; }
    | GRID NUMBER SEMI                  { $$ = $2; }
    ;

members
    : MEMBER NAME SEMI shape color position ENDMEMBER SEMI
        { $$ = BUILDING ? appendMember(nullptr, $2, $4, $5, $6) : nullptr; }
    | members MEMBER NAME SEMI shape color position ENDMEMBER SEMI
        { $$ = BUILDING ? appendMember($1, $3, $5, $6, $7) : nullptr; }
    ;

shape
    : TRAPEZ NUMBER COMMA NUMBER COMMA NUMBER COMMA NUMBER SEMI
        { $$ = BUILDING ? makeMember("TRAPEZ", $2, $4, $6, $8) : nullptr; }
    | SINGLETON NUMBER SEMI
        { $$ = BUILDING ? makeMember("SINGLETON", $2, nullptr, nullptr, nullptr) : nullptr; }
    ;

color
    : %empty                            { $$ = kFuzzyNoColor; }
    | COLOR NAME SEMI                   { $$ = BUILDING ? colorIndex($2) : kFuzzyNoColor; }
    ;

position
    : %empty                            { $$ = nullptr; }
    | POSITION NAME SEMI                { $$ = BUILDING ? makeNamedValue($2, nullptr) : nullptr; }
    | POSITION NUMBER COMMA NUMBER SEMI { $$ = BUILDING ? makeNamedValue($2, $4) : nullptr; }
    ;

rulebase
    : RULEBASE SEMI rules ENDRULEBASE SEMI  { $$ = $3; }
    ;

rules
    : rule                              { $$ = BUILDING ? newNameList($1) : nullptr; }
    | rules rule                        { $$ = BUILDING ? appendNameList($1, $2) : nullptr; }
    ;

rule
    : IF premise THEN NAME ASSIGN NAME cf SEMI
        { $$ = BUILDING ? makeRule($2, makeConclusion($4, $6), $7) : nullptr; }
    ;

cf
    : %empty                            { $$ = nullptr; }
    | WITH NUMBER                       { $$ = $2; }
    ;

/* AND binds more tightly than OR, both group from the left; NOT takes
   only what directly follows it. */
premise
    : conjunction                       { $$ = $1; }
    | premise OR conjunction            { $$ = BUILDING ? makeLogicNode("OR", $1, $3) : nullptr; }
    ;

conjunction
    : factor                            { $$ = $1; }
    | conjunction AND factor            { $$ = BUILDING ? makeLogicNode("AND", $1, $3) : nullptr; }
    ;

factor
    : atom                              { $$ = $1; }
    | NOT atom                          { $$ = BUILDING ? makeLogicNode("NOT", nullptr, $2) : nullptr; }
    ;

atom
    : NAME EQ NAME                      { $$ = BUILDING ? makeCompareNode("EQ", $1, $3) : nullptr; }
    | LPAREN premise RPAREN             { $$ = $2; }
    ;

commentpart
    : %empty                            { $$ = nullptr; }
    | COMMENT                           { $$ = $1; }
    ;

%%

#undef yylex

/* The expected alternatives go to the parser base one by one, the way the
   base builds its list. */
static int yyreport_syntax_error(const yypcontext_t* context, FuzzyParser* parser)
{
    yysymbol_kind_t expected[YYNTOKENS];
    int n = yypcontext_expected_tokens(context, expected, YYNTOKENS);
    if (n < 0)
        return n;
    parser->setMessageLine(parser->scanLine);
    for (int i = 0; i < n; ++i)
        if (expected[i] != YYSYMBOL_START_BLOCK && expected[i] != YYSYMBOL_START_RULES)
            YaccParser::error(parser, nullptr, yysymbol_name(expected[i]));
    YaccParser::error(parser, nullptr, nullptr);
    return 0;
}

/* The token from the parser, its text as the value. */
int fzyylex(FZYYSTYPE* value, FuzzyParser* parser)
{
    int token = parser->yylex();
    value->text = parser->takeTokenText();
    return token;
}

void fzyyerror(FuzzyParser* parser, const char* message)
{
    /* Only the full stack reaches here; syntax errors go through the report above. */
    (void)message;
    /* A mended fault: without the scanner's line the message named line 0. */
    parser->setMessageLine(parser->scanLine);
    parser->stackOverflow();
}

const char* fuzzyTokenName(int token)
{
    if (token < 0)
        return "";
    return yysymbol_name(YYTRANSLATE(token));
}

int fuzzyStartToken(bool rulesOnly)
{
    return rulesOnly ? FZ_START_RULES : FZ_START_BLOCK;
}
