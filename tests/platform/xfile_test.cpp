// The .x reader: one scene written as text and as binary (32- and 64-bit
// floats) reads back the same, polygons become fans keeping their
// material, frames compose child first, and damaged files are refused with
// a reason.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/xfile.h"
#include "tools/model_shapes.h"
#include "tools/skinned_shapes.h"
#include "tools/xfile_writer.h"

namespace {

// A cube of two materials (the top is "lid", textured) with vertex colours,
// in a frame below a moved root.
XFileScene cubeScene() {
    XFileScene scene = {};
    int32_t root = addFrame(scene, "Root", -1, 0.0f, 2.0f, 0.0f);
    int32_t body = addFrame(scene, "Body", root, 1.5f, 0.0f, -0.25f);
    XFileMesh mesh = shapeMesh("cube", body);
    const float lo[3] = {-1.0f, 0.0f, -1.0f};
    const float hi[3] = {1.0f, 2.0f, 1.0f};
    addBox(mesh, lo, hi, 1);
    mesh.triangleMaterials[0] = mesh.triangleMaterials[1] = 0;
    mesh.materials = {shapeMaterial("lid", 0.5f, 0.25f, 1.0f, "lid_n_.bmp"), shapeMaterial("side", 1.0f, 1.0f, 1.0f)};
    for (size_t v = 0; v < mesh.positions.size() / 3; ++v) mesh.colors.push_back(v % 2 ? 0xFF0000FFu : 0x80FF8000u);
    scene.meshes.push_back(mesh);
    return scene;
}

bool read(const std::string& text, XFileScene* scene) {
    return xfileRead(reinterpret_cast<const uint8_t*>(text.data()), text.size(), scene);
}

void expectSameScene(const XFileScene& a, const XFileScene& b, const char* what) {
    SCOPED_TRACE(what);
    ASSERT_EQ(a.frames.size(), b.frames.size());
    for (size_t f = 0; f < a.frames.size(); ++f) {
        EXPECT_STREQ(a.frames[f].name, b.frames[f].name);
        EXPECT_EQ(a.frames[f].parent, b.frames[f].parent);
        for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(a.frames[f].matrix[i], b.frames[f].matrix[i]) << "frame " << f;
    }
    ASSERT_EQ(a.meshes.size(), b.meshes.size());
    for (size_t m = 0; m < a.meshes.size(); ++m) {
        const XFileMesh& x = a.meshes[m];
        const XFileMesh& y = b.meshes[m];
        EXPECT_STREQ(x.name, y.name);
        EXPECT_EQ(x.frame, y.frame);
        EXPECT_EQ(x.faceCount, y.faceCount);
        EXPECT_EQ(x.positions, y.positions);
        EXPECT_EQ(x.triangles, y.triangles);
        EXPECT_EQ(x.triangleFaces, y.triangleFaces);
        EXPECT_EQ(x.triangleMaterials, y.triangleMaterials);
        EXPECT_EQ(x.normals, y.normals);
        EXPECT_EQ(x.triangleNormals, y.triangleNormals);
        EXPECT_EQ(x.texCoords, y.texCoords);
        EXPECT_EQ(x.colors, y.colors);
        ASSERT_EQ(x.materials.size(), y.materials.size());
        for (size_t i = 0; i < x.materials.size(); ++i) {
            const XFileMaterial& p = x.materials[i];
            const XFileMaterial& q = y.materials[i];
            EXPECT_STREQ(p.name, q.name);
            EXPECT_STREQ(p.texture, q.texture);
            EXPECT_EQ(memcmp(p.diffuse, q.diffuse, sizeof p.diffuse), 0) << "material " << i;
            EXPECT_EQ(p.power, q.power);
        }
    }
}

}  // namespace

TEST(XFileReader, OneCubeReadsTheSameAsTextAndAsBinary) {
    XFileScene original = cubeScene();
    XFileScene text, binary32, binary64;
    ASSERT_TRUE(read(xfileWriteText(original), &text)) << text.error;
    std::vector<uint8_t> b32 = xfileWriteBinary(original, false);
    std::vector<uint8_t> b64 = xfileWriteBinary(original, true);
    ASSERT_TRUE(xfileRead(b32.data(), b32.size(), &binary32)) << binary32.error;
    ASSERT_TRUE(xfileRead(b64.data(), b64.size(), &binary64)) << binary64.error;
    expectSameScene(original, text, "text against what was written");
    expectSameScene(text, binary32, "binary, 32-bit floats");
    expectSameScene(text, binary64, "binary, 64-bit floats");
    EXPECT_STREQ(text.error, "");
    EXPECT_EQ(text.meshes[0].triangles.size(), 36u);
    EXPECT_STREQ(text.meshes[0].materials[0].texture, "lid_n_.bmp");
}

TEST(XFileReader, PolygonsBecomeFansAndAShortMaterialListLendsItsLastIndex) {
    const std::string text =
        "xof 0303txt 0032\n"
        "template Unused { <11111111-2222-3333-4444-555555555555> DWORD n; }\n"
        "Header { 1; 0; 1; }\n"
        "Material red { 1.0;0.0;0.0;1.0;; 4.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }\n"
        "// a comment\n"
        "Mesh flat {\n"
        " 5; 0;0;0;, 1;0;0;, 1;0;1;, 0;0;1;, 2;0;0;;\n"
        " 2; 4;0,1,2,3;, 3;1,4,2;;\n"
        " MeshMaterialList { 2; 1; 1;; {red} Material blue { 0;0;1;1;; 1; 0;0;0;; 0;0;0;; } }\n"
        "}\n";
    XFileScene scene;
    ASSERT_TRUE(read(text, &scene)) << scene.error;
    ASSERT_EQ(scene.meshes.size(), 1u);
    const XFileMesh& mesh = scene.meshes[0];
    EXPECT_EQ(mesh.frame, -1);
    EXPECT_EQ(mesh.faceCount, 2);
    EXPECT_EQ(mesh.triangles, (std::vector<int32_t>{0, 1, 2, 0, 2, 3, 1, 4, 2}));
    EXPECT_EQ(mesh.triangleFaces, (std::vector<int32_t>{0, 0, 1}));
    EXPECT_EQ(mesh.triangleMaterials, (std::vector<int32_t>{1, 1, 1}));
    ASSERT_EQ(mesh.materials.size(), 2u);
    EXPECT_STREQ(mesh.materials[0].name, "red");
    EXPECT_STREQ(mesh.materials[1].name, "blue");
    EXPECT_FLOAT_EQ(mesh.materials[1].diffuse[2], 1.0f);
}

TEST(XFileReader, AFramePlacesItsMeshesChildFirstThenParent) {
    XFileScene scene = {};
    int32_t root = addFrame(scene, "Root", -1, 10.0f, 0.0f, 0.0f);
    scene.frames[(size_t)root].matrix[0] = 2.0f;   // the root doubles x
    int32_t child = addFrame(scene, "Child", root, 1.0f, 0.0f, 0.0f);
    float m[16];
    xfileFrameToRoot(scene, child, m);
    // x' = (x + 1) * 2 + 10
    EXPECT_FLOAT_EQ(m[0], 2.0f);
    EXPECT_FLOAT_EQ(m[12], 12.0f);
    xfileFrameToRoot(scene, -1, m);
    EXPECT_FLOAT_EQ(m[12], 0.0f);
}

// Skin weights, animation sets, their references and keys of every type
// read back the same from each encoding, in file order.
TEST(XFileReader, SkinsAndAnimationsReadTheSameAsTextAndAsBinary) {
    XFileScene original = crabScene();
    std::vector<uint8_t> b32 = xfileWriteBinary(original, false);
    std::vector<uint8_t> b64 = xfileWriteBinary(original, true);
    for (int encoding = 0; encoding < 3; ++encoding) {
        SCOPED_TRACE(encoding);
        XFileScene scene;
        std::string text = xfileWriteText(original);
        const uint8_t* bytes = encoding == 0 ? reinterpret_cast<const uint8_t*>(text.data())
                                             : (encoding == 1 ? b32.data() : b64.data());
        size_t size = encoding == 0 ? text.size() : (encoding == 1 ? b32.size() : b64.size());
        ASSERT_TRUE(xfileRead(bytes, size, &scene)) << scene.error;
        expectSameScene(original, scene, "crab");
        for (size_t f = 0; f < original.frames.size(); ++f) {
            EXPECT_EQ(scene.frames[f].kind, original.frames[f].kind) << "node " << f;
            EXPECT_EQ(scene.frames[f].animation, original.frames[f].animation) << "node " << f;
        }
        const XFileMesh& mesh = scene.meshes[0];
        ASSERT_EQ(mesh.skin.size(), original.meshes[0].skin.size());
        for (size_t b = 0; b < mesh.skin.size(); ++b) {
            EXPECT_STREQ(mesh.skin[b].bone, original.meshes[0].skin[b].bone);
            EXPECT_EQ(mesh.skin[b].vertices, original.meshes[0].skin[b].vertices);
            EXPECT_EQ(mesh.skin[b].weights, original.meshes[0].skin[b].weights);
            EXPECT_EQ(memcmp(mesh.skin[b].offset, original.meshes[0].skin[b].offset, 64), 0) << "bone " << b;
        }
        ASSERT_EQ(scene.animations.size(), original.animations.size());
        for (size_t a = 0; a < scene.animations.size(); ++a) {
            const XFileAnimation& x = scene.animations[a];
            const XFileAnimation& y = original.animations[a];
            ASSERT_EQ(x.references.size(), 1u);
            EXPECT_STREQ(x.references[0].name, y.references[0].name);
            EXPECT_EQ(x.references[0].other, 0) << "a frame";
            ASSERT_EQ(x.keys.size(), y.keys.size());
            for (size_t k = 0; k < x.keys.size(); ++k) {
                EXPECT_EQ(x.keys[k].keyType, y.keys[k].keyType);
                EXPECT_EQ(x.keys[k].valuesPerKey, y.keys[k].valuesPerKey);
                EXPECT_EQ(x.keys[k].times, y.keys[k].times);
                for (size_t v = 0; v < y.keys[k].values.size(); ++v)
                    EXPECT_NEAR(x.keys[k].values[v], y.keys[k].values[v], 1e-6f) << "animation " << a << " list " << k;
            }
        }
    }
}

TEST(XFileReader, AReferenceIsMarkedWhenItNamesNoFrameButAnotherObject) {
    const std::string text =
        "xof 0302txt 0032\nMaterial red { 1;0;0;1;; 1; 0;0;0;; 0;0;0;; }\nFrame arm { }\n"
        "Animation a { {arm} {red} {nothing} AnimationOptions { 1; 0; } }\n";
    XFileScene scene;
    ASSERT_TRUE(read(text, &scene)) << scene.error;
    ASSERT_EQ(scene.animations.size(), 1u);
    const std::vector<XFileReference>& refs = scene.animations[0].references;
    ASSERT_EQ(refs.size(), 3u);
    EXPECT_EQ(refs[0].other, 0) << "a frame";
    EXPECT_EQ(refs[1].other, 1) << "a material";
    EXPECT_EQ(refs[2].other, 0) << "nothing of that name: left for the loader to refuse";
    EXPECT_EQ(scene.frames[1].kind, XFILE_NODE_ANIMATION);
    EXPECT_EQ(scene.frames[1].parent, -1);
}

TEST(XFileReader, RefusesDamagedFilesWithAReason) {
    std::string good = xfileWriteText(cubeScene());
    std::vector<uint8_t> binary = xfileWriteBinary(cubeScene(), false);
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"not a .x file", "xyz 0302txt 0032\nMesh {}"},
        {"compressed", "xof 0302tzip0032\n"},
        {"16-bit floats", "xof 0302txt 0016\n"},
        {"text cut short", good.substr(0, good.size() / 2)},
        {"binary cut short", std::string(binary.begin(), binary.begin() + (long)binary.size() / 2)},
        {"binary cut inside a list", std::string(binary.begin(), binary.begin() + 60)},
        {"a face beyond the vertices", "xof 0302txt 0032\nMesh m { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,3;; }\n"},
        {"a count beyond the file", "xof 0302txt 0032\nMesh m { 2000000000; 0;0;0;; }\n"},
        {"a negative count", "xof 0302txt 0032\nMesh m { -3; }\n"},
        {"a material index beyond the list",
         "xof 0302txt 0032\nMesh m { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 4;; {a} } }\n"},
        {"too few materials given",
         "xof 0302txt 0032\nMesh m { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,2;; MeshMaterialList { 2; 1; 1;; } }\n"},
        {"an unclosed frame", "xof 0302txt 0032\nFrame a { Frame b {\n"},
        {"nested too deeply", "xof 0302txt 0032\n" + [] {
             std::string s;
             for (int i = 0; i < XFILE_DEPTH_MAX + 1; ++i) s += "Frame f {";
             for (int i = 0; i < XFILE_DEPTH_MAX + 1; ++i) s += "}";
             return s;
         }()},
        {"an unterminated string", "xof 0302txt 0032\nMaterial m { 1;1;1;1;; 1; 0;0;0;; 0;0;0;; TextureFilename { \"a.bmp }"},
        {"skin weights on a vertex the mesh lacks",
         "xof 0302txt 0032\nMesh m { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,2;; SkinWeights { \"b\"; 1; 3; 1.0; "
         "1;0;0;0;0;1;0;0;0;0;1;0;0;0;0;1;; } }\n"},
        {"skin weights cut short", "xof 0302txt 0032\nMesh m { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,2;; SkinWeights { \"b\"; 2; 0,1; 1.0;"},
        {"keys of unequal sizes",
         "xof 0302txt 0032\nAnimation a { AnimationKey { 2; 2; 0;3;0,0,0;;, 10;4;0,0,0,0;;; } }\n"},
        {"a key time below zero", "xof 0302txt 0032\nAnimation a { AnimationKey { 2; 1; -5;3;0,0,0;;; } }\n"},
        {"an unclosed reference", "xof 0302txt 0032\nAnimation a { { b c } }\n"},
        {"normals for other faces",
         "xof 0302txt 0032\nMesh m { 3; 0;0;0;, 1;0;0;, 0;0;1;; 1; 3;0,1,2;; MeshNormals { 1; 0;1;0;; 2; 3;0,0,0;, 3;0,0,0;; } }\n"},
    };
    for (const Case& c : cases) {
        XFileScene scene;
        scene.meshes.resize(1);
        EXPECT_FALSE(xfileRead(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size(), &scene)) << c.what;
        EXPECT_STRNE(scene.error, "") << c.what;
        if (strcmp(c.what, "nested too deeply") == 0) {
            EXPECT_STREQ(scene.error, "objects nested too deeply");
        }
        EXPECT_TRUE(scene.meshes.empty() && scene.frames.empty()) << c.what;
    }
}
