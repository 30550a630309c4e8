// The calling thread's other windows while a requester is open: taken out of
// input and out of the topmost band, then put back exactly as they were found.
#pragma once

// Records every visible top-level window of the calling thread, disables those
// that are enabled (the foreground window excepted) and un-topmosts them.
void ThreadWindowsSuspend();

// Undoes what the suspension changed for the calling thread's windows and
// forgets them; windows recorded by other threads stay recorded.
void ThreadWindowsRestore();
