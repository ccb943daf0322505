// Arbitrary bytes as an effect bank image of each bank, then as a name list
// and as both text dumps: every record must come out sound (names
// terminated, image, type, drawing method and set slots in range).
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "field/effect_banks.h"

static void checkBanks() {
    for (const EffectDefinition& d : gEffectBanks.definitions) {
        if (!memchr(d.name, 0, sizeof d.name)) __builtin_trap();
        if (d.image < 0 || d.image >= EFFECT_IMAGE_ROWS) __builtin_trap();
        if (d.type < 0 || d.type > EFFECT_TYPE_MAX) __builtin_trap();
        if (d.drawMethod < 0 || d.drawMethod > EFFECT_DRAW_METHOD_MAX) __builtin_trap();
        if (d.appearMode < 0 || d.appearMode > EFFECT_APPEAR_MODE_MAX) __builtin_trap();
    }
    for (const EffectSet& s : gEffectBanks.sets) {
        if (!memchr(s.name, 0, sizeof s.name)) __builtin_trap();
        for (int32_t e : s.effect)
            if (e < -1 || e >= EFFECT_COUNT) __builtin_trap();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) return 0;
    const char* text = reinterpret_cast<const char*>(data);
    int32_t length = static_cast<int32_t>(size);
    resetEffectBanks();
    for (int32_t bank = 0; bank < EFFECT_BANK_COUNT; bank++) applyEffectBankImage(bank, data, length);
    parseEffectNames(text, length);
    parseDefinitionDump(text, length);
    parseSetDump(text, length);
    checkBanks();
    return 0;
}
