// The result window of an identification handle: G(z) or G(s) of the
// current estimate in a text pane, under menu 2106 and a tool bar. After its
// run it can be frozen (it then survives the next run), and it copies the
// transfer function to the clipboard or hands it to the outside program
// behind DDE service "KYTWork", topic "Command".
#ifndef KYT_APP_IDENTRESULTFRAME_H
#define KYT_APP_IDENTRESULTFRAME_H

#include "Dde.h"
#include "Dialog.h"
#include "IdentResultWindow.h"
#include "strings/IdentStrings.h"
#include "strings/WorkspaceStrings.h"

#include <string>

class DdeClient;
class IdentResultFrame;
class DdeConversation;
class HandOverExecute;
class TextPaneCL;
class ToolBarCL;
class RadioGroup;

// Resources and commands of the window.
const int kIdentMenu = 2106;
const int kIdentToolBarHeight = 30;
const int kIdentPaneRows = 9;
const int kIdentCommandZ = 185;          // G(z)
const int kIdentCommandHold0 = 186;      // G(s), zero-order hold
const int kIdentCommandHold1 = 187;      // G(s), first-order hold
const int kIdentCommandAllDigits = 9041;
const int kIdentCommandClose = 9038;
const int kIdentCommandFreeze = 18305;
const int kIdentCommandCopy = 18301;
const int kIdentCommandHandOver = 18300;
const int kIdentCommandHelp = 4444;
// Texts of the window.
const unsigned int kResIdentNoPartner = kStrIdentNoPartner;
const unsigned int kResIdentErrorCaption = kStrIdentErrorCaption;
const unsigned int kResIdentNoResult = kStrIdentNoResult;
const unsigned int kResIdentFrozen = kStrPlotFrozen;

extern const char* const kHandOverService;
extern const char* const kHandOverTopic;

// The DDE client that hand-overs use; null when there is none.
class HandOverClientSource {
public:
    virtual ~HandOverClientSource() {}
    virtual DdeClient* handOverClient() = 0;
    // The frame is gone (its handle is closed).
    virtual void frameGone(IdentResultFrame* frame) = 0;
    // Takes over a hand-over whose answer is still awaited when its frame
    // drops it, together with its conversation: under Wine neither may be
    // ended before the answer (DdeDisconnect and DdeUninitialize wait
    // without end, and an abandoned transaction's late answer hangs).
    virtual void adoptHandOver(DdeConversation* conversation, HandOverExecute* execute) = 0;
    // An adopted hand-over has its answer; its conversation may go.
    virtual void handOverEnded(HandOverExecute* execute) = 0;
};

// A hand-over's execute, sent asynchronously. Its end is reported to its
// frame, or, once the frame dropped it, to its keeper.
class HandOverExecute : public DdeExecute {
public:
    HandOverExecute(IdentResultFrame* owner, DdeConversation* conversation, const char* command, unsigned int n);
    ~HandOverExecute() override;
    HDDEDATA onComplete(DdeEvent* event) override;

    IdentResultFrame* frame;
    HandOverClientSource* keeper;
    unsigned int serial;
};

class IdentResultFrame : public DialogFrameCL, public IdentResultWindow {
public:
    // The frame of handle at placement (origin and size in dialog units),
    // owned by owner; created, not shown. na sizes the pane's rows.
    IdentResultFrame(WindowCL* owner, int handle, int na, const char* title, const IdentWindowPlacement& placement,
                     HandOverClientSource* clients);
    // Reports the end to the library (the handle is closed as IDCLOSE
    // does), then the pane, the tool bar and any conversation go.
    ~IdentResultFrame() override;

    // IdentResultWindow.
    void checkOutputMode(int mode) override;
    void showDiscrete(const double* theta, int count, int nb, int na, int d) override;
    void showContinuous(const double* coefficients, int count, double deadTime) override;
    bool isFrozen() const override { return frozen != 0; }
    void endRun() override;
    void destroy() override;

    // While the run is active the window stays.
    LRESULT onClose(EventRecord* event) override;
    LRESULT onCommand(EventRecord* event) override;

    int handleNumber() const { return handle; }
    bool isRunning() const { return running != 0; }
    bool showsAllDigits() const { return allDigits != 0; }
    TextPaneCL* textPane() const { return pane; }
    ToolBarCL* toolBar() const { return bar; }
    // A hand-over waits for its answer.
    bool handOverPending() const { return pending != nullptr; }

    // The end of a hand-over's transaction, from its completion.
    void handOverCompleted(HandOverExecute* execute, bool accepted);
    void handOverGone(HandOverExecute* execute);

private:
    void buildToolBar();
    // Sizes the frame for the tool bar and the whole pane.
    void fitToPane();
    void runCommand(int command);
    void setMode(int mode);
    void toggleAllDigits();
    void freeze();
    void copyToClipboard();
    void handOver();
    void dropConversation();
    void enableCommand(int command, bool enabled);
    // A box owned by the frame; a library end that comes meanwhile deletes
    // the frame only after the box.
    void showError(unsigned int textId);
    void writeText(const std::string& text);
    // Reports the end to the library once.
    void detach();
    LRESULT onHandOverDone(EventRecord* event);

    int handle;
    int running;
    int frozen;
    int allDigits;
    ToolBarCL* bar;
    RadioGroup* modes;
    TextPaneCL* pane;
    DdeConversation* conversation;
    HandOverExecute* pending;
    unsigned int handOverSerial;
    HandOverClientSource* clients;
    int boxDepth;
    bool deleteAfterBox;
};

#endif
