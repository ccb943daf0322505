// platform/gfx_gl_skin.cpp: skinned indexed draws through small GLSL vertex
// programs, one per bones-per-vertex count and lighting. Only the vertex
// stage is programmed: the fragment stage stays fixed function, so texture
// stages, alpha test and blending apply to skinned draws as to any other.
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "platform/gfx_gl_device.h"
#include "platform/log.h"

namespace {

// Generic attribute slots of the weights and the index bytes, clear of the
// slots some drivers alias with the fixed-function arrays.
constexpr GLuint WEIGHTS_ATTRIBUTE = 6;
constexpr GLuint INDICES_ATTRIBUTE = 7;

// BONES and LIT are defined in front. The index bytes arrive as 0..1 and
// register 0's w turns byte i into 3i (and a hair, so truncation is safe).
// The output position takes the device's clip-space fixup: y negated (rows
// run down) and depth 0..1 mapped onto GL's -1..1.
const char SKIN_PROGRAM[] = R"(
uniform vec4 c[93];
uniform vec2 fogRange;   // the fog's start and end
attribute vec3 weightsIn;
attribute vec4 indicesIn;
void main() {
    vec4 position = vec4(gl_Vertex.xyz, 1.0);
    vec4 normal = vec4(gl_Normal, 0.0);
    float weights[4];
    weights[0] = weightsIn.x;
    weights[1] = weightsIn.y;
    weights[2] = weightsIn.z;
    float sum = 0.0;
    for (int k = 0; k < BONES - 1; ++k) sum += weights[k];
    weights[BONES - 1] = 1.0 - sum;
    vec4 offsets = indicesIn * c[0].w;
    vec3 p = vec3(0.0);
    vec3 n = vec3(0.0);
    for (int k = 0; k < BONES; ++k) {
        int at = 9 + int(offsets[k]);
        p += weights[k] * vec3(dot(position, c[at]), dot(position, c[at + 1]), dot(position, c[at + 2]));
        n += weights[k] * vec3(dot(normal, c[at]), dot(normal, c[at + 1]), dot(normal, c[at + 2]));
    }
    vec4 view = vec4(p, 1.0);
    vec4 clip = vec4(dot(view, c[2]), dot(view, c[3]), dot(view, c[4]), dot(view, c[5]));
    gl_Position = vec4(clip.x, -clip.y, 2.0 * clip.z - clip.w, clip.w);
    n = normalize(n);
    vec4 light = min(c[7] + c[8] * max(0.0, dot(n, c[1].xyz)), vec4(1.0));
    gl_FrontColor = LIT != 0 ? gl_Color * light : gl_Color;
    gl_BackColor = gl_FrontColor;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    // The factor per vertex, handed on as 1 - factor (see gfx_gl_fixed.cpp).
    float depth = -p.z;
    float fog = fogRange.x == fogRange.y ? (depth < fogRange.y ? 1.0 : 0.0)
                                         : clamp((fogRange.y - depth) / (fogRange.y - fogRange.x), 0.0, 1.0);
    gl_FogFragCoord = 1.0 - fog;
}
)";

GLuint buildProgram(int32_t bones, int32_t lit) {
    char header[96];
    snprintf(header, sizeof header, "#version 120\n#define BONES %d\n#define LIT %d\n", (int)bones, (int)lit);
    const char* sources[2] = {header, SKIN_PROGRAM};
    GLuint shader = glCreateShader(GL_VERTEX_SHADER);
    glShaderSource(shader, 2, sources, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    char log[512] = "";
    if (!ok) {
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        logLine("skinning program %d/%d does not compile: %s", (int)bones, (int)lit, log);
        glDeleteShader(shader);
        return 0;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, shader);
    glBindAttribLocation(program, WEIGHTS_ATTRIBUTE, "weightsIn");
    glBindAttribLocation(program, INDICES_ATTRIBUTE, "indicesIn");
    glLinkProgram(program);
    glDeleteShader(shader);   // kept alive by the program
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        logLine("skinning program %d/%d does not link: %s", (int)bones, (int)lit, log);
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

}  // namespace

void GlDevice::setSkinProgram(int32_t bonesPerVertex, int32_t lit) {
    bool valid = bonesPerVertex >= 1 && bonesPerVertex <= 4 && (lit == 0 || lit == 1);
    skin.bones = valid ? bonesPerVertex : 0;
    skin.lit = valid ? lit : 0;
}

void GlDevice::setSkinConstants(int32_t first, const float* values, int32_t count) {
    if (!values) return;
    for (int32_t i = 0; i < count; ++i) {
        int32_t reg = first + i;
        if (reg < 0 || reg >= GFX_SKIN_CONSTANT_MAX) continue;
        memcpy(skin.constants[reg], values + (size_t)i * 4, sizeof skin.constants[reg]);
    }
}

bool GlDevice::beginSkinnedDraw(uintptr_t at, int32_t stride) {
    if (!skin.built) {
        skin.built = true;
        for (int32_t bones = 1; bones <= 4; ++bones)
            for (int32_t lit = 0; lit < 2; ++lit) {
                GLuint program = buildProgram(bones, lit);
                skin.programs[bones - 1][lit] = program;
                skin.constantsAt[bones - 1][lit] = program ? glGetUniformLocation(program, "c") : -1;
                skin.fogRangeAt[bones - 1][lit] = program ? glGetUniformLocation(program, "fogRange") : -1;
            }
    }
    GLuint program = skin.programs[skin.bones - 1][skin.lit];
    if (!program) return false;
    glUseProgram(program);
    glUniform4fv(skin.constantsAt[skin.bones - 1][skin.lit], GFX_SKIN_CONSTANT_MAX, &skin.constants[0][0]);
    float start = 0.0f;
    float end = 0.0f;
    memcpy(&start, &renderStates[GFX_RS_FOGSTART], sizeof start);
    memcpy(&end, &renderStates[GFX_RS_FOGEND], sizeof end);
    glUniform2f(skin.fogRangeAt[skin.bones - 1][skin.lit], start, end);
    glVertexPointer(3, GL_FLOAT, stride, reinterpret_cast<const void*>(at + offsetof(GfxSkinVertex, x)));
    glEnableVertexAttribArray(WEIGHTS_ATTRIBUTE);
    glVertexAttribPointer(WEIGHTS_ATTRIBUTE, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(at + offsetof(GfxSkinVertex, weights)));
    glEnableVertexAttribArray(INDICES_ATTRIBUTE);
    glVertexAttribPointer(INDICES_ATTRIBUTE, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<const void*>(at + offsetof(GfxSkinVertex, indices)));
    glEnableClientState(GL_NORMAL_ARRAY);
    glNormalPointer(GL_FLOAT, stride, reinterpret_cast<const void*>(at + offsetof(GfxSkinVertex, nx)));
    glEnableClientState(GL_COLOR_ARRAY);
    glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, stride, reinterpret_cast<const void*>(at + offsetof(GfxSkinVertex, diffuse)));
    glClientActiveTexture(GL_TEXTURE0);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glTexCoordPointer(2, GL_FLOAT, stride, reinterpret_cast<const void*>(at + offsetof(GfxSkinVertex, u)));
    return true;
}

void GlDevice::endSkinnedDraw() {
    glDisableVertexAttribArray(WEIGHTS_ATTRIBUTE);
    glDisableVertexAttribArray(INDICES_ATTRIBUTE);
    glUseProgram(0);
}

void GlDevice::shutdownSkinning() {
    for (auto& byBones : skin.programs)
        for (GLuint& program : byBones) {
            if (program) glDeleteProgram(program);
            program = 0;
        }
    skin.built = false;
}
