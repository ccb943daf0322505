#include "field/collision_mesh.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "engine/archive.h"
#include "engine/loose_files.h"
#include "engine/math.h"
#include "field/map_collision.h"
#include "platform/log.h"
#include "platform/window.h"

const SurfaceKeyword SURFACE_TYPES[19] = {
    {"mizu", SURFACE_WATER},         {"gake", SURFACE_CLIFF},      {"toumei", SURFACE_INVISIBLE_WALL},
    {"kabe", SURFACE_INVISIBLE_WALL}, {"yuki_", SURFACE_SNOW},      {"dame", SURFACE_DAMAGE},
    {"Plane", SURFACE_DAMAGE},       {"hit", SURFACE_HIT},         {"hikari", SURFACE_NONE},
    {"nohit", SURFACE_NONE},         {"crystal", SURFACE_CRYSTAL}, {"taimatu", SURFACE_TORCH},
    {"takara", SURFACE_TREASURE},    {"taru", SURFACE_BARREL},     {"shokudai", SURFACE_CANDLESTAND},
    {"tree01", SURFACE_TREE1},       {"tree02", SURFACE_TREE2},    {"kusa01", SURFACE_GRASS1},
    {"kusa02", SURFACE_GRASS2},
};

float gCollisionVertices[COLLISION_STAGE_MAX][3];
CollisionFace gCollisionFaces[COLLISION_STAGE_MAX];

int32_t surfaceCodeOf(const char* name) {
    for (const SurfaceKeyword& entry : SURFACE_TYPES)
        if (strncmp(name, entry.keyword, strlen(entry.keyword)) == 0) return entry.code;
    return SURFACE_SOLID;
}

namespace {

const char OVERFLOW_FORMAT[] = "collision over %d: %s";
const char DAMAGED_FORMAT[] = "collision damaged: %s";

enum ReaderState : int32_t {
    SEEK_TOP_FRAME = 1,
    TOP_MATRIX,
    SEEK_FRAME,
    FRAME_MATRIX,
    AFTER_MATRIX,
    VERTEX_COUNT,
    VERTICES,
    FACE_COUNT,
    FACES,
    SKIP_LIST_LINE,
    MATERIAL_LIST,
    MATERIAL_NAMES,
};

struct CollisionReader {
    ReaderState state;
    int32_t skipLines;      // lines (not blank) to pass over before the state sees one
    Matrix4 top;
    Matrix4 running;
    Matrix4 frame;
    int32_t matrixRow;
    int32_t vertexCount;    // of this mesh, as the file says
    int32_t verticesSeen;
    int32_t vertexBase;     // vertices of the file's earlier meshes
    int32_t stored;         // vertices staged
    int32_t faceCount;
    int32_t facesSeen;
    int32_t firstFace;      // this mesh's first staged face
    int32_t faces;          // faces staged
    int32_t listNumbers;    // numbers read from the material list
    int32_t listEntries;
    int32_t highestMaterial;
    int32_t namesSeen;
    int32_t codes[COLLISION_MATERIAL_MAX];
    bool overflow;          // vertices or faces beyond the tables were left out
    bool damaged;           // faces naming vertices that are not there
    bool faceBad[COLLISION_STAGE_MAX];
};

bool startsWith(const char* line, const char* word) { return strncmp(line, word, strlen(word)) == 0; }

// Up to count numbers separated by anything that cannot start a number;
// returns how many were read.
int32_t readNumbers(const char* line, float* out, int32_t count) {
    int32_t read = 0;
    const char* at = line;
    while (read < count && *at) {
        char* end = nullptr;
        float value = strtof(at, &end);
        if (end == at) {
            ++at;
            continue;
        }
        out[read++] = value;
        at = end;
    }
    return read;
}

// The integer at the line's start (after blanks), 0 when there is none.
int32_t leadingInt(const char* line) {
    long value = strtol(line, nullptr, 10);
    if (value > COLLISION_STAGE_MAX * 16L) return COLLISION_STAGE_MAX * 16;
    return value < -1 ? -1 : (int32_t)value;
}

void readMatrixRow(CollisionReader& r, const char* line, Matrix4& into) {
    float row[4] = {0, 0, 0, 0};
    readNumbers(line, row, 4);
    memcpy(&into.m[r.matrixRow * 4], row, sizeof row);
    ++r.matrixRow;
}

// After the reference of the highest material: every face of the mesh gets
// its material's code.
void finishMesh(CollisionReader& r) {
    for (int32_t f = r.firstFace; f < r.faces; ++f) {
        int32_t material = gCollisionFaces[f].surface;
        int32_t code = material >= 0 && material < COLLISION_MATERIAL_MAX ? r.codes[material] : SURFACE_SOLID;
        gCollisionFaces[f].surface = r.faceBad[f] ? SURFACE_NONE : code;
    }
    r.state = SEEK_FRAME;
}

void handleLine(CollisionReader& r, const char* line) {
    if (r.skipLines > 0) {
        --r.skipLines;
        return;
    }
    switch (r.state) {
    case SEEK_TOP_FRAME:
        if (startsWith(line, "Frame ")) {
            r.state = TOP_MATRIX;
            r.skipLines = 1;
            r.matrixRow = 0;
        }
        break;
    case TOP_MATRIX:
        readMatrixRow(r, line, r.top);
        if (r.matrixRow == 4) r.state = SEEK_FRAME;
        break;
    case SEEK_FRAME:
        if (startsWith(line, "Frame ")) {
            r.running = matrixIdentity();
            r.state = FRAME_MATRIX;
            r.skipLines = 1;
            r.matrixRow = 0;
        }
        break;
    case FRAME_MATRIX:
        readMatrixRow(r, line, r.frame);
        if (r.matrixRow == 4) {
            r.running = matrixMultiply(r.frame, r.running);
            r.state = AFTER_MATRIX;
        }
        break;
    case AFTER_MATRIX:
        if (startsWith(line, "Mesh ")) {
            r.state = VERTEX_COUNT;
        } else if (startsWith(line, "Frame ")) {
            r.state = FRAME_MATRIX;
            r.skipLines = 1;
            r.matrixRow = 0;
        }
        break;
    case VERTEX_COUNT:
        r.vertexCount = leadingInt(line);
        if (r.vertexCount < 0) r.vertexCount = 0;
        r.verticesSeen = 0;
        r.running = matrixMultiply(r.running, r.top);
        r.state = r.vertexCount > 0 ? VERTICES : FACE_COUNT;
        break;
    case VERTICES: {
        float v[3] = {0, 0, 0};
        readNumbers(line, v, 3);
        if (r.stored < COLLISION_STAGE_MAX) {
            const float* m = r.running.m;
            for (int k = 0; k < 3; ++k)
                gCollisionVertices[r.stored][k] =
                    (v[0] * m[k] + v[1] * m[4 + k] + v[2] * m[8 + k] + m[12 + k]) * COLLISION_MODEL_SCALE;
            ++r.stored;
        } else {
            r.overflow = true;
        }
        if (++r.verticesSeen == r.vertexCount) r.state = FACE_COUNT;
        break;
    }
    case FACE_COUNT:
        r.faceCount = leadingInt(line);
        if (r.faceCount < 1) break;
        r.facesSeen = 0;
        r.firstFace = r.faces;
        r.state = FACES;
        break;
    case FACES: {
        const char* after = strchr(line, ';');
        int32_t index[3] = {-1, -1, -1};
        if (after) {
            const char* at = after + 1;
            for (int k = 0; k < 3; ++k) {
                char* end = nullptr;
                long value = strtol(at, &end, 10);
                if (end == at) break;
                index[k] = value >= 0 && value < COLLISION_STAGE_MAX * 16L ? (int32_t)value : -1;
                at = end;
                if (*at == ',') ++at;
            }
        }
        if (r.faces < COLLISION_STAGE_MAX) {
            CollisionFace& face = gCollisionFaces[r.faces];
            bool bad = false;
            for (int k = 0; k < 3; ++k) {
                int32_t at = index[k] < 0 ? -1 : index[k] + r.vertexBase;
                bad = bad || at < 0 || at >= r.stored;
                face.vertex[k] = at < 0 || at >= r.stored ? 0 : at;
            }
            face.surface = 0;
            r.faceBad[r.faces] = bad;
            r.damaged = r.damaged || bad;
            ++r.faces;
        } else {
            r.overflow = true;
        }
        if (++r.facesSeen == r.faceCount) {
            r.vertexBase += r.vertexCount;
            r.state = SKIP_LIST_LINE;
        }
        break;
    }
    case SKIP_LIST_LINE:
        r.listNumbers = 0;
        r.listEntries = 0;
        r.highestMaterial = 0;
        for (int32_t& code : r.codes) code = SURFACE_SOLID;
        r.state = MATERIAL_LIST;
        break;
    case MATERIAL_LIST: {
        const char* at = line;
        for (;;) {
            while (*at && !(*at >= '0' && *at <= '9') && *at != '-') ++at;
            if (!*at) break;
            char* end = nullptr;
            long value = strtol(at, &end, 10);
            if (end == at) {
                ++at;
                continue;
            }
            at = end;
            int32_t number = r.listNumbers++;
            if (number == 0) continue;   // the material count
            if (number == 1) {
                r.listEntries = value < 0 ? 0 : (value > COLLISION_STAGE_MAX * 16L ? COLLISION_STAGE_MAX * 16 : (int32_t)value);
                for (int32_t f = r.firstFace; f < r.faces; ++f) gCollisionFaces[f].surface = 0;
            } else {
                int32_t face = r.firstFace + number - 2;
                int32_t material = value < 0 ? 0 : (value > COLLISION_STAGE_MAX ? COLLISION_STAGE_MAX : (int32_t)value);
                if (face < r.faces && number - 2 < r.faceCount) gCollisionFaces[face].surface = material;
                if (material > r.highestMaterial) r.highestMaterial = material;
            }
            if (r.listNumbers >= 2 && r.listNumbers - 2 >= r.listEntries) {
                r.namesSeen = 0;
                r.state = MATERIAL_NAMES;
                break;
            }
        }
        break;
    }
    case MATERIAL_NAMES: {
        const char* brace = strchr(line, '{');
        if (!brace) break;
        if (r.namesSeen < COLLISION_MATERIAL_MAX) r.codes[r.namesSeen] = surfaceCodeOf(brace + 1);
        if (r.namesSeen++ >= r.highestMaterial) finishMesh(r);
        break;
    }
    }
}

}  // namespace

int32_t readCollisionText(const char* text, int32_t length, const char* path) {
    for (CollisionFace& face : gCollisionFaces) face.surface = 0;
    CollisionReader* reader = new (std::nothrow) CollisionReader{};
    if (!reader) return 0;
    CollisionReader& r = *reader;
    r.state = SEEK_TOP_FRAME;
    r.top = matrixIdentity();
    r.running = matrixIdentity();
    char line[512];
    int32_t at = 0;
    while (at < length) {
        // A line as a 512-byte read takes it: up to its '\n', at most 511 bytes.
        int32_t size = 0;
        while (at < length && size < (int32_t)sizeof line - 1) {
            char c = text[at++];
            line[size++] = c;
            if (c == '\n') break;
        }
        line[size] = 0;
        if (line[0] == '\r' || line[0] == '\n') continue;
        const char* start = line;
        while (*start == ' ' || *start == '\t') ++start;
        handleLine(r, start);
    }
    // A file that ends inside a mesh's material part still gives its faces
    // codes; faces naming missing vertices never collide.
    if (r.state == SKIP_LIST_LINE || r.state == MATERIAL_LIST || r.state == MATERIAL_NAMES) finishMesh(r);
    for (int32_t f = 0; f < r.faces; ++f)
        if (r.faceBad[f]) gCollisionFaces[f].surface = SURFACE_NONE;
    if (r.overflow || r.damaged) {
        char message[512];
        if (r.overflow)
            snprintf(message, sizeof message, OVERFLOW_FORMAT, COLLISION_STAGE_MAX, path);
        else
            snprintf(message, sizeof message, DAMAGED_FORMAT, path);
        logLine("%s", message);
        showMessageBox(message, "error", MESSAGE_BOX_OK);
    }
    int32_t faces = r.faces;
    delete reader;
    return faces;
}

int32_t loadCollisionMesh(const char* path, int32_t block) {
    for (CollisionFace& face : gCollisionFaces) face.surface = 0;
    FILE* file = openLooseFile(path);
    if (!file) return 0;
    int32_t size = getFileLength(file);
    char* text = new (std::nothrow) char[size > 0 ? (size_t)size : 1];
    if (text) size = (int32_t)fread(text, 1, size > 0 ? (size_t)size : 0, file);
    fclose(file);
    int32_t faces = text ? readCollisionText(text, size, path) : 0;
    if (!text) logLine("collision mesh %s: out of memory", path);
    delete[] text;
    buildBlockCollision(0, faces, block);
    return 1;
}

int32_t loadCollisionText(const char* text, int32_t length, const char* path, int32_t block) {
    int32_t faces = readCollisionText(text, length, path);
    buildBlockCollision(0, faces, block);
    return faces;
}
