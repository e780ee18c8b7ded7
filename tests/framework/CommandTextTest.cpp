// Prompts and tooltips of commands, and which prompt a highlighted menu item shows.
#include "framework/CommandText.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandTextTest, PromptAndTipSplitAtTheFirstLineFeed) {
    EXPECT_EQ(tov::PromptOf("Updates the statistics\nUpdate"), "Updates the statistics");
    EXPECT_EQ(tov::TipOf("Updates the statistics\nUpdate"), "Update");
    EXPECT_EQ(tov::PromptOf("Only a prompt"), "Only a prompt");
    EXPECT_EQ(tov::TipOf("Only a prompt"), "");
    EXPECT_EQ(tov::PromptOf("\nOnly a tip"), "");
    EXPECT_EQ(tov::TipOf("\nOnly a tip"), "Only a tip");
    EXPECT_EQ(tov::TipOf("a\nb\nc"), "b\nc");
    EXPECT_EQ(tov::PromptOf(""), "");
}

TEST(CommandTextTest, MenuItemsMapToTheirPromptStrings) {
    HMENU menu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(0x1234)); // never dereferenced
    EXPECT_EQ(tov::MenuPromptId(32771, MF_HILITE, menu), 32771u);
    EXPECT_EQ(tov::MenuPromptId(2, MF_POPUP | MF_HILITE, menu), 0u);
    EXPECT_EQ(tov::MenuPromptId(0, MF_SEPARATOR, menu), 0u);
    EXPECT_EQ(tov::MenuPromptId(0, 0xFFFF, nullptr), 0u); // the menu closed

    // System commands: one string per step of 16 from 61184.
    EXPECT_EQ(tov::MenuPromptId(SC_SIZE, MF_SYSMENU | MF_HILITE, menu), 61184u);
    EXPECT_EQ(tov::MenuPromptId(SC_MOVE, MF_SYSMENU, menu), 61185u);
    EXPECT_EQ(tov::MenuPromptId(SC_CLOSE, MF_SYSMENU, menu), 61190u);
    EXPECT_EQ(tov::MenuPromptId(SC_RESTORE, MF_SYSMENU, menu), 61202u);
    EXPECT_EQ(tov::MenuPromptId(SC_TASKLIST, MF_SYSMENU, menu), 61203u);
    EXPECT_EQ(tov::MenuPromptId(SC_MOVE | 2, MF_SYSMENU, menu), 61185u); // low bits ignored
    // Outside the block: no prompt rather than some unrelated string.
    EXPECT_EQ(tov::MenuPromptId(SC_TASKLIST + 0x10, MF_SYSMENU, menu), 0u);
    EXPECT_EQ(tov::MenuPromptId(100, MF_SYSMENU, menu), 0u);
}

} // namespace
