#include "shop/market.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "adventurers/adventurers.h"
#include "dungeon/dungeon.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/save_file.h"
#include "engine/sound.h"
#include "engine/story_flags.h"
#include "field/field.h"
#include "shop/fusion.h"
#include "shop/item_db.h"
#include "shop/item_list.h"
#include "shop/shop.h"
#include "shop/market_stock.h"
#include "shop/storage.h"
#include "story/story.h"

int32_t gMarketMode;
MarketScene gMarket;

const MarketTopic MARKET_TOPICS[MARKET_TOPIC_COUNT] = {
    {"What is the guild?", 10, 80},     {"What can I do here?", 11, 81}, {"About merchant levels", 12, 82},
    {"About the town", 14, 83},         {"About unknown items", 24, 84}, {"About fusion", 25, 85},
    {"Never mind", -1, -1},
};

const int32_t STORE_EXPANSION_COSTS[SHOP_EXPANSION_STEPS] = {10000, 30000, 100000};

// Story flags only this scene reads or writes.
enum MarketFlag : int32_t {
    FLAG_GUILD_FIRST_VISIT = 20,
    FLAG_FIRST_PURCHASE = 21,    // bought something on the first day: leaving is allowed
    FLAG_FIRST_DAY_DONE = 40,    // the town map then marks the shop alone
    FLAG_GUILD_LEFT = 74,        // the guild was left once
    FLAG_GUILD_SEQUENCE = 136,   // the guild's story sequence runs
    FLAG_GUILD_SEQUENCE_1 = 137,
    FLAG_GUILD_SEQUENCE_2 = 138,
    FLAG_GUILD_SEQUENCE_3 = 139,
    FLAG_GUILD_SEQUENCE_END = 140,
};

constexpr int32_t MARKET_FIRST_INPUT_FRAME = 15;
constexpr int32_t MARKET_STORY_FRAME = 2;
constexpr int32_t TRADE_OPEN_FRAMES = 4;
constexpr int32_t TRADE_ANSWER_WAIT = 7;
constexpr float MENU_POINTER_X = 328.0f;
constexpr float MENU_POINTER_Y = 84.0f;
constexpr float MENU_ROW_STEP = 34.0f;
constexpr float TRADE_POINTER_X = 340.0f;
constexpr float TRADE_POINTER_Y = 252.0f;
constexpr float TRADE_CHOICE_STEP = 96.0f;
constexpr int32_t MARKET_DEBUG_MONEY = 10000000;

static GameState& game() { return runningGameState(); }
static bool survivalPlay() { return game().playMode == PLAY_MODE_SURVIVAL; }
static bool firstDay() { return game().date == 0 && !survivalPlay(); }
static uint16_t pressed() { return gInputState[0].pressed; }
static uint16_t repeated() { return gInputState[0].repeat; }

static int32_t highlightedCode() {
    const MarketScene& m = gMarket;
    return m.menuCursor >= 0 && m.menuCursor < m.menuCount ? m.menuCodes[m.menuCursor] : -1;
}

static int32_t townPlace() { return gMarketMode == MARKET_MODE_GUILD ? TOWN_PLACE_MERCHANTS_GUILD : TOWN_PLACE_MARKET; }

// ---- pure rules ----

int32_t storeExpansionCost(int32_t shopSize) {
    return shopSize >= 0 && shopSize < SHOP_EXPANSION_STEPS ? STORE_EXPANSION_COSTS[shopSize] : -1;
}

bool marketOffersExpansion(int32_t shopSize, int32_t merchantLevel) {
    return (shopSize == 0 && merchantLevel > 10) || (shopSize == 1 && merchantLevel > 18) ||
           (shopSize == 2 && merchantLevel > 24);
}

int32_t marketPurchaseLimit(int32_t money, int32_t unitPrice, int32_t stored, int32_t onOffer, int32_t storageCount,
                            bool firstVisit) {
    int32_t limit = std::min(MARKET_QUANTITY_MAX, onOffer);
    // An item whose share of its price truncates to nothing is free: the
    // money sets no limit then (and is never divided by zero).
    if (unitPrice > 0) limit = std::min(limit, money / unitPrice);
    limit = std::min(limit, STORAGE_TRADE_LIMIT - stored);
    if (firstVisit) limit = std::min(limit, MARKET_FIRST_VISIT_ROOM - storageCount);
    return std::max(limit, 0);
}

// ---- the menu and the speech ----

static void addMenuEntry(int32_t code) {
    if (gMarket.menuCount < MARKET_MENU_MAX) gMarket.menuCodes[gMarket.menuCount++] = code;
}

void buildMarketMenu() {
    MarketScene& m = gMarket;
    const GameState& g = game();
    m.menuCount = 0;
    addMenuEntry(MARKET_BUY);
    addMenuEntry(MARKET_SELL);
    if (gMarketMode == MARKET_MODE_MARKET) {
        addMenuEntry(MARKET_LEAVE_MARKET);
    } else {
        if (g.merchantLevel >= 4) addMenuEntry(MARKET_FUSION);
        if (marketOffersExpansion(g.shopSize, g.merchantLevel)) addMenuEntry(MARKET_EXPANSION);
        addMenuEntry(MARKET_TALK);
        addMenuEntry(MARKET_LEAVE_GUILD);
    }
    if (m.menuCursor >= m.menuCount) m.menuCursor = m.menuCount - 1;
    if (m.menuCursor < 0) m.menuCursor = 0;
}

int32_t getMarketMenuCursor() { return gMarket.menuCursor; }
int32_t isMarketBuySelected() { return highlightedCode() == MARKET_BUY ? 1 : 0; }

const char* marketMenuLabel(int32_t code) {
    static const char* const LABELS[MARKET_MENU_MAX] = {"Buy", "Sell", "Talk", "Fusion", "Leave", "Leave", "Expansion"};
    return code >= 0 && code < MARKET_MENU_MAX ? LABELS[code] : "";
}

int32_t marketSpeechKey() {
    const MarketScene& m = gMarket;
    return m.frame < MARKET_GREETING_FRAMES && !m.greetingOver ? -1 : highlightedCode();
}

void formatMarketSpeech(char* out, int32_t size) {
    bool guild = gMarketMode == MARKET_MODE_GUILD;
    int32_t key = marketSpeechKey();
    const char* line = "";
    switch (key) {
    case -1:
        line = guild ? "Before you stock up,<BR>make sure to read up on<BR>everything you can!"
                     : "We came to the market...<BR>What do we do now?";
        break;
    case MARKET_BUY: line = guild ? "Time to stock up a bit,<BR>eh? Step on up!" : "Let's pick up some things<BR>here!"; break;
    case MARKET_SELL: line = guild ? "Selling off excess stock?" : "I'll sell off a few things<BR>we don't need anymore."; break;
    case MARKET_TALK: line = "If there's anything you<BR>don't know, just ask."; break;
    case MARKET_FUSION: line = "Remember, you need<BR>ingredients if you want<BR>to fuse things!"; break;
    case MARKET_LEAVE_GUILD: line = "Well, come back any time!"; break;
    case MARKET_LEAVE_MARKET: line = "Alright, let's go!"; break;
    case MARKET_EXPANSION:
        snprintf(out, (size_t)size, "Store expansion will cost<BR>%d gold.", storeExpansionCost(game().shopSize));
        return;
    default: break;
    }
    snprintf(out, (size_t)size, "%s", line);
}

bool marketTopicUnheard(int32_t topic) {
    const MarketTopic& t = MARKET_TOPICS[topic];
    return t.heardFlag >= 0 && !storyFlag(t.heardFlag);
}

bool marketAnyTopicUnheard() {
    for (int32_t t = 0; t < MARKET_TOPIC_COUNT; ++t)
        if (marketTopicUnheard(t)) return true;
    return false;
}

static void pointMenuRow(bool glide) {
    float y = MENU_POINTER_Y + MENU_ROW_STEP * (float)gMarket.menuCursor;
    if (glide) glidePointerTo(MENU_POINTER_X, y);
    else setPointerPosition(MENU_POINTER_X, y);
}

static void pointTopicRow() {
    glidePointerTo(MENU_POINTER_X, MENU_POINTER_Y + MENU_ROW_STEP * (float)(gMarket.topicCursor - gMarket.topicTop));
}

// ---- entering and leaving ----

void enterMarketScene(int32_t mode) {
    gMarketMode = mode;
    cancelMessageWindow();
    gMarket = MarketScene{};
    gMarket.screen = MARKET_SCREEN_MENU;
    gMarket.speechLine = -1;
    GameState& g = game();
    g.resumeLocation = 1;
    g.townVisited = 1;
    showPointer();
    pointMenuRow(false);
    resetEffects(0);
    buildEffectMeshes();
    buildMarketMenu();
    gMarket.fusionCount = fusionRecipesOffered(g.merchantLevel);
}

static bool startStoryEvent(int32_t major, int32_t minor, int32_t loaderMode = 0) {
    if (!requestEvent(major, minor, loaderMode)) return false;
    gMarket.eventStarted = 1;
    return true;
}

static void switchToTownMap() {
    gGameMode = GAME_MODE_WORLD_MAP;
    setWorldMapPlace(townPlace());
    hidePointer();
    hideItemList();
    releaseMarketTextures();
    startSceneLoader();
    startFadeIn(0, MARKET_LEAVE_FADE);
}

static void beginLeave() {
    if (!storyFlag(FLAG_GUILD_LEFT)) gMarket.leaveFirst = 1;
    else gMarket.leaveLater = 1;
    startFadeOut(0, MARKET_LEAVE_FADE);
}

// The gift goes after the last stored item, as long as storage has room.
static void addFirstLeaveGift() {
    GameState& g = game();
    int32_t last = storedEntryCount(g);
    if (last >= STORAGE_ENTRY_COUNT) return;
    g.storage[last] = makeItemKey(MARKET_GIFT_ITEM, 0, 0);
    g.storageCount = last + 1;
}

// Step 5: a leave in progress; true while it holds the tick.
static bool stepLeave() {
    MarketScene& m = gMarket;
    if (m.leaveAfterEvent) {
        m.leaveAfterEvent = 0;
        switchToTownMap();
        return true;
    }
    if (m.leaveFirst > 0) {
        if (m.leaveFirst < MARKET_LEAVE_FADE) m.leaveFirst++;
        if (isFadeOutDone()) {
            m.leaveFirst = 0;
            // The leave has faded the screen out: the scene fades in over
            // it once loaded, and cuts out again before the town map.
            startStoryEvent(1, 16, EVENT_LOADER_FADE_IN_CUT_OUT);
            setStoryFlag(FLAG_GUILD_LEFT, 1);
            addFirstLeaveGift();
            m.leaveAfterEvent = 1;
        }
        return true;
    }
    if (m.leaveLater > 0) {
        if (m.leaveLater < MARKET_LEAVE_FADE) m.leaveLater++;
        if (isFadeOutDone()) {
            m.leaveLater = 0;
            switchToTownMap();
        }
        return true;
    }
    return false;
}

// Step 3, on the second tick: the visit's story; true when it took the tick.
static bool startVisitStory() {
    if (!storyFlag(FLAG_GUILD_FIRST_VISIT)) {
        if (!startStoryEvent(1, 3)) return false;
        setStoryFlag(FLAG_GUILD_FIRST_VISIT, 1);
        return true;
    }
    int32_t major = 0, minor = 0;
    if (findPlaceEvent(townPlace(), &major, &minor, 1)) return startStoryEvent(major, minor);
    if (gMarketMode != MARKET_MODE_GUILD || game().storyFlags[FLAG_GUILD_SEQUENCE] != 1 || game().dayPhase >= 2)
        return false;
    static const int32_t SEQUENCE_FLAGS[3] = {FLAG_GUILD_SEQUENCE_1, FLAG_GUILD_SEQUENCE_2, FLAG_GUILD_SEQUENCE_3};
    for (int32_t i = 0; i < 3; ++i) {
        if (storyFlag(SEQUENCE_FLAGS[i])) continue;
        if (!startStoryEvent(6, 2 + i)) return false;
        setStoryFlag(SEQUENCE_FLAGS[i], 1);
        return true;
    }
    if (storyFlag(FLAG_GUILD_SEQUENCE_END)) return false;
    setStoryFlag(FLAG_GUILD_SEQUENCE_END, 1);
    switchToTownMap();
    return true;
}

// ---- the speech panel ----

static void stepSpeech() {
    MarketScene& m = gMarket;
    bool listOrQuestion = m.screen != MARKET_SCREEN_MENU || m.opening > 0;
    bool in = highlightedCode() == MARKET_EXPANSION || (m.frame > 14 && !listOrQuestion);
    if (in) m.panelSlide = std::min(m.panelSlide + 1, MARKET_SPEECH_SLIDE);
    else m.panelSlide = std::max(m.panelSlide - 1, 0);
    int32_t key = marketSpeechKey();
    if (key != m.speechLine) {
        m.speechLine = key;
        m.speechChars = 0;
        m.speechTimer = 0;
    }
    if (m.panelSlide == MARKET_SPEECH_SLIDE) {
        m.speechChars++;
        m.speechTimer++;
    }
}

// ---- the quantity window ----

void resetTradeConfirm() { gMarket.confirm = TradeConfirm{}; }

static void openTradeConfirm(int32_t key, int32_t unitPrice, int32_t maxQuantity, bool buying) {
    TradeConfirm& c = gMarket.confirm;
    c = TradeConfirm{};
    c.active = 1;
    c.quantity = 1;
    c.unitPrice = unitPrice;
    c.maxQuantity = maxQuantity;
    c.buying = buying ? 1 : 0;
    c.itemKey = key;
    gMarket.screen = MARKET_SCREEN_QUANTITY;
    setPointerPosition(TRADE_POINTER_X, TRADE_POINTER_Y);
}

int32_t updateTradeConfirm() {
    TradeConfirm& c = gMarket.confirm;
    if (!c.active) return 0;
    if (c.answer != 0) {
        c.answerFrames++;
        if (c.answerFrames > TRADE_ANSWER_WAIT && c.openCounter > 0) c.openCounter--;
        if (c.answerFrames > TRADE_ANSWER_WAIT && c.openCounter == 0) {
            c.active = 0;
            return c.answer;
        }
        return -1;
    }
    if (c.openCounter < TRADE_OPEN_FRAMES) {
        c.openCounter++;
        return -1;
    }
    if (pressed() & BUTTON_CANCEL) {
        c.answer = 2;
        playSoundEffect(SOUND_CANCEL);
        return -1;
    }
    if (pressed() & BUTTON_CONFIRM) {
        c.answer = c.choice + 1;
        playSoundEffect(c.choice == 0 ? SOUND_CONFIRM : SOUND_CANCEL);
        return -1;
    }
    int32_t choice = c.choice;
    if (pressed() & BUTTON_RIGHT) choice = 1;
    else if (pressed() & BUTTON_LEFT) choice = 0;
    if (choice != c.choice) {
        c.choice = choice;
        playSoundEffect(SOUND_CURSOR);
        glidePointerTo(TRADE_POINTER_X + TRADE_CHOICE_STEP * (float)choice, TRADE_POINTER_Y);
    }
    if (repeated() & BUTTON_UP) {
        if (c.quantity < c.maxQuantity) {
            c.quantity++;
            playSoundEffect(SOUND_CURSOR);
        } else {
            playSoundEffect(SOUND_REFUSED);
        }
    } else if ((repeated() & BUTTON_DOWN) && c.quantity > 1) {
        c.quantity--;
        playSoundEffect(SOUND_CURSOR);
    }
    return -1;
}

static int32_t clampedMoney(int64_t money) {
    return (int32_t)std::clamp<int64_t>(money, INT32_MIN, INT32_MAX);
}

static void settleTrade() {
    TradeConfirm& c = gMarket.confirm;
    GameState& g = game();
    int64_t total = (int64_t)c.quantity * c.unitPrice;
    if (c.buying) {
        if (total > g.money) return;
        for (int32_t i = 0; i < c.quantity; ++i) {
            addItemToStorage(c.itemKey);
            takeOneFromSelectedStack();
        }
        g.money = clampedMoney(g.money - total);
        g.dayScore += 3;
        showSelectedItemInfo();
        playSoundEffect(SOUND_MONEY);
        if (firstDay()) {
            setStoryFlag(FLAG_FIRST_PURCHASE, 1);
            setStoryFlag(FLAG_FIRST_OUTING, 0);
        }
    } else {
        for (int32_t i = 0; i < c.quantity; ++i) removeSelectedListItem();
        g.money = clampedMoney(g.money + total);
        showSelectedItemInfo();
        playSoundEffect(SOUND_MONEY);
    }
}

static void stepQuantityWindow() {
    int32_t answer = updateTradeConfirm();
    if (answer <= 0) return;
    if (answer == 1) settleTrade();
    placeListCursor();
    gMarket.screen = MARKET_SCREEN_LIST;
}

// ---- the lists ----

static void backToMenu(bool fromList) {
    MarketScene& m = gMarket;
    if (fromList) {
        hideItemList();
        m.closing = std::min(m.opening, MARKET_OPEN_FRAMES);
    }
    m.screen = MARKET_SCREEN_MENU;
    m.opening = 0;
    showPointer();
    pointMenuRow(true);
}

// The opening counter reached the end of its 15 frames: what was chosen opens.
static void finishOpening() {
    MarketScene& m = gMarket;
    switch (m.openingCode) {
    case MARKET_BUY:
        openItemList(ITEM_LIST_MARKET, 1);
        setInfoPriceFactor(MARKET_BUY_FACTOR);
        break;
    case MARKET_SELL:
        openItemList(ITEM_LIST_STORAGE, 1);
        setInfoPriceFactor(MARKET_SELL_FACTOR);
        break;
    case MARKET_FUSION: openFusionList(); break;
    case MARKET_EXPANSION: {
        char text[DIALOG_LINE_BYTES];
        snprintf(text, sizeof text, "Expanding the store will cost %d gold.<BR>Continue?",
                 storeExpansionCost(game().shopSize));
        openYesNoWindow(text, 1, 0);
        break;
    }
    case MARKET_TALK: pointTopicRow(); break;
    default: break;
    }
}

static void stepTradeList() {
    MarketScene& m = gMarket;
    GameState& g = game();
    bool buying = m.openingCode == MARKET_BUY;
    int32_t result = handleItemListInput(1);
    if (result == ITEM_LIST_CANCELLED) {
        backToMenu(true);
        playSoundEffect(SOUND_CANCEL);
        return;
    }
    int32_t key = getSelectedListItemKey();
    int32_t count = getSelectedListItemCount();
    int32_t stored = storedEntryCount(g);
    if (result == ITEM_LIST_CONFIRMED) {
        if (buying) {
            if (stored < STORAGE_TRADE_LIMIT)
                playSoundEffect(count != 0 && marketBuyPrice(key) <= g.money ? SOUND_CONFIRM : SOUND_REFUSED);
        } else {
            playSoundEffect(SOUND_CONFIRM);
        }
        return;
    }
    if (result != ITEM_LIST_CHOSEN) return;
    if (!buying) {
        openTradeConfirm(key, marketSellPrice(key), count, false);
        return;
    }
    if (stored >= STORAGE_TRADE_LIMIT) {
        openMessageWindow("Item limit reached, cannot buy any more.");
        return;
    }
    bool firstVisit = !storyFlag(FLAG_GUILD_LEFT);
    if (firstVisit && g.storageCount > MARKET_FIRST_VISIT_FULL) {
        startStoryEvent(1, 15);
        return;
    }
    int32_t unit = marketBuyPrice(key);
    if (count == 0 || g.money < unit) return;
    int32_t largest = marketPurchaseLimit(g.money, unit, stored, count, g.storageCount, firstVisit);
    if (largest < 1) return;
    openTradeConfirm(key, unit, largest, true);
}

static void stepTopics() {
    MarketScene& m = gMarket;
    if (m.topicDelay > 0) {
        if (++m.topicDelay < MARKET_TOPIC_DELAY) return;
        m.topicDelay = 0;
        const MarketTopic& t = MARKET_TOPICS[m.topicCursor];
        if (startStoryEvent(1, t.eventMinor)) setStoryFlag(t.heardFlag, 1);
        return;
    }
    if (pressed() & BUTTON_CANCEL) {
        backToMenu(false);
        playSoundEffect(SOUND_CANCEL);
        return;
    }
    if (pressed() & BUTTON_CONFIRM) {
        if (MARKET_TOPICS[m.topicCursor].eventMinor < 0) {
            backToMenu(false);
            playSoundEffect(SOUND_CANCEL);
        } else {
            m.topicDelay = 1;
            playSoundEffect(SOUND_CONFIRM);
        }
        return;
    }
    int32_t cursor = m.topicCursor;
    if ((repeated() & BUTTON_UP) && cursor > 0) cursor--;
    else if ((repeated() & BUTTON_DOWN) && cursor < MARKET_TOPIC_COUNT - 1) cursor++;
    if (cursor == m.topicCursor) return;
    m.topicCursor = cursor;
    if (cursor < m.topicTop) m.topicTop = cursor;
    if (cursor >= m.topicTop + MARKET_TOPICS_VISIBLE) m.topicTop = cursor - MARKET_TOPICS_VISIBLE + 1;
    playSoundEffect(SOUND_CURSOR);
    pointTopicRow();
}

static void stepExpansion() {
    int32_t answer = updateYesNoWindow(0);
    if (answer <= 0) return;
    GameState& g = game();
    int32_t cost = storeExpansionCost(g.shopSize);
    if (answer == 1 && cost >= 0 && g.money >= cost) {
        g.money -= cost;
        playSoundEffect(SOUND_MONEY);
        g.shopSize = std::min(g.shopSize + 1, SHOP_EXPANSION_STEPS);
        applyShopLayout(g);
        buildMarketMenu();
    }
    backToMenu(false);
}

static void stepMenu() {
    MarketScene& m = gMarket;
    // A scene not entered through enterMarketScene has no menu to move on.
    if (m.frame < MARKET_FIRST_INPUT_FRAME || m.menuCount <= 0) return;
    int32_t cursor = m.menuCursor;
    if (repeated() & BUTTON_UP) cursor = (cursor + m.menuCount - 1) % m.menuCount;
    else if (repeated() & BUTTON_DOWN) cursor = (cursor + 1) % m.menuCount;
    if (repeated() & (BUTTON_UP | BUTTON_DOWN)) m.greetingOver = 1;
    if (cursor != m.menuCursor) {
        m.menuCursor = cursor;
        playSoundEffect(SOUND_CURSOR);
        pointMenuRow(true);
    }
    int32_t code = highlightedCode();
    bool leave = code == MARKET_LEAVE_GUILD || code == MARKET_LEAVE_MARKET;
    if ((pressed() & BUTTON_CANCEL) || ((pressed() & BUTTON_CONFIRM) && leave)) {
        playSoundEffect(SOUND_CANCEL);
        if (!storyFlag(FLAG_FIRST_PURCHASE)) {
            startStoryEvent(1, 9);
            return;
        }
        beginLeave();
        if (firstDay()) {
            setStoryFlag(FLAG_FIRST_OUTING, 0);
            setStoryFlag(FLAG_FIRST_DAY_DONE, 1);
        }
        return;
    }
    if (!(pressed() & BUTTON_CONFIRM)) return;
    switch (code) {
    case MARKET_TALK:
        m.screen = MARKET_SCREEN_TOPICS;
        m.topicCursor = 0;
        m.topicTop = 0;
        break;
    case MARKET_EXPANSION:
        if (game().money < storeExpansionCost(game().shopSize)) {
            playSoundEffect(SOUND_REFUSED);
            return;
        }
        m.screen = MARKET_SCREEN_EXPANSION;
        break;
    case MARKET_BUY:
    case MARKET_SELL:
    case MARKET_FUSION: m.screen = MARKET_SCREEN_LIST; break;
    default: return;
    }
    m.openingCode = code;
    m.opening = 1;
    m.closing = 0;
    playSoundEffect(SOUND_CONFIRM);
}

// ---- the tick ----

void runMarketScene() {
    MarketScene& m = gMarket;
    GameState& g = game();
    m.eventStarted = 0;
    m.frame++;
    if (storyFlag(FLAG_ALL_WARES)) g.money = MARKET_DEBUG_MONEY;
    if (updateMessageWindow() != 0) return;
    if (m.frame == MARKET_STORY_FRAME && !survivalPlay() && startVisitStory()) return;
    stepSpeech();
    if (m.closing > 0) m.closing--;
    if (stepLeave()) return;
    if ((m.screen == MARKET_SCREEN_LIST || m.screen == MARKET_SCREEN_TOPICS || m.screen == MARKET_SCREEN_EXPANSION) &&
        m.opening > 0 && m.opening < MARKET_SLIDE_FRAMES) {
        m.opening++;
        if (m.opening == MARKET_OPEN_FRAMES) finishOpening();
        if (m.opening <= MARKET_OPEN_FRAMES) return;
    }
    switch (m.screen) {
    case MARKET_SCREEN_MENU: stepMenu(); break;
    case MARKET_SCREEN_TOPICS: stepTopics(); break;
    case MARKET_SCREEN_EXPANSION: stepExpansion(); break;
    case MARKET_SCREEN_QUANTITY: stepQuantityWindow(); break;
    case MARKET_SCREEN_FUSION_QUESTION: updateFusionQuestion(); break;
    case MARKET_SCREEN_FUSION_RESULT: updateFusionResult(); break;
    case MARKET_SCREEN_LIST:
        if (m.openingCode == MARKET_FUSION) {
            if (updateFusionList()) backToMenu(true);
        } else {
            stepTradeList();
        }
        break;
    default: break;
    }
}

void updateMarketScene() { runMarketScene(); }

// ---- around the menu overlay ----

void saveMarketListState() { saveItemListCursors(); }

void restoreMarketListState() {
    restoreItemListCursors();
    const MarketScene& m = gMarket;
    int32_t code = highlightedCode();
    if (code == MARKET_FUSION) showFusionProduct();
    // The list's restore puts the pointer on its row; the pointer belongs
    // where the input is.
    if (m.confirm.active) setPointerPosition(TRADE_POINTER_X + TRADE_CHOICE_STEP * (float)m.confirm.choice, TRADE_POINTER_Y);
    else if (m.screen == MARKET_SCREEN_LIST && code == MARKET_FUSION) openFusionList();
    else if (m.screen == MARKET_SCREEN_MENU) pointMenuRow(false);
    else if (m.screen == MARKET_SCREEN_TOPICS)
        setPointerPosition(MENU_POINTER_X, MENU_POINTER_Y + MENU_ROW_STEP * (float)(m.topicCursor - m.topicTop));
    setInfoPriceFactor(code == MARKET_BUY ? MARKET_BUY_FACTOR : MARKET_SELL_FACTOR);
}

void resumeMarketScene() {}

void resetMarketState() {
    gMarketMode = 0;
    gMarket = MarketScene{};
}
