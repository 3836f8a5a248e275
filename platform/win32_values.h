// The Win32 values that the program's logic speaks in, written out so that
// code outside platform/windows never needs <windows.h>. The Windows build
// checks every one of them against the system headers.
#pragma once

#include <cstdint>

namespace velistra::win32 {

// Error codes returned by the registry services.
inline constexpr std::int32_t kErrorSuccess = 0;
inline constexpr std::int32_t kErrorFileNotFound = 2;
inline constexpr std::int32_t kErrorAccessDenied = 5;
inline constexpr std::int32_t kErrorInvalidHandle = 6;
inline constexpr std::int32_t kErrorMoreData = 234;
inline constexpr std::int32_t kErrorNoMoreItems = 259;

// Registry value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kRegQword = 11;

// Query values, enumerate sub-keys, notify, read control: nothing that writes.
inline constexpr std::uint32_t kKeyRead = 0x20019;

// Message box style of the error report.
inline constexpr std::uint32_t kMbOk = 0x0000;
inline constexpr std::uint32_t kMbIconStop = 0x0010;
inline constexpr std::uint32_t kMbTaskModal = 0x2000;

// Answers of the unhandled-error filter.
inline constexpr std::int32_t kExceptionExecuteHandler = 1;
inline constexpr std::int32_t kExceptionContinueSearch = 0;
inline constexpr std::int32_t kExceptionContinueExecution = -1;

// Primary language ids, as in the low ten bits of a LANGID.
inline constexpr std::uint16_t kLangNeutral = 0x00;
inline constexpr std::uint16_t kLangDanish = 0x06;
inline constexpr std::uint16_t kLangGerman = 0x07;
inline constexpr std::uint16_t kLangEnglish = 0x09;
inline constexpr std::uint16_t kLangSpanish = 0x0a;
inline constexpr std::uint16_t kLangFinnish = 0x0b;
inline constexpr std::uint16_t kLangFrench = 0x0c;
inline constexpr std::uint16_t kLangItalian = 0x10;
inline constexpr std::uint16_t kLangDutch = 0x13;
inline constexpr std::uint16_t kLangNorwegian = 0x14;
inline constexpr std::uint16_t kLangPortuguese = 0x16;
inline constexpr std::uint16_t kLangSwedish = 0x1d;

}  // namespace velistra::win32
