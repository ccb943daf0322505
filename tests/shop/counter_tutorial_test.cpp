// The counter's lessons run from their scripts: speech answered by confirm,
// the lesson's sword on the counter, price entry and the visitor's answer,
// the price branches by their bands, jumps, the customer swap and the
// comments on the later visits. The scripts are parsed from text as the
// game reads them; the tests stand in for the drawing where it marks a page
// shown.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "economy_fixture.h"
#include "engine/input.h"
#include "engine/story_flags.h"
#include "shop/counter.h"
#include "shop/counter_tutorial.h"
#include "shop/item_list.h"
#include "shop/tutorial_scripts.h"

namespace {

const char ITEMS[] =
    ":Weapon\n"
    "1000 Unknown Weapon#-1#0#0#0#0#Wepn###t\n"
    "2 Broad Sword+broad swords#200#30#0#0#0#Wepn Metl###t\n"
    ":Food\n"
    "4000 Unknown Food#-1#0#0#0#0#Food###t\n"
    "4001 Bread+bread#10#20#0#0#0#Food Plan###t\n";

// A selling lesson: the sword, a price, a branch per band, then the end.
const char SELLING[] =
    "0,CHR0,0,A customer!\n"
    "1,TAGD\n"
    "2,PRIA\n"
    "3,BUN0,10,20,30,40,50,60,70\n"
    "10,CHR1,0,A\n11,GOTO,100\n"
    "20,CHR1,0,B\n21,GOTO,100\n"
    "30,CHR1,0,C\n31,GOTO,100\n"
    "40,CHR1,0,D\n41,GOTO,100\n"
    "50,CHR1,0,E\n51,GOTO,100\n"
    "60,CHR1,0,F\n61,GOTO,100\n"
    "70,CHR1,0,G\n71,GOTO,2\n"
    "100,TAGN\n"
    "101,CHR0,0,Done.\n"
    "-1\n"
    "-2,Once more.\n"
    "-3,One more to go.\n"
    "-4,Nicely done!\n";

class CounterTutorialTest : public EconomyTest {
protected:
    void SetUp() override {
        EconomyTest::SetUp();
        loadItems(ITEMS);
        gCounter = CounterState{};
        gCounter.tutorialMode = 1;
        gCounter.customerType = 1;
        gCounter.slide = gCounter.letterbox = COUNTER_SLIDE_IN;
        CustomerType& t = gCustomerTypes[1];
        t.present = 1;
        t.firstOffer = 70;
        t.concession = 20;
        t.rise1 = 10;
        t.rise2 = 5;
        t.budgetMin = t.budgetMax = 2000;
        runningGameState().storyFlags[FLAG_STORY_TUTORIAL] = 1;
        seedRandom(3);
        lesson(0, SELLING);
    }
    void TearDown() override {
        for (int32_t l = 0; l < TUTORIAL_LESSON_COUNT; l++) parseTutorialScript(l, "", 0);
        press(0);
        gCounter = CounterState{};
        EconomyTest::TearDown();
    }
    static void lesson(int32_t number, const char* text) {
        parseTutorialScript(number, text, (int32_t)strlen(text));
        setTutorialLesson(number);
    }
    // One tick of the lesson with these buttons pressed.
    static void step(uint16_t buttons = 0) {
        press(buttons);
        runTutorialStep();
        press(0);
    }
    static int32_t row() { return gTutorialScripts[gCounter.tutorialLesson][gCounter.tutorialStepIndex].step; }
    // The drawing has shown the page, and the player confirms.
    static void answer() {
        gCounter.speechDone = 1;
        step(COUNTER_CONFIRM);
    }
    // Runs ticks without a press until the lesson waits on the row numbered `number`.
    static void runTo(int32_t number) {
        for (int32_t i = 0; i < 8 && !(row() == number && gCounter.tutorialStepFrame > 0); i++) step();
        ASSERT_EQ(row(), number);
    }
    // Price entry: the price is set, then confirm and "Okay!" once it has flashed.
    static void enterPrice(int32_t price) {
        runTo(2);
        gCounter.counterPrice = price;
        step(COUNTER_CONFIRM);
        step(COUNTER_CONFIRM);
        for (int32_t i = 0; i < 16; i++) step();
    }
};

}  // namespace

TEST_F(CounterTutorialTest, SpeechWaitsForItsPageAndAConfirmThenTheSwordIsShown) {
    step();
    EXPECT_EQ(row(), 0);
    EXPECT_STREQ(gCounter.speechText, "A customer!");
    EXPECT_EQ(gCounter.panelWanted[SLOT_SHOPKEEPER], 1);
    step(COUNTER_CONFIRM);   // the page is not shown yet
    EXPECT_EQ(row(), 0);
    answer();
    EXPECT_EQ(row(), 1);
    step();   // TAGD
    EXPECT_EQ(gCounter.itemKey, makeItemKey(2, 0, 0));
    EXPECT_EQ(gCounter.infoFrame, 1);
    EXPECT_EQ(gCounter.unitPrice, 200);
    EXPECT_EQ(gCounter.basePrice, 200);
    EXPECT_EQ(gCounter.counterPrice, 200);
    EXPECT_EQ(gCounter.rememberedPrice, -1);
    EXPECT_EQ(row(), 2);
}

TEST_F(CounterTutorialTest, HoldingCancelAnswersEachPageAsSoonAsItIsShown) {
    step();
    gCounter.speechDone = 1;
    press(COUNTER_CANCEL);
    gInputState[0].pressed = 0;   // held, not pressed
    runTutorialStep();
    press(0);
    EXPECT_EQ(row(), 1);
}

TEST_F(CounterTutorialTest, TheSellingBandsSendEachPriceToItsAnswer) {
    struct Case {
        int32_t price;
        const char* answer;
    };
    // Against a worth of 200: below 100, below 140, below 200, 200, below
    // 1.3 x (260), below 400, and above.
    const Case CASES[] = {{99, "A"}, {100, "B"}, {139, "B"}, {140, "C"}, {199, "C"}, {200, "D"},
                          {259, "E"}, {260, "F"}, {399, "F"}, {400, "G"}};
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.price);
        gCounter.tutorialStepIndex = gCounter.tutorialStepFrame = 0;
        gCounter.tutorialWait = 0;
        step();
        answer();
        enterPrice(c.price);
        EXPECT_EQ(gCounter.rememberedPrice, c.price) << "the first price confirmed is remembered";
        EXPECT_EQ(gCounter.pricePanelWanted, 0);
        step();   // the branch jumps; its target starts next tick
        step();
        EXPECT_STREQ(gCounter.speechText, c.answer);
    }
}

TEST_F(CounterTutorialTest, StartAgainReturnsToPriceEntry) {
    step();
    answer();
    runTo(2);
    step(COUNTER_CONFIRM);            // the offer and the prompt
    step(COUNTER_DOWN);               // to "Start Again"
    step(COUNTER_CONFIRM);
    EXPECT_EQ(row(), 2);
    gCounter.counterPrice = 210;
    step(COUNTER_CONFIRM);
    step(COUNTER_CONFIRM);
    for (int32_t i = 0; i < 16; i++) step();
    EXPECT_STREQ(gCounter.speechText, "E") << "\"Okay!\" went on to the branch";
    EXPECT_EQ(gCounter.rememberedPrice, 210);
}

TEST_F(CounterTutorialTest, TheBuyingLessonHasItsOwnBands) {
    lesson(1, SELLING);
    struct Case {
        int32_t price;
        const char* answer;
    };
    // Against 200: at most 40, below 140, below 180, below 200, 200, below 300, and above.
    const Case CASES[] = {{40, "A"}, {41, "B"}, {140, "C"}, {180, "D"}, {200, "E"}, {299, "F"}, {300, "G"}};
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.price);
        gCounter.tutorialStepIndex = gCounter.tutorialStepFrame = 0;
        step();
        answer();
        enterPrice(c.price);
        step();
        step();
        EXPECT_STREQ(gCounter.speechText, c.answer);
    }
}

TEST_F(CounterTutorialTest, TheLessonsEndHandsTheCounterToItsSummary) {
    step();
    answer();
    enterPrice(200);
    step();
    step();
    answer();      // "D", then GOTO 100
    step();
    step();        // TAGN
    EXPECT_EQ(gCounter.infoFrame, 0);
    step();
    answer();      // "Done."
    step();
    EXPECT_EQ(gCounter.state, COUNTER_SUMMARY);
    EXPECT_EQ(gCounter.panelWanted[SLOT_SHOPKEEPER], 0);
    EXPECT_EQ(gCounter.panelWanted[SLOT_CUSTOMER], 0);
}

TEST_F(CounterTutorialTest, AJumpToAMissingStepStaysPut) {
    lesson(2, "0,GOTO,55\n1,CHR0,0,Never.\n-1\n");
    step();
    step();
    EXPECT_EQ(gCounter.tutorialStepIndex, 0);
    EXPECT_NE(std::string(gCounter.speechText), "Never.");
    jumpToTutorialStep(1);
    EXPECT_EQ(gCounter.tutorialStepIndex, 1);
    jumpToTutorialStep(-2);   // comment rows lie past the end
    EXPECT_EQ(gCounter.tutorialStepIndex, 1);
}

TEST_F(CounterTutorialTest, DiscountAndCostBranchAgainstTheRememberedPrice) {
    struct Case {
        const char* command;
        int32_t remembered, price;
        const char* answer;
    };
    // Worth 200. DISC: above the remembered price G; equal E below 260, F
    // from it; below: A under 140, B under 200, C under 260, D above.
    // COST: below A; equal C from 100, B under it; above D under 180, E from it.
    const Case CASES[] = {
        {"DISC", 150, 151, "G"}, {"DISC", 250, 250, "E"}, {"DISC", 300, 300, "F"}, {"DISC", 300, 139, "A"},
        {"DISC", 300, 199, "B"}, {"DISC", 300, 259, "C"}, {"DISC", 300, 260, "D"}, {"COST", 150, 149, "A"},
        {"COST", 99, 99, "B"},   {"COST", 100, 100, "C"}, {"COST", 150, 179, "D"}, {"COST", 150, 180, "E"},
    };
    for (const Case& c : CASES) {
        SCOPED_TRACE(testing::Message() << c.command << " " << c.remembered << " " << c.price);
        std::string text = "0,TAGD\n1,INIT_MNT_DTR\n2,";
        text += c.command;
        text += ",10,20,30,40,50,60,70\n10,CHR1,0,A\n20,CHR1,0,B\n30,CHR1,0,C\n40,CHR1,0,D\n"
                "50,CHR1,0,E\n60,CHR1,0,F\n70,CHR1,0,G\n-1\n";
        lesson(2, text.c_str());
        gCounter.tutorialStepIndex = gCounter.tutorialStepFrame = 0;
        step();                                  // TAGD
        gCounter.counterPrice = c.remembered;
        step();                                  // remember it
        EXPECT_EQ(gCounter.rememberedPrice, c.remembered);
        gCounter.counterPrice = c.price;
        step();                                  // the branch
        step();
        EXPECT_STREQ(gCounter.speechText, c.answer);
    }
}

TEST_F(CounterTutorialTest, TheSwapSlidesTheCustomerOutAndBackIn) {
    lesson(2, "0,TOUT\n1,CHR0,0,Back.\n-1\n");
    int32_t lowest = COUNTER_SLIDE_IN;
    int32_t ticks = 0;
    while (row() == 0 && ticks < 200) {
        step();
        ticks++;
        if (gCounter.slide < lowest) lowest = gCounter.slide;
    }
    EXPECT_EQ(lowest, 1) << "out for 31 frames";
    EXPECT_EQ(gCounter.slide, COUNTER_SLIDE_IN);
    EXPECT_EQ(row(), 1);
}

TEST_F(CounterTutorialTest, LaterVisitsGetTheLessonsComments) {
    struct Case {
        int32_t redo, visitsDone;
        const char* comment;
        int32_t visitsAfter;
    };
    const Case CASES[] = {{1, 2, "Once more.", 1}, {0, 2, "One more to go.", 2}, {0, 3, "Nicely done!", 3}};
    for (const Case& c : CASES) {
        SCOPED_TRACE(c.comment);
        gCounter.tutorialMode = 0;
        gCounter.state = COUNTER_TUTORIAL_COMMENT;
        gCounter.stateFrame = 0;
        gCounter.tutorialRedo = c.redo;
        gCounter.visitsDone = gCounter.visitCursor = c.visitsDone;
        gCounter.slide = COUNTER_SLIDE_IN;
        press(0);
        updateTutorialComment();
        EXPECT_STREQ(gCounter.speechText, c.comment);
        EXPECT_EQ(gCounter.visitsDone, c.visitsAfter);
        EXPECT_EQ(gCounter.visitCursor, c.visitsAfter);
        gCounter.speechDone = 1;
        press(COUNTER_CONFIRM);
        updateTutorialComment();
        press(0);
        EXPECT_EQ(gCounter.state, COUNTER_TUTORIAL_LEAVE);
        for (int32_t i = 0; i < COUNTER_SLIDE_IN + 1; i++) updateTutorialComment();
        EXPECT_EQ(gCounter.state, COUNTER_FREE) << "the customer has slid out";
        EXPECT_EQ(gCounter.slide, 0);
    }
}
