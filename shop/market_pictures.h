// shop/market_pictures.h: the pictures of the market and of the merchants'
// guild, by gMarketMode (shop/market.h); the scene loader loads them.
#pragma once

void loadMarketTextures();
void releaseMarketTextures();
