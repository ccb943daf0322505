#include "engine/transition.h"

int32_t gFadeState;
int32_t gFadeCounter;
int32_t gFadeKind;
int32_t gFadeLength;
int32_t gBlackout;
StageChange gStageChange;
int32_t gSceneLoading;
int32_t gShowLoading;
int32_t gPartLoading;
int32_t gShowPartLoading;
int32_t gEventLoaderMode;
int32_t gEventReady;
int32_t gEventJustLoaded;

void startFadeOut(int32_t kind, int32_t length) {
    gFadeState = 1;
    gFadeCounter = 1;
    gFadeKind = kind;
    gFadeLength = length;
}

void startFadeIn(int32_t kind, int32_t length) {
    gFadeState = -1;
    gFadeCounter = 0;
    gFadeKind = kind;
    gFadeLength = length;
}

void stepTransition() {
    if (gFadeState == 1) {
        // The fade-out holds the screen covered one tick past its length.
        if (++gFadeCounter > gFadeLength + 1) gFadeCounter = gFadeLength + 1;
    } else if (gFadeState == -1) {
        if (++gFadeCounter > gFadeLength) {
            gFadeCounter = 0;
            gFadeState = 0;
        }
    }
}

bool isFadeOutDone() {
    if (gFadeState != 1) return false;
    return gFadeCounter == (gFadeKind == 2 ? 31 : gFadeLength);
}

bool isFadeInDone() {
    if (gFadeState != -1) return true;
    return gFadeCounter == (gFadeKind == 2 ? 30 : gFadeLength);
}

void initTransitionTiles() {
    gFadeState = 0;
    gFadeCounter = 0;
    gBlackout = 0;
}

void setBlackout() { gBlackout = 1; }

// The scenes' loaders arrive with the scene picture sets; until then a scene
// has nothing to load and is ready at once.
void startSceneLoader() {
    gSceneLoading = 0;
    gShowLoading = 0;
}

void startWorldLoader() {
    gSceneLoading = 0;
    gShowLoading = 0;
}

void requestStageChange(int32_t stage, int32_t fadeKind, int32_t holdFadeIn, int32_t entryFloor) {
    if (gSceneLoading) return;
    gStageChange.fadeInKind = fadeKind;
    startFadeOut(fadeKind, 17);
    gStageChange.nextStage = stage;
    gStageChange.entryFloor = entryFloor;
    gStageChange.holdFadeIn = holdFadeIn;
    gStageChange.pending = 1;
}

bool isSceneLoading() { return gSceneLoading != 0; }

void closeLoaderThread() {
    gPartLoading = 0;
    gShowPartLoading = 0;
}

// Drawing the fade, the blackout and the loading sign needs the system
// pictures; it arrives with them.
void drawTransitionOverlay() {}
void drawBlackout() {}
void drawLoadingIndicator() {}
