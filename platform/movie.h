// platform/movie.h: the movie reader. One movie at a time, read whole into
// memory when opened (the file is read once) and decoded with FFmpeg's
// libraries: its sound all at once into a mixer segment at the device's
// rate, its pictures one by one as the caller's clock reaches them, into a
// frame of 0xAARRGGBB pixels. Main thread.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>

struct AudioSegment;

constexpr int32_t MOVIE_SIDE_MAX = 4096;           // wider or taller pictures are refused
constexpr int64_t MOVIE_AUDIO_SECONDS_MAX = 900;   // sound past this is left out

// Opens the movie, read whole from the open file (left open for the
// caller), and decodes its first picture; false, with a line in the log and
// nothing left open, for a file that cannot be read or holds no decodable
// pictures. With audioRate 0 (no sound device) the sound is not
// decoded; otherwise audio gets the sound as 16-bit stereo at audioRate, or
// stays empty when the movie has none or it cannot be decoded.
bool movieOpenFile(FILE* file, int32_t audioRate, AudioSegment* audio);
// The same from bytes in memory, which must stay until movieClose.
bool movieOpenMemory(const uint8_t* bytes, size_t size, int32_t audioRate, AudioSegment* audio);
void movieClose();   // leaves the sound segment to its owner
bool movieIsOpen();

int32_t movieWidth();
int32_t movieHeight();
// Decodes up to the picture due at micros from the movie's start; true when
// the frame changed since the last call. The first picture is due at 0.
bool movieAdvance(int64_t micros);
// The picture shown now, movieWidth() * movieHeight() pixels, top row first;
// null when no movie is open.
const uint32_t* movieFrame();
// True once the last picture has been decoded and its time has passed by
// micros (a damaged stream ends where it stops decoding).
bool movieFinished(int64_t micros);
