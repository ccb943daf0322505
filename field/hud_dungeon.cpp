#include "field/hud_dungeon.h"
#include "engine/math.h"

#include <cmath>
#include <cstdio>

#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/device.h"
#include "engine/scene_pictures.h"
#include "engine/screen_mapping.h"
#include "engine/settings.h"
#include "engine/sprites.h"
#include "engine/stage_index.h"
#include "engine/text.h"
#include "field/hud.h"
#include "field/hud_bar.h"
#include "field/hud_cells.h"
#include "field/hud_shop.h"
#include "field/resources.h"

constexpr uint32_t WHITE = 0xFFFFFFFF;
constexpr uint32_t HALF_GREY = 0xFF7F7F7F;
constexpr int32_t LAST_DUNGEON = 5;
constexpr uint32_t MINIMAP_TILE_COLOUR = 0x9BFFFFFF;
constexpr SpriteSource MAP_DOT_PLAYER = {0.0f, 384.0f, 8.0f, 392.0f};

bool floorHasMinimap(int32_t roomsX, int32_t roomsY) { return !(roomsX == 3 && roomsY == 3); }

float damagePopupScale(int32_t duration, int32_t timer) {
    float s = 5.0f - static_cast<float>(duration - timer) / 2.0f;
    return s > 2.0f ? s : 2.0f;
}

static void drawChargeGauge(float fade) {
    if (gParty.models[0] != CHARGE_CHARACTER) return;
    int32_t q = gParty.chargeGauge < CHARGE_MAX ? gParty.chargeGauge : CHARGE_MAX;
    setSpriteColourOp(GFX_TOP_ADDSIGNED);
    bindSpriteTexture(gHpMpBaseTexture);
    for (int32_t pass = 0; pass < 2; ++pass) {
        int32_t level = (pass == 0 ? 5 : 4) - q / CHARGE_STEP;
        if (level < 0) level = 0;
        int32_t cells = pass == 0 ? 12 : (q % CHARGE_STEP) / 5;
        float left = HPMP_CHARGE_CELL_LEFT + 16.0f * level;
        for (int32_t k = 0; k < cells; ++k)
            addSpriteRect(16.0f + 7.0f * k, fade + 360.0f, 15.0f, 23.0f, {left, 256.0f, left + 15.0f, 279.0f},
                          gHpMpBaseTexture, HALF_GREY);
    }
    addSpriteRect(100.0f, fade + 362.0f, 63.0f, 15.0f, HPMP_CHARGE_LABEL, gHpMpBaseTexture, HALF_GREY);
    flushSprites();
    setSpriteColourOp(GFX_TOP_MODULATE);
}

// Condition names are drawn as they are, never as format strings.
static void drawConditionNames() {
    int32_t n = gConditionBanner.tickerDone;
    float x = 960.0f - 16.0f * n > 632.0f ? 960.0f - 16.0f * n : 632.0f;
    int32_t count = gFloorConditionList.count < FLOOR_CONDITION_MAX ? gFloorConditionList.count : FLOOR_CONDITION_MAX;
    // Further names stack upwards above the first, one line each.
    for (int32_t i = 0; i < count; ++i)
        drawTextRight(x, 420.0f + 256.0f * gHud.hudFade - 20.0f * i, gFloorConditionList.names[i], 0xC8FFFFFF, 0.825f);
}

static void addMapQuad(float x, float y, float size, const SpriteSource& uv, uint32_t argb) {
    if (gSpriteVertexCount > SPRITE_VERTEX_MAX - 6) return;
    float s = static_cast<float>(gScreenSize.width) / 640.0f;
    float l = x * s, t = y * s, r = (x + size) * s, b = (y + size) * s;
    SpriteVertex* v = gSpriteBatch + gSpriteVertexCount;
    const float px[6] = {r, l, r, l, l, r}, py[6] = {b, b, t, b, t, t};
    const float pu[6] = {uv.right, uv.left, uv.right, uv.left, uv.left, uv.right};
    const float pv[6] = {uv.bottom, uv.bottom, uv.top, uv.bottom, uv.top, uv.top};
    for (int32_t i = 0; i < 6; ++i) {
        v[i].x = px[i];
        v[i].y = py[i];
        v[i].z = 0.0f;
        v[i].rhw = 1.0f;
        v[i].specular = 0;
        v[i].diffuse = argb;
        v[i].u = pu[i];
        v[i].v = pv[i];
    }
    gSpriteVertexCount += 6;
}

static void drawMinimap() {
    if (!floorHasMinimap(gFloorGrid.roomsX, gFloorGrid.roomsY)) return;
    float ox = 620.0f - 16.0f * gFloorGrid.roomsX, oy = 256.0f * gHud.hudFade + 416.0f - 16.0f * gFloorGrid.roomsY;
    bindSpriteTexture(gMapTexture);
    for (int32_t r = 0; r < gFloorGrid.roomsY && r < MAP_GRID_SIZE; ++r)
        for (int32_t c = 0; c < gFloorGrid.roomsX && c < MAP_GRID_SIZE; ++c) {
            const MapCell& cell = gFloorGrid.mapGrid[r][c];
            if (cell.blockId < 0 || !cell.flags) continue;
            int32_t column = cell.shapeIndex % 5;
            int32_t row = cell.shapeIndex > 4 ? cell.rotation + 4 : cell.rotation;
            SpriteSource uv = {(column * 48 + 0.5f) / 256.0f, (row * 48 + 0.5f) / 512.0f,
                               (column * 48 + 47.5f) / 256.0f, (row * 48 + 47.5f) / 512.0f};
            addMapQuad(ox + 16.0f * (c + 1), oy + 16.0f * (r + 1), 16.0f, uv, MINIMAP_TILE_COLOUR);
        }
    flushSprites();
    float px = gParty.positions[0].x, pz = gParty.positions[0].z;
    addSpriteRect(ox + 38.0f - 0.4f * (px + 40.0f), oy + 38.0f - 0.4f * (pz + 40.0f), 4.0f, 4.0f, MAP_DOT_PLAYER,
                  gMapTexture, WHITE);
    flushSprites();
}

static void drawFloorPlate(float fade) {
    float y0 = fade + 436.0f;
    int32_t d = gRun.bossRushCourse >= 0 ? gRun.bossRushCourse : gRun.dungeonIndex;
    int32_t f = gRun.bossRushBattle >= 0 ? gRun.bossRushBattle : gFloorIndex;
    bindSpriteTexture(gItemWindowTexture);
    addSpriteRect(460.0f, y0, 180.0f, 40.0f, ITEMWIN_FLOOR_PLATE, gItemWindowTexture, WHITE);
    if (d == LAST_DUNGEON)
        addSpriteRect(468.0f, y0 + 4.0f, 96.0f, 32.0f, ITEMWIN_LAST_DUNGEON_NAME, gItemWindowTexture, WHITE);
    else
        addSpriteRect(468.0f, y0, 180.0f, 40.0f,
                      {448.0f, ITEMWIN_DUNGEON_NAME_TOP + 40.0f * d, 628.0f, ITEMWIN_DUNGEON_NAME_TOP + 40.0f * d + 40.0f},
                      gItemWindowTexture, WHITE);
    if (gRun.bossRushCourse < 0) {
        char text[16];
        snprintf(text, sizeof text, "%2d", f + 1);
        int32_t j = 0;
        for (const char* p = text; *p; ++p) {
            if (*p < '0' || *p > '9') continue;
            float left = ITEMWIN_FLOOR_DIGIT_LEFT + 24.0f * (*p - '0');
            addSpriteRect(560.0f + 16.0f * j, y0 + 2.0f, 24.0f, 32.0f,
                          {left, ITEMWIN_FLOOR_DIGIT_TOP, left + 24.0f, ITEMWIN_FLOOR_DIGIT_TOP + 32.0f},
                          gItemWindowTexture, WHITE);
            ++j;
        }
        addSpriteRect(560.0f + 16.0f * j, y0 + 2.0f, 24.0f, 32.0f, ITEMWIN_FLOOR_LETTER, gItemWindowTexture, WHITE);
    }
    flushSprites();
}

static void drawKillCombo() {
    if (gFloorStatus.enemyKillCombo <= 0) return;
    char text[16];
    snprintf(text, sizeof text, "%3d", gFloorStatus.enemyKillCombo);
    bindSpriteTexture(gItemWindowTexture);
    for (int32_t j = 0; j < 3 && text[j]; ++j) {
        if (text[j] < '0' || text[j] > '9') continue;
        float left = 32.0f * (text[j] - '0');
        addSpriteRect(16.0f + 24.0f * j, 160.0f, 32.0f, 40.0f,
                      {left, ITEMWIN_COMBO_DIGIT_TOP, left + 32.0f, ITEMWIN_COMBO_DIGIT_TOP + 40.0f}, gItemWindowTexture,
                      WHITE);
    }
    addSpriteRect(96.0f, 160.0f, 96.0f, 40.0f, ITEMWIN_COMBO_WORD, gItemWindowTexture, WHITE);
    flushSprites();
}

// The enemy last hit: HP bar, frame, icon, level and HP counter.
static void drawEnemyPanel(float fade) {
    int32_t index = gRun.lastHitValue;
    if (gRun.lastHitTimer <= 0 || index < 0 || index >= ENEMY_POOL_SIZE) return;
    const Enemy& e = gEnemies[index];
    float y = -fade;
    float h = e.hp / (e.maxHp > 1.0f ? e.maxHp : 1.0f);
    bindSpriteTexture(gEnemyHpTexture);
    addSpriteRect(416.0f, y + 20.0f, 207.0f, 19.0f, ENEHP_BAR_BACK, gEnemyHpTexture, WHITE);
    addSpriteRect(416.0f, y + 20.0f, 207.0f * h, 19.0f, ENEHP_BAR_FILL, gEnemyHpTexture, WHITE);
    addSpriteRect(360.0f, y, 280.0f, 64.0f, ENEHP_FRAME, gEnemyHpTexture, WHITE);
    flushSprites();
    if (e.kind >= 0 && e.kind < ENEMY_ICON_SLOTS) {
        const TextureSlot& icon = gEnemyIconTextures[e.kind];
        bindSpriteTexture(icon);
        addSpriteRect(364.0f, y - 4.0f, 64.0f, 64.0f, {0.0f, 0.0f, 64.0f, 64.0f}, icon, WHITE);
        flushSprites();
    }
    bindSpriteTexture(gEnemyHpTexture);
    addSpriteRect(404.0f, y + 32.0f, 24.0f, 24.0f, ENEHP_LEVEL_LABEL, gEnemyHpTexture, WHITE);
    char text[16];
    snprintf(text, sizeof text, "%d", e.level + 1 < 99 ? e.level + 1 : 99);
    for (int32_t j = 0; text[j]; ++j) {
        float left = ENEHP_DIGIT_LEFT + 24.0f * (text[j] - '0');
        addSpriteRect(418.0f + 12.0f * j, y + 32.0f, 24.0f, 24.0f,
                      {left, ENEHP_DIGIT_TOP, left + 24.0f, ENEHP_DIGIT_TOP + 24.0f}, gEnemyHpTexture, WHITE);
    }
    flushSprites();
    bindSpriteTexture(gHpMpBaseTexture);
    addSpriteRect(456.0f, y + 40.0f, 38.4f, 19.2f, HPMP_ENEMY_HP_LABEL, gHpMpBaseTexture, WHITE);
    drawCounter(488.0f, y + 40.0f, static_cast<int32_t>(e.hp), static_cast<int32_t>(e.maxHp));
    flushSprites();
}

static int32_t popupAlpha(int32_t timer) { return timer < 16 ? 16 * timer - 1 : 255; }

static bool popupOnScreen(const NumberPopup& p, ScreenPoint& out) {
    mapWorldToScreen(p.position.x, p.position.y, p.position.z, &out);
    return getViewDepth(p.position.x, p.position.y, p.position.z) < 0.0f;
}

static void drawPopupLabels() {
    bindSpriteTexture(gItemWindowTexture);
    for (const NumberPopup& p : gNumberPopups) {
        if (p.timer <= 0 || p.type < POPUP_TYPE_LABEL_FIRST) continue;
        ScreenPoint s;
        if (!popupOnScreen(p, s)) continue;
        float top = 24.0f * p.type + 528.0f;
        uint32_t colour = static_cast<uint32_t>(popupAlpha(p.timer)) << 24 | 0x7F7F7F;
        addSpriteRect(s.x - 64.0f, s.y - 32.0f + p.timer / 4 - 16.0f * p.value, 128.0f, 24.0f,
                      {ITEMWIN_POPUP_LABEL_LEFT, top, ITEMWIN_POPUP_LABEL_LEFT + 128.0f, top + 24.0f}, gItemWindowTexture,
                      colour);
    }
    flushSprites();
}

static void drawPopupNumber(const NumberPopup& p, const ScreenPoint& sp) {
    uint32_t alpha = static_cast<uint32_t>(popupAlpha(p.timer)) << 24;
    float s = 1.0f, x = sp.x, y = sp.y - 16.0f + p.timer / 4;
    if (p.type != POPUP_TYPE_DAMAGE) x -= 18.0f;
    uint32_t rgb = 0x7F7F7F;
    bool bounce = false;
    switch (p.type) {
    case 1:
    case 6:
        rgb = 0x37A5FF;
        addSpriteRect(x - 28.0f, y, 44.0f, 24.0f,
                      p.type == 1 ? SpriteSource{193.0f, 432.0f, 237.0f, 456.0f} : SpriteSource{241.0f, 432.0f, 285.0f, 456.0f},
                      gHpMpBaseTexture, alpha | rgb);
        break;
    case 2:
        rgb = 0xFFCD37;
        x -= 8.0f;
        break;
    case 3:
        rgb = 0xC3E9FB;
        x += 16.0f;
        addSpriteRect(x - 72.0f, y, 80.0f, 32.0f, {37.0f, 576.0f, 117.0f, 608.0f}, gHpMpBaseTexture, alpha | rgb);
        addSpriteRect(x, y, 16.0f, 32.0f, {117.0f, 576.0f, 133.0f, 608.0f}, gHpMpBaseTexture, alpha | rgb);
        if (p.value > 99) x += 12.0f;
        break;
    case 4:
        rgb = 0x9B3F9B;
        y = sp.y;
        bounce = true;
        break;
    case POPUP_TYPE_DAMAGE:
        rgb = 0xBF1F1F;
        s = damagePopupScale(p.duration, p.timer);
        x -= p.value < 10 ? s * 8.0f : s * 24.0f;
        y = sp.y - 16.0f * s;
        break;
    default:
        y = sp.y;
        bounce = true;
        break;
    }
    char text[16];
    snprintf(text, sizeof text, "%3d", p.value);
    int32_t j = 0;
    for (const char* c = text; *c; ++c, ++j) {
        if (*c == ' ') {
            x += 12.0f;
            continue;
        }
        int32_t d = *c == '/' ? SMALL_DIGIT_SLASH : *c - '0';
        if (d < 0 || d > SMALL_DIGIT_SLASH) continue;
        float dy = 0.0f;
        int32_t e = 56 + 2 * j - p.timer;
        if (bounce && e > 0 && e < 16) dy = -32.0f * std::sin(e * PI / 16.0f);
        float left = HPMP_POPUP_DIGIT_LEFT + 20.0f * d;
        addSpriteRect(x, y + dy, 19.0f * s, 24.0f * s, {left, 432.0f, left + 19.0f, 456.0f}, gHpMpBaseTexture,
                      alpha | rgb);
        x += 12.0f * s;
    }
    if (p.type == 1 || p.type == 6) {
        if (p.value > 9) x += 12.0f;
        if (p.value > 99) x += 24.0f;
        addSpriteRect(x + 16.0f, y, 16.0f, 24.0f, {461.0f, 464.0f, 477.0f, 488.0f}, gHpMpBaseTexture, alpha | rgb);
    } else if (p.type == 2) {
        addSpriteRect(x, y, 16.0f, 32.0f, {133.0f, 576.0f, 149.0f, 608.0f}, gHpMpBaseTexture, alpha | rgb);
    }
}

static void drawPopupNumbers() {
    bindSpriteTexture(gHpMpBaseTexture);
    for (const NumberPopup& p : gNumberPopups) {
        if (p.timer <= 0 || p.type >= POPUP_TYPE_LABEL_FIRST) continue;
        ScreenPoint s;
        if (!popupOnScreen(p, s)) continue;
        drawPopupNumber(p, s);
    }
    flushSprites();
    setSpriteColourOp(GFX_TOP_MODULATE);
}

void drawDungeonOverlay() {
    float fade = 128.0f * gHud.hudFade;
    drawAdventurerPanel(0.0f, fade, gChosenAdventurer, 0);
    drawChargeGauge(fade);
    drawConditionNames();
    drawMinimap();
    drawFloorPlate(fade);
    drawKillCombo();
    if (gGfxDevice) {
        gGfxDevice->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
        gGfxDevice->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
    }
    setSpriteColourOp(GFX_TOP_ADDSIGNED);
    drawPopupLabels();
    drawPopupNumbers();
    drawEnemyPanel(fade);
    drawLevelUpTag(16.0f, 400.0f);
}
