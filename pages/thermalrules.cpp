#include "pages/thermalrules.h"
