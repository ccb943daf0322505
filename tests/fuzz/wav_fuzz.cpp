// Arbitrary bytes as a WAV file, looping and not, at the two usual device
// rates. A file that decodes must give a segment whose every sample can be
// read; one that does not must leave the segment empty.
#include <cstddef>
#include <cstdint>

#include "platform/audio.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const int32_t RATES[2] = {44100, 48000};
    for (int32_t i = 0; i < 2; ++i) {
        AudioSegment segment;
        if (!audioDecodeWav(data, size, RATES[i], i == 1, &segment)) {
            if (segment.samples || segment.frames != 0) __builtin_trap();
            continue;
        }
        if (segment.frames < 1 || segment.channels < 1 || segment.channels > 2 || segment.loop != i) __builtin_trap();
        volatile int32_t sink = 0;
        for (size_t n = 0, count = (size_t)segment.frames * (size_t)segment.channels; n < count; ++n)
            sink = sink + segment.samples[n];
        audioFreeSegment(&segment);
    }
    return 0;
}
