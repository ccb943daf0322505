// story/calendar.h: the calendar of a game: the day within the season and
// the week's payment day. Pure over the game record, except that the
// payment day is also kept in the running game's weekEndDay.
#pragma once
#include <cstdint>

#include "engine/save_file.h"

// The date in story and New Game+ play; date mod 35 in survival play;
// (date - 36) mod 35 in endless play.
int32_t getDayInSeason(const GameState& game);
// The last day of the running game's 7-day block: (d / 7) x 7 + 6 in
// survival and endless play, else 7 on day 0 and ((d - 1) / 7 + 1) x 7;
// stored in weekEndDay.
int32_t getWeekEndDay();
