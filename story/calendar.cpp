#include "story/story.h"

constexpr int32_t SEASON_DAYS = 35;
constexpr int32_t WEEK_DAYS = 7;
constexpr int32_t ENDLESS_FIRST_DAY = 36;

int32_t getDayInSeason(const GameState& game) {
    if (game.playMode == PLAY_MODE_SURVIVAL) return game.date % SEASON_DAYS;
    if (game.playMode == PLAY_MODE_ENDLESS) return (game.date - ENDLESS_FIRST_DAY) % SEASON_DAYS;
    return game.date;
}

int32_t getWeekEndDay() {
    GameState& game = runningGameState();
    int32_t d = getDayInSeason(game);
    int32_t end;
    if (game.playMode == PLAY_MODE_SURVIVAL || game.playMode == PLAY_MODE_ENDLESS) end = d / WEEK_DAYS * WEEK_DAYS + 6;
    else end = d == 0 ? WEEK_DAYS : ((d - 1) / WEEK_DAYS + 1) * WEEK_DAYS;
    game.weekEndDay = end;
    return end;
}
