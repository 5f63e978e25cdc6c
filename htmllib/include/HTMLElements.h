// The element family of the HTML object model: one small class per HTML
// element, each fixing its tag and the output flags that differ from the
// defaults of HTMLObject. Every class has the same two constructors: one
// taking a text (copied; may be null) and one taking a first child (may be
// null; the element takes ownership unless the child is already attached).
#pragma once

#include "HTMLObject.h"

#define HTMLLIB_DECLARE_ELEMENT(Name)               \
  class Name : public HTMLObject {                  \
   public:                                          \
    explicit Name(const char* text = nullptr);      \
    explicit Name(HTMLObject* child);               \
    ~Name() override;                               \
  };

// The child-taking constructors of Head, Title, Link and Pre also switch the
// child's URL activation off.
HTMLLIB_DECLARE_ELEMENT(Head)
HTMLLIB_DECLARE_ELEMENT(Body)
HTMLLIB_DECLARE_ELEMENT(Title)
HTMLLIB_DECLARE_ELEMENT(Link)
HTMLLIB_DECLARE_ELEMENT(Address)
HTMLLIB_DECLARE_ELEMENT(BlockQuote)
HTMLLIB_DECLARE_ELEMENT(Form)
HTMLLIB_DECLARE_ELEMENT(H1)
HTMLLIB_DECLARE_ELEMENT(H2)
HTMLLIB_DECLARE_ELEMENT(H3)
HTMLLIB_DECLARE_ELEMENT(H4)
HTMLLIB_DECLARE_ELEMENT(H5)
HTMLLIB_DECLARE_ELEMENT(H6)
HTMLLIB_DECLARE_ELEMENT(Hr)
HTMLLIB_DECLARE_ELEMENT(Dl)
HTMLLIB_DECLARE_ELEMENT(Dt)
HTMLLIB_DECLARE_ELEMENT(Dd)
HTMLLIB_DECLARE_ELEMENT(Ol)
HTMLLIB_DECLARE_ELEMENT(Li)
HTMLLIB_DECLARE_ELEMENT(Dir)
HTMLLIB_DECLARE_ELEMENT(Menu)
HTMLLIB_DECLARE_ELEMENT(P)
HTMLLIB_DECLARE_ELEMENT(TableData)
HTMLLIB_DECLARE_ELEMENT(TableHeading)
HTMLLIB_DECLARE_ELEMENT(TableRow)
HTMLLIB_DECLARE_ELEMENT(Table)
HTMLLIB_DECLARE_ELEMENT(A)
HTMLLIB_DECLARE_ELEMENT(Img)
HTMLLIB_DECLARE_ELEMENT(Center)
HTMLLIB_DECLARE_ELEMENT(I)
HTMLLIB_DECLARE_ELEMENT(Br)
HTMLLIB_DECLARE_ELEMENT(Select)
HTMLLIB_DECLARE_ELEMENT(Option)
HTMLLIB_DECLARE_ELEMENT(Input)
HTMLLIB_DECLARE_ELEMENT(Applet)
HTMLLIB_DECLARE_ELEMENT(FrameSet)
HTMLLIB_DECLARE_ELEMENT(Param)
HTMLLIB_DECLARE_ELEMENT(Frame)
HTMLLIB_DECLARE_ELEMENT(Script)
HTMLLIB_DECLARE_ELEMENT(Font)
HTMLLIB_DECLARE_ELEMENT(B)
HTMLLIB_DECLARE_ELEMENT(NoBR)
HTMLLIB_DECLARE_ELEMENT(Strong)
HTMLLIB_DECLARE_ELEMENT(TextArea)
HTMLLIB_DECLARE_ELEMENT(BaseFont)
HTMLLIB_DECLARE_ELEMENT(Spacer)
HTMLLIB_DECLARE_ELEMENT(Ul)

#undef HTMLLIB_DECLARE_ELEMENT

// Preformatted text: its own text is written exactly as stored, and nothing
// inside it gets added line breaks or indentation. Included files are not
// copied.
class Pre : public HTMLObject {
 public:
  explicit Pre(const char* text = nullptr);
  explicit Pre(HTMLObject* child);
  ~Pre() override;

  void emit(RequestInfo* req, int indent, int lineBreaks,
            const char* styleName) override;
};
