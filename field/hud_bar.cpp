#include "field/hud_bar.h"
#include "engine/math.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "adventurers/adventurers.h"
#include "adventurers/adventurers_state.h"
#include "engine/device.h"
#include "engine/frame_loop.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/screen_mapping.h"
#include "engine/settings.h"
#include "engine/sprites.h"
#include "engine/stage_index.h"
#include "field/field_camera.h"
#include "field/hud.h"
#include "field/hud_cells.h"
#include "field/resources.h"
#include "story/story.h"

constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr uint32_t HALF_GREY = 0xFF7F7F7F;
constexpr uint32_t DIM_GREY = 0xFF9B9B9B;

static SpriteSource largeDigit(int32_t d) {
    float left = ITEMWIN_LARGE_DIGIT_LEFT + 24.0f * d;
    return {left, ITEMWIN_LARGE_DIGIT_TOP, left + 24.0f, ITEMWIN_LARGE_DIGIT_TOP + 24.0f};
}

static SpriteSource smallDigit(int32_t d) {
    float left = HPMP_SMALL_DIGIT_LEFT + 24.0f * d;
    return {left, HPMP_SMALL_DIGIT_TOP, left + 24.0f, HPMP_SMALL_DIGIT_TOP + 24.0f};
}

void drawNumber(float x, float y, int32_t value, int32_t withSign, uint32_t argb, int32_t withCommas) {
    char text[16];
    snprintf(text, sizeof text, "%d", value);
    bindSpriteTexture(gItemWindowTexture);
    if (withSign) {
        addSpriteRect(x - 54.0f, y, 43.2f, 24.0f, ITEMWIN_LARGE_SIGN, gItemWindowTexture, argb);
        x -= 47.6f;
    }
    int32_t length = static_cast<int32_t>(strlen(text));
    for (int32_t k = 1; k <= length; ++k) {
        char c = text[length - k];
        if (withCommas && k != 1 && k % 3 == 1) {
            addSpriteRect(x - LARGE_DIGIT_ADVANCE, y, 19.2f, 25.6f, ITEMWIN_LARGE_COMMA, gItemWindowTexture, argb);
            x -= 3.2f;
        }
        x -= LARGE_DIGIT_ADVANCE;
        // The minus of a negative value has no digit cell; it takes its place blank.
        if (c >= '0' && c <= '9') addSpriteRect(x, y, 19.2f, 19.2f, largeDigit(c - '0'), gItemWindowTexture, argb);
    }
    flushSprites();
}

const char* counterFormat(int32_t maximum) {
    if (maximum < 10) return "%d/%d";
    if (maximum < 100) return "%2d/%2d";
    return "%3d/%3d";
}

void drawCounter(float x, float y, int32_t current, int32_t maximum) {
    char text[32];
    snprintf(text, sizeof text, counterFormat(maximum), current, maximum);
    for (const char* p = text; *p; ++p) {
        int32_t cell = *p == '/' ? SMALL_DIGIT_SLASH : *p - '0';
        if (*p != ' ' && cell >= 0 && cell <= SMALL_DIGIT_SLASH)
            addSpriteRect(x, y, 19.2f, 19.2f, smallDigit(cell), gHpMpBaseTexture, WHITE);
        x += SMALL_DIGIT_ADVANCE;
    }
}

void drawDayNumber(float x, float y, int32_t value, uint32_t argb) {
    char text[16];
    snprintf(text, sizeof text, "%d", value + 1);
    float s = 1.0f;
    if (gHud.levelUpTimer >= 1 && gHud.levelUpTimer <= 10) s = 1.0f + std::sin(gHud.levelUpTimer * PI / 10.0f);
    int32_t length = static_cast<int32_t>(strlen(text));
    float w = ITEMWIN_LEVEL_DIGIT_WIDTH, h = ITEMWIN_LEVEL_DIGIT_HEIGHT;
    bindSpriteTexture(gItemWindowTexture);
    // Two digits side by side, each 16 apart, about the middle of the pair.
    for (int32_t i = 0; i < length; ++i) {
        int32_t d = text[i] - '0';
        if (d < 0 || d > 9) continue;
        SpriteSource cell = {w * d, ITEMWIN_LEVEL_DIGIT_TOP, w * d + w, ITEMWIN_LEVEL_DIGIT_TOP + h};
        float cx = x + 16.0f * i - 8.0f * (length - 1) + 16.0f;
        float cy = y + 20.0f;
        addSpriteRect(cx - 16.0f * s, cy - 20.0f * s, w * s, h * s, cell, gItemWindowTexture, argb);
    }
    flushSprites();
}

static bool onDungeonFloor() { return gCurrentStage && gCurrentStage->maptype >= 1; }

static void drawFloorBanner() {
    int32_t a = gHudTimers.bannerActive, dur = gHudTimers.bannerDuration;
    if (gGameMode != GAME_MODE_FIELD || !onDungeonFloor() || a <= 0) return;
    if (gHudTimers.bannerKind == 1) {
        int32_t dark = a <= 60 ? 255 : 735 - 8 * a;
        if (dark > 0) {
            bindSpriteTexture(gSystemTexture);
            addSpriteRect(0.0f, 0.0f, 640.0f, 480.0f, SYSTEM_TINT, gSystemTexture,
                          static_cast<uint32_t>(dark > 255 ? 255 : dark) << 24);
            flushSprites();
        }
    }
    int32_t alpha = 4 * a < 255 ? 4 * a : 255;
    if (a >= dur - 64) alpha = alpha - 256 + 4 * (dur - a);
    if (alpha < 0) alpha = 0;
    float s = 2.0f - 0.025f * a > 1.0f ? 2.0f - 0.025f * a : 1.0f;
    float v = s;
    if (a >= dur - 64) v = s - static_cast<float>(a - dur + 64) / 64.0f;
    uint32_t colour = static_cast<uint32_t>(alpha) << 24 | 0xFFFFFF;
    bindSpriteTexture(gFloorBannerTexture);
    if (gHudTimers.bannerKind == 1)
        addSpriteRect(320.0f - 320.0f * s, 224.0f - 128.0f * v, 640.0f * s, 240.0f * v, {0.0f, 0.0f, 640.0f, 240.0f},
                      gFloorBannerTexture, colour);
    else
        addSpriteRect(320.0f - 256.0f * s, 224.0f - 64.0f * v, 512.0f * s, 128.0f * v, {0.0f, 0.0f, 512.0f, 128.0f},
                      gFloorBannerTexture, colour);
    flushSprites();
}

void drawHudBar() {
    cacheViewProjection();
    float o = -128.0f * gHud.hudFade;
    if (gGfxDevice) {
        gGfxDevice->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
        gGfxDevice->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    }
    bindSpriteTexture(gItemWindowTexture);
    addSpriteRect(0.0f, o, 230.4f, 102.4f, ITEMWIN_TOP_PANEL, gItemWindowTexture, WHITE);
    int32_t k = gHud.topBarKind;
    if (gHud.topBarSlide > 0 && k >= 0 && k < TOP_BAR_PLACE_COUNT) {
        WindowPop pop = computeWindowPopCurve(gHud.topBarSlide < WINDOW_POP_STEPS ? gHud.topBarSlide : WINDOW_POP_STEPS, 0);
        float sx = pop.scaleX, sy = pop.scaleY;
        SpriteSource place = itemWinPlaceCell(k);
        addSpriteRect(88.0f - 60.0f * sx, o + 128.0f - 48.0f * sy, 120.0f * sx, 80.0f * sy, place, gItemWindowTexture,
                      WHITE);
    }
    flushSprites();

    drawRotatedQuad(41.6f, o + 57.6f, PI / 2.0f - gTimeOfDay * PI / 3.0f, RotatedCorners{-12.8f, -43.2f, 12.8f, 8.0f},
                    SpriteUv{CLOCK_HAND_U0, CLOCK_HAND_V0, CLOCK_HAND_U1, CLOCK_HAND_V1}, WHITE);

    const GameState& g = runningGameState();
    int32_t day = g.date + 1 < DAY_SHOWN_MAX ? g.date + 1 : DAY_SHOWN_MAX;
    float dayX = day < 10 ? 89.6f : day < 100 ? 92.8f : day < 1000 ? 96.0f : 104.0f;
    drawNumber(dayX, o + 60.8f, day, 0, WHITE, 0);
    drawNumber(244.8f, o + 22.4f, gHud.moneyShown, 1, WHITE, 1);
    drawFloorBanner();
}

// The experience ring as a fan of 19 triangles covering the fraction f,
// clockwise from the top; straight to the device, in back-buffer pixels.
static void drawExperienceRing(float x, float y, float f) {
    SpriteVertex fan[EXP_RING_TRIANGLES + 2];
    float s = static_cast<float>(gScreenSize.width) / 640.0f;
    float cx = x + 60.0f, cy = y + 51.2f;
    fan[0] = SpriteVertex{cx * s, cy * s, 0.0f, 1.0f, HALF_GREY, 0, 0.5f, 0.5f};
    for (int32_t k = 0; k <= EXP_RING_TRIANGLES; ++k) {
        float theta = k * f * 2.0f * PI / EXP_RING_TRIANGLES;
        float sn = std::sin(theta), cs = std::cos(theta);
        fan[k + 1] = SpriteVertex{(cx + 51.2f * sn) * s, (cy - 51.2f * cs) * s, 0.0f, 1.0f, HALF_GREY, 0,
                                  (sn + 1.0f) / 2.0f, 0.5f - cs / 2.0f};
    }
    if (!gGfxDevice) return;
    gGfxDevice->setTexture(0, gHpMpExpTexture.texture);
    gGfxDevice->setVertexFormat(SPRITE_VERTEX_FORMAT);
    gGfxDevice->drawPrimitiveUP(GFX_PT_TRIANGLEFAN, EXP_RING_TRIANGLES, fan, sizeof(SpriteVertex));
}

static float barFraction(int32_t current, int32_t maximum) {
    return static_cast<float>(current) / static_cast<float>(maximum > 1 ? maximum : 1);
}

void drawAdventurerPanel(float x, float y, int32_t a, int32_t fromRecord) {
    if (a < 0 || a >= ADVENTURER_COUNT) return;
    const AdventurerRecord& r = runningGameState().adventurers[a];
    float yp = y + 376.0f;
    const PartyState& p = gParty;

    int32_t v = std::abs(static_cast<int32_t>(64.0f * std::sin(0.1f * p.tick)));
    int32_t gb = p.levelGlowTimer ? 127 + v : 127 - v;
    uint32_t panel = 0xFF000000u | static_cast<uint32_t>(127 + v) << 16 | static_cast<uint32_t>(gb) << 8 |
                     static_cast<uint32_t>(gb);
    setSpriteColourOp(GFX_TOP_ADDSIGNED);
    bindSpriteTexture(gHpMpBaseTexture);
    addSpriteRect(x, yp, 256.0f, 102.4f, HPMP_PANEL_BACK, gHpMpBaseTexture, panel);
    flushSprites();

    int32_t span = r.nextLevelExp - r.levelStartExp;
    float f = static_cast<float>(r.experience - r.levelStartExp) / static_cast<float>(span > 1 ? span : 1);
    drawExperienceRing(x, yp, f);

    int32_t hpMax = r.hpBase + r.hpBonus, spMax = r.spBase + r.spBonus;
    int32_t hp = fromRecord ? hpMax : static_cast<int32_t>(p.hp);
    int32_t sp = fromRecord ? spMax : static_cast<int32_t>(p.sp);
    float h = barFraction(hp, hpMax), s = barFraction(sp, spMax);
    bindSpriteTexture(gHpMpBaseTexture);
    addSpriteRect(x + 80.0f, yp + 10.4f, 156.8f * h, 38.4f,
                  {HPMP_HP_BAR.left, HPMP_HP_BAR.top, 196.0f * h, HPMP_HP_BAR.bottom}, gHpMpBaseTexture, HALF_GREY);
    addSpriteRect(x + 80.0f, yp + 53.6f, 156.8f * s, 38.4f,
                  {HPMP_SP_BAR.left, HPMP_SP_BAR.top, 196.0f * s, HPMP_SP_BAR.bottom}, gHpMpBaseTexture, HALF_GREY);
    addSpriteRect(x, yp, 256.0f, 102.4f, HPMP_PANEL_FRAME, gHpMpBaseTexture, panel);
    addSpriteRect(x + 115.2f, yp + 12.8f, 36.8f, 19.2f, HPMP_HP_LABEL, gHpMpBaseTexture, HALF_GREY);
    addSpriteRect(x + 112.0f, yp + 70.4f, 36.0f, 19.2f, HPMP_SP_LABEL, gHpMpBaseTexture, HALF_GREY);
    flushSprites();
    setSpriteColourOp(GFX_TOP_MODULATE);

    drawCounter(x + 153.6f, yp + 12.8f, hp, hpMax);
    drawCounter(x + 153.6f, yp + 70.4f, sp, spMax);
    SpriteSource portrait = {(a % 6) * HPMP_PORTRAIT_SIZE, HPMP_PORTRAIT_TOP + (a / 6) * HPMP_PORTRAIT_SIZE,
                             (a % 6) * HPMP_PORTRAIT_SIZE + HPMP_PORTRAIT_SIZE,
                             HPMP_PORTRAIT_TOP + (a / 6) * HPMP_PORTRAIT_SIZE + HPMP_PORTRAIT_SIZE};
    addSpriteRect(x + 28.8f, yp + 19.2f, 64.0f, 64.0f, portrait, gHpMpBaseTexture, WHITE);
    int32_t count = gSkillCounts[a] < SKILL_SLOTS ? gSkillCounts[a] : SKILL_SLOTS;
    for (int32_t k = 0; k < count; ++k) {
        int32_t i = gSkillSlots[a][k];
        float left = (i % 5) * 32.0f + HPMP_SKILL_LEFT, top = (i / 5) * 32.0f + 32.0f * a + HPMP_SKILL_TOP;
        addSpriteRect(x + 0.8f * (128.0f + 32.0f * k), yp + 38.4f, 25.6f, 25.6f, {left, top, left + 32.0f, top + 32.0f},
                      gHpMpBaseTexture, k == p.selectedSkill ? WHITE : DIM_GREY);
    }
    flushSprites();
    drawNumber(r.level >= 10 ? x + 38.4f : x + 32.0f, yp + 76.8f, r.level + 1, 0, WHITE, 1);
}
