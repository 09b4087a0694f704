// The standard dialog template (not the extended form) read from its bytes:
// the header and the items, with their texts turned into Windows-1252. A pure
// reader: it never reads past the size it is given, so a truncated resource
// yields the header and the complete items before the cut.
#ifndef KYT_FRAMEWORK_DIALOGTEMPLATE_H
#define KYT_FRAMEWORK_DIALOGTEMPLATE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Turns count UTF-16 characters into 8-bit text. The Windows layer installs
// one that asks the system; the portable one knows code page 1252.
typedef std::string (*WideTextConverter)(const uint16_t* text, size_t count);
std::string wideTo1252(const uint16_t* text, size_t count);

// A name field of a template: nothing, a 16-bit ordinal, or a text.
struct TemplateName {
    bool present = false;
    bool isOrdinal = false;
    uint16_t ordinal = 0;
    std::string text;
};

struct DialogTemplateHeader {
    uint32_t style = 0; // without WS_VISIBLE
    uint32_t exStyle = 0;
    uint16_t itemCount = 0; // as the header says; the items read may be fewer
    int16_t x = 0;
    int16_t y = 0;
    int16_t width = 0;
    int16_t height = 0;
    TemplateName menu;
    TemplateName windowClass;
    std::string title;
    bool hasFont = false; // DS_SETFONT
    uint16_t pointSize = 0;
    std::string faceName;
};

struct DialogTemplateItem {
    uint32_t style = 0;
    uint32_t exStyle = 0;
    int16_t x = 0;
    int16_t y = 0;
    int16_t width = 0;
    int16_t height = 0;
    uint16_t id = 0;
    uint16_t classAtom = 0; // 0x80 button ... 0x85 combo box; 0 when named
    std::string className;  // the name, or empty for an atom
    TemplateName title;
};

struct DialogTemplate {
    bool found = false;
    DialogTemplateHeader header;
    std::vector<DialogTemplateItem> items;
};

const uint32_t kTemplateVisible = 0x10000000u; // WS_VISIBLE
const uint32_t kTemplateSetFont = 0x40u;       // DS_SETFONT

// Reads size bytes. Not found: an empty or extended template, or a header
// cut short.
DialogTemplate parseDialogTemplate(const uint8_t* bytes, size_t size, WideTextConverter convert = wideTo1252);

#endif
