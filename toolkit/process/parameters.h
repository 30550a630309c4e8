// The process's own command-line parameters, one per call, in order.
#pragma once
#include <stdint.h>

// Delivers the next parameter into the text workspace at `at`, "" when none
// is left; the index advances only when a parameter is delivered.
void ParameterNext(uint32_t at);

// The scanner behind ParameterNext, over any command line and index.
void ParameterScan(const char* line, int32_t* index, uint32_t at);

// The process-wide parameter index (0 is the first parameter after the path).
int32_t* ParameterIndex();

// Moves the index to a new home (the launch module's state record), carrying
// its value over; ParameterIndex() points there from then on.
void ParameterIndexPlace(int32_t* place);
