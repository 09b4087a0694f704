// One editing session of the fuzzy-block editor: the exit code the main
// program reads, saves that fail, the deletion that can be taken back and
// the rule text kept for the next save.
#include "EditorStrings.h"
#include "ErrorReporter.h"
#include "FuzzyBlock.h"
#include "FuzzyKernel.h"
#include "FuzzyModel.h"
#include "FuzzySession.h"
#include "ResString.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

const char* const kBlock =
    "FBLOCK \"Regler\";\n"
    "CONFIGURATION;\n AND_METHOD = min;\n OR_METHOD = max;\n INFERENCE_METHOD = max_prod;\n"
    " DEFUZZIFICATION_METHOD = centroid;\nENDCONFIGURATION;\n"
    "INPUTVAR e;\n XMIN -1;\n XMAX 1;\n MEMBER neg;\n  TRAPEZ -1, -1, -1, 0;\n ENDMEMBER;\n"
    " MEMBER pos;\n  TRAPEZ 0, 1, 1, 1;\n ENDMEMBER;\nENDINPUTVAR;\n"
    "INPUTVAR de;\n XMIN -2;\n XMAX 2;\n MEMBER neg;\n  TRAPEZ -2, -2, -2, 0;\n ENDMEMBER;\n"
    " MEMBER pos;\n  TRAPEZ 0, 2, 2, 2;\n ENDMEMBER;\nENDINPUTVAR;\n"
    "OUTPUTVAR u;\n XMIN -1;\n XMAX 1;\n MEMBER neg;\n  TRAPEZ -1, -1, -0.5, 0;\n ENDMEMBER;\n"
    " MEMBER pos;\n  TRAPEZ 0, 0.5, 1, 1;\n ENDMEMBER;\nENDOUTPUTVAR;\n"
    "RULEBASE;\nIF ((e==neg) AND (de==neg)) THEN u=pos;\nIF ((e==pos) AND (de==pos)) THEN u=neg;\n"
    "IF ((e==neg) AND (de==pos)) THEN u=neg;\nIF ((e==pos) AND (de==neg)) THEN u=pos;\nENDRULEBASE;\n"
    "ENDFBLOCK;\n";

// Answers questions from a script (Yes when it runs dry) and records what
// the session shows.
class ScriptedUi : public FuzzySessionUi {
public:
    bool ask(const std::string& text) override
    {
        questions.push_back(text);
        if (answers.empty())
            return true;
        bool answer = answers.front();
        answers.pop_front();
        return answer;
    }
    void showBox(const std::string& text, const std::string&) override { boxes.push_back(text); }
    std::string chooseFileToOpen() override { return fileToOpen; }
    std::string chooseFileToSave() override { return fileToSave; }
    void titleChanged(const std::string& t) override { titles.push_back(t); }
    void addRecentFile(const std::string& f) override { recent.push_back(f); }

    std::deque<bool> answers;
    std::string fileToOpen;
    std::string fileToSave;
    std::vector<std::string> questions;
    std::vector<std::string> boxes;
    std::vector<std::string> titles;
    std::vector<std::string> recent;
};

class SinkRecorder : public ErrorSink {
public:
    void beep() override {}
    void showBox(const char* text, const char*) override { boxes.push_back(text); }
    [[noreturn]] void endProcess(int code) override { _exit(code); }
    std::vector<std::string> boxes;
};

std::time_t fixedClock()
{
    return 1000000000;
}

class FuzzySessionTest : public EditorStringsTest {
protected:
    void SetUp() override
    {
        EditorStringsTest::SetUp();
        char tmpl[] = "/tmp/kytfuzzysessionXXXXXX";
        ASSERT_TRUE(mkdtemp(tmpl));
        dir = tmpl;
        setErrorSink(&sink);
        disableErrorLog();
    }
    void TearDown() override
    {
        enableErrorLog();
        setErrorSink(nullptr);
        EXPECT_EQ(0, system(("rm -rf '" + dir + "'").c_str()));
        EditorStringsTest::TearDown();
    }
    std::string write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir + "/" + name, std::ios::binary) << text;
        return dir + "/" + name;
    }
    std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
public:
    // Replaces a path by a directory with something inside: no file can
    // be written there.
    void block(const std::string& name)
    {
        ASSERT_EQ(0, system(("rm -rf '" + dir + "/" + name + "' && mkdir -p '" + dir + "/" + name + "/x'").c_str()));
    }
    std::string dir;
    SinkRecorder sink;
};

TEST_F(FuzzySessionTest, ExitCodes)
{
    struct Case {
        const char* run;
        bool wizard;
        std::function<void(FuzzySessionTest*, FuzzySession&, ScriptedUi&)> steps;
        int exitCode;
    };
    const Case cases[] = {
        {"wizard save OK, exit", true,
         [](FuzzySessionTest*, FuzzySession& s, ScriptedUi&) { EXPECT_EQ(1, s.save()); }, 0},
        {"wizard save OK, then change and discard", true,
         [](FuzzySessionTest*, FuzzySession& s, ScriptedUi&) {
             EXPECT_EQ(1, s.save());
             s.setModified();
         },
         0},
        {"wizard save OK, then failed plain Save as", true,
         [](FuzzySessionTest* t, FuzzySession& s, ScriptedUi& ui) {
             EXPECT_EQ(1, s.save());
             t->block("kopie.kyb");
             ui.fileToSave = t->dir + "/kopie.kyb";
             EXPECT_EQ(0, s.saveAs());
         },
         0},
        {"wizard save failed, nothing modified, exit", true,
         [](FuzzySessionTest* t, FuzzySession& s, ScriptedUi&) {
             t->block("Fuzzy1");
             EXPECT_EQ(0, s.save());
         },
         -1},
        {"wizard save failed, discard", true,
         [](FuzzySessionTest* t, FuzzySession& s, ScriptedUi&) {
             t->block("Fuzzy1");
             s.setModified();
             EXPECT_EQ(0, s.save());
             // The changes are not saved yet.
             EXPECT_TRUE(s.isModified());
         },
         1},
        {"wizard: failed plain Save as alone", true,
         [](FuzzySessionTest* t, FuzzySession& s, ScriptedUi& ui) {
             t->block("kopie.kyb");
             ui.fileToSave = t->dir + "/kopie.kyb";
             EXPECT_EQ(0, s.saveAs());
         },
         1},
        {"no save, exit", true, [](FuzzySessionTest*, FuzzySession&, ScriptedUi&) {}, 1},
        {"plain mode, failed Save", false,
         [](FuzzySessionTest* t, FuzzySession& s, ScriptedUi&) {
             t->block("regler.kyb");
             EXPECT_EQ(0, s.save());
         },
         -1},
        {"plain mode, Save", false,
         [](FuzzySessionTest*, FuzzySession& s, ScriptedUi&) { EXPECT_EQ(1, s.save()); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.run);
        ASSERT_EQ(0, system(("cd '" + dir + "' && rm -rf regler.kyb kopie.kyb Fuzzy1").c_str()));
        std::string file = write("regler.kyb", kBlock);
        ScriptedUi ui;
        FuzzySession session(&ui, fixedClock);
        if (c.wizard)
            session.setWizard("Fuzzy1", dir);
        ASSERT_EQ(1, session.openBlock(file));
        c.steps(this, session, ui);
        bool modified = session.isModified();
        size_t asked = ui.questions.size();
        EXPECT_TRUE(session.close());
        if (modified) {
            ASSERT_EQ(asked + 1, ui.questions.size());
            EXPECT_EQ(getResString(c.wizard ? 57608 : 17633), ui.questions.back());
        } else {
            EXPECT_EQ(asked, ui.questions.size());
        }
        EXPECT_EQ(c.exitCode, session.finalExitCode());
    }
}

TEST_F(FuzzySessionTest, WizardSaveWritesTheBlockFileAndAFailedSaveKeepsIt)
{
    std::string file = write("regler.kyb", kBlock);
    ScriptedUi ui;
    FuzzySession session(&ui, fixedClock);
    session.setWizard("Fuzzy1", dir);
    ASSERT_EQ(1, session.openBlock(file));
    ASSERT_EQ(1, session.save());
    std::string written = read(dir + "/Fuzzy1");
    ASSERT_NE(std::string::npos, written.find("$WIZARD"));
    ASSERT_NE(std::string::npos, written.find("#FBLOCK \"Regler\";"));

    // A block that fails its checks is not written; the earlier file stays.
    session.deleteFuzzySet("u", "pos");
    EXPECT_EQ(0, session.save());
    EXPECT_EQ(written, read(dir + "/Fuzzy1"));
    ASSERT_FALSE(ui.boxes.empty());
    EXPECT_TRUE(session.isModified());
}

TEST_F(FuzzySessionTest, FailedSaveAsChangesNothing)
{
    std::string file = write("regler.kyb", kBlock);
    ScriptedUi ui;
    FuzzySession session(&ui, fixedClock);
    ASSERT_EQ(1, session.openBlock(file));
    ASSERT_EQ(1u, ui.recent.size());
    std::string title = session.getTitle();
    EXPECT_EQ("KYTfuzzy 2.51 - " + file, title);

    block("neu.kyb");
    ui.fileToSave = dir + "/neu";
    EXPECT_EQ(0, session.saveAs());
    EXPECT_EQ(title, session.getTitle());
    EXPECT_EQ(file, session.getCurrentFile());
    EXPECT_EQ(1u, ui.recent.size());
    EXPECT_TRUE(sink.boxes.empty());
    ASSERT_EQ(1u, ui.boxes.size());
    EXPECT_EQ(getResString(139), ui.boxes[0]);

    // Written: the name gets its extension, then title and recent list.
    ui.fileToSave = dir + "/zwei";
    ASSERT_EQ(1, session.saveAs());
    EXPECT_EQ(dir + "/zwei.kyb", session.getCurrentFile());
    EXPECT_EQ("KYTfuzzy 2.51 - " + dir + "/zwei.kyb", session.getTitle());
    EXPECT_EQ(2u, ui.recent.size());
    EXPECT_FALSE(read(dir + "/zwei.kyb").empty());
}

TEST_F(FuzzySessionTest, SaveAsAsksBeforeReplacingAFile)
{
    struct Case {
        const char* what;
        bool wizard;
        bool exists;
        bool answer;
        int result;
        bool written;
        bool stillModified;
        size_t warnings; // "nur zwischengesichert"
    } const cases[] = {
        {"a new name: no question, saved", false, false, true, 1, true, false, 0},
        {"a taken name, Yes: replaced", false, true, true, 1, true, false, 0},
        {"a taken name, No: nothing written", false, true, false, 0, false, true, 0},
        {"wizard, a new name: only a copy, said so", true, false, true, 1, true, true, 1},
        {"wizard, a taken name, No: nothing written, nothing said", true, true, false, 0, false, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(0, system(("cd '" + dir + "' && rm -rf regler.kyb kopie.kyb Fuzzy1").c_str()));
        const std::string file = write("regler.kyb", kBlock);
        const std::string target = dir + "/kopie.kyb";
        const std::string old = "nicht ersetzen";
        if (c.exists)
            write("kopie.kyb", old);
        ScriptedUi ui;
        FuzzySession session(&ui, fixedClock);
        if (c.wizard)
            session.setWizard("Fuzzy1", dir);
        ASSERT_EQ(1, session.openBlock(file));
        session.setModified();
        sink.boxes.clear();
        ui.answers = {c.answer};
        ui.fileToSave = dir + "/kopie";
        EXPECT_EQ(c.result, session.saveAs());
        if (c.exists) {
            ASSERT_EQ(1u, ui.questions.size());
            EXPECT_EQ("Die Datei \"" + target + "\" gibt es schon.\nWollen Sie sie ersetzen?", ui.questions[0]);
        } else {
            EXPECT_TRUE(ui.questions.empty());
        }
        const std::string now = read(target);
        EXPECT_EQ(c.written, now.find("FBLOCK \"Regler\";") == 0) << now;
        if (!c.written) {
            EXPECT_EQ(c.exists ? old : "", now);
        }
        EXPECT_EQ(c.written ? target : file, session.getCurrentFile());
        EXPECT_EQ(c.stillModified, session.isModified());
        ASSERT_EQ(c.warnings, sink.boxes.size());
        if (c.warnings) {
            EXPECT_NE(std::string::npos, sink.boxes[0].find("Die Fuzzy Datei wurde nur zwischengesichert!"));
        }
        ui.answers = {true};
        session.close();
    }
}

TEST_F(FuzzySessionTest, AWrittenBlockHasOneKindOfLineEnd)
{
    // The rule text comes in with CR LF (as the editor keeps it); Save,
    // Save as and the wizard block write the file's own line end throughout.
    std::string crlf;
    for (const char* p = kBlock; *p; ++p)
        crlf += *p == '\n' ? std::string("\r\n") : std::string(1, *p);
    const std::string file = write("regler.kyb", crlf);
    ScriptedUi ui;
    FuzzySession session(&ui, fixedClock);
    session.setWizard("Fuzzy1", dir);
    ASSERT_EQ(1, session.openBlock(file));
    ASSERT_NE(std::string::npos, session.getRuleText().find("\r\n"));
    ASSERT_EQ(1, session.save());
    ui.fileToSave = dir + "/kopie.kyb";
    ASSERT_EQ(1, session.saveAs());
    ASSERT_EQ(1, session.save());
    for (const char* name : {"/Fuzzy1", "/kopie.kyb"}) {
        SCOPED_TRACE(name);
        const std::string written = read(dir + name);
        EXPECT_NE(std::string::npos, written.find("IF ((e==neg) AND (de==neg)) THEN u=pos;\n"));
        EXPECT_EQ(std::string::npos, written.find('\r'));
    }
}

TEST_F(FuzzySessionTest, OpenFailures)
{
    ScriptedUi ui;
    FuzzySession session(&ui, fixedClock);
    EXPECT_EQ(0, session.openBlock(dir + "/fehlt.kyb"));
    ASSERT_EQ(1u, ui.boxes.size());
    EXPECT_EQ(getResString(17636), ui.boxes[0]);
    EXPECT_FALSE(session.model());

    std::string bad = write("kaputt.kyb", "FBLOCK \"x\";\nINPUTVAR ;\n");
    EXPECT_EQ(0, session.openBlock(bad));
    ASSERT_EQ(2u, ui.boxes.size());
    EXPECT_EQ(0u, ui.boxes[1].find(bad + " - "));
    EXPECT_FALSE(session.model());

    // Cancelled file choice: nothing open.
    EXPECT_EQ(0, session.openBlock());
    EXPECT_EQ(2u, ui.boxes.size());
}

TEST_F(FuzzySessionTest, OpenAsksToSaveAChangedBlockFirst)
{
    std::string file = write("regler.kyb", kBlock);
    ScriptedUi ui;
    FuzzySession session(&ui, fixedClock);
    ASSERT_EQ(1, session.openBlock(file));
    session.deleteVariable("de");
    ASSERT_TRUE(session.isModified());
    std::string changed = read(file);
    // Yes to "save first?": the changed block is written before the next opens.
    ui.answers = {true};
    ASSERT_EQ(1, session.openBlock(file));
    EXPECT_EQ(std::string::npos, read(file).find("INPUTVAR de"));
    EXPECT_FALSE(session.isModified());
    EXPECT_FALSE(session.canUndo());
    EXPECT_NE(changed, read(file));
}

TEST_F(FuzzySessionTest, UndoDeletion)
{
    std::string file = write("regler.kyb", kBlock);
    ScriptedUi ui;
    FuzzySession session(&ui, fixedClock);
    ASSERT_EQ(1, session.openBlock(file));
    FuzzyBlock* b = session.model()->getBlock();

    // Deleting input e, adding a new e and undoing: refused, the record stays.
    ASSERT_EQ(1, session.deleteVariable("e"));
    EXPECT_FALSE(findModelVariable(b, "e"));
    FuzzyVariable* fresh = newFuzzyVariable();
    fresh->name = fuzzyCopyText("e");
    fresh->next = b->inputs;
    b->inputs = fresh;
    EXPECT_EQ(0, session.undoDeletion());
    ASSERT_EQ(1u, ui.boxes.size());
    EXPECT_NE(std::string::npos, ui.boxes[0].find("\"e\" bereits existiert"));
    EXPECT_TRUE(session.canUndo());
    // Once the name is free again the old input comes back, at the end of
    // the inputs with its sets.
    ASSERT_TRUE(removeVariable(b, fresh));
    freeVariable(fresh);
    ASSERT_EQ(1, session.undoDeletion());
    FuzzyVariable* back = findModelVariable(b, "e");
    ASSERT_TRUE(back);
    EXPECT_TRUE(findModelMember(back, "pos"));
    EXPECT_EQ(back, b->inputs->next);
    EXPECT_FALSE(session.canUndo());

    // A set of e, then a set of de: only the second can be taken back.
    ASSERT_EQ(1, session.deleteFuzzySet("e", "neg"));
    ASSERT_EQ(1, session.deleteFuzzySet("de", "pos"));
    ASSERT_EQ(1, session.undoDeletion());
    EXPECT_TRUE(findModelMember(findModelVariable(b, "de"), "pos"));
    EXPECT_FALSE(findModelMember(findModelVariable(b, "e"), "neg"));
    EXPECT_EQ(0, session.undoDeletion());

    // The only set of a variable takes the variable with it; when the
    // variable is gone the set cannot come back.
    ASSERT_EQ(1, session.deleteFuzzySet("e", "pos"));
    EXPECT_FALSE(findModelVariable(b, "e"));
    ASSERT_EQ(1, session.undoDeletion());
    EXPECT_TRUE(findModelMember(findModelVariable(b, "e"), "pos"));
    ASSERT_EQ(1, session.deleteFuzzySet("u", "neg"));
    FuzzyVariable* u = findModelVariable(b, "u");
    ASSERT_TRUE(removeVariable(b, u));
    freeVariable(u);
    EXPECT_EQ(0, session.undoDeletion());
    EXPECT_EQ(getResString(11016), std::string("Kann L\xF6schung nicht zur\xFC" "cknehmen, weil Variable \"%s\"\nnicht mehr existiert!"));
    EXPECT_NE(std::string::npos, ui.boxes.back().find("Variable \"u\""));

    // A No to the question deletes nothing.
    ui.answers = {false};
    EXPECT_EQ(0, session.deleteVariable("de"));
    EXPECT_TRUE(findModelVariable(b, "de"));
}

TEST_F(FuzzySessionTest, RuleTextIsReadWhole)
{
    const struct {
        const char* rules;
        const char* expected;
    } cases[] = {
        {"a;\nb;\n", "a;\r\nb;\r\n"},
        {"a;\r\n\r\n\r\n\n", "a;\r\n"},
        {"a;\n\n b;\n\n\n", "a;\r\n\r\n b;\r\n"},
        {"", ""},
    };
    for (const auto& c : cases) {
        std::string file = write("r.kyb", std::string("FBLOCK \"x\";\nRULEBASE;\n") + c.rules + "ENDRULEBASE;\nENDFBLOCK;\n");
        EXPECT_EQ(c.expected, FuzzySession::loadRuleText(file)) << c.rules;
    }

    // 40000 characters in lines of 100, and one line of 40000.
    std::string rules, expected;
    for (int i = 0; i < 400; ++i) {
        std::string line(99, 'a' + i % 26);
        rules += line + ";\n";
        expected += line + ";\r\n";
    }
    std::string file = write("lang.kyb", "FBLOCK \"x\";\nRULEBASE;\n" + rules + "ENDRULEBASE;\n");
    EXPECT_EQ(expected, FuzzySession::loadRuleText(file));
    std::string longLine(40000, 'x');
    file = write("zeile.kyb", "RULEBASE;\n" + longLine + "\nENDRULEBASE;\n");
    EXPECT_EQ(longLine + "\r\n", FuzzySession::loadRuleText(file));
    EXPECT_EQ("", FuzzySession::loadRuleText(dir + "/fehlt.kyb"));
}

} // namespace

namespace {

// A variable whose range is empty opens, with a box that names it.
TEST_F(FuzzySessionTest, ABadRangeOpensWithAnInformation)
{
    std::string text = kBlock;
    text.replace(text.find(" XMIN -2;\n XMAX 2;"), 18, " XMIN 2;\n XMAX 2;");
    ScriptedUi ui;
    FuzzySession session(&ui, fixedClock);
    EXPECT_EQ(1, session.openBlock(write("flach.kyb", text)));
    ASSERT_TRUE(session.model());
    ASSERT_EQ(1u, ui.boxes.size());
    EXPECT_NE(std::string::npos, ui.boxes[0].find("\"de\""));
    EXPECT_EQ(0u, ui.boxes[0].find("Die Variable"));
}

} // namespace
