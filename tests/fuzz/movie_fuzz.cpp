// Arbitrary bytes as a movie. One that opens must show a whole picture at
// every step and end within the time its pictures can take; one that does
// not must leave nothing open and no sound.
#include <cstddef>
#include <cstdint>

#include "platform/audio.h"
#include "platform/movie.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    AudioSegment sound;
    if (!movieOpenMemory(data, size, 8000, &sound)) {
        if (movieIsOpen() || movieFrame() || sound.samples) __builtin_trap();
        return 0;
    }
    int32_t width = movieWidth(), height = movieHeight();
    if (width < 1 || height < 1 || width > MOVIE_SIDE_MAX || height > MOVIE_SIDE_MAX) __builtin_trap();
    volatile uint32_t sink = 0;
    // A tenth of a second a step, for at most a minute of movie.
    for (int64_t micros = 0; micros <= 60000000 && !movieFinished(micros); micros += 100000) {
        movieAdvance(micros);
        const uint32_t* frame = movieFrame();
        sink = sink + frame[0] + frame[(size_t)width * height - 1];
    }
    if (sound.samples) sink = sink + (uint32_t)sound.samples[2 * (size_t)sound.frames - 1];
    movieClose();
    audioFreeSegment(&sound);
    return 0;
}
