// Forms posting to the program.
#include "KvForm.h"

KvForm::KvForm(const char* name, const char* action) : Form() {
  addAttribute(kAttrName, name);
  addAttribute(kAttrAction, action);
  addAttribute(kAttrMethod, "post");
}

KvForm::KvForm(const char* name, Url* action) : Form() {
  addAttribute(kAttrName, name);
  addAttribute(kAttrAction, static_cast<HTMLObject*>(action));
  addAttribute(kAttrMethod, "post");
}

KvForm::~KvForm() = default;

KvMultiPartForm::KvMultiPartForm(const char* name, const char* action)
    : KvForm(name, action) {
  addAttribute(kAttrEnctype, "multipart/form-data");
}

KvMultiPartForm::KvMultiPartForm(const char* name, Url* action)
    : KvForm(name, action) {
  addAttribute(kAttrEnctype, "multipart/form-data");
}

KvMultiPartForm::~KvMultiPartForm() = default;

KvEmailForm::KvEmailForm(const char* name, const char* action)
    : KvForm(name, action) {
  addAttribute(kAttrEnctype, "text/plain");
}

KvEmailForm::KvEmailForm(const char* name, Url* action) : KvForm(name, action) {
  addAttribute(kAttrEnctype, "text/plain");
}

KvEmailForm::~KvEmailForm() = default;
