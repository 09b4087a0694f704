// The run command: the circuit on screen written for the compiler, compiled,
// loaded and simulated into the active plot window.
#ifndef KYT_APP_RUNCOMMAND_H
#define KYT_APP_RUNCOMMAND_H

// startAtOnce 1 runs with the settings as they are; 0 shows the simulation
// options first. 1 when a run was started.
int runCircuit(int startAtOnce);

#endif
