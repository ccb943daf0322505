// The scene picture sets on the booted game: the system and title sets at
// their sizes from the packed sample pictures, each set's list and group,
// the releasers, the full release, and the reloads after a device reset.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/archive.h"
#include "engine/device.h"
#include "engine/frame_loop.h"
#include "engine/overlay_screen.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "field/field.h"
#include "game/startup.h"
#include "platform/image.h"
#include "platform/window.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "tests/engine/texture_registry_probe.h"
#include "tests/harness/harness.h"
#include "tests/test_files.h"

namespace {

void forgetMessageBoxes() { gHeadlessMessageBoxes.count = gHeadlessMessageBoxes.total = 0; }

// The sample data holds every picture of every set, so a set's list is seen
// through damaged loose files: a loader reads a loose file before the
// archive and reports a bad picture by its path. These are put in the game
// folder (the working directory) and taken away again.
void putDamagedPictures(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) writeFile(path, "not a picture");
}

void removeDamagedPictures(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) std::filesystem::remove(path);
}

// The paths of the pictures the loaders asked for, as the boxes of the
// damaged ones name them; a picture missing from the sample data shows as
// its "Not File Found" text.
std::vector<std::string> askedPictures() {
    std::vector<std::string> paths;
    for (int32_t i = 0; i < gHeadlessMessageBoxes.count; ++i) {
        const RecordedMessageBox& box = gHeadlessMessageBoxes.boxes[i];
        paths.push_back(strcmp(box.caption, "Error") == 0 ? box.text : box.caption);
    }
    return paths;
}

struct StartPicture {
    const char* path;
    TextureSlot* slot;
    int32_t group, width, height;
};
const StartPicture START_PICTURES[] = {
    {"bmp/system.bmp", &gSystemTexture, 1, 128, 128},
    {"bmp/fps2.tga", &gFpsTexture, 1, 256, 32},
    {"bmp/nowloading.tga", &gNowLoadingTexture, 1, 256, 64},
    {"bmp/savewindow.tga", &gSaveWindowTexture, 1, 512, 128},
    {"bmp/window.tga", &gWindowTexture, 1, 64, 64},
    {"bmp/item_win.tga", &gItemWindowTexture, 1, 1024, 1024},
    {"bmp/data_win.tga", &gDataWindowTexture, 1, 512, 512},
    // The party's sprite sheets, at the sizes of their motion files.
    {"bmp/chr/chr00.bmp", &gCharacterTextures[0], 1, 256, 256},
    {"bmp/chr/chr01.bmp", &gCharacterTextures[1], 1, 256, 256},
    {"bmp/chr/chr02.bmp", &gCharacterTextures[2], 1, 256, 256},
    {"bmp/pc_gage.tga", &gPlayerGaugeTexture, 1, 512, 512},
    {"bmp/hpmp_base.tga", &gHpMpBaseTexture, 1, 512, 512},
    {"bmp/hpmp_exp.tga", &gHpMpExpTexture, 1, 128, 128},
    {"bmp/ene_hp2.tga", &gEnemyHpTexture, 1, 512, 256},
    {"bmp/magicjem.tga", &gMagicGemTexture, 1, 512, 256},
    {"bmp/effect.bmp", &gEffectTexture, 1, 256, 256},
    {"bmp/kumonosu.tga", &gCobwebTexture, 1, 128, 128},
    {"bmp/katter.tga", &gKatterTexture, 1, 64, 64},
    {"bmp/effect_mahi.bmp", &gMahiTexture, 1, 256, 64},
    {"bmp/snow.bmp", &gSnowTexture, 1, 128, 128},
    {"bmp/effect_shot.bmp", &gEffectShotTexture, 1, 256, 256},
    {"bmp/shade.bmp", &gShadeTexture, 1, 256, 256},
    {"bmp/title_bg2.bmp", &gScenePictures[0], 2, 1024, 1024},
    {"bmp/title01.tga", &gScenePictures[1], 2, 512, 256},
    {"bmp/title_fuki.tga", &gScenePictures[2], 2, 512, 1024},
    {"bmp/title_waku.tga", &gScenePictures[3], 2, 1024, 512},
    {"bmp/pause.tga", &gPauseTextures[0], 2, 1024, 512},
    {"bmp/result_bord01.tga", &gPauseTextures[2], 2, 512, 256},
    {"bmp/dungeonbord.tga", &gPauseTextures[3], 2, 1024, 512},
};
constexpr int32_t START_PICTURE_COUNT = sizeof START_PICTURES / sizeof START_PICTURES[0];

// The picture's own size as the sample data holds it.
bool samplePictureSize(const char* path, int32_t* width, int32_t* height) {
    int32_t size = getArchiveEntrySize(path);
    if (size <= 0) return false;
    std::vector<uint8_t> bytes((size_t)size);
    if (readArchiveEntry(path, bytes.data(), size) != size) return false;
    Image image = {};
    if (imageDecode(bytes.data(), bytes.size(), imageFileType(bytes.data(), bytes.size()), &image) != IMAGE_OK)
        return false;
    *width = image.width;
    *height = image.height;
    imageFree(&image);
    return true;
}

}   // namespace

// The game booted on the packed sample data with the recording device.
class ScenePictures : public ::testing::Test {
protected:
    void SetUp() override {
        HarnessOptions options;
        options.gfx = &GFX_RECORDING;
        ASSERT_EQ(harnessBoot(options), STARTUP_OK);
    }
    void TearDown() override {
        gGameMode = GAME_MODE_TITLE;
        gOverlayScreen = OverlayScreenState{};
        runningGameState().playMode = PLAY_MODE_STORY;
        harnessShutdown();
    }
};

TEST_F(ScenePictures, TheBootLoadsTheSystemAndTitleSetsAtTheirStatedSizes) {
    EXPECT_EQ(gHeadlessMessageBoxes.total, 0) << "every start-up picture is in the sample data";
    // The icon sheets of the sample item table.
    static ItemIconRow rows[ITEM_ICON_ROW_MAX];
    loadedItemIconRows(rows);
    ItemIconSheet sheets[ITEM_ICON_CATEGORY_COUNT];
    int32_t sheetCount = planItemIconSheets(rows, ITEM_ICON_ROW_MAX, sheets);
    EXPECT_GT(sheetCount, 1);
    for (int32_t i = 0; i < sheetCount; ++i) {
        const TextureSlot& slot = itemIconSheet(sheets[i].category);
        EXPECT_TRUE(isRegistered(slot)) << "category " << sheets[i].category;
        EXPECT_NE(slot.texture, nullptr) << "category " << sheets[i].category;
        EXPECT_EQ(slot.group, 1);
        EXPECT_EQ(slot.width, 256);
        EXPECT_EQ(slot.height, sheets[i].height);
        char path[64];
        snprintf(path, sizeof path, "bmp/item/item%02d.bmp", sheets[i].category);
        int32_t width = 0, height = 0;
        ASSERT_TRUE(samplePictureSize(path, &width, &height)) << path;
        EXPECT_EQ(width, 256) << path;
        EXPECT_EQ(height, sheets[i].height) << path;
    }
    // The effect image groups, after the field pictures and before the icons.
    EXPECT_GT(gEffectGroupCount, 0);
    for (int32_t g = 0; g < gEffectGroupCount; ++g) {
        const TextureSlot& slot = gEffectImageTextures[g];
        EXPECT_TRUE(isRegistered(slot)) << gEffectImageGroups[g];
        EXPECT_EQ(slot.group, 1) << gEffectImageGroups[g];
        EXPECT_EQ(slot.width, 256) << gEffectImageGroups[g];
        EXPECT_EQ(slot.height, 256) << gEffectImageGroups[g];
        int32_t width = 0, height = 0;
        ASSERT_TRUE(samplePictureSize(gEffectImageGroups[g], &width, &height)) << gEffectImageGroups[g];
        EXPECT_EQ(width, 256) << gEffectImageGroups[g];
    }
    EXPECT_EQ(registeredCount(), START_PICTURE_COUNT + gEffectGroupCount + sheetCount);
    for (const StartPicture& p : START_PICTURES) {
        EXPECT_TRUE(isRegistered(*p.slot)) << p.path;
        EXPECT_NE(p.slot->texture, nullptr) << p.path;
        EXPECT_EQ(p.slot->group, p.group) << p.path;
        EXPECT_EQ(p.slot->width, p.width) << p.path;
        EXPECT_EQ(p.slot->height, p.height) << p.path;
        int32_t width = 0, height = 0;
        ASSERT_TRUE(samplePictureSize(p.path, &width, &height)) << p.path;
        EXPECT_EQ(width, p.width) << "the sample picture " << p.path;
        EXPECT_EQ(height, p.height) << "the sample picture " << p.path;
    }
    // The off-screen targets' slots: sizes only, never registered.
    EXPECT_EQ(gAfterimageTexture.width, 640);
    EXPECT_EQ(gAfterimageTexture.height, 480);
    EXPECT_EQ(gTransitionTexture.width, 1280);
    EXPECT_EQ(gTransitionTexture.height, 256);
    EXPECT_FALSE(isRegistered(gAfterimageTexture));
    EXPECT_FALSE(isRegistered(gTransitionTexture));
}

// Each loader's pictures: their paths in order, and the group and size of
// one of its slots.
struct SetCase {
    const char* name;
    void (*load)();
    void (*release)();
    TextureSlot* slot;
    int32_t group, width, height;
    std::vector<std::string> pictures;
};

TEST_F(ScenePictures, EachSetLoadsItsListIntoItsGroup) {
    const std::vector<std::string> ADVENTURERS = {
        "bmp/st_vuror.tga", "bmp/st_rerado.tga", "bmp/st_zirezuz.tga", "bmp/st_zazuru.tga",
        "bmp/st_zuzi.tga",  "bmp/st_doda.tga",   "bmp/st_dedar.tga",   "bmp/st_zoze.tga"};
    std::vector<std::string> depart = {"bmp/boukenguild_bg.bmp", "bmp/brave_sel.tga", "bmp/dungeonmap.tga",
                                       "bmp/dungeonbord.tga"};
    depart.insert(depart.end(), ADVENTURERS.begin(), ADVENTURERS.end());
    std::vector<std::string> pause = {"bmp/pause.tga", "bmp/pause_bg_safo.tga", "bmp/result_bord01.tga", "bmp/dungeonbord.tga",
                                      "bmp/sousa_vur.tga", "bmp/sousa_rer.tga", "bmp/sousa_zir.tga",
                                      "bmp/sousa_zaz.tga", "bmp/sousa_zuz.tga", "bmp/sousa_dod.tga",
                                      "bmp/sousa_ded.tga", "bmp/sousa_zoz.tga"};
    pause.insert(pause.end(), ADVENTURERS.begin(), ADVENTURERS.end());
    std::vector<std::string> ending = {"bmp/end/ending_bg.bmp"};
    for (int i = 1; i <= 11; ++i) ending.push_back("bmp/end/end_screen" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".tga");
    for (int i = 1; i <= 5; ++i) ending.push_back("bmp/end/staff0" + std::to_string(i) + ".tga");

    const SetCase CASES[] = {
        {"game over", loadGameOverTextures, releaseGameOverTextures, &gPauseTextures[0], 4, 1024, 512, {"bmp/pause.tga"}},
        {"after-ending save", loadEndingSaveTextures, releaseEndingSaveTextures, &gPauseTextures[0], 9, 1024, 512,
         {"bmp/pause.tga"}},
        {"town map", loadWorldMapTextures, releaseWorldMapTextures, &gScenePicture, 10, 256, 1024,
         {"bmp/worldmap_nomal.bmp", "bmp/worldmap_yugata.bmp", "bmp/worldmap_night.bmp", "bmp/mappoint.tga"}},
        {"day report", loadResultsTextures, releaseResultsTextures, &gScenePictures[2], 5, 128, 1024,
         {"bmp/choushuu.tga", "bmp/result_bord01.tga", "bmp/hanko.tga"}},
        {"item choice", loadItemSelectTextures, releaseItemSelectTextures, nullptr, 5, 0, 0, {}},
        {"ending", loadEndingTextures, releaseEndingTextures, &gScenePictures[16], 6, 512, 512, ending},
        {"departure", loadDepartTextures, releasePlaceTextures, &gScenePictures[11], 7, 512, 512, depart},
        {"church", loadChurchTextures, releasePlaceTextures, &gScenePictures[0], 7, 1024, 512,
         {"bmp/ivent/bg_kyoukai.bmp"}},
        {"plaza", loadPlazaTextures, releasePlaceTextures, &gScenePictures[2], 7, 1024, 512,
         {"bmp/ivent/bg_hiro1.bmp", "bmp/ivent/bg_hiro2.bmp", "bmp/ivent/bg_hiro3.bmp"}},
        {"plaza, idle", loadPlazaIdleTextures, releaseMarketTextures, &gScenePictures[0], 7, 1024, 512,
         {"bmp/ivent/bg_hiro1.bmp"}},
        {"tavern", loadTavernTextures, releasePlaceTextures, &gScenePictures[0], 7, 1024, 512,
         {"bmp/ivent/bg_sakaba.bmp"}},
        {"pause", loadPauseTextures, releasePauseTextures, &gPausePictures[15], 12, 512, 512, pause},
    };
    releaseTitleTextures();
    const int32_t systemCount = registeredCount();
    for (const SetCase& c : CASES) {
        forgetMessageBoxes();
        c.load();
        EXPECT_EQ(gHeadlessMessageBoxes.total, 0) << c.name << ": the sample data holds the set";
        c.release();
        putDamagedPictures(c.pictures);
        forgetMessageBoxes();
        c.load();
        removeDamagedPictures(c.pictures);
        EXPECT_EQ(askedPictures(), c.pictures) << c.name;
        if (c.slot) {
            EXPECT_TRUE(isRegistered(*c.slot)) << c.name;
            EXPECT_EQ(c.slot->group, c.group) << c.name;
            EXPECT_EQ(c.slot->width, c.width) << c.name;
            EXPECT_EQ(c.slot->height, c.height) << c.name;
        }
        c.release();
        EXPECT_EQ(registeredCount(), systemCount) << c.name << ": its releaser frees the whole set, nothing else";
        EXPECT_NE(gSystemTexture.texture, nullptr) << c.name;
    }
}

TEST_F(ScenePictures, MarketAndOpeningPickTheirPicturesByState) {
    const std::vector<std::string> COMMON = {"bmp/ivent/chrname.tga", "bmp/leve_win.tga", "bmp/shopmode.tga"};
    struct Case {
        const char* name;
        int32_t marketMode, dayPhase, openingVariant;
        void (*load)();
        std::vector<std::string> pictures;
    };
    auto withCommon = [&](std::vector<std::string> first) {
        first.insert(first.end(), COMMON.begin(), COMMON.end());
        return first;
    };
    const Case CASES[] = {
        {"guild", 0, 3, 0, loadMarketTextures, withCommon({"bmp/ivent/bg_guild.bmp", "bmp/ivent/13syounin_01.tga", "bmp/result_bord01.tga"})},
        {"market, morning", 1, 0, 0, loadMarketTextures,
         withCommon({"bmp/ivent/bg_ichiba.bmp", "bmp/ivent/01saffiel_04.tga", "bmp/ivent/02yoss_01.tga"})},
        {"market, evening", 1, 2, 0, loadMarketTextures,
         withCommon({"bmp/ivent/bg_ichiba2.bmp", "bmp/ivent/01saffiel_04.tga", "bmp/ivent/02yoss_01.tga"})},
        {"opening", 0, 0, 0, loadOpeningTextures,
         {"bmp/op/akaituki.bmp", "bmp/op/yorumori.bmp", "bmp/op/messe01.tga", "bmp/op/messe02.tga", "bmp/op/yousei.bmp"}},
        {"extra opening", 0, 0, 2, loadOpeningTextures,
         {"bmp/op/ex_op_lib.bmp", "bmp/op/ex_op_book.bmp", "bmp/op/ex_messe01.tga", "bmp/op/ex_messe02.tga"}},
    };
    releaseTitleTextures();
    const int32_t systemCount = registeredCount();
    for (const Case& c : CASES) {
        gMarketMode = c.marketMode;
        runningGameState().dayPhase = c.dayPhase;
        gOpeningVariant = c.openingVariant;
        putDamagedPictures(c.pictures);
        forgetMessageBoxes();
        c.load();
        removeDamagedPictures(c.pictures);
        EXPECT_EQ(askedPictures(), c.pictures) << c.name;
        releasePlaceTextures();
        releaseOpeningTextures();
        EXPECT_EQ(registeredCount(), systemCount) << c.name;
    }
    gMarketMode = 0;
    gOpeningVariant = 0;
    runningGameState().dayPhase = 0;
}

TEST_F(ScenePictures, SurvivalAndEndlessGamesPauseWithTheirOwnSheet) {
    const char* const SHEETS[PLAY_MODE_ENDLESS + 1] = {"bmp/pause.tga", "bmp/pause.tga", "bmp/pause_endless.tga", "bmp/pause_endless.tga"};
    const std::vector<std::string> BOTH = {"bmp/pause.tga", "bmp/pause_endless.tga"};
    releaseTitleTextures();
    for (int32_t playMode = PLAY_MODE_STORY; playMode <= PLAY_MODE_ENDLESS; ++playMode) {
        runningGameState().playMode = playMode;
        putDamagedPictures(BOTH);
        forgetMessageBoxes();
        loadPauseTextures();
        removeDamagedPictures(BOTH);
        std::vector<std::string> asked = askedPictures();
        ASSERT_FALSE(asked.empty()) << "play mode " << playMode;
        EXPECT_EQ(asked[0], SHEETS[playMode]) << "play mode " << playMode;
        EXPECT_EQ(gPauseTextures[0].texture, nullptr) << "play mode " << playMode;
        releasePauseTextures();
    }
}

TEST_F(ScenePictures, GroupsAndTheFullReleaseLeaveNothingBehind) {
    const int32_t systemCount = registeredCount() - 7;
    releaseTitleTextures();
    for (int32_t i = 0; i < 4; ++i) EXPECT_EQ(gScenePictures[i].texture, nullptr);
    EXPECT_EQ(registeredCount(), systemCount);
    EXPECT_NE(gSystemTexture.texture, nullptr);
    loadTitleTextures();
    releaseAllTextures();
    EXPECT_EQ(registeredCount(), 0);
    for (const StartPicture& p : START_PICTURES) EXPECT_EQ(p.slot->texture, nullptr) << p.path;
    EXPECT_EQ(gRenderTargetTextures[0], nullptr);
    EXPECT_EQ(gRenderTargetTextures[1], nullptr);
    // The system set comes back whole, in a registry started afresh.
    loadSystemTextures();
    EXPECT_EQ(registeredCount(), systemCount);
    EXPECT_NE(gRenderTargetTextures[1], nullptr);
}

TEST_F(ScenePictures, ADeviceResetReloadsTheSystemSetAndTheCurrentScenes) {
    struct ResetCase {
        const char* name;
        int32_t mode, overlayKind, savedMode;
        TextureSlot* slot;   // a picture of the scene's own set
        int32_t group;
        TextureSlot* interrupted;   // one of the interrupted scene's, when it has pictures
        int32_t interruptedGroup;
    };
    const ResetCase CASES[] = {
        {"title", GAME_MODE_TITLE, 0, GAME_MODE_TITLE, &gScenePictures[1], 2, nullptr, 0},
        {"pause menu over the church", GAME_MODE_OVERLAY, 0, GAME_MODE_CHURCH, &gPauseTextures[1], 12, &gScenePictures[0], 7},
        {"day report over the field", GAME_MODE_OVERLAY, 1, GAME_MODE_FIELD, &gScenePictures[2], 5, shopWallPicture(0), 3},
    };
    for (const ResetCase& c : CASES) {
        gGameMode = c.mode;
        gOverlayScreen.kind = c.overlayKind;
        gOverlayScreen.savedMode = c.savedMode;
        gGfxDevice->simulateDeviceLoss();
        harnessRunTicks(1);
        ASSERT_EQ(gDeviceOk, 1) << c.name;
        EXPECT_NE(gSystemTexture.texture, nullptr) << c.name;
        EXPECT_NE(gRenderTargetTextures[0], nullptr) << c.name;
        EXPECT_TRUE(isRegistered(*c.slot)) << c.name;
        EXPECT_EQ(c.slot->group, c.group) << c.name;
        if (c.interrupted) {
            EXPECT_TRUE(isRegistered(*c.interrupted)) << c.name;
            EXPECT_EQ(c.interrupted->group, c.interruptedGroup) << c.name;
        }
        // Only the reloaded sets: the system set and the scene's own.
        for (TextureSlot* entry : gTextureRegistry) {
            if (entry) {
                EXPECT_TRUE(entry->group == 1 || entry->group == c.group || entry->group == c.interruptedGroup)
                    << c.name << ": group " << entry->group;
            }
        }
    }
}
