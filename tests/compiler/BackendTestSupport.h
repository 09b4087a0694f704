// Running the whole back end on model text given in the test: the PI text
// it left in the buffer, the listing and symbol files it wrote into a
// scratch temporary directory, and every message it showed.
#ifndef KYT_TESTS_BACKENDTESTSUPPORT_H
#define KYT_TESTS_BACKENDTESTSUPPORT_H

#include "CompilerTestSupport.h"
#include "FileBytes.h"
#include "TempDirFixture.h"
#include "TextLines.h"

#include "CircuitFlattening.h"
#include "CompileRoad.h"
#include "PiCodeWriter.h"

#include "ModuleRegistry.h"
#include "PiLoader.h"
#include "PiTextBuffer.h"

#include "ResString.h"
#include "ShowFile.h"

#include <string>
#include <vector>

#ifndef KYT_COMPILER_FIXTURES
#error "KYT_COMPILER_FIXTURES names the fixture directory"
#endif

namespace backendtest {

// The stamp the golden PI texts carry in their first line.
inline const char kGoldenStamp[] = "Oct 21 1997 11:33:53";

inline std::string fixturePath(const std::string& name)
{
    return std::string(KYT_COMPILER_FIXTURES) + "/" + name;
}

// The PI text buffer as the loader would read it.
inline std::string bufferText()
{
    std::string s;
    for (const PiTextLine* l = piTextBuffer.head; l; l = l->next)
        s += l->text;
    return s;
}

// The temporary directory of the compile: kytsym.tmp lands here.
inline std::string& tempDirText()
{
    static std::string dir;
    return dir;
}

inline const char* tempDirOfTest()
{
    return tempDirText().c_str();
}

// Where a message was shown.
enum Shown {
    SHOWN_AT_LINE = 0,   // the viewer on kyttrans.tmp, at the line
    SHOWN_IN_BOX = 1,    // an error box without position
    SHOWN_LISTING = 2    // the viewer on kytsym.tmp at line -1
};

struct Message {
    Shown where;
    int line;
    std::string text;
};

class BackendTest : public CompilerTest {
protected:
    void SetUp() override
    {
        CompilerTest::SetUp();
        tempDirText() = scratch.path;
        setTempDirSource(tempDirOfTest);
        setPiBuildStamp(kGoldenStamp);
    }
    void TearDown() override
    {
        freeGeneratedCode();
        freeCodeBuffer(&piTextBuffer);
        unloadPICode();
        CompilerTest::TearDown();
        setPiBuildStamp(nullptr);
        setTempDirSource(nullptr);
    }

    // Parse and back end on the text, as the run command drives them: 0
    // when PI text was written, 1 when the back end refused, -1 when the
    // parse already did. The PI text stays in piText, the tables are freed.
    int generate(const std::string& text, const char* listing = nullptr, int writeSymbols = 0,
                 int generator = kPiCodeGenerator)
    {
        if (parse(text) != 0)
            return -1;
        int result = PiCodeGenerate(generator, listing, writeSymbols);
        piText = bufferText();
        freeGeneratedCode();
        freeSymbolTables();
        return result;
    }

    // The PI text of the buffer through the loader, with the libraries of
    // the test attached again: true when they attach and the text loads.
    bool loadBuffer()
    {
        if (ModuleRegistryLoad() != 0)
            return false;
        bool result = loadPICode("from compiler", 1024);
        unloadPICode();
        ModuleRegistryFree();
        return result;
    }

    // Every message shown, in order: viewer calls and error boxes.
    std::vector<Message> shown() const
    {
        std::vector<Message> out;
        for (const ViewerCall& c : scope.viewer.calls) {
            if (c.path.find("kytsym.tmp") != std::string::npos) {
                out.push_back({SHOWN_LISTING, c.line, c.message});
            } else {
                ShownMessage m = splitMessage(c.message);
                out.push_back({SHOWN_AT_LINE, m.line, m.text});
            }
        }
        const std::string noPosition = std::string(getResString(19106)) + "\n";
        // A box starts with the level's word ("Fehler: "), then the text.
        for (const std::string& box : scope.sink.boxes) {
            size_t at = box.find(noPosition);
            std::string text = at != std::string::npos ? box.substr(at + noPosition.size()) : box;
            out.push_back({SHOWN_IN_BOX, -1, text});
        }
        return out;
    }

    void forgetMessages()
    {
        scope.viewer.calls.clear();
        scope.sink.boxes.clear();
    }

    ScratchDir scratch;
    std::string piText;
};

} // namespace backendtest

#endif
