/* Pictures of the program's windows for the documentation. */
#ifndef VMT_HARNESS_PICTURES_H
#define VMT_HARNESS_PICTURES_H

#include "tests/harness/common.h"

namespace bb {

/* Saves what the screen shows of a window as a PNG file beside the
   program's bin folder (build/ARCH/screenshots/<name>), with ImageMagick's
   import on the test display; returns when the file is complete. */
void SaveScreenshot(HWND hwnd, const std::string &name);
/* The same, as a desktop shows a top-level window: with the frame that the
   window manager draws around it (import -frame on the window's X window). */
void SaveFramedScreenshot(HWND hwnd, const std::string &name);

}  // namespace bb

#endif
