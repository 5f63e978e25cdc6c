// Form inputs: each writes "type", "name", then its size and value.
#include "KvInput.h"

namespace {
const int kDefaultTextSize = 40;
}  // namespace

KvInput::KvInput(const char* name, const char* value, const char* type) : Input() {
  addAttribute(kAttrType, type);
  addAttribute(kAttrName, name);
  addAttribute(kAttrValue, value);
}

KvInput::KvInput(const char* name, int value, const char* type) : Input() {
  addAttribute(kAttrType, type);
  addAttribute(kAttrName, name);
  addAttribute(kAttrValue, value);
}

KvInput::KvInput(const char* name, const char* value, int size, const char* type)
    : Input() {
  addAttribute(kAttrType, type);
  addAttribute(kAttrName, name);
  addAttribute(kAttrSize, size);
  addAttribute(kAttrValue, value);
}

KvInput::KvInput(const char* name, int value, int size, const char* type)
    : Input() {
  addAttribute(kAttrType, type);
  addAttribute(kAttrName, name);
  addAttribute(kAttrSize, size);
  addAttribute(kAttrValue, value);
}

KvInput::~KvInput() = default;

KvCheckBox::KvCheckBox(const char* name, const char* value)
    : KvInput(name, value, "checkbox") {}

KvCheckBox::KvCheckBox(const char* name, const char* value, const char* label)
    : KvInput(name, value, "checkbox") {
  if (label) addData(label);
}

KvCheckBox::~KvCheckBox() = default;

void KvCheckBox::MarkChecked() { addAttribute(kAttrChecked, "true"); }

KvRadioButton::KvRadioButton(const char* name, const char* value)
    : KvInput(name, value, "radio") {}

KvRadioButton::KvRadioButton(const char* name, const char* value,
                             const char* label)
    : KvInput(name, value, "radio") {
  if (label) addData(label);
}

KvRadioButton::~KvRadioButton() = default;

void KvRadioButton::MarkChecked() { addAttribute(kAttrChecked, "true"); }

KvHiddenInput::KvHiddenInput(const char* name, int value)
    : KvInput(name, value, "hidden") {}

KvHiddenInput::KvHiddenInput(const char* name, const char* value)
    : KvInput(name, value, "hidden") {}

KvHiddenInput::~KvHiddenInput() = default;

KvTextInput::KvTextInput(const char* name, int value)
    : KvInput(name, value, "text") {}

KvTextInput::KvTextInput(const char* name, int value, int size)
    : KvInput(name, value, size, "text") {}

KvTextInput::KvTextInput(const char* name, const char* value)
    : KvInput(name, value, kDefaultTextSize, "text") {}

KvTextInput::KvTextInput(const char* name, const char* value, int size)
    : KvInput(name, value, size, "text") {}

KvTextInput::~KvTextInput() = default;

KvPasswordInput::KvPasswordInput(const char* name)
    : KvInput(name, "", kDefaultTextSize, "password") {}

KvPasswordInput::KvPasswordInput(const char* name, int size)
    : KvInput(name, "", size, "password") {}

KvPasswordInput::KvPasswordInput(const char* name, const char* value)
    : KvInput(name, value, kDefaultTextSize, "password") {}

KvPasswordInput::KvPasswordInput(const char* name, const char* value, int size)
    : KvInput(name, value, size, "password") {}

KvPasswordInput::~KvPasswordInput() = default;

KvFileInput::KvFileInput(const char* name, int size)
    : KvInput(name, "", size, "file") {}

KvFileInput::~KvFileInput() = default;

KvSubmitButton::KvSubmitButton(const char* name, const char* value)
    : KvInput(name, value, "submit") {}

KvSubmitButton::~KvSubmitButton() = default;
