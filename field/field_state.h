// field/field_state.h: the field's state as records, one per concern: the
// camera's words, the HUD's, the effect-object pool, the world drawing's and
// the stage light. Each has its row in the field's state table
// (field_state.cpp); the camera's, the HUD's and the world drawing's words
// are also what the other folders set or read.
#pragma once
#include <cstdint>

#include "engine/state_table.h"

#include "engine/math.h"
#include "field/field.h"
#include "field/field_files.h"
#include "platform/gfx_light.h"

// The lens flare scales its brightness by visibility / 8.
struct ViewSpin {
    int32_t count;
    float visibility;   // eases toward count
};

struct FieldCameraState {
    float cameraHeight;            // CAMERA_DEFAULTS at start
    float cameraDistance;
    float cameraElevation;
    CameraOffsets cameraOffsets;
    int32_t cameraMode;            // CameraMode
    Vector3 cameraEye;             // smoothed
    Vector3 cameraTarget;
    int32_t cameraReset;           // the next update jumps to the wanted place
    float cameraGround;            // the eased ground under the look-at point
    int32_t cameraFixedOn;         // look halfway between the character and the fixed point
    Vector3 cameraFixedPoint;      // only x and z are used
    int32_t cameraFrozen;          // the world drawing skips the camera update
    int32_t defeatOrbitFrame;      // 0 none, else 1..400
    ViewSpin viewSpin;
};
extern FieldCameraState gFieldCamera;

constexpr int32_t BALLOON_LINE_COUNT = 4;
constexpr int32_t BALLOON_LINE_SIZE = 256;       // 255 bytes and the terminator

// The speech balloon over the controlled character.
struct HudBalloon {
    float x, y;
    char lines[BALLOON_LINE_COUNT][BALLOON_LINE_SIZE];
    int32_t lineCount;      // 1..4
    float textScale;        // kept across resets
    int32_t mirrored;       // drawn flipped, anchored on its right
    int32_t shownFrames;    // 0 no balloon; 1 when a text is set, counting up
    int32_t openFrames;     // 0 closed; counting since it opened, across new texts
    int32_t closing;        // 0, or 1..9 ticks of the closing
};
extern HudBalloon gHudBalloon;

// The HUD's one-shot timers without names of their own elsewhere.
struct HudTimers {
    int32_t bannerActive;     // frame counter, 0 none
    int32_t bannerDuration;
    int32_t bannerKind;       // 1 the floor title after a black flash
    int32_t itemGetKey;       // ItemKey
    int32_t itemGetTimer;     // 0 none, 1..119
    int32_t gaugePulse;       // 0..29
    int32_t shakeFrames;
    int32_t shakeX, shakeY;
};
extern HudTimers gHudTimers;

// The HUD's words: the top bar's slide, the displayed money and merchant
// experience with the level-up, the HUD fade of the cut-scenes and the
// chest notice.
struct HudState {
    int32_t topBarSlide;       // -1..15
    int32_t topBarKind;        // -1..4, the top bar's place picture
    float expShown;            // the merchant experience the gauge shows
    int32_t levelUpTimer;      // 0, or 1..99 while the level-up tag runs
    int32_t moneyShown;
    float hudFade;             // 0 the HUD as usual, 1 the cut-scene look
    int32_t chestNoticeTimer;  // set to 1 by the chest code
};
extern HudState gHud;

// The effect objects.
extern EffectObject gEffectObjects[EFFECT_OBJECT_POOL_SIZE];

// The weapon trail's two edges, eight points each, newest first: x, y, z of
// edge A, then of edge B. Shared by every trail object.
constexpr int32_t TRAIL_HISTORY_POINTS = 8;
struct TrailHistory {
    float points[6][TRAIL_HISTORY_POINTS];
};
extern TrailHistory gTrailHistory;

// One particle of a data-driven effect; free while definition is -1.
constexpr int32_t PARTICLE_POOL_SIZE = 4096;
struct Particle {
    int32_t image;          // row of the effect image table
    int32_t type;           // motion and shape 0..10
    float position[3];      // world, or overlay space when screen is 1
    float offset[3];        // from the followed owner; type 5 the ring's start vector
    float origin[3];        // spawn point
    float velocity[3];      // per tick; types 8..10 spin by velocity y
    float angles[3];        // about x, y, z
    float acceleration;
    float gravity;
    int32_t lifetime;       // ticks; -1 no age limit
    float size;
    float sizeGrowth;
    float particleXYRatio;
    float speedXYRatio;
    int32_t lifeExtra;      // rolled at spawn: lives this much longer
    int32_t alphaRiseTime;
    int32_t alphaFallTime;
    int32_t attachKind;     // EffectAttachKind
    int32_t definition;     // global definition number; -1 free
    int32_t age;            // negative while waiting to appear
    float scale;            // spawn scale x the definition's overall scale
    int32_t animTick;
    int32_t animFrame;
    int32_t drawMethod;
    int8_t appearMode;
    int32_t screen;         // 1 overlay space
    const void* owner;      // a PartyState (attach 1..3) or an Enemy (5, 6); none on the overlay
};
extern Particle gParticles[PARTICLE_POOL_SIZE];

// A running effect set; free while set is -1. Overlay instances keep x and y
// in 640x480 pixels and z -520.
constexpr int32_t EFFECT_SET_INSTANCE_COUNT = 256;
constexpr int32_t EFFECT_SET_FRAMES = 300;   // an instance ends at this frame
struct EffectSetInstance {
    const void* owner;
    float x, y, z;
    int32_t set;          // global set number; -1 free
    float scale;
    int32_t lifetime;     // handed to every particle
    float angle;
    int32_t attachKind;
    int32_t frame;
    int32_t screen;
};
extern EffectSetInstance gEffectSetInstances[EFFECT_SET_INSTANCE_COUNT];

// High-water marks (last live record + 1) of the effect-object, attack-object
// and pickup pools, recomputed at the start of every scene; the effect
// passes loop only up to them.
struct EffectCounts {
    int32_t effectObjects;
    int32_t attackObjects;
    int32_t pickups;
};

struct WorldDrawState {
    EffectCounts effectCounts;
    int32_t mapFrameCounter;   // +1 per drawn world scene; the water frames and the light pulse run on it
    // 0..30: while above 0 the world is covered by a fade of opacity 10 x
    // value out of 255 (a skill's or a warp's darkening).
    int32_t skillCountdown;
};
extern WorldDrawState gWorldDraw;

// The lens flare: the light on the 640 x 480 screen, the unit direction
// from it toward the screen centre, the distance between them and the
// brightness 0..1. Only the glare and flare passes write it; it carries
// over from frame to frame and from stage to stage.
struct FlareState {
    float x, y;
    float dx, dy;
    float distance;
    float brightness;
};
extern FlareState gFlareState;
void resetLensFlare();

// Rebuilt every drawn frame: a directional light, specular black, and the
// same with the stage's "chrlightoffset:" added to its ambient colour.
extern GfxLight gStageLight;
extern GfxLight gCharacterLight;

// The effect editor's bank and clipboard; loading the banks starts it on
// bank 0 with an empty clipboard.
struct EffectEditorState {
    int32_t bank;                          // 0..3, the bank being edited
    int32_t clipboardHeld;
    int32_t clipboardNumber;               // the copied record's global number
    EffectDefinition clipboardDefinition;
    EffectSet clipboardSet;
};
extern EffectEditorState gEffectEditor;

// This folder's rows of the game's state registry.
extern const StateTable FIELD_STATE;
