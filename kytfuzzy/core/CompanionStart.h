// How a companion program (kytfuzzy, kytident) starts: its own reader of
// kyt.ini, which knows only TEMPDIR and HELPDIR; the command line of the
// wizard hand-over; and the extraction of the fuzzy block from a wizard
// block file into TEMPDIR\InWizard.kyb.
#ifndef KYT_KYTFUZZY_COMPANIONSTART_H
#define KYT_KYTFUZZY_COMPANIONSTART_H

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

// kyt.ini as the companions read it. Other keys, and the two keys in
// another case, are skipped without a message; a syntax error is shown in
// the file viewer (showFileAtLine) and reading stops, keeping what was read.
class CompanionIniReader {
public:
    void setFile(FILE* stream, const std::string& fileName);
    void read();
    const std::string& getTempDir() const { return tempDir; }
    const std::string& getHelpDir() const { return helpDir; }

private:
    enum Token {
        TOKEN_NONE = -1,
        TOKEN_WORD = 100,
        TOKEN_SEMICOLON = 101,
        TOKEN_QUOTE = 102,
        TOKEN_BLANK = 103,
        TOKEN_EQUALS = 104,
        TOKEN_END = 110,
        TOKEN_DOLLAR = 111,
        TOKEN_COMMA = 112
    };
    void getChar();
    int peekChar();
    void skipComments();
    void readWord();
    void nextToken();
    void skipBlanks();
    void parseStatement();
    void reportSyntaxError(unsigned int detail);

    FILE* fp = nullptr;
    int current = -1;
    std::string token;
    int kind = TOKEN_NONE;
    int line = 1;
    int column = 0;
    std::string fileName;
    std::string tempDir;
    std::string helpDir;
};

enum CompanionIniResult {
    COMPANION_INI_OK,
    COMPANION_INI_MISSING,        // kyt.ini does not open (fatal 17652)
    COMPANION_INI_TEMPDIR_LOCKED  // TEMPDIR takes no test file (fatal 17730)
};

// Reads startDir\kyt.ini: TEMPDIR and HELPDIR, each the start directory when
// not given, and checks that TEMPDIR takes a file. iniPath receives the
// path for the fatal messages.
CompanionIniResult readCompanionIni(const std::string& startDir, std::string* tempDir, std::string* helpDir,
                                    std::string* iniPath);

// The wizard hand-over's command line: exactly two words, split as kyt
// quotes them (CommandLine.h): a word with a blank stands in double quotes.
bool splitWizardCommandLine(const std::string& commandLine, std::string* blockName, std::string* path);

// 0: start a new block; 1: open *fileToOpen (TEMPDIR\InWizard.kyb, the
// extracted fuzzy text); -1: do not start the editor (the overwrite
// question answered No, or InWizard.kyb could not be written: 17729).
// askOverwrite asks 11054 for a file without a wizard line.
int extractWizardKyb(const std::string& blockName, const std::string& path, const std::string& tempDir,
                     const std::function<bool()>& askOverwrite, std::string* fileToOpen);

// The exit code at the end of the run: a 0 stays only when the block was
// written.
int finalExitCode(int exitCode, bool blockWritten);

#endif
