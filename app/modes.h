// The program's modes, chosen by the first parameter's first two characters
// in either case; Windows names a window of its own after "/c" and "/p".
#pragma once
#include <windows.h>

void SaverModeRun();      // "/s": schedule hibernation, then the cancel window
void HibernateSchedule(); // saver mode's first half: start the tool with the delay
void CancelWindowRun();   // saver mode's second half: offer to abort it
void ConfigureModeRun(HWND owner);  // "/c" or none: let the user set the delay
void PreviewModeRun(HWND parent);   // "/p": show in parent whether the saver would hibernate
