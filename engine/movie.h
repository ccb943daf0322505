// engine/movie.h: the opening movie, played from the program's folder when
// the title has stood idle long enough. While a movie plays the frame loop
// draws nothing and the tick only watches confirm, which skips it.
// Main thread.
#pragma once

// Starts the movie file (a name in the program's folder); false when it
// cannot be played, in which case nothing plays and the caller goes on.
bool playMovie(const char* file);
bool pollMedia();   // true while a movie plays and on the call at which it ends
void stopMedia();
