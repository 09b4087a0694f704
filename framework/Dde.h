// DDE through the DDE management library: a server instance with topics and
// advise items, a client instance with conversations and transactions. All
// strings travel in the ANSI code page. Failures go to the DDE error
// reporter, which writes to the trace unless a handler is installed.
#ifndef KYT_FRAMEWORK_DDE_H
#define KYT_FRAMEWORK_DDE_H

#include "Clipboard.h"
#include "String.h"

#include <windows.h>
#include <ddeml.h>

#include <list>

// Error codes of the DDE error reporter.
enum DdeError {
    DDE_ERR_NULL_CONNECTION = 0,
    DDE_ERR_UNKNOWN_ADVISE = 1,
    DDE_ERR_UNKNOWN_TRANSACTION = 2,
    DDE_ERR_CONVERSATION = 3,
    DDE_ERR_TRANSACTION = 4,
    DDE_ERR_OTHER = 5
};
typedef void (*DdeErrorFunction)(int code, int value);
// With flag non-zero every later error goes to function instead of the trace.
void setDdeErrorHandler(int flag, DdeErrorFunction function);
void reportDdeError(int code, int value);

// The longest names: a conversation's service and topic under 50
// characters, a transaction's item under 100.
const size_t kDdeNameMax = 49;
const size_t kDdeItemMax = 99;

class DdeInstance {
public:
    virtual ~DdeInstance();
    DWORD instance() const { return id; }
    bool initialised() const { return result == DMLERR_NO_ERROR; }

protected:
    DdeInstance() : id(0), result(DMLERR_DLL_NOT_INITIALIZED) {}
    DWORD id;
    UINT result;
};

class DdeServer : public DdeInstance {
public:
    explicit DdeServer(const char* serviceName);
    ~DdeServer() override;
    HSZ service() const { return serviceHandle; }

private:
    HSZ serviceHandle;
    String name;
};

class DdeClient : public DdeInstance {
public:
    DdeClient();
};

class DdeTopic;

struct DdeEvent {
    DWORD dataSize = 0;
    BYTE* data = nullptr;
    UINT type = 0;
    UINT format = 0;
    HCONV conversation = nullptr;
    HSZ topic = nullptr;
    HSZ item = nullptr;
    HDDEDATA dataHandle = nullptr;
    ULONG_PTR data1 = 0;
    ULONG_PTR data2 = 0;
    DWORD instance = 0;

    String getItemName() const;
    ClipboardFormat getFormat() const { return ClipboardFormat(format); }
    // A text reply in CF_TEXT for the event's item; 0 for a null text.
    HDDEDATA makeTextData(const char* text) const;
    HDDEDATA makeData(const void* bytes, DWORD length, const ClipboardFormat& format) const;
};

class DdeAdviseItem {
public:
    DdeAdviseItem(DdeTopic* topic, DdeEvent* event);
    virtual ~DdeAdviseItem();
    virtual HDDEDATA onAdviseRequest(DdeEvent*) { return nullptr; }
    BOOL postAdvise();

    DdeTopic* topic;
    String itemName;
    ClipboardFormat format;
    HSZ itemHandle;
};

class DdeTopic {
public:
    DdeTopic(DdeServer* server, const char* topicName);
    // Not virtual: removes the topic from the list, deletes its items.
    ~DdeTopic();

    virtual HDDEDATA onConnectConfirm(DdeEvent*) { return nullptr; }
    virtual HDDEDATA onRequest(DdeEvent*) { return nullptr; }
    virtual HDDEDATA onAdviseStart(DdeEvent*) { return nullptr; }
    virtual HDDEDATA onAdviseStop(DdeEvent* event);
    virtual HDDEDATA onExecute(DdeEvent*) { return nullptr; }
    virtual HDDEDATA onPoke(DdeEvent*) { return nullptr; }

    DdeAdviseItem* findItem(HSZ item) const;

    DdeServer* server;
    String name;
    HSZ topicHandle;
    std::list<DdeAdviseItem*> items;
};

class DdeConversation {
public:
    // Connects at once (the conversation registers itself as the user
    // handle of its HCONV, so that a server's disconnect reaches it).
    DdeConversation(DdeClient* client, const char* serviceName, const char* topicName);
    virtual ~DdeConversation();
    virtual HDDEDATA onDisconnect(DdeEvent*);
    int isConnected() const { return connected; }

    DdeClient* client;
    int connected;
    HCONV conversation;
    String topicName;
    String serviceName;
    HSZ topicHandle;
    HSZ serviceHandle;
};

class DdeTransaction {
public:
    enum Kind { KIND_ADVISE = 0, KIND_ORDINARY = 1, KIND_POKE = 2 };
    DdeTransaction(DdeConversation* conversation, const char* itemName, const ClipboardFormat& format,
                   Kind kind = KIND_ORDINARY);
    DdeTransaction(DdeConversation* conversation, const ClipboardFormat& format, Kind kind = KIND_ORDINARY);
    virtual HDDEDATA onComplete(DdeEvent*) { return nullptr; }
    virtual ~DdeTransaction();

    // Whether the transaction was started (false: nothing is pending).
    bool started() const { return startedOk; }

    DdeConversation* conversation;
    DWORD transactionId;
    ClipboardFormat format;
    HSZ itemHandle;
    String itemName;
    Kind kind;

protected:
    // XTYP_EXECUTE or XTYP_POKE with the bytes; time-out 0 is asynchronous.
    bool start(UINT type, const void* bytes, DWORD length, int timeoutSeconds);
    bool startedOk;
};

class DdeExecute : public DdeTransaction {
public:
    DdeExecute(DdeConversation* conversation, const char* command, int timeoutSeconds);
};

class DdePoke : public DdeTransaction {
public:
    DdePoke(DdeConversation* conversation, const char* item, const void* data, DWORD length, int timeoutSeconds,
            const ClipboardFormat& format = ClipboardFormat(CF_TEXT));
};

class DdeAdviseTransaction : public DdeTransaction {
public:
    DdeAdviseTransaction(DdeConversation* conversation, const char* item,
                         const ClipboardFormat& format = ClipboardFormat(CF_TEXT));
    ~DdeAdviseTransaction() override;
    virtual HDDEDATA onAdviseData(DdeEvent*) { return reinterpret_cast<HDDEDATA>(DDE_FACK); }
};

// A synchronous request: the reply's text, or false for no data.
bool ddeRequestText(DdeConversation* conversation, const char* item, String& reply, int timeoutMs = 5000);

#endif
