#include "tools/town_pictures.h"

#include "story/world_map_cells.h"

namespace {

struct TownColours {
    uint32_t sea, land, road, roof;
};
const TownColours TOWN_COLOURS[3] = {
    {0xFF3870B8, 0xFF78B058, 0xFFE0D0A0, 0xFFB04830},   // day
    {0xFF6A4878, 0xFFB08048, 0xFFF0C890, 0xFF803828},   // evening
    {0xFF101838, 0xFF283C30, 0xFF8890A0, 0xFF402830},   // night
};

// Icon cells by number, each with its place's name.
const char* const ICON_NAMES[WORLD_MAP_PLACE_COUNT] = {"SHOP", "PLAZA", "CHURCH", "MARKET", "TAVERN", "GUILD", "ADV GUILD"};
const uint32_t ICON_HUES[WORLD_MAP_PLACE_COUNT] = {0xFFC06030, 0xFF4890C8, 0xFFD0D0E0, 0xFF50A050,
                                                    0xFFA06828, 0xFFC8A040, 0xFF9050B0};

// A place's middle on the map: the middle of its icon.
int32_t placeX(int32_t place) { return WORLD_MAP_PLACES[place].x + 90; }
int32_t placeY(int32_t place) { return WORLD_MAP_PLACES[place].y + 28; }

// A road of the given half width from a to b, first across, then down.
void road(Canvas& c, int32_t a, int32_t b, int32_t half, uint32_t colour) {
    int32_t ax = placeX(a), ay = placeY(a), bx = placeX(b), by = placeY(b);
    fillRect(c, ax < bx ? ax : bx, ay - half, (ax < bx ? bx : ax) + 1, ay + half, colour);
    fillRect(c, bx - half, ay < by ? ay : by, bx + half, (ay < by ? by : ay) + 1, colour);
}

}   // namespace

Canvas drawTownMap(int32_t phase) {
    const TownColours& k = TOWN_COLOURS[phase < 0 ? 0 : phase > 2 ? 2 : phase];
    Canvas c = makeCanvas(1024, 512, k.sea);
    fillRect(c, 16, 56, 624, 468, k.land);
    fillRect(c, 560, 180, 640, 300, k.sea);   // a bay on the east side
    const int32_t ROADS[][2] = {{0, 2}, {2, 1}, {2, 3}, {2, 5}, {5, 4}, {3, 6}, {1, 4}};
    for (const auto& r : ROADS) road(c, r[0], r[1], 6, k.road);
    for (int32_t p = 0; p < WORLD_MAP_PLACE_COUNT; ++p) {
        int32_t x = placeX(p), y = placeY(p);
        fillRect(c, x - 34, y - 26, x + 34, y + 26, mix(k.road, BLACK, 0.3f));
        fillRect(c, x - 28, y - 20, x + 28, y + 20, mix(k.land, BLACK, 0.25f));
        fillRect(c, x - 32, y - 30, x + 32, y - 20, k.roof);
    }
    fillRect(c, 0, 0, 640, 6, GOLD_DARK);
    fillRect(c, 0, 474, 640, 480, GOLD_DARK);
    fillRect(c, 0, 0, 6, 480, GOLD_DARK);
    fillRect(c, 634, 0, 640, 480, GOLD_DARK);
    return c;
}

Canvas drawTownMapIcons() {
    Canvas c = makeCanvas(256, 1024, CLEAR);
    for (int32_t cell = 0; cell < WORLD_MAP_PLACE_COUNT; ++cell) {
        int32_t top = 56 * cell;
        panel(c, 4, top + 6, 176, top + 50, 10.0f, mix(ICON_HUES[cell], WHITE, 0.25f), ICON_HUES[cell], INK, 2.5f);
        textCentered(c, 90, top + 28, ICON_NAMES[cell], 2, WHITE, CREAM, INK, 1);
    }
    return c;
}
