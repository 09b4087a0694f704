// Where kyt.ini lies: the registry value "KYT.INI Path" of
// HKEY_CURRENT_USER\Software\Zelvoran\KYT 2.52, else the current directory.
// The registry and the current directory are reached through two small
// interfaces, which the program implements with Win32 and the tests fake.
#ifndef KYT_APP_CORE_INIDIRECTORY_H
#define KYT_APP_CORE_INIDIRECTORY_H

#include <string>

const char* const kIniRegistryKey = "Software\\Zelvoran\\KYT 2.52";
const char* const kIniRegistryValue = "KYT.INI Path";

// Registry value types as the registry gives them.
const unsigned long kRegistryString = 1;         // REG_SZ
const unsigned long kRegistryExpandString = 2;   // REG_EXPAND_SZ
const unsigned long kRegistryDword = 4;          // REG_DWORD

// The bytes read for the value: one byte more than the longest directory,
// the room a terminating zero needs.
const size_t kIniValueLimit = 260;

class RegistryReader {
public:
    virtual ~RegistryReader() {}
    // The value of kIniRegistryValue under kIniRegistryKey, read with a
    // buffer of limit bytes: its type and its bytes as stored (a zero at the
    // end or not). False when the key does not open, the value is missing or
    // it does not fit.
    virtual bool readIniValue(unsigned long& type, std::string& bytes, size_t limit) = 0;
};

class CurrentDirectorySource {
public:
    virtual ~CurrentDirectorySource() {}
    // The current directory; false when it cannot be had or is longer than
    // limit - 1 characters.
    virtual bool currentDirectory(std::string& directory, size_t limit) = 0;
};

enum IniDirectoryOrigin { INI_FROM_REGISTRY, INI_FROM_CURRENT_DIRECTORY, INI_NOT_FOUND };

// The directory from a REG_SZ value of at most 259 characters (the bytes up
// to the first zero; data without a zero counts only when it fits the
// directory whole), else the current directory. Nothing is shown.
IniDirectoryOrigin findIniDirectory(RegistryReader& registry, CurrentDirectorySource& current,
                                    std::string& directory);

// The start of kyt: the directory found, or, when neither source gives one,
// the error 20907 with "kyt.ini" and exit code 1 (0 otherwise).
int locateIniDirectory(RegistryReader& registry, CurrentDirectorySource& current, std::string& directory);

#endif
