#include "pages/rtcrules.h"
