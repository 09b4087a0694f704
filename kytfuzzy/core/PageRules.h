// What the editor pages do to the fuzzy-block model, without windows: the
// page-wide edit buffers and the current variable and set, the comment's
// first line, the range and GRID commits of the variable page, the showing
// of a variable's texts and the usage moves. The page classes store their
// fields into the buffers, call these rules and load the fields again.
#ifndef KYT_KYTFUZZY_PAGERULES_H
#define KYT_KYTFUZZY_PAGERULES_H

#include "FuzzyBlock.h"
#include "String.h"
#include "strings/KytfuzzyStrings.h"

#include <string>

// Usage words of the variable page.
const unsigned int kResInputWord = kStrFzInput;
const unsigned int kResOutputWord = kStrFzOutput;
// Refusals of the range commits.
const unsigned int kResXminNotBelowXmax = kStrFzXminAboveXmax;
const unsigned int kResXmaxNotAboveXmin = kStrFzXmaxBelowXmin;
// A variable whose range cannot be drawn, named when the block is opened.
const unsigned int kResBadRange = kStrFzBadRange;

// The state every page and the frame share: the current variable (null when
// the block has none), its current set (null after a variable change) and
// one buffer per bound field.
struct FuzzyPageState {
    FuzzyVariable* variable = nullptr;
    FuzzyMember* set = nullptr;
    String comment;
    String variableName;
    String xmin;
    String xmax;
    String grid;
    String usage;
    // The set page's own.
    String setName;
    String formName;
    String colorName;
    String point[4];

    void clear();
};

// ---------------------------------------------------------------- comment

// The first run of characters without CR or LF, line breaks before it
// skipped; false when the text holds none.
bool commentFirstLine(const char* text, std::string* line);

// The comment commit after the field was stored into state.comment: a
// non-empty field (valid) makes its first line the block's comment and the
// buffer's text. A field of line breaks only leaves the comment as it was.
// The caller sets the modified flag in every case.
void commitComment(FuzzyBlock* block, bool valid, String& buffer);

// ---------------------------------------------------------------- variable page

// A number text read by the decimal conversion and written back by
// formatDouble: "0.50" -> "0.5", "5" -> "5.", "abc" -> "0.".
String normalizedNumber(const char* text);

enum RangeCommit {
    RANGE_EMPTY,   // the field was empty: nothing stored, modified set
    RANGE_REFUSED, // the buffer holds the old text again: message, modified unchanged
    RANGE_SAME,    // the value the model holds: model and modified unchanged
    RANGE_STORED   // in the model: rebuild the graphic, modified set
};

// XMIN and XMAX commits: the buffer holds the field's text; it is normalised
// and checked against the other bound in the model (refused unless
// XMIN < XMAX). Leaving a field without changing its value changes nothing:
// the focus passes through XMIN at every start, and the block would count as
// changed without an edit.
RangeCommit commitXmin(FuzzyVariable* variable, bool valid, String& buffer);
RangeCommit commitXmax(FuzzyVariable* variable, bool valid, String& buffer);

// GRID commit: the buffer is normalised; a step of 0 or larger than a tenth
// of the span in the range buffers becomes that tenth. true when the model
// took it (the field was not empty). The modified flag stays as it was.
bool commitGrid(FuzzyVariable* variable, bool valid, String& grid, const String& xmin, const String& xmax);

// The grid step shown for a variable: |GRID| when it is given, not 0 and at
// most a tenth of the span, else a hundredth of the span.
double shownGridStep(const FuzzyVariable* variable);

bool isInputVariable(const FuzzyBlock* block, const FuzzyVariable* variable);

// Shows a variable's texts in the buffers: XMIN and XMAX normalised, the
// shown grid step (which the model then holds as its GRID text) and the
// usage word. Without a variable the range, GRID and usage buffers are
// emptied.
void showVariableTexts(const FuzzyBlock* block, FuzzyVariable* variable, FuzzyPageState& state);

// The variable chosen by name: the input of that name, else the output.
FuzzyVariable* chooseVariable(FuzzyBlock* block, const char* name);

enum UsageChange {
    USAGE_MOVED,   // the variable went to the end of the other list: refresh the page
    USAGE_SWITCHED // an input and an output share the name: the other one is current
};

// The usage word in state.usage was chosen for the variable named in
// state.variableName. The caller then shows the variable and sets modified.
UsageChange changeUsage(FuzzyBlock* block, FuzzyPageState& state);

// A variable whose range is finite and XMIN < XMAX; only such a range is
// drawn with ticks and sets.
bool hasDrawableRange(const FuzzyVariable* variable);
// The names of the block's variables without a drawable range, in list order.
std::string badRangeNames(const FuzzyBlock* block);

#endif
