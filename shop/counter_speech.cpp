// The counter's speech lines: choosing a variant, the face and the voice,
// and splitting the text into its two pages.
#include <cstdio>
#include <cstring>
#include <iterator>

#include "engine/input.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/sound.h"
#include "engine/story_flags.h"
#include "platform/log.h"
#include "shop/buysell_table.h"
#include "shop/counter.h"
#include "shop/customer_types.h"
#include "shop/item_db.h"

// The line kinds the counter asks each side to speak.
static const int32_t SHOPKEEPER_LINES[] = {0, 1, 2, 3, 5, 7, 8, 9, 10, 11, 12, 13};
static const int32_t VISITOR_LINES[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 13, 14, 15, 16, 17, 18, 19};

// Copies at most size - 1 bytes of text up to end (or its terminator).
static void copyBounded(char* to, int32_t size, const char* from, const char* end) {
    int32_t n = 0;
    while (n < size - 1 && from + n < end && from[n] != 0) {
        to[n] = from[n];
        n++;
    }
    to[n] = 0;
}

// Page 1 up to the first "<C", page 2 after its three characters.
static void startLine(const char* text, int32_t slot, int32_t face) {
    CounterState& c = gCounter;
    const char* end = text + strnlen(text, COUNTER_TEXT_SIZE);
    const char* tag = nullptr;
    for (const char* p = text; p + 1 < end; p++) {
        if (p[0] == '<' && p[1] == 'C') {
            tag = p;
            break;
        }
    }
    copyBounded(c.page1, COUNTER_TEXT_SIZE, text, tag ? tag : end);
    c.page2[0] = 0;
    c.hasPage2 = 0;
    if (tag) {
        const char* rest = tag + 3 <= end ? tag + 3 : end;
        copyBounded(c.page2, COUNTER_TEXT_SIZE, rest, end);
        c.hasPage2 = 1;
    }
    memcpy(c.speechText, c.page1, COUNTER_TEXT_SIZE);
    c.shownChars = 0;
    c.speechDone = 0;
    if (slot == SLOT_SHOPKEEPER || slot == SLOT_CUSTOMER) c.faces[slot] = face;
}

// The fixed variant of the trading test: one table for the shopkeeper, one
// for the customers.
static int32_t testVariant(int32_t customerType, int32_t kind) {
    if (kind < 0 || kind >= TRADING_TEST_LINE_KINDS) return 0;
    return gBuySellTables[customerType == 0 ? 0 : 1][kind];
}

void showCustomerLine(int32_t customerType, int32_t kind, int32_t slot) {
    CounterState& c = gCounter;
    if (customerType < 0 || customerType >= CUSTOMER_TYPE_COUNT || kind < 0 || kind >= CUSTOMER_LINE_KINDS) {
        startLine("", slot, 0);
        c.speechDone = 1;
        return;
    }
    const CustomerType& type = gCustomerTypes[customerType];
    int32_t count = type.lineVariantCount[kind];
    // A kind without variants is spoken as an empty line that is done at
    // once, so the visit goes on (the load has told about it).
    if (count <= 0) {
        c.lineVariant = 0;
        startLine("", slot, 0);
        c.speechDone = 1;
        return;
    }
    if (count > CUSTOMER_LINE_VARIANTS) count = CUSTOMER_LINE_VARIANTS;
    int32_t variant;
    if (runningGameState().storyFlags[FLAG_STORY_TUTORIAL]) variant = 0;
    else if (gBuySell.enabled) variant = testVariant(customerType, kind);
    else variant = randomInt() % count;
    if (variant < 0 || variant >= count) variant = 0;
    c.lineVariant = variant;
    startLine(type.lineTexts[kind][variant], slot, type.lineFaces[kind][variant]);
    int32_t voice = type.lineVoices[kind][variant];
    if (voice >= 0 && voice < CUSTOMER_VOICE_MAX && type.voiceFiles[voice][0] != 0) playVoice(type.voiceFiles[voice]);
}

void showScriptLine(const char* text, int32_t slot, int32_t face) { startLine(text ? text : "", slot, face); }

void formatCounterItemName(int32_t itemKey) {
    char* out = gCounter.itemText;
    out[0] = 0;
    int32_t row = itemKey >= 0 ? findItemDef(itemKeyId(itemKey)) : -1;
    if (row < 0) return;
    const char* name = gItemDefinitions[row].name;
    int32_t plus = itemKeyPlus(itemKey);
    if (plus > 0) snprintf(out, COUNTER_TEXT_SIZE, "%.*s+%d", ITEM_NAME_SIZE, name, plus);
    else snprintf(out, COUNTER_TEXT_SIZE, "%.*s", ITEM_NAME_SIZE, name);
}

void formatCounterPrice(int32_t price) { snprintf(gCounter.priceText, COUNTER_TAG_SIZE, "%d gold", price); }

bool counterLineAnswered() {
    if (!gCounter.speechDone || !(gInputState[0].pressed & COUNTER_CONFIRM)) return false;
    gCounter.speechDone = 0;
    return true;
}

static void warnType(int32_t t, const int32_t* kinds, int32_t count) {
    const CustomerType& type = gCustomerTypes[t];
    char missing[CUSTOMER_LINE_KINDS * 4] = "";
    int32_t used = 0;
    for (int32_t i = 0; i < count; i++) {
        if (type.lineVariantCount[kinds[i]] > 0) continue;
        used += snprintf(missing + used, sizeof missing - used, " %d", kinds[i]);
    }
    if (used > 0) logLine("customer type %d has no speech line of kind%s; an empty line stands in", t, missing);
}

void warnMissingCounterLines() {
    for (int32_t t = 0; t < CUSTOMER_TYPE_COUNT; t++) {
        if (!gCustomerTypes[t].present) continue;
        if (t == 0) warnType(t, SHOPKEEPER_LINES, static_cast<int32_t>(std::size(SHOPKEEPER_LINES)));
        else warnType(t, VISITOR_LINES, static_cast<int32_t>(std::size(VISITOR_LINES)));
    }
}
