#include "dungeon/stage_scripts.h"

#include <cstdint>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "dungeon/field_events.h"
#include "dungeon/field_frame.h"
#include "dungeon/fixed_floors.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/save_file.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "story/story.h"

namespace {

constexpr int32_t STORY_VISIT_DATE = 8;            // the story visit has that morning to itself
constexpr int32_t EVENT_0_8_TICK = 630;
constexpr int32_t EVENT_9_1_TICK = 300;
constexpr int32_t OPENING_HOLD_TICKS = 190;        // the morning's curtain and greetings
constexpr int32_t CAST_MORNING_TICKS = 200;
constexpr int32_t CAST_ADVENTURERS = 7;            // adventurers 0..6; the eighth is not asked

// What a trigger asks besides its flags.
enum TriggerCondition : uint8_t {
    WHEN_FLAGS,             // nothing more
    WHEN_PAYMENT_DAY,       // the date is the week's payment day
    WHEN_DATE_31,
    WHEN_DATE_35,
    WHEN_AFTER_FIRST_DAYS,  // the date above 1
    WHEN_AFTER_FIRST_DAYS_PHASE_2,
    WHEN_PHASE_0,
    WHEN_CAST_GATHERED,     // past day 35, early on a new morning, adventurers 0..6 all available
};

// What a trigger does besides its flags and blackout once its event starts.
enum TriggerEffect : uint8_t {
    EFFECT_NONE,
    EFFECT_CLOSE_LATE_DAY,  // a day phase past the last becomes closed and the night talk runs
    EFFECT_NEXT_DAY,        // the next morning begins
    EFFECT_ENTER_BY_DOOR,   // the heroine comes in through the door on a new morning
};

// One trigger. Rows with the same non-zero chain form one choice: in a
// frame only the first of them whose flag test passes is tried, and when
// its other conditions fail the chain is done for that frame. Flag lists
// end at the first 0 (flag 0 is never a trigger's).
struct StoryTrigger {
    uint8_t chain = 0;
    uint8_t set[5] = {};     // flag test: these set
    uint8_t clear[3] = {};   // flag test: these clear
    uint8_t need = 0;        // other condition: this flag set (0 none)
    TriggerCondition when = WHEN_FLAGS;
    uint8_t major = 0;
    uint8_t minor = 0;
    uint8_t loaderMode = 0;
    uint8_t blackout = 0;    // 1: the screen stays black until the event ends
    uint8_t raise[3] = {};   // flags set when the event starts
    uint8_t lower[4] = {};   // flags cleared when the event starts
    TriggerEffect effect = EFFECT_NONE;
};

// The rows past the opening hold, in the order they are tried.
const StoryTrigger TOWN_TRIGGERS[] = {
    {.chain = 1, .clear = {16}, .major = 1, .minor = 1, .loaderMode = 1, .blackout = 1, .raise = {16}},
    {.chain = 1, .set = {16}, .clear = {17}, .major = 1, .minor = 2, .raise = {17}},
    {.chain = 1, .set = {16, 17}, .need = 180, .major = 12, .minor = 1, .loaderMode = 1, .blackout = 1,
     .lower = {180}},
    {.set = {20}, .clear = {22}, .major = 1, .minor = 4, .raise = {22, 18}},
    {.clear = {65}, .when = WHEN_PAYMENT_DAY, .major = 0, .minor = 6, .raise = {65}},
    {.clear = {75}, .when = WHEN_DATE_31, .major = 1, .minor = 17, .raise = {75}},
    {.clear = {76}, .when = WHEN_DATE_35, .major = 1, .minor = 18, .raise = {76}},
    {.chain = 2, .clear = {66}, .when = WHEN_AFTER_FIRST_DAYS, .major = 2, .minor = 15, .raise = {66}},
    {.chain = 2, .set = {66}, .clear = {67}, .when = WHEN_AFTER_FIRST_DAYS_PHASE_2, .major = 2, .minor = 14,
     .raise = {67}},
    {.set = {200}, .clear = {201}, .major = 0, .minor = 17, .raise = {201}},
    {.chain = 3, .clear = {170}, .when = WHEN_CAST_GATHERED, .major = 12, .minor = 2, .raise = {170}},
    {.chain = 3, .set = {170}, .clear = {171}, .when = WHEN_CAST_GATHERED, .major = 12, .minor = 3, .raise = {171}},
    {.chain = 4, .set = {116}, .major = 4, .minor = 4, .loaderMode = 1, .blackout = 1, .raise = {117},
     .lower = {116}, .effect = EFFECT_CLOSE_LATE_DAY},
    {.chain = 4, .set = {117}, .clear = {116}, .when = WHEN_PHASE_0, .major = 4, .minor = 5, .raise = {118},
     .lower = {117}},
    {.chain = 4, .clear = {116, 117, 28}, .need = 27, .major = 1, .minor = 5, .raise = {28}},
    {.chain = 4, .clear = {116, 117, 30}, .need = 29, .major = 1, .minor = 6, .raise = {30, 31}},
    {.set = {32}, .clear = {33}, .major = 1, .minor = 7, .raise = {33, 38}},
    {.chain = 5, .clear = {35}, .need = 34, .major = 1, .minor = 8, .loaderMode = 2, .raise = {35, 41, 39}},
    {.chain = 5, .set = {35}, .clear = {42}, .need = 41, .major = 2, .minor = 1, .loaderMode = 1, .blackout = 1,
     .raise = {42, 43}},
    {.chain = 5, .set = {35, 42}, .clear = {44}, .need = 43, .major = 2, .minor = 2, .loaderMode = 1,
     .blackout = 1, .raise = {44, 45}},
    {.chain = 5, .set = {35, 42, 44}, .clear = {46}, .need = 45, .major = 2, .minor = 3, .loaderMode = 1,
     .blackout = 1, .raise = {46, 18, 48}, .lower = {25, 40, 23, 32}, .effect = EFFECT_NEXT_DAY},
    {.chain = 5, .set = {35, 42, 44, 46}, .clear = {49}, .need = 48, .major = 2, .minor = 5, .loaderMode = 1,
     .blackout = 1, .raise = {49, 50}, .effect = EFFECT_ENTER_BY_DOOR},
    {.chain = 5, .set = {35, 42, 44, 46, 49}, .clear = {51}, .need = 50, .major = 2, .minor = 6,
     .raise = {51, 52}},
};


bool flagTestPasses(const StoryTrigger& t) {
    for (uint8_t f : t.set) {
        if (f != 0 && !storyFlag(f)) return false;
    }
    for (uint8_t f : t.clear) {
        if (f != 0 && storyFlag(f)) return false;
    }
    return true;
}

bool castGathered(const GameState& game) {
    if (game.date <= 35 || gShopSequence != SHOP_SEQUENCE_MORNING || gFieldTicks >= CAST_MORNING_TICKS) return false;
    for (int32_t i = 0; i < CAST_ADVENTURERS; i++) {
        if (!storyFlag(FLAG_ADVENTURER_AVAILABLE + i) && !storyFlag(FLAG_ADVENTURER_CARD + i)) return false;
    }
    return true;
}

bool otherConditionsHold(const StoryTrigger& t) {
    if (t.need != 0 && !storyFlag(t.need)) return false;
    const GameState& game = runningGameState();
    switch (t.when) {
    case WHEN_FLAGS: return true;
    case WHEN_PAYMENT_DAY: return game.date == getWeekEndDay();
    case WHEN_DATE_31: return game.date == 31;
    case WHEN_DATE_35: return game.date == 35;
    case WHEN_AFTER_FIRST_DAYS: return game.date > 1;
    case WHEN_AFTER_FIRST_DAYS_PHASE_2: return game.date > 1 && game.dayPhase == 2;
    case WHEN_PHASE_0: return game.dayPhase == 0;
    case WHEN_CAST_GATHERED: return castGathered(game);
    }
    return false;
}

void applyEffect(TriggerEffect effect) {
    GameState& game = runningGameState();
    switch (effect) {
    case EFFECT_NONE: break;
    case EFFECT_CLOSE_LATE_DAY:
        if (game.dayPhase > 3) {
            game.dayPhase = 4;
            gShopDayPhase = 1;
        }
        break;
    case EFFECT_NEXT_DAY:
        game.date++;
        game.dayPhase = 0;
        gTimeOfDay = 0.0f;
        clearPlaceEventFlags();
        break;
    case EFFECT_ENTER_BY_DOOR:
        enterShopFromDoor();
        gShopSequence = SHOP_SEQUENCE_MORNING;
        gFieldTicks = 0;
        break;
    }
}

// The trigger's event, and what goes with it once the event has started.
void tryTrigger(const StoryTrigger& t) {
    if (!requestEvent(t.major, t.minor, t.loaderMode)) return;
    for (uint8_t f : t.raise) {
        if (f != 0) setStoryFlag(f, 1);
    }
    for (uint8_t f : t.lower) {
        if (f != 0) setStoryFlag(f, 0);
    }
    if (t.blackout) setBlackout();
    applyEffect(t.effect);
}

// Right after a new morning opens on the shop floor only the rows before
// the table may start an event.
bool openingHold() {
    const StageRecord* stage = currentFieldStage();
    return gGameMode == GAME_MODE_FIELD && stage && stage->maptype == 0 &&
           gShopSequence == SHOP_SEQUENCE_MORNING && gFieldTicks < OPENING_HOLD_TICKS;
}

}  // namespace

void runTownStageScript() {
    const GameState& game = runningGameState();
    if (game.playMode == PLAY_MODE_SURVIVAL) {
        if (!storyFlag(FLAG_SURVIVAL_OPENING_SEEN) && requestEvent(0, game.survivalHell ? 19 : 18, 1)) {
            setBlackout();
            setStoryFlag(FLAG_SURVIVAL_OPENING_SEEN, 1);
        }
        return;
    }
    if (storyFlag(FLAG_STORY_VISIT)) {
        stepStoryVisit();
        return;
    }
    if (storyFlag(FLAG_EVENT_0_8_DUE)) {
        if (gFieldTicks == EVENT_0_8_TICK && requestEvent(0, 8, 0)) setStoryFlag(FLAG_EVENT_0_8_DUE, 0);
        return;
    }
    if (storyFlag(FLAG_EVENT_9_1_DUE)) {
        if (gFieldTicks == EVENT_9_1_TICK && !storyFlag(FLAG_EVENT_9_1_SEEN) && requestEvent(9, 1, 0))
            setStoryFlag(FLAG_EVENT_9_1_SEEN, 1);
        return;
    }
    if (storyFlag(FLAG_STANDING_WALKER)) return;
    if (storyFlag(FLAG_MORNING_EVENT_DUE) && !storyFlag(FLAG_MORNING_EVENT_SEEN) && game.dayPhase == 0 &&
        game.date != STORY_VISIT_DATE && gShopSequence == SHOP_SEQUENCE_MORNING && gFieldTicks == 1 &&
        requestEvent(7, 1, 1)) {
        setBlackout();
        setStoryFlag(FLAG_MORNING_EVENT_SEEN, 1);
    }
    if (openingHold()) return;
    int32_t decidedChain = 0;
    for (const StoryTrigger& t : TOWN_TRIGGERS) {
        if (t.chain != 0 && t.chain == decidedChain) continue;
        if (!flagTestPasses(t)) continue;
        decidedChain = t.chain;
        if (otherConditionsHold(t)) tryTrigger(t);
    }
}

void runStageScript() {
    const StageRecord* stage = currentFieldStage();
    if (!stage) return;
    if (stage->stageCode >= 0 && stage->stageCode <= SHOP_STAGE_LAST) {
        runTownStageScript();
        return;
    }
    switch (gRun.dungeonIndex) {
    case 0: runDungeon0Script(); break;
    case 1: runDungeon1Script(); break;
    case 2: runDungeon2Script(); break;
    case 3: runDungeon3Script(); break;
    case 4: runDungeon4Script(); break;
    default:
        if (gRun.dungeonIndex >= 5) runDungeon5Script();
        break;
    }
}
