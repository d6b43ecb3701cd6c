// A registry entry as the Inno Setup installer leaves it (its uninstall key with
// InstallLocation, below HKEY_CURRENT_USER as a per-user install writes it), so a test
// can have the builder find a compiler the way it finds an installed one. The entry is
// removed again when the object goes.
#pragma once
#include <windows.h>

#include <string>

#include "builder/output/build.h"

namespace prismora::testsupport {

class CompilerRecord {
 public:
  // `product` is "Inno Setup 5" or "Inno Setup 6"; `folder` holds ISCC.exe.
  CompilerRecord(const char* product, const std::string& folder) : key_(output::CompilerUninstallKey(product)) {
    HKEY k;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) !=
        ERROR_SUCCESS)
      return;
    written_ = RegSetValueExA(k, "InstallLocation", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                              DWORD(folder.size() + 1)) == ERROR_SUCCESS;
    RegCloseKey(k);
  }
  ~CompilerRecord() { RegDeleteKeyA(HKEY_CURRENT_USER, key_.c_str()); }
  CompilerRecord(const CompilerRecord&) = delete;
  CompilerRecord& operator=(const CompilerRecord&) = delete;
  bool Written() const { return written_; }

 private:
  std::string key_;
  bool written_ = false;
};

}  // namespace prismora::testsupport
