#include "mapping_run/mapping_run.h"

#include "mapping_run/drive_name.h"
#include "mapping_store/mapping_store.h"
#include "platform/win32_values.h"
#include "text/text.h"
#include "text/trim.h"

namespace velistra {
namespace {

// Closes the store's key when the pass ends, however it ends.
class KeyCloser {
 public:
  explicit KeyCloser(MappingStore& store) : store_(store) {}
  ~KeyCloser() { store_.Close(); }
  KeyCloser(const KeyCloser&) = delete;
  KeyCloser& operator=(const KeyCloser&) = delete;

 private:
  MappingStore& store_;
};

// Defines the alias as an ordinary path: no raw target, no removal.
constexpr std::uint32_t kDefineFlags = 0;

}  // namespace

void MappingRun::Execute() {
  // Declared in the order made, so they are released in reverse: the key,
  // then the list, then the store.
  MappingStore store(platform_, win32::kKeyRead);
  NameList names;
  store.SetRootKey(kCurrentUserKey);
  if (!store.Open(kMappingsKeyPath)) return;
  const KeyCloser key_closer(store);

  store.ListValueNames(names);
  Text target_folder;
  for (const Text& name : names) {
    if (!IsDriveName(name)) continue;
    target_folder = Trim(store.ReadText(name));
    if (target_folder.empty()) continue;
    // A failed definition is not the pass's concern: it goes on.
    platform_.DefineDosDeviceName(kDefineFlags, name.c_str(), target_folder.c_str());
  }
}

}  // namespace velistra
