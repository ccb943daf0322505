// makefont: builds the game's glyph font files with the game's own builder.
//   makefont <source folder> <game folder>
// Reads the font switches from "<source folder>/config.idx" when it is there
// (every double-byte code, outline width and fall-off, the face of "font:";
// without a face, IPAGothic) and writes "fontdata.bin" and "fontidx.bin"
// into the game folder, where the game finds them as loose files.
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "engine/config_index.h"
#include "engine/font_files.h"
#include "platform/glyphs.h"
#include "platform/sjis.h"

static bool readWholeFile(const std::string& path, std::vector<char>& out) {
    FILE* file = fopen(path.c_str(), "rb");
    if (!file) return false;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) out.insert(out.end(), chunk, chunk + got);
    fclose(file);
    return true;
}

static long fileSize(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? (long)info.st_size : -1;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: makefont <source folder> <game folder>\n");
        return 2;
    }
    std::vector<char> config;
    if (readWholeFile(std::string(argv[1]) + "/config.idx", config)) parseConfigIndex(config.data(), (int32_t)config.size());

    char faceName[TEXT_STRING_MAX * 3 + 1];
    sjisToUtf8(gFontFaceName, faceName, sizeof faceName);
    GlyphFaceMetrics face;
    GlyphFaceResult opened = openGlyphFace(faceName, FONT_HEIGHT, &face);
    if (opened == GLYPH_FACE_NONE) {
        fprintf(stderr, "makefont: no font to build from\n");
        return 1;
    }
    if (opened == GLYPH_FACE_NOT_SIZED) fprintf(stderr, "makefont: the face refused the size; its glyphs are blank\n");
    std::string dataPath = std::string(argv[2]) + "/" + FONT_DATA_FILE;
    std::string indexPath = std::string(argv[2]) + "/" + FONT_INDEX_FILE;
    bool written = writeFontFiles(face, dataPath.c_str(), indexPath.c_str());
    closeGlyphFace();
    if (!written) {
        fprintf(stderr, "makefont: %s and %s could not be written\n", dataPath.c_str(), indexPath.c_str());
        return 1;
    }
    printf("makefont: %ld records (%s), %ld bytes of glyphs, written to %s\n",
           fileSize(indexPath) / (long)sizeof(FontIndexRecord), gFontAllCodes ? "every double-byte code" : "base set",
           fileSize(dataPath), argv[2]);
    return opened == GLYPH_FACE_OK ? 0 : 1;
}
