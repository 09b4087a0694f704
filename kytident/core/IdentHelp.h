// The help file identhlp.txt: its first "&"-letter pair chooses the letter
// of the shift operator ('z' or 'q'), and a section "&n" holds the help of
// method n, up to the next "&" that is not followed by "z". In the texts
// shown, "&z" stands for the shift operator.
#ifndef KYT_KYTIDENT_IDENTHELP_H
#define KYT_KYTIDENT_IDENTHELP_H

#include <string>

// helpDir with a backslash (unless it ends with one) and "identhlp.txt".
std::string identHelpPath(const std::string& helpDir);

// 'q' when the first "&" followed by a letter is "&q", else 'z'; opened is
// false (and the letter 'z') when the file does not open.
char probeIdentHelp(const std::string& helpPath, bool* opened);

// The section of method in the text of the help file, with line ends as the
// edit control wants them ("\r\n") and "&z" replaced by letter. False when
// there is none.
bool extractIdentHelpSection(const std::string& helpText, int method, char letter, std::string* section);

// The text before the first section, converted alike ("&" pairs with other
// letters are marks of the file and are left out).
std::string extractIdentGeneralHelp(const std::string& helpText, char letter);

// The help of a method from the file: the section, or text 26980 when the
// file has none. False when the file does not open (26978).
bool identMethodHelp(const std::string& helpPath, int method, char letter, std::string* text);
bool identGeneralHelp(const std::string& helpPath, char letter, std::string* text);

#endif
