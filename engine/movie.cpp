#include "engine/movie.h"

#include <cstdio>
#include <cstring>

#include "engine/device.h"
#include "engine/game_folder.h"
#include "engine/loose_files.h"
#include "engine/render_states.h"
#include "engine/save_file.h"
#include "engine/scene_hooks.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "platform/clock.h"
#include "platform/log.h"
#include "platform/movie.h"

MediaState gMedia;

int32_t movieVolume(int32_t musicLevel, float musicFadeFactor) {
    int32_t level = musicLevel < 0 ? 0 : (musicLevel > 9 ? 9 : musicLevel);
    // The fade lowers it only once the factor reaches 0 (the integer part of factor - 1).
    int32_t volume = VOLUME_TABLE[level] + 9600 * (int32_t)(musicFadeFactor - 1.0f);
    // The mixer's range: the fade would take the quieter levels below silence.
    return volume < AUDIO_VOLUME_SILENT ? AUDIO_VOLUME_SILENT : (volume > 0 ? 0 : volume);
}

static int64_t movieElapsedMicros() { return (int64_t)(gClock->nowMicros() - gMedia.startMicros); }

static void applyMovieVolume() {
    if (gMedia.sound.samples) audioSetVolume(AUDIO_PATH_MUSIC, movieVolume(gOptionMusicLevel, gMusicFadeFactor));
}

bool playMovie(const char* file) {
    stopMedia();
    gMedia.movie = 1;
    char path[sizeof gModuleDir + 64];
    int length = snprintf(path, sizeof path, "%s%s", getModuleDir(), file);
    FILE* stream = length > 0 && (size_t)length < sizeof path ? openLooseFile(path) : nullptr;
    if (!stream) {
        logLine("The movie \"%s\" cannot be played: there is no such file.", path);
        stopMedia();
        return false;
    }
    bool opened = movieOpenFile(stream, audioRate(), &gMedia.sound);
    fclose(stream);
    if (!opened) {
        stopMedia();
        return false;
    }
    gMedia.graph = 1;
    gMedia.textureStale = 1;
    gMedia.startMicros = gClock->nowMicros();
    // At the level's volume from the first sample: a muted level hears nothing.
    applyMovieVolume();
    if (gMedia.sound.samples) audioPlay(&gMedia.sound, AUDIO_PATH_MUSIC, true);
    return true;
}

bool pollMedia() {
    if (!gMedia.graph) return false;
    applyMovieVolume();
    int64_t now = movieElapsedMicros();
    if (movieAdvance(now)) gMedia.textureStale = 1;
    bool soundPlays = gMedia.sound.samples && audioPosition(&gMedia.sound) >= 0;
    bool completed = movieFinished(now) && !soundPlays;
    if (!gMedia.movie) return false;
    if (completed) {
        callHook(gSceneHooks.movieSkipped);
        gCurrentTrack = -1;
        stopMedia();
    }
    return true;
}

void stopMedia() {
    audioFreeSegment(&gMedia.sound);
    movieClose();
    if (gMedia.texture && gGfxDevice) gGfxDevice->releaseTexture(gMedia.texture);
    gMedia.texture = nullptr;
    gMedia.textureStale = 0;
    gMedia.graph = 0;
}

void resetMedia() {
    gMedia.texture = nullptr;
    stopMedia();
    gMedia = MediaState{};
}

static void uploadPicture() {
    const uint32_t* frame = movieFrame();
    int32_t width = movieWidth(), height = movieHeight();
    if (!frame) return;
    if (!gMedia.texture)
        gMedia.texture = gGfxDevice->createTexture(width, height, 1, 0, GFX_FORMAT_X8R8G8B8, GFX_POOL_MANAGED);
    GfxLockedRect rect;
    if (!gMedia.texture || gGfxDevice->lockRect(gMedia.texture, 0, &rect) != GFX_OK) return;
    for (int32_t y = 0; y < height; ++y)
        memcpy((uint8_t*)rect.bits + (size_t)y * rect.pitch, frame + (size_t)y * width, (size_t)width * 4);
    gGfxDevice->unlockRect(gMedia.texture, 0);
    gMedia.textureStale = 0;
}

void drawMovieFrame() {
    if (!gGfxDevice || !gMedia.graph) return;
    if (gMedia.textureStale || !gMedia.texture) uploadPicture();
    GfxDevice& d = *gGfxDevice;
    d.beginScene();
    d.clear(GFX_CLEAR_TARGET, 0xFF000000u, 1.0f, 0);
    if (gMedia.texture) {
        // The states 2D drawing starts from, so the scene's next frame finds
        // them as it left them; an opaque texture under white shows as it is.
        set2DRenderStates();
        d.setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
        d.setTexture(0, gMedia.texture);
        d.setTextureStageState(0, GFX_TSS_ADDRESSU, GFX_ADDRESS_CLAMP);
        d.setTextureStageState(0, GFX_TSS_ADDRESSV, GFX_ADDRESS_CLAMP);
        // Laid over the whole screen as the movie window was over the client area.
        float right = (float)gPresentParams.backBufferWidth - 0.5f;
        float bottom = (float)gPresentParams.backBufferHeight - 0.5f;
        const SpriteVertex quad[4] = {
            {-0.5f, -0.5f, 0.0f, 1.0f, 0xFFFFFFFFu, 0, 0.0f, 0.0f},
            {right, -0.5f, 0.0f, 1.0f, 0xFFFFFFFFu, 0, 1.0f, 0.0f},
            {-0.5f, bottom, 0.0f, 1.0f, 0xFFFFFFFFu, 0, 0.0f, 1.0f},
            {right, bottom, 0.0f, 1.0f, 0xFFFFFFFFu, 0, 1.0f, 1.0f},
        };
        d.setVertexFormat(SPRITE_VERTEX_FORMAT);
        d.drawPrimitiveUP(GFX_PT_TRIANGLESTRIP, 2, quad, sizeof(SpriteVertex));
        d.setTextureStageState(0, GFX_TSS_ADDRESSU, GFX_ADDRESS_WRAP);
        d.setTextureStageState(0, GFX_TSS_ADDRESSV, GFX_ADDRESS_WRAP);
        d.setTexture(0, nullptr);
    }
    d.endScene();
    if (d.present() == GFX_DEVICE_LOST) gDeviceOk = 0;
}
