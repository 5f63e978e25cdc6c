// Password hashing for the directory's login accounts, on libsodium's
// Argon2id (crypto_pwhash_str). Only hashes are stored, never the passwords.
//
// Passwords people choose are hashed with the interactive cost (64 MiB, a few
// passes), which makes guessing expensive. Initial passwords made by account
// generation are 128 random bits: guessing them is hopeless at any cost, so
// they get the smallest Argon2id cost, still salted, which lets 10,000
// accounts be made in seconds.
#pragma once

#include <string>

namespace filedb {

enum class HashCost { kInteractive, kRandomSecret };

// The encoded hash ("$argon2id$v=19$m=...") of password, salted afresh.
// Throws KvError* when hashing fails (out of memory).
std::string HashPassword(const std::string& password, HashCost cost);

// True when password matches the encoded hash; the comparison takes the
// same time wherever the texts differ. Anything that is not an Argon2 hash
// (an empty or hand-edited entry) never matches.
bool VerifyPassword(const std::string& encodedHash, const std::string& password);

// A new random password of 128 bits: 22 characters of URL-safe base64
// (letters, digits, '-' and '_').
std::string MakeRandomPassword();

}  // namespace filedb
