// platform/xfile.cpp: the .x reader. Both encodings are turned into one
// stream of tokens (names, strings, numbers, braces); the object parser
// above it does not know which encoding it reads. Separators (';' and ',')
// carry nothing the parser needs and are dropped by both tokenizers.
#include "platform/xfile.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

enum TokenKind : int32_t { TOKEN_END, TOKEN_ERROR, TOKEN_NAME, TOKEN_STRING, TOKEN_NUMBER, TOKEN_OPEN, TOKEN_CLOSE };

// Binary token codes of the format.
enum BinaryCode : uint16_t {
    BIN_NAME = 1,
    BIN_STRING = 2,
    BIN_INTEGER = 3,
    BIN_GUID = 5,
    BIN_INTEGER_LIST = 6,
    BIN_FLOAT_LIST = 7,
    BIN_OPEN_BRACE = 10,
    BIN_CLOSE_BRACE = 11,
    BIN_TEMPLATE = 31,
};

struct Token {
    TokenKind kind;
    double number;
    // A name or string: points into the file, not terminated.
    const char* text;
    size_t length;
};

struct Reader {
    const uint8_t* at;
    const uint8_t* end;
    bool binary;
    bool doubles;   // binary float lists of 64-bit floats
    // A binary number list being handed out one number at a time.
    uint32_t listLeft;
    bool listFloats;
    XFileScene* scene;
    bool failed;
};

__attribute__((format(printf, 2, 3))) void fail(Reader& r, const char* format, ...) {
    if (r.failed) return;
    r.failed = true;
    va_list args;
    va_start(args, format);
    vsnprintf(r.scene->error, sizeof r.scene->error, format, args);
    va_end(args);
}

size_t bytesLeft(const Reader& r) { return (size_t)(r.end - r.at); }

bool readU16(Reader& r, uint16_t* out) {
    if (bytesLeft(r) < 2) return false;
    *out = (uint16_t)(r.at[0] | r.at[1] << 8);
    r.at += 2;
    return true;
}

bool readU32(Reader& r, uint32_t* out) {
    if (bytesLeft(r) < 4) return false;
    *out = (uint32_t)r.at[0] | (uint32_t)r.at[1] << 8 | (uint32_t)r.at[2] << 16 | (uint32_t)r.at[3] << 24;
    r.at += 4;
    return true;
}

Token makeToken(TokenKind kind) { return Token{kind, 0.0, nullptr, 0}; }

Token binaryToken(Reader& r) {
    if (r.listLeft > 0) {
        --r.listLeft;
        Token token = makeToken(TOKEN_NUMBER);
        if (!r.listFloats) {
            uint32_t value = 0;
            readU32(r, &value);   // the list's size was checked when it began
            token.number = (double)(int32_t)value;
        } else if (r.doubles) {
            uint64_t bits = 0;
            for (int i = 7; i >= 0; --i) bits = bits << 8 | r.at[i];
            r.at += 8;
            double value;
            memcpy(&value, &bits, sizeof value);
            token.number = value;
        } else {
            uint32_t bits = 0;
            readU32(r, &bits);
            float value;
            memcpy(&value, &bits, sizeof value);
            token.number = value;
        }
        return token;
    }
    for (;;) {
        uint16_t code = 0;
        if (!readU16(r, &code)) return makeToken(TOKEN_END);
        uint32_t count = 0;
        switch (code) {
        case BIN_NAME:
        case BIN_STRING: {
            if (!readU32(r, &count) || count > bytesLeft(r)) return makeToken(TOKEN_ERROR);
            Token token = makeToken(code == BIN_NAME ? TOKEN_NAME : TOKEN_STRING);
            token.text = (const char*)r.at;
            token.length = count;
            r.at += count;
            // A string is followed by its separator's code.
            if (code == BIN_STRING) {
                uint16_t separator = 0;
                if (!readU16(r, &separator)) return makeToken(TOKEN_ERROR);
            }
            return token;
        }
        case BIN_INTEGER: {
            if (!readU32(r, &count)) return makeToken(TOKEN_ERROR);
            Token token = makeToken(TOKEN_NUMBER);
            token.number = (double)(int32_t)count;
            return token;
        }
        case BIN_GUID:
            if (bytesLeft(r) < 16) return makeToken(TOKEN_ERROR);
            r.at += 16;
            continue;
        case BIN_INTEGER_LIST:
        case BIN_FLOAT_LIST: {
            if (!readU32(r, &count)) return makeToken(TOKEN_ERROR);
            size_t width = code == BIN_INTEGER_LIST ? 4 : (r.doubles ? 8 : 4);
            if (count > bytesLeft(r) / width) return makeToken(TOKEN_ERROR);
            r.listLeft = count;
            r.listFloats = code == BIN_FLOAT_LIST;
            if (count == 0) continue;
            return binaryToken(r);
        }
        case BIN_OPEN_BRACE: return makeToken(TOKEN_OPEN);
        case BIN_CLOSE_BRACE: return makeToken(TOKEN_CLOSE);
        case BIN_TEMPLATE: {
            Token token = makeToken(TOKEN_NAME);
            token.text = "template";
            token.length = 8;
            return token;
        }
        default:
            // Punctuation and the type keywords of template declarations;
            // only known codes, so garbage stops the read.
            if ((code >= 12 && code <= 20) || (code >= 40 && code <= 53)) continue;
            return makeToken(TOKEN_ERROR);
        }
    }
}

bool isBlank(uint8_t c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }
bool isDelimiter(uint8_t c) {
    return isBlank(c) || c == '{' || c == '}' || c == ';' || c == ',' || c == '"' || c == '<' || c == '>' ||
           c == '#' || c == '/';
}

Token textToken(Reader& r) {
    while (r.at < r.end) {
        uint8_t c = *r.at;
        if (isBlank(c) || c == ';' || c == ',') {
            ++r.at;
        } else if (c == '#' || (c == '/' && bytesLeft(r) >= 2 && r.at[1] == '/')) {
            while (r.at < r.end && *r.at != '\n') ++r.at;
        } else if (c == '<') {
            // A class id: carries nothing we use.
            const void* close = memchr(r.at, '>', bytesLeft(r));
            if (!close) return makeToken(TOKEN_ERROR);
            r.at = (const uint8_t*)close + 1;
        } else if (c == '{' || c == '}') {
            ++r.at;
            return makeToken(c == '{' ? TOKEN_OPEN : TOKEN_CLOSE);
        } else if (c == '"') {
            const void* close = memchr(r.at + 1, '"', bytesLeft(r) - 1);
            if (!close) return makeToken(TOKEN_ERROR);
            Token token = makeToken(TOKEN_STRING);
            token.text = (const char*)r.at + 1;
            token.length = (size_t)((const uint8_t*)close - r.at - 1);
            r.at = (const uint8_t*)close + 1;
            return token;
        } else {
            const uint8_t* start = r.at;
            while (r.at < r.end && !isDelimiter(*r.at)) ++r.at;
            if (r.at == start) return makeToken(TOKEN_ERROR);   // a lone '/' or '>'
            size_t length = (size_t)(r.at - start);
            bool numeric = (c >= '0' && c <= '9') ||
                           ((c == '-' || c == '+' || c == '.') && length > 1 && start[1] >= '0' && start[1] <= '9') ||
                           ((c == '-' || c == '+') && length > 2 && start[1] == '.');
            if (!numeric) {
                Token token = makeToken(TOKEN_NAME);
                token.text = (const char*)start;
                token.length = length;
                return token;
            }
            char buffer[64];
            if (length >= sizeof buffer) return makeToken(TOKEN_ERROR);
            memcpy(buffer, start, length);
            buffer[length] = 0;
            char* stop = nullptr;
            Token token = makeToken(TOKEN_NUMBER);
            token.number = strtod(buffer, &stop);
            if (stop != buffer + length) return makeToken(TOKEN_ERROR);
            return token;
        }
    }
    return makeToken(TOKEN_END);
}

Token next(Reader& r) {
    Token token = r.binary ? binaryToken(r) : textToken(r);
    if (token.kind == TOKEN_ERROR) fail(r, "malformed data at byte %zu", (size_t)(r.end - r.at));
    return token;
}

bool nameIs(const Token& token, const char* name) {
    return token.kind == TOKEN_NAME && token.length == strlen(name) && memcmp(token.text, name, token.length) == 0;
}

void copyText(const Token& token, char* out, size_t size) {
    size_t length = token.length < size - 1 ? token.length : size - 1;
    if (length) memcpy(out, token.text, length);
    out[length] = 0;
}

bool readNumber(Reader& r, double* out) {
    Token token = next(r);
    if (token.kind != TOKEN_NUMBER) {
        fail(r, "a number was expected");
        return false;
    }
    *out = token.number;
    return true;
}

bool readFloats(Reader& r, float* out, int32_t count) {
    for (int32_t i = 0; i < count; ++i) {
        double value = 0;
        if (!readNumber(r, &value)) return false;
        out[i] = (float)value;
    }
    return true;
}

// A count: whole, not negative, and no more than the bytes left could hold
// (every element takes at least one byte), so garbage never allocates much.
bool readCount(Reader& r, int32_t* out) {
    double value = 0;
    if (!readNumber(r, &value)) return false;
    double limit = (double)bytesLeft(r) + r.listLeft;
    if (limit > XFILE_COUNT_MAX) limit = XFILE_COUNT_MAX;
    if (!(value >= 0 && value <= limit) || value != (double)(int64_t)value) {
        fail(r, "bad count %g", value);
        return false;
    }
    *out = (int32_t)value;
    return true;
}

bool readIndex(Reader& r, int32_t limit, int32_t* out) {
    double value = 0;
    if (!readNumber(r, &value)) return false;
    if (!(value >= 0 && value < (double)limit) || value != (double)(int64_t)value) {
        fail(r, "index %g out of range", value);
        return false;
    }
    *out = (int32_t)value;
    return true;
}

// Skips the rest of an object whose '{' has been read.
bool skipObject(Reader& r) {
    for (int32_t depth = 1; depth > 0;) {
        Token token = next(r);
        if (token.kind == TOKEN_END || token.kind == TOKEN_ERROR) {
            fail(r, "an object is not closed");
            return false;
        }
        if (token.kind == TOKEN_OPEN) ++depth;
        if (token.kind == TOKEN_CLOSE) --depth;
    }
    return true;
}

// The object's optional name, then its '{'.
bool openObject(Reader& r, char* name) {
    Token token = next(r);
    if (name) name[0] = 0;
    if (token.kind == TOKEN_NAME) {
        if (name) copyText(token, name, XFILE_NAME_SIZE);
        token = next(r);
    }
    if (token.kind != TOKEN_OPEN) {
        fail(r, "'{' was expected");
        return false;
    }
    return true;
}

// Top-level materials, found again by name from mesh material lists.
struct Context {
    std::vector<XFileMaterial> namedMaterials;
};

bool readObject(Reader& r, Context& context, const Token& type, int32_t frame, XFileMesh* mesh, int32_t depth);

// The children of an object up to its '}': nested objects and references.
// A reference ("{ name }") to a material goes into the mesh's list.
bool readChildren(Reader& r, Context& context, int32_t frame, XFileMesh* mesh, int32_t depth) {
    for (;;) {
        Token token = next(r);
        switch (token.kind) {
        case TOKEN_CLOSE: return true;
        case TOKEN_NAME:
            if (!readObject(r, context, token, frame, mesh, depth + 1)) return false;
            break;
        case TOKEN_OPEN: {
            Token name = next(r);
            if (name.kind == TOKEN_NAME && mesh) {
                const XFileMaterial* found = nullptr;
                for (const XFileMaterial& material : context.namedMaterials)
                    if (strlen(material.name) == name.length && memcmp(material.name, name.text, name.length) == 0)
                        found = &material;
                if (found) mesh->materials.push_back(*found);
            }
            if (name.kind == TOKEN_CLOSE) break;
            if (!skipObject(r)) return false;
            break;
        }
        case TOKEN_NUMBER:
        case TOKEN_STRING: break;   // data beyond what we read
        default: fail(r, "an object is not closed"); return false;
        }
    }
}

bool readMaterial(Reader& r, XFileMaterial* material, int32_t depth) {
    *material = XFileMaterial{};
    if (!openObject(r, material->name)) return false;
    if (!readFloats(r, material->diffuse, 4) || !readFloats(r, &material->power, 1) ||
        !readFloats(r, material->specular, 3) || !readFloats(r, material->emissive, 3))
        return false;
    for (;;) {
        Token token = next(r);
        if (token.kind == TOKEN_CLOSE) return true;
        if (nameIs(token, "TextureFilename") || nameIs(token, "TextureFileName")) {
            if (!openObject(r, nullptr)) return false;
            Token file = next(r);
            if (file.kind != TOKEN_STRING) {
                fail(r, "a texture file name was expected");
                return false;
            }
            copyText(file, material->texture, sizeof material->texture);
            if (!skipObject(r)) return false;
        } else if (token.kind == TOKEN_NAME) {
            if (depth >= XFILE_DEPTH_MAX) {
                fail(r, "objects nested too deeply");
                return false;
            }
            if (!openObject(r, nullptr) || !skipObject(r)) return false;
        } else if (token.kind == TOKEN_OPEN) {
            if (!skipObject(r)) return false;
        } else if (token.kind != TOKEN_NUMBER && token.kind != TOKEN_STRING) {
            fail(r, "a material is not closed");
            return false;
        }
    }
}

bool readMesh(Reader& r, Context& context, int32_t frame, int32_t depth) {
    XFileScene& scene = *r.scene;
    scene.meshes.emplace_back();
    XFileMesh& mesh = scene.meshes.back();
    mesh.frame = frame;
    mesh.faceCount = 0;
    if (!openObject(r, mesh.name)) return false;
    int32_t vertexCount = 0;
    if (!readCount(r, &vertexCount)) return false;
    mesh.positions.resize((size_t)vertexCount * 3);
    if (!readFloats(r, mesh.positions.data(), vertexCount * 3)) return false;
    if (!readCount(r, &mesh.faceCount)) return false;
    for (int32_t face = 0; face < mesh.faceCount; ++face) {
        int32_t corners = 0;
        if (!readCount(r, &corners)) return false;
        int32_t first = 0;
        int32_t previous = 0;
        for (int32_t corner = 0; corner < corners; ++corner) {
            int32_t index = 0;
            if (!readIndex(r, vertexCount, &index)) return false;
            if (corner == 0) first = index;
            if (corner >= 2) {
                mesh.triangles.insert(mesh.triangles.end(), {first, previous, index});
                mesh.triangleFaces.push_back(face);
            }
            previous = index;
        }
    }
    mesh.triangleMaterials.assign(mesh.triangleFaces.size(), 0);
    return readChildren(r, context, frame, &mesh, depth);
}

// Normal indices follow the mesh's polygons corner for corner.
bool readNormals(Reader& r, XFileMesh* mesh) {
    if (!openObject(r, nullptr)) return false;
    int32_t count = 0;
    if (!readCount(r, &count)) return false;
    mesh->normals.resize((size_t)count * 3);
    if (!readFloats(r, mesh->normals.data(), count * 3)) return false;
    int32_t faces = 0;
    if (!readCount(r, &faces)) return false;
    if (faces != mesh->faceCount) {
        fail(r, "%d normal faces for %d faces", faces, mesh->faceCount);
        return false;
    }
    size_t triangle = 0;
    for (int32_t face = 0; face < faces; ++face) {
        int32_t corners = 0;
        if (!readCount(r, &corners)) return false;
        int32_t first = 0;
        int32_t previous = 0;
        for (int32_t corner = 0; corner < corners; ++corner) {
            int32_t index = 0;
            if (!readIndex(r, count, &index)) return false;
            if (corner == 0) first = index;
            if (corner >= 2) {
                if (triangle >= mesh->triangleFaces.size() || mesh->triangleFaces[triangle] != face) {
                    fail(r, "normal faces do not match the faces");
                    return false;
                }
                mesh->triangleNormals.insert(mesh->triangleNormals.end(), {first, previous, index});
                ++triangle;
            }
            previous = index;
        }
    }
    if (triangle != mesh->triangleFaces.size()) {
        fail(r, "normal faces do not match the faces");
        return false;
    }
    return skipObject(r);
}

int32_t meshVertexCount(const XFileMesh& mesh) { return (int32_t)(mesh.positions.size() / 3); }

bool readTexCoords(Reader& r, XFileMesh* mesh) {
    if (!openObject(r, nullptr)) return false;
    int32_t count = 0;
    if (!readCount(r, &count)) return false;
    std::vector<float> coords((size_t)count * 2);
    if (!readFloats(r, coords.data(), count * 2)) return false;
    // Vertices the list does not reach keep (0, 0).
    coords.resize((size_t)meshVertexCount(*mesh) * 2, 0.0f);
    mesh->texCoords = std::move(coords);
    return skipObject(r);
}

uint32_t channelByte(float value) {
    float clamped = !(value > 0.0f) ? 0.0f : (value > 1.0f ? 1.0f : value);
    return (uint32_t)(clamped * 255.0f + 0.5f);
}

bool readVertexColors(Reader& r, XFileMesh* mesh) {
    if (!openObject(r, nullptr)) return false;
    int32_t count = 0;
    if (!readCount(r, &count)) return false;
    mesh->colors.assign((size_t)meshVertexCount(*mesh), 0xFFFFFFFFu);
    for (int32_t i = 0; i < count; ++i) {
        int32_t index = 0;
        float rgba[4];
        if (!readIndex(r, meshVertexCount(*mesh), &index) || !readFloats(r, rgba, 4)) return false;
        mesh->colors[(size_t)index] = channelByte(rgba[3]) << 24 | channelByte(rgba[0]) << 16 |
                                      channelByte(rgba[1]) << 8 | channelByte(rgba[2]);
    }
    return skipObject(r);
}

// A list shorter than the faces gives its last index to the rest.
bool readMaterialList(Reader& r, Context& context, XFileMesh* mesh, int32_t depth) {
    if (!openObject(r, nullptr)) return false;
    int32_t materialCount = 0;
    int32_t indexCount = 0;
    if (!readCount(r, &materialCount) || !readCount(r, &indexCount)) return false;
    std::vector<int32_t> faceMaterials((size_t)mesh->faceCount, 0);
    int32_t last = 0;
    for (int32_t i = 0; i < indexCount; ++i) {
        if (!readIndex(r, materialCount, &last)) return false;
        if (i < mesh->faceCount) faceMaterials[(size_t)i] = last;
    }
    for (int32_t i = indexCount; i < mesh->faceCount; ++i) faceMaterials[(size_t)i] = last;
    mesh->materials.clear();
    if (!readChildren(r, context, mesh->frame, mesh, depth)) return false;
    if ((int32_t)mesh->materials.size() < materialCount) {
        fail(r, "%d materials listed, %d given", materialCount, (int32_t)mesh->materials.size());
        return false;
    }
    mesh->materials.resize((size_t)materialCount);
    for (size_t t = 0; t < mesh->triangleFaces.size(); ++t)
        mesh->triangleMaterials[t] = faceMaterials[(size_t)mesh->triangleFaces[t]];
    return true;
}

bool readFrame(Reader& r, Context& context, int32_t parent, int32_t depth) {
    XFileScene& scene = *r.scene;
    XFileFrame frame = {};
    frame.parent = parent;
    frame.kind = XFILE_NODE_FRAME;
    frame.animation = -1;
    for (int i = 0; i < 16; ++i) frame.matrix[i] = i % 5 == 0 ? 1.0f : 0.0f;
    if (!openObject(r, frame.name)) return false;
    scene.frames.push_back(frame);
    return readChildren(r, context, (int32_t)scene.frames.size() - 1, nullptr, depth);
}

// Appends a node of an animation kind; its '{' has been read.
int32_t addAnimationNode(Reader& r, const char* name, int32_t parent, XFileNodeKind kind) {
    XFileFrame node = {};
    memcpy(node.name, name, sizeof node.name);
    node.parent = parent;
    node.kind = kind;
    node.animation = -1;
    for (int i = 0; i < 16; ++i) node.matrix[i] = i % 5 == 0 ? 1.0f : 0.0f;
    if (kind == XFILE_NODE_ANIMATION) {
        node.animation = (int32_t)r.scene->animations.size();
        r.scene->animations.emplace_back();
    }
    r.scene->frames.push_back(node);
    return (int32_t)r.scene->frames.size() - 1;
}

// Reads "{ name }" after its '{'; other contents are refused.
bool readReference(Reader& r, char* name) {
    Token token = next(r);
    name[0] = 0;
    if (token.kind == TOKEN_NAME) {
        copyText(token, name, XFILE_NAME_SIZE);
        token = next(r);
    }
    if (token.kind != TOKEN_CLOSE) {
        fail(r, "a reference is not closed");
        return false;
    }
    return true;
}

bool readKeys(Reader& r, XFileAnimation* animation) {
    if (!openObject(r, nullptr)) return false;
    XFileKeyList list;
    double type = 0;
    int32_t count = 0;
    if (!readNumber(r, &type) || !readCount(r, &count)) return false;
    if (!(type >= 0 && type <= 0xFFFFFFFFu) || type != (double)(int64_t)type) {
        fail(r, "bad key type %g", type);
        return false;
    }
    list.keyType = (uint32_t)type;
    list.valuesPerKey = 0;
    for (int32_t k = 0; k < count; ++k) {
        double time = 0;
        int32_t values = 0;
        if (!readNumber(r, &time) || !readCount(r, &values)) return false;
        if (!(time >= 0 && time <= 0xFFFFFFFFu) || time != (double)(int64_t)time) {
            fail(r, "bad key time %g", time);
            return false;
        }
        if (k == 0) list.valuesPerKey = values;
        if (values != list.valuesPerKey || values > 16) {
            fail(r, "keys of %d and %d values", list.valuesPerKey, values);
            return false;
        }
        list.times.push_back((uint32_t)time);
        size_t at = list.values.size();
        list.values.resize(at + (size_t)values);
        if (!readFloats(r, list.values.data() + at, values)) return false;
    }
    animation->keys.push_back(std::move(list));
    return skipObject(r);
}

bool readAnimation(Reader& r, Context& context, int32_t parent, int32_t depth) {
    char name[XFILE_NAME_SIZE];
    if (!openObject(r, name)) return false;
    int32_t node = addAnimationNode(r, name, parent, XFILE_NODE_ANIMATION);
    int32_t index = r.scene->frames[(size_t)node].animation;
    for (;;) {
        Token token = next(r);
        if (token.kind == TOKEN_CLOSE) return true;
        if (token.kind == TOKEN_OPEN) {
            XFileReference reference = {};
            if (!readReference(r, reference.name)) return false;
            r.scene->animations[(size_t)index].references.push_back(reference);
        } else if (nameIs(token, "AnimationKey")) {
            if (!readKeys(r, &r.scene->animations[(size_t)index])) return false;
        } else if (nameIs(token, "Frame")) {
            if (depth + 1 >= XFILE_DEPTH_MAX) {
                fail(r, "objects nested too deeply");
                return false;
            }
            if (!readFrame(r, context, node, depth + 1)) return false;
        } else if (token.kind == TOKEN_NAME) {
            if (!openObject(r, nullptr) || !skipObject(r)) return false;
        } else if (token.kind != TOKEN_NUMBER && token.kind != TOKEN_STRING) {
            fail(r, "an animation is not closed");
            return false;
        }
    }
}

// Only the set's animations are kept.
bool readAnimationSet(Reader& r, Context& context, int32_t parent, int32_t depth) {
    char name[XFILE_NAME_SIZE];
    if (!openObject(r, name)) return false;
    int32_t node = addAnimationNode(r, name, parent, XFILE_NODE_ANIMATION_SET);
    for (;;) {
        Token token = next(r);
        if (token.kind == TOKEN_CLOSE) return true;
        if (nameIs(token, "Animation")) {
            if (depth + 1 >= XFILE_DEPTH_MAX) {
                fail(r, "objects nested too deeply");
                return false;
            }
            if (!readAnimation(r, context, node, depth + 1)) return false;
        } else if (token.kind == TOKEN_NAME) {
            if (!openObject(r, nullptr) || !skipObject(r)) return false;
        } else if (token.kind == TOKEN_OPEN) {
            if (!skipObject(r)) return false;
        } else if (token.kind != TOKEN_NUMBER && token.kind != TOKEN_STRING) {
            fail(r, "an animation set is not closed");
            return false;
        }
    }
}

bool readSkinWeights(Reader& r, XFileMesh* mesh) {
    if (!openObject(r, nullptr)) return false;
    XFileSkinWeights skin;
    Token bone = next(r);
    if (bone.kind != TOKEN_STRING) {
        fail(r, "a bone name was expected");
        return false;
    }
    copyText(bone, skin.bone, sizeof skin.bone);
    int32_t count = 0;
    if (!readCount(r, &count)) return false;
    skin.vertices.resize((size_t)count);
    skin.weights.resize((size_t)count);
    for (int32_t i = 0; i < count; ++i)
        if (!readIndex(r, meshVertexCount(*mesh), &skin.vertices[(size_t)i])) return false;
    if (!readFloats(r, skin.weights.data(), count) || !readFloats(r, skin.offset, 16)) return false;
    mesh->skin.push_back(std::move(skin));
    return skipObject(r);
}

bool nameMatches(const char* name, const char* other) { return name[0] && strcmp(name, other) == 0; }

// Marks the references that name no frame but another object of the file.
void classifyReferences(XFileScene& scene, const Context& context) {
    for (XFileAnimation& animation : scene.animations)
        for (XFileReference& reference : animation.references) {
            bool frame = false;
            bool other = false;
            for (const XFileFrame& node : scene.frames) {
                if (!nameMatches(node.name, reference.name)) continue;
                (node.kind == XFILE_NODE_FRAME ? frame : other) = true;
            }
            for (const XFileMesh& mesh : scene.meshes) other = other || nameMatches(mesh.name, reference.name);
            for (const XFileMaterial& material : context.namedMaterials)
                other = other || nameMatches(material.name, reference.name);
            reference.other = other && !frame;
        }
}

bool readObject(Reader& r, Context& context, const Token& type, int32_t frame, XFileMesh* mesh, int32_t depth) {
    if (depth >= XFILE_DEPTH_MAX) {
        fail(r, "objects nested too deeply");
        return false;
    }
    if (nameIs(type, "template")) {
        return openObject(r, nullptr) && skipObject(r);
    }
    if (nameIs(type, "Frame") && !mesh) return readFrame(r, context, frame, depth);
    if (nameIs(type, "FrameTransformMatrix") && frame >= 0 && !mesh) {
        float matrix[16];
        if (!openObject(r, nullptr) || !readFloats(r, matrix, 16)) return false;
        memcpy(r.scene->frames[(size_t)frame].matrix, matrix, sizeof matrix);
        return skipObject(r);
    }
    if (nameIs(type, "Mesh") && !mesh) return readMesh(r, context, frame, depth);
    if (nameIs(type, "AnimationSet") && !mesh) return readAnimationSet(r, context, frame, depth);
    if (nameIs(type, "Animation") && !mesh) return readAnimation(r, context, frame, depth);
    if (mesh) {
        if (nameIs(type, "SkinWeights")) return readSkinWeights(r, mesh);
        if (nameIs(type, "MeshNormals")) return readNormals(r, mesh);
        if (nameIs(type, "MeshTextureCoords")) return readTexCoords(r, mesh);
        if (nameIs(type, "MeshVertexColors")) return readVertexColors(r, mesh);
        if (nameIs(type, "MeshMaterialList")) return readMaterialList(r, context, mesh, depth);
        if (nameIs(type, "Material")) {
            XFileMaterial material;
            if (!readMaterial(r, &material, depth)) return false;
            mesh->materials.push_back(material);
            return true;
        }
    }
    if (nameIs(type, "Material") && !mesh) {
        XFileMaterial material;
        if (!readMaterial(r, &material, depth)) return false;
        context.namedMaterials.push_back(material);
        return true;
    }
    return openObject(r, nullptr) && skipObject(r);
}

}  // namespace

bool xfileRead(const uint8_t* bytes, size_t size, XFileScene* scene) {
    scene->frames.clear();
    scene->meshes.clear();
    scene->animations.clear();
    scene->error[0] = 0;
    Reader r = {};
    r.scene = scene;
    if (!bytes || size < 16 || memcmp(bytes, "xof ", 4) != 0) {
        snprintf(scene->error, sizeof scene->error, "not a .x file");
        return false;
    }
    if (memcmp(bytes + 8, "txt ", 4) == 0) {
        r.binary = false;
    } else if (memcmp(bytes + 8, "bin ", 4) == 0) {
        r.binary = true;
    } else {
        snprintf(scene->error, sizeof scene->error, "unsupported .x encoding \"%.4s\"", (const char*)bytes + 8);
        return false;
    }
    if (memcmp(bytes + 12, "0064", 4) == 0) {
        r.doubles = true;
    } else if (memcmp(bytes + 12, "0032", 4) != 0) {
        snprintf(scene->error, sizeof scene->error, "unsupported float size \"%.4s\"", (const char*)bytes + 12);
        return false;
    }
    r.at = bytes + 16;
    r.end = bytes + size;
    Context context;
    try {
        for (;;) {
            Token token = next(r);
            if (token.kind == TOKEN_END || r.failed) break;
            if (token.kind != TOKEN_NAME) {
                fail(r, "an object was expected");
                break;
            }
            if (!readObject(r, context, token, -1, nullptr, 0)) break;
        }
        if (!r.failed) classifyReferences(*scene, context);
    } catch (const std::bad_alloc&) {
        fail(r, "out of memory");
    }
    if (r.failed) {
        scene->frames.clear();
        scene->meshes.clear();
        scene->animations.clear();
        return false;
    }
    return true;
}

void xfileFrameToRoot(const XFileScene& scene, int32_t frame, float out[16]) {
    for (int i = 0; i < 16; ++i) out[i] = i % 5 == 0 ? 1.0f : 0.0f;
    // Row vectors: the child's matrix first, then each parent's.
    for (int32_t at = frame; at >= 0 && at < (int32_t)scene.frames.size(); at = scene.frames[(size_t)at].parent) {
        const float* m = scene.frames[(size_t)at].matrix;
        float product[16];
        for (int row = 0; row < 4; ++row)
            for (int column = 0; column < 4; ++column) {
                float sum = 0.0f;
                for (int k = 0; k < 4; ++k) sum += out[row * 4 + k] * m[k * 4 + column];
                product[row * 4 + column] = sum;
            }
        memcpy(out, product, sizeof product);
    }
}
