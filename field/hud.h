// field/hud.h: the in-game HUD state: the speech balloon over the controlled
// character, the timed centre banner, the top bar's slide, the item-get
// popup, the displayed money and merchant experience with the level-up, the
// gauge shake and the HUD fade of the cut-scenes. tickHud advances it once
// per logic tick in every game mode; the overlay drawers read it. Main
// thread only.
#pragma once
#include <cstdint>

#include "field/field_state.h"

constexpr int32_t BALLOON_LINE_COUNT = 4;
constexpr int32_t BALLOON_LINE_SIZE = 256;       // 255 bytes and the terminator
constexpr int32_t BALLOON_SOURCE_MAX = 256;      // source bytes read at most
constexpr int32_t BALLOON_CLOSE_TICKS = 10;
constexpr int32_t BALLOON_TEXT_DELAY = 10;       // ticks a new text stays hidden
constexpr int32_t ITEM_GET_POPUP_LAST = 119;
constexpr int32_t GAUGE_PULSE_TICKS = 30;
constexpr int32_t LEVEL_UP_TAG_LAST = 99;
constexpr int32_t CHEST_NOTICE_LAST = 239;
constexpr int32_t TOP_BAR_SLIDE_MAX = 15;
constexpr int32_t GAUGE_SHAKE_FRAMES = 4;
constexpr int32_t MERCHANT_LEVEL_CAP = 97;       // above it the experience stops
constexpr const char* MERCHANT_LEVEL_UP_VOICE = "bin/se/00sa/system/00sa_sys03a.bin";

struct HudBalloon {
    float x, y;
    char lines[BALLOON_LINE_COUNT][BALLOON_LINE_SIZE];
    int32_t lineCount;      // 1..4
    float textScale;        // kept across resets
    int32_t mirrored;       // drawn flipped, anchored on its right
    int32_t shownFrames;    // 0 no balloon; 1 when a text is set, counting up
    int32_t openFrames;     // 0 closed; counting since it opened, across new texts
    int32_t closing;        // 0, or 1..9 ticks of the closing
};

extern HudBalloon gHudBalloon;

// The one-shot timers without names of their own elsewhere.
struct HudTimers {
    int32_t bannerActive;     // frame counter, 0 none
    int32_t bannerDuration;
    int32_t bannerKind;       // 1 the floor title after a black flash
    int32_t itemGetKey;       // ItemKey
    int32_t itemGetTimer;     // 0 none, 1..119
    int32_t gaugePulse;       // 0..29
    int32_t shakeFrames;
    int32_t shakeX, shakeY;
};
extern HudTimers gHudTimers;
extern int32_t gTopBarSlide;      // -1..15
extern int32_t gTopBarKind;       // -1..4, the top bar's place picture
extern float gHudFade;            // 0 the HUD as usual, 1 the cut-scene look

// The balloon gone at once, without its closing.
void clearPopupMessage();
void startGaugeShake();
void drawPopupBalloon();

// An item's name as the HUD shows it: "%s+%d" for an identified item with a
// plus level (when asked), else the name of its display row; "?" for a key
// without a row.
void formatHudItemName(char* out, int32_t size, int32_t key, bool withPlus);

// One step of the displayed money toward the money, with r a draw of the
// random generator: at least d / 100 and never past the money. Pure.
int32_t stepMoneyShown(int32_t shown, int32_t money, int32_t r);
