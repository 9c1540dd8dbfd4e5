#include "log/savename.h"
