#include "engine/textures.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "engine/archive.h"
#include "engine/debug_text.h"
#include "engine/device.h"
#include "engine/loose_files.h"
#include "engine/settings.h"
#include "platform/image.h"
#include "platform/log.h"
#include "platform/thread.h"
#include "platform/window.h"

const int32_t TEXTURE_SCALE_DIVISORS[4] = {1, 2, 4, 8};

TextureSlot* gTextureRegistry[TEXTURE_REGISTRY_SIZE];
TextureSlot gFpsTexture;

// "setDDTextureオーバー"
static const char REGISTRY_FULL_TEXT[] = "setDDTexture\x83\x49\x81\x5b\x83\x6f\x81\x5b";
// "メモリが足りません。"
#define NO_MEMORY_SJIS "\x83\x81\x83\x82\x83\x8a\x82\xaa\x91\xab\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x81\x42"
static const char PICTURE_NO_MEMORY_FORMAT[] = NO_MEMORY_SJIS "w:%d h:%d";
static const char MODEL_NO_MEMORY_TEXT[] = NO_MEMORY_SJIS;
static const char NOT_FOUND_FORMAT[] = "Not File Found %s";
static const char NOT_FOUND_CAPTION[] = "Error";

static const char* const PICTURE_ERROR_TEXTS[] = {
    "", "E_OUTOFMEMORY ", "D3DERR_OUTOFVIDEOMEMORY", "D3DERR_NOTAVAILABLE", "D3DERR_INVALIDCALL", "D3DXERR_INVALIDDATA",
};

void clearTextureRegistry() {
    for (TextureSlot*& entry : gTextureRegistry) entry = nullptr;
}

void setDDTexture(TextureSlot* slot) {
    int32_t free = 0;
    for (TextureSlot* entry : gTextureRegistry)
        if (!entry) ++free;
    char text[32];
    snprintf(text, sizeof text, "FREE TEX:%3d  ", free);
    printDebugText(45, 0, text);
    for (TextureSlot*& entry : gTextureRegistry)
        if (!entry) {
            entry = slot;
            return;
        }
    showMessageBox(REGISTRY_FULL_TEXT, "error", MESSAGE_BOX_OK);
}

// Each texture goes once: its slot is emptied at once, so a second entry of
// the same slot no longer matches.
static void releaseEntry(TextureSlot*& entry) {
    if (entry->texture && gGfxDevice) gGfxDevice->releaseTexture(entry->texture);
    entry->texture = nullptr;
    entry = nullptr;
}

void releaseTextureGroup(int32_t group) {
    for (TextureSlot*& entry : gTextureRegistry)
        if (entry && entry->group == group) releaseEntry(entry);
}

void releaseTexture(GfxTexture* texture) {
    if (!texture) return;
    for (TextureSlot*& entry : gTextureRegistry)
        if (entry && entry->texture == texture) releaseEntry(entry);
}

// Decoding, keying and resampling: the part of making a picture texture that
// needs no device, so a batch runs it on several threads.
static PictureError preparePicture(const uint8_t* bytes, int32_t size, int32_t width, int32_t height, int32_t divisor,
                                   int32_t levels, uint32_t colorKey, Image* image, int32_t* levelCount) {
    *image = Image{};
    ImageResult decoded = imageDecode(bytes, (size_t)size, imageFileType(bytes, (size_t)size), image);
    if (decoded != IMAGE_OK) return decoded == IMAGE_OUT_OF_MEMORY ? PICTURE_OUT_OF_MEMORY : PICTURE_INVALID_DATA;
    imageApplyColorKey(image, colorKey);
    if (width <= 0 || height <= 0) {
        width = image->width / divisor > 0 ? image->width / divisor : 1;
        height = image->height / divisor > 0 ? image->height / divisor : 1;
    }
    *levelCount = gfxTextureLevels(width, height, levels, GFX_USAGE_NONE, GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
    if (*levelCount == 0) {
        imageFree(image);
        return PICTURE_INVALID_CALL;
    }
    if (imageResize(image, width, height) != IMAGE_OK) {
        imageFree(image);
        return PICTURE_OUT_OF_MEMORY;
    }
    return PICTURE_OK;
}

// Makes the texture from a prepared picture, level by level; frees the picture.
static PictureError uploadPicture(Image* image, int32_t levelCount, GfxTexture** out) {
    // One level: the decoded texels become the texture's own, uncopied.
    if (levelCount == 1) {
        GfxTexture* texture = gGfxDevice->createTextureFromTexels(image->width, image->height, GFX_POOL_MANAGED,
                                                                  reinterpret_cast<uint8_t*>(image->pixels));
        *image = Image{};
        if (!texture) return PICTURE_OUT_OF_VIDEO_MEMORY;
        *out = texture;
        return PICTURE_OK;
    }
    GfxTexture* texture = gGfxDevice->createTexture(image->width, image->height, levelCount, GFX_USAGE_NONE,
                                                    GFX_FORMAT_A8R8G8B8, GFX_POOL_MANAGED);
    if (!texture) {
        imageFree(image);
        return PICTURE_OUT_OF_VIDEO_MEMORY;
    }
    PictureError result = PICTURE_OK;
    for (int32_t level = 0; level < levelCount && result == PICTURE_OK; ++level) {
        if (level > 0 && imageNextMipLevel(image) != IMAGE_OK) {
            result = PICTURE_OUT_OF_MEMORY;
            break;
        }
        GfxLockedRect locked = {};
        if (gGfxDevice->lockRect(texture, level, &locked) != GFX_OK) {
            result = PICTURE_INVALID_CALL;
            break;
        }
        size_t rowBytes = (size_t)image->width * sizeof(uint32_t);
        for (int32_t row = 0; row < image->height; ++row)
            memcpy((uint8_t*)locked.bits + (size_t)row * (size_t)locked.pitch,
                   image->pixels + (size_t)row * image->width, rowBytes);
        gGfxDevice->unlockRect(texture, level);
    }
    imageFree(image);
    if (result != PICTURE_OK) {
        gGfxDevice->releaseTexture(texture);
        return result;
    }
    *out = texture;
    return PICTURE_OK;
}

PictureError createPictureTexture(const uint8_t* bytes, int32_t size, int32_t width, int32_t height,
                                         int32_t divisor, int32_t levels, uint32_t colorKey, GfxTexture** out) {
    if (!gGfxDevice) return PICTURE_NOT_AVAILABLE;
    Image image;
    int32_t levelCount = 0;
    PictureError prepared = preparePicture(bytes, size, width, height, divisor, levels, colorKey, &image, &levelCount);
    return prepared == PICTURE_OK ? uploadPicture(&image, levelCount, out) : prepared;
}

// A buffer of the file's or the entry's own size; null when memory is short.
static uint8_t* newReadBuffer(int32_t size) { return new (std::nothrow) uint8_t[size > 0 ? size : 1]; }

// True when a '.' within the first 256 characters is followed by c (either case).
static bool extensionStartsWith(const char* path, char c) {
    for (int32_t i = 0; i + 1 < TEXTURE_NAME_SIZE && path[i]; ++i)
        if (path[i] == '.' && (path[i + 1] | 0x20) == c) return true;
    return false;
}

// What reading and preparing one picture of a batch came to.
enum PictureSource : int32_t {
    PICTURE_SOURCE_LOOSE,        // a loose file, read (its errors are shown in a box)
    PICTURE_SOURCE_ARCHIVE,      // an archive entry, read (its errors are logged)
    PICTURE_SOURCE_NOT_FOUND,    // neither
    PICTURE_SOURCE_NO_MEMORY,    // no buffer for its bytes
};

struct PictureJob {
    const TexturePictureRequest* request;
    PictureSource source;
    PictureError error;
    Image image;
    int32_t levelCount;
    bool ready;   // read and prepared
};

// Reads the picture, from a loose file first, then the archive, and prepares
// it. Any thread: nothing here touches the device or shows a box.
static void readAndPreparePicture(void* context, int32_t index) {
    PictureJob& job = static_cast<PictureJob*>(context)[index];
    if (job.ready) return;
    job.ready = true;
    const TexturePictureRequest& r = *job.request;
    // BMP pictures are keyed; TGA pictures carry their own alpha.
    uint32_t colorKey = extensionStartsWith(r.path, 'b') ? TEXTURE_COLOR_KEY : 0;
    uint8_t* bytes = nullptr;
    int32_t size = 0;
    if (FILE* file = openLooseFile(r.path)) {
        job.source = PICTURE_SOURCE_LOOSE;
        // A length that cannot be told reads as an empty file, which is refused.
        size = getFileLength(file);
        if (size < 0) size = 0;
        bytes = newReadBuffer(size);
        // A short read leaves a file whose header promises more than it
        // holds, which the decoder refuses.
        if (bytes) size = (int32_t)fread(bytes, 1, (size_t)size, file);
        fclose(file);
    } else {
        job.source = PICTURE_SOURCE_ARCHIVE;
        size = getArchiveEntrySize(r.path);
        bytes = size > 0 ? newReadBuffer(size) : nullptr;
        if (size > 0 && bytes) size = readArchiveEntry(r.path, bytes, size);
        if (size <= 0) job.source = PICTURE_SOURCE_NOT_FOUND;
    }
    if (!bytes && job.source != PICTURE_SOURCE_NOT_FOUND) {
        job.source = PICTURE_SOURCE_NO_MEMORY;
        return;
    }
    if (job.source != PICTURE_SOURCE_NOT_FOUND)
        job.error = preparePicture(bytes, size, r.width, r.height, 1, 1, colorKey, &job.image, &job.levelCount);
    delete[] bytes;
}

// Start-up and scene loads read many large pictures: a few threads decode them.
constexpr int32_t PICTURE_THREADS_MAX = 4;

// Start-up reads and decodes its first pictures on a worker while the
// graphics driver starts; a batch that asks for one of the very same
// requests takes it instead of reading it again.
constexpr int32_t PICTURE_PREFETCH_MAX = 32;
struct PicturePrefetch {
    WorkerThread worker;
    PictureJob jobs[PICTURE_PREFETCH_MAX];
    bool taken[PICTURE_PREFETCH_MAX];
    int32_t count;
};
static PicturePrefetch sPicturePrefetch;

static void preparePrefetch(void*) {
    parallelFor(sPicturePrefetch.count, PICTURE_THREADS_MAX, readAndPreparePicture, sPicturePrefetch.jobs);
}

void startPicturePrefetch(const TexturePictureRequest* const* requests, int32_t count) {
    dropPicturePrefetch();
    PicturePrefetch& p = sPicturePrefetch;
    p.count = std::min(count, PICTURE_PREFETCH_MAX);
    for (int32_t i = 0; i < p.count; ++i) {
        p.jobs[i] = PictureJob{requests[i], PICTURE_SOURCE_NOT_FOUND, PICTURE_OK, {}, 0, false};
        p.taken[i] = false;
    }
    // Without a thread every batch reads its own.
    if (!threadStart(p.worker, preparePrefetch, nullptr)) p.count = 0;
}

void dropPicturePrefetch() {
    PicturePrefetch& p = sPicturePrefetch;
    threadJoin(p.worker);
    for (int32_t i = 0; i < p.count; ++i)
        if (!p.taken[i]) imageFree(&p.jobs[i].image);
    p.count = 0;
}

// The prefetched job of this very request, once; else a job to do now.
static PictureJob takeOrMakeJob(const TexturePictureRequest* request) {
    PicturePrefetch& p = sPicturePrefetch;
    for (int32_t i = 0; i < p.count; ++i) {
        if (p.taken[i] || p.jobs[i].request != request) continue;
        p.taken[i] = true;
        return p.jobs[i];
    }
    return PictureJob{request, PICTURE_SOURCE_NOT_FOUND, PICTURE_OK, {}, 0, false};
}

void loadTexturesToGroup(int32_t group, const TexturePictureRequest* requests, int32_t count) {
    if (count <= 0) return;
    threadJoin(sPicturePrefetch.worker);
    PictureJob jobs[TEXTURE_BATCH_MAX];
    for (int32_t first = 0; first < count; first += TEXTURE_BATCH_MAX) {
        int32_t n = std::min(count - first, TEXTURE_BATCH_MAX);
        for (int32_t i = 0; i < n; ++i) jobs[i] = takeOrMakeJob(&requests[first + i]);
        parallelFor(n, PICTURE_THREADS_MAX, readAndPreparePicture, jobs);
        // In the list's order, as if each had loaded alone.
        for (int32_t i = 0; i < n; ++i) {
            PictureJob& job = jobs[i];
            const TexturePictureRequest& r = *job.request;
            TextureSlot& slot = *r.slot;
            slot.width = r.width;
            slot.height = r.height;
            slot.group = group;
            setDDTexture(&slot);
            char text[512];
            PictureError error = job.error;
            if (job.source == PICTURE_SOURCE_NO_MEMORY) {
                snprintf(text, sizeof text, PICTURE_NO_MEMORY_FORMAT, r.width, r.height);
                showMessageBox(text, r.path, MESSAGE_BOX_OK);
                continue;
            }
            if (job.source == PICTURE_SOURCE_NOT_FOUND) {
                snprintf(text, sizeof text, NOT_FOUND_FORMAT, r.path);
                showMessageBox(text, NOT_FOUND_CAPTION, MESSAGE_BOX_OK);
                continue;
            }
            if (!gGfxDevice) {
                imageFree(&job.image);
                error = PICTURE_NOT_AVAILABLE;
            } else if (error == PICTURE_OK) {
                error = uploadPicture(&job.image, job.levelCount, &slot.texture);
            }
            if (error == PICTURE_OK) continue;
            if (job.source == PICTURE_SOURCE_LOOSE) showMessageBox(PICTURE_ERROR_TEXTS[error], r.path, MESSAGE_BOX_OK);
            else logLine("picture %s: %s", r.path, PICTURE_ERROR_TEXTS[error]);
        }
    }
}

void loadTextureToGroup(int32_t group, TextureSlot& slot, const char* path, int32_t width, int32_t height) {
    TexturePictureRequest request = {path, width, height, &slot};
    loadTexturesToGroup(group, &request, 1);
}

// With "easydisp" on, a TGA name becomes its BMP twin when the archive holds
// one. The name is cut at the first '.' that is followed by a 't', so dots
// earlier in the path ("v1.2.tga", "a.b/x.tga") stay.
static void substituteBmpTwin(char* name) {
    size_t length = strnlen(name, TEXTURE_NAME_SIZE);
    const char* dot = nullptr;
    for (size_t i = 0; i + 1 < length && !dot; ++i)
        if (name[i] == '.' && (name[i + 1] == 't' || name[i + 1] == 'T')) dot = name + i;
    if (!dot) return;
    char twin[TEXTURE_NAME_SIZE];
    int32_t stem = (int32_t)(dot - name);
    if (stem + 5 > TEXTURE_NAME_SIZE) return;
    memcpy(twin, name, (size_t)stem);
    memcpy(twin + stem, ".bmp", 5);
    if (getArchiveEntrySize(twin) > 0) memcpy(name, twin, (size_t)stem + 5);
}

void loadMeshTexture(GfxTexture** outTexture, char* name) {
    if (gEasyDispTextures > 0) substituteBmpTwin(name);
    int32_t size = getArchiveEntrySize(name);
    uint8_t* bytes = size > 0 ? newReadBuffer(size) : nullptr;
    if (size > 0 && !bytes) {
        showMessageBox(MODEL_NO_MEMORY_TEXT, name, MESSAGE_BOX_OK);
        return;
    }
    size = size > 0 ? readArchiveEntry(name, bytes, size) : 0;
    if (size == 0) {
        char text[512];
        snprintf(text, sizeof text, NOT_FOUND_FORMAT, name);
        showMessageBox(text, NOT_FOUND_CAPTION, MESSAGE_BOX_OK);
        delete[] bytes;
        return;
    }
    // The reduced size comes from the decoded picture, which is what the
    // header's size fields say for every picture the decoder accepts.
    int32_t level = gTexLevel < 0 ? 0 : (gTexLevel > TEX_LEVEL_MAX ? TEX_LEVEL_MAX : gTexLevel);
    PictureError error =
        createPictureTexture(bytes, size, 0, 0, TEXTURE_SCALE_DIVISORS[level], 0, TEXTURE_COLOR_KEY, outTexture);
    if (error != PICTURE_OK) logLine("model texture %s: %s", name, PICTURE_ERROR_TEXTS[error]);
    delete[] bytes;
}
