#include "params/config_tab.h"
