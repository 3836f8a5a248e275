// The program's message texts and formats, in one place.
#pragma once

#include <string_view>

namespace velistra::messages {

inline constexpr std::string_view kInvalidDataType = "Invalid data type for '%s'";
inline constexpr std::string_view kFailedToGetData = "Failed to get data for '%s'";
inline constexpr std::string_view kOutOfMemory = "Out of memory";

inline constexpr std::string_view kReportTitle = "Application Error";
inline constexpr std::string_view kReportFormat = "Exception %s in module %s at %p.\r\n%s%s\r\n";

}  // namespace velistra::messages
