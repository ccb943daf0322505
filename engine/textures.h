// engine/textures.h: the holder of one 2D picture, the registry of loaded
// pictures with their scene groups, and the two picture loaders: 2D pictures
// (BMP or TGA, a loose file first, else the data archive) and the textures
// that 3D models name (archive only, shrunk by the "texlevel" setting).
//
// Pictures are loaded into numbered scene groups and released by group; a
// slot never releases its own texture. The loaders run on the main thread and
// on the loader threads, one at a time; the registry and the slots are shared
// without locks, the loader flags' turn-taking being their only guard.
#pragma once
#include <cstdint>

#include "platform/gfx.h"

// A slot starts empty in group 0 and has no destructor of its own: its
// texture goes only through the registry.
struct TextureSlot {
    GfxTexture* texture = nullptr;   // null while nothing is loaded
    int32_t width = 0;               // the size asked for at load time, in texels
    int32_t height = 0;
    int32_t group = 0;               // the scene group that loaded it
};

constexpr int32_t TEXTURE_REGISTRY_SIZE = 200;
constexpr int32_t TEXTURE_NAME_SIZE = 256;        // a model texture's name buffer
constexpr int32_t TEXTURE_GROUP_FULL_RELEASE = 30; // groups 0..29 go in a full release
constexpr uint32_t TEXTURE_COLOR_KEY = 0xFF00FF00; // opaque pure green turns transparent

// Model textures at 1/1, 1/2, 1/4 or 1/8 of their size, by "texlevel".
extern const int32_t TEXTURE_SCALE_DIVISORS[4];

// The registered slots; null for a free entry. The registry owns the slots'
// textures, not the slots.
extern TextureSlot* gTextureRegistry[TEXTURE_REGISTRY_SIZE];

// "bmp/fps2.tga", 256 x 32: the frame-rate label and digits; a system picture.
extern TextureSlot gFpsTexture;

// Why a picture did not become a texture; the names are the ones the
// message boxes show.
enum PictureError : int32_t {
    PICTURE_OK = 0,
    PICTURE_OUT_OF_MEMORY,
    PICTURE_OUT_OF_VIDEO_MEMORY,
    PICTURE_NOT_AVAILABLE,
    PICTURE_INVALID_CALL,
    PICTURE_INVALID_DATA,
};
// Makes a managed A8R8G8B8 texture from a BMP or TGA file in memory: decoded,
// keyed, resampled to width x height (0 x 0: the picture's own size divided
// by divisor, at least 1), then levels mip levels (0: the whole chain), each
// filled through a lock. Any thread.
PictureError createPictureTexture(const uint8_t* bytes, int32_t size, int32_t width, int32_t height, int32_t divisor,
                                  int32_t levels, uint32_t colorKey, GfxTexture** out);

// Forgets every entry without releasing anything; only right after a full release.
void clearTextureRegistry();
// Shows the free count on the debug grid, then registers the slot in the
// first free entry; with all entries taken, says so in a message box and
// leaves the slot unregistered.
void setDDTexture(TextureSlot* slot);
// Releases the texture of every registered slot of that group and frees their
// entries; the slots keep their sizes and group.
void releaseTextureGroup(int32_t group);
// The same for every registered slot that holds exactly this texture.
void releaseTexture(GfxTexture* texture);

// Loads one 2D picture into the slot at width x height texels, one mip level.
// The slot is registered first, so a picture that fails to load leaves it
// registered and empty. Paths ending in a BMP extension get the colour key.
void loadTextureToGroup(int32_t group, TextureSlot& slot, const char* path, int32_t width, int32_t height);
// One picture of a batch.
struct TexturePictureRequest {
    const char* path;
    int32_t width;
    int32_t height;
    TextureSlot* slot;
};
constexpr int32_t TEXTURE_BATCH_MAX = 32;   // decoded at once; longer lists go in turns
// The same for each picture of the list, in its order, with the same boxes
// and log lines; the pictures are read and decoded on a few threads first.
void loadTexturesToGroup(int32_t group, const TexturePictureRequest* requests, int32_t count);
// Starts reading and decoding these pictures on a worker (at most 32); a
// later batch holding one of these very requests takes its picture instead
// of reading it, with the same boxes and log lines. dropPicturePrefetch waits
// for the worker and frees what no batch took.
void startPicturePrefetch(const TexturePictureRequest* const* requests, int32_t count);
void dropPicturePrefetch();
// Loads a model texture from the archive into *outTexture with a full mip
// chain. name is a TEXTURE_NAME_SIZE buffer: with "easydisp" on, a TGA name
// whose BMP twin is in the archive is rewritten to that twin's name.
void loadMeshTexture(GfxTexture** outTexture, char* name);
