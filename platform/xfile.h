// platform/xfile.h: our reader of .x model files, text ("txt ") and binary
// ("bin ") with 32- or 64-bit floats. It keeps what the game's models use:
// the frame tree with each frame's matrix, the meshes with their polygons
// (split into triangle fans), normals, texture coordinates, vertex colours
// and material lists, the materials with their texture file names, each
// mesh's skin weights, and the animation sets with their animations (frame
// references and keys). Objects of other kinds (headers, options...) are
// passed over whole.
//
// Loading time only: the result lives in vectors. Any thread; no state.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

constexpr int32_t XFILE_NAME_SIZE = 64;       // object names, cut to fit
constexpr int32_t XFILE_TEXTURE_SIZE = 256;   // texture file names, cut to fit
constexpr int32_t XFILE_DEPTH_MAX = 64;       // nested objects; deeper files are refused
constexpr int32_t XFILE_COUNT_MAX = 1 << 24;  // vertices, faces and the like in one list

// Frames, animation sets and animations share one list in file order, so
// a model's tree can be built in the order its objects were read.
enum XFileNodeKind : int32_t { XFILE_NODE_FRAME = 0, XFILE_NODE_ANIMATION_SET, XFILE_NODE_ANIMATION };

struct XFileFrame {
    char name[XFILE_NAME_SIZE];
    float matrix[16];   // row vectors, translation in 12..14; identity without a matrix
    int32_t parent;     // index into frames; -1 at the top
    XFileNodeKind kind;
    int32_t animation;  // an animation's index into animations; -1 otherwise
};

// A reference ("{ name }") inside an animation, in file order.
struct XFileReference {
    char name[XFILE_NAME_SIZE];
    // 1 when the name is that of no frame but of another object of the
    // file (a mesh, a material, an animation): not a target.
    int32_t other;
};

// One "AnimationKey" object: keys of one type, each a time and the same
// number of floats.
struct XFileKeyList {
    uint32_t keyType;              // as written; the reader does not judge it
    int32_t valuesPerKey;
    std::vector<uint32_t> times;
    std::vector<float> values;     // valuesPerKey per key
};

struct XFileAnimation {
    std::vector<XFileReference> references;
    std::vector<XFileKeyList> keys;   // in file order
};

// One bone's influence on a mesh ("SkinWeights").
struct XFileSkinWeights {
    char bone[XFILE_NAME_SIZE];      // the frame that moves these vertices
    std::vector<int32_t> vertices;   // indices into the mesh's positions
    std::vector<float> weights;      // one per vertex index
    float offset[16];                // mesh space into the bone's space
};

struct XFileMaterial {
    char name[XFILE_NAME_SIZE];
    float diffuse[4];   // r, g, b, a
    float power;
    float specular[3];
    float emissive[3];
    char texture[XFILE_TEXTURE_SIZE];   // empty without a texture file name
};

struct XFileMesh {
    char name[XFILE_NAME_SIZE];
    int32_t frame;                     // the frame holding it; -1 at the top
    std::vector<float> positions;      // x, y, z per vertex
    // Per triangle: three vertex indices (in the file's corner order), the
    // polygon it came from and its material (index into materials; 0
    // without a material list).
    std::vector<int32_t> triangles;
    std::vector<int32_t> triangleFaces;
    std::vector<int32_t> triangleMaterials;
    int32_t faceCount;                 // polygons in the file
    // Normals, with three normal indices per triangle; both empty without.
    std::vector<float> normals;
    std::vector<int32_t> triangleNormals;
    std::vector<float> texCoords;      // u, v per vertex; empty without
    std::vector<uint32_t> colors;      // 0xAARRGGBB per vertex; empty without
    std::vector<XFileMaterial> materials;
    std::vector<XFileSkinWeights> skin;   // empty for a mesh without bones
};

struct XFileScene {
    std::vector<XFileFrame> frames;   // parents before children, in file order
    std::vector<XFileAnimation> animations;
    std::vector<XFileMesh> meshes;    // in file order
    char error[128];                  // why a read failed; empty after a good read
};

// Reads a whole file image. False, with the reason in scene->error, for
// anything but a sound .x file: a bad header, a compressed file, truncated
// or malformed data, counts beyond what the bytes can hold, indices out of
// range, nesting beyond XFILE_DEPTH_MAX, keys of unequal sizes, skin weights
// on vertices the mesh lacks.
bool xfileRead(const uint8_t* bytes, size_t size, XFileScene* scene);
// The frame's matrix times its parents' up to the top: where the frame's
// meshes sit in the file's space.
void xfileFrameToRoot(const XFileScene& scene, int32_t frame, float out[16]);
