// A dungeon stage loaded by the world loader on its real thread while the
// game ticks and draws the loading sign: the stage's meshes, collision and
// floor banner arrive, and the main thread takes them over at the loader's
// end. Run under ThreadSanitizer by scripts/tsan.
#include <gtest/gtest.h>

#include "engine/frame_loop.h"
#include "engine/loaders.h"
#include "engine/stage_index.h"
#include "field/field.h"
#include "field/field_state.h"
#include "field/resources.h"
#include "platform/window.h"
#include "tests/harness/harness.h"

TEST(FieldStageLoad, TheCaveLoadsOnTheLoaderThreadWhileTheGameTicks) {
    HarnessOptions options;
    options.waitForLoaders = false;
    ASSERT_EQ(harnessBoot(options), STARTUP_OK);
    ASSERT_GE(harnessRunTicksWhile(isLoaderThreadRunning), 0);
    // The first dungeon stage of the sample (the shops of every size come first).
    int32_t cave = 0;
    while (cave < gStageCount && gStages[cave].maptype <= 0) ++cave;
    ASSERT_LT(cave, gStageCount);
    int32_t boxesBefore = gHeadlessMessageBoxes.total;
    gGameMode = GAME_MODE_FIELD;
    gStageIndex = cave;
    startWorldLoader();
    ASSERT_GE(harnessRunTicksWhile(isLoaderThreadRunning), 0);
    harnessRunTicks(1);
    EXPECT_EQ(gCurrentStage, &gStages[cave]);
    EXPECT_NE(gStageMeshes[0].vertices, nullptr);
    EXPECT_NE(gStageMeshes[STAGE_BACKGROUND_SLOT].vertices, nullptr);
    EXPECT_NE(gFloorBannerTexture.texture, nullptr);
    EXPECT_EQ(gHeadlessMessageBoxes.total, boxesBefore);
    gGameMode = GAME_MODE_TITLE;
    harnessShutdown();
}
