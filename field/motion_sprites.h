// field/motion_sprites.h: the characters and sprite enemies of the field,
// drawn as flat sheets of 32 x 32 picture cells turned toward the camera.
// A frame's cells come from the motion record's frame lists and the layout
// file "bmp/chr/formdata.bin" (gFormData, big-endian). Drawing runs on the
// main thread once per drawn frame; the layout reader is pure.
#pragma once
#include <cstdint>

#include "adventurers/adventurers.h"
#include "engine/math.h"

constexpr int32_t MOTION_CELL_SIZE = 32;
constexpr int32_t MOTION_DIRECTION_COUNT = 8;
constexpr int32_t MOTION_SPRITE_CELL_MAX = 512;   // cells one frame may draw
constexpr int32_t FORM_FRAME_COUNT = 256;         // frame numbers per layout
constexpr uint32_t FORM_COUNTS_OFFSET = 0x400;    // u16 cell count per frame number
constexpr uint32_t FORM_FIRSTS_OFFSET = 0x600;    // u16 first list index per frame number
constexpr uint32_t FORM_CELLS_OFFSET = 0x800;     // u16 cell positions

// The frame-row column read for each of the eight sprite directions, and
// whether the cells are laid out mirrored.
extern const int32_t MOTION_DIRECTION_COLUMNS[MOTION_DIRECTION_COUNT];
extern const int32_t MOTION_DIRECTION_MIRROR[MOTION_DIRECTION_COUNT];

// Position, colour and one texture coordinate pair: vertex format XYZ |
// DIFFUSE | TEX1.
struct SpriteCellVertex {
    float x, y, z;
    uint32_t color;
    float u, v;
};
static_assert(sizeof(SpriteCellVertex) == 24);

// One frame's place in the layout file: its cells are list entries first to
// first + count - 1.
struct FormFrame {
    int32_t count;
    int32_t first;
};
// The frame's entry of motion m's layout; false when the file is too short
// for the offset, the tables or the whole cell list (a damaged file draws
// nothing rather than reading past its end). Pure.
bool readFormFrame(const uint8_t* data, uint32_t size, int32_t motion, int32_t frame, FormFrame* out);
// The cell position of list entry index of motion m's layout; the caller has
// checked it with readFormFrame. Pure.
int32_t readFormCell(const uint8_t* data, uint32_t size, int32_t motion, int32_t index);

// The frame number a state shows: its animation block, its frame row and the
// direction's column; -1 when any of them is outside the record.
int32_t motionFrameNumber(const MotionState& state, int32_t motion);

// Writes the two triangles per cell of the state's frame into out (room for
// 6 x MOTION_SPRITE_CELL_MAX vertices), in the model space the world matrix
// then places; returns the vertex count. The sheet is sheetWidth x
// sheetHeight texels: a cell whose list entry lies outside it is left out.
// Pure but for reading gMotions and gFormData.
int32_t buildMotionSprite(const MotionState& state, int32_t motion, int32_t sheetWidth, int32_t sheetHeight,
                          uint32_t argb, SpriteCellVertex* out);

// Draws one frame of a motion character with the given world transform and
// colour. texture is the sprite number whose sheet the caller has bound; its
// size places the cells. A white flash without a tint adds instead of the
// caller's colour operation for this one call.
void drawMotionSprite(const MotionState& state, int32_t motion, int32_t texture, const Matrix4& world, uint32_t argb);
