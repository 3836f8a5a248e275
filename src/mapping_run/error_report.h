// The report shown when an error ends the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "errors/message_texts.h"
#include "errors/raised_error.h"
#include "platform/platform.h"

namespace velistra {

// What the report says of one error.
struct ErrorReportParts {
  std::string_view class_name;
  std::string_view module_file_name;
  std::uintptr_t code_position = 0;  // the raising code's offset in its module
  std::string_view message;
};

// The report's text from `format`, written as FormatInto writes: bounded,
// NUL-terminated, returning the full length.
std::size_t FormatErrorReport(std::span<char> out, std::string_view format,
                              const ErrorReportParts& parts);

// Shows `error` in a task-modal stop box with no owner window, in the
// title and format of `texts`. It allocates nothing, so it works after
// memory ran out.
void ShowErrorReport(Platform& platform, MessageTexts& texts, const RaisedError& error);

}  // namespace velistra
