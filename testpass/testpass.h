/* The four steps of the Start command, each owning its boxes by hwnd. */
#ifndef VMT_TESTPASS_H
#define VMT_TESTPASS_H

#include <windows.h>

void RunProcessorStateTests(HWND hwnd);
void RunSystemStateTests(HWND hwnd);
void RunFanTests(HWND hwnd);
void RunThrottleTests(HWND hwnd);

#endif
