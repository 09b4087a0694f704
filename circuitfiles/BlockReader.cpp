// The block description reader: the head of a model-language block (wizard
// header, name, layout lines and declarations) fills a BlockObject.
#include "BlockObject.h"
#include "CircuitReader.h"
#include "NumberFormat.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstring>
#include <string>

namespace {

struct SectionKeyword {
    const char* word;
    int section;
};

const SectionKeyword kSections[] = {
    {"INPUT", SECTION_INPUT}, {"OUTPUT", SECTION_OUTPUT}, {"PARAMETER", SECTION_PARAMETER},
    {"VAR", SECTION_VAR},     {"STATE", SECTION_STATE},   {"DELAY", SECTION_DELAY},
    {"FILE", SECTION_FILE},
};

// The section of a keyword, -1 for none, -2 for SIM.
int sectionOf(const char* word)
{
    for (const auto& k : kSections)
        if (strcmp(word, k.word) == 0)
            return k.section;
    return strcmp(word, "SIM") == 0 ? -2 : -1;
}

// The leading integer of text, as atoi takes it, held to the int range.
int intOf(const char* text)
{
    while (*text == ' ')
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    long long v = 0;
    while (isdigit(static_cast<unsigned char>(*text))) {
        if (v < 1LL << 40)
            v = v * 10 + (*text - '0');
        ++text;
    }
    if (negative)
        v = -v;
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

} // namespace

int CircuitReader::readInt()
{
    nextNonBlank();
    return kind == TOK_WORD ? intOf(token.text()) : 0;
}

double CircuitReader::readDouble()
{
    nextNonBlank();
    double v = 0;
    // A number beyond the doubles counts as none: the writer would give it
    // as text no reader takes back.
    if (kind != TOK_WORD || parseNumber(token.text(), &v) == 0 || !std::isfinite(v))
        return 0;
    return v;
}

String CircuitReader::readString()
{
    std::string result;
    inQuotes = true;
    for (;;) {
        nextToken();
        switch (kind) {
        case TOK_WORD: result += token.text(); break;
        case TOK_BLANK: result += ' '; break;
        case TOK_EQUALS: result += '='; break;
        case TOK_SEMICOLON: result += ';'; break;
        case TOK_DOLLAR: result += '$'; break;
        case TOK_COMMA: result += ','; break;
        case TOK_QUOTE:
            inQuotes = false;
            nextNonBlank();
            return String(result.c_str());
        default:
            inQuotes = false;
            failBlock(kResExpectQuote);
            return String(result.c_str());
        }
    }
}

void CircuitReader::readBlock(BlockObject& block)
{
    beginRead();
    groupFlag = 0;
    target = &block;
    nextNonBlank();
    if (isWord("BLOCK")) {
        nextNonBlank();
        readBlockHead();
    } else if (kind == TOK_DOLLAR) {
        nextNonBlank();
        if (!isWord("WIZARD")) {
            failBlock(kResExpectWizard);
            return;
        }
        nextNonBlank();
        readWizardHeader();
    } else {
        failBlock(kResExpectBlock);
    }
}

void CircuitReader::readWizardHeader()
{
    if (kind != TOK_WORD)
        return;
    target->wizardName = token;
    target->wizardFlag = 1;
    nextNonBlank();
    if (kind == TOK_QUOTE)
        target->wizardArgument = readString();
    if (!isWord("BLOCK")) {
        failBlock(kResExpectBlock);
        return;
    }
    nextNonBlank();
    readBlockHead();
}

void CircuitReader::readBlockHead()
{
    if (kind != TOK_WORD) {
        failBlock(kResExpectString);
        return;
    }
    target->setName(token.text());
    nextNonBlank();
    if (kind != TOK_SEMICOLON) {
        failBlock(kResExpectSemicolon);
        return;
    }
    nextNonBlank();
    if (kind == TOK_DOLLAR) {
        readSubtype();
        readLayoutLines();
    }
    while (kind == TOK_WORD && sectionOf(token.text()) != -1)
        readSection();
}

void CircuitReader::readSubtype()
{
    nextNonBlank();
    if (!isWord("SUBTYPE"))
        return;
    nextNonBlank();
    if (isWord("CONTROL"))
        target->kindFlags = kKindBlock | kKindControl;
    else if (isWord("TEXT"))
        target->kindFlags = kKindBlock | kKindText;
    else if (isWord("FRAME"))
        target->kindFlags = kKindBlock | kKindFrame;
    else {
        fail(kResBadSubtype);
        return;
    }
    nextNonBlank();
    nextNonBlank();
}

bool CircuitReader::expectDollar()
{
    if (kind != TOK_DOLLAR) {
        fail(kResExpectDollar);
        return false;
    }
    nextNonBlank();
    return true;
}

void CircuitReader::readLayoutLines()
{
    BlockObject& b = *target;
    if (!isWord("BLOCKDIM")) {
        fail(kResExpectBlockdim);
        return;
    }
    // Positions and sizes beyond any document are held to it, so that no
    // pixel computation overflows.
    int x = std::max(-1, std::min(readInt(), kMaxGridCoordinate));
    int y = std::max(-1, std::min(readInt(), kMaxGridCoordinate));
    int w = std::max(1, std::min(readInt(), kMaxGridCoordinate));
    int h = std::max(1, std::min(readInt(), kMaxGridCoordinate));
    if (x != -1 || y != -1)
        b.moveTo(pasteMode ? Point(x + 1, y + 1) : Point(x, y));
    b.setGeometry(w, h);
    nextNonBlank();
    // A flag: any number but 0 mirrors, and the writer writes it as 1. The
    // writer leaves it out for a block that is not mirrored, so a missing
    // flag un-mirrors a block whose description mirrors it.
    b.mirrored = 0;
    if (kind != TOK_DOLLAR && kind != TOK_EOF) {
        b.mirrored = kind == TOK_WORD && intOf(token.text()) != 0 ? 1 : 0;
        nextNonBlank();
    }
    if (!expectDollar())
        return;

    if (!isWord("TEXT")) {
        fail(kResExpectText);
        return;
    }
    nextNonBlank();
    if (kind == TOK_QUOTE) {
        String text = readString();
        for (;;) {
            if (kind != TOK_DOLLAR) {
                fail(kResExpectDollar);
                return;
            }
            nextNonBlank();
            if (kind != TOK_QUOTE)
                break;
            text += '\n';
            text += readString();
        }
        for (char* p = text.getBuffer(); *p; ++p)
            if (*p == 7)
                *p = '\n';
        b.setText(text.text());
    }

    if (!isWord("TEXTALIG")) {
        fail(kResExpectTextalig);
        return;
    }
    b.layout[0] = readInt();
    b.layout[1] = readInt();
    b.layout[4] = readInt();
    b.layout[5] = readInt();
    if (b.kindFlags & kKindFrame) {
        b.frameOutline = readInt();
        b.frameFill = readInt();
        int r = readInt(), g = readInt(), bl = readInt();
        b.textColour = Color(r, g, bl, 0);
        r = readInt();
        g = readInt();
        bl = readInt();
        b.frameColour = Color(r, g, bl, 0);
    } else if (b.kindFlags & kKindText) {
        b.scale = readDouble();
    }
    nextNonBlank();
    if (!expectDollar())
        return;

    if (!isWord("ICONNAME")) {
        fail(kResExpectIconname);
        return;
    }
    nextNonBlank();
    if (kind == TOK_QUOTE) {
        String icon = readString();
        b.loadIcon(icon.text());
    }
    if (!expectDollar())
        return;

    if (!isWord("ICONDIM")) {
        fail(kResExpectIcondim);
        return;
    }
    int iw = readInt();
    int ih = readInt();
    b.setIconDim(iw, ih);
    nextNonBlank();
    if (!expectDollar())
        return;

    if (!isWord("ICONALIG")) {
        fail(kResExpectIconalig);
        return;
    }
    b.layout[2] = readInt();
    b.layout[3] = readInt();
    b.layout[6] = readInt();
    nextNonBlank();
}

void CircuitReader::readSection()
{
    int code = sectionOf(token.text());
    if (code == -2) {
        // Nothing after SIM is the editor's.
        kind = TOK_EOF;
        stopped = true;
        return;
    }
    section = code;
    nextNonBlank();
    while (kind == TOK_WORD && sectionOf(token.text()) == -1) {
        if (section == SECTION_INPUT || section == SECTION_OUTPUT)
            readPortDeclaration();
        else
            readDeclaration();
    }
}

void CircuitReader::readPortDeclaration()
{
    BlockObject& b = *target;
    bool input = section == SECTION_INPUT;
    if (input)
        BlockObject::store(b.inputNames, b.inputCount++, token.text());
    else
        BlockObject::store(b.outputNames, b.outputCount++, token.text());
    nextNonBlank();
    if (isWord("SGROUP"))
        readGroupClause();
    if (kind == TOK_QUOTE) {
        String comment = readString();
        if (input)
            BlockObject::store(b.inputComments, b.inputCount - 1, comment.text());
        else
            BlockObject::store(b.outputComments, b.outputCount - 1, comment.text());
    }
    if (kind != TOK_SEMICOLON) {
        failBlock(kResExpectSemicolon);
        return;
    }
    nextNonBlank();
}

void CircuitReader::readDeclaration()
{
    BlockObject& b = *target;
    int paramKind = 0;
    bool parameter = section == SECTION_PARAMETER;
    if (parameter) {
        BlockObject::store(b.parameterNames, b.parameterCount, token.text());
        nextNonBlank();
        paramKind = kParamPlain;
        if (isWord("BOOL"))
            paramKind = kParamBool;
        else if (isWord("STRING") || isWord("SOCKET"))
            paramKind = kParamText;
        if (paramKind != kParamPlain)
            nextNonBlank();
    } else if (section == SECTION_VAR) {
        BlockObject::store(b.variableNames, b.variableCount++, token.text());
        nextNonBlank();
    } else if (section == SECTION_STATE) {
        BlockObject::store(b.stateNames, b.stateCount++, token.text());
        nextNonBlank();
    } else {
        nextNonBlank();
    }
    if (isWord("SGROUP"))
        readGroupClause();
    if (parameter) {
        if (groupFlag) {
            groupFlag = 0;
            paramKind += kParamFlagged;
        }
        BlockObject::store(b.parameterKinds, b.parameterCount, paramKind);
        ++b.parameterCount;
    }
    if (kind == TOK_EQUALS) {
        nextNonBlank();
        String value;
        if (kind == TOK_WORD) {
            value = token;
            nextNonBlank();
            while (kind == TOK_WORD && !isWord("DISCRETE")) {
                value += token;
                nextNonBlank();
            }
        } else if ((paramKind & ~kParamFlagged) == kParamText && kind == TOK_QUOTE) {
            value = readString();
        } else {
            failBlock(kResExpectString);
            return;
        }
        if (parameter)
            BlockObject::store(b.parameterValues, b.parameterCount - 1, value.text());
    }
    if (section == SECTION_VAR && isWord("DISCRETE"))
        nextNonBlank();
    if (kind == TOK_QUOTE) {
        String comment = readString();
        if (parameter)
            BlockObject::store(b.parameterComments, b.parameterCount - 1, comment.text());
    }
    if (kind != TOK_SEMICOLON) {
        failBlock(kResExpectSemicolon);
        return;
    }
    nextNonBlank();
}

void CircuitReader::readGroupClause()
{
    if (!isWord("SGROUP")) {
        failBlock(kResExpectSgroup);
        return;
    }
    nextNonBlank();
    if (kind != TOK_WORD) {
        failBlock(kResExpectString);
        return;
    }
    if (section == SECTION_PARAMETER)
        groupFlag = 1;
    // The group mark is one more bit: a control block with a signal group
    // stays a control block.
    target->kindFlags |= kKindGroup;
    nextNonBlank();
}
