// Small text helpers shared by the toolkit's sources (private).
#pragma once

#include <cstdlib>
#include <cstring>

namespace kavri_toolkit {

// Heap copy of s (caller frees with free()), or null for null.
inline char* DupOrNull(const char* s) { return s ? strdup(s) : nullptr; }

// Replaces *slot with a heap copy of s.
inline void ReplaceCopy(char** slot, const char* s) {
  char* copy = DupOrNull(s);
  free(*slot);
  *slot = copy;
}

// s, or "" for null.
inline const char* OrEmpty(const char* s) { return s ? s : ""; }

}  // namespace kavri_toolkit
