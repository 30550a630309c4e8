// The program's modes, chosen by the first parameter's first two characters.
#pragma once

void SaverModeRun();      // "/s": schedule hibernation, then the cancel window
void HibernateSchedule(); // saver mode's first half: start the tool with the delay
void CancelWindowRun();   // saver mode's second half: offer to abort it
void ConfigureModeRun();  // "/c": let the user set the delay
