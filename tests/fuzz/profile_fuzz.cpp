// Settings files of any bytes: reads from memory, then a write through a real
// file must read back and must not disturb the keys around it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

#include "platform/profile.h"

static char sFolder[64];
static char sPath[sizeof sFolder + 16];

static void removeFolder() {
    unlink(sPath);
    rmdir(sFolder);
}

static bool prepareFolder() {
    if (sPath[0]) return true;
    // Memory-backed when there is such a folder: every run writes and syncs.
    bool shm = access("/dev/shm", W_OK) == 0;
    snprintf(sFolder, sizeof sFolder, "%s/tolli_profile_fuzz_XXXXXX", shm ? "/dev/shm" : "/tmp");
    if (!mkdtemp(sFolder)) return false;
    snprintf(sPath, sizeof sPath, "%s/tolli.ini", sFolder);
    atexit(removeFolder);
    return true;
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

    if (!prepareFolder()) abort();
    FILE* file = fopen(sPath, "wb");
    if (!file) abort();
    if (size && fwrite(data, 1, size, file) != size) abort();
    fclose(file);

    if (!profileWriteInt(sPath, "setup", "winx", 1234)) abort();
    ProfileText written;
    if (!profileLoad(written, sPath)) abort();
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
