// The benchmark driver: one measurement per call, chosen by its first word.
//   bench_driver latency LABEL RUNS TOOL_LOG|- COMMAND_LINE
//   bench_driver spawn RUNS COMMAND_LINE
//   bench_driver checks RUNS
//   bench_driver hold SECONDS COMMAND_LINE
//   bench_driver toolkit
#include "bench_driver.h"
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

int main(int argc, char** argv) {
    if (argc == 6 && strcmp(argv[1], "latency") == 0)
        return LatencyRun(argv[2], argv[5], strcmp(argv[4], "-") ? argv[4] : nullptr,
                          atoi(argv[3]));
    if (argc == 4 && strcmp(argv[1], "spawn") == 0) return SpawnRun(argv[3], atoi(argv[2]));
    if (argc == 3 && strcmp(argv[1], "checks") == 0) return ChecksRun(atoi(argv[2]));
    if (argc == 4 && strcmp(argv[1], "hold") == 0) return HoldRun(argv[3], atoi(argv[2]));
    if (argc == 2 && strcmp(argv[1], "toolkit") == 0) return ToolkitCostsRun();
    fprintf(stderr, "usage: bench_driver latency|spawn|checks|hold|toolkit ...\n");
    return 2;
}
