// The show calls of start-up: whatever the launching program passed, the
// stored state is where the window ends up.
#include "framework/StartupShow.h"

#include <gtest/gtest.h>

namespace {
using tov::StoredShow;

// A window in state `state` after ShowWindow(command), as Windows shows a
// top-level window; None for hidden or minimized.
StoredShow After(StoredShow state, int command) {
    switch (command) {
    case SW_SHOW:
    case SW_SHOWNA:
        return state;
    case SW_SHOWNORMAL:
    case SW_SHOWNOACTIVATE:
    case SW_RESTORE:
        return StoredShow::Normal;
    case SW_SHOWMAXIMIZED:
        return StoredShow::Maximized;
    default:
        return StoredShow::None;
    }
}

// The calls run as Windows runs them: the first replaced by the launch's command.
StoredShow Shown(StoredShow created, std::optional<int> launch) {
    StoredShow state = created;
    bool first = true;
    for (int command : tov::StartupShowCalls(created, launch)) {
        state = After(state, first && launch ? *launch : command);
        first = false;
    }
    return state;
}
} // namespace

TEST(StartupShowTest, TheStoredStateWinsOverTheLaunchCommand) {
    for (StoredShow stored : {StoredShow::Normal, StoredShow::Maximized}) {
        for (int launch : {SW_HIDE, SW_SHOWNORMAL, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED,
                           SW_SHOWNOACTIVATE, SW_SHOW, SW_MINIMIZE, SW_SHOWMINNOACTIVE, SW_SHOWNA,
                           SW_RESTORE, SW_SHOWDEFAULT, SW_FORCEMINIMIZE}) {
            EXPECT_EQ(Shown(stored, launch), stored)
                << "stored " << static_cast<int>(stored) << ", launch " << launch;
        }
        EXPECT_EQ(Shown(stored, std::nullopt), stored);
    }
}

TEST(StartupShowTest, OneCallWhereTheFirstCannotGoAstray) {
    using Calls = std::vector<int>;
    // Nothing stored: the launch's command is the user's choice (a shortcut
    // set to open maximized).
    EXPECT_EQ(tov::StartupShowCalls(StoredShow::None, SW_SHOWMAXIMIZED), Calls{SW_SHOW});
    EXPECT_EQ(tov::StartupShowCalls(StoredShow::Maximized, std::nullopt), Calls{SW_SHOW});
    EXPECT_EQ(tov::StartupShowCalls(StoredShow::Maximized, SW_SHOWMAXIMIZED), Calls{SW_SHOW});
    EXPECT_EQ(tov::StartupShowCalls(StoredShow::Normal, SW_SHOWNORMAL), Calls{SW_SHOW});
    EXPECT_EQ(tov::StartupShowCalls(StoredShow::Maximized, SW_SHOWNORMAL),
              (Calls{SW_SHOW, SW_SHOWMAXIMIZED}));
    EXPECT_EQ(tov::StartupShowCalls(StoredShow::Normal, SW_SHOWMAXIMIZED),
              (Calls{SW_SHOW, SW_SHOWNORMAL}));
}

TEST(StartupShowTest, AMinimizedPlacementOpensInTheStateItRestoresTo) {
    EXPECT_EQ(tov::StoredShowOf(SW_SHOWMAXIMIZED, 0), StoredShow::Maximized);
    EXPECT_EQ(tov::StoredShowOf(SW_SHOWNORMAL, WPF_RESTORETOMAXIMIZED), StoredShow::Normal);
    EXPECT_EQ(tov::StoredShowOf(SW_SHOWMINIMIZED, WPF_RESTORETOMAXIMIZED), StoredShow::Maximized);
    EXPECT_EQ(tov::StoredShowOf(SW_SHOWMINNOACTIVE, 0), StoredShow::Normal);
}
