#include "transfer/download_response.h"
