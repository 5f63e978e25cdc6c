// The description of an application as its name/value list file gives it.
#pragma once

#include "utillib.h"

// A description of an application read from a name/value list file. Each
// field is an owned copy of its key's value, or null when the key is absent.
class KavriApplicationInfo {
 public:
  // Reads path (a missing file gives all fields null). Throws KvError* on a
  // read error.
  explicit KavriApplicationInfo(const char* path);
  ~KavriApplicationInfo();
  KavriApplicationInfo(const KavriApplicationInfo&) = delete;
  KavriApplicationInfo& operator=(const KavriApplicationInfo&) = delete;

  char* version;      // "VERSION"
  char* id;           // "ID"
  char* description;  // "DESCRIPTION"
  char* program;      // "PROGRAM"
  char* navbarGif;    // "NAVBAR_GIF"
  char* navbarGifDir; // "NAVBAR_GIFDIR"
};
