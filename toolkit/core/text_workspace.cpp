// The text heap, the shared workspace in which every text result is built, and
// the text variables that own copies of finished results.
#include "toolkit/core/text.h"
#include "toolkit/core/program_heap.h"
#include <string.h>
#include <windows.h>

namespace {
struct Workspace {
    HANDLE heap;
    char* base;
    uint32_t position;
    uint32_t capacity;
};
Workspace g_ws = {};

// Texts are bounded well below 2 GiB so that 32-bit offsets never wrap.
const uint64_t WORKSPACE_LIMIT = 0x7FFF0000u;

char* blockResize(char* block, size_t size) {
    void* got = block ? HeapReAlloc(g_ws.heap, 0, block, size)
                      : HeapAlloc(g_ws.heap, 0, size);
    if (!got) MemoryExhausted();
    return static_cast<char*>(got);
}

// Copies length bytes of text into the variable's block, taking care of a
// source that lies inside the very block being resized.
void variableFill(TextVar* variable, const char* text, size_t length) {
    char* old = *variable;
    size_t inside = SIZE_MAX;
    if (old && text >= old && text <= old + strlen(old)) inside = text - old;
    char* block = blockResize(old, length + 5);
    const char* source = inside != SIZE_MAX ? block + inside : text;
    memmove(block, source, length);
    block[length] = 0;
    *variable = block;
}
}  // namespace

void TextStart() {
    g_ws.heap = HeapCreate(0, 4096, 0);
    if (!g_ws.heap) MemoryExhausted();
    g_ws.position = 0;
    g_ws.capacity = 16;
    g_ws.base = static_cast<char*>(HeapAlloc(g_ws.heap, 0, 16));
    if (!g_ws.base) MemoryExhausted();
    g_ws.base[0] = 0;
}

void TextEnd() {
    if (!g_ws.heap) return;
    HeapFree(g_ws.heap, 0, g_ws.base);
    HeapDestroy(g_ws.heap);  // frees every variable's block at once
    g_ws = Workspace{};
}

char* WorkspaceReserve(int32_t n, uint32_t at) {
    if (n < 0) n = 0;
    // An offset beyond the position would otherwise write past the block.
    uint64_t from = at > g_ws.position ? at : g_ws.position;
    uint64_t needed = from + static_cast<uint64_t>(n);
    if (needed + 16384 > WORKSPACE_LIMIT) MemoryExhausted();
    if (needed + 4 >= g_ws.capacity) {
        uint32_t capacity = static_cast<uint32_t>(needed) + 16384;
        g_ws.base = blockResize(g_ws.base, capacity + 5);
        g_ws.capacity = capacity;
    }
    g_ws.position = at + static_cast<uint32_t>(n);
    return g_ws.base + at;
}

void WorkspaceGiveBack(uint32_t k) {
    g_ws.position = k > g_ws.position ? 0 : g_ws.position - k;
}

uint32_t WorkspacePosition() { return g_ws.position; }

void WorkspacePositionSet(uint32_t offset) { g_ws.position = offset; }

char* WorkspaceAt(uint32_t offset) { return g_ws.base + offset; }

uint32_t WorkspaceCapacity() { return g_ws.capacity; }

void TextAssign(TextVar* variable, const char* text) {
    if (!text) {
        TextRelease(*variable);
        *variable = nullptr;
        return;
    }
    variableFill(variable, text, strlen(text));
}

void TextInit(TextVar* variable, const char* text) {
    *variable = nullptr;
    if (text) variableFill(variable, text, strlen(text));
}

void TextStore(TextVar* variable, uint32_t saved) {
    uint32_t length = g_ws.position >= saved ? g_ws.position - saved : 0;
    char* block = blockResize(*variable, static_cast<size_t>(length) + 5);
    memcpy(block, g_ws.base + saved, length);
    block[length] = 0;
    *variable = block;
    g_ws.position = saved;
}

void TextRelease(char* block) {
    if (block) HeapFree(g_ws.heap, 0, block);
}
