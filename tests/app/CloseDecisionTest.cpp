#include "CloseDecision.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class RecordingQuestion : public DiscardQuestion {
public:
    explicit RecordingQuestion(bool ok) : answer(ok) {}
    bool confirm(const std::string& text, const std::string& caption) override
    {
        texts.push_back(text);
        captions.push_back(caption);
        return answer;
    }
    bool answer;
    std::vector<std::string> texts;
    std::vector<std::string> captions;
};

const char kQuestion[] =
    "Die Schaltung example.kyt wurde nicht gespeichert.\nSollen die \xc4nderungen verworfen werden?";

struct CloseCase {
    const char* what;
    CircuitState state;
    bool answer;
    int result;
    bool asks;
};

TEST(CloseDecision, CloseQuery)
{
    const CloseCase cases[] = {
        {"busy and changed", {true, false, false}, true, 1, false},
        {"busy and unchanged", {true, false, true}, true, 1, false},
        {"unchanged", {false, false, true}, false, 0, false},
        {"changed, OK", {false, false, false}, true, 0, true},
        {"changed, Cancel", {false, false, false}, false, 1, true},
        {"changed but empty", {false, true, false}, false, 0, false},
    };
    for (const CloseCase& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingQuestion question(c.answer);
        EXPECT_EQ(closeQuery(c.state, "example.kyt", question), c.result);
        ASSERT_EQ(question.texts.size(), c.asks ? 1u : 0u);
        if (c.asks) {
            EXPECT_EQ(question.texts[0], kQuestion);
            EXPECT_EQ(question.captions[0], "Warnung:");
        }
    }
}

struct DiscardCase {
    int ask;
    int askOnly;
    bool answer;
    int result;
    bool replace;
    bool asks;
};

TEST(CloseDecision, DiscardCircuit)
{
    const DiscardCase cases[] = {
        {0, 0, false, 1, true, false},
        {0, 1, false, 1, false, false},
        {1, 0, true, 1, true, true},
        {1, 0, false, 0, false, true},
        {1, 1, true, 1, false, true},
        {1, 1, false, 0, false, true},
    };
    for (const DiscardCase& c : cases) {
        SCOPED_TRACE("ask " + std::to_string(c.ask) + ", askOnly " + std::to_string(c.askOnly) + ", answer " +
                     (c.answer ? "OK" : "Cancel"));
        RecordingQuestion question(c.answer);
        DiscardDecision d = decideDiscard(c.ask, c.askOnly, "example.kyt", question);
        EXPECT_EQ(d.result, c.result);
        EXPECT_EQ(d.replace, c.replace);
        EXPECT_EQ(question.texts.size(), c.asks ? 1u : 0u);
    }
}

struct LoadCase {
    const char* what;
    CircuitState state;
    bool answer;
    bool goesOn;
    bool replace;
    bool asks;
};

TEST(CloseDecision, LoadReplacesOnlyWhatMayGo)
{
    const LoadCase cases[] = {
        {"empty pane", {false, true, false}, false, true, false, false},
        {"unchanged circuit", {false, false, true}, false, true, true, false},
        {"changed circuit, OK", {false, false, false}, true, true, true, true},
        {"changed circuit, Cancel", {false, false, false}, false, false, false, true},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingQuestion question(c.answer);
        DiscardDecision d{};
        EXPECT_EQ(decideLoadDiscard(c.state, "example.kyt", question, d), c.goesOn);
        EXPECT_EQ(d.replace, c.replace);
        EXPECT_EQ(question.texts.size(), c.asks ? 1u : 0u);
    }
}

// A name with a percent sign is shown as it stands.
TEST(CloseDecision, NameIsNotAFormat)
{
    RecordingQuestion question(true);
    askDiscard(question, "100%s.kyt");
    ASSERT_EQ(question.texts.size(), 1u);
    EXPECT_NE(question.texts[0].find("100%s.kyt"), std::string::npos);
}

} // namespace
