// Sessions. The browser carries the session in its cookies; this
// installation vouches for them with an HMAC-SHA-256 over the session id, the
// uid, the expiry time and the two login flags, keyed with a secret that is
// created once per installation and never leaves the server. The server also
// keeps one record per session (id, uid, created, last used), so that a
// logout, a removed administrator or the absolute lifetime ends it whatever
// cookies the browser still holds.
#pragma once

#include <ctime>
#include <string>

#include "utillib.h"

// Name of the cookie that carries the signature.
extern const char kKvSessionSigCookie[];  // "KavriSessionSig"
// The installation's secret, relative to the program's directory, and its lock.
extern const char kKvSessionKeyPath[];  // "../../../config/session.key"

// Text appended to the cookie's CommonOutput text so that scripts of the page
// cannot read the signature and other sites cannot send it.
extern const char kKvSessionSigAttributes[];  // " HttpOnly; SameSite=Strict;"

// The value of the signature cookie for one session state: the session id,
// "." and the signature (64 lower-case hexadecimal digits). uid and expiry are
// the cookie texts as written; a null counts as "". Reads the key, creating
// it (32 random bytes, mode 0600, under the key file's ".lck" lock) on first
// need. Throws KvError* when the key can be neither read nor created.
std::string KvSessionSign(const char* id, const char* uid, const char* expiry,
                          KvBoolean isWebmaster, KvBoolean isDrovakLogin);

// True when value is the signature cookie of the state; compared in constant
// time. A null or malformed value is false. Throws like KvSessionSign.
KvBoolean KvSessionVerify(const char* value, const char* uid,
                          const char* expiry, KvBoolean isWebmaster,
                          KvBoolean isDrovakLogin);

// The session id a signature cookie carries ("" when it carries none).
std::string KvSessionIdOf(const char* value);

// ---- The session records ----

// The record file, relative to the program's directory, locked with its
// path + ".lck". One line per session: id, created, last used, uid.
extern const char kKvSessionStorePath[];  // "../../../config/sessions.lst"
// "maxSessionLifetime" when absent or not a number: 12 hours.
constexpr long kKvDefaultSessionLifetime = 12L * 60 * 60;
// The last use is written at most this often (seconds).
constexpr long kKvSessionTouchInterval = 60;

// The rules a record is judged by at time now: idle is the idle time-out
// and lifetime the absolute one, both in seconds; 0 or less switches one off.
struct KvSessionLimits {
  time_t now;
  long idle;
  long lifetime;
};

// Records a new session of uid (a random 128-bit id from libsodium, as 32
// hexadecimal digits, which it returns) and drops the records that have
// expired. Throws KvError* when the records cannot be written.
std::string KvSessionStart(const char* uid, const KvSessionLimits& limits);
// True when the record of id exists, belongs to uid and has expired by
// neither limit; then its last use becomes now when the recorded one is at
// least kKvSessionTouchInterval old. Throws KvError*.
KvBoolean KvSessionAlive(const char* id, const char* uid,
                         const KvSessionLimits& limits);
// Removes the record of id; the number removed (0 or 1). Throws KvError*.
int KvSessionEnd(const char* id);
// Removes every record of uid; the number removed. Throws KvError*.
int KvSessionEndUser(const char* uid);

// Forgets the key read by this process, so that the next use reads the file
// again (for tests that replace the installation).
void KvSessionForgetKey();
