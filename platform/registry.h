// A file-backed stand-in for the registry values under HKEY_LOCAL_MACHINE.
//
// A key is a folder under the registry root ($KAVRO_REGISTRY_ROOT, else
// $XDG_CONFIG_HOME/kavro/registry); each value is one file holding its data
// byte for byte, named after the value with its type as the extension.
// Key and value names compare without regard to case, as in the registry,
// so names are stored case-folded. Values are written whole or not at all.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

enum RegType : std::uint32_t {
  kRegNone = 0,
  kRegSz = 1,
  kRegBinary = 3,
  kRegDword = 4,
};

// Status codes, numbered like the Windows errors the callers test.
enum RegStatus : long {
  kRegOk = 0,
  kRegNotFound = 2,
  kRegAccessDenied = 5,
  kRegInvalidParameter = 87,
  kRegMoreData = 234,
};

std::string registryRoot();

class RegistryKey {
 public:
  RegistryKey() = default;

  // Opens an existing key ("Software\\KAVRO\\Q350"); kRegNotFound when absent.
  RegStatus open(std::string_view path);
  // Opens the key, creating it and its parents when needed.
  RegStatus create(std::string_view path);
  void close() { folder_.clear(); }
  bool isOpen() const { return !folder_.empty(); }

  // Windows semantics: with data == nullptr only the size is given; when the
  // buffer is too small the size is set to what is needed and kRegMoreData
  // returned. type and size may be null.
  RegStatus queryValue(std::string_view name, std::uint32_t* type, void* data, std::uint32_t* size) const;
  RegStatus queryValue(std::string_view name, std::uint32_t& type, std::string& data) const;
  RegStatus setValue(std::string_view name, std::uint32_t type, const void* data, std::uint32_t size);
  RegStatus setDword(std::string_view name, std::uint32_t value);
  RegStatus deleteValue(std::string_view name);

  const std::string& folder() const { return folder_; }

 private:
  std::string valueFile(std::string_view name, std::uint32_t& type) const;
  std::string folder_;
};

}  // namespace platform
