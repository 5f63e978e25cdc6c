// javascript: calls that ask for confirmation before following a URL. Each
// writes its text as a row of plain-text pieces with the target Url among
// them; the message has its apostrophes escaped for JavaScript. The page
// must copy the matching function in (AddJSConfirm and so on).
#pragma once

#include "htmllib.h"

// Common base: prefix, message, "','", url, "');". Takes ownership of url
// (may be null).
class KvConfirmUrlBase : public HTMLObject {
 public:
  ~KvConfirmUrlBase() override;

 protected:
  KvConfirmUrlBase(const char* function, const char* message, Url* url);
};

// "javascript:MyConfirm('m','u');"
class ConfirmUrl : public KvConfirmUrlBase {
 public:
  ConfirmUrl(const char* message, Url* url);
  ~ConfirmUrl() override;
};

// "javascript:ConfirmDeleteMeeting('m','u');"
class ConfirmDeleteMeetingUrl : public KvConfirmUrlBase {
 public:
  ConfirmDeleteMeetingUrl(const char* message, Url* url);
  ~ConfirmDeleteMeetingUrl() override;
};

// "javascript:ConfirmDelete('m','u');"
class ConfirmDeleteUrl : public KvConfirmUrlBase {
 public:
  ConfirmDeleteUrl(const char* message, Url* url);
  ~ConfirmDeleteUrl() override;
};

// "javascript:ConfirmClear('m','u');"
class ConfirmClearUrl : public KvConfirmUrlBase {
 public:
  ConfirmClearUrl(const char* message, Url* url);
  ~ConfirmClearUrl() override;
};

// "javascript:ConfirmDeleteMeetingSubmit('m');"
class ConfirmDeleteMeetingSubmitUrl : public HTMLObject {
 public:
  explicit ConfirmDeleteMeetingSubmitUrl(const char* message);
  ~ConfirmDeleteMeetingSubmitUrl() override;
};
