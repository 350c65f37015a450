#!/usr/bin/python3
"""Independent reference for the security library's interoperability test.

One request per line on standard input, one answer line each; arguments are
hex, "-" being the empty string:
  seal <key> <plain>          -> nonce(12) || ciphertext || tag(16)
  open <key> <blob> <plain>   -> "ok", "mismatch" or "invalid"
  pbkdf2 <password> <salt>    -> PBKDF2-HMAC-SHA-256, 100000 rounds, 64 bytes
"""
import hashlib
import os
import sys

from cryptography.exceptions import InvalidTag
from cryptography.hazmat.primitives.ciphers.aead import AESCCM


def answer(command, *args):
    if command == "seal":
        key, plain = args
        nonce = os.urandom(12)
        return (nonce + AESCCM(key, tag_length=16).encrypt(nonce, plain, None)).hex()
    if command == "open":
        key, blob, plain = args
        try:
            opened = AESCCM(key, tag_length=16).decrypt(blob[:12], blob[12:], None)
        except InvalidTag:
            return "invalid"
        return "ok" if opened == plain else "mismatch"
    password, salt = args
    return hashlib.pbkdf2_hmac("sha256", password, salt, 100000, 64).hex()


for line in sys.stdin:
    command, *words = line.split()
    print(answer(command, *(b"" if w == "-" else bytes.fromhex(w) for w in words)), flush=True)
