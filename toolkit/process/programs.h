// Launching external programs: the launch module's start step, the flags of
// a launch, and the record kept for a program launched with RUN_KEEP.
#pragma once
#include "toolkit/core/object_table.h"
#include <stdint.h>
#include <windows.h>

const int32_t RUN_WAIT = 1;          // wait without limit until the program ends
const int32_t RUN_HIDDEN = 2;        // SW_HIDE, and detached unless redirected
const int32_t RUN_KEEP = 4;          // return a ProgramRecord instead of 1
const int32_t RUN_READ_OUTPUT = 8;   // with RUN_KEEP: standard output into a pipe
const int32_t RUN_WRITE_INPUT = 16;  // with RUN_KEEP: standard input from a pipe
const int32_t RUN_READ_ERROR = 32;   // with RUN_KEEP: standard error into a pipe
const int32_t RUN_INPUT_FROM = 64;   // reserved: input from another kept program
// Any of these bars the shell fallback, whether or not a pipe was made.
const int32_t RUN_PIPE_FLAGS = RUN_READ_OUTPUT | RUN_WRITE_INPUT | RUN_READ_ERROR |
                               RUN_INPUT_FROM;

// Kept for a program launched with RUN_KEEP, zero-filled when made and never
// released by the toolkit: its handles live until the process ends. The pipe
// ends are the caller's own and not inheritable.
struct ProgramRecord {
    HANDLE process;       // stays open
    DWORD processId;      // 0xFFFFFFFF when the shell started the program
    HANDLE inputPipe;     // writing end of the program's standard input, or 0
    HANDLE outputPipe;    // reading end of its standard output, or 0
    HANDLE errorPipe;     // reading end of its standard error, or 0
};

// The launch module's start step: its state record (whose first field becomes
// the parameter index of ParameterNext), the launched-programs table and the
// program-list lock. Runs once, right after the text module's start.
void ProgramsStart();

// Starts a program with a parameter text, a working directory ("" for the
// caller's own) and RUN_ flags. A program named without a folder is started
// from where ProgramFind finds it, under the name as given; when it finds
// none nothing is started. 0 when it cannot be started (or, with RUN_KEEP,
// when no record can be made for it); 1 when it was started without
// RUN_KEEP; otherwise the address of its ProgramRecord.
intptr_t ProgramRun(const char* program, const char* parameters, const char* directory,
                    int32_t flags);

// 1 when the program text is a name without any folder ("psshutdown", in
// double quotes or not), which ProgramRun looks for with ProgramFind.
int ProgramNameOnly(const char* program);

// Delivers at `at` the full path of the program that a name without a folder
// stands for ("" when there is none, or the name has a folder): the first of
// name and name.exe found in the system folder, the Windows folder's System,
// the Windows folder, then the PATH's entries that are absolute. Never the
// caller's own folder nor the current folder, where anybody may have put a
// file of that name.
void ProgramFind(const char* name, uint32_t at);

// The launched-programs table (records of one field, a process handle, whose
// release closes that handle). Nothing in the toolkit enters a program into it.
ObjectTable* ProgramTable();

// Adds a zero-filled record at the head of the program list under the
// program-list lock; null when it cannot be allocated.
ProgramRecord* ProgramRecordAdd();
