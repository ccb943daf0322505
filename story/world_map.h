// story/world_map.h: the town map (game mode 8): seven places on a picture
// of the town, a cursor that moves between them, and the choice that enters
// the chosen place's mode. Which places are open or marked is worked out
// once on entry (enterWorldMap, at the scene loader's end) from the story
// flags, the weekday, the day phase and the waiting place events; the map
// then runs its tick and its draw on the main thread. The cursor place
// outlives the map: the scenes the map leads to set it to the place the
// player comes back from, and the HUD reads it.
#pragma once
#include <cstdint>

constexpr int32_t WORLD_MAP_PLACE_COUNT = 7;
constexpr int32_t WORLD_MAP_GRID_ROWS = 5;
constexpr int32_t WORLD_MAP_GRID_COLUMNS = 3;

// The places by number.
enum WorldMapPlaceNumber : int32_t {
    TOWN_PLACE_SHOP = 0,
    TOWN_PLACE_MARKET = 1,
    TOWN_PLACE_PLAZA = 2,
    TOWN_PLACE_MERCHANTS_GUILD = 3,
    TOWN_PLACE_TAVERN = 4,
    TOWN_PLACE_CHURCH = 5,
    TOWN_PLACE_ADVENTURERS_GUILD = 6,
};

// WorldMapState::placeState.
enum WorldMapPlaceState : int32_t {
    PLACE_CLOSED = 0,
    PLACE_OPEN = 1,
    PLACE_MARKED = 2,   // open, and a story or place event waits there
};

// A place's spot on the 640 x 480 screen, its cell on the icon sheet and the
// game mode choosing it enters.
struct WorldMapPlace {
    int32_t x;
    int32_t y;
    int32_t iconCell;
    int32_t gameMode;
};
extern const WorldMapPlace WORLD_MAP_PLACES[WORLD_MAP_PLACE_COUNT];
// The cursor's grid, top row first: place numbers, -1 empty. A place may
// fill several cells; its own cell is the first in row order.
extern const int32_t WORLD_MAP_GRID[WORLD_MAP_GRID_ROWS][WORLD_MAP_GRID_COLUMNS];

struct WorldMapState {
    int32_t placeState[WORLD_MAP_PLACE_COUNT];    // WorldMapPlaceState
    int32_t listedPlaces[WORLD_MAP_PLACE_COUNT];  // the places shown, in order
    float clock;                                  // ticks since the map was entered
    int32_t closedLabel[WORLD_MAP_PLACE_COUNT];   // 1: "Closed" is written over the place
    int32_t leaveCounter;                         // 0, or ticks since a place was chosen
    int32_t cursorPlace;
};
extern WorldMapState gWorldMap;
extern int32_t gWorldMapListCount;   // entries of listedPlaces

constexpr int32_t WORLD_MAP_CHOICE_TICKS = 10;   // the map takes no choice before this clock
constexpr int32_t WORLD_MAP_FADE_TICKS = 17;

// Prepares the map from the running game: place states, the pointer at the
// cursor place, the run state (a new expedition) and the HUD.
void enterWorldMap();
// The map's place states from the running game (enterWorldMap's first step).
void prepareWorldMapPlaces();
void updateWorldMap();
// Clears the screen and draws the map at full size.
void drawWorldMap();
// The map: the background (scaled by scale, 1.0 full size), the icons and the
// "Closed" labels.
void drawWorldMapPanel(float scale);
// Moves the cursor by the first direction of the auto-repeat word; with small
// non-zero the pointer's target is scaled as the map drawn small.
void moveWorldMapCursor(int32_t small);

int32_t getWorldMapPlace();
void setWorldMapPlace(int32_t place);
void clearWorldMapPlace();

// Back to the values a fresh process starts with (a new boot in the same process).
void resetWorldMapState();
