// The reader of the model-language texts that the editor turns back into
// objects: block descriptions (one block per file) and circuit files. A
// hand-written scanner with one character of look-ahead; recursive-descent
// routines fill the editor objects while they read. Every error is one
// message with file, line and column, shown in the line-numbered file viewer,
// after which reading stops.
#ifndef KYT_CIRCUITFILES_CIRCUITREADER_H
#define KYT_CIRCUITFILES_CIRCUITREADER_H

#include "String.h"
#include "strings/CircuitStrings.h"
#include "strings/MessagesStrings.h"
#include "strings/WorkspaceStrings.h"

#include <cstddef>
#include <cstdio>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

class BlockObject;
class CircuitModel;
class ConnectionObject;
class GedPane;

// Token kinds of the scanner.
enum CircuitToken {
    TOK_WORD = 100,
    TOK_SEMICOLON = 101,
    TOK_QUOTE = 102,
    TOK_BLANK = 103,
    TOK_EQUALS = 104,
    TOK_EOF = 110,
    TOK_DOLLAR = 111,
    TOK_COMMA = 112
};

// Sections of a block description.
enum DescriptionSection {
    SECTION_NONE = -1,
    SECTION_INPUT = 0,
    SECTION_OUTPUT = 1,
    SECTION_PARAMETER = 2,
    SECTION_VAR = 3,
    SECTION_STATE = 4,
    SECTION_DELAY = 5,
    SECTION_FILE = 6
};

// Hints of the reader (string table).
const unsigned int kResReadError = kStrCircuitReadError;
const unsigned int kResReadWarning = kStrCircuitReadWarning;
const unsigned int kResOldFormat = kStrKyt1xFormat;
const unsigned int kResExpectBlock = kStrExpectBlock;
const unsigned int kResExpectSemicolon = kStrExpectSemicolon;
const unsigned int kResExpectString = kStrExpectString;
const unsigned int kResExpectQuote = kStrExpectQuote;
const unsigned int kResExpectSgroup = kStrExpectSgroup;
const unsigned int kResBadSubtype = kStrBadSubtype;
const unsigned int kResExpectBlockdim = kStrExpectBlockdim;
const unsigned int kResExpectDollar = kStrExpectDollar;
const unsigned int kResExpectText = kStrExpectText;
const unsigned int kResExpectTextalig = kStrExpectTextalig;
const unsigned int kResExpectIconname = kStrExpectIconname;
const unsigned int kResExpectIcondim = kStrExpectIcondim;
const unsigned int kResExpectIconalig = kStrExpectIconalig;
const unsigned int kResExpectWizard = kStrExpectWizard;
const unsigned int kResUnexpectedEnd = kStrUnexpectedEnd;
const unsigned int kResExpectConnect = kStrExpectConnect;
const unsigned int kResExpectEndcircuit = kStrExpectEndcircuit;
const unsigned int kResExpectBlocklib = kStrExpectBlocklib;
const unsigned int kResExpectEnduse = kStrExpectEnduse;
const unsigned int kResExpectAs = kStrExpectAs;
const unsigned int kResUnknownParameter = kStrUnknownParameterValue;
const unsigned int kResExpectEquals = kStrExpectEquals;
const unsigned int kResExpectTo = kStrExpectTo;
const unsigned int kResExpectEndsignames = kStrExpectEndsignames;
const unsigned int kResExpectSignames = kStrExpectSignames;
const unsigned int kResExpectEndinterpoints = kStrExpectEndinterpoints;
const unsigned int kResExpectInterpoints = kStrExpectInterpoints;
const unsigned int kResUnknownKey = kStrUnknownKeyword;
const unsigned int kResNoSourceBlock = kStrNoSourceObject;
const unsigned int kResNoDestinationBlock = kStrNoDestinationObject;
const unsigned int kResEmptySignalName = kStrEmptySignalName;
// Not in the string table: the text stands as it always stood.
extern const char* const kExpectConnectSaveEnd;
// A failing stream is reported like a syntax error with this hint.
const unsigned int kResStreamError = kStrHelpReadError;
// So is a text or a line longer than circuits may have (19443, two numbers).
const unsigned int kResCircuitTooLarge = kStrCircuitFileTooLarge;

// Positions, sizes and interpoints beyond any document are held to it, so
// that no pixel computation (nor the shift of an insertion) overflows.
const int kMaxGridCoordinate = 100000;

// How much the readers of circuit text and block descriptions take: a line
// (an embedded wizard block writes long ones) and the whole text. Reading
// stops with a message at either, so that a device or a broken file ends.
struct CircuitReadLimits {
    size_t line;
    size_t text;
};
const CircuitReadLimits kCircuitReadLimits = {64u << 20, 256u << 20};
CircuitReadLimits circuitReadLimits();
// The tests set smaller ones; returns the previous limits.
CircuitReadLimits setCircuitReadLimits(const CircuitReadLimits& limits);

// The converter of version-1.x circuits that openFile asks first: the one
// of Kyt1xConverter.h unless the tests install another; null restores it.
class OldCircuitConverter {
public:
    virtual ~OldCircuitConverter() {}
    // 1 when name was a version-1.x file and its conversion stands in
    // target; 0 when it is none; -1 for a 1.x file that could not be
    // converted (reported), which then does not open.
    virtual int convert(const char* name, const char* target) = 0;
};
void setOldCircuitConverter(OldCircuitConverter* converter);

// Sets the check mark of a main-menu item; installed by the main frame.
typedef void (*MenuCheckHook)(int command, int checked);
void setMenuCheckHook(MenuCheckHook hook);

typedef std::vector<std::pair<String, String>> RenameList;

class CircuitReader {
public:
    explicit CircuitReader(int pasteMode);
    ~CircuitReader();

    // 1 when the stream is open. Nothing is shown on failure.
    int openFile(const char* name);
    // Reads from a stream the caller opened (and closes) itself; name is
    // what the messages show.
    void attachStream(FILE* stream, const char* name);
    // Closes the reader's stream.
    void closeFile();
    FILE* stream() const { return fp; }

    void readBlock(BlockObject& target);
    // A circuit into model (Part of CircuitModel::readCircuit).
    void readCircuit(CircuitModel& model);
    // Line 1, column 0: where every read operation starts.
    void beginRead();

    // Scanner layer.
    void readChar();
    // Raw characters up to the end of line last (after an embedded section).
    void skipToLine(int last);
    void reportTooLarge();
    void nextChar();
    void readWord();
    void nextToken();
    void nextNonBlank();
    void setMessage(const char* text);
    void setMessage(unsigned int resId);
    void reportAtPosition();
    void warnAtPosition();
    static void addRename(RenameList& list, const char* from, const char* to);
    static const String* lookUpRename(const RenameList& list, const char* name);

    // Number fields: the next non-blank token as a number (0 when none).
    int readInt();
    double readDouble();
    // A quoted string; the current token is the opening quote.
    String readString();
    // Layout lines of a block (current token: the keyword after a "$").
    void readLayoutLines();

    // An error was reported and reading stopped (warnings do not count).
    bool failed() const { return stopped; }
    // Blocks of the embedded library could not be written to library Local
    // (reported): the circuit read is not the whole circuit.
    bool incomplete() const { return !lostBlocks.empty(); }
    int current() const { return currentChar; }
    int tokenKind() const { return kind; }
    const String& tokenText() const { return token; }
    int lineNumber() const { return line; }
    int columnNumber() const { return column; }
    const String& getFileName() const { return fileName; }

    RenameList instanceRenames;
    RenameList typeRenames;

private:
    bool isWord(const char* word) const;
    // Whether the current token is a word; otherwise the read fails with
    // the hint "a string is expected".
    bool expectWord();
    void fail(unsigned int hint);
    void failBlock(unsigned int hint);
    void report(unsigned int header);
    void skipToLineEnd();
    void readBlockHead();
    void readWizardHeader();
    void readSection();
    void readPortDeclaration();
    void readDeclaration();
    void readGroupClause();
    void readSubtype();
    bool expectDollar();
    void skipString();
    void readStatements();
    void readUse();
    void readParameterAssignment(BlockObject* block);
    void readSignalNames(BlockObject& block);
    void readConnections();
    void bindConnection(const String& source, const String& destination);
    void readInterpoints();
    void readSave();
    void markItem(const char* item);
    void readSettings();
    String uniqueName(const char* name, BlockObject* self);
    // The first block of the model with this name.
    BlockObject* blockNamed(const std::string& name) const;

    FILE* fp;
    bool ownsStream;
    int currentChar;
    String token;
    int kind;
    int line;
    int column;
    int section;
    BlockObject* target;
    ConnectionObject* connection;
    GedPane* pane;
    CircuitModel* model;
    // Between the quotes of a string nothing is a comment.
    bool inQuotes;
    int groupFlag;
    String fileName;
    // The file the error viewer shows: the converted text of a 1.x file.
    String viewedFileName;
    String message;
    int pasteMode;
    // A character given back after a lone slash.
    int pushedBack;
    // After an error every token is the end of file.
    bool stopped;
    bool streamFailed;
    // The instance names of the model's blocks during one read and the first
    // block of each name, gathered at the first look-up: a circuit of many
    // blocks would otherwise cost a scan of every block for every candidate
    // name and every connection.
    std::unordered_map<std::string, BlockObject*> blockNames;
    bool blockNamesKnown = false;
    // B_1 up to B_(n-1) are all taken (names are only added during a read).
    int nextBlockNumber = 1;
    // Bytes read since beginRead, and since the last line feed.
    size_t bytesRead;
    size_t lineBytes;
    bool tooLarge;
    // File names in Local of embedded blocks that could not be written.
    std::vector<String> lostBlocks;
    // The parameter names assigned so far in the current USE statement.
    std::vector<String> assignedParameters;

    CircuitReader(const CircuitReader&) = delete;
    CircuitReader& operator=(const CircuitReader&) = delete;
};

#endif
