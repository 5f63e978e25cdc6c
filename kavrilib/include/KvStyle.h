// The named look of the console: the colours and background images of its
// frames, the sizes of its frame sets and the sub-directory of its images.
// A request handler holds one; pages take their page or frame-set style
// from it, and its name is the style name passed down at emission.
#pragma once

#include "KvFrameSetStyle.h"
#include "KvPageStyle.h"
#include "utillib.h"

// Where a style's background images live, relative to the program.
extern const char kKvStyleBackgroundDir[];  // "../../../config/style"

class KvStyle {
 public:
  // The built-in style has id -1 and no name, title or image directory.
  explicit KvStyle(int id);
  // Id 0; the name is copied as name and image directory; a null title
  // takes a copy of the name.
  KvStyle(const char* name, const char* title);
  KvStyle(int id, const char* name, const char* title);
  ~KvStyle();
  KvStyle(const KvStyle&) = delete;
  KvStyle& operator=(const KvStyle&) = delete;

  // (Re)creates the fifteen style objects with their defaults.
  void InitColors();
  // Applies a style's settings (frame sizes, colours, background images);
  // keys that are absent keep their defaults. Null is ignored.
  void InitFromList(ValNameList* settings);
  // Path of an image of this style; a new string the caller frees with
  // free().
  char* GetGifPath(const char* image) const;

  int GetId() const { return id; }
  // Owned by the style; null for the built-in style.
  const char* GetName() const { return name; }
  const char* GetTitle() const { return title; }
  const char* GetImageDir() const { return imageDir; }

  // The style objects stay owned by this style and live as long as it.
  KvFrameSetStyle* GetUpperFrameSetStyle() const { return upperFrameSet; }
  KvFrameSetStyle* GetLogoFrameSetStyle() const { return logoFrameSet; }
  KvPageStyle* GetLogoPageStyle() const { return logoPage; }
  KvPageStyle* GetUpperPageStyle() const { return upperPage; }
  KvFrameSetStyle* GetSecondUpperFrameSetStyle() const { return secondUpperFrameSet; }
  KvFrameSetStyle* GetSecondLogoFrameSetStyle() const { return secondLogoFrameSet; }
  KvPageStyle* GetSecondLogoPageStyle() const { return secondLogoPage; }
  KvPageStyle* GetSecondUpperPageStyle() const { return secondUpperPage; }
  KvFrameSetStyle* GetLowerFrameSetStyle() const { return lowerFrameSet; }
  KvPageStyle* GetLowerPageStyle() const { return lowerPage; }
  KvPageStyle* GetMainPageStyle() const { return mainPage; }
  KvFrameSetStyle* GetSelectorFrameSetStyle() const { return selectorFrameSet; }
  KvPageStyle* GetSelectorPageStyle() const { return selectorPage; }
  KvFrameSetStyle* GetHelpFrameSetStyle() const { return helpFrameSet; }
  KvPageStyle* GetHelpPageStyle() const { return helpPage; }

 private:
  void Init(int id, const char* name, const char* title);
  void DeleteStyles();

  int id;
  char* name;
  char* title;
  char* imageDir;
  KvFrameSetStyle* upperFrameSet = nullptr;
  KvFrameSetStyle* logoFrameSet = nullptr;
  KvPageStyle* logoPage = nullptr;
  KvPageStyle* upperPage = nullptr;
  KvFrameSetStyle* secondUpperFrameSet = nullptr;
  KvFrameSetStyle* secondLogoFrameSet = nullptr;
  KvPageStyle* secondLogoPage = nullptr;
  KvPageStyle* secondUpperPage = nullptr;
  KvFrameSetStyle* lowerFrameSet = nullptr;
  KvPageStyle* lowerPage = nullptr;
  KvPageStyle* mainPage = nullptr;
  KvFrameSetStyle* selectorFrameSet = nullptr;
  KvPageStyle* selectorPage = nullptr;
  KvFrameSetStyle* helpFrameSet = nullptr;
  KvPageStyle* helpPage = nullptr;
};
