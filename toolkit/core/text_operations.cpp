// Concatenation, comparison and the parts of a text, each built in the
// workspace at the caller's result offset.
#include "toolkit/core/text.h"
#include <string.h>

namespace {
// A source inside the workspace is held by offset across the reservation,
// since growing the workspace may move it.
struct Source {
    const char* text;
    bool inWorkspace;
    uint32_t offset;
};

Source sourceNote(const char* text) {
    Source s = {text, false, 0};
    const char* base = WorkspaceAt(0);
    if (text && text >= base && text <= base + WorkspacePosition()) {
        s.inWorkspace = true;
        s.offset = static_cast<uint32_t>(text - base);
    }
    return s;
}

const char* sourceAddress(const Source& s) {
    return s.inWorkspace ? WorkspaceAt(s.offset) : s.text;
}
}  // namespace

void TextAppend(const char* text) {
    if (!text) {
        *WorkspaceAt(WorkspacePosition()) = 0;
        return;
    }
    uint32_t length = TextLength(text);
    char* at = WorkspaceReserve(static_cast<int32_t>(length), WorkspacePosition());
    memcpy(at, text, length);
    at[length] = 0;
}

int TextEqual(const char* a, const char* b) {
    return strcmp(a ? a : "", b ? b : "") == 0 ? 1 : 0;
}

uint32_t TextLength(const char* text) {
    return text ? static_cast<uint32_t>(strlen(text)) : 0;
}

void TextLeft(const char* text, int32_t n, uint32_t at) {
    uint32_t length = TextLength(text);
    if (n < 0) n = 0;
    uint32_t count = static_cast<uint32_t>(n) < length ? static_cast<uint32_t>(n) : length;
    Source source = sourceNote(text);
    char* out = WorkspaceReserve(static_cast<int32_t>(count), at);
    if (text && count > 0) memmove(out, sourceAddress(source), count);
    out[count] = 0;
}

void TextMid(const char* text, int32_t start, int32_t length, uint32_t at) {
    if (length < 0) length = 0;
    if (!text) {
        *WorkspaceReserve(0, at) = 0;
        return;
    }
    uint32_t total = TextLength(text);
    uint32_t skip = start > 1 ? static_cast<uint32_t>(start - 1) : 0;
    uint32_t rest = skip < total ? total - skip : 0;
    // Only what the text can give is reserved, so a huge length cannot
    // exhaust memory for a short result.
    uint32_t count = static_cast<uint32_t>(length) < rest ? static_cast<uint32_t>(length) : rest;
    Source source = sourceNote(text);
    char* out = WorkspaceReserve(static_cast<int32_t>(count), at);
    if (count > 0) memmove(out, sourceAddress(source) + skip, count);
    out[count] = 0;
}

void TextMid(const char* text, int32_t start, uint32_t at) {
    if (!text) {
        *WorkspaceReserve(0, at) = 0;
        return;
    }
    // Any start at or below 1 means the whole text.
    int64_t from = start > 1 ? start : 1;
    int64_t length = static_cast<int64_t>(TextLength(text)) - from + 1;
    TextMid(text, start, static_cast<int32_t>(length < 0 ? 0 : length), at);
}

void TextSpace(int32_t n, uint32_t at) {
    if (n < 0) n = 0;
    char* out = WorkspaceReserve(n, at);
    memset(out, ' ', static_cast<size_t>(n));
    out[n] = 0;
}
