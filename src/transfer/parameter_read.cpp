#include "transfer/parameter_read.h"
