#pragma once

#include "transfer/parameter_read.h"

#include <QString>

namespace tunekit {

// The message of a detection that got no ConfigID (the text holds a CR LF).
QString deviceNotDetectedText();
QString deviceNotDetectedTitle();

} // namespace tunekit
