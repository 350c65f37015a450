// Each failure is raised inside the installed library and must be caught here
// by its own type; a handler for the wrong type would let it escape, which
// ends the program with a non-zero status.
#include <crypto++/cryptlib.h>
#include <cstdlib>
#include <iostream>
#include <kit/errors.h>
#include <security/aes_ccm.h>
#include <security/errors.h>
#include <security/random_material.h>
#include <string>

namespace {

int g_failures = 0;

void Expect(bool ok, const std::string& what)
{
    if (!ok) {
        std::cerr << "FAILED: " << what << '\n';
        ++g_failures;
    }
}

} // namespace

int main()
{
    const std::vector<uint8_t> key = tarv_sec::GenerateAesKey();
    const std::vector<uint8_t> plain{'s', 'h', 'o', 'w'};
    std::vector<uint8_t> sealed = tarv_sec::AesAuthenticateEncryptCreateIV(key, plain);
    Expect(tarv_sec::AesAuthenticateDecryptReadIV(key, sealed) == plain, "round trip");

    sealed.back() ^= 1;
    try {
        (void)tarv_sec::AesAuthenticateDecryptReadIV(key, sealed);
        Expect(false, "tampered blob opened");
    } catch (const tarv_sec::AesAuthenticationFailed& error) {
        Expect(std::string(error.what()) == "Unable to authenticate.", "authentication message");
    }
    try {
        (void)tarv_sec::AesAuthenticateDecryptReadIV(key, sealed);
    } catch (const tarv_sec::TarvSecurityError&) {
    }

    const std::string unwritable = "/nonexistent-folder/plain.bin";
    try {
        (void)tarv_sec::AesAuthenticateDecryptToFile(
            key, tarv_sec::AesAuthenticateEncryptCreateIV(key, plain), unwritable);
        Expect(false, "unwritable path accepted");
    } catch (const kit::IoError& error) {
        Expect(std::string(error.what()) == "Unable to write to " + unwritable, "io message");
    }
    try {
        (void)tarv_sec::AesAuthenticateDecryptToFile(
            key, tarv_sec::AesAuthenticateEncryptCreateIV(key, plain), unwritable);
    } catch (const kit::RuntimeError&) {
    }

    try {
        (void)tarv_sec::AesAuthenticateEncrypt(key, std::vector<uint8_t>(6), plain);
        Expect(false, "six-byte nonce accepted");
    } catch (const CryptoPP::InvalidArgument&) {
    }
    try {
        (void)tarv_sec::CreateRandomBytes(0);
        Expect(false, "zero random bytes accepted");
    } catch (const std::out_of_range&) {
    }

    if (g_failures == 0)
        std::cout << "all errors caught by type\n";
    return g_failures == 0 ? EXIT_SUCCESS : EXIT_FAILURE;
}
