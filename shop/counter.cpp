// The counter's tick: the panels, the gap between visits and each visit's
// set-up, the arrival, the endings the modes share and the phase's closing.
#include "shop/counter.h"

#include <cstdio>
#include <cstring>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/random.h"
#include "engine/scene_pictures.h"
#include "engine/save_file.h"
#include "engine/settings.h"
#include "engine/sound.h"
#include "engine/story_flags.h"
#include "engine/textures.h"
#include "field/field.h"
#include "shop/counter_tutorial.h"
#include "shop/day_planning.h"
#include "shop/floor_customers.h"
#include "shop/item_db.h"
#include "shop/item_list.h"
#include "shop/orders.h"
#include "shop/story_visits.h"
#include "shop/trends.h"
#include "shop/visitor_wishes.h"
#include "story/story.h"

CounterState gCounter;

void resetCounterState() { gCounter = CounterState{}; }

int32_t shopDayTimer() { return gCounter.dayTimer; }
int32_t counterVisitorType() { return gCounter.visitorType; }

constexpr int32_t LEVEL_UP_FLASH_TICKS = 79;
constexpr int32_t INFO_FRAME_MAX = 60;
constexpr int32_t INFO_SPARKLE_FROM = 38;
constexpr int32_t INFO_BURST_FRAME = 29;
constexpr int32_t EFFECT_SHOWCASE_SPARKLE = 59;
constexpr int32_t EFFECT_SHOWCASE_BURST = 61;
constexpr float ITEM_SHOWN_X = 304.0f;
constexpr float ITEM_SHOWN_Y = 128.0f;
constexpr int32_t BONUS_ROW_TICKS = 60;
constexpr int32_t GAP_RELEASE_PICTURES = 10;
constexpr int32_t GAP_VENDING = 20;
constexpr int32_t GAP_STORY = 50;
constexpr int32_t GAP_SETUP = 60;
constexpr int32_t GAP_SLIDE_IN = 120;
constexpr int32_t TUTORIAL_WAIT_BEFORE_COMMENT = 20;
constexpr int32_t CLOSING_FADE_IN = 30;
constexpr int32_t LAST_DAY_PHASE = 4;
constexpr int32_t MARKET_DAYS_FROM = 9;
constexpr int32_t REQUEST_LIST_TUTORIAL = 2;
constexpr int32_t PORTRAIT_SLOT_VISITOR = 1;

static uint16_t pressed() { return gInputState[0].pressed; }

static void enterState(int32_t state) {
    gCounter.state = state;
    gCounter.stateFrame = 0;
}

static void freeCounter() {
    enterState(COUNTER_FREE);
    gCounter.gapFrame = 0;
}

// --- the per-tick panels --------------------------------------------------------

// Panels slide out before any slides in; the typewriter runs with each
// shown speech panel, so with both shown it types two characters a frame.
static void stepPanels() {
    CounterState& c = gCounter;
    if (c.sidePanelMode == 0) c.sidePanelSlide = 0;
    else if (c.sidePanelSlide < COUNTER_PANEL_OPEN) c.sidePanelSlide++;
    bool moving = false;
    for (int32_t slot = 0; slot < 2; slot++) {
        if (c.panelWanted[slot] == 0 && c.panelSlide[slot] > 0) {
            c.panelSlide[slot]--;
            moving = true;
        }
    }
    if (c.pricePanelWanted == 0 && c.pricePanelSlide > 0) {
        c.pricePanelSlide--;
        moving = true;
    }
    if (moving) return;
    for (int32_t slot = 0; slot < 2; slot++) {
        if (c.panelWanted[slot] == 0) continue;
        if (c.panelSlide[slot] < COUNTER_PANEL_OPEN) {
            c.panelSlide[slot]++;
            moving = true;
        }
        c.shownChars++;
    }
    if (c.pricePanelWanted && c.pricePanelSlide < COUNTER_PANEL_OPEN) c.pricePanelSlide++;
    if (moving || !c.listOpenPending) return;
    bool storage = c.listOpenPending != REQUEST_LIST_TUTORIAL && !storyFlag(FLAG_STORY_TUTORIAL);
    openItemList(storage ? ITEM_LIST_DELIVERY : ITEM_LIST_TUTORIAL, 1);
    snapListCursor();
    showPointer();
    c.listOpenPending = 0;
}

// The item shown on the counter: the showcase's sparkle and burst, and its
// sound on the second frame.
static void stepItemShown() {
    CounterState& c = gCounter;
    if (c.infoFrame <= 0) return;
    if (c.infoFrame >= INFO_SPARKLE_FROM && c.showcaseItem && c.dayTimer % 2 == 0 && !gSEasyDisp) {
        float x = ITEM_SHOWN_X + 64.0f * (randomUnit() - 0.5f);
        float y = ITEM_SHOWN_Y + 64.0f * (randomUnit() - 0.5f);
        spawnScreenEffectSet(x, y, EFFECT_SHOWCASE_SPARKLE, 0.8f, EFFECT_LIFETIME_DEFAULT, EFFECT_ATTACH_FREE);
    }
    if (c.infoFrame >= INFO_FRAME_MAX) return;
    if (c.infoFrame == INFO_BURST_FRAME && c.showcaseItem && !gSEasyDisp)
        spawnScreenEffectSet(ITEM_SHOWN_X, ITEM_SHOWN_Y, EFFECT_SHOWCASE_BURST, 1.0f, EFFECT_LIFETIME_DEFAULT,
                             EFFECT_ATTACH_FREE);
    if (++c.infoFrame == 2) playSoundEffect(SOUND_ITEM_SHOWN);
}

// The bonus rows appear a second apart; once all have shown, the total goes
// to the merchant's experience.
static void stepBonus() {
    CounterState& c = gCounter;
    if (c.bonusTimer <= 0) return;
    c.bonusTimer++;
    int32_t rows = c.bonusRowCount < COUNTER_BONUS_ROWS ? c.bonusRowCount : COUNTER_BONUS_ROWS;
    for (int32_t i = 0; i < rows; i++) {
        if (i * BONUS_ROW_TICKS < c.bonusTimer) c.bonusAnim[i]++;
    }
    if (c.bonusTimer <= c.bonusRowCount * BONUS_ROW_TICKS) return;
    c.bonusTimer = 0;
    if (rows > 0) runningGameState().merchantExp += c.bonusValues[rows - 1];
}

// --- the gap and the visit's set-up --------------------------------------------

static void setDueText(int32_t days) {
    if (days == 1) snprintf(gCounter.dueText, COUNTER_TAG_SIZE, "by tomorrow");
    else snprintf(gCounter.dueText, COUNTER_TAG_SIZE, "in %d days", days);
}

static bool setUpOrderVisit(const VisitPlan& plan, int32_t mode) {
    CounterState& c = gCounter;
    c.mode = mode;
    c.customerType = plan.customerType;
    c.customerIndex = plan.customerIndex;
    c.requestRow = plan.requestRow;
    c.orderQuantity = plan.quantity;
    c.orderDays = plan.days;
    snprintf(c.quantityText, COUNTER_TAG_SIZE, "%d", plan.quantity);
    setDueText(plan.days);
    return true;
}

// A buyer or request customer: one time in four a request when requests are
// allowed (not on a trend day with a trend item), else a buyer, and a
// request when the buyer finds nothing.
static bool setUpBuyingVisit() {
    const CounterState& c = gCounter;
    if (storyFlag(FLAG_REQUESTS) && !(c.trendDay && c.trendItem >= 0) && randomInt() % 4 == 0)
        return chooseRequestVisit() != 0;
    return chooseBuyerItem() != 0 || chooseRequestVisit() != 0;
}

static bool chooseVisit() {
    CounterState& c = gCounter;
    if (storyFlag(FLAG_STORY_TUTORIAL)) {
        if (c.tutorialLesson == 2) return chooseRequestVisit() != 0;
        if (c.tutorialLesson == 1) return chooseSellerItem() != 0;
        return chooseBuyerItem() != 0;
    }
    int32_t row = c.visitCursor >= 0 && c.visitCursor < VISIT_ORDER_SIZE ? gDayPlan.visitOrder[c.visitCursor] : -1;
    bool chosen = false;
    if (row >= 0 && row < VISIT_PLAN_MAX) {
        const VisitPlan& plan = gDayPlan.visitPlan[row];
        switch (plan.kind) {
        case VISIT_ORDER_OVERDUE: chosen = setUpOrderVisit(plan, COUNTER_ORDER_OVERDUE); break;
        case VISIT_ORDER_DUE: chosen = setUpOrderVisit(plan, COUNTER_ORDER_PICKUP); break;
        case VISIT_ORDER_PLACE: chosen = setUpOrderVisit(plan, COUNTER_ORDER_PLACEMENT); break;
        case VISIT_SELL: chosen = chooseSellerItem() != 0; break;
        case VISIT_BUY: chosen = setUpBuyingVisit(); break;
        default: break;
        }
    }
    c.visitCursor++;
    return chosen;
}

static void setUpVisit() {
    CounterState& c = gCounter;
    c.visitsDone++;
    if (!storyFlag(FLAG_SCRIPTED_DAY) && c.visitsDone >= gDayPlan.visitPlanCount + 1) c.closing = 1;
    if (c.visitCursor >= gDayPlan.visitPlanCount) {
        freeCounter();
    } else {
        c.showcaseItem = 0;
        if (!chooseVisit()) freeCounter();
    }
    c.faces[SLOT_SHOPKEEPER] = c.faces[SLOT_CUSTOMER] = 0;
    c.orderPick = ITEM_KEY_NONE;
    if (!c.closing && c.customerType > 0) {
        c.visitorType = c.customerType;
        startPortraitLoader(PORTRAIT_SLOT_VISITOR);
    }
}

static void runGap() {
    CounterState& c = gCounter;
    c.gapFrame++;
    if (c.gapFrame == GAP_RELEASE_PICTURES) releaseTextureGroup(TEXTURE_GROUP_VISITOR);
    if (c.gapFrame == GAP_VENDING && c.visitsDone % 2 == 1 && !storyFlag(FLAG_STORY_TUTORIAL))
        runVendingSales(countPlacedShelves());
    if (c.gapFrame == GAP_STORY && c.visitsDone == 0 && runningGameState().playMode != PLAY_MODE_SURVIVAL) {
        checkStoryVisits();
        if (c.state == COUNTER_QUEST_REWARD) return;
    }
    if (c.gapFrame == GAP_SETUP) setUpVisit();
    if (c.gapFrame < GAP_SLIDE_IN) {
        if (c.letterbox > 0) c.letterbox--;
        return;
    }
    if (c.slide < COUNTER_SLIDE_IN) c.slide++;
    if (c.letterbox < COUNTER_SLIDE_IN) c.letterbox++;
    if (c.slide < COUNTER_SLIDE_IN) return;
    enterState(COUNTER_ARRIVED);
    int32_t row = c.itemKey >= 0 ? findItemDef(itemKeyId(c.itemKey)) : -1;
    c.unitPrice = row >= 0 ? gItemDefinitions[row].price : 0;
    c.basePrice = c.counterPrice = c.unitPrice;
    c.round = 0;
}

// --- arrival and the shared endings ------------------------------------------

static void runArrival() {
    CounterState& c = gCounter;
    if (c.tutorialMode) {
        // The runner counts the state's frames: its first resets the lesson.
        if (c.stateFrame == 0) c.tutorialStepFrame = c.tutorialStepIndex = c.tutorialWait = 0;
        runTutorialStep();
        return;
    }
    c.stateFrame++;
    if (c.stateFrame == 1) showCustomerLine(0, SHOPKEEPER_GREETING, SLOT_SHOPKEEPER);
    c.panelWanted[SLOT_SHOPKEEPER] = 1;
    if (counterLineAnswered()) {
        enterState(COUNTER_OPENING);
        c.panelWanted[SLOT_SHOPKEEPER] = 0;
    }
}

// The story tutorial's later visits stay at the counter for its comments.
static bool tutorialHoldsCustomer() { return storyFlag(FLAG_STORY_TUTORIAL) && !gCounter.tutorialMode; }

static void runThanks() {
    CounterState& c = gCounter;
    c.stateFrame++;
    if (c.stateFrame == 1) shopkeeperSays(SHOPKEEPER_THANKS);
    if (shopkeeperAnswered()) enterState(COUNTER_SUMMARY);
}

static void runLeaving() {
    CounterState& c = gCounter;
    c.stateFrame++;
    c.combo = 0;
    if (tutorialHoldsCustomer()) {
        if (c.stateFrame > TUTORIAL_WAIT_BEFORE_COMMENT) {
            enterState(COUNTER_TUTORIAL_COMMENT);
            c.tutorialRedo = 1;
        }
        return;
    }
    if (c.slide > 0) {
        c.panelWanted[SLOT_SHOPKEEPER] = 0;
        if (--c.slide > 0) return;
        shopkeeperSays(SHOPKEEPER_FAREWELL);
        return;
    }
    c.slide = 0;
    if (c.stateFrame == 1) shopkeeperSays(SHOPKEEPER_FAREWELL);   // the customer had gone already
    if (shopkeeperAnswered()) enterState(COUNTER_AFTER_LEAVING);
}

// States 12 and 13: the customer slides out first (unless the tutorial holds
// it); true on the frame the counter is clear for what follows.
static bool slideOut(bool& justCleared) {
    CounterState& c = gCounter;
    c.stateFrame++;
    justCleared = c.stateFrame == 1;
    if (tutorialHoldsCustomer()) return true;
    if (c.slide > 0) {
        if (--c.slide > 0) return false;
        justCleared = true;
    }
    return true;
}

static void runAfterLeaving() {
    bool justCleared;
    if (!slideOut(justCleared)) return;
    gCounter.panelWanted[SLOT_SHOPKEEPER] = 0;
    freeCounter();
}

static void runSummary() {
    CounterState& c = gCounter;
    bool justCleared;
    if (!slideOut(justCleared)) return;
    if (c.tutorialMode) {
        c.tutorialMode = 0;
        freeCounter();
        return;
    }
    if (justCleared) {
        formatCounterItemName(c.itemKey);
        formatCounterPrice(c.counterPrice);
        if (c.mode == COUNTER_SELLER) shopkeeperSays(SHOPKEEPER_PURCHASE_SUMMARY);
        else if (c.mode == COUNTER_ORDER_PLACEMENT) shopkeeperSays(SHOPKEEPER_ORDER_SUMMARY);
        else shopkeeperSays(SHOPKEEPER_SALE_SUMMARY);
    }
    if (!shopkeeperAnswered()) return;
    if (storyFlag(FLAG_STORY_TUTORIAL)) enterState(COUNTER_TUTORIAL_COMMENT);
    else freeCounter();
    if (storyFlag(FLAG_SCRIPTED_DAY)) c.closing = 1;
}

// --- closing the phase -----------------------------------------------------------

// Where the shopkeeper stands behind the counter after a phase.
static void placeShopkeeperBehindCounter() {
    bool tutorial = storyFlag(FLAG_STORY_TUTORIAL);
    bool largest = runningGameState().shopSize == SHOP_SIZE_COUNT - 1;
    if (largest) placeShopkeeper(tutorial ? 9.2f : 11.5f, 16.9f);
    else placeShopkeeper(tutorial ? -1.5f : 0.8f, 9.0f);
}

static void finishPhase() {
    CounterState& c = gCounter;
    GameState& game = runningGameState();
    computeShopAtmosphere();
    c.shopOpening = 0;
    releaseTextureGroup(TEXTURE_GROUP_SHOPKEEPER);
    resetCustomers();
    bool tutorial = storyFlag(FLAG_STORY_TUTORIAL);
    if (!tutorial) {
        game.dayPhase++;
        clearPlaceEventFlags();
    }
    if (game.dayPhase >= LAST_DAY_PHASE) {
        game.dayPhase = LAST_DAY_PHASE;
        gShopDayPhase = 1;
        enterShop();
    } else {
        gShopFloor.shopFloorState = SHOP_FLOOR_WALKING;
        placeShopkeeperBehindCounter();
        if (!tutorial && game.date >= MARKET_DAYS_FROM && randomInt() % 3 == 0) {
            advanceMarketDay();
            startNewsBanner();
        }
    }
    if (storyFlag(FLAG_SCRIPTED_DAY)) {
        setStoryFlag(FLAG_SCRIPTED_DAY, 0);
        setStoryFlag(FLAG_SCRIPTED_DAY_DONE, 1);
    }
    if (tutorial) {
        setStoryFlag(FLAG_STORY_TUTORIAL, 0);
        if (!storyFlag(FLAG_TUTORIAL_REPEAT)) {
            setStoryFlag(FLAG_COUNTER_LESSONS, 0);
            setStoryFlag(FLAG_COUNTER_LESSONS_DONE, 1);
        }
        setStoryFlag(FLAG_TUTORIAL_REPEAT, 0);
    }
    startFadeIn(0, CLOSING_FADE_IN);
    gFieldCamera.cameraMode = CAMERA_FOLLOW;
}

// The phase closes once it has run its minimum and the bonus is paid; the
// fade-out then ends it.
static void runClosing() {
    CounterState& c = gCounter;
    if (c.closing == 1) {
        if (c.bonusTimer == 0 && c.dayTimer > COUNTER_CLOSING_MIN_TICKS) {
            startFadeOut(0, COUNTER_CLOSING_FADE);
            c.closing = 2;
        }
        return;
    }
    if (isFadeOutDone()) finishPhase();
}

// --- the tick -------------------------------------------------------------------

static void dispatchState() {
    CounterState& c = gCounter;
    switch (c.state) {
    case COUNTER_FREE: runGap(); return;
    case COUNTER_ARRIVED: runArrival(); return;
    case COUNTER_QUEST_REWARD: updateQuestReward(); return;
    case COUNTER_THANKS: runThanks(); return;
    case COUNTER_LEAVES: runLeaving(); return;
    case COUNTER_SUMMARY: runSummary(); return;
    case COUNTER_AFTER_LEAVING: runAfterLeaving(); return;
    case COUNTER_TUTORIAL_COMMENT:
    case COUNTER_TUTORIAL_LEAVE: updateTutorialComment(); return;
    default: break;
    }
    switch (c.mode) {
    case COUNTER_SELLER: updateSellerCounter(); break;
    case COUNTER_REQUEST: updateRequestCounter(); break;
    case COUNTER_BUYER: updateBuyerCounter(); break;
    case COUNTER_ORDER_PLACEMENT: updateOrderPlacement(); break;
    case COUNTER_ORDER_PICKUP: updateOrderPickup(); break;
    case COUNTER_ORDER_OVERDUE: updateOrderOverdue(); break;
    default: break;
    }
}

void updateShopDay() {
    CounterState& c = gCounter;
    if (gPortraitState == PORTRAIT_LOADING) return;
    if (c.cancelPromptOpen) {
        int32_t answer = updateYesNoWindow(0);
        if (answer == 1) {
            c.closing = 1;
            if (c.dayTimer < COUNTER_CLOSING_MIN_TICKS) c.dayTimer = COUNTER_CLOSING_MIN_TICKS;
            c.cancelPromptOpen = 0;
        } else if (answer == 2) {
            c.cancelPromptOpen = 0;
        }
        return;
    }
    c.dayTimer++;
    if (c.levelUpFlash > 0 && ++c.levelUpFlash > LEVEL_UP_FLASH_TICKS) c.levelUpFlash = 0;
    moveFollowers();
    stepPanels();
    if (!c.tutorialMode && c.state != COUNTER_CHOICE && c.choiceFade > 0) c.choiceFade--;
    stepItemShown();
    stepBonus();
    stepCounterCamera();
    if (c.hasPage2 && c.speechDone && (pressed() & COUNTER_CONFIRM)) {
        memcpy(c.speechText, c.page2, COUNTER_TEXT_SIZE);
        c.shownChars = 0;
        c.hasPage2 = 0;
        c.speechDone = 0;
        return;
    }
    if (c.closing) {
        runClosing();
        return;
    }
    dispatchState();
}

int32_t askCancelTutorial() {
    CounterState& c = gCounter;
    if (c.closing != 0 || c.tutorialMode != 1 || c.cancelPromptOpen) return 0;
    openYesNoWindow("Cancelling tutorial. Are you sure?", 1, 0);
    c.cancelPromptOpen = 1;
    return 1;
}
