#include "transfer/device_detection.h"
