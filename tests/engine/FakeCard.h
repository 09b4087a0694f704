// A card behind the PortIo interface for the RT tests: it answers from
// registers that the test sets, records every write, keeps a millisecond
// timer that moves by a set step each time it is latched, and fails any
// access the test names.
#ifndef KYT_TESTS_ENGINE_FAKECARD_H
#define KYT_TESTS_ENGINE_FAKECARD_H

#include "RtLibrary.h"

#include <map>
#include <set>
#include <utility>
#include <vector>

class FakeCard : public PortIo {
public:
    FakeCard()
    {
        registers[kRtIdPort] = '3';
        registers[kRtStatusPort] = kRtStatusDone;
    }

    bool open() override
    {
        ++opens;
        if (!deviceThere)
            return false;
        isOpen = true;
        return true;
    }
    bool readByte(uint32_t port, uint8_t* value) override
    {
        ++reads[port];
        if (!isOpen || failingReads.count(port))
            return false;
        *value = registers[port];
        return true;
    }
    bool writeByte(uint32_t port, uint8_t value) override
    {
        if (!isOpen || failingWrites.count(port))
            return false;
        writes.push_back({port, value});
        if (port == kRtTimerCommandPort && value == kRtTimerLatch) {
            for (uint32_t k = 0; k < 4; ++k)
                registers[kRtTimerPort + k] = static_cast<uint8_t>(timerMs >> (8 * k));
            timerMs += timerStep;
        } else if (port == kRtTimerCommandPort && value == kRtTimerLoad) {
            timerMs = 0;
            for (uint32_t k = 0; k < 4; ++k)
                timerMs |= static_cast<uint32_t>(timerWritten[k]) << (8 * k);
        } else if (port >= kRtTimerPort && port < kRtTimerPort + 4) {
            timerWritten[port - kRtTimerPort] = value;
        }
        return true;
    }
    void close() override
    {
        ++closes;
        isOpen = false;
    }

    // The values written to one port, in order.
    std::vector<uint8_t> writesTo(uint32_t port) const
    {
        std::vector<uint8_t> out;
        for (const auto& w : writes)
            if (w.first == port)
                out.push_back(w.second);
        return out;
    }

    bool deviceThere = true;
    bool isOpen = false;
    int opens = 0;
    int closes = 0;
    std::map<uint32_t, uint8_t> registers;
    std::map<uint32_t, int> reads;
    std::vector<std::pair<uint32_t, uint8_t>> writes;
    std::set<uint32_t> failingReads;
    std::set<uint32_t> failingWrites;
    uint32_t timerMs = 0;
    uint32_t timerStep = 0;
    uint8_t timerWritten[4] = {};
};

#endif
