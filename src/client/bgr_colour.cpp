// (header-only; keeps the library non-empty before its windows land)
#include "bgr_colour.h"
