#include "platform/Registry.h"

namespace tessary {

namespace {
// The read buffer holds 260 bytes including the terminating zero.
constexpr size_t kValueBufferSize = 260;
}  // namespace

const char* RegistryRootName(RegistryRoot root) {
  return root == RegistryRoot::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

bool ReadRegistryString(IRegistryStore& store, RegistryRoot root, const std::string& keyPath,
                        const char* valueName, std::string& out, INotifier& notifier) {
  IRegistryStore::Lookup found = store.Read(root, keyPath, valueName);
  if (!found.keyOpened) {
    if (!found.error.empty()) notifier.ShowMessage(found.error, "Error");
    return false;
  }
  if (found.value && found.value->size() < kValueBufferSize)
    out = *found.value;
  else
    out.clear();
  return true;
}

bool WriteRegistryString(IRegistryStore& store, RegistryRoot root, const std::string& keyPath,
                         const char* valueName, const std::string& text) {
  return store.Write(root, keyPath, valueName, text);
}

}  // namespace tessary
