// WAV decoding for the mixer: our own checks on the header, SDL's loader for
// the samples, then our resampler to the device's rate. The resampler is
// linear and exact: at equal rates it copies, and a looping segment is
// resampled as a circle, so its last frame leads into its first as smoothly
// as any two frames inside it.
#include "platform/audio.h"
#include "platform/file_requests.h"
#include "platform/thread.h"

#include <SDL.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <strings.h>
#include <unistd.h>

constexpr size_t AUDIO_FILE_MAX = 256u << 20;     // larger files are refused
constexpr int64_t AUDIO_SECONDS_MAX = 3600;        // longest segment we decode
constexpr uint16_t WAV_FORMAT_PCM = 1;
constexpr uint16_t WAV_FORMAT_EXTENSIBLE = 0xFFFE;

static uint16_t readLe16(const uint8_t* p) { return (uint16_t)(p[0] | p[1] << 8); }
static uint32_t readLe32(const uint8_t* p) { return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24; }

// SDL's loader trusts a chunk's stated length enough to allocate it, so
// before it runs: every chunk up to the samples lies inside the bytes, there
// is one format chunk, and it is PCM we play.
static bool wavHeaderFits(const uint8_t* bytes, size_t size) {
    if (size < 12 || memcmp(bytes, "RIFF", 4) != 0 || memcmp(bytes + 8, "WAVE", 4) != 0) return false;
    size_t at = 12;
    uint32_t frameBytes = 0;
    while (size - at >= 8) {
        const uint8_t* chunk = bytes + at;
        uint32_t length = readLe32(chunk + 4);
        if (length > size - at - 8) return false;
        if (memcmp(chunk, "fmt ", 4) == 0) {
            if (frameBytes || length < 16) return false;
            uint16_t tag = readLe16(chunk + 8);
            uint32_t channels = readLe16(chunk + 10);
            uint32_t rate = readLe32(chunk + 12);
            uint32_t bits = readLe16(chunk + 22);
            // Extensible: the sub-format's first two bytes name the coding.
            if (tag == WAV_FORMAT_EXTENSIBLE && length >= 40) tag = readLe16(chunk + 8 + 24);
            if (tag != WAV_FORMAT_PCM || channels < 1 || channels > 2 || (bits != 8 && bits != 16) ||
                rate < (uint32_t)AUDIO_RATE_MIN || rate > (uint32_t)AUDIO_RATE_MAX)
                return false;
            frameBytes = channels * bits / 8;
        } else if (memcmp(chunk, "data", 4) == 0) {
            return frameBytes && length >= frameBytes;
        }
        // Chunks are padded to even lengths; the pad may be missing at the end.
        at += 8 + (size_t)length;
        if (length & 1) {
            if (at == size) break;
            ++at;
        }
    }
    return false;
}

static float pcmSample(const uint8_t* data, SDL_AudioFormat format, size_t index) {
    if (format == AUDIO_U8) return (float)((int32_t)data[index] - 128) / 128.0f;
    return (float)(int16_t)readLe16(data + 2 * index) / 32768.0f;
}

// lround without a library call per sample (start-up resamples every track):
// for values this small the truncation is exact and so is the rest beside
// it, which gives the same halves away from zero.
static long roundHalfAway(double v) {
    long whole = (long)v;
    double rest = v - (double)whole;
    if (rest >= 0.5) return whole + 1;
    if (rest <= -0.5) return whole - 1;
    return whole;
}

static int16_t toSample16(double v) {
    long s = roundHalfAway(v * 32768.0);
    if (s > 32767) s = 32767;
    if (s < -32768) s = -32768;
    return (int16_t)s;
}

bool audioDecodeWav(const uint8_t* bytes, size_t size, int32_t rate, bool loop, AudioSegment* out) {
    *out = AudioSegment{};
    if (!bytes || size > AUDIO_FILE_MAX || rate < AUDIO_RATE_MIN || rate > AUDIO_RATE_MAX) return false;
    if (!wavHeaderFits(bytes, size)) return false;
    SDL_RWops* source = SDL_RWFromConstMem(bytes, (int)size);
    if (!source) return false;
    SDL_AudioSpec loaded;
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (!SDL_LoadWAV_RW(source, 1, &loaded, &data, &length)) return false;

    // What the loader made must still be what the header promised.
    bool usable = (loaded.format == AUDIO_U8 || loaded.format == AUDIO_S16LSB) &&
                  (loaded.channels == 1 || loaded.channels == 2) && loaded.freq >= AUDIO_RATE_MIN &&
                  loaded.freq <= AUDIO_RATE_MAX;
    int32_t channels = loaded.channels;
    int64_t inFrames = usable ? length / (SDL_AUDIO_BITSIZE(loaded.format) / 8 * channels) : 0;
    int64_t outFrames = (inFrames * rate + loaded.freq / 2) / (usable ? loaded.freq : 1);
    if (inFrames > 0 && outFrames < 1) outFrames = 1;
    if (inFrames < 1 || outFrames > AUDIO_SECONDS_MAX * rate) {
        SDL_FreeWAV(data);
        return false;
    }
    auto* samples = (int16_t*)malloc(sizeof(int16_t) * (size_t)(outFrames * channels));
    if (!samples) {
        SDL_FreeWAV(data);
        return false;
    }
    // Output frame i sits at source frame i * in / out: at, plus rest / out.
    int64_t at = 0, rest = 0;
    for (int64_t i = 0; i < outFrames; ++i) {
        double t = (double)rest / (double)outFrames;
        int64_t next = at + 1;
        if (next == inFrames) next = loop ? 0 : at;
        for (int32_t c = 0; c < channels; ++c) {
            double a = pcmSample(data, loaded.format, (size_t)(at * channels + c));
            double b = pcmSample(data, loaded.format, (size_t)(next * channels + c));
            samples[i * channels + c] = toSample16(a + (b - a) * t);
        }
        // Carries instead of dividing: a division a sample was most of the loop.
        for (rest += inFrames; rest >= outFrames; rest -= outFrames) ++at;
    }
    SDL_FreeWAV(data);
    *out = AudioSegment{samples, (int32_t)outFrames, channels, loop ? 1 : 0, 0};
    return true;
}

// Game data written on Windows mixes '\\' and '/' and the case of names.
static bool resolveGamePath(const char* path, char* out, size_t outSize) {
    size_t n = strlen(path);
    if (n == 0 || n >= outSize) return false;
    for (size_t i = 0; i <= n; ++i) out[i] = path[i] == '\\' ? '/' : path[i];
    if (access(out, F_OK) == 0) return true;
    size_t start = out[0] == '/' ? 1 : 0;
    while (start < n) {
        size_t end = start;
        while (end < n && out[end] != '/') ++end;
        char kept = out[end];
        out[end] = '\0';
        if (end > start && access(out, F_OK) != 0) {
            // Look for the part in its folder, ignoring case.
            char folder[1024];
            if (start == 0) snprintf(folder, sizeof folder, ".");
            else if (start == 1) snprintf(folder, sizeof folder, "/");
            else snprintf(folder, sizeof folder, "%.*s", (int)(start - 1), out);
            DIR* dir = opendir(folder);
            bool found = false;
            while (dir && !found) {
                dirent* entry = readdir(dir);
                if (!entry) break;
                if (strcasecmp(entry->d_name, out + start) == 0) {
                    memcpy(out + start, entry->d_name, end - start);
                    found = true;
                }
            }
            if (dir) closedir(dir);
            if (!found) return false;
        }
        out[end] = kept;
        start = end + 1;
    }
    return true;
}

bool audioLoadWavFile(const char* path, int32_t rate, bool loop, AudioSegment* out) {
    *out = AudioSegment{};
    char resolved[1024];
    if (!path || !resolveGamePath(path, resolved, sizeof resolved)) {
        noteFileRequest(path, false);
        return false;
    }
    FILE* file = fopen(resolved, "rb");
    noteFileRequest(path, file != nullptr);
    if (!file) return false;
    uint8_t* bytes = nullptr;
    long size = -1;
    if (fseek(file, 0, SEEK_END) == 0) size = ftell(file);
    if (size > 0 && (size_t)size <= AUDIO_FILE_MAX && fseek(file, 0, SEEK_SET) == 0) {
        bytes = (uint8_t*)malloc((size_t)size);
        if (bytes && fread(bytes, 1, (size_t)size, file) != (size_t)size) {
            free(bytes);
            bytes = nullptr;
        }
    }
    fclose(file);
    bool ok = bytes && audioDecodeWav(bytes, (size_t)size, rate, loop, out);
    free(bytes);
    return ok;
}

// Few threads: the files are small and many, and start-up has other work.
constexpr int32_t AUDIO_LOAD_THREADS_MAX = 4;

struct AudioLoadBatch {
    AudioLoadJob* jobs;
    int32_t rate;
};

static void loadOneJob(void* context, int32_t index) {
    const AudioLoadBatch& batch = *static_cast<const AudioLoadBatch*>(context);
    AudioLoadJob& job = batch.jobs[index];
    job.loaded = audioLoadWavFile(job.path, batch.rate, job.loop, job.out);
}

void audioLoadWavFiles(AudioLoadJob* jobs, int32_t count, int32_t rate) {
    AudioLoadBatch batch = {jobs, rate};
    parallelFor(count, AUDIO_LOAD_THREADS_MAX, loadOneJob, &batch);
}
