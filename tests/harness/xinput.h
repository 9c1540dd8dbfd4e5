/* Real input: key presses on the test display as X events (xdotool, through
   the XTEST extension), delivered by the X server and the window manager to
   whichever window has the keyboard focus, as an operator's keyboard would.
   Needs xdotool and, for the focus to follow new windows, a window manager. */
#ifndef VMT_HARNESS_XINPUT_H
#define VMT_HARNESS_XINPUT_H

#include "tests/harness/common.h"

namespace bb {

/* Presses keys and key combinations in turn, by xdotool's names separated
   by spaces: "alt+t s", "Return", "ctrl+Tab", "space", "alt+F4". */
void XKeys(const std::string &keys);
/* Types the text one character at a time. */
void XType(const std::string &text);

/* The window that has the keyboard focus in the thread of hwnd (NULL when
   none of its windows has it). */
HWND FocusOf(HWND hwnd);
/* Waits until the top-level window is the foreground window, the one that
   receives the keys. */
void WaitForForeground(HWND hwnd, DWORD timeoutMs = kTimeout);

}  // namespace bb

#endif
