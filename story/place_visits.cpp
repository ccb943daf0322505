#include "story/place_visits.h"

#include "dungeon/dungeon.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/loaders.h"
#include "engine/render_states.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/sprites.h"
#include "story/place_events.h"
#include "story/world_map.h"

PlaceVisitState gPlaceVisit;

constexpr int32_t PLACE_FADE_TICKS = 17;
constexpr int32_t EVERYDAY_EVENT_MAJOR = 16;

int32_t defaultPlaceEvent(int32_t place, int32_t dayPhase, int32_t* major, int32_t* minor) {
    int32_t number = 0;
    switch (place) {
    case TOWN_PLACE_PLAZA: number = dayPhase <= 1 ? 1 : dayPhase == 2 ? 2 : 3; break;
    case TOWN_PLACE_TAVERN: number = 4; break;
    case TOWN_PLACE_CHURCH: number = 5; break;
    default: return 0;
    }
    *major = EVERYDAY_EVENT_MAJOR;
    *minor = number;
    return 1;
}

static void resetVisit() { gPlaceVisit = PlaceVisitState{}; }
void resetChurchVisit() { resetVisit(); }
void resetPlazaVisit() { resetVisit(); }
void resetTavernVisit() { resetVisit(); }

static void updateVisit(int32_t place) {
    PlaceVisitState& v = gPlaceVisit;
    GameState& game = runningGameState();
    if (v.leaving) {
        if (isFadeOutDone()) {
            game.townVisited = 1;
            gGameMode = GAME_MODE_WORLD_MAP;
            releasePlaceTextures();
            startFadeIn(0, PLACE_FADE_TICKS);
            startSceneLoader();
        }
    } else if (v.frameCounter == 0) {
        int32_t major = 0, minor = 0;
        if (!findPlaceEvent(place, &major, &minor, 1)) defaultPlaceEvent(place, game.dayPhase, &major, &minor);
        requestEvent(major, minor, 0);
    } else if (v.frameCounter == 1) {
        // The first tick after the event: a running event replaces this tick.
        v.leaving = 1;
        startFadeOut(0, PLACE_FADE_TICKS);
    }
    ++v.frameCounter;
}

void updateChurchVisit() { updateVisit(TOWN_PLACE_CHURCH); }
void updatePlazaVisit() { updateVisit(TOWN_PLACE_PLAZA); }
void updateTavernVisit() { updateVisit(TOWN_PLACE_TAVERN); }

static void drawVisit() {
    set2DRenderStates();
    bindSpriteTexture(gScenePictures[0]);
    addSpriteRect(0.0f, 0.0f, 640.0f, 480.0f, SpriteSource{0.0f, 0.0f, 640.0f, 480.0f}, gScenePictures[0], 0xFF000000);
    flushSprites();
}

void drawChurchVisit() { drawVisit(); }
void drawPlazaVisit() { drawVisit(); }
void drawTavernVisit() { drawVisit(); }
