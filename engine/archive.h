// engine/archive.h: the packed data archive every loader reads through.
#pragma once

bool openArchive();   // false after showing its own message; start-up then ends
void closeArchive();
