// field/field.h: the field's front door: what the other folders ask of the
// map collision, the effects, the camera, the HUD and the field's models
// and pictures, and the entry points game/ wires (the mode table's updates
// and drawings, the loaders, the table readers and the resets). The words
// of the field that others set or read are in field/field_state.h; every
// other header of field/ is the field's own.
#pragma once
#include <cstdint>

#include "engine/config_index.h"   // gEffectEditorOn
#include "engine/math.h"
#include "engine/meshes.h"
#include "engine/textures.h"

struct GameState;

// Map collision.

// Surface codes, from the start of a face's material name.
enum SurfaceCode : int32_t {
    SURFACE_SOLID = 0,
    SURFACE_CLIFF = 1,
    SURFACE_DAMAGE = 2,
    SURFACE_HIT = 3,
    SURFACE_NONE = 4,          // never built into a block
    SURFACE_WATER = 5,
    SURFACE_SNOW = 6,
    SURFACE_INVISIBLE_WALL = 7,
    SURFACE_TREE1 = 8,
    SURFACE_TREE2 = 9,
    SURFACE_GRASS1 = 10,
    SURFACE_GRASS2 = 11,
    SURFACE_BARREL = 12,
    SURFACE_TREASURE = 13,
    SURFACE_CANDLESTAND = 14,
    SURFACE_CRYSTAL = 15,
    SURFACE_TORCH = 16,
};

struct CollisionTriangle {
    float a, b, c, d;     // plane: a x + b y + c z + d = 0; normal e1 x e0, not normalised
    float normalLengthSquared;
    float x[3], y[3], z[3];      // vertices by axis
    float ex[3], ey[3], ez[3];   // edges e0 = v1 - v0, e1 = v2 - v1, e2 = v0 - v2, by axis
    float minX, minY, minZ, maxX, maxY, maxZ;   // enlarged box
    int32_t surface;      // SurfaceCode
};

struct CollisionHit {
    float normalX, normalY, normalZ;   // unit
    float floorHeight;                 // ground query only
    int32_t triangle;
    int32_t block;
    int32_t candidate;                 // segment cast only: 0 the main block or first piece, then in order
    int32_t floorFlag;                 // ground query only: 0 none, 1 in water, 2 on snow
    float surfaceHeight;               // ground query only: the water or snow height
    float a, b, c, d;                  // the plane of the hit triangle
    // Ground query only: the point as tested in the found block's own
    // coordinates (those of its triangles), and the map cell's quarter
    // turns and the placed slot's angle that took it there.
    float localX, localZ;
    int32_t cellTurns;
    float slotYaw;
};

int32_t findGroundUnder(float x, float y, float z, CollisionHit* hit);
int32_t castMapSegment(float x, float y, float z, float dx, float dy, float dz, float* t, CollisionHit* hit);
void placeBlockDecorations();
// The triangle a hit names, while its block still holds it; null for a hit
// of nothing or of a block rebuilt since.
const CollisionTriangle* hitTriangle(const CollisionHit& hit);
// A horizontal direction turned from the world into the block a ground hit
// was found in, and back.
void hitDirectionToBlock(const CollisionHit& hit, float* x, float* z);
void hitDirectionToWorld(const CollisionHit& hit, float* x, float* z);
// The surface code of the triangle a hit names; -1 when hitTriangle has none.
int32_t hitSurface(const CollisionHit& hit);
// Segments as x0, z0, x1, z1: 1 when they cross or touch.
int32_t doSegmentsCross2D(const float a[4], const float b[4]);
// Map block `block` built from the image of a text .x file in memory, as
// the stage loader builds it from the file; the number of faces read.
int32_t loadCollisionText(const char* text, int32_t length, const char* path, int32_t block);

// Effects.

// How a spawned effect behaves toward its owner.
enum EffectAttachKind : int32_t {
    EFFECT_ATTACH_FREE = 0,
    EFFECT_ATTACH_PARTY = 1,            // follows the party's controlled character (owner a PartyState)
    EFFECT_ATTACH_PARTY_VELOCITY = 2,   // starts with the character's velocity
    EFFECT_ATTACH_PARTY_VELOCITY_B = 3,
    EFFECT_ATTACH_GAUGE = 4,            // overlay: the particles home on the merchant gauge
    EFFECT_ATTACH_ENEMY_VELOCITY = 5,   // starts with the enemy's velocity (owner an Enemy)
    EFFECT_ATTACH_ENEMY = 6,            // follows the enemy
};

// A lifetime of 0 or less means the definition's own; spawners pass this.
constexpr int32_t EFFECT_LIFETIME_DEFAULT = -1;

// Emits the particles of effect definition `definition` at a world point;
// with an owner and an attach kind that follows, they follow it.
void spawnEffect(const void* owner, float x, float y, float z, int32_t definition, float scale, int32_t lifetime,
                 float angle, int32_t attachKind);
// Emits definition `definition` on the overlay at a 640x480 point.
void spawnScreenEffect(float px, float py, int32_t definition, float scale, int32_t lifetime, int32_t attachKind);
// Starts effect set `set` at a world point in the first free instance;
// dropped when all instances run.
void spawnEffectSet(const void* owner, float x, float y, float z, int32_t set, float scale, int32_t lifetime,
                    float angle, int32_t attachKind);
// Starts effect set `set` on the overlay at a 640x480 point; dropped when all
// instances run.
void spawnScreenEffectSet(float px, float py, int32_t set, float scale, int32_t lifetime, int32_t attachKind);

// The hard-coded effect objects; free while kind is -1. The spawner
// (spawnEffectObject) fills them, updateEffectObjects moves and ends them by
// kind, the effect passes draw them.
constexpr int32_t EFFECT_OBJECT_POOL_SIZE = 4096;
constexpr int32_t EFFECT_OWNER_MATRIX_WORDS = 17;
struct EffectObject {
    float position[3];
    float velocity[3];   // per-tick motion; for some kinds a spin rate or a direction
    float angles[3];     // about x, y, z
    float offset[3];     // from a followed anchor; kinds 69 and 109 push up by its y
    int32_t kind;        // 1..152; -1 free
    int32_t frame;       // ticks since spawn; negative while it waits
    float scale;         // size, and the factor of a scaled step
    int32_t variant;
    int32_t paramA;      // by kind: a lifetime, a rate, or an index
    int32_t paramB;      // by kind: a lifetime, or an enemy, attack object or model slot
    const void* owner;
    float ownerMatrix[EFFECT_OWNER_MATRIX_WORDS];   // a matrix and a value copied from the owner (kind 80)
};

void updateEffectObjects();   // once per tick
// Frees the particles, effect sets, effect objects, number popups and
// attack objects, and with all the pickups too (a floor starts).
void resetEffects(int32_t all);
// Rebuilds the effects' vertex arrays.
void buildEffectMeshes();
// One tick of the effect editor, which replaces the shop floor's control while on.
void updateEffectEditor();

// Camera.

struct CameraTuning {
    float height;      // added to the look-at height
    float distance;    // eye behind the look-at point
    float elevation;   // eye above the look-at point
};
constexpr CameraTuning CAMERA_DEFAULTS = {-1.8f, 14.0f, 21.0f};

enum CameraMode : int32_t {
    CAMERA_FOLLOW = 0,
    CAMERA_SCRIPTED = 1,   // the writers of gFieldCamera.cameraEye and gFieldCamera.cameraTarget own them
    CAMERA_WIDE = 2,       // follow, wider and higher
    CAMERA_WIDEST = 3,
};

// Added to the tuning values; set by the camera in modes 0, 2 and 3, by
// scripts in mode 1.
struct CameraOffsets {
    float distance;
    float elevation;
    float height;
};

// Once per drawn frame from the world drawing; a scene that holds the field
// still calls it to settle the view it placed.
void updateFieldCamera();
// A new call replaces a running shake.
void startCameraShake(int32_t frames, int32_t amplitudeX, int32_t amplitudeY, float cameraAmplitude);
void startDefeatOrbit();
void updateDefeatOrbit();
// Ends the orbit where it stands (a new floor starts).
void stopDefeatOrbit();
// The lens flare's glare builds up again from nothing (a new floor starts).
void resetViewSpin();
// A new floor starts with no skill's or warp's darkening over it.
void clearSkillCountdown();

// HUD and popups.

// Clears the balloon, the banner, the item-get popup and the HUD fade; run at
// every floor start, when a game starts from the title and on the town map.
// The closing counter, the text scale and the gauge shake stay.
void resetHudState();
// A loaded game's merchant level is held to the levels there are (0..98);
// with such a level, or an experience range that runs backwards, the range
// becomes that level's again, as the level-ups from level 0 build it.
void repairMerchantLevel(GameState& game);

// The balloon. A '<' in the text ends a line and is skipped with the three
// bytes after it; reading stops at the NUL or after 256 bytes; a line keeps
// at most 255 bytes and at most four lines are kept.
void openPopupMessage(float x, float y, int32_t ignored, const char* text);
void closePopupMessage(int32_t withSound);
void setPopupMirror(int32_t mirrored, int32_t ignored);
void setPopupTextScale(float scale);
void setPopupPosition(float x, float y);

void startBanner(int32_t duration, int32_t kind);
void startItemGetPopup(int32_t itemKey);
// The news ticker runs from the next tick (a market day has advanced).
void startNewsBanner();

// The value right-aligned so its last digit ends 12.8 left of x (or of the
// sign), in large digits of the item window picture; commas between every
// three digits when asked. Flushes.
void drawNumber(float x, float y, int32_t value, int32_t withSign, uint32_t argb, int32_t withCommas);
// fromRecord non-zero shows full HP and SP; zero the controlled character's.
void drawAdventurerPanel(float x, float y, int32_t adventurer, int32_t fromRecord);
// The merchant level (value + 1) in the item window's large level digits,
// popping while the level-up tag starts; the pause menu's calendar uses it too.
void drawDayNumber(float x, float y, int32_t value, uint32_t argb);
// One item's icon standing on a shop-floor cell, at a height above it.
void drawCellItemIcon(int32_t cellX, int32_t cellY, int32_t itemKey, float height);
// The top bar: panel, place picture, day clock, day, money and a dungeon
// floor's centre banner.
void drawHudBar();

// The rows of the "Level Abilities" list a merchant level has opened (the
// abilities up to level 90 it has reached).
int32_t openedAbilityRows(int32_t merchantLevel);
// 4 best .. 0 poorest, -1 the customer will not come, by the distance of the
// point (x, y) from the shop's atmosphere (decoration total, item total).
int32_t rateAtmosphereMatch(int32_t x, int32_t y);

// Field models and pictures.

// The stage and enemy parts, group 3, the field models, props, tables and
// the shared mesh textures: when the field is left.
void releaseFieldResources();
// Release every entry of the kind but the chosen one (the layout editor closes).
void releaseOtherShopWalls();
void releaseOtherShopFloors();
void releaseOtherShopRugs();
void releaseOtherShopTables();
// The picture of a shop wall choice, counted as a save's choice is.
TextureSlot* shopWallPicture(int32_t choice);
// One loaded mesh under the world transform already set, its subsets grouped
// by texture in the shared table's order.
void drawMeshObject(const MeshRecord* mesh);

// The shop's walkers in the world drawing, on the field's character sheets:
// one frame of the figure's motion turned toward the camera at the scale,
// and a round shadow flat on the floor at height y. Main thread, inside the
// model and shadow passes.
struct MotionState;
void drawFieldFigure(const MotionState& state, int32_t model, float scale, const Vector3& at, uint32_t argb);
void drawRoundFloorShadow(float x, float y, float z, float scale, int32_t grey);

// What game/ wires.

// The mode table's parts of game mode 1 and of the scenes drawn over it.
void tickHud();
void drawWorld3D();
void drawGameOverlay();
void drawItemGetPopup();
void drawOverlayEffects();
void emptyOverlayHook();
// The 3D effect pass; the market draws it over its screens too, with the
// effect-object marks of the last world scene.
void drawEffectObjects3D();

// The loader jobs and the scene hooks.
void loadFieldResources();
// The current stage's models: released unless the stage stays the same,
// then bound for the new stage.
void releaseStageModels();
void bindStageModels();
void releaseEnemyModels();
void loadFloorEnemies();
// The shop day's customer pictures: the first set, and a visitor's own.
void loadCustomerPortraitsA();
void loadCustomerPortraitsB();
// One shop part: with all 0 only the chosen entry, with 1 every entry but
// the chosen one (the layout editor preloads the alternatives).
void loadShopWalls(int32_t all);
void loadShopFloors(int32_t all);
void loadShopRugs(int32_t all);
void loadShopTables(int32_t all);
// Releases the field's resources, texture groups 0 to 29 and the off-screen
// render targets: before a device reset, on the return to the title and at
// shut-down.
void releaseAllTextures();
// The effect editor's save command: bank 0..3's file and its two dumps. 1 when
// the bank file was written; 0 after telling the player it was not (the old
// file stays).
int32_t saveEffectBank(int32_t bank);

// The field's master tables, each read from its text file by loadIndexFiles
// at start-up, in the order loadIndexFiles keeps.
void loadModelTable();          // "data/model.txt"
// The skinned models' bone export: the frame name model number's table row
// exports as bone k (null when its flag is off), and writing bone k of the
// enemy being drawn (its place, its matrix and the ground under it).
const char* modelPartName(int32_t modelNumber, int32_t bone);
void exportEnemyBone(void* enemy, int32_t bone, const Matrix4& combined);
// The effect image groups: the pictures the particles draw from, one
// texture each, named by the effect group files.
constexpr int32_t EFFECT_GROUP_MAX = 20;
constexpr int32_t EFFECT_GROUP_NAME_SIZE = 256;   // 255 characters and the terminator
extern char gEffectImageGroups[EFFECT_GROUP_MAX][EFFECT_GROUP_NAME_SIZE];
extern int32_t gEffectGroupCount;
extern TextureSlot gEffectImageTextures[EFFECT_GROUP_MAX];
// "ef/grp1.idx" to "ef/grp4.idx": the effect image groups and rows, counted afresh.
void loadEffectGroups();
// The effect image groups' pictures, 256 x 256 each, into the system group.
void loadEffectImageTextures();
// Reads the banks at start-up, as the last step of loadIndexFiles.
void loadEffectBanks();

// Two rows of the field's state table that tests of the camera's and the
// collision's users run between cases: the camera as a fresh process has
// it, and every map block emptied.
void resetFieldCamera();
void resetMapCollision();
