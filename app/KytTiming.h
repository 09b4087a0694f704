// The timing trace of kyt: with KYT_TIMING naming a file, each event appends
// one line "event milliseconds-since-start". Off when the variable is unset.
// The events: frame (main frame shown), run (run command entered), written
// (kyttrans.tmp), compiled (PI code generated), loaded (libraries attached
// and program loaded), point (the run's first point added to the plot),
// ended (the run has ended, its last record written).
#ifndef KYT_APP_KYTTIMING_H
#define KYT_APP_KYTTIMING_H

void timingEvent(const char* event);

#endif
