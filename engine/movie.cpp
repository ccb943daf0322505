#include "engine/movie.h"

// Movie playback arrives with the movie player; until then none plays.
bool pollMedia() { return false; }
void stopMedia() {}
