#include "mapping_store/mapping_store.h"

#include <cstddef>
#include <limits>
#include <memory>

#include "errors/raise.h"
#include "mapping_store/far_east_locale.h"
#include "platform/win32_values.h"

namespace velistra {
namespace {

// The part of `text` before its first NUL.
std::string_view UpToNul(std::string_view text) { return text.substr(0, text.find('\0')); }

}  // namespace

MappingStore::MappingStore(Platform& platform, std::uint32_t access)
    : platform_(platform), root_(kCurrentUserKey), access_(access) {}

void MappingStore::SetRootKey(RegKey root) {
  if (root == root_) return;
  Close();
  root_ = root;
}

bool MappingStore::Open(std::string_view path) {
  const bool relative = path.empty() || path.front() != '\\';
  if (!relative) path.remove_prefix(1);
  const Text sub_key(path);
  const RegKey parent = relative && is_open() ? current_key_.get() : root_;

  RegKey opened = 0;
  if (platform_.OpenKey(parent, sub_key.c_str(), 0, access_, &opened) != win32::kErrorSuccess) {
    return false;
  }
  OpenKey key(platform_, opened);
  Text full_path = relative && is_open() ? current_path_ + '\\' + sub_key : sub_key;
  current_key_ = std::move(key);  // closes the key that was open before
  current_path_ = std::move(full_path);
  return true;
}

void MappingStore::ListValueNames(NameList& names) {
  names.clear();
  if (!is_open()) return;

  KeyInfo info;
  if (platform_.QueryInfoKey(current_key_.get(), &info) != win32::kErrorSuccess) return;

  std::uint64_t longest = info.longest_value_name;
  if (IsFarEastLocale(platform_.ThreadLocale())) longest *= 2;
  // Room for the terminator; a length the API cannot even express is one
  // no buffer could be made for.
  const std::uint64_t capacity = longest + 1;
  if (capacity > std::numeric_limits<std::uint32_t>::max()) RaiseOutOfMemory(platform_);
  const auto buffer_length = static_cast<std::uint32_t>(capacity);
  const std::unique_ptr<char[]> buffer(new char[buffer_length]());

  // No reserve from the count: it may be stale, and the list grows as the
  // names come.
  for (std::uint32_t index = 0; index < info.values; ++index) {
    std::uint32_t length = buffer_length;
    if (platform_.EnumValueName(current_key_.get(), index, buffer.get(), &length) !=
        win32::kErrorSuccess) {
      // Whatever the failed call left in the buffer is not this index's
      // name; an earlier name kept there would be handled twice.
      names.emplace_back();
      continue;
    }
    const std::size_t written = length < buffer_length ? length : buffer_length - 1;
    names.emplace_back(UpToNul({buffer.get(), written}));
  }
}

Text MappingStore::ReadText(const Text& name) {
  std::uint32_t type = win32::kRegNone;
  std::uint32_t size = 0;
  if (platform_.QueryValue(current_key_.get(), name.c_str(), &type, nullptr, &size) !=
          win32::kErrorSuccess ||
      size == 0) {
    return {};
  }

  Text text;
  // Only a 32-bit process can be asked for more than a text can hold.
  if (std::uint64_t{size} > std::uint64_t{text.max_size()}) RaiseOutOfMemory(platform_);
  text.resize(size);
  std::uint32_t returned = size;
  type = win32::kRegNone;
  if (platform_.QueryValue(current_key_.get(), name.c_str(), &type,
                           reinterpret_cast<unsigned char*>(text.data()),
                           &returned) != win32::kErrorSuccess) {
    RaiseRegistryException(platform_, TextId::kFailedToGetData, name);
  }
  if (type != win32::kRegSz && type != win32::kRegExpandSz) {
    RaiseRegistryException(platform_, TextId::kInvalidDataType, name);
  }
  // Only the bytes the data query says it wrote are data: the size query
  // may ask for more than the ANSI text needs, and the value may have
  // shrunk in between.
  if (returned < size) text.resize(returned);
  text.resize(UpToNul(text).size());
  return text;
}

void MappingStore::Close() {
  current_key_.Close();
  current_path_.clear();
}

}  // namespace velistra
