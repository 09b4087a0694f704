#include "Dde.h"

#include "ErrorReporter.h"
#include "TraceSink.h"

#include <algorithm>
#include <map>
#include <cstring>
#include <string>
#include <vector>

namespace {

DWORD gServerInstance = 0;
HSZ gServiceHandle = nullptr;
std::list<DdeTopic*>* gTopics = nullptr;
std::list<DdeAdviseTransaction*>* gAdvises = nullptr;
// The connected conversations by handle, for a disconnect that arrives
// after DDEML has dropped the conversation's user handle.
std::map<HCONV, DdeConversation*>* gConversations = nullptr;
int gHandlerFlag = 0;
DdeErrorFunction gHandler = nullptr;

std::list<DdeTopic*>& topics()
{
    if (!gTopics)
        gTopics = new std::list<DdeTopic*>;
    return *gTopics;
}

std::list<DdeAdviseTransaction*>& advises()
{
    if (!gAdvises)
        gAdvises = new std::list<DdeAdviseTransaction*>;
    return *gAdvises;
}

std::string queryString(DWORD instance, HSZ handle)
{
    if (!handle)
        return std::string();
    DWORD length = DdeQueryStringA(instance, handle, nullptr, 0, CP_WINANSI);
    if (length == 0)
        return std::string();
    std::vector<char> buffer(length + 1);
    DdeQueryStringA(instance, handle, buffer.data(), length + 1, CP_WINANSI);
    return std::string(buffer.data());
}

DdeTopic* findTopic(const std::string& name)
{
    if (!gTopics || name.empty())
        return nullptr;
    for (DdeTopic* topic : *gTopics)
        if (strcmp(topic->name.text(), name.c_str()) == 0)
            return topic;
    return nullptr;
}

// Runs the operation with the event's data accessed.
template <typename F>
HDDEDATA withData(DdeEvent& event, F operation)
{
    if (event.dataHandle)
        event.data = DdeAccessData(event.dataHandle, &event.dataSize);
    HDDEDATA result = operation();
    if (event.dataHandle && event.data)
        DdeUnaccessData(event.dataHandle);
    event.data = nullptr;
    return result;
}

// The arguments of a DDEML callback as one event.
DdeEvent makeEvent(UINT type, UINT format, HCONV conversation, HSZ string1, HSZ string2, HDDEDATA data,
                   ULONG_PTR data1, ULONG_PTR data2)
{
    DdeEvent event;
    event.type = type;
    event.format = format;
    event.conversation = conversation;
    event.topic = string1;
    event.item = string2;
    event.dataHandle = data;
    event.data1 = data1;
    event.data2 = data2;
    return event;
}

HDDEDATA dispatchToTopic(UINT type, UINT format, HCONV conversation, HSZ string1, HSZ string2, HDDEDATA data,
                         ULONG_PTR data1, ULONG_PTR data2)
{
    DdeEvent event = makeEvent(type, format, conversation, string1, string2, data, data1, data2);
    event.instance = gServerInstance;
    DdeTopic* topic = findTopic(queryString(gServerInstance, string1));
    if (!topic)
        return nullptr;
    switch (type) {
    case XTYP_CONNECT:
        return reinterpret_cast<HDDEDATA>(TRUE);
    case XTYP_CONNECT_CONFIRM:
        return topic->onConnectConfirm(&event);
    case XTYP_REQUEST:
        return topic->onRequest(&event);
    case XTYP_ADVSTART:
        return topic->onAdviseStart(&event);
    case XTYP_ADVSTOP:
        return topic->onAdviseStop(&event);
    case XTYP_ADVREQ: {
        DdeAdviseItem* item = topic->findItem(string2);
        return item ? item->onAdviseRequest(&event) : nullptr;
    }
    case XTYP_EXECUTE:
        return withData(event, [&] { return topic->onExecute(&event); });
    case XTYP_POKE:
        return withData(event, [&] { return topic->onPoke(&event); });
    default:
        return nullptr;
    }
}

// A topic's work reports its errors to the transaction, never in a box: a
// box's modal loop inside this callback hands the client's next messages to
// DDEML before the transaction is answered, and a client that gave up
// meanwhile leaves DDEML to answer a conversation that is gone (an access
// violation in user32 after the box's OK). The reply says that the work
// failed; the texts go to the trace and, as ever, to ERROR.LOG.
HDDEDATA CALLBACK serverCallback(UINT type, UINT format, HCONV conversation, HSZ string1, HSZ string2,
                                 HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2)
{
    CollectedReports reports;
    HDDEDATA result = dispatchToTopic(type, format, conversation, string1, string2, data, data1, data2);
    for (int i = 0; i < reports.count(); ++i)
        trace("DDE transaction report: %s", reports.text(i));
    return result;
}

HDDEDATA CALLBACK clientCallback(UINT type, UINT format, HCONV conversation, HSZ string1, HSZ string2,
                                 HDDEDATA data, ULONG_PTR data1, ULONG_PTR data2)
{
    DdeEvent event = makeEvent(type, format, conversation, string1, string2, data, data1, data2);
    switch (type) {
    case XTYP_XACT_COMPLETE: {
        CONVINFO info = {};
        info.cb = sizeof info;
        DdeTransaction* transaction = nullptr;
        if (DdeQueryConvInfo(conversation, static_cast<DWORD>(data1), &info))
            transaction = reinterpret_cast<DdeTransaction*>(info.hUser);
        if (!transaction) {
            reportDdeError(DDE_ERR_UNKNOWN_TRANSACTION, 0);
            return nullptr;
        }
        // The transaction is done: nothing is pending any more.
        transaction->transactionId = 0;
        HDDEDATA result;
        // An execute or poke completes with TRUE or FALSE, not with data.
        if (reinterpret_cast<ULONG_PTR>(data) > 1 && transaction->kind == DdeTransaction::KIND_ORDINARY)
            result = withData(event, [&] { return transaction->onComplete(&event); });
        else
            result = transaction->onComplete(&event);
        if (transaction->kind != DdeTransaction::KIND_ADVISE)
            delete transaction;
        return result;
    }
    case XTYP_ADVDATA: {
        if (gAdvises)
            for (DdeAdviseTransaction* advise : *gAdvises) {
                if (advise->conversation && DdeCmpStringHandles(advise->itemHandle, string2) == 0 &&
                    DdeCmpStringHandles(advise->conversation->topicHandle, string1) == 0)
                    return withData(event, [&] { return advise->onAdviseData(&event); });
            }
        reportDdeError(DDE_ERR_UNKNOWN_ADVISE, 0);
        return nullptr;
    }
    case XTYP_DISCONNECT: {
        CONVINFO info = {};
        info.cb = sizeof info;
        DdeConversation* owner = nullptr;
        if (DdeQueryConvInfo(conversation, QID_SYNC, &info) && info.hUser)
            owner = reinterpret_cast<DdeConversation*>(info.hUser);
        else if (gConversations && gConversations->count(conversation))
            owner = (*gConversations)[conversation];
        return owner ? owner->onDisconnect(&event) : nullptr;
    }
    default:
        return nullptr;
    }
}

} // namespace

void setDdeErrorHandler(int flag, DdeErrorFunction function)
{
    gHandlerFlag = flag;
    gHandler = function;
}

void reportDdeError(int code, int value)
{
    if (gHandlerFlag && gHandler) {
        gHandler(code, value);
        return;
    }
    switch (code) {
    case DDE_ERR_NULL_CONNECTION:
        trace("Null connection, unable to start Transaction");
        break;
    case DDE_ERR_UNKNOWN_ADVISE:
        trace("Advise for unknown transaction received");
        break;
    case DDE_ERR_UNKNOWN_TRANSACTION:
        trace("Callback for unknown transaction received");
        break;
    case DDE_ERR_CONVERSATION:
        trace("Unable to create DDE conversation %d", value);
        break;
    case DDE_ERR_TRANSACTION:
        trace("Unable to create DDE transaction %d", value);
        break;
    default:
        trace("DDE error number(%d,%d)", code, value);
        break;
    }
}

DdeInstance::~DdeInstance()
{
    if (initialised())
        DdeUninitialize(id);
}

DdeServer::DdeServer(const char* serviceName) : serviceHandle(nullptr), name(serviceName ? serviceName : "")
{
    result = DdeInitializeA(&id, serverCallback, 0, 0);
    if (!initialised()) {
        reportDdeError(DDE_ERR_OTHER, static_cast<int>(result));
        return;
    }
    gServerInstance = id;
    serviceHandle = DdeCreateStringHandleA(id, name.text(), CP_WINANSI);
    gServiceHandle = serviceHandle;
    DdeNameService(id, serviceHandle, nullptr, DNS_REGISTER);
}

DdeServer::~DdeServer()
{
    if (initialised()) {
        DdeNameService(id, serviceHandle, nullptr, DNS_UNREGISTER);
        DdeFreeStringHandle(id, serviceHandle);
    }
    if (gServerInstance == id)
        gServerInstance = 0;
}

DdeClient::DdeClient()
{
    result = DdeInitializeA(&id, clientCallback, APPCMD_CLIENTONLY, 0);
    if (!initialised())
        reportDdeError(DDE_ERR_OTHER, static_cast<int>(result));
}

String DdeEvent::getItemName() const
{
    return String(queryString(instance ? instance : gServerInstance, item).c_str());
}

HDDEDATA DdeEvent::makeTextData(const char* text) const
{
    if (!text)
        return nullptr;
    return makeData(text, static_cast<DWORD>(strlen(text) + 1), ClipboardFormat(CF_TEXT));
}

HDDEDATA DdeEvent::makeData(const void* bytes, DWORD length, const ClipboardFormat& dataFormat) const
{
    return DdeCreateDataHandle(instance ? instance : gServerInstance, static_cast<LPBYTE>(const_cast<void*>(bytes)),
                               length, 0, item, dataFormat.id(), 0);
}

DdeAdviseItem::DdeAdviseItem(DdeTopic* owner, DdeEvent* event)
    : topic(owner), itemName(event ? event->getItemName() : String()),
      format(event ? event->format : CF_TEXT), itemHandle(nullptr)
{
    itemHandle = DdeCreateStringHandleA(topic->server->instance(), itemName.text(), CP_WINANSI);
    topic->items.push_back(this);
}

DdeAdviseItem::~DdeAdviseItem()
{
    topic->items.remove(this);
    if (itemHandle)
        DdeFreeStringHandle(topic->server->instance(), itemHandle);
}

BOOL DdeAdviseItem::postAdvise()
{
    return DdePostAdvise(topic->server->instance(), topic->topicHandle, itemHandle);
}

DdeTopic::DdeTopic(DdeServer* owner, const char* topicName) : server(owner), name(topicName ? topicName : "")
{
    topicHandle = DdeCreateStringHandleA(server->instance(), name.text(), CP_WINANSI);
    topics().push_back(this);
}

DdeTopic::~DdeTopic()
{
    topics().remove(this);
    while (!items.empty())
        delete items.front();
    if (topicHandle)
        DdeFreeStringHandle(server->instance(), topicHandle);
}

HDDEDATA DdeTopic::onAdviseStop(DdeEvent* event)
{
    DdeAdviseItem* item = findItem(event->item);
    if (!item)
        return nullptr;
    delete item;
    return reinterpret_cast<HDDEDATA>(DDE_FACK);
}

DdeAdviseItem* DdeTopic::findItem(HSZ item) const
{
    for (DdeAdviseItem* candidate : items)
        if (item && DdeCmpStringHandles(candidate->itemHandle, item) == 0)
            return candidate;
    return nullptr;
}

DdeConversation::DdeConversation(DdeClient* owner, const char* service, const char* topic)
    : client(owner), connected(0), conversation(nullptr), topicName(topic ? topic : ""),
      serviceName(service ? service : ""), topicHandle(nullptr), serviceHandle(nullptr)
{
    DWORD instance = client ? client->instance() : 0;
    // A mended fault: names of 50 characters or more do not fit their
    // fields and are not connected.
    if (!client || !client->initialised() || topicName.getLength() > kDdeNameMax ||
        serviceName.getLength() > kDdeNameMax) {
        reportDdeError(DDE_ERR_CONVERSATION, DMLERR_INVALIDPARAMETER);
        return;
    }
    serviceHandle = DdeCreateStringHandleA(instance, serviceName.text(), CP_WINANSI);
    topicHandle = DdeCreateStringHandleA(instance, topicName.text(), CP_WINANSI);
    conversation = DdeConnect(instance, serviceHandle, topicHandle, nullptr);
    if (!conversation) {
        reportDdeError(DDE_ERR_CONVERSATION, static_cast<int>(DdeGetLastError(instance)));
        return;
    }
    connected = 1;
    DdeSetUserHandle(conversation, QID_SYNC, reinterpret_cast<DWORD_PTR>(this));
    if (!gConversations)
        gConversations = new std::map<HCONV, DdeConversation*>;
    (*gConversations)[conversation] = this;
}

DdeConversation::~DdeConversation()
{
    if (conversation) {
        if (gConversations)
            gConversations->erase(conversation);
        DdeSetUserHandle(conversation, QID_SYNC, 0);
        if (connected)
            DdeDisconnect(conversation);
    }
    if (client && client->initialised()) {
        if (serviceHandle)
            DdeFreeStringHandle(client->instance(), serviceHandle);
        if (topicHandle)
            DdeFreeStringHandle(client->instance(), topicHandle);
    }
}

HDDEDATA DdeConversation::onDisconnect(DdeEvent*)
{
    connected = 0;
    return reinterpret_cast<HDDEDATA>(DDE_FACK);
}

DdeTransaction::DdeTransaction(DdeConversation* owner, const char* item, const ClipboardFormat& dataFormat,
                               Kind transactionKind)
    : conversation(owner), transactionId(0), format(dataFormat), itemHandle(nullptr),
      itemName(item ? item : ""), kind(transactionKind), startedOk(false)
{
    if (!conversation) {
        reportDdeError(DDE_ERR_NULL_CONNECTION, 0);
        return;
    }
    // A mended fault: an item of 100 characters or more starts nothing.
    if (itemName.getLength() > kDdeItemMax) {
        reportDdeError(DDE_ERR_OTHER, DMLERR_INVALIDPARAMETER);
        conversation = nullptr;
        return;
    }
    if (conversation->client && conversation->client->initialised())
        itemHandle = DdeCreateStringHandleA(conversation->client->instance(), itemName.text(), CP_WINANSI);
}

DdeTransaction::DdeTransaction(DdeConversation* owner, const ClipboardFormat& dataFormat, Kind transactionKind)
    : conversation(owner), transactionId(0), format(dataFormat), itemHandle(nullptr), kind(transactionKind),
      startedOk(false)
{
    if (!conversation)
        reportDdeError(DDE_ERR_NULL_CONNECTION, 0);
}

bool DdeTransaction::start(UINT type, const void* bytes, DWORD length, int timeoutSeconds)
{
    if (!conversation || !conversation->connected || !conversation->conversation) {
        reportDdeError(DDE_ERR_OTHER, DMLERR_NO_CONV_ESTABLISHED);
        return false;
    }
    DWORD instance = conversation->client->instance();
    DWORD timeout = timeoutSeconds > 0 ? static_cast<DWORD>(timeoutSeconds) * 1000 : TIMEOUT_ASYNC;
    DWORD id = 0;
    HDDEDATA result = DdeClientTransaction(static_cast<LPBYTE>(const_cast<void*>(bytes)), length,
                                           conversation->conversation, itemHandle, format.id(), type, timeout,
                                           timeout == TIMEOUT_ASYNC ? &id : nullptr);
    if (!result) {
        reportDdeError(DDE_ERR_OTHER, static_cast<int>(DdeGetLastError(instance)));
        return false;
    }
    if (timeout == TIMEOUT_ASYNC) {
        transactionId = id;
        if (!DdeSetUserHandle(conversation->conversation, id, reinterpret_cast<DWORD_PTR>(this))) {
            reportDdeError(DDE_ERR_OTHER, static_cast<int>(DdeGetLastError(instance)));
            DdeAbandonTransaction(instance, conversation->conversation, id);
            transactionId = 0;
            return false;
        }
    }
    startedOk = true;
    return true;
}

DdeTransaction::~DdeTransaction()
{
    if (conversation && conversation->client && conversation->client->initialised()) {
        DWORD instance = conversation->client->instance();
        if (transactionId && conversation->conversation) {
            if (!DdeAbandonTransaction(instance, conversation->conversation, transactionId) &&
                DdeGetLastError(instance) == DMLERR_UNFOUND_QUEUE_ID && kind == KIND_ADVISE)
                DdeClientTransaction(nullptr, 0, conversation->conversation, itemHandle, format.id(), XTYP_ADVSTOP,
                                     5000, nullptr);
            transactionId = 0;
        }
        if (itemHandle)
            DdeFreeStringHandle(instance, itemHandle);
    }
}

DdeExecute::DdeExecute(DdeConversation* owner, const char* command, int timeoutSeconds)
    : DdeTransaction(owner, ClipboardFormat(CF_TEXT))
{
    if (command)
        start(XTYP_EXECUTE, command, static_cast<DWORD>(strlen(command) + 1), timeoutSeconds);
}

DdePoke::DdePoke(DdeConversation* owner, const char* item, const void* data, DWORD length, int timeoutSeconds,
                 const ClipboardFormat& dataFormat)
    : DdeTransaction(owner, item, dataFormat, KIND_POKE)
{
    if (conversation)
        start(XTYP_POKE, data, length, timeoutSeconds);
}

DdeAdviseTransaction::DdeAdviseTransaction(DdeConversation* owner, const char* item, const ClipboardFormat& dataFormat)
    : DdeTransaction(owner, item, dataFormat, KIND_ADVISE)
{
    advises().push_back(this);
    if (!conversation || !conversation->connected)
        return;
    DWORD instance = conversation->client->instance();
    DWORD id = 0;
    HDDEDATA result = DdeClientTransaction(nullptr, 0, conversation->conversation, itemHandle, format.id(),
                                           XTYP_ADVSTART, TIMEOUT_ASYNC, &id);
    if (!result || !DdeSetUserHandle(conversation->conversation, id, reinterpret_cast<DWORD_PTR>(this))) {
        reportDdeError(DDE_ERR_TRANSACTION, static_cast<int>(DdeGetLastError(instance)));
        if (result)
            DdeAbandonTransaction(instance, conversation->conversation, id);
        return;
    }
    transactionId = id;
    startedOk = true;
}

DdeAdviseTransaction::~DdeAdviseTransaction()
{
    advises().remove(this);
    // Wine's DdeAbandonTransaction succeeds even for a completed
    // transaction: a loop whose start completed is ended here directly.
    if (startedOk && !transactionId && conversation && conversation->connected && conversation->conversation)
        DdeClientTransaction(nullptr, 0, conversation->conversation, itemHandle, format.id(), XTYP_ADVSTOP, 5000,
                             nullptr);
}

bool ddeRequestText(DdeConversation* conversation, const char* item, String& reply, int timeoutMs)
{
    reply = "";
    if (!conversation || !conversation->connected || !item || strlen(item) > kDdeItemMax)
        return false;
    DWORD instance = conversation->client->instance();
    HSZ itemHandle = DdeCreateStringHandleA(instance, item, CP_WINANSI);
    HDDEDATA data = DdeClientTransaction(nullptr, 0, conversation->conversation, itemHandle, CF_TEXT, XTYP_REQUEST,
                                         static_cast<DWORD>(timeoutMs), nullptr);
    DdeFreeStringHandle(instance, itemHandle);
    if (!data)
        return false;
    DWORD size = 0;
    BYTE* bytes = DdeAccessData(data, &size);
    if (bytes) {
        const void* end = memchr(bytes, 0, size);
        std::string text(reinterpret_cast<const char*>(bytes),
                         end ? static_cast<const BYTE*>(end) - bytes : static_cast<ptrdiff_t>(size));
        reply = text.c_str();
        DdeUnaccessData(data);
    }
    DdeFreeDataHandle(data);
    return true;
}
