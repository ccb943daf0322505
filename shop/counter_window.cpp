#include "shop/counter_window.h"

#include <cstring>

#include "shop/counter.h"

static void append(char* out, int32_t outSize, int32_t& n, const char* text) {
    for (const char* p = text; *p && n < outSize - 1; p++) out[n++] = *p;
}

void expandSpeechTags(const char* text, char* out, int32_t outSize) {
    const CounterState& c = gCounter;
    int32_t n = 0;
    int32_t length = static_cast<int32_t>(strnlen(text, COUNTER_TEXT_SIZE));
    for (int32_t i = 0; i < length && n < outSize - 1;) {
        char next = i + 1 < length ? text[i + 1] : 0;
        if (text[i] != '<' || (next != 'S' && next != 'I' && next != 'Y' && next != 'D' && next != 'T')) {
            out[n++] = text[i++];
            continue;
        }
        switch (next) {
        case 'S': append(out, outSize, n, c.requestText); break;
        case 'I': append(out, outSize, n, c.itemText); break;
        case 'Y': append(out, outSize, n, c.priceText); break;
        case 'T': break;   // the category text, which nothing fills
        case 'D': {
            bool quantity = i + 2 < length && text[i + 2] == '1';
            if (quantity) {
                append(out, outSize, n, c.quantityText);
            } else {
                int32_t start = n;
                append(out, outSize, n, c.dueText);
                // Opening the text, the due date starts with a capital.
                if (i == 0 && n > start) out[start] = out[start] == 'i' ? 'I' : 'B';
            }
            i++;   // the digit
            break;
        }
        default: break;
        }
        i += 3;   // "<", the letter and the closing character
    }
    out[n] = 0;
}

bool speechTextShown(const char* expanded, int32_t shown) {
    if (shown <= 0) return false;
    int32_t counted = 0;
    int32_t line = 0;
    for (const char* p = expanded; *p;) {
        if (strncmp(p, "<BR>", 4) == 0) {
            if (++line >= SPEECH_LINES_MAX) return true;
            p += 4;
            continue;
        }
        if (static_cast<unsigned char>(*p) & 0x80) {   // a lead byte counts with its second
            p++;
            if (!*p) break;
        }
        if (++counted > shown) return false;
        p++;
    }
    return true;
}

void drawCounterWindow() {
    CounterState& c = gCounter;
    if (!c.shopOpening) return;
    if (c.panelSlide[SLOT_SHOPKEEPER] <= 0 && c.panelSlide[SLOT_CUSTOMER] <= 0) return;
    char expanded[SPEECH_EXPANDED_SIZE];
    expandSpeechTags(c.speechText, expanded, SPEECH_EXPANDED_SIZE);
    if (c.stateFrame > 0 && speechTextShown(expanded, c.shownChars)) c.speechDone = 1;
}
