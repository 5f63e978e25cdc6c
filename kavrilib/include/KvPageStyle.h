// The look of one page: its background colour and background image.
#pragma once

class KvPageStyle {
 public:
  // Both texts are copied; either may be null.
  KvPageStyle(const char* colour, const char* image);
  ~KvPageStyle();
  KvPageStyle(const KvPageStyle&) = delete;
  KvPageStyle& operator=(const KvPageStyle&) = delete;

  // Each replaces its text with a copy (null clears it).
  void SetBgColor(const char* colour);
  void SetBgGif(const char* image);

  // Owned by this style; null when unset.
  const char* GetBgColor() const { return bgColor; }
  const char* GetBgGif() const { return bgGif; }

 private:
  char* bgColor;
  char* bgGif;
};
