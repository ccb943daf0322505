// tests/story/title_fixture.h: the real game booted headless on a game
// folder of the test's own, whose save file the test made: the packed sample
// data linked in, "save.dat" written from an image built in memory, sounds
// on the headless mixer so the effects started can be counted.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

#include "engine/save_file.h"
#include "tests/engine/sound_effects_probe.h"
#include "tests/harness/buttons.h"
#include "tests/harness/harness.h"
#include "tests/temp_folder.h"

// The image the next folder gets: a renewed header and 100 empty slots.
// Tests change it, then seal and write it with makeTitleGameFolder.
SaveImage& testSaveImage();
void resetTestSaveImage();
// A slot with play time: a new game played for a while.
GameState& playedSlot(int32_t slot, int32_t playTicks = 3600);
// A game cleared into endless play; with a card, adventurer 0's True Card in storage.
GameState& clearedSlot(int32_t slot, bool withCard);

class TitleGame : public ::testing::Test {
public:
    void SetUp() override;
    void TearDown() override;

    // Makes the folder (writing the test image, unless withoutSave) and boots on it.
    void boot(bool withoutSave = false);
    // Shuts down and boots again on the same folder.
    void restart();
    void shutdown();

    void run(int32_t ticks);
    // Taps down (or up) until the menu cursor stands on the entry, then confirms
    // and runs the 15 ticks of the flash.
    void chooseEntry(int32_t code);
    // Runs ticks until the condition holds or the limit passes; true when it held.
    template <typename Condition>
    bool runUntil(Condition condition, int32_t limit) {
        for (int32_t i = 0; i < limit && !gHarness.quit; ++i) {
            if (condition()) return true;
            run(1);
        }
        return condition();
    }

    std::string path(const char* name) const { return mFolder->file(name); }

    std::optional<TempFolder> mFolder;   // from the first boot on
    // The device the boots draw on: GFX_HEADLESS for a test that reads the
    // frame back.
    const GfxBackend* mGfx = &GFX_RECORDING;
    const struct AudioBackend* mPreviousAudio = nullptr;
    bool mBooted = false;
};
