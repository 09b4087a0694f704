#include "IniReader.h"

#include "Assert.h"
#include "BoundedText.h"
#include "FileLayer.h"
#include "LibraryIndex.h"
#include "ResString.h"
#include "ShowFile.h"
#include "strings/MessagesStrings.h"

#include <cstring>
#include <string>

namespace {

// Messages of the reader (string table).

// An installation file is a few dozen lines; directories of any length are
// read whole up to this size. A longer input (a device such as /dev/zero, a
// wrong file) is read up to here only: without the limit an endless one was
// read for ever.
const long kMaxIniFile = 16L << 20;

// The frame names the file, line and column in at most this many characters.
const size_t kMaxFrame = 255;

const char kLocalLibrary[] = "Local";

bool endsWord(int c)
{
    return c == ' ' || c == ';' || c == ',' || c == '"' || c == '=' || c == -1;
}

// The frame, with the file name cut from the front when it would not fit,
// so that line and column stay visible.
void buildFrame(char* out, size_t outSize, const char* fileName, int line, int column)
{
    const char* format = getResString(kStrCircuitReadError);
    int rest = snprintf(nullptr, 0, format, "", line, column);
    size_t nameLen = strlen(fileName);
    if (rest >= 0 && static_cast<size_t>(rest) + nameLen > kMaxFrame) {
        size_t r = static_cast<size_t>(rest);
        size_t keep = r + 3 < kMaxFrame ? kMaxFrame - r - 3 : 0;
        if (keep > nameLen)
            keep = nameLen;
        std::string shortName = "...";
        shortName += fileName + (nameLen - keep);
        formatBounded(out, outSize, format, shortName.c_str(), line, column);
    } else {
        formatBounded(out, outSize, format, fileName, line, column);
    }
}

} // namespace

IniReader::IniReader()
    : stream(nullptr), current(-1), tokenKind(TOK_NONE), line(1), column(0), libraries(1), libraryCount(0),
      rawByte(EOF), lineBefore(1), columnBefore(0), bytesRead(0), tooLarge(false)
{
}

IniReader::~IniReader() {}

void IniReader::setFile(FILE* s, const char* name)
{
    stream = s;
    fileName = name;
}

String IniReader::resolved(const String& dir) const
{
    String iniDir;
    splitPath(fileName.text(), &iniDir, nullptr);
    return resolvePath(iniDir.text(), dir.text());
}

// Lexical rule 1: every character counts for line and column; carriage
// return, tab and NUL read as a blank.
void IniReader::readRaw()
{
    lineBefore = line;
    columnBefore = column;
    if (bytesRead >= kMaxIniFile) {
        tooLarge = true;
        rawByte = EOF;
        current = -1;
        return;
    }
    rawByte = stream ? getc(stream) : EOF;
    if (rawByte != EOF)
        ++bytesRead;
    if (rawByte == EOF) {
        KYT_ASSERT_TEXT(!stream || !ferror(stream), "!ferror(fp)");
        current = -1;
        return;
    }
    ++column;
    if (rawByte == '\n') {
        ++line;
        column = 0;
    }
    current = rawByte == '\r' || rawByte == '\t' || rawByte == 0 ? ' ' : rawByte;
}

// The character source of the tokenizer: comments removed, wherever they
// stand, leaving nothing behind; a newline reads as a blank.
void IniReader::nextChar()
{
    readRaw();
    if (current == -1)
        return;
    bool gaveBack = false;
    while (!gaveBack && (current == '/' || current == '#')) {
        if (current == '#') {
            do
                readRaw();
            while (current != '\n' && current != -1);
            readRaw();
            continue;
        }
        readRaw();
        if (current == '*') {
            readRaw();
            // "/*/" is a complete comment.
            if (current != '/') {
                while (current != -1) {
                    if (current == '*') {
                        readRaw();
                        if (current == '/')
                            break;
                        continue;
                    }
                    readRaw();
                }
            }
            readRaw();
        } else if (current == '/') {
            do
                readRaw();
            while (current != '\n' && current != -1);
            readRaw();
        } else {
            if (current != -1) {
                // Read again next, and counted then: not counted twice.
                ungetc(rawByte, stream);
                --bytesRead;
                line = lineBefore;
                column = columnBefore;
            }
            current = '/';
            gaveBack = true;
        }
    }
    if (current == '\n')
        current = ' ';
}

void IniReader::nextToken()
{
    // A word has already read the character that ended it.
    if (tokenKind != TOK_WORD)
        nextChar();
    switch (current) {
    case -1: tokenKind = TOK_END; return;
    case ';': tokenKind = TOK_SEMICOLON; return;
    case '=': tokenKind = TOK_EQUALS; return;
    case ',': tokenKind = TOK_COMMA; return;
    case '$': tokenKind = TOK_DOLLAR; return;
    case '"': tokenKind = TOK_QUOTE; return;
    case ' ': tokenKind = TOK_BLANK; return;
    default: break;
    }
    std::string word(1, static_cast<char>(current));
    for (;;) {
        nextChar();
        if (endsWord(current))
            break;
        word += static_cast<char>(current);
    }
    tokenText = word.c_str();
    tokenKind = TOK_WORD;
}

void IniReader::skipBlanks()
{
    while (tokenKind == TOK_BLANK)
        nextToken();
}

bool IniReader::isWord(const char* keyword) const
{
    return tokenKind == TOK_WORD && strcmp(tokenText.text(), keyword) == 0;
}

String* IniReader::directoryFor(const String& word)
{
    struct DirectoryKey {
        const char* keyword;
        String IniReader::*member;
    };
    static const DirectoryKey keys[] = {
        {"CIRCUITDIR", &IniReader::circuitDir},
        {"ICONDIR", &IniReader::iconDir},
        {"TEMPDIR", &IniReader::tempDir},
        {"HELPDIR", &IniReader::helpDir},
        {"BINDIR", &IniReader::binDir},
        {"FRAGDIR", &IniReader::fragDir},
    };
    for (const DirectoryKey& k : keys)
        if (strcmp(word.text(), k.keyword) == 0)
            return &(this->*k.member);
    return nullptr;
}

void IniReader::report(unsigned int resId, const char* argument)
{
    // The index path of 19139 comes from the file: bounded like everything else.
    char text[2 * kMaxResString + 400];
    if (argument)
        formatBounded(text, sizeof text, getResString(resId), argument);
    else
        formatBounded(text, sizeof text, "%s", getResString(resId));
    message = text;
    tokenKind = TOK_END;

    char frame[kMaxFrame + 1];
    buildFrame(frame, sizeof frame, fileName.text(), line, column);
    String shown(frame);
    shown += "\n";
    shown += message;
    message = "";
    showFileAtLine(shown.text(), fileName.text(), line, 1);
}

void IniReader::read(ADArray<BlockLibrary>& destination, int& count)
{
    libraries = ADArray<BlockLibrary>(1);
    libraryCount = 0;
    line = 1;
    column = 0;
    tokenKind = TOK_NONE;
    bytesRead = 0;
    tooLarge = false;
    nextToken();
    skipBlanks();
    while (tokenKind != TOK_END)
        parseStatement();
    if (tooLarge) {
        char limit[24];
        snprintf(limit, sizeof limit, "%ld", kMaxIniFile);
        report(kStrIniFileTooLong, limit);
    }
    destination = libraries;
    count = libraryCount;
}

void IniReader::parseStatement()
{
    String* dir = tokenKind == TOK_WORD ? directoryFor(tokenText) : nullptr;
    if (dir) {
        nextToken();
        skipBlanks();
        if (tokenKind != TOK_EQUALS) {
            report(kStrExpectEquals);
            return;
        }
        nextToken();
        skipBlanks();
        if (tokenKind != TOK_WORD) {
            report(kStrExpectString);
            return;
        }
        *dir = resolved(tokenText);
        nextToken();
        skipBlanks();
        if (tokenKind == TOK_SEMICOLON) {
            nextToken();
            skipBlanks();
        }
        return;
    }
    if (!isWord("BLOCKLIBS")) {
        report(kStrIniUnknownKey);
        return;
    }
    nextToken();
    skipBlanks();
    if (!isWord("LIB"))
        report(kStrIniExpectLib);
    while (isWord("LIB"))
        parseLibraryEntry();
    if (isWord("ENDBLOCKLIBS")) {
        nextToken();
        skipBlanks();
        return;
    }
    report(kStrIniExpectEndblocklibs);
}

void IniReader::parseLibraryEntry()
{
    // An element left behind by an entry whose index could not be read is
    // taken over whole, without its old name or groups.
    BlockLibrary& lib = libraries.ElementAt(libraryCount);
    lib = BlockLibrary();
    lib.sections = ADArray<LibrarySection>(1);

    // 1. The name; any other token is passed over.
    nextToken();
    skipBlanks();
    if (tokenKind == TOK_WORD)
        lib.name = tokenText;
    // 2.
    nextToken();
    skipBlanks();
    if (!isWord("AT")) {
        report(kStrIniExpectAt);
        return;
    }
    // 3. The directory.
    nextToken();
    skipBlanks();
    if (tokenKind == TOK_WORD) {
        // 4.
        lib.file = resolved(tokenText);
        String indexPath = joinPath(lib.file.text(), kLibraryIndexFile);
        // 5. The index of "Local" is the local library's own business.
        if (strcmp(lib.name.text(), kLocalLibrary) == 0) {
            lib.sectionCount = 0;
            ++libraryCount;
        } else {
            FILE* index = openFile(indexPath.text(), "rt");
            if (index) {
                bool whole = readSectionedFile(index, libraryCount, libraries);
                fclose(index);
                ++libraryCount;
                // The groups read before the limit stay.
                if (!whole)
                    report(kStrLibraryIndexTooLarge, indexPath.text());
            } else {
                report(kStrFileReadFailed, indexPath.text());
            }
        }
    }
    // 6.
    nextToken();
    skipBlanks();
    if (tokenKind == TOK_SEMICOLON) {
        nextToken();
        skipBlanks();
    }
}
