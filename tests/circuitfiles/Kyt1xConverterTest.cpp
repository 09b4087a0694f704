// Version-1.x circuits: the 48-bit reals, the text written for a generated
// 1.x file (golden), and the files that are not converted or fail.
#include "CircuitTestSupport.h"
#include "FileBytes.h"
#include "FileLayer.h"
#include "Kyt1xConverter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// A 1.x file built from its format: 24 records of 145 bytes.
class Kyt1xBuilder {
public:
    Kyt1xBuilder() : bytes(kKyt1xFileSize, 0) {}
    // A component of a kind; its parameters (file order, without AB)
    // present when any are given.
    Kyt1xBuilder& component(int i, int kind, std::vector<double> parameters = {})
    {
        at(i, 0) = static_cast<uint8_t>(kind);
        for (size_t p = 0; p < parameters.size(); ++p)
            real(i, 12 + 6 * static_cast<int>(p), parameters[p]);
        at(i, 54) = parameters.empty() ? 0 : 1;
        return *this;
    }
    Kyt1xBuilder& limit(int i, double ab) { return real(i, 6, ab); }
    Kyt1xBuilder& source(int i, int offset, int from)
    {
        at(i, offset) = static_cast<uint8_t>(from);
        return *this;
    }
    Kyt1xBuilder& saved(int i)
    {
        at(i, 5) = 1;
        return *this;
    }
    Kyt1xBuilder& real(int i, int offset, double v)
    {
        encodeReal48(v, &at(i, offset));
        return *this;
    }
    uint8_t& at(int i, int offset) { return bytes[static_cast<size_t>(i * kKyt1xRecordSize + offset)]; }
    std::string text() const { return std::string(bytes.begin(), bytes.end()); }

    std::vector<uint8_t> bytes;
};

// The circuit of the golden file: a step into a PT1 and an adder, and a PID
// controller on the control block.
Kyt1xBuilder regelCircuit()
{
    Kyt1xBuilder b;
    b.component(0, 3, {1, 0});
    b.component(1, 1, {2, 0.5}).limit(1, 10).source(1, 3, 1).saved(1);
    b.component(2, 5).source(2, 2, 1).source(2, 4, 2);
    b.component(7, 10, {3, 0.5, 0.1}).source(7, 3, 100);
    return b;
}

TEST(Kyt1xRealTest, DecodesTheOldReals)
{
    struct Case {
        uint8_t bytes[6];
        double value;
    } cases[] = {
        {{0x84, 0, 0, 0, 0, 0x20}, 10},
        {{0x80, 0, 0, 0, 0, 0}, 0.5},
        {{0x82, 0, 0, 0, 0, 0xA0}, -2.5},
        {{0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, 0},
        {{0x81, 0, 0, 0, 0, 0}, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.value, decodeReal48(c.bytes)) << c.value;

    for (double v : {1.0, -1.0, 0.1, 3.14159265358979, -1e-20, 1e30, 12345.678, 2.5e-7, 0.0}) {
        uint8_t bytes[6];
        encodeReal48(v, bytes);
        EXPECT_LE(std::fabs(decodeReal48(bytes) - v), std::fabs(v) * std::ldexp(1.0, -39)) << v;
    }
}

class Kyt1xConverterTest : public ::testing::Test {
protected:
    std::string convert(const std::string& name, const std::string& bytes, Kyt1xResult expected)
    {
        std::string path = world.scratch.write(name, bytes);
        EXPECT_EQ(expected, writeConvertedCircuit(path.c_str(), world.scratch.file("kyt1x.tmp").c_str()));
        return world.scratch.exists("kyt1x.tmp") ? world.scratch.read("kyt1x.tmp") : "";
    }
    CircuitWorld world;
};

TEST_F(Kyt1xConverterTest, WritesTheCircuitText)
{
    std::string text = convert("regel.k1", regelCircuit().text(), KYT1X_CONVERTED);
    EXPECT_EQ(readFileBytes(kFixtures + "/regel.kyt1x"), text);
    for (const char* line : {"CIRCUIT Aregel;\n", "USE AControl AS Control\n", "$ BLOCKDIM 3 26 5 5\n",
                             "USE APT1 AS B\n", "   k  = 2.;\n   T1 = 0.5;\n   AB = 10.;\n", "$ BLOCKDIM 12 2 6 5\n",
                             "USE AAdd2 AS C\n$ BLOCKLIB KYT1.x_KompLib.\n$ BLOCKDIM 21 2 6 5\n",
                             "   kn = 1./0.5;\n", "$ BLOCKDIM 12 8 6 5\n", "CONNECT A.y TO B.u;\n",
                             "CONNECT A.y TO C.u1;\n", "CONNECT B.y TO C.u2;\n", "CONNECT Control.y TO H.u;\n",
                             "SAVE B.y;\nENDCIRCUIT Aregel;\n"})
        EXPECT_NE(std::string::npos, text.find(line)) << line;
    // Empty records write nothing.
    EXPECT_EQ(std::string::npos, text.find(" AS D\n"));
    EXPECT_TRUE(world.rec.sink.boxes.empty());
}

TEST_F(Kyt1xConverterTest, PlacesAndNames)
{
    Kyt1xBuilder b;
    b.component(23, 24, {}).source(23, 3, 226);
    b.component(4, 13).source(4, 3, 9);  // record 9 is empty
    std::string text = convert("Mein Kreis;x.K1", b.text(), KYT1X_CONVERTED);
    EXPECT_NE(std::string::npos, text.find("CIRCUIT Amein_kreis_x;\n"));
    EXPECT_NE(std::string::npos, text.find("USE ABreak AS X\n$ BLOCKLIB KYT1.x_KompLib.\n$ BLOCKDIM 48 20 6 5\n"));
    // Neither the byte 226 nor an empty record is a source.
    EXPECT_EQ(std::string::npos, text.find("CONNECT"));
}

TEST_F(Kyt1xConverterTest, OtherFilesAreNotConverted)
{
    std::string circuit = regelCircuit().text();
    std::string text(kKyt1xFileSize, ' ');
    text[0] = '#';
    Kyt1xBuilder secondByte = regelCircuit();
    secondByte.at(0, 1) = 4;
    for (const std::string& bytes : {circuit.substr(0, kKyt1xFileSize - 1), circuit + "x", text, secondByte.text()})
        EXPECT_EQ("", convert("a.kyt", bytes, KYT1X_NOT_OLD)) << bytes.size();
    EXPECT_TRUE(world.rec.sink.boxes.empty());
}

TEST_F(Kyt1xConverterTest, FailuresAreReportedAndLeaveNoFile)
{
    Kyt1xBuilder b = regelCircuit();
    b.component(5, 26);
    EXPECT_EQ("", convert("regel.k1", b.text(), KYT1X_FAILED));
    ASSERT_EQ(1u, world.rec.sink.boxes.size());
    EXPECT_NE(std::string::npos, world.rec.sink.boxes[0].find("Interner Fehler: Unbekannter KYT 1.x Block"));

    std::string path = world.scratch.write("regel.k1", regelCircuit().text());
    std::string missing = world.scratch.file("nirgends/kyt1x.tmp");
    EXPECT_EQ(KYT1X_FAILED, writeConvertedCircuit(path.c_str(), missing.c_str()));
    ASSERT_EQ(2u, world.rec.sink.boxes.size());
    EXPECT_NE(std::string::npos,
              world.rec.sink.boxes[1].find("KYT 1.x Dateiumwandlung - Die Datei " + missing + " kann nicht erzeugt werden!"));
}

std::string gFullDevice;
String mapTemporaryToFull(const char* path)
{
    std::string p(path);
    if (p.size() > 4 && p.compare(p.size() - 4, 4, ".new") == 0)
        return String(gFullDevice.c_str());
    return String(path);
}

TEST_F(Kyt1xConverterTest, WriteErrorLeavesNoFile)
{
    if (access("/dev/full", W_OK) != 0)
        GTEST_SKIP() << "no /dev/full";
    // Through a link: the failed write removes its temporary file, which
    // must not be the device itself.
    gFullDevice = world.scratch.file("full-link");
    ASSERT_EQ(0, symlink("/dev/full", gFullDevice.c_str()));
    setPathMapper(mapTemporaryToFull);
    std::string text = convert("regel.k1", regelCircuit().text(), KYT1X_FAILED);
    setPathMapper(nullptr);
    EXPECT_EQ("", text);
    ASSERT_EQ(1u, world.rec.sink.boxes.size());
    EXPECT_NE(std::string::npos, world.rec.sink.boxes[0].find("Fehler beim Schreiben von"));
}

// The reader reads the converted text, says so, hides the connection lines,
// and refuses a 1.x file it could not convert.
TEST_F(Kyt1xConverterTest, ReaderOpensTheConvertedText)
{
    Kyt1xConverter converter;
    setOldCircuitConverter(&converter);
    world.workspace.TEMPDIR = world.scratch.path.c_str();
    std::string path = world.scratch.write("regel.k1", regelCircuit().text());
    {
        CircuitReader reader(0);
        ASSERT_EQ(1, reader.openFile(path.c_str()));
        char first[32] = {};
        ASSERT_TRUE(fgets(first, sizeof first, reader.stream()));
        EXPECT_STREQ("CIRCUIT Aregel;\n", first);
    }
    ASSERT_EQ(1u, world.rec.sink.boxes.size());
    std::string lower = path;
    for (char& c : lower)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ("Die Datei " + lower + " hat KYT 1.x Format!\nDie Verbindungslinien werden nicht angezeigt!",
              world.rec.sink.boxes[0]);
    EXPECT_EQ(1, world.workspace.hideConnectionLines);
    EXPECT_EQ(1, world.workspace.showInputSignalNames);

    Kyt1xBuilder bad = regelCircuit();
    bad.component(5, 26);
    std::string badPath = world.scratch.write("kaputt.k1", bad.text());
    CircuitReader reader(0);
    EXPECT_EQ(0, reader.openFile(badPath.c_str()));
    setOldCircuitConverter(nullptr);
}

} // namespace
