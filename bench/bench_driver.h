// The benchmark driver's measurements, each printing "key value..." lines.
#pragma once

// Start-up latency and peak private memory of a program, over several runs.
int LatencyRun(const char* label, const char* commandLine, const char* toolLog, int runs);

// How long CreateProcessA takes to return for a hidden, detached program.
int SpawnRun(const char* commandLine, int runs);

// How long saver mode's checks before it starts the tool take (the tool
// found, its licence, hibernation), each run in full.
int ChecksRun(int runs);

// Starts a program, says "ready" once its window shows, keeps it open for a
// number of seconds and closes it.
int HoldRun(const char* commandLine, int seconds);

// Heap calls of text expressions and pool slots of a stream of events.
int ToolkitCostsRun();
