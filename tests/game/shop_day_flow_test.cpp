// A shop day played through the real game's controls only: the title's
// menu, then the pad on the shop floor, the shop menu, the counter and the
// day report. Nothing of the running game is written by the test; the saved
// game it continues is a file in the game folder, as a player's would be.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "adventurers/party.h"
#include "adventurers/shop_floor.h"
#include "adventurers/shop_grid.h"
#include "engine/device.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/math.h"
#include "field/field_camera.h"
#include "engine/save_file.h"
#include "engine/story_flags.h"
#include "platform/profile.h"
#include "shop/counter.h"
#include "shop/day_end.h"
#include "shop/item_db.h"
#include "story/title.h"
#include "tests/harness/harness.h"
#include "tests/temp_folder.h"

namespace {

constexpr float PI = 3.14159265358979323846f;

constexpr uint32_t SEED = 20240611;

void hold(uint16_t buttons, int32_t ticks) {
    InputScriptStep step{gUpdateCount, buttons};
    harnessRunTicks(ticks, &step, 1);
}

// Whether a point a little above the ground at `at` lies inside the field
// camera's view (its field of view and the 4:3 screen).
bool inFieldView(const Vector3& at) {
    Vector3 f = {gCameraTarget.x - gCameraEye.x, gCameraTarget.y - gCameraEye.y, gCameraTarget.z - gCameraEye.z};
    float fl = sqrtf(f.x * f.x + f.y * f.y + f.z * f.z);
    f = {f.x / fl, f.y / fl, f.z / fl};
    Vector3 r = {-f.z, 0.0f, f.x};   // f x up, level
    float rl = sqrtf(r.x * r.x + r.z * r.z);
    r = {r.x / rl, 0.0f, r.z / rl};
    Vector3 u = {r.y * f.z - r.z * f.y, r.z * f.x - r.x * f.z, r.x * f.y - r.y * f.x};
    Vector3 d = {at.x - gCameraEye.x, at.y + 1.0f - gCameraEye.y, at.z - gCameraEye.z};
    float z = d.x * f.x + d.y * f.y + d.z * f.z;
    float x = d.x * r.x + d.y * r.y + d.z * r.z;
    float y = d.x * u.x + d.y * u.y + d.z * u.z;
    float t = tanf(gCamera.fov * PI / 360.0f);
    return z > 0.0f && fabsf(y) < z * t && fabsf(x) < z * t * 4.0f / 3.0f;
}

void tap(uint16_t buttons, int32_t after) {
    hold(buttons, 1);
    hold(0, after);
}

// Title: the cursor to the entry, then confirm and its flash.
void chooseTitleEntry(int32_t code) {
    for (int32_t i = 0; i < TITLE_MENU_MAX && gTitle.menuCodes[gTitle.menuCursor] != code; ++i) tap(BUTTON_DOWN, 1);
    ASSERT_EQ(gTitle.menuCodes[gTitle.menuCursor], code);
    tap(BUTTON_CONFIRM, TITLE_CHOICE_TICKS + TITLE_WINDOW_SLIDE);
}

bool runUntilShopFloor(int32_t limit) {
    for (int32_t t = 0; t < limit; ++t) {
        if (gGameMode == GAME_MODE_FIELD && !isSceneLoading() && gShopFloorState == SHOP_FLOOR_WALKING)
            return harnessPlayScenesThrough() >= 0;   // the story's scenes of the morning
        hold(0, 1);
    }
    return false;
}

// At the counter, facing along -x, with the counter prompt up: confirm
// opens the shop menu, whose first entry opens the shop once it has slid in.
void openShopAtCounter() {
    hold(BUTTON_LEFT, 4);
    hold(0, 12);
    tap(BUTTON_CONFIRM, 20);
    if (gShopFloorState == SHOP_FLOOR_MENU) tap(BUTTON_CONFIRM, 20);
}

SaveImage sImage;

// A game on its first morning as the shelf lesson leaves it: shelves may be
// stocked, one sword waits in the storage.
void writeShelfLessonSave(const std::string& folder) {
    memset(&sImage, 0, sizeof sImage);
    SaveHeader& h = sImage.header;
    h.magic = SAVE_MAGIC;
    h.optionSoundLevel = 9;
    h.optionMusicLevel = 5;
    h.optionVoiceLevel = 9;
    h.optionMessageSpeed = 1;
    for (GameState& slot : sImage.slots) initNewGameState(slot);
    GameState& game = sImage.slots[0];
    game.playTicks = 1000;
    game.storyFlags[FLAG_SHELF_LESSON] = 1;
    game.storage[0] = makeItemKey(1, 0, 0);   // the sample's short sword
    game.storageCount = 1;
    for (GameState& slot : sImage.slots) slot.checksum = (int32_t)slotChecksum(slot);
    FILE* f = fopen((folder + "/save.dat").c_str(), "wb");
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(fwrite(&sImage, 1, sizeof sImage, f), sizeof sImage);
    fclose(f);
}

}  // namespace

// New Game from the title lands in the closed shop on day 0, and the pad
// walks the heroine as seen from across the counter: right is +x.
TEST(ShopDayFlow, NewGameFromTheTitleWalksTheShopFloor) {
    HarnessOptions options;
    options.seed = SEED;
    ASSERT_EQ(harnessBoot(options), STARTUP_OK);
    hold(0, 10);
    ASSERT_EQ(gGameMode, GAME_MODE_TITLE);
    chooseTitleEntry(TITLE_NEW_GAME);
    ASSERT_TRUE(runUntilShopFloor(400));
    const GameState& game = runningGameState();
    EXPECT_EQ(game.date, 0);
    EXPECT_EQ(game.dayPhase, 0);
    EXPECT_FLOAT_EQ(gCamera.yaw, PI);

    const Vector3 start = gParty.positions[0];
    hold(BUTTON_RIGHT, 10);
    EXPECT_GT(gParty.positions[0].x, start.x + 1.0f);
    EXPECT_FLOAT_EQ(gParty.facing, PI / 2.0f);
    hold(BUTTON_UP, 10);
    EXPECT_LT(gParty.positions[0].z, start.z - 1.0f);
    EXPECT_FLOAT_EQ(gCamera.yaw, PI) << "the camera stays across the counter";

    // A long walk each way: the walls of the smallest shop (x -10..4, z
    // -8..10) stop her, the fairy stays by her, and the camera keeps her in
    // view in either of its views.
    const uint16_t WAYS[] = {BUTTON_RIGHT, BUTTON_DOWN, BUTTON_LEFT, BUTTON_UP, BUTTON_RIGHT | BUTTON_UP,
                             BUTTON_LEFT | BUTTON_DOWN};
    for (int32_t view = 0; view < 2; view++) {
        for (uint16_t way : WAYS) {
            hold(way, 150);
            const Vector3& at = gParty.positions[0];
            SCOPED_TRACE(testing::Message() << "view " << view << ", buttons " << way << " at " << at.x << ", " << at.z);
            EXPECT_GE(at.x, -10.0f);
            EXPECT_LE(at.x, 4.0f);
            EXPECT_GE(at.z, -8.0f);
            EXPECT_LE(at.z, 10.0f);
            const Vector3& fairy = gParty.positions[2];   // member 2 is the fairy
            EXPECT_LT(fabsf(fairy.x - at.x) + fabsf(fairy.z - at.z), 4.0f) << "the fairy follows";
            EXPECT_TRUE(inFieldView(at)) << "she is in view";
        }
        tap(BUTTON_7, 30);   // the other view
    }
    harnessShutdown();
}

// Continue the saved first morning, stock the shelf from the storage, open
// the shop at the counter, haggle with every visitor until the day's four
// phases are over, and confirm through the night's report.
TEST(ShopDayFlow, AStockedShelfADealAndTheNightsReport) {
    TempFolder folder("shop_day_flow");
    char error[1200];
    ASSERT_TRUE(linkGameData(TOLLI_GAME_DATA_DIR, folder.path().c_str(), error, sizeof error)) << error;
    const std::string ini = folder.path() + "/tolli.ini";
    ASSERT_TRUE(profileWriteInt(ini.c_str(), "setup", "fps", 0));
    ASSERT_TRUE(profileWriteInt(ini.c_str(), "setup", "screen", 0));
    writeShelfLessonSave(folder.path());

    HarnessOptions options;
    options.seed = SEED;
    options.gameDir = folder.path().c_str();
    ASSERT_EQ(harnessBoot(options), STARTUP_OK);
    hold(0, 10);
    chooseTitleEntry(TITLE_LOAD);
    tap(BUTTON_CONFIRM, 0);   // slot 0
    ASSERT_TRUE(runUntilShopFloor(400));
    GameState& game = runningGameState();
    const int32_t sword = makeItemKey(1, 0, 0);
    ASSERT_EQ(game.storage[0], sword);

    // Across the shop and up beside the table, then turn to face it.
    hold(BUTTON_RIGHT, 10);
    hold(BUTTON_UP, 60);
    hold(BUTTON_LEFT, 1);
    hold(0, 3);
    ASSERT_EQ(gPlacementCell.x, 4);
    ASSERT_EQ(gPlacementCell.z, 3);
    tap(BUTTON_CONFIRM, 20);
    ASSERT_EQ(gShopEditMode, 1) << "the storage list is open";
    tap(BUTTON_CONFIRM, 20);
    EXPECT_EQ(gShopEditMode, 0);
    EXPECT_EQ(game.shelves[3][4], sword);
    EXPECT_EQ(game.storageCount, 0);
    EXPECT_EQ(game.storyFlags[FLAG_SHELVES_FULL], 1) << "the storage is empty: the lesson ends";
    EXPECT_EQ(game.storyFlags[FLAG_SHELF_LESSON], 0);

    // Back down to the counter; the shop menu's first entry opens the shop.
    hold(0, 30);
    hold(BUTTON_DOWN, 60);
    hold(BUTTON_LEFT, 16);
    EXPECT_EQ(gParty.promptKind, 0);
    EXPECT_GT(gParty.promptFade, 0) << "the counter prompt is up";
    tap(BUTTON_CONFIRM, 20);
    ASSERT_EQ(gShopFloorState, SHOP_FLOOR_MENU);
    tap(BUTTON_CONFIRM, 30);
    ASSERT_EQ(gShopFloorState, SHOP_FLOOR_OPEN);
    const int32_t money = game.money;

    // The day: confirm every line, now and then lower a price; between the
    // phases walk to the counter and open again.
    int32_t deals = 0, dealPrice = 0, opened = 1, ticks = 0;
    while (gGameMode == GAME_MODE_FIELD && ticks < 20000) {
        if (gShopFloorState == SHOP_FLOOR_WALKING && gShopDayPhase == 0 && gParty.actionState == 0 &&
            gCounter.shopOpening == 0) {
            openShopAtCounter();
            opened += gShopFloorState == SHOP_FLOOR_OPEN;
            ticks += 50;
            continue;
        }
        const int32_t before = gCounter.state;
        hold(ticks % 2 ? BUTTON_CONFIRM : (ticks % 8 == 2 ? BUTTON_DOWN : 0), 1);
        ++ticks;
        if (before == COUNTER_DEAL && gCounter.state == COUNTER_THANKS) {
            ++deals;
            dealPrice = gCounter.counterPrice;
            EXPECT_EQ(gCounter.itemKey, sword);
        }
    }
    ASSERT_EQ(gGameMode, GAME_MODE_OVERLAY) << "the night ends with the report; " << ticks << " ticks";
    EXPECT_EQ(deals, 1) << "the one sword is sold";
    EXPECT_GT(dealPrice, 0);
    EXPECT_EQ(game.money, money + dealPrice);
    EXPECT_EQ(game.shelves[3][4], ITEM_KEY_NONE);
    EXPECT_EQ(game.dayPhase, 4);
    EXPECT_GE(opened, 4);

    // The report counts up; confirms end the day into the next morning.
    hold(0, 20);
    ASSERT_EQ(gGameMode, GAME_MODE_OVERLAY);
    EXPECT_EQ(gDayReport.profit, dealPrice);
    int32_t reportTicks = 0;
    while (gGameMode == GAME_MODE_OVERLAY && reportTicks < 2000) {
        hold(reportTicks % 2 ? BUTTON_CONFIRM : 0, 1);
        ++reportTicks;
    }
    ASSERT_EQ(gGameMode, GAME_MODE_FIELD);
    EXPECT_EQ(game.date, 1);
    EXPECT_EQ(game.dayPhase, 0);
    harnessShutdown();
}
