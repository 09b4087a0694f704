// One block of the diagram, made from a block description file of a block
// library and placed on the editor's grid.
#ifndef KYT_CIRCUITFILES_BLOCKOBJECT_H
#define KYT_CIRCUITFILES_BLOCKOBJECT_H

#include "HelpText.h"
#include "GraphicObject.h"
#include "String.h"
#include "strings/CircuitStrings.h"
#include "strings/WorkspaceStrings.h"

#include <vector>

// Kind flags of a block.
const int kKindBlock = 1;
const int kKindGroup = 2;
const int kKindText = 4;
const int kKindControl = 8;
const int kKindFrame = 16;

// Parameter kinds.
const int kParamPlain = 1;
const int kParamBool = 2;
const int kParamText = 4;
const int kParamFlagged = 16;

extern const char* const kNoPictureName;

const unsigned int kResCannotReadDescription = kStrDescriptionNotRead;
const unsigned int kResNoHelp = kStrNoHelp;
const unsigned int kResHelpReadError = kStrHelpReadError;
const unsigned int kResHelpTooLong = kStrHelpTooLong;

// Number of layout words and their meanings (1-based in the descriptions).
const int kLayoutWords = 7;

// The groups of a block's symbol marks, in the order of its mark array:
// outputs, states, state derivatives, variables, parameters.
enum SymbolGroup {
    SYMBOL_OUTPUT = 0,
    SYMBOL_STATE = 1,
    SYMBOL_DERIVATIVE = 2,
    SYMBOL_VARIABLE = 3,
    SYMBOL_PARAMETER = 4
};

class BlockObject;
// The name of the signal that drives input `input` (1-based) of block, empty
// when none; the circuit model installs it. Without one inputs are unnamed.
typedef String (*InputSignalLookup)(const BlockObject& block, int input);
void setInputSignalLookup(InputSignalLookup lookup);

class BlockObject : public GraphicObject {
public:
    BlockObject(const Point& position, const Point& size, const char* descriptionFile,
                const char* libraryName);
    ~BlockObject() override;

    int kind() const override { return 1; }
    void paint(PaneView& pane, int zoomX, int zoomY) override;
    int hitTest(const Point& point, int zoomX, int zoomY) const override;
    void paintTo(Canvas& dc, const Point& a, const Point& b, int zoomX, int zoomY) override;
    void setConnectStart(int side, int index) override;
    int clearConnectStart() override;
    Point portPosition(int side, int index) const override;
    int hitResizeCorner(const Point& point, int zoomX, int zoomY) const;
    int hitPort(int pointX, int pointY, PortRef& result, int zoomX, int zoomY) const;
    Point portPoint(int side, int row, int zoomX, int zoomY) const;

    int getWidth() const { return size.x(); }
    int getHeight() const { return size.y(); }
    String getIconName() const { return iconName; }
    String getName() const { return name; }
    String getLibraryFile() const { return libraryName; }
    // Sets size and rectangle. A height too low for the ports (the inputs
    // in rows of their own, two or more outputs between the first and the
    // last row) is raised to the least that holds them.
    void setGeometry(int width, int height);
    void setIconDim(int width, int height) { iconDim = Point(width, height); }
    void setName(const char* s) { name = s; }
    void setTypeName(const char* s) { typeName = s; }
    void setLibraryFile(const char* s) { libraryName = s; }
    void setWizardName(const char* s) { wizardName = s; }
    void setWizardArgument(const char* s) { wizardArgument = s; }
    Color colour() const { return textColour; }
    int iconWidth() const { return iconDim.x(); }
    int iconHeight() const { return iconDim.y(); }
    String getTypeName() const { return typeName; }
    String getWizardName() const { return wizardName; }
    String getWizardArgument() const { return wizardArgument; }
    // Empty text when i is not below the matching count.
    String parameterName(int i) const { return i < parameterCount ? at(parameterNames, i) : String(); }
    String parameterValue(int i) const { return i < parameterCount ? at(parameterValues, i) : String(); }
    String variableName(int i) const { return i < variableCount ? at(variableNames, i) : String(); }
    String stateName(int i) const { return i < stateCount ? at(stateNames, i) : String(); }
    void setTextColour(const Color& c) { textColour = c; }
    void setFrameColour(const Color& c) { frameColour = c; }

    String caption() const;
    void setText(const char* text);
    String getText() const;
    void setPortCount(int oldCount, int newCount);
    String signalName(int n) const;
    PortRef portIndexByName(const char* modelName) const;
    String portModelName(int side, int index) const;
    void setParameterValue(const char* parameter, const char* value);
    int anyOutputMarked() const;
    int anyOtherSymbolMarked() const;
    String flaggedEntryValue() const;
    void loadIcon(const char* iconFile);
    String readHelpText() const;

    // The place of mark i (0-based) of a group in symbolMarks; -1 when the
    // block has no such symbol.
    int symbolMarkIndex(int group, int i) const;

    // The least height that gives every port a row of its own.
    int minimumPortHeight() const;

    // Array stores that grow the array to hold the index; reads past the
    // end give an empty text or 0.
    static void store(std::vector<String>& a, int i, const char* s);
    static void store(std::vector<int>& a, int i, int v);
    static String at(const std::vector<String>& a, int i);
    static int at(const std::vector<int>& a, int i);

    int kindFlags;
    Point size;
    Point iconDim;
    Point standardSize;
    int inputCount;
    int outputCount;
    int parameterCount;
    int variableCount;
    int stateCount;
    std::vector<String> textLines;
    int layout[kLayoutWords];
    String iconName;
    String name;
    String typeName;
    String libraryName;
    std::vector<String*> signals;
    std::vector<String> inputNames;
    std::vector<String> inputComments;
    std::vector<String> outputNames;
    std::vector<String> outputComments;
    std::vector<String> parameterNames;
    std::vector<String> parameterValues;
    std::vector<int> parameterKinds;
    std::vector<String> parameterComments;
    std::vector<String> variableNames;
    std::vector<String> stateNames;
    std::vector<int> symbolMarks;
    PortRef connectStart;
    double scale;
    Color textColour;
    Color frameColour;
    int frameOutline;
    int frameFill;
    int errorFlag;
    int mirrored;
    int wizardFlag;
    String wizardName;
    String wizardArgument;

private:
    void fitHeight();
    Rect pixelRect(int zoomX, int zoomY, const Point& offset) const;
    void paintPortMark(Canvas& dc, int side, int index, const Rect& px, int zoomX, int zoomY);
    void drawSignalNames(Canvas& dc, const Rect& px, int zoomX, int zoomY);
    void drawSignalName(Canvas& dc, const char* text, bool rightEdge, int row, const Rect& px,
                        int zoomX, int zoomY);
    bool paintOnce(PaneView& pane, int zoomX, int zoomY);

    BlockObject(const BlockObject&) = delete;
    BlockObject& operator=(const BlockObject&) = delete;
};

#endif
