#include "log/logrules.h"

LogLook LogLookForLevel(int level)
{
    switch (level) {
    case LOG_ERROR:   return { LOOK_BOLD, true, 0x000000FFu };            /* bold red */
    case LOG_SKIPPED: return { LOOK_BOLD, true, 0x00FF7F00u };            /* bold blue */
    case LOG_BANNER:  return { LOOK_BOLD | LOOK_AUTOCOLOR, false, 0 };    /* bold, system colour */
    default:          return { LOOK_AUTOCOLOR, false, 0 };                /* regular */
    }
}
