// A URL written as base, "?", the parameters joined by "&" and an optional
// "#anchor". Parameters are named attributes whose names and values are
// percent-encoded when added. A Url is normally the object of an attribute
// ("href", "src", "action") and is then written inside its quotes.
#pragma once

#include "HTMLObject.h"

class Url : public HTMLObject {
 public:
  // base may be null; without a base no parameters are written.
  explicit Url(const char* base = nullptr);
  explicit Url(HTMLObject* child);
  ~Url() override;

  // The string forms percent-encode (and then HTML-escape) what they store;
  // the others behave as in HTMLObject.
  HTMLAttribute* addAttribute(int number, const char* value) override;
  HTMLAttribute* addAttribute(int number, const String& value) override;
  HTMLAttribute* addAttribute(int number, int value) override;
  HTMLAttribute* addAttribute(const char* name, const char* value) override;
  HTMLAttribute* addAttribute(const char* name, int value) override;
  HTMLAttribute* addAttribute(int number, HTMLObject* object) override;
  HTMLAttribute* addAttribute(HTMLAttribute* attribute) override;
  // Adds every item of list (name, value) as a parameter, in order; the
  // caller keeps list.
  void addAttribute(ValNameList* list);

  // Stores a copy of anchor, replacing an earlier one.
  void AddAnchorName(const char* anchor);
  const char* GetAnchorName() const { return anchor; }

  // Writes the base and parameters, the children, the next sibling and then
  // "#anchor", with no escaping of the base and no length limit.
  void emit(RequestInfo* req, int indent, int lineBreaks,
            const char* styleName) override;
  // Writes the parameters as name=value pairs joined by "&". A parameter
  // added by number is named after the attribute-name table.
  void emitAttribute(RequestInfo* req, int indent, int lineBreaks,
                     const char* styleName) override;

 protected:
  char* anchor;  // owned, may be null
};
