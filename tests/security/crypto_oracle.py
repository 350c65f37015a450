#!/usr/bin/python3
"""Independent reference for the security library's interoperability test.

Reads one request per line from standard input and answers each with one line:
  seal <key> <plain>          -> hex of nonce(12) || ciphertext || tag(16)
  open <key> <blob> <plain>   -> "ok", "mismatch" or "invalid"
  pbkdf2 <password> <salt>    -> hex of PBKDF2-HMAC-SHA-256, 100000 rounds, 64 bytes
Every argument is hex; "-" stands for an empty byte string.
"""
import hashlib
import os
import sys

from cryptography.exceptions import InvalidTag
from cryptography.hazmat.primitives.ciphers.aead import AESCCM


def unhex(text):
    return b"" if text == "-" else bytes.fromhex(text)


def answer(words):
    command, args = words[0], [unhex(w) for w in words[1:]]
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
    if command == "pbkdf2":
        password, salt = args
        return hashlib.pbkdf2_hmac("sha256", password, salt, 100000, 64).hex()
    raise ValueError("unknown request " + command)


for line in sys.stdin:
    print(answer(line.split()), flush=True)
