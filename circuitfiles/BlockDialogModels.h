// What the editor's block dialogs compute without a window: the parameter
// dialog's controls in dialog units and its value checks, the layout
// dialog's size fitting and the values it shows and applies, the text and
// frame block values, the mark-data lines, and the signal-name rename pass.
#ifndef KYT_CIRCUITFILES_BLOCKDIALOGMODELS_H
#define KYT_CIRCUITFILES_BLOCKDIALOGMODELS_H

#include "BlockObject.h"
#include "String.h"
#include "strings/CircuitStrings.h"

#include <cstddef>
#include <vector>

class SignalNameRegistry;

// ---------------------------------------------------------------- parameters

// One control of the parameter dialog.
struct ParameterControl {
    enum Kind { BUTTON, DEFAULT_BUTTON, GROUP_BOX, STATIC, EDIT, CHECK_BOX };
    Kind kind;
    int x, y, width, height;
    String text;
    int id;
    // The parameter an edit field or check box shows; -1 for the others.
    int parameter;
};

const unsigned int kResParameterTitle = kStrParameterTitle;
const unsigned int kResCancel = kStrCancel;
const unsigned int kResHelp = kStrHelp;
const unsigned int kResInputs = kStrInputs;
const unsigned int kResOutputs = kStrOutputs;
const unsigned int kResParameters = kStrParameters;
const unsigned int kResHelpTitle = kStrBlockHelpTitle;
const unsigned int kResPlainValueRefused = kStrPlainValueRefused;
const unsigned int kResTextValueRefused = kStrTextValueRefused;
const int kHelpButtonId = 4444;
// Ids of the parameter dialog's value controls: kFirstParameterId + i.
const int kFirstParameterId = 3000;
// A parameter name shows at most this many characters.
const size_t kParameterNameShown = 13;

struct ParameterDialogLayout {
    int width;
    int height;
    std::vector<ParameterControl> controls;
};

// The whole dialog for the block, in dialog units of its font; the texts of
// the buttons and boxes come from the string table.
ParameterDialogLayout parameterDialogLayout(const BlockObject& block);

// The control kind a parameter gets: EDIT for bit 1 or 4, CHECK_BOX for
// bit 2 alone, GROUP_BOX (none) otherwise.
ParameterControl::Kind parameterControlKind(int parameterKind);
// A check box shows checked unless the value is "0".
int checkBoxShowsChecked(const char* value);
// 1 when the value can be written into circuit text as a parameter of that
// kind: a plain value is written unquoted, so it may hold none of ";", ",",
// "=", '"', "#", "//" and "/*"; a text value is quoted and may hold no '"'.
int parameterValueValid(int parameterKind, const char* value);
// What OK stores for a value typed into a parameter's edit field: in a
// plain value each number written with a decimal comma gets a point ("0,5"
// gives "0.5", "K*0,5" gives "K*0.5"); a text value is stored as typed.
// 0 when the result is not valid (parameterValueValid); stored is then
// untouched.
int parameterValueToStore(int parameterKind, const char* typed, String* stored);
// The message that refuses such a value, naming the parameter.
String parameterRefusalText(int parameterKind, const char* name, const char* typed);

// ---------------------------------------------------------------- layout

// The block size the layout dialog keeps: a width of 4 or less becomes 4.
int fitLayoutWidth(int width);
// The height fitted to the port counts in four passes (inputs, outputs,
// inputs, outputs), then raised to the block's own floor for its ports.
int fitLayoutHeight(int height, int inputs, int outputs);

// What the layout dialog shows and hands back.
struct BlockLayoutValues {
    int hallign, vallign, pichallign, picvallign;
    int width, height, picwidth, picheight;
    int inConns, outConns;
    String labelText;
    int lineCenter, parashow, autosize;
    String labelIcon;

    static BlockLayoutValues fromBlock(const BlockObject& block);
    // The block keeps its position; size, picture size, text, port counts,
    // the seven layout words and the icon are set.
    void applyTo(BlockObject& block) const;
};

// The text-block dialog's factor: the text's number (0 when it is none);
// a factor above 100 in magnitude would overflow the font height, so the
// previous one stays.
const double kMaxTextFactor = 100.0;
double textFactorFrom(const char* text, double previous);
// Text, centred alignment, line centring and scale of a text block.
void applyTextBlockValues(BlockObject& block, const char* text, int lineCenter, double scale);

struct FrameBlockValues {
    int outline;
    int fill;
    Color outlineColour;
    Color fillColour;
    static FrameBlockValues fromBlock(const BlockObject& block);
    void applyTo(BlockObject& block) const;
};

// ---------------------------------------------------------------- marks

// The block's quantities in mark order, each behind "* " or two blanks.
std::vector<String> markDataLines(const BlockObject& block);
int markDataTotal(const BlockObject& block);
// Toggles mark line (nothing beyond the quantities); 1 when toggled.
int toggleMarkLine(BlockObject& block, int line);
// Every mark of the quantities := value; marks beyond them stay.
void setAllMarks(BlockObject& block, int value);

// ---------------------------------------------------------------- signal names

const unsigned int kResSignalNameConflict = kStrSignalNameConflict;
const unsigned int kResSignalCurrentName = kStrSignalCurrentName;
const unsigned int kResSignalNewName = kStrSignalNewName;

struct SignalRename {
    String current;
    String wanted;
};
// A new signal name is written quoted: a '"' in it cannot be saved.
int signalNameValid(const char* name);
// The renames of the signal-name dialog, in order; empty wishes are passed
// over. A name that is taken goes through a temporary one (wanted +
// "_conflict" and "'"s) and is tried again at the end. 1 when a conflict
// stays (then message 9 was reported).
int applySignalRenames(SignalNameRegistry& registry, const std::vector<SignalRename>& renames);

#endif
