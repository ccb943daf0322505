#include "engine/game_folder.h"

#include <cstdio>
#include <cstring>
#include <unistd.h>

char gModuleDir[512];
int32_t gModuleDirLength;

void findModuleDir() {
    char path[sizeof gModuleDir];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) {
        strcpy(gModuleDir, "./");
    } else {
        path[n] = 0;
        char* slash = strrchr(path, '/');
        if (slash) slash[1] = 0;
        snprintf(gModuleDir, sizeof gModuleDir, "%s", path);
    }
    gModuleDirLength = (int32_t)strlen(gModuleDir);
}

void setModuleDir(const char* gameDir) {
    size_t len = strlen(gameDir);
    bool slash = len > 0 && gameDir[len - 1] == '/';
    snprintf(gModuleDir, sizeof gModuleDir, "%s%s", gameDir, slash ? "" : "/");
    gModuleDirLength = (int32_t)strlen(gModuleDir);
}

const char* getModuleDir() { return gModuleDir; }

// Start-up traces go nowhere; the loaders report failures in message boxes.
void writeDebugLog(const char*) {}
