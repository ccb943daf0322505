// The counter: price entry, the "Okay!" prompt, speech lines and their
// answers, the customers' answers to a price (deal, counter-offer, walk-out
// per mode), a deal's effects, the combo and the phase's closing. Each test
// puts the counter in a state and drives its handlers with pressed buttons,
// standing in for the drawing where it marks a page shown.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "economy_fixture.h"
#include "engine/fades.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/story_flags.h"
#include "shop/counter_window.h"
#include "shop/negotiation.h"
#include "shop/storage.h"

namespace {

const char ITEMS[] =
    ":Food\n"
    "4000 Unknown Food#-1#0#0#0#0#Food###t\n"
    "4001 Bread+bread#10#20#0#0#0#Food Plan###t\n"
    "4002 Royal Tart+royal tarts#900#30#0#0#0#Food Swtt Sobr###t\n";

constexpr int32_t TART = 4002;
constexpr int32_t VISITOR = 12;
constexpr int32_t INDEX = 7;

class CounterTest : public EconomyTest {
protected:
    void SetUp() override {
        EconomyTest::SetUp();
        loadItems(ITEMS);
        game().money = 5000;
        for (int32_t type : {0, VISITOR, SELLER_TYPE_FIVEFOLD}) {
            CustomerType& t = gCustomerTypes[type];
            t.present = 1;
            for (int32_t kind = 0; kind < CUSTOMER_LINE_KINDS; kind++) {
                t.lineVariantCount[kind] = 1;
                snprintf(t.lineTexts[kind][0], CUSTOMER_LINE_SIZE, "Line %d of %d.", kind, type);
                t.lineVoices[kind][0] = CUSTOMER_NO_VOICE;
                t.lineFaces[kind][0] = kind;
            }
            t.budgetMin = t.budgetMax = 2000;
            t.firstOffer = 70;
            t.concession = 20;
            t.rise1 = 10;
            t.rise2 = 5;
        }
        gCounter.shopOpening = 1;
        gCounter.customerType = VISITOR;
        gCounter.customerIndex = INDEX;
        gCounter.itemKey = itemKey(TART);
        gCounter.unitPrice = gCounter.basePrice = gCounter.counterPrice = 900;
        gCounter.slide = gCounter.letterbox = COUNTER_SLIDE_IN;
        gDayPlan.dayCandidates[INDEX] = DayCandidate{VISITOR, CANDIDATE_EAGER, 100, 0};
        resetFades();
        press(0);
        seedRandom(11);
    }
    void TearDown() override {
        press(0);
        resetFades();
        resetLoaderState();
        EconomyTest::TearDown();
    }
    static void enter(int32_t mode, int32_t state) {
        gCounter.mode = mode;
        gCounter.state = state;
        gCounter.stateFrame = 0;
    }
    // One tick of the mode's handler, with these buttons pressed.
    static void handle(uint16_t buttons = 0) {
        press(buttons);
        switch (gCounter.mode) {
        case COUNTER_SELLER: updateSellerCounter(); break;
        case COUNTER_REQUEST: updateRequestCounter(); break;
        default: updateBuyerCounter(); break;
        }
        press(0);
    }
    // The drawing has shown the page, and the player confirms.
    static void answer() {
        gCounter.speechDone = 1;
        handle(COUNTER_CONFIRM);
    }
    static std::string spoken() { return gCounter.speechText; }
    // "Okay!" was confirmed long enough ago: the next tick evaluates.
    static void okay() {
        enter(gCounter.mode, COUNTER_CHOICE);
        gCounter.choiceTimer = 14;
        handle();
    }
};

}  // namespace

// --- price entry --------------------------------------------------------------

struct EntryCase {
    const char* what;
    int32_t mode, price, cursor;
    uint16_t buttons;
    int32_t wantPrice, wantCursor;
};

TEST_F(CounterTest, PriceEntryWrapsTheCursorCarriesDigitsAndStaysInRange) {
    const EntryCase CASES[] = {
        {"left past the top digit", COUNTER_BUYER, 500, 6, COUNTER_LEFT, 500, 0},
        {"right past the ones", COUNTER_BUYER, 500, 0, COUNTER_RIGHT, 500, 6},
        {"a 9 carries", COUNTER_BUYER, 999, 0, COUNTER_UP, 1000, 0},
        {"hundreds up", COUNTER_BUYER, 950, 2, COUNTER_UP, 1050, 2},
        {"never below one", COUNTER_BUYER, 1, 0, COUNTER_DOWN, 1, 0},
        {"down past zero", COUNTER_BUYER, 300, 3, COUNTER_DOWN, 1, 3},
        {"seven digits at most", COUNTER_BUYER, 9999999, 6, COUNTER_UP, 9999999, 6},
        {"a seller's price stays within the money", COUNTER_SELLER, 4500, 3, COUNTER_UP, 5000, 3},
    };
    for (const EntryCase& c : CASES) {
        gCounter.mode = c.mode;
        gCounter.counterPrice = c.price;
        gCounter.digitCursor = c.cursor;
        press(c.buttons);
        editCounterPrice();
        EXPECT_EQ(gCounter.counterPrice, c.wantPrice) << c.what;
        EXPECT_EQ(gCounter.digitCursor, c.wantCursor) << c.what;
    }
}

TEST_F(CounterTest, PriceDigitsCountedWhenEntryBegins) {
    const int32_t PRICES[][2] = {{1, 0}, {9, 0}, {10, 1}, {999, 2}, {1000000, 6}, {9999999, 6}};
    for (const auto& p : PRICES) {
        gCounter.counterPrice = p[0];
        countPriceDigits();
        EXPECT_EQ(gCounter.digitCursor, p[1]) << p[0];
    }
}

TEST_F(CounterTest, AFivefoldSellersPriceStartsWithinTheMoney) {
    gCounter.customerType = SELLER_TYPE_FIVEFOLD;
    game().money = 3000;
    enter(COUNTER_SELLER, COUNTER_OPENING);
    handle();
    answer();
    ASSERT_EQ(gCounter.state, COUNTER_PRICE_ENTRY);
    EXPECT_EQ(gCounter.counterPrice, 3000) << "five times 900 would be past the money";
    EXPECT_EQ(gCounter.digitCursor, 3);
    // The lessons of the story tutorial do not spend money: no bound there.
    game().storyFlags[FLAG_STORY_TUTORIAL] = 1;
    gCounter.counterPrice = 4500;
    editCounterPrice();
    EXPECT_EQ(gCounter.counterPrice, 4500);
}

// --- speech -------------------------------------------------------------------

TEST_F(CounterTest, ConfirmWhileTheTextTypesDoesNothing) {
    enter(COUNTER_BUYER, COUNTER_OPENING);
    handle();
    EXPECT_EQ(spoken(), "Line 1 of 12.");
    EXPECT_EQ(gCounter.panelWanted[SLOT_CUSTOMER], 1);
    handle(COUNTER_CONFIRM);
    EXPECT_EQ(gCounter.state, COUNTER_OPENING) << "the page is still typing";
    // The drawing marks the page done once all of it is shown.
    gCounter.panelSlide[SLOT_CUSTOMER] = COUNTER_PANEL_OPEN;
    gCounter.shownChars = static_cast<int32_t>(spoken().size()) - 1;
    drawCounterWindow();
    EXPECT_EQ(gCounter.speechDone, 0);
    gCounter.shownChars++;
    drawCounterWindow();
    EXPECT_EQ(gCounter.speechDone, 1);
    handle(COUNTER_CONFIRM);
    EXPECT_EQ(gCounter.state, COUNTER_PRICE_ENTRY);
    EXPECT_EQ(gCounter.panelWanted[SLOT_CUSTOMER], 0);
    EXPECT_EQ(gCounter.round, 1) << "the buyer's first offer is made";
}

TEST_F(CounterTest, BothSpeechPanelsTypeTwoCharactersATick) {
    gCounter.panelWanted[0] = gCounter.panelWanted[1] = 1;
    gCounter.panelSlide[0] = gCounter.panelSlide[1] = COUNTER_PANEL_OPEN;
    gCounter.closing = 1;   // nothing else runs this tick
    updateShopDay();
    EXPECT_EQ(gCounter.shownChars, 2);
    gCounter.panelWanted[0] = 0;   // a panel sliding out holds the typing
    updateShopDay();
    EXPECT_EQ(gCounter.shownChars, 2);
    EXPECT_EQ(gCounter.panelSlide[0], COUNTER_PANEL_OPEN - 1);
}

TEST_F(CounterTest, ALineKindWithoutVariantsIsAnEmptyLineAlreadyDone) {
    gCustomerTypes[VISITOR].lineVariantCount[VISITOR_OVER_BUDGET] = 0;
    int32_t nextDraw;
    {
        seedRandom(5);
        nextDraw = randomInt();
        seedRandom(5);
    }
    showCustomerLine(VISITOR, VISITOR_OVER_BUDGET, SLOT_CUSTOMER);
    EXPECT_EQ(spoken(), "");
    EXPECT_EQ(gCounter.speechDone, 1);
    EXPECT_EQ(randomInt(), nextDraw) << "no variant is drawn";
}

TEST_F(CounterTest, TheLoadTellsOfLineKindsACustomerLacks) {
    gCustomerTypes[VISITOR].lineVariantCount[6] = 0;
    gCustomerTypes[0].lineVariantCount[13] = 0;
    testing::internal::CaptureStderr();
    warnMissingCounterLines();
    std::string log = testing::internal::GetCapturedStderr();
    EXPECT_NE(log.find("customer type 12 has no speech line of kind 6;"), std::string::npos) << log;
    EXPECT_NE(log.find("customer type 0 has no speech line of kind 13;"), std::string::npos) << log;
    EXPECT_EQ(log.find("type 18"), std::string::npos) << "a complete type is not named";
}

TEST_F(CounterTest, ALineBreaksIntoTwoPagesAtItsTag) {
    strcpy(gCustomerTypes[VISITOR].lineTexts[3][0], "First page.<C>Second page.");
    showCustomerLine(VISITOR, 3, SLOT_CUSTOMER);
    EXPECT_EQ(spoken(), "First page.");
    EXPECT_EQ(gCounter.hasPage2, 1);
    EXPECT_EQ(gCounter.faces[SLOT_CUSTOMER], 3);
    gCounter.speechDone = 1;
    gCounter.closing = 1;
    press(COUNTER_CONFIRM);
    updateShopDay();
    EXPECT_EQ(spoken(), "Second page.");
    EXPECT_EQ(gCounter.hasPage2, 0);
    EXPECT_EQ(gCounter.speechDone, 0);
    EXPECT_EQ(gCounter.shownChars, 0);
}

TEST_F(CounterTest, SpeechTagsAreFilledAndCounted) {
    strcpy(gCounter.itemText, "Royal Tart");
    strcpy(gCounter.priceText, "900 gold");
    strcpy(gCounter.dueText, "in 3 days");
    char out[SPEECH_EXPANDED_SIZE];
    expandSpeechTags("<I> for <Y>?<BR><D2> then.", out, sizeof out);
    EXPECT_STREQ(out, "Royal Tart for 900 gold?<BR>in 3 days then.");
    expandSpeechTags("<D2>, fine. <T><Q>", out, sizeof out);
    EXPECT_STREQ(out, "In 3 days, fine. <Q>");
    EXPECT_FALSE(speechTextShown("ab<BR>cd", 3));
    EXPECT_TRUE(speechTextShown("ab<BR>cd", 4)) << "the break counts no character";
    EXPECT_TRUE(speechTextShown("\x82\xa0\x82\xa2", 2)) << "a double-byte character counts once";
    EXPECT_FALSE(speechTextShown("", 0)) << "nothing is shown before the first character";
}

// --- the prompt after price entry -----------------------------------------------

TEST_F(CounterTest, StartAgainAndCancelReturnToPriceEntryWithoutANewOffer) {
    enter(COUNTER_BUYER, COUNTER_OPENING);
    handle();
    answer();   // the first offer
    int32_t offer = gCounter.offer;
    for (uint16_t how : {static_cast<uint16_t>(COUNTER_DOWN), static_cast<uint16_t>(COUNTER_CANCEL)}) {
        ASSERT_EQ(gCounter.state, COUNTER_PRICE_ENTRY);
        handle();
        handle(COUNTER_CONFIRM);
        ASSERT_EQ(gCounter.state, COUNTER_CHOICE);
        handle(how);
        if (how == COUNTER_DOWN) {
            EXPECT_EQ(gCounter.choiceCursor, 1);
            handle(COUNTER_CONFIRM);   // "Start Again"
        }
        EXPECT_EQ(gCounter.state, COUNTER_PRICE_ENTRY);
        EXPECT_EQ(gCounter.offer, offer);
        EXPECT_EQ(gCounter.round, 1);
    }
}

TEST_F(CounterTest, OkayFlashesFourteenTicksBeforeTheAnswer) {
    enter(COUNTER_BUYER, COUNTER_OPENING);
    handle();
    answer();
    handle();
    gCounter.counterPrice = 1;   // any offer covers it
    handle(COUNTER_CONFIRM);
    handle(COUNTER_CONFIRM);
    int32_t ticks = 0;
    while (gCounter.state == COUNTER_CHOICE && ticks < 30) {
        handle(COUNTER_CONFIRM);   // held confirm changes nothing now
        ticks++;
    }
    EXPECT_EQ(ticks, 14);
    EXPECT_EQ(gCounter.state, COUNTER_DEAL);
}

// --- the customers' answers ---------------------------------------------------

struct AnswerCase {
    const char* what;
    int32_t mode;
    int32_t price, offer, limit;
    bool scripted;
    int32_t want;
};

TEST_F(CounterTest, EachModeWalksOutPastItsOwnLimit) {
    const AnswerCase CASES[] = {
        {"buyer: the offer covers the price", COUNTER_BUYER, 800, 800, 2000, false, COUNTER_DEAL},
        {"buyer: below its limit", COUNTER_BUYER, 1999, 800, 2000, false, COUNTER_COUNTER_OFFER},
        {"buyer: at its limit", COUNTER_BUYER, 2000, 800, 2000, false, COUNTER_WALK_OUT},
        {"buyer: the scripted day keeps it", COUNTER_BUYER, 2000, 800, 2000, true, COUNTER_COUNTER_OFFER},
        {"request: at its limit", COUNTER_REQUEST, 2000, 800, 2000, false, COUNTER_WALK_OUT},
        {"request: past its budget", COUNTER_REQUEST, 2401, 800, 5000, false, COUNTER_OVER_BUDGET},
        {"request: within 1.2 budgets", COUNTER_REQUEST, 2400, 800, 5000, false, COUNTER_COUNTER_OFFER},
        {"seller: the price covers the ask", COUNTER_SELLER, 700, 700, 200, false, COUNTER_DEAL},
        {"seller: above its limit", COUNTER_SELLER, 201, 700, 200, false, COUNTER_COUNTER_OFFER},
        {"seller: at its limit", COUNTER_SELLER, 200, 700, 200, false, COUNTER_WALK_OUT},
        {"seller: the scripted day keeps it", COUNTER_SELLER, 100, 700, 200, true, COUNTER_COUNTER_OFFER},
    };
    for (const AnswerCase& c : CASES) {
        game().storyFlags[FLAG_SCRIPTED_DAY] = c.scripted;
        game().customerRelations[INDEX].points = 20;
        gCounter.mode = c.mode;
        gCounter.counterPrice = c.price;
        gCounter.offer = c.offer;
        gCounter.limit = c.limit;
        gCounter.target = 100000;
        gCounter.round = 1;
        okay();
        EXPECT_EQ(gCounter.state, c.want) << c.what;
        EXPECT_EQ(gCounter.pricePanelWanted, 0) << c.what;
        int32_t points = game().customerRelations[INDEX].points;
        if (c.want == COUNTER_WALK_OUT) EXPECT_EQ(points, 19) << c.what;
        else if (c.want == COUNTER_DEAL) EXPECT_GT(points, 20) << c.what;
        else EXPECT_EQ(points, 20) << c.what;
    }
}

TEST_F(CounterTest, ABuyerWhoseOfferCoversThePriceDealsAtOnce) {
    enter(COUNTER_BUYER, COUNTER_OPENING);
    handle();
    answer();
    gCounter.counterPrice = gCounter.offer;
    okay();
    EXPECT_EQ(gCounter.state, COUNTER_DEAL);
    EXPECT_EQ(gCounter.round, 1);
}

TEST_F(CounterTest, EveryCounterOfferAndEveryFailedVisitResetsTheCombo) {
    enter(COUNTER_BUYER, COUNTER_COUNTER_OFFER);
    gCounter.round = 1;
    gCounter.combo = 4;
    handle();
    EXPECT_EQ(gCounter.combo, 0);
    EXPECT_EQ(spoken(), "Line 4 of 12.");
    answer();
    EXPECT_EQ(gCounter.state, COUNTER_PRICE_ENTRY);
    EXPECT_EQ(gCounter.round, 2) << "the next offer";
    // At the attitude's last round the buyer gives up and leaves.
    enter(COUNTER_BUYER, COUNTER_COUNTER_OFFER);
    gCounter.round = getCustomerAttitude();
    handle();
    EXPECT_EQ(spoken(), "Line 10 of 12.");
    answer();
    EXPECT_EQ(gCounter.state, COUNTER_LEAVES);
    gCounter.combo = 3;
    gCounter.closing = 0;
    updateShopDay();
    EXPECT_EQ(gCounter.combo, 0);
    EXPECT_EQ(gCounter.slide, COUNTER_SLIDE_IN - 1);
    // The seller's counter-offer too.
    enter(COUNTER_SELLER, COUNTER_COUNTER_OFFER);
    gCounter.combo = 2;
    gCounter.round = 1;
    handle();
    EXPECT_EQ(gCounter.combo, 0);
}

TEST_F(CounterTest, ASaleMovesMoneyShelfLogAndRelationship) {
    game().shelves[2][5] = itemKey(TART);
    game().customerRelations[INDEX].points = 10;
    enter(COUNTER_BUYER, COUNTER_DEAL);
    gCounter.counterPrice = 950;
    gCounter.round = 1;
    gCounter.combo = 0;
    handle();
    EXPECT_EQ(game().money, 5000) << "money moves when the line is answered";
    answer();
    EXPECT_EQ(gCounter.state, COUNTER_THANKS);
    EXPECT_EQ(game().money, 5950);
    EXPECT_EQ(game().shelves[2][5], ITEM_KEY_NONE);
    EXPECT_EQ(game().dayLogs[0][0], itemKey(TART));
    EXPECT_EQ(gCounter.combo, 1) << "a deal on the first offer";
    EXPECT_EQ(gCounter.bonusTimer, 1);
    EXPECT_EQ(gCounter.infoFrame, 0);
    // A purchase from a seller pays out and stores the item.
    enter(COUNTER_SELLER, COUNTER_DEAL);
    gCounter.counterPrice = 400;
    handle();
    answer();
    EXPECT_EQ(game().money, 5550);
    EXPECT_EQ(countItemInStorage(TART), 1);
    EXPECT_EQ(game().dayLogs[1][0], itemKey(TART));
}

TEST_F(CounterTest, TheStoryTutorialMovesNothing) {
    game().storyFlags[FLAG_STORY_TUTORIAL] = 1;
    game().shelves[2][5] = itemKey(TART);
    enter(COUNTER_BUYER, COUNTER_DEAL);
    handle();
    answer();
    EXPECT_EQ(game().money, 5000);
    EXPECT_EQ(game().shelves[2][5], itemKey(TART));
    EXPECT_EQ(game().dayLogs[0][0], ITEM_KEY_NONE);
}

// --- the phase's end ------------------------------------------------------------

TEST_F(CounterTest, TheShopClosesOneGapAfterTheLastVisit) {
    gDayPlan.visitPlanCount = 1;
    gCounter.visitCursor = 1;
    gCounter.visitsDone = 1;
    gCounter.state = COUNTER_FREE;
    gCounter.slide = 0;
    gCounter.dayTimer = 0;
    gCounter.bonusTimer = 1;   // a deal's bonus still on show
    gCounter.bonusRowCount = 1;
    gCounter.bonusValues[0] = 15;
    game().dayPhase = 1;
    gShopFloor.shopFloorState = SHOP_FLOOR_OPEN;
    int32_t ticks = 0;
    while (gCounter.closing == 0 && ticks < 200) {
        updateShopDay();
        ticks++;
    }
    EXPECT_EQ(ticks, 60) << "the next visit slot finds the plan used up";
    EXPECT_EQ(gCounter.visitsDone, 2);
    // The bonus is paid first, and the phase lasts its 240 ticks.
    while (gFadeState == 0 && ticks < 400) {
        updateShopDay();
        stepTransition();
        ticks++;
    }
    EXPECT_EQ(ticks, 241);
    EXPECT_EQ(gCounter.closing, 2);
    EXPECT_EQ(game().merchantExp, 15);
    while (game().dayPhase == 1 && ticks < 600) {
        stepTransition();
        updateShopDay();
        ticks++;
    }
    EXPECT_EQ(game().dayPhase, 2);
    EXPECT_EQ(gShopFloor.shopFloorState, SHOP_FLOOR_WALKING);
    EXPECT_EQ(gCounter.shopOpening, 0);
    EXPECT_EQ(gFadeState, -1) << "the floor fades back in";
}

TEST_F(CounterTest, ClosingTheTutorialPhaseSettlesItsFlags) {
    game().storyFlags[FLAG_STORY_TUTORIAL] = 1;
    game().storyFlags[FLAG_COUNTER_LESSONS] = 1;
    game().dayPhase = 0;
    gCounter.closing = 2;
    startFadeOut(0, 1);   // done at once
    updateShopDay();
    EXPECT_EQ(game().dayPhase, 0) << "the tutorial's phase does not count";
    EXPECT_EQ(game().storyFlags[FLAG_STORY_TUTORIAL], 0);
    EXPECT_EQ(game().storyFlags[FLAG_COUNTER_LESSONS], 0);
    EXPECT_EQ(game().storyFlags[FLAG_COUNTER_LESSONS_DONE], 1);
}
