// Readers of the net-file language: one scanner (nnyylook, flex) cuts net
// files and pattern files into tokens; one grammar (bison) holds both
// languages, and the start token that the parser hands out first selects
// which. NetDescriptionParser reads a net file into a net;
// NetAuxParser reads a pattern file into the pattern matrices of a net that
// already holds its neuron counts.
//
// Every value reaches the grammar as a copy of its token's text, which the
// actions convert (locale-free): bison reads the look-ahead before most
// reductions, so the scanner's current text may already be that of the next
// token.
#ifndef KYT_BLOCKS_NETPARSERS_H
#define KYT_BLOCKS_NETPARSERS_H

#include "NetFiles.h"
#include "TokenNames.h"
#include "YaccParser.h"
#include "strings/NnStrings.h"

#include <cstddef>
#include <string>
#include <vector>

class NeuralNet;

// --- The scanner --------------------------------------------------------------

// The next token of the scanner's input: 0 at its end (also at a byte 0),
// else a code from 257 to 295. Characters that begin no token are written to
// standard output and skipped.
int nnyylook();
// Makes data (size bytes, up to its first byte 0) the scanner's input and
// empties the read-ahead; null clears the input (nnyylook then gives 0).
void netScannerSetInput(const char* data, size_t size);
// The text of the token just read; valid until the next token is read.
const char* netScannerText();
// Where the token just read stands: its byte offsets and its line.
NetSpan netScannerSpan();

// Integers as the standard text-to-integer conversion reads them (sign and
// digits, the rest ignored; a text without digits gives 0; too large values
// give the nearest int); reals as the standard text-to-double conversion,
// whatever the locale (1e gives 1, a lone minus sign 0).
int netTextToInt(const char* text);
double netTextToReal(const char* text);

// Largest counts a net may have; beyond them a file is refused.
const int kNetMaxNeurons = 2000;
const int kNetMaxPatterns = 1000000;

// Texts of the count checks.
const unsigned int kTextNegativeCount = kStrNNCountNegative;
const unsigned int kTextCountTooLarge = kStrNNCountTooLarge;

// --- The parsers -----------------------------------------------------------------

class NetLanguageParser : public YaccParser {
public:
    ~NetLanguageParser() override;

    // The next token of the scanner (nnyylook).
    int yylex() override;
    // The names of the language's token table; other codes as every parser
    // names them (commonTokenName).
    const char* tokenName(int token) override;

    // The net the actions fill (not owned).
    void setNet(NeuralNet* net) { target = net; }
    NeuralNet* getNet() const { return target; }

    // Parses data as the scanner's whole input (the read-ahead emptied
    // first) and clears the input afterwards: 0 accepted, 1 after a syntax
    // error, a refused count or a full parser stack.
    int parseText(const char* data, size_t size);

    // --- For the generated grammar ---
    // The start token first, then the scanner's tokens.
    int nextToken();
    int startKind() const { return start; }

    // Net file.
    void setFileName(char* text);
    void setNetType(char* text);
    void setLearning(char* mode, char* method);
    void setRate(double rate, const NetSpan& where);
    void setMomentum(bool on, double constant, double ratio);
    void setAdaptive(bool on, double increase, double decrease);
    void setInit(char* name, double first, double second);
    void setCycles(int cycles, const NetSpan& where);
    void setErrorLimit(double limit);
    bool setHiddenLayers(int count, const NetSpan& where);
    bool setInputs(int count, const NetSpan& where);
    bool setOutputs(int count, const NetSpan& where);
    bool addHiddenSize(int size, const NetSpan& where);
    // The end of the NETPARAMETER group: the counts are checked and stored,
    // the neurons, matrices and the connection row record made.
    bool completeNetParameters(const NetSpan& where);
    void neuronRow(int number, char* activation, double activationGain, double activationParameter,
                   char* output, double outputGain, double outputParameter, double outputValue, double bias,
                   const NetSpan& biasWhere);
    void connectionItem(int target, double weight);
    void connectionRow(int source);
    void noteConnections(const NetSpan& where);
    void finishNetFile();

    // Pattern file.
    bool startPatterns(int count, const NetSpan& where);
    void beginPattern(int number);
    void addValue(double v);
    void patternInputs();
    void patternReferences();
    void dropValues();
    void finishPatterns();

protected:
    // start: 0 a net file, 1 a pattern file.
    explicit NetLanguageParser(int start);
    // The generated parse, after reset.
    int runGrammar();

private:
    bool refuseCount(unsigned int textId, const char* keyword, const NetSpan& where);
    NetFileImage* image() const;

    int start;
    bool startPending;
    NeuralNet* target;
    char nameBuffer[kTokenNameSize];

    // The NETPARAMETER group, stored when it is complete.
    struct Group {
        std::string netType, trainingMode, learningMethod, initName;
        double rate = 0, momentum = 0, maxErrorRatio = 0, increase = 0, decrease = 0;
        double initFirst = 0, initSecond = 0, errorLimit = 0;
        int cycles = 0, hiddenLayers = 0, inputs = 0, outputs = 0;
        std::vector<int> sizes;
        bool errorReset = false;
    } group;
    // The connection row being read: one weight and one mark per neuron.
    std::vector<double> rowWeights;
    std::vector<char> rowMarks;
    // The values of the pattern list being read.
    std::vector<double> values;
    int patternNumber;
};

// Reads a net file into the net set with setNet.
class NetDescriptionParser : public NetLanguageParser {
public:
    NetDescriptionParser();
    int parse() override;
};

// Reads a pattern file into the pattern count and pattern matrices of the
// net set with setNet.
class NetAuxParser : public NetLanguageParser {
public:
    NetAuxParser();
    int parse() override;
};

// The grammar (NetGrammar.y): runs the parse; 0 accepted, 1 otherwise.
int runNetGrammar(NetLanguageParser* parser);
// The name of a code of the language's own token table (0 and 257 to 295),
// or null for any other code.
const char* netGrammarTokenName(int token);
// The token code that starts a parse of each kind.
int netStartToken(int start);

#endif
