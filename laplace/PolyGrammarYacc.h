// The grammar engine of the transfer functions: the parser generated from
// PolyGrammar.y on the common parser base. It reads the live driver's input
// and builds the function in the driver's result.
#ifndef KYT_LAPLACE_POLYGRAMMARYACC_H
#define KYT_LAPLACE_POLYGRAMMARYACC_H

#include "TokenNames.h"
#include "YaccParser.h"

class PolyGrammarYacc : public YaccParser {
public:
    PolyGrammarYacc();
    ~PolyGrammarYacc() override;

    // The next token of the live driver's input.
    int yylex() override;
    // Printable name of a token for syntax messages.
    const char* tokenName(int token) override;
    // 0 when the whole input was accepted; 1 after a syntax error or a full
    // stack.
    int parse() override;

private:
    char nameBuffer[kTokenNameSize];
};

// Runs the generated parser (PolyGrammar.y).
int runTransferGrammar(PolyGrammarYacc* engine);

#endif
