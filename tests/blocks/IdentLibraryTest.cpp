#include "IdentLibrary.h"
#include "blocks/IdentTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// A recording window system. Its windows report their end to the library as
// the real frame's destructor does.

struct FakeWindowSystem;

struct FakeWindow : IdentResultWindow {
    FakeWindowSystem* system;
    int handle;
    std::string title;
    IdentWindowPlacement placement;
    std::vector<int> checkedModes;
    std::vector<std::string> shown;  // "z:" + theta, "s:" + coefficients, "s:none"
    bool frozen = false;
    int endRuns = 0;

    void checkOutputMode(int mode) override { checkedModes.push_back(mode); }
    void showDiscrete(const double* theta, int count, int nb, int na, int d) override
    {
        std::string t = "z:" + std::to_string(nb) + "," + std::to_string(na) + "," + std::to_string(d);
        for (int i = 0; i < count; ++i)
            t += " " + std::to_string(theta[i]);
        shown.push_back(t);
    }
    void showContinuous(const double* c, int count, double deadTime) override
    {
        std::string t = "s:";
        if (!c)
            t += "none";
        for (int i = 0; i < count; ++i)
            t += " " + std::to_string(c[i]);
        t += " T=" + std::to_string(deadTime);
        shown.push_back(t);
    }
    bool isFrozen() const override { return frozen; }
    void endRun() override { ++endRuns; }
    void destroy() override;
};

struct FakeWindowSystem : IdentWindowSystem {
    std::map<int, FakeWindow*> windows;  // open windows by handle
    std::vector<int> destroyed;          // handles whose window was closed
    int ddeCreated = 0;
    int ddeDeleted = 0;

    void screenSize(int* w, int* h) override
    {
        *w = 1024;
        *h = 768;
    }
    IdentResultWindow* createResultWindow(int handle, const char* title,
                                          const IdentWindowPlacement& p) override
    {
        FakeWindow* w = new FakeWindow;
        w->system = this;
        w->handle = handle;
        w->title = title;
        w->placement = p;
        windows[handle] = w;
        return w;
    }
    void createDdeClient() override { ++ddeCreated; }
    void deleteDdeClient() override { ++ddeDeleted; }
    FakeWindow* at(int handle) { return windows.count(handle) ? windows[handle] : nullptr; }
};

void FakeWindow::destroy()
{
    system->windows.erase(handle);
    system->destroyed.push_back(handle);
    int h = handle;
    delete this;
    identWindowClosed(h);
}

// The texts of the library, as the messages must read.
const char* const kBadMethod = "IDOPEN : Ung\xFCltige Verfahrensnummer!";
const char* const kBadNum = "IDOPEN : Ung\xFCltige Z\xE4hlerordnung!";
const char* const kBadDen = "IDOPEN : Ung\xFCltige Nennerordnung!";
const char* const kBadTsamp = "IDOPEN : Ung\xFCltige Abtastzeit!";
const char* const kBadDead = "IDOPEN : Ung\xFCltige Totzeit!";

class IdentLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        FakeHost::clear();
        FakeHost::strings() = {"Ident", "Least Square", "Extended LS"};
        HostServices s = FakeHost::services();
        descriptor = IdentModuleRegister(&s);
        setIdentWindowSystem(&windows);
        ASSERT_EQ(0, identLoadHook());
    }
    void TearDown() override
    {
        identCloseAll();
        setIdentWindowSystem(nullptr);
        setIdentHostServices(nullptr);
    }
    // The one message since the last clear, and exactly one stop.
    void expectError(const std::string& message)
    {
        ASSERT_EQ(1u, FakeHost::messages().size());
        EXPECT_EQ(message, FakeHost::messages()[0]);
        EXPECT_EQ(1, FakeHost::levels()[0]);
        EXPECT_EQ(1, FakeHost::stops());
        FakeHost::clear();
    }
    void expectNoError()
    {
        EXPECT_TRUE(FakeHost::messages().empty());
        EXPECT_EQ(0, FakeHost::stops());
    }

    ModuleDescriptor* descriptor = nullptr;
    FakeWindowSystem windows;
};

// ---------------------------------------------------------------------------
// Registration

TEST_F(IdentLibraryTest, DescriptorHoldsExactlyTheLibrarysRows)
{
    struct Row {
        const char* name;
        ModuleFunction function;
        int kind;
        const char* signature;
    };
    const Row expected[] = {
        {"IDENT", MODULE_FUNCTION(identLoadHook), 4, nullptr},
        {"IDENT", MODULE_FUNCTION(identStartHook), 8, nullptr},
        {"IDENT", MODULE_FUNCTION(identUnloadHook), 16, nullptr},
        {"IDOPEN", MODULE_FUNCTION(IDOPEN), 1, "dddddd"},
        {"IDSETUP", MODULE_FUNCTION(IDSETUP), 2, "d"},
        {"IDCLOSE", MODULE_FUNCTION(IDCLOSE), 2, "d"},
        {"IDSTEP", MODULE_FUNCTION(IDSTEP), 1, "dddd"},
        {"IDGET", MODULE_FUNCTION(IDGET), 1, "ddd"},
        {"IDSET", MODULE_FUNCTION(IDSET), 2, "ddd"},
        {"IDWINOPEN", MODULE_FUNCTION(IDWINOPEN), 2, "ddss"},
        {"IDWINPUT", MODULE_FUNCTION(IDWINPUT), 2, "d"},
    };
    ASSERT_NE(nullptr, descriptor);
    EXPECT_EQ(0, descriptor->reserved0);
    EXPECT_EQ(0, descriptor->reserved1);
    EXPECT_STREQ("ID_OPEN", descriptor->errorKey);
    const ModuleEntry* e = descriptor->entries;
    for (const Row& r : expected) {
        SCOPED_TRACE(r.name);
        ASSERT_NE(nullptr, e->name);
        EXPECT_STREQ(r.name, e->name);
        EXPECT_EQ(r.function, e->function);
        EXPECT_EQ(r.kind, e->kind);
        if (r.signature)
            EXPECT_STREQ(r.signature, e->signature);
        else
            EXPECT_EQ(nullptr, e->signature);
        ++e;
    }
    EXPECT_EQ(nullptr, e->name);
}

// ---------------------------------------------------------------------------
// IDOPEN and handles

TEST_F(IdentLibraryTest, OpenRefusesBadArgumentsInOrder)
{
    struct Case {
        double method, num, den, tsamp, dead;
        const char* message;
    };
    const Case cases[] = {
        {1, 1, 2, 1, 0, kBadMethod},
        {5, 1, 2, 1, 0, kBadMethod},
        {6, 1, 2, 1, 0, kBadMethod},
        {-1, 1, 2, 1, 0, kBadMethod},
        {0.5, 1, 2, 1, 0, kBadMethod},
        {NAN, 1, 2, 1, 0, kBadMethod},
        {0, 5, 0, 1, 0, kBadDen},  // the denominator is checked first
        {0, 1, 1.5, 1, 0, kBadDen},
        {0, 3, 2, 1, 0, kBadNum},
        {0, -1, 2, 1, 0, kBadNum},
        {0, 1, 2, 0, 0, kBadTsamp},
        {0, 1, 2, -0.1, 0, kBadTsamp},
        {0, 1, 2, NAN, 0, kBadTsamp},
        {0, 1, 2, 1, -1, kBadDead},
        {0, 1, 2, 1, 1.5, kBadDead},
        // Orders above 99 and dead steps above 10000 are refused: they once
        // ended the program (a failed allocation) or took seconds per step.
        {0, 1, 100, 1, 0, kBadDen},
        {0, 0, 100000, 1, 0, kBadDen},
        {0, 1, 1e9, 1, 0, kBadDen},
        {0, 1e9, 2, 1, 0, kBadNum},
        {3, 100, 99, 1, 0, kBadNum},
        {0, 1, 2, 1, 10001, kBadDead},
        {2, 1, 2, 1, 1e8, kBadDead},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.method << " " << c.num << " " << c.den << " " << c.tsamp << " "
                                        << c.dead);
        EXPECT_EQ(-1.0, IDOPEN(c.method, c.num, c.den, c.tsamp, c.dead));
        expectError(c.message);
    }
    // Numerator order = denominator order is a proper G(z).
    EXPECT_EQ(0.0, IDOPEN(0, 2, 2, 1, 0));
    expectNoError();
}

TEST_F(IdentLibraryTest, LargestOrdersAndDeadStepsWork)
{
    // The bounds themselves are accepted, for every method that IDOPEN
    // opens: the estimator steps and its last coefficient can be read.
    for (int method : {0, 2, 3, 4}) {
        SCOPED_TRACE(method);
        double h = IDOPEN(method, 99, 99, 0.1, 10000);
        ASSERT_EQ(0.0, h);
        IDSETUP(h);
        for (int k = 0; k < 3; ++k)
            EXPECT_TRUE(std::isfinite(IDSTEP(h, 1.0, 0.5)));
        EXPECT_TRUE(std::isfinite(IDGET(h, 99 + 100 - 1)));
        expectNoError();
        IDCLOSE(h);
    }
}

TEST_F(IdentLibraryTest, LowestFreeSlotIsReusedAndStaleHandlesAreRefused)
{
    EXPECT_EQ(0.0, IDOPEN(0, 1, 2, 1, 0));
    EXPECT_EQ(1.0, IDOPEN(2, 1, 2, 1, 0));
    EXPECT_EQ(2.0, IDOPEN(3, 1, 2, 1, 0));
    IDCLOSE(1);
    IDCLOSE(0);
    expectNoError();
    EXPECT_EQ(0.0, IDOPEN(4, 1, 2, 1, 0));
    EXPECT_EQ(1.0, IDOPEN(0, 1, 2, 1, 0));
    EXPECT_EQ(3.0, IDOPEN(0, 1, 2, 1, 0));
    EXPECT_EQ(4, identHandleCount());
    expectNoError();

    IDCLOSE(3);
    EXPECT_EQ(0.0, IDSTEP(3, 1, 1));
    expectError("3 ist kein g\xFCltiger Handle!");
    // IDOPEN's failure value is no handle: it must not reach slot 0.
    EXPECT_EQ(0.0, IDGET(-1.0, 0));
    expectError("-1 ist kein g\xFCltiger Handle!");
    IDSETUP(17);
    expectError("17 ist kein g\xFCltiger Handle!");
    IDWINPUT(NAN);
    expectError("-1 ist kein g\xFCltiger Handle!");
    // A handle is rounded to the nearest slot.
    EXPECT_EQ(0.0, IDGET(0.6, 0));
    expectNoError();
}

// ---------------------------------------------------------------------------
// IDSET and IDGET

TEST_F(IdentLibraryTest, SetChecksIndexAndValue)
{
    double h = IDOPEN(0, 1, 2, 1, 0);
    IDSET(h, 2, 1.0);
    expectError("IDSET : Ung\xFCltiger Index!");
    IDSET(h, 0.5, 1.0);
    expectError("IDSET : Ung\xFCltiger Index!");

    IDSET(h, 0, 0.99);
    expectNoError();
    IDSET(h, 0, 1.5);
    expectError(" Least Square\n Lambda : Parameter au\xDF" "erhalb der zul\xE4ssigen Grenzen!");
    EXPECT_EQ(0.99, identHandle(0)->estimator.params[0]);

    double els = IDOPEN(3, 1, 2, 1, 0);
    IDSET(els, 2, 1.5);
    expectError(" Extended LS\nFiltergrad : Parameter au\xDF" "erhalb der zul\xE4ssigen Grenzen!");
    EXPECT_EQ(2.0, identHandle(1)->estimator.params[2]);
}

TEST_F(IdentLibraryTest, GetIsBoundedByTheParameterVector)
{
    // Method 3, na 2, m 1, Filtergrad 2 (its default): 2 + 2 + 3 coefficients.
    double h = IDOPEN(3, 1, 2, 1, 0);
    for (int i = 0; i <= 6; ++i)
        IDGET(h, i);
    expectNoError();
    IDGET(h, 7);
    expectError("IDGET : Ung\xFCltiger Index!");
    IDGET(h, -1);
    expectError("IDGET : Ung\xFCltiger Index!");
    IDGET(h, 1.5);
    expectError("IDGET : Ung\xFCltiger Index!");

    // A smaller Filtergrad counts only after IDSETUP has re-created the vector.
    IDSET(h, 2, 0);
    IDGET(h, 6);
    expectNoError();
    IDGET(h, 7);
    expectError("IDGET : Ung\xFCltiger Index!");
    IDSETUP(h);
    IDGET(h, 4);
    expectNoError();
    IDGET(h, 5);
    expectError("IDGET : Ung\xFCltiger Index!");
}

// ---------------------------------------------------------------------------
// Identification through the library, as the wizard's block drives it:
// IDOPEN(0,1,2,1,0), IDSET (Alpha 1e6), IDSETUP, then IDSTEP and IDGET per
// sample. The plant y(t) - 1.5 y(t-1) + 0.7 y(t-2) = u(t-1) + 0.5 u(t-2).

std::vector<double> identifyPlant(double h, bool setUp)
{
    if (setUp) {
        IDSET(h, 1, 1e6);
        IDSETUP(h);
    }
    std::mt19937 gen(4);
    double y1 = 0, y2 = 0, u1 = 0, u2 = 0;
    std::vector<double> out(4);
    for (int t = 0; t < 200; ++t) {
        double u = gen() % 2 ? 1.0 : -1.0;
        double y = 1.5 * y1 - 0.7 * y2 + u1 + 0.5 * u2;
        IDSTEP(h, u, y);
        for (int i = 0; i < 4; ++i)
            out[i] = IDGET(h, i);
        y2 = y1;
        y1 = y;
        u2 = u1;
        u1 = u;
    }
    return out;
}

TEST_F(IdentLibraryTest, BlockIdentifiesThePlant)
{
    const double theta[4] = {-1.5, 0.7, 1.0, 0.5};
    std::vector<double> got = identifyPlant(IDOPEN(0, 1, 2, 1, 0), true);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(theta[i], got[i], 1e-6) << i;
    // Without IDSET and IDSETUP the defaults (Alpha 10000) are in force.
    got = identifyPlant(IDOPEN(0, 1, 2, 1, 0), false);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(theta[i], got[i], 1e-4) << i;
    expectNoError();
}

TEST_F(IdentLibraryTest, MathErrorInAStepStopsTheRun)
{
    double h = IDOPEN(4, 1, 2, 1, 0);
    IDSTEP(h, 1.0, 0.5);
    expectNoError();
    EXPECT_EQ(0.0, IDSTEP(h, 1.0, NAN));
    expectError("ID_STEP : Mathematischer Fehler!");
}

// ---------------------------------------------------------------------------
// Result windows

TEST(IdentWindowPlacementTest, ColumnsOfWindowsFromTheRightEdge)
{
    IdentWindowPlacement p = identWindowPlacement(0, 2, 0, 1024, 768);
    EXPECT_EQ(604, p.left);
    EXPECT_EQ(25, p.top);
    EXPECT_EQ(400, p.width);
    EXPECT_EQ(302, p.unitX);
    EXPECT_EQ(12, p.unitY);
    EXPECT_EQ(200, p.unitWidth);
    EXPECT_EQ(60, p.unitHeight);
    // Five rows per column on this screen: handle 6 is column 1, row 1.
    p = identWindowPlacement(6, 2, 0, 1024, 768);
    EXPECT_EQ(624, p.left);
    EXPECT_EQ(185, p.top);
    EXPECT_EQ(500, identWindowPlacement(0, 2, 1, 1024, 768).width);
    // Never wider than the screen; a screen lower than one row still has one.
    EXPECT_EQ(640, identWindowPlacement(0, 40, 0, 640, 100).width);
    EXPECT_EQ(25 + 3 * 20, identWindowPlacement(3, 1, 0, 640, 100).top);
}

TEST(IdentWindowTitleTest, TitleHandleAndMethod)
{
    EXPECT_STREQ("Strecke 3 - Total LS", identWindowTitle("Strecke", 3, "Total LS").text());
}

TEST_F(IdentLibraryTest, WindowOpensOnceAndShowsTheCurrentResult)
{
    IDOPEN(0, 1, 2, 1, 0);
    // na 1, m 0, one dead step.
    double h = IDOPEN(0, 0, 1, 0.1, 1);
    IDWINOPEN(h, 1, 0, 1);
    expectNoError();
    FakeWindow* w = windows.at(1);
    ASSERT_NE(nullptr, w);
    EXPECT_EQ("Ident 1 - Least Square", w->title);
    EXPECT_EQ(400, w->placement.width);
    EXPECT_EQ(604, w->placement.left);
    EXPECT_EQ(165, w->placement.top);
    EXPECT_EQ(std::vector<int>{1}, w->checkedModes);
    EXPECT_EQ(1, identHandle(1)->windowPresent);

    IDWINOPEN(h, 2, 0, 1);
    EXPECT_EQ(1u, windows.windows.size());
    EXPECT_EQ((std::vector<int>{1, 2}), w->checkedModes);

    // Zero parameters convert to nothing: the pane is cleared.
    IDWINPUT(h);
    ASSERT_EQ(1u, w->shown.size());
    EXPECT_EQ("s:none T=0.100000", w->shown.back());

    // The plant y(k) = 0.8 y(k-1) + 0.4 u(k-2).
    double y = 0, u1 = 0, u2 = 0;
    IDSET(h, 1, 1e6);
    IDSETUP(h);
    std::mt19937 gen(2);
    for (int k = 0; k < 100; ++k) {
        double u = gen() % 2 ? 1.0 : -1.0;
        y = 0.8 * y + 0.4 * u2;
        IDSTEP(h, u, y);
        u2 = u1;
        u1 = u;
    }
    IDWINOPEN(h, 1, 0, 1);
    IDWINPUT(h);
    EXPECT_EQ("z:1,1,1 -0.800000 0.400000", w->shown.back());
    IDWINOPEN(h, 2, 0, 1);
    IDWINPUT(h);
    // G(s) = b/(s + a): a = -ln 0.8 / 0.1, b = a * 0.4 / 0.2 (same gain 2).
    const double a = -std::log(0.8) / 0.1;
    char expected[80];
    snprintf(expected, sizeof expected, "s: %f 0.000000 %f T=0.100000", a, 2 * a);
    EXPECT_EQ(expected, w->shown.back());
    expectNoError();
}

TEST_F(IdentLibraryTest, WindowModeAndStringsAreChecked)
{
    double h = IDOPEN(0, 1, 2, 1, 0);
    IDWINOPEN(h, 4, 0, 1);
    expectError("IDWINOPEN : Der Fensterausgabemodus mu\xDF zwischen 1 und 3 liegen!");
    IDWINOPEN(h, 0, 0, 1);
    expectError("IDWINOPEN : Der Fensterausgabemodus mu\xDF zwischen 1 und 3 liegen!");
    // A string index the program does not have: the host reports it.
    IDWINOPEN(h, 1, 9, 1);
    EXPECT_EQ(1, FakeHost::stops());
    EXPECT_TRUE(windows.windows.empty());
}

TEST_F(IdentLibraryTest, WindowInputWithoutWindowDoesNothing)
{
    double h = IDOPEN(0, 1, 2, 1, 0);
    IDWINPUT(h);
    expectNoError();
    EXPECT_TRUE(windows.windows.empty());
}

TEST_F(IdentLibraryTest, RunEndLeavesWindowsClosableAndTheNextRunClearsThem)
{
    double plain = IDOPEN(0, 1, 2, 1, 0);
    double shown = IDOPEN(0, 1, 2, 1, 0);
    double frozen = IDOPEN(3, 1, 2, 1, 0);
    IDWINOPEN(shown, 1, 0, 1);
    IDWINOPEN(frozen, 2, 0, 2);
    windows.at(2)->frozen = true;

    // End of the run: handles without window go, windows stay closable.
    identUnloadHook();
    EXPECT_EQ(nullptr, identHandle(0));
    EXPECT_NE(nullptr, identHandle(1));
    EXPECT_NE(nullptr, identHandle(2));
    EXPECT_EQ(1, windows.at(1)->endRuns);
    EXPECT_EQ(0, windows.at(2)->endRuns);
    (void)plain;

    // Start of the next run: the frozen window and its handle survive.
    identStartHook();
    EXPECT_EQ(std::vector<int>{1}, windows.destroyed);
    EXPECT_EQ(nullptr, identHandle(1));
    ASSERT_NE(nullptr, windows.at(2));
    EXPECT_NE(nullptr, identHandle(2));
    EXPECT_EQ(0.0, IDOPEN(0, 1, 2, 1, 0));
    EXPECT_EQ(1.0, IDOPEN(0, 1, 2, 1, 0));

    // The program ends: every window goes, frozen or not, then the bank.
    EXPECT_EQ(1, windows.ddeCreated);
    identCloseAll();
    EXPECT_TRUE(windows.windows.empty());
    EXPECT_EQ((std::vector<int>{1, 2}), windows.destroyed);
    EXPECT_EQ(1, windows.ddeDeleted);
    EXPECT_EQ(0, identHandleCount());
    expectNoError();
}

TEST_F(IdentLibraryTest, ClosingAWindowAfterTheRunFreesItsHandle)
{
    double h = IDOPEN(0, 1, 2, 1, 0);
    IDWINOPEN(h, 1, 0, 1);
    IDCLOSE(h);
    EXPECT_NE(nullptr, identHandle(0));
    EXPECT_EQ(1, windows.at(0)->endRuns);
    windows.at(0)->destroy();
    EXPECT_EQ(nullptr, identHandle(0));
    EXPECT_EQ(0.0, IDOPEN(0, 1, 2, 1, 0));
}

TEST_F(IdentLibraryTest, LoadHookCreatesTheDdeClientOnce)
{
    EXPECT_EQ(0, identLoadHook());
    EXPECT_EQ(1, windows.ddeCreated);
    EXPECT_EQ(1, identHandleCount());
}

} // namespace
