// The recording host of the identification tests.
#ifndef KYT_TESTS_BLOCKS_IDENTTESTSUPPORT_H
#define KYT_TESTS_BLOCKS_IDENTTESTSUPPORT_H

#include "IdentHost.h"
#include "RecordingHost.h"

struct FakeHost : RecordingHost {
    // Installs the fake as the identification code's host.
    static void install()
    {
        clear();
        HostServices s = services();
        setIdentHostServices(&s);
    }
};

#endif
