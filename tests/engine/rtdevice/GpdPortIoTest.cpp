// Under wine: the RT library on the real device. Wine has no "\\.\GpdDev",
// so the card is reported as not found, exactly as natively without one, and
// the load goes on.
#include "GpdPortIo.h"
#include "HostServices.h"
#include "RtLibrary.h"
#include "WinServices.h"
#include "WineCheck.h"

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> queued;

void recordQueued(int, const char* text)
{
    queued.push_back(text);
}

const ModuleEntry* findRow(ModuleDescriptor* d, const char* name, int kind)
{
    for (const ModuleEntry* e = d->entries; e->name; ++e)
        if (strcmp(e->name, name) == 0 && (e->kind & kind))
            return e;
    return nullptr;
}

} // namespace

int main()
{
    using winecheck::check;
    winecheck::startWatchdog(60);
    installWindowsServices(GetModuleHandleA(nullptr));

    PortIo* io = gpdPortIo();
    check(!io->open(), "CreateFileA finds no \\\\.\\GpdDev");
    uint8_t b = 0;
    check(!io->readByte(kRtIdPort, &b), "no byte reads from a closed device");
    check(!io->writeByte(kRtControlPort, kRtControlReset), "no byte writes to a closed device");
    io->close();

    HostSeams seams = {};
    seams.queueDeferredMessage = recordQueued;
    setHostSeams(&seams);
    HostServices services;
    fillHostServices(&services);
    ModuleDescriptor* rt = RtModuleRegister(&services);
    setRtPortIo(io);

    const ModuleEntry* load = findRow(rt, "RT", MODULE_LOAD_HOOK);
    const ModuleEntry* unload = findRow(rt, "RT", MODULE_UNLOAD_HOOK);
    check(load && unload, "RT has its load and unload hooks");
    if (load && unload) {
        int result = reinterpret_cast<int (*)()>(load->function)();
        check(result == 0, "the load hook lets the load go on");
        check(!rtCardPresent(), "the card is not present");
        check(queued.size() == 1 &&
                  queued[0] == "Echtzeit-Hardwarefehler: PCI-20.428W-x Einsteckkarte auf der Portadresse "
                               "0x0300 nicht gefunden!",
              "the not-found message names the base port");
        if (!queued.empty())
            printf("message: %s\n", queued[0].c_str());
        reinterpret_cast<void (*)()>(unload->function)();
    }
    setRtPortIo(nullptr);
    setHostSeams(nullptr);
    return winecheck::summary();
}
