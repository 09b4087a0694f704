// Version-1.x circuits: the 48-bit reals, the text written for a generated
// 1.x file (golden), and the files that are not converted or fail.
#include "CircuitModel.h"
#include "CircuitTestSupport.h"
#include "ConnectionObject.h"
#include "FileBytes.h"
#include "FileLayer.h"
#include "Kyt1xBuilder.h"
#include "Kyt1xConverter.h"
#include "ResString.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

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

// Values as every circuit file writes them: 11 significant digits, no
// trailing zeros, the point kept; the limit AB from its own field.
TEST_F(Kyt1xConverterTest, NumberTexts)
{
    Kyt1xBuilder b;
    b.component(0, 3, {2.5e-7, 1e20});
    b.component(1, 11, {-0.125}).limit(1, 1e-12);
    b.component(2, 22, {0.01, 1, 2, 3, 4, 5, 6});
    std::string text = convert("zahlen.k1", b.text(), KYT1X_CONVERTED);
    for (const char* lines : {"   A  = 2.5e-7;\n   T  = 1.e+020;\n", "   Ti = -0.125;\n   AB = 1.e-12;\n",
                              "   T  = 0.01;\n   b0 = 1.;\n   b1 = 2.;\n   b2 = 3.;\n   a0 = 4.;\n   a1 = 5.;\n"
                              "   a2 = 6.;\n$ BLOCKDIM 21 2 6 5\n$ TEXT \"G(1/z)\"\n"})
        EXPECT_NE(std::string::npos, text.find(lines)) << lines << text;
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

// The library of the 1.x kinds (the test's own, with the five kinds that
// the tests use) entered as the catalogue of kyt.ini enters it.
void addOldLibrary(Workspace& workspace, const std::string& dir)
{
    BlockLibrary& lib = workspace.libraries.ElementAt(workspace.libraryCount++);
    lib.name = "KYT1.x_KompLib.";
    lib.file = dir.c_str();
    lib.sectionCount = 0;
}

std::string lowerCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return text;
}

// "from.port -> to.port" for every connection, output end first.
std::set<std::string> connectionsOf(const CircuitModel& model)
{
    std::set<std::string> lines;
    for (const GraphicObject* o : model.objects) {
        if (o->kind() == 1)
            continue;
        const ConnectionObject& c = *static_cast<const ConnectionObject*>(o);
        bool aIsInput = c.portA().side == 1;
        const BlockObject* from = aIsInput ? c.blockB : c.blockA;
        const BlockObject* to = aIsInput ? c.blockA : c.blockB;
        PortRef toPort = aIsInput ? c.portA() : c.portB;
        lines.insert(std::string(from->name.text()) + " -> " + to->name.text() + "." + std::to_string(toPort.index));
    }
    return lines;
}

const BlockObject* blockNamed(const CircuitModel& model, const char* name)
{
    for (const GraphicObject* o : model.objects)
        if (o->kind() == 1 && strcmp(static_cast<const BlockObject*>(o)->name.text(), name) == 0)
            return static_cast<const BlockObject*>(o);
    return nullptr;
}

class Kyt1xReadingTest : public Kyt1xConverterTest {
protected:
    void SetUp() override
    {
        world.workspace.TEMPDIR = world.scratch.path.c_str();
        addOldLibrary(world.workspace, kFixtures + "/kyt1x");
    }
    // Opens and reads the file into model: 1 when it opened.
    int read(const std::string& path, CircuitModel& model)
    {
        CircuitReader reader(0);
        if (!reader.openFile(path.c_str()))
            return 0;
        model.readCircuit(reader);
        reader.closeFile();
        return 1;
    }
};

// The reader reads the converted text, says so at level 0 and hides the
// connection lines; the model holds the circuit of the 1.x file.
TEST_F(Kyt1xReadingTest, ReadsTheConvertedCircuit)
{
    std::string path = world.scratch.write("regel.k1", regelCircuit().text());
    CircuitModel model;
    ASSERT_EQ(1, read(path, model));
    ASSERT_EQ(1u, world.rec.sink.boxes.size()) << world.rec.sink.boxes.back();
    EXPECT_EQ("Die Datei " + lowerCase(path) + " hat KYT 1.x Format!\nDie Verbindungslinien werden nicht angezeigt!",
              world.rec.sink.boxes[0]);
    EXPECT_EQ(0, world.rec.sink.beeps);
    EXPECT_TRUE(world.rec.viewer.calls.empty()) << world.rec.viewer.calls[0].message;
    EXPECT_EQ(1, world.workspace.hideConnectionLines);
    EXPECT_EQ(1, world.workspace.showInputSignalNames);
    // The text stays in TEMPDIR after the reading.
    EXPECT_EQ(readFileBytes(kFixtures + "/regel.kyt1x"), world.scratch.read("kyt1x.tmp"));

    std::vector<std::string> names;
    for (const GraphicObject* o : model.objects)
        if (o->kind() == 1)
            names.push_back(static_cast<const BlockObject*>(o)->name.text());
    EXPECT_EQ((std::vector<std::string>{"Control", "A", "B", "C", "H"}), names);
    EXPECT_EQ((std::set<std::string>{"A -> B.1", "A -> C.1", "B -> C.2", "Control -> H.1"}), connectionsOf(model));
    const BlockObject* b = blockNamed(model, "B");
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(1, b->symbolMarks[0]);
    EXPECT_EQ(Point(12, 2), b->position);
    const BlockObject* h = blockNamed(model, "H");
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(Point(12, 8), h->position);
    EXPECT_EQ(0, h->symbolMarks[0]);
    EXPECT_STREQ("1./0.5", BlockObject::at(h->parameterValues, 1).text());
    EXPECT_STREQ("2.", BlockObject::at(b->parameterValues, 0).text());
}

// A blank in the base name is written as "_", so that the circuit reads
// back.
TEST_F(Kyt1xReadingTest, NameWithABlankLoads)
{
    std::string path = world.scratch.write("mein kreis.k1", regelCircuit().text());
    CircuitModel model;
    ASSERT_EQ(1, read(path, model));
    EXPECT_NE(std::string::npos, world.scratch.read("kyt1x.tmp").find("CIRCUIT Amein_kreis;\n"));
    EXPECT_EQ(1u, world.rec.sink.boxes.size());
    EXPECT_TRUE(world.rec.viewer.calls.empty());
    EXPECT_NE(nullptr, blockNamed(model, "H"));
}

// The message of a mistake names the 1.x file; the viewer shows kyt1x.tmp
// at the line of the text that was read (its lines mean something, the
// binary's do not).
TEST_F(Kyt1xReadingTest, MistakesAreShownInTheConvertedText)
{
    std::string lib = world.scratch.file("ohne-ab");
    ASSERT_EQ(0, mkdir(lib.c_str(), 0755));
    for (const char* file : {"ablocks.bfl", "acontrol", "asprung", "aadd2", "apid"})
        writeFileBytes(lib + "/" + file, readFileBytes(kFixtures + "/kyt1x/" + file));
    std::string pt1 = readFileBytes(kFixtures + "/kyt1x/apt1");
    size_t ab = pt1.find(" AB = 100. \"Grenze\";");
    ASSERT_NE(std::string::npos, ab);
    writeFileBytes(lib + "/apt1", pt1.erase(ab, strlen(" AB = 100. \"Grenze\";")));
    world.workspace.libraries[world.workspace.libraryCount - 1].file = lib.c_str();

    std::string path = world.scratch.write("regel.k1", regelCircuit().text());
    CircuitModel model;
    ASSERT_EQ(1, read(path, model));
    ASSERT_EQ(1u, world.rec.viewer.calls.size());
    const ViewerCall& call = world.rec.viewer.calls[0];
    EXPECT_NE(std::string::npos, call.message.find("regel.k1")) << call.message;
    EXPECT_NE(std::string::npos, call.message.find(getResString(kResUnknownParameter))) << call.message;
    EXPECT_EQ(world.scratch.file("kyt1x.tmp"), call.path);
    std::istringstream golden(readFileBytes(kFixtures + "/regel.kyt1x"));
    std::string text;
    int abLine = 0;
    for (int n = 1; std::getline(golden, text); ++n)
        if (text == "   AB = 10.;")
            abLine = n;
    EXPECT_EQ(abLine, call.line);
    // A warning: the rest is read.
    EXPECT_NE(nullptr, blockNamed(model, "H"));
}

TEST_F(Kyt1xReadingTest, FileThatCannotBeConvertedDoesNotOpen)
{
    Kyt1xBuilder bad = regelCircuit();
    bad.component(5, 26);
    std::string badPath = world.scratch.write("kaputt.k1", bad.text());
    CircuitModel model;
    EXPECT_EQ(0, read(badPath, model));
    ASSERT_EQ(1u, world.rec.sink.boxes.size());
    EXPECT_NE(std::string::npos, world.rec.sink.boxes[0].find("Interner Fehler: Unbekannter KYT 1.x Block"));
    EXPECT_EQ(1, world.rec.sink.beeps);
    EXPECT_FALSE(world.scratch.exists("kyt1x.tmp"));

    // TEMPDIR that takes no file: 20303, and nothing is read.
    world.workspace.TEMPDIR = world.scratch.file("nirgends").c_str();
    std::string path = world.scratch.write("regel.k1", regelCircuit().text());
    EXPECT_EQ(0, read(path, model));
    ASSERT_EQ(2u, world.rec.sink.boxes.size());
    EXPECT_NE(std::string::npos, world.rec.sink.boxes[1].find("KYT 1.x Dateiumwandlung - Die Datei "));
    EXPECT_NE(std::string::npos, world.rec.sink.boxes[1].find(" kann nicht erzeugt werden!"));
    EXPECT_TRUE(model.objects.empty());
}

// A cut 1.x file is no 1.x file: it is read as circuit text, which fails
// with the reader's message on the file itself, and nothing is converted.
TEST_F(Kyt1xReadingTest, TruncatedFileFailsAsText)
{
    std::string path = world.scratch.write("regel.k1", regelCircuit().text().substr(0, 2000));
    CircuitModel model;
    CircuitReader reader(0);
    ASSERT_EQ(1, reader.openFile(path.c_str()));
    model.readCircuit(reader);
    EXPECT_TRUE(reader.failed());
    reader.closeFile();
    EXPECT_FALSE(world.scratch.exists("kyt1x.tmp"));
    EXPECT_EQ(0, world.workspace.hideConnectionLines);
    ASSERT_EQ(1u, world.rec.viewer.calls.size());
    EXPECT_EQ(path, world.rec.viewer.calls[0].path);
    EXPECT_EQ(0u, world.rec.viewer.calls[0].message.find("FEHLER in Datei " + path)) << world.rec.viewer.calls[0].message;
}

// The converter stands behind every reader without being installed, and a
// test's converter hands back to it.
TEST_F(Kyt1xReadingTest, ConverterIsTheStandardOne)
{
    setOldCircuitConverter(nullptr);
    std::string path = world.scratch.write("regel.k1", regelCircuit().text());
    CircuitReader reader(0);
    ASSERT_EQ(1, reader.openFile(path.c_str()));
    char first[32] = {};
    ASSERT_TRUE(fgets(first, sizeof first, reader.stream()));
    EXPECT_STREQ("CIRCUIT Aregel;\n", first);
}

#ifdef KYTSIM_PATH
// The converted circuit compiles and runs: B is the PT1 behind the step,
// y' = (k u - y) / T1 with k = 2, T1 = 0.5 and u = 1 from t = 0, so
// B.y(1) = 2 (1 - e^-2) (analytic).
TEST_F(Kyt1xReadingTest, ConvertedCircuitSimulates)
{
    std::string path = world.scratch.write("regel.k1", regelCircuit().text());
    std::string out = world.scratch.file("out.txt");
    std::string err = world.scratch.file("err.txt");
    std::string command = "'" KYTSIM_PATH "' '" + path + "' --ini '" + kFixtures +
                          "/kyt-kyt1x.ini' --IALG 1 --INITSTEP 0.01 > '" + out + "' 2> '" + err + "'";
    int status = system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    std::string printed = readFileBytes(out);
    EXPECT_EQ(0, WEXITSTATUS(status)) << readFileBytes(err);
    // The first line names the signals; then time and B.y.
    std::istringstream lines(printed);
    std::string line;
    bool found = false;
    while (std::getline(lines, line)) {
        double t = 0, y = 0;
        if (line[0] != '#' && sscanf(line.c_str(), "%lf %lf", &t, &y) == 2 && std::fabs(t - 1) < 1e-9) {
            EXPECT_NEAR(2 * (1 - std::exp(-2.0)), y, 1e-3);
            EXPECT_NEAR(1.7293, y, 1e-3);
            found = true;
            break;
        }
    }
    EXPECT_TRUE(found) << printed.substr(0, 400) << readFileBytes(err);
}
#endif

} // namespace
