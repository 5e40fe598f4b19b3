#include "package/machine.h"

#include <msi.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>

#include "win32/handles.h"

namespace tess::package {
namespace {

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

// The COM interfaces of one call, released on every path.
template <typename Interface>
class ComPointer {
 public:
  ComPointer() = default;
  ~ComPointer() {
    if (pointer_ != nullptr) pointer_->Release();
  }
  ComPointer(const ComPointer&) = delete;
  ComPointer& operator=(const ComPointer&) = delete;
  Interface* operator->() const { return pointer_; }
  Interface** Out() { return &pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }

 private:
  Interface* pointer_ = nullptr;
};

class ComApartment {
 public:
  ComApartment() : ready_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ~ComApartment() {
    if (ready_) CoUninitialize();
  }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;

 private:
  bool ready_;
};

std::wstring Cut(const wchar_t* text) { return std::wstring(text, wcsnlen(text, MAX_PATH)); }

}  // namespace

int RunAndWait(std::wstring command_line, std::chrono::milliseconds timeout) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    return -1;
  }
  CloseHandle(info.hThread);
  const win32::UniqueObject process(info.hProcess);
  if (WaitForSingleObject(process.Get(), static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) {
    TerminateProcess(process.Get(), 1);
    return -1;
  }
  DWORD code = 0;
  GetExitCodeProcess(process.Get(), &code);
  return static_cast<int>(code);
}

std::wstring ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return L"";
  return Cut(path);
}

std::optional<std::wstring> RegistryText(HKEY root, const std::wstring& key, const wchar_t* name) {
  DWORD bytes = 0;
  const DWORD flags = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
  if (RegGetValueW(root, key.c_str(), name, flags, nullptr, nullptr, &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegGetValueW(root, key.c_str(), name, flags, nullptr, value.data(), &bytes) !=
      ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.resize(wcslen(value.c_str()));
  return value;
}

void SetRegistryText(HKEY root, const std::wstring& key, const wchar_t* name,
                     const std::wstring& value) {
  RegSetKeyValueW(root, key.c_str(), name, REG_SZ, value.c_str(),
                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::vector<UninstallEntry> UninstallEntriesNamed(const std::wstring& display_name) {
  std::vector<UninstallEntry> entries;
  HKEY raw = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &raw) != ERROR_SUCCESS) {
    return entries;
  }
  const win32::UniqueKey list(raw);
  for (DWORD index = 0;; ++index) {
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumKeyExW(list.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    const std::wstring key = std::wstring(kUninstallKey) + L"\\" + name;
    if (RegistryText(HKEY_LOCAL_MACHINE, key, L"DisplayName") != display_name) continue;
    entries.push_back({name, RegistryText(HKEY_LOCAL_MACHINE, key, L"Publisher").value_or(L""),
                       RegistryText(HKEY_LOCAL_MACHINE, key, L"DisplayVersion").value_or(L""),
                       RegistryText(HKEY_LOCAL_MACHINE, key, L"DisplayIcon").value_or(L"")});
  }
  return entries;
}

std::vector<std::wstring> ProductsOfUpgradeCode(const std::wstring& upgrade_code) {
  std::vector<std::wstring> products;
  wchar_t product[39];
  for (DWORD index = 0;
       MsiEnumRelatedProductsW(upgrade_code.c_str(), 0, index, product) == ERROR_SUCCESS; ++index) {
    products.push_back(product);
  }
  return products;
}

std::wstring ProductIcon(const std::wstring& product_code) {
  wchar_t path[MAX_PATH] = {};
  DWORD length = MAX_PATH;
  if (MsiGetProductInfoW(product_code.c_str(), INSTALLPROPERTY_PRODUCTICON, path, &length) !=
      ERROR_SUCCESS) {
    return L"";
  }
  return Cut(path);
}

std::optional<Shortcut> ReadShortcut(const std::wstring& link_path) {
  const ComApartment apartment;
  ComPointer<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(link.Out())))) {
    return std::nullopt;
  }
  ComPointer<IPersistFile> file;
  if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.Out()))) ||
      FAILED(file->Load(link_path.c_str(), STGM_READ))) {
    return std::nullopt;
  }
  Shortcut shortcut;
  wchar_t text[MAX_PATH] = {};
  if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) shortcut.target = Cut(text);
  text[0] = L'\0';
  if (SUCCEEDED(link->GetWorkingDirectory(text, MAX_PATH))) shortcut.working_folder = Cut(text);
  text[0] = L'\0';
  int icon_index = 0;
  if (SUCCEEDED(link->GetIconLocation(text, MAX_PATH, &icon_index))) shortcut.icon = Cut(text);
  return shortcut;
}

std::optional<VersionResource> ReadVersionResource(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<unsigned char> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::nullopt;

  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixed_size = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixed_size) ||
      fixed_size < sizeof(VS_FIXEDFILEINFO) || fixed->dwSignature != VS_FFI_SIGNATURE) {
    return std::nullopt;
  }
  const auto dotted = [](DWORD high, DWORD low) {
    return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." +
           std::to_wstring(HIWORD(low)) + L"." + std::to_wstring(LOWORD(low));
  };
  VersionResource resource;
  resource.file_version = dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS);
  resource.product_version = dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS);
  for (const wchar_t* name : {L"CompanyName", L"FileDescription", L"FileVersion", L"LegalCopyright",
                              L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    wchar_t* text = nullptr;
    UINT length = 0;
    if (VerQueryValueW(data.data(), query.c_str(), reinterpret_cast<void**>(&text), &length) &&
        text != nullptr) {
      resource.texts[name] = std::wstring(text, wcsnlen(text, length));
    }
  }
  return resource;
}

bool HasIconGroup(const std::wstring& path, int id) {
  const HMODULE module = LoadLibraryExW(path.c_str(), nullptr,
                                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) return false;
  const bool found = FindResourceW(module, MAKEINTRESOURCEW(id), RT_GROUP_ICON) != nullptr;
  FreeLibrary(module);
  return found;
}

}  // namespace tess::package
