#include "story/event_drawing.h"

#include <cmath>

#include "engine/device.h"
#include "engine/dialogs.h"
#include "engine/loaders.h"
#include "engine/math.h"
#include "engine/meshes.h"
#include "engine/random.h"
#include "engine/render_states.h"
#include "engine/scene_pictures.h"
#include "engine/textures.h"
#include "field/field.h"
#include "story/event.h"
#include "story/event_script.h"
#include "story/story.h"

EventSheets gEventSheets;

namespace {

constexpr uint32_t WHITE_ARGB = 0xFFFFFFFFu;
constexpr float EVENT_FOV = 3.14159265f / 4.0f;
constexpr float EVENT_FAR = 59000.0f;
constexpr float EVENT_EYE_Z = 5000.0f;
constexpr SpriteSource SYSTEM_WHITE = {1, 1, 7, 7};
constexpr SpriteSource SKIP_HINT = {288, 384, 488, 416};
constexpr SpriteSource SLIDE_PANEL = {0, 0, 640, 160};
constexpr SpriteSource BALLOON = {0, 0, 416, 176};
constexpr SpriteSource BALLOON_LOW = {0, 176, 416, 352};
constexpr float BALLOON_WIDTH = 416.0f;
constexpr float BALLOON_HEIGHT = 176.0f;
constexpr int32_t CURSOR_SIZE = 64;
constexpr int32_t LINE_SPACING = 30;

uint32_t withAlphaByte(int32_t alpha) { return (uint32_t)alpha << 24 | 0x00FFFFFFu; }

// Scripts may place things anywhere; the sprite batch turns positions into
// ints, so they are kept within a range that cast can hold.
float screenClamp(float v) { return v < -32768.0f ? -32768.0f : v > 32768.0f ? 32768.0f : v; }
// Truncated toward zero into 0..255; a value beyond (or NaN) cannot overflow the cast.
int32_t byteOf(float v) { return v >= 0.0f ? (v < 255.0f ? (int32_t)v : 255) : 0; }

int32_t shake(int32_t rumble) { return rumble != 0 ? (randomInt() & 31) - 16 : 0; }

const EventPicture* pictureAt(int32_t index) {
    return index >= 0 && index < EVENT_PICTURE_MAX ? &gEventResources.pictures[index] : nullptr;
}

void quad(float x, float y, float w, float h, const SpriteSource& src, const TextureSlot& slot, uint32_t argb) {
    SpriteDest dst = {x, y, w, h};
    addSpriteQuad(dst, src, slot, argb);
}

void drawBackgroundMesh() {
    if (!gGfxDevice) return;
    GfxDevice* d = gGfxDevice;
    d->setRenderState(GFX_RS_CULLMODE, GFX_CULL_CCW);
    d->setTextureStageState(0, GFX_TSS_MINFILTER, GFX_FILTER_LINEAR);
    d->setTextureStageState(0, GFX_TSS_MAGFILTER, GFX_FILTER_LINEAR);
    d->setVertexFormat(MESH_VERTEX_FORMAT);
    d->lightEnable(0, false);
    d->setRenderState(GFX_RS_LIGHTING, 0);
    d->setRenderState(GFX_RS_FOGENABLE, 0);
    d->setRenderState(GFX_RS_ZENABLE, 0);
    d->setRenderState(GFX_RS_ZWRITEENABLE, 0);
    d->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
    Matrix4 projection = matrixPerspectiveFovRH(EVENT_FOV, 4.0f / 3.0f, 1.0f, EVENT_FAR);
    Matrix4 view = matrixLookAtRH({0.0f, 0.0f, EVENT_EYE_Z}, {0.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
    d->setTransform(GFX_TS_PROJECTION, projection.m);
    d->setTransform(GFX_TS_VIEW, view.m);
    // Only the first model is drawn; further ones are loaded and kept.
    if (gEventScriptCounts.meshes > 0 && gEventResources.meshes[0].mesh.vertices) {
        Matrix4 world = matrixScaling(-1.0f, 1.0f, 1.0f);
        d->setTransform(GFX_TS_WORLD, world.m);
        drawMeshObject(&gEventResources.meshes[0].mesh);
    }
}

void drawLight() {
    EventSceneState& e = gEventScene;
    if (!e.lightOn) return;
    ++e.lightCounter;
    float level = (std::sin((float)e.lightCounter * e.lightFrequency) + 1.0f) * e.lightAmplitude;
    int32_t alpha = byteOf(level);
    bindSpriteTexture(gSystemTexture);
    quad(0, 0, 640, 480, SYSTEM_WHITE, gSystemTexture, withAlphaByte(alpha));
    flushSprites();
}

void drawBackground() {
    EventSceneState& e = gEventScene;
    // Only the backgrounds this script registered are loaded; another
    // number draws none.
    int32_t count = gEventScriptCounts.backgrounds < EVENT_BACKGROUND_MAX ? gEventScriptCounts.backgrounds : EVENT_BACKGROUND_MAX;
    if (e.background < 0 || e.background >= count) return;
    int32_t index = e.background;
    const TextureSlot& slot = gEventResources.backgrounds[index].texture;
    bindSpriteTexture(slot);
    if (e.scrollOffset == 0 && e.scrollSpeed == 0) {
        quad(0, 0, 640, 480, {0, 0, 640, 480}, slot, WHITE_ARGB);
    } else {
        float y = (float)shake(e.backgroundRumble);
        float off = (float)(e.scrollOffset / 1000);
        const SpriteSource src = {0, 0, 1024, 480};
        quad(off, y, 1024, 480, src, slot, WHITE_ARGB);
        quad(off + 1024, y, 1024, 480, src, slot, WHITE_ARGB);
        quad(off - 1024, y, 1024, 480, src, slot, WHITE_ARGB);
    }
    flushSprites();
    drawLight();
}

void setSpriteBlend(int32_t blend) {
    if (!gGfxDevice) return;
    bool additive = blend == EVENT_BLEND_ADD_SHADE || blend == EVENT_BLEND_ADD_ADD;
    bool addColour = blend == EVENT_BLEND_NORMAL_ADD || blend == EVENT_BLEND_ADD_ADD;
    gGfxDevice->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
    gGfxDevice->setRenderState(GFX_RS_DESTBLEND, additive ? GFX_BLEND_ONE : GFX_BLEND_INVSRCALPHA);
    setSpriteColourOp(addColour ? GFX_TOP_ADD : GFX_TOP_MODULATE);
}

uint32_t spriteColour(const EventSprite& s) {
    uint32_t c[4];
    for (int32_t ch = 0; ch < 4; ++ch) c[ch] = (uint32_t)byteOf(s.color[ch]);
    return c[3] << 24 | c[0] << 16 | c[1] << 8 | c[2];
}

void drawSprites() {
    for (const EventSprite& s : gEventSprites) {
        const EventPicture* p = pictureAt(s.picture);
        if (!s.visible || !p || p->name[0] == 0) continue;
        float w = (float)p->width, h = (float)p->height;
        setSpriteBlend(s.blend);
        bindSpriteTexture(p->texture);
        SpriteDest dst = {screenClamp(s.x), screenClamp(std::trunc(s.y)) + (float)shake(gEventScene.spriteRumble),
                          w + 0.5f, h + 0.5f};
        const SpriteSource src = {0, 0, w, h};
        if (s.facing == 1) addSpriteQuadMirrored(dst, src, p->texture, spriteColour(s));
        else addSpriteQuad(dst, src, p->texture, spriteColour(s));
        flushSprites();
    }
}

// The balloon's anchor: the speaker picture's middle, moved by its center
// toward where it faces.
float speakerAnchor() {
    int32_t speaker = gEventScene.speakerSprite;
    const EventSprite& s = gEventSprites[speaker >= 0 && speaker < EVENT_SPRITE_MAX ? speaker : 0];
    const EventPicture* p = pictureAt(s.picture);
    float px = (float)((p ? p->width : 0) / 2) + s.x;
    return screenClamp(s.facing == 0 ? px + s.center : px - s.center);
}

// Draws the balloon, the name plate and the cursor; returns the text's anchor.
float drawMessageWindow(float px) {
    EventSceneState& e = gEventScene;
    float a = screenClamp((float)e.windowY);
    int32_t style = e.balloonStyle;
    if (style == 2) px -= 32;
    else if (style == -1) px -= 384;
    else if (style == 0) px -= 64;
    else px -= 32;
    if (e.windowCounter <= 0) return px + 80;

    WindowPop pop = computeWindowPopCurve(e.windowCounter, e.messageFirstLine == -1 ? 1 : 0);
    if (style != 2) {
        bindSpriteTexture(gEventSheets.window);
        SpriteDest dst = {px + BALLOON_WIDTH / 2 - BALLOON_WIDTH / 2 * pop.scaleX,
                          (a + BALLOON_HEIGHT / 2) - BALLOON_HEIGHT / 2 * pop.scaleY, BALLOON_WIDTH * pop.scaleX,
                          BALLOON_HEIGHT * pop.scaleY};
        uint32_t argb = withAlphaByte(pop.alpha);
        if (style == -1) addSpriteQuad(dst, BALLOON, gEventSheets.window, argb);
        else if (style == 0) addSpriteQuad(dst, BALLOON_LOW, gEventSheets.window, argb);
        else addSpriteQuadMirrored(dst, BALLOON, gEventSheets.window, argb);
    }
    px += 80;
    flushSprites();

    int32_t plateAlpha = (e.windowCounter - 4) * 60;
    if (plateAlpha > 255) plateAlpha = 255;
    if (style == 2 || e.messageFirstLine == -1 || plateAlpha <= 0) return px;
    uint32_t argb = withAlphaByte(plateAlpha);
    if (style != 0) {
        bindSpriteTexture(gEventSheets.names);
        quad(style == 1 ? px + 72 : px + 56, a + 12, EVENT_NAME_PLATE_WIDTH, EVENT_NAME_PLATE_HEIGHT,
             eventNamePlateCell(e.plateCell), gEventSheets.names, argb);
        flushSprites();
    }
    if (e.textComplete) {
        int32_t frame = (e.keyCursorCounter / 5) % 20;
        if (frame > 4) frame = 0;
        ++e.keyCursorCounter;
        float top = (float)(CURSOR_SIZE * frame);
        bindSpriteTexture(gEventSheets.window);
        quad(px + 256, a + 104, CURSOR_SIZE, CURSOR_SIZE, {416, top, 416 + CURSOR_SIZE, top + CURSOR_SIZE},
             gEventSheets.window, argb);
        flushSprites();
    }
    return px;
}

// The typewriter text; it decides when the text counts as complete.
void drawMessageText(float px) {
    EventSceneState& e = gEventScene;
    if (e.messageFirstLine == -1) return;
    if (e.newMessage) {
        e.revealCounter = 1;
        e.newMessage = 0;
    }
    e.textComplete = 1;
    float budget = (float)(e.revealCounter - 4) * (float)e.textSpeed / 32.0f;
    if (budget <= 0.0f) {
        e.textComplete = 0;
        return;
    }
    float a = screenClamp((float)e.windowY);
    for (int32_t i = 0; i < e.messageLineCount; ++i) {
        int32_t line = e.messageFirstLine + i;
        if (line < 0 || line >= EVENT_MESSAGE_LINE_MAX) break;
        budget -= (float)drawTextPartial(px - 16, a + 56 + (float)(LINE_SPACING * i), gEventMessageLines[line],
                                         WHITE_ARGB, 1.0f, (int32_t)budget);
        if (budget <= 2.0f) e.textComplete = 0;
        if (budget <= 0.0f) break;
    }
}

void drawScreenFade() {
    EventSceneState& e = gEventScene;
    if (e.fadeMode == EVENT_FADE_NONE) return;
    int32_t level = eventFadeLevel(e.fadeMode, e.fadeCounter, e.fadeLength);
    uint32_t alpha = (e.fadeColor >> 24) * (uint32_t)level / 255;
    bindSpriteTexture(gSystemTexture);
    quad(0, 0, 640, 480, SYSTEM_WHITE, gSystemTexture, alpha << 24 | (e.fadeColor & 0x00FFFFFFu));
    flushSprites();
}

}  // namespace

int32_t eventFadeLevel(int32_t mode, int32_t counter, int32_t length) {
    if (mode == EVENT_FADE_NONE) return 0;
    // A fade of no length is over before it is drawn.
    int64_t covered = length > 0 ? (int64_t)counter * 255 / length : 255;
    if (covered > 255) covered = 255;
    if (covered < 0) covered = 0;
    return mode == EVENT_FADE_OUT ? (int32_t)covered : 255 - (int32_t)covered;
}

void loadEventTextures() {
    loadTextureToGroup(TEXTURE_GROUP_EVENT, gEventSheets.window, EVENT_WINDOW_SHEET, EVENT_SHEET_SIZE, EVENT_SHEET_SIZE);
    loadTextureToGroup(TEXTURE_GROUP_EVENT, gEventSheets.names, EVENT_NAME_SHEET, EVENT_SHEET_SIZE, EVENT_SHEET_SIZE);
    // A model still held (a reload after a device reset) is kept as it is.
    for (int32_t i = 0; i < gEventScriptCounts.meshes && i < EVENT_MESH_MAX; ++i) {
        EventMesh& m = gEventResources.meshes[i];
        if (!m.mesh.vertices) loadMesh(&m.mesh, m.name, 0);
    }
    for (int32_t i = 0; i < gEventScriptCounts.backgrounds && i < EVENT_BACKGROUND_MAX; ++i) {
        EventBackground& b = gEventResources.backgrounds[i];
        loadTextureToGroup(TEXTURE_GROUP_EVENT, b.texture, b.name, EVENT_BACKGROUND_WIDTH, EVENT_BACKGROUND_HEIGHT);
    }
    for (EventPicture& p : gEventResources.pictures)
        if (p.name[0]) loadTextureToGroup(TEXTURE_GROUP_EVENT, p.texture, p.name, p.width, p.height);
}

void resetEventDrawing() { gEventSheets = EventSheets{}; }

int32_t getEventBackgroundCount() { return gEventScriptCounts.backgrounds; }

void drawEventScene() {
    // While the event's pictures load on the loader thread its slots are
    // being written; the scene is drawn once it runs.
    if (gEventReady != 1) return;
    if (gGfxDevice) set2DRenderStates();
    drawEvent();
    if (gEventScene.skipQuestionOpen) {
        drawYesNoWindow();
        drawPointer();
    }
}

void drawEvent() {
    EventSceneState& e = gEventScene;
    drawBackgroundMesh();
    if (gGfxDevice) set2DRenderStates();
    drawBackground();
    drawSprites();
    // What follows draws with the 2D set-up's blend, whatever the sprites used.
    if (gGfxDevice) set2DRenderStates();
    if (e.slidePanelCounter != -1) {
        bindSpriteTexture(gEventSheets.window);
        quad(0, (float)((120 - e.slidePanelCounter) * 4), 640, 160, SLIDE_PANEL, gEventSheets.window, WHITE_ARGB);
        flushSprites();
    }
    float textX = drawMessageWindow(speakerAnchor());
    flushSprites();
    drawMessageText(textX);
    drawScreenFade();
    if (e.framesRun > 1 && !e.skipOff) {
        bindSpriteTexture(gDataWindowTexture);
        quad(440, 440, 200, 32, SKIP_HINT, gDataWindowTexture, WHITE_ARGB);
        flushSprites();
    }
}
