// The discrete flags that FUNC EVENT tests: flag 0 is the immediate flag,
// flags 1..n (the EVENTS count) remember the last value of a condition.
#ifndef KYT_ENGINE_DISCRETEFLAGS_H
#define KYT_ENGINE_DISCRETEFLAGS_H

// A fresh array of n + 1 flags, all 0 (an earlier one is freed).
void allocDiscreteFlags(int n);
void freeDiscreteFlags();
// Whether an array exists (the loader made one), and its count n.
bool hasDiscreteFlags();
int discreteFlagCount();
// The stored value of flag index (1..n), 0 outside.
int discreteFlagValue(int index);
// Stores value in flag index (1..n) as it stands, without edge or change
// marks: a run that continues from a snapshot. Nothing outside.
void setDiscreteFlagValue(int index, int value);

// index > 0, an edge flag: the result is 1 on a rising edge of value (stored
// in phase 2 only; outside phase 2 the result is 0);
// index < 0, a level flag -index: stores value in phase 2 and returns the
// stored flag;
// index 0: value != 0 in phase 2, else 0.
// In phase 0 a change of a flag marks the running step (stepFlagChanged).
// An index beyond the array is refused: error message, error stop, result 0.
int DiscreteFlag(int index, int value);

// The mark that a discrete flag changed during the integration step. Read
// after every evaluation of a stage, so inline.
extern bool discreteFlagChangedInStep;
inline bool stepFlagChanged()
{
    return discreteFlagChangedInStep;
}
inline void clearStepFlagChanged()
{
    discreteFlagChangedInStep = false;
}

#endif
