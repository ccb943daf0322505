// engine/movie.h: the opening movie.
#pragma once

bool pollMedia();   // true while a movie plays and on the call at which it ends
void stopMedia();
