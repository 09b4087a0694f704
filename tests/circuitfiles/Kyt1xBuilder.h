// Version-1.x circuit files made from their format in the tests (no binary
// fixtures): 24 records of 145 bytes, reals as 48-bit reals.
#ifndef KYT_TESTS_KYT1XBUILDER_H
#define KYT_TESTS_KYT1XBUILDER_H

#include "Kyt1xConverter.h"

#include <cstdint>
#include <string>
#include <vector>

// A 1.x file built from its format: 24 records of 145 bytes.
class Kyt1xBuilder {
public:
    Kyt1xBuilder() : bytes(kKyt1xFileSize, 0) {}
    // A component of a kind; its parameters (file order, without AB)
    // present when any are given.
    Kyt1xBuilder& component(int i, int kind, std::vector<double> parameters = {})
    {
        at(i, 0) = static_cast<uint8_t>(kind);
        for (size_t p = 0; p < parameters.size(); ++p)
            real(i, 12 + 6 * static_cast<int>(p), parameters[p]);
        at(i, 54) = parameters.empty() ? 0 : 1;
        return *this;
    }
    Kyt1xBuilder& limit(int i, double ab) { return real(i, 6, ab); }
    Kyt1xBuilder& source(int i, int offset, int from)
    {
        at(i, offset) = static_cast<uint8_t>(from);
        return *this;
    }
    Kyt1xBuilder& saved(int i)
    {
        at(i, 5) = 1;
        return *this;
    }
    Kyt1xBuilder& real(int i, int offset, double v)
    {
        encodeReal48(v, &at(i, offset));
        return *this;
    }
    uint8_t& at(int i, int offset) { return bytes[static_cast<size_t>(i * kKyt1xRecordSize + offset)]; }
    std::string text() const { return std::string(bytes.begin(), bytes.end()); }

    std::vector<uint8_t> bytes;
};

// The circuit of the golden file: a step into a PT1 and an adder, and a PID
// controller on the control block.
inline Kyt1xBuilder regelCircuit()
{
    Kyt1xBuilder b;
    b.component(0, 3, {1, 0});
    b.component(1, 1, {2, 0.5}).limit(1, 10).source(1, 3, 1).saved(1);
    b.component(2, 5).source(2, 2, 1).source(2, 4, 2);
    b.component(7, 10, {3, 0.5, 0.1}).source(7, 3, 100);
    return b;
}

#endif
