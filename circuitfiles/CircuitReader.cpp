// The scanner and the error reporting of the circuit-text reader.
#include "CircuitReader.h"

#include "BlockObject.h"
#include "ErrorReporter.h"
#include "FileLayer.h"
#include "Kyt1xConverter.h"
#include "ResString.h"
#include "ShowFile.h"
#include "Workspace.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

CircuitReadLimits readLimits = kCircuitReadLimits;

// Every program that reads circuits converts version-1.x files.
Kyt1xConverter standardConverter;
OldCircuitConverter* converter = &standardConverter;
MenuCheckHook menuCheck = nullptr;

const int kMenuShowInputNames = 4011;
const int kMenuHideConnections = 4012;

} // namespace

CircuitReadLimits circuitReadLimits()
{
    return readLimits;
}

CircuitReadLimits setCircuitReadLimits(const CircuitReadLimits& limits)
{
    CircuitReadLimits previous = readLimits;
    readLimits = limits;
    return previous;
}

void setOldCircuitConverter(OldCircuitConverter* c)
{
    converter = c ? c : &standardConverter;
}

void setMenuCheckHook(MenuCheckHook hook)
{
    menuCheck = hook;
}

CircuitReader::CircuitReader(int paste)
    : fp(nullptr), ownsStream(false), currentChar(-1), kind(TOK_EOF), line(0), column(0),
      section(SECTION_NONE), target(nullptr), connection(nullptr), pane(nullptr), model(nullptr),
      inQuotes(false), groupFlag(0),
      pasteMode(paste), pushedBack(-1), stopped(false), streamFailed(false), bytesRead(0), lineBytes(0),
      tooLarge(false)
{
}

CircuitReader::~CircuitReader()
{
    closeFile();
}

int CircuitReader::openFile(const char* name)
{
    closeFile();
    fileName = name ? name : "";
    viewedFileName = fileName;
    String lower(fileName);
    lower.toLower();
    const char* tempDir = theWorkspace ? theWorkspace->TEMPDIR.text() : getTempDir();
    String converted = joinPath(tempDir, "kyt1x.tmp");
    int conversion = converter->convert(fileName.text(), converted.text());
    if (conversion < 0) {
        // A 1.x file that could not be converted (reported): its bytes are
        // no circuit text.
        fp = nullptr;
    } else if (conversion > 0) {
        reportError(ERR_MESSAGE, getResString(kResOldFormat), lower.text());
        fp = ::openFile(converted.text(), "rt");
        // Errors are shown in the text that is read.
        viewedFileName = converted;
        if (theWorkspace) {
            theWorkspace->hideConnectionLines = 1;
            theWorkspace->showInputSignalNames = 1;
        }
        if (menuCheck) {
            menuCheck(kMenuHideConnections, 1);
            menuCheck(kMenuShowInputNames, 1);
        }
    } else {
        fp = ::openFile(fileName.text(), "rt");
    }
    ownsStream = fp != nullptr;
    return fp ? 1 : 0;
}

void CircuitReader::attachStream(FILE* stream, const char* name)
{
    closeFile();
    fp = stream;
    ownsStream = false;
    fileName = name ? name : "";
    viewedFileName = fileName;
}

void CircuitReader::closeFile()
{
    if (fp && ownsStream)
        fclose(fp);
    fp = nullptr;
    ownsStream = false;
}

void CircuitReader::beginRead()
{
    line = 1;
    column = 0;
    bytesRead = 0;
    lineBytes = 0;
}

void CircuitReader::reportTooLarge()
{
    if (target)
        target->errorFlag = 1;
    char hint[256];
    snprintf(hint, sizeof hint, getResString(kResCircuitTooLarge), static_cast<unsigned long>(readLimits.text >> 20),
             static_cast<unsigned long>(readLimits.line >> 20));
    setMessage(hint);
    reportAtPosition();
}

void CircuitReader::skipToLine(int last)
{
    while (line <= last && !stopped) {
        readChar();
        if (currentChar == -1)
            break;
    }
}

void CircuitReader::readChar()
{
    if (pushedBack >= 0) {
        currentChar = pushedBack;
        pushedBack = -1;
        return;
    }
    int c = fp && !streamFailed && !tooLarge ? fgetc(fp) : EOF;
    if (c != EOF && (++bytesRead > readLimits.text || (c != '\n' && ++lineBytes > readLimits.line))) {
        // A device or a broken file: reading ends here, with a message.
        tooLarge = true;
        currentChar = -1;
        if (!stopped)
            reportTooLarge();
        return;
    }
    if (c == '\n')
        lineBytes = 0;
    if (c == EOF) {
        currentChar = -1;
        // A mended fault: a failing stream once ended the program, and
        // unsaved work with it. It is reported like a syntax error now.
        if (fp && !streamFailed && ferror(fp)) {
            streamFailed = true;
            if (target)
                target->errorFlag = 1;
            setMessage(kResStreamError);
            reportAtPosition();
        }
        return;
    }
    ++column;
    if (c == '\n') {
        column = 0;
        ++line;
    }
    if (c == '\r' || c == '\t' || c == 0)
        c = ' ';
    currentChar = c;
}

void CircuitReader::skipToLineEnd()
{
    while (currentChar != '\n' && currentChar != -1)
        readChar();
}

void CircuitReader::nextChar()
{
    readChar();
    if (inQuotes) {
        // A "#", "//" or "/*" in a text, a name or a string parameter is
        // part of it: the compiler reads it so, and so does the editor.
        if (currentChar == '\n')
            currentChar = ' ';
        return;
    }
    bool gaveBack = false;
    while (!gaveBack && (currentChar == '/' || currentChar == '#')) {
        if (currentChar == '#') {
            skipToLineEnd();
            readChar();
            continue;
        }
        readChar();
        if (currentChar == '/') {
            skipToLineEnd();
            readChar();
        } else if (currentChar == '*') {
            int previous = 0;
            readChar();
            while (currentChar != -1 && !(previous == '*' && currentChar == '/')) {
                previous = currentChar;
                readChar();
            }
            readChar();
        } else {
            if (currentChar != -1)
                pushedBack = currentChar;
            currentChar = '/';
            gaveBack = true;
        }
    }
    if (currentChar == '\n')
        currentChar = ' ';
}

static bool endsWord(int c)
{
    return c == ';' || c == ',' || c == '"' || c == ' ' || c == '=' || c == -1;
}

void CircuitReader::readWord()
{
    // Collected apart: a word may be a whole file long.
    std::string word(1, static_cast<char>(currentChar));
    nextChar();
    while (!endsWord(currentChar)) {
        word += static_cast<char>(currentChar);
        nextChar();
    }
    token = word.c_str();
}

void CircuitReader::nextToken()
{
    if (stopped) {
        kind = TOK_EOF;
        return;
    }
    if (kind != TOK_WORD)
        nextChar();
    if (stopped) {
        kind = TOK_EOF;
        return;
    }
    switch (currentChar) {
    case -1: kind = TOK_EOF; break;
    case ';': kind = TOK_SEMICOLON; break;
    case '"': kind = TOK_QUOTE; break;
    case ' ': kind = TOK_BLANK; break;
    case '=': kind = TOK_EQUALS; break;
    case '$': kind = TOK_DOLLAR; break;
    case ',': kind = TOK_COMMA; break;
    default:
        readWord();
        kind = stopped ? TOK_EOF : TOK_WORD;
        break;
    }
}

void CircuitReader::nextNonBlank()
{
    do
        nextToken();
    while (kind == TOK_BLANK);
}

void CircuitReader::setMessage(const char* text)
{
    message = text ? text : "";
}

void CircuitReader::setMessage(unsigned int resId)
{
    setMessage(getResString(resId));
}

void CircuitReader::report(unsigned int header)
{
    char head[256];
    snprintf(head, sizeof head, getResString(header), fileName.text(), line, column);
    String text = String(head) + message;
    message = "";
    showFileAtLine(text.text(), viewedFileName.text(), line, 1);
}

void CircuitReader::reportAtPosition()
{
    kind = TOK_EOF;
    stopped = true;
    report(kResReadError);
}

void CircuitReader::warnAtPosition()
{
    report(kResReadWarning);
}

void CircuitReader::addRename(RenameList& list, const char* from, const char* to)
{
    list.emplace_back(String(from ? from : ""), String(to ? to : ""));
}

const String* CircuitReader::lookUpRename(const RenameList& list, const char* name)
{
    for (const auto& pair : list)
        if (strcmp(pair.first.text(), name ? name : "") == 0)
            return &pair.second;
    return nullptr;
}

bool CircuitReader::isWord(const char* word) const
{
    return kind == TOK_WORD && strcmp(token.text(), word) == 0;
}

bool CircuitReader::expectWord()
{
    if (kind == TOK_WORD)
        return true;
    fail(kResExpectString);
    return false;
}

void CircuitReader::fail(unsigned int hint)
{
    // One message per read: what follows an error is not looked at.
    if (stopped)
        return;
    setMessage(hint);
    reportAtPosition();
}

void CircuitReader::failBlock(unsigned int hint)
{
    if (target)
        target->errorFlag = 1;
    fail(hint);
}
