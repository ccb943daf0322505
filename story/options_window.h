// story/options_window.h: the options window (music, sound and voice volume,
// message speed, unread-text skip and, on the title, clearing all save data)
// and the records window. Both show fields of the file image's header: a
// changed option reaches the disk with the next write of the header. The
// title slides them in (story/title.h); the field menu reuses the options
// drawing. Main thread.
#pragma once
#include <cstdint>

#include "story/story_files.h"

enum OptionRow : int32_t {
    OPTION_ROW_MUSIC = 0,
    OPTION_ROW_SOUND,
    OPTION_ROW_VOICE,
    OPTION_ROW_MESSAGE_SPEED,
    OPTION_ROW_TEXT_SKIP,
    OPTION_ROW_CLEAR_SAVE,   // the title only
    OPTION_ROW_COUNT,
};
constexpr int32_t RECORD_ROW_COUNT = 4;

// Moves the row's setting by step (-1 or 1) inside its range and plays the
// row's feedback; false when the setting stood at its bound (nothing sounds).
bool changeOptionSetting(int32_t row, int32_t step);
// The value text of rows 0..4 for the header as it stands (out of range
// values shown as their nearest bound).
void formatOptionValue(char* out, int32_t size, int32_t row);
// The value text of record row i: its number, or "--" when there is none yet.
void formatRecordValue(char* out, int32_t size, int32_t row, int32_t value);

// The title's input while its options window stands open: the "Clear Save
// Data" question, leaving, the row cursor and the settings.
void updateTitleOptions();

// With saving set, the "Saving" banner lies over the window.
void drawOptionsWindow(float x, float y, int32_t row, int32_t saving);
void drawRecordsWindow(float x, float y);
