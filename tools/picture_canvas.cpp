#include "tools/picture_canvas.h"

#include <cmath>
#include <cstring>

Canvas makeCanvas(int32_t width, int32_t height, uint32_t fill) {
    return Canvas{width, height, std::vector<uint32_t>((size_t)width * (size_t)height, fill)};
}

uint32_t channel(uint32_t c, int shift) { return (c >> shift) & 0xFF; }

uint32_t mix(uint32_t a, uint32_t b, float t) {
    if (t <= 0) return a;
    if (t >= 1) return b;
    uint32_t out = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        float v = (float)channel(a, shift) + ((float)channel(b, shift) - (float)channel(a, shift)) * t;
        out |= (uint32_t)std::lround(v) << shift;
    }
    return out;
}

uint32_t withAlpha(uint32_t c, float alpha) {
    if (alpha < 0) alpha = 0;
    if (alpha > 1) alpha = 1;
    return (c & 0xFFFFFF) | (uint32_t)std::lround((float)channel(c, 24) * alpha) << 24;
}

// Source-over blending of one texel.
void blend(Canvas& c, int32_t x, int32_t y, uint32_t src) {
    if (x < 0 || y < 0 || x >= c.width || y >= c.height) return;
    uint32_t& dst = c.pixels[(size_t)y * c.width + x];
    float sa = (float)channel(src, 24) / 255.0f;
    float da = (float)channel(dst, 24) / 255.0f;
    float oa = sa + da * (1 - sa);
    if (oa <= 0) {
        dst = CLEAR;
        return;
    }
    uint32_t out = (uint32_t)std::lround(oa * 255) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        float v = ((float)channel(src, shift) * sa + (float)channel(dst, shift) * da * (1 - sa)) / oa;
        out |= (uint32_t)std::lround(v) << shift;
    }
    dst = out;
}

void set(Canvas& c, int32_t x, int32_t y, uint32_t argb) {
    if (x >= 0 && y >= 0 && x < c.width && y < c.height) c.pixels[(size_t)y * c.width + x] = argb;
}

void fillRect(Canvas& c, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t argb) {
    for (int32_t y = y0; y < y1; ++y)
        for (int32_t x = x0; x < x1; ++x) set(c, x, y, argb);
}

// Top to bottom colour ramp.
void gradientRect(Canvas& c, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t top, uint32_t bottom) {
    for (int32_t y = y0; y < y1; ++y) {
        uint32_t row = mix(top, bottom, y1 - y0 > 1 ? (float)(y - y0) / (float)(y1 - y0 - 1) : 0);
        for (int32_t x = x0; x < x1; ++x) blend(c, x, y, row);
    }
}

// How far (x, y) lies inside a rectangle with rounded corners; negative outside.
float insideRounded(float x, float y, float x0, float y0, float x1, float y1, float radius) {
    float cx = x < x0 + radius ? x0 + radius : (x > x1 - radius ? x1 - radius : x);
    float cy = y < y0 + radius ? y0 + radius : (y > y1 - radius ? y1 - radius : y);
    float dx = x - cx, dy = y - cy;
    float edge = std::fmin(std::fmin(x - x0, x1 - x), std::fmin(y - y0, y1 - y));
    if (dx != 0 || dy != 0) return radius - std::sqrt(dx * dx + dy * dy);
    return edge;
}

// A window panel: rounded, a vertical ramp inside, a border of the given
// width, with anti-aliased edges.
void panel(Canvas& c, int32_t x0, int32_t y0, int32_t x1, int32_t y1, float radius, uint32_t top, uint32_t bottom,
           uint32_t border, float borderWidth) {
    for (int32_t y = y0; y < y1; ++y) {
        uint32_t fill = mix(top, bottom, (float)(y - y0) / (float)(y1 - y0));
        for (int32_t x = x0; x < x1; ++x) {
            float d = insideRounded((float)x + 0.5f, (float)y + 0.5f, (float)x0, (float)y0, (float)x1, (float)y1, radius);
            if (d <= 0) continue;
            uint32_t colour = d < borderWidth ? border : mix(border, fill, std::fmin(d - borderWidth, 1.0f));
            blend(c, x, y, withAlpha(colour, std::fmin(d, 1.0f)));
        }
    }
}

// A disc whose alpha falls from the centre outward by the power given (0: hard).
void disc(Canvas& c, float cx, float cy, float radius, uint32_t argb, float falloff) {
    for (int32_t y = (int32_t)(cy - radius) - 1; y <= (int32_t)(cy + radius) + 1; ++y)
        for (int32_t x = (int32_t)(cx - radius) - 1; x <= (int32_t)(cx + radius) + 1; ++x) {
            float d = std::hypot((float)x + 0.5f - cx, (float)y + 0.5f - cy);
            if (d >= radius + 0.5f) continue;
            float alpha = falloff > 0 ? std::pow(1 - d / radius, falloff) : std::fmin(radius + 0.5f - d, 1.0f);
            blend(c, x, y, withAlpha(argb, alpha));
        }
}

void line(Canvas& c, float x0, float y0, float x1, float y1, uint32_t argb) {
    int32_t steps = (int32_t)std::ceil(std::fmax(std::fabs(x1 - x0), std::fabs(y1 - y0))) * 2 + 1;
    for (int32_t i = 0; i <= steps; ++i) {
        float t = (float)i / (float)steps;
        set(c, (int32_t)(x0 + (x1 - x0) * t), (int32_t)(y0 + (y1 - y0) * t), argb);
    }
}

// Even-odd fill of a polygon, each texel sampled at 4 x 4 points so the
// edges are smooth.
void polygon(Canvas& c, const Point* pts, int32_t n, uint32_t argb) {
    float x0 = pts[0].x, x1 = pts[0].x, y0 = pts[0].y, y1 = pts[0].y;
    for (int32_t i = 1; i < n; ++i) {
        x0 = std::fmin(x0, pts[i].x), x1 = std::fmax(x1, pts[i].x);
        y0 = std::fmin(y0, pts[i].y), y1 = std::fmax(y1, pts[i].y);
    }
    for (int32_t y = (int32_t)y0; y <= (int32_t)y1; ++y)
        for (int32_t x = (int32_t)x0; x <= (int32_t)x1; ++x) {
            int32_t inside = 0;
            for (int32_t sy = 0; sy < 4; ++sy)
                for (int32_t sx = 0; sx < 4; ++sx) {
                    float px = (float)x + ((float)sx + 0.5f) / 4, py = (float)y + ((float)sy + 0.5f) / 4;
                    bool in = false;
                    for (int32_t i = 0, j = n - 1; i < n; j = i++)
                        if ((pts[i].y > py) != (pts[j].y > py) &&
                            px < (pts[j].x - pts[i].x) * (py - pts[i].y) / (pts[j].y - pts[i].y) + pts[i].x)
                            in = !in;
                    inside += in;
                }
            if (inside) blend(c, x, y, withAlpha(argb, (float)inside / 16));
        }
}

// A rectangle of the given half sizes turned by angle about (cx, cy).
void turnedRect(Canvas& c, float cx, float cy, float halfW, float halfH, float angle, uint32_t argb) {
    float co = std::cos(angle), si = std::sin(angle);
    const float CORNERS[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
    Point pts[4];
    for (int32_t i = 0; i < 4; ++i) {
        float dx = CORNERS[i][0] * halfW, dy = CORNERS[i][1] * halfH;
        pts[i] = Point{cx + dx * co - dy * si, cy + dx * si + dy * co};
    }
    polygon(c, pts, 4, argb);
}

// ---- Letters: 5 x 7 patterns, bit 4 the leftmost column. ----

struct Glyph {
    char ch;
    uint8_t rows[7];
};
static const Glyph GLYPHS[] = {
    {'0', {0x0E, 0x11, 0x13, 0x15, 0x19, 0x11, 0x0E}}, {'1', {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}}, {'3', {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E}},
    {'4', {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}}, {'5', {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E}},
    {'6', {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}}, {'7', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08}},
    {'8', {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}}, {'9', {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C}},
    {'A', {0x0E, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}}, {'B', {0x1E, 0x11, 0x11, 0x1E, 0x11, 0x11, 0x1E}},
    {'C', {0x0E, 0x11, 0x10, 0x10, 0x10, 0x11, 0x0E}}, {'D', {0x1C, 0x12, 0x11, 0x11, 0x11, 0x12, 0x1C}},
    {'E', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x1F}}, {'F', {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10}},
    {'G', {0x0E, 0x11, 0x10, 0x17, 0x11, 0x11, 0x0F}}, {'H', {0x11, 0x11, 0x11, 0x1F, 0x11, 0x11, 0x11}},
    {'I', {0x0E, 0x04, 0x04, 0x04, 0x04, 0x04, 0x0E}}, {'J', {0x07, 0x02, 0x02, 0x02, 0x02, 0x12, 0x0C}},
    {'K', {0x11, 0x12, 0x14, 0x18, 0x14, 0x12, 0x11}}, {'L', {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x1F}},
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}}, {'N', {0x11, 0x11, 0x19, 0x15, 0x13, 0x11, 0x11}},
    {'O', {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'P', {0x1E, 0x11, 0x11, 0x1E, 0x10, 0x10, 0x10}},
    {'Q', {0x0E, 0x11, 0x11, 0x11, 0x15, 0x12, 0x0D}}, {'R', {0x1E, 0x11, 0x11, 0x1E, 0x14, 0x12, 0x11}},
    {'S', {0x0F, 0x10, 0x10, 0x0E, 0x01, 0x01, 0x1E}}, {'T', {0x1F, 0x04, 0x04, 0x04, 0x04, 0x04, 0x04}},
    {'U', {0x11, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}}, {'V', {0x11, 0x11, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'W', {0x11, 0x11, 0x11, 0x15, 0x15, 0x15, 0x0A}}, {'X', {0x11, 0x11, 0x0A, 0x04, 0x0A, 0x11, 0x11}},
    {'Y', {0x11, 0x11, 0x11, 0x0A, 0x04, 0x04, 0x04}}, {'Z', {0x1F, 0x01, 0x02, 0x04, 0x08, 0x10, 0x1F}},
    {'+', {0x00, 0x04, 0x04, 0x1F, 0x04, 0x04, 0x00}}, {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
    {':', {0x00, 0x0C, 0x0C, 0x00, 0x0C, 0x0C, 0x00}}, {'-', {0x00, 0x00, 0x00, 0x1F, 0x00, 0x00, 0x00}},
    {'!', {0x04, 0x04, 0x04, 0x04, 0x04, 0x00, 0x04}}, {',', {0x00, 0x00, 0x00, 0x00, 0x0C, 0x04, 0x08}},
    {'#', {0x0A, 0x0A, 0x1F, 0x0A, 0x1F, 0x0A, 0x0A}},
};

static const Glyph* findGlyph(char ch) {
    for (const Glyph& g : GLYPHS)
        if (g.ch == ch) return &g;
    return nullptr;   // a blank
}

int32_t textWidth(const char* text, int32_t scale) {
    int32_t n = (int32_t)strlen(text);
    return n > 0 ? (6 * n - 1) * scale : 0;
}

// Letters from (x, y), each pattern texel a scaleX x scaleY block; the fill
// runs from top to bottom colour over the letter height; an outline of the
// given width is drawn first when its colour has alpha.
void textStretched(Canvas& c, int32_t x, int32_t y, const char* s, int32_t scaleX, int32_t scaleY, uint32_t top,
                   uint32_t bottom, uint32_t outline, int32_t outlineWidth) {
    for (int pass = (outline >> 24) ? 0 : 1; pass < 2; ++pass) {
        int32_t grow = pass == 0 ? outlineWidth : 0;
        for (int32_t i = 0; s[i]; ++i) {
            const Glyph* g = findGlyph(s[i]);
            if (!g) continue;
            int32_t gx = x + i * 6 * scaleX;
            for (int32_t row = 0; row < 7; ++row)
                for (int32_t col = 0; col < 5; ++col) {
                    if (!(g->rows[row] & (0x10 >> col))) continue;
                    for (int32_t py = row * scaleY - grow; py < (row + 1) * scaleY + grow; ++py) {
                        uint32_t colour = pass == 0 ? outline : mix(top, bottom, (float)py / (float)(7 * scaleY - 1));
                        for (int32_t px = col * scaleX - grow; px < (col + 1) * scaleX + grow; ++px)
                            set(c, gx + px, y + py, colour);
                    }
                }
        }
    }
}

void text(Canvas& c, int32_t x, int32_t y, const char* s, int32_t scale, uint32_t top, uint32_t bottom,
          uint32_t outline, int32_t outlineWidth) {
    textStretched(c, x, y, s, scale, scale, top, bottom, outline, outlineWidth);
}

// Centred on (cx, cy).
void textCentered(Canvas& c, int32_t cx, int32_t cy, const char* s, int32_t scale, uint32_t top, uint32_t bottom,
                  uint32_t outline, int32_t outlineWidth) {
    text(c, cx - textWidth(s, scale) / 2, cy - 7 * scale / 2, s, scale, top, bottom, outline, outlineWidth);
}
