// shop/counter_window.h: the counter's windows drawn over the open shop
// each frame: the request or order title, the item and price panels, the
// choice buttons, the speech panels with their text, the deal bonus rows and
// the trend-day banner. The drawing only reads gCounter, except that the
// speech text's drawing sets speechDone once the whole page is shown (which
// lets the counter take the answer to a line) and the banner counts
// trendBannerFrame.
#pragma once
#include <cstdint>

#include "shop/shop.h"

constexpr int32_t SPEECH_EXPANDED_SIZE = 1024;
constexpr int32_t SPEECH_LINES_MAX = 10;
constexpr int32_t TREND_BANNER_FRAMES = 600;
constexpr int32_t COUNTER_POP_STEPS = 15;

// The text with its tags replaced by the counter's tag texts ("<S>", "<I>",
// "<Y>", "<D1>", "<D2>", "<T>"); "<BR>" stays for the line breaks.
void expandSpeechTags(const char* text, char* out, int32_t outSize);
// The page's end is reached within `shown` characters: a Shift-JIS lead byte
// does not count, "<BR>" breaks the line without counting, and the text
// ends after its tenth line. Nothing is shown while `shown` is 0.
bool speechTextShown(const char* expanded, int32_t shown);
// The typewriter: the text's tags expanded, its first `shown` characters
// drawn line by line (a two-byte character whole or not at all), each line
// 40 x 0.76 x scale below the last. True when its end was reached.
bool drawTypewriterText(float x, float y, const char* text, uint32_t argb, float scale, int32_t shown);
// The counter's speech: the typewriter, and speechDone once the end is
// reached in a running state (stateFrame above 0).
void drawSpeechText(float x, float y, const char* text, uint32_t argb, float scale, int32_t shown);

// The growing windows' pop, s(k): sin(0.8 pi k / 15) / sin(0.8 pi) below 15,
// overshooting to about 1.7 on the way; 1 from 15 on, 0 below 0.
float counterPopScale(int32_t k);
// The top of a deal bonus row on its frame a: it rises 16 over ten frames,
// holds, and from frame 30 runs its rise back as if mirrored about frame 29
// (frame 58 - a), sinking on below its start while it fades.
float bonusRowTop(int32_t a);
// trunc(price / base x 100) in single precision; 0 without a base price.
int32_t percentOfBasePrice(int32_t price, int32_t basePrice);

// The price as "%7d" in 32 x 40 digit cells of the shop-mode sheet; leading
// blanks are skipped, the advance is 36 with 8 more after the first and the
// fourth position.
void drawPriceDigits(float x, float y, int32_t price, uint32_t argb);
// A bonus value as "%d", or after a plus glyph: at most five 16 x 24 glyphs
// of the row kind's colour, 14 apart.
void drawBonusNumber(float x, float y, int32_t value, int32_t kind, int32_t alpha, bool withSign);
