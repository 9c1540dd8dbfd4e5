#include "selection/selection.h"

uint8_t g_TestSelection[SEL_COUNT];
