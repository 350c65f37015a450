#include <crypto++/filters.h>
#include <crypto++/osrng.h>
#include <crypto++/sha.h>
#include <security/internal/rsa_key_coding.h>
#include <security/internal/wiping.h>
#include <security/rsa_signature.h>
#include <string>

namespace tarv_sec {

namespace {

using Signer = CryptoPP::RSASS<CryptoPP::PKCS1v15, CryptoPP::SHA256>::Signer;
using Verifier = CryptoPP::RSASS<CryptoPP::PKCS1v15, CryptoPP::SHA256>::Verifier;

std::vector<uint8_t> Joined(const std::vector<uint8_t>& head, const std::vector<uint8_t>& tail)
{
    std::vector<uint8_t> joined;
    joined.reserve(head.size() + tail.size());
    joined.insert(joined.end(), head.begin(), head.end());
    joined.insert(joined.end(), tail.begin(), tail.end());
    return joined;
}

} // namespace

void SignMessage(const CryptoPP::InvertibleRSAFunction& key, const std::vector<uint8_t>& message,
                 std::vector<uint8_t>& out)
{
    const Signer signer(key);
    std::vector<uint8_t> signature(signer.MaxSignatureLength());
    CryptoPP::AutoSeededRandomPool rng;
    CryptoPP::ArraySink* sink = new CryptoPP::ArraySink(signature.data(), signature.size());
    CryptoPP::StringSource source(message.data(), message.size(), true,
                                  new CryptoPP::SignerFilter(rng, signer, sink));
    signature.resize(static_cast<std::size_t>(sink->TotalPutLength()));
    out = std::move(signature);
}

std::vector<uint8_t> SignMessage(const CryptoPP::InvertibleRSAFunction& key,
                                 const std::vector<uint8_t>& message)
{
    std::vector<uint8_t> signature;
    SignMessage(key, message, signature);
    return signature;
}

bool VerifyMessage(const CryptoPP::RSAFunction& key, const std::vector<uint8_t>& signedMessage,
                   std::vector<uint8_t>& out)
{
    const Verifier verifier(key);
    // Without a whole signature at the end there is nothing to check; the
    // filter would otherwise be handed a short signature.
    if (signedMessage.size() < verifier.SignatureLength()) {
        return false;
    }
    // Room for all of it at once: growing would free copies of the message,
    // which may be decrypted plaintext, unwiped.
    std::string message;
    message.reserve(signedMessage.size());
    const WipeOnRelease wipe(message);
    try {
        CryptoPP::StringSource source(
            signedMessage.data(), signedMessage.size(), true,
            new CryptoPP::SignatureVerificationFilter(
                verifier, new CryptoPP::StringSink(message),
                CryptoPP::SignatureVerificationFilter::PUT_MESSAGE |
                    CryptoPP::SignatureVerificationFilter::THROW_EXCEPTION));
    } catch (const CryptoPP::SignatureVerificationFilter::SignatureVerificationFailed&) {
        return false;
    }
    out.insert(out.end(), message.begin(), message.end());
    return true;
}

bool VerifyMessage(const CryptoPP::RSAFunction& key, const std::vector<uint8_t>& message,
                   const std::vector<uint8_t>& signature, std::vector<uint8_t>& out)
{
    // A signature of the wrong length would shift bytes between the message
    // and the signature once the two are joined.
    if (signature.size() != Verifier(key).SignatureLength()) {
        return false;
    }
    std::vector<uint8_t> signedMessage = Joined(message, signature);
    const WipeOnRelease wipe(signedMessage);
    return VerifyMessage(key, signedMessage, out);
}

void SignForRecipient(const CryptoPP::RSAFunction& recipientKey,
                      const CryptoPP::InvertibleRSAFunction& senderKey,
                      const std::vector<uint8_t>& message, std::vector<uint8_t>& out)
{
    std::vector<uint8_t> signedData = Joined(PublicKeyToDer(recipientKey), message);
    const WipeOnRelease wipe(signedData);
    SignMessage(senderKey, signedData, out);
}

bool VerifyForRecipient(const CryptoPP::RSAFunction& recipientKey,
                        const CryptoPP::RSAFunction& senderKey,
                        const std::vector<uint8_t>& signedMessage, std::vector<uint8_t>& out)
{
    if (signedMessage.size() < Verifier(senderKey).SignatureLength()) {
        return false;
    }
    const std::vector<uint8_t> der = PublicKeyToDer(recipientKey);
    std::vector<uint8_t> boundMessage = Joined(der, signedMessage);
    std::vector<uint8_t> verified;
    const WipeOnRelease wipeBound(boundMessage);
    const WipeOnRelease wipeVerified(verified);
    if (!VerifyMessage(senderKey, boundMessage, verified)) {
        return false;
    }
    out.assign(verified.begin() + static_cast<std::ptrdiff_t>(der.size()), verified.end());
    return true;
}

bool VerifyForRecipient(const CryptoPP::RSAFunction& recipientKey,
                        const CryptoPP::RSAFunction& senderKey, const std::vector<uint8_t>& message,
                        const std::vector<uint8_t>& signature, std::vector<uint8_t>& out)
{
    if (signature.size() != Verifier(senderKey).SignatureLength()) {
        return false;
    }
    std::vector<uint8_t> signedMessage = Joined(message, signature);
    const WipeOnRelease wipe(signedMessage);
    return VerifyForRecipient(recipientKey, senderKey, signedMessage, out);
}

} // namespace tarv_sec
