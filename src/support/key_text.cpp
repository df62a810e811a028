#include "support/key_text.h"

#include "support/crc_util.h"

std::string Crc64KeyText(const std::string& text) {
    std::uint64_t crc =
        CCrcUtil::GetInstance()->Crc64(reinterpret_cast<const unsigned char*>(text.data()),
                                       static_cast<std::uint32_t>(text.size()));
    return std::to_string(crc);
}
