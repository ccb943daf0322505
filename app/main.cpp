// app/main.cpp: the program: the real backends, then the shell's start-up,
// message loop and shut-down.
#include "game/startup.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/gfx.h"
#include "platform/input.h"
#include "platform/window.h"

int main() {
    gClock = &CLOCK_STEADY;
    gWindow = &WINDOW_SDL;
    gGfxBackend = &GFX_OPENGL;
    gInputBackend = &INPUT_SDL;
    gAudioBackend = &AUDIO_SDL;
    return winMain();
}
