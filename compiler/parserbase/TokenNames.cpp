#include "TokenNames.h"

#include "BoundedText.h"

namespace {

struct FixedTokenName {
    int token;
    const char* name;
};

const FixedTokenName fixedNames[] = {
    {0, "End of File"},
    {'\b', "'\\b'"},
    {'\t', "'\\t'"},
    {'\n', "'\\n'"},
    {'\f', "'\\f'"},
    {'\r', "'\\r'"},
    {256, "Error"},
};

} // namespace

const char* commonTokenName(int token, char* buffer, size_t size)
{
    for (const FixedTokenName& row : fixedNames)
        if (row.token == token)
            return row.name;
    if (!buffer || size == 0)
        return "";
    if (token >= 32 && token < 127)
        formatBounded(buffer, size, "'%c`", token);
    else if (token >= 256)
        formatBounded(buffer, size, "Symbol %d", token);
    else
        formatBounded(buffer, size, "char 0x%02X", static_cast<unsigned int>(token) & 0xFFu);
    return buffer;
}
