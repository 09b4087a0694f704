#include "ValueTypes.h"

#include <gtest/gtest.h>

TEST(ColorRule, FlagSelectsRgbPaletteIndexOrPaletteRelative)
{
    struct Case {
        Color colour;
        uint32_t expected;
    } cases[] = {
        {Color(1, 2, 3, 0), 0x00030201u},
        {Color(5, 1, 9, 1), 0x01000105u}, // index from the first two bytes, blue dropped
        {Color(1, 2, 3, 7), 0x02030201u},
        {Color(1, 2, 3, 2), 0x02030201u},
        {Color(255, 255, 255, 0), 0x00FFFFFFu},
    };
    for (const Case& c : cases)
        EXPECT_EQ(colorRefOf(c.colour), c.expected) << int(c.colour.red) << "," << int(c.colour.flag);
}

TEST(ColorRule, PackedStillPacksAllFourBytes)
{
    EXPECT_EQ(Color(1, 2, 3, 7).packed(), 0x07030201u);
}
