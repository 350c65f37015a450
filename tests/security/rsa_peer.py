"""The other side of the RSA interoperability tests, built on python3-cryptography.

Usage: rsa_peer.py sign PRIVATE MESSAGE OUT
       rsa_peer.py encrypt PUBLIC PLAIN OUT
       rsa_peer.py decrypt PRIVATE CIPHER OUT
       rsa_peer.py envelope RECIPIENT_PUBLIC SENDER_PRIVATE MESSAGE OUT
Keys are DER files (PKCS #8 private, X.509 public).
"""
import sys

from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import padding

OAEP = padding.OAEP(mgf=padding.MGF1(algorithm=hashes.SHA1()), algorithm=hashes.SHA1(), label=None)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def private_key(path):
    return serialization.load_der_private_key(read(path), password=None)


def public_key(path):
    return serialization.load_der_public_key(read(path))


def sign(key, message):
    return key.sign(message, padding.PKCS1v15(), hashes.SHA256())


def encrypt(key, plain):
    piece = key.key_size // 8 - 2 * 20 - 2
    return b"".join(key.encrypt(plain[i:i + piece], OAEP) for i in range(0, len(plain), piece))


def decrypt(key, cipher):
    block = key.key_size // 8
    return b"".join(key.decrypt(cipher[i:i + block], OAEP) for i in range(0, len(cipher), block))


def main(args):
    command, *paths = args
    if command == "sign":
        result = sign(private_key(paths[0]), read(paths[1]))
    elif command == "encrypt":
        result = encrypt(public_key(paths[0]), read(paths[1]))
    elif command == "decrypt":
        result = decrypt(private_key(paths[0]), read(paths[1]))
    elif command == "envelope":
        recipient = public_key(paths[0])
        der = recipient.public_bytes(serialization.Encoding.DER,
                                     serialization.PublicFormat.SubjectPublicKeyInfo)
        message = read(paths[2])
        signature = sign(private_key(paths[1]), der + message)
        result = encrypt(recipient, message + signature)
    else:
        raise SystemExit("unknown command " + command)
    with open(paths[-1], "wb") as f:
        f.write(result)


if __name__ == "__main__":
    main(sys.argv[1:])
