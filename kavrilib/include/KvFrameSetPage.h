// Documents made of frames, without borders or spacing between them.
#pragma once

#include "KvFrameSetStyle.h"
#include "KvWindow.h"

class KvFrameSetPage : public KvWindow {
 public:
  // rowsOrCols is the attribute number of "rows" (49) or "cols" (48).
  KvFrameSetPage(int rowsOrCols, const char* sizes);
  // style stays the caller's.
  explicit KvFrameSetPage(KvFrameSetStyle* style);
  ~KvFrameSetPage() override;

  // Adds a frame loading source (owned by the frame from now on) and returns
  // it (owned by the page). With scrolling 0 the frame never scrolls.
  Frame* AddNewFrame(Url* source, const char* name, KvBoolean scrolling);
  // The same without margins.
  Frame* AddNewFrameNoSpace(Url* source, const char* name,
                            KvBoolean scrolling);

  FrameSet* GetFrameSet() const { return frameSet; }

 protected:
  FrameSet* frameSet;

 private:
  void Init(int rowsOrCols, const char* sizes);
};

// The console's outer frame set.
class KvTopFrameSet : public KvFrameSetPage {
 public:
  explicit KvTopFrameSet(KvFrameSetStyle* style);
  ~KvTopFrameSet() override;
};

// A feature's own frame set inside the main frame.
class KvAppFrameSet : public KvFrameSetPage {
 public:
  explicit KvAppFrameSet(KvFrameSetStyle* style);
  ~KvAppFrameSet() override;
};
