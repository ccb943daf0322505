#include "engine/loose_files.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cstring>

// Finds name in folder regardless of ASCII case, an exact match first;
// writes the name as it is stored into found.
static bool findInFolder(const char* folder, const char* name, char* found, size_t foundSize) {
    DIR* dir = opendir(folder[0] ? folder : ".");
    if (!dir) return false;
    bool matched = false;
    while (dirent* entry = readdir(dir)) {
        if (strcasecmp(entry->d_name, name) != 0) continue;
        snprintf(found, foundSize, "%s", entry->d_name);
        matched = true;
        if (strcmp(entry->d_name, name) == 0) break;
    }
    closedir(dir);
    return matched;
}

FILE* openLooseFile(const char* path) {
    char wanted[512];
    size_t length = strnlen(path, sizeof wanted);
    if (length == 0 || length >= sizeof wanted) return nullptr;
    for (size_t i = 0; i <= length; ++i) wanted[i] = path[i] == '\\' ? '/' : path[i];

    char resolved[1024] = "";
    struct stat info;
    if (stat(wanted, &info) == 0) {
        snprintf(resolved, sizeof resolved, "%s", wanted);
    } else {
        size_t used = wanted[0] == '/' ? 1 : 0;
        if (used) resolved[0] = '/';
        resolved[used] = 0;
        char* rest = nullptr;
        for (char* part = strtok_r(wanted, "/", &rest); part; part = strtok_r(nullptr, "/", &rest)) {
            char name[256];
            if (!findInFolder(resolved, part, name, sizeof name)) return nullptr;
            int written = snprintf(resolved + used, sizeof resolved - used, "%s%s",
                                   used > 0 && resolved[used - 1] != '/' ? "/" : "", name);
            if (written < 0 || (size_t)written >= sizeof resolved - used) return nullptr;
            used += (size_t)written;
        }
        if (stat(resolved, &info) != 0) return nullptr;
    }
    if (!S_ISREG(info.st_mode)) return nullptr;
    return fopen(resolved, "rb");
}

