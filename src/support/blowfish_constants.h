// The standard Blowfish initial P-array and S-boxes (the digits of pi), constant data.
#pragma once

#include <cstdint>

extern const std::uint32_t kBlowfishP[18];
extern const std::uint32_t kBlowfishS[4 * 256];
