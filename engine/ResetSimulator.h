// Frees what the simulator keeps for a loaded program: the pending events,
// the discrete-flag array and every delay line with its records.
#ifndef KYT_ENGINE_RESETSIMULATOR_H
#define KYT_ENGINE_RESETSIMULATOR_H

void resetSimulator();

#endif
