#include "PolyGrammarParser.h"

#include "Assert.h"
#include "BoundedText.h"
#include "CheckedHeap.h"
#include "ErrorReporter.h"
#include "Polynomial.h"
#include "ResString.h"
#include "strings/CompilerStrings.h"
#include "strings/LaplaceStrings.h"

#include <cstdarg>
#include <cstring>

namespace {


// A broken allocation list is the program's fault, not the user's: fatal.
[[noreturn]] void internalError(unsigned int id)
{
    reportError(ERR_FATAL, "%s", getResString(id));
    // The reporter's sink ends the process; should it come back, stop here.
    AssertFailed("fatal report returned", __FILE__, __LINE__);
}

} // namespace

PolyGrammarParser* PolyGrammarParser::current = nullptr;

PolyGrammarParser::PolyGrammarParser()
    : allocations(nullptr),
      input(nullptr),
      result(nullptr),
      workFile(nullptr),
      messageStored(false),
      messageId(0),
      inputCopy(nullptr),
      numberValue(0.0),
      nodesMade(0),
      tooLarge(false)
{
    token[0] = 0;
    message[0] = 0;
    KYT_ASSERT(current == nullptr);
    current = this;
}

PolyGrammarParser::~PolyGrammarParser()
{
    current = nullptr;
    freeRegisteredPointers();
    freeHook(inputCopy);
    parameters.clear();
}

PolyGrammarParser* PolyGrammarParser::live()
{
    return current;
}

void PolyGrammarParser::setMessage(const char* text)
{
    if (messageStored)
        return;
    formatBounded(message, sizeof message, "%s", text ? text : "");
    messageStored = true;
    messageId = 0;
}

void PolyGrammarParser::storeMessage(unsigned int id, ...)
{
    if (messageStored)
        return;
    // The stored text is bounded: a parameter name may be of any length.
    va_list args;
    va_start(args, id);
    BoundedText text(message, sizeof message);
    text.vappendf(getResString(id), args);
    va_end(args);
    messageStored = true;
    messageId = id;
}

void PolyGrammarParser::clearMessage()
{
    message[0] = 0;
    messageStored = false;
    messageId = 0;
}

void PolyGrammarParser::report(unsigned int id)
{
    if (current)
        current->storeMessage(id);
}

void PolyGrammarParser::setInput(const char* text)
{
    freeHook(inputCopy);
    inputCopy = copyText(text);
    input = inputCopy;
}

int PolyGrammarParser::getChar()
{
    if (!input || !*input)
        return 0;
    return static_cast<unsigned char>(*input++);
}

void PolyGrammarParser::ungetChar()
{
    if (!input || input == inputCopy) {
        reportError(ERR_FATAL, "Internal Error: cannot do UngetChar()!");
        AssertFailed("fatal report returned", __FILE__, __LINE__);
    }
    --input;
}

void PolyGrammarParser::registerPointer(void* p, int kind)
{
    if (!p)
        return;
    for (Allocation* a = allocations; a; a = a->next)
        if (a->pointer == p)
            internalError(kStrInternalPointerKnown);
    Allocation* a = static_cast<Allocation*>(CheckedAlloc(sizeof(Allocation)));
    a->next = allocations;
    a->kind = kind;
    a->pointer = p;
    allocations = a;
}

void PolyGrammarParser::unregisterPointer(void* p)
{
    if (!p)
        return;
    for (Allocation** link = &allocations; *link; link = &(*link)->next) {
        if ((*link)->pointer == p) {
            Allocation* a = *link;
            *link = a->next;
            freeHook(a);
            return;
        }
    }
    internalError(kStrInternalPointerUnknown);
}

void PolyGrammarParser::freeRegisteredPointers()
{
    while (allocations) {
        Allocation* a = allocations;
        allocations = a->next;
        switch (a->kind) {
        case TRANSFER_VALUE:
            delete static_cast<RationalFunction*>(a->pointer);
            break;
        case TRANSFER_TEXT:
            freeHook(a->pointer);
            break;
        default:
            internalError(kStrInternalPointerKind);
        }
        freeHook(a);
    }
}

int PolyGrammarParser::countRegisteredPointers() const
{
    int n = 0;
    for (const Allocation* a = allocations; a; a = a->next)
        ++n;
    return n;
}

void PolyGrammarParser::startNodeCount()
{
    nodesMade = 0;
    tooLarge = false;
}

void PolyGrammarParser::markTooLarge()
{
    if (!tooLarge) {
        tooLarge = true;
        storeMessage(kStrLaplaceTooLarge);
    }
}

void PolyGrammarParser::noteNodeMade(int height)
{
    if (!current)
        return;
    ++current->nodesMade;
    if (current->nodesMade > kTransferNodeBudget || height > kMaxTransferTreeHeight)
        current->markTooLarge();
}

bool PolyGrammarParser::reserveNodes(unsigned long n)
{
    if (!current)
        return true;
    if (current->tooLarge)
        return false;
    if (n > kTransferNodeBudget - current->nodesMade) {
        current->markTooLarge();
        return false;
    }
    return true;
}

bool PolyGrammarParser::tooLargeNow()
{
    return current && current->tooLarge;
}

void transferPrintf(const char* format, ...)
{
    PolyGrammarParser* p = PolyGrammarParser::live();
    if (!p || !p->getWorkFile())
        return;
    va_list args;
    va_start(args, format);
    vfprintf(p->getWorkFile(), format, args);
    va_end(args);
}
