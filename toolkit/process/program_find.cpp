// Where a program started by name alone is looked for: the system folder,
// the Windows folder's System, the Windows folder and the PATH's absolute
// entries, in that order. Never the launching program's own folder nor the
// current folder, which the system's own search takes first: a screen saver
// may run from the Downloads folder, where any web page can leave a file.
#include "toolkit/process/programs.h"
#include "toolkit/core/text.h"
#include "toolkit/process/command_line.h"
#include "toolkit/core/program_heap.h"
#include <string.h>

namespace {
// Three folders of up to MAX_PATH each, "\System" and the separators.
const size_t FOLDERS_SIZE = 3 * MAX_PATH + 16;

// A drive and its root (C:\...) or a network share (\\server\...). A PATH
// entry of any other form (".", "tools", "C:tools", "\tools") is taken from
// the current folder or drive, and so brings the current folder back.
bool absoluteFolder(const char* entry, size_t length) {
    if (length >= 3 && entry[1] == ':' && (entry[2] == '\\' || entry[2] == '/')) return true;
    return length >= 2 && entry[0] == '\\' && entry[1] == '\\';
}

// Appends a folder, a tail and the list's separator; a folder the system
// could not name (0) or that did not fit (MAX_PATH or more) is left out.
char* folderAppend(char* at, const char* folder, UINT length, const char* tail) {
    if (length == 0 || length >= MAX_PATH) return at;
    memcpy(at, folder, length);
    at += length;
    size_t tailLength = strlen(tail);
    memcpy(at, tail, tailLength);
    at += tailLength;
    *at++ = ';';
    return at;
}

// The PATH's absolute entries, each followed by the separator.
char* pathAppend(char* at, const char* path) {
    while (*path) {
        const char* end = strchr(path, ';');
        size_t length = end ? static_cast<size_t>(end - path) : strlen(path);
        if (absoluteFolder(path, length)) {
            memcpy(at, path, length);
            at += length;
            *at++ = ';';
        }
        path += length;
        if (*path) ++path;
    }
    return at;
}
}  // namespace

int ProgramNameOnly(const char* program) {
    if (!program || !program[0]) return 0;
    if (program[0] == '"') ++program;
    return strpbrk(program, "\\/:") == nullptr;
}

void ProgramFind(const char* nameText, uint32_t at) {
    TextLeft("", 0, at);
    if (!ProgramNameOnly(nameText)) return;
    // The name alone, without the double quotes it may be given in.
    char name[MAX_PATH];
    const char* from = nameText[0] == '"' ? nameText + 1 : nameText;
    size_t nameLength = strcspn(from, "\"");
    if (nameLength >= MAX_PATH) return;
    memcpy(name, from, nameLength);
    name[nameLength] = 0;

    DWORD pathSize = GetEnvironmentVariableA("PATH", nullptr, 0);
    HeapBlockOwner path(HeapAlloc(ProgramHeap(), 0, pathSize + 1));
    HeapBlockOwner list(HeapAlloc(ProgramHeap(), 0, FOLDERS_SIZE + pathSize + 1));
    if (!path.get() || !list.get()) return;
    // PATH may be missing or have grown since it was measured.
    DWORD got = pathSize ? GetEnvironmentVariableA("PATH", path.get(), pathSize) : 0;
    if (got >= pathSize) got = 0;
    path.get()[got] = 0;

    char folder[MAX_PATH];
    char* end = list.get();
    end = folderAppend(end, folder, GetSystemDirectoryA(folder, MAX_PATH), "");
    // The Windows folder all users share, also under a terminal server.
    UINT windows = GetSystemWindowsDirectoryA(folder, MAX_PATH);
    end = folderAppend(end, folder, windows, "\\System");
    end = folderAppend(end, folder, windows, "");
    end = pathAppend(end, path.get());
    *end = 0;

    char found[MAX_PATH];
    DWORD length = SearchPathA(list.get(), name, ".exe", MAX_PATH, found, nullptr);
    if (length > 0 && length < MAX_PATH) TextLeft(found, static_cast<int32_t>(length), at);
}
