// engine/scene_hooks.h: every call the engine makes up into the scenes.
// The engine knows no scene: the frame loop, the loaders, the music choice,
// the system pictures and the save file reach the scenes' code only through
// these hooks and the mode table (gGameModes, engine/frame_loop.h), which
// the game layer fills once at start-up before anything runs. A hook left
// null does nothing (a hook with a result gives the neutral one), so the
// engine's own tests run without any scene.
#pragma once
#include <cstdint>

struct GameState;
struct Matrix4;
struct MusicInputs;

constexpr int32_t OVERLAY_KIND_COUNT = 3;     // pause menu, day results, item choice
constexpr int32_t SHOP_PART_KIND_COUNT = 4;   // walls, floors, rugs, tables

struct SceneHooks {
    // The tick.
    void (*modePrelude)();           // modes with a prelude: the HUD, then the effect objects
    void (*fieldEventTick)();        // the field while an event runs: its scenery, then the HUD
    void (*openOverlayScreen)();     // the overlay's open counter reached 3
    void (*stepItemListSlide)();
    void (*movieSkipped)();          // the title's idle count starts again

    // The overlay toggle (engine/overlay_screen.h).
    int32_t (*requestEventSkip)();               // 1 when it opened the event's skip question
    int32_t (*fieldOverlayRuling)(int32_t kind); // the shop floor's refusals (OverlayRuling)
    int32_t (*runEndHoldsOverlay)(int32_t kind); // 1: a dungeon run's end holds it back silently
    void (*saveOverlayScene)();      // opening: the scene's item list and panels, into gOverlayScreen
    void (*leaveOverlayScene)();     // closing, the mode restored: the scene takes over again
    void (*restoreOverlayScene)();   // closing, the pointer back: the scene's lists as they were

    // The drawn frame.
    void (*drawFieldUnderEvent)();   // the field's world under an event without background pictures
    void (*drawLoadingBand)();
    void (*drawFieldOverlayEnd)();   // last of the field's overlays
    void (*releaseAllTextures)();    // every texture group and the render targets
    void (*returnToTitle)();         // a stage the game must enter is not in the stage index

    // Events running over a scene.
    void (*startEvent)();            // compiles the requested script (main thread)
    void (*loadEventTextures)();
    int32_t (*stepEvent)();          // 1 on the tick the script ends
    void (*drawEventScene)();
    int32_t (*eventBackgroundCount)();
    void (*updateQueuedEvent)();     // after an event has ended

    // The loaders' work, on the loader thread.
    void (*loadWorld)(int32_t sameStage);
    void (*enterWorld)();            // the loaded stage's floor, on the main thread at the loader's end
    void (*loadCustomerPortraits[2])();
    void (*loadShopPart[SHOP_PART_KIND_COUNT])();

    // The system pictures' effect image groups and item icon sheets, from the
    // effect group files and the item table.
    void (*loadEffectImageTextures)();
    void (*loadItemIconSheets)();
    // What the music choice reads of the scenes' state.
    void (*readMusicInputs)(MusicInputs& inputs);
    // A new game's slot: its collection and the adventurers' stats.
    void (*fillNewGame)(GameState& game);

    // Skinned models' bone export (engine/skin_models.h): the frame name the
    // model table row of a model number exports as bone k (null when its flag
    // is off), and writing bone k's combined matrix into the caller's record
    // (its position, matrix and the ground hit under it).
    const char* (*modelPartName)(int32_t modelNumber, int32_t bone);
    void (*exportModelBone)(void* target, int32_t bone, const Matrix4& combined);
};
extern SceneHooks gSceneHooks;

// The screens that open over a scene, by gOverlayScreen.kind.
struct OverlayKindEntry {
    void (*load)();      // the scene loader's work when the overlay opens, on its thread
    void (*enter)();     // the overlay's state, on the main thread at the loader's end
    void (*update)();
    void (*draw)();
    void (*reload)();    // its pictures after a device reset
};
extern OverlayKindEntry gOverlayKinds[OVERLAY_KIND_COUNT];

inline void callHook(void (*hook)()) {
    if (hook) hook();
}
