// A normal document: head, script block on demand and a body in the page
// style's colours, with helpers for the body's load and unload handlers.
// Several onLoad additions run the latest first.
#pragma once

#include "KvPageStyle.h"
#include "KvWindow.h"

class KvPage : public KvWindow {
 public:
  // style stays the caller's; null gives a white page.
  explicit KvPage(KvPageStyle* style);
  ~KvPage() override;

  // Adds a separate "onLoad" attribute to the body.
  void OnLoad(const char* script);
  // Records the program for context help when the page loads.
  void SetHelpContext(const char* program);
  // Puts the input focus on form.field when the page loads.
  void AddFormFocusTo(const char* form, const char* field);

  // The body takes ownership of object.
  HTMLObject* AppendToBody(HTMLObject* object);
  HTMLObject* AppendToBody(const char* text);
  HTMLObject* AppendToBody(int number);

  void AddJSCloseWindow();
  void AddJSSelectorWindowClose();
  void AddJSSelectorQuit();
  void AddJSCloseChild();
  // The business-card script, started when the page has loaded.
  void AddJSJCard();

  // Owned by the page.
  Body* GetBody() const { return body; }

 protected:
  Body* body;
};
