// Settings files of any bytes: reads from memory, then a write through a real
// file must read back and must not disturb the keys around it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

#include "platform/profile.h"
#include "tests/temp_folder.h"

// The settings file, in a folder made on the first run and removed at exit.
static const char* settingsPath() {
    // Memory-backed when there is such a folder: every run writes and syncs.
    static TempFolder folder("profile_fuzz", access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    static const std::string path = folder.file("tolli.ini");
    return path.c_str();
}

static void readSome(const ProfileText& text, int32_t* ints, char (*strings)[32]) {
    static const char* const KEYS[4][2] = {{"setup", "fps"}, {"config", "se"}, {"option", "pad00"}, {"setup", "winy"}};
    for (int i = 0; i < 4; ++i) {
        ints[i] = profileGetInt(text, KEYS[i][0], KEYS[i][1], -77);
        profileGetString(text, KEYS[i][0], KEYS[i][1], "none", strings[i], 32);
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (size_t)PROFILE_MAX_BYTES) return 0;
    ProfileText memory = {(const char*)data, (int32_t)size};
    int32_t before[4];
    char beforeText[4][32];
    readSome(memory, before, beforeText);

    const char* path = settingsPath();
    FILE* file = fopen(path, "wb");
    if (!file) abort();
    if (size && fwrite(data, 1, size, file) != size) abort();
    fclose(file);

    if (!profileWriteInt(path, "setup", "winx", 1234)) abort();
    ProfileText written;
    if (!profileLoad(written, path)) abort();
    int32_t after[4];
    char afterText[4][32];
    readSome(written, after, afterText);
    if (profileGetInt(written, "setup", "winx", 0) != 1234) abort();
    for (int i = 0; i < 4; ++i) {
        if (after[i] != before[i] || strcmp(afterText[i], beforeText[i]) != 0) abort();
    }
    profileRelease(written);
    return 0;
}
