// field/hud.h: the in-game HUD state: the speech balloon over the controlled
// character, the timed centre banner, the top bar's slide, the item-get
// popup, the displayed money and merchant experience with the level-up, the
// gauge shake and the HUD fade of the cut-scenes. tickHud advances it once
// per logic tick in every game mode; the overlay drawers read it. Main
// thread only.
#pragma once
#include <cstdint>

#include "field/field_state.h"

struct GameState;

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
constexpr int32_t MERCHANT_LEVEL_ONE_EXP = 100;  // experience that ends the first level

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

// Back to a fresh process's values (a new boot in the same process).
void resetHudGlobals();
// levelExpNext - levelExpFloor in 64 bits: the two ends come from the save
// file. Pure.
int64_t merchantExpSpan(const GameState& g);
