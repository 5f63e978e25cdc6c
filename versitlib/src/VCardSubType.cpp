// Parameters of vCard property lines, and the error helpers of the library.
#include "VCardSubType.h"

#include <memory>

#include "VersitError.h"

VCardSubType::VCardSubType() : kind(kVCardUnknown), value(kVCardUnknown), next(nullptr) {}

VCardSubType::VCardSubType(int kind, int value) : kind(kind), value(value), next(nullptr) {}

VCardSubType* VCardSubType::Copy() const { return new VCardSubType(kind, value); }

void VersitAddUserLine(KvError* error, int line, const char* file,
                       const std::string& message) {
  error->AddLine(line, String(file), String(message.c_str()), true);
}

void VersitAddTraceLine(KvError* error, int line, const char* file,
                       const std::string& message) {
  error->AddLine(line, String(file), String(message.c_str()), false);
}

void VersitThrowParseError(int line, const char* file,
                       const std::string& message) {
  auto error = std::make_unique<KvError>();
  error->SetKind(kKvErrorParse);
  VersitAddUserLine(error.get(), line, file, message);
  throw error.release();
}

void VersitThrowFault(int line, const char* file,
                       const std::string& message) {
  auto error = std::make_unique<KvError>();
  VersitAddTraceLine(error.get(), line, file, message);
  throw error.release();
}
