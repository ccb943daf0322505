#include "engine/movie.h"

#include <cstdio>

#include "engine/game_folder.h"
#include "platform/log.h"

// Decoding and showing the movie arrive with the movie player. Until then a
// movie file that is present cannot be played either: playMovie takes the
// failure path for both, and no movie ever plays.
bool playMovie(const char* file) {
    stopMedia();
    char path[sizeof gModuleDir + 64];
    snprintf(path, sizeof path, "%s%s", getModuleDir(), file);
    if (FILE* movie = fopen(path, "rb")) {
        fclose(movie);
        logLine("The movie \"%s\" is skipped: movies cannot be played yet.", path);
    }
    return false;
}

bool pollMedia() { return false; }
void stopMedia() {}
