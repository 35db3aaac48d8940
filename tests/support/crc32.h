#pragma once
// The product's CRC-32, for what the stand-in installers receive (they include this file by its
// relative path and link nothing of the product).
#include "../../src/platform/crc32.h"

namespace testing_support {
using platform::crc32;
}  // namespace testing_support
