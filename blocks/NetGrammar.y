/* Grammar of net files and pattern files. The start token that the parser
   hands out first selects the language: START_NET a net file
   (NetDescriptionParser), START_PATTERNS a pattern file (NetAuxParser).
   Neither language has error recovery: the first token that does not fit
   ends the parse with the list of the tokens that would have fitted. */

%code requires {
#include "NetFiles.h"
class NetLanguageParser;
}

%code top {
/* Before the prefix macros of the generated parser. */
#include "NetParsers.h"
/* The parse stack of every generated parser has the same fixed depth. */
#define YYINITDEPTH kYaccStackDepth
#define YYMAXDEPTH kYaccStackDepth
/* A symbol reaches from the first byte of its first token to the end of its
   last one; an empty one stands where the one before it ended. */
#define YYLLOC_DEFAULT(Current, Rhs, N)                                   \
    do {                                                                  \
        if (N) {                                                          \
            (Current).begin = YYRHSLOC(Rhs, 1).begin;                     \
            (Current).end = YYRHSLOC(Rhs, N).end;                         \
            (Current).line = YYRHSLOC(Rhs, 1).line;                       \
        } else {                                                          \
            (Current).begin = (Current).end = YYRHSLOC(Rhs, 0).end;       \
            (Current).line = YYRHSLOC(Rhs, 0).line;                       \
        }                                                                 \
    } while (0)
}

%code {
#include <algorithm>
#include <cstdlib>
#include <cstring>

static int nnlex(NNSTYPE* value, NNLTYPE* location, NetLanguageParser* parser);
static void nnerror(NNLTYPE* location, NetLanguageParser* parser, const char* message);
}

%define api.prefix {nn}
%define api.pure full
%define api.token.prefix {NN_}
%define api.location.type {NetSpan}
%define parse.error custom
/* Look-ahead correction: the list of expected tokens is complete also where
   the tables would reduce by default first. */
%define parse.lac full
%locations
%param {NetLanguageParser* parser}

%union {
    char* text;
    int integer;
    double real;
}

/* The one table of the tokens: the scanner returns these codes, and the
   quoted names are what syntax messages print. Three keywords are written
   otherwise in the files: "NOOFPATTERN:", "INPUT:" and "SCREENOPTIONS". */
%token END 0 "End of File"
%token <text> DIGITS 257 "Digits"
%token FILENAME 258 "FILENAME:"
%token COMMENT 259 "COMMENT:"
%token FILETYPE 260 "FILETYPE:"
%token NOOFPATTERN 261 "ATTERNANZAHL"
%token NETPARAMETER 262 "NETPARAMETER"
%token NETSTATUS 263 "NETSTATUS:"
%token NETTYPE 264 "NETTYPE:"
%token LEARNINGMETHOD 265 "LEARNINGMETHOD:"
%token LEARNPARAMETER 266 "LEARNPARAMETER:"
%token MOMENTUM 267 "MOMENTUM:"
%token ADAPTIVE 268 "ADAPTIVE:"
%token INIT 269 "INIT:"
%token INITSTATUS 270 "INITSTATUS:"
%token CYCLES 271 "CYCLES:"
%token ERRORLIMIT 272 "ERRORLIMIT:"
%token HIDDENLAYER 273 "HIDDENLAYER:"
%token INPUTNEURONS 274 "INPUTNEURONS:"
%token OUTPUTNEURONS 275 "OUTPUTNEURONS:"
%token HIDDENNEURONS 276 "HIDDENNEURONS:"
%token PATTERN 277 "PATTERN"
%token INPUT 278 "INPUT"
%token OUTPUT_REF 279 "OUTPUT_REF:"
%token OUTPUT 280 "OUTPUT:"
%token HIDDENACTIVATION 281 "HIDDENACTIVATION:"
%token SCREENOPTIONS 282 "SCREENOPTIONS:"
%token WEIGHTS 283 "WEIGHTS:"
%token ON 284 "On"
%token OFF 285 "Off"
%token CONNECTIONS 286 "CONNECTIONS:"
%token NEURONNUMBER 287 "NEURONNUMBER:"
%token BIAS 288 "BIAS:"
%token GRIDWIDTH 289 "GRIDWIDTH:"
%token GRIDHEIGHT 290 "GRIDHEIGHT:"
%token NEURONPARAMETER 291 "NEURONPARAMETER"
%token LAYERPARAMETER 292 "LAYERPARAMETER"
%token NEURONCONNECTIONS 293 "NEURONCONNECTIONS"
%token <text> IDENT 294 "Identifier"
%token BAR 295 "|"
/* Never returned by the scanner: the parser's first token. */
%token START_NET 296 "Netzdatei"
%token START_PATTERNS 297 "Musterdatei"

%type <text> name
%type <integer> integer
%type <real> real

/* What a parse that stops leaves on the stack is freed here. */
%destructor { free($$); } <text>

%%

start
    : START_NET netfile
    | START_PATTERNS patternfile
    ;

/* --- Values ---------------------------------------------------------------- */

name
    : IDENT                                     { $$ = $1; }
    ;

integer
    : DIGITS                                    { $$ = netTextToInt($1); free($1); }
    ;

real
    : DIGITS                                    { $$ = netTextToReal($1); free($1); }
    ;

/* Values that are read and not kept. */
word
    : IDENT                                     { free($1); }
    ;

number
    : DIGITS                                    { free($1); }
    ;

onoff
    : ON
    | OFF
    ;

/* --- Net file ---------------------------------------------------------------- */

netfile
    : head netparameters screenoptions neuronparameters layerparameters neuronconnections
                                                { parser->finishNetFile(); }
    ;

head
    : word FILENAME name COMMENT                { parser->setFileName($3); }
    ;

netparameters
    : NETPARAMETER netstatus nettype learningmethod learnparameter momentum adaptive init
      initstatus cycles errorlimit hiddenlayer inputneurons outputneurons hiddenneurons
                                                { if (!parser->completeNetParameters(@15)) YYABORT; }
    ;

netstatus
    : NETSTATUS word
    ;

nettype
    : NETTYPE name                              { parser->setNetType($2); }
    ;

learningmethod
    : LEARNINGMETHOD name name                  { parser->setLearning($2, $3); }
    ;

learnparameter
    : LEARNPARAMETER real                       { parser->setRate($2, @2); }
    ;

momentum
    : MOMENTUM ON real real                     { parser->setMomentum(true, $3, $4); }
    | MOMENTUM OFF real real                    { parser->setMomentum(false, $3, $4); }
    ;

adaptive
    : ADAPTIVE ON real real                     { parser->setAdaptive(true, $3, $4); }
    | ADAPTIVE OFF real real                    { parser->setAdaptive(false, $3, $4); }
    ;

init
    : INIT name real real                       { parser->setInit($2, $3, $4); }
    ;

initstatus
    : INITSTATUS word
    ;

cycles
    : CYCLES integer                            { parser->setCycles($2, @2); }
    ;

errorlimit
    : ERRORLIMIT real                           { parser->setErrorLimit($2); }
    ;

hiddenlayer
    : HIDDENLAYER integer                       { if (!parser->setHiddenLayers($2, @2)) YYABORT; }
    ;

inputneurons
    : INPUTNEURONS integer                      { if (!parser->setInputs($2, @2)) YYABORT; }
    ;

outputneurons
    : OUTPUTNEURONS integer                     { if (!parser->setOutputs($2, @2)) YYABORT; }
    ;

hiddenneurons
    : HIDDENNEURONS hiddensizes
    ;

hiddensizes
    : integer                                   { if (!parser->addHiddenSize($1, @1)) YYABORT; }
    | hiddensizes integer                       { if (!parser->addHiddenSize($2, @2)) YYABORT; }
    ;

screenoptions
    : SCREENOPTIONS WEIGHTS onoff CONNECTIONS onoff NEURONNUMBER onoff BIAS onoff
      GRIDWIDTH number GRIDHEIGHT number
    ;

/* Header rows: column names between bars, read and dropped. */
neuronparameters
    : NEURONPARAMETER header14 neuronrows
    ;

header14
    : word BAR word BAR word BAR word BAR word BAR word BAR word BAR
      word BAR word BAR word BAR word BAR word BAR word BAR word
    ;

neuronrows
    : neuronrow
    | neuronrows neuronrow
    ;

/* Number, name, four integers, activation function with gain and further
   parameter, output function with gain and further parameter, output value
   and bias. The second name and the four integers are not kept. */
neuronrow
    : integer BAR word BAR number BAR number BAR number BAR number BAR
      name BAR real BAR real BAR name BAR real BAR real BAR real BAR real
        { parser->neuronRow($1, $13, $15, $17, $19, $21, $23, $25, $27, @27); }
    ;

layerparameters
    : LAYERPARAMETER header19 layerrows
    ;

header19
    : word BAR word BAR word BAR word BAR word BAR word BAR word BAR word BAR word BAR word BAR
      word BAR word BAR word BAR word BAR word BAR word BAR word BAR word BAR word
    ;

layerrows
    : layerrow
    | layerrows layerrow
    ;

/* Four integers, a name, two reals, a name, two reals, nine integers: read
   and not kept. */
layerrow
    : number BAR number BAR number BAR number BAR word BAR number BAR number BAR word BAR
      number BAR number BAR number BAR number BAR number BAR number BAR number BAR number BAR
      number BAR number BAR number
    ;

neuronconnections
    : NEURONCONNECTIONS header2 connectionrows  { parser->noteConnections(@3); }
    ;

header2
    : word BAR word
    ;

connectionrows
    : connectionrow
    | connectionrows connectionrow
    ;

connectionrow
    : integer connectionitems                   { parser->connectionRow($1); }
    ;

connectionitems
    : connectionitem
    | connectionitems connectionitem
    ;

/* "| target : weight": the colon reads as a name. */
connectionitem
    : BAR integer word real                     { parser->connectionItem($2, $4); }
    ;

/* --- Pattern file ------------------------------------------------------------- */

patternfile
    : patternhead patterns                      { parser->finishPatterns(); }
    ;

patternhead
    : word FILENAME word FILETYPE word NOOFPATTERN integer
      NETPARAMETER INPUTNEURONS number OUTPUTNEURONS number HIDDENNEURONS number
                                                { if (!parser->startPatterns($7, @7)) YYABORT; }
    ;

patterns
    : pattern
    | patterns pattern
    ;

pattern
    : PATTERN integer                           { parser->beginPattern($2); }
      INPUT values                              { parser->patternInputs(); }
      OUTPUT_REF values                         { parser->patternReferences(); }
      OUTPUT values                             { parser->dropValues(); }
      HIDDENACTIVATION optionalvalues           { parser->dropValues(); }
    ;

values
    : real                                      { parser->addValue($1); }
    | values real                               { parser->addValue($2); }
    ;

optionalvalues
    : %empty
    | optionalvalues real                       { parser->addValue($2); }
    ;

%%

namespace {

/* The token code of a symbol of the tables, or -1. */
int tokenOfSymbol(int kind)
{
    for (int token = 0; token <= YYMAXUTOK; ++token)
        if (YYTRANSLATE(token) == kind)
            return token;
    return -1;
}

} // namespace

/* Every token that could have been taken here, in ascending code order, goes
   to the parser base, which builds the "erwartet wird" list and shows it. */
static int yyreport_syntax_error(const yypcontext_t* context, NetLanguageParser* parser)
{
    yysymbol_kind_t expected[YYNTOKENS];
    int n = yypcontext_expected_tokens(context, expected, YYNTOKENS);
    if (n < 0)
        return n;
    int codes[YYNTOKENS];
    int count = 0;
    for (int i = 0; i < n; ++i) {
        int code = tokenOfSymbol(expected[i]);
        if (code >= 0 && code != NN_START_NET && code != NN_START_PATTERNS)
            codes[count++] = code;
    }
    std::sort(codes, codes + count);
    parser->setMessageLine(yypcontext_location(context)->line);
    for (int i = 0; i < count; ++i)
        YaccParser::error(parser, nullptr, parser->tokenName(codes[i]));
    YaccParser::error(parser, nullptr, static_cast<const char*>(nullptr));
    return 0;
}

/* The token from the parser; numbers and names with a copy of their text. */
static int nnlex(NNSTYPE* value, NNLTYPE* location, NetLanguageParser* parser)
{
    int token = parser->nextToken();
    value->text = nullptr;
    if (token == NN_DIGITS || token == NN_IDENT)
        value->text = strdup(netScannerText());
    *location = netScannerSpan();
    return token;
}

/* With custom syntax errors the skeleton calls this only when the stack is
   full. */
static void nnerror(NNLTYPE*, NetLanguageParser* parser, const char*)
{
    parser->stackOverflow();
}

int runNetGrammar(NetLanguageParser* parser)
{
    return nnparse(parser) == 0 ? 0 : 1;
}

const char* netGrammarTokenName(int token)
{
    if (token != 0 && (token < NN_DIGITS || token > NN_BAR))
        return nullptr;
    return yysymbol_name(YYTRANSLATE(token));
}

int netStartToken(int start)
{
    return start == 0 ? NN_START_NET : NN_START_PATTERNS;
}
