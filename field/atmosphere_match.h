// field/atmosphere_match.h: how well the shop's atmosphere suits a
// customer's liking; read by the day's planning.
#pragma once
#include <cstdint>

// 4 best .. 0 poorest, -1 the customer will not come, by the distance of the
// point (x, y) from the shop's atmosphere (decoration total, item total).
int32_t rateAtmosphereMatch(int32_t x, int32_t y);
