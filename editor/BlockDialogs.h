// The editor's modal block dialogs: choosing a library block, a block's
// parameters, its layout, a text block, a frame block, the data marked for
// the plot, the signal names and the Laplace wizard's transfer function.
// Each runs modally in its constructor; the caller reads accepted and the
// values and deletes it. The window-free parts are in BlockDialogModels.h
// and BlockCatalogue.h.
#ifndef KYT_EDITOR_BLOCKDIALOGS_H
#define KYT_EDITOR_BLOCKDIALOGS_H

#include "ADArray.h"
#include "BlockDialogModels.h"
#include "Dialog.h"
#include "LibraryRecords.h"
#include "String.h"

#include <vector>

class BlockObject;
class CheckBoxCL;
class ComboBoxCL;
class CtrlWindowCL;
class EditCL;
class IntFieldCL;
class ListBoxCL;
class StaticCL;
class TableModel;
class TablePaneCL;
class TableEditCL;

// The dialogs' resources and controls.
enum {
    kSelectBlockTemplate = 110,
    kLayoutTemplate = 21004,
    kTextBlockTemplate = 1246,
    kFrameBlockTemplate = 18200,
    kMarkDataTemplate = 2105,
    kSignalNameTemplate = 132,
    kLaplaceTemplate = 139
};

class SelectBlockDialog : public FieldDialogCL {
public:
    enum { kLibraryList = 1019, kGroupList = 104, kBlockList = 105, kEditIndex = 4445, kEditBlock = 4447 };
    SelectBlockDialog(WindowCL* parent, int dialogResource, int startLibrary, int startGroup,
                      ADArray<BlockLibrary>* catalogue, int libraryCount);
    LRESULT onCommand(EventRecord* event) override;

    String libraryName() const;
    // The chosen block's file: the library's directory, "\" and the file of
    // the blockIndex-th visible block of the group.
    String blockFilePath() const;

    int libraryIndex;
    int groupIndex;
    int blockIndex;

private:
    LRESULT onLibraryChanged(EventRecord* event);
    LRESULT onGroupChanged(EventRecord* event);
    LRESULT onBlockDoubleClick(EventRecord* event);
    void editIndexFile();
    void showBlockFile();
    void listGroups(int library, int line);
    void listBlocks(int library, int group);

    ADArray<BlockLibrary>* catalogue;
    int libraryCount;
    ListBoxCL* libraries;
    ListBoxCL* groups;
    ListBoxCL* blocks;
};

// Built in code from the block's counts (no template).
class BlockParameterDialog : public DialogFrameCL {
public:
    BlockParameterDialog(WindowCL* parent, BlockObject* block);
    LRESULT onCommand(EventRecord* event) override;
    // After an accepted run: every value into the block.
    void applyValues();

    int accepted;
    BlockObject* block;
    int parameterCount;
    std::vector<CtrlWindowCL*> controls;
    std::vector<String> values;

private:
    void pressOk();
};

class BlockLayoutDialog : public FieldDialogCL {
public:
    BlockLayoutDialog(WindowCL* parent, BlockObject* block);
    LRESULT onCommand(EventRecord* event) override;
    // The block keeps its position; the rest is set and the block redrawn
    // by the caller.
    void apply(BlockObject& block) const { values.applyTo(block); }

    BlockLayoutValues values;

private:
    LRESULT onWidthLeft(EventRecord* event);
    LRESULT onHeightLeft(EventRecord* event);
    LRESULT onAutosize(EventRecord* event);
    void addIcon();
    void fillIcons();
    void enablePictureSize();

    IntFieldCL* widthField;
    IntFieldCL* heightField;
    IntFieldCL* inField;
    IntFieldCL* outField;
    IntFieldCL* picWidthField;
    IntFieldCL* picHeightField;
    CheckBoxCL* autosizeBox;
    ComboBoxCL* icons;
};

class TextBlockDialog : public FieldDialogCL {
public:
    enum { kTextField = 1017, kCentreBox = 1030, kFactorField = 1026 };
    TextBlockDialog(WindowCL* parent, BlockObject* block);
    LRESULT onCommand(EventRecord* event) override;
    // After an accepted run: text, centred alignment and scale.
    void apply(BlockObject& block);

    String text;
    int lineCenter;
    String factorText;
    double factor;

private:
    LRESULT onFactorLeft(EventRecord* event);
    EditCL* factorField;
};

class FrameBlockDialog : public FieldDialogCL {
public:
    enum { kOutlineBox = 18400, kFillBox = 18401, kOutlineColour = 18402, kOutlineChoose = 18403,
           kFillChoose = 18404, kFillColour = 18405, kMoreLayout = 18406 };
    FrameBlockDialog(WindowCL* parent, BlockObject* block);
    LRESULT onCommand(EventRecord* event) override;
    void apply(BlockObject& target) const { values.applyTo(target); }

    FrameBlockValues values;

private:
    void chooseColour(Color& colour, StaticCL* shown);
    BlockObject* block;
    StaticCL* outlineShown;
    StaticCL* fillShown;
};

class MarkDataDialog : public FieldDialogCL {
public:
    enum { kList = 1000, kToggle = 1768, kMarkAll = 1769, kUnmarkAll = 1770 };
    MarkDataDialog(WindowCL* parent, BlockObject* block);
    LRESULT onCommand(EventRecord* event) override;

    BlockObject* block;

private:
    void refill(int line);
    ListBoxCL* list;
};

class SignalNameDialog : public FieldDialogCL {
public:
    SignalNameDialog(WindowCL* parent, int resource);
    ~SignalNameDialog() override;
    LRESULT onCommand(EventRecord* event) override;

    TablePaneCL* table;

private:
    LRESULT onOkPressed(EventRecord* event);
    TableModel* model;
    TableEditCL* editor;
    int rows;
};

class LaplaceWizardDialog : public FieldDialogCL {
public:
    enum { kTransferField = 133, kHelpButton = 18016 };
    LaplaceWizardDialog(WindowCL* parent, int resource, const char* text);
    LRESULT onCommand(EventRecord* event) override;

    String transfer;
};

// The base units of a dialog font as MapDialogRect has them: the average
// width of the alphabet's letters and the font's height.
Point dialogBaseUnits(HFONT font);
Rect dialogUnitsToPixels(const Rect& units, const Point& base);

#endif
