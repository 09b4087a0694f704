// Reading the block file back into the document: the wizard line, the ALGO
// line, the key lines, and the questions when the file is not as written.
#include "IdentBlockFile.h"

#include "kytident/IdentTestSupport.h"

#include <string>

namespace {

class IdentBlockReaderTest : public IdentScratchTest {
protected:
    // A block as the wizard writes it, with the data lines given.
    static std::string block(const std::string& wizardLine, const std::string& data)
    {
        return "#  Block w1 for KYT 2.x\n#\n" + wizardLine + "\n" + data + "BLOCK w1;\nINPUT\n   u;\nENDBLOCK w1;\n";
    }
    IdentReadResult readWith(const std::string& text, std::deque<bool> answers = {})
    {
        write("w1", text);
        doc = IdentBlockData();
        doc.blockName = "w1";
        doc.directory = dir;
        // Something to see whether the defaults came back.
        doc.setMethod(3);
        doc.numDeg = 7;
        boxes = BoxRecorder();
        boxes.answers = answers;
        return readIdentBlock(&doc, boxes.ask());
    }
    static void expectDefaults(const IdentBlockData& d)
    {
        EXPECT_EQ(0, d.algo);
        EXPECT_EQ(1, d.numDeg);
        EXPECT_EQ(2, d.denDeg);
        EXPECT_EQ(1.0, d.sample);
        EXPECT_EQ(0.0, d.dead);
        EXPECT_EQ(1.0, d.params[0]);
        EXPECT_EQ(10000.0, d.params[1]);
        EXPECT_EQ(0, d.pOutput);
        EXPECT_EQ(0, d.gOutput);
    }
    IdentBlockData doc;
    BoxRecorder boxes;
};

const std::string kMethod2 = "# ALGO 2\n# NUM_DEG 2\n# DEN_DEG 3\n# SAMPLE 0.25\n# DEAD 0.5\n# POUTPUT 1\n"
                             "# GOUTPUT 2\n# LAMBDA 0.98\n# ALPHA 5000.\n# GAMMA 0.95\n# D 3.\n";

TEST_F(IdentBlockReaderTest, ReadsTheDataLines)
{
    // Both forms of the wizard line; an unknown key and a foreign line are
    // skipped; a CR before the line feed is no part of the value.
    for (const char* wizardLine : {"$ WIZARD Ident", "$WIZARD Ident"}) {
        std::string data = "# COMMENT 12\n" + kMethod2 + "something else\n";
        ASSERT_EQ(IDENT_READ_OK, readWith(block(wizardLine, data))) << wizardLine;
        EXPECT_TRUE(boxes.shown.empty()) << wizardLine;
        EXPECT_EQ(2, doc.algo);
        EXPECT_EQ(2, doc.numDeg);
        EXPECT_EQ(3, doc.denDeg);
        EXPECT_EQ(0.25, doc.sample);
        EXPECT_EQ(0.5, doc.dead);
        EXPECT_EQ(1, doc.pOutput);
        EXPECT_EQ(2, doc.gOutput);
        EXPECT_EQ(0.98, doc.params[0]);
        EXPECT_EQ(5000.0, doc.params[1]);
        EXPECT_EQ(0.95, doc.params[2]);
        EXPECT_EQ(3.0, doc.params[3]);
        EXPECT_EQ("w1", doc.blockName);
    }
    std::string crlf;
    for (char c : block("$ WIZARD Ident", kMethod2))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ASSERT_EQ(IDENT_READ_OK, readWith(crlf));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(0.25, doc.sample);
    EXPECT_EQ(3.0, doc.params[3]);

    // Orders are truncated to whole numbers.
    std::string fraction = kMethod2;
    fraction.replace(fraction.find("NUM_DEG 2"), 9, "NUM_DEG 1.7");
    ASSERT_EQ(IDENT_READ_OK, readWith(block("$ WIZARD Ident", fraction)));
    EXPECT_EQ(1, doc.numDeg);
}

TEST_F(IdentBlockReaderTest, MissingFileIsANewBlockWithTheDefaults)
{
    doc.blockName = "w9";
    doc.directory = dir;
    doc.setMethod(2);
    ASSERT_EQ(IDENT_READ_OK, readIdentBlock(&doc, boxes.ask()));
    EXPECT_TRUE(boxes.shown.empty());
    expectDefaults(doc);
}

// Each file that is not as the wizard wrote it asks or tells once; the
// answer decides between the defaults and keeping the file.
TEST_F(IdentBlockReaderTest, DamagedFilesAskOrReplace)
{
    std::string afterAlgo = kMethod2.substr(kMethod2.find('\n') + 1);
    struct Case {
        const char* what;
        std::string text;
        unsigned int box;
    } cases[] = {
        {"no wizard line", "BLOCK w1;\nENDBLOCK w1;\n", 26982},
        {"\"$WIZARD\" alone", "$WIZARD\n" + kMethod2 + "BLOCK w1;\n", 26982},
        {"ALGO 6", block("$ WIZARD Ident", "# ALGO 6\n" + afterAlgo), 26983},
        {"ALGO 1", block("$ WIZARD Ident", "# ALGO 1\n" + afterAlgo), 26983},
        {"ALGO 5", block("$ WIZARD Ident", "# ALGO 5\n" + afterAlgo), 26983},
        {"ALGO without a number", block("$ WIZARD Ident", "# ALGO zwei\n" + afterAlgo), 26983},
        {"no ALGO line", block("$ WIZARD Ident", afterAlgo), 26983},
        {"no BLOCK line", "$ WIZARD Ident\n" + kMethod2, 26983},
    };
    for (const Case& c : cases) {
        for (bool yes : {false, true}) {
            IdentReadResult result = readWith(c.text, {yes});
            EXPECT_EQ(std::vector<unsigned int>{c.box}, boxes.ids()) << c.what;
            ASSERT_FALSE(boxes.shown.empty());
            EXPECT_EQ(IDENT_BOX_QUESTION, boxes.shown[0].kind) << c.what;
            EXPECT_EQ(26965u, boxes.shown[0].captionId) << c.what;
            if (yes) {
                EXPECT_EQ(IDENT_READ_OK, result) << c.what;
                expectDefaults(doc);
            } else {
                EXPECT_EQ(IDENT_READ_DECLINED, result) << c.what;
            }
            // Reading never touches the file.
            EXPECT_EQ(c.text, read(dir + "/w1")) << c.what;
        }
    }
}

TEST_F(IdentBlockReaderTest, MissingOrUnusableKeysGiveTheDefaults)
{
    std::string noPOutput = kMethod2;
    noPOutput.erase(noPOutput.find("# POUTPUT 1\n"), 12);
    // Key lines before the ALGO line are not read.
    std::string early = "# NUM_DEG 2\n# DEN_DEG 3\n# ALGO 0\n# SAMPLE 1.\n# DEAD 0.\n# POUTPUT 0\n# GOUTPUT 0\n"
                        "# LAMBDA 1.\n# ALPHA 10000.\n";
    // The keys of another method than ALGO's.
    std::string otherMethod = "# ALGO 3\n# NUM_DEG 2\n# DEN_DEG 3\n# SAMPLE 1.\n# DEAD 0.\n# POUTPUT 0\n"
                              "# GOUTPUT 0\n# LAMBDA 1.\n# ALPHA 10000.\n";
    auto with = [](std::string text, const std::string& from, const std::string& to) {
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    struct Case {
        const char* what;
        std::string data;
    } cases[] = {
        {"POUTPUT missing", noPOutput},
        {"keys before ALGO", early},
        {"FILTERDEG missing", otherMethod},
        // Values no dialog can show and no block can be written from.
        {"DEN_DEG a million", with(kMethod2, "DEN_DEG 3", "DEN_DEG 1000000")},
        {"NUM_DEG negative", with(kMethod2, "NUM_DEG 2", "NUM_DEG -1")},
        {"GOUTPUT 4", with(kMethod2, "GOUTPUT 2", "GOUTPUT 4")},
        {"POUTPUT 2", with(kMethod2, "POUTPUT 1", "POUTPUT 2")},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(IDENT_READ_OK, readWith(block("$ WIZARD Ident", c.data))) << c.what;
        EXPECT_EQ(std::vector<unsigned int>{26984}, boxes.ids()) << c.what;
        EXPECT_EQ(IDENT_BOX_NOTICE, boxes.shown[0].kind) << c.what;
        expectDefaults(doc);
    }
}

TEST_F(IdentBlockReaderTest, LinesAreReadWhole)
{
    // The last line without a line end keeps its last character.
    ASSERT_EQ(IDENT_READ_OK, readWith("$ WIZARD Ident\n" + kMethod2 + "BLOCK"));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(2, doc.algo);

    // A long comment line is one line: what stands past its 255th character
    // is no data line.
    std::string longLine = "#" + std::string(254, 'x') + "# NUM_DEG 1\n";
    ASSERT_EQ(IDENT_READ_OK, readWith(block("$ WIZARD Ident", kMethod2 + longLine)));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(2, doc.numDeg);

    // A long data line is read whole.
    std::string longData = kMethod2;
    longData.replace(longData.find("# SAMPLE"), 1, "#" + std::string(300, ' '));
    ASSERT_EQ(IDENT_READ_OK, readWith(block("$ WIZARD Ident", longData)));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(0.25, doc.sample);
}

} // namespace
