// The base element of the HTML object model: one HTML element, or one run of
// plain text, with its attributes, its text, the files copied into it, its
// first child and its next sibling. A page is a tree of these objects that is
// built in memory and then written once, straight through the request
// object, while the tree is walked. Also holds the fixed tables of tag texts
// and attribute names, and named constants for their numbers.
#pragma once

#include "HTMLAttribute.h"
#include "utillib.h"

class RequestInfo;

// Numbers of the tag table. kTagText (0) writes no tags.
enum HTMLTagNumber {
  kTagText = 0,
  kTagPage = 2,
  kTagHead = 3,
  kTagBody = 4,
  kTagTitle = 5,
  kTagLink = 6,
  kTagAddress = 7,
  kTagBlockQuote = 8,
  kTagForm = 9,
  kTagH1 = 10,
  kTagH2 = 11,
  kTagH3 = 12,
  kTagH4 = 13,
  kTagH5 = 14,
  kTagH6 = 15,
  kTagHr = 16,
  kTagDl = 17,
  kTagDt = 18,
  kTagDd = 19,
  kTagOl = 20,
  kTagLi = 21,
  kTagDir = 22,
  kTagMenu = 23,
  kTagPre = 24,
  kTagP = 25,
  kTagTableData = 26,
  kTagTableHeading = 27,
  kTagTableRow = 28,
  kTagTable = 29,
  kTagA = 30,
  kTagImg = 31,
  kTagCenter = 32,
  kTagI = 33,
  kTagBr = 34,
  kTagSelect = 35,
  kTagOption = 36,
  kTagInput = 37,
  kTagApplet = 38,
  kTagFrameSet = 39,
  kTagParam = 40,
  kTagFrame = 41,
  kTagScript = 42,
  kTagFont = 43,
  kTagB = 44,
  kTagSetCookie = 46,
  kTagUrl = 47,
  kTagNoBR = 48,
  kTagStrong = 49,
  kTagTextArea = 50,
  kTagBaseFont = 51,
  kTagSpacer = 52,
  kTagWindowTarget = 54,
  kTagCacheBuster = 55,
  kTagUl = 56,
  kTagStyle = 57,
  kTagFormattedCookie = 58,
  kTagContentBase = 59,
  kHTMLTagCount = 60
};

// Numbers of the attribute-name table. Number 0 is a named attribute.
enum HTMLAttributeNumber {
  kAttrNamed = 0,
  kAttrHref = 1,
  kAttrRel = 2,
  kAttrSrc = 3,
  kAttrSize = 4,
  kAttrAlign = 5,
  kAttrCompact = 6,
  kAttrTitle = 7,
  kAttrValign = 8,
  kAttrColspan = 9,
  kAttrRowspan = 10,
  kAttrNowrap = 11,
  kAttrBgcolor = 12,
  kAttrCellpadding = 13,
  kAttrCellspacing = 14,
  kAttrCode = 15,
  kAttrText = 16,
  kAttrLink = 17,
  kAttrVlink = 18,
  kAttrAction = 19,
  kAttrEnctype = 20,
  kAttrMethod = 21,
  kAttrChecked = 22,
  kAttrMaxlength = 23,
  kAttrName = 24,
  kAttrType = 25,
  kAttrValue = 26,
  kAttrMultiple = 27,
  kAttrSelected = 28,
  kAttrStart = 29,
  kAttrWidth = 30,
  kAttrMethods = 31,
  kAttrUrn = 32,
  kAttrTarget = 33,
  kAttrAlt = 34,
  kAttrIsmap = 35,
  kAttrUsemap = 36,
  kAttrHeight = 37,
  kAttrUnits = 38,
  kAttrBorder = 39,
  kAttrHspace = 40,
  kAttrVspace = 41,
  kAttrLowsrc = 42,
  kAttrControls = 43,
  kAttrDynsrc = 44,
  kAttrLoop = 45,
  kAttrLoopdelay = 46,
  kAttrClear = 47,
  kAttrCols = 48,
  kAttrRows = 49,
  kAttrScrolling = 50,
  kAttrColor = 51,
  kAttrOnMouseOver = 52,
  kAttrLanguage = 53,
  kAttrOnChange = 54,
  kAttrOnClick = 55,
  kAttrFrameborder = 56,
  kAttrMayscript = 57,
  kAttrOnLoad = 58,
  kAttrWrap = 59,
  kAttrMarginheight = 60,
  kAttrMarginwidth = 61,
  kAttrOnSubmit = 62,
  kAttrBackground = 63,
  kAttrOnMouseOut = 64,
  kAttrOnUnload = 65,
  kAttrFramespacing = 66,
  kAttrCodebase = 67,
  kAttrOnBlur = 68,
  kAttrOnFocus = 69,
  kHTMLAttributeCount = 70
};

// One entry of the tag table: the start text (without its closing ">") and
// the end text. An empty start text means no tags are written.
struct HTMLTag {
  const char* start;
  const char* end;
};

extern const HTMLTag kHTMLTags[kHTMLTagCount];
extern const char* const kHTMLAttributeNames[kHTMLAttributeCount];

// Table look-ups that give "" for a number outside the table.
const char* HTMLTagStart(int tag);
const char* HTMLTagEnd(int tag);
const char* HTMLAttributeName(int number);

class HTMLObject {
 public:
  // Plain text without text; both new-line flags off.
  HTMLObject();
  // Copies text when it is non-null.
  HTMLObject(int tag, const char* text);
  explicit HTMLObject(const char* text);
  explicit HTMLObject(int tag);
  HTMLObject(const HTMLObject&) = delete;
  HTMLObject& operator=(const HTMLObject&) = delete;

  // Deletes the attributes, the text, the include list, the first child and
  // the next sibling: the whole subtree and every later sibling of the chain.
  // A tree is deleted once, through its root.
  virtual ~HTMLObject();

  // Building. An object belongs to one parent (or one attribute): a child
  // that is null or already attached is refused and null is returned;
  // otherwise this object takes ownership and returns the child.
  virtual HTMLObject* addObject(HTMLObject* child);
  // New plain-text child (copy of text, new-line flags off) added through
  // addObject(HTMLObject*); returns it, or null when it was refused.
  virtual HTMLObject* addObject(const char* text, KvBoolean activateURLs);
  // The decimal text of number, as plain text without URL activation.
  virtual HTMLObject* addObject(int number);

  // Attributes. String values are HTML-escaped before they are stored unless
  // said otherwise; every form creates the attribute and adds it through
  // addAttribute(HTMLAttribute*). Results point into this object's list.
  virtual HTMLAttribute* addAttribute(int number, const char* value);
  virtual HTMLAttribute* addAttribute(int number, const String& value);
  // Decimal text, not escaped.
  virtual HTMLAttribute* addAttribute(int number, int value);
  // Named attribute (number 0); name and value both escaped.
  virtual HTMLAttribute* addAttribute(const char* name, const char* value);
  virtual HTMLAttribute* addAttribute(const char* name, int value);
  // The object is emitted in place of a value. Refuses (null) an object that
  // is null or already attached; otherwise takes ownership.
  virtual HTMLAttribute* addAttribute(int number, HTMLObject* object);
  // Appends the attribute and takes ownership of it (and of its chain).
  virtual HTMLAttribute* addAttribute(HTMLAttribute* attribute);
  // Adds MakeStatusMessage(message) as "onMouseOver".
  virtual HTMLAttribute* addStatusMessage(const char* message);

  // Emission, through req->Write only; see the .cpp for the order of
  // pieces. styleName is only passed on to the objects below.
  virtual void emit(RequestInfo* req, int indent, int lineBreaks,
                    const char* styleName);
  virtual void emitStartFlag(RequestInfo* req, int indent, int lineBreaks,
                             const char* styleName);
  virtual void emitEndFlag(RequestInfo* req, int indent, int lineBreaks);
  virtual void emitAttribute(RequestInfo* req, int indent, int lineBreaks,
                             const char* styleName);

  // Copy a file, or a part of one, into the output. Each returns 0, or -1
  // when the file cannot be opened (and, for a function, when it is not found
  // or not closed by a line beginning with "}").
  virtual int EmitJSCode(RequestInfo* req, const char* path);
  virtual int EmitJSFunction(RequestInfo* req, const char* path,
                             const char* functionName);
  virtual int EmitHTMLBody(RequestInfo* req, const char* path);

  // Record files to copy when this object is emitted, in the order recorded.
  virtual void IncludeJSFunction(const char* path, const char* functionName);
  virtual void IncludeJSCode(const char* path);
  virtual void IncludeFile(const char* path);
  // The first recorded body file wins; the path is copied.
  virtual void IncludeBody(const char* path);

  // Appends child (through the virtual addObject) and returns child, whether
  // or not it was taken.
  HTMLObject* appendObject(HTMLObject* child);
  // Makes child the first child unless it is null or already attached.
  // Returns this object.
  HTMLObject* prependObject(HTMLObject* child);
  // Prepends a plain-text object (start-on-new-line on, end-on-new-line off).
  HTMLObject* prependObject(const char* text);
  // Sets the next-sibling link and takes ownership of next. The former link
  // is overwritten, not deleted: use only on an object without a sibling.
  void addNextObject(HTMLObject* next);
  // Replace the text with a copy (or the decimal text).
  void addData(const char* text);
  void addData(int number);

  void StartOnNewLine(KvBoolean on);
  void EndOnNewLine(KvBoolean on);
  // Switch escaping (enhancing) off on this object and all its descendants,
  // and with withSiblings on every following sibling and theirs too.
  void DontEscape(KvBoolean withSiblings);
  void DontEnhance(KvBoolean withSiblings);

  // Attribute editing. AppendToAttribute puts the new (escaped) text in
  // front of the old value, joined by ";"; it returns the attribute it
  // changed, or null when it had to add one.
  HTMLAttribute* AppendToAttribute(int number, const char* text);
  HTMLAttribute* AppendToAttribute(int number, HTMLObject* object);
  // Replace the value of the first matching attribute (named ones compared
  // ignoring case); nothing is added when none matches.
  void ModifyAttribute(const char* name, const char* value);
  void ModifyAttribute(const char* name, int value);
  void ModifyAttribute(int number, const char* value);
  void ModifyAttribute(int number, int value);
  // Remove and delete the first matching attribute, if any.
  void DeleteAttribute(const char* name);
  void DeleteAttribute(int number);
  // Head of the attribute list (owned by this object).
  HTMLAttribute* GetAttribute() const { return attributes; }

  // "self.status='" + message + "'; return true".
  static String MakeStatusMessage(const char* message);

  // Read access for subclasses and tests; pointers stay owned by this object.
  int GetTag() const { return tag; }
  const char* GetText() const { return text; }
  HTMLObject* GetFirstChild() const { return firstChild; }
  HTMLObject* GetNextObject() const { return nextObject; }
  ValNameList* GetIncludes() const { return includes; }
  const char* GetBodyFile() const { return bodyFile; }
  KvBoolean IsAttached() const { return attached; }
  KvBoolean GetStartOnNewLine() const { return startOnNewLine; }
  KvBoolean GetEndOnNewLine() const { return endOnNewLine; }
  KvBoolean GetActivateURLs() const { return activateURLs; }
  KvBoolean GetEscape() const { return escape; }
  KvBoolean GetEnhance() const { return enhance; }
  void SetActivateURLs(KvBoolean on) { activateURLs = on; }

 protected:
  // Sets every field to its default; the text is copied when non-null.
  void initialize(int tag, const char* text);
  // Adds child through the virtual addObject after switching its URL
  // activation off (when it is non-null); used by the child-taking
  // constructors of elements that never activate URLs inside.
  void addChildWithoutURLs(HTMLObject* child);
  // Emits each include item and the body file, in that order.
  void emitIncludes(RequestInfo* req);
  // Writes the text converted as the flags say, propagating the escape and
  // enhance flags that are off to the first child.
  void emitText(RequestInfo* req);

  HTMLAttribute* attributes;
  int tag;
  KvBoolean startOnNewLine;
  KvBoolean endOnNewLine;
  KvBoolean attached;
  KvBoolean activateURLs;
  KvBoolean escape;
  KvBoolean enhance;
  char* text;            // owned, may be null
  ValNameList* includes;  // owned, created on first use
  char* bodyFile;        // owned copy, may be null
  HTMLObject* firstChild;
  HTMLObject* nextObject;
};
