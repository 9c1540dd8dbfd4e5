/* One sleep and wake cycle carried out through the driver. */
#ifndef VMT_CYCLE_H
#define VMT_CYCLE_H

#include <windows.h>
#include "cycle/judgerules.h"

/* Cycle `number`: sets the alarm o->wake seconds ahead, reads it back and,
   when it reads back as set, sends the sleep request and times it; *r gets
   what it found. */
void RunCycle(HANDLE device, const CycleOptions *o, unsigned number, CycleResult *r);

#endif
