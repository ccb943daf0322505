// The title's options and records windows: settings within their ranges
// with their feedback, the header written only after a change and kept over
// a restart, "Clear Save Data", and the records shown.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/dialogs.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/sound.h"
#include "platform/audio.h"
#include "platform/window.h"
#include "story/options_window.h"
#include "story/title.h"
#include "tests/story/title_fixture.h"

namespace {

SaveHeader readHeader(const std::string& file) {
    SaveHeader header = {};
    FILE* f = fopen(file.c_str(), "rb");
    EXPECT_NE(f, nullptr) << file;
    if (!f) return header;
    EXPECT_EQ(fread(&header, 1, sizeof header, f), sizeof header);
    fclose(f);
    return header;
}

using Options = TitleGame;

// Opens the options window and waits until it stands open.
void openOptions(TitleGame& game) {
    game.chooseEntry(TITLE_OPTIONS);
    game.run(TITLE_WINDOW_SLIDE);
    ASSERT_EQ(gTitle.windowOpen, TITLE_WINDOW_SLIDE);
    ASSERT_EQ(gTitle.windowKind, TITLE_WINDOW_OPTIONS);
}

TEST_F(Options, ChangedSettingsAreWrittenToTheHeaderAndSurviveARestart) {
    boot(true);
    openOptions(*this);
    int32_t quieter = audioVolume(AUDIO_PATH_MUSIC);
    tapButtons(BUTTON_RIGHT);
    EXPECT_EQ(gOptionMusicLevel, 6);
    EXPECT_GT(audioVolume(AUDIO_PATH_MUSIC), quieter);   // louder at once
    tapButtons(BUTTON_DOWN);
    int32_t cursorSounds = effectStarts(SOUND_CURSOR);
    tapButtons(BUTTON_LEFT);
    EXPECT_EQ(gOptionSoundLevel, 8);
    EXPECT_EQ(effectStarts(SOUND_CURSOR), cursorSounds + 1);
    tapButtons(BUTTON_DOWN);
    tapButtons(BUTTON_DOWN);
    tapButtons(BUTTON_RIGHT);
    EXPECT_EQ(gOptionMessageSpeed, 2);
    tapButtons(BUTTON_DOWN);
    tapButtons(BUTTON_RIGHT);
    EXPECT_EQ(gOptionTextSkip, 1);
    EXPECT_EQ(gTitle.optionsState, 1);
    EXPECT_FALSE(std::filesystem::exists(path("save.dat")));

    tapButtons(BUTTON_CANCEL, 0);
    EXPECT_EQ(gTitle.optionsState, 2);   // the "Saving" banner's tick
    EXPECT_FALSE(isPointerShown());
    run(1);
    EXPECT_EQ(gTitle.optionsState, 0);
    EXPECT_EQ(gTitle.windowClosing, 1);
    EXPECT_EQ(gTitle.menuCodes[gTitle.menuCursor], TITLE_OPTIONS);
    for (const char* name : {"save.dat", "_save.dat"}) {
        SaveHeader header = readHeader(path(name));
        EXPECT_EQ(header.optionMusicLevel, 6) << name;
        EXPECT_EQ(header.optionSoundLevel, 8) << name;
        EXPECT_EQ(header.optionVoiceLevel, 9) << name;
        EXPECT_EQ(header.optionMessageSpeed, 2) << name;
        EXPECT_EQ(header.optionTextSkip, 1) << name;
    }

    restart();
    EXPECT_EQ(gOptionMusicLevel, 6);
    EXPECT_EQ(gOptionSoundLevel, 8);
    EXPECT_EQ(gOptionMessageSpeed, 2);
    EXPECT_EQ(gOptionTextSkip, 1);
}

TEST_F(Options, TheVoiceRowPlaysTheHeroinesSampleFromTheGameFolder) {
    boot(true);
    openOptions(*this);
    tapButtons(BUTTON_DOWN);
    tapButtons(BUTTON_DOWN);
    const int32_t boxes = gHeadlessMessageBoxes.total;
    tapButtons(BUTTON_LEFT);
    EXPECT_EQ(gOptionVoiceLevel, 8);
    EXPECT_EQ(gHeadlessMessageBoxes.total, boxes);   // no "file not found"
    EXPECT_NE(gSound.voice.samples, nullptr);
}

TEST_F(Options, LeavingWithoutAChangeWritesNothing) {
    boot(true);
    openOptions(*this);
    tapButtons(BUTTON_DOWN);
    tapButtons(BUTTON_UP);
    ASSERT_EQ(gTitle.optionsState, 0);
    tapButtons(BUTTON_CONFIRM, 0);
    EXPECT_EQ(gTitle.optionsState, 3);
    EXPECT_TRUE(isPointerShown());
    run(TITLE_WINDOW_SLIDE + 1);
    EXPECT_TRUE(isTitleIdle());
    EXPECT_FALSE(std::filesystem::exists(path("save.dat")));
    EXPECT_FALSE(std::filesystem::exists(path("_save.dat")));
}

struct SettingCase {
    const char* name;
    int32_t row, start, step, want;
    bool changed;
};

TEST(OptionsSettings, StayInsideTheirRangesAndStopSilentlyAtTheBounds) {
    const SettingCase CASES[] = {
        {"music up", OPTION_ROW_MUSIC, 5, 1, 6, true},
        {"music at the top", OPTION_ROW_MUSIC, 9, 1, 9, false},
        {"music at the bottom", OPTION_ROW_MUSIC, 0, -1, 0, false},
        {"sound down", OPTION_ROW_SOUND, 9, -1, 8, true},
        {"voice at the top", OPTION_ROW_VOICE, 9, 1, 9, false},
        {"message speed at FAST", OPTION_ROW_MESSAGE_SPEED, 2, 1, 2, false},
        {"message speed at SLOW", OPTION_ROW_MESSAGE_SPEED, 0, -1, 0, false},
        {"skip on", OPTION_ROW_TEXT_SKIP, 0, 1, 1, true},
        {"skip already on", OPTION_ROW_TEXT_SKIP, 1, 1, 1, false},
        // Values from a foreign header count from their nearest bound.
        {"message speed 7, down", OPTION_ROW_MESSAGE_SPEED, 7, -1, 1, true},
        {"message speed 7, up", OPTION_ROW_MESSAGE_SPEED, 7, 1, 7, false},
        {"music -4, up", OPTION_ROW_MUSIC, -4, 1, 1, true},
        {"the clear row has no setting", OPTION_ROW_CLEAR_SAVE, 0, 1, 0, false},
    };
    for (const SettingCase& c : CASES) {
        gOptionMusicLevel = gOptionSoundLevel = gOptionVoiceLevel = 5;
        gOptionMessageSpeed = 1;
        gOptionTextSkip = 0;
        switch (c.row) {
        case OPTION_ROW_MUSIC: gOptionMusicLevel = c.start; break;
        case OPTION_ROW_SOUND: gOptionSoundLevel = c.start; break;
        case OPTION_ROW_VOICE: gOptionVoiceLevel = c.start; break;
        case OPTION_ROW_MESSAGE_SPEED: gOptionMessageSpeed = c.start; break;
        case OPTION_ROW_TEXT_SKIP: gOptionTextSkip = (uint16_t)c.start; break;
        default: break;
        }
        EXPECT_EQ(changeOptionSetting(c.row, c.step), c.changed) << c.name;
        int32_t now = c.row == OPTION_ROW_MUSIC ? gOptionMusicLevel
                      : c.row == OPTION_ROW_SOUND ? gOptionSoundLevel
                      : c.row == OPTION_ROW_VOICE ? gOptionVoiceLevel
                      : c.row == OPTION_ROW_MESSAGE_SPEED ? (int32_t)gOptionMessageSpeed
                      : c.row == OPTION_ROW_TEXT_SKIP ? (int32_t)gOptionTextSkip
                                                      : 0;
        EXPECT_EQ(now, c.want) << c.name;
    }
}

TEST(OptionsSettings, ValuesAreShownInsideTheirRanges) {
    struct ShownCase {
        int32_t row, value;
        const char* want;
    };
    const ShownCase CASES[] = {
        {OPTION_ROW_MUSIC, 5, "5"},          {OPTION_ROW_MUSIC, 12, "9"},
        {OPTION_ROW_MESSAGE_SPEED, 0, "SLOW"}, {OPTION_ROW_MESSAGE_SPEED, 1, "MED"},
        {OPTION_ROW_MESSAGE_SPEED, 2, "FAST"}, {OPTION_ROW_MESSAGE_SPEED, 7, "FAST"},
        {OPTION_ROW_MESSAGE_SPEED, -3, "SLOW"}, {OPTION_ROW_TEXT_SKIP, 0, "OFF"},
        {OPTION_ROW_TEXT_SKIP, 1, "ON"},      {OPTION_ROW_TEXT_SKIP, 300, "ON"},
    };
    char text[16];
    for (const ShownCase& c : CASES) {
        gOptionMusicLevel = c.row == OPTION_ROW_MUSIC ? c.value : 5;
        gOptionMessageSpeed = c.row == OPTION_ROW_MESSAGE_SPEED ? c.value : 1;
        gOptionTextSkip = (uint16_t)(c.row == OPTION_ROW_TEXT_SKIP ? c.value : 0);
        formatOptionValue(text, sizeof text, c.row);
        EXPECT_STREQ(text, c.want) << "row " << c.row << " value " << c.value;
    }
}

TEST_F(Options, ClearSaveDataAsksFirstThenRenewsEverything) {
    playedSlot(2);
    clearedSlot(5, true);
    testSaveImage().header.recordScore = 1234;
    testSaveImage().header.optionMusicLevel = 8;
    boot();
    openOptions(*this);
    tapButtons(BUTTON_UP);
    ASSERT_EQ(gTitle.rowCursor, OPTION_ROW_CLEAR_SAVE);
    tapButtons(BUTTON_CONFIRM);
    EXPECT_EQ(gTitle.clearQuestionOpen, 1);
    EXPECT_STREQ(gYesNoWindow.lines[0], "Clearing all data. Are you sure?");
    EXPECT_EQ(gYesNoWindow.choice, 1);   // on "no"
    run(4);
    tapButtons(BUTTON_CANCEL, 4);   // cannot be cancelled
    EXPECT_EQ(gTitle.clearQuestionOpen, 1);
    tapButtons(BUTTON_CONFIRM, 0);
    ASSERT_TRUE(runUntil([] { return gTitle.clearQuestionOpen == 0; }, 30));
    EXPECT_EQ(gSaveImage.slots[2].playTicks, 3600);
    EXPECT_TRUE(isPointerShown());

    tapButtons(BUTTON_CONFIRM, 5);
    tapButtons(BUTTON_LEFT);
    tapButtons(BUTTON_CONFIRM, 0);
    ASSERT_TRUE(runUntil([] { return gTitle.clearQuestionOpen == 0; }, 30));
    EXPECT_EQ(gSaveImage.slots[2].playTicks, 0);
    EXPECT_EQ(gSaveImage.slots[5].playTicks, 0);
    EXPECT_EQ(gRecordScore, 0);
    EXPECT_EQ(gOptionMusicLevel, 5);
    EXPECT_EQ(gTitle.optionsState, 1);
    EXPECT_EQ(readHeader(path("save.dat")).recordScore, 0);

    tapButtons(BUTTON_CANCEL, 1);
    std::vector<int32_t> codes(gTitle.menuCodes, gTitle.menuCodes + gTitle.menuCount);
    EXPECT_EQ(codes, (std::vector<int32_t>{0, 7, 2, 3}));
    EXPECT_EQ(gTitle.menuCursor, 2);
    restart();
    EXPECT_EQ(gTitle.menuCount, 4);
}

using Records = TitleGame;

TEST_F(Records, TheWindowOpensFromTheMenuAndClosesOnConfirmOrCancel) {
    testSaveImage().header.recordsUnlocked = 1;
    testSaveImage().header.recordHellDays = 45;
    boot();
    chooseEntry(TITLE_RECORDS);
    EXPECT_EQ(gTitle.windowKind, TITLE_WINDOW_RECORDS);
    EXPECT_FALSE(isPointerShown());
    run(TITLE_WINDOW_SLIDE + 2);   // drawn open
    int32_t confirms = effectStarts(SOUND_CONFIRM);
    tapButtons(BUTTON_CANCEL, TITLE_WINDOW_SLIDE + 1);
    EXPECT_EQ(effectStarts(SOUND_CONFIRM), confirms + 1);
    EXPECT_TRUE(isTitleIdle());
    EXPECT_EQ(gTitle.menuCodes[gTitle.menuCursor], TITLE_RECORDS);
}

TEST(RecordsWindow, ValuesShowTheirUnitOrDashesWithoutARecord) {
    struct RecordCase {
        int32_t row, value;
        const char* want;
    };
    const RecordCase CASES[] = {
        {0, 0, "-- pt"},  {0, 98765, "98765 pt"}, {1, 0, "-- gold"}, {1, 1200000, "1200000 gold"},
        {2, 0, "Day --"}, {2, 45, "Day 45"},      {3, 0, "Day --"},  {3, 7, "Day 7"},
    };
    char text[32];
    for (const RecordCase& c : CASES) {
        formatRecordValue(text, sizeof text, c.row, c.value);
        EXPECT_STREQ(text, c.want) << "row " << c.row << " value " << c.value;
    }
}

}   // namespace
