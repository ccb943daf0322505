// story/place_visits.h: the town places the town map leads to that are only
// an event scene: the church (game mode 13), the plaza (14) and the tavern
// (15). Each plays the place's waiting place event, or its everyday event
// when none waits, then fades back to the town map. Ticks and draws run on
// the main thread; the event itself runs in place of the tick.
#pragma once
#include <cstdint>

struct PlaceVisitState {
    int32_t leaving;        // the scene is fading out
    int32_t frameCounter;   // ticks since the scene started
};
extern PlaceVisitState gPlaceVisit;

// The town map runs these before entering the place's mode.
void resetChurchVisit();
void resetPlazaVisit();
void resetTavernVisit();

void updateChurchVisit();
void updatePlazaVisit();
void updateTavernVisit();
// An opaque black screen: what the player sees is the event scene.
void drawChurchVisit();
void drawPlazaVisit();
void drawTavernVisit();

// The everyday event of a town map place (plaza by the day phase, tavern,
// church); 0 for a place without one. Pure.
int32_t defaultPlaceEvent(int32_t place, int32_t dayPhase, int32_t* major, int32_t* minor);
