#include "field/hud.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "adventurers/adventurers_state.h"
#include "dungeon/dungeon.h"
#include "engine/dialogs.h"
#include "engine/device.h"
#include "engine/frame_loop.h"
#include "engine/loaders.h"
#include "engine/random.h"
#include "engine/render_states.h"
#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "engine/stage_index.h"
#include "engine/story_flags.h"
#include "engine/text.h"
#include "field/field_files.h"
#include "field/hud_cells.h"
#include "shop/shop.h"
#include "story/story.h"

HudBalloon gHudBalloon;
HudTimers gHudTimers;
HudState gHud;

constexpr float BALLOON_TEXT_SCALE_START = 0.5f;
constexpr int32_t WORLD_MAP_PLACE_GUILD = 6;
constexpr int32_t WORLD_MAP_PLACE_SHOP = 0;
constexpr int32_t SHOP_FLOOR_FIRST_MENU = 0;
constexpr int32_t SHOP_FLOOR_FIRST_MENU_AGAIN = 10;
constexpr float HUD_FADE_STEP = 0.1f;

void resetHudGlobals() {
    gHudBalloon = HudBalloon{};
    gHudBalloon.textScale = BALLOON_TEXT_SCALE_START;
    gHudTimers = HudTimers{};
    gHud.topBarSlide = -1;
    gHud.topBarKind = -1;
    gHud.expShown = 0.0f;
    gHud.levelUpTimer = 0;
    gHud.moneyShown = 0;
    gHud.hudFade = 0.0f;
    gHud.chestNoticeTimer = 0;
}

void resetHudState() {
    gHudBalloon.shownFrames = 0;
    gHudBalloon.openFrames = 0;
    gHudTimers.bannerActive = 0;
    gHudTimers.bannerDuration = 0;
    gHudTimers.bannerKind = 0;
    gHudTimers.gaugePulse = 0;
    gHudTimers.itemGetTimer = 0;
    gHud.hudFade = 0.0f;
    gHud.topBarSlide = -1;
    gHud.topBarKind = -1;
}

void openPopupMessage(float x, float y, int32_t, const char* text) {
    HudBalloon& b = gHudBalloon;
    b.shownFrames = 1;
    b.mirrored = 0;
    if (b.openFrames == 0) {
        playSoundEffect(SOUND_BALLOON);
        b.openFrames = 1;
    } else {
        playSoundEffect(SOUND_BALLOON_TEXT);
    }
    b.x = x;
    b.y = y;
    b.closing = 0;
    // A fifth line's bytes and a line's bytes past 255 are dropped, so every
    // line stays terminated whatever the caller passes.
    memset(b.lines, 0, sizeof b.lines);
    int32_t line = 0, column = 0;
    for (int32_t i = 0; text && i < BALLOON_SOURCE_MAX && text[i] != '\0'; ++i) {
        if (text[i] == '<') {
            if (line + 1 < BALLOON_LINE_COUNT) {
                ++line;
                column = 0;
            } else {
                column = BALLOON_LINE_SIZE;   // the lines are full
            }
            // The tag's three bytes after '<' are skipped, but never past the end.
            for (int32_t k = 0; k < 3 && i + 1 < BALLOON_SOURCE_MAX && text[i + 1] != '\0'; ++k) ++i;
            continue;
        }
        if (column < BALLOON_LINE_SIZE - 1) b.lines[line][column++] = text[i];
    }
    b.lineCount = line + 1;
}

void closePopupMessage(int32_t withSound) {
    gHudBalloon.closing = 1;
    if (withSound) playSoundEffect(SOUND_BALLOON);
}

void clearPopupMessage() {
    gHudBalloon.closing = 0;
    gHudBalloon.shownFrames = 0;
    gHudBalloon.openFrames = 0;
}

void setPopupMirror(int32_t mirrored, int32_t) { gHudBalloon.mirrored = mirrored; }
void setPopupTextScale(float scale) { gHudBalloon.textScale = scale; }
void setPopupPosition(float x, float y) {
    gHudBalloon.x = x;
    gHudBalloon.y = y;
}

void startBanner(int32_t duration, int32_t kind) {
    gHudTimers.bannerActive = 1;
    gHudTimers.bannerDuration = duration;
    gHudTimers.bannerKind = kind;
}

void startGaugeShake() {
    gHudTimers.shakeFrames = GAUGE_SHAKE_FRAMES;
    playSoundEffect(SOUND_COIN);
}

void startItemGetPopup(int32_t itemKey) {
    gHudTimers.itemGetKey = itemKey;
    gHudTimers.itemGetTimer = 1;
}

void emptyOverlayHook() {}

void startNewsBanner() {
    if (gConditionBanner.counter == 0) gConditionBanner.counter = 1;
}

static bool onDungeonFloor() { return gCurrentStage && gCurrentStage->maptype >= 1; }

int32_t stepMoneyShown(int32_t shown, int32_t money, int32_t r) {
    if (shown == money) return shown;
    int64_t d = money > shown ? (int64_t)money - shown : (int64_t)shown - money;
    int64_t step = d / 25 > 10 ? d / 25 : 10;
    int64_t move = r % step + d / 100;
    if (money < shown) return shown - move < money ? money : (int32_t)(shown - move);
    return shown + move > money ? money : (int32_t)(shown + move);
}

static void tickTopBar() {
    if (gGameMode == GAME_MODE_FIELD) {
        if (onDungeonFloor()) return;
        if ((gShopFloor.shopFloorState != SHOP_FLOOR_FIRST_MENU && gShopFloor.shopFloorState != SHOP_FLOOR_FIRST_MENU_AGAIN) ||
            gShopFloor.shopMenuCursor[0] != 0) {
            if (gHud.topBarSlide > 0) --gHud.topBarSlide;
        } else {
            gHud.topBarKind = 2;
            if (gHud.topBarSlide < TOP_BAR_SLIDE_MAX) ++gHud.topBarSlide;
        }
    } else if (gGameMode == GAME_MODE_WORLD_MAP) {
        int32_t place = getWorldMapPlace();
        if (place == WORLD_MAP_PLACE_GUILD)
            gHud.topBarKind = 0;
        else if (place != WORLD_MAP_PLACE_SHOP)
            gHud.topBarKind = 4;
        else
            gHud.topBarKind = runningGameState().townVisited ? 1 : 3;
        if (gHud.topBarSlide < TOP_BAR_SLIDE_MAX) ++gHud.topBarSlide;
    } else {
        gHud.topBarSlide = 0;
    }
}

int64_t merchantExpSpan(const GameState& g) {
    return static_cast<int64_t>(g.levelExpNext) - static_cast<int64_t>(g.levelExpFloor);
}

static void tickExperience(GameState& g) {
    if (gHud.expShown < static_cast<float>(g.merchantExp)) {
        gHud.expShown += static_cast<float>(merchantExpSpan(g)) * 0.01f;
        ++gHudTimers.gaugePulse;
    } else if (gHudTimers.gaugePulse != 0) {
        ++gHudTimers.gaugePulse;
    }
    if (gHudTimers.gaugePulse >= GAUGE_PULSE_TICKS) gHudTimers.gaugePulse = 0;
}

static void tickGaugeShake() {
    if (gHudTimers.shakeFrames < 1) {
        gHudTimers.shakeX = 0;
        gHudTimers.shakeY = 0;
        return;
    }
    --gHudTimers.shakeFrames;
    gHudTimers.shakeX = static_cast<int32_t>((randomUnit() + 0.5f) * 2.0f);
    if (randomInt() % 2) gHudTimers.shakeX = -gHudTimers.shakeX;
    gHudTimers.shakeY = static_cast<int32_t>((randomUnit() + 0.5f) * 2.0f);
    if (randomInt() % 2) gHudTimers.shakeY = -gHudTimers.shakeY;
}

void repairMerchantLevel(GameState& g) {
    bool levelBad = g.merchantLevel < 0 || g.merchantLevel > MERCHANT_LEVEL_CAP + 1;
    if (g.merchantLevel < 0) g.merchantLevel = 0;
    if (g.merchantLevel > MERCHANT_LEVEL_CAP + 1) g.merchantLevel = MERCHANT_LEVEL_CAP + 1;
    if (!levelBad && g.levelExpFloor >= 0 && merchantExpSpan(g) > 0) return;
    int32_t floor = 0, next = MERCHANT_LEVEL_ONE_EXP;
    for (int32_t level = 0; level < g.merchantLevel; ++level) {
        floor = next;
        next = level * 50 + next + 150;
    }
    g.levelExpFloor = floor;
    g.levelExpNext = next;
}

static void tickLevelUp(GameState& g) {
    if (gHud.expShown < static_cast<float>(g.levelExpNext)) return;
    if (g.merchantLevel > MERCHANT_LEVEL_CAP) {
        // The gauge stays full at the top level.
        g.merchantExp = g.levelExpNext;
        gHud.expShown = static_cast<float>(g.levelExpNext);
        return;
    }
    int32_t level = g.merchantLevel, next = g.levelExpNext;
    g.merchantLevel = level + 1;
    g.levelExpFloor = next;
    gHud.levelUpTimer = 1;
    g.levelExpNext = level * 50 + next + 150;
    playVoice(MERCHANT_LEVEL_UP_VOICE);
}

// Which way the HUD fade moves this tick: +1 toward the cut-scene look, -1 back.
static int32_t hudFadeDirection(const GameState& g) {
    if (g.storyFlags[FLAG_HUD_CUTSCENE] || g.storyFlags[FLAG_HUD_CUTSCENE_2]) return 1;
    if (gGameMode == GAME_MODE_WORLD_MAP) return -1;
    if (gEventReady) return onDungeonFloor() || getEventBackgroundCount() > 0 ? 1 : -1;
    if (gGameMode != GAME_MODE_FIELD || (gRun.playerControl == -1 && gRun.switchCutTimer < 1)) return -1;
    return 1;
}

void tickHud() {
    GameState& g = runningGameState();
    if (gHud.chestNoticeTimer != 0 && ++gHud.chestNoticeTimer > CHEST_NOTICE_LAST) gHud.chestNoticeTimer = 0;

    HudBalloon& b = gHudBalloon;
    if (b.shownFrames != 0) {
        ++b.shownFrames;
        ++b.openFrames;
        if (b.closing > 0) {
            if (b.closing == BALLOON_CLOSE_TICKS - 1)
                clearPopupMessage();
            else
                ++b.closing;
        }
    }

    if (gHudTimers.bannerActive > 0) {
        ++gHudTimers.bannerActive;
        if (gHudTimers.bannerActive > gHudTimers.bannerDuration) gHudTimers.bannerActive = 0;
    }

    tickTopBar();

    if (gHudTimers.itemGetTimer != 0) {
        if (gHudTimers.itemGetTimer == ITEM_GET_POPUP_LAST)
            gHudTimers.itemGetTimer = 0;
        else
            ++gHudTimers.itemGetTimer;
    }

    updatePointer();
    tickExperience(g);
    tickGaugeShake();
    if (gHud.levelUpTimer > 0) gHud.levelUpTimer = gHud.levelUpTimer == LEVEL_UP_TAG_LAST ? 0 : gHud.levelUpTimer + 1;
    tickLevelUp(g);
    if (g.money != gHud.moneyShown) gHud.moneyShown = stepMoneyShown(gHud.moneyShown, g.money, randomInt());

    if (hudFadeDirection(g) > 0)
        gHud.hudFade = gHud.hudFade + HUD_FADE_STEP < 1.0f ? gHud.hudFade + HUD_FADE_STEP : 1.0f;
    else
        gHud.hudFade = gHud.hudFade - HUD_FADE_STEP > 0.0f ? gHud.hudFade - HUD_FADE_STEP : 0.0f;
}

// ---- drawing ----

void formatHudItemName(char* out, int32_t size, int32_t key, bool withPlus) {
    int32_t row = findItemDisplayRow(key);
    if (row < 0) {
        // A key with no row of its own shows a placeholder, never a stray row.
        snprintf(out, size, "%s", "?");
        return;
    }
    bool identified = !(key & ITEM_KEY_UNIDENTIFIED);
    if (withPlus && identified && itemKeyPlus(key) != 0)
        snprintf(out, size, "%s+%d", gItemDefinitions[row].name, itemKeyPlus(key));
    else
        snprintf(out, size, "%s", gItemDefinitions[row].name);
}

constexpr uint32_t WHITE = 0xFFFFFFFF;

void drawPopupBalloon() {
    const HudBalloon& b = gHudBalloon;
    if (gSceneLoading || gFloorStatus.bossEntranceCutTimer || gRun.runEndTimer || gRun.gatePrompt || gEventReady || gRun.switchCutTimer)
        return;
    if (b.shownFrames == 0) return;
    float g = b.openFrames / 10.0f < 1.0f ? b.openFrames / 10.0f : 1.0f;
    if (b.closing > 0) g = (10 - b.closing) / 10.0f;

    bindSpriteTexture(gItemWindowTexture);
    if (!b.mirrored) {
        SpriteDest d = {b.x - 32.0f - 19.2f * g, b.y - 9.6f, 224.0f * g, 76.8f};
        addSpriteQuad(d, ITEMWIN_BALLOON, gItemWindowTexture, WHITE);
    } else {
        float k = 0.8f * g;
        SpriteSource flipped = {ITEMWIN_BALLOON.left, ITEMWIN_BALLOON.bottom, ITEMWIN_BALLOON.right, ITEMWIN_BALLOON.top};
        SpriteDest d = {b.x + 204.8f - 280.0f * k, b.y - 9.6f, 280.0f * k, 76.8f};
        addSpriteQuadMirrored(d, flipped, gItemWindowTexture, WHITE);
    }
    flushSprites();
    if (!gGfxDevice) return;
    set2DRenderStates();

    if (b.shownFrames <= BALLOON_TEXT_DELAY) return;
    static const float OFFSETS[BALLOON_LINE_COUNT] = {30.0f, 12.0f, 7.0f, 0.0f};
    static const float PITCHES[BALLOON_LINE_COUNT] = {20.0f, 30.0f, 22.0f, 20.0f};
    int32_t count = b.lineCount < 1 ? 1 : b.lineCount > BALLOON_LINE_COUNT ? BALLOON_LINE_COUNT : b.lineCount;
    float o = OFFSETS[count - 1], d = PITCHES[count - 1];
    float base = count == 4 ? 40.0f : 44.0f;
    if (b.textScale > 0.5f) o -= (b.textScale - 0.5f) * base * 0.5f;
    uint32_t colour = static_cast<uint32_t>(255 - 25 * b.closing) << 24 | 0xFFFFFF;
    for (int32_t i = 0; i < count; ++i) {
        float x = b.x - 6.4f + (b.mirrored ? 16.0f : 0.0f);
        drawText(x, (i * d - 5.0f + o) * 0.8f + b.y, b.lines[i], colour, 1.6f * b.textScale);
    }
    flushSprites();
}

void drawItemGetPopup() {
    int32_t t = gHudTimers.itemGetTimer;
    if (t == 0) return;
    int32_t a = 25 * t < 255 ? 25 * t : 255;
    float g = 0.1f * t < 1.0f ? 0.1f * t : 1.0f;
    float x = 32.0f * t + 160.0f < 496.0f ? 32.0f * t + 160.0f : 496.0f;
    if (t > 100) {
        x += 8.0f * t - 800.0f;
        a += 12 * (100 - t);
    }
    if (a < 0) a = 0;
    uint32_t c = static_cast<uint32_t>(a) << 24 | 0xFFFFFF;

    bindSpriteTexture(gItemWindowTexture);
    SpriteSource band = ITEMWIN_ITEM_GET_BAND;
    band.bottom = band.top + 32.0f * g;
    addSpriteRect(x - 28.0f, 104.0f - 12.0f * g, 168.0f, 24.0f * g, band, gItemWindowTexture, c);
    flushSprites();

    int32_t key = gHudTimers.itemGetKey;
    char name[ITEM_NAME_SIZE + 16];
    bool unidentified = key >= 0 && (key & ITEM_KEY_UNIDENTIFIED);
    formatHudItemName(name, sizeof name, key, true);
    drawText(x + 4.0f, 98.0f, name, WHITE, 0.6f);

    if (!gGfxDevice) return;
    set2DRenderStates();
    int32_t own = key >= 0 ? findItemDef(itemKeyId(key)) : -1;
    if (own < 0) return;
    const ItemDefinition& def = gItemDefinitions[own];
    if (def.category < 0 || def.category >= ITEM_CATEGORY_COUNT) return;
    const TextureSlot& sheet = itemIconSheet(def.category);
    int32_t n = unidentified ? 0 : def.iconCell;
    SpriteSource icon = {(n % 8) * 32.0f, (n / 8) * 32.0f, (n % 8) * 32.0f + 32.0f, (n / 8) * 32.0f + 32.0f};
    bindSpriteTexture(sheet);
    addSpriteRect(x - 24.0f, 104.0f - 12.0f * g, 24.0f, std::trunc(24.0f * g), icon, sheet, c);
    flushSprites();
}
