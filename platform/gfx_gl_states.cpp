// platform/gfx_gl_states.cpp: the OpenGL device's state mapping: render
// states, texture-stage states through the combine environment, the stage
// filters and address modes as texture parameters, transforms, and the
// tables that map the device's enums to GL.
#include "platform/gfx_gl_device.h"

#include <cstring>

// How each operation runs in the combine environment: the function, the
// scale, and the argument (1 or 2; 0: CURRENT) each source takes. ADDSMOOTH,
// a + b - ab, is b (1 - a) + a, the third source complemented.
struct CombineRule {
    GLenum function;
    GLfloat scale;
    uint8_t sources[3];
    bool complementThird;
};
static const CombineRule COMBINE_RULES[] = {
    {GL_REPLACE, 1.0f, {0, 0, 0}, false},              // DISABLE (alpha: CURRENT kept)
    {GL_REPLACE, 1.0f, {1, 0, 0}, false},              // SELECTARG1
    {GL_REPLACE, 1.0f, {2, 0, 0}, false},              // SELECTARG2
    {GL_MODULATE, 1.0f, {1, 2, 0}, false},             // MODULATE
    {GL_MODULATE, 2.0f, {1, 2, 0}, false},             // MODULATE2X
    {GL_MODULATE, 4.0f, {1, 2, 0}, false},             // MODULATE4X
    {GL_ADD, 1.0f, {1, 2, 0}, false},                  // ADD
    {GL_ADD_SIGNED, 1.0f, {1, 2, 0}, false},           // ADDSIGNED
    {GL_MODULATE_ADD_ATI, 1.0f, {2, 1, 1}, true},      // ADDSMOOTH
    {GL_SUBTRACT, 1.0f, {1, 2, 0}, false},             // SUBTRACT
};
static_assert(sizeof COMBINE_RULES / sizeof COMBINE_RULES[0] == GFX_TOP_SUBTRACT + 1);

// Indexed by GfxTextureArg and GfxTextureAddress.
static const GLenum ARG_SOURCES[] = {GL_TEXTURE, GL_PRIMARY_COLOR, GL_PREVIOUS, GL_CONSTANT};
static const GLint ADDRESS_MODES[] = {GL_REPEAT, GL_MIRRORED_REPEAT, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_BORDER};
static_assert(sizeof ARG_SOURCES / sizeof ARG_SOURCES[0] == GFX_TA_TFACTOR + 1);
static_assert(sizeof ADDRESS_MODES / sizeof ADDRESS_MODES[0] == GFX_ADDRESS_BORDER + 1);

// Minification by min filter (point, linear) and mip filter (point, linear, none).
static const GLint MIN_FILTERS[2][3] = {
    {GL_NEAREST_MIPMAP_NEAREST, GL_NEAREST_MIPMAP_LINEAR, GL_NEAREST},
    {GL_LINEAR_MIPMAP_NEAREST, GL_LINEAR_MIPMAP_LINEAR, GL_LINEAR},
};

// Indexed by GfxCompare - 1 and GfxBlend - 1.
static const GLenum COMPARE_FUNCS[] = {GL_NEVER,   GL_LESS,     GL_EQUAL,  GL_LEQUAL,
                                       GL_GREATER, GL_NOTEQUAL, GL_GEQUAL, GL_ALWAYS};
static const GLenum BLEND_FACTORS[] = {
    GL_ZERO,      GL_ONE,
    GL_SRC_COLOR, GL_ONE_MINUS_SRC_COLOR,
    GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA,
    GL_DST_ALPHA, GL_ONE_MINUS_DST_ALPHA,
    GL_DST_COLOR, GL_ONE_MINUS_DST_COLOR,
};
static_assert(sizeof BLEND_FACTORS / sizeof BLEND_FACTORS[0] == GFX_BLEND_INVDESTCOLOR);
static_assert(sizeof COMPARE_FUNCS / sizeof COMPARE_FUNCS[0] == GFX_CMP_ALWAYS);

// The old API's defaults, in GfxRenderState order. ZENABLE is on only when
// the device was made with a depth buffer (set in resetState).
static const uint32_t RENDER_STATE_DEFAULTS[] = {
    GFX_CULL_CCW,       // CULLMODE
    1,                  // ZENABLE
    1,                  // ZWRITEENABLE
    GFX_CMP_LESSEQUAL,  // ZFUNC
    0,                  // ALPHABLENDENABLE
    GFX_BLEND_ONE,      // SRCBLEND
    GFX_BLEND_ZERO,     // DESTBLEND
    0,                  // ALPHATESTENABLE
    0,                  // ALPHAREF
    GFX_CMP_ALWAYS,     // ALPHAFUNC
    0,                  // FOGENABLE
    1,                  // LIGHTING
    0xFFFFFFFF,         // TEXTUREFACTOR
    0,                  // AMBIENT
    1,                  // COLORVERTEX
    GFX_MCS_COLOR1,     // DIFFUSEMATERIALSOURCE
    GFX_MCS_MATERIAL,   // AMBIENTMATERIALSOURCE
    0,                  // NORMALIZENORMALS
    GFX_SHADE_GOURAUD,  // SHADEMODE
    0,                  // FOGCOLOR
    GFX_FOG_NONE,       // FOGVERTEXMODE
    0,                  // FOGSTART: 0.0f
    0x3F800000,         // FOGEND: 1.0f
};
static_assert(sizeof RENDER_STATE_DEFAULTS / sizeof RENDER_STATE_DEFAULTS[0] == GFX_RS_COUNT);

static const float IDENTITY[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

// Whether a state takes a value; booleans, colours, floats and the alpha
// reference take any.
static bool renderStateValid(GfxRenderState state, uint32_t value) {
    switch (state) {
    case GFX_RS_CULLMODE: return value >= 1 && value <= GFX_CULL_CCW;
    case GFX_RS_ZFUNC:
    case GFX_RS_ALPHAFUNC: return value >= 1 && value <= GFX_CMP_ALWAYS;
    case GFX_RS_SRCBLEND:
    case GFX_RS_DESTBLEND: return value >= 1 && value <= GFX_BLEND_INVDESTCOLOR;
    case GFX_RS_DIFFUSEMATERIALSOURCE:
    case GFX_RS_AMBIENTMATERIALSOURCE: return value <= GFX_MCS_COLOR1;
    case GFX_RS_SHADEMODE: return value == GFX_SHADE_FLAT || value == GFX_SHADE_GOURAUD;
    case GFX_RS_FOGVERTEXMODE: return value == GFX_FOG_NONE || value == GFX_FOG_LINEAR;
    default: return true;
    }
}

// The old API's stage defaults: stage 0 modulates its texture by the diffuse
// colour and takes the texture's alpha; later stages are off; point
// sampling, no mips, wrapping.
static uint32_t stageStateDefault(int32_t stage, GfxTextureStageState state) {
    switch (state) {
    case GFX_TSS_COLOROP: return stage == 0 ? GFX_TOP_MODULATE : GFX_TOP_DISABLE;
    case GFX_TSS_ALPHAOP: return stage == 0 ? GFX_TOP_SELECTARG1 : GFX_TOP_DISABLE;
    case GFX_TSS_COLORARG1:
    case GFX_TSS_ALPHAARG1: return GFX_TA_TEXTURE;
    case GFX_TSS_COLORARG2:
    case GFX_TSS_ALPHAARG2: return GFX_TA_CURRENT;
    case GFX_TSS_MIPFILTER: return GFX_FILTER_NONE;
    default: return 0;   // point filters, no bias (0.0f), wrap
    }
}

// Largest value each stage state takes; the bias takes any float.
static uint32_t stageStateMax(GfxTextureStageState state) {
    switch (state) {
    case GFX_TSS_COLOROP:
    case GFX_TSS_ALPHAOP: return GFX_TOP_SUBTRACT;
    case GFX_TSS_COLORARG1:
    case GFX_TSS_COLORARG2:
    case GFX_TSS_ALPHAARG1:
    case GFX_TSS_ALPHAARG2: return GFX_TA_TFACTOR;
    case GFX_TSS_MAGFILTER:
    case GFX_TSS_MINFILTER:
    case GFX_TSS_MIPFILTER: return GFX_FILTER_NONE;
    case GFX_TSS_ADDRESSU:
    case GFX_TSS_ADDRESSV: return GFX_ADDRESS_BORDER;
    default: return UINT32_MAX;
    }
}

// Row-vector product: out = a * b.
static void multiply(const float a[16], const float b[16], float out[16]) {
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += a[row * 4 + k] * b[k * 4 + col];
            out[row * 4 + col] = sum;
        }
}

// What a new or reset device starts from: default render and stage states,
// no textures, identity transforms, the back buffer and its depth as target.
void GlDevice::resetState() {
    glDisable(GL_DITHER);
    glFrontFace(GL_CCW);   // see the winding note in gfx_gl_device.h
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);   // texel rows are packed
    glEnableClientState(GL_VERTEX_ARRAY);
    memcpy(renderStates, RENDER_STATE_DEFAULTS, sizeof renderStates);
    resetFixedState();
    renderStates[GFX_RS_ZENABLE] = depthBuffer.renderbuffer != 0;
    for (int32_t stage = 0; stage < stageCount; ++stage) {
        for (int32_t state = 0; state < GFX_TSS_COUNT; ++state)
            stageStates[stage][state] = stageStateDefault(stage, (GfxTextureStageState)state);
        glActiveTexture(GL_TEXTURE0 + stage);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_COMBINE);
        glActiveTexture(GL_TEXTURE0);
        for (int32_t state = 0; state < GFX_TSS_COUNT; ++state) applyStageState(stage, (GfxTextureStageState)state);
    }
    for (int32_t state = 0; state < GFX_RS_COUNT; ++state) applyRenderState((GfxRenderState)state);
    for (int32_t stage = 0; stage < stageCount; ++stage) bindStage(stage, nullptr);
    for (float(&matrix)[16] : transforms) memcpy(matrix, IDENTITY, sizeof matrix);
    loadModelView();
    loadProjection();
    screenSpaceLoaded = false;
    vertexFormat = 0;
    setStreamSource(nullptr, 0);
    setIndices(nullptr);
    setMaterial(GfxMaterial{});
    bindTarget(&backBuffer, depthBuffer.renderbuffer ? &depthBuffer : nullptr);
    inScene = false;
    if (output) output->setVsync(params.vsync);
}

// A unit samples while its stage has a texture and no stage up to it is
// disabled; one without a texture passes the colour on.
void GlDevice::applyUnitEnables() {
    bool chainOn = true;
    for (int32_t stage = 0; stage < stageCount; ++stage) {
        chainOn = chainOn && stageStates[stage][GFX_TSS_COLOROP] != GFX_TOP_DISABLE;
        bool on = chainOn && stageTextures[stage];
        if (on == unitEnabled[stage]) continue;
        glActiveTexture(GL_TEXTURE0 + stage);
        if (on)
            glEnable(GL_TEXTURE_2D);
        else
            glDisable(GL_TEXTURE_2D);
        unitEnabled[stage] = on;
    }
    glActiveTexture(GL_TEXTURE0);
}

// The stage's unit must be active.
void GlDevice::applyCombine(int32_t stage, bool alpha) {
    const uint32_t* states = stageStates[stage];
    const CombineRule& rule = COMBINE_RULES[states[alpha ? GFX_TSS_ALPHAOP : GFX_TSS_COLOROP]];
    const uint32_t args[3] = {GFX_TA_CURRENT, states[alpha ? GFX_TSS_ALPHAARG1 : GFX_TSS_COLORARG1],
                              states[alpha ? GFX_TSS_ALPHAARG2 : GFX_TSS_COLORARG2]};
    GLenum source0 = alpha ? GL_SOURCE0_ALPHA : GL_SOURCE0_RGB;
    GLenum operand0 = alpha ? GL_OPERAND0_ALPHA : GL_OPERAND0_RGB;
    GLint plain = alpha ? GL_SRC_ALPHA : GL_SRC_COLOR;
    GLint complement = alpha ? GL_ONE_MINUS_SRC_ALPHA : GL_ONE_MINUS_SRC_COLOR;
    glTexEnvi(GL_TEXTURE_ENV, alpha ? GL_COMBINE_ALPHA : GL_COMBINE_RGB, (GLint)rule.function);
    glTexEnvf(GL_TEXTURE_ENV, alpha ? GL_ALPHA_SCALE : GL_RGB_SCALE, rule.scale);
    for (GLenum i = 0; i < 3; ++i) {
        if (i > 0 && rule.sources[i] == 0) break;
        glTexEnvi(GL_TEXTURE_ENV, source0 + i, (GLint)ARG_SOURCES[args[rule.sources[i]]]);
        glTexEnvi(GL_TEXTURE_ENV, operand0 + i, i == 2 && rule.complementThird ? complement : plain);
    }
}

// The texture must be bound on the active unit, the stage's.
void GlDevice::applySampler(int32_t stage, GfxTexture* texture) {
    const uint32_t* states = stageStates[stage];
    uint32_t mip = states[GFX_TSS_MIPFILTER];
    GlSampler want = {
        MIN_FILTERS[states[GFX_TSS_MINFILTER] == GFX_FILTER_LINEAR][mip == GFX_FILTER_NONE ? 2 : mip],
        states[GFX_TSS_MAGFILTER] == GFX_FILTER_LINEAR ? GL_LINEAR : GL_NEAREST,
        ADDRESS_MODES[states[GFX_TSS_ADDRESSU]],
        ADDRESS_MODES[states[GFX_TSS_ADDRESSV]],
    };
    GlSampler& have = texture->sampler;
    if (have.minFilter != want.minFilter) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, want.minFilter);
    if (have.magFilter != want.magFilter) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, want.magFilter);
    if (have.wrapS != want.wrapS) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, want.wrapS);
    if (have.wrapT != want.wrapT) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, want.wrapT);
    have = want;
}

void GlDevice::applyStageState(int32_t stage, GfxTextureStageState state) {
    glActiveTexture(GL_TEXTURE0 + stage);
    switch (state) {
    case GFX_TSS_COLOROP:
    case GFX_TSS_COLORARG1:
    case GFX_TSS_COLORARG2: applyCombine(stage, false); break;
    case GFX_TSS_ALPHAOP:
    case GFX_TSS_ALPHAARG1:
    case GFX_TSS_ALPHAARG2: applyCombine(stage, true); break;
    case GFX_TSS_MAGFILTER:
    case GFX_TSS_MINFILTER:
    case GFX_TSS_MIPFILTER:
    case GFX_TSS_ADDRESSU:
    case GFX_TSS_ADDRESSV:
        if (stageTextures[stage]) applySampler(stage, stageTextures[stage]);
        break;
    case GFX_TSS_MIPMAPLODBIAS: {
        float bias = 0.0f;
        memcpy(&bias, &stageStates[stage][state], sizeof bias);
        glTexEnvf(GL_TEXTURE_FILTER_CONTROL, GL_TEXTURE_LOD_BIAS, bias);
        break;
    }
    case GFX_TSS_COUNT: break;
    }
    glActiveTexture(GL_TEXTURE0);
    if (state == GFX_TSS_COLOROP) applyUnitEnables();
}

static void setEnabled(GLenum capability, bool on) {
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
}

void GlDevice::applyRenderState(GfxRenderState state) {
    uint32_t value = renderStates[state];
    switch (state) {
    case GFX_RS_CULLMODE:
        setEnabled(GL_CULL_FACE, value != GFX_CULL_NONE);
        glCullFace(value == GFX_CULL_CW ? GL_FRONT : GL_BACK);
        break;
    case GFX_RS_ZENABLE: setEnabled(GL_DEPTH_TEST, value != 0); break;
    case GFX_RS_ZWRITEENABLE: glDepthMask(value ? GL_TRUE : GL_FALSE); break;
    case GFX_RS_ZFUNC: glDepthFunc(COMPARE_FUNCS[value - 1]); break;
    case GFX_RS_ALPHABLENDENABLE: setEnabled(GL_BLEND, value != 0); break;
    case GFX_RS_SRCBLEND:
    case GFX_RS_DESTBLEND:
        glBlendFunc(BLEND_FACTORS[renderStates[GFX_RS_SRCBLEND] - 1], BLEND_FACTORS[renderStates[GFX_RS_DESTBLEND] - 1]);
        break;
    case GFX_RS_ALPHATESTENABLE: setEnabled(GL_ALPHA_TEST, value != 0); break;
    case GFX_RS_ALPHAREF:
    case GFX_RS_ALPHAFUNC:
        glAlphaFunc(COMPARE_FUNCS[renderStates[GFX_RS_ALPHAFUNC] - 1],
                    (float)(renderStates[GFX_RS_ALPHAREF] & 0xFF) / 255.0f);
        break;
    case GFX_RS_LIGHTING: setEnabled(GL_LIGHTING, value != 0); break;
    case GFX_RS_FOGENABLE:
    case GFX_RS_AMBIENT:
    case GFX_RS_COLORVERTEX:
    case GFX_RS_DIFFUSEMATERIALSOURCE:
    case GFX_RS_AMBIENTMATERIALSOURCE:
    case GFX_RS_NORMALIZENORMALS:
    case GFX_RS_SHADEMODE:
    case GFX_RS_FOGCOLOR:
    case GFX_RS_FOGVERTEXMODE:
    case GFX_RS_FOGSTART:
    case GFX_RS_FOGEND: applyFixedRenderState(state); break;
    case GFX_RS_TEXTUREFACTOR: {
        // One factor for every stage: each unit's constant colour.
        const GLfloat color[4] = {(float)((value >> 16) & 0xFF) / 255.0f, (float)((value >> 8) & 0xFF) / 255.0f,
                                  (float)(value & 0xFF) / 255.0f, (float)(value >> 24) / 255.0f};
        for (int32_t stage = 0; stage < stageCount; ++stage) {
            glActiveTexture(GL_TEXTURE0 + stage);
            glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, color);
        }
        glActiveTexture(GL_TEXTURE0);
        break;
    }
    case GFX_RS_COUNT: break;
    }
}

// GL keeps world and view as one matrix; the matrix mode rests at MODELVIEW.
// A row-major row-vector matrix is already GL's column-major storage.
void GlDevice::loadModelView() {
    float modelView[16];
    multiply(transforms[GFX_TS_WORLD], transforms[GFX_TS_VIEW], modelView);
    glLoadMatrixf(modelView);
}

// projection * fixup, the fixup negating y and taking z from 0..1 to -1..1
// (z' = 2z - w); see the orientation note in gfx_gl_device.h.
void GlDevice::loadProjection() {
    const float* p = transforms[GFX_TS_PROJECTION];
    float fixed[16];
    for (int row = 0; row < 4; ++row) {
        fixed[row * 4 + 0] = p[row * 4 + 0];
        fixed[row * 4 + 1] = -p[row * 4 + 1];
        fixed[row * 4 + 2] = 2.0f * p[row * 4 + 2] - p[row * 4 + 3];
        fixed[row * 4 + 3] = p[row * 4 + 3];
    }
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(fixed);
    glMatrixMode(GL_MODELVIEW);
}

// Values outside a state's range are ignored and the state kept.
void GlDevice::setRenderState(GfxRenderState state, uint32_t value) {
    if (state < 0 || state >= GFX_RS_COUNT || !renderStateValid(state, value)) return;
    renderStates[state] = value;
    applyRenderState(state);
}

void GlDevice::setTextureStageState(int32_t stage, GfxTextureStageState state, uint32_t value) {
    if (stage < 0 || stage >= stageCount || state < 0 || state >= GFX_TSS_COUNT || value > stageStateMax(state))
        return;
    stageStates[stage][state] = value;
    applyStageState(stage, state);
}

void GlDevice::getTransform(GfxTransform which, float out[16]) {
    if (which < 0 || which >= GFX_TS_COUNT || !out) return;
    memcpy(out, transforms[which], sizeof transforms[which]);
}

void GlDevice::setTransform(GfxTransform which, const float matrix[16]) {
    if (which < 0 || which >= GFX_TS_COUNT || !matrix) return;
    memcpy(transforms[which], matrix, sizeof transforms[which]);
    if (which == GFX_TS_VIEW) lightsStale = true;
    if (screenSpaceLoaded)
        loadWorldSpace();
    else if (which == GFX_TS_PROJECTION)
        loadProjection();
    else
        loadModelView();
}
