// Tests read kytfuzzy's own texts as the program does: its string source
// over the shared table.
#ifndef KYT_TESTS_KYTFUZZY_EDITORSTRINGS_H
#define KYT_TESTS_KYTFUZZY_EDITORSTRINGS_H

#include <gtest/gtest.h>

void useEditorStrings();
void useSharedStrings();

class EditorStringsTest : public ::testing::Test {
protected:
    void SetUp() override { useEditorStrings(); }
    void TearDown() override { useSharedStrings(); }
};

#endif
