// Arbitrary text through every field data table parser: the item table
// first (the enemy tables look item names up in it), then the enemy kinds,
// the floors' enemy lists, the floor conditions, the model table and an
// effect group file. The input has no NUL behind it, so any read past its
// end is caught; every table must stay within its limits.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "dungeon/dungeon.h"
#include "field/effect_images.h"
#include "field/model_table.h"
#include "platform/window.h"
#include "shop/shop.h"

template <size_t N>
static void checkTerminated(const char (&field)[N]) {
    if (!memchr(field, 0, N)) __builtin_trap();
}

static void checkTables() {
    for (int32_t k = 0; k < ENEMY_KIND_CAPACITY; k++) checkTerminated(gEnemyKinds[k].name);
    for (const auto& dungeon : gFloorSpawnTable)
        for (const FloorSpawnRange& row : dungeon)
            for (const SpawnEntry& e : row.entries)
                if (e.kind < -1 || e.kind >= ENEMY_KIND_CAPACITY) __builtin_trap();
    for (const FloorCondition& c : gFloorConditions) checkTerminated(c.name);
    if (gFloorConditionCount < 0) __builtin_trap();
    for (const ModelEntry& m : gModelTable) {
        checkTerminated(m.fileName);
        for (int32_t p = 0; p < MODEL_TABLE_PARTS; p++) checkTerminated(m.partNames[p]);
        if (m.partCount < 0 || m.partCount > MODEL_TABLE_PARTS) __builtin_trap();
    }
    if (gEffectGroupCount < 0 || gEffectGroupCount > EFFECT_GROUP_MAX) __builtin_trap();
    for (int32_t g = 0; g < gEffectGroupCount; g++) checkTerminated(gEffectImageGroups[g]);
    if (gEffectImageCount < 0 || gEffectImageCount > EFFECT_IMAGE_ROWS) __builtin_trap();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > INT32_MAX) return 0;
    gWindow = &WINDOW_HEADLESS;
    headlessWindowReset();
    const char* text = reinterpret_cast<const char*>(data);
    int32_t length = static_cast<int32_t>(size);
    parseItemTable(text, length);
    resetEnemyKinds();
    parseEnemyKinds(text, length);
    parseFloorEnemyLists(text, length);
    parseFloorConditions(text, length);
    parseModelTable(text, length);
    gEffectGroupCount = 0;
    gEffectImageCount = 0;
    parseEffectGroupFile(text, length);
    checkTables();
    return 0;
}
