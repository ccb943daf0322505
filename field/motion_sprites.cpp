#include "field/motion_sprites.h"

#include <cmath>

#include "engine/archive.h"
#include "engine/device.h"
#include "engine/motion_files.h"
#include "engine/scene_pictures.h"
#include "engine/screen_mapping.h"
#include "field/resources.h"

const int32_t MOTION_DIRECTION_COLUMNS[MOTION_DIRECTION_COUNT] = {0, 2, 4, 3, 1, 3, 4, 2};
const int32_t MOTION_DIRECTION_MIRROR[MOTION_DIRECTION_COUNT] = {1, 1, 1, 1, 1, 0, 0, 0};

namespace {

constexpr float HALF_PI = 1.5707964f;
constexpr uint32_t WHITE = 0x00FFFFFF;
constexpr uint32_t PURPLE_TINT = 0x009F209F;

uint32_t bigEndian32(const uint8_t* p) {
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}
uint32_t bigEndian16(const uint8_t* p) { return (uint32_t)p[0] << 8 | p[1]; }

// The layout's base offset B of motion m, or false when the file cannot
// hold its tables.
bool layoutBase(const uint8_t* data, uint32_t size, int32_t motion, uint64_t* base) {
    if (!data || motion < 0 || motion >= MOTION_FILE_COUNT) return false;
    uint64_t at = 4ull * (uint64_t)motion;
    if (at + 4 > size) return false;
    uint64_t b = bigEndian32(data + at);
    if (b + FORM_CELLS_OFFSET > size) return false;
    *base = b;
    return true;
}

}  // namespace

bool readFormFrame(const uint8_t* data, uint32_t size, int32_t motion, int32_t frame, FormFrame* out) {
    uint64_t base = 0;
    if (frame < 0 || frame >= FORM_FRAME_COUNT || !layoutBase(data, size, motion, &base)) return false;
    int32_t count = (int32_t)bigEndian16(data + base + FORM_COUNTS_OFFSET + 2u * (uint32_t)frame);
    int32_t first = (int32_t)bigEndian16(data + base + FORM_FIRSTS_OFFSET + 2u * (uint32_t)frame);
    if (base + FORM_CELLS_OFFSET + 2ull * ((uint64_t)first + (uint64_t)count) > size) return false;
    *out = {count, first};
    return true;
}

int32_t readFormCell(const uint8_t* data, uint32_t size, int32_t motion, int32_t index) {
    uint64_t base = 0;
    if (index < 0 || !layoutBase(data, size, motion, &base)) return 0;
    uint64_t at = base + FORM_CELLS_OFFSET + 2ull * (uint64_t)index;
    return at + 2 <= size ? (int32_t)bigEndian16(data + at) : 0;
}

int32_t motionFrameNumber(const MotionState& state, int32_t motion) {
    if (motion < 0 || motion >= MOTION_FILE_COUNT) return -1;
    if (state.motion < 0 || state.motion >= MOTION_BLOCK_COUNT) return -1;
    if (state.direction < 0 || state.direction >= MOTION_DIRECTION_COUNT) return -1;
    int64_t at = (int64_t)state.keyIndex * MOTION_ROW_VALUES + MOTION_DIRECTION_COLUMNS[state.direction];
    if (at < 0 || at >= MOTION_BLOCK_VALUES) return -1;
    return gMotions[motion].frames[state.motion][at];
}

int32_t buildMotionSprite(const MotionState& state, int32_t motion, int32_t sheetWidth, int32_t sheetHeight,
                          uint32_t argb, SpriteCellVertex* out) {
    int32_t frame = motionFrameNumber(state, motion);
    FormFrame form;
    const uint8_t* data = gFormData.data();
    uint32_t size = gFormData.size() > UINT32_MAX ? UINT32_MAX : (uint32_t)gFormData.size();
    if (!readFormFrame(data, size, motion, frame, &form)) return 0;
    const MotionRecord& record = gMotions[motion];
    int32_t layoutWidth = record.layoutWidth;
    int32_t layoutColumns = layoutWidth / MOTION_CELL_SIZE;
    int32_t sheetColumns = sheetWidth / MOTION_CELL_SIZE;
    int32_t sheetRows = sheetHeight / MOTION_CELL_SIZE;
    if (layoutColumns <= 0 || sheetColumns <= 0 || sheetRows <= 0) return 0;
    float k = (float)record.scalePercent / 100.0f;
    float w = (float)sheetWidth;
    float h = (float)sheetHeight;

    float split = 0.0f;
    if (state.splitTimer > 0) {
        split = (float)layoutWidth * 0.2f;
        if (state.splitTimer < 20)
            split = sinf((float)state.splitTimer * HALF_PI / 20.0f) * (float)layoutWidth * 0.2f;
    }
    bool mirrored = MOTION_DIRECTION_MIRROR[state.direction] == 1;
    uint32_t color = argb;
    bool tinted = state.tint > 0 && state.tintSuppress == 0;
    if (state.whiteFlash > 0)
        color = (argb & 0xFF000000u) | WHITE;
    else if (tinted)
        color = (argb & 0xFF000000u) | PURPLE_TINT;

    int32_t n = form.count < MOTION_SPRITE_CELL_MAX ? form.count : MOTION_SPRITE_CELL_MAX;
    int32_t written = 0;
    for (int32_t j = 0; j < n; j++) {
        int32_t index = form.first + j;
        int32_t sheetRow = index / sheetColumns;
        if (sheetRow >= sheetRows) continue;   // beyond the sheet: no picture to show
        int32_t sheetColumn = index % sheetColumns;
        int32_t cell = readFormCell(data, size, motion, index);
        int32_t cx = cell % layoutColumns;
        int32_t cy = cell / layoutColumns;
        float shift = cy > layoutColumns / 2 ? split : -split;
        float left, right, uLeft, uRight;
        float u0 = ((float)(sheetColumn * MOTION_CELL_SIZE) + 0.5f) / w;
        float u1 = ((float)((sheetColumn + 1) * MOTION_CELL_SIZE) - 0.5f) / w;
        if (mirrored) {
            float x1 = (float)(layoutWidth / 2 - MOTION_CELL_SIZE * cx) + shift;
            left = (x1 - 32.0f) * k;
            right = x1 * k;
            uLeft = u1;
            uRight = u0;
        } else {
            float x1 = (float)(-(layoutWidth / 2) + MOTION_CELL_SIZE * cx) + shift;
            left = x1 * k;
            right = (x1 + 32.0f) * k;
            uLeft = u0;
            uRight = u1;
        }
        float top = (float)(record.layoutTop - MOTION_CELL_SIZE * cy) * k;
        float bottom = (float)(record.layoutTop - MOTION_CELL_SIZE * cy - MOTION_CELL_SIZE) * k;
        float vTop = ((float)(sheetRow * MOTION_CELL_SIZE) + 0.5f) / h;
        float vBottom = ((float)(sheetRow * MOTION_CELL_SIZE + MOTION_CELL_SIZE) - 0.5f) / h;
        SpriteCellVertex tl = {left, top, 0.0f, color, uLeft, vTop};
        SpriteCellVertex tr = {right, top, 0.0f, color, uRight, vTop};
        SpriteCellVertex bl = {left, bottom, 0.0f, color, uLeft, vBottom};
        SpriteCellVertex br = {right, bottom, 0.0f, color, uRight, vBottom};
        SpriteCellVertex* v = out + written;
        v[0] = tl;
        v[1] = tr;
        v[2] = bl;
        v[3] = bl;
        v[4] = tr;
        v[5] = br;
        written += 6;
    }
    return written;
}

void drawMotionSprite(const MotionState& state, int32_t motion, int32_t texture, const Matrix4& world, uint32_t argb) {
    static SpriteCellVertex vertices[6 * MOTION_SPRITE_CELL_MAX];
    if (!gGfxDevice || texture < 0 || texture >= CHARACTER_TEXTURE_COUNT) return;
    const TextureSlot& sheet = gCharacterTextures[texture];
    int32_t count = buildMotionSprite(state, motion, sheet.width, sheet.height, argb, vertices);
    if (count <= 0) return;
    gGfxDevice->setTransform(GFX_TS_WORLD, world.m);
    bool addWhite = state.whiteFlash > 0 && !(state.tint > 0 && state.tintSuppress == 0);
    if (addWhite) gGfxDevice->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_ADD);
    gGfxDevice->drawPrimitiveUP(GFX_PT_TRIANGLELIST, count / 3, vertices, (int32_t)sizeof(SpriteCellVertex));
    if (addWhite) gGfxDevice->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_ADDSIGNED);
}

void drawFieldFigure(const MotionState& state, int32_t model, float scale, const Vector3& at, uint32_t argb) {
    if (!gGfxDevice || model < 0 || model >= CHARACTER_TEXTURE_COUNT) return;
    gGfxDevice->setTexture(0, gCharacterTextures[model].texture);
    Matrix4 world = matrixMultiply(matrixMultiply(gBillboardMatrix, matrixScaling(scale, scale, scale)),
                                   matrixTranslation(at.x, at.y, at.z));
    drawMotionSprite(state, model, model, world, argb);
}
