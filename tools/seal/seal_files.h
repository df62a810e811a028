// Sealing and opening single files, for the sealing tool and the reference web service.
#pragma once

#include <string>

namespace seal {

// Seals the file `in` under `keyText` into `out` (replaced atomically); false with a reason.
bool SealFile(const std::string& in, const std::string& out, const std::string& keyText,
              std::string& error);

// Opens the sealed file `in` under `keyText`; false with a reason ("not a Base64 text",
// "CRC mismatch (wrong key text or damaged file)", ...).
bool OpenFile(const std::string& in, const std::string& keyText, std::string& payload,
              std::string& error);

}  // namespace seal
