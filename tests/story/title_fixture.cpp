#include "tests/story/title_fixture.h"

#include <cstring>
#include <span>

#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/sound.h"
#include "game/startup.h"
#include "platform/audio.h"
#include "platform/profile.h"
#include "shop/shop.h"
#include "story/game_records.h"
#include "story/title.h"
#include "tests/test_files.h"

static SaveImage sImage;

SaveImage& testSaveImage() { return sImage; }

void resetTestSaveImage() {
    memset(&sImage, 0, sizeof sImage);
    SaveHeader& h = sImage.header;
    h.magic = SAVE_MAGIC;
    h.optionSoundLevel = 9;
    h.optionMusicLevel = 5;
    h.optionVoiceLevel = 9;
    h.optionMessageSpeed = 1;
    for (GameState& slot : sImage.slots) initNewGameState(slot);
}

GameState& playedSlot(int32_t slot, int32_t playTicks) {
    GameState& game = sImage.slots[slot];
    game.playTicks = playTicks;
    return game;
}

GameState& clearedSlot(int32_t slot, bool withCard) {
    GameState& game = playedSlot(slot, 500000);
    game.playMode = PLAY_MODE_ENDLESS;
    game.date = 36;
    if (withCard) {
        game.storage[game.storageCount] = makeItemKey(TRUE_CARD_FIRST, 0, 0);
        game.storageCount++;
    }
    return game;
}

static void writeSealedImage(const std::string& file) {
    for (GameState& slot : sImage.slots) slot.checksum = (int32_t)slotChecksum(slot);
    writeFile(file, std::span(reinterpret_cast<const uint8_t*>(&sImage), sizeof sImage));
}

void TitleGame::SetUp() {
    resetTestSaveImage();
    mPreviousAudio = gAudioBackend;
    gAudioBackend = &AUDIO_HEADLESS;
}

void TitleGame::TearDown() {
    shutdown();
    gAudioBackend = mPreviousAudio;
    mFolder.reset();
}

void TitleGame::boot(bool withoutSave) {
    shutdown();
    mFolder.emplace("title");
    char error[1200];
    ASSERT_TRUE(linkGameData(TOLLI_GAME_DATA_DIR, mFolder->path().c_str(), error, sizeof error)) << error;
    std::string ini = path("tolli.ini");
    ASSERT_TRUE(profileWriteInt(ini.c_str(), "setup", "fps", 0));
    ASSERT_TRUE(profileWriteInt(ini.c_str(), "setup", "screen", 0));
    if (!withoutSave) writeSealedImage(path("save.dat"));
    restart();
}

void TitleGame::restart() {
    shutdown();
    HarnessOptions options;
    options.gameDir = mFolder->path().c_str();
    options.gfx = mGfx;
    ASSERT_EQ(harnessBoot(options), STARTUP_OK);
    mBooted = true;
}

void TitleGame::shutdown() {
    if (!mBooted) return;
    harnessShutdown();
    mBooted = false;
}

void TitleGame::run(int32_t ticks) { harnessRunTicks(ticks); }

void TitleGame::chooseEntry(int32_t code) {
    for (int32_t i = 0; i < TITLE_MENU_MAX && gTitle.menuCodes[gTitle.menuCursor] != code; ++i) tapButtons(BUTTON_DOWN);
    ASSERT_EQ(gTitle.menuCodes[gTitle.menuCursor], code);
    tapButtons(BUTTON_CONFIRM, TITLE_CHOICE_TICKS - 1);
}
