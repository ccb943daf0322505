// Arbitrary bytes as a .x file, text or binary. The input has nothing
// behind it, so any read past its end is caught; a file that reads must
// hold only indices within its own lists: faces, normals and materials,
// skin weights on its own vertices, nodes naming their animations.
#include <cstddef>
#include <cstdint>

#include "platform/xfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    XFileScene scene;
    if (!xfileRead(data, size, &scene)) {
        if (!scene.error[0] || !scene.meshes.empty() || !scene.frames.empty() || !scene.animations.empty())
            __builtin_trap();
        return 0;
    }
    for (size_t f = 0; f < scene.frames.size(); ++f) {
        const XFileFrame& node = scene.frames[f];
        if (node.parent >= (int32_t)f || node.parent < -1) __builtin_trap();
        if ((node.kind == XFILE_NODE_ANIMATION) != (node.animation >= 0) ||
            node.animation >= (int32_t)scene.animations.size())
            __builtin_trap();
        float m[16];
        xfileFrameToRoot(scene, (int32_t)f, m);
    }
    for (const XFileMesh& mesh : scene.meshes) {
        size_t vertices = mesh.positions.size() / 3;
        if (mesh.frame < -1 || mesh.frame >= (int32_t)scene.frames.size()) __builtin_trap();
        if (mesh.triangles.size() != mesh.triangleFaces.size() * 3) __builtin_trap();
        if (mesh.triangleMaterials.size() != mesh.triangleFaces.size()) __builtin_trap();
        for (int32_t index : mesh.triangles)
            if (index < 0 || (size_t)index >= vertices) __builtin_trap();
        if (!mesh.triangleNormals.empty() && mesh.triangleNormals.size() != mesh.triangles.size()) __builtin_trap();
        for (int32_t index : mesh.triangleNormals)
            if (index < 0 || (size_t)index >= mesh.normals.size() / 3) __builtin_trap();
        for (int32_t material : mesh.triangleMaterials)
            if (material < 0 || (!mesh.materials.empty() && (size_t)material >= mesh.materials.size()) ||
                (mesh.materials.empty() && material != 0))
                __builtin_trap();
        if (!mesh.texCoords.empty() && mesh.texCoords.size() != vertices * 2) __builtin_trap();
        if (!mesh.colors.empty() && mesh.colors.size() != vertices) __builtin_trap();
        for (const XFileSkinWeights& skin : mesh.skin) {
            if (skin.vertices.size() != skin.weights.size()) __builtin_trap();
            for (int32_t index : skin.vertices)
                if (index < 0 || (size_t)index >= vertices) __builtin_trap();
        }
    }
    for (const XFileAnimation& animation : scene.animations)
        for (const XFileKeyList& list : animation.keys)
            if (list.valuesPerKey < 0 || list.valuesPerKey > 16 ||
                list.values.size() != list.times.size() * (size_t)list.valuesPerKey)
                __builtin_trap();
    return 0;
}
