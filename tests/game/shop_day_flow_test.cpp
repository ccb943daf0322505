// A shop day played through the real game's controls only: the title's
// menu, then the pad on the shop floor, the shop menu, the counter and the
// day report. Nothing of the running game is written by the test; the saved
// game it continues is a file in the game folder, as a player's would be.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "engine/device.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/math.h"
#include "field/field_state.h"
#include "engine/save_file.h"
#include "engine/story_flags.h"
#include "platform/audio.h"
#include "platform/file_requests.h"
#include "platform/window.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "story/story.h"
#include "story/story_state.h"
#include "tests/harness/buttons.h"
#include "tests/harness/harness.h"
#include "tests/harness/saved_game.h"
#include "tests/harness/tick_observer.h"
#include "platform/profile.h"

namespace {


constexpr uint32_t SEED = 20240611;
constexpr uint32_t DEAL_SEED = 20240612;

// Whether a point a little above the ground at `at` lies inside the field
// camera's view (its field of view and the 4:3 screen).
bool inFieldView(const Vector3& at) {
    Vector3 f = {gFieldCamera.cameraTarget.x - gFieldCamera.cameraEye.x, gFieldCamera.cameraTarget.y - gFieldCamera.cameraEye.y, gFieldCamera.cameraTarget.z - gFieldCamera.cameraEye.z};
    float fl = sqrtf(f.x * f.x + f.y * f.y + f.z * f.z);
    f = {f.x / fl, f.y / fl, f.z / fl};
    Vector3 r = {-f.z, 0.0f, f.x};   // f x up, level
    float rl = sqrtf(r.x * r.x + r.z * r.z);
    r = {r.x / rl, 0.0f, r.z / rl};
    Vector3 u = {r.y * f.z - r.z * f.y, r.z * f.x - r.x * f.z, r.x * f.y - r.y * f.x};
    Vector3 d = {at.x - gFieldCamera.cameraEye.x, at.y + 1.0f - gFieldCamera.cameraEye.y, at.z - gFieldCamera.cameraEye.z};
    float z = d.x * f.x + d.y * f.y + d.z * f.z;
    float x = d.x * r.x + d.y * r.y + d.z * r.z;
    float y = d.x * u.x + d.y * u.y + d.z * u.z;
    float t = tanf(gCamera.fov * PI / 360.0f);
    return z > 0.0f && fabsf(y) < z * t && fabsf(x) < z * t * 4.0f / 3.0f;
}

// Title: the cursor to the entry, then confirm and its flash.
void chooseTitleEntry(int32_t code) {
    for (int32_t i = 0; i < TITLE_MENU_MAX && gTitle.menuCodes[gTitle.menuCursor] != code; ++i) tapButtons(BUTTON_DOWN, 1);
    ASSERT_EQ(gTitle.menuCodes[gTitle.menuCursor], code);
    tapButtons(BUTTON_CONFIRM, TITLE_CHOICE_TICKS + TITLE_WINDOW_SLIDE);
}

bool runUntilShopFloor(int32_t limit) {
    for (int32_t t = 0; t < limit; ++t) {
        if (gGameMode == GAME_MODE_FIELD && !isSceneLoading() && gShopFloor.shopFloorState == SHOP_FLOOR_WALKING)
            return harnessPlayScenesThrough() >= 0;   // the story's scenes of the morning
        holdButtons(0, 1);
    }
    return false;
}

// At the counter, facing along -x, with the counter prompt up: confirm
// opens the shop menu, whose first entry opens the shop once it has slid in.
void openShopAtCounter() {
    holdButtons(BUTTON_LEFT, 4);
    holdButtons(0, 12);
    tapButtons(BUTTON_CONFIRM, 20);
    if (gShopFloor.shopFloorState == SHOP_FLOOR_MENU) tapButtons(BUTTON_CONFIRM, 20);
}

// A game on its first morning as the shelf lesson leaves it: shelves may be
// stocked, one sword waits in the storage.
void shelfLessonGame(GameState& game) {
    game.storyFlags[FLAG_SHELF_LESSON] = 1;
    game.storage[0] = makeItemKey(1, 0, 0);   // the sample's short sword
    game.storageCount = 1;
}

}  // namespace

// New Game from the title lands in the closed shop on day 0, and the pad
// walks the heroine as seen from across the counter: right is +x.
TEST(ShopDayFlow, NewGameFromTheTitleWalksTheShopFloor) {
    HarnessOptions options;
    options.seed = SEED;
    ASSERT_EQ(harnessBoot(options), STARTUP_OK);
    holdButtons(0, 10);
    ASSERT_EQ(gGameMode, GAME_MODE_TITLE);
    chooseTitleEntry(TITLE_NEW_GAME);
    ASSERT_TRUE(runUntilShopFloor(400));
    const GameState& game = runningGameState();
    EXPECT_EQ(game.date, 0);
    EXPECT_EQ(game.dayPhase, 0);
    EXPECT_FLOAT_EQ(gCamera.yaw, PI);

    const Vector3 start = gParty.positions[0];
    holdButtons(BUTTON_RIGHT, 10);
    EXPECT_GT(gParty.positions[0].x, start.x + 1.0f);
    EXPECT_FLOAT_EQ(gParty.facing, PI / 2.0f);
    holdButtons(BUTTON_UP, 10);
    EXPECT_LT(gParty.positions[0].z, start.z - 1.0f);
    EXPECT_FLOAT_EQ(gCamera.yaw, PI) << "the camera stays across the counter";

    // A long walk each way: the walls of the smallest shop (x -10..4, z
    // -8..10) stop her, the fairy stays by her, and the camera keeps her in
    // view in either of its views.
    const uint16_t WAYS[] = {BUTTON_RIGHT, BUTTON_DOWN, BUTTON_LEFT, BUTTON_UP, BUTTON_RIGHT | BUTTON_UP,
                             BUTTON_LEFT | BUTTON_DOWN};
    for (int32_t view = 0; view < 2; view++) {
        for (uint16_t way : WAYS) {
            holdButtons(way, 150);
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
        tapButtons(BUTTON_VIEW, 30);   // the other view
    }
    harnessShutdown();
}

// Continue the saved first morning, stock the shelf from the storage, open
// the shop at the counter, haggle with every visitor until the day's four
// phases are over, and confirm through the night's report.
TEST(ShopDayFlow, AStockedShelfADealAndTheNightsReport) {
    HarnessOptions options;
    // A seed whose buyer takes the sword at the prices this player asks.
    options.seed = DEAL_SEED;
    ASSERT_TRUE(harnessBootSavedGame(options, shelfLessonGame));
    ASSERT_TRUE(runUntilShopFloor(400));
    GameState& game = runningGameState();
    const int32_t sword = makeItemKey(1, 0, 0);
    ASSERT_EQ(game.storage[0], sword);

    // Across the shop and up beside the table, then turn to face it.
    holdButtons(BUTTON_RIGHT, 10);
    holdButtons(BUTTON_UP, 60);
    holdButtons(BUTTON_LEFT, 1);
    holdButtons(0, 3);
    ASSERT_EQ(gShopPlacement.placementCell.x, 4);
    ASSERT_EQ(gShopPlacement.placementCell.z, 3);
    tapButtons(BUTTON_CONFIRM, 20);
    ASSERT_EQ(gShopFloor.shopEditMode, 1) << "the storage list is open";
    tapButtons(BUTTON_CONFIRM, 20);
    EXPECT_EQ(gShopFloor.shopEditMode, 0);
    EXPECT_EQ(game.shelves[3][4], sword);
    EXPECT_EQ(game.storageCount, 0);
    EXPECT_EQ(game.storyFlags[FLAG_SHELVES_FULL], 1) << "the storage is empty: the lesson ends";
    EXPECT_EQ(game.storyFlags[FLAG_SHELF_LESSON], 0);

    // Back down to the counter; the shop menu's first entry opens the shop.
    holdButtons(0, 30);
    holdButtons(BUTTON_DOWN, 60);
    holdButtons(BUTTON_LEFT, 16);
    EXPECT_EQ(gParty.promptKind, 0);
    EXPECT_GT(gParty.promptFade, 0) << "the counter prompt is up";
    tapButtons(BUTTON_CONFIRM, 20);
    ASSERT_EQ(gShopFloor.shopFloorState, SHOP_FLOOR_MENU);
    tapButtons(BUTTON_CONFIRM, 30);
    ASSERT_EQ(gShopFloor.shopFloorState, SHOP_FLOOR_OPEN);
    const int32_t money = game.money;

    // The day: confirm every line, now and then lower a price; between the
    // phases walk to the counter and open again.
    int32_t deals = 0, dealPrice = 0, opened = 1, ticks = 0;
    while (gGameMode == GAME_MODE_FIELD && ticks < 20000) {
        if (gShopFloor.shopFloorState == SHOP_FLOOR_WALKING && gShopDayPhase == 0 && gParty.actionState == 0 &&
            gCounter.shopOpening == 0) {
            openShopAtCounter();
            opened += gShopFloor.shopFloorState == SHOP_FLOOR_OPEN;
            ticks += 50;
            continue;
        }
        const int32_t before = gCounter.state;
        holdButtons(ticks % 2 ? BUTTON_CONFIRM : (ticks % 8 == 2 ? BUTTON_DOWN : 0), 1);
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
    holdButtons(0, 20);
    ASSERT_EQ(gGameMode, GAME_MODE_OVERLAY);
    EXPECT_EQ(gDayReport.profit, dealPrice);
    int32_t reportTicks = 0;
    while (gGameMode == GAME_MODE_OVERLAY && reportTicks < 2000) {
        holdButtons(reportTicks % 2 ? BUTTON_CONFIRM : 0, 1);
        ++reportTicks;
    }
    ASSERT_EQ(gGameMode, GAME_MODE_FIELD);
    EXPECT_EQ(game.date, 1);
    EXPECT_EQ(game.dayPhase, 0);
    harnessShutdown();
}

namespace {

// Ticks with nothing held until the condition holds; a story scene that runs
// meanwhile is confirmed through. False when it never held.
bool playUntil(bool (*done)(), int32_t limit) {
    for (int32_t t = 0; t < limit; ++t) {
        if (done()) return true;
        holdButtons(gEventReady != 0 && t % 2 == 0 ? BUTTON_CONFIRM : 0, 1);
    }
    return done();
}

// The whole first day of a New Game by the pad: the shop's opening scenes,
// out through the door to the town, the guild's first visit and a purchase,
// back home to the stocking lesson, a stocked shelf, the counter's lessons
// with the day's visitors, the story's first evening and the next day's
// trade, the night's report and the next morning.
void playANewGamesFirstDay() {
    holdButtons(0, 10);
    chooseTitleEntry(TITLE_NEW_GAME);
    ASSERT_TRUE(runUntilShopFloor(400));
    GameState& game = runningGameState();
    EXPECT_EQ(game.storyFlags[16], 1);
    EXPECT_EQ(game.storyFlags[17], 1);
    EXPECT_EQ(game.storageCount, 0) << "nothing to sell yet";

    // Out through the door on the right wall.
    ASSERT_TRUE(walkTo(2.9f, -3.4f, 0.3f)) << gParty.positions[0].x << ", " << gParty.positions[0].z;
    holdButtons(BUTTON_RIGHT, 4);
    holdButtons(0, 4);
    tapButtons(BUTTON_CONFIRM, 2);
    ASSERT_TRUE(playUntil([] { return gGameMode == GAME_MODE_WORLD_MAP && !isSceneLoading(); }, 300));

    // The town: only the merchants' guild is marked; right of the shop.
    EXPECT_EQ(gWorldMap.placeState[TOWN_PLACE_MERCHANTS_GUILD], PLACE_MARKED);
    EXPECT_EQ(gWorldMap.placeState[TOWN_PLACE_MARKET], PLACE_CLOSED);
    holdButtons(0, WORLD_MAP_CHOICE_TICKS + 2);
    tapButtons(BUTTON_RIGHT, 2);
    ASSERT_EQ(gWorldMap.cursorPlace, TOWN_PLACE_MERCHANTS_GUILD);
    tapButtons(BUTTON_CONFIRM, 2);
    ASSERT_TRUE(playUntil([] { return gGameMode == GAME_MODE_MARKET && !isSceneLoading(); }, 300));

    // The guild's first visit plays its scene; then buy three of the first ware.
    ASSERT_TRUE(playUntil([] { return runningGameState().storyFlags[20] == 1 && gEventReady == 0; }, 3000));
    holdButtons(0, 20);
    tapButtons(BUTTON_CONFIRM, MARKET_OPEN_FRAMES + ITEM_LIST_SLIDE_TICKS + 1);
    ASSERT_TRUE(isItemListOpen());
    const int32_t ware = getSelectedListItemKey();
    const int32_t unit = marketBuyPrice(ware);
    tapButtons(BUTTON_CONFIRM, ITEM_LIST_FLASH_TICKS + 2);
    ASSERT_EQ(gMarket.screen, MARKET_SCREEN_QUANTITY);
    holdButtons(0, 4);
    tapButtons(BUTTON_UP, 1);
    tapButtons(BUTTON_UP, 1);
    const int32_t moneyBefore = game.money;
    tapButtons(BUTTON_CONFIRM, 12);
    EXPECT_EQ(game.money, moneyBefore - 3 * unit);
    EXPECT_EQ(game.storageCount, 3);
    EXPECT_EQ(game.storyFlags[21], 1);

    // Leaving the first time plays the guild's parting scene with its gift.
    tapButtons(BUTTON_CANCEL, 2);
    ASSERT_EQ(gMarket.screen, MARKET_SCREEN_MENU);
    tapButtons(BUTTON_CANCEL, 2);
    ASSERT_TRUE(playUntil([] { return gGameMode == GAME_MODE_WORLD_MAP && !isSceneLoading(); }, 3000));
    EXPECT_EQ(game.storyFlags[74], 1);
    EXPECT_EQ(game.storageCount, 4) << "the guild's gift";
    EXPECT_EQ(gWorldMap.placeState[TOWN_PLACE_SHOP], PLACE_MARKED) << "home now";

    // Home: the stocking lesson's scene, then every stored item onto a shelf.
    holdButtons(0, WORLD_MAP_CHOICE_TICKS + 2);
    tapButtons(BUTTON_DOWN, 2);   // from the guild down past its second cell
    ASSERT_EQ(gWorldMap.cursorPlace, TOWN_PLACE_SHOP);
    tapButtons(BUTTON_CONFIRM, 2);
    ASSERT_TRUE(playUntil([] { return gGameMode == GAME_MODE_FIELD && !isSceneLoading(); }, 300));
    ASSERT_TRUE(playUntil([] { return runningGameState().storyFlags[FLAG_SHELF_LESSON] == 1 && gEventReady == 0; }, 3000));
    // Each spot is reached by its way round the middle table (x -4..0, z
    // -2..2): down the right side and along the back.
    struct Spot {
        float way[3][2];
        uint16_t face;
    };
    const Spot SPOTS[] = {
        {{{1.2f, 4.0f}, {1.2f, -4.0f}, {-5.0f, -4.6f}}, BUTTON_UP},   // the window row: the back table
        {{{1.2f, -4.0f}, {1.2f, -1.0f}, {1.2f, -1.0f}}, BUTTON_LEFT},
        {{{1.2f, 1.0f}, {1.2f, 1.0f}, {1.2f, 1.0f}}, BUTTON_LEFT},
        {{{1.2f, -4.0f}, {-6.0f, -4.0f}, {-6.0f, -1.0f}}, BUTTON_RIGHT},
        {{{-6.0f, 1.0f}, {-6.0f, 1.0f}, {-6.0f, 1.0f}}, BUTTON_RIGHT},
    };
    for (const Spot& spot : SPOTS) {
        if (game.storageCount == 0) break;
        for (const auto& way : spot.way) ASSERT_TRUE(walkTo(way[0], way[1], 0.3f)) << way[0] << ", " << way[1];
        tapButtons(spot.face, 3);
        ASSERT_GE(gShopPlacement.placementCell.x, 0) << "a shelf cell in front";
        const int32_t stored = game.storageCount;
        const ShopCellPos cell = gShopPlacement.placementCell;
        tapButtons(BUTTON_CONFIRM, 20);
        ASSERT_EQ(gShopFloor.shopEditMode, 1) << "the storage list is open";
        tapButtons(BUTTON_CONFIRM, 20);
        EXPECT_EQ(gShopFloor.shopEditMode, 0);
        EXPECT_EQ(game.storageCount, stored - 1);
        EXPECT_NE(game.shelves[cell.z][cell.x], ITEM_KEY_NONE);
        ASSERT_GE(harnessPlayScenesThrough(), 0) << "a lesson's scene";
    }
    EXPECT_EQ(game.storyFlags[FLAG_FRONT_ROW_STOCKED], 1);
    EXPECT_EQ(game.storageCount, 0);
    EXPECT_EQ(game.storyFlags[FLAG_SHELVES_FULL], 1) << "the lesson ends";
    // Its closing scene, then to the counter behind the table.
    ASSERT_TRUE(playUntil([] { return runningGameState().storyFlags[FLAG_COUNTER_LESSONS] == 1 && gEventReady == 0; }, 3000));
    ASSERT_TRUE(walkTo(gParty.positions[0].x, -4.0f, 0.3f));
    ASSERT_TRUE(walkTo(1.2f, -4.0f, 0.3f));
    ASSERT_TRUE(walkTo(1.2f, 8.0f, 0.3f));
    ASSERT_TRUE(walkTo(-0.5f, 8.0f, 0.3f));
    holdButtons(BUTTON_LEFT, 4);
    holdButtons(0, 12);
    EXPECT_GT(gParty.promptFade, 0) << "the counter prompt is up";
    tapButtons(BUTTON_CONFIRM, 30);
    ASSERT_EQ(gShopFloor.shopFloorState, SHOP_FLOOR_OPEN) << "the counter's lessons open the shop";
    EXPECT_EQ(game.storyFlags[FLAG_STORY_TUTORIAL], 1);

    // The day: confirm every line and scene, now and then lower a price;
    // between the phases walk back to the counter and open again.
    const int32_t moneyAtOpening = game.money;
    int32_t deals = 0, ticks = 0;
    while (gGameMode == GAME_MODE_FIELD && ticks < 6000) {
        if (gEventReady == 0 && gShopFloor.shopFloorState == SHOP_FLOOR_WALKING && gShopDayPhase == 0 && gParty.actionState == 0 &&
            gCounter.shopOpening == 0) {
            openShopAtCounter();
            ticks += 50;
            continue;
        }
        const int32_t before = gCounter.state;
        uint16_t buttons = ticks % 2 ? BUTTON_CONFIRM : (ticks % 8 == 2 ? BUTTON_DOWN : 0);
        if (game.storyFlags[FLAG_STORY_TUTORIAL] && gCounter.state == COUNTER_PRICE_ENTRY) {
            // The lessons turn away a price far below the worth, and their
            // visitors give up after a few rounds: come down to the
            // visitor's offer, never below the lessons' limit.
            const int32_t floorPrice = gCounter.basePrice * 4 / 5 + 1;
            const int32_t target = gCounter.offer > floorPrice ? gCounter.offer : floorPrice;
            const int32_t digit = gCounter.counterPrice - 10 >= target ? 1 : 0;   // tens, then ones
            if (ticks % 2) buttons = 0;
            else if (gCounter.counterPrice <= target) buttons = BUTTON_CONFIRM;
            else if (gCounter.digitCursor > digit) buttons = BUTTON_RIGHT;
            else if (gCounter.digitCursor < digit) buttons = BUTTON_LEFT;
            else buttons = BUTTON_DOWN;
        }
        holdButtons(buttons, 1);
        ++ticks;
        if (before == COUNTER_DEAL && gCounter.state == COUNTER_THANKS) ++deals;
    }
    ASSERT_EQ(gGameMode, GAME_MODE_OVERLAY) << "the night ends with the report; " << ticks << " ticks";
    EXPECT_EQ(game.dayPhase, 4);
    EXPECT_GE(deals, 3);
    EXPECT_EQ(game.storyFlags[FLAG_STORY_TUTORIAL], 0) << "the lessons end with their phase";
    EXPECT_GT(game.money, moneyAtOpening) << "the later phases' deals are paid";

    // The report counts up; confirms end the day into the next morning.
    // The lessons' day went on into the story's first evening and the
    // next morning's trade (its scenes move the date on by one).
    const int32_t reportDate = game.date;
    EXPECT_EQ(reportDate, 1);
    holdButtons(0, 20);
    ASSERT_EQ(gGameMode, GAME_MODE_OVERLAY);
    EXPECT_EQ(gDayReport.profit, game.money - game.dayStartMoney);
    int32_t reportTicks = 0;
    while (gGameMode == GAME_MODE_OVERLAY && reportTicks < 2000) {
        holdButtons(reportTicks % 2 ? BUTTON_CONFIRM : 0, 1);
        ++reportTicks;
    }
    ASSERT_TRUE(playUntil([] { return gGameMode == GAME_MODE_FIELD && !isSceneLoading(); }, 400));
    EXPECT_EQ(game.date, reportDate + 1);
    EXPECT_EQ(game.dayPhase, 0);
}

}  // namespace

TEST(ShopDayFlow, ANewGamesFirstDayThroughTheTownToTheNightsReport) {
    HarnessOptions options;
    options.seed = SEED;
    ASSERT_EQ(harnessBoot(options), STARTUP_OK);
    playANewGamesFirstDay();
    EXPECT_EQ(gHeadlessMessageBoxes.total, 0) << "no file was missing on the way";
    harnessShutdown();
}

namespace {

// The story scenes a run starts, in order, with the game mode they play over.
struct SceneSeen {
    int32_t major, minor, mode;
};
std::vector<SceneSeen> sScenesSeen;
bool sInScene = false;

void noteScene() {
    bool in = gEventReady != 0;
    if (in && !sInScene) sScenesSeen.push_back({gEventNumber.major, gEventNumber.minor, gGameMode});
    sInScene = in;
}

// A scene script's background and first message line.
struct SceneText {
    std::string background, firstLine;
};
SceneText sceneText(int32_t major, int32_t minor) {
    char path[256];
    snprintf(path, sizeof path, "%s/sampledata/iv/iv%d_%d.ivt", TOLLI_SOURCE_DIR, major, minor);
    std::ifstream in(path, std::ios::binary);
    SceneText t;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (t.background.empty() && line.rfind("bgset:", 0) == 0) t.background = line.substr(6);
        if (t.firstLine.empty() && line.rfind("msg:", 0) == 0) t.firstLine = line.substr(line.find(':', 4) + 1);
    }
    return t;
}

}  // namespace

// The same day with the sound device open, so every voice, effect and
// tune is loaded as a player's game loads it: every file asked for, packed
// or loose, is there, and no box tells of one missing.
TEST(SampleData, ANewGamesFirstDayWithSoundFindsEveryFileItAsksFor) {
    HarnessOptions options;
    options.seed = SEED;
    options.audio = &AUDIO_HEADLESS;
    fileRequestsRecord(true);
    sScenesSeen.clear();
    sInScene = false;
    harnessObserveFrames(noteScene);
    ASSERT_EQ(harnessBoot(options), STARTUP_OK);
    playANewGamesFirstDay();
    harnessObserveFrames(nullptr);
    fileRequestsRecord(false);
    std::string missing;
    int32_t voices = 0;
    for (int32_t i = 0; i < fileRequestKept(); ++i) {
        FileRequest r = fileRequestAt(i);
        if (!r.found) missing += std::string("\n  ") + r.path;
        if (strncmp(r.path, "bin/se/", 7) == 0) ++voices;
    }
    EXPECT_LE(fileRequestTotal(), FILE_REQUEST_MAX) << "every request kept";
    EXPECT_EQ(missing, "");
    EXPECT_GE(voices, 10) << "the voices were loaded";
    for (int32_t i = 0; i < gHeadlessMessageBoxes.count; ++i)
        ADD_FAILURE() << gHeadlessMessageBoxes.boxes[i].caption << ": " << gHeadlessMessageBoxes.boxes[i].text;
    harnessShutdown();

    // The first days' scenes, in the story's order, each written for the
    // place it plays in: the shop's scenes over the shop, the guild's over
    // the guild, each opening with its own first line.
    struct Expected {
        int32_t major, minor, mode;
        const char* firstLine;
    };
    const Expected STORY[] = {
        {1, 1, GAME_MODE_FIELD, "So this is the shop"},         {1, 2, GAME_MODE_FIELD, "First things first"},
        {1, 3, GAME_MODE_MARKET, "Welcome to the merchants'"},  {1, 16, GAME_MODE_MARKET, "Off already?"},
        {1, 4, GAME_MODE_FIELD, "Back home!"},                  {1, 5, GAME_MODE_FIELD, "Well done! The window row"},
        {1, 6, GAME_MODE_FIELD, "Every shelf is stocked!"},     {1, 7, GAME_MODE_FIELD, "Customers look at the shelves"},
        {1, 8, GAME_MODE_FIELD, "Evening already."},            {2, 1, GAME_MODE_FIELD, "Each night we count"},
        {2, 2, GAME_MODE_FIELD, "Remember, the guild wants"},   {2, 3, GAME_MODE_FIELD, "Time to sleep."},
        {2, 5, GAME_MODE_FIELD, "Good morning!"},               {2, 6, GAME_MODE_FIELD, "Adventurers shop here too."},
    };
    ASSERT_EQ(sScenesSeen.size(), std::size(STORY));
    for (size_t i = 0; i < std::size(STORY); ++i) {
        const Expected& want = STORY[i];
        const SceneSeen& got = sScenesSeen[i];
        SCOPED_TRACE(std::to_string(want.major) + "_" + std::to_string(want.minor));
        EXPECT_EQ(got.major, want.major);
        EXPECT_EQ(got.minor, want.minor);
        EXPECT_EQ(got.mode, want.mode);
        SceneText t = sceneText(got.major, got.minor);
        EXPECT_EQ(t.background, got.mode == GAME_MODE_MARKET ? "bmp/ivent/bg_guild.bmp" : "bmp/ivent/bg_mise.bmp");
        EXPECT_EQ(t.firstLine.rfind(want.firstLine, 0), 0u) << t.firstLine;
    }
}
