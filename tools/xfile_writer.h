// tools/xfile_writer.h: writes .x model files from the records the reader
// fills (platform/xfile.h), in text or in binary with 32- or 64-bit floats.
// Used by tools/makemodels and by the tests.
//
// The text layout is the one the collision reader of the map blocks reads
// line by line: a frame's matrix as four lines of four numbers, one vertex
// and one face per line, the material list right after the faces with at
// most 16 indices a line, and each material as a reference "{name}" on its
// own line to a material written at the top of the file. So every material
// is written once at the top, named by its name, and meshes refer to them.
// A mesh's triangles are written as three-cornered faces, its skin weights
// after its other data; top-level animation sets follow the frames.
#pragma once
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/xfile.h"

namespace xfile_writer {

inline void appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));
inline void appendf(std::string& out, const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    out += buffer;
}

// Every material of every mesh, first come first kept, by name.
inline std::vector<const XFileMaterial*> sceneMaterials(const XFileScene& scene) {
    std::vector<const XFileMaterial*> all;
    for (const XFileMesh& mesh : scene.meshes)
        for (const XFileMaterial& material : mesh.materials) {
            bool known = false;
            for (const XFileMaterial* seen : all) known = known || strcmp(seen->name, material.name) == 0;
            if (!known) all.push_back(&material);
        }
    return all;
}

inline void textMaterial(std::string& out, const XFileMaterial& m) {
    appendf(out, "Material %s {\n %f;%f;%f;%f;;\n %f;\n %f;%f;%f;;\n %f;%f;%f;;\n", m.name, m.diffuse[0], m.diffuse[1],
            m.diffuse[2], m.diffuse[3], m.power, m.specular[0], m.specular[1], m.specular[2], m.emissive[0],
            m.emissive[1], m.emissive[2]);
    if (m.texture[0]) appendf(out, " TextureFilename {\n  \"%s\";\n }\n", m.texture);
    out += "}\n";
}

inline void textMesh(std::string& out, const XFileMesh& mesh) {
    int32_t vertices = (int32_t)(mesh.positions.size() / 3);
    int32_t triangles = (int32_t)(mesh.triangles.size() / 3);
    appendf(out, "Mesh %s {\n %d;\n", mesh.name[0] ? mesh.name : "", vertices);
    for (int32_t v = 0; v < vertices; ++v)
        appendf(out, " %f;%f;%f;%s\n", mesh.positions[(size_t)v * 3], mesh.positions[(size_t)v * 3 + 1],
                mesh.positions[(size_t)v * 3 + 2], v + 1 < vertices ? "," : ";");
    appendf(out, " %d;\n", triangles);
    for (int32_t t = 0; t < triangles; ++t)
        appendf(out, " 3;%d,%d,%d;%s\n", mesh.triangles[(size_t)t * 3], mesh.triangles[(size_t)t * 3 + 1],
                mesh.triangles[(size_t)t * 3 + 2], t + 1 < triangles ? "," : ";");
    if (!mesh.materials.empty()) {
        appendf(out, " MeshMaterialList {\n %d;\n %d;\n", (int32_t)mesh.materials.size(), triangles);
        for (int32_t t = 0; t < triangles; ++t)
            appendf(out, "%s%d%s", t % 16 == 0 ? " " : "", mesh.triangleMaterials[(size_t)t],
                    t + 1 == triangles ? ";;\n" : (t % 16 == 15 ? ",\n" : ","));
        for (const XFileMaterial& material : mesh.materials) appendf(out, " {%s}\n", material.name);
        out += " }\n";
    }
    if (!mesh.normals.empty()) {
        int32_t normals = (int32_t)(mesh.normals.size() / 3);
        appendf(out, " MeshNormals {\n %d;\n", normals);
        for (int32_t n = 0; n < normals; ++n)
            appendf(out, " %f;%f;%f;%s\n", mesh.normals[(size_t)n * 3], mesh.normals[(size_t)n * 3 + 1],
                    mesh.normals[(size_t)n * 3 + 2], n + 1 < normals ? "," : ";");
        appendf(out, " %d;\n", triangles);
        for (int32_t t = 0; t < triangles; ++t)
            appendf(out, " 3;%d,%d,%d;%s\n", mesh.triangleNormals[(size_t)t * 3], mesh.triangleNormals[(size_t)t * 3 + 1],
                    mesh.triangleNormals[(size_t)t * 3 + 2], t + 1 < triangles ? "," : ";");
        out += " }\n";
    }
    if (!mesh.texCoords.empty()) {
        appendf(out, " MeshTextureCoords {\n %d;\n", vertices);
        for (int32_t v = 0; v < vertices; ++v)
            appendf(out, " %f;%f;%s\n", mesh.texCoords[(size_t)v * 2], mesh.texCoords[(size_t)v * 2 + 1],
                    v + 1 < vertices ? "," : ";");
        out += " }\n";
    }
    if (!mesh.colors.empty()) {
        appendf(out, " MeshVertexColors {\n %d;\n", vertices);
        for (int32_t v = 0; v < vertices; ++v) {
            uint32_t c = mesh.colors[(size_t)v];
            appendf(out, " %d;%f;%f;%f;%f;;%s\n", v, (float)((c >> 16) & 0xFF) / 255.0f,
                    (float)((c >> 8) & 0xFF) / 255.0f, (float)(c & 0xFF) / 255.0f, (float)(c >> 24) / 255.0f,
                    v + 1 < vertices ? "," : ";");
        }
        out += " }\n";
    }
    for (const XFileSkinWeights& skin : mesh.skin) {
        appendf(out, " SkinWeights {\n  \"%s\";\n  %d;\n", skin.bone, (int32_t)skin.vertices.size());
        for (size_t i = 0; i < skin.vertices.size(); ++i)
            appendf(out, "  %d%s\n", skin.vertices[i], i + 1 < skin.vertices.size() ? "," : ";");
        for (size_t i = 0; i < skin.weights.size(); ++i)
            appendf(out, "  %f%s\n", skin.weights[i], i + 1 < skin.weights.size() ? "," : ";");
        for (int row = 0; row < 4; ++row)
            appendf(out, "  %f,%f,%f,%f%s\n", skin.offset[row * 4], skin.offset[row * 4 + 1], skin.offset[row * 4 + 2],
                    skin.offset[row * 4 + 3], row == 3 ? ";;" : ",");
        out += " }\n";
    }
    out += "}\n";
}

inline void textAnimation(std::string& out, const XFileScene& scene, const XFileFrame& node) {
    const XFileAnimation& animation = scene.animations[(size_t)node.animation];
    appendf(out, " Animation %s {\n", node.name);
    for (const XFileReference& reference : animation.references) appendf(out, "  {%s}\n", reference.name);
    for (const XFileKeyList& list : animation.keys) {
        appendf(out, "  AnimationKey {\n   %u;\n   %d;\n", list.keyType, (int32_t)list.times.size());
        for (size_t k = 0; k < list.times.size(); ++k) {
            appendf(out, "   %u;%d;", list.times[k], list.valuesPerKey);
            for (int32_t v = 0; v < list.valuesPerKey; ++v)
                appendf(out, "%f%s", list.values[k * (size_t)list.valuesPerKey + (size_t)v],
                        v + 1 < list.valuesPerKey ? "," : ";;");
            out += k + 1 < list.times.size() ? ",\n" : ";\n";
        }
        out += "  }\n";
    }
    out += " }\n";
}

inline void textAnimationSets(std::string& out, const XFileScene& scene) {
    for (int32_t set = 0; set < (int32_t)scene.frames.size(); ++set) {
        const XFileFrame& f = scene.frames[(size_t)set];
        if (f.kind != XFILE_NODE_ANIMATION_SET || f.parent >= 0) continue;
        appendf(out, "AnimationSet %s {\n", f.name);
        for (const XFileFrame& node : scene.frames)
            if (node.kind == XFILE_NODE_ANIMATION && node.parent == set) textAnimation(out, scene, node);
        out += "}\n";
    }
}

inline void textFrame(std::string& out, const XFileScene& scene, int32_t frame) {
    const XFileFrame& f = scene.frames[(size_t)frame];
    appendf(out, "Frame %s {\n FrameTransformMatrix {\n", f.name);
    for (int row = 0; row < 4; ++row)
        appendf(out, "  %f,%f,%f,%f%s\n", f.matrix[row * 4], f.matrix[row * 4 + 1], f.matrix[row * 4 + 2],
                f.matrix[row * 4 + 3], row == 3 ? ";;" : ",");
    out += " }\n";
    for (const XFileMesh& mesh : scene.meshes)
        if (mesh.frame == frame) textMesh(out, mesh);
    for (int32_t child = 0; child < (int32_t)scene.frames.size(); ++child)
        if (scene.frames[(size_t)child].parent == frame && scene.frames[(size_t)child].kind == XFILE_NODE_FRAME)
            textFrame(out, scene, child);
    out += "}\n";
}

}  // namespace xfile_writer

inline std::string xfileWriteText(const XFileScene& scene) {
    using namespace xfile_writer;
    std::string out = "xof 0302txt 0032\n";
    for (const XFileMaterial* material : sceneMaterials(scene)) textMaterial(out, *material);
    for (const XFileMesh& mesh : scene.meshes)
        if (mesh.frame < 0) textMesh(out, mesh);
    for (int32_t frame = 0; frame < (int32_t)scene.frames.size(); ++frame)
        if (scene.frames[(size_t)frame].parent < 0 && scene.frames[(size_t)frame].kind == XFILE_NODE_FRAME)
            textFrame(out, scene, frame);
    textAnimationSets(out, scene);
    return out;
}

namespace xfile_writer {

struct BinaryOut {
    std::vector<uint8_t> bytes;
    bool doubles;
    void u16(uint32_t v) {
        bytes.push_back((uint8_t)v);
        bytes.push_back((uint8_t)(v >> 8));
    }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i) bytes.push_back((uint8_t)(v >> (8 * i)));
    }
    void name(const char* text) {
        u16(1);
        u32((uint32_t)strlen(text));
        bytes.insert(bytes.end(), text, text + strlen(text));
    }
    void string(const char* text) {
        u16(2);
        u32((uint32_t)strlen(text));
        bytes.insert(bytes.end(), text, text + strlen(text));
        u16(20);   // ';'
    }
    void open() { u16(10); }
    void close() { u16(11); }
    void ints(const std::vector<uint32_t>& values) {
        u16(6);
        u32((uint32_t)values.size());
        for (uint32_t v : values) u32(v);
    }
    void floats(const std::vector<float>& values) {
        u16(7);
        u32((uint32_t)values.size());
        for (float v : values) {
            if (doubles) {
                double wide = v;
                uint64_t bits;
                memcpy(&bits, &wide, 8);
                for (int i = 0; i < 8; ++i) bytes.push_back((uint8_t)(bits >> (8 * i)));
            } else {
                uint32_t bits;
                memcpy(&bits, &v, 4);
                u32(bits);
            }
        }
    }
    void object(const char* type, const char* objectName) {
        name(type);
        if (objectName && objectName[0]) name(objectName);
        open();
    }
};

inline void binaryMaterial(BinaryOut& out, const XFileMaterial& m) {
    out.object("Material", m.name);
    out.floats({m.diffuse[0], m.diffuse[1], m.diffuse[2], m.diffuse[3], m.power, m.specular[0], m.specular[1],
                m.specular[2], m.emissive[0], m.emissive[1], m.emissive[2]});
    if (m.texture[0]) {
        out.object("TextureFilename", nullptr);
        out.string(m.texture);
        out.close();
    }
    out.close();
}

inline std::vector<uint32_t> binaryFaces(const std::vector<int32_t>& corners) {
    std::vector<uint32_t> values = {(uint32_t)(corners.size() / 3)};
    for (size_t t = 0; t < corners.size(); t += 3)
        values.insert(values.end(), {3u, (uint32_t)corners[t], (uint32_t)corners[t + 1], (uint32_t)corners[t + 2]});
    return values;
}

inline void binaryMesh(BinaryOut& out, const XFileMesh& mesh) {
    out.object("Mesh", mesh.name);
    out.ints({(uint32_t)(mesh.positions.size() / 3)});
    out.floats(mesh.positions);
    out.ints(binaryFaces(mesh.triangles));
    if (!mesh.materials.empty()) {
        out.object("MeshMaterialList", nullptr);
        std::vector<uint32_t> values = {(uint32_t)mesh.materials.size(), (uint32_t)mesh.triangleMaterials.size()};
        for (int32_t m : mesh.triangleMaterials) values.push_back((uint32_t)m);
        out.ints(values);
        for (const XFileMaterial& material : mesh.materials) {
            out.open();
            out.name(material.name);
            out.close();
        }
        out.close();
    }
    if (!mesh.normals.empty()) {
        out.object("MeshNormals", nullptr);
        out.ints({(uint32_t)(mesh.normals.size() / 3)});
        out.floats(mesh.normals);
        out.ints(binaryFaces(mesh.triangleNormals));
        out.close();
    }
    if (!mesh.texCoords.empty()) {
        out.object("MeshTextureCoords", nullptr);
        out.ints({(uint32_t)(mesh.texCoords.size() / 2)});
        out.floats(mesh.texCoords);
        out.close();
    }
    if (!mesh.colors.empty()) {
        out.object("MeshVertexColors", nullptr);
        out.ints({(uint32_t)mesh.colors.size()});
        for (size_t v = 0; v < mesh.colors.size(); ++v) {
            uint32_t c = mesh.colors[v];
            out.ints({(uint32_t)v});
            out.floats({(float)((c >> 16) & 0xFF) / 255.0f, (float)((c >> 8) & 0xFF) / 255.0f,
                        (float)(c & 0xFF) / 255.0f, (float)(c >> 24) / 255.0f});
        }
        out.close();
    }
    for (const XFileSkinWeights& skin : mesh.skin) {
        out.object("SkinWeights", nullptr);
        out.string(skin.bone);
        std::vector<uint32_t> indices = {(uint32_t)skin.vertices.size()};
        for (int32_t v : skin.vertices) indices.push_back((uint32_t)v);
        out.ints(indices);
        std::vector<float> floats = skin.weights;
        floats.insert(floats.end(), skin.offset, skin.offset + 16);
        out.floats(floats);
        out.close();
    }
    out.close();
}

inline void binaryAnimationSets(BinaryOut& out, const XFileScene& scene) {
    for (int32_t set = 0; set < (int32_t)scene.frames.size(); ++set) {
        const XFileFrame& f = scene.frames[(size_t)set];
        if (f.kind != XFILE_NODE_ANIMATION_SET || f.parent >= 0) continue;
        out.object("AnimationSet", f.name);
        for (const XFileFrame& node : scene.frames) {
            if (node.kind != XFILE_NODE_ANIMATION || node.parent != set) continue;
            const XFileAnimation& animation = scene.animations[(size_t)node.animation];
            out.object("Animation", node.name);
            for (const XFileReference& reference : animation.references) {
                out.open();
                out.name(reference.name);
                out.close();
            }
            for (const XFileKeyList& list : animation.keys) {
                out.object("AnimationKey", nullptr);
                out.ints({list.keyType, (uint32_t)list.times.size()});
                for (size_t k = 0; k < list.times.size(); ++k) {
                    out.ints({list.times[k], (uint32_t)list.valuesPerKey});
                    const float* values = list.values.data() + k * (size_t)list.valuesPerKey;
                    out.floats(std::vector<float>(values, values + list.valuesPerKey));
                }
                out.close();
            }
            out.close();
        }
        out.close();
    }
}

inline void binaryFrame(BinaryOut& out, const XFileScene& scene, int32_t frame) {
    const XFileFrame& f = scene.frames[(size_t)frame];
    out.object("Frame", f.name);
    out.object("FrameTransformMatrix", nullptr);
    out.floats(std::vector<float>(f.matrix, f.matrix + 16));
    out.close();
    for (const XFileMesh& mesh : scene.meshes)
        if (mesh.frame == frame) binaryMesh(out, mesh);
    for (int32_t child = 0; child < (int32_t)scene.frames.size(); ++child)
        if (scene.frames[(size_t)child].parent == frame && scene.frames[(size_t)child].kind == XFILE_NODE_FRAME)
            binaryFrame(out, scene, child);
    out.close();
}

}  // namespace xfile_writer

inline std::vector<uint8_t> xfileWriteBinary(const XFileScene& scene, bool doubles) {
    using namespace xfile_writer;
    BinaryOut out;
    out.doubles = doubles;
    const char* header = doubles ? "xof 0302bin 0064" : "xof 0302bin 0032";
    out.bytes.assign(header, header + 16);
    for (const XFileMaterial* material : sceneMaterials(scene)) binaryMaterial(out, *material);
    for (const XFileMesh& mesh : scene.meshes)
        if (mesh.frame < 0) binaryMesh(out, mesh);
    for (int32_t frame = 0; frame < (int32_t)scene.frames.size(); ++frame)
        if (scene.frames[(size_t)frame].parent < 0 && scene.frames[(size_t)frame].kind == XFILE_NODE_FRAME)
            binaryFrame(out, scene, frame);
    binaryAnimationSets(out, scene);
    return out.bytes;
}
