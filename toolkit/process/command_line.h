// The pieces of a launch that are pure text: the command line handed to the
// system, and the directory the shell is given when the caller named none.
#pragma once
#include <stdint.h>
#include <windows.h>

// The command line in a writable block of exactly strlen(program) +
// strlen(parameters) + 4 bytes from the program heap: the program in double
// quotes (unchanged when it already begins with one), then one blank and the
// parameters when there are any. Null when the block cannot be had, so that
// no program is ever started with a partial line.
char* CommandLineBuild(const char* program, const char* parameters);

// The owner of a block from the program heap, freed on every way out.
class HeapBlockOwner {
public:
    explicit HeapBlockOwner(void* block) noexcept : block_(block) {}
    HeapBlockOwner(const HeapBlockOwner&) = delete;
    HeapBlockOwner& operator=(const HeapBlockOwner&) = delete;
    ~HeapBlockOwner();
    char* get() const noexcept { return static_cast<char*>(block_); }
private:
    void* block_;
};

// Delivers into the text workspace at `at` the program text up to and
// including its last backslash, or "" when it has none or only as its first
// character (C:\tools\run.exe gives C:\tools\, \run.exe gives "").
void ShellDirectory(const char* program, uint32_t at);
