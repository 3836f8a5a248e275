// Read-only access to one registry key's values: the current user's
// mapping list. It never creates, changes or deletes a key or a value.
#pragma once

#include <cstdint>
#include <string_view>

#include "mapping_store/open_key.h"
#include "platform/platform.h"
#include "text/text.h"

namespace velistra {

class MappingStore {
 public:
  // A store below HKEY_CURRENT_USER with no key open, opening keys with
  // `access`.
  MappingStore(Platform& platform, std::uint32_t access);
  // Closes the current key, if any.
  ~MappingStore() = default;
  MappingStore(const MappingStore&) = delete;
  MappingStore& operator=(const MappingStore&) = delete;

  // Takes another root; a different one closes the current key first.
  void SetRootKey(RegKey root);

  // Opens `path` for reading; it is never created. A leading backslash makes
  // the path absolute (below the root), otherwise it is taken below the
  // current key, or the root when none is open. On success the new key
  // replaces the current one, which is closed; on failure nothing changes.
  bool Open(std::string_view path);

  // Replaces `names` with every value name of the current key, in the
  // registry's index order: one entry per index, empty for an index that
  // could not be read. Stays empty when the key cannot be queried.
  void ListValueNames(NameList& names);

  // The value `name` as text, cut at its first NUL and never expanded.
  // Empty when the value is missing or has no data. Raises
  // ERegistryException when its data cannot be read or is not a string.
  Text ReadText(const Text& name);

  // Closes the current key, if any.
  void Close();

  bool is_open() const { return current_key_.is_open(); }
  // The current key's path below the root, without a leading backslash.
  const Text& current_path() const { return current_path_; }

 private:
  Platform& platform_;
  RegKey root_;
  std::uint32_t access_;
  OpenKey current_key_;
  Text current_path_;
};

}  // namespace velistra
