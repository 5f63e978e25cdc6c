// Signature of the session cookies. The session lives only in the browser's
// cookies; this installation vouches for them with an HMAC-SHA-256 over the
// uid, the expiry time and the two login flags, keyed with a secret that is
// created once per installation and never leaves the server.
#pragma once

#include <string>

#include "utillib.h"

// Name of the cookie that carries the signature.
extern const char kKvSessionSigCookie[];  // "KavriSessionSig"
// The installation's secret, relative to the program's directory, and its lock.
extern const char kKvSessionKeyPath[];  // "../../../config/session.key"

// Text appended to the cookie's CommonOutput text so that scripts of the page
// cannot read the signature and other sites cannot send it.
extern const char kKvSessionSigAttributes[];  // " HttpOnly; SameSite=Strict;"

// The signature (64 lower-case hexadecimal digits) of one session state.
// uid and expiry are the cookie texts as written; a null counts as "".
// Reads the key, creating it (32 random bytes, mode 0600, under the key
// file's ".lck" lock) on first need. Throws KvError* when the key can be
// neither read nor created.
std::string KvSessionSign(const char* uid, const char* expiry,
                          KvBoolean isWebmaster, KvBoolean isDrovakLogin);

// True when signature is the signature of the state; compared in constant
// time. A null or malformed signature is false. Throws like KvSessionSign.
KvBoolean KvSessionVerify(const char* signature, const char* uid,
                          const char* expiry, KvBoolean isWebmaster,
                          KvBoolean isDrovakLogin);

// Forgets the key read by this process, so that the next use reads the file
// again (for tests that replace the installation).
void KvSessionForgetKey();
