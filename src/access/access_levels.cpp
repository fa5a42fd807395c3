#include "access/access_levels.h"
