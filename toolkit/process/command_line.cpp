// The command line of a launch and the shell's fallback directory, built
// without any quoting or escaping beyond the one pair around the program.
#include "toolkit/process/command_line.h"
#include "toolkit/core/program_heap.h"
#include "toolkit/core/text.h"
#include <string.h>

HeapBlockOwner::~HeapBlockOwner() {
    if (block_) HeapFree(ProgramHeap(), 0, block_);
}

char* CommandLineBuild(const char* program, const char* parameters) {
    if (!program) program = "";
    if (!parameters) parameters = "";
    size_t programLength = strlen(program);
    size_t parametersLength = strlen(parameters);
    size_t size = programLength + parametersLength + 4;
    // Lengths near the address-space size would wrap the sum.
    if (size < programLength || size < parametersLength) return nullptr;
    char* line = static_cast<char*>(HeapAlloc(ProgramHeap(), 0, size));
    if (!line) return nullptr;

    char* p = line;
    if (program[0] == '"') {
        memcpy(p, program, programLength);
        p += programLength;
    } else {
        *p++ = '"';
        memcpy(p, program, programLength);
        p += programLength;
        *p++ = '"';
    }
    if (parametersLength) {
        *p++ = ' ';
        memcpy(p, parameters, parametersLength);
        p += parametersLength;
    }
    *p = 0;
    return line;
}

void ShellDirectory(const char* program, uint32_t at) {
    const char* slash = program ? strrchr(program, '\\') : nullptr;
    int32_t count = 0;
    // A lone leading backslash names the root of the current drive, which the
    // shell is left to find on its own.
    if (slash && slash != program) count = static_cast<int32_t>(slash - program) + 1;
    TextLeft(program, count, at);
}
