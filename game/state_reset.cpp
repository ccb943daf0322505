#include "game/state_reset.h"

#include "adventurers/attack_objects.h"
#include "adventurers/bag.h"
#include "adventurers/balloon.h"
#include "adventurers/dungeon_control.h"
#include "adventurers/motion.h"
#include "adventurers/party.h"
#include "adventurers/shop_floor.h"
#include "dungeon/enemies.h"
#include "dungeon/field_events.h"
#include "dungeon/field_frame.h"
#include "dungeon/fixed_floors.h"
#include "dungeon/floor_conditions.h"
#include "dungeon/floor_map.h"
#include "dungeon/floor_objects.h"
#include "dungeon/pickups.h"
#include "dungeon/floor_status.h"
#include "dungeon/floor_generator.h"
#include "dungeon/floor_start.h"
#include "engine/debug_text.h"
#include "engine/device.h"
#include "engine/dialogs.h"
#include "engine/fades.h"
#include "engine/frame_loop.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/meshes.h"
#include "engine/overlay_screen.h"
#include "engine/random.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/screen_mapping.h"
#include "engine/skin_models.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "engine/stage_index.h"
#include "field/effect_objects.h"
#include "field/hud.h"
#include "field/map_collision.h"
#include "field/resources.h"
#include "field/field_camera.h"
#include "field/stage_light.h"
#include "field/world_renderer.h"
#include "game/window_proc.h"
#include "shop/shop_state.h"
#include "story/available_adventurers.h"
#include "story/event.h"
#include "story/event_script.h"
#include "story/field_menu.h"
#include "story/place_visits.h"
#include "story/save_list.h"
#include "story/title.h"
#include "story/world_map.h"

static void resetWindowState() { gAppActive = 0; }

// The loaders first: a loader still running would write into the state
// reset after it.
const GameStateReset GAME_STATE_RESETS[] = {
    {"engine/loaders", resetLoaderState},
    {"engine/frame_loop", resetFrameLoopState},
    {"engine/fades", resetFades},
    {"engine/overlay_screen", resetOverlayScreen},
    {"engine/dialogs", resetDialogState},
    {"engine/input", resetInputState},
    {"engine/sound", resetSoundState},
    {"engine/sprites", resetSpriteState},
    {"engine/screen_mapping", resetScreenMapping},
    {"engine/random", resetRandom},
    {"engine/stage_index", resetStagePosition},
    {"engine/save_file", resetSaveState},
    {"engine/scene_pictures", resetOpeningVariant},
    {"engine/scene_pictures", resetCharacterTextures},
    {"engine/debug_text", resetDebugText},
    {"engine/device", resetDeviceFlags},
    {"engine/meshes", resetMeshTextures},
    {"engine/skin_models", resetSkinModels},
    {"field/resources", resetFieldResources},
    {"dungeon/field_frame", resetFieldFrameState},
    {"dungeon/field_events", resetFieldEventState},
    {"dungeon/floor_map", resetFloorMap},
    {"dungeon/enemies", resetEnemies},
    {"dungeon/floor_objects", resetFloorObjects},
    {"dungeon/pickups", resetPickups},
    {"adventurers/attack_objects", resetAttackObjects},
    {"field/effect_objects", resetEffectObjects},
    {"dungeon/floor_status", resetFloorStatus},
    {"dungeon/floor_generator", resetFloorGenerator},
    {"dungeon/floor_start", resetFloorStart},
    {"dungeon/fixed_floors", resetFixedFloors},
    {"field/map_collision", resetMapCollision},
    {"adventurers/shop_floor", resetShopDayState},
    {"adventurers/bag", resetBagState},
    {"field/field_camera", resetFieldCamera},
    {"field/world_renderer", resetWorldRenderer},
    {"field/stage_light", resetStageLight},
    {"adventurers/shop_floor", resetShopFloorBootState},
    {"adventurers/shop_grid", resetShopGridState},
    {"adventurers/balloon", resetBalloonState},
    {"field/hud", resetHudGlobals},
    {"adventurers/party", resetPartyState},
    {"adventurers/motion", resetMotionState},
    {"dungeon/floor_objects", resetFloorObjects},
    {"adventurers/dungeon_control", resetDungeonControlState},
    {"dungeon/floor_conditions", resetFloorConditions},
    {"dungeon/fixed_floors", resetFixedFloors},
    {"story/field_menu", resetFieldMenuState},
    {"shop/counter", resetCounterState},
    {"shop/day_planning", resetDayPlan},
    {"shop/day_end", resetItemChoiceState},
    {"shop/day_end", resetDayReportState},
    {"shop/market", resetMarketState},
    {"shop/item_list", resetItemListState},
    {"story/title", resetTitleState},
    {"story/event_script", resetEventScript},
    {"story/event", resetEventPlayer},
    {"story/event_drawing", resetEventDrawing},
    {"story/save_list", resetSaveListState},
    {"story/available_adventurers", resetAvailableAdventurers},
    {"story/world_map", resetWorldMapState},
    {"story/place_visits", resetChurchVisit},
    {"game/window_proc", resetWindowState},
};
const int32_t GAME_STATE_RESET_COUNT = sizeof GAME_STATE_RESETS / sizeof GAME_STATE_RESETS[0];

void resetGameState() {
    for (const GameStateReset& entry : GAME_STATE_RESETS) entry.reset();
}
