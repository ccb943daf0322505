// shop/shop_tables.h: the shop's master tables, each read from its text
// file by loadIndexFiles at start-up, in the order loadIndexFiles keeps
// (files that name items need the item table first).
// A bad line brings a message box (or, for a few, a debug trace) and loading
// goes on with the next line; rows beyond a table are dropped, never written.
// Each load has a parse entry that takes the text from memory.
#pragma once
#include <cstdint>

// The customer table into gCustomerTypes. Before reading, every type's
// counts and its present mark are cleared; the other fields keep theirs.
void parseCustomerTypes(const char* text, int32_t length);
// One type's sub-file: pictures, voices and speech lines. fileName is the
// caption of its messages.
void parseCustomerSubFile(int32_t type, const char* fileName, const char* text, int32_t length);
void parseBuySellTable(const char* text, int32_t length);
void parseRequestTable(const char* text, int32_t length);
void parseTrendTable(const char* text, int32_t length);
void parseFusionRecipes(const char* text, int32_t length);
// One lesson (0..2); its rows end with a row of command -1.
void parseTutorialScript(int32_t lesson, const char* text, int32_t length);
