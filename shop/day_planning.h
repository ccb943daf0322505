// shop/day_planning.h: who comes to the shop in a day phase.
#pragma once
#include <cstdint>

// The trend-day banner's frame (0: no banner runs); the music follows it.
int32_t getTrendBannerFrame();
