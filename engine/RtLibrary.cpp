#include "RtLibrary.h"

#include "RunTimeFiles.h"

#include "ResString.h"
#include "strings/RtStrings.h"

#include <cmath>
#include <cstdio>

namespace {

// Texts (rt.strings).
enum RtText {
    TEXT_HARDWARE_ERROR = kStrRtHardwareError,
    TEXT_CARD_NOT_FOUND = kStrRtCardNotFound,
    TEXT_AIN_FAILED = kStrRtAinFailed,
    TEXT_AOUT_FAILED = kStrRtAoutFailed,
    TEXT_DIGIN_FAILED = kStrRtDiginFailed,
    TEXT_DIGOUT_FAILED = kStrRtDigoutFailed,
    TEXT_SLEEP_MISSED = kStrRtSleepMissed,
    TEXT_TIMER_READ_FAILED = kStrRtTimerReadFailed,
    TEXT_TIMER_SET_FAILED = kStrRtTimerSetFailed
};

// The services RT keeps of the table it gets when attached.
struct RtHost {
    int (*requestErrorStop)(int);
    void (*moduleMessage)(int, const char*, ...);
};

RtHost host = {};

class AbsentPortIo : public PortIo {
public:
    bool open() override { return false; }
    bool readByte(uint32_t, uint8_t*) override { return false; }
    bool writeByte(uint32_t, uint8_t) override { return false; }
    void close() override {}
};

AbsentPortIo absentDevice;
PortIo* device = &absentDevice;

struct RtState {
    bool open = false;            // the device is open
    bool present = false;         // and the card answered
    uint8_t control = 0;          // the last control byte written
    uint8_t digitalOut = 0;       // the lines DIGOUT has set
};

RtState state;

// "Echtzeit-Hardwarefehler: " and the text of id formatted with the
// arguments, as a queued error.
template <typename... Args>
void hardwareMessage(RtText text, Args... args)
{
    char inner[256];
    if constexpr (sizeof...(Args) == 0)
        snprintf(inner, sizeof inner, "%s", getResString(text));
    else
        snprintf(inner, sizeof inner, getResString(text), args...);
    if (host.moduleMessage)
        host.moduleMessage(1, getResString(TEXT_HARDWARE_ERROR), inner);
}

template <typename... Args>
void hardwareError(RtText text, Args... args)
{
    hardwareMessage(text, args...);
    if (host.requestErrorStop)
        host.requestErrorStop(0);
}

bool readPort(uint32_t port, uint8_t* value)
{
    return state.present && device->readByte(port, value);
}

bool writePort(uint32_t port, uint8_t value)
{
    return state.present && device->writeByte(port, value);
}

bool writeControl(uint8_t value)
{
    if (!device->writeByte(kRtControlPort, value))
        return false;
    state.control = value;
    return true;
}

bool setOutput(int channel, int code)
{
    return writePort(kRtDacLowPort[channel], static_cast<uint8_t>(code & 0xFF)) &&
           writePort(kRtDacHighPort[channel], static_cast<uint8_t>((code >> 8) & 0x0F));
}

bool readTimer(uint32_t* ms)
{
    if (!writePort(kRtTimerCommandPort, kRtTimerLatch))
        return false;
    uint32_t count = 0;
    for (int k = 0; k < 4; ++k) {
        uint8_t b = 0;
        if (!readPort(kRtTimerPort + static_cast<uint32_t>(k), &b))
            return false;
        count |= static_cast<uint32_t>(b) << (8 * k);
    }
    *ms = count;
    return true;
}

// The reset byte, the run byte, both outputs at 0 V and every digital line
// off: the card starts from a known state.
bool initialiseCard()
{
    if (!writeControl(kRtControlReset) || !writeControl(kRtControlRun))
        return false;
    state.present = true;
    state.digitalOut = 0;
    if (!setOutput(0, kRtOutputMidScale) || !setOutput(1, kRtOutputMidScale) ||
        !writePort(kRtDigitalOutPort, 0)) {
        state.present = false;
        return false;
    }
    return true;
}

void closeDevice()
{
    if (state.open)
        device->close();
    state.open = false;
    state.present = false;
}

// ---- the rows

// A missing card is reported and does not stop the load.
int rtLoad()
{
    closeDevice();
    state.open = device->open();
    uint8_t id = 0;
    bool found = state.open && device->readByte(kRtIdPort, &id) && id >= '0' && id <= '4' &&
                 initialiseCard();
    if (!found) {
        hardwareMessage(TEXT_CARD_NOT_FOUND, static_cast<unsigned>(kRtBasePort));
        closeDevice();
    }
    return 0;
}

void rtStart() {}

void rtUnload()
{
    closeDevice();
}

// A bounded poll: a card that never ends its conversion must not hang the
// program.
double AIN(double channel)
{
    int ch = 0;
    bool ok = runTimeIndex(channel, kRtInputChannels, &ch) && writePort(kRtMuxPort, static_cast<uint8_t>(ch)) &&
              writePort(kRtConvertPort, kRtConvertStart);
    if (ok) {
        uint8_t status = 0;
        int polls = 0;
        do {
            ok = readPort(kRtStatusPort, &status);
        } while (ok && !(status & kRtStatusDone) && ++polls < kRtStatusPolls);
        ok = ok && (status & kRtStatusDone);
    }
    uint8_t low = 0, high = 0;
    if (!ok || !readPort(kRtAdcLowPort, &low) || !readPort(kRtAdcHighPort, &high)) {
        hardwareError(TEXT_AIN_FAILED, runTimeMessageNumber(channel));
        return 2048;
    }
    return (high & 15) * 256 + low;
}

// value is the 12-bit output code; the converter's range holds it.
void AOUT(double channel, double value)
{
    int ch = 0;
    if (!runTimeIndex(channel, kRtOutputChannels, &ch) || std::isnan(value) ||
        !setOutput(ch, static_cast<int>(std::fmin(std::fmax(std::round(value), 0.0), kRtOutputMax)))) {
        hardwareError(TEXT_AOUT_FAILED, runTimeMessageNumber(channel));
    }
}

double DIGIN(double channel)
{
    int line = 0;
    uint8_t lines = 0;
    if (!runTimeIndex(channel, kRtDigitalLines, &line) || !readPort(kRtDigitalInPort, &lines)) {
        hardwareError(TEXT_DIGIN_FAILED, runTimeMessageNumber(channel));
        return 0;
    }
    return (lines >> line) & 1;
}

void DIGOUT(double channel, double value)
{
    int line = 0;
    if (!runTimeIndex(channel, kRtDigitalLines, &line) || std::isnan(value)) {
        hardwareError(TEXT_DIGOUT_FAILED, runTimeMessageNumber(channel));
        return;
    }
    uint8_t lines = state.digitalOut;
    if (value != 0)
        lines = static_cast<uint8_t>(lines | (1u << line));
    else
        lines = static_cast<uint8_t>(lines & ~(1u << line));
    if (!writePort(kRtDigitalOutPort, lines)) {
        hardwareError(TEXT_DIGOUT_FAILED, line);
        return;
    }
    state.digitalOut = lines;
}

double GETREALTIME()
{
    uint32_t ms = 0;
    if (!readTimer(&ms)) {
        hardwareError(TEXT_TIMER_READ_FAILED);
        return 0;
    }
    return ms * 0.001;
}

void SETREALTIME(double t)
{
    const double ms = std::round(t * 1000);
    bool ok = ms >= 0 && ms <= 4294967295.0;
    const uint32_t count = ok ? static_cast<uint32_t>(ms) : 0;
    for (int k = 0; ok && k < 4; ++k)
        ok = writePort(kRtTimerPort + static_cast<uint32_t>(k), static_cast<uint8_t>(count >> (8 * k)));
    if (!ok || !writePort(kRtTimerCommandPort, kRtTimerLoad))
        hardwareError(TEXT_TIMER_SET_FAILED);
}

// SLEEPUNTIL(t, unused): waits until the card's timer reaches t seconds;
// a time already passed is reported with how late it is.
void SLEEPUNTIL(double t, double)
{
    const double target = t * 1000;
    uint32_t now = 0;
    if (std::isnan(target) || !readTimer(&now)) {
        hardwareError(TEXT_TIMER_READ_FAILED);
        return;
    }
    if (now > target) {
        hardwareError(TEXT_SLEEP_MISSED, now - target);
        return;
    }
    uint32_t last = now;
    int stalled = 0;
    while (now < target) {
        if (!readTimer(&now)) {
            hardwareError(TEXT_TIMER_READ_FAILED);
            return;
        }
        if (now != last) {
            last = now;
            stalled = 0;
        } else if (++stalled >= kRtStalledTimerPolls) {
            hardwareError(TEXT_TIMER_READ_FAILED);
            return;
        }
    }
}

ModuleEntry rows[] = {
    {"RT", MODULE_FUNCTION(rtLoad), MODULE_LOAD_HOOK, nullptr},
    {"RT", MODULE_FUNCTION(rtStart), MODULE_START_HOOK, nullptr},
    {"RT", MODULE_FUNCTION(rtUnload), MODULE_UNLOAD_HOOK, nullptr},
    {"AIN", MODULE_FUNCTION(AIN), MODULE_FUNCTION_ROW, "dd", MODULE_SIDE_EFFECTS},
    {"DIGIN", MODULE_FUNCTION(DIGIN), MODULE_FUNCTION_ROW, "dd", MODULE_SIDE_EFFECTS},
    {"GETREALTIME", MODULE_FUNCTION(GETREALTIME), MODULE_FUNCTION_ROW, "d", MODULE_SIDE_EFFECTS},
    {"AOUT", MODULE_FUNCTION(AOUT), MODULE_PROCEDURE_ROW, "dd", MODULE_SIDE_EFFECTS},
    {"DIGOUT", MODULE_FUNCTION(DIGOUT), MODULE_PROCEDURE_ROW, "dd", MODULE_SIDE_EFFECTS},
    {"SETREALTIME", MODULE_FUNCTION(SETREALTIME), MODULE_PROCEDURE_ROW, "d", MODULE_SIDE_EFFECTS},
    {"SLEEPUNTIL", MODULE_FUNCTION(SLEEPUNTIL), MODULE_PROCEDURE_ROW, "dd", MODULE_SIDE_EFFECTS},
    {nullptr, nullptr, 0, nullptr},
};

ModuleDescriptor descriptor = {0, 0, rows, "RT"};

} // namespace

PortIo* absentPortIo()
{
    return &absentDevice;
}

void setRtPortIo(PortIo* io)
{
    closeDevice();
    device = io ? io : &absentDevice;
}

ModuleDescriptor* RtModuleRegister(const HostServices* services)
{
    host.requestErrorStop = services->requestErrorStop;
    host.moduleMessage = services->moduleMessage;
    return &descriptor;
}

bool rtCardPresent()
{
    return state.present;
}
