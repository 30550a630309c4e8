// Launching a program: its command line, its window, its standard handles
// redirected into pipes on request, and the shell as a second try.
#include "toolkit/process/programs.h"
#include "toolkit/core/text.h"
#include "toolkit/process/command_line.h"
#include "toolkit/process/handle_owner.h"
#include <shellapi.h>
#include <string.h>

namespace {
// The six pipe ends a launch may make. The program's ends are closed once it
// has started; the caller's ends go into the record or are closed.
struct LaunchPipes {
    HandleOwner inputRead;    // program's
    HandleOwner inputWrite;   // caller's
    HandleOwner outputRead;   // caller's
    HandleOwner outputWrite;  // program's
    HandleOwner errorRead;    // caller's
    HandleOwner errorWrite;   // program's

    void closeAll() {
        inputRead.reset();
        inputWrite.reset();
        outputRead.reset();
        outputWrite.reset();
        errorRead.reset();
        errorWrite.reset();
    }
};

// The launch as it is being prepared: what CreateProcessA will be given.
struct Launch {
    STARTUPINFOA startup;
    DWORD creationFlags;
    BOOL inheritHandles;
};

bool pipeMake(HandleOwner& read, HandleOwner& write) {
    // Both ends start inheritable; the caller's end is made its own after.
    SECURITY_ATTRIBUTES attributes = {};
    attributes.nLength = sizeof attributes;
    attributes.lpSecurityDescriptor = nullptr;
    attributes.bInheritHandle = TRUE;
    HANDLE r = nullptr;
    HANDLE w = nullptr;
    if (!CreatePipe(&r, &w, &attributes, 0)) return false;
    read.take(r);
    write.take(w);
    return true;
}

// Swaps an end for a duplicate that child processes cannot inherit, so that
// the program sees the end of its input once the caller closes its end. A
// failed duplication keeps the inheritable end and the launch goes on.
void callerOwn(HandleOwner& end) {
    HANDLE self = GetCurrentProcess();
    HANDLE duplicate = nullptr;
    if (DuplicateHandle(self, end.get(), self, &duplicate, 0, FALSE, DUPLICATE_SAME_ACCESS))
        end.take(duplicate);
}

void redirected(Launch& launch) {
    launch.startup.dwFlags |= STARTF_USESTDHANDLES;
    launch.inheritHandles = TRUE;
    // A detached program could not use a console the pipes stand in for.
    launch.creationFlags &= ~static_cast<DWORD>(DETACHED_PROCESS);
}

void pipesPrepare(Launch& launch, LaunchPipes& pipes, int32_t flags) {
    if (!(flags & RUN_KEEP)) return;  // the caller could not reach its ends
    if ((flags & RUN_WRITE_INPUT) && pipeMake(pipes.inputRead, pipes.inputWrite)) {
        launch.startup.hStdInput = pipes.inputRead.get();
        callerOwn(pipes.inputWrite);
        redirected(launch);
    }
    if ((flags & RUN_READ_OUTPUT) && pipeMake(pipes.outputRead, pipes.outputWrite)) {
        launch.startup.hStdOutput = pipes.outputWrite.get();
        callerOwn(pipes.outputRead);
        redirected(launch);
    }
    if ((flags & RUN_READ_ERROR) && pipeMake(pipes.errorRead, pipes.errorWrite)) {
        launch.startup.hStdError = pipes.errorWrite.get();
        callerOwn(pipes.errorRead);
        redirected(launch);
    }
    if (launch.startup.dwFlags & STARTF_USESTDHANDLES) {
        // The handles not redirected are the caller's own.
        if (!launch.startup.hStdInput) launch.startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        if (!launch.startup.hStdOutput) launch.startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
        if (!launch.startup.hStdError) launch.startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    }
}

// The started program's record, or 0 when none can be made; the process
// handle and the caller's pipe ends then close with their owners.
intptr_t recordKeep(HandleOwner& process, DWORD processId, LaunchPipes* pipes) {
    ProgramRecord* record = ProgramRecordAdd();
    if (!record) return 0;
    record->process = process.release();
    record->processId = processId;
    if (pipes) {
        record->inputPipe = pipes->inputWrite.release();
        record->outputPipe = pipes->outputRead.release();
        record->errorPipe = pipes->errorRead.release();
    }
    return reinterpret_cast<intptr_t>(record);
}

// The shell opens `file`, which is the program text or the full path that a
// name was found at; a directory not given is taken from the program text.
intptr_t shellRun(const char* program, const char* file, const char* parameters,
                  const char* directory, WORD show, int32_t flags) {
    TextOwner derived;
    if (!directory[0]) {
        uint32_t at = WorkspacePosition();
        ShellDirectory(program, at);
        TextStore(derived.slot(), at);
        directory = derived.get();
    }
    SHELLEXECUTEINFOA info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    // Nothing else: the shell's own error messages are not suppressed.
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = nullptr;
    info.lpVerb = "";
    info.lpFile = file;
    info.lpParameters = parameters;
    info.lpDirectory = directory[0] ? directory : nullptr;
    info.nShow = show;
    if (!ShellExecuteExA(&info)) return 0;

    // The shell may hand back no process, as when a program already running
    // took the file; waiting on none returns at once.
    HandleOwner process(info.hProcess);
    if (flags & RUN_WAIT) WaitForSingleObject(process.get(), INFINITE);
    if (flags & RUN_KEEP) return recordKeep(process, 0xFFFFFFFF, nullptr);
    process.reset();
    return 1;
}
}  // namespace

intptr_t ProgramRun(const char* programText, const char* parametersText,
                    const char* directoryText, int32_t flags) {
    // Own copies: a caller's text may lie in the workspace, which may move.
    TextOwner program(programText);
    TextOwner parameters(parametersText);
    TextOwner directory(directoryText);

    // A name alone is started from where ProgramFind finds it, never from
    // where the system's own search or the shell's would start: this
    // program's folder and the current folder.
    TextOwner found;
    if (ProgramNameOnly(program.get())) {
        uint32_t at = WorkspacePosition();
        ProgramFind(program.get(), at);
        TextStore(found.slot(), at);
        if (!found.get()[0]) return 0;
    }
    const char* application = found.get()[0] ? found.get() : nullptr;

    Launch launch;
    memset(&launch, 0, sizeof launch);
    launch.creationFlags = NORMAL_PRIORITY_CLASS;
    launch.inheritHandles = FALSE;
    launch.startup.cb = sizeof launch.startup;
    launch.startup.dwFlags = STARTF_USESHOWWINDOW;
    if (flags & RUN_HIDDEN) {
        launch.startup.wShowWindow = SW_HIDE;
        launch.creationFlags |= DETACHED_PROCESS;
    } else {
        launch.startup.wShowWindow = SW_SHOWNORMAL;
    }

    LaunchPipes pipes;
    pipesPrepare(launch, pipes, flags);

    HeapBlockOwner line(CommandLineBuild(program.get(), parameters.get()));
    if (!line.get()) return 0;  // the pipes close with their owners

    const char* directoryOrNone = directory.get()[0] ? directory.get() : nullptr;
    PROCESS_INFORMATION started;
    memset(&started, 0, sizeof started);
    if (CreateProcessA(application, line.get(), nullptr, nullptr, launch.inheritHandles,
                       launch.creationFlags, nullptr, directoryOrNone, &launch.startup,
                       &started)) {
        HandleOwner process(started.hProcess);
        HandleOwner thread(started.hThread);
        pipes.outputWrite.reset();
        pipes.inputRead.reset();
        pipes.errorWrite.reset();
        thread.reset();
        if (flags & RUN_WAIT) WaitForSingleObject(process.get(), INFINITE);
        if (flags & RUN_KEEP) return recordKeep(process, started.dwProcessId, &pipes);
        process.reset();
        return 1;
    }

    pipes.closeAll();
    if (flags & RUN_PIPE_FLAGS) return 0;
    return shellRun(program.get(), application ? application : program.get(), parameters.get(),
                    directory.get(), launch.startup.wShowWindow, flags);
}
