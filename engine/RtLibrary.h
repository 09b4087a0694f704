// The RT library: real-time input and output on the PCI-20428W
// data-acquisition card, reached byte by byte through I/O ports of the
// device "\\.\GpdDev". It has rows like every library but stays out of the
// registry's list, so no model can call it; RtModuleRegister attaches it
// where that is wanted.
//
// The library talks to the card through PortIo. The Windows programs have
// the real device (GpdPortIo in engine/rtdevice/); everywhere else the device
// is absent, and the load hook reports the card as not found.
#ifndef KYT_ENGINE_RTLIBRARY_H
#define KYT_ENGINE_RTLIBRARY_H

#include "ModuleDescriptor.h"

#include <cstdint>

// One byte at a time from and to the card's ports.
class PortIo {
public:
    virtual ~PortIo() {}
    // Opens the device; false when it is not there.
    virtual bool open() = 0;
    // false when the access failed (a read must give exactly one byte).
    virtual bool readByte(uint32_t port, uint8_t* value) = 0;
    virtual bool writeByte(uint32_t port, uint8_t value) = 0;
    virtual void close() = 0;
};

// A device that never opens.
PortIo* absentPortIo();
// The device of the library; null restores the absent one. Set it before
// the load hook runs.
void setRtPortIo(PortIo* io);

ModuleDescriptor* RtModuleRegister(const HostServices* services);

// The card found by the last load hook and not unloaded since.
bool rtCardPresent();

// ---- the card's register map

const uint32_t kRtBasePort = 0x0300;
// Read: the identification byte, '0' to '4' on a card of this family.
const uint32_t kRtIdPort = kRtBasePort + 0;
// Write: the control byte. Bit 7 resets converter and timer, bit 6 lets the
// timer run, bit 2 selects the bipolar input range.
const uint32_t kRtControlPort = kRtBasePort + 1;
// Write: the input channel of the multiplexer (0 to 15).
const uint32_t kRtMuxPort = kRtBasePort + 2;
// Write kRtConvertStart: starts one conversion.
const uint32_t kRtConvertPort = kRtBasePort + 3;
// Read: bit 0 set when the conversion has ended.
const uint32_t kRtStatusPort = kRtBasePort + 4;
// Read: the 12-bit reading, low byte and high nibble.
const uint32_t kRtAdcLowPort = kRtBasePort + 5;
const uint32_t kRtAdcHighPort = kRtBasePort + 6;
// Write: the 12-bit output code of the two outputs, low byte first; the
// high byte sets the output.
const uint32_t kRtDacLowPort[2] = {kRtBasePort + 8, kRtBasePort + 10};
const uint32_t kRtDacHighPort[2] = {kRtBasePort + 9, kRtBasePort + 11};
// The eight digital input lines and the eight output lines, bit n line n.
const uint32_t kRtDigitalInPort = kRtBasePort + 12;
const uint32_t kRtDigitalOutPort = kRtBasePort + 13;
// Write kRtTimerLatch: copies the running millisecond count into the four
// timer registers; write kRtTimerLoad: the counter takes the count written
// into them. Little-endian, kRtTimerPort + 0 the lowest byte.
const uint32_t kRtTimerCommandPort = kRtBasePort + 14;
const uint32_t kRtTimerPort = kRtBasePort + 16;

const uint8_t kRtControlReset = 0xC4;   // the first byte the load hook writes
const uint8_t kRtControlRun = 0x44;     // then this: reset released
const uint8_t kRtConvertStart = 0x01;
const uint8_t kRtStatusDone = 0x01;
const uint8_t kRtTimerLatch = 0x01;
const uint8_t kRtTimerLoad = 0x02;

const int kRtInputChannels = 16;
const int kRtOutputChannels = 2;
const int kRtDigitalLines = 8;
const int kRtOutputMidScale = 2048;     // 0 V, where the load hook puts both outputs
const int kRtOutputMax = 4095;
// Reads of the status byte before a conversion counts as failed.
const int kRtStatusPolls = 10000;
// Reads of an unchanged timer before SLEEPUNTIL gives up on it: the
// millisecond timer moves long before.
const int kRtStalledTimerPolls = 100000;

#endif
