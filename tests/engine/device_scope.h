// tests/engine/device_scope.h: the game's device on a chosen backend, with
// message boxes recorded by the headless window, for the length of a test.
#pragma once
#include <cstdint>

#include "engine/device.h"
#include "platform/gfx.h"
#include "platform/thread.h"
#include "platform/window.h"

struct DeviceScope {
    const GfxBackend* backend = nullptr;
    const WindowBackend* previousWindow = nullptr;

    // False when the backend or its device could not be made.
    bool open(const GfxBackend* chosen, int32_t width, int32_t height) {
        threadMarkMain();
        backend = chosen;
        previousWindow = gWindow;
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
        if (!backend->open()) return false;
        gGfxDevice = backend->createDevice(
            GfxPresentParams{width, height, GFX_FORMAT_A8R8G8B8, true, true, GFX_FORMAT_D16, false});
        return gGfxDevice != nullptr;
    }
    // After the test released what it made on the device.
    void close() {
        if (gGfxDevice) backend->destroyDevice(gGfxDevice);
        gGfxDevice = nullptr;
        backend->close();
        gWindow = previousWindow;
    }
};
