// The DDE topic "Fuzzy" of kyt's server "KYT": every request item is a
// command on the fuzzy blocks that the FUZZY library's slots hold, and its
// reply is text (blocks/FuzzyDdeCommands.h).
#ifndef KYT_APP_FUZZYDDETOPIC_H
#define KYT_APP_FUZZYDDETOPIC_H

#include "Dde.h"

extern const char* const kFuzzyTopicName;

class FuzzyDdeTopic : public DdeTopic {
public:
    explicit FuzzyDdeTopic(DdeServer* server);

    // Text requests only; a request the commands do not answer gets the
    // topic's default answer, no data.
    HDDEDATA onRequest(DdeEvent* event) override;
};

#endif
