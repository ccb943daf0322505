#include "engine/settings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>

#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/save_file.h"
#include "platform/profile.h"

// The values the program runs with when the settings file says nothing.
ScreenSize gScreenSize = {640, 480};
int32_t gWindowed = 1;
int32_t gWindowAspectLock = 1;
int32_t gUseWindowPos = 0;
int32_t gWindowPos[2] = {0, 0};
int32_t gFrameSkip = 0;
int32_t gDispFps = 0;
int32_t gSfNoUse = 0;
int32_t gIniVolumes[2] = {INI_VOLUME_MAX, INI_VOLUME_MAX};
int32_t gTexLevel = 0;
int32_t gEasyDisp = 0;
int32_t gEasyDispTextures = 0;
int32_t gSEasyDisp = 0;
int32_t gUseMipmap = 0;
int32_t gUseFog = 0;
int32_t gUseLightTex = 0;
int32_t gNoLight[2] = {0, 0};
int32_t gUseTree = 0;
int32_t gTooriOff = 0;
char gIniPath[512];

constexpr int PAD_KEY_COUNT = 9;
constexpr int SKILL_KEY_COUNT = 5;
static_assert(PAD_KEY_COUNT + SKILL_KEY_COUNT == PAD_BINDING_COUNT);

// "screen" 0, 1 and 2; any other value takes the last size.
static const ScreenSize SCREEN_SIZES[4] = {{640, 480}, {800, 600}, {1024, 768}, {1280, 960}};

void loadSettings() {
    ProfileText ini;
    // A missing or unreadable file reads as empty: every value its default.
    profileLoad(ini, gIniPath);

    char key[16];
    for (int set = 0; set < 2; ++set) {
        for (int i = 0; i < PAD_KEY_COUNT; ++i) {
            snprintf(key, sizeof key, "pad%d%d", set, i);
            gPadBindings[set][i] = (int16_t)profileGetInt(ini, "option", key, PAD_BINDING_DEFAULTS[set][i]);
        }
        for (int i = 0; i < SKILL_KEY_COUNT; ++i) {
            snprintf(key, sizeof key, "skill%d%d", set, i);
            gPadBindings[set][PAD_KEY_COUNT + i] =
                (int16_t)profileGetInt(ini, "option", key, PAD_BINDING_DEFAULTS[set][PAD_KEY_COUNT + i]);
        }
    }

    gWindowAspectLock = profileGetInt(ini, "setup", "aspect", 1);
    gWindowed = profileGetInt(ini, "setup", "winmode", 1);
    // Frame skip and texture level index tables: out-of-range values are
    // pulled to the nearest end rather than read past them.
    gFrameSkip = std::clamp(profileGetInt(ini, "setup", "fps", 0), 0, FRAME_SKIP_MAX);
    gDispFps = profileGetInt(ini, "setup", "dispfps", 0);
    gSfNoUse = profileGetInt(ini, "setup", "sfnouse", 0);
    gUseMipmap = profileGetInt(ini, "setup", "usemipmap", 0);
    gUseTree = profileGetInt(ini, "setup", "usetree", 0);
    gUseLightTex = profileGetInt(ini, "setup", "uselighttex", 0);
    gTexLevel = std::clamp(profileGetInt(ini, "setup", "texlevel", 0), 0, TEX_LEVEL_MAX);
    gTooriOff = profileGetInt(ini, "setup", "toorioff", 0);
    gUseWindowPos = profileGetInt(ini, "setup", "windowpos", 0);
    gWindowPos[0] = profileGetInt(ini, "setup", "winx", 0);
    gWindowPos[1] = profileGetInt(ini, "setup", "winy", 0);
    gNoLight[0] = profileGetInt(ini, "setup", "nolight", 0);
    gNoLight[1] = profileGetInt(ini, "setup", "nolight_s", 0);
    gEasyDisp = profileGetInt(ini, "setup", "easydisp", 0);
    gEasyDispTextures = gEasyDisp;
    gSEasyDisp = profileGetInt(ini, "setup", "s_easydisp", 0);
    gUseFog = profileGetInt(ini, "setup", "usefog", 0);
    int32_t screen = profileGetInt(ini, "setup", "screen", 0);
    gScreenSize = SCREEN_SIZES[screen >= 0 && screen <= 2 ? screen : 3];

    gIniVolumes[0] = std::clamp(profileGetInt(ini, "config", "se", INI_VOLUME_MAX), 0, INI_VOLUME_MAX);
    gIniVolumes[1] = std::clamp(profileGetInt(ini, "config", "mu", INI_VOLUME_MAX), 0, INI_VOLUME_MAX);
    profileRelease(ini);
}

// One key; the first failure's reason is kept for the one box shown.
static void writeSetting(const char* section, const char* key, int32_t value, int& firstError) {
    if (!profileWriteInt(gIniPath, section, key, value) && firstError == 0) firstError = errno != 0 ? errno : EIO;
}

bool saveSettings() {
    // Every write is tried even after one fails.
    int error = 0;
    writeSetting("config", "se", gIniVolumes[0], error);
    writeSetting("config", "mu", gIniVolumes[1], error);
    if (gUseWindowPos) {
        writeSetting("setup", "winx", gWindowPos[0], error);
        writeSetting("setup", "winy", gWindowPos[1], error);
    }
    if (error != 0) showWriteFailure(gIniPath, error);
    return error == 0;
}
