#include "story/options_window.h"

#include <algorithm>
#include <cstdio>

#include "engine/dialogs.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "engine/text.h"
#include "story/title.h"

constexpr char CLEAR_QUESTION[] = "Clearing all data. Are you sure?";

static const char* const OPTION_LABELS[OPTION_ROW_COUNT] = {
    "Music", "Sound", "Voice", "Message Speed", "Unread Text Skip", "Clear Save Data",
};
static const char* const MESSAGE_SPEED_TEXTS[OPTION_MESSAGE_SPEED_MAX + 1] = {"SLOW", "MED", "FAST"};
static const char* const TEXT_SKIP_TEXTS[2] = {"OFF", "ON"};
static const char* const RECORD_LABELS[RECORD_ROW_COUNT] = {
    "Record End-game Score", "Record End-game Money", "Survival Hell Record", "Normal Survival Record",
};

// MODULATE2X: grey 127 shows the glyphs at their own brightness, no blue
// turns them yellow.
constexpr uint32_t TEXT_PLAIN = 0xFF7F7F7F;
constexpr uint32_t TEXT_SELECTED = 0xFF7F7F00;
constexpr uint32_t PICTURE_PLAIN = 0xFF7F7F7F;
constexpr SpriteSource BOARD = {0.0f, 0.0f, 320.0f, 360.0f};
constexpr SpriteSource SAVE_WINDOW = {0.0f, 0.0f, 512.0f, 128.0f};

static int32_t optionMaximum(int32_t row) {
    switch (row) {
    case OPTION_ROW_MESSAGE_SPEED: return OPTION_MESSAGE_SPEED_MAX;
    case OPTION_ROW_TEXT_SKIP: return 1;
    default: return OPTION_LEVEL_MAX;
    }
}

// The header's value of a setting row, kept inside its range: a file from
// elsewhere may hold anything, and the value picks a text and a volume.
static int32_t optionValue(int32_t row) {
    int32_t value = 0;
    switch (row) {
    case OPTION_ROW_MUSIC: value = gOptionMusicLevel; break;
    case OPTION_ROW_SOUND: value = gOptionSoundLevel; break;
    case OPTION_ROW_VOICE: value = gOptionVoiceLevel; break;
    case OPTION_ROW_MESSAGE_SPEED: value = gOptionMessageSpeed; break;
    case OPTION_ROW_TEXT_SKIP: value = gOptionTextSkip; break;
    default: break;
    }
    return std::clamp(value, 0, optionMaximum(row));
}

bool changeOptionSetting(int32_t row, int32_t step) {
    if (row < OPTION_ROW_MUSIC || row > OPTION_ROW_TEXT_SKIP) return false;
    int32_t value = optionValue(row) + step;
    if (value < 0 || value > optionMaximum(row)) return false;
    switch (row) {
    case OPTION_ROW_MUSIC:
        gOptionMusicLevel = value;
        applyMusicVolume();
        break;
    case OPTION_ROW_SOUND:
        gOptionSoundLevel = value;
        playSoundEffect(SOUND_CURSOR);   // sounds at the new level
        break;
    case OPTION_ROW_VOICE:
        gOptionVoiceLevel = value;
        playVoice(OPTION_VOICE_SAMPLE);
        break;
    case OPTION_ROW_MESSAGE_SPEED:
        gOptionMessageSpeed = value;
        playSoundEffect(SOUND_CURSOR);
        break;
    default:
        gOptionTextSkip = static_cast<uint16_t>(value);
        playSoundEffect(SOUND_CURSOR);
        break;
    }
    return true;
}

void formatOptionValue(char* out, int32_t size, int32_t row) {
    int32_t value = optionValue(row);
    if (row == OPTION_ROW_MESSAGE_SPEED) snprintf(out, (size_t)size, "%s", MESSAGE_SPEED_TEXTS[value]);
    else if (row == OPTION_ROW_TEXT_SKIP) snprintf(out, (size_t)size, "%s", TEXT_SKIP_TEXTS[value]);
    else snprintf(out, (size_t)size, "%d", value);
}

void formatRecordValue(char* out, int32_t size, int32_t row, int32_t value) {
    static const char* const UNITS[RECORD_ROW_COUNT][2] = {
        {"%d pt", "-- pt"}, {"%d gold", "-- gold"}, {"Day %d", "Day --"}, {"Day %d", "Day --"}};
    const char* const* unit = UNITS[std::clamp(row, 0, RECORD_ROW_COUNT - 1)];
    if (value == 0) snprintf(out, (size_t)size, "%s", unit[1]);
    else snprintf(out, (size_t)size, unit[0], value);
}

static float pointerY(int32_t row) { return 168.0f + 40.0f * (float)row; }

void updateTitleOptions() {
    TitleState& t = gTitle;
    if (t.clearQuestionOpen) {
        int32_t answer = updateYesNoWindow(1);
        if (answer == 1) {
            t.clearQuestionOpen = 0;
            startClearSaveData();
            setPointerPosition(168.0f, pointerY(t.rowCursor));
            t.optionsState = 1;
        } else if (answer == 2) {
            setPointerPosition(168.0f, pointerY(t.rowCursor));
            t.clearQuestionOpen = 0;
        }
        return;
    }
    uint16_t pressed = gInputState[0].pressed;
    uint16_t repeat = gInputState[0].repeat;
    if ((pressed & BUTTON_CONFIRM) && t.rowCursor == OPTION_ROW_CLEAR_SAVE) {
        // No cancel, and the cursor starts on "no".
        openYesNoWindow(CLEAR_QUESTION, 0, 1);
        t.clearQuestionOpen = 1;
        playSoundEffect(SOUND_CONFIRM);
        return;
    }
    if (pressed & (BUTTON_CONFIRM | BUTTON_CANCEL)) {
        playSoundEffect(SOUND_CONFIRM);
        if (t.optionsState == 1) {
            t.optionsState = 2;
            hidePointer();
        } else {
            t.optionsState = 3;
        }
        return;
    }
    if (repeat & BUTTON_UP) {
        t.rowCursor = (t.rowCursor + OPTION_ROW_COUNT - 1) % OPTION_ROW_COUNT;
        playSoundEffect(SOUND_CURSOR);
        glidePointerTo(168.0f, pointerY(t.rowCursor));
    }
    if (repeat & BUTTON_DOWN) {
        t.rowCursor = (t.rowCursor + 1) % OPTION_ROW_COUNT;
        playSoundEffect(SOUND_CURSOR);
        glidePointerTo(168.0f, pointerY(t.rowCursor));
    }
    int32_t step = (repeat & BUTTON_LEFT) ? -1 : (repeat & BUTTON_RIGHT) ? 1 : 0;
    if (step != 0 && changeOptionSetting(t.rowCursor, step)) t.optionsState = 1;
}

static void drawBoard(float x, float y) {
    bindSpriteTexture(gPauseTextures[3]);
    addSpriteRect(x + 160.0f, y + 32.0f, 320.0f, 360.0f, BOARD, gPauseTextures[3], 0xFFFFFFFF);
    flushSprites();
}

static void drawSavingBanner() {
    setSpriteColourOp(GFX_TOP_ADDSIGNED);
    bindSpriteTexture(gSaveWindowTexture);
    addSpriteRect(64.0f, 160.0f, 512.0f, 128.0f, SAVE_WINDOW, gSaveWindowTexture, PICTURE_PLAIN);
    flushSprites();
    drawTextCentered(320.0f, 208.0f, "Saving", TEXT_PLAIN, 1.2f);
    setSpriteColourOp(GFX_TOP_MODULATE);
}

void drawOptionsWindow(float x, float y, int32_t row, int32_t saving) {
    drawBoard(x, y);
    setSpriteColourOp(GFX_TOP_MODULATE2X);
    char value[16];
    for (int32_t r = OPTION_ROW_MUSIC; r <= OPTION_ROW_TEXT_SKIP; ++r) {
        float ry = y + 112.0f + 40.0f * (float)r;
        uint32_t colour = r == row ? TEXT_SELECTED : TEXT_PLAIN;
        drawText(x + 208.0f, ry, OPTION_LABELS[r], colour, 1.0f);
        formatOptionValue(value, sizeof value, r);
        drawText(x + 400.0f, ry, value, colour, 1.0f);
    }
    if (gGameMode == GAME_MODE_TITLE)
        drawTextCentered(x + 320.0f, y + 312.0f, OPTION_LABELS[OPTION_ROW_CLEAR_SAVE],
                         row == OPTION_ROW_CLEAR_SAVE ? TEXT_SELECTED : TEXT_PLAIN, 1.0f);
    setSpriteColourOp(GFX_TOP_MODULATE);
    if (saving) drawSavingBanner();
}

void drawRecordsWindow(float x, float y) {
    drawBoard(x, y);
    setSpriteColourOp(GFX_TOP_MODULATE2X);
    const int32_t values[RECORD_ROW_COUNT] = {gRecordScore, gRecordMoney, gRecordHellDays, gRecordNormalDays};
    char text[32];
    for (int32_t i = 0; i < RECORD_ROW_COUNT; ++i) {
        float ry = y + 80.0f + 76.0f * (float)i;
        drawTextCentered(x + 320.0f, ry, RECORD_LABELS[i], TEXT_PLAIN, 0.8f);
        formatRecordValue(text, sizeof text, i, values[i]);
        drawTextCentered(x + 320.0f, ry + 32.0f, text, TEXT_PLAIN, 0.8f);
    }
    setSpriteColourOp(GFX_TOP_MODULATE);
}
