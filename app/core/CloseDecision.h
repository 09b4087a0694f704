// When the circuit on screen may go: the main frame's close query, the
// replacement of the circuit by an empty one, and the loading of another
// circuit. The question (res 12 with the circuit's name, caption res 5000,
// OK and Cancel) goes through a small interface.
#ifndef KYT_APP_CORE_CLOSEDECISION_H
#define KYT_APP_CORE_CLOSEDECISION_H

#include "strings/AppStrings.h"
#include "strings/WorkspaceStrings.h"

#include <string>

const unsigned int kResDiscardQuestion = kStrDiscardCircuitChanges;
const unsigned int kResDiscardCaption = kStrWarning;

// What the decisions look at.
struct CircuitState {
    // A run or a wizard goes on.
    bool busy = false;
    // The pane holds no object.
    bool empty = true;
    // Unchanged since it was loaded or saved.
    bool unchanged = true;
};

class DiscardQuestion {
public:
    virtual ~DiscardQuestion() {}
    // The OK/Cancel box with the question icon; true for OK.
    virtual bool confirm(const std::string& text, const std::string& caption) = 0;
};

// Asks res 12 formatted with the circuit's name; true for OK.
bool askDiscard(DiscardQuestion& question, const char* circuitName);

// The close query: 0 lets the frame close, 1 keeps it open. Busy stays
// silently; unchanged closes; changed and not empty asks (OK closes); a
// changed but empty circuit closes.
int closeQuery(const CircuitState& state, const char* circuitName, DiscardQuestion& question);

struct DiscardDecision {
    // 1 when the circuit may be (or is to be) dropped.
    int result;
    // The pane is to be replaced by an empty one.
    bool replace;
};

// discardCircuit(ask, askOnly): with ask the question decides the result;
// the circuit is replaced when the result is 1 and askOnly is not set.
DiscardDecision decideDiscard(int ask, int askOnly, const char* circuitName, DiscardQuestion& question);

// The first step of loading a circuit: a changed circuit with objects asks
// and is replaced on OK; an unchanged one with objects is replaced without a
// question; an empty pane is left as it is. False when the user cancelled.
bool decideLoadDiscard(const CircuitState& state, const char* circuitName, DiscardQuestion& question,
                       DiscardDecision& decision);

#endif
