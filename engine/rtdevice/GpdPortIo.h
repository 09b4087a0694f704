// The real device of the RT library in the Windows programs: the driver
// behind "\\.\GpdDev", one byte at a time through DeviceIoControl.
#ifndef KYT_ENGINE_GPDPORTIO_H
#define KYT_ENGINE_GPDPORTIO_H

#include "RtLibrary.h"

// The program's one instance; setRtPortIo(gpdPortIo()) puts it behind RT.
PortIo* gpdPortIo();

#endif
