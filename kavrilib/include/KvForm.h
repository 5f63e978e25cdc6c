// Forms that post to the program: plain, multipart (file upload) and
// plain-text mail forms.
#pragma once

#include "htmllib.h"

class KvForm : public Form {
 public:
  KvForm(const char* name, const char* action);
  // The form takes ownership of action.
  KvForm(const char* name, Url* action);
  ~KvForm() override;
};

class KvMultiPartForm : public KvForm {
 public:
  KvMultiPartForm(const char* name, const char* action);
  KvMultiPartForm(const char* name, Url* action);
  ~KvMultiPartForm() override;
};

class KvEmailForm : public KvForm {
 public:
  KvEmailForm(const char* name, const char* action);
  KvEmailForm(const char* name, Url* action);
  ~KvEmailForm() override;
};
