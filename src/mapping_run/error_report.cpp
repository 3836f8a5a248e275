#include "mapping_run/error_report.h"

#include "platform/win32_values.h"
#include "text/format.h"

namespace velistra {
namespace {

// Long enough for any report this program makes: its messages name a drive,
// and a module's file name is one path component.
constexpr std::size_t kReportCapacity = 2048;

constexpr std::uint32_t kReportStyle = win32::kMbOk | win32::kMbIconStop | win32::kMbTaskModal;

}  // namespace

std::size_t FormatErrorReport(std::span<char> out, std::string_view format,
                              const ErrorReportParts& parts) {
  // A sentence gets its closing period unless it has one.
  const std::string_view period =
      !parts.message.empty() && parts.message.back() != '.' ? "." : "";
  return FormatInto(out, format,
                    {FormatArg::Of(parts.class_name), FormatArg::Of(parts.module_file_name),
                     FormatArg::Position(parts.code_position), FormatArg::Of(parts.message),
                     FormatArg::Of(period)});
}

void ShowErrorReport(Platform& platform, MessageTexts& texts, const RaisedError& error) {
  const std::string_view format = texts.Get(TextId::kReportFormat);
  const std::string_view title = texts.Get(TextId::kReportTitle);
  const ModuleInfo module = platform.ModuleContaining(error.address());
  char text[kReportCapacity];
  FormatErrorReport(text, format,
                    {error.ClassName(), module.file_name, error.address() - module.base,
                     error.Message()});
  platform.ShowMessageBox(text, title.data(), kReportStyle);
}

}  // namespace velistra
