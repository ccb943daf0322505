// The text collision reader and the map collision: surface codes from
// material names, meshes carried through their frames, the second mesh's
// indices offset, the tables' limits; the grid cells, the ground query
// (reach above a floor, the higher floor, water, cells turned, scripted
// blocks), the segment cast (back sides, a face at the very end, invisible
// walls) and the 2D segment tests.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "dungeon/dungeon.h"
#include "engine/stage_index.h"
#include "field/collision_mesh.h"
#include "field/map_collision.h"
#include "platform/window.h"
#include "tests/temp_folder.h"
#include "tools/model_shapes.h"
#include "tools/xfile_writer.h"

namespace {

// A floor square at height y over world x and z from lo to hi, with a
// winding that faces up in the collision world (model x is world -x).
void addWorldSquare(XFileMesh& mesh, float xLo, float xHi, float zLo, float zHi, float y, int32_t material) {
    const float corners[4][3] = {{-xHi, y, zLo}, {-xHi, y, zHi}, {-xLo, y, zHi}, {-xLo, y, zLo}};
    const float up[3] = {0, 1, 0};
    addQuad(mesh, corners, up, material);
}

}  // namespace

class CollisionFixture : public ::testing::Test {
protected:
    void SetUp() override {
        previousWindow = gWindow;
        gWindow = &WINDOW_HEADLESS;
        headlessWindowReset();
        previousStage = gCurrentStage;
        stage.maptype = 1;
        gCurrentStage = &stage;
        resetFloorMap();
        resetMapCollision();
        clearMapBlocks();
    }
    void TearDown() override {
        resetMapCollision();
        resetFloorMap();
        gCurrentStage = previousStage;
        gWindow = previousWindow;
    }
    // Stages the faces of a scene written as text and builds them into block.
    int32_t buildBlock(const XFileScene& scene, int32_t block) {
        std::string text = xfileWriteText(scene);
        int32_t faces = readCollisionText(text.data(), (int32_t)text.size(), "test.x");
        buildBlockCollision(0, faces, block);
        return faces;
    }
    // One block made of squares in a frame below a root frame.
    XFileScene squares(std::initializer_list<std::tuple<float, float, float, float, float, const char*>> list) {
        XFileScene scene = {};
        int32_t root = addFrame(scene, "Root", -1);
        int32_t piece = addFrame(scene, "Piece", root);
        XFileMesh mesh = shapeMesh("m", piece);
        for (const auto& [xLo, xHi, zLo, zHi, y, material] : list) {
            int32_t index = -1;
            for (size_t i = 0; i < mesh.materials.size(); ++i)
                if (strcmp(mesh.materials[i].name, material) == 0) index = (int32_t)i;
            if (index < 0) {
                index = (int32_t)mesh.materials.size();
                mesh.materials.push_back(shapeMaterial(material, 1, 1, 1));
            }
            // Model units are five world units.
            addWorldSquare(mesh, xLo * 5, xHi * 5, zLo * 5, zHi * 5, y * 5, index);
        }
        scene.meshes.push_back(mesh);
        return scene;
    }
    int32_t boxes() const { return gHeadlessMessageBoxes.total; }

    StageRecord stage;
    StageRecord* previousStage = nullptr;
    const WindowBackend* previousWindow = nullptr;
};

class CollisionReader : public CollisionFixture {};
class CollisionGround : public CollisionFixture {};
class CollisionSegment : public CollisionFixture {};

TEST(CollisionSurface, TheFirstKeywordThatBeginsTheNameGivesTheCode) {
    struct Case {
        const char* name;
        int32_t code;
    };
    const Case cases[] = {
        {"mizu", 5},        {"mizu_deep", 5}, {"nohit_floor", 4}, {"nohit", 4},      {"PlaneWide", 2},
        {"Plane", 2},       {"plane", 0},     {"hit", 3},         {"hikari01", 4},   {"kabe", 7},
        {"toumei_x", 7},    {"yuki_", 6},     {"yuki", 0},        {"gake2", 1},      {"dame", 2},
        {"crystal", 15},    {"taimatu", 16},  {"takara", 13},     {"taru", 12},      {"shokudai", 14},
        {"tree01", 8},      {"tree02x", 9},   {"kusa01", 10},     {"kusa02", 11},    {"tree03", 0},
        {"Mizu", 0},        {"", 0},          {"stone", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(surfaceCodeOf(c.name), c.code) << "\"" << c.name << "\"";
}

TEST_F(CollisionReader, MeshesInFramesBelowTheTopFrameWithTheirMaterialsCodes) {
    XFileScene scene = {};
    int32_t root = addFrame(scene, "Root", -1, 0.0f, 0.0f, 10.0f);    // T moves z by 10
    int32_t a = addFrame(scene, "A", root, 5.0f, 0.0f, 0.0f);          // F moves x by 5
    int32_t b = addFrame(scene, "B", root);
    XFileMesh water = shapeMesh("water", a);
    addWorldSquare(water, 0, 10, 0, 10, 0, 0);
    water.materials = {shapeMaterial("mizu", 0, 0, 1)};
    XFileMesh mixed = shapeMesh("mixed", b);
    addWorldSquare(mixed, 0, 10, 0, 10, 5, 0);
    addWorldSquare(mixed, 0, 10, 0, 10, 10, 1);
    mixed.materials = {shapeMaterial("nohit_roof", 1, 1, 1), shapeMaterial("PlaneGrass", 0, 1, 0)};
    scene.meshes = {water, mixed};
    // A mesh straight in the top frame is not found.
    XFileMesh top = shapeMesh("top", root);
    addWorldSquare(top, 0, 1, 0, 1, 0, 0);
    top.materials = {shapeMaterial("hit", 1, 1, 1)};
    scene.meshes.insert(scene.meshes.begin(), top);

    std::string text = xfileWriteText(scene);
    ASSERT_EQ(readCollisionText(text.data(), (int32_t)text.size(), "test.x"), 6);
    const int32_t want[6] = {5, 5, 4, 4, 2, 2};
    for (int32_t f = 0; f < 6; ++f) EXPECT_EQ(gCollisionFaces[f].surface, want[f]) << "face " << f;
    // The second mesh's indices start after the first mesh's four vertices.
    EXPECT_EQ(gCollisionFaces[0].vertex[0], 0);
    EXPECT_EQ(gCollisionFaces[2].vertex[0], 4);
    EXPECT_EQ(gCollisionFaces[5].vertex[2], 7 + 4);
    // Model (x, y, z) through F then T, times 0.2: the first corner of the
    // water square is model (-10, 0, 0).
    EXPECT_FLOAT_EQ(gCollisionVertices[0][0], -1.0f);
    EXPECT_FLOAT_EQ(gCollisionVertices[0][2], 2.0f);
    EXPECT_FLOAT_EQ(gCollisionVertices[5][1], 1.0f) << "y 5 of the mixed mesh";
    EXPECT_EQ(boxes(), 0);

    buildBlockCollision(0, 6, 3);
    EXPECT_EQ(gMapBlocks[3].triangleCount, 4) << "code 4 is never built";
    EXPECT_EQ(gMapBlocks[3].triangles[2].surface, 2);
    EXPECT_FLOAT_EQ(gMapBlocks[3].minX, -1.0f) << "x is negated";
    EXPECT_FLOAT_EQ(gMapBlocks[3].maxX, 2.0f);
}

TEST_F(CollisionReader, AMissingFileIsSilentAndARealOneBuildsItsBlock) {
    TempFolder folder("collision");
    EXPECT_EQ(loadCollisionMesh((folder.path() + "/none.x").c_str(), 0), 0);
    EXPECT_EQ(boxes(), 0);
    folder.write("map/room.x", xfileWriteText(squares({{-20, 20, -20, 20, 0, "yuka"}})));
    EXPECT_EQ(loadCollisionMesh((folder.path() + "/MAP/Room.x").c_str(), 4), 1) << "any case";
    EXPECT_EQ(gMapBlocks[4].triangleCount, 2);
    EXPECT_EQ(boxes(), 0);
}

TEST_F(CollisionReader, BeyondTheTablesTheFirstAreKeptAndTheExcessReportedOnce) {
    XFileScene scene = squares({{0, 1, 0, 1, 0, "yuka"}});
    XFileMesh& mesh = scene.meshes[0];
    for (int32_t i = 2; i < COLLISION_STAGE_MAX + 60; ++i) {
        mesh.triangles.insert(mesh.triangles.end(), {0, 1, 2});
        mesh.triangleNormals.insert(mesh.triangleNormals.end(), {0, 0, 0});
        mesh.triangleFaces.push_back(mesh.faceCount++);
        mesh.triangleMaterials.push_back(0);
    }
    EXPECT_EQ(buildBlock(scene, 0), COLLISION_STAGE_MAX);
    EXPECT_EQ(gMapBlocks[0].triangleCount, MAP_BLOCK_TRIANGLE_MAX);
    ASSERT_EQ(boxes(), 1);
    EXPECT_STREQ(gHeadlessMessageBoxes.boxes[0].text, "collision over 10240: test.x");

    headlessWindowReset();
    XFileScene broken = squares({{0, 1, 0, 1, 0, "yuka"}});
    broken.meshes[0].positions.resize(3 * 3);   // the second triangle names vertex 3
    std::string text = xfileWriteText(broken);
    ASSERT_EQ(readCollisionText(text.data(), (int32_t)text.size(), "broken.x"), 2);
    EXPECT_EQ(gCollisionFaces[0].surface, 0);
    EXPECT_EQ(gCollisionFaces[1].surface, SURFACE_NONE) << "a face naming a missing vertex never collides";
    EXPECT_EQ(boxes(), 1);
}

TEST(CollisionCells, ACoordinateFallsInTheCellAroundIt) {
    struct Case {
        float v;
        int32_t cell;
    };
    const Case cases[] = {{-19, 0}, {20, 0}, {59, 0}, {1000, 0}, {-20, 1}, {-59, 1},
                          {-60, 2}, {-539, 13}, {-540, 14}, {-9000, 14}};
    for (const Case& c : cases) EXPECT_EQ(mapCellOf(c.v), c.cell) << c.v;
}

TEST_F(CollisionGround, ADungeonFloorIsFoundFromSixAboveButNotNine) {
    buildBlock(squares({{-20, 20, -20, 20, 0, "yuka"}}), 0);
    gMapGrid[0][0].blockId = 0;
    struct Case {
        float y;
        int32_t found;
    };
    for (const Case& c : {Case{0.0f, 1}, Case{6.0f, 1}, Case{8.4f, 1}, Case{9.0f, 0}, Case{-1.0f, 1}, Case{-2.0f, 0}}) {
        CollisionHit hit = {};
        EXPECT_EQ(findGroundUnder(3.0f, c.y, -4.0f, &hit), c.found) << "y " << c.y;
        if (c.found) {
            EXPECT_FLOAT_EQ(hit.floorHeight, 0.0f);
            EXPECT_FLOAT_EQ(hit.normalY, 1.0f);
            EXPECT_EQ(hit.block, 0);
        }
    }
}

TEST_F(CollisionGround, AShopFloorIsFoundOnlyFromOneAndAHalfAbove) {
    stage.maptype = 0;
    buildBlock(squares({{-20, 20, -20, 20, 0, "yuka"}}), 2);
    gPlacedBlocks.countA = 1;
    gPlacedBlocks.blockId[0] = 2;
    CollisionHit hit = {};
    EXPECT_EQ(findGroundUnder(0.0f, 1.5f, 0.0f, &hit), 1);
    EXPECT_EQ(findGroundUnder(0.0f, 1.6f, 0.0f, &hit), 0);
    // A piece placed elsewhere is found there.
    gPlacedBlocks.position[0][0] = -100.0f;
    EXPECT_EQ(findGroundUnder(0.0f, 1.0f, 0.0f, &hit), 0);
    EXPECT_EQ(findGroundUnder(-100.0f, 1.0f, 0.0f, &hit), 1);
}

TEST_F(CollisionGround, TheHigherFloorWinsAndOfTwoEqualTheFirst) {
    buildBlock(squares({{-20, 20, -20, 20, 0, "yuka"}, {-20, 20, -20, 20, 2, "yuka"}, {-20, 20, -20, 20, 2, "gake"}}), 0);
    gMapGrid[0][0].blockId = 0;
    CollisionHit hit = {};
    ASSERT_EQ(findGroundUnder(1.0f, 3.0f, 1.0f, &hit), 1);
    EXPECT_FLOAT_EQ(hit.floorHeight, 2.0f);
    EXPECT_TRUE(hit.triangle == 2 || hit.triangle == 3) << hit.triangle;
    EXPECT_EQ(gMapBlocks[0].triangles[hit.triangle].surface, SURFACE_SOLID) << "the yuka square came first";
    EXPECT_EQ(findGroundUnder(1.0f, -10.0f, 1.0f, &hit), 0) << "below every floor";
}

TEST_F(CollisionGround, WaterIsSeenFromOneBelowButNotFour) {
    buildBlock(squares({{-20, 20, -20, 20, 0, "yuka"}, {-20, 20, -20, 20, 5, "mizu"}}), 0);
    gMapGrid[0][0].blockId = 0;
    CollisionHit hit = {};
    ASSERT_EQ(findGroundUnder(2.0f, 4.0f, 2.0f, &hit), 1);
    EXPECT_EQ(hit.floorFlag, 1);
    EXPECT_FLOAT_EQ(hit.surfaceHeight, 5.0f);
    EXPECT_FLOAT_EQ(hit.floorHeight, 0.0f) << "the solid floor below";
    hit = CollisionHit{};
    ASSERT_EQ(findGroundUnder(2.0f, 1.0f, 2.0f, &hit), 1);
    EXPECT_EQ(hit.floorFlag, 0);
    hit = CollisionHit{};
    ASSERT_EQ(findGroundUnder(2.0f, 5.5f, 2.0f, &hit), 1);
    EXPECT_EQ(hit.floorFlag, 0) << "above the surface";
}

TEST_F(CollisionGround, ACellsBlockIsWrappedIntoTheCellAndTurnedBack) {
    // A floor over the half x > 0 of a block, in the cell of column 1 turned
    // by half a turn: in the world it covers the cell's half x < -40.
    buildBlock(squares({{0, 20, -20, 20, 3, "yuka"}}), 1);
    gMapGrid[0][1] = MapCell{1, 2, 0, 0};
    CollisionHit hit = {};
    EXPECT_EQ(findGroundUnder(-30.0f, 4.0f, 5.0f, &hit), 0);
    ASSERT_EQ(findGroundUnder(-50.0f, 4.0f, 5.0f, &hit), 1);
    EXPECT_FLOAT_EQ(hit.floorHeight, 3.0f);
    // A single-block floor takes the block of cell (1, 1) without wrapping
    // and moves the point by +40.
    gMapGrid[1][1] = MapCell{1, 0, 0, 0};
    gSingleBlockFloor = 1;
    EXPECT_EQ(findGroundUnder(-30.0f, 4.0f, -30.0f, &hit), 1);
    EXPECT_EQ(findGroundUnder(-50.0f, 4.0f, -30.0f, &hit), 0);
}

TEST_F(CollisionGround, AScriptedBlockStandsWhereItIsPlaced) {
    buildBlock(squares({{-2, 2, -2, 2, 0, "yuka"}}), 5);
    BreakableObjects& o = gBreakableObjects;
    o.count = 1;
    o.alive[0] = 1;
    o.blockId[0] = 5;
    o.position[0][0] = 10.0f;
    o.position[0][1] = 2.0f;
    o.position[0][2] = -10.0f;
    CollisionHit hit = {};
    ASSERT_EQ(findGroundUnder(11.0f, 3.0f, -9.0f, &hit), 1);
    EXPECT_FLOAT_EQ(hit.floorHeight, 2.0f) << "its y lifts the floor";
    o.alive[0] = 0;
    EXPECT_EQ(findGroundUnder(11.0f, 3.0f, -9.0f, &hit), 0);
}

TEST_F(CollisionSegment, AFrontFaceStopsASegmentAndABackFaceLetsItPass) {
    buildBlock(squares({{-20, 20, -20, 20, 0, "yuka"}}), 0);
    gMapGrid[0][0].blockId = 0;
    float t = -1.0f;
    CollisionHit hit = {};
    ASSERT_EQ(castMapSegment(1.0f, 4.0f, 1.0f, 0.0f, -8.0f, 0.0f, &t, &hit), 1);
    EXPECT_FLOAT_EQ(t, 0.5f);
    EXPECT_FLOAT_EQ(hit.normalY, 1.0f);
    EXPECT_EQ(hit.candidate, 0);
    t = -1.0f;
    ASSERT_EQ(castMapSegment(1.0f, 4.0f, 1.0f, 0.0f, -4.0f, 0.0f, &t, &hit), 1) << "ending on the face";
    EXPECT_EQ(t, 1.0f);
    t = -1.0f;
    EXPECT_EQ(castMapSegment(1.0f, -4.0f, 1.0f, 0.0f, 8.0f, 0.0f, &t, &hit), 0) << "from the back side";
    EXPECT_EQ(castMapSegment(1.0f, 4.0f, 1.0f, 0.0f, -3.0f, 0.0f, &t, &hit), 0) << "stopping short";
    EXPECT_EQ(t, -1.0f) << "nothing written without a hit";
}

TEST_F(CollisionSegment, AnInvisibleWallBlocksOnlyWhileTheWallsAreOn) {
    buildBlock(squares({{-20, 20, -20, 20, 0, "toumei"}}), 0);
    gMapGrid[0][0].blockId = 0;
    float t = 0.0f;
    CollisionHit hit = {};
    EXPECT_EQ(castMapSegment(0.0f, 4.0f, 0.0f, 0.0f, -8.0f, 0.0f, &t, &hit), 0);
    gInvisibleWallsOn = 1;
    EXPECT_EQ(castMapSegment(0.0f, 4.0f, 0.0f, 0.0f, -8.0f, 0.0f, &t, &hit), 1);
}

TEST(Collision2D, SegmentsCrossOrTouch) {
    struct Case {
        const char* what;
        float a[4], b[4];
        int32_t cross;
    };
    const Case cases[] = {
        {"an X", {0, 0, 10, 10}, {0, 10, 10, 0}, 1},
        {"collinear, touching end to end", {0, 0, 10, 0}, {10, 0, 20, 0}, 1},
        {"collinear, apart", {0, 0, 10, 0}, {11, 0, 20, 0}, 0},
        {"a T touching", {0, 0, 10, 0}, {5, 0, 5, 10}, 1},
        {"parallel", {0, 0, 10, 0}, {0, 5, 10, 5}, 0},
        {"boxes overlap, no crossing", {0, 0, 10, 10}, {6, 0, 10, 3}, 0},
    };
    for (const Case& c : cases) EXPECT_EQ(doSegmentsCross2D(c.a, c.b), c.cross) << c.what;
    EXPECT_EQ(getOrientationSign2D(0, 5, 0, 0, 10, 0), 1);
    EXPECT_EQ(getOrientationSign2D(0, -5, 0, 0, 10, 0), -1);
    EXPECT_EQ(getOrientationSign2D(5, 0.05f, 0, 0, 10, 0), 0) << "less than one counts as on the line";
}
