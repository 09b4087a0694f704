#include "IniDirectory.h"

#include "ErrorReporter.h"
#include "ResString.h"

#include "KytCommandLine.h"
#include "strings/MessagesStrings.h"

namespace {


// REG_SZ data need not end in a zero: the text ends at the first zero, and
// without one all the bytes count, as long as they fit the directory.
bool registryDirectory(RegistryReader& registry, std::string& directory)
{
    unsigned long type = 0;
    std::string bytes;
    if (!registry.readIniValue(type, bytes, kIniValueLimit) || type != kRegistryString)
        return false;
    const size_t zero = bytes.find('\0');
    std::string text = zero == std::string::npos ? bytes : bytes.substr(0, zero);
    if (text.size() > kMaxIniDirectory)
        return false;
    directory = text;
    return true;
}

} // namespace

IniDirectoryOrigin findIniDirectory(RegistryReader& registry, CurrentDirectorySource& current,
                                    std::string& directory)
{
    if (registryDirectory(registry, directory))
        return INI_FROM_REGISTRY;
    std::string here;
    if (current.currentDirectory(here, kIniValueLimit) && here.size() <= kMaxIniDirectory) {
        directory = here;
        return INI_FROM_CURRENT_DIRECTORY;
    }
    return INI_NOT_FOUND;
}

int locateIniDirectory(RegistryReader& registry, CurrentDirectorySource& current, std::string& directory)
{
    if (findIniDirectory(registry, current, directory) != INI_NOT_FOUND)
        return 0;
    // Without a directory there is no kyt.ini to read: say so instead of
    // ending without a word.
    reportError(ERR_ERROR, getResString(kStrCannotOpen), "kyt.ini");
    return 1;
}
