#include "GpdPortIo.h"

#include <windows.h>

namespace {

const char kDeviceName[] = "\\\\.\\GpdDev";
// The driver's two control codes: a byte read from a port (input the 4-byte
// port number, output the byte) and a byte written to a port (input the
// port number and the byte).
const DWORD kReadPortByte = 0x9C406400;
const DWORD kWritePortByte = 0x9C40A440;

class GpdPortIo : public PortIo {
public:
    bool open() override
    {
        close();
        device = CreateFileA(kDeviceName, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        return device != INVALID_HANDLE_VALUE;
    }

    bool readByte(uint32_t port, uint8_t* value) override
    {
        if (device == INVALID_HANDLE_VALUE)
            return false;
        uint32_t portNumber = port;  // 4 bytes, as the driver reads them
        UCHAR byte = 0;
        DWORD returned = 0;
        // Success alone is not enough: the driver must hand back the byte.
        if (!DeviceIoControl(device, kReadPortByte, &portNumber, sizeof portNumber, &byte, sizeof byte, &returned,
                             nullptr) ||
            returned != 1)
            return false;
        *value = byte;
        return true;
    }

    bool writeByte(uint32_t port, uint8_t value) override
    {
        if (device == INVALID_HANDLE_VALUE)
            return false;
        // The port number and the byte, packed: 5 bytes.
        UCHAR input[5];
        input[0] = static_cast<UCHAR>(port);
        input[1] = static_cast<UCHAR>(port >> 8);
        input[2] = static_cast<UCHAR>(port >> 16);
        input[3] = static_cast<UCHAR>(port >> 24);
        input[4] = value;
        DWORD returned = 0;
        return DeviceIoControl(device, kWritePortByte, input, sizeof input, nullptr, 0, &returned, nullptr) != 0;
    }

    void close() override
    {
        if (device != INVALID_HANDLE_VALUE)
            CloseHandle(device);
        device = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE device = INVALID_HANDLE_VALUE;
};

GpdPortIo instance;

} // namespace

PortIo* gpdPortIo()
{
    return &instance;
}
