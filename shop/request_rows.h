// shop/request_rows.h: what request customers ask for and what advance
// orders are for, read at start-up from "data/oder.txt".
#pragma once
#include <cstdint>

#include "shop/shop.h"

constexpr int32_t REQUEST_ROW_MAX = 200;
constexpr int32_t REQUEST_LINE_MAX = 100;   // characters of a line that are read

// An item fits a row when its categoryFlags meet the mask or its category
// equals the row's category.
struct RequestRow {
    char name[REQUEST_NAME_SIZE];        // what a request customer asks for
    char orderName[REQUEST_NAME_SIZE];   // what an order is for
    uint32_t categoryMask;
    int32_t category;                    // -1 none
    int32_t rank;                        // 0..4, the relationship rank needed
};
extern RequestRow gRequestRows[REQUEST_ROW_MAX];
extern int32_t gOrderRequestCount;

// An item fits a row when its categoryFlags meet the row's mask or its
// category equals the row's category; false for a row out of range or an
// unknown item.
bool itemFitsRequestRow(int32_t itemKey, int32_t requestRow);

// The request table from its text (see shop/table_lines.h).
void parseRequestTable(const char* text, int32_t length);
