// The town map: the place states worked out on entry, the cursor's moves
// over the grid, and the drawing on the recording device.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/dialogs.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/story_flags.h"
#include "story/place_events.h"
#include "story/world_map.h"
#include "tests/engine/font_draw_rig.h"

namespace {

class WorldMapPlaces : public ::testing::Test {
protected:
    void SetUp() override {
        resetSaveState();
        resetWorldMapState();
        resetDialogState();
        parsePlaceEventRules("", 0);
        GameState& g = runningGameState();
        g.playMode = PLAY_MODE_STORY;
        g.date = 0;
        g.dayPhase = 0;
    }
    void TearDown() override {
        parsePlaceEventRules("", 0);
        resetWorldMapState();
        resetDialogState();
        resetSaveState();
    }
    // The states as a line: one digit a place.
    static std::string states() {
        prepareWorldMapPlaces();
        std::string s;
        for (int32_t state : gWorldMap.placeState) s += (char)('0' + state);
        return s;
    }
};

struct StateCase {
    const char* what;
    int32_t date, phase;
    std::vector<int32_t> flags;
    int32_t townVisited;
    const char* want;   // places 0..6: 0 closed, 1 open, 2 marked
    int32_t guildLabel;
};
const StateCase STATE_CASES[] = {
    {"a morning: tavern shut", 0, 0, {}, 0, "1111011", 0},
    {"an evening", 0, 2, {}, 0, "1111111", 0},
    {"an evening after a visit: guild shut", 0, 2, {}, 1, "1111110", 0},
    {"a night", 0, 3, {}, 0, "1011100", 0},
    {"the first outing: only the merchants' guild", 0, 0, {FLAG_FIRST_OUTING}, 0, "0002000", 0},
    {"the story waits in the shop", 0, 1, {40}, 0, "2000000", 0},
    {"flag 25 wins over flag 40", 0, 0, {FLAG_FIRST_OUTING, 40}, 0, "0002000", 0},
    {"day 4: the adventurers' guild rests", 3, 0, {}, 0, "1111010", 1},
    {"day 11 too", 10, 2, {}, 0, "1111110", 1},
    {"day 4, but the story calls the guild at noon", 3, 1, {52}, 0, "1111012", 0},
    {"the story calls, but it is night", 0, 3, {52}, 0, "1011100", 0},
    {"the story calls in the evening before a visit", 0, 2, {52}, 0, "1111112", 0},
};

}   // namespace

TEST_F(WorldMapPlaces, StatesFollowFlagsWeekdayAndPhase) {
    for (const StateCase& c : STATE_CASES) {
        GameState& g = runningGameState();
        for (uint8_t& f : g.storyFlags) f = 0;
        for (int32_t f : c.flags) g.storyFlags[f] = 1;
        g.date = c.date;
        g.dayPhase = c.phase;
        g.townVisited = c.townVisited;
        EXPECT_EQ(states(), c.want) << c.what;
        EXPECT_EQ(gWorldMap.closedLabel[TOWN_PLACE_ADVENTURERS_GUILD], c.guildLabel) << c.what;
        EXPECT_EQ(gWorldMap.worldMapListCount, WORLD_MAP_PLACE_COUNT);
        for (int32_t p = 0; p < WORLD_MAP_PLACE_COUNT; ++p) EXPECT_EQ(gWorldMap.listedPlaces[p], p);
    }
}

TEST_F(WorldMapPlaces, WaitingPlaceEventsMarkOpenPlacesUnlessSurvival) {
    // A rule at every place with a table, at every phase.
    const char RULES[] = "1-1:80:-:-:-:\x92\xa9\x96\xe9:0:1-999:\n"
                         "\x8e\x73\x8f\xea\n1-2:81:-:-:-:\x92\xa9\x96\xe9:0:1-999:\n"
                         "\x8b\xb3\x89\xef\n1-3:82:-:-:-:\x92\xa9\x96\xe9:0:1-999:\n"
                         "\x8e\xf0\x8f\xea\n1-4:83:-:-:-:\x92\xa9\x96\xe9:0:1-999:\n";
    parsePlaceEventRules(RULES, (int32_t)sizeof RULES - 1);
    EXPECT_EQ(states(), "1221021") << "morning: the tavern is shut, so not marked";
    runningGameState().dayPhase = 3;
    EXPECT_EQ(states(), "1021200") << "night: market and church shut";
    // Marking only asks: nothing is consumed.
    EXPECT_EQ(runningGameState().storyFlags[0x80], 0);
    EXPECT_EQ(runningGameState().storyFlags[FLAG_PLACE_DONE_FIRST], 0);
    // A place done for this phase is no longer marked.
    runningGameState().dayPhase = 2;
    int32_t major = 0, minor = 0;
    ASSERT_EQ(findPlaceEvent(TOWN_PLACE_MARKET, &major, &minor, 1), 1);
    EXPECT_EQ(states(), "1121221");
    runningGameState().playMode = PLAY_MODE_SURVIVAL;
    EXPECT_EQ(states(), "1111111") << "survival marks nothing";
}

struct CursorCase {
    int32_t from;
    uint16_t button;
    int32_t want;   // -1: no move
};
const CursorCase CURSOR_CASES[] = {
    {TOWN_PLACE_MERCHANTS_GUILD, BUTTON_RIGHT, TOWN_PLACE_MARKET},   // wraps round its row
    {TOWN_PLACE_SHOP, BUTTON_RIGHT, TOWN_PLACE_MERCHANTS_GUILD},
    {TOWN_PLACE_SHOP, BUTTON_LEFT, TOWN_PLACE_MARKET},
    {TOWN_PLACE_SHOP, BUTTON_UP, TOWN_PLACE_PLAZA},
    {TOWN_PLACE_SHOP, BUTTON_DOWN, TOWN_PLACE_CHURCH},               // past the empty cells, wrapping
    {TOWN_PLACE_PLAZA, BUTTON_DOWN, TOWN_PLACE_SHOP},
    {TOWN_PLACE_CHURCH, BUTTON_UP, TOWN_PLACE_SHOP},                 // up through the empty top row
    {TOWN_PLACE_TAVERN, BUTTON_LEFT, TOWN_PLACE_ADVENTURERS_GUILD},
    {TOWN_PLACE_ADVENTURERS_GUILD, BUTTON_RIGHT, TOWN_PLACE_TAVERN},
    {TOWN_PLACE_MARKET, BUTTON_DOWN, TOWN_PLACE_SHOP},
    {TOWN_PLACE_MARKET, BUTTON_UP, TOWN_PLACE_TAVERN},
    {TOWN_PLACE_MERCHANTS_GUILD, BUTTON_UP, TOWN_PLACE_ADVENTURERS_GUILD},
    {TOWN_PLACE_SHOP, BUTTON_LEFT | BUTTON_UP, TOWN_PLACE_MARKET},   // left comes first
    {TOWN_PLACE_SHOP, BUTTON_CONFIRM, -1},
};

TEST_F(WorldMapPlaces, TheCursorMovesOverTheGridAndWraps) {
    prepareWorldMapPlaces();
    for (const CursorCase& c : CURSOR_CASES) {
        setWorldMapPlace(c.from);
        setPointerPosition(0.0f, 0.0f);
        gInputState[0].repeat = c.button;
        moveWorldMapCursor(0);
        int32_t want = c.want < 0 ? c.from : c.want;
        EXPECT_EQ(getWorldMapPlace(), want) << "from " << c.from << " buttons " << c.button;
        float x = 0.0f, y = 0.0f;
        getPointerPosition(&x, &y);
        float wantX = c.want < 0 ? 0.0f : (float)(WORLD_MAP_PLACES[want].x - 16);
        float wantY = c.want < 0 ? 0.0f : (float)(WORLD_MAP_PLACES[want].y + 28);
        EXPECT_FLOAT_EQ(x, wantX) << "from " << c.from << " buttons " << c.button;
        EXPECT_FLOAT_EQ(y, wantY) << "from " << c.from << " buttons " << c.button;
    }
    // The small map's pointer target is scaled with it.
    setWorldMapPlace(TOWN_PLACE_SHOP);
    gInputState[0].repeat = BUTTON_UP;
    moveWorldMapCursor(1);
    float x = 0.0f, y = 0.0f;
    getPointerPosition(&x, &y);
    EXPECT_FLOAT_EQ(x, (230.0f - 16.0f) * 0.7f);
    EXPECT_FLOAT_EQ(y, (276.0f + 28.0f) * 0.7f);
    gInputState[0].repeat = 0;
    clearWorldMapPlace();
    EXPECT_EQ(getWorldMapPlace(), TOWN_PLACE_SHOP);
}

// --- drawing -----------------------------------------------------------------------

namespace {

class WorldMapDrawing : public WorldMapPlaces {
protected:
    void SetUp() override {
        WorldMapPlaces::SetUp();
        rig.open(true);
        ASSERT_NE(rig.capture, nullptr);
        for (int32_t i = 0; i < 3; ++i) {
            saved[i] = gScenePictures[i];
            maps[i] = makeSheet(gScenePictures[i], 1024, 512);
        }
        saved[3] = gScenePicture;
        icons = makeSheet(gScenePicture, 256, 1024);
    }
    void TearDown() override {
        for (int32_t i = 0; i < 3; ++i) gScenePictures[i] = saved[i];
        gScenePicture = saved[3];
        for (GfxTexture* t : {maps[0], maps[1], maps[2], icons}) rig.capture->releaseTexture(t);
        rig.close();
        gTimeOfDay = 0.0f;
        WorldMapPlaces::TearDown();
    }
    GfxTexture* makeSheet(TextureSlot& slot, int32_t w, int32_t h) { return rig.makeSheet(slot, w, h); }
    std::vector<DrawnQuad> quadsOn(GfxTexture* t) const { return rig.quadsOn(t); }
    FontDrawRig rig;
    TextureSlot saved[4];
    GfxTexture* maps[3] = {};
    GfxTexture* icons = nullptr;
};

}   // namespace

TEST_F(WorldMapDrawing, IconsShowStateAndCursorAndTheClosedLabel) {
    GameState& g = runningGameState();
    g.date = 3;   // the adventurers' guild rests
    prepareWorldMapPlaces();
    setWorldMapPlace(TOWN_PLACE_CHURCH);
    gWorldMap.clock = 0.0f;
    drawWorldMapPanel(1.0f);
    std::vector<DrawnQuad> drawn = quadsOn(icons);
    ASSERT_EQ(drawn.size(), (size_t)WORLD_MAP_PLACE_COUNT);
    for (int32_t p = 0; p < WORLD_MAP_PLACE_COUNT; ++p) {
        const DrawnQuad& q = drawn[p];
        const WorldMapPlace& place = WORLD_MAP_PLACES[p];
        bool cursor = p == TOWN_PLACE_CHURCH;
        EXPECT_EQ(q.colorOp, (uint32_t)GFX_TOP_ADDSIGNED) << p;
        EXPECT_NEAR((q.left + q.right) / 2.0f, (float)place.x + 90.0f, 1.0f) << p;
        EXPECT_NEAR((q.top + q.bottom) / 2.0f, (float)place.y + 28.0f, 1.0f) << p;
        EXPECT_NEAR(q.right - q.left, cursor ? 180.0f : 144.0f, 1.0f) << p;
        EXPECT_EQ(q.argb >> 24, cursor ? 255u : 200u) << p;
        uint32_t grey = q.argb & 0xFF;
        uint32_t wantGrey = p == TOWN_PLACE_TAVERN || p == TOWN_PLACE_ADVENTURERS_GUILD ? 64u : 127u;
        EXPECT_EQ(grey, wantGrey) << p;
        EXPECT_NEAR(q.vTop * 1024.0f, 56.0f * (float)place.iconCell, 0.5f) << p;
    }
    // "Closed" is written once, in red glyphs.
    int32_t red = 0;
    for (const DrawnQuad& q : rig.capture->quads)
        if (q.argb == 0xFFFF3737u) ++red;
    EXPECT_EQ(red, 6);

    // A marked place pulses above the open grey.
    rig.capture->quads.clear();
    g.storyFlags[FLAG_FIRST_OUTING] = 1;
    prepareWorldMapPlaces();
    gWorldMap.clock = 10.0f;
    drawWorldMapPanel(1.0f);
    drawn = quadsOn(icons);
    ASSERT_EQ(drawn.size(), (size_t)WORLD_MAP_PLACE_COUNT);
    EXPECT_EQ(drawn[TOWN_PLACE_MERCHANTS_GUILD].argb & 0xFF, 143u + (uint32_t)(int32_t)(16.0f * std::sin(1.5f)));
}

TEST_F(WorldMapDrawing, TheEveningPictureFadesInOverTheDay) {
    GameState& g = runningGameState();
    g.dayPhase = 2;
    gTimeOfDay = 1.5f;
    prepareWorldMapPlaces();
    drawWorldMapPanel(0.7f);
    std::vector<DrawnQuad> day = quadsOn(maps[0]), evening = quadsOn(maps[1]);
    ASSERT_EQ(day.size(), 1u);
    ASSERT_EQ(evening.size(), 1u);
    EXPECT_EQ(day[0].argb >> 24, 255u);
    EXPECT_EQ(evening[0].argb >> 24, 127u) << "half way from noon to the evening";
    EXPECT_NEAR(day[0].right, 640.0f * 0.7f, 1.0f) << "the background is scaled";
    EXPECT_NEAR(evening[0].bottom, 480.0f * 0.7f, 1.0f);
    EXPECT_TRUE(quadsOn(maps[2]).empty());
    // The icons keep their size on the small map.
    EXPECT_NEAR(quadsOn(icons)[1].right - quadsOn(icons)[1].left, 144.0f, 1.0f);
}
