// The probe child of the launch tests and its report, and the launch module
// brought up once for the test program.
#pragma once
#include "support/child.h"
#include "toolkit/process/programs.h"
#include <map>
#include <sstream>
#include <string>

// The launch module started, and the test program's folder on the PATH: a
// program started by name is looked for there, never beside its starter.
inline void ProgramsUp() {
    static bool up = false;
    if (up) return;
    up = true;
    ProgramsStart();
    char path[32768] = {};
    GetEnvironmentVariableA("PATH", path, sizeof path);
    SetEnvironmentVariableA("PATH", (TestBinDir() + ";" + path).c_str());
}

inline std::string ProbePath() { return TestBinDir() + "launch_probe.exe"; }

inline std::string probeReportPath() { return TestBinDir() + "launch_probe_report.txt"; }

// Points LAUNCH_PROBE_REPORT at a report file that does not exist yet.
inline void ProbeReportUse() {
    SetEnvironmentVariableA("LAUNCH_PROBE_REPORT", probeReportPath().c_str());
    DeleteFileA(probeReportPath().c_str());
}

// The report's key=value lines once complete, waited for up to the limit;
// empty when none came.
inline std::map<std::string, std::string> ProbeReportWait(DWORD timeoutMs) {
    std::map<std::string, std::string> report;
    for (DWORD begin = GetTickCount(); GetTickCount() - begin < timeoutMs; Sleep(20)) {
        std::string text = FileText(probeReportPath());
        if (text.find("end\n") == std::string::npos) continue;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);)
            if (line.find('=') != std::string::npos)
                report[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
        break;
    }
    return report;
}
