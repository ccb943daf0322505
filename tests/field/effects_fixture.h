// tests/field/effects_fixture.h: a fresh game state with the effect banks at
// their defaults, a seeded random sequence and the effect image table kept
// aside, so a case writes the few definitions, sets and image rows it needs.
#pragma once
#include <gtest/gtest.h>

#include <cstring>

#include "engine/random.h"
#include "field/effect_banks.h"
#include "field/effect_images.h"
#include "field/field.h"
#include "field/field_state.h"
#include "game/state_registry.h"

class EffectsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        resetGameState();
        resetEffectBanks();
        memcpy(savedImages, gEffectImages, sizeof savedImages);
        savedImageCount = gEffectImageCount;
        savedGroupCount = gEffectGroupCount;
        memset(gEffectImages, 0, sizeof gEffectImages);
        gEffectImages[0] = EffectImage{0, 0.0f, 64.0f, 32.0f, 32.0f, 1, 1, 0};
        seedRandom(1234);
    }
    void TearDown() override {
        memcpy(gEffectImages, savedImages, sizeof savedImages);
        gEffectImageCount = savedImageCount;
        gEffectGroupCount = savedGroupCount;
        resetEffectBanks();
        resetGameState();
    }
    // A definition as a bank file would hold it: the defaults, then the case's.
    EffectDefinition& definition(int32_t number) { return gEffectBanks.definitions[number]; }
    EffectSet& set(int32_t number) { return gEffectBanks.sets[number]; }

    static int32_t liveParticles() {
        int32_t n = 0;
        for (const Particle& p : gParticles) n += p.definition != -1;
        return n;
    }
    static int32_t runningSets() {
        int32_t n = 0;
        for (const EffectSetInstance& s : gEffectSetInstances) n += s.set != -1;
        return n;
    }

    EffectImage savedImages[EFFECT_IMAGE_ROWS];
    int32_t savedImageCount = 0;
    int32_t savedGroupCount = 0;
};
