// The show calls of start-up: whatever the launching program passed, the
// stored state is where the window ends up; Windows replaces the first
// call's command by the launch's.
#include "framework/StartupShow.h"

#include <gtest/gtest.h>

namespace {
using tov::StoredShow;
using Calls = std::vector<int>;

TEST(StartupShowTest, TheStoredStateIsShownAgainWhereTheLaunchCommandWouldLeaveAnother) {
    struct Row {
        StoredShow stored;
        std::optional<int> launch;
        Calls calls;
    };
    const Row rows[] = {
        {StoredShow::Maximized, std::nullopt, {SW_SHOW}},
        {StoredShow::Maximized, SW_SHOWMAXIMIZED, {SW_SHOW}},
        {StoredShow::Maximized, SW_SHOW, {SW_SHOW}},
        {StoredShow::Maximized, SW_SHOWNA, {SW_SHOW}},
        {StoredShow::Maximized, SW_SHOWNORMAL, {SW_SHOW, SW_SHOWMAXIMIZED}},
        {StoredShow::Maximized, SW_RESTORE, {SW_SHOW, SW_SHOWMAXIMIZED}},
        {StoredShow::Maximized, SW_SHOWMINNOACTIVE, {SW_SHOW, SW_SHOWMAXIMIZED}},
        {StoredShow::Maximized, SW_HIDE, {SW_SHOW, SW_SHOWMAXIMIZED}},
        {StoredShow::Maximized, SW_SHOWDEFAULT, {SW_SHOW, SW_SHOWMAXIMIZED}},
        {StoredShow::Normal, SW_SHOWNORMAL, {SW_SHOW}},
        {StoredShow::Normal, SW_SHOWNOACTIVATE, {SW_SHOW}},
        {StoredShow::Normal, SW_SHOWMAXIMIZED, {SW_SHOW, SW_SHOWNORMAL}},
        {StoredShow::Normal, SW_SHOWMINIMIZED, {SW_SHOW, SW_SHOWNORMAL}},
        // Nothing stored: the launch's command is the user's choice (a
        // shortcut set to open maximized).
        {StoredShow::None, SW_SHOWMAXIMIZED, {SW_SHOW}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(tov::StartupShowCalls(row.stored, row.launch), row.calls)
            << "stored " << static_cast<int>(row.stored) << ", launch " << row.launch.value_or(-1);
}

TEST(StartupShowTest, AMinimizedPlacementOpensInTheStateItRestoresTo) {
    EXPECT_EQ(tov::StoredShowOf(SW_SHOWMAXIMIZED, 0), StoredShow::Maximized);
    EXPECT_EQ(tov::StoredShowOf(SW_SHOWNORMAL, WPF_RESTORETOMAXIMIZED), StoredShow::Normal);
    EXPECT_EQ(tov::StoredShowOf(SW_SHOWMINIMIZED, WPF_RESTORETOMAXIMIZED), StoredShow::Maximized);
    EXPECT_EQ(tov::StoredShowOf(SW_SHOWMINNOACTIVE, 0), StoredShow::Normal);
}
} // namespace
