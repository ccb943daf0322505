// shop/window_cells.h: where the counter's and the item windows' pieces lie
// in their pictures, in texels. tools/makepictures draws the sample pictures
// to this layout.
#pragma once
#include <cstdint>

#include "engine/sprites.h"

// "bmp/shopmode.tga", 1024 x 512.
constexpr SpriteSource SHOPMODE_ITEM_WINDOW = {0.0f, 0.0f, 176.0f, 176.0f};
constexpr SpriteSource SHOPMODE_PRICE_PANEL = {176.0f, 0.0f, 608.0f, 176.0f};
constexpr SpriteSource SHOPMODE_SPEECH_PANEL = {0.0f, 176.0f, 448.0f, 352.0f};
constexpr SpriteSource SHOPMODE_TITLE_WINDOW = {608.0f, 0.0f, 767.0f, 95.0f};
constexpr SpriteSource SHOPMODE_CHOICE_PLATE = {768.0f, 0.0f, 960.0f, 48.0f};
constexpr SpriteSource SHOPMODE_ORDER_PLATE = {768.0f, 48.0f, 1008.0f, 88.0f};
constexpr SpriteSource SHOPMODE_COMPARE_PANEL = {768.0f, 96.0f, 1008.0f, 210.0f};
constexpr SpriteSource SHOPMODE_CURSOR_ARROW = {320.0f, 352.0f, 352.0f, 400.0f};
// The market's quantity window, drawn 512 x 128.
constexpr SpriteSource SHOPMODE_QUANTITY_PANEL = {576.0f, 240.0f, 1024.0f, 352.0f};
// Price digits 0..9, 32 x 40 each, in a row.
constexpr float SHOPMODE_DIGIT_LEFT = 0.0f;
constexpr float SHOPMODE_DIGIT_TOP = 352.0f;
constexpr float SHOPMODE_DIGIT_WIDTH = 32.0f;
constexpr float SHOPMODE_DIGIT_HEIGHT = 40.0f;
// The speech panel's "more" arrow, five 64 x 64 frames in a row.
constexpr float SHOPMODE_MORE_LEFT = 448.0f;
constexpr float SHOPMODE_MORE_TOP = 176.0f;
// The bonus row labels, 128 x 24, one under the other by CounterBonusKind.
constexpr float SHOPMODE_BONUS_LEFT = 448.0f;
constexpr float SHOPMODE_BONUS_TOP = 240.0f;

// "bmp/item_win.tga", 1024 x 1024 (the save list's and HUD's cells too).
constexpr SpriteSource ITEMWIN_LIST_FRAME = {0.0f, 0.0f, 400.0f, 320.0f};
constexpr SpriteSource ITEMWIN_SIDE_PANEL = {0.0f, 320.0f, 640.0f, 480.0f};
constexpr SpriteSource ITEMWIN_ARROW_UP = {448.0f, 896.0f, 512.0f, 944.0f};
constexpr SpriteSource ITEMWIN_ARROW_DOWN = {512.0f, 896.0f, 576.0f, 944.0f};
constexpr SpriteSource ITEMWIN_PAGE_TABS = {0.0f, 600.0f, 240.0f, 677.0f};
constexpr SpriteSource ITEMWIN_PAGE_TAB_SINGLE = {0.0f, 680.0f, 240.0f, 757.0f};
constexpr SpriteSource ITEMWIN_BADGE_VENDER = {240.0f, 600.0f, 431.0f, 663.0f};
constexpr SpriteSource ITEMWIN_BADGE_EMPTY = {240.0f, 664.0f, 431.0f, 727.0f};
constexpr SpriteSource ITEMWIN_BADGE_FILLED = {240.0f, 728.0f, 431.0f, 791.0f};
constexpr SpriteSource ITEMWIN_HIGHLIGHT = {440.0f, 600.0f, 720.0f, 638.0f};
constexpr SpriteSource ITEMWIN_CHOICE_BAR = {0.0f, 800.0f, 240.0f, 838.4f};
// Bonus number glyphs, 16 x 24: "0".."9", "+", "-" in a row, a row per
// CounterBonusKind.
constexpr float ITEMWIN_BONUS_GLYPH_LEFT = 832.0f;
constexpr float ITEMWIN_BONUS_GLYPH_TOP = 0.0f;
constexpr int32_t BONUS_GLYPH_PLUS = 10;
constexpr int32_t BONUS_GLYPH_MINUS = 11;

// "bmp/data_win.tga", 512 x 512: one large window whose corners the
// information popup cuts, and two plates.
constexpr SpriteSource DATAWIN_PORTRAIT_WINDOW = {0.0f, 0.0f, 320.0f, 192.0f};
constexpr float DATAWIN_WIDTH = 512.0f;
constexpr float DATAWIN_HEIGHT = 344.0f;
constexpr SpriteSource DATAWIN_LABEL = {288.0f, 352.0f, 480.0f, 384.0f};
constexpr SpriteSource DATAWIN_HINT_BAR = {288.0f, 352.0f, 488.0f, 384.0f};

// "bmp/hpmp_base.tga": the level-up heart, 64 x 64.
constexpr SpriteSource HPMP_HEART = {400.0f, 432.0f, 464.0f, 496.0f};

// "bmp/choushuu.tga", 1024 x 1024: the day report's pieces.
constexpr SpriteSource REPORT_LOG_PANEL = {0.0f, 0.0f, 224.0f, 224.0f};
constexpr SpriteSource REPORT_TITLE_PLATE = {224.0f, 0.0f, 412.0f, 64.0f};
constexpr SpriteSource REPORT_ARROW_UP = {448.0f, 0.0f, 512.0f, 48.0f};
constexpr SpriteSource REPORT_ARROW_DOWN = {448.0f, 48.0f, 512.0f, 96.0f};
constexpr SpriteSource REPORT_PAYMENT_BOARD = {0.0f, 256.0f, 512.0f, 640.0f};
// Week banners of story play, 320 x 40, one under the other from the first week.
constexpr float REPORT_WEEK_LEFT = 512.0f;
constexpr float REPORT_WEEK_TOP = 256.0f;
constexpr float REPORT_WEEK_WIDTH = 320.0f;
constexpr float REPORT_WEEK_HEIGHT = 40.0f;
constexpr int32_t REPORT_WEEK_ROWS = 6;
// Board digits, 40 x 40 each in a row: 0..9, then REPORT_BOARD_EXTRA.
constexpr float REPORT_DIGIT_LEFT = 0.0f;
constexpr float REPORT_DIGIT_TOP = 704.0f;
constexpr float REPORT_DIGIT_SIZE = 40.0f;
constexpr char REPORT_BOARD_EXTRA[] = ",-S#P";

// "bmp/hanko.tga", 128 x 1024: 128 x 128 stamps, one under the other: the
// ranks 0..4, then paid and short.
constexpr int32_t STAMP_PAID = 5;
constexpr int32_t STAMP_SHORT = 6;
