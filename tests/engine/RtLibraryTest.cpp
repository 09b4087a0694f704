// The RT library on a fake card: finding the card, the converter, the
// outputs, the digital lines and the timer, and every failure the card can
// give. RT stays out of the registry: a model cannot call it.
#include "LibraryTestSupport.h"

#include "FakeCard.h"
#include "RtLibrary.h"

#include "AllocationRegistry.h"
#include "ModelListing.h"
#include "SymbolTables.h"

#include <cstring>
#include <functional>

using namespace libtest;

namespace {

// Public: the tables of cases call the helpers through a reference.
class RtLibraryTest : public ::testing::Test {
public:
    void SetUp() override
    {
        queued.clear();
        HostSeams seams = {};
        seams.queueDeferredMessage = recordQueued;
        setHostSeams(&seams);
        // A host table of the test's own: the registry does not attach RT.
        HostServices services;
        fillHostServices(&services);
        descriptor = RtModuleRegister(&services);
        setRtPortIo(&card);
        runState = RunState();
        resetRunErrors();
    }
    void TearDown() override
    {
        hook("RT", MODULE_UNLOAD_HOOK);
        EXPECT_FALSE(card.isOpen);
        setRtPortIo(nullptr);
        setHostSeams(nullptr);
        runState = RunState();
    }

    const ModuleEntry& entry(const char* name, int kind = 0)
    {
        for (const ModuleEntry* e = descriptor->entries; e->name; ++e)
            if (strcmp(e->name, name) == 0 && (!kind || (e->kind & kind)))
                return *e;
        ADD_FAILURE() << "no row " << name;
        static ModuleEntry none = {nullptr, nullptr, 0, nullptr};
        return none;
    }
    int hook(const char* name, int kind)
    {
        const ModuleEntry& e = entry(name, kind);
        if (kind == MODULE_LOAD_HOOK)
            return reinterpret_cast<int (*)()>(e.function)();
        reinterpret_cast<void (*)()>(e.function)();
        return 0;
    }
    int load() { return hook("RT", MODULE_LOAD_HOOK); }
    double f0(const char* n) { return reinterpret_cast<double (*)()>(entry(n).function)(); }
    double f1(const char* n, double a) { return reinterpret_cast<double (*)(double)>(entry(n).function)(a); }
    void p1(const char* n, double a) { reinterpret_cast<void (*)(double)>(entry(n).function)(a); }
    void p2(const char* n, double a, double b)
    {
        reinterpret_cast<void (*)(double, double)>(entry(n).function)(a, b);
    }

    // Load with the card there, and forget what the load wrote.
    void loadCard()
    {
        ASSERT_EQ(0, load());
        ASSERT_TRUE(rtCardPresent());
        card.writes.clear();
        card.reads.clear();
    }

    static bool stopped() { return runState.errorFlag == kRunErrorStop; }

    FakeCard card;
    ModuleDescriptor* descriptor = nullptr;
    RecordingScope recording;
};

const char kNotFound[] =
    "Echtzeit-Hardwarefehler: PCI-20.428W-x Einsteckkarte auf der Portadresse 0x0300 nicht gefunden!";

TEST_F(RtLibraryTest, Rows)
{
    struct Row {
        const char* name;
        int kind;
        const char* signature;
    };
    const Row rows[] = {{"AIN", 1, "dd"},  {"DIGIN", 1, "dd"},  {"GETREALTIME", 1, "d"}, {"AOUT", 2, "dd"},
                        {"DIGOUT", 2, "dd"}, {"SETREALTIME", 2, "d"}, {"SLEEPUNTIL", 2, "dd"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(r.kind, entry(r.name).kind);
        EXPECT_STREQ(r.signature, entry(r.name).signature);
    }
    EXPECT_EQ(nullptr, entry("RT", MODULE_START_HOOK).signature);
}

TEST_F(RtLibraryTest, CardFound)
{
    EXPECT_EQ(0, load());
    EXPECT_TRUE(rtCardPresent());
    EXPECT_TRUE(queued.empty());
    ASSERT_FALSE(card.writes.empty());
    EXPECT_EQ(kRtControlPort, card.writes[0].first);
    EXPECT_EQ(0xC4, card.writes[0].second);
    EXPECT_EQ((std::vector<uint8_t>{kRtControlReset, kRtControlRun}), card.writesTo(kRtControlPort));
    // Both outputs at 0 V, every digital line off.
    EXPECT_EQ((std::vector<uint8_t>{0x00}), card.writesTo(kRtDacLowPort[0]));
    EXPECT_EQ((std::vector<uint8_t>{0x08}), card.writesTo(kRtDacHighPort[1]));
    EXPECT_EQ((std::vector<uint8_t>{0}), card.writesTo(kRtDigitalOutPort));
    hook("RT", MODULE_START_HOOK);
    hook("RT", MODULE_UNLOAD_HOOK);
    EXPECT_FALSE(rtCardPresent());
    EXPECT_EQ(1, card.closes);
}

TEST_F(RtLibraryTest, CardNotFound)
{
    struct Case {
        const char* what;
        std::function<void(FakeCard&)> prepare;
    };
    const Case cases[] = {
        {"identification byte 'Z'", [](FakeCard& c) { c.registers[kRtIdPort] = 'Z'; }},
        {"identification byte '5'", [](FakeCard& c) { c.registers[kRtIdPort] = '5'; }},
        {"no device", [](FakeCard& c) { c.deviceThere = false; }},
        {"the identification does not read", [](FakeCard& c) { c.failingReads.insert(kRtIdPort); }},
        {"the control port takes nothing", [](FakeCard& c) { c.failingWrites.insert(kRtControlPort); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        queued.clear();
        card = FakeCard();
        c.prepare(card);
        EXPECT_EQ(0, load());
        EXPECT_FALSE(rtCardPresent());
        EXPECT_EQ(std::vector<std::string>{kNotFound}, messages());
        EXPECT_EQ(ERR_ERROR, queued[0].level);  // shown later as an error
        EXPECT_FALSE(card.isOpen);
        EXPECT_FALSE(stopped());
    }
}

// The native build has no device: the card is never found.
TEST_F(RtLibraryTest, AbsentDevice)
{
    setRtPortIo(nullptr);
    EXPECT_EQ(0, load());
    EXPECT_FALSE(rtCardPresent());
    EXPECT_EQ(std::vector<std::string>{kNotFound}, messages());
    queued.clear();
    EXPECT_EQ(2048, f1("AIN", 0));
    EXPECT_EQ(std::vector<std::string>{"Echtzeit-Hardwarefehler: AIN vom Kanal 0 gescheitert!"}, messages());
    EXPECT_TRUE(stopped());
}

TEST_F(RtLibraryTest, AnalogInput)
{
    loadCard();
    card.registers[kRtAdcLowPort] = 0xCD;
    card.registers[kRtAdcHighPort] = 0xAB;
    EXPECT_EQ(3021, f1("AIN", 5));
    EXPECT_TRUE(queued.empty());
    EXPECT_EQ((std::vector<uint8_t>{5}), card.writesTo(kRtMuxPort));
    EXPECT_EQ((std::vector<uint8_t>{kRtConvertStart}), card.writesTo(kRtConvertPort));
    // Channel 15.9 is channel 15.
    EXPECT_EQ(3021, f1("AIN", 15.9));
    EXPECT_EQ(15, card.writesTo(kRtMuxPort).back());
}

TEST_F(RtLibraryTest, AnalogInputFails)
{
    struct Case {
        const char* what;
        double channel;
        std::function<void(FakeCard&)> prepare;
        const char* message;
    };
    const Case cases[] = {
        {"channel 16", 16, nullptr, "AIN vom Kanal 16 gescheitert!"},
        {"channel -1", -1, nullptr, "AIN vom Kanal -1 gescheitert!"},
        {"channel NaN", kNaN, nullptr, "AIN vom Kanal -1 gescheitert!"},
        {"a status bit that never comes", 3, [](FakeCard& c) { c.registers[kRtStatusPort] = 0; },
         "AIN vom Kanal 3 gescheitert!"},
        {"the status does not read", 3, [](FakeCard& c) { c.failingReads.insert(kRtStatusPort); },
         "AIN vom Kanal 3 gescheitert!"},
        {"the high byte does not read", 3, [](FakeCard& c) { c.failingReads.insert(kRtAdcHighPort); },
         "AIN vom Kanal 3 gescheitert!"},
        {"the multiplexer takes nothing", 3, [](FakeCard& c) { c.failingWrites.insert(kRtMuxPort); },
         "AIN vom Kanal 3 gescheitert!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        loadCard();
        queued.clear();
        resetRunErrors();
        if (c.prepare)
            c.prepare(card);
        EXPECT_EQ(2048, f1("AIN", c.channel));
        EXPECT_EQ(std::vector<std::string>{std::string("Echtzeit-Hardwarefehler: ") + c.message}, messages());
        EXPECT_TRUE(stopped());
        card.failingReads.clear();
        card.failingWrites.clear();
        card.registers[kRtStatusPort] = kRtStatusDone;
    }
}

TEST_F(RtLibraryTest, StatusPollEnds)
{
    loadCard();
    card.registers[kRtStatusPort] = 0x02;  // other bits do not count
    EXPECT_EQ(2048, f1("AIN", 1));
    EXPECT_EQ(kRtStatusPolls, card.reads[kRtStatusPort]);
    EXPECT_EQ(0, card.reads[kRtAdcLowPort]);
}

TEST_F(RtLibraryTest, OutputsAndDigitalLines)
{
    loadCard();
    p2("AOUT", 1, 3021);
    EXPECT_EQ((std::vector<uint8_t>{0xCD}), card.writesTo(kRtDacLowPort[1]));
    EXPECT_EQ((std::vector<uint8_t>{0x0B}), card.writesTo(kRtDacHighPort[1]));
    // The converter's range holds the code.
    p2("AOUT", 0, 5000);
    p2("AOUT", 0, -3);
    EXPECT_EQ((std::vector<uint8_t>{0xFF, 0x00}), card.writesTo(kRtDacLowPort[0]));
    EXPECT_EQ((std::vector<uint8_t>{0x0F, 0x00}), card.writesTo(kRtDacHighPort[0]));

    card.registers[kRtDigitalInPort] = 0x24;
    EXPECT_EQ(1, f1("DIGIN", 2));
    EXPECT_EQ(0, f1("DIGIN", 3));
    EXPECT_EQ(1, f1("DIGIN", 5));

    p2("DIGOUT", 0, 1);
    p2("DIGOUT", 7, 1);
    p2("DIGOUT", 0, 0);
    EXPECT_EQ((std::vector<uint8_t>{0x01, 0x81, 0x80}), card.writesTo(kRtDigitalOutPort));
    EXPECT_TRUE(queued.empty());
    EXPECT_FALSE(stopped());
}

TEST_F(RtLibraryTest, OutputsAndDigitalLinesFail)
{
    struct Case {
        const char* what;
        std::function<void(RtLibraryTest&)> call;
        const char* message;
    };
    const Case cases[] = {
        {"AOUT channel 2", [](RtLibraryTest& t) { t.p2("AOUT", 2, 0); }, "AOUT zum Kanal 2 gescheitert!"},
        {"AOUT NaN", [](RtLibraryTest& t) { t.p2("AOUT", 0, kNaN); }, "AOUT zum Kanal 0 gescheitert!"},
        {"AOUT write", [](RtLibraryTest& t) {
             t.card.failingWrites.insert(kRtDacHighPort[1]);
             t.p2("AOUT", 1, 7);
         }, "AOUT zum Kanal 1 gescheitert!"},
        {"DIGIN line 8", [](RtLibraryTest& t) { EXPECT_EQ(0, t.f1("DIGIN", 8)); }, "DIGIN vom Kanal 8 gescheitert!"},
        {"DIGIN read", [](RtLibraryTest& t) {
             t.card.failingReads.insert(kRtDigitalInPort);
             EXPECT_EQ(0, t.f1("DIGIN", 1));
         }, "DIGIN vom Kanal 1 gescheitert!"},
        {"DIGOUT line -1", [](RtLibraryTest& t) { t.p2("DIGOUT", -1, 1); }, "DIGOUT zum Kanal -1 gescheitert!"},
        {"DIGOUT write", [](RtLibraryTest& t) {
             t.card.failingWrites.insert(kRtDigitalOutPort);
             t.p2("DIGOUT", 4, 1);
         }, "DIGOUT zum Kanal 4 gescheitert!"},
        {"GETREALTIME read", [](RtLibraryTest& t) {
             t.card.failingReads.insert(kRtTimerPort + 3);
             EXPECT_EQ(0, t.f0("GETREALTIME"));
         }, "Der Zeitgeber der Karte kann nicht gelesen werden!"},
        {"SETREALTIME negative", [](RtLibraryTest& t) { t.p1("SETREALTIME", -1); },
         "Der Zeitgeber der Karte kann nicht gestellt werden!"},
        {"SETREALTIME write", [](RtLibraryTest& t) {
             t.card.failingWrites.insert(kRtTimerCommandPort);
             t.p1("SETREALTIME", 1);
         }, "Der Zeitgeber der Karte kann nicht gestellt werden!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        loadCard();
        queued.clear();
        resetRunErrors();
        c.call(*this);
        EXPECT_EQ(std::vector<std::string>{std::string("Echtzeit-Hardwarefehler: ") + c.message}, messages());
        EXPECT_TRUE(stopped());
        card.failingReads.clear();
        card.failingWrites.clear();
    }
}

TEST_F(RtLibraryTest, Timer)
{
    loadCard();
    card.timerMs = 2500;
    EXPECT_DOUBLE_EQ(2.5, f0("GETREALTIME"));
    p1("SETREALTIME", 70000.25);  // 70,000,250 ms: all four bytes
    EXPECT_EQ(70000250u, card.timerMs);
    EXPECT_DOUBLE_EQ(70000.25, f0("GETREALTIME"));
    EXPECT_TRUE(queued.empty());
}

TEST_F(RtLibraryTest, SleepUntil)
{
    loadCard();
    // Missed: the timer is at 1,012 ms.
    card.timerMs = 1012;
    p2("SLEEPUNTIL", 1.0, 0);
    EXPECT_EQ(std::vector<std::string>{
                  "Echtzeit-Hardwarefehler: Sleep Until verfehlte den Echtzeitplan um 12.000000 ms!"},
              messages());
    EXPECT_TRUE(stopped());

    // Waits while the timer runs up to the time.
    queued.clear();
    resetRunErrors();
    card.timerMs = 990;
    card.timerStep = 1;
    p2("SLEEPUNTIL", 1.0, 0);
    EXPECT_TRUE(queued.empty());
    EXPECT_FALSE(stopped());
    EXPECT_EQ(1001u, card.timerMs);

    // A timer that stands still ends the wait.
    card.timerMs = 0;
    card.timerStep = 0;
    p2("SLEEPUNTIL", 1.0, 0);
    EXPECT_EQ(std::vector<std::string>{"Echtzeit-Hardwarefehler: Der Zeitgeber der Karte kann nicht gelesen werden!"},
              messages());
    EXPECT_TRUE(stopped());
}

// The registry attaches BASE, FILE, TABLE, FUZZY and IDENT, not RT: a model
// that calls AIN is refused by the compiler.
TEST_F(RtLibraryTest, ModelCannotCallRt)
{
    setModuleLibraryList(nullptr);
    ASSERT_EQ(0, ModuleRegistryLoad());
    EXPECT_EQ(nullptr, ModuleRegistryLookup("AIN"));
    EXPECT_NE(nullptr, ModuleRegistryLookup("FOPEN"));
    EXPECT_NE(nullptr, ModuleRegistryLookup("TABLEGET"));
    ModuleRegistryFree();

    const char text[] = "BLOCK A;\nOUTPUT y;\nSIM\n  y = AIN(0);\nENDSIM\nENDBLOCK A;\n"
                        "CIRCUIT X;\nENDCIRCUIT X;\n";
    FILE* f = tmpfile();
    fputs(text, f);
    rewind(f);
    EXPECT_NE(0, parseModelText(f));
    fclose(f);
    freeRegisteredPointers();
    freeSymbolTables();
    ModuleRegistryFree();
    bool refused = false;
    for (const ViewerCall& c : recording.viewer.calls)
        refused |= c.message.find("Unbekannte Function AIN(...) in Block \"A\"!") != std::string::npos;
    EXPECT_TRUE(refused);
}

} // namespace
