// tools/makemodels.cpp: writes the sample's static models and the textures
// they name. The models (text .x, below "xfile/") go into the game folder,
// where the game reads models as loose files; the textures go into the data
// folder that is packed into the archive, where the game reads them.
//   - "xfile/shop/": the shop stage's rooms of the four shop sizes (with the
//     street and a basin of water), rug and sky, its water frames, the chosen wall, floor and rug
//     pictures below "xfile/wall/", "xfile/floor/", "xfile/jutan/", and the counter
//     tables "xfile/table/shop_table01.x" (square) / "shop_table02.x" (long) and
//     "shop_danbo01.x" / "shop_danbo02.x", the tables' collision shapes and
//     the three vending machines;
//   - "xfile/cave/": the cave's background and its 13 map blocks, each a
//     40 x 40 cell (200 model units: map models are five times world units)
//     open where the floor generator's shapes link at rotation 0 (model +x
//     is the next column, +z the row before): crosses 0 and 1, straights 2
//     and 6, Ts 3 and 7, corners 4 and 5, dead ends 8 and 10, the closed
//     one-cell floor 9 and fixed floor 12;
//     showing the surface materials ("gake", "mizu", "yuki_", "dame",
//     "toumei", "hikari", "nohit") and the marker materials that place
//     trees, grass and torches ("tree01", "kusa01", "taimatu", ...);
//   - the field's props: the trees and grasses "xfile/mori_dun/", the ice
//     and the rock "xfile/etc/", the tuna "xfile2/g_lat/yokomaguro.x" and
//     the arrow with its ring "xfile2/vector/";
//   - the seven other counter table styles of "xfile/table/" (a square and
//     a long table each);
//   - the skinned, animated models: the chest "xfile/tree/takarabako.x",
//     the door "xfile/tree/obj_door.x" and the crab enemy
//     "xfile2/kani/kani01.x" (tools/skinned_shapes.h).
// Every mesh sits in a frame below the file's top frame, as the collision
// reader needs. Made the same way every run.
// Usage: makemodels DATA_DIR GAME_DIR
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/model_shapes.h"
#include "tools/skinned_shapes.h"
#include "tools/xfile_writer.h"

namespace fs = std::filesystem;

namespace {

constexpr float CELL = 200.0f;   // one 40-unit cell in model units
constexpr float HALF = CELL / 2.0f;

bool writeBytes(const fs::path& path, const void* bytes, size_t size) {
    std::error_code error;
    fs::create_directories(path.parent_path(), error);
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    bool ok = fwrite(bytes, 1, size, file) == size;
    return fclose(file) == 0 && ok;
}

// A 64 x 64 picture: two colours in a pattern of tiles with a little grain.
std::vector<uint32_t> pattern(uint32_t a, uint32_t b, int32_t tile) {
    std::vector<uint32_t> out(64 * 64);
    for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 64; ++x) {
            bool odd = ((x / tile) + (y / tile)) % 2 != 0;
            uint32_t c = odd ? b : a;
            int32_t grain = (int32_t)((x * 7 + y * 13) % 9) - 4;
            uint32_t rgb = 0;
            for (int shift : {0, 8, 16}) {
                int32_t v = (int32_t)((c >> shift) & 0xFF) + grain;
                rgb |= (uint32_t)(v < 0 ? 0 : (v > 255 ? 255 : v)) << shift;
            }
            out[(size_t)y * 64 + x] = (c & 0xFF000000u) | rgb;
        }
    return out;
}

bool writeBmp(const fs::path& path, const std::vector<uint32_t>& argb) {
    const int32_t side = 64;
    std::vector<uint8_t> out(54 + (size_t)side * side * 3, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = (uint8_t)(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, (uint32_t)out.size());
    put32(10, 54);
    put32(14, 40);
    put32(18, side);
    put32(22, side);
    out[26] = 1;
    out[28] = 24;
    for (int32_t y = 0; y < side; ++y)
        for (int32_t x = 0; x < side; ++x) {
            uint32_t p = argb[(size_t)(side - 1 - y) * side + x];
            uint8_t* at = out.data() + 54 + ((size_t)y * side + x) * 3;
            at[0] = (uint8_t)p;
            at[1] = (uint8_t)(p >> 8);
            at[2] = (uint8_t)(p >> 16);
        }
    return writeBytes(path, out.data(), out.size());
}

bool writeTga(const fs::path& path, const std::vector<uint32_t>& argb) {
    std::vector<uint8_t> out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 64, 0, 64, 0, 32, 0x28};
    for (uint32_t p : argb)
        for (int shift : {0, 8, 16, 24}) out.push_back((uint8_t)(p >> shift));
    return writeBytes(path, out.data(), out.size());
}

// A model being put together: one mesh in frame "Block" below "Root".
struct Model {
    XFileScene scene;
    XFileMesh mesh;
    Model() {
        int32_t root = addFrame(scene, "Root", -1);
        int32_t block = addFrame(scene, "Block", root);
        mesh = shapeMesh("block", block);
    }
    int32_t material(const char* name, float r, float g, float b, const char* texture = "", float alpha = 1.0f) {
        for (size_t i = 0; i < mesh.materials.size(); ++i)
            if (strcmp(mesh.materials[i].name, name) == 0) return (int32_t)i;
        XFileMaterial m = shapeMaterial(name, r, g, b, texture);
        m.diffuse[3] = alpha;
        mesh.materials.push_back(m);
        return (int32_t)mesh.materials.size() - 1;
    }
    // A flat square facing up, from (x0, z0) to (x1, z1) in model units.
    void floor(float x0, float z0, float x1, float z1, float y, int32_t materialIndex) {
        const float corners[4][3] = {{x0, y, z0}, {x0, y, z1}, {x1, y, z1}, {x1, y, z0}};
        const float up[3] = {0, 1, 0};
        addQuad(mesh, corners, up, materialIndex);
    }
    void box(float x0, float y0, float z0, float x1, float y1, float z1, int32_t materialIndex) {
        const float lo[3] = {x0, y0, z0};
        const float hi[3] = {x1, y1, z1};
        addBox(mesh, lo, hi, materialIndex);
    }
    // A marker: a standing triangle whose lowest corner is at (x, y, z),
    // its other two `height` above and `width` apart.
    void marker(float x, float y, float z, float width, float height, int32_t materialIndex) {
        int32_t base = (int32_t)(mesh.positions.size() / 3);
        mesh.positions.insert(mesh.positions.end(),
                              {x, y, z, x - width / 2, y + height, z, x + width / 2, y + height, z});
        mesh.texCoords.insert(mesh.texCoords.end(), {0.5f, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f});
        int32_t normal = (int32_t)(mesh.normals.size() / 3);
        mesh.normals.insert(mesh.normals.end(), {0.0f, 0.0f, -1.0f});
        mesh.triangles.insert(mesh.triangles.end(), {base, base + 1, base + 2});
        mesh.triangleNormals.insert(mesh.triangleNormals.end(), {normal, normal, normal});
        mesh.triangleFaces.push_back(mesh.faceCount++);
        mesh.triangleMaterials.push_back(materialIndex);
    }
    bool write(const fs::path& path) {
        scene.meshes = {mesh};
        std::string text = xfileWriteText(scene);
        return writeBytes(path, text.data(), text.size());
    }
};

// The cell's floor and, unless open, rock walls on the sides not listed.
void caveCell(Model& m, const char* open) {
    int32_t rock = m.material("iwa", 0.8f, 0.8f, 0.85f, "cave_floor.bmp");
    m.floor(-HALF, -HALF, HALF, HALF, 0.0f, rock);
    int32_t wall = m.material("gake", 0.7f, 0.7f, 0.75f, "cave_wall.bmp");
    const float t = 10.0f;
    if (!strchr(open, 'n')) m.box(-HALF, 0, HALF - t, HALF, 60, HALF, wall);
    if (!strchr(open, 's')) m.box(-HALF, 0, -HALF, HALF, 60, -HALF + t, wall);
    if (!strchr(open, 'e')) m.box(HALF - t, 0, -HALF, HALF, 60, HALF, wall);
    if (!strchr(open, 'w')) m.box(-HALF, 0, -HALF, -HALF + t, 60, HALF, wall);
}

bool writeCaveBlocks(const fs::path& game) {
    bool ok = true;
    for (int32_t n = 0; n < 13; ++n) {
        Model m;
        switch (n) {
        case 0: caveCell(m, "nsew"); break;   // an open room (a cross)
        case 1: caveCell(m, "nsew"); break;   // the second set's cross
        case 2: caveCell(m, "ew"); break;     // a corridor (a straight)
        case 3:                               // a pool (a T)
            caveCell(m, "new");
            m.floor(-50, -50, 50, 50, 10.0f, m.material("mizu", 0.4f, 0.6f, 1.0f, "water_cave.bmp", 0.6f));
            break;
        case 4:                               // trees (a corner)
            caveCell(m, "ne");
            m.marker(-40, 0, -40, 20, 60, m.material("tree01", 0.2f, 0.6f, 0.2f, "", 0.0f));
            m.marker(50, 0, 30, 24, 70, m.material("tree02", 0.2f, 0.5f, 0.2f, "", 0.0f));
            break;
        case 5:                               // grass (the second set's corner)
            caveCell(m, "ne");
            m.marker(20, 0, -60, 12, 8, m.material("kusa01", 0.3f, 0.7f, 0.3f, "", 0.0f));
            m.marker(-60, 0, 50, 12, 10, m.material("kusa02", 0.3f, 0.7f, 0.3f, "", 0.0f));
            break;
        case 6:                               // torches at the corners (the second set's straight)
            caveCell(m, "ew");
            for (float x : {-80.0f, 80.0f}) m.marker(x, 0, -80, 4, 12, m.material("taimatu", 1.0f, 0.6f, 0.2f, "", 0.0f));
            break;
        case 7:                               // a raised step (the second set's T)
            caveCell(m, "new");
            m.box(-40, 0, -40, 40, 15, 40, m.material("iwa", 0.8f, 0.8f, 0.85f, "cave_floor.bmp"));
            break;
        case 8:                               // snow (a dead end)
            caveCell(m, "e");
            m.floor(-80, -80, 80, 80, 1.0f, m.material("yuki_", 1.0f, 1.0f, 1.0f, "yuki_cave.bmp"));
            break;
        case 9:                               // a spiked floor (a floor of one cell)
            caveCell(m, "");
            m.floor(-30, -30, 30, 30, 1.0f, m.material("dame", 0.9f, 0.3f, 0.3f, "dame_spike.bmp"));
            break;
        case 10:                              // invisible walls (the second set's dead end)
            caveCell(m, "e");
            m.box(-HALF, 0, -HALF, HALF, 80, -HALF + 2, m.material("toumei", 1, 1, 1, "", 0.0f));
            break;
        case 11:                              // light shafts and a roof nothing hits
            caveCell(m, "ew");
            m.floor(-60, -60, 60, 60, 2.0f, m.material("hikari", 1.0f, 1.0f, 0.8f, "hikari_cave.bmp", 0.5f));
            m.floor(-HALF, -HALF, HALF, HALF, 90.0f, m.material("nohit_roof", 0.5f, 0.5f, 0.55f, "cave_wall.bmp"));
            break;
        case 12:                              // treasure markers that place nothing (a fixed floor)
            caveCell(m, "");
            m.marker(0, 0, 60, 10, 10, m.material("takara", 1.0f, 0.8f, 0.2f, "", 0.0f));
            m.marker(-60, 0, 0, 10, 10, m.material("taru", 0.6f, 0.4f, 0.2f, "", 0.0f));
            m.marker(60, 0, 0, 10, 20, m.material("shokudai", 0.9f, 0.9f, 0.6f, "", 0.0f));
            m.marker(0, 0, -60, 10, 20, m.material("crystal", 0.6f, 0.8f, 1.0f, "", 0.0f));
            break;
        }
        char name[64];
        snprintf(name, sizeof name, "xfile/cave/cave_block%02d.x", n);
        ok = m.write(game / name) && ok;
    }
    Model background;
    // Inside the far plane of the wide passes (x 2.8) and seen from within.
    background.box(-450, -100, -450, 450, 400, 450, background.material("nohit_bg", 0.1f, 0.1f, 0.15f, "w_cave_bg.bmp"));
    return background.write(game / "xfile/cave/cave_bg.x") && ok;
}

// The shop's rooms, one per shop size, in world units (map models are drawn
// at a fifth of their size and mirrored in x). Each room spans the part of
// the shelf grid its size uses (cell x covers world x 2x - 10 .. 2x - 8, row
// z covers 2z - 8 .. 2z - 6), so the camera's box for that size keeps the
// heroine in view; the front, where the door is and the camera stands, has
// only a low sill with a gap at the door.
struct WorldRect {
    float x0, z0, x1, z1;
};
struct ShopRoom {
    const char* file;
    WorldRect inside;
    WorldRect blocks[2];   // wall blocks standing into the room; empty when x0 == x1
    float doorX;           // the gap's middle in the front sill
    bool doorOnRight;      // the heroine's door: on the right wall, else on the back wall
};
constexpr float WALL = 1.0f;          // wall thickness, world units
constexpr float WALL_HEIGHT = 6.0f;   // low enough for the camera above the front to see over
constexpr float SILL_HEIGHT = 1.5f;
constexpr float PARTITION_HEIGHT = 2.5f;   // the blocks inside, low enough to see the heroine behind them
constexpr float DOOR_HALF = 2.0f;
constexpr float DOOR_HEIGHT = 3.6f;
const ShopRoom SHOP_ROOMS[] = {
    {"xfile/shop/shop_room0.x", {-10, -8, 4, 10}, {{-10, 4, -2, 10}, {}}, -0.3f, true},
    {"xfile/shop/shop_room1.x", {-10, -8, 8, 10}, {{-10, 4, -2, 10}, {}}, -0.3f, false},
    {"xfile/shop/shop_room2.x", {-10, -8, 20, 10}, {{-10, 4, -2, 10}, {16, 4, 20, 10}}, -0.25f, false},
    {"xfile/shop/shop_room3.x", {-10, -8, 20, 18}, {{0, 12, 9.5f, 18}, {16, 12, 20, 18}}, 10.7f, false},
};

void worldBox(Model& m, float x0, float z0, float x1, float z1, float height, int32_t material) {
    m.box(-5.0f * x1, 0.0f, 5.0f * z0, -5.0f * x0, 5.0f * height, 5.0f * z1, material);
}

Model shopRoom(const ShopRoom& r) {
    Model room;
    const WorldRect& in = r.inside;
    room.floor(-5.0f * in.x1, 5.0f * in.z0, -5.0f * in.x0, 5.0f * in.z1, 0.0f,
               room.material("floor", 1, 1, 1, "yuka_ita2.bmp"));
    int32_t wall = room.material("wall", 1, 1, 1, "kabe_sikkui.bmp");
    worldBox(room, in.x0 - WALL, in.z0 - WALL, in.x1 + WALL, in.z0, WALL_HEIGHT, wall);   // back
    worldBox(room, in.x0 - WALL, in.z0, in.x0, in.z1, WALL_HEIGHT, wall);                 // left
    worldBox(room, in.x1, in.z0, in.x1 + WALL, in.z1, WALL_HEIGHT, wall);                 // right
    for (const WorldRect& b : r.blocks)
        if (b.x1 > b.x0) worldBox(room, b.x0, b.z0, b.x1, b.z1, PARTITION_HEIGHT, wall);
    worldBox(room, in.x0 - WALL, in.z1, r.doorX - DOOR_HALF, in.z1 + WALL, SILL_HEIGHT, wall);
    worldBox(room, r.doorX + DOOR_HALF, in.z1, in.x1 + WALL, in.z1 + WALL, SILL_HEIGHT, wall);
    // The door the heroine leaves by, where the floor's door prompt stands:
    // on the right wall in the smallest shop, on the back wall at x 6 in the
    // others. It lies just inside the wall, framed, and stops nobody.
    int32_t door = room.material("nohit_door", 1, 1, 1, "shop_door.bmp");
    int32_t frame = room.material("nohit_doorframe", 0.35f, 0.22f, 0.12f);
    if (r.doorOnRight) {
        worldBox(room, in.x1 - 0.12f, -4.5f, in.x1, -2.3f, DOOR_HEIGHT + 0.3f, frame);
        worldBox(room, in.x1 - 0.2f, -4.3f, in.x1 - 0.12f, -2.5f, DOOR_HEIGHT, door);
    } else {
        worldBox(room, 4.9f, in.z0, 7.1f, in.z0 + 0.12f, DOOR_HEIGHT + 0.3f, frame);
        worldBox(room, 5.1f, in.z0 + 0.12f, 6.9f, in.z0 + 0.2f, DOOR_HEIGHT, door);
    }
    // A basin in the back corner: its water is drawn with the stage's frames.
    worldBox(room, in.x0, in.z0, in.x0 + 4.0f, in.z0 + 2.6f, 0.6f, wall);
    room.floor(-5.0f * (in.x0 + 3.8f), 5.0f * (in.z0 + 0.2f), -5.0f * (in.x0 + 0.2f), 5.0f * (in.z0 + 2.4f), 0.64f,
               room.material("water", 1, 1, 1, "water_shop.bmp", 0.6f));
    // The street in front of the shop.
    room.floor(-1000, 5.0f * (in.z1 + WALL), 1000, 1000, 0.0f, room.material("street", 1, 1, 1, "street_stone.bmp"));
    return room;
}

bool writeShop(const fs::path& game) {
    bool ok = true;
    for (const ShopRoom& r : SHOP_ROOMS) ok = shopRoom(r).write(game / r.file) && ok;
    // The rug lies apart: its model follows the player's rug choice.
    Model rug;
    rug.floor(-15, -10, 15, 10, 0.2f, rug.material("rug", 1, 1, 1, "shop_jutan01.tga"));
    // Inside the far plane of the wide passes (x 2.8) and seen from within.
    Model sky;
    sky.box(-450, -40, -450, 450, 400, 450, sky.material("nohit_sky", 0.6f, 0.8f, 1.0f, "w_sky_day.bmp"));
    // The counter tables of the first style: the square one on 2 x 2 cells
    // and the long one on four cells along x (writeTables has the others).
    Model table;
    table.box(-9.5f, 0, -9.5f, 9.5f, 8, 9.5f, table.material("table", 1, 1, 1, "table_wood.bmp"));
    Model longTable;
    longTable.box(-19.5f, 0, -4.5f, 19.5f, 8, 4.5f, longTable.material("table", 1, 1, 1, "table_wood.bmp"));
    return ok && rug.write(game / "xfile/shop/shop_rug.x") &&
           sky.write(game / "xfile/shop/shop_sky.x") && table.write(game / "xfile/table/shop_table01.x") &&
           longTable.write(game / "xfile/table/shop_table02.x");
}

// The other seven counter table styles, each a square table on 2 x 2 cells
// and a long one on four cells along x, of its own height and wood; the
// first style is the shop's own (writeShop).
struct TablePair {
    const char* square;
    const char* along;
    const char* texture;
    float height;
};
const TablePair TABLE_PAIRS[] = {
    {"shop_danbo01.x", "shop_danbo02.x", "table_danbo.bmp", 7},
    {"shop_desk01.x", "shop_desk02.x", "table_desk.bmp", 8.5f},
    {"shop_tarudesk01.x", "shop_tarudesk02.x", "table_taru.bmp", 9},
    {"shop_shokutaku01.x", "shop_shokutaku02.x", "table_shokutaku.bmp", 7.5f},
    {"shop_kyoudan01.x", "shop_kyoudan02.x", "table_kyoudan.bmp", 10},
    {"shop_jya01.x", "shop_jya02.x", "table_jya.bmp", 8},
    {"shop_jwel01.x", "shop_jwel02.x", "table_jwel.bmp", 9},
};

bool writeTables(const fs::path& game) {
    bool ok = true;
    for (const TablePair& t : TABLE_PAIRS) {
        Model square;
        square.box(-9.5f, 0, -9.5f, 9.5f, t.height, 9.5f, square.material("table", 1, 1, 1, t.texture));
        Model along;
        along.box(-19.5f, 0, -4.5f, 19.5f, t.height, 4.5f, along.material("table", 1, 1, 1, t.texture));
        ok = square.write(game / "xfile/table" / t.square) && along.write(game / "xfile/table" / t.along) && ok;
    }
    return ok;
}

// The shop's furniture on the 2-unit cell grid (10 model units a cell): the
// tables' collision shapes (stage maps 3 and 4: a 2 x 2 table and a table of
// four along x) and the three vending machines (stage maps 5 to 10, one pair of the same model per
// machine), all flat-coloured.
bool writeShopFurniture(const fs::path& game) {
    Model square;
    square.box(-10, 0, -10, 10, 8, 10, square.material("table_hit", 0.55f, 0.36f, 0.2f));
    Model longTable;
    longTable.box(-20, 0, -5, 20, 8, 5, longTable.material("table_hit", 0.55f, 0.36f, 0.2f));
    bool ok = square.write(game / "xfile/shop/shop_tablehit01.x") && longTable.write(game / "xfile/shop/shop_tablehit02.x");
    struct Vender {
        const char* file;
        float r, g, b;
    };
    const Vender VENDERS[] = {
        {"xfile/shop/shop_vender01.x", 0.85f, 0.2f, 0.2f},
        {"xfile/shop/shop_vender02.x", 0.2f, 0.4f, 0.85f},
        {"xfile/shop/shop_vender03.x", 0.85f, 0.7f, 0.2f},
    };
    for (const Vender& v : VENDERS) {
        Model m;
        m.box(-8, 0, -8, 8, 36, 8, m.material("vender", v.r, v.g, v.b));
        m.box(-6, 20, -8.5f, 6, 32, -8, m.material("vender_front", 0.9f, 0.9f, 0.95f));
        ok = m.write(game / v.file) && ok;
    }
    return ok;
}

// The props of the field: plain blocks in the sizes the drawing scales them by.
bool writeProps(const fs::path& game) {
    Model tree1, tree2, grass1, grass2, ice, rock, tuna, arrow, ring;
    int32_t trunk = tree1.material("trunk", 1, 1, 1, "mori_bark.bmp");
    tree1.box(-8, 0, -8, 8, 60, 8, trunk);
    tree1.box(-35, 60, -35, 35, 130, 35, tree1.material("leaf", 1, 1, 1, "mori_leaf.bmp"));
    tree2.box(-6, 0, -6, 6, 80, 6, tree2.material("trunk", 1, 1, 1, "mori_bark.bmp"));
    tree2.box(-25, 80, -25, 25, 170, 25, tree2.material("leaf", 1, 1, 1, "mori_leaf.bmp"));
    grass1.box(-15, 0, -15, 15, 12, 15, grass1.material("kusa", 1, 1, 1, "mori_kusa.bmp"));
    grass2.box(-10, 0, -20, 10, 18, 20, grass2.material("kusa", 1, 1, 1, "mori_kusa.bmp"));
    ice.box(-20, 0, -20, 20, 60, 20, ice.material("ice", 1, 1, 1, "etc_ice.bmp", 0.8f));
    rock.box(-12, -12, -12, 12, 12, 12, rock.material("rock", 1, 1, 1, "etc_rock.bmp"));
    tuna.box(-40, -10, -10, 40, 10, 10, tuna.material("tuna", 1, 1, 1, "maguro.bmp"));
    arrow.box(-2, -2, -60, 2, 2, 60, arrow.material("arrow", 1, 1, 1, "vector.bmp"));
    ring.box(-6, -6, -1, 6, 6, 1, ring.material("ring", 1, 1, 1, "vector.bmp"));
    return tree1.write(game / "xfile/mori_dun/obj_tree01.x") && tree2.write(game / "xfile/mori_dun/obj_tree02.x") &&
           grass1.write(game / "xfile/mori_dun/obj_kusa01.x") && grass2.write(game / "xfile/mori_dun/obj_kusa02.x") &&
           ice.write(game / "xfile/etc/ice01.x") && rock.write(game / "xfile/etc/train_iwa.x") &&
           tuna.write(game / "xfile2/g_lat/yokomaguro.x") && arrow.write(game / "xfile2/vector/vector.x") &&
           ring.write(game / "xfile2/vector/vector_ring.x");
}

bool writeText(const fs::path& path, const std::string& text) { return writeBytes(path, text.data(), text.size()); }

bool writeSkinnedModels(const fs::path& game) {
    return writeText(game / "xfile/tree/takarabako.x", xfileWriteText(chestScene())) &&
           writeText(game / "xfile/tree/obj_door.x", xfileWriteText(doorScene())) &&
           writeText(game / "xfile2/kani/kani01.x", xfileWriteText(crabScene()));
}

// The textures, below the models' folders in the packed data.
bool writeTextures(const fs::path& data) {
    struct Picture {
        const char* path;
        uint32_t a, b;
        int32_t tile;
    };
    const Picture pictures[] = {
        {"xfile/shop/yuka_ita2.bmp", 0xFFB08050, 0xFF9A6A40, 8},
        {"xfile/shop/kabe_sikkui.bmp", 0xFFEDE6D8, 0xFFE2DACB, 16},
        {"xfile/shop/street_stone.bmp", 0xFF8C8C88, 0xFF7A7A76, 16},
        {"xfile/shop/w_sky_day.bmp", 0xFF8CC4F0, 0xFF9CCCF4, 32},
        {"xfile/table/table_wood.bmp", 0xFF8A5A30, 0xFF7A4E28, 4},
        {"xfile/shop/water_shop.bmp", 0xA0307090, 0xA0388AA8, 16},
        {"xfile/shop/shop_door.bmp", 0xFF8A5A30, 0xFF6E4424, 4},
        // The shop's chosen decoration, drawn over the room's own wall and floor.
        {"xfile/wall/kabe_sikkui.bmp", 0xFFE8DCC8, 0xFFD8CCB4, 16},
        {"xfile/floor/yuka_ita2.bmp", 0xFFA87448, 0xFF90603A, 8},
        {"xfile/cave/cave_floor.bmp", 0xFF5A5450, 0xFF4E4844, 16},
        {"xfile/cave/cave_wall.bmp", 0xFF45403C, 0xFF3A3632, 8},
        {"xfile/cave/water_cave.bmp", 0xFF305080, 0xFF385A8C, 16},
        {"xfile/cave/yuki_cave.bmp", 0xFFF4F6FA, 0xFFE8ECF2, 16},
        {"xfile/cave/dame_spike.bmp", 0xFF803030, 0xFF602020, 4},
        {"xfile/cave/hikari_cave.bmp", 0xFFFFF4C0, 0xFFFFE8A0, 32},
        {"xfile/cave/w_cave_bg.bmp", 0xFF101420, 0xFF141824, 32},
        {"xfile/tree/takarabako.bmp", 0xFFC08A30, 0xFF8A5A20, 16},
        {"xfile/tree/obj_door.bmp", 0xFF7A5A3A, 0xFF6A4A2E, 8},
        {"xfile2/kani/kani01.bmp", 0xFFD05030, 0xFFB04028, 8},
        {"xfile/table/table_danbo.bmp", 0xFFC8A070, 0xFFB89060, 8},
        {"xfile/table/table_desk.bmp", 0xFF6A4A30, 0xFF5E4028, 8},
        {"xfile/table/table_taru.bmp", 0xFF9A6A38, 0xFF7A5228, 4},
        {"xfile/table/table_shokutaku.bmp", 0xFFF0E8D8, 0xFFD8C8B0, 16},
        {"xfile/table/table_kyoudan.bmp", 0xFF5A3A28, 0xFF4A3020, 8},
        {"xfile/table/table_jya.bmp", 0xFF6A8A40, 0xFF587434, 4},
        {"xfile/table/table_jwel.bmp", 0xFF4A2A60, 0xFF5A3A78, 8},
        {"xfile/mori_dun/mori_bark.bmp", 0xFF6A4A2A, 0xFF5A3E22, 4},
        {"xfile/mori_dun/mori_leaf.bmp", 0xFF3A7A3A, 0xFF306A30, 8},
        {"xfile/mori_dun/mori_kusa.bmp", 0xFF58A040, 0xFF4C8C38, 4},
        {"xfile/etc/etc_ice.bmp", 0xFFB8E0F8, 0xFFA8D4F0, 16},
        {"xfile/etc/etc_rock.bmp", 0xFF7A7068, 0xFF6A625A, 8},
        {"xfile2/g_lat/maguro.bmp", 0xFF304A78, 0xFFB0B8C8, 8},
        {"xfile2/vector/vector.bmp", 0xFFE8D070, 0xFFD0B050, 4},
    };
    bool ok = true;
    for (const Picture& p : pictures) ok = writeBmp(data / p.path, pattern(p.a, p.b, p.tile)) && ok;
    // The rug is a TGA: its edge fades out, so it is drawn in the alpha pass.
    std::vector<uint32_t> rug = pattern(0xFFB03040, 0xFFC04050, 8);
    for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 64; ++x)
            if (x < 4 || y < 4 || x >= 60 || y >= 60) rug[(size_t)y * 64 + x] &= 0x60FFFFFFu;
    ok = writeTga(data / "xfile/jutan/shop_jutan01.tga", rug) && ok;
    // The shop basin's four water frames, the ripple moving along.
    for (int32_t frame = 0; frame < 4; ++frame) {
        char name[64];
        snprintf(name, sizeof name, "xfile/shop/water%02d.bmp", (int)frame);
        ok = writeBmp(data / name, pattern(0xFF3078A0, 0xFF4890B8, 4 + 4 * frame)) && ok;
    }
    // The cave stage's eight water frames ("waterfile:water/cave").
    for (int32_t frame = 0; frame < 8; ++frame) {
        char name[64];
        snprintf(name, sizeof name, "water/cave%02d.bmp", (int)frame);
        ok = writeBmp(data / name, pattern(0xFF204868, 0xFF305A80, 4 + 2 * frame)) && ok;
    }
    return writeTga(data / "xfile/shop/shop_jutan01.tga", rug) && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: makemodels DATA_DIR GAME_DIR\n");
        return 2;
    }
    fs::path data = argv[1];
    fs::path game = argv[2];
    bool ok = writeShop(game) && writeShopFurniture(game) && writeCaveBlocks(game) && writeTables(game) &&
              writeProps(game) && writeSkinnedModels(game) && writeTextures(data);
    if (!ok) {
        fprintf(stderr, "makemodels: cannot write the models into %s or the textures into %s\n", argv[2], argv[1]);
        return 1;
    }
    return 0;
}
