// Images of the console. A named image takes its source from the name of
// the page's style at emission: a style image lives under
// "images/<style>/", a common image under "../../common/bin/images/<style>/",
// each as "<name>.gif". With a null style name the style directory is left
// out. GifSrc() makes the name the whole source path instead.
#pragma once

#include "htmllib.h"

class KvImage : public Img {
 public:
  // A null name gives an image without attributes.
  explicit KvImage(const char* name);
  KvImage(const char* name, int width, int height);
  // The image takes ownership of source.
  explicit KvImage(Url* source);
  ~KvImage() override;

  // Use the name as the whole source path.
  void GifSrc();

  // Adds the "src" of a named image for this emission only.
  void emit(RequestInfo* req, int indent, int lineBreaks,
            const char* styleName) override;

  const char* GetName() const { return imageName; }

 protected:
  // The source path of a named image; empty when there is no name.
  virtual String SourcePath(const char* styleName) const;
  // Unlinks and deletes the attribute added for one emission.
  void RemoveEmissionSource(HTMLAttribute* src);

  char* imageName;  // owned; null when the image was given a Url
  KvBoolean fullPath;
};

class KvCommonImage : public KvImage {
 public:
  explicit KvCommonImage(const char* name);
  KvCommonImage(const char* name, int width, int height);
  explicit KvCommonImage(Url* source);
  ~KvCommonImage() override;

 protected:
  String SourcePath(const char* styleName) const override;
};

// The common blank image, stretched to width x height (0 counts as 1).
class KvSpacer : public KvCommonImage {
 public:
  KvSpacer(int width, int height);
  ~KvSpacer() override;
};
