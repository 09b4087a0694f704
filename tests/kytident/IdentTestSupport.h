// A scratch directory for block files, and a recorder that answers the
// wizard's boxes from a script.
#ifndef KYT_TESTS_KYTIDENT_IDENTTESTSUPPORT_H
#define KYT_TESTS_KYTIDENT_IDENTTESTSUPPORT_H

#include "EditorStrings.h"
#include "IdentMessage.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <deque>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// Records every box; questions take the next scripted answer (No when the
// script is used up).
class BoxRecorder {
public:
    IdentAsk ask()
    {
        return [this](const IdentMessage& m) {
            shown.push_back(m);
            if (m.kind != IDENT_BOX_QUESTION || answers.empty())
                return false;
            bool yes = answers.front();
            answers.pop_front();
            return yes;
        };
    }
    std::vector<unsigned int> ids() const
    {
        std::vector<unsigned int> r;
        for (const IdentMessage& m : shown)
            r.push_back(m.textId);
        return r;
    }
    std::deque<bool> answers;
    std::vector<IdentMessage> shown;
};

class IdentScratchTest : public EditorStringsTest {
protected:
    void SetUp() override
    {
        EditorStringsTest::SetUp();
        char tmpl[] = "/tmp/kytidentXXXXXX";
        ASSERT_TRUE(mkdtemp(tmpl));
        dir = tmpl;
    }
    void TearDown() override
    {
        std::string cmd = "chmod -R u+w '" + dir + "' && rm -rf '" + dir + "'";
        EXPECT_EQ(0, system(cmd.c_str()));
        EditorStringsTest::TearDown();
    }
    std::string write(const std::string& name, const std::string& text)
    {
        std::ofstream(dir + "/" + name, std::ios::binary) << text;
        return dir + "/" + name;
    }
    static std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    std::string dir;
};

#endif
