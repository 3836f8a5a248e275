#pragma once

#include <utility>

#include "platform/platform.h"

namespace velistra {

// An open registry key that closes itself. Move-only; empty when moved from.
class OpenKey {
 public:
  OpenKey() = default;
  OpenKey(Platform& platform, RegKey key) : platform_(&platform), key_(key) {}
  ~OpenKey() { Close(); }
  OpenKey(OpenKey&& other) noexcept
      : platform_(std::exchange(other.platform_, nullptr)), key_(std::exchange(other.key_, 0)) {}
  OpenKey& operator=(OpenKey&& other) noexcept {
    if (this != &other) {
      Close();
      platform_ = std::exchange(other.platform_, nullptr);
      key_ = std::exchange(other.key_, 0);
    }
    return *this;
  }
  OpenKey(const OpenKey&) = delete;
  OpenKey& operator=(const OpenKey&) = delete;

  // The handle, or 0 when empty.
  RegKey get() const { return key_; }
  bool is_open() const { return platform_ != nullptr; }

  // Closes the key if one is held; afterwards the object is empty.
  void Close() {
    if (platform_ != nullptr) std::exchange(platform_, nullptr)->CloseKey(std::exchange(key_, 0));
  }

 private:
  Platform* platform_ = nullptr;
  RegKey key_ = 0;
};

}  // namespace velistra
