#include "tools/event_pictures.h"

#include <cmath>

#include "story/event_cells.h"
#include "story/story_files.h"

namespace {

// The cells the event drawing reads on the window sheet.
constexpr int32_t BALLOON_W = 416;
constexpr int32_t BALLOON_H = 176;
constexpr int32_t CURSOR_X = 416;
constexpr int32_t CURSOR_SIZE = 64;
constexpr int32_t CURSOR_FRAMES = 5;

// A speech balloon in the cell at top: a dark rounded body (the text is drawn
// white) and, when tail, a tail at the right end pointing down. The event
// drawing mirrors it for speakers on the left.
void balloon(Canvas& c, int32_t top, bool tail) {
    panel(c, 6, top + 6, BALLOON_W - 6, top + 150, 22, NAVY_TOP, NAVY_BOTTOM, GOLD, 3);
    if (!tail) return;
    Point points[3] = {{330.0f, (float)top + 146}, {370.0f, (float)top + 146}, {384.0f, (float)top + 174}};
    polygon(c, points, 3, GOLD);
    Point inner[3] = {{336.0f, (float)top + 144}, {364.0f, (float)top + 144}, {377.0f, (float)top + 166}};
    polygon(c, inner, 3, NAVY_BOTTOM);
}

Canvas drawWindowSheet() {
    Canvas c = makeCanvas(EVENT_SHEET_SIZE, EVENT_SHEET_SIZE, CLEAR);
    balloon(c, 0, true);
    balloon(c, BALLOON_H, false);
    // The confirm cursor: an arrow that sinks and rises over five frames.
    for (int32_t f = 0; f < CURSOR_FRAMES; ++f) {
        float y = (float)(CURSOR_SIZE * f) + 18.0f + 3.0f * (float)(f < 3 ? f : CURSOR_FRAMES - f);
        float x = (float)CURSOR_X + 32.0f;
        Point arrow[3] = {{x - 14, y}, {x + 14, y}, {x, y + 20}};
        polygon(c, arrow, 3, GOLD);
    }
    return c;
}

// The plates by cell: the scenes' speakers first, then the sample
// customers by their types' "NameNumb".
struct NamePlate {
    int32_t cell;
    const char* name;
};
const NamePlate NAMES[] = {{0, "SAFFIEL"}, {1, "YOSS"},  {2, "CLERK"},     {3, "MASTER"},   {4, "PRIEST"},
                           {5, "BARKEEP"}, {9, "PIP"},   {10, "HOB"},      {11, "SIR BRAM"}, {12, "MIRABEL"},
                           {13, "ADA"}};

Canvas drawNameSheet() {
    Canvas c = makeCanvas(EVENT_SHEET_SIZE, EVENT_SHEET_SIZE, CLEAR);
    for (const NamePlate& plate : NAMES) {
        SpriteSource s = eventNamePlateCell(plate.cell);
        int32_t x0 = (int32_t)s.left, y0 = (int32_t)s.top;
        panel(c, x0 + 2, y0 + 2, x0 + EVENT_NAME_PLATE_WIDTH - 2, y0 + EVENT_NAME_PLATE_HEIGHT - 2, 8, 0xF04A3A20,
              0xF02E2016, GOLD, 2);
        textCentered(c, x0 + EVENT_NAME_PLATE_WIDTH / 2, y0 + EVENT_NAME_PLATE_HEIGHT / 2, plate.name, 2, CREAM, GOLD,
                     INK);
    }
    return c;
}

// A portrait on a clear ground: shoulders, a head, hair and a name band
// below the picture's edge of the screen.
Canvas portrait(uint32_t robe, uint32_t hair, const char* name) {
    Canvas c = makeCanvas(512, 512, CLEAR);
    Point shoulders[4] = {{120, 512}, {392, 512}, {350, 290}, {162, 290}};
    polygon(c, shoulders, 4, robe);
    disc(c, 256, 196, 82, hair, 0);
    fillRect(c, 236, 250, 276, 300, 0xFFF2D6B8);
    disc(c, 256, 212, 64, 0xFFF2D6B8, 0);
    fillRect(c, 190, 140, 322, 178, hair);
    disc(c, 232, 214, 6, INK, 0);
    disc(c, 280, 214, 6, INK, 0);
    fillRect(c, 244, 248, 268, 252, 0xFFB06A5A);
    textCentered(c, 256, 448, name, 3, CREAM, GOLD, INK, 2);
    return c;
}

Canvas drawClerk() { return portrait(0xFF3C6A50, 0xFF5A3A28, "CLERK"); }

// A room: a wall, a floor, shelves and a counter, in flat colours.
Canvas drawShopRoom() {
    Canvas c = makeCanvas(EVENT_BACKGROUND_WIDTH, EVENT_BACKGROUND_HEIGHT, 0xFFB08858);
    fillRect(c, 0, 340, 1024, 512, 0xFF6A4A30);
    for (int32_t i = 0; i < 4; ++i) {
        int32_t x0 = 60 + 250 * i;
        fillRect(c, x0, 90, x0 + 180, 330, 0xFF5A3A22);
        for (int32_t row = 0; row < 3; ++row) {
            int32_t y = 130 + 70 * row;
            fillRect(c, x0 + 8, y, x0 + 172, y + 8, 0xFF3A2414);
            for (int32_t k = 0; k < 4; ++k)
                fillRect(c, x0 + 16 + 40 * k, y - 34, x0 + 40 + 40 * k, y, (k + row + i) % 2 ? 0xFFC04848 : 0xFF4878C0);
        }
    }
    fillRect(c, 300, 380, 724, 470, 0xFF8A5A30);
    fillRect(c, 300, 380, 724, 392, 0xFFE8C15A);
    fillRect(c, 0, 0, 1024, 6, GOLD_DARK);
    fillRect(c, 0, 506, 1024, 512, GOLD_DARK);
    return c;
}

// A street of the town by day.
Canvas drawStreet() {
    Canvas c = makeCanvas(EVENT_BACKGROUND_WIDTH, EVENT_BACKGROUND_HEIGHT, 0xFF78B0E8);
    fillRect(c, 0, 330, 1024, 512, 0xFFA89070);
    for (int32_t i = 0; i < 5; ++i) {
        int32_t x0 = 20 + 205 * i, top = 150 + 30 * (i % 2);
        fillRect(c, x0, top, x0 + 170, 340, i % 2 ? 0xFFD8C8A8 : 0xFFC8B088);
        fillRect(c, x0 - 10, top - 24, x0 + 180, top, 0xFF9A4A38);
        fillRect(c, x0 + 65, 270, x0 + 105, 340, 0xFF5A3A22);
    }
    fillRect(c, 0, 0, 1024, 6, GOLD_DARK);
    fillRect(c, 0, 506, 1024, 512, GOLD_DARK);
    return c;
}

}  // namespace

const EventPictureFile EVENT_PICTURES[] = {
    {EVENT_WINDOW_SHEET, EVENT_SHEET_SIZE, EVENT_SHEET_SIZE, drawWindowSheet},
    {EVENT_NAME_SHEET, EVENT_SHEET_SIZE, EVENT_SHEET_SIZE, drawNameSheet},
    {"bmp/ivent/14uketsuke_01.tga", 512, 512, drawClerk},
    {"bmp/ivent/bg_mise.bmp", EVENT_BACKGROUND_WIDTH, EVENT_BACKGROUND_HEIGHT, drawShopRoom},
    {"bmp/ivent/bg_machi.bmp", EVENT_BACKGROUND_WIDTH, EVENT_BACKGROUND_HEIGHT, drawStreet},
};
const int32_t EVENT_PICTURE_FILE_COUNT = sizeof EVENT_PICTURES / sizeof EVENT_PICTURES[0];
