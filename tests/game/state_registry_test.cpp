// The state registry: every folder's state table walked in one order for
// the reset, the run checksum and a test's snapshot.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "engine/frame_loop.h"
#include "engine/save_file.h"
#include "game/state_checksum.h"
#include "game/state_registry.h"
#include "tests/harness/harness.h"
#include "tests/harness/shop_day.h"

// Each section names one row, so a diff of two runs names the row; no two
// rows share a byte, or a snapshot would put one back over the other.
TEST(StateRegistry, RowsHaveOwnNamesAndOwnBytes) {
    std::set<std::string> names;
    struct Range {
        const uint8_t* begin;
        const uint8_t* end;
        const char* row;
    };
    std::vector<Range> ranges;
    forEachStateRow([&](const StateTable& table, const StateRow& row) {
        EXPECT_TRUE(names.insert(row.name).second) << table.name << ": row name " << row.name << " is taken";
        EXPECT_TRUE(row.reset || row.hash || row.spanCount) << row.name << " does nothing";
        for (int32_t i = 0; i < row.spanCount; ++i) {
            const uint8_t* b = static_cast<const uint8_t*>(row.spans[i].bytes);
            ranges.push_back({b, b + row.spans[i].size, row.name});
        }
    });
    for (size_t i = 0; i < ranges.size(); ++i)
        for (size_t j = i + 1; j < ranges.size(); ++j)
            EXPECT_FALSE(ranges[i].begin < ranges[j].end && ranges[j].begin < ranges[i].end)
                << ranges[i].row << " and " << ranges[j].row << " share bytes";
}

// A played shop day moves the state; the snapshot taken before it puts every
// hashed word back.
TEST(StateRegistry, SnapshotRestoredAfterAPlayedDayGivesTheStateBefore) {
    HarnessOptions options;
    options.seed = 77;
    ASSERT_TRUE(harnessOpenShopDay(options));
    StateSnapshot before;
    takeStateSnapshot(before);
    const uint64_t checksum = headlessStateChecksum();
    StateSection sections[STATE_SECTION_MAX];
    const int32_t sectionCount = headlessStateSections(CHECKSUM_ALL, sections, STATE_SECTION_MAX);
    const int32_t money = runningGameState().money;

    int32_t ticks = 0;
    while (!shopDayClosed() && ticks < SHOP_DAY_MAX_TICKS) {
        InputScriptStep step{gUpdateCount, shopDayButtons(ticks)};
        harnessRunTicks(1, &step, 1);
        ticks++;
    }
    ASSERT_TRUE(shopDayClosed());
    ASSERT_NE(headlessStateChecksum(), checksum);

    restoreStateSnapshot(before);
    EXPECT_EQ(runningGameState().money, money);
    StateSection after[STATE_SECTION_MAX];
    ASSERT_EQ(headlessStateSections(CHECKSUM_ALL, after, STATE_SECTION_MAX), sectionCount);
    for (int32_t i = 0; i < sectionCount; ++i)
        EXPECT_EQ(after[i].checksum, sections[i].checksum) << "row " << sections[i].name << " was not put back";
    EXPECT_EQ(headlessStateChecksum(), checksum);
    harnessShutdown();
}

// Whatever a game in progress left in the snapshotted words, the next boot
// resets them: two boots run the same from there.
TEST(StateRegistry, ABootAfterAGameStartsAsAFreshOne) {
    ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    const uint64_t fresh = headlessStateChecksum();
    harnessShutdown();
    ASSERT_TRUE(harnessOpenShopDay(HarnessOptions{}));
    harnessRunTicks(200);
    harnessShutdown();
    ASSERT_EQ(harnessBoot(HarnessOptions{}), STARTUP_OK);
    EXPECT_EQ(headlessStateChecksum(), fresh);
    harnessShutdown();
}
