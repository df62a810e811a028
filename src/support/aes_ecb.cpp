#include "support/aes_ecb.h"

CAesEcb::CAesEcb(const unsigned char key[kBlock], bool encrypt)
    : m_mode(encrypt ? MBEDTLS_AES_ENCRYPT : MBEDTLS_AES_DECRYPT) {
    mbedtls_aes_init(&m_ctx);
    if (encrypt)
        mbedtls_aes_setkey_enc(&m_ctx, key, 128);
    else
        mbedtls_aes_setkey_dec(&m_ctx, key, 128);
}

CAesEcb::~CAesEcb() {
    mbedtls_aes_free(&m_ctx);
}

void CAesEcb::Crypt(const unsigned char* in, unsigned char* out) {
    mbedtls_aes_crypt_ecb(&m_ctx, m_mode, in, out);
}
