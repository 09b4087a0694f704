#include "IniDirectory.h"

#include "KytCommandLine.h"
#include "ErrorReporter.h"
#include "TestSinks.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A registry that holds one value, or none; it refuses data that do not fit
// the caller's buffer, as RegQueryValueExA does.
class FakeRegistry : public RegistryReader {
public:
    bool readIniValue(unsigned long& t, std::string& b, size_t limit) override
    {
        ++reads;
        lastLimit = limit;
        if (!present || bytes.size() > limit)
            return false;
        t = type;
        b = bytes;
        return true;
    }
    bool present = false;
    unsigned long type = kRegistryString;
    std::string bytes;
    int reads = 0;
    size_t lastLimit = 0;
};

class FakeCurrentDirectory : public CurrentDirectorySource {
public:
    bool currentDirectory(std::string& d, size_t limit) override
    {
        if (!available || directory.size() + 1 > limit)
            return false;
        d = directory;
        return true;
    }
    bool available = true;
    std::string directory = "C:\\arbeit";
};

struct Case {
    const char* what;
    bool present;
    unsigned long type;
    std::string bytes;
    IniDirectoryOrigin origin;
    std::string directory;
};

TEST(IniDirectory, RegistryValueOrCurrentDirectory)
{
    const std::string chars259(kMaxIniDirectory, 'r');
    const std::string chars260(kMaxIniDirectory + 1, 'r');
    const Case cases[] = {
        {"REG_SZ with its zero", true, kRegistryString, std::string("C:\\kyt\0", 7), INI_FROM_REGISTRY, "C:\\kyt"},
        {"REG_SZ without a zero", true, kRegistryString, "C:\\kyt", INI_FROM_REGISTRY, "C:\\kyt"},
        {"REG_SZ with bytes after a zero", true, kRegistryString, std::string("C:\\a\0junk", 9), INI_FROM_REGISTRY,
         "C:\\a"},
        {"REG_EXPAND_SZ", true, kRegistryExpandString, std::string("%HOME%\0", 7), INI_FROM_CURRENT_DIRECTORY,
         "C:\\arbeit"},
        {"REG_DWORD", true, kRegistryDword, std::string("\x01\0\0\0", 4), INI_FROM_CURRENT_DIRECTORY, "C:\\arbeit"},
        {"missing key", false, kRegistryString, "", INI_FROM_CURRENT_DIRECTORY, "C:\\arbeit"},
        {"259 characters without a zero", true, kRegistryString, chars259, INI_FROM_REGISTRY, chars259},
        {"259 characters and the zero", true, kRegistryString, chars259 + std::string(1, '\0'), INI_FROM_REGISTRY,
         chars259},
        {"260 characters without a zero", true, kRegistryString, chars260, INI_FROM_CURRENT_DIRECTORY, "C:\\arbeit"},
        {"260 characters and a zero (too big to read)", true, kRegistryString, chars260 + std::string(1, '\0'),
         INI_FROM_CURRENT_DIRECTORY, "C:\\arbeit"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeRegistry registry;
        registry.present = c.present;
        registry.type = c.type;
        registry.bytes = c.bytes;
        FakeCurrentDirectory current;
        std::string directory = "vorher";
        EXPECT_EQ(findIniDirectory(registry, current, directory), c.origin);
        EXPECT_EQ(directory, c.directory);
        EXPECT_EQ(registry.lastLimit, kIniValueLimit);
    }
}

TEST(IniDirectory, NeitherSourceShows20907AndEndsWithOne)
{
    RecordingErrorSink sink;
    setErrorSink(&sink);
    disableErrorLog();
    FakeRegistry registry;
    FakeCurrentDirectory current;
    current.available = false;
    std::string directory;
    EXPECT_EQ(locateIniDirectory(registry, current, directory), 1);
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_NE(sink.boxes[0].find("Die Datei kyt.ini kann nicht ge\xf6" "ffnet werden!"), std::string::npos)
        << sink.boxes[0];

    // A current directory too long for the buffer counts as none.
    sink.boxes.clear();
    current.available = true;
    current.directory = std::string(kMaxIniDirectory + 1, 'c');
    EXPECT_EQ(locateIniDirectory(registry, current, directory), 1);
    EXPECT_EQ(sink.boxes.size(), 1u);

    sink.boxes.clear();
    current.directory = "C:\\arbeit";
    EXPECT_EQ(locateIniDirectory(registry, current, directory), 0);
    EXPECT_EQ(directory, "C:\\arbeit");
    EXPECT_TRUE(sink.boxes.empty());
    setErrorSink(nullptr);
}

} // namespace
