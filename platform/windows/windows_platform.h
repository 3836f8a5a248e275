// The platform as Windows provides it.
#pragma once

#include "platform/platform.h"

namespace velistra {

class WindowsPlatform final : public Platform {
 public:
  Status OpenKey(RegKey parent, const char* sub_key, std::uint32_t options, std::uint32_t access,
                 RegKey* result) override;
  Status QueryInfoKey(RegKey key, KeyInfo* info) override;
  Status EnumValueName(RegKey key, std::uint32_t index, char* name,
                       std::uint32_t* name_length) override;
  Status QueryValue(RegKey key, const char* name, std::uint32_t* type, unsigned char* data,
                    std::uint32_t* size) override;
  Status CloseKey(RegKey key) override;
  ThreadLocaleInfo ThreadLocale() override;
  bool DefineDosDeviceName(std::uint32_t flags, const char* device,
                           const char* target_path) override;
  std::int32_t ConsultUnhandledErrorFilter(std::uint32_t code, CodeAddress address) override;
  [[noreturn]] void LeaveErrorToSystem(std::uint32_t code, CodeAddress address) override;
  ModuleInfo ModuleContaining(CodeAddress address) override;
  std::size_t LanguageAbbreviation(std::span<char> out) override;
  ResourceModule OpenLanguageModule(std::string_view code) override;
  std::size_t LoadMessageText(ResourceModule module, std::uint32_t id,
                              std::span<char> out) override;
  void ShowMessageBox(const char* text, const char* title, std::uint32_t style) override;
  [[noreturn]] void ExitProcess(std::uint32_t exit_code) override;

 private:
  // What ModuleContaining's file name points into.
  char module_file_name_[1024] = {};
};

}  // namespace velistra
