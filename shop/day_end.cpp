// The day's report with the week's payment, the item choice after a run and
// the day's counters and growth they settle.
#include "shop/day_end.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/overlay_screen.h"
#include "engine/random.h"
#include "engine/sound.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"
#include "field/field_state.h"
#include "shop/item_db.h"
#include "shop/item_list.h"
#include "shop/negotiation.h"
#include "shop/orders.h"
#include "shop/shop_files.h"
#include "shop/storage.h"
#include "story/story.h"

ItemChoiceState gItemChoice;
DayReportState gDayReport;
int32_t gDayEndUnpaid;
int32_t gDayEndFinal;

void resetItemChoiceState() {
    gItemChoice = ItemChoiceState{};
    for (int32_t& key : gItemChoice.chosenItems) key = ITEM_KEY_NONE;
}

void resetDayReportState() {
    gDayReport = DayReportState{};
    gDayEndUnpaid = gDayEndFinal = 0;
}

int32_t itemChoiceSlots(int32_t merchantLevel) { return merchantLevel >= 49 ? 3 : merchantLevel >= 15 ? 2 : 1; }

void resetDayCounters(GameState& game) {
    game.dayStartMoney = game.money;
    game.dayScore = 0;
    for (int32_t list = 0; list < DAY_LOG_COUNT; ++list) {
        game.dayLogCounts[list] = 0;
        for (int32_t& key : game.dayLogs[list]) key = ITEM_KEY_NONE;
    }
}

// --- quota, points and rank --------------------------------------------------------

constexpr int32_t STORY_CHECK_DAY = 8;
constexpr int32_t STORY_LAST_DAY = 36;
constexpr int32_t DATE_MAX = 9999;

int32_t quotaFor(int32_t playMode, int32_t date, int32_t weekEndDay, bool divided) {
    int32_t quota;
    if (playMode == PLAY_MODE_SURVIVAL) {
        static const int32_t SURVIVAL_WEEKS[6] = {20000, 80000, 200000, 500000, 1000000, 2000000};
        int32_t week = date / 7 + 1;
        if (week >= 7) {
            int64_t due = static_cast<int64_t>(week - 4) * 1000000;
            quota = due > INT32_MAX ? INT32_MAX : static_cast<int32_t>(due);
        } else {
            quota = SURVIVAL_WEEKS[week >= 1 ? week - 1 : 0];
        }
    } else {
        int32_t d = weekEndDay;
        if (d <= 0) quota = 300;
        else if (d <= 8) quota = 10000;
        else if (d <= 15) quota = 30000;
        else if (d <= 22) quota = 80000;
        else if (d <= 29) quota = 200000;
        else quota = 500000;
    }
    return divided ? quota / 100 : quota;
}

int32_t getQuota() {
    const GameState& game = runningGameState();
    int32_t weekEnd = game.playMode == PLAY_MODE_SURVIVAL ? 0 : getWeekEndDay();
    return quotaFor(game.playMode, game.date, weekEnd, game.storyFlags[FLAG_QUOTA_DIVIDED] != 0);
}

int32_t reportPoints(int32_t profit, int32_t quota, int32_t sold, int32_t bought, int32_t found) {
    int64_t third = quota / 3;
    // A quota below 3 would divide by zero: it counts as a third of 1.
    if (third < 1) third = 1;
    int64_t points = (profit > 0 ? static_cast<int64_t>(profit) * 100 / third : 0) + sold * 30 / 3 + bought * 30 / 4 +
                     found * 30 / 5;
    return points > INT32_MAX ? INT32_MAX : static_cast<int32_t>(points);
}

int32_t reportRank(int32_t points) {
    if (points >= 81) return 0;
    if (points >= 61) return 1;
    if (points >= 41) return 2;
    if (points >= 21) return 3;
    return 4;
}

// --- the bag and the day's growth ----------------------------------------------------

// Strikes the key off the departure bag; false when it was not there.
static bool strikeFromDeparture(int32_t key) {
    for (int32_t& departed : gBagAtDeparture) {
        if (departed != ITEM_KEY_NONE && departed == key) {
            departed = ITEM_KEY_NONE;
            return true;
        }
    }
    return false;
}

void returnBagToStock() {
    for (int32_t key : gBag) {
        if (key == ITEM_KEY_NONE) continue;
        bool departed = strikeFromDeparture(key);
        addItemToStorage(key);
        if (!departed) logSoldItem(key, 2);
    }
}

void addGrowth(int32_t itemKey) {
    int32_t row = findItemDef(itemKeyId(itemKey));
    int32_t price = row >= 0 ? gItemDefinitions[row].price : 0;
    GameState& game = runningGameState();
    float grown = static_cast<float>(game.dayScore) + std::sqrt(static_cast<float>(price / 10 + 10));
    game.dayScore = static_cast<int32_t>(grown);
}

// --- the report ---------------------------------------------------------------------

constexpr int32_t COUNT_START = 45;
constexpr int32_t RANK_VOICE_TIME = 60;
constexpr int32_t RANK_SOUND_TIME = 70;
constexpr int32_t REPORT_CONFIRM_TIME = 131;
constexpr int32_t PAYMENT_SOUND_FRAME = 4;
constexpr int32_t PAYING_FROM = 61;
constexpr int32_t PAY_END_DELAY = 10;
constexpr int32_t SHAKE_AFTER_END = 90;
constexpr int32_t LEAVE_AFTER_END = 100;
constexpr int32_t SHAKE_TICKS = 16;
constexpr int32_t PANEL_INPUT_FROM = 47;
constexpr int32_t EFFECT_COIN_SHOWER = 146;
constexpr int32_t SOUND_PAYMENT_DAY = 324;
constexpr int32_t SOUND_RANK = 670;
constexpr int32_t SOUND_BOARD_SHAKE = 671;

// Whose camera values the report's view is measured from.
constexpr float REPORT_DISTANCE = 36.0f;
constexpr float REPORT_ELEVATION = 3.5f;
constexpr float REPORT_HEIGHT = -1.8f;

static_assert(sizeof RANK_VOICES / sizeof RANK_VOICES[0] == REPORT_RANK_COUNT);

static uint16_t pressed() { return gInputState[0].pressed; }
static uint16_t repeated() { return gInputState[0].repeat; }

void openDayReport() {
    GameState& game = runningGameState();
    closePopupMessage(0);
    gDayReport = DayReportState{};
    DayReportState& r = gDayReport;
    r.quota = getQuota();
    game.totalScore += game.dayScore;
    r.totalBefore = game.totalScore - game.dayScore;
    // Formed wide: a loop's money may stand anywhere in its range.
    int64_t profit = static_cast<int64_t>(game.money) - game.dayStartMoney;
    r.profit = static_cast<int32_t>(profit < INT32_MIN ? INT32_MIN : profit > INT32_MAX ? INT32_MAX : profit);
    int32_t points = reportPoints(r.profit, r.quota, game.dayLogCounts[0], game.dayLogCounts[1], game.dayLogCounts[2]);
    r.rank = reportRank(points);
    r.reportDay = game.date;
    gFieldTicks = 0;
    gShopSequence = SHOP_SEQUENCE_MORNING;
    gFrozenFrameStep = 0;
    gAfterimageStep = 0;
}

// The shop stays in view behind the report, seen from further and lower.
static void placeReportCamera() {
    gFieldCamera.cameraMode = CAMERA_SCRIPTED;
    gFieldCamera.cameraOffsets.distance = REPORT_DISTANCE - CAMERA_DEFAULTS.distance;
    gFieldCamera.cameraOffsets.elevation = REPORT_ELEVATION - CAMERA_DEFAULTS.elevation;
    gFieldCamera.cameraOffsets.height = REPORT_HEIGHT - CAMERA_DEFAULTS.height;
    gFieldCamera.cameraTarget.x += (0.0f - gFieldCamera.cameraTarget.x) * 0.2f;
    gFieldCamera.cameraTarget.z += (0.0f - gFieldCamera.cameraTarget.z) * 0.2f;
    float d = gFieldCamera.cameraOffsets.distance + gFieldCamera.cameraDistance;
    gFieldCamera.cameraEye.x = gFieldCamera.cameraTarget.x + d * std::sin(gCamera.yaw);
    gFieldCamera.cameraEye.y = gFieldCamera.cameraTarget.y + gFieldCamera.cameraOffsets.elevation + gFieldCamera.cameraElevation;
    gFieldCamera.cameraEye.z = gFieldCamera.cameraTarget.z - d * std::cos(gCamera.yaw);
    updateFieldCamera();
    // The report counts every effect-object slot as live.
    gWorldDraw.effectCounts.effectObjects = EFFECT_OBJECT_POOL_SIZE;
    updateEffectObjects();
}

// One step of a count toward its goal: a hundredth of it plus a random part,
// never past it.
static int32_t countToward(int32_t shown, int32_t goal, int32_t scale) {
    if (shown == goal) return shown;
    int32_t unit = static_cast<int32_t>(std::llabs(static_cast<int64_t>(scale)) / 100);
    int64_t step = unit + randomInt() % (unit > 10 ? unit : 10);
    int64_t gap = static_cast<int64_t>(goal) - shown;
    if (gap > 0) return gap < step ? goal : static_cast<int32_t>(shown + step);
    return -gap < step ? goal : static_cast<int32_t>(shown - step);
}

static void beginLeaving() { gDayReport.leaving = 1; }

// The fade-out is done: the day is over.
static void finishDay() {
    DayReportState& r = gDayReport;
    GameState& game = runningGameState();
    resetDayCounters(game);
    game.dayPhase = 0;
    if (game.shopSize >= 0 && game.shopSize < SHOP_SIZE_COUNT) gStageIndex = game.shopSize;
    countDownOrders(game);
    bool storyPlay = game.playMode != PLAY_MODE_SURVIVAL && game.playMode != PLAY_MODE_ENDLESS;
    bool checkDay = storyPlay && (game.date == STORY_CHECK_DAY || game.date == STORY_LAST_DAY);
    if (r.paidShort || checkDay) {
        gDayEndUnpaid = r.paidShort;
        gDayEndFinal = game.date == STORY_LAST_DAY && !r.paidShort && storyPlay;
        clearOverlayOpening();
        gGameMode = gDayEndFinal ? GAME_MODE_ENDING_SAVE : GAME_MODE_GAME_OVER;
        if (gDayEndFinal) enterEndingSaveScene();
        else enterGameOverScene();
        startSceneLoader();
        openDayReport();
        return;
    }
    toggleOverlayScreen(OVERLAY_RESULTS);
    startFadeIn(0, DAY_REPORT_FADE);
    enterShopFromDoor();
    openDayReport();
}

static void runLeaving() {
    DayReportState& r = gDayReport;
    if (r.leaving++ == 1) startFadeOut(0, DAY_REPORT_FADE);
    else if (isFadeOutDone()) finishDay();
}

// Not a payment day: the count-up, the rank and the end of the report.
static void runReportPhase() {
    DayReportState& r = gDayReport;
    GameState& game = runningGameState();
    if (r.timer == 0) {
        if (++r.countFrame <= COUNT_START) return;
        if (r.shownProfit != r.profit) {
            r.shownProfit = countToward(r.shownProfit, r.profit, r.profit);
            return;
        }
        if (r.shownScore != game.dayScore) {
            r.shownScore = countToward(r.shownScore, game.dayScore, game.dayScore);
            return;
        }
    }
    r.timer++;
    if (r.timer == RANK_VOICE_TIME && r.rank >= 0 && r.rank < REPORT_RANK_COUNT) playVoice(RANK_VOICES[r.rank]);
    if (r.timer == RANK_SOUND_TIME) playSoundEffect(SOUND_RANK);
    if (r.timer < REPORT_CONFIRM_TIME || !(pressed() & BUTTON_CONFIRM)) return;
    if (game.date > DATE_MAX) game.date = DATE_MAX;
    bool payment = game.playMode != PLAY_MODE_ENDLESS &&
                   (storyFlag(FLAG_PAY_EVERY_DAY) || getDayInSeason(game) == getWeekEndDay());
    if (payment) {
        playVoice(PAYMENT_DAY_VOICE);
        r.paymentDay = 1;
        r.paymentShort = game.money < r.quota;
    } else {
        beginLeaving();
    }
    game.date++;
}

static void stepLogPanels() {
    DayReportState& r = gDayReport;
    const GameState& game = runningGameState();
    r.panelFrame++;
    if (r.panelFrame == 4 || r.panelFrame == 12 || r.panelFrame == 20) playSoundEffect(SOUND_BALLOON);
    if (r.panelFrame < PANEL_INPUT_FROM) return;
    uint16_t keys = repeated();
    if (keys & BUTTON_LEFT) {
        r.selectedList = (r.selectedList + DAY_LOG_COUNT - 1) % DAY_LOG_COUNT;
        playSoundEffect(SOUND_CURSOR);
    }
    if (keys & BUTTON_RIGHT) {
        r.selectedList = (r.selectedList + 1) % DAY_LOG_COUNT;
        playSoundEffect(SOUND_CURSOR);
    }
    int32_t last = game.dayLogCounts[r.selectedList] - LOG_ROWS_SHOWN;
    int32_t& scroll = r.scroll[r.selectedList];
    if ((keys & BUTTON_UP) && scroll > 0) {
        scroll--;
        playSoundEffect(SOUND_CURSOR);
    }
    if ((keys & BUTTON_DOWN) && scroll < last) {
        scroll++;
        playSoundEffect(SOUND_CURSOR);
    }
}

static bool paidInFull() { return gDayReport.payEndFrame > 0 && !gDayReport.paidShort; }

// The week is paid: the report music and a coin shower, every tick.
static void celebrate() {
    gReportMusicFlag = 1;
    float x = (randomUnit() - 0.5f) * 20.0f;
    spawnEffectObject(nullptr, x, 10.0f, 20.0f, EFFECT_COIN_SHOWER, 0.2f, 1);
}

static void runPayment() {
    DayReportState& r = gDayReport;
    GameState& game = runningGameState();
    r.paymentFrame++;
    if (r.paymentFrame >= PAYING_FROM && r.payEndFrame == 0) {
        if (r.paid < r.quota && game.money > 0) {
            int32_t unit = r.paid / 50;
            int32_t step = unit + randomInt() % (unit > 10 ? unit : 10);
            if (step > r.quota - r.paid) step = r.quota - r.paid;
            if (step > game.money) step = game.money;
            game.money -= step;
            r.paid += step;
            if (r.paymentFrame % 6 == 0) playSoundEffect(SOUND_COIN);
        }
        if (r.paid >= r.quota || game.money <= 0) {
            r.paidShort = r.paid < r.quota;
            playSoundEffect(SOUND_MONEY);
            r.payEndFrame = r.paymentFrame + PAY_END_DELAY;
        }
        return;
    }
    if (r.payEndFrame == 0 || r.paymentFrame < r.payEndFrame) return;
    if (!r.paidShort) {
        if (r.paymentFrame == r.payEndFrame) playVoice(PAID_VOICES[randomInt() % 3]);
        celebrate();
    }
    if (r.paymentFrame == r.payEndFrame + SHAKE_AFTER_END) {
        r.shake = SHAKE_TICKS;
        playSoundEffect(SOUND_BOARD_SHAKE);
    }
    if (r.paymentFrame >= r.payEndFrame + LEAVE_AFTER_END && !r.leaving && (pressed() & BUTTON_CONFIRM)) {
        if (r.paidShort) requestEvent(0, 5, 0);
        else if (game.date == STORY_LAST_DAY) requestEvent(1, 19, 0);
        else requestEvent(0, 4, 0);
        beginLeaving();
    }
}

void updateDayReport() {
    DayReportState& r = gDayReport;
    placeReportCamera();
    if (r.shake > 0) {
        r.shake--;
        r.shakeX = randomInt() % 8 - 4;
        r.shakeY = randomInt() % 8 - 4;
    }
    if (gEventReady) {
        if (paidInFull() && r.paymentFrame >= r.payEndFrame) celebrate();
        return;
    }
    if (r.paymentFrame == PAYMENT_SOUND_FRAME) playSoundEffect(SOUND_PAYMENT_DAY);
    if (r.leaving) {
        runLeaving();
        return;
    }
    if (!r.paymentDay) runReportPhase();
    stepLogPanels();
    if (r.paymentDay) runPayment();
}

// --- the item choice ----------------------------------------------------------------

constexpr int32_t INTRO_END = 150;
constexpr int32_t TOWN_PHASES = 4;
constexpr int32_t ITEM_INFO_FROM_SCREEN = 2;

void startItemChoice() {
    settleBagOnReturn();
    DayReportState& r = gDayReport;
    r.runOutcome = gRun.runEndState;
    r.leaving = 0;
    r.wholeBag = 0;
    if (r.runOutcome > RUN_DEFEATED) {
        for (int32_t& key : gBag) {
            if (key != ITEM_KEY_NONE) key &= ~ITEM_KEY_UNIDENTIFIED;
        }
    }
    r.intro = 1;
    gItemChoice.cursor = 0;
    gItemChoice.listActive = 0;
    for (int32_t& key : gItemChoice.chosenItems) key = ITEM_KEY_NONE;
}

static bool bagIsEmpty() {
    for (int32_t key : gBag) {
        if (key != ITEM_KEY_NONE) return false;
    }
    return true;
}

static void beginChoiceLeaving() {
    hidePointer();
    gDayReport.leaving = 1;
    startFadeOut(0, DAY_REPORT_FADE);
}

static void passDayPhase(GameState& game) {
    game.dayPhase++;
    clearPlaceEventFlags();
}

// The kept items go to storage and make the day's score grow.
static void storeChosenItems() {
    for (int32_t& key : gItemChoice.chosenItems) {
        if (key == ITEM_KEY_NONE) continue;
        key &= ~ITEM_KEY_UNIDENTIFIED;
        if (!strikeFromDeparture(key)) logSoldItem(key, 2);
        addItemToStorage(key);
        addGrowth(key);
    }
}

static void finishItemChoice() {
    DayReportState& r = gDayReport;
    GameState& game = runningGameState();
    int32_t outcomeScore = r.runOutcome == RUN_DEFEATED ? -30 : r.runOutcome == RUN_RETURNED ? 10 : r.runOutcome == RUN_CLEARED ? 30 : 0;
    game.dayScore += outcomeScore + 5 * gFloorIndex + 5;
    gRun.runEndState = 0;
    gRun.runEndTimer = 0;
    hidePointer();
    hideItemList();
    passDayPhase(game);
    if (game.townVisited) {
        passDayPhase(game);
        game.townVisited = 0;
    }
    if (r.wholeBag) {
        if (gRun.dungeonIndex >= 0 && gRun.dungeonIndex < DUNGEON_COUNT &&
            game.deepestFloors[gRun.dungeonIndex] < gFloorIndex)
            game.deepestFloors[gRun.dungeonIndex] = gFloorIndex;
    } else {
        storeChosenItems();
    }
    r.runOutcome = 0;
    r.leaving = 0;
    bool shop;
    if (storyFlag(FLAG_SHOP_AFTER_RUN)) {
        game.storyFlags[FLAG_SHOP_AFTER_RUN] = 0;
        game.storyFlags[FLAG_SHOP_AFTER_RUN_DONE] = 1;
        shop = true;
    } else if (game.dayPhase < TOWN_PHASES) {
        shop = false;
    } else if (storyFlag(FLAG_TOWN_AFTER_LAST_PHASE)) {
        game.dayPhase = TOWN_PHASES - 1;
        game.townVisited = 1;
        shop = false;
    } else {
        shop = true;
    }
    clearOverlayOpening();
    if (shop && game.shopSize >= 0 && game.shopSize < SHOP_SIZE_COUNT) gStageIndex = game.shopSize;
    gGameMode = shop ? GAME_MODE_FIELD : GAME_MODE_WORLD_MAP;
    startFadeIn(0, DAY_REPORT_FADE);
    startSceneLoader();
}

static void runIntro() {
    DayReportState& r = gDayReport;
    if (gRun.runEndTimer < INTRO_END) gRun.runEndTimer++;
    if (gRun.runEndTimer < INTRO_END) return;
    r.intro = 0;
    r.wholeBag = r.runOutcome == RUN_RETURNED || r.runOutcome == RUN_CLEARED;
    openItemList(ITEM_LIST_BAG, 1);
    snapListCursor();
    showPointer();
    gItemChoice.listActive = r.wholeBag;
}

static void runWholeBag() {
    int32_t result = handleItemListInput(0);
    bool ends = result == ITEM_LIST_CONFIRMED || result == ITEM_LIST_CANCELLED ||
                (result == ITEM_LIST_REARRANGED && bagIsEmpty());
    if (!ends) return;
    playSoundEffect(SOUND_CONFIRM);
    returnBagToStock();
    beginChoiceLeaving();
}

static void runChoiceColumn() {
    ItemChoiceState& ch = gItemChoice;
    int32_t slots = itemChoiceSlots(runningGameState().merchantLevel);
    if (getItemInfoState() != 0) {
        if (pressed() & (BUTTON_CONFIRM | BUTTON_CANCEL | BUTTON_SUB)) {
            closeItemInfo();
            playSoundEffect(SOUND_INFO_POPUP);
        }
        return;
    }
    uint16_t keys = repeated();
    if (keys & (BUTTON_UP | BUTTON_DOWN)) {
        int32_t rows = slots + 1;
        ch.cursor = (ch.cursor + ((keys & BUTTON_UP) ? rows - 1 : 1)) % rows;
        playSoundEffect(SOUND_CURSOR);
    }
    if (ch.cursor > slots) ch.cursor = 0;
    int32_t key = ch.cursor > 0 ? ch.chosenItems[ch.cursor - 1] : ITEM_KEY_NONE;
    showItemInfo(key);
    if ((pressed() & BUTTON_SUB) && key != ITEM_KEY_NONE) {
        openItemInfo(ITEM_INFO_FROM_SCREEN);
        playSoundEffect(SOUND_INFO_POPUP);
        return;
    }
    if (!(pressed() & BUTTON_CONFIRM)) return;
    if (ch.cursor == 0) {
        beginChoiceLeaving();
        return;
    }
    ch.listActive = 1;
    playSoundEffect(SOUND_CONFIRM);
}

static void runChoiceList() {
    ItemChoiceState& ch = gItemChoice;
    int32_t result = handleItemListInput(1);
    if (result == ITEM_LIST_CANCELLED) {
        playSoundEffect(SOUND_CANCEL);
        ch.listActive = 0;
    }
    if (result != ITEM_LIST_CHOSEN) return;
    if (ch.cursor > 0 && ch.cursor <= CHOSEN_ITEMS_MAX) {
        int32_t& slot = ch.chosenItems[ch.cursor - 1];
        slot = replaceSelectedListItem(slot);
    }
    ch.listActive = 0;
}

void updateItemChoice() {
    DayReportState& r = gDayReport;
    if (r.leaving) {
        if (isFadeOutDone()) finishItemChoice();
        return;
    }
    if (r.intro) {
        runIntro();
        return;
    }
    if (r.wholeBag) runWholeBag();
    else if (gItemChoice.listActive) runChoiceList();
    else runChoiceColumn();
}
