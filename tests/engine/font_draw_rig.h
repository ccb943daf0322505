// tests/engine/font_draw_rig.h: what a test of text drawing stands on: a
// graphics device at 640 x 480, the recording one unless the test reads
// pixels back (behind a capturing one when asked), the sample game folder's
// font files, read once per program, and an empty glyph cache. close() puts
// every global it changed back.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "engine/config_index.h"
#include "engine/device.h"
#include "engine/engine_state.h"
#include "engine/font_files.h"
#include "engine/glyph_cache.h"
#include "engine/screen_mapping.h"
#include "engine/settings.h"
#include "engine/sprites.h"
#include "engine/state_snapshot.h"
#include "platform/gfx.h"
#include "platform/thread.h"
#include "tests/engine/capturing_device.h"
#include "tests/engine/game_font_files.h"

struct FontDrawRig {
    GfxDevice* device = nullptr;
    CapturingDevice* capture = nullptr;   // null unless opened capturing

    // Check device afterwards: it stays null when it could not be made.
    void open(bool capturing, const GfxBackend* on = &GFX_RECORDING) {
        static std::vector<uint8_t> index, data;
        static std::string error;
        static const bool read = readGameFontFiles(index, data, error);
        ASSERT_TRUE(read) << error;
        savedDevice = gGfxDevice;
        takeStateSnapshot(savedState, &ENGINE_TABLE, 1);
        threadMarkMain();   // the thread that may touch OpenGL
        gfxRecordingSetFailures(false, false);
        backend = on;
        ASSERT_TRUE(backend->open());
        device = backend->createDevice(GfxPresentParams{640, 480, GFX_FORMAT_X8R8G8B8, true, true, GFX_FORMAT_D16, false});
        ASSERT_NE(device, nullptr);
        if (capturing) capture = new CapturingDevice(device);
        gGfxDevice = capture ? capture : device;
        gScreenSize = {640, 480};
        gCameraShake = CameraShake{};
        gFontAllCodes = 1;
        gFontIndex = index;
        gFontData = data;
        gGlyphFallback = 0;
        initGlyphCache();
        gSpriteVertexCount = 0;
    }

    // A blank picture of the capturing device, put into the slot.
    GfxTexture* makeSheet(TextureSlot& slot, int32_t w, int32_t h) {
        GfxTexture* t = capture->createTexture(w, h, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
        slot = TextureSlot{t, w, h, 0};
        return t;
    }
    // The captured quads drawn with the picture, in drawing order.
    std::vector<DrawnQuad> quadsOn(GfxTexture* t) const {
        std::vector<DrawnQuad> out;
        for (const DrawnQuad& q : capture->quads)
            if (q.texture == t) out.push_back(q);
        return out;
    }

    void close() {
        initGlyphCache();
        gGlyphFallback = 0;
        delete capture;
        capture = nullptr;
        if (device) backend->destroyDevice(device);
        device = nullptr;
        if (backend) backend->close();
        backend = nullptr;
        freeFontFiles();
        gGfxDevice = savedDevice;
        restoreStateSnapshot(savedState, &ENGINE_TABLE, 1);
    }

private:
    const GfxBackend* backend = nullptr;
    static constexpr const StateTable* ENGINE_TABLE = &ENGINE_STATE;
    GfxDevice* savedDevice = nullptr;
    StateSnapshot savedState;
};
