// The simulator services a run-time block library keeps: the first five
// entries of the table the simulator hands over when it attaches the library
// (isCompiling, alwaysFalse, requestErrorStop, moduleMessage, stringConstant).
// Without a table the defaults show messages through the error reporter and
// ignore stop requests, so the kernels also work outside a simulation.
#ifndef KYT_BLOCKS_LIBRARYHOST_H
#define KYT_BLOCKS_LIBRARYHOST_H

#include "ModuleDescriptor.h"

class LibraryHost {
public:
    LibraryHost();
    // Copies the five services; null goes back to the defaults. The table
    // itself is not kept: it lives only during the registration call.
    void attach(const HostServices* services);
    const HostServices& services() const { return current; }

private:
    HostServices current;
};

#endif
