#include "platform/glyphs.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <fontconfig/fontconfig.h>
#include <mutex>
#include <new>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include "platform/log.h"
#include "platform/sjis.h"

const char GLYPH_FALLBACK_FACE[] = "IPAGothic";
static const char GLYPH_FALLBACK_PACKAGE[] = "fonts-ipafont-gothic";

struct GlyphFace {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    bool sized = false;
};
// The font builder's face.
static GlyphFace sFace;
// fontconfig's start and end are process-wide: two faces opening at once
// (the builder's and a message box's) take turns.
static std::mutex sFontconfigLock;

// An installed face as fontconfig describes it.
struct FoundFace {
    char path[1024];
    char family[256];
    int index;
};

// Family names compare as fontconfig compares them: blanks and the case of
// ASCII letters do not count.
static bool sameFamily(const char* a, const char* b) {
    for (;;) {
        while (*a == ' ') ++a;
        while (*b == ' ') ++b;
        unsigned char ca = (unsigned char)*a;
        unsigned char cb = (unsigned char)*b;
        if (ca >= 'A' && ca <= 'Z') ca = (unsigned char)(ca - 'A' + 'a');
        if (cb >= 'A' && cb <= 'Z') cb = (unsigned char)(cb - 'A' + 'a');
        if (ca != cb) return false;
        if (ca == 0) return true;
        ++a;
        ++b;
    }
}

static bool familyListed(FcPattern* match, const char* family) {
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &name) == FcResultMatch; ++i)
        if (sameFamily((const char*)name, family)) return true;
    return false;
}

// The scalable face of that family (any family when null) that can draw
// Japanese. fontconfig always answers with its best match, so the answer is
// checked: a substitute of another family does not count as found.
static bool findFace(const char* family, FoundFace* out) {
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    if (family) FcPatternAddString(pattern, FC_FAMILY, (const FcChar8*)family);
    FcPatternAddString(pattern, FC_LANG, (const FcChar8*)"ja");
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;

    bool found = !family || familyListed(match, family);
    FcBool scalable = FcFalse;
    if (FcPatternGetBool(match, FC_SCALABLE, 0, &scalable) != FcResultMatch || !scalable) found = false;
    FcLangSet* langs = nullptr;
    if (FcPatternGetLangSet(match, FC_LANG, 0, &langs) != FcResultMatch ||
        FcLangSetHasLang(langs, (const FcChar8*)"ja") == FcLangDifferentLang)
        found = false;
    FcChar8* file = nullptr;
    FcChar8* name = nullptr;
    if (FcPatternGetString(match, FC_FILE, 0, &file) != FcResultMatch) found = false;
    if (found) {
        snprintf(out->path, sizeof out->path, "%s", (const char*)file);
        if (FcPatternGetString(match, FC_FAMILY, 0, &name) != FcResultMatch) name = (FcChar8*)"";
        snprintf(out->family, sizeof out->family, "%s", family ? family : (const char*)name);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &out->index) != FcResultMatch) out->index = 0;
    }
    FcPatternDestroy(match);
    return found;
}

// The face the configuration names when it is there, else the fallbacks.
static bool findNamedOrFallbackFace(const char* faceName, FoundFace* face) {
    bool named = faceName && faceName[0];
    if (named && findFace(faceName, face)) return true;
    if (!findFace(GLYPH_FALLBACK_FACE, face) && !findFace(nullptr, face)) {
        logLine("No installed font can draw Japanese text; install the Debian package %s.", GLYPH_FALLBACK_PACKAGE);
        return false;
    }
    const char* package = strcmp(face->family, GLYPH_FALLBACK_FACE) == 0 ? GLYPH_FALLBACK_PACKAGE : "installed";
    if (named)
        logLine("Font \"%s\" is not installed or cannot draw Japanese; using %s (%s, %s) instead.", faceName,
                face->family, face->path, package);
    else
        logLine("No font named; using %s (%s, %s).", face->family, face->path, package);
    return true;
}

static bool chooseFace(const char* faceName, FoundFace* face) {
    std::lock_guard<std::mutex> hold(sFontconfigLock);
    if (!FcInit()) {
        logLine("fontconfig could not start; no font can be found.");
        return false;
    }
    bool found = findNamedOrFallbackFace(faceName, face);
    // Only the file is needed from here on; fontconfig's tables go.
    FcFini();
    return found;
}

// Sizes the face the way the game's fonts are measured: the height asked
// for is the whole cell, ascent plus descent, as the font's Windows metrics
// give them (the typographic ones when those are missing).
static bool sizeFace(FT_Face face, int32_t cellHeight, GlyphFaceMetrics* out) {
    out->height = cellHeight;
    out->ascent = cellHeight;
    if (!FT_IS_SCALABLE(face) || cellHeight <= 0) return false;
    double ascent = face->ascender;
    double descent = -face->descender;
    const TT_OS2* os2 = (const TT_OS2*)FT_Get_Sfnt_Table(face, FT_SFNT_OS2);
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascent = os2->usWinAscent;
        descent = os2->usWinDescent;
    }
    if (ascent + descent <= 0) return false;
    out->ascent = (int32_t)lround(cellHeight * ascent / (ascent + descent));
    double emPixels = cellHeight * (double)face->units_per_EM / (ascent + descent);
    return FT_Set_Char_Size(face, 0, (FT_F26Dot6)lround(emPixels * 64.0), 72, 72) == 0;
}

static void closeFace(GlyphFace* face) {
    if (face->face) FT_Done_Face(face->face);
    if (face->library) FT_Done_FreeType(face->library);
    *face = GlyphFace{};
}

static GlyphFaceResult openFace(GlyphFace* into, const char* faceName, int32_t cellHeight, GlyphFaceMetrics* out) {
    closeFace(into);
    out->height = cellHeight;
    out->ascent = cellHeight;
    FoundFace found;
    if (!chooseFace(faceName, &found)) return GLYPH_FACE_NONE;
    if (FT_Init_FreeType(&into->library) != 0) {
        into->library = nullptr;
        logLine("FreeType could not start.");
        return GLYPH_FACE_NONE;
    }
    if (FT_New_Face(into->library, found.path, found.index, &into->face) != 0) {
        into->face = nullptr;
        logLine("FreeType could not open %s.", found.path);
        closeFace(into);
        return GLYPH_FACE_NONE;
    }
    into->sized = sizeFace(into->face, cellHeight, out);
    return into->sized ? GLYPH_FACE_OK : GLYPH_FACE_NOT_SIZED;
}

GlyphFaceResult openGlyphFace(const char* faceName, int32_t cellHeight, GlyphFaceMetrics* out) {
    return openFace(&sFace, faceName, cellHeight, out);
}

static void setBlank(GlyphBitmap* out) {
    out->boxWidth = 1;
    out->boxHeight = 1;
    out->boxLeft = 0;
    out->boxTop = 0;
    out->pitch = 4;
    out->byteCount = 0;
}

static void renderFrom(const GlyphFace* from, uint32_t sjisCode, GlyphBitmap* out) {
    setBlank(out);
    out->advance = 0;
    if (!from || !from->face || !from->sized) return;
    FT_Face face = from->face;
    uint32_t character = sjisCodeToUnicode(sjisCode);
    FT_UInt index = character ? FT_Get_Char_Index(face, character) : 0;
    // Outlines only: some Japanese faces carry bitmaps for small sizes.
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_NORMAL) != 0) return;
    out->advance = (int32_t)((face->glyph->advance.x + 32) >> 6);
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.num_grays < 2 || bitmap.width == 0 || bitmap.rows == 0)
        return;

    int32_t width = bitmap.width < (unsigned)GLYPH_BOX_MAX ? (int32_t)bitmap.width : GLYPH_BOX_MAX;
    int32_t height = bitmap.rows < (unsigned)GLYPH_BOX_MAX ? (int32_t)bitmap.rows : GLYPH_BOX_MAX;
    int32_t pitch = (width + 3) & ~3;
    int32_t greys = bitmap.num_grays - 1;
    bool inked = false;
    for (int32_t y = 0; y < height; ++y) {
        const unsigned char* row = bitmap.buffer + (ptrdiff_t)y * bitmap.pitch;
        uint8_t* levels = out->levels + y * pitch;
        for (int32_t x = 0; x < pitch; ++x) {
            int32_t grey = x < width ? row[x] : 0;
            levels[x] = (uint8_t)((grey * GLYPH_LEVEL_MAX + greys / 2) / greys);
            inked |= levels[x] != 0;
        }
    }
    if (!inked) return;
    out->boxWidth = width;
    out->boxHeight = height;
    out->boxLeft = face->glyph->bitmap_left;
    out->boxTop = face->glyph->bitmap_top;
    out->pitch = pitch;
    out->byteCount = pitch * height;
}

void renderGlyph(uint32_t sjisCode, GlyphBitmap* out) { renderFrom(&sFace, sjisCode, out); }

void closeGlyphFace() { closeFace(&sFace); }

GlyphFace* openOwnGlyphFace(const char* faceName, int32_t cellHeight, GlyphFaceMetrics* out, GlyphFaceResult* result) {
    GlyphFace* face = new (std::nothrow) GlyphFace;
    *result = face ? openFace(face, faceName, cellHeight, out) : GLYPH_FACE_NONE;
    if (*result == GLYPH_FACE_NONE) {
        delete face;
        return nullptr;
    }
    return face;
}

void renderOwnGlyph(const GlyphFace* face, uint32_t sjisCode, GlyphBitmap* out) { renderFrom(face, sjisCode, out); }

void closeOwnGlyphFace(GlyphFace* face) {
    if (!face) return;
    closeFace(face);
    delete face;
}
