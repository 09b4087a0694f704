// Descriptions and icon programs that are no such thing: a message or
// nothing, never a crash (run under the sanitizers as well).
#include "CircuitTestSupport.h"
#include "RecordingCanvas.h"

#include <gtest/gtest.h>

#include <random>

namespace {

std::string binary(size_t n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string s(n, '\0');
    for (char& c : s)
        c = static_cast<char>(rng() & 0xFF);
    return s;
}

} // namespace

TEST(BadInput, Descriptions)
{
    const std::string longLine(1 << 20, 'x');
    const std::string inputs[] = {
        "",
        binary(4096, 1),
        binary(4096, 2),
        longLine,
        "BLOCK " + longLine + ";",
        "BLOCK b; PARAMETER p STRING = \"" + longLine,
        "BLOCK b; $ BLOCKDIM 99999999999 -99999999999 2147483647 2147483647",
        "BLOCK b; $ BLOCKDIM -1 -1 4 1 $ TEXT \"a\" $ TEXTALIG 1 1 1 0 $ ICONNAME \"../../../etc/passwd\"",
        "BLOCK b; INPUT" + std::string(20000, ';'),
        "/*",
        "$",
        "BLOCK b; OUTPUT " + std::string(3000, 'y') + ";" ,
    };
    for (const std::string& text : inputs) {
        CircuitWorld world;
        auto b = world.described(text);
        RecordingPane pane;
        b->paint(pane, 7, 7);
        EXPECT_LE(world.rec.viewer.calls.size(), 1u);
        EXPECT_TRUE(pane.dc.pens.empty());
    }
}

TEST(BadInput, ManyPorts)
{
    CircuitWorld world;
    std::string text = "BLOCK b; INPUT";
    for (int i = 0; i < 500; ++i)
        text += " u" + std::to_string(i) + ";";
    text += " OUTPUT";
    for (int i = 0; i < 300; ++i)
        text += " y;";
    auto b = world.described(text);
    EXPECT_EQ(0, b->errorFlag);
    EXPECT_GE(b->getHeight(), 500);
    EXPECT_STREQ("y_299", b->signalName(300).text());
}

TEST(BadInput, IconPrograms)
{
    const std::string programs[] = {
        "",
        binary(4096, 3),
        std::string(1 << 20, 'M'),
        "MT nan nan LT inf -inf",
        "LS 1 1e300 MT 0 0 LT 1 1",
        "LS 1 -5 MT 0 0 LT 1 1",
        "EL 1e308 1e308 EL -1e308 1e308",
        "RT 1e-320 1e-320",
        "LC FS LS MT",
    };
    for (const std::string& program : programs) {
        IconStore store;
        store.add(program.c_str(), "x");
        RecordingCanvas dc;
        store.draw("x", dc, 0, 0, 600, 400);
        store.draw("x", dc, -2147483000, 2147483000, 2147483647, 1);
        EXPECT_TRUE(dc.pens.empty());
        EXPECT_TRUE(dc.brushes.empty());
    }
}
