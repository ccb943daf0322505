#include "shop/counter_tutorial.h"

#include "engine/dialogs.h"
#include "engine/input.h"
#include "engine/save_file.h"
#include "engine/sound.h"
#include "engine/story_flags.h"
#include "shop/counter.h"
#include "shop/item_db.h"
#include "shop/item_list.h"
#include "shop/negotiation.h"
#include "shop/tutorial_scripts.h"

namespace {

// What the current step waits for.
enum TutorialWait : int32_t {
    WAIT_NOTHING = -1,     // a jump: the target starts next tick
    WAIT_SPEECH = 0,
    WAIT_BUTTON = 1,
    WAIT_PRICE = 3,
    WAIT_CHOICE = 4,
    WAIT_SWAP = 5,
    WAIT_LIST = 6,
};

// Comment rows after a lesson's end.
enum CommentRow : int32_t {
    COMMENT_REDO = -2,
    COMMENT_SECOND = -3,
    COMMENT_OTHERS = -4,
};

constexpr int32_t LESSON_ITEM_ID = 2;         // the sword every lesson shows
constexpr int32_t LESSON_BUYING = 1;          // its price branch has its own bands
constexpr int32_t SWAP_TICKS = 32;            // the customer slides out and back in
constexpr int32_t TUTORIAL_LIST = 2;          // listOpenPending: the tutorial's fixed list
constexpr float CHOICE_POINTER_Y = 386.0f;    // where the counter's "Okay!" row is

uint16_t pressed() { return gInputState[0].pressed; }
uint16_t held() { return gInputState[0].raw; }

const TutorialStep* lessonRows() {
    int32_t lesson = gCounter.tutorialLesson;
    if (lesson < 0 || lesson >= TUTORIAL_LESSON_COUNT) lesson = 0;
    return gTutorialScripts[lesson];
}

const TutorialStep& currentRow() {
    int32_t index = gCounter.tutorialStepIndex;
    if (index < 0 || index >= TUTORIAL_STEP_MAX) index = TUTORIAL_STEP_MAX - 1;
    return lessonRows()[index];
}

void nextStep() {
    gCounter.tutorialStepIndex++;
    gCounter.tutorialStepFrame = 0;
    // A lesson that runs off its table ends there.
    if (gCounter.tutorialStepIndex >= TUTORIAL_STEP_MAX) gCounter.tutorialStepIndex = TUTORIAL_STEP_MAX - 1;
}

void jump(int32_t step) {
    jumpToTutorialStep(step);
    gCounter.tutorialStepFrame = 0;
    gCounter.tutorialWait = WAIT_NOTHING;
}

// Target letter 0 (A) .. 6 (G) of the current row.
void jumpTo(int32_t letter) { jump(currentRow().targets[letter]); }

void say(const TutorialStep& row, int32_t slot) {
    showScriptLine(row.text, slot, row.face);
    // Both panels show the one page: the other speaker's panel closes first.
    gCounter.panelWanted[slot] = 1;
    gCounter.panelWanted[1 - slot] = 0;
    gCounter.tutorialWait = WAIT_SPEECH;
}

void showLessonItem() {
    CounterState& c = gCounter;
    c.itemKey = makeItemKey(LESSON_ITEM_ID, 0, 0);
    formatCounterItemName(c.itemKey);   // the lesson's lines name it
    c.infoFrame = 1;
    int32_t row = findItemDef(LESSON_ITEM_ID);
    c.unitPrice = c.basePrice = c.counterPrice = row >= 0 ? gItemDefinitions[row].price : 0;
    c.rememberedPrice = -1;
    c.round = 0;
}

// The price against the item's worth: bands A (far too low) to G.
int32_t priceBand() {
    const CounterState& c = gCounter;
    float p = static_cast<float>(c.counterPrice), u = static_cast<float>(c.unitPrice);
    double pd = c.counterPrice, ud = c.unitPrice;
    if (c.tutorialLesson == LESSON_BUYING) {
        if (p <= 0.2f * u) return 0;
        if (p < 0.7f * u) return 1;
        if (p < 0.9f * u) return 2;
        if (p < u) return 3;
        if (p == u) return 4;
        if (pd < 1.5 * ud) return 5;
        return 6;
    }
    if (p < 0.5f * u) return 0;
    if (p < 0.7f * u) return 1;
    if (p < u) return 2;
    if (p == u) return 3;
    if (pd < 1.3 * ud) return 4;
    if (pd < 2.0 * ud) return 5;
    return 6;
}

// The price against the one remembered, for a discount asked.
int32_t discountBand() {
    const CounterState& c = gCounter;
    float p = static_cast<float>(c.counterPrice), u = static_cast<float>(c.unitPrice);
    int32_t r = c.rememberedPrice;
    if (c.counterPrice > r) return 6;
    if (c.counterPrice == r) return p < 1.3f * u ? 4 : 5;
    if (p < 0.7f * u) return 0;
    if (p < u) return 1;
    if (p < 1.3f * u) return 2;
    return 3;
}

// The price against the one remembered, for a cost asked.
int32_t costBand() {
    const CounterState& c = gCounter;
    float p = static_cast<float>(c.counterPrice), u = static_cast<float>(c.unitPrice);
    int32_t r = c.rememberedPrice;
    if (c.counterPrice < r) return 0;
    if (c.counterPrice == r) return p >= 0.5f * u ? 2 : 1;
    return p < 0.9f * u ? 3 : 4;
}

bool chosenItemIsWeapon() {
    int32_t key = gCounter.itemKey;
    int32_t row = key >= 0 ? findItemDef(itemKeyId(key)) : -1;
    return row >= 0 && (gItemDefinitions[row].categoryFlags & ITEM_FLAG_WEAPON) != 0;
}

void startCommand(const TutorialStep& row) {
    CounterState& c = gCounter;
    switch (row.command) {
    case TUTORIAL_SHOPKEEPER_SAYS: say(row, SLOT_SHOPKEEPER); break;
    case TUTORIAL_CUSTOMER_SAYS: say(row, SLOT_CUSTOMER); break;
    case TUTORIAL_SHOW_ITEM:
        showLessonItem();
        nextStep();
        break;
    case TUTORIAL_SHOW_PRICE:
        c.pricePanelWanted = 1;
        countPriceDigits();
        c.panelWanted[SLOT_SHOPKEEPER] = c.panelWanted[SLOT_CUSTOMER] = 0;
        c.tutorialWait = WAIT_BUTTON;
        break;
    case TUTORIAL_ENTER_PRICE:   // no speech panel over the digits
        c.panelWanted[SLOT_SHOPKEEPER] = c.panelWanted[SLOT_CUSTOMER] = 0;
        c.pricePanelWanted = 1;
        clampCounterPrice();
        countPriceDigits();
        c.tutorialWait = WAIT_PRICE;
        break;
    case TUTORIAL_PRICE_BRANCH: jumpTo(priceBand()); break;
    case TUTORIAL_GOTO: jumpTo(0); break;
    case TUTORIAL_HIDE_ITEM:
        c.infoFrame = 0;
        nextStep();
        break;
    case TUTORIAL_SWAP_CUSTOMER: c.tutorialWait = WAIT_SWAP; break;
    case TUTORIAL_OPEN_LIST:
        c.listOpenPending = TUTORIAL_LIST;
        c.tutorialWait = WAIT_LIST;
        break;
    case TUTORIAL_WEAPON_BRANCH: jumpTo(chosenItemIsWeapon() ? 0 : 1); break;
    case TUTORIAL_HIGH_BRANCH: jumpTo(c.counterPrice <= c.unitPrice ? 1 : 0); break;
    case TUTORIAL_DISCOUNT_BRANCH: jumpTo(discountBand()); break;
    case TUTORIAL_COST_BRANCH: jumpTo(costBand()); break;
    case TUTORIAL_REMEMBER_PRICE:
        c.rememberedPrice = c.counterPrice;
        nextStep();
        break;
    default:   // a word the loader did not know: passed over
        nextStep();
        break;
    }
}

// Price entry, then "Okay!" / "Start Again" after the buyer's offer.
void waitForPrice() {
    CounterState& c = gCounter;
    editCounterPrice();
    if (!(pressed() & COUNTER_CONFIRM)) return;
    updateBuyerOffer();
    c.panelWanted[SLOT_SHOPKEEPER] = 0;
    openCounterChoice(CHOICE_POINTER_Y);
    c.tutorialWait = WAIT_CHOICE;
}

void waitForChoice() {
    CounterState& c = gCounter;
    int32_t answer = updateCounterChoice(CHOICE_POINTER_Y);
    if (answer == 1) {
        if (c.rememberedPrice == -1) c.rememberedPrice = c.counterPrice;
        hidePointer();
        c.pricePanelWanted = 0;
        nextStep();
    } else if (answer == 2) {
        c.tutorialWait = WAIT_PRICE;
    }
}

void waitForSwap() {
    CounterState& c = gCounter;
    if (c.tutorialStepFrame < SWAP_TICKS) {
        if (c.slide > 0) c.slide--;
    } else if (c.slide < COUNTER_SLIDE_IN) {
        c.slide++;
    } else {
        nextStep();
    }
}

void waitForList() {
    CounterState& c = gCounter;
    if (c.listOpenPending) return;   // the list opens once the panels settle
    int32_t result = handleItemListInput(1);
    if (result == ITEM_LIST_CONFIRMED) playSoundEffect(SOUND_CONFIRM);
    if (result != ITEM_LIST_CHOSEN) return;
    c.itemKey = getSelectedListItemKey();
    hidePointer();
    hideItemList();
    c.pricePanelWanted = 0;
    nextStep();
}

void waitForStep() {
    CounterState& c = gCounter;
    switch (c.tutorialWait) {
    case WAIT_SPEECH:
        if (c.speechDone && ((pressed() & COUNTER_CONFIRM) || (held() & COUNTER_CANCEL))) {
            c.speechDone = 0;
            playSoundEffect(SOUND_LINE_ANSWERED);
            nextStep();
        }
        break;
    case WAIT_BUTTON:
        if (pressed()) nextStep();
        break;
    case WAIT_PRICE: waitForPrice(); break;
    case WAIT_CHOICE: waitForChoice(); break;
    case WAIT_SWAP: waitForSwap(); break;
    case WAIT_LIST: waitForList(); break;
    default: break;
    }
}

// The comment row of the lesson: -2 after a failed visit, -3 after the
// second, -4 after the others; null when the lesson has none.
const TutorialStep* commentRow(int32_t number) {
    const TutorialStep* rows = lessonRows();
    for (int32_t i = 0; i < TUTORIAL_STEP_MAX; i++)
        if (rows[i].step == number && rows[i].command != TUTORIAL_END) return &rows[i];
    return nullptr;
}

}  // namespace

void jumpToTutorialStep(int32_t step) {
    const TutorialStep* rows = lessonRows();
    for (int32_t i = 0; i < TUTORIAL_STEP_MAX && rows[i].command != TUTORIAL_END; i++) {
        if (rows[i].step == step) {
            gCounter.tutorialStepIndex = i;
            return;
        }
    }
}

void runTutorialStep() {
    CounterState& c = gCounter;
    const TutorialStep& row = currentRow();
    if (row.command == TUTORIAL_END) {
        c.panelWanted[SLOT_SHOPKEEPER] = c.panelWanted[SLOT_CUSTOMER] = 0;
        c.state = COUNTER_SUMMARY;
        c.stateFrame = 0;
        c.speechDone = 0;
        return;
    }
    if (!beginCounterHandler()) return;   // the item-info window has the input
    if (c.tutorialStepFrame == 0) {
        c.tutorialStepFrame = 1;
        startCommand(row);
    } else {
        c.tutorialStepFrame++;
    }
    waitForStep();
    if (c.tutorialWait != WAIT_CHOICE && c.choiceFade > 0) c.choiceFade--;
    endCounterHandler();
}

void updateTutorialComment() {
    CounterState& c = gCounter;
    c.stateFrame++;
    if (c.state == COUNTER_TUTORIAL_COMMENT) {
        if (c.stateFrame == 1) {
            int32_t number = COMMENT_OTHERS;
            if (c.tutorialRedo) {
                if (c.visitsDone > 0) c.visitsDone--;
                if (c.visitCursor > 0) c.visitCursor--;
                number = COMMENT_REDO;
            } else if (c.visitsDone == 2) {
                number = COMMENT_SECOND;
            }
            c.tutorialRedo = 0;
            const TutorialStep* comment = commentRow(number);
            showScriptLine(comment ? comment->text : "", SLOT_CUSTOMER, 0);
            c.panelWanted[SLOT_CUSTOMER] = 1;
        }
        if (counterLineAnswered()) {
            c.panelWanted[SLOT_CUSTOMER] = 0;
            c.state = COUNTER_TUTORIAL_LEAVE;
            c.stateFrame = 0;
        }
        return;
    }
    if (c.slide > 0) {
        c.slide--;
        return;
    }
    c.state = COUNTER_FREE;
    c.stateFrame = 0;
    c.gapFrame = 0;
}

void setTutorialLesson(int32_t lesson) { gCounter.tutorialLesson = lesson; }
