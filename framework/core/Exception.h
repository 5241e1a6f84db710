#pragma once
// The error classes every unit raises. A handler that fails lets the error travel to the
// application's default handler, which shows Message in a message box and carries on.
#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

#define BREVIN_EXCEPTION(Name, Base)                                     \
  class Name : public Base {                                             \
  public:                                                                \
    explicit Name(const std::string& message) : Base(message) {}         \
  }

BREVIN_EXCEPTION(EAbort, Exception);
BREVIN_EXCEPTION(EConvertError, Exception);
BREVIN_EXCEPTION(EOutOfResources, Exception);
BREVIN_EXCEPTION(EInvalidGraphicOperation, Exception);
BREVIN_EXCEPTION(EInvalidOperation, Exception);
BREVIN_EXCEPTION(EStreamError, Exception);
BREVIN_EXCEPTION(EReadError, EStreamError);
BREVIN_EXCEPTION(EWriteError, EStreamError);
BREVIN_EXCEPTION(EFCreateError, EStreamError);
BREVIN_EXCEPTION(EFOpenError, EStreamError);
BREVIN_EXCEPTION(EResNotFound, Exception);

#undef BREVIN_EXCEPTION

// printf-style formatting into a std::string, for the fixed message templates
// ("Resource %s not found", "Unrecognized extension block: %.2x").
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
