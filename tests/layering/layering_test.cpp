// The layers hold in the whole source tree, and the check sees a planted
// breach of each kind.
#include <gtest/gtest.h>

#include "tests/layering/layering_check.h"
#include "tests/temp_folder.h"

TEST(Layering, SourceTreeKeepsItsLayers) {
    std::vector<std::string> faults = checkLayering(TOLLI_SOURCE_DIR);
    for (const std::string& fault : faults) ADD_FAILURE() << fault;
}

struct IncludeCase {
    const char* file;
    const char* header;
    bool allowed;
};
const IncludeCase INCLUDE_CASES[] = {
    {"shop/counter.cpp", "shop/negotiation.h", true},         // its own private header
    {"shop/counter.cpp", "dungeon/dungeon.h", true},          // another's front door
    {"shop/counter.cpp", "dungeon/dungeon_state.h", true},
    {"shop/counter.cpp", "dungeon/floor_map.h", false},       // another's private header
    {"game/mode_table.cpp", "story/title.h", false},
    {"game/mode_table.cpp", "story/story.h", true},
    {"tests/shop/counter_test.cpp", "shop/negotiation.h", true},   // a folder's tests see inside it
    {"tests/shop/counter_test.cpp", "story/title.h", false},
    {"tests/game/shell_test.cpp", "shop/counter.h", false},
    {"tests/fuzz/shop_tables_fuzz.cpp", "shop/item_db.h", true},   // the loader it feeds
    {"engine/sound.cpp", "story/story.h", false},             // the engine looks up
    {"engine/sound.cpp", "game/startup.h", false},
    {"engine/sound.cpp", "platform/audio.h", true},
    {"platform/gfx.cpp", "engine/math.h", false},
    {"tools/makepictures.cpp", "shop/window_cells.h", true},  // the layouts it draws
    {"field/game_overlay.cpp", "shop/window_cells.h", false}, // drawing code takes them from the front door
    {"tools/makesounds.cpp", "dungeon/dungeon_files.h", true},
    {"tools/makesounds.cpp", "dungeon/dungeon.h", false},
    {"tools/makesounds.cpp", "game/startup.h", false},
    {"tests/game/sample_data_test.cpp", "shop/shop_files.h", true},   // the names the data must hold
    {"tests/game/sample_data_test.cpp", "shop/counter.h", false},
    {"story/title.cpp", "game/startup.h", false},
};

TEST(Layering, EachKindOfIncludeIsJudged) {
    for (const IncludeCase& c : INCLUDE_CASES)
        EXPECT_EQ(layeringFault(c.file, c.header).empty(), c.allowed) << c.file << " -> " << c.header;
}

TEST(Layering, APlantedPrivateIncludeFails) {
    TempFolder tree("layering");
    tree.write("dungeon/floor_map.h", "#pragma once\n");
    tree.write("shop/counter.cpp",
               "#include \"shop/counter.h\"\n#include \"dungeon/dungeon.h\"\n  #  include \"dungeon/floor_map.h\"\n");
    // Build folders hold generated files, not the tree's own.
    tree.write("build/shop/gen.cpp", "#include \"dungeon/floor_map.h\"\n");
    std::vector<std::string> faults = checkLayering(tree.path());
    ASSERT_EQ(faults.size(), 1u);
    EXPECT_NE(faults[0].find("shop/counter.cpp: includes \"dungeon/floor_map.h\""), std::string::npos) << faults[0];
}
