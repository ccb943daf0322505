// packdata: builds the game's data archive from a folder tree.
//   packdata <source folder> <game folder> [--plain]
// Pictures (.bmp and .tga below "bmp/") go into "bmpdata.bin" under lower-case
// names; every other file goes into the index ("lnkdata.bin", or
// "lnkdatas.bin" with --plain) and the volumes "bin/data000.bin" to
// "bin/data004.bin". Names starting with '.' and the source folder's own
// README.md are left out. The archive is read back through the game's own
// reader before the program reports success.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/archive_writer.h"

int main(int argc, char** argv) {
    bool plain = argc == 4 && strcmp(argv[3], "--plain") == 0;
    if (argc != 3 && !plain) {
        fprintf(stderr, "usage: packdata <source folder> <game folder> [--plain]\n");
        return 2;
    }
    PackSummary summary;
    std::string error;
    if (!packGameFolder(argv[1], argv[2], plain, &summary, error)) {
        fprintf(stderr, "packdata: %s\n", error.c_str());
        return 1;
    }
    printf("packdata: %d entries (%d in the picture pack), %llu bytes packed into %llu, written to %s and verified\n",
           summary.entries, summary.pictures, (unsigned long long)summary.unpackedBytes,
           (unsigned long long)summary.packedBytes, argv[2]);
    return 0;
}
