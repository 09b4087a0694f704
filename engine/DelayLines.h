// The delay lines of DELAY, SDELAY and DDELAY: per line a delay time and the
// (time, value) records appended in time order between two sentinels, read
// back as a zero-order hold.
#ifndef KYT_ENGINE_DELAYLINES_H
#define KYT_ENGINE_DELAYLINES_H

struct DelayRecord {
    DelayRecord* next;
    DelayRecord* previous;
    double time;
    double value;
};

struct DelayLine {
    double delay;
    DelayRecord* first;    // sentinel at -DBL_MAX
    DelayRecord* last;     // sentinel at +DBL_MAX
    DelayRecord* cursor;   // where the last read ended
};

// n fresh lines (earlier ones are freed), each holding only its sentinels.
void allocDelayLines(int n);
void freeDelayLines();
int delayLineCount();
// Empties every line down to its sentinels, cursor on the first (new run).
void clearDelayLines();
// Read access for tests and the snapshot: null outside.
const DelayLine* delayLine(int line);
// Number of data records of a line (sentinels not counted).
int delayRecordCount(int line);

// The services of the PI code. A line index outside the lines is refused
// with an error message and an error stop (DelayRead then gives 0).
void setDelayTime(int line, double delay);
// Appends (t, value) in phase 2 (in other phases it does nothing) and frees
// the records that lie more than the delay time before t. A time earlier
// than the newest record is refused the same way and inserts nothing.
void DelayAppend(int line, double t, double value);
// The value of the last record not later than t + epsilon.
double DelayRead(int line, double t);
// The value of both sentinels: what the line reads before and outside its
// records. A line index outside does nothing.
void DelayInit(int line, double value);

#endif
