// The field HUD: the merchant experience and money roll-up tick by tick, the
// balloon's lines and sounds, the one-shot timers and the HUD fade; and what
// the overlay draws, caught on the way to the recording device.
#include "field/hud.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/debug_text.h"
#include "engine/device.h"
#include "engine/dialogs.h"
#include "engine/frame_loop.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/screen_mapping.h"
#include "engine/sound.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"
#include "engine/text.h"
#include "field/field.h"
#include "field/game_overlay.h"
#include "field/hud_bar.h"
#include "field/hud_dungeon.h"
#include "field/hud_level_abilities.h"
#include "field/hud_shop.h"
#include "field/resources.h"
#include "game/state_registry.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "tests/engine/capturing_device.h"
#include "tests/engine/font_draw_rig.h"
#include "tests/engine/sound_effects_probe.h"

namespace {

// A fresh HUD and game record; sound marked ready with nothing loaded, so
// requested effects stay queued where the test reads them.
class HudTicks : public ::testing::Test {
protected:
    void SetUp() override {
        gSound.ready = 1;
        clearEffects();
        GameState& g = runningGameState();
        memset(&g, 0, sizeof g);
        g.levelExpNext = 100;
        resetHudGlobals();
        resetFloorStatus();
        resetShopFloorState();
        gPointer = Pointer{};
        gGameMode = GAME_MODE_FIELD;
        gCurrentStage = nullptr;
        seedRandom(1234);
    }
    static void clearEffects() { memset(gSound.effectRequests, 0, sizeof gSound.effectRequests); }

    GameStateScope state;
};

class HudExperience : public HudTicks {};
class HudMoney : public HudTicks {};
class HudBalloonText : public HudTicks {};
class HudOneShots : public HudTicks {};
class HudFade : public HudTicks {};

}  // namespace

TEST_F(HudExperience, HundredAtLevelZeroReachesLevelOneOnTheHundredthTick) {
    GameState& g = runningGameState();
    g.merchantExp = 100;
    for (int32_t tick = 1; tick < 100; ++tick) {
        tickHud();
        ASSERT_EQ(g.merchantLevel, 0) << "tick " << tick;
        ASSERT_FLOAT_EQ(gHud.expShown, static_cast<float>(tick));
    }
    tickHud();
    EXPECT_EQ(g.merchantLevel, 1);
    EXPECT_EQ(g.levelExpFloor, 100);
    EXPECT_EQ(g.levelExpNext, 250);
    EXPECT_EQ(gHud.levelUpTimer, 1);
    // The thresholds run 100, 250, 450, 700: each step 50 larger.
    g.merchantExp = 700;
    int32_t guard = 0;
    while (g.merchantLevel < 3 && ++guard < 1000) tickHud();
    EXPECT_EQ(g.levelExpNext, 700);
    EXPECT_EQ(g.levelExpFloor, 450);
}

TEST_F(HudExperience, StopsAtLevelNinetyEight) {
    GameState& g = runningGameState();
    g.merchantLevel = 98;
    g.levelExpFloor = 1000;
    g.levelExpNext = 1200;
    g.merchantExp = 5000;
    gHud.expShown = 1199.0f;
    for (int32_t i = 0; i < 5; ++i) tickHud();
    EXPECT_EQ(g.merchantLevel, 98);
    EXPECT_EQ(g.merchantExp, 1200) << "the experience stops at the threshold";
    EXPECT_FLOAT_EQ(gHud.expShown, 1200.0f);
    EXPECT_EQ(g.levelExpNext, 1200);
    EXPECT_EQ(gHud.levelUpTimer, 0) << "no level-up at the top";
}

TEST_F(HudMoney, FirstStepIsTenToFortyNineAndNeverOvershoots) {
    for (int32_t r = 0; r < 200; ++r) {
        int32_t first = stepMoneyShown(0, 1000, r);
        EXPECT_GE(first, 10) << "r " << r;
        EXPECT_LE(first, 49) << "r " << r;
        EXPECT_EQ(stepMoneyShown(1000, 0, r), 1000 - (first - 10) - 10) << "falling mirrors rising, r " << r;
    }
    // Below a difference of 100 a step may stand still (r mod 10 = 0).
    EXPECT_EQ(stepMoneyShown(950, 1000, 0), 950);
    EXPECT_EQ(stepMoneyShown(995, 1000, 9), 1000) << "clamped at the money";
    EXPECT_EQ(stepMoneyShown(5, 0, 9), 0) << "clamped at the money on the way down";

    GameState& g = runningGameState();
    for (int32_t money : {1000, 123456, 7, -2500}) {
        g.money = money;
        int32_t before = gHud.moneyShown, guard = 0;
        while (gHud.moneyShown != money && ++guard < 5000) {
            tickHud();
            if (money > before) {
                ASSERT_LE(gHud.moneyShown, money);
            } else {
                ASSERT_GE(gHud.moneyShown, money);
            }
        }
        EXPECT_EQ(gHud.moneyShown, money);
    }
}

TEST_F(HudBalloonText, OpenPlays372AndReplacePlays370) {
    openPopupMessage(100.0f, 200.0f, 0, "Hello");
    EXPECT_EQ(requestedEffects(), std::vector<int32_t>{SOUND_BALLOON});
    EXPECT_EQ(gHudBalloon.openFrames, 1);
    for (int32_t i = 0; i < 12; ++i) tickHud();
    EXPECT_EQ(gHudBalloon.shownFrames, 13);
    clearEffects();
    openPopupMessage(100.0f, 200.0f, 0, "Again");
    EXPECT_EQ(requestedEffects(), std::vector<int32_t>{SOUND_BALLOON_TEXT});
    EXPECT_EQ(gHudBalloon.shownFrames, 1) << "the text hides for ten ticks";
    EXPECT_EQ(gHudBalloon.openFrames, 13) << "the balloon keeps its size";

    closePopupMessage(1);
    for (int32_t i = 0; i < 8; ++i) tickHud();
    EXPECT_EQ(gHudBalloon.closing, 9);
    tickHud();
    EXPECT_EQ(gHudBalloon.shownFrames, 0) << "the closing takes ten ticks";
    EXPECT_EQ(gHudBalloon.openFrames, 0);
}

TEST_F(HudBalloonText, LinesAreBoundedTerminatedAndStopAtTheEnd) {
    openPopupMessage(0.0f, 0.0f, 0, "first<br>second");
    EXPECT_EQ(gHudBalloon.lineCount, 2);
    EXPECT_STREQ(gHudBalloon.lines[0], "first");
    EXPECT_STREQ(gHudBalloon.lines[1], "second");

    // Six breaks: the fifth and later lines are dropped, four stay.
    openPopupMessage(0.0f, 0.0f, 0, "a<br>b<br>c<br>d<br>e<br>f<br>g");
    EXPECT_EQ(gHudBalloon.lineCount, 4);
    EXPECT_STREQ(gHudBalloon.lines[3], "d");

    // 300 bytes without a break: 256 are read, 255 kept, and the line ends.
    std::string longText(300, 'x');
    openPopupMessage(0.0f, 0.0f, 0, longText.c_str());
    EXPECT_EQ(gHudBalloon.lineCount, 1);
    EXPECT_EQ(strnlen(gHudBalloon.lines[0], BALLOON_LINE_SIZE), 255u);

    // A tag cut short by the end skips no byte past the terminator.
    char buffer[8] = {'o', 'k', '<', 'b', 0, 'Z', 'Z', 0};
    openPopupMessage(0.0f, 0.0f, 0, buffer);
    EXPECT_EQ(gHudBalloon.lineCount, 2);
    EXPECT_STREQ(gHudBalloon.lines[0], "ok");
    EXPECT_STREQ(gHudBalloon.lines[1], "") << "reading stopped at the NUL";
}

TEST_F(HudOneShots, ItemGetPopupRunsTicksOneTo119) {
    startItemGetPopup(makeItemKey(101, 0, 0));
    EXPECT_EQ(gHudTimers.itemGetTimer, 1);
    for (int32_t t = 2; t <= ITEM_GET_POPUP_LAST; ++t) {
        tickHud();
        ASSERT_EQ(gHudTimers.itemGetTimer, t);
    }
    tickHud();
    EXPECT_EQ(gHudTimers.itemGetTimer, 0);
}

TEST_F(HudOneShots, BannerLevelTagAndChestNoticeEnd) {
    startBanner(5, 1);
    for (int32_t i = 0; i < 4; ++i) tickHud();
    EXPECT_EQ(gHudTimers.bannerActive, 5);
    tickHud();
    EXPECT_EQ(gHudTimers.bannerActive, 0);

    gHud.chestNoticeTimer = 1;
    for (int32_t i = 0; i < CHEST_NOTICE_LAST - 1; ++i) tickHud();
    EXPECT_EQ(gHud.chestNoticeTimer, CHEST_NOTICE_LAST);
    tickHud();
    EXPECT_EQ(gHud.chestNoticeTimer, 0);

    // The level tag: alpha 255, then falling by 16 from tick 61; gone at 76.
    EXPECT_EQ(levelUpTagAlpha(60), 255);
    EXPECT_EQ(levelUpTagAlpha(61), 239);
    EXPECT_EQ(levelUpTagAlpha(75), 15);
    EXPECT_EQ(levelUpTagAlpha(76), 0);
    EXPECT_EQ(levelUpTagAlpha(0), 0);
}

TEST_F(HudFade, FallsOnTheTownMapUnlessFlag154Or176) {
    GameState& g = runningGameState();
    gGameMode = GAME_MODE_WORLD_MAP;
    gHud.hudFade = 1.0f;
    for (int32_t i = 0; i < 12; ++i) tickHud();
    EXPECT_FLOAT_EQ(gHud.hudFade, 0.0f);
    EXPECT_EQ(gHud.topBarKind, 3) << "the shop, before the town was visited";
    EXPECT_EQ(gHud.topBarSlide, 11) << "from -1 after the reset";
    for (int32_t flag : {FLAG_HUD_CUTSCENE, FLAG_HUD_CUTSCENE_2}) {
        gHud.hudFade = 0.0f;
        g.storyFlags[flag] = 1;
        for (int32_t i = 0; i < 12; ++i) tickHud();
        EXPECT_FLOAT_EQ(gHud.hudFade, 1.0f) << "flag " << flag;
        g.storyFlags[flag] = 0;
    }
    // On the field the fade rises while the player is held.
    gGameMode = GAME_MODE_FIELD;
    gHud.hudFade = 0.0f;
    gRun.playerControl = 3;
    tickHud();
    EXPECT_FLOAT_EQ(gHud.hudFade, 0.1f);
    gRun.playerControl = -1;
    tickHud();
    EXPECT_FLOAT_EQ(gHud.hudFade, 0.0f);
}

TEST(HudOverlayRules, AtmosphereRatesByDistance) {
    GameStateScope state;
    gShopAtmosphere = ShopAtmosphere{3, 4};
    EXPECT_EQ(rateAtmosphereMatch(3, 4), 4) << "the shop's own point";
    EXPECT_EQ(rateAtmosphereMatch(3 + 9, 4 + 12), 0) << "distance exactly 15";
    EXPECT_EQ(rateAtmosphereMatch(3 + 15, 4 + 1), -1) << "beyond 15";
    EXPECT_EQ(rateAtmosphereMatch(3 + 3, 4), 3);
    gShopAtmosphere = ShopAtmosphere{0, 0};
    EXPECT_EQ(rateAtmosphereMatch(13, -13), 4) << "an unset atmosphere matches everyone";
}

TEST(HudOverlayRules, PureRules) {
    EXPECT_FLOAT_EQ(damagePopupScale(90, 90), 5.0f);
    EXPECT_FLOAT_EQ(damagePopupScale(90, 89), 4.5f);
    EXPECT_FLOAT_EQ(damagePopupScale(90, 84), 2.0f);
    EXPECT_FLOAT_EQ(damagePopupScale(90, 1), 2.0f) << "never below 2";
    EXPECT_FALSE(floorHasMinimap(3, 3));
    EXPECT_TRUE(floorHasMinimap(4, 3));
    EXPECT_EQ(curtainDay(9998), 9999);
    EXPECT_EQ(curtainDay(20000), 9999);
    EXPECT_EQ(curtainDay(0), 1);
    EXPECT_FLOAT_EQ(letterboxHeight(0.05f), 0.0f);
    EXPECT_FLOAT_EQ(letterboxHeight(1.0f), 32.0f);
    EXPECT_STREQ(counterFormat(9), "%d/%d");
    EXPECT_STREQ(counterFormat(99), "%2d/%2d");
    EXPECT_STREQ(counterFormat(120), "%3d/%3d");
    EXPECT_EQ(vendingCapacity(makeItemKey(5201, 0, 0)), 6);
    EXPECT_EQ(vendingCapacity(makeItemKey(5202, 0, 0)), 8);
    EXPECT_EQ(vendingCapacity(makeItemKey(5203, 0, 0)), 10);
}

TEST(HudOverlayRules, LevelAbilityTableEndsAndExplainsEveryRow) {
    for (int32_t r = 1; r < LEVEL_ABILITY_ROWS; ++r)
        EXPECT_LT(MERCHANT_LEVEL_ABILITIES[r - 1].level, MERCHANT_LEVEL_ABILITIES[r].level) << "row " << r;
    EXPECT_EQ(MERCHANT_LEVEL_ABILITIES[LEVEL_ABILITY_ROWS - 1].level, 100);
    EXPECT_STREQ(MERCHANT_LEVEL_ABILITY_TEXTS[16][1], "dungeon is increased to 25 items.");
    for (int32_t r = 0; r + 1 < LEVEL_ABILITY_ROWS; ++r)
        for (int32_t i = 0; i < LEVEL_ABILITY_LINES; ++i) {
            ASSERT_NE(MERCHANT_LEVEL_ABILITY_TEXTS[r][i], nullptr);
            EXPECT_GT(strlen(MERCHANT_LEVEL_ABILITY_TEXTS[r][i]), 0u) << "row " << r << " line " << i;
        }
}

// The list opens a row per ability reached, the abilities past level 90 never.
TEST(HudOverlayRules, AbilityRowsOpenWithTheLevelUpToNinety) {
    const struct {
        int32_t level, rows;
    } CASES[] = {{0, 0}, {1, 1}, {26, 26}, {29, 26}, {30, 27}, {50, 29}, {99, 29}, {100, 29}};
    for (const auto& c : CASES) EXPECT_EQ(openedAbilityRows(c.level), c.rows) << "level " << c.level;
}

namespace {

// The HUD drawn onto the recording device behind a capturing one, with the
// game folder's font files and pictures of their own in the HUD's slots.
class HudDrawTest : public HudTicks {
protected:
    void SetUp() override {
        HudTicks::SetUp();
        for (int32_t i = 0; i < SLOT_COUNT; ++i) saved[i] = *SLOTS[i];
        rig.open(true);
        ASSERT_NE(rig.device, nullptr);
        for (int32_t i = 0; i < SLOT_COUNT; ++i) {
            *SLOTS[i] = TextureSlot{rig.device->createTexture(SIZES[i][0], SIZES[i][1], 1, GFX_USAGE_NONE,
                                                                 GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED),
                                    SIZES[i][0], SIZES[i][1], TEXTURE_GROUP_SYSTEM};
            ASSERT_NE(SLOTS[i]->texture, nullptr);
        }
        gShowFps = 1;
        gShopFloor.shopFloorState = SHOP_FLOOR_OPEN;   // no shop menu
        resetDialogs();
    }
    void TearDown() override {
        resetDialogs();
        for (int32_t i = 0; i < SLOT_COUNT; ++i) {
            if (SLOTS[i]->texture && rig.device) rig.device->releaseTexture(SLOTS[i]->texture);
            *SLOTS[i] = saved[i];
        }
        rig.close();
    }
    std::vector<DrawnQuad>& quads() { return rig.capture->quads; }
    bool isPicture(const DrawnQuad& q) const {
        for (TextureSlot* slot : SLOTS)
            if (q.texture == slot->texture) return true;
        return false;
    }
    std::vector<DrawnQuad> glyphQuads() {
        std::vector<DrawnQuad> out;
        for (const DrawnQuad& q : quads())
            if (!isPicture(q)) out.push_back(q);
        return out;
    }
    std::vector<DrawnQuad> quadsOf(const TextureSlot& slot) {
        std::vector<DrawnQuad> out;
        for (const DrawnQuad& q : quads())
            if (q.texture == slot.texture) out.push_back(q);
        return out;
    }

    static constexpr int32_t SLOT_COUNT = 10;
    TextureSlot* const SLOTS[SLOT_COUNT] = {&gItemWindowTexture, &gHpMpBaseTexture, &gHpMpExpTexture,
                                            &gSystemTexture,     &gMapTexture,      &gDataWindowTexture,
                                            &gLevelWindowTexture, &gMoodTexture,    &gShadeTexture,
                                            &gFloorBannerTexture};
    const int32_t SIZES[SLOT_COUNT][2] = {{1024, 1024}, {512, 512}, {128, 128}, {128, 128}, {256, 512},
                                          {512, 512},   {512, 256}, {512, 512}, {256, 256}, {1024, 256}};
    TextureSlot saved[SLOT_COUNT];
    FontDrawRig rig;
};

class HudNumbers : public HudDrawTest {};
class HudPanels : public HudDrawTest {};
class HudOverlay : public HudDrawTest {};

}  // namespace

TEST_F(HudNumbers, MillionsTakeTwoCommas) {
    drawNumber(300.0f, 40.0f, 1234567, 0, 0xFFFFFFFF, 1);
    std::vector<DrawnQuad> drawn = quadsOf(gItemWindowTexture);
    int32_t commas = 0, digits = 0;
    std::vector<float> commaLefts;
    for (const DrawnQuad& q : drawn) {
        if (q.uLeft == (752.0f + 0.5f) / 1024.0f) {
            ++commas;
            commaLefts.push_back(q.left);
        } else {
            ++digits;
        }
    }
    EXPECT_EQ(digits, 7);
    ASSERT_EQ(commas, 2);
    // Left of the third digit from the right, and left of the sixth.
    EXPECT_EQ(commaLefts[0], std::trunc(300.0f - 3 * 12.8f - 12.8f));
    EXPECT_EQ(commaLefts[1], std::trunc(300.0f - 6 * 12.8f - 3.2f - 12.8f));

    quads().clear();
    drawNumber(300.0f, 40.0f, 0, 0, 0xFFFFFFFF, 1);
    ASSERT_EQ(quadsOf(gItemWindowTexture).size(), 1u) << "0 draws one digit";
    EXPECT_EQ(quadsOf(gItemWindowTexture)[0].left, std::trunc(300.0f - 12.8f));
}

TEST_F(HudNumbers, CounterBlanksAdvanceWithoutDrawing) {
    bindSpriteTexture(gHpMpBaseTexture);
    drawCounter(100.0f, 50.0f, 5, 120);
    flushSprites();
    std::vector<DrawnQuad> drawn = quadsOf(gHpMpBaseTexture);
    ASSERT_EQ(drawn.size(), 5u) << "\"  5/120\": two blanks are not drawn";
    const float x0 = 100.0f + 2 * 9.6f;
    for (size_t i = 0; i < drawn.size(); ++i)
        EXPECT_EQ(drawn[i].left, std::trunc(x0 + 9.6f * static_cast<float>(i))) << "character " << i + 2;
    EXPECT_EQ(drawn[1].uLeft, (193.0f + 24.0f * 10 + 0.5f) / 512.0f) << "'/' is cell 10";
}

TEST_F(HudPanels, LevelTagFadesFromSixtyOne) {
    gHud.levelUpTimer = 61;
    drawLevelUpTag(16.0f, 400.0f);
    ASSERT_EQ(quadsOf(gItemWindowTexture).size(), 1u);
    EXPECT_EQ(quadsOf(gItemWindowTexture)[0].argb >> 24, 239u);
    EXPECT_EQ(quadsOf(gItemWindowTexture)[0].colorOp, (uint32_t)GFX_TOP_ADDSIGNED);
    quads().clear();
    gHud.levelUpTimer = 76;
    drawLevelUpTag(16.0f, 400.0f);
    EXPECT_TRUE(quads().empty());
}

TEST_F(HudPanels, ThreeByThreeFloorHasNoMinimap) {
    static StageRecord stage{};
    stage.maptype = 1;
    gCurrentStage = &stage;
    for (int32_t r = 0; r < 4; ++r)
        for (int32_t c = 0; c < 4; ++c) gFloorGrid.mapGrid[r][c] = MapCell{0, 0, 2, 1};
    gFloorGrid.roomsX = gFloorGrid.roomsY = 3;
    drawDungeonOverlay();
    EXPECT_TRUE(quadsOf(gMapTexture).empty());
    quads().clear();
    gFloorGrid.roomsX = 4;
    drawDungeonOverlay();
    EXPECT_EQ(quadsOf(gMapTexture).size(), 12u + 1u) << "twelve visited rooms and the player's dot";
}

TEST_F(HudPanels, AdventurerPanelRingIsA19TriangleFan) {
    GameState& g = runningGameState();
    g.adventurers[2].hpBase = 100;
    g.adventurers[2].levelStartExp = 50;
    g.adventurers[2].nextLevelExp = 50;   // divides by 1, not by 0
    g.adventurers[2].experience = 50;
    drawAdventurerPanel(0.0f, 0.0f, 2, 1);
    std::vector<DrawnQuad> bars = quadsOf(gHpMpBaseTexture);
    ASSERT_FALSE(bars.empty());
    // The HP bar is full from the record: 156.8 wide at x 80.
    bool fullBar = false;
    for (const DrawnQuad& q : bars)
        if (q.left == 80.0f && q.right == 80.0f + 156.8f) fullBar = true;
    EXPECT_TRUE(fullBar);
}

TEST_F(HudOverlay, ShowFpsZeroHidesEverything) {
    openYesNoWindow("Sure?", 1, 0);
    setPointerPosition(100.0f, 100.0f);
    showPointer();
    gHud.hudFade = 1.0f;
    gShowFps = 0;
    drawGameOverlay();
    EXPECT_TRUE(quads().empty());
    gShowFps = 1;
    drawGameOverlay();
    EXPECT_FALSE(quads().empty());
    EXPECT_FALSE(quadsOf(gSystemTexture).empty()) << "the letterbox bars";
}

TEST_F(HudOverlay, NewsIsDrawnAsTextNotAsAFormat) {
    GameState& g = runningGameState();
    g.newsCount = 1;
    snprintf(g.newsTexts[0], NEWS_TEXT_SIZE, "%s", "%s%n");
    gConditionBanner.counter = 100;
    drawGameOverlay();
    EXPECT_EQ(glyphQuads().size(), 4u) << "'%', 's', '%', 'n'";
    EXPECT_EQ(quadsOf(gItemWindowTexture).size() >= 1u, true) << "the band";
    EXPECT_EQ(gConditionBanner.counter, 100) << "the band is still open";

    // A text that fills its field without an end stops at the field.
    quads().clear();
    memset(g.newsTexts[0], 'A', NEWS_TEXT_SIZE);
    memset(g.newsTexts[1], 'B', 8);
    drawGameOverlay();
    EXPECT_EQ(glyphQuads().size(), static_cast<size_t>(NEWS_TEXT_SIZE - 1));
}

TEST_F(HudOverlay, CurtainNamesDay9999AtMost) {
    GameState& g = runningGameState();
    g.date = 20000;
    gShopSequence = SHOP_SEQUENCE_MORNING;
    gFieldTicks = 50;
    drawGameOverlay();
    std::vector<DrawnQuad> curtain = glyphQuads();
    quads().clear();
    drawTextCentered(320.0f, 208.0f, "Day 9999", 0xFFFFFFFF, 2.2f);
    std::vector<DrawnQuad> expected = glyphQuads();
    ASSERT_FALSE(expected.empty());
    ASSERT_EQ(curtain.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(curtain[i].left, expected[i].left) << "glyph " << i;
        EXPECT_EQ(curtain[i].top, expected[i].top) << "glyph " << i;
        EXPECT_EQ(curtain[i].uLeft, expected[i].uLeft) << "glyph " << i;
    }
    gShopSequence = SHOP_SEQUENCE_NONE;
    gFieldTicks = 0;
}

TEST_F(HudPanels, ItemWithoutARowShowsAPlaceholder) {
    startItemGetPopup(makeItemKey(9999, 0, 3));
    for (int32_t i = 0; i < 20; ++i) tickHud();
    drawItemGetPopup();
    EXPECT_EQ(quadsOf(gItemWindowTexture).size(), 1u) << "the band";
    EXPECT_EQ(glyphQuads().size(), 1u) << "one placeholder glyph, no icon";
}

TEST_F(HudOverlay, LevelListColoursAndHidesLaterNames) {
    GameState& g = runningGameState();
    g.merchantLevel = 4;   // level 5 reached
    gShopFloor.shopFloorState = 15;
    gShopFloor.shopMenuListB[0] = SHOP_MENU_MERCHANT_LEVEL;
    gShopFloor.shopMenuCountB = 1;
    gShopFloor.shopMenuCursor[0] = 0;
    gShopFloor.shopMenuCounter = 10;
    gShopFloor.abilityListTop = 2;   // rows of levels 3 to 7
    gShopFloor.abilityListCursor = 12;   // a later row: its description stays hidden
    drawGameOverlay();
    std::vector<DrawnQuad> panel = glyphQuads();

    // The same lines drawn on their own, in the colours the rules give.
    quads().clear();
    drawTextCentered(320.0f, 122.0f, "Level Abilities", 0xFFFFFFFF, 0.9f);
    const char* const names[5] = {"Can Take Orders", "More Items", "Fusion Rank 1", "Change Wallpaper",
                                  "Advance Orders"};
    const uint32_t colours[5] = {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFF37, 0xFF9B9B9B, 0xFF9B9B9B};
    for (int32_t k = 0; k < 5; ++k) {
        char label[16];
        snprintf(label, sizeof label, "Level %d", 3 + k);
        drawText(200.0f, 158.0f + 32.0f * k, label, colours[k], 0.8f);
        drawText(312.0f, 158.0f + 32.0f * k, names[k], colours[k], 0.8f);
    }
    std::vector<DrawnQuad> expected = glyphQuads();
    // The menus' labels come first; the panel is the last text drawn, and
    // without a description for a row beyond the level.
    ASSERT_GE(panel.size(), expected.size());
    size_t first = panel.size() - expected.size();
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(panel[first + i].argb, expected[i].argb) << "glyph " << i;
        EXPECT_EQ(panel[first + i].left, expected[i].left) << "glyph " << i;
        EXPECT_EQ(panel[first + i].top, expected[i].top) << "glyph " << i;
    }
}

TEST_F(HudPanels, DamageNumberShrinksFromFiveToTwo) {
    gScreenMapping.view = matrixIdentity();
    gCamera.view = matrixIdentity();   // the popup lies straight ahead, at the screen's centre
    static StageRecord stage{};
    stage.maptype = 1;
    gCurrentStage = &stage;
    gFloorGrid.roomsX = gFloorGrid.roomsY = 3;
    NumberPopup& p = gNumberPopups[0];
    p = NumberPopup{{0.0f, 0.0f, -10.0f}, 90, 90, 7, POPUP_TYPE_DAMAGE};
    struct Case {
        int32_t timer;
        float scale;
    };
    for (Case c : {Case{90, 5.0f}, Case{89, 4.5f}, Case{84, 2.0f}, Case{20, 2.0f}}) {
        quads().clear();
        p.timer = c.timer;
        drawDungeonOverlay();
        std::vector<DrawnQuad> digits;
        for (const DrawnQuad& q : quadsOf(gHpMpBaseTexture))
            if (q.vTop == (432.0f + 0.5f) / 512.0f && q.uLeft == (288.5f + 20.0f * 7 + 0.5f) / 512.0f) digits.push_back(q);
        ASSERT_EQ(digits.size(), 1u) << "timer " << c.timer << ": \"  7\" draws one digit";
        EXPECT_FLOAT_EQ(digits[0].right - digits[0].left, 19.0f * c.scale) << "timer " << c.timer;
        EXPECT_FLOAT_EQ(digits[0].bottom - digits[0].top, 24.0f * c.scale) << "timer " << c.timer;
    }
}

TEST_F(HudPanels, VendingLabelCountsFilledSlotsOnly) {
    gCamera.view = matrixIdentity();
    GameState& g = runningGameState();
    for (auto& row : g.shelves)
        for (int32_t& cell : row) cell = -1;
    for (auto& row : g.vendingStock)
        for (int32_t& slot : row) slot = -1;
    g.vendingModes[0] = makeItemKey(5201, 0, 0);
    for (int32_t s = 0; s < 6; ++s) g.vendingStock[0][s * 3] = makeItemKey(101, 0, 0);
    gShopFloor.shopFloorState = SHOP_FLOOR_WALKING;
    gShopPlacement.placementCell.x = 3;
    gShopPlacement.placementCell.z = 0;
    gShopPlacement.shopEditState[1] = 1;   // machine 0 is looked at
    drawShopOverlay();
    std::vector<DrawnQuad> label = glyphQuads();

    ScreenPoint p;
    mapWorldToScreen(2.0f * 3 - 9.0f, 1.9f, -6.5f, &p);
    quads().clear();
    drawTextCentered(p.x + 52.0f, p.y + 34.0f, "(6/6)", 0xFFFFFFFF, 0.6f);
    std::vector<DrawnQuad> expected = glyphQuads();
    ASSERT_FALSE(expected.empty());
    ASSERT_GE(label.size(), expected.size());
    size_t first = label.size() - expected.size();
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(label[first + i].left, expected[i].left) << "glyph " << i;
        EXPECT_EQ(label[first + i].uLeft, expected[i].uLeft) << "glyph " << i;
    }

    // An empty cell with no machine looked at has no label at all.
    quads().clear();
    gShopPlacement.shopEditState[1] = 0;
    drawShopOverlay();
    EXPECT_TRUE(glyphQuads().empty());
}

namespace {

class EnemyHud : public HudDrawTest {
protected:
    void SetUp() override {
        HudDrawTest::SetUp();
        saved = gEnemyHpTexture;
        gEnemyHpTexture = TextureSlot{rig.device->createTexture(512, 256, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8,
                                                                  GFX_POOL_MANAGED),
                                      512, 256, TEXTURE_GROUP_SYSTEM};
        resetEnemyKinds();
    }
    void TearDown() override {
        if (gEnemyHpTexture.texture && rig.device) rig.device->releaseTexture(gEnemyHpTexture.texture);
        gEnemyHpTexture = saved;
        HudDrawTest::TearDown();
    }
    TextureSlot saved;
};

// The last enemy hit: its bar filled by its HP, its frame, its level from 1.
TEST_F(EnemyHud, ThePanelShowsTheLastEnemyHitWhileItsTimerRuns) {
    static StageRecord stage{};
    stage.maptype = 1;
    gCurrentStage = &stage;
    gFloorGrid.roomsX = gFloorGrid.roomsY = 3;
    Enemy* e = spawnEnemy(0.0f, 0.0f, 0.0f, 0);
    ASSERT_NE(e, nullptr);
    e->level = 11;
    e->hp = 5.0f;
    e->maxHp = 20.0f;
    gRun.lastHitValue = e->index;
    gRun.lastHitTimer = 0;
    drawDungeonOverlay();
    EXPECT_TRUE(quadsOf(gEnemyHpTexture).empty());
    gRun.lastHitTimer = 180;
    drawDungeonOverlay();
    std::vector<DrawnQuad> panel = quadsOf(gEnemyHpTexture);
    ASSERT_EQ(panel.size(), 6u) << "back, fill, frame, level label and the digits of 12";
    EXPECT_FLOAT_EQ(panel[0].right - panel[0].left, 207.0f);
    EXPECT_FLOAT_EQ(panel[1].right - panel[1].left, 207.0f * 0.25f);
    EXPECT_FLOAT_EQ(panel[4].uLeft, (24.0f + 24.0f * 1 + 0.5f) / 512.0f);
    EXPECT_FLOAT_EQ(panel[5].uLeft, (24.0f + 24.0f * 2 + 0.5f) / 512.0f);
    resetEnemyPool();
}

// A beaten bomb's seconds over it: 9 - frames / 60, red from 3.
TEST_F(EnemyHud, BeatenBombsCountDownAndTurnRedFromThree) {
    gScreenMapping.view = matrixIdentity();
    gCamera.view = matrixIdentity();   // straight ahead
    static StageRecord stage{};
    stage.maptype = 1;
    gCurrentStage = &stage;
    gFloorGrid.roomsX = gFloorGrid.roomsY = 3;
    gGameMode = GAME_MODE_FIELD;
    Enemy* bomb = spawnEnemy(0.0f, 0.0f, -10.0f, 37);
    ASSERT_NE(bomb, nullptr);
    killEnemy(*bomb);
    struct Case {
        int32_t frames, digit;
        uint32_t colour;
    };
    for (Case c : {Case{240, 5, 0xFF7F7F7F}, Case{400, 3, 0xFFFF4040}, Case{539, 1, 0xFFFF4040}}) {
        quads().clear();
        bomb->dyingFrames = c.frames;
        drawGameOverlay();
        int32_t found = 0;
        for (const DrawnQuad& q : quadsOf(gHpMpBaseTexture))
            if (q.right - q.left == 32.0f && q.uLeft == (193.0f + 24.0f * c.digit + 0.5f) / 512.0f) {
                found++;
                EXPECT_EQ(q.argb, c.colour) << "frames " << c.frames;
            }
        EXPECT_EQ(found, 1) << "frames " << c.frames;
    }
    resetEnemyPool();
}

}  // namespace
