// field/effect_objects.h: the hard-coded effects of the field.
#pragma once
#include <cstdint>

#include "engine/config_index.h"   // gEffectEditorOn

void updateEffectObjects();   // once per tick
// Starts effect objects of a kind at a point (owner 0: none); until the
// effect objects are built nothing starts.
void spawnEffectObject(int32_t owner, float x, float y, float z, int32_t kind, float scale, int32_t parameter);
// The effect editor's menu over the field; it arrives with the editor and
// draws nothing until then.
void drawEditorMenu();
void saveEffectBank(int32_t bank);

// The hard-coded effect objects; free while kind is -1. Only the fields in
// the record's order up to scale are here yet: the rest arrives with the
// effects' rules.
constexpr int32_t EFFECT_OBJECT_POOL_SIZE = 4096;
struct EffectObject {
    float position[3];
    float velocity[3];
    float angles[3];     // about x, y, z
    float offset[3];
    int32_t kind;        // 1..152; -1 free
    int32_t frame;       // ticks since spawn
    float scale;
};
extern EffectObject gEffectObjects[EFFECT_OBJECT_POOL_SIZE];
// Every object free.
void resetEffectObjects();
