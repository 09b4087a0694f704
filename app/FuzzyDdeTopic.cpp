#include "FuzzyDdeTopic.h"

#include "FuzzyDdeCommands.h"

const char* const kFuzzyTopicName = "Fuzzy";

FuzzyDdeTopic::FuzzyDdeTopic(DdeServer* server) : DdeTopic(server, kFuzzyTopicName)
{
}

HDDEDATA FuzzyDdeTopic::onRequest(DdeEvent* event)
{
    if (event->format != CF_TEXT)
        return DdeTopic::onRequest(event);
    const String item = event->getItemName();
    const std::optional<std::string> reply = handleFuzzyCommand(item.text() ? item.text() : "");
    if (!reply)
        return DdeTopic::onRequest(event);
    return event->makeTextData(reply->c_str());
}
