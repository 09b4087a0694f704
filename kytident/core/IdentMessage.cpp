#include "IdentMessage.h"

#include "ResString.h"

IdentMessage identMessage(IdentBoxKind kind, unsigned int textId, unsigned int captionId)
{
    IdentMessage message;
    message.kind = kind;
    message.textId = textId;
    message.captionId = captionId;
    message.text = getResString(textId);
    return message;
}
