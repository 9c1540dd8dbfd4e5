/* The Thermal Control page's rules that need no window. */
#ifndef VMT_THERMALRULES_H
#define VMT_THERMALRULES_H
#endif
