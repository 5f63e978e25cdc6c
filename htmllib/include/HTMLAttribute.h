// One attribute of an HTML element: a number into the attribute-name table
// (0 for an attribute that carries its own name), a value, and optionally an
// object emitted in place of the value (a URL, for instance). Attributes form
// a singly linked list in the order they were added.
#pragma once

class HTMLObject;

class HTMLAttribute {
 public:
  // Copies value and name (either may be null) and takes ownership of
  // object (may be null).
  HTMLAttribute(int number, const char* value, const char* name,
                HTMLObject* object);
  HTMLAttribute(const HTMLAttribute&) = delete;
  HTMLAttribute& operator=(const HTMLAttribute&) = delete;
  // Deletes value, name, object and every later attribute of the list.
  ~HTMLAttribute();

  // Replaces the value with a copy of text (null allowed).
  void SetValue(const char* text);

  int number;
  char* value;           // owned, may be null
  char* name;            // owned, may be null
  HTMLObject* object;    // owned, may be null
  HTMLAttribute* next;   // owned
};
