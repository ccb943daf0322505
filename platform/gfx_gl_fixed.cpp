// platform/gfx_gl_fixed.cpp: the OpenGL device's fixed-function lighting,
// material and fog, kept to the old model's rules:
// - a light is given in world space and moves with the view: GL transforms
//   light positions by the modelview at the time they are given, so they
//   are given again under the bare view matrix before the first lit draw
//   after the view or a light changed;
// - colour output is emissive + ambient material x (global ambient + each
//   light's ambient) + diffuse material x each light's diffuse x N.L, which
//   GL computes the same way; specular light is never added, as the old
//   model adds none unless asked to, so GL's light specular stays black;
// - with COLORVERTEX on, a vertex that carries a diffuse colour supplies the
//   diffuse and/or ambient material colour, per material source; GL's colour
//   material overwrites the material it tracks, so the stored material is
//   sent again whenever tracking stops;
// - fog is linear in the view-space depth, colour only, and computed per
//   vertex: the factor is found at each vertex and interpolated, which GL's
//   own fog (computed per pixel from an interpolated distance) is not, so
//   the device hands GL the factors as fog coordinates; pre-transformed
//   vertices are drawn unlit and unfogged.
#include "platform/gfx_gl_device.h"

#include <cstring>

static void setEnabled(GLenum capability, bool on) {
    if (on)
        glEnable(capability);
    else
        glDisable(capability);
}

static void argbToFloats(uint32_t argb, GLfloat out[4]) {
    out[0] = (float)((argb >> 16) & 0xFF) / 255.0f;
    out[1] = (float)((argb >> 8) & 0xFF) / 255.0f;
    out[2] = (float)(argb & 0xFF) / 255.0f;
    out[3] = (float)(argb >> 24) / 255.0f;
}

static float floatBits(uint32_t bits) {
    float value = 0.0f;
    memcpy(&value, &bits, sizeof value);
    return value;
}

static void sendMaterial(const GfxMaterial& material) {
    const GfxColorValue* colors[4] = {&material.diffuse, &material.ambient, &material.specular, &material.emissive};
    const GLenum names[4] = {GL_DIFFUSE, GL_AMBIENT, GL_SPECULAR, GL_EMISSION};
    for (int i = 0; i < 4; ++i) {
        const float rgba[4] = {colors[i]->r, colors[i]->g, colors[i]->b, colors[i]->a};
        glMaterialfv(GL_FRONT_AND_BACK, names[i], rgba);
    }
    float power = material.power < 0.0f ? 0.0f : (material.power > 128.0f ? 128.0f : material.power);
    glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, power);
}

static void sendColor(GLenum light, GLenum name, const GfxColorValue& c) {
    const float rgba[4] = {c.r, c.g, c.b, c.a};
    glLightfv(light, name, rgba);
}

void GlDevice::resetFixedState() {
    static const float BLACK[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    for (int32_t i = 0; i < GFX_LIGHT_MAX; ++i) {
        lights[i] = GfxLight{};
        lightOn[i] = false;
        glDisable(GL_LIGHT0 + (GLenum)i);
        glLightfv(GL_LIGHT0 + (GLenum)i, GL_SPECULAR, BLACK);
    }
    lightsStale = false;
    glDisable(GL_COLOR_MATERIAL);
    colorMaterialMode = 0;
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE);
    // GL's factor (end - c) / (end - start) with start 0 and end 1 gives
    // back 1 - c: the coordinate each vertex carries is 1 - its own factor.
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogi(GL_FOG_COORD_SRC, GL_FOG_COORD);
    glFogf(GL_FOG_START, 0.0f);
    glFogf(GL_FOG_END, 1.0f);
    glDisableClientState(GL_FOG_COORD_ARRAY);
    fogSource = nullptr;
    if (!fogCoords) {
        constexpr int32_t FOG_COORDS_AT_START = 1 << 16;
        fogCoords.reset(new float[FOG_COORDS_AT_START]);
        fogCoordCapacity = FOG_COORDS_AT_START;
    }
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);   // flat shading takes the first vertex's colour
}

void GlDevice::applyFixedRenderState(GfxRenderState state) {
    uint32_t value = renderStates[state];
    GLfloat color[4];
    switch (state) {
    case GFX_RS_AMBIENT:
        argbToFloats(value, color);
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, color);
        break;
    case GFX_RS_NORMALIZENORMALS: setEnabled(GL_NORMALIZE, value != 0); break;
    case GFX_RS_SHADEMODE: glShadeModel(value == GFX_SHADE_FLAT ? GL_FLAT : GL_SMOOTH); break;
    case GFX_RS_FOGCOLOR:
        argbToFloats(value, color);
        glFogfv(GL_FOG_COLOR, color);
        break;
    case GFX_RS_FOGENABLE:
    case GFX_RS_FOGVERTEXMODE: setEnabled(GL_FOG, fogActive()); break;
    // FOGSTART and FOGEND act at each draw's vertices (prepareVertexFog).
    default: break;   // COLORVERTEX and the material sources act at each lit draw
    }
}

// The factor at one vertex: 1 clear, 0 all fog colour. With start equal to
// end it takes the formula's own values: clear nearer than end, fogged from
// end on.
static float vertexFogFactor(float depth, float start, float end) {
    if (start == end) return depth < end ? 1.0f : 0.0f;
    float f = (end - depth) / (end - start);
    return f > 1.0f ? 1.0f : (f > 0.0f ? f : 0.0f);
}

bool GlDevice::fogActive() const {
    return renderStates[GFX_RS_FOGENABLE] != 0 && renderStates[GFX_RS_FOGVERTEXMODE] == GFX_FOG_LINEAR;
}

void GlDevice::prepareVertexFog(const uint8_t* vertices, int32_t stride, int32_t count, const GfxBuffer* source) {
    if (!fogActive() || (vertexFormat & GFX_FVF_XYZRHW) || count < 1) {
        glDisableClientState(GL_FOG_COORD_ARRAY);
        return;
    }
    // The view-space depth of a point is -z of point x world x view.
    const float* w = transforms[GFX_TS_WORLD];
    const float* v = transforms[GFX_TS_VIEW];
    float key[6];
    for (int32_t i = 0; i < 4; ++i)
        key[i] = w[i * 4] * v[2] + w[i * 4 + 1] * v[6] + w[i * 4 + 2] * v[10] + w[i * 4 + 3] * v[14];
    key[4] = floatBits(renderStates[GFX_RS_FOGSTART]);
    key[5] = floatBits(renderStates[GFX_RS_FOGEND]);
    bool same = source && !source->dirty && fogSource == source && fogSourceBytes == vertices &&
                fogSourceCount == count && fogSourceStride == stride && memcmp(fogSourceKey, key, sizeof key) == 0;
    if (!same) {
        if (count > fogCoordCapacity) {
            fogCoords.reset(new float[(size_t)count]);
            fogCoordCapacity = count;
        }
        for (int32_t i = 0; i < count; ++i) {
            float p[3];
            memcpy(p, vertices + (size_t)i * (size_t)stride, sizeof p);
            float depth = -(p[0] * key[0] + p[1] * key[1] + p[2] * key[2] + key[3]);
            fogCoords[(size_t)i] = 1.0f - vertexFogFactor(depth, key[4], key[5]);
        }
        fogSource = source;
        fogSourceBytes = vertices;
        fogSourceCount = count;
        fogSourceStride = stride;
        memcpy(fogSourceKey, key, sizeof key);
    }
    // Client memory: no GL buffer may be bound while pointing at it.
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glEnableClientState(GL_FOG_COORD_ARRAY);
    glFogCoordPointer(GL_FLOAT, 0, fogCoords.get());
}

void GlDevice::setMaterial(const GfxMaterial& newMaterial) {
    material = newMaterial;
    sendMaterial(material);
}

void GlDevice::setLight(int32_t index, const GfxLight& light) {
    if (index < 0 || index >= GFX_LIGHT_MAX) return;
    lights[index] = light;
    GLenum name = GL_LIGHT0 + (GLenum)index;
    sendColor(name, GL_DIFFUSE, light.diffuse);
    sendColor(name, GL_AMBIENT, light.ambient);
    bool directional = light.type == GFX_LIGHT_DIRECTIONAL;
    glLightf(name, GL_CONSTANT_ATTENUATION, directional ? 1.0f : light.attenuation0);
    glLightf(name, GL_LINEAR_ATTENUATION, directional ? 0.0f : light.attenuation1);
    glLightf(name, GL_QUADRATIC_ATTENUATION, directional ? 0.0f : light.attenuation2);
    // GL's spot has one cone; the old outer cone (phi) is kept, its inner
    // cone dropped, and the falloff becomes the exponent. GL has no range.
    float cutoff = light.type == GFX_LIGHT_SPOT ? light.phi * 28.647890f : 180.0f;   // half the angle, in degrees
    glLightf(name, GL_SPOT_CUTOFF, cutoff > 90.0f && cutoff != 180.0f ? 90.0f : cutoff);
    glLightf(name, GL_SPOT_EXPONENT, light.falloff < 0.0f ? 0.0f : (light.falloff > 128.0f ? 128.0f : light.falloff));
    lightsStale = true;
}

void GlDevice::lightEnable(int32_t index, bool on) {
    if (index < 0 || index >= GFX_LIGHT_MAX) return;
    lightOn[index] = on;
    setEnabled(GL_LIGHT0 + (GLenum)index, on);
}

// The modelview must hold world x view; it is loaded again at the end.
void GlDevice::applyLights() {
    glLoadMatrixf(transforms[GFX_TS_VIEW]);
    for (int32_t i = 0; i < GFX_LIGHT_MAX; ++i) {
        const GfxLight& light = lights[i];
        GLenum name = GL_LIGHT0 + (GLenum)i;
        if (light.type == GFX_LIGHT_DIRECTIONAL) {
            // GL wants the way toward the light; the old model gives the way it shines.
            const float toward[4] = {-light.direction[0], -light.direction[1], -light.direction[2], 0.0f};
            glLightfv(name, GL_POSITION, toward);
        } else {
            const float position[4] = {light.position[0], light.position[1], light.position[2], 1.0f};
            glLightfv(name, GL_POSITION, position);
            glLightfv(name, GL_SPOT_DIRECTION, light.direction);
        }
    }
    lightsStale = false;
    loadModelView();
}

void GlDevice::applyColorMaterial() {
    bool fromVertex = (vertexFormat & GFX_FVF_DIFFUSE) && renderStates[GFX_RS_COLORVERTEX];
    bool diffuse = fromVertex && renderStates[GFX_RS_DIFFUSEMATERIALSOURCE] == GFX_MCS_COLOR1;
    bool ambient = fromVertex && renderStates[GFX_RS_AMBIENTMATERIALSOURCE] == GFX_MCS_COLOR1;
    GLenum want = diffuse && ambient ? GL_AMBIENT_AND_DIFFUSE : diffuse ? GL_DIFFUSE : ambient ? GL_AMBIENT : 0;
    if (want == colorMaterialMode) return;
    if (colorMaterialMode) {
        glDisable(GL_COLOR_MATERIAL);
        sendMaterial(material);
    }
    if (want) {
        glColorMaterial(GL_FRONT_AND_BACK, want);
        glEnable(GL_COLOR_MATERIAL);
    }
    colorMaterialMode = want;
}

void GlDevice::beginScreenDraw() {
    if (renderStates[GFX_RS_LIGHTING]) glDisable(GL_LIGHTING);
    glDisable(GL_FOG);
}

void GlDevice::endScreenDraw() {
    if (!(vertexFormat & GFX_FVF_XYZRHW)) return;
    if (renderStates[GFX_RS_LIGHTING]) glEnable(GL_LIGHTING);
    applyFixedRenderState(GFX_RS_FOGENABLE);
}
