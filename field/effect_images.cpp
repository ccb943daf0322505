#include "field/effect_images.h"

#include <cstdio>
#include <cstring>

#include "engine/scene_pictures.h"
#include "engine/text_data.h"
#include "field/field.h"

char gEffectImageGroups[EFFECT_GROUP_MAX][EFFECT_GROUP_NAME_SIZE];
int32_t gEffectGroupCount;
EffectImage gEffectImages[EFFECT_IMAGE_ROWS];
int32_t gEffectImageCount;
TextureSlot gEffectImageTextures[EFFECT_GROUP_MAX];

// Group files are small; anything larger is no such file.
constexpr int32_t EFFECT_GROUP_FILE_LIMIT = 1024 * 1024;

// The digits of width n at p, or -1 when any is not a digit.
static int32_t fixedDigits(const char* p, int32_t n) {
    int32_t value = 0;
    for (int32_t i = 0; i < n; i++) {
        if (p[i] < '0' || p[i] > '9') return -1;
        value = value * 10 + (p[i] - '0');
    }
    return value;
}

static void parseImageRow(int32_t row, const char* p, const char* end) {
    EffectImage image = {};
    image.group = parseTextInt(p, end);
    image.frames = 1;
    image.interval = 1;
    const char* open = static_cast<const char*>(memchr(p, '(', static_cast<size_t>(end - p)));
    if (open) {
        float rect[4] = {};
        parseTextFloats(open + 1, end, ',', rect, 4);
        image.x0 = rect[0];
        image.y0 = rect[1];
        image.x1 = rect[2];
        image.y1 = rect[3];
        const char* close = static_cast<const char*>(memchr(open, ')', static_cast<size_t>(end - open)));
        const char* second =
            close ? static_cast<const char*>(memchr(close, '(', static_cast<size_t>(end - close))) : nullptr;
        if (second) {
            int32_t timing[3] = {1, 1, 0};
            parseTextInts(second + 1, end, ',', timing, 3);
            image.frames = timing[0];
            image.interval = timing[1];
            image.loop = timing[2];
        }
    }
    gEffectImages[row] = image;
    if (row + 1 > gEffectImageCount) gEffectImageCount = row + 1;
}

void parseEffectGroupFile(const char* text, int32_t length) {
    TextCursor cursor = beginText(text, length);
    TextLine line;
    while (nextDataLine(cursor, line)) {
        int32_t size = static_cast<int32_t>(line.end - line.start);
        if (size >= 6 && memcmp(line.start, "GRP", 3) == 0 && fixedDigits(line.start + 3, 2) >= 0 &&
            line.start[5] == ':') {
            if (gEffectGroupCount < EFFECT_GROUP_MAX)
                copyTextBounded(line.start + 6, line.end, gEffectImageGroups[gEffectGroupCount++],
                                EFFECT_GROUP_NAME_SIZE - 1);
            continue;
        }
        if (size >= 4 && line.start[3] == ':') {
            int32_t row = fixedDigits(line.start, 3);
            if (row >= 0 && row < EFFECT_IMAGE_ROWS) parseImageRow(row, line.start + 4, line.end);
        }
    }
}

void loadEffectGroupFile(int32_t number) {
    char path[32];
    snprintf(path, sizeof path, "ef/grp%d.idx", (int)number);
    TextEntry file = readLooseOrArchiveEntry(path, EFFECT_GROUP_FILE_LIMIT);
    parseEffectGroupFile(file.bytes.get(), file.length);
}

void loadEffectGroups() {
    gEffectGroupCount = 0;
    gEffectImageCount = 0;
    for (int32_t number = 1; number <= 4; number++) loadEffectGroupFile(number);
}

void loadEffectImageTextures() {
    for (int32_t g = 0; g < gEffectGroupCount && g < EFFECT_GROUP_MAX; g++)
        loadTextureToGroup(TEXTURE_GROUP_SYSTEM, gEffectImageTextures[g], gEffectImageGroups[g], 256, 256);
}
