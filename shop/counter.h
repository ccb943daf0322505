// shop/counter.h: the counter, where customers buy, sell and haggle.
#pragma once
#include <cstdint>

// The counter's state; reset by the shop day's start.
struct CounterState {
    int32_t trendBannerFrame;   // frames the trend-day banner has run; 0 none
};
extern CounterState gCounter;
