// The command line of kyt: the circuit to load, the run and print options
// and the directory of kyt.ini ("-i").
#ifndef KYT_APP_CORE_KYTCOMMANDLINE_H
#define KYT_APP_CORE_KYTCOMMANDLINE_H

#include <string>

// The longest directory of kyt.ini the program keeps (a 260-byte buffer with
// its terminating zero).
const size_t kMaxIniDirectory = 259;

struct CommandLineRequest {
    // The last plain word; empty when there is none.
    std::string circuitFile;
    int runAfterLoad = 0;
    int printAfterLoad = 0;
    // The directory of kyt.ini as it was, or as "-i" set it.
    std::string iniDirectory;
};

// The words are split as the companions split theirs (splitCommandLine):
// at blanks, a double-quoted run belonging to its word without its quotes,
// so that "C:\Meine Schaltungen\regel.kyt" and -i"C:\Program Files\KYT" are
// one word each. A word that begins with "-" or "/" is an option by its
// second letter in either case: "p" print, "r" run (the rest of the word is
// ignored), "i" the rest of the word is the ini directory ("-i" alone: the
// empty directory); any other letter, and a lone "-" or "/", is passed over.
// Every other word is the circuit file; a later one replaces an earlier one.
// An "-i" directory longer than kMaxIniDirectory leaves the directory as it
// was.
CommandLineRequest parseCommandLine(const char* text, const std::string& iniDirectory);

#endif
