#include <security/errors.h>
#include <security/internal/rsa_key_coding.h>
#include <security/internal/wiping.h>
#include <security/rsa_encryption.h>
#include <security/rsa_envelope.h>
#include <security/rsa_keys.h>
#include <security/rsa_signature.h>

namespace tarv_sec {

std::vector<uint8_t> RsaSignAndEncrypt(const std::vector<uint8_t>& recipientPublicKeyDer,
                                       const std::vector<uint8_t>& senderPrivateKeyDer,
                                       const std::vector<uint8_t>& message)
{
    const CryptoPP::RSAFunction recipient = PublicKeyFromDer(recipientPublicKeyDer);
    const CryptoPP::InvertibleRSAFunction sender = PrivateKeyFromDer(senderPrivateKeyDer);
    std::vector<uint8_t> signature;
    SignForRecipient(recipient, sender, message, signature);
    std::vector<uint8_t> signedMessage = message;
    const WipeOnRelease wipe(signedMessage);
    signedMessage.insert(signedMessage.end(), signature.begin(), signature.end());
    std::vector<uint8_t> cipher;
    RsaEncrypt(recipient, signedMessage, cipher);
    return cipher;
}

std::vector<uint8_t> RsaDecryptAndVerify(const std::vector<uint8_t>& recipientPublicKeyDer,
                                         const std::vector<uint8_t>& recipientPrivateKeyDer,
                                         const std::vector<uint8_t>& senderPublicKeyDer,
                                         const std::vector<uint8_t>& cipher)
{
    const CryptoPP::RSAFunction recipientPublic = PublicKeyFromDer(recipientPublicKeyDer);
    const CryptoPP::InvertibleRSAFunction recipientPrivate =
        PrivateKeyFromDer(recipientPrivateKeyDer);
    const CryptoPP::RSAFunction senderPublic = PublicKeyFromDer(senderPublicKeyDer);
    // The signature is bound to the public key given here; a public key that
    // is not the decrypting key's would bind it to someone else.
    if (!ComparePublicKeys(recipientPublic, recipientPrivate)) {
        throw RsaKeyValidationFailed("Recipient public and private keys do not belong together.");
    }
    std::vector<uint8_t> plain;
    const WipeOnRelease wipe(plain);
    RsaDecrypt(recipientPrivate, cipher, plain);
    std::vector<uint8_t> message;
    if (!VerifyForRecipient(recipientPublic, senderPublic, plain, message)) {
        throw RsaVerifyFailed("Message failed RSA verification.");
    }
    return message;
}

} // namespace tarv_sec
