// AES-128 in ECB mode on the mbed TLS AES module. One object serves one operation: keyed on
// construction, wiped on destruction, so no key state outlives a call or is shared by threads.
#pragma once

#include <mbedtls/aes.h>

#include <cstddef>

class CAesEcb {
public:
    static constexpr std::size_t kBlock = 16;

    CAesEcb(const unsigned char key[kBlock], bool encrypt);
    ~CAesEcb();
    CAesEcb(const CAesEcb&) = delete;
    CAesEcb& operator=(const CAesEcb&) = delete;

    // Enciphers or deciphers one 16-byte block (in and out may be the same).
    void Crypt(const unsigned char* in, unsigned char* out);

private:
    mbedtls_aes_context m_ctx;
    int m_mode;
};
