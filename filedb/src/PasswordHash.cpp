// Argon2id password hashes and random initial passwords (libsodium).
#include "PasswordHash.h"

#include <sodium.h>

#include <cstring>

#include "utillib.h"

namespace filedb {
namespace {

void InitSodium() {
  if (sodium_init() < 0) KV_THROW("Unable to initialise the cryptographic library");
}

}  // namespace

std::string HashPassword(const std::string& password, HashCost cost) {
  InitSodium();
  unsigned long long ops = crypto_pwhash_OPSLIMIT_INTERACTIVE;
  size_t mem = crypto_pwhash_MEMLIMIT_INTERACTIVE;
  if (cost == HashCost::kRandomSecret) {
    ops = crypto_pwhash_OPSLIMIT_MIN;
    mem = crypto_pwhash_MEMLIMIT_MIN;
  }
  char out[crypto_pwhash_STRBYTES];
  if (crypto_pwhash_str_alg(out, password.data(), password.size(), ops, mem,
                            crypto_pwhash_ALG_ARGON2ID13) != 0) {
    KV_THROW("Unable to hash a password (out of memory)");
  }
  return std::string(out);
}

bool VerifyPassword(const std::string& encodedHash, const std::string& password) {
  InitSodium();
  if (encodedHash.compare(0, 7, "$argon2") != 0) return false;
  if (encodedHash.size() >= crypto_pwhash_STRBYTES) return false;
  return crypto_pwhash_str_verify(encodedHash.c_str(), password.data(),
                                  password.size()) == 0;
}

std::string MakeRandomPassword() {
  InitSodium();
  unsigned char bytes[16];
  randombytes_buf(bytes, sizeof bytes);
  char text[sodium_base64_ENCODED_LEN(sizeof bytes,
                                      sodium_base64_VARIANT_URLSAFE_NO_PADDING)];
  sodium_bin2base64(text, sizeof text, bytes, sizeof bytes,
                    sodium_base64_VARIANT_URLSAFE_NO_PADDING);
  sodium_memzero(bytes, sizeof bytes);
  return std::string(text);
}

}  // namespace filedb
