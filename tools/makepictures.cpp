// makepictures: draws the sample pictures every built scene loads, each at
// the size its set asks for, into <folder>/bmp/; the item icon sheets
// follow the item table in <folder>/data/item.txt, read with the game's own
// reader and planned as the game plans them.
//   makepictures <folder>
// The build runs it on a staging copy of sampledata/ before packing, so a
// picture committed under sampledata/bmp/ wins over the drawn one of the same
// name. Plain shapes, gradients and a built-in 5 x 7 letter pattern; the
// texel rectangles the drawers read (the fade cells, the frame-rate digits,
// the loading sign, the title's menu cells) are where they expect them. The
// pictures of scenes whose drawers read no cells yet are flat fields, plain
// shapes and a name, drawn on the canvas of tools/picture_canvas.h.
// TGA pictures are written run-length encoded with their own alpha; BMP
// pictures are opaque and mark transparency with the colour key (opaque pure
// green), 8-bit run-length encoded while their colours fit a palette, else
// 24-bit through stb_image_write like the TGA pictures.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#define STBI_WRITE_NO_STDIO
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

#include "engine/motion_files.h"
#include "field/hud_cells.h"
#include "story/pause_cells.h"
#include "shop/item_icon_cells.h"
#include "tools/event_pictures.h"
#include "tools/market_pictures.h"
#include "tools/picture_canvas.h"
#include "tools/departure_pictures.h"
#include "tools/town_pictures.h"

namespace {

// ---- The pictures ----

// The fades and the dimmers read a white cell (1, 1)-(7, 7) and a black one
// (9, 1)-(15, 7); the rest is keyed out.
Canvas drawSystem() {
    Canvas c = makeCanvas(128, 128, KEY);
    fillRect(c, 0, 0, 8, 8, WHITE);
    fillRect(c, 8, 0, 16, 8, BLACK);
    return c;
}

// A label at (0, 0)-(23, 12), the digits 0..9 in 16 x 32 cells from x 33 in 18-texel steps.
Canvas drawFpsDigits() {
    Canvas c = makeCanvas(256, 32, CLEAR);
    text(c, 3, 2, "FPS", 1, WHITE, CREAM, 0xC0000000);
    for (int32_t d = 0; d < 10; ++d) {
        char digit[2] = {(char)('0' + d), 0};
        text(c, 33 + 18 * d, 5, digit, 3, WHITE, 0xFFC8D8F0, 0xC0000000);
    }
    return c;
}

// The spinner (0, 0)-(64, 64), the sign (64, 0)-(192, 64), the pointer (192, 0)-(232, 40).
Canvas drawNowLoading() {
    Canvas c = makeCanvas(256, 64, CLEAR);
    for (int32_t i = 0; i < 8; ++i) {
        float a = (float)i * 3.14159265f / 4;
        disc(c, 32 + 21 * std::cos(a), 32 + 21 * std::sin(a), 5.5f, withAlpha(GOLD, 0.25f + 0.75f * (float)i / 7), 0);
    }
    panel(c, 66, 14, 190, 50, 10, 0xC02C3A66, 0xC0141B36, withAlpha(GOLD, 0.9f), 2);
    textCentered(c, 128, 32, "LOADING...", 2, CREAM, GOLD, INK);
    // A pointer aimed to the right.
    for (int32_t y = 0; y < 40; ++y)
        for (int32_t x = 0; x < 40; ++x) {
            float fx = (float)x + 0.5f, fy = (float)y + 0.5f;
            float halfHeight = 18 - 18 * (fx - 4) / 32;
            float d = std::fmin(halfHeight - std::fabs(fy - 20), std::fmin(fx - 4, 36 - fx));
            if (d <= 0) continue;
            blend(c, 192 + x, y, withAlpha(d < 2.5f ? INK : mix(CREAM, GOLD, fy / 40), std::fmin(d, 1.0f)));
        }
    return c;
}

Canvas drawSaveWindow() {
    Canvas c = makeCanvas(512, 128, CLEAR);
    panel(c, 4, 4, 508, 124, 16, NAVY_TOP, NAVY_BOTTOM, GOLD, 3);
    gradientRect(c, 24, 12, 488, 14, 0x60FFFFFF, 0x20FFFFFF);
    return c;
}

Canvas drawWindowFrame() {
    Canvas c = makeCanvas(64, 64, CLEAR);
    panel(c, 0, 0, 64, 64, 12, NAVY_TOP, NAVY_BOTTOM, GOLD, 2);
    return c;
}

// The item window picture: the cells the save list, the HUD bar and the item
// screens read. A plain window (0, 0)-(456, 312); the slot plate (0, 320)-
// (640, 480); the summary plate (480, 0)-(768, 128) with its day dial (the
// hand turns about (532, 72) from up through left to down over the four day
// phases) and the hand itself (465, 129)-(495, 191); large digits (512 + 24 d,
// 144)-(536 + 24 d, 168), the comma (752, 144)-(776, 176) and the gold mark
// (776, 144)-(830, 174); the endless mark (288, 480)-(383, 575); the level
// digits (32 d, 848)-(32 d + 32, 888); the header plate (448, 816)-(688,
// 896); the arrows (448, 896)-(576, 944); the save band (704, 896)-(984, 936);
// the experience gauge's back (640, 544)-(832, 584); the item list's page
// tabs (0, 600)-(240, 677) and their one-page form (0, 680)-(240, 757), the
// header badges (240, 600 + 64 b)-(431, 663 + 64 b), the row highlight (440,
// 600)-(720, 638), the item choice bar (0, 800)-(240, 838) and the bonus
// glyphs (832 + 16 g, 24 k)-(848 + 16 g, 24 k + 24).
void border(Canvas& c, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t width, uint32_t colour);

// A cell of field/hud_cells.h as a flat panel.
void cellPanel(Canvas& c, const SpriteSource& cell, float radius, uint32_t fill, uint32_t edge, float width) {
    panel(c, (int32_t)cell.left, (int32_t)cell.top, (int32_t)cell.right, (int32_t)cell.bottom, radius, fill, fill, edge,
          width);
}

// The HUD's pieces of the item window picture, to the layout of
// field/hud_cells.h, where they leave the list window's pieces alone.
void drawHudPieces(Canvas& c) {
    fillRect(c, (int32_t)ITEMWIN_TICKER_BAND.left, (int32_t)ITEMWIN_TICKER_BAND.top, (int32_t)ITEMWIN_TICKER_BAND.right,
             (int32_t)ITEMWIN_TICKER_BAND.bottom, 0xC0101830);
    cellPanel(c, ITEMWIN_TICKER_LABEL, 10, 0xF0344878, GOLD, 2);
    textCentered(c, 112, 496, "NEWS", 2, CREAM, GOLD, INK);
    cellPanel(c, ITEMWIN_FIRST_MENU_ROW, 14, 0xFFE0D8C0, GOLD_DARK, 2);
    for (int32_t b = 0; b < 2; ++b) {
        float cx = ITEMWIN_MARKER_LEFT + 96 * b + 48, cy = ITEMWIN_MARKER_TOP + 48;
        Point arrow[3] = {{cx - 14, cy - 30 + 6 * b}, {cx + 14, cy - 30 + 6 * b}, {cx, cy - 8 + 6 * b}};
        polygon(c, arrow, 3, b ? GOLD : 0xFFFFE070);
    }
    cellPanel(c, ITEMWIN_SHELF_LABEL, 12, 0xE0181008, GOLD, 2);
    fillRect(c, (int32_t)ITEMWIN_EXP_FILL.left, (int32_t)ITEMWIN_EXP_FILL.top + 12, (int32_t)ITEMWIN_EXP_FILL.right,
             (int32_t)ITEMWIN_EXP_FILL.bottom - 12, 0xFF50C8F0);
    border(c, (int32_t)ITEMWIN_EXP_FRAME.left, (int32_t)ITEMWIN_EXP_FRAME.top, (int32_t)ITEMWIN_EXP_FRAME.right,
           (int32_t)ITEMWIN_EXP_FRAME.bottom, 2, GOLD);
    cellPanel(c, ITEMWIN_LEVEL_TAG, 10, 0xF0A02830, GOLD, 2);
    textCentered(c, 736, 435, "LEVEL UP!", 2, 0xFFFFF4C8, GOLD, INK);
    cellPanel(c, ITEMWIN_FLOOR_PLATE, 10, 0xF0344878, GOLD, 2);
    for (int32_t d = 0; d < 10; ++d) {
        char digit[2] = {(char)('0' + d), 0};
        text(c, (int32_t)ITEMWIN_FLOOR_DIGIT_LEFT + 24 * d + 2, (int32_t)ITEMWIN_FLOOR_DIGIT_TOP + 4, digit, 3, WHITE,
             CREAM, INK);
        text(c, 32 * d + 4, (int32_t)ITEMWIN_COMBO_DIGIT_TOP + 6, digit, 3, 0xFFFFE070, 0xFFFF9040, INK);
    }
    text(c, (int32_t)ITEMWIN_FLOOR_LETTER.left + 4, (int32_t)ITEMWIN_FLOOR_LETTER.top + 4, "F", 3, WHITE, CREAM, INK);
    textCentered(c, 368, 980, "HITS", 2, 0xFFFFE070, 0xFFFF9040, INK);
    // The top bar's place pictures: the adventurers' guild, the shop (from
    // the town, on its own menu, before the town is known) and the town.
    static const char* const PLACES[TOP_BAR_PLACE_COUNT] = {"ADV GUILD", "SHOP", "SHOP", "SHOP", "TOWN"};
    for (int32_t k = 0; k < TOP_BAR_PLACE_COUNT; ++k) {
        SpriteSource cell = itemWinPlaceCell(k);
        int32_t left = (int32_t)cell.left, top = (int32_t)cell.top;
        panel(c, left, top, left + (int32_t)ITEMWIN_PLACE_WIDTH, top + (int32_t)ITEMWIN_PLACE_HEIGHT, 14, 0xF05A4630,
              0xF02E2016, GOLD, 2.5f);
        textCentered(c, left + (int32_t)ITEMWIN_PLACE_WIDTH / 2, top + 40, PLACES[k], k == 0 ? 2 : 3, CREAM, GOLD, INK);
    }
}

Canvas drawItemWindow() {
    Canvas c = makeCanvas(1024, 1024, CLEAR);
    panel(c, 0, 0, 456, 312, 18, NAVY_TOP, NAVY_BOTTOM, GOLD, 3);

    panel(c, 2, 322, 638, 478, 20, 0xF0344878, 0xF0161E3C, GOLD, 3);
    panel(c, 8, 376, 64, 412, 8, 0xF0101830, 0xF0101830, GOLD_DARK, 1.5f);
    gradientRect(c, 420, 340, 422, 460, withAlpha(GOLD, 0.5f), withAlpha(GOLD, 0.1f));

    panel(c, 482, 2, 766, 126, 16, 0xF05A4630, 0xF02E2016, GOLD, 2.5f);
    panel(c, 568, 18, 758, 58, 10, 0xE0181008, 0xE0181008, GOLD_DARK, 1.5f);
    static const uint32_t PHASES[4] = {0xFFF4E4A0, 0xFF78B8F0, 0xFFF09050, 0xFF303A80};
    for (int32_t y = 24; y < 122; ++y)
        for (int32_t x = 484; x < 536; ++x) {
            float dx = (float)x + 0.5f - 532, dy = (float)y + 0.5f - 72;
            float d = std::hypot(dx, dy);
            float theta = std::atan2(-dy, dx) * 180.0f / 3.14159265f;
            if (theta < 0) theta += 360;
            if (d > 46 || theta < 60 || theta > 300) continue;
            int32_t phase = std::min((int32_t)((theta - 60) / 60), 3);
            blend(c, x, y, withAlpha(d > 43 ? GOLD : PHASES[phase], std::fmin(46 - d, 1.0f)));
        }
    disc(c, 532, 72, 5, GOLD, 0);
    text(c, 548, 60, "DAY", 2, CREAM, GOLD, INK);

    Point hand[3] = {{480, 131}, {486.5f, 181}, {473.5f, 181}};
    polygon(c, hand, 3, INK);
    Point needle[3] = {{480, 134}, {484.5f, 180}, {475.5f, 180}};
    polygon(c, needle, 3, 0xFFD04030);
    disc(c, 480, 181, 6, GOLD, 0);

    for (int32_t d = 0; d < 10; ++d) {
        char digit[2] = {(char)('0' + d), 0};
        text(c, 512 + 24 * d + 4, 145, digit, 3, WHITE, CREAM, INK);
    }
    disc(c, 763, 161, 3.5f, CREAM, 0);
    line(c, 765, 163, 760, 170, CREAM);
    disc(c, 814, 159, 13, GOLD_DARK, 0);
    disc(c, 814, 159, 11, GOLD, 0);
    textCentered(c, 814, 159, "G", 2, 0xFF5A3A10, 0xFF5A3A10);

    disc(c, 335.5f, 527.5f, 46, GOLD, 0);
    disc(c, 335.5f, 527.5f, 42, 0xFF2C2A5C, 0);
    for (float side : {-1.0f, 1.0f})
        for (int32_t y = 500; y < 556; ++y)
            for (int32_t x = 300; x < 372; ++x) {
                float d = std::hypot((float)x + 0.5f - (335.5f + 14 * side), (float)y + 0.5f - 527.5f);
                float ring = 3.5f - std::fabs(d - 12);
                if (ring > 0) blend(c, x, y, withAlpha(0xFFF6E6A8, std::fmin(ring, 1.0f)));
            }

    for (int32_t d = 0; d < 10; ++d) {
        char digit[2] = {(char)('0' + d), 0};
        text(c, 32 * d + 6, 854, digit, 4, 0xFFFFF4C8, 0xFFD09A30, INK, 2);
    }
    panel(c, 448, 816, 688, 896, 14, 0xF04A3A20, 0xF02A1E10, GOLD, 3);
    Point up[3] = {{480, 900}, {508, 940}, {452, 940}};
    Point down[3] = {{516, 900}, {572, 900}, {544, 940}};
    polygon(c, up, 3, GOLD);
    polygon(c, down, 3, GOLD);
    for (int32_t x = 704; x < 984; ++x) {
        float fade = std::fmin((float)(x - 704), (float)(983 - x)) / 40;
        gradientRect(c, x, 900, x + 1, 932, withAlpha(0xFFFFF0B0, std::fmin(fade, 1.0f)),
                     withAlpha(GOLD, std::fmin(fade, 1.0f)));
    }
    panel(c, 640, 544, 832, 584, 10, 0xE0222A40, 0xE0101420, GOLD_DARK, 2);

    drawHudPieces(c);

    // The list window's pieces.
    for (int32_t variant = 0; variant < 2; ++variant) {
        int32_t top = 600 + 80 * variant;
        panel(c, 0, top, 240, top + 77, 12, 0xF04A3A20, 0xF04A3A20, GOLD, 2);
        for (int32_t tab = 0; tab < (variant == 0 ? 3 : 1); ++tab)
            panel(c, 16 + 72 * tab, top + 40, 80 + 72 * tab, top + 70, 6, CREAM, CREAM, GOLD_DARK, 1.5f);
    }
    static const char* const BADGES[3] = {"VENDER", "EMPTY", "STOCKED"};
    for (int32_t b = 0; b < 3; ++b) {
        panel(c, 240, 600 + 64 * b, 431, 663 + 64 * b, 12, 0xF05A4630, 0xF05A4630, GOLD, 2);
        textCentered(c, 335, 631 + 64 * b, BADGES[b], 3, CREAM, CREAM, INK);
    }
    fillRect(c, 440, 600, 720, 638, WHITE);
    panel(c, 0, 800, 240, 838, 10, 0xF0344878, 0xF0344878, GOLD, 2);
    // Bonus number glyphs: 0..9, + and -, a row per bonus kind.
    static const uint32_t KINDS[4] = {0xFFFFE070, 0xFFFF9040, 0xFF70E0FF, WHITE};
    for (int32_t k = 0; k < 4; ++k)
        for (int32_t g = 0; g < 12; ++g) {
            char glyph[2] = {g < 10 ? (char)('0' + g) : g == 10 ? '+' : '-', 0};
            textCentered(c, 832 + 16 * g + 8, 24 * k + 12, glyph, 2, KINDS[k], KINDS[k], INK);
        }
    return c;
}

// The shop-mode sheet, to the layout of shop/window_cells.h: the item window
// (0, 0)-(176, 176), the price panel (176, 0)-(608, 176), the speech panel
// (0, 176)-(448, 352), the title window (608, 0)-(767, 95), the choice plate
// (768, 0)-(960, 48), the order plate (768, 48)-(1008, 88), the comparison
// panel (768, 96)-(1008, 210), price digits (32 d, 352)-(32 d + 32, 392), the
// digit cursor (320, 352)-(352, 400), five "more" arrow frames from (448,
// 176) 64 apart, the bonus labels (448, 240 + 24 k)-(576, 264 + 24 k) and
// the market's cells (tools/market_pictures.h).
Canvas drawShopMode() {
    Canvas c = makeCanvas(1024, 512, CLEAR);
    panel(c, 0, 0, 176, 176, 16, NAVY_TOP, NAVY_TOP, GOLD, 3);
    panel(c, 176, 0, 608, 176, 18, NAVY_TOP, NAVY_TOP, GOLD, 3);
    panel(c, 0, 176, 448, 352, 20, NAVY_TOP, NAVY_TOP, GOLD, 3);
    panel(c, 608, 0, 767, 95, 14, NAVY_TOP, NAVY_TOP, GOLD, 3);
    panel(c, 768, 0, 960, 48, 12, CREAM, CREAM, GOLD_DARK, 2);
    panel(c, 768, 48, 1008, 88, 10, 0xF04A3A20, 0xF04A3A20, GOLD, 2);
    panel(c, 768, 96, 1008, 210, 14, NAVY_TOP, NAVY_TOP, GOLD, 3);
    for (int32_t d = 0; d < 10; ++d) {
        char digit[2] = {(char)('0' + d), 0};
        textCentered(c, 32 * d + 16, 372, digit, 4, CREAM, CREAM, INK, 2);
    }
    Point up[3] = {{336, 353}, {346, 363}, {326, 363}};
    Point down[3] = {{326, 389}, {346, 389}, {336, 399}};
    polygon(c, up, 3, GOLD);
    polygon(c, down, 3, GOLD);
    for (int32_t f = 0; f < 5; ++f) {
        float x = 448.0f + 64.0f * (float)f, y = 176.0f + 4.0f * (float)(f < 3 ? f : 5 - f);
        Point arrow[3] = {{x + 16, y + 24}, {x + 48, y + 24}, {x + 32, y + 44}};
        polygon(c, arrow, 3, GOLD);
    }
    static const char* const BONUS[4] = {"PERFECT", "COMBO", "NEAR", "TOTAL"};
    for (int32_t k = 0; k < 4; ++k) {
        panel(c, 448, 240 + 24 * k, 576, 263 + 24 * k, 8, 0xF04A3A20, 0xF04A3A20, GOLD_DARK, 1.5f);
        textCentered(c, 512, 252 + 24 * k, BONUS[k], 2, CREAM, CREAM);
    }
    drawMarketCells(c);
    return c;
}

// Popup backgrounds; the plates (288, 352)-(488, 384) and, below, the skip hint.
Canvas drawDataWindow() {
    Canvas c = makeCanvas(512, 512, CLEAR);
    panel(c, 0, 0, 512, 344, 18, NAVY_TOP, NAVY_BOTTOM, GOLD, 3);
    panel(c, 290, 353, 486, 383, 8, 0xD0222A40, 0xD0101420, GOLD_DARK, 1.5f);
    panel(c, 290, 385, 486, 415, 8, 0xD0222A40, 0xD0101420, GOLD_DARK, 1.5f);
    textCentered(c, 388, 400, "SKIP: ESC", 2, CREAM, GOLD, INK);
    return c;
}

// Gauge bars a row each: frame, then fills in several colours.
Canvas drawGauges(int32_t width, int32_t height, uint32_t first, uint32_t second) {
    Canvas c = makeCanvas(width, height, CLEAR);
    for (int32_t y = 0; y + 32 <= height && y < 352; y += 40) {
        uint32_t fill = (y / 40) % 2 ? second : first;
        panel(c, 4, y + 4, width - 4, y + 32, 8, 0xE0181C28, 0xE0080A10, GOLD_DARK, 2);
        panel(c, 8, y + 8, width - 8, y + 28, 6, mix(fill, WHITE, 0.35f), fill, withAlpha(fill, 0.0f), 0);
    }
    return c;
}

// The dungeon HUD's enemy panel, to the ENEHP cells of field/hud_cells.h: a
// frame with room for the icon at its left, the HP bar's back and its red
// fill, the level label and its digits.
Canvas drawEnemyPanel() {
    Canvas c = makeCanvas(512, 256, CLEAR);
    panel(c, (int32_t)ENEHP_FRAME.left + 2, (int32_t)ENEHP_FRAME.top + 2, (int32_t)ENEHP_FRAME.right - 2,
          (int32_t)ENEHP_FRAME.bottom - 2, 12, 0x00000000, 0x00000000, GOLD, 3);
    cellPanel(c, ENEHP_BAR_BACK, 6, 0xE0181C28, GOLD_DARK, 1.5f);
    panel(c, (int32_t)ENEHP_BAR_FILL.left, (int32_t)ENEHP_BAR_FILL.top, (int32_t)ENEHP_BAR_FILL.right,
          (int32_t)ENEHP_BAR_FILL.bottom, 6, 0xFFF06050, 0xFFB02020, CLEAR, 0);
    textCentered(c, (int32_t)(ENEHP_LEVEL_LABEL.left + ENEHP_LEVEL_LABEL.right) / 2,
                 (int32_t)(ENEHP_LEVEL_LABEL.top + ENEHP_LEVEL_LABEL.bottom) / 2, "LV", 1, CREAM, GOLD, INK);
    for (int32_t d = 0; d < 10; ++d) {
        char digit[2] = {(char)('0' + d), 0};
        textCentered(c, (int32_t)ENEHP_DIGIT_LEFT + 24 * d + 12, (int32_t)ENEHP_DIGIT_TOP + 12, digit, 2, CREAM, GOLD,
                     INK);
    }
    return c;
}

// A head and shoulders on a tinted plate.
Canvas drawPortrait(uint32_t hue) {
    Canvas c = makeCanvas(80, 80, CLEAR);
    panel(c, 2, 2, 78, 78, 10, mix(hue, WHITE, 0.3f), mix(hue, BLACK, 0.4f), GOLD, 2);
    Canvas figure = makeCanvas(80, 80, CLEAR);
    disc(figure, 40, 86, 30, mix(hue, BLACK, 0.2f), 0);
    disc(figure, 40, 34, 16, 0xFFF2D6B8, 0);
    for (int32_t y = 0; y < 80; ++y)
        for (int32_t x = 0; x < 80; ++x)
            if (insideRounded((float)x + 0.5f, (float)y + 0.5f, 4, 4, 76, 76, 8) > 0) blend(c, x, y, figure.pixels[(size_t)y * 80 + x]);
    return c;
}

void blit(Canvas& to, int32_t x0, int32_t y0, const Canvas& from) {
    for (int32_t y = 0; y < from.height; ++y)
        for (int32_t x = 0; x < from.width; ++x) blend(to, x0 + x, y0 + y, from.pixels[(size_t)y * from.width + x]);
}

// The emotion icons over a character's head, 48 x 48 each from
// HPMP_EMOTION_LEFT, four a row: a speech bubble with a mark, so the
// prompt's kind reads at a glance (0 "!" at the counter, 1 "..." to talk,
// 7 an arrow out of the door; the others a "?" and a few moods).
void drawEmotionIcons(Canvas& c) {
    const int32_t left = (int32_t)HPMP_EMOTION_LEFT;
    fillRect(c, left, 0, left + 192, 96, CLEAR);
    static const char* const MARKS[8] = {"!", "...", "?", "!!", "*", "~", "+", ""};
    for (int32_t cell = 0; cell < 8; ++cell) {
        int32_t x0 = left + (cell % 4) * 48, y0 = (cell / 4) * 48;
        panel(c, x0 + 3, y0 + 3, x0 + 45, y0 + 35, 10, 0xFFFFFFFF, 0xFFE8E4D8, INK, 2);
        Point tail[3] = {{(float)x0 + 30, (float)y0 + 33}, {(float)x0 + 40, (float)y0 + 33}, {(float)x0 + 41, (float)y0 + 45}};
        polygon(c, tail, 3, INK);
        if (cell == 7) {
            // A door with an arrow leaving it.
            fillRect(c, x0 + 10, y0 + 8, x0 + 22, y0 + 31, 0xFF8A5A2C);
            disc(c, x0 + 19, y0 + 20, 1.5f, GOLD, 0);
            Point arrow[3] = {{(float)x0 + 36, (float)y0 + 19}, {(float)x0 + 28, (float)y0 + 12}, {(float)x0 + 28, (float)y0 + 26}};
            fillRect(c, x0 + 22, y0 + 17, x0 + 29, y0 + 22, 0xFF2A8A3C);
            polygon(c, arrow, 3, 0xFF2A8A3C);
        } else {
            textCentered(c, x0 + 24, y0 + 19, MARKS[cell], 2, 0xFFD03030, 0xFF902020);
        }
    }
}

// Gauges above, and eleven 80 x 80 portraits from y 352, six a row; in the
// twelfth place the level-up heart (400, 432)-(464, 496); the emotion icons
// at the top right.
Canvas drawHpMpBase() {
    Canvas c = drawGauges(512, 512, 0xFF3DBE5A, 0xFF3D7ADE);
    drawEmotionIcons(c);
    static const uint32_t HUES[11] = {0xFFD05050, 0xFF50A0D0, 0xFF60C070, 0xFFD0A040, 0xFFA070D0, 0xFF50C0B0,
                                      0xFFD07090, 0xFF8090A0, 0xFFC08050, 0xFF7080E0, 0xFFB0C050};
    for (int32_t i = 0; i < 11; ++i) blit(c, (i % 6) * 80, 352 + (i / 6) * 80, drawPortrait(HUES[i]));
    disc(c, 420, 456, 14, 0xFFE04060, 0);
    disc(c, 444, 456, 14, 0xFFE04060, 0);
    Point tip[3] = {{407, 462}, {457, 462}, {432, 490}};
    polygon(c, tip, 3, 0xFFE04060);
    return c;
}

Canvas drawExperienceRing() {
    Canvas c = makeCanvas(128, 128, CLEAR);
    for (int32_t y = 0; y < 128; ++y)
        for (int32_t x = 0; x < 128; ++x) {
            float d = std::hypot((float)x + 0.5f - 64, (float)y + 0.5f - 64);
            float edge = std::fmin(d - 44, 62 - d);
            if (edge > 0) blend(c, x, y, withAlpha(mix(GOLD, 0xFFFFF4C0, (d - 44) / 18), std::fmin(edge, 1.0f)));
        }
    return c;
}

// Gems of eight hues, 64 x 64 cells, eight a row.
Canvas drawMagicGems() {
    Canvas c = makeCanvas(512, 256, CLEAR);
    static const uint32_t HUES[8] = {0xFFE04848, 0xFF48A0E8, 0xFF58D068, 0xFFE8C848,
                                     0xFFB068E0, 0xFF48D0C8, 0xFFF08838, 0xFFE8E8F0};
    for (int32_t cell = 0; cell < 32; ++cell) {
        int32_t ox = (cell % 8) * 64, oy = (cell / 8) * 64;
        uint32_t hue = HUES[cell % 8];
        float size = 18 + 2 * (float)(cell / 8);
        for (int32_t y = 0; y < 64; ++y)
            for (int32_t x = 0; x < 64; ++x) {
                float dx = std::fabs((float)x + 0.5f - 32), dy = std::fabs((float)y + 0.5f - 32);
                float d = size - dx - dy * 0.8f;
                if (d <= 0) continue;
                uint32_t colour = mix(mix(hue, WHITE, 0.6f), mix(hue, BLACK, 0.3f), ((float)y + (float)x * 0.5f) / 96);
                blend(c, ox + x, oy + y, withAlpha(d < 1.5f ? mix(hue, BLACK, 0.5f) : colour, std::fmin(d, 1.0f)));
            }
    }
    return c;
}

// Glows on black for additive drawing, a grid of cells of the given size.
Canvas drawGlows(int32_t width, int32_t height, int32_t cell, float power) {
    Canvas c = makeCanvas(width, height, BLACK);
    static const uint32_t HUES[6] = {0xFFFFE0A0, 0xFFA0D0FF, 0xFFFFA080, 0xFFB0FFB0, 0xFFE0A0FF, 0xFFFFFFFF};
    int32_t n = 0;
    for (int32_t y = 0; y + cell <= height; y += cell)
        for (int32_t x = 0; x + cell <= width; x += cell, ++n)
            for (int32_t py = 0; py < cell; ++py)
                for (int32_t px = 0; px < cell; ++px) {
                    float d = std::hypot((float)px + 0.5f - (float)cell / 2, (float)py + 0.5f - (float)cell / 2);
                    float t = 1 - d / ((float)cell / 2 - 1);
                    if (t <= 0) continue;
                    // Quantised, so the picture stays within one palette.
                    t = std::round(std::pow(t, power) * 24) / 24;
                    set(c, x + px, y + py, mix(BLACK, HUES[n % 6], t));
                }
    return c;
}

// One cell of the flare atlas, on black for additive drawing: a glow whose
// brightness falls from the centre by the power given, plus a ring at the
// given fraction of the radius (0: none).
void flareCell(Canvas& c, int32_t x0, int32_t y0, int32_t size, uint32_t hue, float power, float ring) {
    float half = (float)size / 2;
    for (int32_t py = 0; py < size; ++py)
        for (int32_t px = 0; px < size; ++px) {
            float d = std::hypot((float)px + 0.5f - half, (float)py + 0.5f - half) / (half - 1);
            float t = d < 1 ? std::pow(1 - d, power) : 0.0f;
            if (ring > 0 && d < 1) t += 0.6f * std::exp(-std::pow((d - ring) / 0.06f, 2.0f));
            set(c, x0 + px, y0 + py, mix(BLACK, hue, std::fmin(t, 1.0f)));
        }
}

// The lens flare's atlas: the sun's glare with its rays top left, the six
// flare cells on the row from y = 64, the moon and the setting sun below.
Canvas drawFlareAtlas() {
    Canvas c = makeCanvas(256, 256, BLACK);
    flareCell(c, 0, 0, 64, 0xFFFFF4D0, 2.0f, 0.0f);
    for (int32_t i = 0; i < 6; ++i) {
        float a = (float)i * 3.14159265f / 6;
        for (float r = 4; r < 30; r += 0.5f) {
            uint32_t ray = mix(BLACK, 0xFFFFF0C0, 0.5f * (1 - r / 30));
            for (int32_t side = -1; side <= 1; side += 2) {
                int32_t x = (int32_t)(32 + side * r * std::cos(a)), y = (int32_t)(32 + side * r * std::sin(a));
                uint32_t old = c.pixels[(size_t)(y * 256 + x)];
                if (channel(ray, 16) > channel(old, 16)) set(c, x, y, ray);
            }
        }
    }
    flareCell(c, 0, 64, 64, 0xFF8090C0, 3.0f, 0.8f);
    flareCell(c, 64, 64, 64, 0xFF90C0A0, 0.5f, 0.0f);
    flareCell(c, 128, 64, 32, 0xFFA0B0FF, 1.0f, 0.0f);
    flareCell(c, 160, 64, 32, 0xFFC0A0E0, 4.0f, 0.75f);
    flareCell(c, 192, 64, 32, 0xFFFFC080, 1.5f, 0.0f);
    flareCell(c, 224, 64, 32, 0xFF808080, 1.0f, 0.0f);
    // The moon: a pale disc with a faint halo.
    flareCell(c, 0, 128, 128, 0xFF506080, 1.5f, 0.0f);
    for (int32_t py = 0; py < 128; ++py)
        for (int32_t px = 0; px < 128; ++px) {
            float d = std::hypot((float)px + 0.5f - 64, (float)py + 0.5f - 64);
            float edge = std::fmin(std::fmax(20.5f - d, 0.0f), 1.0f);
            if (edge > 0) set(c, px, 128 + py, mix(c.pixels[(size_t)((128 + py) * 256 + px)], 0xFFE8ECF8, edge));
        }
    flareCell(c, 128, 128, 128, 0xFFFF9040, 1.2f, 0.0f);
    return c;
}

Canvas drawCobweb() {
    Canvas c = makeCanvas(128, 128, CLEAR);
    const uint32_t silk = 0xC0E8E8F0;
    for (int32_t i = 0; i < 8; ++i) {
        float a = (float)i * 3.14159265f / 4;
        line(c, 64, 64, 64 + 62 * std::cos(a), 64 + 62 * std::sin(a), silk);
    }
    for (int32_t ring = 1; ring <= 5; ++ring)
        for (int32_t i = 0; i < 8; ++i) {
            float a0 = (float)i * 3.14159265f / 4, a1 = (float)(i + 1) * 3.14159265f / 4;
            float r = 12.0f * (float)ring;
            line(c, 64 + r * std::cos(a0), 64 + r * std::sin(a0), 64 + r * std::cos(a1), 64 + r * std::sin(a1), silk);
        }
    return c;
}

// A crescent blade.
Canvas drawKatter() {
    Canvas c = makeCanvas(64, 64, CLEAR);
    for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 64; ++x) {
            float fx = (float)x + 0.5f, fy = (float)y + 0.5f;
            float d = std::fmin(28 - std::hypot(fx - 32, fy - 32), std::hypot(fx - 40, fy - 26) - 24);
            if (d > 0) blend(c, x, y, withAlpha(mix(WHITE, 0xFF90B0D0, fy / 64), std::fmin(d, 1.0f)));
        }
    return c;
}

// Zigzag sparks in four 64 x 64 cells, on black.
Canvas drawParalysisMarks() {
    Canvas c = makeCanvas(256, 64, BLACK);
    for (int32_t cell = 0; cell < 4; ++cell) {
        float ox = 64.0f * (float)cell;
        const float pts[5][2] = {{10, 8}, {34, 24}, {24, 34}, {52, 50}, {40, 56}};
        for (int32_t w = -1; w <= 1; ++w)
            for (int32_t i = 0; i < 4; ++i)
                line(c, ox + pts[i][0] + (float)w, pts[i][1] + (float)cell, ox + pts[i + 1][0] + (float)w,
                     pts[i + 1][1] + (float)cell, w == 0 ? 0xFFFFFFC0 : 0xFFE8C030);
    }
    return c;
}

// A dark blot fading into white, for modulated shadows.
Canvas drawShade() {
    Canvas c = makeCanvas(256, 256, WHITE);
    for (int32_t y = 0; y < 256; ++y)
        for (int32_t x = 0; x < 256; ++x) {
            float t = std::hypot((float)x + 0.5f - 128, (float)y + 0.5f - 128) / 120;
            set(c, x, y, mix(0xFF404040, WHITE, std::round(std::fmin(t * t, 1.0f) * 64) / 64));
        }
    return c;
}

// The title's background: a dusk sky over hills; the view climbs from the
// hills (y 360..840) to the stars at the top while the title waits.
Canvas drawTitleBackground() {
    Canvas c = makeCanvas(1024, 1024, BLACK);
    const uint32_t STOPS[4] = {0xFF080C28, 0xFF24205A, 0xFF6A3A78, 0xFFE89058};
    const float AT[4] = {0, 420, 690, 860};
    for (int32_t y = 0; y < 1024; ++y) {
        int32_t s = 0;
        while (s < 2 && (float)y > AT[s + 1]) ++s;
        float t = std::fmin(((float)y - AT[s]) / (AT[s + 1] - AT[s]), 1.0f);
        // Quantised steps keep the sky within the palette.
        uint32_t sky = mix(STOPS[s], STOPS[s + 1], std::round(t * 56) / 56);
        for (int32_t x = 0; x < 1024; ++x) set(c, x, y, sky);
    }
    Scatter scatter = {7};
    for (int32_t i = 0; i < 420; ++i) {
        int32_t x = (int32_t)(scatter.next() * 1023), y = (int32_t)(scatter.next() * scatter.next() * 700);
        set(c, x, y, scatter.next() < 0.3f ? WHITE : 0xFFB8C0E0);
    }
    for (int32_t y = 0; y < 1024; ++y)
        for (int32_t x = 0; x < 1024; ++x) {
            float d = std::hypot((float)x - 470, (float)y - 520);
            if (d < 34) set(c, x, y, std::hypot((float)x - 484, (float)y - 512) < 30 ? 0xFF2C2860 : 0xFFF4EED8);
        }
    for (int32_t x = 0; x < 1024; ++x) {
        float fx = (float)x;
        int32_t far = (int32_t)(780 + 26 * std::sin(fx / 97) + 14 * std::sin(fx / 31 + 1));
        int32_t near = (int32_t)(860 + 30 * std::sin(fx / 140 + 2) + 10 * std::sin(fx / 23));
        for (int32_t y = far; y < 1024; ++y) set(c, x, y, y < near ? 0xFF3A2A5C : 0xFF17122A);
    }
    return c;
}

Canvas drawTitleLogo() {
    Canvas c = makeCanvas(512, 256, CLEAR);
    gradientRect(c, 40, 150, 472, 152, withAlpha(GOLD, 0.9f), withAlpha(GOLD, 0.9f));
    textCentered(c, 256, 96, "TOLLIVAND", 7, 0xFFFFF4C8, 0xFFD09A30, 0xFF201428, 3);
    textCentered(c, 256, 176, "SHOP AND DUNGEON", 2, CREAM, CREAM, 0xC0201428);
    return c;
}

// The pictograms of the title's illustrations, centred on (cx, cy).
void drawPictogram(Canvas& c, int32_t n, float cx, float cy, uint32_t ink, uint32_t card) {
    switch (n) {
    case 0:     // New Game: a star
    case 4: {   // New Game+: a star with a plus
        float outer = n == 0 ? 40.0f : 32.0f, ox = n == 0 ? cx : cx - 16;
        Point star[10];
        for (int32_t i = 0; i < 10; ++i) {
            float a = -3.14159265f / 2 + (float)i * 3.14159265f / 5, r = i % 2 ? outer * 0.42f : outer;
            star[i] = Point{ox + r * std::cos(a), cy + r * std::sin(a)};
        }
        polygon(c, star, 10, ink);
        if (n == 4) textCentered(c, (int32_t)cx + 34, (int32_t)cy, "+", 7, ink, ink);
        break;
    }
    case 1: {   // Load: an open book
        Point left[4] = {{cx - 44, cy - 26}, {cx - 2, cy - 20}, {cx - 2, cy + 30}, {cx - 44, cy + 24}};
        Point right[4] = {{cx + 2, cy - 20}, {cx + 44, cy - 26}, {cx + 44, cy + 24}, {cx + 2, cy + 30}};
        polygon(c, left, 4, ink);
        polygon(c, right, 4, ink);
        for (int32_t k = 0; k < 3; ++k) {
            float y = cy - 8 + 12 * (float)k;
            line(c, cx - 36, y, cx - 10, y + 3, card);
            line(c, cx + 10, y + 3, cx + 36, y, card);
        }
        break;
    }
    case 2:   // Options: a gear
        for (int32_t k = 0; k < 8; ++k) turnedRect(c, cx, cy, 7, 38, (float)k * 3.14159265f / 8, ink);
        disc(c, cx, cy, 30, ink, 0);
        disc(c, cx, cy, 11, card, 0);
        break;
    case 3:   // Quit: an open door
        fillRect(c, (int32_t)cx - 26, (int32_t)cy - 40, (int32_t)cx + 26, (int32_t)cy + 40, ink);
        {
            Point leaf[4] = {{cx - 22, cy - 36}, {cx + 6, cy - 30}, {cx + 6, cy + 42}, {cx - 22, cy + 36}};
            polygon(c, leaf, 4, card);
        }
        disc(c, cx, cy + 4, 3.5f, ink, 0);
        break;
    case 5: {   // Records: a cup
        Point cup[6] = {{cx - 32, cy - 38}, {cx + 32, cy - 38}, {cx + 26, cy - 6},
                        {cx + 6, cy + 10},  {cx - 6, cy + 10},  {cx - 26, cy - 6}};
        polygon(c, cup, 6, ink);
        fillRect(c, (int32_t)cx - 5, (int32_t)cy + 8, (int32_t)cx + 5, (int32_t)cy + 28, ink);
        fillRect(c, (int32_t)cx - 24, (int32_t)cy + 28, (int32_t)cx + 24, (int32_t)cy + 38, ink);
        disc(c, cx - 34, cy - 22, 10, ink, 0);
        disc(c, cx + 34, cy - 22, 10, ink, 0);
        disc(c, cx - 34, cy - 22, 5, card, 0);
        disc(c, cx + 34, cy - 22, 5, card, 0);
        break;
    }
    case 6:   // Collection: a chest
        fillRect(c, (int32_t)cx - 44, (int32_t)cy - 8, (int32_t)cx + 44, (int32_t)cy + 34, ink);
        for (int32_t y = (int32_t)cy - 34; y < (int32_t)cy - 4; ++y)
            for (int32_t x = (int32_t)cx - 44; x < (int32_t)cx + 44; ++x) {
                float t = ((float)x + 0.5f - cx) / 44;
                if ((float)y + 0.5f > cy - 4 - 30 * std::sqrt(std::fmax(1 - t * t, 0.0f))) set(c, x, y, ink);
            }
        fillRect(c, (int32_t)cx - 44, (int32_t)cy - 8, (int32_t)cx + 44, (int32_t)cy - 4, card);
        fillRect(c, (int32_t)cx - 7, (int32_t)cy - 12, (int32_t)cx + 7, (int32_t)cy + 6, card);
        break;
    default: {   // Survival: a sword
        float a = -3.14159265f / 4;
        turnedRect(c, cx + 8, cy - 8, 6, 40, a, ink);
        turnedRect(c, cx - 20, cy + 20, 20, 4, a, ink);
        turnedRect(c, cx - 28, cy + 28, 4, 12, a, ink);
        disc(c, cx - 36, cy + 36, 6, ink, 0);
        break;
    }
    }
}

// The title's menu sheet: entry labels (224, 32 code)-(384, 32 code + 32),
// the highlight (0, 0)-(224, 112), the underline (0, 144)-(192, 160), the
// illustrations (224 x 128 at x 224 (n / 4), y 336 + 128 (n mod 4)) and the
// footer strip (0, 992)-(416, 1024).
Canvas drawTitleMenuSheet() {
    Canvas c = makeCanvas(512, 1024, CLEAR);
    static const char* const LABELS[9] = {"NEW GAME", "LOAD",       "OPTIONS", "QUIT",   "NEW GAME+",
                                          "NEW GAME", "SURVIVAL", "COLLECTION", "RECORDS"};
    for (int32_t code = 0; code < 9; ++code) {
        // All labels stand 21 texels high; the long ones are narrower.
        int32_t scaleX = textWidth(LABELS[code], 3) <= 150 ? 3 : 2;
        int32_t width = textWidth(LABELS[code], scaleX);
        textStretched(c, 304 - width / 2, 32 * code + 6, LABELS[code], scaleX, 3, WHITE, CREAM, 0xFF202040, 2);
    }
    for (int32_t y = 0; y < 112; ++y)
        for (int32_t x = 0; x < 224; ++x) {
            float dx = ((float)x + 0.5f - 112) / 112, dy = ((float)y + 0.5f - 56) / 56;
            float t = 1 - (dx * dx + dy * dy);
            if (t > 0) blend(c, x, y, withAlpha(0xFFFFE8A8, 0.55f * t * t));
        }
    for (int32_t x = 0; x < 192; ++x) {
        float fade = std::fmin((float)x, (float)(191 - x)) / 40;
        gradientRect(c, x, 150, x + 1, 154, withAlpha(GOLD, std::fmin(fade, 1.0f)),
                     withAlpha(GOLD_DARK, std::fmin(fade, 1.0f)));
    }
    static const uint32_t HUES[8] = {0xFF4A7AD0, 0xFF48A070, 0xFF8A6AC0, 0xFF8A8A9A,
                                     0xFFD0A040, 0xFFC05A5A, 0xFF40A8B0, 0xFFB04A80};
    for (int32_t n = 0; n < 8; ++n) {
        int32_t x = 224 * (n / 4), y = 336 + 128 * (n % 4);
        uint32_t card = mix(HUES[n], BLACK, 0.45f);
        panel(c, x + 8, y + 8, x + 216, y + 120, 16, withAlpha(mix(HUES[n], WHITE, 0.25f), 0.9f), withAlpha(card, 0.9f),
              GOLD, 2.5f);
        disc(c, (float)x + 112, (float)y + 64, 52, withAlpha(WHITE, 0.35f), 1.5f);
        drawPictogram(c, n, (float)x + 112, (float)y + 64, CREAM, mix(HUES[n], BLACK, 0.2f));
    }
    gradientRect(c, 0, 992, 416, 1024, 0x00000000, 0xA0000000);
    textCentered(c, 208, 1008, "ARROWS MOVE   Z CHOOSE   X BACK", 2, CREAM, CREAM, 0xC0000000);
    return c;
}

// The frame over the whole screen (0, 0)-(640, 480): a border, corner
// ornaments and a soft darkening toward the edges.
Canvas drawTitleFrame() {
    Canvas c = makeCanvas(1024, 512, CLEAR);
    for (int32_t y = 0; y < 480; ++y)
        for (int32_t x = 0; x < 640; ++x) {
            float edge = (float)std::min(std::min(x, 639 - x), std::min(y, 479 - y));
            if (edge < 60) blend(c, x, y, withAlpha(BLACK, 0.45f * (1 - edge / 60)));
        }
    for (int32_t i = 0; i < 3; ++i) {
        int32_t inset = 8 + i;
        uint32_t colour = i == 1 ? GOLD : GOLD_DARK;
        fillRect(c, inset, inset, 640 - inset, inset + 1, colour);
        fillRect(c, inset, 479 - inset, 640 - inset, 480 - inset, colour);
        fillRect(c, inset, inset, inset + 1, 480 - inset, colour);
        fillRect(c, 639 - inset, inset, 640 - inset, 480 - inset, colour);
    }
    const int32_t CORNERS[4][2] = {{20, 20}, {619, 20}, {20, 459}, {619, 459}};
    for (const auto& corner : CORNERS)
        for (int32_t y = -12; y <= 12; ++y)
            for (int32_t x = -12; x <= 12; ++x) {
                float d = 12 - (float)(std::abs(x) + std::abs(y));
                if (d > 0) blend(c, corner[0] + x, corner[1] + y, withAlpha(d < 3 ? GOLD_DARK : GOLD, std::fmin(d, 1.0f)));
            }
    return c;
}

// A board: the wide window of the save list, options and records, with a
// title band and plates down its right side.
Canvas drawBoard(int32_t width, int32_t height, int32_t boardW, int32_t boardH) {
    Canvas c = makeCanvas(width, height, CLEAR);
    panel(c, 0, 0, boardW, boardH, 20, NAVY_TOP, NAVY_BOTTOM, GOLD, 3);
    gradientRect(c, 16, 44, boardW - 16, 46, withAlpha(GOLD, 0.8f), withAlpha(GOLD, 0.8f));
    for (int32_t y = 8; boardW + 16 <= width && y + 40 <= height; y += 48)
        panel(c, boardW + 8, y, width - 8, y + 40, 10, 0xE04A3A20, 0xE02A1E10, GOLD, 2);
    return c;
}

// The pause sheet: the board, the menu's entry labels (story/pause_cells.h)
// down its right side, and the merchant level's plate (720, 368)-(864, 416)
// that the save list shows.
Canvas drawPauseSheet() {
    Canvas c = drawBoard(1024, 512, 640, 480);
    fillRect(c, 648, 0, 1024, 436, CLEAR);
    for (int32_t id = 0; id < PAUSE_LABEL_COUNT; ++id)
        for (int32_t lit = 0; lit < 2; ++lit) {
            int32_t x = PAUSE_LABEL_LEFT + PAUSE_LABEL_WIDTH * lit, y = PAUSE_LABEL_ROW * id;
            // The plate keeps to the cell's left 124 pixels: the column's
            // right-hand entries stand at x 512 and must end on the screen.
            panel(c, x, y, x + PAUSE_LABEL_PLATE, y + PAUSE_LABEL_HEIGHT - 1, 10, lit ? 0xF08A6A30 : 0xF04A3A20,
                  lit ? 0xF05A4A20 : 0xF02A1E10, GOLD, 2);
            textCentered(c, x + PAUSE_LABEL_PLATE / 2, y + PAUSE_LABEL_HEIGHT / 2, PAUSE_LABELS[id], 2, CREAM, GOLD, INK);
        }
    panel(c, 722, 370, 862, 414, 12, 0xF04A3A20, 0xF02A1E10, GOLD, 2);
    text(c, 740, 385, "SHOP LV", 2, CREAM, GOLD, INK);
    return c;
}

// The pause menu's month calendar: a heading and six weeks of seven days,
// columns 45 and rows 48 pixels apart from (24, 32), each day numbered, in
// the 380 x 380 corner the menu draws.
Canvas drawCalendar() {
    Canvas c = makeCanvas(512, 512, CLEAR);
    panel(c, 0, 0, 380, 380, 12, 0xF04A3A20, 0xF02A1E10, GOLD, 2);
    text(c, 150, 10, "MONTH", 2, CREAM, GOLD, INK);
    for (int32_t cell = 4; cell < 4 + 35; ++cell) {
        int32_t x = 24 + 45 * (cell % 7), y = 32 + 48 * (cell / 7);
        fillRect(c, x, y, x + 41, y + 44, 0xF0605030);
        char day[4];
        snprintf(day, sizeof day, "%d", cell - 3);
        // Numbered in the lower right corner: the menu's markers and the
        // payment figure lie over the cells' upper half.
        text(c, x + 41 - 3 - textWidth(day, 2), y + 44 - 4 - 14, day, 2, CREAM, GOLD, INK);
    }
    return c;
}

// ---- The scenes' own pictures ----
// Flat colour fields, hard-edged shapes and a name: the picture pack's LZW
// dictionary stops growing after 4,095 strings, so a picture stays small
// only while its rows repeat what came before (no ramps, no noise).

// A name plate centred on (cx, cy).
void namePlate(Canvas& c, int32_t cx, int32_t cy, const char* name, int32_t scale) {
    int32_t halfW = textWidth(name, scale) / 2 + 4 * scale, halfH = 7 * scale / 2 + 3 * scale;
    fillRect(c, cx - halfW, cy - halfH, cx + halfW, cy + halfH, GOLD_DARK);
    fillRect(c, cx - halfW + scale, cy - halfH + scale, cx + halfW - scale, cy + halfH - scale, INK);
    textCentered(c, cx, cy, name, scale, CREAM, CREAM);
}

// A frame of the given width just inside the edges.
void border(Canvas& c, int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t width, uint32_t colour) {
    fillRect(c, x0, y0, x1, y0 + width, colour);
    fillRect(c, x0, y1 - width, x1, y1, colour);
    fillRect(c, x0, y0, x0 + width, y1, colour);
    fillRect(c, x1 - width, y0, x1, y1, colour);
}

// A disc with a hard edge: no texel of a colour between the two.
void flatDisc(Canvas& c, float cx, float cy, float radius, uint32_t argb) {
    for (int32_t y = (int32_t)(cy - radius); y <= (int32_t)(cy + radius); ++y)
        for (int32_t x = (int32_t)(cx - radius); x <= (int32_t)(cx + radius); ++x)
            if (std::hypot((float)x + 0.5f - cx, (float)y + 0.5f - cy) < radius) set(c, x, y, argb);
}

// An opaque place: three bands of sky, the ground, three houses, a band
// along the top and the bottom and the place's name in the sky. sky is the
// upper band's colour; the lower bands lean toward glow. Only a few colour
// changes a row: most of these are BMP pictures, stored bottom row first.
Canvas drawBackdrop(int32_t width, int32_t height, uint32_t sky, uint32_t glow, uint32_t ground, const char* name) {
    Canvas c = makeCanvas(width, height, sky);
    int32_t horizon = height * 5 / 8;
    fillRect(c, 0, horizon / 2, width, horizon, mix(sky, glow, 0.5f));
    fillRect(c, 0, horizon * 3 / 4, width, horizon, glow);
    fillRect(c, 0, horizon, width, height, ground);
    uint32_t wall = mix(ground, BLACK, 0.35f), roof = mix(glow, BLACK, 0.5f);
    for (int32_t i = 0; i < 3; ++i) {
        int32_t x0 = width * (1 + 5 * i) / 16, x1 = x0 + width * 3 / 16;
        int32_t top = horizon - height * (3 + i % 2) / 16;
        fillRect(c, x0 - width / 64, top - height / 32, x1 + width / 64, top, roof);
        fillRect(c, x0, top, x1, horizon + height / 16, wall);
    }
    fillRect(c, 0, 0, width, 6, GOLD_DARK);
    fillRect(c, 0, height - 6, width, height, GOLD_DARK);
    // A backdrop wider than the screen shows its left 640 x 480 texels: its
    // plate sits at their top left, clear of the speakers' portraits, which
    // stand in the middle and on the right.
    if (width > 640 && height < 1024) {
        int32_t scale = 3;
        namePlate(c, textWidth(name, scale) / 2 + 4 * scale + 16, 40, name, scale);
    } else {
        namePlate(c, width / 2, height / 8, name, height >= 1024 ? 6 : 4);
    }
    return c;
}

// A figure on a clear ground: a flat body and head in its colour, its name
// below; drop lowers the figure by that many 32nds of the picture.
constexpr int32_t COUNTER_FIGURE_DROP = 3;

Canvas drawFigure(int32_t size, uint32_t hue, const char* name, int32_t drop) {
    Canvas c = makeCanvas(size, size, CLEAR);
    int32_t u = size / 32;
    int32_t d = drop * u;
    fillRect(c, 9 * u, 14 * u + d, 23 * u, 28 * u + d, mix(hue, BLACK, 0.5f));
    fillRect(c, 10 * u, 15 * u + d, 22 * u, 28 * u + d, hue);
    flatDisc(c, 16.0f * (float)u, 9.5f * (float)u + (float)d, 5.0f * (float)u, 0xFFF2D6B8);
    fillRect(c, 12 * u, 4 * u + d, 20 * u, 6 * u + d, mix(hue, BLACK, 0.4f));
    // At the counter a figure stands mirrored with the HUD's panels over its
    // foot, and the speech window names whoever speaks: no plate there.
    if (drop == 0) namePlate(c, size / 2, 28 * u, name, 3);
    return c;
}

// A window of plates: a flat board over the top left of the picture with its
// title in a band and a column of plates.
Canvas drawPlates(int32_t width, int32_t height, int32_t boardW, int32_t boardH, const char* title, int32_t plates) {
    Canvas c = makeCanvas(width, height, CLEAR);
    panel(c, 0, 0, boardW, boardH, 20, NAVY_TOP, NAVY_TOP, GOLD, 3);
    namePlate(c, boardW / 2, 28, title, 2);
    int32_t plateH = plates > 0 ? std::min((boardH - 64) / plates, 48) : 0;
    for (int32_t i = 0; i < plates; ++i)
        panel(c, 24, 56 + i * plateH, boardW - 24, 56 + (i + 1) * plateH - 8, 8, 0xF04A3A20, 0xF04A3A20, GOLD_DARK, 2);
    return c;
}

// Lines of story text on a clear ground, for the opening's message pages
// and the staff roll.
Canvas drawTextPage(int32_t width, int32_t height, const char* const* lines, int32_t count, int32_t scale) {
    Canvas c = makeCanvas(width, height, CLEAR);
    int32_t lineH = 12 * scale;
    int32_t top = height / 2 - count * lineH / 2;
    for (int32_t i = 0; i < count; ++i)
        textCentered(c, width / 2, top + i * lineH + lineH / 2, lines[i], scale, WHITE, WHITE, 0xC0000000, scale);
    return c;
}

// Seals: 128 x 128 red rings down the sheet, a letter in each.
// The day report's stamps, 128 x 128 one under the other: the ranks 0..4
// (best first), then "PAID" and "SHORT" (shop/window_cells.h).
Canvas drawSeals() {
    Canvas c = makeCanvas(128, 1024, CLEAR);
    static const char* const LABELS[8] = {"S", "A", "B", "C", "D", "PAID", "SHORT", ""};
    for (int32_t i = 0; i < 8; ++i) {
        int32_t cy = 64 + 128 * i;
        uint32_t ink = i == 6 ? 0xFF2848C0 : 0xFFC02828;
        for (int32_t y = cy - 60; y < cy + 60; ++y)
            for (int32_t x = 4; x < 124; ++x) {
                float d = std::hypot((float)x + 0.5f - 64, (float)(y - cy) + 0.5f);
                if (d >= 48 && d < 56) set(c, x, y, ink);
            }
        int32_t scale = strlen(LABELS[i]) > 1 ? 3 : 7;
        textCentered(c, 64, cy, LABELS[i], scale, ink, ink);
    }
    return c;
}

// The day report's sheet, to the layout of shop/window_cells.h: the log
// panel and its title plate, the scroll arrows, the payment board, the week
// banners and the board digits 0..9 , - S # P.
Canvas drawReportSheet() {
    Canvas c = makeCanvas(1024, 1024, CLEAR);
    panel(c, 0, 0, 224, 224, 16, NAVY_TOP, NAVY_BOTTOM, GOLD, 3);
    panel(c, 224, 0, 412, 64, 14, 0xF04A3A20, 0xF02A1E10, GOLD, 2.5f);
    Point up[3] = {{480, 6}, {506, 42}, {454, 42}};
    Point down[3] = {{454, 54}, {506, 54}, {480, 90}};
    polygon(c, up, 3, GOLD);
    polygon(c, down, 3, GOLD);
    panel(c, 0, 256, 512, 640, 24, 0xF05A4630, 0xF02E2016, GOLD, 4);
    text(c, 32, 256 + 128, "DUE", 3, CREAM, GOLD, INK);
    text(c, 32, 256 + 224, "PAID", 3, CREAM, GOLD, INK);
    gradientRect(c, 24, 256 + 184, 488, 256 + 186, withAlpha(GOLD, 0.8f), withAlpha(GOLD, 0.8f));
    for (int32_t week = 0; week < 6; ++week) {
        int32_t top = 256 + 40 * week;
        panel(c, 512, top, 832, top + 38, 10, 0xF0344878, 0xF0161E3C, GOLD_DARK, 2);
        char label[16];
        snprintf(label, sizeof label, "WEEK %d", week + 1);
        textCentered(c, 672, top + 19, label, 3, CREAM, GOLD, INK);
    }
    static const char GLYPHS_ROW[] = "0123456789,-S#P";
    for (int32_t g = 0; GLYPHS_ROW[g]; ++g) {
        char glyph[2] = {GLYPHS_ROW[g], 0};
        textCentered(c, 40 * g + 20, 704 + 20, glyph, 4, 0xFFFFF4C8, 0xFFD09A30, INK, 2);
    }
    return c;
}

// ---- Files ----

void appendBytes(void* context, void* data, int size) {
    std::vector<uint8_t>* out = static_cast<std::vector<uint8_t>*>(context);
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

// The canvas as the writer takes it: bytes R, G, B (and A), top row first.
std::vector<uint8_t> canvasBytes(const Canvas& c, int channels) {
    std::vector<uint8_t> bytes;
    bytes.reserve(c.pixels.size() * (size_t)channels);
    for (uint32_t argb : c.pixels) {
        bytes.push_back((uint8_t)(argb >> 16));
        bytes.push_back((uint8_t)(argb >> 8));
        bytes.push_back((uint8_t)argb);
        if (channels == 4) bytes.push_back((uint8_t)(argb >> 24));
    }
    return bytes;
}

// 32-bit run-length encoded TGA with its alpha, written bottom row first
// (the header says so); runs stay within a row.
std::vector<uint8_t> encodeTga(const Canvas& c) {
    std::vector<uint8_t> rgba = canvasBytes(c, 4);
    std::vector<uint8_t> out;
    stbi_write_tga_with_rle = 1;
    if (!stbi_write_tga_to_func(appendBytes, &out, c.width, c.height, 4, rgba.data())) out.clear();
    return out;
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back((uint8_t)v);
    out.push_back((uint8_t)(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// A bottom-up 8-bit run-length BMP: the picture pack's LZW dictionary stops
// growing after 4,095 strings, and a 24-bit picture of flat fields fills it
// long before its upper rows, which then pack worse than stored. Only runs
// of one index are written; empty when the picture has over 256 colours.
std::vector<uint8_t> encodeBmpRle8(const Canvas& c) {
    std::vector<uint32_t> palette;
    std::vector<uint8_t> indices(c.pixels.size());
    for (size_t i = 0; i < c.pixels.size(); ++i) {
        uint32_t rgb = c.pixels[i] & 0xFFFFFF;
        size_t n = std::find(palette.begin(), palette.end(), rgb) - palette.begin();
        if (n == palette.size()) {
            if (n == 256) return {};
            palette.push_back(rgb);
        }
        indices[i] = (uint8_t)n;
    }
    std::vector<uint8_t> stream;
    for (int32_t y = c.height - 1; y >= 0; --y) {
        const uint8_t* row = &indices[(size_t)y * c.width];
        for (int32_t x = 0; x < c.width;) {
            int32_t run = 1;
            while (x + run < c.width && run < 255 && row[x + run] == row[x]) ++run;
            stream.push_back((uint8_t)run);
            stream.push_back(row[x]);
            x += run;
        }
        stream.push_back(0);
        stream.push_back(y > 0 ? 0 : 1);   // end of line; after the top row, of the picture
    }
    uint32_t offset = 14 + 40 + 4 * (uint32_t)palette.size();
    std::vector<uint8_t> out = {'B', 'M'};
    put32(out, offset + (uint32_t)stream.size());
    put32(out, 0);
    put32(out, offset);
    put32(out, 40);
    put32(out, (uint32_t)c.width);
    put32(out, (uint32_t)c.height);
    put16(out, 1);    // planes
    put16(out, 8);    // bits
    put32(out, 1);    // run-length, 8 bits
    put32(out, (uint32_t)stream.size());
    put32(out, 2835);   // 72 dots an inch, both ways
    put32(out, 2835);
    put32(out, (uint32_t)palette.size());
    put32(out, 0);
    for (uint32_t rgb : palette) put32(out, rgb);   // blue, green, red, zero
    out.insert(out.end(), stream.begin(), stream.end());
    return out;
}

// BMP pictures are keyed: a texel with no alpha at all becomes the colour
// key, the others lose their alpha. Run-length encoded while the colours fit
// a palette, else a bottom-up 24-bit BMP.
std::vector<uint8_t> encodeBmp(Canvas c) {
    for (uint32_t& argb : c.pixels)
        if (!(argb >> 24)) argb = KEY;
    std::vector<uint8_t> out = encodeBmpRle8(c);
    if (!out.empty()) return out;
    std::vector<uint8_t> rgb = canvasBytes(c, 3);
    if (!stbi_write_bmp_to_func(appendBytes, &out, c.width, c.height, 3, rgb.data())) out.clear();
    return out;
}

struct PictureFile {
    std::string path;
    int32_t width;
    int32_t height;
    std::function<Canvas()> draw;
};

// The opening's message pages.
const char* const OPENING_PAGE_1[3] = {"LONG AGO A RED MOON", "ROSE OVER THE TOWN", "OF TOLLIVAND."};
const char* const OPENING_PAGE_2[3] = {"A SMALL SHOP OPENED", "AT THE EDGE OF", "THE NIGHT FOREST."};
const char* const EXTRA_PAGE_1[3] = {"IN THE OLD LIBRARY", "A BOOK WAITED", "TO BE OPENED."};
const char* const EXTRA_PAGE_2[3] = {"ITS PAGES TOLD", "OF ANOTHER SHOP", "AND ANOTHER DAY."};

const PictureFile PICTURES[] = {
    {"bmp/system.bmp", 128, 128, drawSystem},
    {"bmp/fps2.tga", 256, 32, drawFpsDigits},
    {"bmp/nowloading.tga", 256, 64, drawNowLoading},
    {"bmp/savewindow.tga", 512, 128, drawSaveWindow},
    {"bmp/window.tga", 64, 64, drawWindowFrame},
    {"bmp/item_win.tga", 1024, 1024, drawItemWindow},
    {"bmp/data_win.tga", 512, 512, drawDataWindow},
    {"bmp/pc_gage.tga", 512, 512, [] { return drawGauges(512, 512, 0xFF3DBE5A, 0xFFE0B040); }},
    {"bmp/hpmp_base.tga", 512, 512, drawHpMpBase},
    {"bmp/hpmp_exp.tga", 128, 128, drawExperienceRing},
    {"bmp/ene_hp2.tga", 512, 256, drawEnemyPanel},
    {"bmp/magicjem.tga", 512, 256, drawMagicGems},
    {"bmp/effect.bmp", 256, 256, [] { return drawGlows(256, 256, 64, 1.5f); }},
    {"bmp/kumonosu.tga", 128, 128, drawCobweb},
    {"bmp/katter.tga", 64, 64, drawKatter},
    {"bmp/effect_mahi.bmp", 256, 64, drawParalysisMarks},
    {"bmp/snow.bmp", 128, 128, [] { return drawGlows(128, 128, 128, 2.0f); }},
    {"bmp/effect_shot.bmp", 256, 256, [] { return drawGlows(256, 256, 32, 1.0f); }},
    {"bmp/shade.bmp", 256, 256, drawShade},
    {"bmp/flare.tga", 256, 256, drawFlareAtlas},
    // The effect image groups "ef/grp1.idx" names: soft glows in 64-texel
    // cells and sharp sparks in 32-texel cells.
    {"bmp/effect/ef_glow.bmp", 256, 256, [] { return drawGlows(256, 256, 64, 1.5f); }},
    {"bmp/effect/ef_spark.bmp", 256, 256, [] { return drawGlows(256, 256, 32, 3.0f); }},
    {"bmp/title_bg2.bmp", 1024, 1024, drawTitleBackground},
    {"bmp/title01.tga", 512, 256, drawTitleLogo},
    {"bmp/title_fuki.tga", 512, 1024, drawTitleMenuSheet},
    {"bmp/title_waku.tga", 1024, 512, drawTitleFrame},
    {"bmp/pause.tga", 1024, 512, drawPauseSheet},
    {"bmp/calendar.tga", 512, 512, drawCalendar},
    {"bmp/result_bord01.tga", 512, 256, [] { return drawBoard(512, 256, 512, 256); }},
    {"bmp/dungeonbord.tga", 1024, 512, [] { return drawBoard(1024, 512, 320, 360); }},

    // The opening.
    {"bmp/op/akaituki.bmp", 1024, 1024,
     [] {
         Canvas c = drawBackdrop(1024, 1024, 0xFF0C0A24, 0xFF4A1830, 0xFF1A1420, "RED MOON");
         flatDisc(c, 840, 230, 96, 0xFFC83028);
         return c;
     }},
    {"bmp/op/yorumori.bmp", 1024, 512, [] { return drawBackdrop(1024, 512, 0xFF0C1430, 0xFF1C3048, 0xFF14281C, "NIGHT FOREST"); }},
    {"bmp/op/messe01.tga", 1024, 1024, [] { return drawTextPage(1024, 1024, OPENING_PAGE_1, 3, 4); }},
    {"bmp/op/messe02.tga", 1024, 1024, [] { return drawTextPage(1024, 1024, OPENING_PAGE_2, 3, 4); }},
    {"bmp/op/yousei.bmp", 512, 512, [] { return drawFigure(512, 0xFF70D0C0, "FAIRY", 0); }},
    {"bmp/op/ex_op_lib.bmp", 1024, 512, [] { return drawBackdrop(1024, 512, 0xFF3A2418, 0xFF6A4828, 0xFF2A1A10, "LIBRARY"); }},
    {"bmp/op/ex_op_book.bmp", 1024, 512, [] { return drawBackdrop(1024, 512, 0xFF4A3420, 0xFFC8B088, 0xFF3A2818, "THE BOOK"); }},
    {"bmp/op/ex_messe01.tga", 1024, 1024, [] { return drawTextPage(1024, 1024, EXTRA_PAGE_1, 3, 4); }},
    {"bmp/op/ex_messe02.tga", 1024, 1024, [] { return drawTextPage(1024, 1024, EXTRA_PAGE_2, 3, 4); }},

    // The town map by morning, evening and night.
    {"bmp/worldmap_nomal.bmp", 1024, 512, [] { return drawTownMap(0); }},
    {"bmp/worldmap_yugata.bmp", 1024, 512, [] { return drawTownMap(1); }},
    {"bmp/worldmap_night.bmp", 1024, 512, [] { return drawTownMap(2); }},
    {"bmp/mappoint.tga", 256, 1024, drawTownMapIcons},

    // The day report.
    {"bmp/choushuu.tga", 1024, 1024, drawReportSheet},
    {"bmp/hanko.tga", 128, 1024, drawSeals},

    {"bmp/end/ending_bg.bmp", 1024, 1024, [] { return drawBackdrop(1024, 1024, 0xFF283C78, 0xFFE8A868, 0xFF3A5A30, "ENDING"); }},

    // The merchants' guild and the market.
    {"bmp/ivent/bg_guild.bmp", 1024, 512, [] { return drawBackdrop(1024, 512, 0xFF4A3020, 0xFF8A6038, 0xFF3A2818, "MERCHANTS GUILD"); }},
    {"bmp/ivent/13syounin_01.tga", 512, 512, [] { return drawFigure(512, 0xFF8A6A3A, "GUILD MASTER", 0); }},
    {"bmp/ivent/bg_ichiba.bmp", 1024, 512, [] { return drawBackdrop(1024, 512, 0xFF70A8E0, 0xFFB8D8F0, 0xFF9A8060, "MARKET"); }},
    {"bmp/ivent/bg_ichiba2.bmp", 1024, 512, [] { return drawBackdrop(1024, 512, 0xFF5A3870, 0xFFE89058, 0xFF6A5040, "MARKET"); }},
    {"bmp/ivent/01saffiel_04.tga", 512, 512, [] { return drawFigure(512, 0xFFB05070, "SAFFIEL", 0); }},
    {"bmp/ivent/02yoss_01.tga", 512, 512, [] { return drawFigure(512, 0xFF5070B0, "YOSS", 0); }},
    {"bmp/leve_win.tga", 512, 256, [] { return drawPlates(512, 256, 512, 256, "LEVEL", 3); }},
    {"bmp/mood_para.tga", 512, 512, [] { return drawPlates(512, 512, 512, 512, "MOOD", 4); }},
    // The dungeon floor's own pictures.
    {"bmp/map.bmp", 256, 512, [] { return drawBackdrop(256, 512, 0xFF203040, 0xFF305060, 0xFF203028, "MAP"); }},
    {"bmp/mahoujin.bmp", 128, 128,
     [] {
         Canvas c = makeCanvas(128, 128, KEY);
         flatDisc(c, 64, 64, 60, 0xFF6040C0);
         flatDisc(c, 64, 64, 48, KEY);
         flatDisc(c, 64, 64, 12, 0xFF6040C0);
         return c;
     }},
    {"bmp/dungeon_clear.tga", 512, 512, [] { return drawPlates(512, 512, 512, 256, "CLEAR", 0); }},
    {"bmp/shopmode.tga", 1024, 512, drawShopMode},

    // The customers' portraits at the counter, one face each. The figures
    // stand three 32nds lower than the others: the shopkeeper's head then
    // lies below the top bar, which the HUD draws over her portrait.
    {"bmp/cust/c00_0.tga", 512, 512, [] { return drawFigure(512, 0xFFB05070, "SHOPKEEPER", COUNTER_FIGURE_DROP); }},
    {"bmp/cust/c01_0.tga", 512, 512, [] { return drawFigure(512, 0xFF60A0C0, "PIP", COUNTER_FIGURE_DROP); }},
    {"bmp/cust/c10_0.tga", 512, 512, [] { return drawFigure(512, 0xFF8A9A40, "HOB", COUNTER_FIGURE_DROP); }},
    {"bmp/cust/c11_0.tga", 512, 512, [] { return drawFigure(512, 0xFF7080A0, "SIR BRAM", COUNTER_FIGURE_DROP); }},
    {"bmp/cust/c12_0.tga", 512, 512, [] { return drawFigure(512, 0xFFC080C0, "LADY MIRABEL", COUNTER_FIGURE_DROP); }},
    {"bmp/cust/c13_0.tga", 512, 512, [] { return drawFigure(512, 0xFF4A70B0, "ADA", COUNTER_FIGURE_DROP); }},

    // The adventurers' guild.
    {"bmp/boukenguild_bg.bmp", 1024, 512, [] { return drawBackdrop(1024, 512, 0xFF3A2A20, 0xFF7A5030, 0xFF2A2018, "ADVENTURERS GUILD"); }},
    {"bmp/brave_sel.tga", 512, 512, [] { return drawPlates(512, 512, 512, 512, "PARTY", 8); }},
    {"bmp/dungeonmap.tga", 1024, 512, drawDungeonMap},

    // The town's places.
    {"bmp/ivent/bg_kyoukai.bmp", 1024, 512, [] { return drawBackdrop(1024, 512, 0xFF88A8D8, 0xFFE8E0C8, 0xFF8A8A90, "CHURCH"); }},
    {"bmp/ivent/bg_hiro1.bmp", 1024, 512, [] { return drawBackdrop(1024, 512, 0xFF78B0E8, 0xFFC8E0F0, 0xFFA89070, "PLAZA"); }},
    {"bmp/ivent/bg_hiro2.bmp", 1024, 512, [] { return drawBackdrop(1024, 512, 0xFF6A4878, 0xFFF0A060, 0xFF806048, "PLAZA"); }},
    {"bmp/ivent/bg_hiro3.bmp", 1024, 512, [] { return drawBackdrop(1024, 512, 0xFF101838, 0xFF2A3A68, 0xFF302838, "PLAZA"); }},
    {"bmp/ivent/bg_sakaba.bmp", 1024, 512, [] { return drawBackdrop(1024, 512, 0xFF3A2010, 0xFFA06028, 0xFF4A3018, "TAVERN"); }},

    // The pause menu.
    {"bmp/pause_bg_safo.tga", 1024, 512, [] { return drawBackdrop(1024, 512, 0xFF2C3A66, 0xFF4A5A8A, 0xFF202838, "PAUSE"); }},
    {"bmp/pause_endless.tga", 1024, 512,
     [] {
         Canvas c = drawPauseSheet();
         namePlate(c, 320, 24, "ENDLESS", 2);
         return c;
     }},
};

// The eight adventurers, in their order: a picture of each and a sheet of
// their controls.
struct Adventurer {
    const char* picture;
    const char* controls;
    const char* name;
    uint32_t hue;
};
const Adventurer ADVENTURERS[8] = {
    {"bmp/st_vuror.tga", "bmp/sousa_vur.tga", "VUROR", 0xFFC04848},
    {"bmp/st_rerado.tga", "bmp/sousa_rer.tga", "RERADO", 0xFF4878C0},
    {"bmp/st_zirezuz.tga", "bmp/sousa_zir.tga", "ZIREZUZ", 0xFF48A060},
    {"bmp/st_zazuru.tga", "bmp/sousa_zaz.tga", "ZAZURU", 0xFFC0A040},
    {"bmp/st_zuzi.tga", "bmp/sousa_zuz.tga", "ZUZI", 0xFF9060C0},
    {"bmp/st_doda.tga", "bmp/sousa_dod.tga", "DODA", 0xFF40A8A8},
    {"bmp/st_dedar.tga", "bmp/sousa_ded.tga", "DEDAR", 0xFFC07040},
    {"bmp/st_zoze.tga", "bmp/sousa_zoz.tga", "ZOZE", 0xFF808898},
};

const char* const STAFF_LINES[5][3] = {
    {"STAFF", "", "TOLLIVAND TEAM"}, {"PROGRAM", "", "TOLLIVAND TEAM"}, {"PICTURES", "", "MAKEPICTURES"},
    {"SOUND", "", "MAKESOUNDS"},     {"THANK YOU", "", "FOR PLAYING!"},
};

// The field's characters: one 64 x 96 figure per frame, cut into six
// 32 x 32 cells (two columns, three rows) that lie on the sheet in list
// order, eight a row. Frames 0 to 4 stand facing front, front side, side,
// back side and back; 5 to 9 take a step. Every motion's layout in
// "bmp/chr/formdata.bin" is the same: frame f shows cells 0 to 5 from list
// entry 6 f. The background is the colour key.
constexpr int32_t FIGURE_FRAMES = 10;
constexpr int32_t FIGURE_CELLS = 6;
constexpr int32_t CHARACTER_SHEETS = 68;

struct FigureLook {
    uint32_t body;
    uint32_t hair;
    uint32_t skin;
    bool wings;
};

FigureLook figureLook(int32_t sheet) {
    switch (sheet) {
    case 0: return {0xFFC04060, 0xFF8A5030, 0xFFF2D6B8, false};   // the heroine
    case 1:
    case 2: return {0xFF60C0A0, 0xFFE8D060, 0xFFF2D6B8, true};    // the fairy
    case 3: return {0xFF8890A0, 0xFF4A3A30, 0xFFE8C8A8, false};   // the knight
    default: break;
    }
    uint32_t hue = mix(0xFF4060C0, 0xFFD08030, (float)(sheet % 7) / 6);
    return {mix(hue, 0xFF40A0B0, (float)(sheet % 3) / 3), mix(hue, BLACK, 0.6f), 0xFFE8C8A8, false};
}

Canvas drawFigureFrame(const FigureLook& look, int32_t frame) {
    Canvas c = makeCanvas(64, 96, KEY);
    int32_t facing = frame % 5;       // 0 front .. 4 back
    int32_t step = frame / 5;
    uint32_t dark = mix(look.body, BLACK, 0.45f);
    if (look.wings) {
        flatDisc(c, 18, 44, 12, 0xFFD8F0F8);
        flatDisc(c, 46, 44, 12, 0xFFD8F0F8);
    }
    // Legs, apart on a step.
    int32_t spread = step ? 6 : 2;
    fillRect(c, 32 - spread - 8, 66, 32 - spread, 92, dark);
    fillRect(c, 32 + spread, 66, 32 + spread + 8, 92, dark);
    fillRect(c, 20, 38, 44, 70, look.body);
    fillRect(c, 20, 66, 44, 70, dark);
    flatDisc(c, 32, 24, 14, look.skin);
    // Hair over the top, over all of the head from behind.
    fillRect(c, 18, 9, 46, facing == 4 ? 36 : 17, look.hair);
    if (facing == 3) fillRect(c, 18, 9, 38, 32, look.hair);
    // Eyes move toward the side the figure faces.
    int32_t shift = facing == 1 ? 4 : (facing == 2 ? 8 : 0);
    if (facing <= 2) {
        if (facing < 2) fillRect(c, 25 + shift, 22, 28 + shift, 27, INK);
        fillRect(c, 36 + shift, 22, 39 + shift, 27, INK);
    }
    return c;
}

Canvas drawCharacterSheet(int32_t sheet) {
    Canvas c = makeCanvas(256, 256, KEY);
    FigureLook look = figureLook(sheet);
    for (int32_t f = 0; f < FIGURE_FRAMES; ++f) {
        Canvas figure = drawFigureFrame(look, f);
        for (int32_t k = 0; k < FIGURE_CELLS; ++k) {
            int32_t index = FIGURE_CELLS * f + k;
            int32_t sx = index % 8 * 32, sy = index / 8 * 32;
            int32_t fx = k % 2 * 32, fy = k / 2 * 32;
            for (int32_t y = 0; y < 32; ++y)
                for (int32_t x = 0; x < 32; ++x)
                    c.pixels[(size_t)(sy + y) * 256 + (size_t)(sx + x)] = figure.pixels[(size_t)(fy + y) * 64 + (size_t)(fx + x)];
        }
    }
    return c;
}

// "bmp/chr/formdata.bin", big-endian: the offset table of every motion
// (all at one shared layout), then the layout's counts, first entries and
// cell positions.
std::vector<uint8_t> formDataBytes() {
    const uint32_t base = 4 * CHARACTER_SHEETS;
    std::vector<uint8_t> out(base + 0x800 + 2 * FIGURE_FRAMES * FIGURE_CELLS, 0);
    auto put16 = [&](size_t at, uint32_t v) {
        out[at] = (uint8_t)(v >> 8);
        out[at + 1] = (uint8_t)v;
    };
    for (int32_t m = 0; m < CHARACTER_SHEETS; ++m) {
        put16(4 * (size_t)m, base >> 16);
        put16(4 * (size_t)m + 2, base & 0xFFFF);
    }
    for (int32_t f = 0; f < FIGURE_FRAMES; ++f) {
        put16(base + 0x400 + 2 * (size_t)f, FIGURE_CELLS);
        put16(base + 0x600 + 2 * (size_t)f, (uint32_t)(FIGURE_CELLS * f));
        for (int32_t k = 0; k < FIGURE_CELLS; ++k) put16(base + 0x800 + 2 * (size_t)(FIGURE_CELLS * f + k), (uint32_t)k);
    }
    return out;
}

// The boss words of the floor banners.
const char* const BOSS_WORDS[] = {"kingslim", "jijo",  "rerado", "kingahriman", "omu",  "monster", "kani", "zazuru",
                                  "kabocha",  "kurage", "gorem", "dedar",       "dedar2", "zoze",  "zoze2"};

// Every picture: the table above, the adventurers', the ending's numbered
// ones, the character sheets and the floor banners.
std::vector<PictureFile> allPictures() {
    std::vector<PictureFile> all(std::begin(PICTURES), std::end(PICTURES));
    for (int32_t i = 0; i < EVENT_PICTURE_FILE_COUNT; ++i)
        all.push_back({EVENT_PICTURES[i].path, EVENT_PICTURES[i].width, EVENT_PICTURES[i].height, EVENT_PICTURES[i].draw});
    for (const Adventurer& a : ADVENTURERS) {
        all.push_back({a.picture, 512, 512, [a] { return drawFigure(512, a.hue, a.name, 0); }});
        all.push_back({a.controls, 1024, 512, [a] { return drawPlates(1024, 512, 640, 480, a.name, 6); }});
    }
    char path[64];
    for (int32_t i = 1; i <= 11; ++i) {
        snprintf(path, sizeof path, "bmp/end/end_screen%02d.tga", i);
        float t = (float)(i - 1) / 10;
        uint32_t sky = mix(0xFF78B0E8, 0xFF101838, t), glow = mix(0xFFC8E0F0, 0xFFE89058, t);
        std::string name = "SCENE " + std::to_string(i);
        all.push_back({path, 512, 512, [=] { return drawBackdrop(512, 512, sky, glow, 0xFF5A7040, name.c_str()); }});
    }
    for (int32_t i = 1; i <= 5; ++i) {
        snprintf(path, sizeof path, "bmp/end/staff%02d.tga", i);
        all.push_back({path, 512, 512, [i] { return drawTextPage(512, 512, STAFF_LINES[i - 1], 3, 3); }});
    }
    for (int32_t sheet = 0; sheet < CHARACTER_SHEETS; ++sheet) {
        snprintf(path, sizeof path, "bmp/chr/chr%02d.bmp", sheet);
        all.push_back({path, 256, 256, [sheet] { return drawCharacterSheet(sheet); }});
    }
    // The enemy kinds' small icons, by kind number (kind 0 has its own name).
    for (int32_t k = 0; k < 83; ++k) {
        if (k == 0) snprintf(path, sizeof path, "bmp/en/sraim_g_mini.tga");
        else snprintf(path, sizeof path, "bmp/en/enemy%02d_mini.tga", k);
        all.push_back({path, 64, 64, [] { return drawGlows(64, 64, 64, 1.5f); }});
    }
    for (int32_t d = 1; d <= 6; ++d) {
        snprintf(path, sizeof path, "bmp/title/dungeon_title%d.tga", d);
        std::string name = "DUNGEON " + std::to_string(d);
        all.push_back({path, 1024, 256, [name] { return drawPlates(1024, 256, 1024, 256, name.c_str(), 0); }});
    }
    for (const char* word : BOSS_WORDS) {
        snprintf(path, sizeof path, "bmp/title/bossname_%s.tga", word);
        std::string name = word;
        for (char& ch : name) ch = (char)toupper((unsigned char)ch);
        all.push_back({path, 512, 128, [name] { return drawPlates(512, 128, 512, 128, name.c_str(), 0); }});
    }
    return all;
}

bool writeFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) return false;   // the encoder refused the picture
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return fclose(file) == 0 && ok;
}

// One category's icons in 32 x 32 cells, eight a row, at each item's icon
// cell: a badge whose shape follows the cell and whose colour the category.
Canvas drawItemIcons(const ItemIconRow* rows, int32_t category, int32_t height) {
    Canvas c = makeCanvas(256, height, KEY);
    uint32_t hue = mix(0xFF4060C0, 0xFFD08030, (float)(category % 10) / 9);
    hue = mix(hue, 0xFF40B060, (float)(category / 10 % 3) / 3);
    for (int32_t i = 0; i < ITEM_ICON_ROW_MAX; ++i) {
        const ItemIconRow& item = rows[i];
        if (!item.valid || item.category != category || item.cell / 8 * 32 + 32 > height) continue;
        float cx = (float)(item.cell % 8 * 32) + 16, cy = (float)(item.cell / 8 * 32) + 16;
        uint32_t light = mix(hue, WHITE, 0.45f), dark = mix(hue, BLACK, 0.45f);
        for (int32_t y = -14; y < 14; ++y)
            for (int32_t x = -14; x < 14; ++x) {
                float fx = (float)x + 0.5f, fy = (float)y + 0.5f;
                float d = 0;
                switch (item.cell % 4) {
                case 0: d = 12 - std::hypot(fx, fy); break;                        // a round badge
                case 1: d = 13 - std::fabs(fx) - std::fabs(fy); break;             // a gem
                case 2: d = 11 - std::fmax(std::fabs(fx), std::fabs(fy)); break;   // a box
                default: d = std::fmin(12 - std::fabs(fx) * 1.6f, 12 - std::fabs(fy)); break;   // a bottle
                }
                if (d <= 0) continue;
                set(c, (int32_t)cx + x, (int32_t)cy + y, d < 2 ? dark : (fx + fy < 0 ? light : hue));
            }
    }
    return c;
}

// The icon sheets the sample item table needs; false when it cannot be read.
bool drawItemIconSheets(const std::filesystem::path& folder, int32_t* written) {
    FILE* file = fopen((folder / "data/item.txt").c_str(), "rb");
    if (!file) return true;   // no item table: no sheets
    std::vector<char> text;
    char chunk[4096];
    for (size_t n; (n = fread(chunk, 1, sizeof chunk, file)) > 0;) text.insert(text.end(), chunk, chunk + n);
    fclose(file);
    static ItemIconRow rows[ITEM_ICON_ROW_MAX];
    readItemIconRows(text.data(), (int32_t)text.size(), rows);
    static ItemIconSheet sheets[ITEM_ICON_CATEGORY_COUNT];
    int32_t count = planItemIconSheets(rows, ITEM_ICON_ROW_MAX, sheets);
    for (int32_t i = 0; i < count; ++i) {
        char name[64];
        snprintf(name, sizeof name, "bmp/item/item%02d.bmp", sheets[i].category);
        std::filesystem::path path = folder / name;
        std::error_code error;
        if (std::filesystem::exists(path, error)) continue;
        std::filesystem::create_directories(path.parent_path(), error);
        if (!writeFile(path, encodeBmp(drawItemIcons(rows, sheets[i].category, sheets[i].height)))) return false;
        ++*written;
    }
    return true;
}


}   // namespace

// Every motion file the game reads that the sample data does not hold as a
// source: a figure standing, walking, running and hit, in the layout every
// sample sheet shares (64 x 96 frames of six cells on a 256 x 256 sheet).
bool writeMotionFiles(const char* folder) {
    for (const char* name : MOTION_FILES) {
        std::filesystem::path path = std::filesystem::path(folder) / name;
        std::error_code error;
        if (std::filesystem::exists(path, error)) continue;   // a committed file wins
        std::filesystem::create_directories(path.parent_path(), error);
        std::string figure = path.stem().string();
        std::string text = "[" + figure + "]\n// a sample figure in the shared sheet layout\n" + figure +
                           "\n256,256\n64,0\n96\n100\n-\n"
                           "/ 0 standing: front, front side, side, back side, back, ticks\n0,1,2,3,4,30\n"
                           "/ 1 walking\n0,1,2,3,4,8\n5,6,7,8,9,8\n"
                           "/ 2 running\n5,6,7,8,9,5\n0,1,2,3,4,5\n"
                           "/ 3 hit\n5,6,7,8,9,12\nHALT\n/\n";
        if (!writeFile(path, std::vector<uint8_t>(text.begin(), text.end()))) {
            fprintf(stderr, "makepictures: cannot write %s\n", path.c_str());
            return false;
        }
    }
    return true;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: makepictures <folder>\n");
        return 2;
    }
    int32_t written = 0;
    for (const PictureFile& picture : allPictures()) {
        std::filesystem::path path = std::filesystem::path(argv[1]) / picture.path;
        std::error_code error;
        if (std::filesystem::exists(path, error)) continue;   // a committed picture wins
        std::filesystem::create_directories(path.parent_path(), error);
        Canvas canvas = picture.draw();
        if (canvas.width != picture.width || canvas.height != picture.height) {
            fprintf(stderr, "makepictures: %s drawn at %dx%d\n", picture.path.c_str(), canvas.width, canvas.height);
            return 1;
        }
        bool tga = picture.path.ends_with(".tga");
        if (!writeFile(path, tga ? encodeTga(canvas) : encodeBmp(canvas))) {
            fprintf(stderr, "makepictures: cannot write %s\n", path.c_str());
            return 1;
        }
        ++written;
    }
    std::filesystem::path forms = std::filesystem::path(argv[1]) / "bmp/chr/formdata.bin";
    std::error_code formsError;
    if (!std::filesystem::exists(forms, formsError) && !writeFile(forms, formDataBytes())) {
        fprintf(stderr, "makepictures: cannot write %s\n", forms.c_str());
        return 1;
    }
    if (!writeMotionFiles(argv[1])) return 1;
    if (!drawItemIconSheets(argv[1], &written)) {
        fprintf(stderr, "makepictures: cannot write the item icon sheets into %s\n", argv[1]);
        return 1;
    }
    printf("makepictures: %d pictures drawn into %s\n", written, argv[1]);
    return 0;
}
