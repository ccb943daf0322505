// The event's drawing as quads on the recording device: the balloon by its
// style and the name plate by its cell, the typewriter text and when it
// counts as complete, the scrolled background, the sprites' blends against
// the window, the light, the screen fade and the skip hint.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/scene_pictures.h"
#include "story/event.h"
#include "story/event_script.h"
#include "tests/engine/font_draw_rig.h"

namespace {

struct SheetSlot {
    TextureSlot* slot;
    int32_t width, height;
};

}  // namespace

class EventDraw : public ::testing::Test {
protected:
    void SetUp() override {
        rig.open(true);
        ASSERT_NE(rig.capture, nullptr);
        savedSystem = gSystemTexture;
        savedDataWindow = gDataWindowTexture;
        resetEventPlayer();
        resetEventScript();
        resetEventDrawing();
        window = makeSheet(gEventSheets.window, 512, 512);
        names = makeSheet(gEventSheets.names, 512, 512);
        system = makeSheet(gSystemTexture, 128, 128);
        dataWindow = makeSheet(gDataWindowTexture, 512, 512);
        background = makeSheet(gEventResources.backgrounds[0].texture, 1024, 512);
        picture = makeSheet(gEventResources.pictures[0].texture, 512, 512);
        strcpy(gEventResources.pictures[0].name, "bmp/ivent/a.tga");
        gEventResources.pictures[0].width = gEventResources.pictures[0].height = 512;
        gEventScriptCounts.pictures = 1;
    }
    void TearDown() override {
        for (GfxTexture* t : made) rig.capture->releaseTexture(t);
        // The slots that held this device's textures are emptied with them.
        gEventResources.backgrounds[0].texture = TextureSlot{};
        gEventResources.pictures[0].texture = TextureSlot{};
        gSystemTexture = savedSystem;
        gDataWindowTexture = savedDataWindow;
        resetEventPlayer();
        resetEventScript();
        resetEventDrawing();
        rig.close();
    }
    GfxTexture* makeSheet(TextureSlot& slot, int32_t w, int32_t h) {
        GfxTexture* t = rig.makeSheet(slot, w, h);
        made.push_back(t);
        return t;
    }
    std::vector<DrawnQuad> quadsOn(GfxTexture* t) const { return rig.quadsOn(t); }
    // Quads of the glyphs: on none of the test's own pictures.
    int32_t glyphQuads() const {
        int32_t n = 0;
        for (const DrawnQuad& q : rig.capture->quads) {
            bool ours = false;
            for (GfxTexture* t : made) ours = ours || q.texture == t;
            n += ours ? 0 : 1;
        }
        return n;
    }
    // Sprite 0 shows picture 0 (512 wide) at x, speaking line 0 in an open window.
    void speak(const char* text, float x, int32_t style) {
        EventSprite& s = gEventSprites[0];
        s.x = x;
        s.visible = 1;
        s.center = 20;
        strcpy(gEventMessageLines[0], text);
        EventSceneState& e = gEventScene;
        e.messageFirstLine = 0;
        e.messageLineCount = 1;
        e.windowCounter = EVENT_WINDOW_OPEN;
        e.windowY = 200;
        e.balloonStyle = style;
        e.plateCell = 21;
    }
    FontDrawRig rig;
    std::vector<GfxTexture*> made;
    TextureSlot savedSystem, savedDataWindow;
    GfxTexture* window = nullptr;
    GfxTexture* names = nullptr;
    GfxTexture* system = nullptr;
    GfxTexture* dataWindow = nullptr;
    GfxTexture* background = nullptr;
    GfxTexture* picture = nullptr;
};

TEST(EventDrawCells, NamePlateCellsRunInColumnsOfSevenThenEight) {
    struct Case {
        int32_t cell;
        float x, y;
    };
    for (const Case& c : {Case{0, 0, 0}, Case{6, 0, 192}, Case{7, 128, 0}, Case{21, 384, 0}, Case{22, 0, 256},
                          Case{30, 128, 256}, Case{53, 384, 480}}) {
        SpriteSource s = eventNamePlateCell(c.cell);
        EXPECT_EQ(s.left, c.x) << "cell " << c.cell;
        EXPECT_EQ(s.top, c.y) << "cell " << c.cell;
        EXPECT_EQ(s.right - s.left, 128.0f) << "cell " << c.cell;
        EXPECT_EQ(s.bottom - s.top, 32.0f) << "cell " << c.cell;
    }
}

TEST(EventDrawCells, FadeLevelsCoverByCounterAndALengthOfNoneIsDone) {
    struct Case {
        int32_t mode, counter, length, level;
    };
    for (const Case& c : {Case{EVENT_FADE_OUT, 5, 10, 127}, Case{EVENT_FADE_IN, 5, 10, 128},
                          Case{EVENT_FADE_OUT, 10, 10, 255}, Case{EVENT_FADE_IN, 10, 10, 0},
                          Case{EVENT_FADE_OUT, 0, 0, 255}, Case{EVENT_FADE_IN, 0, 0, 0}, Case{EVENT_FADE_NONE, 3, 10, 0},
                          Case{EVENT_FADE_OUT, 14, 10, 255}})
        EXPECT_EQ(eventFadeLevel(c.mode, c.counter, c.length), c.level)
            << "mode " << c.mode << " counter " << c.counter << " length " << c.length;
}

// The anchor is the speaker's middle plus its center: 256 + 100 + 20.
TEST_F(EventDraw, TheBalloonSitsByItsStyleAndThePlateShowsTheSpeakersCell) {
    struct Case {
        int32_t style;
        bool balloon;
        float left;
        float top;   // texel row of the balloon on the sheet
        bool mirrored;
        bool plate;
        float plateX;
    };
    const Case CASES[] = {
        {-1, true, 376 - 384, 0, false, true, 376 - 384 + 80 + 56},
        {0, true, 376 - 64, 176, false, false, 0},
        {1, true, 376 - 32, 0, true, true, 376 - 32 + 80 + 72},
        {2, false, 0, 0, false, false, 0},
    };
    for (const Case& c : CASES) {
        rig.capture->quads.clear();
        speak("Hi", 100, c.style);
        drawEvent();
        std::vector<DrawnQuad> sheet = quadsOn(window);
        ASSERT_EQ(sheet.empty(), !c.balloon) << "style " << c.style;
        if (c.balloon) {
            const DrawnQuad& q = sheet[0];
            EXPECT_NEAR(q.left, c.left, 1.0f) << "style " << c.style;
            EXPECT_NEAR(q.top, 200, 1.0f) << "style " << c.style;
            EXPECT_NEAR(q.right - q.left, 416, 1.0f) << "style " << c.style;
            EXPECT_NEAR(q.bottom - q.top, 176, 1.0f) << "style " << c.style;
            EXPECT_EQ(q.uLeft > q.uRight, c.mirrored) << "style " << c.style;
            EXPECT_NEAR(q.vTop * 512, c.top + 0.5f, 0.01f) << "style " << c.style;
            EXPECT_EQ(q.argb >> 24, 255u) << "style " << c.style;
        }
        std::vector<DrawnQuad> plates = quadsOn(names);
        ASSERT_EQ(plates.size(), c.plate ? 1u : 0u) << "style " << c.style;
        if (c.plate) {
            EXPECT_EQ(plates[0].left, c.plateX) << "style " << c.style;
            EXPECT_EQ(plates[0].top, 212.0f) << "style " << c.style;
            EXPECT_NEAR(plates[0].uLeft * 512, 384.5f, 0.01f) << "cell 21";
            EXPECT_NEAR(plates[0].vTop * 512, 0.5f, 0.01f) << "cell 21";
        }
    }
}

TEST_F(EventDraw, ThePlateFadesInAfterTheFourthTickOfTheWindow) {
    speak("Hi", 100, 1);
    for (int32_t counter : {1, 4}) {
        rig.capture->quads.clear();
        gEventScene.windowCounter = counter;
        drawEvent();
        EXPECT_TRUE(quadsOn(names).empty()) << "counter " << counter;
    }
    rig.capture->quads.clear();
    gEventScene.windowCounter = 5;
    drawEvent();
    ASSERT_EQ(quadsOn(names).size(), 1u);
    EXPECT_EQ(quadsOn(names)[0].argb >> 24, 60u);
}

// At 32 (a character a tick) 40 characters show whole at reveal 44 and
// count as complete from 46, when the cursor shows.
TEST_F(EventDraw, AFortyCharacterTextShowsWholeAt44AndCompletesAt46) {
    const std::string text = "ABCDEFGHIJABCDEFGHIJABCDEFGHIJABCDEFGHIJ";
    speak(text.c_str(), 100, 1);
    struct Case {
        int32_t reveal;
        int32_t glyphs;
        int32_t complete;
    };
    for (const Case& c : {Case{4, 0, 0}, Case{5, 1, 0}, Case{43, 39, 0}, Case{44, 40, 0}, Case{45, 40, 0},
                          Case{46, 40, 1}}) {
        // The cursor follows the last frame's word on completeness: draw twice.
        gEventScene.revealCounter = c.reveal;
        drawEvent();
        rig.capture->quads.clear();
        drawEvent();
        EXPECT_EQ(glyphQuads(), c.glyphs) << "reveal " << c.reveal;
        EXPECT_EQ(gEventScene.textComplete, c.complete) << "reveal " << c.reveal;
        // The cursor: the second quad on the window sheet, at the balloon's foot.
        std::vector<DrawnQuad> sheet = quadsOn(window);
        ASSERT_EQ(sheet.size(), c.complete ? 2u : 1u) << "reveal " << c.reveal;
        if (c.complete) {
            EXPECT_EQ(sheet[1].left, 376.0f - 32 + 80 + 256);
            EXPECT_EQ(sheet[1].top, 304.0f);
            EXPECT_NEAR(sheet[1].uLeft * 512, 416.5f, 0.01f);
        }
    }
}

TEST_F(EventDraw, ANewMessageStartsItsRevealInTheDrawing) {
    speak("Hello", 100, 1);
    gEventScene.newMessage = 1;
    gEventScene.revealCounter = 0;
    drawEvent();
    EXPECT_EQ(gEventScene.newMessage, 0);
    EXPECT_EQ(gEventScene.revealCounter, 1);
    EXPECT_EQ(glyphQuads(), 0);
}

// A background number the script did not register draws nothing: its slot
// may still hold another scene's picture.
TEST_F(EventDraw, OnlyTheScriptsOwnBackgroundsAreDrawn) {
    gEventScriptCounts.backgrounds = 1;
    gEventScene.background = 1;
    drawEvent();
    EXPECT_TRUE(quadsOn(background).empty());
    gEventScene.background = 0;
    drawEvent();
    EXPECT_EQ(quadsOn(background).size(), 1u);
}

// Columns 300 onward at the left edge, the picture's start again from 724.
TEST_F(EventDraw, AScrolledBackgroundRepeatsAcrossTheScreen) {
    gEventScriptCounts.backgrounds = 1;
    drawEvent();
    std::vector<DrawnQuad> still = quadsOn(background);
    ASSERT_EQ(still.size(), 1u);
    EXPECT_EQ(still[0].right, 640.0f);
    EXPECT_NEAR(still[0].uRight * 1024, 640.0f, 0.01f);

    rig.capture->quads.clear();
    gEventScene.scrollOffset = -300000;
    drawEvent();
    std::vector<DrawnQuad> q = quadsOn(background);
    ASSERT_EQ(q.size(), 3u);
    const float lefts[3] = {-300, 724, -1324};
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(q[i].left, lefts[i]) << "quad " << i;
        EXPECT_EQ(q[i].right - q[i].left, 1024.0f) << "quad " << i;
        EXPECT_EQ(q[i].top, 0.0f) << "quad " << i;
        EXPECT_NEAR(q[i].vBottom * 512, 480.0f, 0.01f) << "quad " << i;
    }
}

TEST_F(EventDraw, AnAddedSpriteLeavesTheWindowsBlendAlone) {
    speak("Hi", 100, 1);
    gEventSprites[0].blend = EVENT_BLEND_ADD_ADD;
    gEventSprites[0].facing = 1;
    drawEvent();
    std::vector<DrawnQuad> sprite = quadsOn(picture);
    ASSERT_EQ(sprite.size(), 1u);
    EXPECT_EQ(sprite[0].destBlend, (uint32_t)GFX_BLEND_ONE);
    EXPECT_EQ(sprite[0].colorOp, (uint32_t)GFX_TOP_ADD);
    EXPECT_GT(sprite[0].uLeft, sprite[0].uRight) << "facing 1 is mirrored";
    EXPECT_EQ(sprite[0].right - sprite[0].left, 512.5f);
    std::vector<DrawnQuad> balloon = quadsOn(window);
    ASSERT_FALSE(balloon.empty());
    EXPECT_EQ(balloon[0].destBlend, (uint32_t)GFX_BLEND_INVSRCALPHA);
    EXPECT_EQ(balloon[0].colorOp, (uint32_t)GFX_TOP_MODULATE);
}

TEST_F(EventDraw, SpriteColoursAreDrawnAsTheirTruncatedChannels) {
    EventSprite& s = gEventSprites[0];
    s.visible = 1;
    s.color[0] = 200.9f;
    s.color[1] = 100.2f;
    s.color[2] = 50.0f;
    s.color[3] = 128.7f;
    drawEvent();
    std::vector<DrawnQuad> sprite = quadsOn(picture);
    ASSERT_EQ(sprite.size(), 1u);
    EXPECT_EQ(sprite[0].argb, 0x80C86432u);
}

TEST_F(EventDraw, TheLightPulsesOnlyOverABackground) {
    gEventScene.lightOn = 1;
    gEventScene.lightFrequency = 0.0f;
    gEventScene.lightAmplitude = 100.0f;
    drawEvent();
    EXPECT_TRUE(quadsOn(system).empty()) << "no background: no light";
    EXPECT_EQ(gEventScene.lightCounter, 0);

    gEventScriptCounts.backgrounds = 1;
    drawEvent();
    std::vector<DrawnQuad> light = quadsOn(system);
    ASSERT_EQ(light.size(), 1u);
    EXPECT_EQ(light[0].argb, 0x64FFFFFFu) << "(sin 0 + 1) x 100";
    EXPECT_EQ(gEventScene.lightCounter, 1);
}

TEST_F(EventDraw, TheScreenFadeCoversInItsColourAndTheSkipHintShowsFromTheSecondFrame) {
    gEventScene.fadeMode = EVENT_FADE_OUT;
    gEventScene.fadeColor = 0x80FF0000u;
    gEventScene.fadeLength = 0;
    gEventScene.framesRun = 1;
    drawEvent();
    std::vector<DrawnQuad> fade = quadsOn(system);
    ASSERT_EQ(fade.size(), 1u);
    EXPECT_EQ(fade[0].argb, 0x80FF0000u);
    EXPECT_EQ(fade[0].right, 640.0f);
    EXPECT_EQ(fade[0].bottom, 480.0f);
    EXPECT_TRUE(quadsOn(dataWindow).empty());

    rig.capture->quads.clear();
    gEventScene.framesRun = 2;
    drawEvent();
    std::vector<DrawnQuad> hint = quadsOn(dataWindow);
    ASSERT_EQ(hint.size(), 1u);
    EXPECT_EQ(hint[0].left, 440.0f);
    EXPECT_EQ(hint[0].top, 440.0f);
    EXPECT_EQ(hint[0].right, 640.0f);
    EXPECT_NEAR(hint[0].uLeft * 512, 288.5f, 0.01f);

    rig.capture->quads.clear();
    gEventScene.skipOff = 1;
    drawEvent();
    EXPECT_TRUE(quadsOn(dataWindow).empty()) << "skipping forbidden";
}
