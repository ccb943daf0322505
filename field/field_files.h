// field/field_files.h: the field's data files. The effect bank file records,
// which the game reads and its effect editor writes, and which
// tools/makeeffects writes too (a bank file is a plain image of its records,
// little-endian); and the clips the field's code plays by name, which the
// sound synthesiser (tools/makesounds) makes for the sample game. The tools
// include it.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int32_t EFFECT_BANK_COUNT = 4;
constexpr int32_t EFFECT_BANK_SIZE = 100;   // definitions (and sets) per bank
constexpr int32_t EFFECT_COUNT = EFFECT_BANK_COUNT * EFFECT_BANK_SIZE;
constexpr int32_t EFFECT_NAME_SIZE = 100;   // 99 characters and the terminator
constexpr int32_t EFFECT_SET_SLOTS = 7;
constexpr int32_t EFFECT_TYPE_MAX = 10;
constexpr int32_t EFFECT_DRAW_METHOD_MAX = 4;
constexpr int32_t EFFECT_APPEAR_MODE_MAX = 2;
constexpr int32_t EFFECT_IMAGE_ROWS = 999;   // rows of the effect image table

// "ef/effect%d.dat" with the bank number + 1.
constexpr const char* EFFECT_BANK_PATH_FORMAT = "ef/effect%d.dat";

// One particle emitter.
struct EffectDefinition {
    char name[EFFECT_NAME_SIZE];
    int32_t image;            // row of the effect image table
    int32_t type;             // motion and shape kind 0..10
    int32_t count;            // particles per emission
    float overallScale;
    float initialSpeed;       // or the ring radius of type 5
    float acceleration;       // velocity factor per tick
    float gravity;            // added to the vertical velocity per tick
    float appearTime;         // ticks between the starts of one emission's particles
    int32_t vanishTime;       // lifetime when the spawner gives none; -1 no age limit
    int32_t vanishSpread;     // each particle lives 0..spread-1 ticks longer
    float initialSize;
    float sizeGrowth;         // per tick
    float speedXYRatio;       // the share of the start speed that goes upward
    float speedYBias;
    float particleXYRatio;    // the height share of the quad
    int32_t alphaRiseTime;    // fade-in ticks; 0 none
    int32_t alphaFallTime;    // fade-out ticks before the end; 0 none
    int8_t drawMethod;        // 0 additive, 1 opaque, 2 translucent, 3 shadow, 4 low shadow
    int8_t appearMode;        // what the fades act on: 0 alpha, 1 size, 2 both
    uint8_t pad170[2];        // as loaded
};
static_assert(sizeof(EffectDefinition) == 172);
static_assert(offsetof(EffectDefinition, image) == 100);
static_assert(offsetof(EffectDefinition, vanishTime) == 132);
static_assert(offsetof(EffectDefinition, alphaFallTime) == 164);
static_assert(offsetof(EffectDefinition, drawMethod) == 168);
static_assert(offsetof(EffectDefinition, appearMode) == 169);

// A timed script of up to seven emitters.
struct EffectSet {
    char name[EFFECT_NAME_SIZE];
    int32_t effect[EFFECT_SET_SLOTS];        // global definition number; -1 empty slot
    int32_t startFrame[EFFECT_SET_SLOTS];    // set frame at which the slot fires
    int32_t colour[EFFECT_SET_SLOTS][4];     // red, green, blue and a fourth value; playback ignores it
    float scale[EFFECT_SET_SLOTS];
    float position[EFFECT_SET_SLOTS][3];     // offset from the set's origin
};
static_assert(sizeof(EffectSet) == 380);
static_assert(offsetof(EffectSet, effect) == 100);
static_assert(offsetof(EffectSet, startFrame) == 128);
static_assert(offsetof(EffectSet, colour) == 156);
static_assert(offsetof(EffectSet, scale) == 268);
static_assert(offsetof(EffectSet, position) == 296);

constexpr int32_t EFFECT_BANK_DEFINITION_BYTES = EFFECT_BANK_SIZE * (int32_t)sizeof(EffectDefinition);   // 17,200
constexpr int32_t EFFECT_BANK_SET_BYTES = EFFECT_BANK_SIZE * (int32_t)sizeof(EffectSet);                // 38,000
constexpr int32_t EFFECT_BANK_FILE_BYTES = EFFECT_BANK_DEFINITION_BYTES + EFFECT_BANK_SET_BYTES;

// What a definition and a set hold before any bank file is read.
inline EffectDefinition defaultEffectDefinition() {
    EffectDefinition d = {};
    const char unknown[] = "unknown";
    for (size_t i = 0; i < sizeof unknown; i++) d.name[i] = unknown[i];
    d.count = 16;
    d.overallScale = 1.0f;
    d.initialSpeed = 1.0f;
    d.acceleration = 1.0f;
    d.vanishTime = 24;
    d.initialSize = 1.0f;
    d.speedXYRatio = 0.5f;
    d.particleXYRatio = 0.5f;
    d.alphaFallTime = 8;
    return d;
}

inline EffectSet defaultEffectSet() {
    EffectSet s = {};
    const char unknown[] = "unknown";
    for (size_t i = 0; i < sizeof unknown; i++) s.name[i] = unknown[i];
    for (int32_t k = 0; k < EFFECT_SET_SLOTS; k++) {
        s.effect[k] = -1;
        for (int32_t& c : s.colour[k]) c = 100;
        s.scale[k] = 1.0f;
    }
    return s;
}

// The heroine's voice at a merchant level-up.
constexpr const char* MERCHANT_LEVEL_UP_VOICE = "bin/se/00sa/system/00sa_sys03a.bin";
