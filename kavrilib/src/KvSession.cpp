// Signing and checking of the session cookies with the installation's secret
// key (HMAC-SHA-256, libsodium), and the server's records of the sessions.
#include "KvSession.h"

#include <fcntl.h>
#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

const char kKvSessionSigCookie[] = "KavriSessionSig";
const char kKvSessionKeyPath[] = "../../../config/session.key";
const char kKvSessionSigAttributes[] = " HttpOnly; SameSite=Strict;";
const char kKvSessionStorePath[] = "../../../config/sessions.lst";

namespace {

constexpr size_t kKeySize = crypto_auth_hmacsha256_KEYBYTES;  // 32
constexpr size_t kMacSize = crypto_auth_hmacsha256_BYTES;     // 32
constexpr size_t kIdSize = 16;                                // 128 bits

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

void ComputeMac(unsigned char* mac, const std::string& id, const char* uid,
                const char* expiry, KvBoolean isWebmaster,
                KvBoolean isDrovakLogin) {
  // Lengths before texts, so that no two states share a message.
  std::string message = "v2\n";
  AppendField(message, id.c_str());
  AppendField(message, uid);
  AppendField(message, expiry);
  message += isWebmaster == 1 ? '1' : '0';
  message += isDrovakLogin == 1 ? '1' : '0';
  crypto_auth_hmacsha256(mac,
                         reinterpret_cast<const unsigned char*>(message.data()),
                         message.size(), SessionKey());
}

// The record of one session.
struct Record {
  std::string id;
  long long created = 0;
  long long lastUsed = 0;
  std::string uid;
};

std::string LockPath() { return std::string(kKvSessionStorePath) + ".lck"; }

// REQUIRES: the store's lock is held. A missing file holds no records;
// lines that do not parse are left out.
std::vector<Record> ReadRecords() {
  std::vector<Record> records;
  // stdio rather than a stream: a stream would set up the C++ locale, which
  // costs a page that checks a session more than the reading itself.
  FILE* in = fopen(kKvSessionStorePath, "re");
  if (in == nullptr) return records;
  char* line = nullptr;
  size_t capacity = 0;
  ssize_t got;
  while ((got = getline(&line, &capacity, in)) >= 0) {
    std::string text(line, static_cast<size_t>(got));
    if (!text.empty() && text.back() == '\n') text.pop_back();
    // "<id> <created> <last use> <uid>"
    const char* p = text.c_str();
    while (isspace(static_cast<unsigned char>(*p))) ++p;
    const char* idEnd = p;
    while (*idEnd != '\0' && !isspace(static_cast<unsigned char>(*idEnd))) ++idEnd;
    Record r;
    r.id.assign(p, static_cast<size_t>(idEnd - p));
    char* end = nullptr;
    errno = 0;
    r.created = strtoll(idEnd, &end, 10);
    if (end == idEnd || errno != 0) continue;
    const char* next = end;
    r.lastUsed = strtoll(next, &end, 10);
    if (end == next || errno != 0) continue;
    if (*end != '\0') r.uid.assign(end + 1);  // after the blank before it
    if (r.id.size() != kIdSize * 2 || r.uid.empty()) continue;
    records.push_back(r);
  }
  free(line);
  fclose(in);
  return records;
}

// REQUIRES: the store's lock is held exclusively. Replaces the file through
// a temporary file renamed over it.
void WriteRecords(const std::vector<Record>& records) {
  std::string text;
  for (const Record& r : records)
    text += r.id + " " + std::to_string(r.created) + " " +
            std::to_string(r.lastUsed) + " " + r.uid + "\n";
  std::string path = kKvSessionStorePath;
  std::string tmp = path + ".tmp";
  int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) KV_THROW(SystemError("Unable to write the session records ", tmp));
  bool ok = fchmod(fd, 0600) == 0;
  size_t done = 0;
  while (ok && done < text.size()) {
    ssize_t n = write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (close(fd) != 0) ok = false;
  if (!ok || rename(tmp.c_str(), path.c_str()) != 0) {
    String message = SystemError("Unable to write the session records ", path);
    unlink(tmp.c_str());
    KV_THROW(message);
  }
}

bool Expired(const Record& r, const KvSessionLimits& limits) {
  long long now = limits.now;
  if (limits.lifetime > 0 && now - r.created >= limits.lifetime) return true;
  // The last use is written once a minute at most: it may lag that much.
  return limits.idle > 0 &&
         now - r.lastUsed > limits.idle + kKvSessionTouchInterval;
}

// Removes the records for which drop is true, under the exclusive lock; the
// number removed.
template <class Pred>
int RemoveRecords(Pred drop) {
  try {
    KvLockGuard lock(LockPath().c_str(), kKvLockExclusive);
    std::vector<Record> records = ReadRecords();
    std::vector<Record> kept;
    for (const Record& r : records)
      if (!drop(r)) kept.push_back(r);
    int removed = static_cast<int>(records.size() - kept.size());
    if (removed > 0) WriteRecords(kept);
    return removed;
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Unable to remove session records");
    throw;
  }
}

}  // namespace

std::string KvSessionSign(const char* id, const char* uid, const char* expiry,
                          KvBoolean isWebmaster, KvBoolean isDrovakLogin) {
  std::string sessionId = id ? id : "";
  unsigned char mac[kMacSize];
  ComputeMac(mac, sessionId, uid, expiry, isWebmaster, isDrovakLogin);
  char hex[kMacSize * 2 + 1];
  sodium_bin2hex(hex, sizeof hex, mac, sizeof mac);
  return sessionId + "." + hex;
}

std::string KvSessionIdOf(const char* value) {
  const char* dot = value ? strchr(value, '.') : nullptr;
  return dot ? std::string(value, dot) : std::string();
}

KvBoolean KvSessionVerify(const char* value, const char* uid,
                          const char* expiry, KvBoolean isWebmaster,
                          KvBoolean isDrovakLogin) {
  const char* dot = value ? strchr(value, '.') : nullptr;
  if (!dot) return false;
  std::string id(value, dot);
  const char* signature = dot + 1;
  if (strlen(signature) != kMacSize * 2) return false;
  unsigned char given[kMacSize];
  size_t len = 0;
  if (sodium_hex2bin(given, sizeof given, signature, kMacSize * 2, nullptr,
                     &len, nullptr) != 0 ||
      len != kMacSize)
    return false;
  unsigned char mac[kMacSize];
  ComputeMac(mac, id, uid, expiry, isWebmaster, isDrovakLogin);
  return sodium_memcmp(mac, given, kMacSize) == 0;
}

std::string KvSessionStart(const char* uid, const KvSessionLimits& limits) {
  if (sodium_init() < 0) KV_THROW("Unable to initialise the cryptographic library");
  unsigned char raw[kIdSize];
  randombytes_buf(raw, sizeof raw);
  char hex[kIdSize * 2 + 1];
  sodium_bin2hex(hex, sizeof hex, raw, sizeof raw);
  Record fresh;
  fresh.id = hex;
  fresh.created = fresh.lastUsed = limits.now;
  // One record is one line.
  for (const char* p = uid ? uid : ""; *p; ++p)
    fresh.uid += (*p == '\n' || *p == '\r') ? '?' : *p;
  try {
    KvLockGuard lock(LockPath().c_str(), kKvLockExclusive);
    std::vector<Record> kept;
    for (const Record& r : ReadRecords())
      if (!Expired(r, limits)) kept.push_back(r);
    kept.push_back(fresh);
    WriteRecords(kept);
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Unable to record the new session");
    throw;
  }
  return fresh.id;
}

KvBoolean KvSessionAlive(const char* id, const char* uid,
                         const KvSessionLimits& limits) {
  if (!id || !uid || strlen(id) != kIdSize * 2) return false;
  auto find = [&](std::vector<Record>& records) -> Record* {
    for (Record& r : records)
      if (r.id == id) return r.uid == uid && !Expired(r, limits) ? &r : nullptr;
    return nullptr;
  };
  try {
    {
      KvLockGuard lock(LockPath().c_str(), kKvLockShared);
      std::vector<Record> records = ReadRecords();
      Record* r = find(records);
      if (!r) return false;
      if (limits.now - r->lastUsed < kKvSessionTouchInterval) return true;
    }
    KvLockGuard lock(LockPath().c_str(), kKvLockExclusive);
    // Read again: the record may have gone between the two locks.
    std::vector<Record> records = ReadRecords();
    Record* r = find(records);
    if (!r) return false;
    r->lastUsed = limits.now;
    WriteRecords(records);
    return true;
  } catch (KvError* e) {
    KV_ADD_LINE(e, "Unable to check the session record");
    throw;
  }
}

int KvSessionEnd(const char* id) {
  if (!id || !*id) return 0;
  return RemoveRecords([&](const Record& r) { return r.id == id; });
}

int KvSessionEndUser(const char* uid) {
  if (!uid || !*uid) return 0;
  return RemoveRecords([&](const Record& r) { return r.uid == uid; });
}

void KvSessionForgetKey() {
  sodium_memzero(gKey, sizeof gKey);
  gKeyLoaded = false;
}
