// Price entry digit by digit and the "Okay!" / "Start Again" prompt after it.
#include "engine/dialogs.h"
#include "engine/input.h"
#include "engine/save_file.h"
#include "engine/sound.h"
#include "engine/story_flags.h"
#include "shop/counter.h"

constexpr float CHOICE_POINTER_X = 192.0f;
constexpr float CHOICE_ROW_HEIGHT = 48.0f;
constexpr int32_t CHOICE_FADE_MAX = 5;
constexpr int32_t CHOICE_CONFIRM_TICKS = 14;   // "Okay!" flashes this long
constexpr int32_t CHOICE_TIMER_MAX = 15;

static const int32_t DIGIT_STEPS[COUNTER_PRICE_DIGITS] = {1, 10, 100, 1000, 10000, 100000, 1000000};

void clampCounterPrice() {
    CounterState& c = gCounter;
    const GameState& game = runningGameState();
    if (c.counterPrice > COUNTER_PRICE_MAX) c.counterPrice = COUNTER_PRICE_MAX;
    if (c.mode == COUNTER_SELLER && !game.storyFlags[FLAG_STORY_TUTORIAL] && c.counterPrice > game.money)
        c.counterPrice = game.money;
    if (c.counterPrice < 1) c.counterPrice = 1;
}

void countPriceDigits() {
    int32_t digits = 1;
    for (int32_t price = gCounter.counterPrice; price >= 10 && digits < COUNTER_PRICE_DIGITS; price /= 10) digits++;
    gCounter.digitCursor = digits - 1;
}

void editCounterPrice() {
    CounterState& c = gCounter;
    uint16_t repeat = gInputState[0].repeat;
    if (c.digitCursor < 0 || c.digitCursor >= COUNTER_PRICE_DIGITS) c.digitCursor = 0;
    if (repeat & COUNTER_LEFT) {
        c.digitCursor = (c.digitCursor + 1) % COUNTER_PRICE_DIGITS;
        playSoundEffect(SOUND_CURSOR);
    }
    if (repeat & COUNTER_RIGHT) {
        c.digitCursor = (c.digitCursor + COUNTER_PRICE_DIGITS - 1) % COUNTER_PRICE_DIGITS;
        playSoundEffect(SOUND_CURSOR);
    }
    // The price is at most seven digits, so a step never overflows.
    if (repeat & COUNTER_UP) {
        c.counterPrice += DIGIT_STEPS[c.digitCursor];
        playSoundEffect(SOUND_CURSOR);
    }
    if (repeat & COUNTER_DOWN) {
        c.counterPrice -= DIGIT_STEPS[c.digitCursor];
        playSoundEffect(SOUND_CURSOR);
    }
    clampCounterPrice();
}

void openCounterChoice(float pointerY) {
    gCounter.choiceTimer = 0;
    gCounter.choiceCursor = 0;
    playSoundEffect(SOUND_CONFIRM);
    setPointerPosition(CHOICE_POINTER_X, pointerY);
    showPointer();
}

int32_t updateCounterChoice(float pointerY) {
    CounterState& c = gCounter;
    if (c.choiceFade < CHOICE_FADE_MAX) c.choiceFade++;
    if (c.choiceTimer >= 1) {
        if (c.choiceTimer < CHOICE_TIMER_MAX) c.choiceTimer++;
        return c.choiceTimer > CHOICE_CONFIRM_TICKS ? 1 : 0;
    }
    uint16_t pressed = gInputState[0].pressed;
    if (pressed & COUNTER_CONFIRM) {
        playSoundEffect(SOUND_CONFIRM);
        if (c.choiceCursor != 0) return 2;
        c.choiceTimer = 1;
        return 0;
    }
    if (pressed & COUNTER_CANCEL) {
        playSoundEffect(SOUND_CANCEL);
        return 2;
    }
    if (pressed & (COUNTER_UP | COUNTER_DOWN)) {
        c.choiceCursor ^= 1;
        glidePointerTo(CHOICE_POINTER_X, pointerY + CHOICE_ROW_HEIGHT * static_cast<float>(c.choiceCursor));
        playSoundEffect(SOUND_CURSOR);
    }
    return 0;
}
