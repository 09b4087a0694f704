// The timing trace of kyt: with KYT_TIMING naming a file, each event appends
// one line "event milliseconds-since-start". Off when the variable is unset.
#ifndef KYT_APP_KYTTIMING_H
#define KYT_APP_KYTTIMING_H

void timingEvent(const char* event);

#endif
