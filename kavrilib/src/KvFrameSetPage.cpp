// Frame-set documents without borders or spacing.
#include "KvFrameSetPage.h"

KvFrameSetPage::KvFrameSetPage(int rowsOrCols, const char* sizes)
    : KvWindow(), frameSet(nullptr) {
  Init(rowsOrCols, sizes);
}

KvFrameSetPage::KvFrameSetPage(KvFrameSetStyle* style)
    : KvWindow(), frameSet(nullptr) {
  Init(style ? style->GetRowOrCol() : kAttrRows,
       style ? style->GetDimensions() : nullptr);
}

void KvFrameSetPage::Init(int rowsOrCols, const char* sizes) {
  frameSet = new FrameSet();
  addObject(frameSet);
  frameSet->addAttribute(rowsOrCols, sizes);
  frameSet->addAttribute(kAttrBorder, "0");
  frameSet->addAttribute(kAttrFrameborder, "0");
  frameSet->addAttribute(kAttrFramespacing, "0");
}

KvFrameSetPage::~KvFrameSetPage() = default;

Frame* KvFrameSetPage::AddNewFrame(Url* source, const char* name,
                                   KvBoolean scrolling) {
  Frame* frame = new Frame();
  frameSet->addObject(frame);
  if (scrolling == 0) frame->addAttribute(kAttrScrolling, "no");
  frame->addAttribute(kAttrSrc, static_cast<HTMLObject*>(source));
  frame->addAttribute(kAttrName, name);
  frame->addAttribute(kAttrBorder, "0");
  return frame;
}

Frame* KvFrameSetPage::AddNewFrameNoSpace(Url* source, const char* name,
                                          KvBoolean scrolling) {
  Frame* frame = AddNewFrame(source, name, scrolling);
  frame->addAttribute(kAttrMarginwidth, "0");
  frame->addAttribute(kAttrMarginheight, "0");
  return frame;
}

KvTopFrameSet::KvTopFrameSet(KvFrameSetStyle* style) : KvFrameSetPage(style) {}
KvTopFrameSet::~KvTopFrameSet() = default;

KvAppFrameSet::KvAppFrameSet(KvFrameSetStyle* style) : KvFrameSetPage(style) {}
KvAppFrameSet::~KvAppFrameSet() = default;
