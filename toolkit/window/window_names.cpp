// Formatting of numbered names without the C library's printf family, which
// would pull a whole formatter into the program for one decimal.
#include "toolkit/window/window_names.h"

void NameFormat(char* out, const char* prefix, intptr_t value) {
    int n = 0;
    while (prefix[n] && n < NAME_SIZE - 22) {
        out[n] = prefix[n];
        ++n;
    }
    // Work on the magnitude as unsigned so that the most negative value fits.
    uintptr_t magnitude = value < 0 ? 0 - static_cast<uintptr_t>(value)
                                    : static_cast<uintptr_t>(value);
    if (value < 0) out[n++] = '-';
    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    while (count) out[n++] = digits[--count];
    out[n] = 0;
}
