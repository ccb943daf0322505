// The three trading machines of the counter: the seller, the request
// customer and the buyer; the evaluation of a settled price and the deal's
// effects on money, items, relationships and the day's logs.
#include <cstdio>

#include "shop/purchase_equipment.h"
#include "engine/dialogs.h"
#include "engine/input.h"
#include "engine/save_file.h"
#include "engine/sound.h"
#include "engine/story_flags.h"
#include "shop/counter.h"
#include "shop/day_planning.h"
#include "shop/item_db.h"
#include "shop/item_list.h"
#include "shop/negotiation.h"
#include "shop/orders.h"
#include "shop/request_rows.h"
#include "shop/storage.h"

constexpr float CHOICE_POINTER_Y = 386.0f;
constexpr int32_t INFO_WINDOW_MODE = 1;          // the item-info window opened by a screen
constexpr int32_t POINTS_PERFECT = 5;
constexpr int32_t POINTS_NEAR = 2;
constexpr int32_t POINTS_PLAIN = 1;
constexpr int32_t FAIR_ROUND = 3;                // a deal this late costs a point

static uint16_t pressed() { return gInputState[0].pressed; }

static void enterState(int32_t state) {
    gCounter.state = state;
    gCounter.stateFrame = 0;
}

void visitorSays(int32_t kind) {
    showCustomerLine(gCounter.customerType, kind, SLOT_CUSTOMER);
    gCounter.panelWanted[SLOT_CUSTOMER] = 1;
}

void shopkeeperSays(int32_t kind) {
    showCustomerLine(0, kind, SLOT_SHOPKEEPER);
    gCounter.panelWanted[SLOT_SHOPKEEPER] = 1;
}

bool visitorAnswered() {
    if (!counterLineAnswered()) return false;
    gCounter.panelWanted[SLOT_CUSTOMER] = 0;
    return true;
}

bool shopkeeperAnswered() {
    if (!counterLineAnswered()) return false;
    gCounter.panelWanted[SLOT_SHOPKEEPER] = 0;
    return true;
}

bool beginCounterHandler() {
    CounterState& c = gCounter;
    c.stateFrame++;
    if (getItemInfoState() == 0) return true;
    if (pressed() & (COUNTER_CONFIRM | COUNTER_CANCEL | COUNTER_INFO)) {
        closeItemInfo();
        if (c.infoFrame == 0) showPointer();
        playSoundEffect(SOUND_INFO_POPUP);
    }
    return false;
}

void endCounterHandler() {
    if (gCounter.infoFrame == 0 || !(pressed() & COUNTER_INFO)) return;
    showItemInfo(gCounter.itemKey);
    openItemInfo(INFO_WINDOW_MODE);
    playSoundEffect(SOUND_INFO_POPUP);
}

static CustomerRelation* relation() {
    int32_t index = gCounter.customerIndex;
    if (index < 0 || index >= CUSTOMER_RELATION_COUNT) return nullptr;
    return &runningGameState().customerRelations[index];
}

// Relationship changes; none while the story tutorial runs.
static void changePoints(int32_t delta) {
    CustomerRelation* r = relation();
    if (!r || storyFlag(FLAG_STORY_TUTORIAL)) return;
    int32_t points = r->points + delta;
    r->points = static_cast<int16_t>(points < 0 ? 0 : points > INT16_MAX ? INT16_MAX : points);
}

static int32_t judgedPoints() {
    switch (judgePrice()) {
    case JUDGED_PERFECT: return POINTS_PERFECT;
    case JUDGED_NEAR: return POINTS_NEAR;
    default: return POINTS_PLAIN;
    }
}

static void rewardDeal(bool withPoints, int32_t plusLevel) {
    if (withPoints) changePoints(judgedPoints() + plusLevel);
    if (!storyFlag(FLAG_STORY_TUTORIAL) && raiseCustomerLevel()) gCounter.levelUpFlash = 1;
}

// The last round: the customer gives up at its attitude, unless the
// scripted day keeps it haggling.
static bool lastRound() { return gCounter.round == getCustomerAttitude() && !storyFlag(FLAG_SCRIPTED_DAY); }

// After "Okay!": the customer's answer to the price P against its offer O,
// its limit L and the base price B.
static void evaluateCounterPrice() {
    CounterState& c = gCounter;
    const bool tutorial = storyFlag(FLAG_STORY_TUTORIAL);
    const bool scripted = storyFlag(FLAG_SCRIPTED_DAY);
    const int32_t P = c.counterPrice, O = c.offer, L = c.limit, B = c.basePrice;
    c.badPriceInTutorial = 0;
    if (c.round == FAIR_ROUND) changePoints(-1);
    int32_t plus = c.mode == COUNTER_ORDER_PICKUP ? orderSlotPlusLevels() : itemKeyPlus(c.itemKey);
    float budget = static_cast<float>(computeCustomerBudget(c.customerType, c.customerIndex));
    if (c.mode == COUNTER_REQUEST && !tutorial && static_cast<float>(P) > 1.2f * budget) {
        enterState(COUNTER_OVER_BUDGET);
    } else if (c.mode == COUNTER_ORDER_PICKUP && static_cast<float>(P) > 1.2f * budget * static_cast<float>(c.orderQuantity)) {
        // The whole order against the budget for one item times the quantity.
        changePoints(-1);
        enterState(COUNTER_OVER_BUDGET);
    } else if (c.mode == COUNTER_SELLER) {
        if (P < O) {
            if (P > L || scripted) {
                enterState(COUNTER_COUNTER_OFFER);
            } else {
                enterState(COUNTER_WALK_OUT);
                changePoints(-1);
            }
        } else if (tutorial && static_cast<float>(P) >= 0.9f * static_cast<float>(B)) {
            c.badPriceInTutorial = 1;
            enterState(COUNTER_COUNTER_OFFER);
        } else {
            rewardDeal(true, plus);
            enterState(COUNTER_DEAL);
        }
    } else if (O < P) {
        if (P >= L && !scripted) {
            enterState(COUNTER_WALK_OUT);
            changePoints(-1);
        } else {
            enterState(COUNTER_COUNTER_OFFER);
        }
    } else if (tutorial && static_cast<float>(P) <= 0.8f * static_cast<float>(B)) {
        c.badPriceInTutorial = 1;
        enterState(COUNTER_COUNTER_OFFER);
    } else {
        bool points = !(c.mode == COUNTER_BUYER && scripted);
        rewardDeal(points, c.mode == COUNTER_REQUEST || c.mode == COUNTER_ORDER_PICKUP ? plus : 0);
        enterState(COUNTER_DEAL);
    }
    c.pricePanelWanted = 0;
    c.stateFrame = 0;
    hidePointer();
}

// --- deal effects ----------------------------------------------------------

static void sellToBuyer() {
    GameState& game = runningGameState();
    int32_t key = gCounter.itemKey;
    game.money += gCounter.counterPrice;
    playSoundEffect(SOUND_MONEY);
    updatePriceReputation(PRICE_SOLD);
    recordPriceExtremes();
    awardDealBonus();
    logSoldItem(key, 0);
    int32_t slot = -1, shelf = -1;
    takeItemFromShelves(key, slot, shelf);
    equipAdventurerPurchase();
}

static void sellToRequest() {
    GameState& game = runningGameState();
    int32_t key = gCounter.itemKey;
    if (!removeStorageKey(key)) {
        int32_t slot = -1, shelf = -1;
        takeItemFromShelves(key, slot, shelf);
    }
    logSoldItem(key, 0);
    game.money += gCounter.counterPrice;
    playSoundEffect(SOUND_MONEY);
    updatePriceReputation(PRICE_SOLD);
    recordPriceExtremes();
    awardDealBonus();
    equipAdventurerPurchase();
}

static void buyFromSeller() {
    GameState& game = runningGameState();
    int32_t key = gCounter.itemKey;
    logSoldItem(key, 1);
    game.money -= gCounter.counterPrice;
    playSoundEffect(SOUND_MONEY);
    updatePriceReputation(PRICE_BOUGHT);
    awardDealBonus();
    addItemToStorage(key);
}

void runDealEffects(void (*effects)()) {
    if (!storyFlag(FLAG_STORY_TUTORIAL)) effects();
    gCounter.infoFrame = 0;
}

// --- the states the three modes share ----------------------------------------

void runPriceEntry(int32_t promptLine) {
    CounterState& c = gCounter;
    if (c.stateFrame == 1) {
        // The prompt is read in the price panel: a speech panel here would
        // lie over the digits the arrows change.
        shopkeeperSays(promptLine);
        c.panelWanted[SLOT_SHOPKEEPER] = c.panelWanted[SLOT_CUSTOMER] = 0;
        c.pricePanelWanted = 1;
        clampCounterPrice();
    }
    editCounterPrice();
    if (pressed() & COUNTER_CONFIRM) {
        c.panelWanted[SLOT_SHOPKEEPER] = 0;
        openCounterChoice(CHOICE_POINTER_Y);
        enterState(COUNTER_CHOICE);
    }
}

void runPriceChoice() {
    int32_t answer = updateCounterChoice(CHOICE_POINTER_Y);
    if (answer == 1) evaluateCounterPrice();
    else if (answer == 2) enterState(COUNTER_PRICE_ENTRY);
}

static void leaveWithoutDeal() {
    gCounter.infoFrame = 0;
    enterState(COUNTER_LEAVES);
}

void visitorSaysThenLeaves(int32_t kind) {
    if (gCounter.stateFrame == 1) visitorSays(kind);
    if (visitorAnswered()) leaveWithoutDeal();
}

static void showItem() {
    gCounter.infoFrame = 1;
    hidePointer();
}

// --- seller ----------------------------------------------------------------

void updateSellerCounter() {
    CounterState& c = gCounter;
    if (!beginCounterHandler()) return;
    switch (c.state) {
    case COUNTER_OPENING:
        if (c.stateFrame == 1) {
            visitorSays(VISITOR_SELLER_OPENING);
            showItem();
        }
        if (visitorAnswered()) {
            updateSellerAsk();
            clampCounterPrice();
            countPriceDigits();
            enterState(COUNTER_PRICE_ENTRY);
        }
        break;
    case COUNTER_PRICE_ENTRY: runPriceEntry(SHOPKEEPER_BUY_PROMPT); break;
    case COUNTER_CHOICE: runPriceChoice(); break;
    case COUNTER_COUNTER_OFFER:
        if (c.stateFrame == 1) {
            c.combo = 0;
            formatCounterPrice(c.offer);
            if (c.badPriceInTutorial) visitorSays(VISITOR_TUTORIAL_TOO_HIGH);
            else visitorSays(lastRound() ? VISITOR_SELLER_GIVES_UP : VISITOR_SELLER_COUNTER);
        }
        if (visitorAnswered()) {
            if (c.badPriceInTutorial) {
                enterState(COUNTER_PRICE_ENTRY);
            } else if (lastRound()) {
                leaveWithoutDeal();
            } else {
                updateSellerAsk();
                clampCounterPrice();
                enterState(COUNTER_PRICE_ENTRY);
            }
        }
        break;
    case COUNTER_WALK_OUT: visitorSaysThenLeaves(VISITOR_SELLER_GIVES_UP); break;
    case COUNTER_DEAL:
        if (c.stateFrame == 1) visitorSays(VISITOR_SELLER_DEAL);
        if (visitorAnswered()) {
            runDealEffects(buyFromSeller);
            enterState(COUNTER_THANKS);
        }
        break;
    default: break;
    }
    endCounterHandler();
}

// --- buyer and request customer -------------------------------------------------

void runBuyerCounterOffer() {
    CounterState& c = gCounter;
    if (c.stateFrame == 1) {
        c.combo = 0;
        formatCounterPrice(c.offer);
        if (c.badPriceInTutorial) visitorSays(VISITOR_TUTORIAL_TOO_LOW);
        else if (lastRound()) visitorSays(VISITOR_BUYER_GIVES_UP);
        else visitorSays(c.state == COUNTER_OVER_BUDGET ? VISITOR_OVER_BUDGET : VISITOR_BUYER_COUNTER);
    }
    if (!visitorAnswered()) return;
    if (!c.badPriceInTutorial && lastRound()) {
        leaveWithoutDeal();
        return;
    }
    updateBuyerOffer();
    enterState(COUNTER_PRICE_ENTRY);
}

void startBuyerHaggle() {
    updateBuyerOffer();
    clampCounterPrice();
    countPriceDigits();
    enterState(COUNTER_PRICE_ENTRY);
}

void runBuyerDeal(void (*effects)()) {
    if (gCounter.stateFrame == 1) visitorSays(VISITOR_DEAL);
    if (visitorAnswered()) {
        runDealEffects(effects);
        enterState(COUNTER_THANKS);
    }
}

void updateBuyerCounter() {
    CounterState& c = gCounter;
    if (!beginCounterHandler()) return;
    switch (c.state) {
    case COUNTER_OPENING:
        if (c.stateFrame == 1) {
            visitorSays(VISITOR_BUYER_OPENING);
            showItem();
        }
        if (visitorAnswered()) startBuyerHaggle();
        break;
    case COUNTER_PRICE_ENTRY: runPriceEntry(SHOPKEEPER_SELL_PROMPT); break;
    case COUNTER_CHOICE: runPriceChoice(); break;
    case COUNTER_COUNTER_OFFER: runBuyerCounterOffer(); break;
    case COUNTER_WALK_OUT: visitorSaysThenLeaves(VISITOR_WALK_OUT); break;
    case COUNTER_DEAL: runBuyerDeal(sellToBuyer); break;
    default: break;
    }
    endCounterHandler();
}

// The request list: the pick becomes the counter item, or the shopkeeper
// has nothing.
static void pickRequestedItem() {
    CounterState& c = gCounter;
    int32_t result = handleItemListInput(1);
    if (result == ITEM_LIST_CONFIRMED) playSoundEffect(SOUND_CONFIRM);
    if (result != ITEM_LIST_CHOSEN) return;
    hidePointer();
    hideItemList();
    c.sidePanelMode = 0;
    int32_t key = getSelectedListItemKey();
    if (key < 0) {
        enterState(COUNTER_NOTHING);
        return;
    }
    c.itemKey = key;
    int32_t row = findItemDef(itemKeyId(key));
    c.unitPrice = row >= 0 ? gItemDefinitions[row].price : 0;
    c.basePrice = c.counterPrice = c.unitPrice;
    formatCounterItemName(key);
    formatCounterPrice(c.counterPrice);
    enterState(COUNTER_OFFER_ITEM);
}

void updateRequestCounter() {
    CounterState& c = gCounter;
    if (!beginCounterHandler()) return;
    switch (c.state) {
    case COUNTER_OPENING:
        if (c.stateFrame == 1) {
            c.requestText[0] = 0;
            if (c.requestRow >= 0 && c.requestRow < REQUEST_ROW_MAX)
                snprintf(c.requestText, COUNTER_TAG_SIZE, "%.*s", REQUEST_NAME_SIZE, gRequestRows[c.requestRow].name);
            visitorSays(VISITOR_REQUEST);
        }
        if (visitorAnswered()) {
            c.listOpenPending = 1;
            c.sidePanelMode = 3;
            enterState(COUNTER_PICK_ITEM);
        }
        break;
    case COUNTER_PICK_ITEM:
        if (!c.listOpenPending) pickRequestedItem();
        break;
    case COUNTER_OFFER_ITEM:
        if (c.stateFrame == 1) {
            shopkeeperSays(SHOPKEEPER_OFFER_ITEM);
            c.infoFrame = 1;
        }
        if (shopkeeperAnswered()) enterState(itemFitsRequestRow(c.itemKey, c.requestRow) ? COUNTER_ASK_PRICE : COUNTER_NO_FIT);
        break;
    case COUNTER_ASK_PRICE:
        if (c.stateFrame == 1) visitorSays(VISITOR_ITEM_FITS);
        if (visitorAnswered()) startBuyerHaggle();
        break;
    case COUNTER_NO_FIT: visitorSaysThenLeaves(VISITOR_NO_FIT); break;
    case COUNTER_NOTHING:
        if (c.stateFrame == 1) shopkeeperSays(SHOPKEEPER_NOTHING);
        if (shopkeeperAnswered()) enterState(COUNTER_NOTHING_ANSWER);
        break;
    case COUNTER_NOTHING_ANSWER: visitorSaysThenLeaves(VISITOR_NOTHING_ANSWER); break;
    case COUNTER_PRICE_ENTRY: runPriceEntry(SHOPKEEPER_SELL_PROMPT); break;
    case COUNTER_CHOICE: runPriceChoice(); break;
    case COUNTER_COUNTER_OFFER:
    case COUNTER_OVER_BUDGET: runBuyerCounterOffer(); break;
    case COUNTER_WALK_OUT: visitorSaysThenLeaves(VISITOR_WALK_OUT); break;
    case COUNTER_DEAL: runBuyerDeal(sellToRequest); break;
    default: break;
    }
    endCounterHandler();
}
