// Large generated circuits give the PI text the compiler gave them before
// its look-ups were indexed: a look-up that finds the wrong entry (another
// instance's variable, a later socket, a string constant twice) or an
// ordering that takes another statement first changes the text, and the
// digest held here shows it. The counted lines show the size.
#include "BackendTestSupport.h"
#include "GeneratedModels.h"

#include <cstdint>

namespace {

using namespace backendtest;

// FNV-1a, 64 bits: enough to tell two texts apart.
uint64_t digestOf(const std::string& text)
{
    uint64_t h = 14695981039346656037ull;
    for (unsigned char c : text) {
        h ^= c;
        h *= 1099511628211ull;
    }
    return h;
}

size_t countOf(const std::string& text, const std::string& part)
{
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

struct Large {
    const char* name;
    std::string (*text)(int);
    int size;
    const char* header;   // lines of the header, in order
    size_t discSections;
    uint64_t digest;
};

class LargeCircuitTest : public BackendTest {};

TEST_F(LargeCircuitTest, GeneratedCircuitsKeepTheirPiText)
{
    const Large cases[] = {
        {"ring of 2,000 PT1", generated::blockChain, 2000, "STATES   2000\n", 0, 0x15debc65e82df53full},
        {"ring of 2,000 PT1 with sockets, strings and procedures", generated::richChain, 2000,
         "STATES   2000\n", 2001, 0xa127e4e420283ff5ull},
        {"one block of 2,000 statements", generated::singleBlock, 2000, "STATES   1\n", 0, 0xd732b6220632d8d9ull},
        {"one block of 2,000 statements against their data flow", generated::singleBlockReversed, 2000,
         "STATES   1\n", 0, 0xbed9793ffc001255ull},
        {"INIT of 2,000 assignments in mixed order, some in IFs", generated::mixedInit, 2000, "STATES   1\n", 0,
         0xcefff110b38f5a93ull},
    };
    for (const Large& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(0, generate(c.text(c.size)));
        EXPECT_TRUE(shown().empty());
        EXPECT_NE(std::string::npos, piText.find(c.header));
        EXPECT_EQ(c.discSections, countOf(piText, "\nDISC  "));
        EXPECT_EQ(c.digest, digestOf(piText));
        EXPECT_TRUE(loadBuffer());
    }
}

} // namespace
