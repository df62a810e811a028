// json::jobject::parse on any text: it returns or throws its own exceptions, never crashes or
// reads past the terminating zero; every value it keeps is a whole value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "net/json.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Exactly the bytes plus the terminator, so ASan sees any read beyond it.
    char* text = static_cast<char*>(std::malloc(size + 1));
    std::memcpy(text, data, size);
    text[size] = '\0';
    try {
        json::jobject o = json::jobject::parse(text);
        for (const auto& [key, value] : o.entries()) {
            json::reader r;
            std::size_t i = 0;
            while (i < value.size() && r.push(value[i]) != json::reader::REJECTED) ++i;
            if (i != value.size() || !r.is_valid()) std::abort();  // a value cut short
            if (!o.is_array() && !o.has_key(key)) std::abort();
        }
    } catch (const json::parsing_error&) {
    } catch (const json::invalid_key&) {
    }
    std::free(text);
    return 0;
}
