// engine/shop_tables.h: the shop's master tables, each read from its text
// file by loadIndexFiles at start-up, in the order loadIndexFiles keeps
// (files that name items need the item table first).
#pragma once

void loadItemTable();          // "data/item.txt"
void loadCustomerTypes();      // "data/kyaku.txt"
void loadCustomerSubFiles();   // the files the customer types name
void loadBuySellTable();       // "data/buysell.txt"
void loadRequestTable();       // "data/oder.txt"
void loadTrendTable();         // "data/news.txt"
void loadFusionRecipes();      // "data/gousei.txt"
void loadTutorialScripts();    // "data/tuto1.txt" to "data/tuto3.txt"
