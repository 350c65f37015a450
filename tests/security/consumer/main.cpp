// Failures raised inside the installed library, each caught here by its own
// type: a handler that does not match lets the exception escape, which ends
// the program with a non-zero status.
#include <iostream>
#include <kit/errors.h>
#include <security/aes_ccm.h>
#include <security/aes_cipher_stream.h>
#include <security/errors.h>
#include <security/random_material.h>

int main(int argc, char** argv)
{
    if (argc != 2)
        return 10;
    const std::vector<uint8_t> key = tarv_sec::GenerateAesKey();
    const std::vector<uint8_t> plain{'s', 'h', 'o', 'w'};
    std::vector<uint8_t> sealed = tarv_sec::AesAuthenticateEncryptCreateIV(key, plain);
    sealed.back() ^= 1;
    try {
        (void)tarv_sec::AesAuthenticateDecryptReadIV(key, sealed);
        return 2;
    } catch (const tarv_sec::AesAuthenticationFailed& error) {
        std::cout << "caught AesAuthenticationFailed: " << error.what() << '\n';
    }
    try {
        (void)tarv_sec::AesAuthenticateDecryptReadIV(key, sealed);
    } catch (const tarv_sec::TarvSecurityError&) {
        std::cout << "caught TarvSecurityError\n";
    }
    try {
        (void)tarv_sec::AesAuthenticateDecryptToFile(
            key, tarv_sec::AesAuthenticateEncryptCreateIV(key, plain),
            "/nonexistent-folder/plain.bin");
        return 3;
    } catch (const kit::IoError& error) {
        std::cout << "caught kit::IoError: " << error.what() << '\n';
    }
    // Not a TarvSecurityError: only its own type or std::runtime_error catch it.
    try {
        try {
            tarv_sec::AesCipherStream().WriteToFile(argv[1]);
            return 5;
        } catch (const tarv_sec::TarvSecurityError&) {
            return 6;
        }
    } catch (const tarv_sec::CipherStreamWriteError& error) {
        std::cout << "caught CipherStreamWriteError: " << error.what() << '\n';
    }
    return 0;
}
