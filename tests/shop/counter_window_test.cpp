// The counter's drawing: the speech typewriter and the speechDone it sets,
// the due date's capital, the pop curve, the percentage of the base price,
// the trend banner's run, the price digits (captured quads and a
// read-back on the real OpenGL backend), and what lies over what: one
// speech panel at a time, the digits in the open during price entry, the
// shipped lessons' lines inside their panels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "economy_fixture.h"
#include "engine/device.h"
#include "engine/engine_state.h"
#include "engine/input.h"
#include "engine/loaders.h"
#include "engine/render_states.h"
#include "engine/scene_pictures.h"
#include "engine/screen_mapping.h"
#include "engine/state_snapshot.h"
#include "engine/story_flags.h"
#include "shop/counter_window.h"
#include "shop/shop.h"
#include "shop/shop_state.h"
#include "shop/tutorial_scripts.h"
#include "shop/window_cells.h"
#include "platform/thread.h"
#include "tests/engine/font_draw_rig.h"

namespace {

const char ITEMS[] =
    ":Food\n"
    "4000 Unknown Food#-1#0#0#0#0#Food###t\n"
    "4002 Royal Tart+royal tarts#900#30#0#0#0#Food Swtt Sobr###t\n";

// The counter on the recording device behind a capturing one, with the game
// folder's glyphs.
class CounterDrawTest : public EconomyTest {
protected:
    void SetUp() override {
        EconomyTest::SetUp();
        loadItems(ITEMS);
        rig.open(true);
        ASSERT_NE(rig.capture, nullptr);
        gCounter.shopOpening = 1;
        gCounter.stateFrame = 1;
    }
    void TearDown() override {
        rig.close();
        EconomyTest::TearDown();
    }
    // Glyph quads drawn since the last clear.
    int32_t glyphQuads() const {
        int32_t n = 0;
        for (const DrawnQuad& q : rig.capture->quads)
            for (GfxTexture* glyph : gGlyphTextures)
                if (glyph && q.texture == glyph) {
                    n++;
                    break;
                }
        return n;
    }
    void clearQuads() { rig.capture->quads.clear(); }

    FontDrawRig rig;
};
// The typewriter's cases, on the same stand.
class SpeechTextTest : public CounterDrawTest {};

}  // namespace

// --- the typewriter ---------------------------------------------------------------

struct TypewriterCase {
    const char* what;
    const char* text;
    int32_t shown;
    int32_t wantGlyphs;
    int32_t wantDone;
};
const TypewriterCase TYPEWRITER_CASES[] = {
    {"nothing before the first character", "Hello", 0, 0, 0},
    {"one short of the end", "Hello", 4, 4, 0},
    {"exactly the line's length", "Hello", 5, 5, 1},
    {"past the end", "Hello", 9, 5, 1},
    {"a two-byte character whole", "\x82\xA0\x82\xA2", 1, 1, 0},
    {"both two-byte characters", "\x82\xA0\x82\xA2", 2, 2, 1},
    {"a break counts nothing", "ab<BR>cd", 4, 4, 1},
    {"the second line one short", "ab<BR>cd", 3, 3, 0},
    {"a lead byte cut off ends the page", "ab\x82", 2, 2, 1},
};

TEST_F(SpeechTextTest, TypesCharactersAndMarksThePageDoneAtItsEnd) {
    for (const TypewriterCase& c : TYPEWRITER_CASES) {
        clearQuads();
        gCounter.speechDone = 0;
        drawSpeechText(250.0f, 346.0f, c.text, 0xFFFFFFFF, 1.0f, c.shown);
        EXPECT_EQ(glyphQuads(), c.wantGlyphs) << c.what;
        EXPECT_EQ(gCounter.speechDone, c.wantDone) << c.what;
    }
}

TEST_F(SpeechTextTest, LinesAreSpacedAndOnlyARunningStateIsMarked) {
    drawSpeechText(100.0f, 200.0f, "A<BR>B<BR>C", 0xFFFFFFFF, 1.0f, 10);
    ASSERT_EQ(rig.capture->quads.size(), 3u);
    for (int32_t i = 0; i < 3; i++)
        EXPECT_NEAR(rig.capture->quads[i].top - rig.capture->quads[0].top, (float)i * (40.0f * 0.76f), 1.0f)
            << "line " << i << " (positions land on whole pixels)";
    gCounter.speechDone = 0;
    gCounter.stateFrame = 0;
    drawSpeechText(100.0f, 200.0f, "A", 0xFFFFFFFF, 1.0f, 5);
    EXPECT_EQ(gCounter.speechDone, 0) << "a state's frame 0 has not run yet";
}

TEST_F(SpeechTextTest, TypesTwoCharactersATickWithBothPanels) {
    strcpy(gCounter.speechText, "ABCDEFGH");
    gCounter.panelWanted[0] = gCounter.panelWanted[1] = 1;
    gCounter.panelSlide[0] = gCounter.panelSlide[1] = COUNTER_PANEL_OPEN;
    gCounter.closing = 1;   // nothing else runs
    gPortraitState = PORTRAIT_READY;
    for (int32_t tick = 1; tick <= 4; tick++) {
        updateShopDay();
        clearQuads();
        drawCounterWindow();
        EXPECT_EQ(glyphQuads(), 2 * (2 * tick)) << "tick " << tick << ": each panel shows " << 2 * tick;
        EXPECT_EQ(gCounter.speechDone, tick == 4) << "tick " << tick;
    }
    resetLoaderState();
}

struct DueCase {
    const char* text;
    const char* due;
    const char* want;
};
const DueCase DUE_CASES[] = {
    {"<D2>, fine.", "in 3 days", "In 3 days, fine."},
    {"<D2>, fine.", "by tomorrow", "By tomorrow, fine."},
    {"Come <D2>.", "in 3 days", "Come in 3 days."},
    {"<D1> of <D2>", "in 3 days", "2 of in 3 days"},
    {"<D9> then", "in 3 days", "In 3 days then"},   // any digit but 1 is the due date
};

TEST(SpeechText, TheDueDateOpeningTheTextTakesACapital) {
    StateScope state{&SHOP_STATE};
    strcpy(gCounter.quantityText, "2");
    for (const DueCase& c : DUE_CASES) {
        strcpy(gCounter.dueText, c.due);
        char out[SPEECH_EXPANDED_SIZE];
        expandSpeechTags(c.text, out, sizeof out);
        EXPECT_STREQ(out, c.want) << c.text << " with " << c.due;
    }
}

// --- numbers ----------------------------------------------------------------------

TEST(CounterDraw, PopCurveOvershootsToAboutOnePointSevenAndSettlesAtFifteen) {
    EXPECT_EQ(counterPopScale(0), 0.0f);
    float highest = 0.0f;
    for (int32_t k = 0; k < 15; k++) highest = std::fmax(highest, counterPopScale(k));
    EXPECT_NEAR(highest, 1.70f, 0.01f);
    EXPECT_NEAR(counterPopScale(9), 1.70f, 0.01f) << "the peak lies near k = 9.4";
    for (int32_t k : {15, 16, 60}) EXPECT_EQ(counterPopScale(k), 1.0f) << "k " << k;
    EXPECT_GT(counterPopScale(14), 1.0f) << "still over just before it settles";
}

struct PercentCase {
    int32_t price, base, want;
};
const PercentCase PERCENT_CASES[] = {
    {900, 900, 100},
    {1234, 1000, 123},
    {1, 3, 33},
    {5, 0, 0},   // no base price: 0, not a division by zero
    {9999999, 1, 999999872},   // single precision
};

TEST(CounterDraw, PercentOfBasePriceTruncatesAndSurvivesNoBase) {
    for (const PercentCase& c : PERCENT_CASES)
        EXPECT_EQ(percentOfBasePrice(c.price, c.base), c.want) << c.price << " of " << c.base;
}

// A bonus row rises into place, holds, and sinks back the way it came
// before it fades, rather than staying up.
TEST(CounterDraw, ABonusRowRisesHoldsAndSinksBack) {
    const struct {
        int32_t frame;
        float top;
    } CASES[] = {{1, 398.4f}, {10, 384.0f}, {29, 384.0f}, {48, 384.0f}, {53, 392.0f}, {58, 400.0f}, {65, 411.2f}};
    for (const auto& c : CASES) EXPECT_FLOAT_EQ(bonusRowTop(c.frame), c.top) << "frame " << c.frame;
}

// --- the banner ----------------------------------------------------------------

TEST_F(CounterDrawTest, TheTrendBannerRunsOncePerPhase) {
    gCounter.trendDay = 1;
    gCounter.trendCustomerType = 3;
    strcpy(gCustomerTypes[3].groupName, "Knights");
    int32_t framesShown = 0, lastShown = 0;
    for (int32_t frame = 1; frame <= 700; frame++) {
        clearQuads();
        drawCounterWindow();
        if (glyphQuads() > 0) {
            framesShown++;
            lastShown = frame;
        }
    }
    EXPECT_EQ(lastShown, TREND_BANNER_FRAMES - 1) << "drawn while the count is below 600";
    EXPECT_EQ(framesShown, TREND_BANNER_FRAMES - 1);
    EXPECT_EQ(gCounter.trendBannerFrame, TREND_BANNER_FRAMES) << "the count stops, and stays nonzero for the music";
    gCounter.trendBannerFrame = 0;   // the next day phase
    clearQuads();
    drawCounterWindow();
    EXPECT_GT(glyphQuads(), 0);
    gCounter.trendDay = 0;
    gCounter.trendBannerFrame = 0;
    clearQuads();
    drawCounterWindow();
    EXPECT_EQ(glyphQuads(), 0) << "no banner without a trend day";
}

// --- the price digits ----------------------------------------------------------------

TEST_F(CounterDrawTest, PriceDigitsFillTheLastCellsOfSeven) {
    GfxTexture* sheet = rig.capture->createTexture(1024, 512, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
    TextureSlot saved = gShopModeTexture;
    gShopModeTexture = TextureSlot{sheet, 1024, 512, 0};
    drawPriceDigits(176.0f, 290.0f, 1234, 0xFFFFFFFF);
    ASSERT_EQ(rig.capture->quads.size(), 4u);
    const float wantLeft[4] = {292.0f, 336.0f, 372.0f, 408.0f};
    for (int32_t i = 0; i < 4; i++) {
        const DrawnQuad& q = rig.capture->quads[i];
        EXPECT_FLOAT_EQ(q.left, wantLeft[i]) << "digit " << i;
        EXPECT_FLOAT_EQ(q.top, 290.0f);
        EXPECT_FLOAT_EQ(q.right - q.left, 32.0f);
        EXPECT_FLOAT_EQ(q.uRight * 1024.0f, SHOPMODE_DIGIT_WIDTH * (float)(i + 2)) << "the cell of digit " << i + 1;
    }
    gShopModeTexture = saved;
    rig.capture->releaseTexture(sheet);
}

// The real backend: a sheet whose digit cells are flat, distinct colours;
// the price panel of 1234 shows four of them, in the last four cells.
TEST(CounterDrawReadBack, ThePricePanelShowsItsPriceInTheLastFourCells) {
    threadMarkMain();
    ASSERT_TRUE(GFX_HEADLESS.open());
    GfxDevice* savedDevice = gGfxDevice;
    StateScope state{&ENGINE_STATE, &SHOP_STATE};
    TextureSlot savedSheet = gShopModeTexture;
    gScreenSize = {640, 480};
    gGfxDevice = GFX_HEADLESS.createDevice(GfxPresentParams{640, 480, GFX_FORMAT_A8R8G8B8, true, true, GFX_FORMAT_D16, false});
    ASSERT_NE(gGfxDevice, nullptr);
    GfxTexture* sheet = gGfxDevice->createTexture(1024, 512, 1, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
    GfxLockedRect locked = {};
    ASSERT_EQ(gGfxDevice->lockRect(sheet, 0, &locked), GFX_OK);
    auto digitColour = [](int32_t d) { return 0xFF000000u | (uint32_t)(20 * d + 40) << 16 | (uint32_t)(200 - 15 * d); };
    for (int32_t y = 0; y < 512; y++) {
        uint32_t* row = (uint32_t*)((uint8_t*)locked.bits + (size_t)y * locked.pitch);
        for (int32_t x = 0; x < 1024; x++) {
            bool digit = y >= 352 && y < 392 && x < 320;
            row[x] = digit ? digitColour(x / 32) : 0;   // everything else clear
        }
    }
    gGfxDevice->unlockRect(sheet, 0);
    gShopModeTexture = TextureSlot{sheet, 1024, 512, 0};

    gCounter = CounterState{};
    gCounter.shopOpening = 1;
    gCounter.pricePanelWanted = 1;
    gCounter.pricePanelSlide = COUNTER_PANEL_OPEN;
    gCounter.counterPrice = 1234;
    gCounter.basePrice = 1000;
    gCounter.requestRow = -1;
    gGfxDevice->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    gGfxDevice->beginScene();
    set2DRenderStates();
    drawCounterWindow();
    gGfxDevice->endScene();
    std::vector<uint32_t> pixels(640 * 480);
    ASSERT_TRUE(gGfxDevice->readBackBuffer(pixels.data(), 640, 480));

    // Cell p of "%7d" starts at 176 + 36p, 8 more after the first and fourth.
    const int32_t CELL_LEFT[7] = {176, 220, 256, 292, 336, 372, 408};
    const int32_t WANT[7] = {-1, -1, -1, 1, 2, 3, 4};
    for (int32_t p = 0; p < 7; p++) {
        uint32_t seen = pixels[(size_t)(290 + 20) * 640 + CELL_LEFT[p] + 16] | 0xFF000000;
        uint32_t want = WANT[p] < 0 ? 0xFF000000 : digitColour(WANT[p]);
        EXPECT_EQ(seen, want) << "cell " << p << std::hex << " seen " << seen << " want " << want;
    }
    gGfxDevice->releaseTexture(sheet);
    GFX_HEADLESS.destroyDevice(gGfxDevice);
    GFX_HEADLESS.close();
    gGfxDevice = savedDevice;
    gShopModeTexture = savedSheet;
}

// --- the scene under the windows ------------------------------------------------

TEST_F(CounterDrawTest, TheOverlayWorksOutTheAdventurersSlotWhileTheItemShows) {
    loadItems(":Swords#Weapons\n"
              "0000 Unknown Sword#-1#0#0#0#0#Wepn##a2#t\n"
              "0001 Short Sword+short swords#120#6#0#0#0#Wepn Metl##a2#t\n"
              "0002 Broad Sword+broad swords#200#9#0#0#0#Wepn Metl##a2#t\n");
    AdventurerRecord& adventurer = game().adventurers[0];
    adventurer.equipment[0] = adventurer.savedEquipment[0] = itemKey(1) | ITEM_KEY_POSSESSED;
    gCounter.customerType = gCounter.visitorType = 2;   // adventurer 0
    gCounter.itemKey = itemKey(2);
    gCounter.adventurerTargetSlot = -1;
    gPortraitState = PORTRAIT_READY;

    drawShopDayOverlay();
    EXPECT_EQ(gCounter.adventurerTargetSlot, -1) << "not before the item is shown";
    gCounter.infoFrame = 1;
    drawShopDayOverlay();
    EXPECT_EQ(gCounter.adventurerTargetSlot, 0) << "the better sword goes to the weapon slot";

    gCounter.adventurerTargetSlot = -1;
    gPortraitState = 0;
    drawShopDayOverlay();
    EXPECT_EQ(gCounter.adventurerTargetSlot, -1) << "nothing is drawn before the portrait is loaded";
    resetLoaderState();
}

// --- what lies over what ----------------------------------------------------------

namespace {

// The lessons as the game ships them.
std::string sampleLesson(int32_t lesson) {
    std::ifstream in(std::string(TOLLI_SOURCE_DIR) + "/sampledata/data/tuto" + std::to_string(lesson + 1) + ".txt",
                     std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The counter run tick by tick with its drawing captured.
class CounterLayoutTest : public CounterDrawTest {
protected:
    void SetUp() override {
        CounterDrawTest::SetUp();
        savedSheet = gShopModeTexture;
        sheet = rig.makeSheet(gShopModeTexture, 1024, 512);
        for (int32_t type : {0, 1}) {
            CustomerType& t = gCustomerTypes[type];
            t.present = 1;
            t.firstOffer = 70;
            t.concession = 20;
            t.rise1 = 10;
            t.rise2 = 5;
            t.budgetMin = t.budgetMax = 2000;
        }
        gPortraitState = PORTRAIT_READY;
        gCounter.slide = gCounter.letterbox = COUNTER_SLIDE_IN;
        gCounter.requestRow = -1;
    }
    void TearDown() override {
        press(0);
        for (int32_t l = 0; l < TUTORIAL_LESSON_COUNT; l++) parseTutorialScript(l, "", 0);
        rig.capture->releaseTexture(sheet);
        gShopModeTexture = savedSheet;
        resetLoaderState();
        CounterDrawTest::TearDown();
    }
    void tick(uint16_t buttons) {
        press(buttons);
        updateShopDay();
        press(0);
        clearQuads();
        drawCounterWindow();
    }
    bool isCell(const DrawnQuad& q, float top, float bottom) const {
        return q.texture == sheet && std::fabs(q.vTop * 512.0f - top) < 1.0f && std::fabs(q.vBottom * 512.0f - bottom) < 1.0f;
    }
    int32_t speechPanels() const {
        int32_t n = 0;
        for (const DrawnQuad& q : rig.capture->quads) n += isCell(q, SHOPMODE_SPEECH_PANEL.top, SHOPMODE_SPEECH_PANEL.bottom);
        return n;
    }
    // Price digits drawn this frame; each one hidden by a quad drawn after it
    // is counted in `covered`.
    int32_t priceDigits(int32_t& covered) const {
        const std::vector<DrawnQuad>& quads = rig.capture->quads;
        int32_t digits = 0;
        covered = 0;
        for (size_t i = 0; i < quads.size(); i++) {
            if (!isCell(quads[i], SHOPMODE_DIGIT_TOP, SHOPMODE_DIGIT_TOP + SHOPMODE_DIGIT_HEIGHT)) continue;
            digits++;
            for (size_t j = i + 1; j < quads.size(); j++) {
                const DrawnQuad& a = quads[i];
                const DrawnQuad& b = quads[j];
                // The cursor arrow points at its digit on purpose.
                if (isCell(b, SHOPMODE_CURSOR_ARROW.top, SHOPMODE_CURSOR_ARROW.bottom)) continue;
                if (b.left < a.right && a.left < b.right && b.top < a.bottom && a.top < b.bottom) {
                    covered++;
                    break;
                }
            }
        }
        return digits;
    }
    // The rightmost and leftmost glyph drawn this frame.
    void glyphExtent(float& left, float& right) const {
        for (const DrawnQuad& q : rig.capture->quads)
            for (GfxTexture* glyph : gGlyphTextures)
                if (glyph && q.texture == glyph) {
                    left = std::fmin(left, q.left);
                    right = std::fmax(right, q.right);
                }
    }

    TextureSlot savedSheet;
    GfxTexture* sheet = nullptr;
};

}  // namespace

// The first lesson from its shipped file: one speaker's panel at a time
// (both show the one page), the digits the arrows change never under a
// panel, and every glyph on the screen.
TEST_F(CounterLayoutTest, TheSellingLessonShowsOnePanelAtATimeAndItsPriceInTheOpen) {
    loadItems(":Weapon\n"
              "1000 Unknown Weapon#-1#0#0#0#0#Wepn###t\n"
              "2 Broad Sword+broad swords#200#30#0#0#0#Wepn Metl###t\n");
    std::string text = sampleLesson(0);
    ASSERT_FALSE(text.empty());
    parseTutorialScript(0, text.data(), (int32_t)text.size());
    setTutorialLesson(0);
    runningGameState().storyFlags[FLAG_STORY_TUTORIAL] = 1;
    gCounter.tutorialMode = 1;
    gCounter.mode = COUNTER_BUYER;
    gCounter.customerType = gCounter.visitorType = 1;
    gCounter.state = COUNTER_ARRIVED;
    gCounter.stateFrame = 0;
    int32_t pricedFrames = 0, panelFrames = 0;
    float left = 640.0f, right = 0.0f;
    for (int32_t n = 0; n < 4000 && gCounter.tutorialMode; n++) {
        // Each page is answered once shown, the price once its panel is open.
        bool paged = gCounter.speechDone && (gCounter.panelWanted[SLOT_SHOPKEEPER] || gCounter.panelWanted[SLOT_CUSTOMER]);
        bool ready = paged || gCounter.pricePanelSlide == COUNTER_PANEL_OPEN;
        tick(n % 2 && ready ? COUNTER_CONFIRM : 0);
        int32_t panels = speechPanels();
        EXPECT_LE(panels, 1) << "tick " << n << ", lesson row " << gCounter.tutorialStepIndex;
        panelFrames += panels > 0;
        int32_t covered = 0;
        if (priceDigits(covered) > 0) pricedFrames++;
        EXPECT_EQ(covered, 0) << "tick " << n << ": digits under a later piece";
        glyphExtent(left, right);
    }
    EXPECT_EQ(gCounter.tutorialMode, 0) << "the lesson ran to its end";
    EXPECT_GT(pricedFrames, 0) << "price entry was met";
    EXPECT_GT(panelFrames, 0);
    EXPECT_GE(left, 0.0f);
    EXPECT_LE(right, 640.0f);
}

// A trading visit's price entry: the prompt reads in the price panel, and
// no speech panel lies over the digits.
TEST_F(CounterLayoutTest, PriceEntryLeavesTheDigitsUncovered) {
    loadItems(ITEMS);
    gCounter.mode = COUNTER_BUYER;
    gCounter.customerType = gCounter.visitorType = 1;
    gCounter.itemKey = itemKey(4002);
    gCounter.unitPrice = gCounter.basePrice = gCounter.counterPrice = 900;
    gCounter.state = COUNTER_OPENING;
    gCounter.stateFrame = 0;
    int32_t n = 0;
    for (; n < 200 && !(gCounter.state == COUNTER_PRICE_ENTRY && gCounter.pricePanelSlide == COUNTER_PANEL_OPEN); n++) {
        bool answer = gCounter.state == COUNTER_OPENING && gCounter.panelSlide[SLOT_CUSTOMER] > 0;
        if (answer) gCounter.speechDone = 1;
        tick(answer ? COUNTER_CONFIRM : 0);
    }
    ASSERT_EQ(gCounter.state, COUNTER_PRICE_ENTRY);
    for (int32_t i = 0; i < 20; i++) {
        press(0);   // no confirm: entry stays open
        updateShopDay();
        clearQuads();
        drawCounterWindow();
    }
    int32_t covered = 0;
    EXPECT_EQ(priceDigits(covered), 3) << "900";
    EXPECT_EQ(covered, 0);
    EXPECT_EQ(speechPanels(), 0);
}

// Every lesson line, drawn in the game's font where its panel draws it,
// ends inside its panel.
TEST_F(CounterLayoutTest, EveryLessonLineFitsItsPanel) {
    for (int32_t lesson = 0; lesson < TUTORIAL_LESSON_COUNT; lesson++) {
        std::string text = sampleLesson(lesson);
        ASSERT_FALSE(text.empty()) << lesson;
        parseTutorialScript(lesson, text.data(), (int32_t)text.size());
        for (const TutorialStep& row : gTutorialScripts[lesson]) {
            bool shopkeeper = row.command == TUTORIAL_SHOPKEEPER_SAYS && row.step >= 0;
            bool customer = (row.command == TUTORIAL_CUSTOMER_SAYS && row.step >= 0) || row.step <= -2;
            if (!shopkeeper && !customer) continue;
            // Panels: the shopkeeper's from 128 to 576, text from 250; the
            // customer's from 64 to 512, text from 130.
            float x = shopkeeper ? 250.0f : 130.0f, panelRight = shopkeeper ? 576.0f : 512.0f;
            clearQuads();
            drawSpeechText(x, 346.0f, row.text, 0xFFFFFFFF, 1.0f, TUTORIAL_TEXT_SIZE);
            float left = 640.0f, right = 0.0f;
            glyphExtent(left, right);
            EXPECT_LE(right, panelRight) << "lesson " << lesson + 1 << ": \"" << row.text << "\"";
        }
    }
}
