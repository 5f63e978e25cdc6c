// A body element of ten lines of blanks after its text: enough filler for a
// browser or proxy to start showing a streamed page at once.
#pragma once

#include "HTMLObject.h"

class CacheBuster : public HTMLObject {
 public:
  // Keeps text and adds the ten lines of filler as plain-text children.
  explicit CacheBuster(const char* text = nullptr);
  // Adds only the child, no filler.
  explicit CacheBuster(HTMLObject* child);
  ~CacheBuster() override;
};
