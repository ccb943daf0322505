// shop/counter_window.h: the counter's windows drawn over the open shop
// each frame: the item and price panels, the choice buttons, the speech
// panels with their text. The drawing only reads gCounter, except that the
// speech text's drawing sets speechDone once the whole page is shown, which
// is what lets the counter take the answer to a line.
#pragma once
#include <cstdint>

constexpr int32_t SPEECH_EXPANDED_SIZE = 1024;
constexpr int32_t SPEECH_LINES_MAX = 10;

// The text with its tags replaced by the counter's tag texts ("<S>", "<I>",
// "<Y>", "<D1>", "<D2>", "<T>"); "<BR>" stays for the line breaks.
void expandSpeechTags(const char* text, char* out, int32_t outSize);
// The page's end is reached within `shown` characters: a Shift-JIS lead byte
// does not count, "<BR>" breaks the line without counting, and the text
// ends after its tenth line. Nothing is shown while `shown` is 0.
bool speechTextShown(const char* expanded, int32_t shown);

// Per drawn frame while the shop is open. Until the windows' pictures are
// drawn, it keeps only the speech text's part: marking the page done.
void drawCounterWindow();
