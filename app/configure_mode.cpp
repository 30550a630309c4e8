// Configuration mode: let the user set the hibernate delay.
#include "app/modes.h"
#include "app/globals.h"

void ConfigureModeRun() {
}
