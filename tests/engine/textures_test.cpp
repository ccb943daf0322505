// The texture registry and the picture loaders: registration and its limit,
// release by group and by texture, loose files before the archive (any case,
// either separator), the colour key by extension, refused pictures, the
// model textures' size reduction and BMP twins, and a picture loaded on a
// loader thread drawn by the main thread.
#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "engine/archive.h"
#include "engine/debug_text.h"
#include "engine/device.h"
#include "engine/engine_state.h"
#include "engine/render_states.h"
#include "engine/settings.h"
#include "engine/sprites.h"
#include "engine/state_snapshot.h"
#include "engine/textures.h"
#include "platform/thread.h"
#include "platform/window.h"
#include "tests/engine/texture_registry_probe.h"
#include "tests/engine/device_scope.h"
#include "tests/temp_folder.h"
#include "tests/test_files.h"
#include "tools/archive_writer.h"

namespace {

// Uncompressed 32-bit TGA, top row first.
std::vector<uint8_t> tgaFile(int32_t width, int32_t height, const std::vector<uint32_t>& argb) {
    std::vector<uint8_t> out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, (uint8_t)width, (uint8_t)(width >> 8),
                                (uint8_t)height, (uint8_t)(height >> 8), 32, 0x28};
    for (uint32_t p : argb)
        for (int shift : {0, 8, 16, 24}) out.push_back((uint8_t)(p >> shift));
    return out;
}

// 24-bit BMP, bottom row first.
std::vector<uint8_t> bmpFile(int32_t width, int32_t height, const std::vector<uint32_t>& argb) {
    int32_t stride = (width * 3 + 3) & ~3;
    std::vector<uint8_t> out(54 + (size_t)stride * height, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out[at + i] = (uint8_t)(v >> (8 * i));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, (uint32_t)out.size());
    put32(10, 54);
    put32(14, 40);
    put32(18, (uint32_t)width);
    put32(22, (uint32_t)height);
    out[26] = 1;
    out[28] = 24;
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint32_t p = argb[(size_t)(height - 1 - y) * width + x];
            uint8_t* at = out.data() + 54 + (size_t)y * stride + 3 * x;
            at[0] = (uint8_t)p;
            at[1] = (uint8_t)(p >> 8);
            at[2] = (uint8_t)(p >> 16);
        }
    return out;
}

std::vector<uint32_t> solid(int32_t width, int32_t height, uint32_t argb) {
    return std::vector<uint32_t>((size_t)width * height, argb);
}

// Texel (x, y) of level 0.
uint32_t texelAt(GfxTexture* texture, int32_t x, int32_t y) {
    GfxLockedRect locked = {};
    if (gGfxDevice->lockRect(texture, 0, &locked) != GFX_OK) return 0xDEADBEEF;
    uint32_t texel;
    memcpy(&texel, (const uint8_t*)locked.bits + (size_t)y * locked.pitch + 4 * (size_t)x, 4);
    gGfxDevice->unlockRect(texture, 0);
    return texel;
}

}   // namespace

// A temporary folder as the working directory, message boxes recorded, and a
// device of the chosen backend as the game's device.
class TextureFolder : public ::testing::Test {
protected:
    explicit TextureFolder(const GfxBackend* backend = &GFX_RECORDING) : backend(backend) {}
    void SetUp() override {
        ASSERT_TRUE(device.open(backend, 640, 480));
        gfxRecordClear();
        clearTextureRegistry();
        clearDebugText();
    }
    void TearDown() override {
        for (int32_t group = 0; group < TEXTURE_GROUP_FULL_RELEASE; ++group) releaseTextureGroup(group);
        clearTextureRegistry();
        device.close();
        gArchiveIndex = ArchiveTable{};
        gBmpData = ArchiveTable{};
        gFormData.clear();
    }
    // Pictures into the pack, other entries into the index.
    void openArchiveWith(const std::vector<std::pair<std::string, std::vector<uint8_t>>>& entries) {
        ArchiveBuilder b;
        std::string error;
        for (const auto& [name, bytes] : entries) {
            bool picture = name.rfind("bmp/", 0) == 0;
            ASSERT_TRUE(picture ? addBmpDataEntry(b, name, bytes.data(), bytes.size(), error)
                                : addIndexEntry(b, name, bytes.data(), bytes.size(), error))
                << error;
        }
        ASSERT_TRUE(writeArchiveFiles(b, ".", false, error)) << error;
        ASSERT_TRUE(openArchive());
    }
    int32_t boxes() const { return gHeadlessMessageBoxes.total; }
    // Registered slots must outlive the registry entries the teardown walks.
    TextureSlot slots[8];
    const RecordedMessageBox& box(int32_t i) const { return gHeadlessMessageBoxes.boxes[i]; }

    const GfxBackend* backend;
    TempFolder folder{"textures"};
    WorkingDirectory inFolder{folder.path()};
    DeviceScope device;
    StateScope state{&ENGINE_STATE};
};

class TextureRegistry : public TextureFolder {};
class TexturePictures : public TextureFolder {};
class TextureModels : public TextureFolder {};

TEST_F(TextureRegistry, TakesTheFirstFreeEntryAndShowsTheFreeCount) {
    TextureSlot &a = slots[0], &b = slots[1], &c = slots[2];
    setDDTexture(&a);
    EXPECT_EQ(std::string(gDebugText + 45, 14), "FREE TEX:200  ");
    setDDTexture(&b);
    EXPECT_EQ(std::string(gDebugText + 45, 14), "FREE TEX:199  ");
    EXPECT_EQ(gTextureRegistry[0], &a);
    EXPECT_EQ(gTextureRegistry[1], &b);
    gTextureRegistry[0] = nullptr;
    setDDTexture(&c);
    EXPECT_EQ(gTextureRegistry[0], &c) << "the lowest free entry";
    EXPECT_EQ(boxes(), 0);
}

TEST_F(TextureRegistry, The201stRegistrationIsRefusedAndThePictureStillLoads) {
    writeFile("bmp/one.tga", tgaFile(2, 2, solid(2, 2, 0xFF112233)));
    static TextureSlot held[TEXTURE_REGISTRY_SIZE];
    for (TextureSlot& slot : held) setDDTexture(&slot);
    TextureSlot* before[TEXTURE_REGISTRY_SIZE];
    memcpy(before, gTextureRegistry, sizeof before);

    TextureSlot extra;
    loadTextureToGroup(5, extra, "bmp/one.tga", 2, 2);
    ASSERT_EQ(boxes(), 1);
    EXPECT_STREQ(box(0).text, "setDDTexture\x83\x49\x81\x5b\x83\x6f\x81\x5b");   // "setDDTextureオーバー"
    EXPECT_STREQ(box(0).caption, "error");
    EXPECT_EQ(memcmp(before, gTextureRegistry, sizeof before), 0) << "the registry is unchanged";
    EXPECT_NE(extra.texture, nullptr);
    EXPECT_EQ(std::string(gDebugText + 45, 14), "FREE TEX:  0  ");
    gGfxDevice->releaseTexture(extra.texture);   // nobody else can: it is not registered
}

TEST_F(TextureRegistry, AGroupReleaseFreesExactlyItsGroup) {
    writeFile("bmp/p.tga", tgaFile(4, 4, solid(4, 4, 0xFF808080)));
    TextureSlot* system = slots;
    TextureSlot* place = slots + 2;
    TextureSlot* customer = slots + 5;
    for (int32_t i = 0; i < 2; ++i) loadTextureToGroup(1, system[i], "bmp/p.tga", 4, 4);
    for (int32_t i = 0; i < 3; ++i) loadTextureToGroup(7, place[i], "bmp/p.tga", 8, 4);
    for (int32_t i = 0; i < 2; ++i) loadTextureToGroup(16, customer[i], "bmp/p.tga", 4, 4);
    ASSERT_EQ(registeredCount(), 7);
    gfxRecordClear();

    releaseTextureGroup(7);
    EXPECT_EQ(registeredCount(), 4);
    for (int32_t i = 0; i < 3; ++i) {
        const TextureSlot& s = place[i];
        EXPECT_EQ(s.texture, nullptr);
        EXPECT_FALSE(isRegistered(s));
        // The slot keeps what it was loaded with.
        EXPECT_EQ(s.width, 8);
        EXPECT_EQ(s.height, 4);
        EXPECT_EQ(s.group, 7);
    }
    for (const TextureSlot* s : {&system[0], &system[1], &customer[0], &customer[1]}) {
        EXPECT_NE(s->texture, nullptr);
        EXPECT_TRUE(isRegistered(*s));
    }
    int32_t released = 0;
    for (int32_t i = 0; i < gGfxRecord.count; ++i) released += strncmp(gGfxRecord.lines[i], "releaseTexture", 14) == 0;
    EXPECT_EQ(released, 3);
}

TEST_F(TextureRegistry, ReleasingOneTextureFreesOnlyItsSlot) {
    writeFile("bmp/p.tga", tgaFile(4, 4, solid(4, 4, 0xFF808080)));
    TextureSlot &kept = slots[0], &dropped = slots[1];
    loadTextureToGroup(3, kept, "bmp/p.tga", 4, 4);
    loadTextureToGroup(3, dropped, "bmp/p.tga", 4, 4);
    releaseTexture(dropped.texture);
    EXPECT_EQ(dropped.texture, nullptr);
    EXPECT_FALSE(isRegistered(dropped));
    EXPECT_TRUE(isRegistered(kept));
    EXPECT_NE(kept.texture, nullptr);
    releaseTexture(nullptr);   // matches nothing, not the empty slots
    EXPECT_TRUE(isRegistered(kept));
}

// A BMP extension anywhere in the path keys out opaque pure green; other
// pictures keep their own alpha.
struct KeyCase {
    const char* path;
    bool keyed;
};
const KeyCase KEY_CASES[] = {
    {"bmp/window.tga", false},
    {"bmp/system.bmp", true},
    {"bmp/upper.Bmp", true},
    {"bmp/dir.b/inner.tga", true},
};

TEST_F(TexturePictures, ColourKeyFollowsTheExtension) {
    std::vector<uint32_t> texels = {0xFF00FF00, 0xFF123456, 0xFF00FE00, 0xFF00FF00};
    TextureSlot* slot = slots;
    for (const KeyCase& c : KEY_CASES) {
        writeFile(c.path, std::string(c.path).ends_with(".bmp") ? bmpFile(2, 2, texels) : tgaFile(2, 2, texels));
        ++slot;
        loadTextureToGroup(2, *slot, c.path, 2, 2);
        ASSERT_NE(slot->texture, nullptr) << c.path;
        EXPECT_EQ(texelAt(slot->texture, 0, 0), c.keyed ? 0x00000000u : 0xFF00FF00u) << c.path;
        EXPECT_EQ(texelAt(slot->texture, 1, 0), 0xFF123456u) << c.path;
        EXPECT_EQ(texelAt(slot->texture, 0, 1), 0xFF00FE00u) << "only the exact colour, " << c.path;
    }
    EXPECT_EQ(boxes(), 0);
}

TEST_F(TexturePictures, LooseFilesAreFoundInAnyCaseWithEitherSeparator) {
    writeFile("Bmp/Sub/Pic.TGA", tgaFile(2, 1, {0xFF010203, 0xFF040506}));
    TextureSlot& slot = slots[0];
    loadTextureToGroup(2, slot, "bmp\\sub\\pic.tga", 2, 1);
    ASSERT_NE(slot.texture, nullptr);
    EXPECT_EQ(texelAt(slot.texture, 1, 0), 0xFF040506u);
    EXPECT_EQ(boxes(), 0);
}

TEST_F(TexturePictures, ALooseFileWinsOverTheArchiveWhichIsResampledToTheAskedSize) {
    openArchiveWith({{"bmp/a.tga", tgaFile(2, 2, solid(2, 2, 0xFFAA0000))},
                     {"bmp/b.tga", tgaFile(2, 2, solid(2, 2, 0xFF0000AA))}});
    writeFile("bmp/a.tga", tgaFile(2, 2, solid(2, 2, 0xFF00AA00)));
    TextureSlot &a = slots[0], &b = slots[1];
    loadTextureToGroup(2, a, "bmp/a.tga", 2, 2);
    loadTextureToGroup(2, b, "bmp/b.tga", 8, 4);
    ASSERT_NE(a.texture, nullptr);
    ASSERT_NE(b.texture, nullptr);
    EXPECT_EQ(texelAt(a.texture, 1, 1), 0xFF00AA00u);
    EXPECT_EQ(texelAt(b.texture, 7, 3), 0xFF0000AAu);
    // Managed A8R8G8B8 at the asked size, one level.
    EXPECT_GE(gfxRecordFind("createTexture 8 4 1 0 2 1", 0), 0);
    EXPECT_EQ(boxes(), 0);
}

TEST_F(TexturePictures, AMissingPictureSaysSoAndLeavesItsSlotRegisteredAndEmpty) {
    openArchiveWith({});
    TextureSlot& slot = slots[0];
    loadTextureToGroup(4, slot, "bmp/none.tga", 64, 64);
    ASSERT_EQ(boxes(), 1);
    EXPECT_STREQ(box(0).text, "Not File Found bmp/none.tga");
    EXPECT_STREQ(box(0).caption, "Error");
    EXPECT_EQ(slot.texture, nullptr);
    EXPECT_TRUE(isRegistered(slot));
    EXPECT_EQ(slot.group, 4);
}

// A header that promises more texels than the file holds.
std::vector<uint8_t> lyingTga() {
    std::vector<uint8_t> bytes = tgaFile(64, 64, solid(64, 64, 0xFFFFFFFF));
    bytes.resize(18 + 64 * 4);
    return bytes;
}

TEST_F(TexturePictures, APictureWhoseHeaderDisagreesWithItsSizeIsRefused) {
    writeFile("bmp/short.tga", lyingTga());
    openArchiveWith({{"bmp/packed.tga", lyingTga()}});
    TextureSlot &loose = slots[0], &packed = slots[1];
    loadTextureToGroup(2, loose, "bmp/short.tga", 64, 64);
    ASSERT_EQ(boxes(), 1);
    EXPECT_STREQ(box(0).text, "D3DXERR_INVALIDDATA");
    EXPECT_STREQ(box(0).caption, "bmp/short.tga");
    EXPECT_EQ(loose.texture, nullptr);
    EXPECT_TRUE(isRegistered(loose));
    // From the archive such failures are silent.
    loadTextureToGroup(2, packed, "bmp/packed.tga", 64, 64);
    EXPECT_EQ(boxes(), 1);
    EXPECT_EQ(packed.texture, nullptr);
    EXPECT_EQ(gfxRecordFind("createTexture", 0), -1);
}

// Pictures read ahead on the worker load as the batch would load them
// itself: the same textures, and the boxes at the batch, in its order. Only
// the very requests read ahead are taken, once; the rest are read then.
TEST_F(TexturePictures, PicturesReadAheadLoadAsTheBatchWouldWithItsBoxesInOrder) {
    writeFile("bmp/good.tga", tgaFile(2, 2, solid(2, 2, 0xFF00AA00)));
    writeFile("bmp/short.tga", lyingTga());
    openArchiveWith({});
    const TexturePictureRequest LIST[] = {
        {"bmp/short.tga", 64, 64, &slots[0]},
        {"bmp/good.tga", 2, 2, &slots[1]},
        {"bmp/none.tga", 8, 8, &slots[2]},
        {"bmp/good.tga", 4, 4, &slots[3]},   // not read ahead
    };
    const TexturePictureRequest* ahead[] = {&LIST[0], &LIST[1], &LIST[2]};
    for (bool readAhead : {false, true}) {
        SCOPED_TRACE(readAhead ? "read ahead" : "read by the batch");
        gHeadlessMessageBoxes.count = gHeadlessMessageBoxes.total = 0;
        if (readAhead) startPicturePrefetch(ahead, 3);
        EXPECT_EQ(boxes(), 0) << "nothing is shown before the batch";
        loadTexturesToGroup(2, LIST, 4);
        ASSERT_EQ(boxes(), 2);
        EXPECT_STREQ(box(0).caption, "bmp/short.tga");
        EXPECT_STREQ(box(1).text, "Not File Found bmp/none.tga");
        EXPECT_EQ(slots[0].texture, nullptr);
        ASSERT_NE(slots[1].texture, nullptr);
        EXPECT_EQ(texelAt(slots[1].texture, 1, 1), 0xFF00AA00u);
        ASSERT_NE(slots[3].texture, nullptr);
        EXPECT_EQ(texelAt(slots[3].texture, 3, 3), 0xFF00AA00u);
        // Taken once: a second batch reads the file again.
        writeFile("bmp/good.tga", tgaFile(2, 2, solid(2, 2, 0xFF0000AA)));
        loadTexturesToGroup(2, &LIST[1], 1);
        EXPECT_EQ(texelAt(slots[1].texture, 1, 1), 0xFF0000AAu);
        writeFile("bmp/good.tga", tgaFile(2, 2, solid(2, 2, 0xFF00AA00)));
        dropPicturePrefetch();
        releaseTextureGroup(2);
    }
    // Read ahead and never asked for: freed by the drop.
    startPicturePrefetch(ahead, 3);
    dropPicturePrefetch();
}

// "texlevel" divides the picture's own size; the chain runs down to 1 x 1.
struct TexLevelCase {
    int32_t texLevel;
    const char* name;
    int32_t width, height;
    const char* created;
};
const TexLevelCase TEX_LEVEL_CASES[] = {
    {0, "model/wide.tga", 512, 256, "createTexture 512 256 10 0 2 1"},
    {1, "model/wide.tga", 512, 256, "createTexture 256 128 9 0 2 1"},
    {2, "model/wide.tga", 512, 256, "createTexture 128 64 8 0 2 1"},
    {3, "model/wide.tga", 512, 256, "createTexture 64 32 7 0 2 1"},
    {2, "model/square.bmp", 256, 256, "createTexture 64 64 7 0 2 1"},
};

TEST_F(TextureModels, TexLevelShrinksModelTexturesWithAFullChain) {
    openArchiveWith({{"model/wide.tga", tgaFile(512, 256, solid(512, 256, 0xFF406080))},
                     {"model/square.bmp", bmpFile(256, 256, solid(256, 256, 0xFF406080))}});
    for (const TexLevelCase& c : TEX_LEVEL_CASES) {
        gTexLevel = c.texLevel;
        gfxRecordClear();
        GfxTexture* texture = nullptr;
        char name[TEXTURE_NAME_SIZE];
        snprintf(name, sizeof name, "%s", c.name);
        loadMeshTexture(&texture, name);
        EXPECT_NE(texture, nullptr) << c.name << " at texlevel " << c.texLevel;
        EXPECT_GE(gfxRecordFind(c.created, 0), 0) << c.name << " at texlevel " << c.texLevel;
        gGfxDevice->releaseTexture(texture);
    }
    EXPECT_EQ(boxes(), 0);
}

TEST_F(TextureModels, ModelTexturesAreAlwaysKeyed) {
    openArchiveWith({{"model/k.tga", tgaFile(2, 1, {0xFF00FF00, 0xFF102030})}});
    GfxTexture* texture = nullptr;
    char name[TEXTURE_NAME_SIZE] = "model/k.tga";
    loadMeshTexture(&texture, name);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texelAt(texture, 0, 0), 0x00000000u);
    EXPECT_EQ(texelAt(texture, 1, 0), 0xFF102030u);
    gGfxDevice->releaseTexture(texture);
}

TEST_F(TextureModels, EasyDispTakesTheBmpTwinWhenTheArchiveHasOne) {
    openArchiveWith({{"model/a.tga", tgaFile(2, 2, solid(2, 2, 0xFF0000FF))},
                     {"model/a.bmp", bmpFile(2, 2, solid(2, 2, 0xFFFF0000))},
                     {"model/b.TGA", tgaFile(2, 2, solid(2, 2, 0xFF0000FF))}});
    gEasyDispTextures = 1;
    char a[TEXTURE_NAME_SIZE] = "model/a.tga";
    char b[TEXTURE_NAME_SIZE] = "model/b.TGA";
    GfxTexture* ta = nullptr;
    GfxTexture* tb = nullptr;
    loadMeshTexture(&ta, a);
    loadMeshTexture(&tb, b);
    EXPECT_STREQ(a, "model/a.bmp");
    EXPECT_STREQ(b, "model/b.TGA") << "no twin: the name stays";
    ASSERT_NE(ta, nullptr);
    EXPECT_EQ(texelAt(ta, 0, 0), 0xFFFF0000u);
    gGfxDevice->releaseTexture(ta);
    gGfxDevice->releaseTexture(tb);

    gEasyDispTextures = 0;
    char again[TEXTURE_NAME_SIZE] = "model/a.tga";
    GfxTexture* tc = nullptr;
    loadMeshTexture(&tc, again);
    EXPECT_STREQ(again, "model/a.tga");
    gGfxDevice->releaseTexture(tc);
}

// The twin's name is cut at the first '.' followed by a 't', not at the
// first '.': earlier dots in a folder or file name stay.
struct TwinNameCase {
    const char* name;
    const char* want;
};
const TwinNameCase TWIN_NAME_CASES[] = {
    {"model/a.b/x.tga", "model/a.b/x.bmp"},   // cut at the first dot: "model/a.bmp"
    {"model/v1.2.TGA", "model/v1.2.bmp"},     // cut at the first dot: "model/v1.bmp"
    {"model/v1.2.png", "model/v1.2.png"},     // no 't' after any dot: kept, though "model/v1.bmp" exists
    {"model/x.tex/y.tga", "model/x.bmp"},     // the first dot with a 't' after it, even in a folder
};

TEST_F(TextureModels, EasyDispCutsTheNameAtTheFirstDotBeforeAT) {
    std::vector<uint8_t> tga = tgaFile(2, 2, solid(2, 2, 0xFF0000FF));
    std::vector<uint8_t> bmp = bmpFile(2, 2, solid(2, 2, 0xFFFF0000));
    openArchiveWith({{"model/a.b/x.tga", tga}, {"model/a.b/x.bmp", bmp}, {"model/a.bmp", bmp},
                     {"model/v1.2.TGA", tga}, {"model/v1.2.bmp", bmp}, {"model/v1.bmp", bmp},
                     {"model/v1.2.png", tga}, {"model/x.tex/y.tga", tga}, {"model/x.bmp", bmp}});
    gEasyDispTextures = 1;
    for (const TwinNameCase& c : TWIN_NAME_CASES) {
        char name[TEXTURE_NAME_SIZE];
        snprintf(name, sizeof name, "%s", c.name);
        GfxTexture* texture = nullptr;
        loadMeshTexture(&texture, name);
        EXPECT_STREQ(name, c.want) << c.name;
        EXPECT_NE(texture, nullptr) << c.name;
        if (texture) gGfxDevice->releaseTexture(texture);
    }
    EXPECT_EQ(boxes(), 0);
}

TEST_F(TextureModels, AMissingModelTextureSaysSoAndLeavesNothing) {
    openArchiveWith({});
    GfxTexture* texture = nullptr;
    char name[TEXTURE_NAME_SIZE] = "model/gone.tga";
    loadMeshTexture(&texture, name);
    EXPECT_EQ(texture, nullptr);
    ASSERT_EQ(boxes(), 1);
    EXPECT_STREQ(box(0).text, "Not File Found model/gone.tga");
    EXPECT_STREQ(box(0).caption, "Error");
}

// On the headless renderer: a picture loaded by a loader thread, handed over
// through a release/acquire flag, is drawn by the main thread's next frame.
class TextureThreads : public TextureFolder {
protected:
    TextureThreads() : TextureFolder(&GFX_HEADLESS) {}
};

TEST_F(TextureThreads, APictureLoadedOnALoaderThreadDrawsOnTheNextFrame) {
    writeFile("bmp/loaded.tga", tgaFile(4, 4, solid(4, 4, 0xFF3080C0)));
    gScreenSize = {640, 480};
    TextureSlot& slot = slots[0];
    std::atomic<int32_t> loaded{0};
    std::thread loader([&] {
        loadTextureToGroup(13, slot, "bmp/loaded.tga", 4, 4);
        loaded.store(1, std::memory_order_release);
    });
    while (loaded.load(std::memory_order_acquire) == 0) std::this_thread::yield();

    gGfxDevice->clear(GFX_CLEAR_TARGET | GFX_CLEAR_ZBUFFER, 0xFF000000, 1.0f, 0);
    gGfxDevice->beginScene();
    set2DRenderStates();
    gGfxDevice->setTexture(0, slot.texture);
    SpriteDest dst = {100, 100, 50, 40};
    addSpriteQuad(dst, {0, 0, 4, 4}, slot, 0xFFFFFFFF);
    flushSprites();
    gGfxDevice->endScene();
    static uint32_t pixels[640 * 480];
    ASSERT_TRUE(gGfxDevice->readBackBuffer(pixels, 640, 480));
    EXPECT_EQ(pixels[120 * 640 + 120], 0xFF3080C0u);
    EXPECT_EQ(pixels[99 * 640 + 120], 0xFF000000u);
    loader.join();
    EXPECT_EQ(boxes(), 0);
}
