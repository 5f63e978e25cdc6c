// Form inputs: check boxes, radio buttons, hidden, text, password and file
// fields, and submit buttons. Each writes "type", "name", then its other
// attributes.
#pragma once

#include "htmllib.h"

class KvInput : public Input {
 public:
  KvInput(const char* name, const char* value, const char* type);
  KvInput(const char* name, int value, const char* type);
  KvInput(const char* name, const char* value, int size, const char* type);
  KvInput(const char* name, int value, int size, const char* type);
  ~KvInput() override;
};

class KvCheckBox : public KvInput {
 public:
  KvCheckBox(const char* name, const char* value);
  // text (may be null) is written after the tag.
  KvCheckBox(const char* name, const char* value, const char* text);
  ~KvCheckBox() override;
  void MarkChecked();
};

class KvRadioButton : public KvInput {
 public:
  KvRadioButton(const char* name, const char* value);
  KvRadioButton(const char* name, const char* value, const char* text);
  ~KvRadioButton() override;
  void MarkChecked();
};

class KvHiddenInput : public KvInput {
 public:
  KvHiddenInput(const char* name, int value);
  KvHiddenInput(const char* name, const char* value);
  ~KvHiddenInput() override;
};

class KvTextInput : public KvInput {
 public:
  KvTextInput(const char* name, int value);
  KvTextInput(const char* name, int value, int size);
  // Size 40.
  KvTextInput(const char* name, const char* value);
  KvTextInput(const char* name, const char* value, int size);
  ~KvTextInput() override;
};

class KvPasswordInput : public KvInput {
 public:
  // Empty value, size 40.
  explicit KvPasswordInput(const char* name);
  KvPasswordInput(const char* name, int size);
  KvPasswordInput(const char* name, const char* value);
  KvPasswordInput(const char* name, const char* value, int size);
  ~KvPasswordInput() override;
};

class KvFileInput : public KvInput {
 public:
  KvFileInput(const char* name, int size);
  ~KvFileInput() override;
};

class KvSubmitButton : public KvInput {
 public:
  KvSubmitButton(const char* name, const char* value);
  ~KvSubmitButton() override;
};
