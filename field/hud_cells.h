// field/hud_cells.h: where the HUD's pieces lie in their pictures, in
// texels (left, top, right, bottom). tools/makepictures draws the sample
// pictures to this layout; a cell given by a row or a number is its first.
#pragma once
#include <cstdint>

#include "engine/sprites.h"

// "bmp/item_win.tga", 1024 x 1024.
constexpr SpriteSource ITEMWIN_BALLOON = {0.0f, 608.0f, 280.0f, 703.0f};
constexpr SpriteSource ITEMWIN_ITEM_GET_BAND = {64.0f, 640.0f, 96.0f, 672.0f};   // drawn 32 x g high
constexpr SpriteSource ITEMWIN_TOP_PANEL = {480.0f, 0.0f, 768.0f, 128.0f};
constexpr float ITEMWIN_PLACE_LEFT = 832.0f;   // place picture k: (832, 80k)-(952, 80k + 80)
constexpr float ITEMWIN_PLACE_WIDTH = 120.0f;
constexpr float ITEMWIN_PLACE_HEIGHT = 80.0f;
constexpr int32_t TOP_BAR_PLACE_COUNT = 5;
// The counter's bonus number glyphs hold (832, 0)-(1024, 96), where place
// pictures 0 and 1 would lie; those two lie below the large digits instead.
constexpr float ITEMWIN_LOW_PLACE_LEFT = 680.0f;   // place picture k < 2: (680, 184 + 80k)-(800, 264 + 80k)
constexpr float ITEMWIN_LOW_PLACE_TOP = 184.0f;
constexpr SpriteSource itemWinPlaceCell(int32_t k) {
    float left = k < 2 ? ITEMWIN_LOW_PLACE_LEFT : ITEMWIN_PLACE_LEFT;
    float top = k < 2 ? ITEMWIN_LOW_PLACE_TOP + ITEMWIN_PLACE_HEIGHT * (float)k : ITEMWIN_PLACE_HEIGHT * (float)k;
    return {left, top, left + ITEMWIN_PLACE_WIDTH, top + ITEMWIN_PLACE_HEIGHT};
}
constexpr float CLOCK_HAND_U0 = 465.0f / 1024.0f, CLOCK_HAND_V0 = 129.0f / 1024.0f;
constexpr float CLOCK_HAND_U1 = 495.0f / 1024.0f, CLOCK_HAND_V1 = 191.0f / 1024.0f;
constexpr float ITEMWIN_LARGE_DIGIT_LEFT = 512.0f;   // digit d: (512 + 24d, 144)-(536 + 24d, 168)
constexpr float ITEMWIN_LARGE_DIGIT_TOP = 144.0f;
constexpr SpriteSource ITEMWIN_LARGE_SIGN = {776.0f, 144.0f, 830.0f, 174.0f};
constexpr SpriteSource ITEMWIN_LARGE_COMMA = {752.0f, 144.0f, 776.0f, 176.0f};
constexpr SpriteSource ITEMWIN_TICKER_BAND = {0.0f, 512.0f, 64.0f, 575.0f};
constexpr SpriteSource ITEMWIN_TICKER_LABEL = {0.0f, 480.0f, 224.0f, 512.0f};
constexpr SpriteSource ITEMWIN_STOCK_ROW = {400.0f, 240.0f, 639.0f, 303.0f};
constexpr SpriteSource ITEMWIN_MENU_ROW = {400.0f, 240.0f, 640.0f, 304.0f};
constexpr SpriteSource ITEMWIN_FIRST_MENU_ROW = {448.0f, 944.0f, 704.0f, 1008.0f};
constexpr float ITEMWIN_MARKER_LEFT = 832.0f;   // blink b: (832 + 96b, 768)-(928 + 96b, 864)
constexpr float ITEMWIN_MARKER_TOP = 768.0f;
constexpr SpriteSource ITEMWIN_LEVEL_FOOTER = {320.0f, 0.0f, 640.0f, 160.0f};
constexpr SpriteSource ITEMWIN_SHELF_LABEL = {832.0f, 480.0f, 959.0f, 559.0f};
constexpr SpriteSource ITEMWIN_EXP_BACK = {640.0f, 544.0f, 832.0f, 584.0f};
constexpr SpriteSource ITEMWIN_EXP_FILL = {679.0f, 592.0f, 821.0f, 632.0f};    // 142 f wide
constexpr SpriteSource ITEMWIN_EXP_FRAME = {640.0f, 640.0f, 832.0f, 680.0f};
constexpr SpriteSource ITEMWIN_LEVEL_TAG = {640.0f, 416.0f, 832.0f, 455.0f};
constexpr float ITEMWIN_LEVEL_DIGIT_TOP = 848.0f;   // the merchant level's digits, 32 x 40 from x 0
constexpr float ITEMWIN_LEVEL_DIGIT_WIDTH = 32.0f;
constexpr float ITEMWIN_LEVEL_DIGIT_HEIGHT = 40.0f;
constexpr SpriteSource ITEMWIN_FLOOR_PLATE = {448.0f, 480.0f, 628.0f, 520.0f};
constexpr SpriteSource ITEMWIN_LAST_DUNGEON_NAME = {640.0f, 352.0f, 736.0f, 384.0f};
constexpr float ITEMWIN_DUNGEON_NAME_TOP = 520.0f;   // dungeon d: (448, 520 + 40d)-(628, 560 + 40d)
constexpr float ITEMWIN_FLOOR_DIGIT_LEFT = 704.0f;   // digit d: (704 + 24d, 864)-(728 + 24d, 896)
constexpr float ITEMWIN_FLOOR_DIGIT_TOP = 864.0f;
constexpr SpriteSource ITEMWIN_FLOOR_LETTER = {936.0f, 864.0f, 968.0f, 896.0f};
constexpr float ITEMWIN_COMBO_DIGIT_TOP = 960.0f;    // digit d: (32d, 960)-(32d + 32, 1000)
constexpr SpriteSource ITEMWIN_COMBO_WORD = {320.0f, 960.0f, 416.0f, 1000.0f};
constexpr float ITEMWIN_POPUP_LABEL_LEFT = 704.0f;   // label type t: (704, 24t + 528)-(832, 24t + 552)

// "bmp/system.bmp": a white cell tinted to any colour.
constexpr SpriteSource SYSTEM_TINT = {0.0f, 0.0f, 7.0f, 7.0f};

// "bmp/shade.bmp": the dungeon vignette.
constexpr SpriteSource SHADE_VIGNETTE = {64.0f, 0.0f, 192.0f, 128.0f};

// "bmp/data_win.tga": the hint bar at the bottom right.
constexpr SpriteSource DATAWIN_SHOP_HINT = {288.0f, 352.0f, 488.0f, 384.0f};

// "bmp/hpmp_base.tga", 512 x 512.
constexpr float HPMP_SMALL_DIGIT_LEFT = 193.0f;   // digit d: (193 + 24d, 456)-(217 + 24d, 480); '/' is 10
constexpr float HPMP_SMALL_DIGIT_TOP = 456.0f;
constexpr int32_t SMALL_DIGIT_SLASH = 10;
constexpr SpriteSource HPMP_PANEL_BACK = {0.0f, 0.0f, 320.0f, 128.0f};
constexpr SpriteSource HPMP_PANEL_FRAME = {0.0f, 128.0f, 320.0f, 256.0f};
constexpr SpriteSource HPMP_HP_BAR = {0.0f, 256.0f, 196.0f, 304.0f};   // 196 h wide
constexpr SpriteSource HPMP_SP_BAR = {0.0f, 304.0f, 196.0f, 352.0f};
constexpr SpriteSource HPMP_HP_LABEL = {193.0f, 432.0f, 239.0f, 456.0f};
constexpr SpriteSource HPMP_SP_LABEL = {239.0f, 432.0f, 284.0f, 456.0f};
constexpr SpriteSource HPMP_ENEMY_HP_LABEL = {199.0f, 432.0f, 247.0f, 456.0f};
constexpr float HPMP_PORTRAIT_TOP = 352.0f;       // adventurer a: ((a mod 6) x 80, 352 + (a div 6) x 80), 80 x 80
constexpr float HPMP_PORTRAIT_SIZE = 80.0f;
constexpr float HPMP_SKILL_LEFT = 320.0f;         // skill i of adventurer a: ((i mod 5) x 32 + 320, (i div 5) x 32 + 32a + 96)
constexpr float HPMP_SKILL_TOP = 96.0f;
constexpr float HPMP_EMOTION_LEFT = 320.0f;       // emotion c: ((c mod 4) x 48 + 320, (c div 4) x 48), 48 x 48
constexpr float HPMP_CHARGE_CELL_LEFT = 208.0f;   // level L: (208 + 16L, 256)-(223 + 16L, 279)
constexpr SpriteSource HPMP_CHARGE_LABEL = {256.0f, 304.0f, 319.0f, 319.0f};
constexpr float HPMP_POPUP_DIGIT_LEFT = 288.5f;   // digit d: (288.5 + 20d, 432)-(307.5 + 20d, 456)

// "bmp/ene_hp2.tga" (512 x 256): the enemy panel of the dungeon HUD.
constexpr SpriteSource ENEHP_BAR_BACK = {56.0f, 148.0f, 263.0f, 167.0f};
constexpr SpriteSource ENEHP_BAR_FILL = {56.0f, 84.0f, 263.0f, 103.0f};   // drawn 207 h wide
constexpr SpriteSource ENEHP_FRAME = {0.0f, 0.0f, 280.0f, 64.0f};
constexpr SpriteSource ENEHP_LEVEL_LABEL = {0.0f, 192.0f, 24.0f, 216.0f};
constexpr float ENEHP_DIGIT_LEFT = 24.0f;   // digit d: (24 + 24d, 192)-(48 + 24d, 216)
constexpr float ENEHP_DIGIT_TOP = 192.0f;
