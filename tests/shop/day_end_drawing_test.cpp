// The day report's drawing as quads: the board digits' spacing before a
// comma, the rank stamp's cell and place, and the run-result band's path.
#include <gtest/gtest.h>

#include "dungeon/dungeon.h"
#include "economy_fixture.h"
#include "engine/scene_pictures.h"
#include "shop/day_end.h"
#include "tests/engine/font_draw_rig.h"

namespace {

class DayReportDrawingTest : public EconomyTest {
protected:
    void SetUp() override {
        EconomyTest::SetUp();
        rig.open(true);
        ASSERT_NE(rig.capture, nullptr);
        savedBoard = gScenePictures[0];
        savedStamps = gScenePictures[2];
        savedWindow = gItemWindowTexture;
        board = makeSheet(gScenePictures[0], 1024, 1024);
        stamps = makeSheet(gScenePictures[2], 128, 1024);
        window = makeSheet(gItemWindowTexture, 1024, 1024);
        resetDayReportState();
    }
    void TearDown() override {
        gScenePictures[0] = savedBoard;
        gScenePictures[2] = savedStamps;
        gItemWindowTexture = savedWindow;
        for (GfxTexture* t : {board, stamps, window}) rig.capture->releaseTexture(t);
        resetDayReportState();
        gRun.runEndState = gRun.runEndTimer = 0;
        rig.close();
        EconomyTest::TearDown();
    }
    GfxTexture* makeSheet(TextureSlot& slot, int32_t w, int32_t h) { return rig.makeSheet(slot, w, h); }
    std::vector<DrawnQuad> quadsOn(GfxTexture* t) const { return rig.quadsOn(t); }
    FontDrawRig rig;
    TextureSlot savedBoard, savedStamps, savedWindow;
    GfxTexture* board = nullptr;
    GfxTexture* stamps = nullptr;
    GfxTexture* window = nullptr;
};

}  // namespace

TEST_F(DayReportDrawingTest, BoardDigitsAre32ApartAnd16BeforeAComma) {
    drawBoardDigits(100.0f, 50.0f, "1,234 -", 0xFFFFFFFFu);
    std::vector<DrawnQuad> q = quadsOn(board);
    ASSERT_EQ(q.size(), 6u) << "the space draws nothing";
    const float lefts[6] = {100, 116, 148, 180, 212, 244};   // nor takes a place
    const float cells[6] = {1, 10, 2, 3, 4, 11};   // ',' and '-' follow the digits
    for (size_t i = 0; i < q.size(); i++) {
        EXPECT_FLOAT_EQ(q[i].left, lefts[i]) << "glyph " << i;
        EXPECT_FLOAT_EQ(q[i].right - q[i].left, 40.0f) << "glyph " << i;
        EXPECT_FLOAT_EQ(q[i].uLeft * 1024.0f - 0.5f, 40.0f * cells[i]) << "glyph " << i;   // texel centres
    }
}

TEST_F(DayReportDrawingTest, TheRankStampSettlesOnItsCellAtItsPlace) {
    gDayReport.rank = 2;
    gDayReport.timer = 60;
    drawDayReport();
    EXPECT_TRUE(quadsOn(stamps).empty()) << "not before timer 61";
    gDayReport.timer = 61;
    drawDayReport();
    std::vector<DrawnQuad> q = quadsOn(stamps);
    ASSERT_EQ(q.size(), 1u);
    EXPECT_FLOAT_EQ(q[0].right - q[0].left, 384.0f) << "three times the size at first";
    rig.capture->quads.clear();
    gDayReport.timer = 90;
    drawDayReport();
    q = quadsOn(stamps);
    ASSERT_EQ(q.size(), 1u);
    EXPECT_FLOAT_EQ(q[0].left, 544.0f - 64.0f) << "centred on (544, 96)";
    EXPECT_FLOAT_EQ(q[0].top, 96.0f - 64.0f);
    EXPECT_FLOAT_EQ(q[0].right - q[0].left, 128.0f);
    EXPECT_LE(q[0].right, 640.0f) << "whole on the screen";
    EXPECT_FLOAT_EQ(q[0].vTop * 1024.0f - 0.5f, 256.0f) << "the cell of rank 2";
}

struct BandCase {
    int32_t timer;
    float top;
};
const BandCase BAND_CASES[] = {
    {1, -118.0f}, {30, -60.0f}, {100, 80.0f}, {108, 96.0f}, {119, 96.0f}, {120, 96.0f}, {130, 36.0f}, {150, -48.0f},
};

TEST_F(DayReportDrawingTest, TheRunResultBandSlidesDownThenUpOutOfView) {
    gRun.runEndState = 3;
    for (const BandCase& c : BAND_CASES) {
        rig.capture->quads.clear();
        gRun.runEndTimer = c.timer;
        drawLoadingBand();
        std::vector<DrawnQuad> q = quadsOn(window);
        ASSERT_EQ(q.size(), 1u) << "timer " << c.timer;
        EXPECT_FLOAT_EQ(q[0].top, c.top) << "timer " << c.timer;
        EXPECT_FLOAT_EQ(q[0].left, 80.0f);
        EXPECT_FLOAT_EQ(q[0].right - q[0].left, 480.0f);
    }
    rig.capture->quads.clear();
    gRun.runEndTimer = 0;
    drawLoadingBand();
    EXPECT_TRUE(quadsOn(window).empty()) << "nothing while no run ends";
}
