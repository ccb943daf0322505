// shop/market_pictures.cpp: the pictures of the market and of the merchants'
// guild, by gMarketMode (shop/shop_state.h); the scene loader loads them.
#include "shop/shop.h"

#include "engine/save_file.h"
#include "engine/scene_pictures.h"
#include "shop/market.h"

void releaseMarketTextures() { releaseTextureGroup(TEXTURE_GROUP_PLACE); }

static const ScenePicture GUILD_PICTURES[] = {
    {"bmp/ivent/bg_guild.bmp", 1024, 512, &gScenePictures[0]},
    {"bmp/ivent/13syounin_01.tga", 512, 512, &gScenePictures[1]},
    {"bmp/result_bord01.tga", 512, 256, &gScenePictures[2]},
};
static const ScenePicture MARKET_SELLERS[] = {
    {"bmp/ivent/01saffiel_04.tga", 512, 512, &gScenePictures[1]},
    {"bmp/ivent/02yoss_01.tga", 512, 512, &gScenePictures[2]},
};
static const ScenePicture MARKET_COMMON_PICTURES[] = {
    {"bmp/ivent/chrname.tga", 512, 512, &gScenePictures[3]},
    {"bmp/leve_win.tga", 512, 256, &gScenePictures[4]},
    {"bmp/shopmode.tga", 1024, 512, &gScenePictures[5]},
};

void loadMarketTextures() {
    if (gMarketMode == 0) {
        loadPictures(TEXTURE_GROUP_PLACE, GUILD_PICTURES);
    } else {
        // The market's backdrop turns to evening from the third phase of the day.
        const char* backdrop = runningGameState().dayPhase < 2 ? "bmp/ivent/bg_ichiba.bmp" : "bmp/ivent/bg_ichiba2.bmp";
        loadTextureToGroup(TEXTURE_GROUP_PLACE, gScenePictures[0], backdrop, 1024, 512);
        loadPictures(TEXTURE_GROUP_PLACE, MARKET_SELLERS);
    }
    loadPictures(TEXTURE_GROUP_PLACE, MARKET_COMMON_PICTURES);
}
