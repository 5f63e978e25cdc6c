// Replacing a shared file so that readers only ever see the old or the new
// version whole: the new text goes to a temporary file in the same folder,
// which is flushed, synced and closed with every step checked, given the old
// file's permission bits and then renamed over the old file.
#pragma once

#include <cstdio>
#include <functional>

// Writes path through write(). REQUIRES: the caller holds the exclusive lock
// guarding path. When backupPath is given, the previous version (if any)
// becomes backupPath first (best effort). Throws KvError* naming path and the
// system's error text; the old file is then left as it was and no temporary
// file remains.
void KvReplaceFile(const char* path, const std::function<void(FILE*)>& write,
                   const char* backupPath = nullptr);
