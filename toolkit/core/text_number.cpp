// Conversion between texts and signed 64-bit integers, wrapping like the
// machine does rather than saturating.
#include "toolkit/core/text.h"

namespace {
int digitValue(char c, uint32_t base) {
    int v = -1;
    if (c >= '0' && c <= '9') v = c - '0';
    else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
    return v >= 0 && static_cast<uint32_t>(v) < base ? v : -1;
}

// Writes the digits of a magnitude, most significant first, after any sign
// already written at out, and returns how many bytes it wrote.
uint32_t digitsWrite(char* out, uint64_t magnitude) {
    char reversed[20];
    uint32_t count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude);
    for (uint32_t i = 0; i < count; ++i) out[i] = reversed[count - 1 - i];
    return count;
}
}  // namespace

int64_t TextToInteger(const char* text) {
    if (!text) return 0;
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    bool negative = false;
    if (*p == '-') { negative = true; ++p; }
    else if (*p == '+') ++p;
    uint32_t base = 10;
    if (*p == '$') { base = 16; ++p; }
    else if (*p == '%') { base = 2; ++p; }
    uint64_t value = 0;
    for (int d; (d = digitValue(*p, base)) >= 0; ++p)
        value = value * base + static_cast<uint64_t>(d);
    if (negative) value = 0 - value;
    return static_cast<int64_t>(value);
}

void IntegerToText(int64_t value, uint32_t at) {
    // Values that fit 32 bits take the narrower reservation; both paths give
    // the same digits.
    bool narrow = value >= INT32_MIN && value <= INT32_MAX;
    uint32_t reserved = narrow ? 32 : 64;
    char* out = WorkspaceReserve(static_cast<int32_t>(reserved), at);
    uint32_t written = 0;
    uint64_t magnitude = static_cast<uint64_t>(value);
    if (value < 0) {
        out[written++] = '-';
        magnitude = 0 - magnitude;
    }
    written += digitsWrite(out + written, magnitude);
    out[written] = 0;
    WorkspaceGiveBack(reserved - written);
}
