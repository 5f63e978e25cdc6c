// The element family: each class fixes its tag and switches off the output
// flags it does not use.
#include "HTMLElements.h"

#include "commonlib.h"

namespace {

// Output flags an element switches off.
enum : unsigned {
  kNone = 0,
  kNoURLs = 1u << 0,
  kNoEnhance = 1u << 1,
  kNoEscape = 1u << 2,
  kNoStartLine = 1u << 3,
  kNoEndLine = 1u << 4,
  kChildNoURLs = 1u << 5,  // the child-taking constructor too
};

void SwitchOff(HTMLObject* o, unsigned flags) {
  if (flags & kNoURLs) o->SetActivateURLs(0);
  if (flags & kNoEnhance) o->DontEnhance(0);
  if (flags & kNoEscape) o->DontEscape(0);
  if (flags & kNoStartLine) o->StartOnNewLine(0);
  if (flags & kNoEndLine) o->EndOnNewLine(0);
}

}  // namespace

#define HTMLLIB_DEFINE_ELEMENT(Name, Tag, Flags)                    \
  Name::Name(const char* text) : HTMLObject(Tag, text) {            \
    SwitchOff(this, Flags);                                         \
  }                                                                 \
  Name::Name(HTMLObject* child) : HTMLObject(Tag) {                 \
    SwitchOff(this, Flags);                                         \
    if ((Flags) & kChildNoURLs)                                     \
      addChildWithoutURLs(child);                                   \
    else                                                            \
      addObject(child);                                             \
  }                                                                 \
  Name::~Name() {}

HTMLLIB_DEFINE_ELEMENT(Head, kTagHead, kNoURLs | kChildNoURLs)
HTMLLIB_DEFINE_ELEMENT(Body, kTagBody, kNoURLs)
HTMLLIB_DEFINE_ELEMENT(Title, kTagTitle,
                       kNoURLs | kNoEnhance | kNoEndLine | kChildNoURLs)
HTMLLIB_DEFINE_ELEMENT(Link, kTagLink, kNoURLs | kNoEnhance | kChildNoURLs)
HTMLLIB_DEFINE_ELEMENT(Address, kTagAddress, kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(BlockQuote, kTagBlockQuote, kNone)
HTMLLIB_DEFINE_ELEMENT(Form, kTagForm, kNoURLs)
HTMLLIB_DEFINE_ELEMENT(H1, kTagH1, kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(H2, kTagH2, kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(H3, kTagH3, kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(H4, kTagH4, kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(H5, kTagH5, kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(H6, kTagH6, kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(Hr, kTagHr, kNoURLs)
HTMLLIB_DEFINE_ELEMENT(Dl, kTagDl, kNone)
HTMLLIB_DEFINE_ELEMENT(Dt, kTagDt, kNone)
HTMLLIB_DEFINE_ELEMENT(Dd, kTagDd, kNone)
HTMLLIB_DEFINE_ELEMENT(Ol, kTagOl, kNone)
HTMLLIB_DEFINE_ELEMENT(Li, kTagLi, kNone)
HTMLLIB_DEFINE_ELEMENT(Dir, kTagDir, kNone)
HTMLLIB_DEFINE_ELEMENT(Menu, kTagMenu, kNone)
HTMLLIB_DEFINE_ELEMENT(P, kTagP, kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(TableData, kTagTableData, kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(TableHeading, kTagTableHeading, kNone)
HTMLLIB_DEFINE_ELEMENT(TableRow, kTagTableRow, kNone)
HTMLLIB_DEFINE_ELEMENT(Table, kTagTable, kNone)
HTMLLIB_DEFINE_ELEMENT(A, kTagA, kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(Img, kTagImg, kNoURLs | kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(Center, kTagCenter, kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(I, kTagI, kNoStartLine | kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(Br, kTagBr, kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(Select, kTagSelect, kNoURLs | kNoEnhance)
HTMLLIB_DEFINE_ELEMENT(Option, kTagOption, kNoURLs | kNoEnhance | kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(Input, kTagInput, kNoURLs | kNoEnhance | kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(Applet, kTagApplet, kNoURLs)
HTMLLIB_DEFINE_ELEMENT(FrameSet, kTagFrameSet, kNoURLs)
HTMLLIB_DEFINE_ELEMENT(Param, kTagParam, kNoURLs | kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(Frame, kTagFrame, kNoURLs | kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(Script, kTagScript, kNoURLs | kNoEnhance | kNoEscape)
HTMLLIB_DEFINE_ELEMENT(Font, kTagFont, kNoStartLine | kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(B, kTagB, kNoStartLine | kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(NoBR, kTagNoBR, kNoURLs | kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(Strong, kTagStrong, kNone)
HTMLLIB_DEFINE_ELEMENT(TextArea, kTagTextArea,
                       kNoURLs | kNoEnhance | kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(BaseFont, kTagBaseFont, kNoStartLine | kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(Spacer, kTagSpacer, kNoEndLine)
HTMLLIB_DEFINE_ELEMENT(Ul, kTagUl, kNone)
HTMLLIB_DEFINE_ELEMENT(Pre, kTagPre, kNoURLs | kNoEnhance | kChildNoURLs)

#undef HTMLLIB_DEFINE_ELEMENT

void Pre::emit(RequestInfo* req, int indent, int lineBreaks,
               const char* styleName) {
  emitStartFlag(req, indent, lineBreaks, styleName);
  if (text && *text) req->Write(text);
  if (firstChild) firstChild->emit(req, indent + 2, 0, styleName);
  emitEndFlag(req, indent, 0);
  if (nextObject) nextObject->emit(req, indent, lineBreaks, styleName);
}
