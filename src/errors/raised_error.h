// The errors the program raises. Each carries what the error report shows:
// a class name, a message and the code address that raised it.
#pragma once

#include <new>
#include <string>
#include <string_view>

#include "platform/platform.h"

namespace velistra {

class RaisedError {
 public:
  virtual ~RaisedError() = default;

  virtual std::string_view ClassName() const noexcept = 0;
  virtual std::string_view Message() const noexcept = 0;
  // Where the error was raised.
  CodeAddress address() const noexcept { return address_; }

 protected:
  explicit RaisedError(CodeAddress address) noexcept : address_(address) {}
  RaisedError(const RaisedError&) = default;
  RaisedError(RaisedError&&) = default;
  RaisedError& operator=(const RaisedError&) = default;
  RaisedError& operator=(RaisedError&&) = default;

 private:
  CodeAddress address_;
};

// A registry value that cannot be read as text.
class ERegistryException final : public RaisedError {
 public:
  ERegistryException(std::string message, CodeAddress address) noexcept
      : RaisedError(address), message_(std::move(message)) {}

  std::string_view ClassName() const noexcept override { return "ERegistryException"; }
  std::string_view Message() const noexcept override { return message_; }

 private:
  std::string message_;
};

// An allocation that failed. It owns no memory, so it can always be thrown
// (its message lives in the program's texts), and it is a std::bad_alloc,
// as whatever a new-handler throws must be.
class EOutOfMemory final : public std::bad_alloc, public RaisedError {
 public:
  EOutOfMemory(std::string_view message, CodeAddress address) noexcept
      : RaisedError(address), message_(message) {}

  const char* what() const noexcept override { return "EOutOfMemory"; }
  std::string_view ClassName() const noexcept override { return "EOutOfMemory"; }
  std::string_view Message() const noexcept override { return message_; }

 private:
  std::string_view message_;
};

}  // namespace velistra
