// Saver mode: schedule the hibernation, then offer to cancel it.
#include "app/modes.h"
#include "app/globals.h"

void SaverModeRun() {
}
