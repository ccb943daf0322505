#include "shop/day_planning.h"

#include "shop/counter.h"

int32_t getTrendBannerFrame() { return gCounter.trendBannerFrame; }
