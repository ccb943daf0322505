// The market and the merchants' guild: the menu by place, level and shop
// size, buying and selling through the list and the quantity window with
// their limits, the window's answers and timing, the visit's story events,
// the talk topics, leaving, expansion, and the scene as drawn. Each test
// enters the scene and drives its tick with pressed buttons; events that
// start play out at once, as a script of a single "end:" would.
#include <gtest/gtest.h>

#include "shop/shop.h"
#include "shop/shop_state.h"
#include "tests/shop/market_fixture.h"

// --- the menu -------------------------------------------------------------------

TEST_F(MarketTest, TheMenuFollowsThePlaceTheLevelAndTheShopSize) {
    struct Case {
        const char* what;
        int32_t mode, level, size;
        std::vector<int32_t> want;
    };
    const int32_t B = MARKET_BUY, S = MARKET_SELL, T = MARKET_TALK, F = MARKET_FUSION, E = MARKET_EXPANSION,
                  LG = MARKET_LEAVE_GUILD, LM = MARKET_LEAVE_MARKET;
    const Case cases[] = {
        {"the market", MARKET_MODE_MARKET, 40, 0, {B, S, LM}},
        {"a new guild member", MARKET_MODE_GUILD, 0, 0, {B, S, T, LG}},
        {"fusion from level 4", MARKET_MODE_GUILD, 3, 0, {B, S, T, LG}},
        {"fusion at level 4", MARKET_MODE_GUILD, 4, 0, {B, S, F, T, LG}},
        {"size 0: no expansion at 10", MARKET_MODE_GUILD, 10, 0, {B, S, F, T, LG}},
        {"size 0: expansion from 11", MARKET_MODE_GUILD, 11, 0, {B, S, F, E, T, LG}},
        {"size 1: not at 18", MARKET_MODE_GUILD, 18, 1, {B, S, F, T, LG}},
        {"size 1: from 19", MARKET_MODE_GUILD, 19, 1, {B, S, F, E, T, LG}},
        {"size 2: from 25", MARKET_MODE_GUILD, 25, 2, {B, S, F, E, T, LG}},
        {"size 3 never grows", MARKET_MODE_GUILD, 90, 3, {B, S, F, T, LG}},
    };
    for (const Case& c : cases) {
        game().merchantLevel = c.level;
        game().shopSize = c.size;
        enterMarketScene(c.mode);
        EXPECT_EQ(menu(), c.want) << c.what;
    }
}

TEST_F(MarketTest, EnteringResetsTheSceneAndMarksTheTownVisited) {
    game().resumeLocation = 3;
    gMarket.menuCursor = 2;
    gMarket.screen = MARKET_SCREEN_QUANTITY;
    enterMarketScene(MARKET_MODE_MARKET);
    EXPECT_EQ(gMarketMode, MARKET_MODE_MARKET);
    EXPECT_EQ(gMarket.screen, MARKET_SCREEN_MENU);
    EXPECT_EQ(gMarket.menuCursor, 0);
    EXPECT_EQ(game().resumeLocation, 1);
    EXPECT_EQ(game().townVisited, 1);
    float x = 0, y = 0;
    getPointerPosition(&x, &y);
    EXPECT_FLOAT_EQ(x, 328.0f);
    EXPECT_FLOAT_EQ(y, 84.0f);
}

TEST_F(MarketTest, TheMenuWrapsAndItsCursorLeadsTheClerksLine) {
    enterMarketScene(MARKET_MODE_GUILD);
    tick(DOWN);
    EXPECT_EQ(gMarket.menuCursor, 0) << "no input before tick 15";
    ticks(14);
    EXPECT_EQ(marketSpeechKey(), -1) << "the greeting first";
    tick(UP);
    EXPECT_EQ(gMarket.menuCursor, gMarket.menuCount - 1) << "up from the top wraps";
    EXPECT_TRUE(sounded(SOUND_CURSOR));
    EXPECT_EQ(marketSpeechKey(), MARKET_LEAVE_GUILD) << "a move ends the greeting";
    tick(DOWN);
    EXPECT_EQ(gMarket.menuCursor, 0);
    char line[256];
    formatMarketSpeech(line, sizeof line);
    EXPECT_STREQ(line, "Time to stock up a bit,<BR>eh? Step on up!");
    EXPECT_EQ(isMarketBuySelected(), 1);
}

// --- buying -------------------------------------------------------------------

TEST_F(MarketTest, ThreeCoatsOnTheRiseCost2520) {
    setTrend(COAT, 1);
    enter(MARKET_MODE_GUILD);
    openList(MARKET_BUY);
    EXPECT_FLOAT_EQ(gItemList.infoPriceFactor, 0.7f);
    pointAt(COAT);
    ASSERT_TRUE(confirmRow());
    EXPECT_TRUE(requested(confirmSounds, SOUND_CONFIRM));
    EXPECT_EQ(gMarket.confirm.unitPrice, 840);
    EXPECT_EQ(gMarket.confirm.maxQuantity, 99);
    int32_t score = game().dayScore;
    answer({UP, UP, CONFIRM});
    EXPECT_EQ(game().money, 100000 - 2520);
    EXPECT_EQ(stored(COAT), 3);
    EXPECT_EQ(game().storageCount, 3);
    EXPECT_EQ(game().dayScore, score + 3);
    EXPECT_EQ(gItemList.infoItemStock, 3) << "the number possessed is counted again";
}

// The day report counts what the guild took in the day's profit (money
// against the day's start) and lists under "Bought" only what was bought
// at the counter, so a guild purchase shows in the profit alone.
TEST_F(MarketTest, AGuildPurchaseCountsInTheProfitButIsNotListedAsBought) {
    resetDayCounters(game());
    enter(MARKET_MODE_GUILD);
    openList(MARKET_BUY);
    pointAt(COAT);
    ASSERT_TRUE(confirmRow());
    answer({UP, CONFIRM});
    int32_t spent = 100000 - game().money;
    EXPECT_EQ(spent, 2 * gMarket.confirm.unitPrice);
    EXPECT_EQ(game().dayLogCounts[1], 0);
    openDayReport();
    EXPECT_EQ(gDayReport.profit, -spent);
}

TEST_F(MarketTest, ThePurchaseLimitTakesTheLeastOfItsBounds) {
    struct Case {
        const char* what;
        int32_t money, unit, stored, onOffer, storageCount;
        bool firstVisit;
        int32_t want;
    };
    const Case cases[] = {
        {"99 at most", 10000000, 10, 0, 100, 0, false, 99},
        {"14,990 stored leave room for 10", 1000000, 700, 14990, 100, 14990, false, 10},
        {"what the money pays", 2000, 700, 0, 100, 0, false, 2},
        {"what is on offer", 1000000, 700, 0, 3, 0, false, 3},
        {"before the first leave: 11 - stored", 1000000, 700, 8, 100, 8, true, 3},
        {"a free item is limited by the rest", 0, 0, 0, 100, 0, false, 99},
        {"a full storage takes nothing", 1000000, 700, 15000, 100, 15000, false, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(marketPurchaseLimit(c.money, c.unit, c.stored, c.onOffer, c.storageCount, c.firstVisit), c.want)
            << c.what;
}

TEST_F(MarketTest, WithAlmostFullStorageTheWindowOffersTheRoomLeft) {
    game().money = 1000000;
    fillStorage(14990, CAPE);
    enter(MARKET_MODE_GUILD);
    openList(MARKET_BUY);
    pointAt(COAT);
    ASSERT_TRUE(confirmRow());
    EXPECT_EQ(gMarket.confirm.maxQuantity, 10);
    answer({CANCEL});
}

TEST_F(MarketTest, AFullStorageRefusesWithAMessage) {
    fillStorage(15000, CAPE);
    enter(MARKET_MODE_GUILD);
    openList(MARKET_BUY);
    pointAt(COAT);
    EXPECT_FALSE(confirmRow());
    EXPECT_STREQ(gMessageWindow.lines[0], "Item limit reached, cannot buy any more.");
}

TEST_F(MarketTest, BeforeTheFirstLeaveTheGuildKeepsStorageSmall) {
    game().storyFlags[74] = 0;
    fillStorage(8, CAPE);
    enter(MARKET_MODE_GUILD);
    openList(MARKET_BUY);
    pointAt(COAT);
    ASSERT_TRUE(confirmRow());
    EXPECT_EQ(gMarket.confirm.maxQuantity, 3) << "11 - 8 stored";
    answer({UP, UP, UP, UP, CONFIRM});
    EXPECT_EQ(stored(COAT), 3);
    EXPECT_EQ(game().storageCount, 11);

    // Full for the first visit: the clerk steps in instead of the window.
    EXPECT_FALSE(confirmRow());
    EXPECT_EQ(events, std::vector<std::string>{"1_15"});
}

TEST_F(MarketTest, NothingOnOfferOrTooLittleMoneyIsRefused) {
    struct Case {
        const char* what;
        int32_t money, trend;
    };
    const Case cases[] = {
        {"the price crashed: not for sale", 100000, -2},
        {"less money than one coat", 699, 0},
    };
    for (const Case& c : cases) {
        setTrend(COAT, c.trend);
        game().money = c.money;
        enter(MARKET_MODE_GUILD);
        openList(MARKET_BUY);
        pointAt(COAT);
        EXPECT_FALSE(confirmRow()) << c.what;
        EXPECT_TRUE(requested(confirmSounds, SOUND_REFUSED)) << c.what;
        EXPECT_EQ(gMarket.screen, MARKET_SCREEN_LIST) << c.what << ": back on the list";
        tick(CANCEL);
    }
}

TEST_F(MarketTest, ConfirmSoundsSayWhetherThePurchaseCanGoAhead) {
    game().money = 699;
    enter(MARKET_MODE_GUILD);
    openList(MARKET_BUY);
    pointAt(COAT);
    tick(CONFIRM);
    EXPECT_TRUE(sounded(SOUND_REFUSED));
    EXPECT_FALSE(sounded(SOUND_CONFIRM));
    ticks(ITEM_LIST_FLASH_TICKS + 1);
    pointAt(CAPE);
    tick(CONFIRM);
    EXPECT_TRUE(sounded(SOUND_CONFIRM)) << "a cape costs 35";
}

// --- selling ------------------------------------------------------------------

TEST_F(MarketTest, SellingTwoOfThreeCoatsPays600) {
    fillStorage(3, COAT);
    enter(MARKET_MODE_MARKET);
    openList(MARKET_SELL);
    EXPECT_FLOAT_EQ(gItemList.infoPriceFactor, 0.3f);
    pointAt(COAT);
    ASSERT_TRUE(confirmRow());
    EXPECT_EQ(gMarket.confirm.unitPrice, 300);
    EXPECT_EQ(gMarket.confirm.maxQuantity, 3);
    answer({UP, CONFIRM});
    EXPECT_EQ(game().money, 100000 + 600);
    EXPECT_EQ(stored(COAT), 1);
    EXPECT_EQ(getSelectedListItemCount(), 1);
}

// --- the quantity window ------------------------------------------------------

TEST_F(MarketTest, TheQuantityWindowAnswersAfterItsWaitAndClose) {
    struct Case {
        const char* what;
        std::vector<uint16_t> buttons;
        int32_t wantAnswer, wantQuantity;
    };
    const Case cases[] = {
        {"confirm on yes", {CONFIRM}, 1, 1},
        {"right then confirm: no", {BUTTON_RIGHT, CONFIRM}, 2, 1},
        {"right, left, confirm: yes", {BUTTON_RIGHT, BUTTON_LEFT, CONFIRM}, 1, 1},
        {"cancel answers no", {CANCEL}, 2, 1},
        {"up stops at the largest", {UP, UP, UP, CONFIRM}, 1, 3},
        {"down stops at one", {UP, DOWN, DOWN, CONFIRM}, 1, 1},
    };
    for (const Case& c : cases) {
        resetTradeConfirm();
        gMarket.confirm.active = 1;
        gMarket.confirm.quantity = 1;
        gMarket.confirm.maxQuantity = 3;
        for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(updateTradeConfirm(), -1) << c.what << ": opening";
        EXPECT_EQ(gMarket.confirm.openCounter, 4);
        for (uint16_t b : c.buttons) {
            press(b);
            EXPECT_EQ(updateTradeConfirm(), -1) << c.what;
        }
        press(0);
        for (int32_t i = 0; i < 10; ++i) EXPECT_EQ(updateTradeConfirm(), -1) << c.what << ": waiting " << i;
        EXPECT_EQ(updateTradeConfirm(), c.wantAnswer) << c.what << ": 7 ticks of wait and 4 of closing";
        EXPECT_EQ(updateTradeConfirm(), 0) << c.what << ": closed";
        EXPECT_EQ(gMarket.confirm.quantity, c.wantQuantity) << c.what;
    }
}

TEST_F(MarketTest, RaisingPastTheLargestIsRefused) {
    gMarket.confirm = TradeConfirm{1, 4, 0, 0, 0, 2, 10, 2, 1, itemKey(COAT)};
    memset(gSound.effectRequests, 0, sizeof gSound.effectRequests);
    press(UP);
    updateTradeConfirm();
    press(0);
    sounds.assign(gSound.effectRequests, gSound.effectRequests + SOUND_EFFECT_COUNT);
    EXPECT_TRUE(sounded(SOUND_REFUSED));
    EXPECT_EQ(gMarket.confirm.quantity, 2);
}

// --- story ----------------------------------------------------------------------

TEST_F(MarketTest, TheFirstGuildVisitStartsItsSceneAndNothingElseThatTick) {
    game().storyFlags[20] = 0;
    enterMarketScene(MARKET_MODE_GUILD);
    tick();
    EXPECT_TRUE(events.empty()) << "the second tick starts it";
    gMarket.panelSlide = 5;   // would slide out on a tick that went on
    tick();
    EXPECT_EQ(events, std::vector<std::string>{"1_3"});
    EXPECT_EQ(game().storyFlags[20], 1);
    EXPECT_EQ(gMarket.panelSlide, 5) << "the tick ends with the event";
    EXPECT_EQ(gMarket.eventStarted, 1) << "the next frame is drawn black";
    ticks(30);
    EXPECT_EQ(events.size(), 1u) << "once";
}

TEST_F(MarketTest, SurvivalPlayHasNoVisitScenes) {
    game().storyFlags[20] = 0;
    game().playMode = PLAY_MODE_SURVIVAL;
    enter(MARKET_MODE_GUILD);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(game().storyFlags[20], 0);
}

TEST_F(MarketTest, TheGuildsStorySequencePlaysItsScenesInTurn) {
    game().storyFlags[136] = 1;
    game().dayPhase = 1;
    std::vector<std::string> want;
    for (const char* scene : {"6_2", "6_3", "6_4"}) {
        enter(MARKET_MODE_GUILD);
        want.push_back(scene);
        EXPECT_EQ(events, want);
    }
    enter(MARKET_MODE_GUILD);
    EXPECT_EQ(game().storyFlags[140], 1);
    EXPECT_EQ(gGameMode, GAME_MODE_WORLD_MAP) << "straight back to the town map";
}

TEST_F(MarketTest, TalkTopicsStartTheirScenesAndAreMarkedHeard) {
    enter(MARKET_MODE_GUILD);
    EXPECT_TRUE(marketAnyTopicUnheard());
    ASSERT_TRUE(choose(MARKET_TALK));
    EXPECT_EQ(gMarket.screen, MARKET_SCREEN_TOPICS);
    ticks(MARKET_OPEN_FRAMES);
    tick(DOWN);
    tick(DOWN);
    tick(CONFIRM);
    EXPECT_TRUE(sounded(SOUND_CONFIRM));
    ticks(14);
    EXPECT_TRUE(events.empty()) << "16 ticks later";
    tick();
    EXPECT_EQ(events, std::vector<std::string>{"1_12"});
    EXPECT_EQ(game().storyFlags[82], 1);
    EXPECT_FALSE(marketTopicUnheard(2));
    for (int32_t i = 0; i < 6; ++i) tick(DOWN);
    EXPECT_EQ(gMarket.topicCursor, MARKET_TOPIC_COUNT - 1);
    EXPECT_EQ(gMarket.topicTop, 1) << "six visible: the list scrolled";
    tick(CONFIRM);
    EXPECT_EQ(gMarket.screen, MARKET_SCREEN_MENU) << "Never mind";
    EXPECT_TRUE(sounded(SOUND_CANCEL));
}

// --- leaving ------------------------------------------------------------------

TEST_F(MarketTest, LeavingBeforeTheFirstPurchaseStartsTheClerksReminder) {
    game().storyFlags[21] = 0;
    enter(MARKET_MODE_GUILD);
    tick(CANCEL);
    EXPECT_EQ(events, std::vector<std::string>{"1_9"});
    EXPECT_EQ(gMarket.leaveFirst + gMarket.leaveLater, 0);
}

TEST_F(MarketTest, TheFirstLeavePlaysItsSceneHandsOverTheHandbookAndGoesToTown) {
    game().storyFlags[74] = 0;
    game().storyFlags[FLAG_FIRST_OUTING] = 1;
    fillStorage(2, CAPE);
    enter(MARKET_MODE_GUILD);
    tick(CANCEL);
    EXPECT_TRUE(sounded(SOUND_CANCEL));
    EXPECT_EQ(game().storyFlags[FLAG_FIRST_OUTING], 0) << "the first day";
    EXPECT_EQ(game().storyFlags[40], 1);
    for (int32_t i = 0; i < 40 && events.empty(); ++i) tick(CONFIRM);
    EXPECT_EQ(events, std::vector<std::string>{"1_16"});
    runEventStep();
    EXPECT_EQ(gFadeState, -1) << "the scene fades in over the leave's black";
    EXPECT_EQ(game().storyFlags[74], 1);
    EXPECT_EQ(game().storageCount, 3);
    EXPECT_EQ(game().storage[2], itemKey(MARKET_GIFT_ITEM));
    EXPECT_EQ(gGameMode, GAME_MODE_MARKET);
    tick();
    EXPECT_EQ(gGameMode, GAME_MODE_WORLD_MAP);
    EXPECT_FALSE(isPointerShown());
}

TEST_F(MarketTest, ALaterLeaveFadesOutToTheTownMap) {
    game().date = 5;
    enter(MARKET_MODE_MARKET);
    ASSERT_TRUE(choose(MARKET_LEAVE_MARKET));
    EXPECT_EQ(gFadeState, 1);
    EXPECT_EQ(game().storyFlags[40], 0) << "not the first day";
    int32_t n = 0;
    while (gGameMode == GAME_MODE_MARKET && n < 40) {
        tick();
        ++n;
    }
    EXPECT_EQ(gGameMode, GAME_MODE_WORLD_MAP);
    EXPECT_GE(n, MARKET_LEAVE_FADE - 1);
    EXPECT_TRUE(events.empty());
}

TEST_F(MarketTest, TheFirstDaysPurchaseOpensTheWayOut) {
    struct Case {
        const char* what;
        int32_t playMode;
        uint8_t want21, want25;
    };
    const Case cases[] = {
        {"story play", PLAY_MODE_STORY, 1, 0},
        {"survival play", PLAY_MODE_SURVIVAL, 0, 1},
    };
    for (const Case& c : cases) {
        game().playMode = c.playMode;
        game().storyFlags[21] = 0;
        game().storyFlags[FLAG_FIRST_OUTING] = 1;
        enter(MARKET_MODE_GUILD);
        openList(MARKET_BUY);
        pointAt(CAPE);
        ASSERT_TRUE(confirmRow()) << c.what;
        answer({CONFIRM});
        EXPECT_EQ(game().storyFlags[21], c.want21) << c.what;
        EXPECT_EQ(game().storyFlags[FLAG_FIRST_OUTING], c.want25) << c.what;
        tick(CANCEL);
    }
}

// --- expansion ----------------------------------------------------------------

TEST_F(MarketTest, ExpansionChargesGrowsTheShopAndRebuildsTheMenu) {
    game().merchantLevel = 11;
    game().money = 25000;
    enter(MARKET_MODE_GUILD);
    ASSERT_TRUE(choose(MARKET_EXPANSION));
    EXPECT_EQ(gMarket.screen, MARKET_SCREEN_EXPANSION);
    char line[256];
    formatMarketSpeech(line, sizeof line);
    EXPECT_STREQ(line, "Store expansion will cost<BR>10000 gold.");
    ticks(MARKET_OPEN_FRAMES + 8);
    for (int32_t i = 0; i < 30 && gMarket.screen == MARKET_SCREEN_EXPANSION; ++i) tick(i == 0 ? CONFIRM : 0);
    EXPECT_EQ(gMarket.screen, MARKET_SCREEN_MENU);
    EXPECT_EQ(game().money, 15000);
    EXPECT_EQ(game().shopSize, 1);
    for (int32_t code : menu()) EXPECT_NE(code, MARKET_EXPANSION) << "size 1 needs level 19";
}

TEST_F(MarketTest, ExpansionWithoutTheMoneyIsRefused) {
    game().merchantLevel = 11;
    game().money = 9999;
    enter(MARKET_MODE_GUILD);
    ASSERT_TRUE(choose(MARKET_EXPANSION));
    EXPECT_TRUE(sounded(SOUND_REFUSED));
    EXPECT_EQ(gMarket.screen, MARKET_SCREEN_MENU);
    EXPECT_EQ(storeExpansionCost(2), 100000);
    EXPECT_EQ(storeExpansionCost(3), -1);
}

// --- drawing ------------------------------------------------------------------

TEST_F(MarketTest, TheSceneDrawsItsBackdropMenuAndQuantityWindow) {
    FontDrawRig rig;
    rig.open(true);
    ASSERT_NE(rig.capture, nullptr);
    TextureSlot savedItemWindow = gItemWindowTexture, savedPanel = gScenePictures[5], savedBackdrop = gScenePictures[0];
    GfxTexture* sheet = rig.capture->createTexture(1024, 1024, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
    GfxTexture* panel = rig.capture->createTexture(1024, 512, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
    GfxTexture* backdrop = rig.capture->createTexture(1024, 512, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
    gItemWindowTexture = TextureSlot{sheet, 1024, 1024, 0};
    gScenePictures[5] = TextureSlot{panel, 1024, 512, 0};
    gScenePictures[0] = TextureSlot{backdrop, 1024, 512, 0};

    enter(MARKET_MODE_GUILD);
    auto find = [&](GfxTexture* t) -> const DrawnQuad* {
        for (const DrawnQuad& q : rig.capture->quads)
            if (q.texture == t) return &q;
        return nullptr;
    };
    // The quantity window's cell of the shop-mode sheet.
    auto findWindow = [&]() -> const DrawnQuad* {
        for (const DrawnQuad& q : rig.capture->quads)
            if (q.texture == panel && q.uLeft * 1024.0f == SHOPMODE_QUANTITY_PANEL.left + 0.5f &&
                q.vTop * 512.0f == SHOPMODE_QUANTITY_PANEL.top + 0.5f)
                return &q;
        return nullptr;
    };
    drawMarketScreen();
    const DrawnQuad* back = find(backdrop);
    ASSERT_NE(back, nullptr);
    EXPECT_FLOAT_EQ(back->right, 640.0f);
    const DrawnQuad* menuPanel = find(sheet);
    ASSERT_NE(menuPanel, nullptr);
    EXPECT_FLOAT_EQ(menuPanel->left, 256.0f) << "the menu panel";
    EXPECT_FLOAT_EQ(menuPanel->right - menuPanel->left, 400.0f);
    EXPECT_EQ(findWindow(), nullptr) << "no quantity window";

    // Half open: the panel at half size around (320, 224) in grey.
    gMarket.confirm = TradeConfirm{1, 2, 0, 0, 0, 1, 840, 3, 1, itemKey(COAT)};
    rig.capture->quads.clear();
    drawMarketScreen();
    const DrawnQuad* window = findWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_FLOAT_EQ(window->left, 320.0f - 128.0f);
    EXPECT_FLOAT_EQ(window->top, 224.0f - 32.0f);
    EXPECT_EQ(window->argb, 0xFF7F7F7Fu);

    // Open: the quantity, the number the arrows change, is drawn larger
    // than the prompt after it and stands on the same line.
    gMarket.confirm.openCounter = 4;
    gMarket.confirm.quantity = 7;
    rig.capture->quads.clear();
    drawMarketScreen();
    std::vector<DrawnQuad> prompt, digits;   // glyphs stand at their line's y
    for (const DrawnQuad& q : rig.capture->quads)
        for (GfxTexture* glyph : gGlyphTextures)
            if (glyph && q.texture == glyph) {
                if (q.top == 200.0f) prompt.push_back(q);
                if (q.top == 196.0f) digits.push_back(q);
            }
    ASSERT_FALSE(prompt.empty());
    ASSERT_EQ(digits.size(), 1u) << "\" 7\"";
    const DrawnQuad& words = prompt[0];
    const DrawnQuad& digit = digits[0];
    EXPECT_LT(digit.right, words.left) << "the quantity stands before the prompt";
    EXPECT_GT(digit.bottom - digit.top, 1.2f * (words.bottom - words.top));
    EXPECT_NEAR(digit.bottom, words.bottom, 1.5f);

    // A story event started by the tick: black instead of the backdrop.
    gMarket.eventStarted = 1;
    rig.capture->quads.clear();
    drawMarketScreen();
    EXPECT_EQ(find(backdrop), nullptr);

    gItemWindowTexture = savedItemWindow;
    gScenePictures[5] = savedPanel;
    gScenePictures[0] = savedBackdrop;
    for (GfxTexture* t : {sheet, panel, backdrop}) rig.capture->releaseTexture(t);
    rig.close();
}

// --- around the menu overlay ----------------------------------------------------

TEST_F(MarketTest, BackFromTheOverlayThePointerAndPriceFactorAreWhereTheInputIs) {
    fillStorage(2, COAT);
    enter(MARKET_MODE_GUILD);
    openList(MARKET_SELL);
    ASSERT_TRUE(confirmRow());
    ticks(4);
    tick(BUTTON_RIGHT);
    saveMarketListState();
    setPointerPosition(0.0f, 0.0f);
    setInfoPriceFactor(1.0f);   // the overlay's own list
    restoreMarketListState();
    float x = 0, y = 0;
    getPointerPosition(&x, &y);
    EXPECT_FLOAT_EQ(x, 340.0f + 96.0f) << "on the quantity window's No";
    EXPECT_FLOAT_EQ(y, 252.0f);
    EXPECT_FLOAT_EQ(gItemList.infoPriceFactor, 0.3f);

    answer({CANCEL});
    tick(CANCEL);
    ASSERT_EQ(gMarket.screen, MARKET_SCREEN_MENU);
    saveMarketListState();
    restoreMarketListState();
    getPointerPosition(&x, &y);
    EXPECT_FLOAT_EQ(y, 84.0f + 34.0f * (float)gMarket.menuCursor) << "the menu keeps the pointer";
}
