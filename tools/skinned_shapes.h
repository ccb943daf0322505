// tools/skinned_shapes.h: skinned, animated models built from boxes, for
// tools/makemodels and the tests: the treasure chest, the door and a crab
// enemy. Every bone is a frame moved only by a translation in its rest
// pose, so its offset matrix is the opposite translation; each box of the
// one skinned mesh follows one bone, and the animation sets use every key
// type the game reads (rotation, scale, position, matrix).
#pragma once
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "platform/xfile.h"
#include "tools/model_shapes.h"

namespace skinned_shapes {

// The frame's translation up to the top: where its bone rests.
inline void restPlace(const XFileScene& scene, int32_t frame, float out[3]) {
    out[0] = out[1] = out[2] = 0.0f;
    for (int32_t at = frame; at >= 0; at = scene.frames[(size_t)at].parent)
        for (int k = 0; k < 3; ++k) out[k] += scene.frames[(size_t)at].matrix[12 + k];
}

// The mesh's vertices from `first` on follow the frame's bone wholly.
inline void addBone(XFileMesh& mesh, const XFileScene& scene, int32_t frame, int32_t first) {
    XFileSkinWeights skin = {};
    snprintf(skin.bone, sizeof skin.bone, "%s", scene.frames[(size_t)frame].name);
    int32_t count = (int32_t)(mesh.positions.size() / 3);
    for (int32_t v = first; v < count; ++v) {
        skin.vertices.push_back(v);
        skin.weights.push_back(1.0f);
    }
    identityMatrix(skin.offset);
    float place[3];
    restPlace(scene, frame, place);
    for (int k = 0; k < 3; ++k) skin.offset[12 + k] = -place[k];
    mesh.skin.push_back(skin);
}

// A box from lo to hi in the frame's rest space, following its bone.
inline void addBoneBox(XFileMesh& mesh, const XFileScene& scene, int32_t frame, const float lo[3], const float hi[3],
                       int32_t material) {
    int32_t first = (int32_t)(mesh.positions.size() / 3);
    float place[3];
    restPlace(scene, frame, place);
    const float a[3] = {lo[0] + place[0], lo[1] + place[1], lo[2] + place[2]};
    const float b[3] = {hi[0] + place[0], hi[1] + place[1], hi[2] + place[2]};
    addBox(mesh, a, b, material);
    addBone(mesh, scene, frame, first);
}

inline int32_t addAnimationSet(XFileScene& scene, const char* name) {
    XFileFrame node = {};
    snprintf(node.name, sizeof node.name, "%s", name);
    identityMatrix(node.matrix);
    node.parent = -1;
    node.kind = XFILE_NODE_ANIMATION_SET;
    node.animation = -1;
    scene.frames.push_back(node);
    return (int32_t)scene.frames.size() - 1;
}

// An animation of the set aimed at the named frame; its key lists follow.
inline XFileAnimation& addAnimation(XFileScene& scene, int32_t set, const char* name, const char* target) {
    XFileFrame node = {};
    snprintf(node.name, sizeof node.name, "%s", name);
    identityMatrix(node.matrix);
    node.parent = set;
    node.kind = XFILE_NODE_ANIMATION;
    node.animation = (int32_t)scene.animations.size();
    scene.frames.push_back(node);
    scene.animations.emplace_back();
    XFileReference reference = {};
    snprintf(reference.name, sizeof reference.name, "%s", target);
    scene.animations.back().references.push_back(reference);
    return scene.animations.back();
}

// keyType: 0 rotation (w, x, y, z), 1 scale, 2 position, 4 matrix.
inline void addKeys(XFileAnimation& animation, uint32_t keyType, const std::vector<uint32_t>& times,
                    const std::vector<float>& values) {
    XFileKeyList list;
    list.keyType = keyType;
    list.valuesPerKey = times.empty() ? 0 : (int32_t)(values.size() / times.size());
    list.times = times;
    list.values = values;
    animation.keys.push_back(list);
}

// A rotation about a unit axis as the file writes it: w, x, y, z.
inline std::vector<float> rotationKey(float ax, float ay, float az, float angle) {
    float s = std::sin(angle / 2.0f);
    return {std::cos(angle / 2.0f), ax * s, ay * s, az * s};
}

inline std::vector<float> joined(std::initializer_list<std::vector<float>> parts) {
    std::vector<float> out;
    for (const std::vector<float>& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

}  // namespace skinned_shapes

// The treasure chest: a body ("hako") and a lid ("futa") hinged at its back
// edge, whose animation set "open" lifts the lid and lets it fall again over
// two seconds (9,600 ticks).
inline XFileScene chestScene() {
    using namespace skinned_shapes;
    XFileScene scene = {};
    int32_t top = addFrame(scene, "takarabako", -1);
    int32_t body = addFrame(scene, "hako", top);
    int32_t lid = addFrame(scene, "futa", body, 0.0f, 12.0f, 8.0f);
    XFileMesh mesh = shapeMesh("takarabako_mesh", top);
    mesh.materials = {shapeMaterial("takarabako", 1.0f, 1.0f, 1.0f, "takarabako.bmp")};
    const float bodyLo[3] = {-15.0f, 0.0f, -8.0f}, bodyHi[3] = {15.0f, 12.0f, 8.0f};
    const float lidLo[3] = {-15.0f, 0.0f, -16.0f}, lidHi[3] = {15.0f, 5.0f, 0.0f};
    addBoneBox(mesh, scene, body, bodyLo, bodyHi, 0);
    addBoneBox(mesh, scene, lid, lidLo, lidHi, 0);
    scene.meshes.push_back(mesh);
    int32_t set = addAnimationSet(scene, "open");
    XFileAnimation& lift = addAnimation(scene, set, "futa_open", "futa");
    addKeys(lift, 0, {0, 4800, 9600},
            joined({rotationKey(1, 0, 0, 0.0f), rotationKey(1, 0, 0, -1.2f), rotationKey(1, 0, 0, 0.0f)}));
    addKeys(lift, 2, {0, 9600}, {0.0f, 12.0f, 8.0f, 0.0f, 12.0f, 8.0f});
    return scene;
}

// The door: a frame ("waku") and a leaf ("tobira") hinged at its left edge,
// whose set "open" swings the leaf a quarter turn and back.
inline XFileScene doorScene() {
    using namespace skinned_shapes;
    XFileScene scene = {};
    int32_t top = addFrame(scene, "obj_door", -1);
    int32_t frame = addFrame(scene, "waku", top);
    int32_t leaf = addFrame(scene, "tobira", frame, -20.0f, 0.0f, 0.0f);
    XFileMesh mesh = shapeMesh("obj_door_mesh", top);
    mesh.materials = {shapeMaterial("obj_door", 1.0f, 1.0f, 1.0f, "obj_door.bmp")};
    const float postLo[3] = {-24.0f, 0.0f, -3.0f}, postHi[3] = {-20.0f, 60.0f, 3.0f};
    const float post2Lo[3] = {20.0f, 0.0f, -3.0f}, post2Hi[3] = {24.0f, 60.0f, 3.0f};
    const float leafLo[3] = {0.0f, 0.0f, -1.5f}, leafHi[3] = {40.0f, 56.0f, 1.5f};
    // Both posts follow the frame, which rests at the top frame's origin.
    addBox(mesh, postLo, postHi, 0);
    addBox(mesh, post2Lo, post2Hi, 0);
    addBone(mesh, scene, frame, 0);
    addBoneBox(mesh, scene, leaf, leafLo, leafHi, 0);
    scene.meshes.push_back(mesh);
    int32_t set = addAnimationSet(scene, "open");
    XFileAnimation& swing = addAnimation(scene, set, "tobira_open", "tobira");
    addKeys(swing, 0, {0, 4800, 9600},
            joined({rotationKey(0, 1, 0, 0.0f), rotationKey(0, 1, 0, 1.5707964f), rotationKey(0, 1, 0, 0.0f)}));
    return scene;
}

// The crab enemy ("xfile2/kani/kani01.x"): a body that bobs and breathes,
// two claws that snap, and an eye stalk stepped by matrix keys. Its frames
// "body", "claw_l", "claw_r" and "eye" are the parts a model table row may
// export.
inline XFileScene crabScene() {
    using namespace skinned_shapes;
    XFileScene scene = {};
    int32_t top = addFrame(scene, "kani", -1);
    int32_t body = addFrame(scene, "body", top, 0.0f, 20.0f, 0.0f);
    int32_t clawL = addFrame(scene, "claw_l", body, -30.0f, 0.0f, -20.0f);
    int32_t clawR = addFrame(scene, "claw_r", body, 30.0f, 0.0f, -20.0f);
    int32_t eye = addFrame(scene, "eye", body, 0.0f, 15.0f, -10.0f);
    XFileMesh mesh = shapeMesh("kani_mesh", top);
    mesh.materials = {shapeMaterial("kani_shell", 0.9f, 0.35f, 0.2f, "kani01.bmp"),
                      shapeMaterial("kani_eye", 1.0f, 1.0f, 0.8f)};
    const float bodyLo[3] = {-25.0f, -10.0f, -18.0f}, bodyHi[3] = {25.0f, 10.0f, 18.0f};
    const float clawLo[3] = {-8.0f, -6.0f, -20.0f}, clawHi[3] = {8.0f, 6.0f, 0.0f};
    const float eyeLo[3] = {-3.0f, 0.0f, -3.0f}, eyeHi[3] = {3.0f, 8.0f, 3.0f};
    addBoneBox(mesh, scene, body, bodyLo, bodyHi, 0);
    addBoneBox(mesh, scene, clawL, clawLo, clawHi, 0);
    addBoneBox(mesh, scene, clawR, clawLo, clawHi, 0);
    addBoneBox(mesh, scene, eye, eyeLo, eyeHi, 1);
    scene.meshes.push_back(mesh);
    int32_t set = addAnimationSet(scene, "walk");
    XFileAnimation& bob = addAnimation(scene, set, "body_bob", "body");
    addKeys(bob, 1, {0, 2400, 4800}, {1, 1, 1, 1.05f, 0.95f, 1.05f, 1, 1, 1});
    addKeys(bob, 2, {0, 2400, 4800}, {0, 20, 0, 0, 24, 0, 0, 20, 0});
    XFileAnimation& left = addAnimation(scene, set, "claw_l_snap", "claw_l");
    addKeys(left, 0, {0, 2400, 4800},
            joined({rotationKey(0, 1, 0, 0.0f), rotationKey(0, 1, 0, 0.5f), rotationKey(0, 1, 0, 0.0f)}));
    XFileAnimation& right = addAnimation(scene, set, "claw_r_snap", "claw_r");
    addKeys(right, 0, {0, 2400, 4800},
            joined({rotationKey(0, 1, 0, 0.0f), rotationKey(0, 1, 0, -0.5f), rotationKey(0, 1, 0, 0.0f)}));
    XFileAnimation& stalk = addAnimation(scene, set, "eye_step", "eye");
    std::vector<float> keys;
    for (float lift : {15.0f, 18.0f, 15.0f}) {
        float m[16];
        identityMatrix(m);
        m[13] = lift;
        m[14] = -10.0f;
        keys.insert(keys.end(), m, m + 16);
    }
    addKeys(stalk, 4, {0, 2400, 4800}, keys);
    return scene;
}
