// Base64Decode on arbitrary bytes: the vector and scalar kernels agree, and what it decodes
// encodes and decodes back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "support/base64.h"
#include "support/base64_impl.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string bytes = Base64Decode(text);
    if (bytes.size() > size / 4 * 3 + 2) std::abort();

    std::string a(size / 4 * 3 + 16, '\0'), b = a;
    std::size_t used =
        b64impl::DecodeGroupsScalar(text.data(), size, reinterpret_cast<unsigned char*>(a.data()));
    if (b64impl::SimdAvailable() &&
        (b64impl::DecodeGroupsSimd(text.data(), size, reinterpret_cast<unsigned char*>(b.data())) !=
             used ||
         a.compare(0, used / 4 * 3, b, 0, used / 4 * 3) != 0))
        std::abort();

    std::string again = Base64Encode(reinterpret_cast<const unsigned char*>(bytes.data()),
                                     static_cast<std::uint32_t>(bytes.size()));
    if (Base64Decode(again) != bytes) std::abort();
    return 0;
}
