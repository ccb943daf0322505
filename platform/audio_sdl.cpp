// The real device: SDL's audio thread pulls float stereo from the mixer.
// SDL picks the rate (44.1 or 48 kHz as a rule) and converts to what the
// hardware takes. With no device (no sound card, no sound server) opening
// fails and the game runs silently.
#include "platform/audio.h"

#include <SDL.h>

#include "platform/log.h"

static SDL_AudioDeviceID sDevice;

static void SDLCALL pullMixer(void*, Uint8* stream, int length) {
    mixerRender(reinterpret_cast<float*>(stream), length / (int)(2 * sizeof(float)));
}

// Devices nearly always take it; another rate is taken when offered.
constexpr int32_t SDL_WANTED_RATE = 48000;

static int32_t sdlOpen() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        logLine("No sound: %s", SDL_GetError());
        return 0;
    }
    SDL_AudioSpec want = {};
    want.freq = SDL_WANTED_RATE;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024;   // about 21 ms a buffer
    want.callback = pullMixer;
    SDL_AudioSpec have = {};
    sDevice = SDL_OpenAudioDevice(nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE);
    if (sDevice == 0 || have.freq < AUDIO_RATE_MIN || have.freq > AUDIO_RATE_MAX) {
        logLine("No sound: %s", sDevice ? "the device's rate is out of range" : SDL_GetError());
        if (sDevice) SDL_CloseAudioDevice(sDevice);
        sDevice = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return 0;
    }
    SDL_PauseAudioDevice(sDevice, 0);
    return have.freq;
}

static void sdlClose() {
    if (!sDevice) return;
    SDL_CloseAudioDevice(sDevice);
    sDevice = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

static void sdlLock() { SDL_LockAudioDevice(sDevice); }
static void sdlUnlock() { SDL_UnlockAudioDevice(sDevice); }

static int32_t sdlExpectedRate() { return SDL_WANTED_RATE; }

const AudioBackend AUDIO_SDL = {"sdl", sdlOpen, sdlClose, sdlLock, sdlUnlock, sdlExpectedRate};
