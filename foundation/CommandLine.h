// The command line that kyt hands a companion program (kytfuzzy, kytident):
// the words are separated by blanks, and a word that holds a blank stands in
// double quotes. Both sides use these two functions, so that a directory
// with a blank, usual under Wine ("C:\Program Files\..."), arrives as one
// word.
#ifndef KYT_FOUNDATION_COMMANDLINE_H
#define KYT_FOUNDATION_COMMANDLINE_H

#include <string>
#include <vector>

// word in double quotes when it holds a blank or is empty (so that it is not
// lost), else unchanged. A word cannot hold a double quote itself: no file
// name does.
std::string quoteCommandWord(const std::string& word);

// The words of line, split at blanks; a run of blanks separates once, and
// leading and trailing blanks give nothing. A double-quoted run belongs to
// its word without its quotes ("a b" and x"a b"y are one word each; "" is an
// empty word); an unclosed quote runs to the end of the line. A tab
// separates nothing, and a backslash is an ordinary character, so a
// directory ending in one ("C:\a b\") keeps its closing quote.
std::vector<std::string> splitCommandLine(const char* line);

// The command line joined from words, each quoted as above.
std::string joinCommandLine(const std::vector<std::string>& words);

#endif
