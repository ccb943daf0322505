// tools/picture_canvas.h: the canvas the sample pictures are drawn on:
// 0xAARRGGBB texels, source-over blending, plain shapes, and letters of a
// built-in 5 x 7 pattern. Shared by the picture tool's drawers.
#pragma once
#include <cstdint>
#include <vector>

constexpr uint32_t KEY = 0xFF00FF00;   // the colour key of BMP pictures
constexpr uint32_t CLEAR = 0x00000000;
constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr uint32_t BLACK = 0xFF000000;
constexpr uint32_t NAVY_TOP = 0xF02C3A66;
constexpr uint32_t NAVY_BOTTOM = 0xF0141B36;
constexpr uint32_t GOLD = 0xFFE8C15A;
constexpr uint32_t GOLD_DARK = 0xFF9A7424;
constexpr uint32_t CREAM = 0xFFF6EBD0;
constexpr uint32_t INK = 0xFF101020;

struct Canvas {
    int32_t width;
    int32_t height;
    std::vector<uint32_t> pixels;   // 0xAARRGGBB, top row first
};

struct Point {
    float x, y;
};

Canvas makeCanvas(int32_t width, int32_t height, uint32_t fill);
uint32_t channel(uint32_t c, int shift);
// a to b by t in 0..1, each channel rounded.
uint32_t mix(uint32_t a, uint32_t b, float t);
uint32_t withAlpha(uint32_t c, float alpha);
// Source-over blending of one texel.
void blend(Canvas& c, int32_t x, int32_t y, uint32_t src);
void set(Canvas& c, int32_t x, int32_t y, uint32_t argb);
void fillRect(Canvas& c, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t argb);
// Top to bottom colour ramp.
void gradientRect(Canvas& c, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t top, uint32_t bottom);
// How far (x, y) lies inside a rectangle with rounded corners; negative outside.
float insideRounded(float x, float y, float x0, float y0, float x1, float y1, float radius);
// A window panel: rounded, a vertical ramp inside, a border of the given
// width, with anti-aliased edges.
void panel(Canvas& c, int32_t x0, int32_t y0, int32_t x1, int32_t y1, float radius, uint32_t top, uint32_t bottom,
           uint32_t border, float borderWidth);
// A disc whose alpha falls from the centre outward by the power given (0: hard).
void disc(Canvas& c, float cx, float cy, float radius, uint32_t argb, float falloff);
void line(Canvas& c, float x0, float y0, float x1, float y1, uint32_t argb);
// Even-odd fill of a polygon, each texel sampled at 4 x 4 points so the
// edges are smooth.
void polygon(Canvas& c, const Point* pts, int32_t n, uint32_t argb);
// A rectangle of the given half sizes turned by angle about (cx, cy).
void turnedRect(Canvas& c, float cx, float cy, float halfW, float halfH, float angle, uint32_t argb);

// Letters: 5 x 7 patterns, 6 texels apart at scale 1; unknown characters are blanks.
int32_t textWidth(const char* text, int32_t scale);
// Letters from (x, y), each pattern texel a scaleX x scaleY block; the fill
// runs from top to bottom colour over the letter height; an outline of the
// given width is drawn first when its colour has alpha.
void textStretched(Canvas& c, int32_t x, int32_t y, const char* s, int32_t scaleX, int32_t scaleY, uint32_t top,
                   uint32_t bottom, uint32_t outline = CLEAR, int32_t outlineWidth = 1);
void text(Canvas& c, int32_t x, int32_t y, const char* s, int32_t scale, uint32_t top, uint32_t bottom,
          uint32_t outline = CLEAR, int32_t outlineWidth = 1);
// Centred on (cx, cy).
void textCentered(Canvas& c, int32_t cx, int32_t cy, const char* s, int32_t scale, uint32_t top, uint32_t bottom,
                  uint32_t outline = CLEAR, int32_t outlineWidth = 1);

// A small deterministic sequence for scattered details.
struct Scatter {
    uint32_t state;
    float next() {
        state = state * 1103515245u + 12345u;
        return (float)((state >> 8) & 0xFFFF) / 65535.0f;
    }
};
