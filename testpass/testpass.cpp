/* The test pass: Win32 side. */
#include "app/veruvez.h"

void RunProcessorStateTests(HWND hwnd) { (void)hwnd; }
void RunSystemStateTests(HWND hwnd) { (void)hwnd; }
void RunFanTests(HWND hwnd) { (void)hwnd; }
void RunThrottleTests(HWND hwnd) { (void)hwnd; }
