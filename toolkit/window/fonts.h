// Numbered GDI fonts made from a face name and a size in points at the
// screen's resolution.
#pragma once
#include "toolkit/core/object_table.h"
#include <windows.h>
#include <stdint.h>

struct FontRecord {
    HFONT font;  // 0 while the number has no font
};

void FontsStart();
void FontsEnd();

// For an explicit number the new HFONT, for ANY_NUMBER the allocated number,
// 0 on failure (the number then has no font).
intptr_t FontLoad(ObjectNumber number, const char* face, int32_t size);

// The font of a number, 0 when it has none.
HFONT FontHandle(ObjectNumber number);

// The font table's release function: deletes the font of a number, if any.
void FontFree(ObjectNumber number);
