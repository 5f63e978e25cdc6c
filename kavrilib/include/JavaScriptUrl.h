// URL objects whose text calls one of the page's JavaScript functions (the
// page must also copy that function in, see KvWindow), and the address-book
// URL. The javascript: text is the Url's only child; such a Url has no base
// and writes no parameters.
#pragma once

#include "htmllib.h"

// "javascript:donothing()"; needs AddJSDoNothing.
class DoNothingUrl : public Url {
 public:
  DoNothingUrl();
  ~DoNothingUrl() override;
};

// "javascript:submitForm()"; needs AddJSSubmitForm.
class SubmitFormUrl : public Url {
 public:
  SubmitFormUrl();
  ~SubmitFormUrl() override;
};

// Calls denyWithAlert with the message, written as given.
class DenyWithAlertUrl : public Url {
 public:
  explicit DenyWithAlertUrl(const char* message);
  ~DenyWithAlertUrl() override;
};

// Calls submitFormAfterConfirm with the message, written as given; needs
// AddJSSubmitFormAfterConfirm.
class SubmitFormAfterConfirmUrl : public Url {
 public:
  explicit SubmitFormAfterConfirmUrl(const char* message);
  ~SubmitFormAfterConfirmUrl() override;
};

// Opens the help window on a topic (URL-encoded); needs AddJSHelpFunctions.
class HelpUrl : public Url {
 public:
  explicit HelpUrl(const char* topic);
  ~HelpUrl() override;
};

// The address book's "add" URL.
class AddBookUrl : public Url {
 public:
  AddBookUrl();
  ~AddBookUrl() override;
};
