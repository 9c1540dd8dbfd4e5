/* The selection table through the settings file, and the capability query
   that marks what the machine does not support. */
#ifndef VMT_SETTINGS_H
#define VMT_SETTINGS_H

#include "selection/selectionrules.h"

void LoadTestSelection(const char *fileName);
void SaveTestSelection(const char *fileName);
void QueryCapabilities(void);

#endif
