// The per-request object: the CGI values of one HTTP request, the browser
// and server classification, the form variables and cookies, and the output
// operations through which every page is written. Subclasses bind it to a
// gateway; CGIRequestInfo (standard input and output) is the one in use.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "utillib.h"

// Largest request body accepted, in bytes. The default (64 MiB) is a weak
// definition in this library; a higher layer may define its own
// KvMaxRequestSize() (for instance from the "maxRequestSize" setting) and
// the linker then takes that one. A value of 0 or less means the default.
// Called at most once per request object, by main before ModuleMain runs,
// and only when a POST body is read.
long long KvMaxRequestSize();

// The content type of every HTML page and error page the programs send.
constexpr const char* kHtmlContentType = "text/html; charset=utf-8";

class RequestInfo {
 public:
  // Browser types (browserType).
  static constexpr int kBrowserUnknown = 0;
  static constexpr int kBrowserMozilla = 1;
  static constexpr int kBrowserMSIE = 2;
  // Server types (serverType).
  static constexpr int kServerUnknown = 0;
  static constexpr int kServerDrovak = 1;
  static constexpr int kServerMicrosoft = 2;

  // Every string null, numbers 0, an empty parameter list, no cookie list.
  RequestInfo();
  // Frees every string and both lists, and deletes the upload files of this
  // request that no handler adopted (see AdoptUpload).
  virtual ~RequestInfo();

  RequestInfo(const RequestInfo&) = delete;
  RequestInfo& operator=(const RequestInfo&) = delete;

  // ---- Virtual operations (gateway binding) ----

  // Reads exactly `size` bytes of the request body into `buf`; returns
  // `size` on success, 0 on failure or a short read.
  virtual int ReadPostInput(char* buf, int size) = 0;
  // Prepares the stream GetFormDataChar reads from; 0 on success.
  virtual int SetupInputStream();
  // The stream all output goes to, or null.
  virtual FILE* SetupOutputStream();
  // Next byte of the request body, or -1 at its end or when no input
  // stream is set up.
  virtual int GetFormDataChar() = 0;
  // Reads one line of a multipart body into `buf` (not NUL-terminated;
  // at most size - 2 bytes are stored). Returns the number of bytes
  // stored, or -1 at end of input with nothing read. A line that equals
  // `boundary` ends the read even without a line end. RFC 2046 section 5.1.1.
  virtual int GetFormDataLine(char* buf, int size, const char* boundary);
  virtual int CloseInputStream();
  // Writes `size` bytes; 0 when all were written, -1 otherwise.
  virtual int WriteBinary(const char* buf, int size) = 0;
  virtual int Write(const char* text) = 0;
  // Writes "name: value\n"; an empty name writes the "\n" that ends the
  // header block. Line breaks inside name or value are dropped.
  virtual int WriteHeader(const char* name, const char* value) = 0;
  // Writes "Status: <code>[ <reason>]\n".
  virtual int SetStatus(int code, const char* reason) = 0;
  virtual int Flush() = 0;

  // ---- Browser and server classification ----

  // 4096 for a Mozilla-type browser, 1024 for every other.
  int GetMaxUrlLength() const;
  int GetMaxCookieLength() const;
  // Each takes the text of the header (user agent or server software);
  // null counts as empty.
  void SetBrowserType(const char* userAgent);
  void SetSystemType(const char* userAgent);
  void SetServerInfo(const char* serverSoftware);

  // ---- Form variables and cookies (names compared ignoring case) ----

  // Value of the first parameter called `name`, or null; owned by the list.
  const char* FindVar(const char* name) const;
  // Copy of FindVar (caller frees with free()), or null.
  char* FindVarCopy(const char* name) const;
  // First further value of the first parameter called `name` (for an
  // uploaded file, the path of its temporary file), or null.
  const char* FindVar2(const char* name) const;
  // Gives the first parameter called `name` the new value, or appends one.
  void ReplaceVal(const char* name, const char* value);
  void AddParam(const char* name, const char* value);
  // Appends copies of every item of `list` (extras included); null is no-op.
  void AddParams(const ValNameList* list);
  // New list (caller deletes) of the values of every parameter called `name`.
  ValList* GetValList(const char* name) const;
  // New list (caller deletes) of the pairs whose names begin with `prefix`.
  ValNameList* GetValListPrefix(const char* prefix) const;
  // Value of the first cookie called `name`, or null; owned by the list.
  const char* FindCookie(const char* name) const;
  // The value list stored under cookie `name`, plain or striped over the
  // "KavriStriped-<i>-<name>" cookies. New list, never null; caller deletes.
  ValList* FindFormattedCookie(const char* name) const;

  // ---- Parsers; each returns a new list the caller deletes ----

  // "name=value&..." pairs of the first `length` bytes of `text`
  // (RFC 3875 section 4.2 / HTML form encoding). GET leaves "+" as it is,
  // POST decodes it to a blank.
  static ValNameList* ParseGETString(const char* text, int length);
  static ValNameList* ParsePOSTString(const char* text, int length);
  // "name=value; ..." pairs of a cookie header or header parameters
  // (RFC 6265 section 5.4); percent-decoded when `decode` is true.
  static ValNameList* ParseNameValString(const char* text, KvBoolean decode);
  // The parameters of one MIME header line (RFC 2045, RFC 2183), then a
  // last pair of the header's name and value. Null for no header.
  static ValNameList* ParseHTTPHeader(const char* line);
  // Query string variables (GET).
  ValNameList* ParseGetInput();
  // URL-encoded body variables (POST); empty list when the body cannot be
  // read or is larger than KvMaxRequestSize().
  ValNameList* ParsePostInput();

  // ---- Multipart bodies (RFC 2046 section 5.1.1, RFC 7578) ----

  // Parses a "multipart/form-data" body read through GetFormDataChar.
  // File parts are stored in new temporary files (mode 0600) that belong to
  // this request until adopted. New list (caller deletes), or null when the
  // content type has no boundary or the input cannot be set up.
  ValNameList* ParseMultiPartForm(const char* contentType);
  // 1 when `line` (length `length`) is two characters, the boundary and at
  // most two CR or LF; the first two characters are not examined.
  static int IsBoundary(const char* line, int length, const char* boundary);
  // 1 when `line` is two characters, the boundary and "--", followed by
  // anything; the first two characters are not examined.
  static int IsEndBoundary(const char* line, int length, const char* boundary);

  // ---- Upload files ----

  // Keeps the upload file of parameter `varName` past the end of this
  // request (a handler that carries the path to a later request then owns
  // the file). Returns its path (owned by the parameter list) or null.
  const char* AdoptUpload(const char* varName);
  // True when the body exceeded KvMaxRequestSize() and was not read whole.
  bool BodyTooLarge() const { return bodyTooLarge_; }

  // ---- Request data, in this order; strings are owned heap copies ----

  int pendingCR;            // GetFormDataLine held back a carriage return
  char* queryString;        // "QUERY_STRING"
  char* scriptName;         // "SCRIPT_NAME"
  char* requestMethod;      // "REQUEST_METHOD"
  FILE* outputStream;       // not owned
  int contentLength;        // "CONTENT_LENGTH"; for GET the query's length
  int capableBrowser;       // 1 when the browser can upload a file
  char* serverName;         // "SERVER_NAME"
  char* serverPort;         // "SERVER_PORT"
  int browserType;          // kBrowser...
  int systemType;           // 1 for "Macintosh"
  double browserVersion;
  int serverType;           // kServer...
  double serverVersion;
  char* remoteUser;         // "REMOTE_USER"
  ValNameList* params;      // form variables in arrival order; never null
  ValNameList* cookies;     // null until the cookie header is parsed

 protected:
  // Counts one body byte read through GetFormDataChar; false (and the body
  // marked too large) once more than MaxBodySize() bytes came.
  bool CountBodyByte();
  void SetBodyTooLarge();
  // KvMaxRequestSize(), asked once per request.
  long long MaxBodySize();
  // Registers a temporary file of this request, deleted by the destructor
  // unless adopted.
  void KeepUpload(const char* path);
  // Deletes every upload file not adopted.
  void RemoveUploads();

 private:
  std::vector<std::string> uploads_;  // temporary files not yet adopted
  long long bodyBytes_ = 0;
  long long bodyLimit_ = 0;
  bool bodyTooLarge_ = false;
};

// Appends the ":"-separated items of `text` to `list`, skipping empty items
// and items already present. Returns a pointer to the end of `text`.
const char* ParseFormattedCookie(const char* text, ValList* list);
