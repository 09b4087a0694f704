// The driver of the transfer-function parser behind the Laplace wizard: it
// owns the input text, the collected parameter names, the values alive in a
// parse, the message of a run and the work file, and generates a
// model-language block from a G(s) or G(z).
//
// Exactly one driver exists at a time; the expression trees, the polynomial
// code, the scanner, the grammar actions and the block writer reach it
// through PolyGrammarParser::live().
#ifndef KYT_LAPLACE_POLYGRAMMARPARSER_H
#define KYT_LAPLACE_POLYGRAMMARPARSER_H

#include "ParameterList.h"

#include <cstdio>
#include <ctime>

class RationalFunction;

// Every CaNode made in one run counts against this budget: (K*s+1)^k holds
// about 4*2^k nodes, and without a limit a short text exhausts the memory.
const unsigned long kTransferNodeBudget = 1000000;
// Deepest expression tree a run may build (the walks over trees recurse).
const int kMaxTransferTreeHeight = 4000;

// Room of the token text and of the message, the NUL included.
const int kTransferTokenSize = 256;
const int kTransferMessageSize = 256;

// Kinds of the records of the allocation list.
enum {
    TRANSFER_VALUE = 0,  // a RationalFunction
    TRANSFER_TEXT = 1    // a text from mallocHook
};

// Source of the local date and time written into a generated block; tests
// install a fixed one. Null restores the system clock.
typedef void (*TransferClock)(struct tm* now);
void setTransferClock(TransferClock clock);

class PolyGrammarParser {
public:
    PolyGrammarParser();
    virtual ~PolyGrammarParser();

    // The one live driver, or null.
    static PolyGrammarParser* live();

    // A check of the written block before it takes the block file's place
    // (the program's compiler parse); null, the default, accepts every block.
    typedef bool (*BlockCheck)(const char* workFile);
    void setBlockCheck(BlockCheck check) { blockCheck = check; }

    // Parses text and writes the block blockName into blockFile, through the
    // work file workFile. 0 when the block file was written, 1 otherwise;
    // the reason, if any, is the stored message.
    int generateBlock(const char* text, const char* workFile, const char* blockFile,
                      const char* blockName);

    // Runs one grammar engine over the input: 0 when the whole input was
    // accepted (the result then holds the function), 1 otherwise.
    int parse();

    // The message store: only the first message of a run is kept.
    void setMessage(const char* text);
    // The string-table text id, formatted with the further arguments.
    void storeMessage(unsigned int id, ...);
    void clearMessage();
    const char* getMessage() const { return message; }
    bool hasMessage() const { return messageStored; }
    // String-table id of the kept message; 0 for a text stored directly.
    unsigned int getMessageId() const { return messageId; }

    // Stores a message in the live driver, if there is one.
    static void report(unsigned int id);

    // A copy of text becomes the input; the scanner starts at its beginning.
    void setInput(const char* text);
    const char* getInput() const { return inputCopy; }

    void setResult(RationalFunction* r) { result = r; }
    RationalFunction* getResult() const { return result; }
    void setWorkFile(FILE* f) { workFile = f; }
    FILE* getWorkFile() const { return workFile; }

    ParameterList& getParameters() { return parameters; }

    // The allocation list of the values alive in a parse. A pointer
    // registered twice (20400), released without being registered (20402)
    // and a record of unknown kind (20401) are fatal.
    void registerPointer(void* p, int kind);
    void unregisterPointer(void* p);
    // Frees every registered value and empties the list.
    void freeRegisteredPointers();
    int countRegisteredPointers() const;

    // Node budget of a run.
    void startNodeCount();
    unsigned long getNodesMade() const { return nodesMade; }
    bool isTooLarge() const { return tooLarge; }
    // Called by every CaNode made while this driver lives.
    static void noteNodeMade(int height);
    // True when n more nodes fit into the budget of the live driver (always
    // without one); otherwise the run is marked too large.
    static bool reserveNodes(unsigned long n);
    // The live driver's run went past its budget.
    static bool tooLargeNow();

    // Scanner state.
    char* tokenText() { return token; }
    double getNumberValue() const { return numberValue; }
    void setNumberValue(double v) { numberValue = v; }
    const char* inputPointer() const { return input; }
    int getChar();
    void ungetChar();

private:
    PolyGrammarParser(const PolyGrammarParser&) = delete;
    PolyGrammarParser& operator=(const PolyGrammarParser&) = delete;

    void markTooLarge();
    bool copyWorkFileToBlock(const char* workPath, const char* blockPath);

    struct Allocation {
        Allocation* next;
        int kind;
        void* pointer;
    };

    static PolyGrammarParser* current;

    Allocation* allocations;
    const char* input;
    RationalFunction* result;
    FILE* workFile;
    char token[kTransferTokenSize];
    char message[kTransferMessageSize];
    bool messageStored;
    unsigned int messageId;
    char* inputCopy;
    double numberValue;
    ParameterList parameters;
    unsigned long nodesMade;
    bool tooLarge;
    BlockCheck blockCheck = nullptr;
};

// printf into the live driver's work file.
void transferPrintf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

#endif
