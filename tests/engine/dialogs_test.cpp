// The message window, the yes/no window and the pointer: their tick by tick
// state machines driven through the pressed-button word, the effects they
// request, how texts split into lines, and what they draw (caught on the way
// to the recording device, and read back from the headless renderer).
#include "engine/dialogs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/config_index.h"
#include "engine/device.h"
#include "engine/engine_state.h"
#include "engine/font_files.h"
#include "engine/glyph_cache.h"
#include "engine/input.h"
#include "engine/scene_pictures.h"
#include "engine/screen_mapping.h"
#include "engine/settings.h"
#include "engine/sound.h"
#include "engine/sprites.h"
#include "engine/state_snapshot.h"
#include "engine/text.h"
#include "platform/thread.h"
#include "tests/engine/capturing_device.h"
#include "tests/engine/font_draw_rig.h"
#include "tests/engine/game_font_files.h"
#include "tests/engine/sound_effects_probe.h"

namespace {

// The effects requested since the last clear, as their numbers.
// Every dialog and the pointer closed and cleared; sound marked ready with
// nothing loaded, so requested effects stay queued where the test reads them
// (nothing here runs updateSound).
class DialogTicks : public ::testing::Test {
protected:
    void SetUp() override {
        gSound.ready = 1;
        memset(gSound.effectRequests, 0, sizeof gSound.effectRequests);
        gMessageWindow = MessageWindow{};
        gYesNoWindow = YesNoWindow{};
        gPointer = Pointer{};
        gInputState[0] = InputRecord{};
    }
    // One tick: these buttons pressed, the effects of earlier ticks forgotten.
    static void press(uint16_t buttons) {
        memset(gSound.effectRequests, 0, sizeof gSound.effectRequests);
        gInputState[0].pressed = buttons;
    }
    static int32_t messageTick(uint16_t buttons = 0) {
        press(buttons);
        return updateMessageWindow();
    }
    static int32_t yesNoTick(uint16_t buttons = 0, int32_t hidePointerAfter = 0) {
        press(buttons);
        return updateYesNoWindow(hidePointerAfter);
    }
    // Opens a yes/no window and runs it to where it reads input.
    static void openYesNoReady(const char* text, int32_t cancelAllowed, int32_t choice) {
        openYesNoWindow(text, cancelAllowed, choice);
        for (int32_t i = 0; i < 3; ++i) ASSERT_EQ(yesNoTick(), -1);
    }

    StateScope state{&ENGINE_STATE};
};

class MessageWindowTicks : public DialogTicks {};
class YesNoTicks : public DialogTicks {};
class PointerTicks : public DialogTicks {};

}  // namespace

TEST_F(MessageWindowTicks, OpensInSevenUpdatesAndClosesOnTheEighthCallAfterAPress) {
    const uint16_t CLOSERS[] = {BUTTON_CONFIRM, BUTTON_CANCEL};
    for (uint16_t closer : CLOSERS) {
        SCOPED_TRACE(closer);
        openMessageWindow("Hello");
        EXPECT_EQ(gMessageWindow.openCounter, 1);
        EXPECT_TRUE(isDialogActive());
        for (int32_t i = 2; i <= 8; ++i) {
            EXPECT_EQ(messageTick(), -1);
            EXPECT_EQ(gMessageWindow.openCounter, i);
        }
        // Open, it waits; other buttons do nothing.
        EXPECT_EQ(messageTick(BUTTON_RIGHT | BUTTON_LEFT | BUTTON_UP | BUTTON_MENU), -1);
        EXPECT_EQ(messageTick(), -1);
        EXPECT_EQ(gMessageWindow.openCounter, 8);
        EXPECT_TRUE(requestedEffects().empty());

        EXPECT_EQ(messageTick(closer), -1);
        EXPECT_EQ(requestedEffects(), std::vector<int32_t>{SOUND_CONFIRM});
        for (int32_t call = 1; call <= 7; ++call) {
            // Presses while closing change nothing.
            EXPECT_EQ(messageTick(BUTTON_CONFIRM), -1) << "call " << call;
            EXPECT_EQ(gMessageWindow.openCounter, 8 - call);
            EXPECT_TRUE(requestedEffects().empty());
        }
        EXPECT_EQ(messageTick(), 1) << "the eighth call after the press";
        EXPECT_FALSE(isDialogActive());
        EXPECT_EQ(messageTick(), 0) << "reported once";
    }
}

TEST_F(MessageWindowTicks, APressCountsFromTheTickTheWindowReachesEight) {
    openMessageWindow("Hello");
    for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(messageTick(BUTTON_CONFIRM), -1) << "opening ignores presses";
    EXPECT_EQ(gMessageWindow.openCounter, 7);
    EXPECT_EQ(gMessageWindow.closing, 0);
    EXPECT_TRUE(requestedEffects().empty());

    EXPECT_EQ(messageTick(BUTTON_CONFIRM), -1);
    EXPECT_EQ(gMessageWindow.openCounter, 8);
    EXPECT_EQ(gMessageWindow.closing, 1);
    EXPECT_EQ(requestedEffects(), std::vector<int32_t>{SOUND_CONFIRM});
    for (int32_t call = 1; call <= 7; ++call) EXPECT_EQ(messageTick(), -1) << "call " << call;
    EXPECT_EQ(messageTick(), 1);
}

TEST_F(MessageWindowTicks, CancelAndResetCloseAtOnce) {
    openMessageWindow("Hello");
    for (int32_t i = 0; i < 7; ++i) messageTick();
    cancelMessageWindow();
    EXPECT_FALSE(isDialogActive());
    EXPECT_EQ(messageTick(BUTTON_CONFIRM), 0);
    EXPECT_TRUE(requestedEffects().empty());

    // A scene torn down mid-dialog: both windows close, the yes/no window
    // mid-flash included, and report nothing.
    openMessageWindow("Hello");
    openYesNoReady("Sure?", 1, 1);
    EXPECT_EQ(yesNoTick(BUTTON_CONFIRM), -1);
    resetDialogs();
    EXPECT_FALSE(isDialogActive());
    EXPECT_EQ(gYesNoWindow.closingCounter, 0);
    EXPECT_EQ(gYesNoWindow.choice, 0);
    EXPECT_EQ(messageTick(), 0);
    EXPECT_EQ(yesNoTick(), 0);
}

TEST_F(YesNoTicks, OpeningPutsThePointerOnTheChoiceAtOnce) {
    struct OpenCase {
        const char* text;
        int32_t choice;
        int32_t lines;
        float rowOffset, x, y;
    };
    const OpenCase CASES[] = {
        {"Sure?", 0, 1, 0.0f, 212.0f, 244.0f},
        {"Sure?", 1, 1, 0.0f, 336.0f, 244.0f},
        {"Sell it?<BR>Sure?", 0, 2, 8.0f, 212.0f, 252.0f},
        {"Sell it?<BR>Sure?", 1, 2, 8.0f, 336.0f, 252.0f},
    };
    for (const OpenCase& c : CASES) {
        SCOPED_TRACE(std::string(c.text) + " choice " + std::to_string(c.choice));
        hidePointer();
        setPointerPosition(10.0f, 10.0f);
        glidePointerTo(600.0f, 400.0f);
        hidePointer();
        EXPECT_EQ(openYesNoWindow(c.text, 0, c.choice), c.lines);
        EXPECT_EQ(gYesNoWindow.rowOffset, c.rowOffset);
        EXPECT_EQ(gYesNoWindow.choice, c.choice);
        EXPECT_TRUE(isPointerShown());
        EXPECT_EQ(gPointer.x, c.x);
        EXPECT_EQ(gPointer.y, c.y);
        float x, y;
        getPointerPosition(&x, &y);
        EXPECT_EQ(x, c.x) << "no glide left over";
        EXPECT_EQ(y, c.y);
        EXPECT_TRUE(isDialogActive());
    }
}

TEST_F(YesNoTicks, InputIsReadFromTheFourthUpdate) {
    openYesNoWindow("Sure?", 1, 0);
    for (int32_t i = 2; i <= 4; ++i) {
        EXPECT_EQ(yesNoTick(BUTTON_CONFIRM | BUTTON_CANCEL | BUTTON_RIGHT), -1);
        EXPECT_EQ(gYesNoWindow.openCounter, i);
        EXPECT_EQ(gYesNoWindow.closingCounter, 0);
        EXPECT_EQ(gYesNoWindow.choice, 0);
        EXPECT_TRUE(requestedEffects().empty());
    }
    EXPECT_EQ(yesNoTick(), -1);
    EXPECT_EQ(gYesNoWindow.openCounter, 4) << "held at 4 while it waits";
    EXPECT_EQ(yesNoTick(BUTTON_CONFIRM), -1);
    EXPECT_EQ(gYesNoWindow.closingCounter, 1);
    EXPECT_EQ(requestedEffects(), std::vector<int32_t>{SOUND_CONFIRM});
}

TEST_F(YesNoTicks, CancelNotAllowedDoesNothing) {
    openYesNoReady("Sure?", 0, 1);
    for (int32_t i = 0; i < 20; ++i) EXPECT_EQ(yesNoTick(BUTTON_CANCEL), -1);
    EXPECT_EQ(gYesNoWindow.closingCounter, 0);
    EXPECT_EQ(gYesNoWindow.result, 0);
    EXPECT_EQ(gYesNoWindow.openCounter, 4);
    EXPECT_TRUE(requestedEffects().empty());
    // Confirm still answers.
    EXPECT_EQ(yesNoTick(BUTTON_CONFIRM), -1);
    EXPECT_EQ(requestedEffects(), std::vector<int32_t>{SOUND_CANCEL});
}

TEST_F(YesNoTicks, ACancelReturnsTwoOnTheFourthCall) {
    // Cancel wins over a confirm pressed on the same tick, whatever the choice.
    for (int32_t choice = 0; choice < 2; ++choice) {
        SCOPED_TRACE(choice);
        openYesNoReady("Sure?", 1, choice);
        EXPECT_EQ(yesNoTick(BUTTON_CANCEL | BUTTON_CONFIRM), -1);
        EXPECT_EQ(requestedEffects(), std::vector<int32_t>{SOUND_CANCEL});
        EXPECT_EQ(gYesNoWindow.result, 3);
        for (int32_t call = 1; call <= 3; ++call) {
            EXPECT_EQ(yesNoTick(BUTTON_CONFIRM), -1) << "call " << call;
            EXPECT_EQ(gYesNoWindow.openCounter, 4 - call);
            EXPECT_EQ(gYesNoWindow.closingCounter, 1) << "no flash frames";
        }
        EXPECT_EQ(yesNoTick(), 2);
        EXPECT_FALSE(isDialogActive());
        EXPECT_EQ(yesNoTick(), 0);
        EXPECT_TRUE(requestedEffects().empty());
    }
}

TEST_F(YesNoTicks, AConfirmReturnsTheChoiceOnTheTenthCall) {
    struct ConfirmCase {
        int32_t choice, result, effect;
    };
    const ConfirmCase CASES[] = {{0, 1, SOUND_CONFIRM}, {1, 2, SOUND_CANCEL}};
    for (const ConfirmCase& c : CASES) {
        SCOPED_TRACE(c.choice);
        openYesNoReady("Sure?", 1, c.choice);
        EXPECT_EQ(yesNoTick(BUTTON_CONFIRM), -1);
        EXPECT_EQ(requestedEffects(), std::vector<int32_t>{c.effect});
        // Seven frames at full size (closing counter 1..7), then four shrinking.
        const int32_t OPEN_COUNTERS[9] = {4, 4, 4, 4, 4, 4, 3, 2, 1};
        for (int32_t call = 1; call <= 9; ++call) {
            EXPECT_EQ(yesNoTick(BUTTON_CANCEL | BUTTON_RIGHT | BUTTON_LEFT), -1) << "call " << call;
            EXPECT_EQ(gYesNoWindow.openCounter, OPEN_COUNTERS[call - 1]) << "call " << call;
            EXPECT_EQ(gYesNoWindow.choice, c.choice);
        }
        EXPECT_EQ(yesNoTick(), c.result);
        EXPECT_EQ(yesNoTick(), 0);
        EXPECT_TRUE(requestedEffects().empty());
    }
}

TEST_F(YesNoTicks, RightAndLeftFlipTheChoiceOnceAndGlideThePointer) {
    struct FlipCase {
        const char* text;
        float markY;
    };
    const FlipCase CASES[] = {{"Sure?", 244.0f}, {"Sell it?<BR>Sure?", 252.0f}};
    for (const FlipCase& c : CASES) {
        SCOPED_TRACE(c.text);
        openYesNoReady(c.text, 1, 0);
        EXPECT_EQ(yesNoTick(BUTTON_LEFT), -1) << "left on the first choice";
        EXPECT_TRUE(requestedEffects().empty());

        EXPECT_EQ(yesNoTick(BUTTON_RIGHT), -1);
        EXPECT_EQ(gYesNoWindow.choice, 1);
        EXPECT_EQ(requestedEffects(), std::vector<int32_t>{SOUND_CURSOR});
        EXPECT_EQ(gPointer.glideFrames, 6);
        float x, y;
        getPointerPosition(&x, &y);
        EXPECT_FLOAT_EQ(x, 336.0f);
        EXPECT_FLOAT_EQ(y, c.markY);

        EXPECT_EQ(yesNoTick(BUTTON_RIGHT), -1);
        EXPECT_EQ(gYesNoWindow.choice, 1) << "a second right does not flip back";
        EXPECT_TRUE(requestedEffects().empty());
        for (int32_t i = 0; i < 6; ++i) updatePointer();
        EXPECT_FLOAT_EQ(gPointer.x, 336.0f);
        EXPECT_FLOAT_EQ(gPointer.y, c.markY);

        EXPECT_EQ(yesNoTick(BUTTON_LEFT), -1);
        EXPECT_EQ(gYesNoWindow.choice, 0);
        EXPECT_EQ(requestedEffects(), std::vector<int32_t>{SOUND_CURSOR});
        getPointerPosition(&x, &y);
        EXPECT_FLOAT_EQ(x, 212.0f);
        resetDialogs();
    }
}

TEST_F(YesNoTicks, ThePointerLeavesTheScreenWhenTheWindowCloses) {
    struct HideCase {
        uint16_t answer;
        int32_t hide;
        int32_t calls;   // after the answer, to the result
    };
    const HideCase CASES[] = {
        {BUTTON_CONFIRM, 1, 10}, {BUTTON_CANCEL, 1, 4}, {BUTTON_CONFIRM, 0, 10}, {BUTTON_CANCEL, 0, 4}};
    for (const HideCase& c : CASES) {
        SCOPED_TRACE(std::to_string(c.answer) + " hide " + std::to_string(c.hide));
        openYesNoReady("Sure?", 1, 1);
        yesNoTick(c.answer, c.hide);
        for (int32_t call = 1; call < c.calls; ++call) {
            ASSERT_EQ(yesNoTick(0, c.hide), -1);
            EXPECT_EQ(gPointer.x, 336.0f) << "still on the choice, call " << call;
        }
        EXPECT_EQ(yesNoTick(0, c.hide), 2);
        EXPECT_EQ(gPointer.x, c.hide ? 0.0f : 336.0f);
        EXPECT_EQ(gPointer.y, c.hide ? -64.0f : 244.0f);
        EXPECT_TRUE(isPointerShown());
    }
}

TEST_F(PointerTicks, AGlideTakesSixStepsAndReportsWhereItEnds) {
    struct GlideCase {
        float fromX, fromY, toX, toY;
    };
    const GlideCase CASES[] = {
        {100.0f, 100.0f, 160.0f, 40.0f},
        {212.0f, 244.0f, 336.0f, 244.0f},
        {0.0f, -64.0f, 301.0f, 123.5f},   // steps that are not whole
    };
    for (const GlideCase& c : CASES) {
        SCOPED_TRACE(std::to_string(c.toX) + ", " + std::to_string(c.toY));
        setPointerPosition(c.fromX, c.fromY);
        glidePointerTo(c.toX, c.toY);
        float stepX = (c.toX - c.fromX) / 6.0f;
        float stepY = (c.toY - c.fromY) / 6.0f;
        EXPECT_EQ(gPointer.dx, stepX);
        EXPECT_EQ(gPointer.dy, stepY);
        float wantX = c.fromX, wantY = c.fromY;
        for (int32_t frame = 0; frame < 6; ++frame) {
            float x, y;
            getPointerPosition(&x, &y);
            EXPECT_NEAR(x, c.toX, 1e-3f) << "frame " << frame;
            EXPECT_NEAR(y, c.toY, 1e-3f) << "frame " << frame;
            EXPECT_EQ(gPointer.x, wantX) << "frame " << frame;
            EXPECT_EQ(gPointer.y, wantY) << "frame " << frame;
            updatePointer();
            wantX += stepX;
            wantY += stepY;
        }
        EXPECT_NEAR(gPointer.x, c.toX, 1e-3f);
        EXPECT_NEAR(gPointer.y, c.toY, 1e-3f);
        float endX = gPointer.x, endY = gPointer.y;
        updatePointer();
        EXPECT_EQ(gPointer.x, endX) << "no step once the glide is done";
        EXPECT_EQ(gPointer.y, endY);
    }
    // A new position ends a glide under way.
    glidePointerTo(500.0f, 500.0f);
    setPointerPosition(20.0f, 30.0f);
    updatePointer();
    EXPECT_EQ(gPointer.x, 20.0f);
    EXPECT_EQ(gPointer.y, 30.0f);
}

TEST_F(PointerTicks, ShowingAndPlacingIt) {
    EXPECT_FALSE(isPointerShown());
    showPointer();
    EXPECT_TRUE(isPointerShown());
    hidePointer();
    EXPECT_FALSE(isPointerShown());
    setPointerPosition(1.0f, 2.0f);
    EXPECT_TRUE(isPointerShown()) << "placing shows it";
}

TEST_F(PointerTicks, TheBobStopsWhileAMessageWindowIsOpen) {
    for (int32_t i = 0; i < 5; ++i) updatePointer();
    EXPECT_EQ(gPointer.bobCounter, 5);
    openMessageWindow("Hello");
    for (int32_t i = 0; i < 10; ++i) {
        messageTick(i == 8 ? BUTTON_CONFIRM : 0);
        updatePointer();
    }
    EXPECT_EQ(gPointer.bobCounter, 5);
    while (messageTick() != 1) updatePointer();
    updatePointer();
    EXPECT_EQ(gPointer.bobCounter, 6);
    // A yes/no window does not stop it.
    openYesNoWindow("Sure?", 0, 0);
    updatePointer();
    EXPECT_EQ(gPointer.bobCounter, 7);
}

// Texts copied into exactly sized heap buffers, so a read past the
// terminator trips the address sanitizer.
struct SplitCase {
    const char* name;
    std::string text;
    std::string lines[3];
    int32_t markers;
};

static std::string repeat(char c, size_t n) { return std::string(n, c); }

TEST_F(MessageWindowTicks, TextsSplitOnlyAtTheExactMarker) {
    const std::string kana = "\x82\xa0";   // one double-byte character
    const SplitCase CASES[] = {
        {"one line", "Hello", {"Hello", "", ""}, 0},
        {"two lines", "Sell it?<BR>For 100 G", {"Sell it?", "For 100 G", ""}, 1},
        {"three lines", "A<BR>B<BR>C", {"A", "B", "C"}, 2},
        {"the third line keeps the rest", "A<BR>B<BR>C<BR>D<BR>", {"A", "B", "C<BR>D<BR>"}, 2},
        {"empty lines", "<BR><BR>", {"", "", ""}, 2},
        {"a lone <", "a<b <BR>c", {"a<b ", "c", ""}, 1},
        {"other tags", "<br><B>R<BR >x", {"<br><B>R<BR >x", "", ""}, 0},
        {"< at the very end", "x<", {"x<", "", ""}, 0},
        {"<B at the very end", "x<B", {"x<B", "", ""}, 0},
        {"<BR at the very end", "x<BR", {"x<BR", "", ""}, 0},
        {"a stray lead byte before a marker", "\x82<BR>x", {"\x82", "x", ""}, 1},
        {"kana", kana + "<BR>" + kana + kana, {kana, kana + kana, ""}, 1},
        {"an over-long line", repeat('a', 300) + "<BR>b", {repeat('a', 255), "b", ""}, 1},
        {"an over-long last line", "a<BR>b<BR>" + repeat('c', 400), {"a", "b", repeat('c', 255)}, 2},
        {"a double-byte character that just fits", repeat('a', 253) + kana + "z", {repeat('a', 253) + kana, "", ""}, 0},
        {"a double-byte character is never cut", repeat('a', 254) + kana + "z<BR>y", {repeat('a', 254), "y", ""}, 1},
        {"half-width kana are single bytes", repeat('a', 254) + "\xb1\xb2", {repeat('a', 254) + "\xb1", "", ""}, 0},
    };
    for (const SplitCase& c : CASES) {
        // Left-overs of a longer text must not show through.
        openMessageWindow("old<BR>old<BR>old");
        std::unique_ptr<char[]> text(new char[c.text.size() + 1]);
        memcpy(text.get(), c.text.c_str(), c.text.size() + 1);
        openMessageWindow(text.get());
        for (int32_t i = 0; i < 3; ++i) {
            ASSERT_LT(strnlen(gMessageWindow.lines[i], DIALOG_LINE_BYTES), (size_t)DIALOG_LINE_BYTES) << c.name;
            EXPECT_EQ(std::string(gMessageWindow.lines[i]), c.lines[i]) << c.name << ", line " << i;
        }
        EXPECT_EQ(gMessageWindow.markerCount, c.markers) << c.name;
        EXPECT_EQ(gMessageWindow.openCounter, 1) << c.name;
        EXPECT_EQ(gMessageWindow.closing, 0) << c.name;
    }
}

TEST_F(YesNoTicks, TextsSplitIntoAtMostTwoLines) {
    const std::string kana = "\x88\x9f";
    const SplitCase CASES[] = {
        {"one line", "Sure?", {"Sure?", ""}, 1},
        {"two lines", "Sell it?<BR>Sure?", {"Sell it?", "Sure?"}, 2},
        {"the second line keeps the rest", "A<BR>B<BR>C", {"A", "B<BR>C"}, 2},
        {"a lone < at the end", "Sure<", {"Sure<", ""}, 1},
        {"an over-long second line", "A<BR>" + repeat('b', 254) + kana, {"A", repeat('b', 254)}, 2},
    };
    for (const SplitCase& c : CASES) {
        openYesNoWindow("old<BR>old", 0, 0);
        std::unique_ptr<char[]> text(new char[c.text.size() + 1]);
        memcpy(text.get(), c.text.c_str(), c.text.size() + 1);
        EXPECT_EQ(openYesNoWindow(text.get(), 0, 0), c.markers) << c.name;
        EXPECT_EQ(gYesNoWindow.lineCount, c.markers) << c.name;
        for (int32_t i = 0; i < 2; ++i)
            EXPECT_EQ(std::string(gYesNoWindow.lines[i]), c.lines[i]) << c.name << ", line " << i;
    }
}

namespace {

// The dialogs drawn onto the recording device behind a capturing one, with
// the game folder's font files, an empty glyph cache and pictures of their
// own in the system, loading and window slots.
class DialogDraw : public DialogTicks {
protected:
    void SetUp() override {
        DialogTicks::SetUp();
        savedSlots[0] = gSystemTexture;
        savedSlots[1] = gNowLoadingTexture;
        savedSlots[2] = gSaveWindowTexture;
        rig.open(true);
        recording = rig.device;
        ASSERT_NE(recording, nullptr);
        capture = rig.capture;
        makeSlot(gSystemTexture, 128, 128);
        makeSlot(gNowLoadingTexture, 256, 64);
        makeSlot(gSaveWindowTexture, 512, 128);
    }
    void TearDown() override {
        for (TextureSlot* slot : {&gSystemTexture, &gNowLoadingTexture, &gSaveWindowTexture})
            if (slot->texture && recording) recording->releaseTexture(slot->texture);
        rig.close();
        gSystemTexture = savedSlots[0];
        gNowLoadingTexture = savedSlots[1];
        gSaveWindowTexture = savedSlots[2];
        DialogTicks::TearDown();
    }
    void makeSlot(TextureSlot& slot, int32_t width, int32_t height) {
        slot = TextureSlot{recording->createTexture(width, height, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8,
                                                    GFX_POOL_MANAGED),
                           width, height, TEXTURE_GROUP_SYSTEM};
        ASSERT_NE(slot.texture, nullptr);
    }
    std::vector<DrawnQuad>& quads() { return capture->quads; }
    // The glyph quads drawn, in order: those of none of the three pictures.
    std::vector<DrawnQuad> glyphQuads() {
        std::vector<DrawnQuad> out;
        for (const DrawnQuad& q : quads())
            if (q.texture != gSystemTexture.texture && q.texture != gNowLoadingTexture.texture &&
                q.texture != gSaveWindowTexture.texture)
                out.push_back(q);
        return out;
    }
    static void expectRect(const DrawnQuad& q, float left, float top, float width, float height, const char* what) {
        EXPECT_EQ(q.left, left) << what;
        EXPECT_EQ(q.top, top) << what;
        EXPECT_EQ(q.right, left + width) << what;
        EXPECT_EQ(q.bottom, top + height) << what;
    }
    // The window picture, whole, at f of its size about the centre.
    void expectWindow(const DrawnQuad& q, float f) {
        EXPECT_EQ(q.texture, gSaveWindowTexture.texture);
        expectRect(q, std::trunc(320.0f - 256.0f * f), 224.0f - 64.0f * f, 512.0f * f, 128.0f * f, "window");
        EXPECT_FLOAT_EQ(q.uLeft, 0.5f / 512.0f);
        EXPECT_FLOAT_EQ(q.vTop, 0.5f / 128.0f);
        EXPECT_FLOAT_EQ(q.uRight, 1.0f);
        EXPECT_FLOAT_EQ(q.vBottom, 1.0f);
        EXPECT_EQ(q.argb, 0xFF7F7F7Fu);
        EXPECT_EQ(q.colorOp, (uint32_t)GFX_TOP_ADDSIGNED) << "the picture keeps its own colours";
    }
    // The height of a glyph quad drawn centred at scale k.
    static float lineHeight(float k) { return 42.0f * textScale(textScale(k) / TEXT_UNIT_SCALE); }

    FontDrawRig rig;
    GfxDevice* recording = nullptr;
    CapturingDevice* capture = nullptr;
    TextureSlot savedSlots[3];
};

class MessageWindowDraw : public DialogDraw {};
class YesNoDraw : public DialogDraw {};
class PointerDraw : public DialogDraw {};

}  // namespace

TEST_F(MessageWindowDraw, DimsTheScreenAndGrowsFromTheCentre) {
    struct GrowCase {
        int32_t counter;
        uint32_t dimAlpha, textAlpha;
    };
    const GrowCase CASES[] = {{1, 8, 31}, {3, 24, 95}, {8, 64, 255}};
    for (const GrowCase& c : CASES) {
        SCOPED_TRACE(c.counter);
        openMessageWindow("M");
        gMessageWindow.openCounter = c.counter;
        quads().clear();
        drawMessageWindow();
        ASSERT_EQ(quads().size(), 3u) << "dimming, window, one glyph";
        const DrawnQuad& dim = quads()[0];
        EXPECT_EQ(dim.texture, gSystemTexture.texture);
        expectRect(dim, 0.0f, 0.0f, 640.0f, 480.0f, "dimming");
        EXPECT_FLOAT_EQ(dim.uLeft, 0.5f / 128.0f);
        EXPECT_FLOAT_EQ(dim.uRight, 7.0f / 128.0f);
        EXPECT_FLOAT_EQ(dim.vBottom, 7.0f / 128.0f);
        EXPECT_EQ(dim.argb, c.dimAlpha << 24) << "black";
        EXPECT_EQ(dim.colorOp, (uint32_t)GFX_TOP_MODULATE);
        expectWindow(quads()[1], (float)c.counter / 8.0f);
        EXPECT_EQ(quads()[2].argb, c.textAlpha << 24 | 0x7F7F7F);
        EXPECT_EQ(quads()[2].colorOp, (uint32_t)GFX_TOP_ADDSIGNED);
        EXPECT_EQ(capture->colorOp, (uint32_t)GFX_TOP_MODULATE) << "put back afterwards";
    }
    // Closed: nothing.
    cancelMessageWindow();
    quads().clear();
    drawMessageWindow();
    EXPECT_TRUE(quads().empty());
}

TEST_F(MessageWindowDraw, LinesSitByTheirCount) {
    struct LayoutCase {
        const char* text;
        const char* lines[3];
        int32_t count;
        float y[3];
        float k;
    };
    const LayoutCase CASES[] = {
        {"A", {"A"}, 1, {212.0f}, 1.0f},
        {"A<BR>BB", {"A", "BB"}, 2, {196.0f, 228.0f}, 1.0f},
        {"A<BR>BB<BR>C", {"A", "BB", "C"}, 3, {192.0f, 220.0f, 248.0f}, 0.9f},
    };
    for (const LayoutCase& c : CASES) {
        SCOPED_TRACE(c.text);
        openMessageWindow(c.text);
        while (gMessageWindow.openCounter < 8) updateMessageWindow();
        quads().clear();
        drawMessageWindow();
        std::vector<DrawnQuad> glyphs = glyphQuads();
        size_t next = 0;
        for (int32_t line = 0; line < c.count; ++line) {
            size_t length = strlen(c.lines[line]);
            ASSERT_LE(next + length, glyphs.size());
            const DrawnQuad& first = glyphs[next];
            // Centred on x 320.
            EXPECT_EQ(first.left, std::trunc(320.0f - getTextWidth(c.lines[line], c.k) / 2.0f)) << "line " << line;
            for (size_t i = 0; i < length; ++i) {
                const DrawnQuad& g = glyphs[next + i];
                EXPECT_EQ(g.top, c.y[line]) << "line " << line;
                EXPECT_NEAR(g.bottom - g.top, lineHeight(c.k), 1e-3f) << "line " << line;
                EXPECT_EQ(g.argb, 0xFF7F7F7Fu);
            }
            next += length;
        }
        EXPECT_EQ(next, glyphs.size());
    }
}

TEST_F(YesNoDraw, QuestionAndLabelsSitByTheLineCount) {
    struct LayoutCase {
        const char* text;
        int32_t count;
        float y[2];
        float labelY;
    };
    const LayoutCase CASES[] = {
        {"Q", 1, {192.0f}, 232.0f},
        {"Q<BR>R", 2, {184.0f, 208.0f}, 240.0f},
    };
    for (const LayoutCase& c : CASES) {
        SCOPED_TRACE(c.text);
        for (int32_t counter = 1; counter <= 4; ++counter) {
            SCOPED_TRACE(counter);
            openYesNoWindow(c.text, 0, 0);
            gYesNoWindow.openCounter = counter;
            quads().clear();
            drawYesNoWindow();
            ASSERT_FALSE(quads().empty());
            expectWindow(quads()[0], (float)counter / 4.0f);
            uint32_t alpha = (uint32_t)(255.0f * (float)counter / 4.0f);
            std::vector<DrawnQuad> glyphs = glyphQuads();
            ASSERT_EQ(glyphs.size(), (size_t)c.count + 5) << "the question, then Yes and No";
            for (int32_t line = 0; line < c.count; ++line) {
                EXPECT_EQ(glyphs[line].top, c.y[line]);
                EXPECT_NEAR(glyphs[line].bottom - glyphs[line].top, lineHeight(1.0f), 1e-3f);
                EXPECT_EQ(glyphs[line].left, std::trunc(320.0f - getTextWidth(line ? "R" : "Q", 1.0f) / 2.0f));
            }
            const DrawnQuad& yes = glyphs[c.count];
            const DrawnQuad& no = glyphs[c.count + 3];
            EXPECT_EQ(yes.left, 252.0f);
            EXPECT_EQ(no.left, 376.0f);
            for (size_t i = c.count; i < glyphs.size(); ++i) {
                EXPECT_EQ(glyphs[i].top, c.labelY);
                EXPECT_EQ(glyphs[i].argb, alpha << 24 | 0x7F7F7F);
                EXPECT_EQ(glyphs[i].colorOp, (uint32_t)GFX_TOP_ADDSIGNED);
                EXPECT_NEAR(glyphs[i].bottom - glyphs[i].top, 42.0f * textScale(1.0f), 1e-3f);
            }
            EXPECT_EQ(capture->colorOp, (uint32_t)GFX_TOP_MODULATE);
        }
    }
    resetDialogs();
    quads().clear();
    drawYesNoWindow();
    EXPECT_TRUE(quads().empty());
}

TEST_F(YesNoDraw, AConfirmedChoiceFlashesForThreeFramesAndACancelNever) {
    struct FlashCase {
        uint16_t answer;
        int32_t choice;
        uint32_t greys[4];   // the chosen label's grey on the frames after the answer
    };
    const FlashCase CASES[] = {
        {BUTTON_CONFIRM, 0, {217, 255, 217, 127}},
        {BUTTON_CONFIRM, 1, {217, 255, 217, 127}},
        {BUTTON_CANCEL, 0, {127, 127, 127, 127}},
        {BUTTON_CANCEL, 1, {127, 127, 127, 127}},
    };
    for (const FlashCase& c : CASES) {
        SCOPED_TRACE(std::to_string(c.answer) + " choice " + std::to_string(c.choice));
        openYesNoReady("Q", 1, c.choice);
        int32_t result = yesNoTick(c.answer);
        for (int32_t frame = 0; frame < 4 && result == -1; ++frame) {
            quads().clear();
            drawYesNoWindow();
            std::vector<DrawnQuad> glyphs = glyphQuads();
            ASSERT_EQ(glyphs.size(), 6u);
            uint32_t alpha = glyphs[1].argb >> 24;
            uint32_t chosen = glyphs[c.choice == 0 ? 1 : 4].argb;
            uint32_t other = glyphs[c.choice == 0 ? 4 : 1].argb;
            uint32_t g = c.greys[frame];
            EXPECT_EQ(chosen, alpha << 24 | g << 16 | g << 8 | g) << "frame " << frame;
            EXPECT_EQ(other, alpha << 24 | 0x7F7F7F) << "frame " << frame;
            EXPECT_EQ(glyphs[2].argb, glyphs[1].argb) << "every glyph of a label alike";
            result = yesNoTick();
        }
        resetDialogs();
    }
}

TEST_F(PointerDraw, BobsLeftOfItsPositionFromTheLoadingPicture) {
    struct BobCase {
        float x, y;
        int32_t bob;
        float left;
    };
    const BobCase CASES[] = {
        {100.0f, 200.0f, 0, 100.0f},
        {100.5f, 200.0f, 0, 100.0f},
        {100.0f, 200.0f, 10, 93.0f},   // 8 sin 1 = 6.73
        {100.0f, 200.0f, 20, 92.0f},   // 8 sin 2 = 7.27
        {100.0f, 200.0f, 40, 93.0f},   // |8 sin 4| = 6.05
    };
    for (const BobCase& c : CASES) {
        SCOPED_TRACE(c.bob);
        setPointerPosition(c.x, c.y);
        gPointer.bobCounter = c.bob;
        quads().clear();
        drawPointer();
        ASSERT_EQ(quads().size(), 1u);
        const DrawnQuad& q = quads()[0];
        EXPECT_EQ(q.texture, gNowLoadingTexture.texture);
        expectRect(q, c.left, c.y - 20.0f, 40.0f, 40.0f, "pointer");
        EXPECT_FLOAT_EQ(q.uLeft, 192.5f / 256.0f);
        EXPECT_FLOAT_EQ(q.vTop, 0.5f / 64.0f);
        EXPECT_FLOAT_EQ(q.uRight, 232.0f / 256.0f);
        EXPECT_FLOAT_EQ(q.vBottom, 40.0f / 64.0f);
        EXPECT_EQ(q.argb, 0xFFFFFFFFu);
    }
    hidePointer();
    quads().clear();
    drawPointer();
    EXPECT_TRUE(quads().empty());
}

// The real renderer: a white screen under a fully open and a half open
// message window, read back. Outside the window the screen is dimmed by the
// black quad; inside, the window picture shows in its own colour.
TEST(MessageWindowReadBack, WindowCoversItsRectangleOverTheDimmedScreen) {
    threadMarkMain();
    StateScope state{&ENGINE_STATE};
    TextureSlot savedSystem = gSystemTexture;
    TextureSlot savedWindow = gSaveWindowTexture;
    GfxDevice* savedDevice = gGfxDevice;
    gScreenSize = {640, 480};
    gCameraShake = CameraShake{};
    ASSERT_TRUE(GFX_HEADLESS.open());
    gGfxDevice = GFX_HEADLESS.createDevice(GfxPresentParams{640, 480, GFX_FORMAT_A8R8G8B8, true, true, GFX_FORMAT_D16, false});
    ASSERT_NE(gGfxDevice, nullptr);
    auto solid = [](int32_t width, int32_t height, uint32_t argb) {
        GfxTexture* t = gGfxDevice->createTexture(width, height, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
        GfxLockedRect locked = {};
        EXPECT_EQ(gGfxDevice->lockRect(t, 0, &locked), GFX_OK);
        for (int32_t row = 0; row < height; ++row)
            for (int32_t col = 0; col < width; ++col) ((uint32_t*)((uint8_t*)locked.bits + row * locked.pitch))[col] = argb;
        gGfxDevice->unlockRect(t, 0);
        return TextureSlot{t, width, height, TEXTURE_GROUP_SYSTEM};
    };
    const uint32_t WINDOW = 0xFF3060A0;
    gSystemTexture = solid(128, 128, 0xFFFFFFFF);
    gSaveWindowTexture = solid(512, 128, WINDOW);

    struct ReadCase {
        int32_t counter;
        int32_t left, top, right, bottom;   // the window covers [left, right) x [top, bottom)
        uint32_t dimmed;                    // the white screen outside it
    };
    const ReadCase CASES[] = {{8, 64, 160, 576, 288, 0xFFBFBFBF}, {4, 192, 192, 448, 256, 0xFFDFDFDF}};
    auto near = [](uint32_t a, uint32_t b) {
        for (int32_t shift = 0; shift < 24; shift += 8)
            if (std::abs((int32_t)((a >> shift) & 0xFF) - (int32_t)((b >> shift) & 0xFF)) > 1) return false;
        return true;
    };
    std::vector<uint32_t> frame(640 * 480);
    for (const ReadCase& c : CASES) {
        SCOPED_TRACE(c.counter);
        gGfxDevice->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFFFFFFFF, 1.0f, 0);
        gGfxDevice->beginScene();
        gGfxDevice->setRenderState(GFX_RS_ZENABLE, 0);
        gGfxDevice->setRenderState(GFX_RS_CULLMODE, GFX_CULL_NONE);
        gGfxDevice->setRenderState(GFX_RS_LIGHTING, 0);
        gGfxDevice->setRenderState(GFX_RS_FOGENABLE, 0);
        gGfxDevice->setRenderState(GFX_RS_ALPHABLENDENABLE, 1);
        gGfxDevice->setRenderState(GFX_RS_SRCBLEND, GFX_BLEND_SRCALPHA);
        gGfxDevice->setRenderState(GFX_RS_DESTBLEND, GFX_BLEND_INVSRCALPHA);
        gGfxDevice->setTextureStageState(0, GFX_TSS_COLOROP, GFX_TOP_MODULATE);
        gGfxDevice->setTextureStageState(0, GFX_TSS_COLORARG1, GFX_TA_TEXTURE);
        gGfxDevice->setTextureStageState(0, GFX_TSS_COLORARG2, GFX_TA_DIFFUSE);
        gGfxDevice->setTextureStageState(0, GFX_TSS_ALPHAOP, GFX_TOP_MODULATE);
        gGfxDevice->setTextureStageState(0, GFX_TSS_ALPHAARG1, GFX_TA_TEXTURE);
        gGfxDevice->setTextureStageState(0, GFX_TSS_ALPHAARG2, GFX_TA_DIFFUSE);
        gGfxDevice->setTextureStageState(1, GFX_TSS_COLOROP, GFX_TOP_DISABLE);
        openMessageWindow("");
        gMessageWindow.openCounter = c.counter;
        drawMessageWindow();
        gGfxDevice->endScene();
        ASSERT_TRUE(gGfxDevice->readBackBuffer(frame.data(), 640, 480));
        int32_t wrong = 0;
        for (int32_t y = c.top - 2; y < c.bottom + 2; ++y)
            for (int32_t x = c.left - 2; x < c.right + 2; ++x) {
                bool inside = x >= c.left && x < c.right && y >= c.top && y < c.bottom;
                uint32_t want = inside ? WINDOW : c.dimmed;
                uint32_t got = frame[(size_t)y * 640 + x];
                if (!near(got, want) && ++wrong <= 4)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") is " << std::hex << got << ", want " << want;
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_TRUE(near(frame[0], c.dimmed)) << "the screen's corner";
        EXPECT_TRUE(near(frame[640 * 480 - 1], c.dimmed));
    }
    cancelMessageWindow();
    gGfxDevice->releaseTexture(gSystemTexture.texture);
    gGfxDevice->releaseTexture(gSaveWindowTexture.texture);
    GFX_HEADLESS.destroyDevice(gGfxDevice);
    GFX_HEADLESS.close();
    gGfxDevice = savedDevice;
    gSystemTexture = savedSystem;
    gSaveWindowTexture = savedWindow;
}
