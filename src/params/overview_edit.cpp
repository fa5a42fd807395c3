#include "params/overview_edit.h"
