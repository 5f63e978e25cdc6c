// Signing and checking of the session cookies with the installation's secret
// key (HMAC-SHA-256, libsodium).
#include "KvSession.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

const char kKvSessionSigCookie[] = "KavriSessionSig";
const char kKvSessionKeyPath[] = "../../../config/session.key";
const char kKvSessionSigAttributes[] = " HttpOnly; SameSite=Strict;";

namespace {

constexpr size_t kKeySize = crypto_auth_hmacsha256_KEYBYTES;  // 32
constexpr size_t kMacSize = crypto_auth_hmacsha256_BYTES;     // 32

unsigned char gKey[kKeySize];
bool gKeyLoaded = false;

String SystemError(const char* what, const std::string& path) {
  return String(what) + path.c_str() + " - " + strerror(errno);
}

// Reads exactly kKeySize bytes from path into key; false when the file is
// missing or does not hold a key of that size.
bool ReadKeyFile(const std::string& path, unsigned char* key) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return false;
    KV_THROW(SystemError("Unable to open the session key ", path));
  }
  unsigned char buf[kKeySize + 1];
  size_t got = 0;
  while (got < sizeof buf) {
    ssize_t n = read(fd, buf + got, sizeof buf - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  close(fd);
  if (got != kKeySize) return false;
  memcpy(key, buf, kKeySize);
  sodium_memzero(buf, sizeof buf);
  return true;
}

// REQUIRES: the key file's lock is held exclusively. Writes a new random key
// through a temporary file renamed over path.
void CreateKeyFile(const std::string& path, unsigned char* key) {
  randombytes_buf(key, kKeySize);
  std::string tmp = path + ".tmp";
  int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) KV_THROW(SystemError("Unable to create the session key ", tmp));
  bool ok = fchmod(fd, 0600) == 0;
  size_t done = 0;
  while (ok && done < kKeySize) {
    ssize_t n = write(fd, key + done, kKeySize - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (ok) ok = fsync(fd) == 0;
  if (close(fd) != 0) ok = false;
  if (!ok || rename(tmp.c_str(), path.c_str()) != 0) {
    String message = SystemError("Unable to write the session key ", path);
    unlink(tmp.c_str());
    KV_THROW(message);
  }
}

const unsigned char* SessionKey() {
  if (gKeyLoaded) return gKey;
  if (sodium_init() < 0) KV_THROW("Unable to initialise the cryptographic library");
  std::string path = kKvSessionKeyPath;
  std::string lockPath = path + ".lck";
  try {
    bool found;
    {
      KvLockGuard shared(lockPath.c_str(), kKvLockShared);
      found = ReadKeyFile(path, gKey);
    }
    if (!found) {
      KvLockGuard exclusive(lockPath.c_str(), kKvLockExclusive);
      // Another process may have created it between the two locks.
      if (!ReadKeyFile(path, gKey)) CreateKeyFile(path, gKey);
    }
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Unable to read or create the session key");
    throw;
  }
  gKeyLoaded = true;
  return gKey;
}

void AppendField(std::string& out, const char* text) {
  if (!text) text = "";
  out += std::to_string(strlen(text));
  out += ':';
  out += text;
  out += '\n';
}

void ComputeMac(unsigned char* mac, const char* uid, const char* expiry,
                KvBoolean isWebmaster, KvBoolean isDrovakLogin) {
  // Lengths before texts, so that no two states share a message.
  std::string message = "v1\n";
  AppendField(message, uid);
  AppendField(message, expiry);
  message += isWebmaster == 1 ? '1' : '0';
  message += isDrovakLogin == 1 ? '1' : '0';
  crypto_auth_hmacsha256(mac,
                         reinterpret_cast<const unsigned char*>(message.data()),
                         message.size(), SessionKey());
}

}  // namespace

std::string KvSessionSign(const char* uid, const char* expiry,
                          KvBoolean isWebmaster, KvBoolean isDrovakLogin) {
  unsigned char mac[kMacSize];
  ComputeMac(mac, uid, expiry, isWebmaster, isDrovakLogin);
  char hex[kMacSize * 2 + 1];
  sodium_bin2hex(hex, sizeof hex, mac, sizeof mac);
  return hex;
}

KvBoolean KvSessionVerify(const char* signature, const char* uid,
                          const char* expiry, KvBoolean isWebmaster,
                          KvBoolean isDrovakLogin) {
  if (!signature || strlen(signature) != kMacSize * 2) return false;
  unsigned char given[kMacSize];
  size_t len = 0;
  if (sodium_hex2bin(given, sizeof given, signature, kMacSize * 2, nullptr,
                     &len, nullptr) != 0 ||
      len != kMacSize)
    return false;
  unsigned char mac[kMacSize];
  ComputeMac(mac, uid, expiry, isWebmaster, isDrovakLogin);
  return sodium_memcmp(mac, given, kMacSize) == 0;
}

void KvSessionForgetKey() {
  sodium_memzero(gKey, sizeof gKey);
  gKeyLoaded = false;
}
