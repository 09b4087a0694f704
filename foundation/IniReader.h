// Reader of the installation file kyt.ini: the six directories and the block
// libraries.
//
//   CIRCUITDIR = C:\KYT\CIRCUITS;      # comments with #, // and /* */
//   TEMPDIR = tmp                      (relative: to the directory of kyt.ini)
//   BLOCKLIBS
//     LIB Local AT C:\KYT\LOCAL;
//     LIB Standard AT C:\KYT\STD       (reads C:\KYT\STD\ablocks.bfl)
//   ENDBLOCKLIBS
//
// Mistakes are shown in the file viewer with the file, line and column; the
// program goes on with what was read before them.
#ifndef KYT_FOUNDATION_INIREADER_H
#define KYT_FOUNDATION_INIREADER_H

#include "ADArray.h"
#include "LibraryRecords.h"
#include "String.h"

#include <cstdio>

class IniReader {
public:
    enum TokenKind {
        TOK_NONE = -1,  // no token read yet
        TOK_WORD = 0,
        TOK_SEMICOLON,
        TOK_QUOTE,
        TOK_BLANK,
        TOK_EQUALS,
        TOK_DOLLAR,
        TOK_COMMA,
        TOK_END         // end of file; also set by every error report
    };

    IniReader();
    ~IniReader();

    // The open kyt.ini (opened "rt" by the caller, closed by the caller after
    // read) and its path, used in messages and for the viewer. Relative
    // directories in the file are taken relative to the path's directory.
    void setFile(FILE* stream, const char* fileName);

    // Reads the whole file, then replaces libraries with a copy of the
    // libraries read and sets count to the number read successfully.
    void read(ADArray<BlockLibrary>& libraries, int& count);

    String getCircuitDir() const { return circuitDir; }
    String getIconDir() const { return iconDir; }
    String getTempDir() const { return tempDir; }
    String getHelpDir() const { return helpDir; }
    String getBinDir() const { return binDir; }
    String getFragDir() const { return fragDir; }

private:
    IniReader(const IniReader&) = delete;
    IniReader& operator=(const IniReader&) = delete;

    void readRaw();
    void nextChar();
    void nextToken();
    void skipBlanks();
    bool isWord(const char* keyword) const;
    void parseStatement();
    void parseLibraryEntry();
    String* directoryFor(const String& word);
    void report(unsigned int resId, const char* argument = nullptr);
    String resolved(const String& dir) const;

    FILE* stream;
    int current;      // the character last read; -1 at the end of the file
    String tokenText;
    int tokenKind;
    int line;
    int column;
    String fileName;
    String circuitDir;
    String iconDir;
    String tempDir;
    String helpDir;
    String binDir;
    String fragDir;
    ADArray<BlockLibrary> libraries;
    int libraryCount;
    String message;
    // Bookkeeping for a character given back to the stream: the byte as read
    // and the position before it.
    int rawByte;
    int lineBefore;
    int columnBefore;
    // Bytes read so far, and whether reading stopped at the file's limit.
    long bytesRead;
    bool tooLarge;
};

#endif
