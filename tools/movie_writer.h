// tools/movie_writer.h: encodes the movie pattern (tools/movie_pattern.h)
// with FFmpeg's libraries into an ASF file of WMV2 pictures and WMA sound,
// the kind of file the game plays as its opening movie.
#pragma once
#include <cstddef>

#include "tools/movie_pattern.h"

// Widths and heights are even. False, with the reason in error, when an
// encoder is missing or the file cannot be written.
bool writePatternMovie(const char* path, const MovieShape& shape, char* error, size_t errorSize);
