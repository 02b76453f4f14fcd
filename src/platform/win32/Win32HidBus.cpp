#include "platform/win32/Win32HidBus.h"

// clang-format off
#include <windows.h>
#include <setupapi.h>
#include <hidsdi.h>
// clang-format on

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <type_traits>

#include "platform/MultiString.h"
#include "platform/win32/OverlappedIo.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/UniqueResource.h"
#include "platform/win32/WideText.h"

namespace monitor::win32 {

using UniqueModule = UniqueResource<HMODULE, &FreeLibrary>;

// The entry points the bus uses, resolved once; empty members when a
// library or one of its functions is missing.
struct HidLibraries {
  UniqueModule setupApi;
  UniqueModule hid;
  decltype(&SetupDiGetClassDevsW) getClassDevs = nullptr;
  decltype(&SetupDiEnumDeviceInterfaces) enumDeviceInterfaces = nullptr;
  decltype(&SetupDiGetDeviceInterfaceDetailW) getDeviceInterfaceDetail = nullptr;
  decltype(&SetupDiGetDeviceRegistryPropertyW) getDeviceRegistryProperty = nullptr;
  decltype(&SetupDiDestroyDeviceInfoList) destroyDeviceInfoList = nullptr;
  decltype(&HidD_GetHidGuid) getHidGuid = nullptr;
  decltype(&HidD_GetAttributes) getAttributes = nullptr;
  decltype(&HidD_GetPreparsedData) getPreparsedData = nullptr;
  decltype(&HidD_FreePreparsedData) freePreparsedData = nullptr;
  decltype(&HidD_SetFeature) setFeature = nullptr;
  decltype(&HidD_GetFeature) getFeature = nullptr;
  decltype(&HidP_GetCaps) getCaps = nullptr;
  decltype(&HidP_MaxUsageListLength) maxUsageListLength = nullptr;
  decltype(&HidP_GetUsagesEx) getUsagesEx = nullptr;
};

namespace {

// Never through the current directory or the program's search path.
UniqueModule LoadSystemLibrary(const wchar_t* name) {
  return UniqueModule(LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

template <class Function>
bool Resolve(const UniqueModule& module, const char* name, Function*& function) {
  // Through the generic function pointer type, which any function pointer
  // may be cast to and back without a warning.
  function = reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(GetProcAddress(module.get(), name)));
  return function != nullptr;
}

std::shared_ptr<const HidLibraries> LoadHidLibraries() {
  auto libraries = std::make_shared<HidLibraries>();
  libraries->setupApi = LoadSystemLibrary(L"SetupApi.dll");
  libraries->hid = LoadSystemLibrary(L"HID.dll");
  const UniqueModule& setupApi = libraries->setupApi;
  const UniqueModule& hid = libraries->hid;
  HidLibraries& l = *libraries;
  const bool complete =
      setupApi && hid && Resolve(setupApi, "SetupDiGetClassDevsW", l.getClassDevs) &&
      Resolve(setupApi, "SetupDiEnumDeviceInterfaces", l.enumDeviceInterfaces) &&
      Resolve(setupApi, "SetupDiGetDeviceInterfaceDetailW", l.getDeviceInterfaceDetail) &&
      Resolve(setupApi, "SetupDiGetDeviceRegistryPropertyW", l.getDeviceRegistryProperty) &&
      Resolve(setupApi, "SetupDiDestroyDeviceInfoList", l.destroyDeviceInfoList) &&
      Resolve(hid, "HidD_GetHidGuid", l.getHidGuid) && Resolve(hid, "HidD_GetAttributes", l.getAttributes) &&
      Resolve(hid, "HidD_GetPreparsedData", l.getPreparsedData) &&
      Resolve(hid, "HidD_FreePreparsedData", l.freePreparsedData) &&
      Resolve(hid, "HidD_SetFeature", l.setFeature) && Resolve(hid, "HidD_GetFeature", l.getFeature) &&
      Resolve(hid, "HidP_GetCaps", l.getCaps) &&
      Resolve(hid, "HidP_MaxUsageListLength", l.maxUsageListLength) &&
      Resolve(hid, "HidP_GetUsagesEx", l.getUsagesEx);
  return complete ? libraries : nullptr;
}

using DeviceInfoSet = std::unique_ptr<void, decltype(&SetupDiDestroyDeviceInfoList)>;
using PreparsedData =
    std::unique_ptr<std::remove_pointer_t<PHIDP_PREPARSED_DATA>, decltype(&HidD_FreePreparsedData)>;

// The path from an interface's detail record, read within the bytes the
// system filled in.
std::u16string InterfacePath(const HidLibraries& libraries, HDEVINFO set, SP_DEVICE_INTERFACE_DATA& interface,
                             SP_DEVINFO_DATA& device) {
  DWORD required = 0;
  if (libraries.getDeviceInterfaceDetail(set, &interface, nullptr, 0, &required, nullptr) ||
      GetLastError() != ERROR_INSUFFICIENT_BUFFER || required <= sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
    return {};
  }
  // DWORD elements keep the record's alignment.
  std::vector<DWORD> detail((required + sizeof(DWORD) - 1) / sizeof(DWORD));
  detail[0] = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);  // its cbSize: the fixed part only
  if (!libraries.getDeviceInterfaceDetail(set, &interface,
                                          reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(detail.data()),
                                          required, nullptr, &device)) {
    return {};
  }
  constexpr std::size_t kPathOffset = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath);
  std::u16string path((required - kPathOffset) / sizeof(char16_t), u'\0');
  std::memcpy(path.data(), reinterpret_cast<const std::byte*>(detail.data()) + kPathOffset,
              path.size() * sizeof(char16_t));
  path.resize(std::min(path.size(), path.find(u'\0')));
  return path;
}

std::vector<std::u16string> HardwareIds(const HidLibraries& libraries, HDEVINFO set,
                                        SP_DEVINFO_DATA& device) {
  DWORD type = REG_NONE;
  DWORD required = 0;
  if (libraries.getDeviceRegistryProperty(set, &device, SPDRP_HARDWAREID, &type, nullptr, 0, &required) ||
      GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    return {};
  }
  std::u16string text((required + 1) / sizeof(char16_t), u'\0');
  DWORD returned = 0;
  if (!libraries.getDeviceRegistryProperty(set, &device, SPDRP_HARDWAREID, &type,
                                           reinterpret_cast<BYTE*>(text.data()),
                                           static_cast<DWORD>(text.size() * sizeof(char16_t)), &returned) ||
      type != REG_MULTI_SZ) {
    return {};
  }
  text.resize(std::min<std::size_t>(text.size(), returned / sizeof(char16_t)));
  return SplitMultiString(text);
}

class Win32HidDevice final : public HidDevice {
 public:
  Win32HidDevice(std::shared_ptr<const HidLibraries> libraries, UniqueHandle file)
      : libraries_(std::move(libraries)),
        file_(std::move(file)),
        preparsed_(nullptr, libraries_->freePreparsedData),
        reader_(file_.get()) {
    PHIDP_PREPARSED_DATA data = nullptr;
    if (libraries_->getPreparsedData(file_.get(), &data)) {
      preparsed_.reset(data);
    }
  }

  std::optional<HidCapabilities> Capabilities() override {
    HIDD_ATTRIBUTES attributes{};
    attributes.Size = sizeof(attributes);
    HIDP_CAPS caps{};
    if (!libraries_->getAttributes(file_.get(), &attributes) || !preparsed_ ||
        libraries_->getCaps(preparsed_.get(), &caps) != HIDP_STATUS_SUCCESS) {
      return std::nullopt;
    }
    return HidCapabilities{caps.Usage, caps.UsagePage, caps.InputReportByteLength,
                           caps.OutputReportByteLength, caps.FeatureReportByteLength};
  }

  HidReadResult ReadReport(std::span<std::uint8_t> buffer, std::stop_token stop) override {
    return reader_.Read(buffer, std::move(stop));
  }

  std::optional<std::vector<HidUsage>> ButtonUsages(std::span<const std::uint8_t> report) override {
    if (!preparsed_) {
      return std::nullopt;
    }
    ULONG count = libraries_->maxUsageListLength(HidP_Input, 0, preparsed_.get());
    std::vector<USAGE_AND_PAGE> usages(count);
    // The parser takes the report through a non-const pointer.
    std::vector<char> bytes(report.begin(), report.end());
    if (count > 0 &&
        libraries_->getUsagesEx(HidP_Input, 0, usages.data(), &count, preparsed_.get(), bytes.data(),
                                static_cast<ULONG>(bytes.size())) != HIDP_STATUS_SUCCESS) {
      return std::nullopt;
    }
    std::vector<HidUsage> result;
    for (ULONG i = 0; i < std::min<ULONG>(count, static_cast<ULONG>(usages.size())); ++i) {
      result.push_back({usages[i].Usage, usages[i].UsagePage});
    }
    return result;
  }

  std::uint32_t SetFeature(std::span<const std::uint8_t> report) override {
    // The service takes the report through a non-const pointer.
    std::vector<std::uint8_t> bytes(report.begin(), report.end());
    return libraries_->setFeature(file_.get(), bytes.data(), static_cast<ULONG>(bytes.size()))
               ? ERROR_SUCCESS
               : GetLastError();
  }

  std::uint32_t GetFeature(std::span<std::uint8_t> report) override {
    return libraries_->getFeature(file_.get(), report.data(), static_cast<ULONG>(report.size()))
               ? ERROR_SUCCESS
               : GetLastError();
  }

  std::uint32_t WriteOutput(std::span<const std::uint8_t> report) override {
    return WriteAndWait(file_.get(), report);
  }

 private:
  std::shared_ptr<const HidLibraries> libraries_;  // first in, last out
  UniqueHandle file_;
  PreparsedData preparsed_;
  OverlappedReader reader_;
};

}  // namespace

Win32HidBus::Win32HidBus() : libraries_(LoadHidLibraries()) {}

Win32HidBus::~Win32HidBus() = default;

std::vector<HidInterfaceInfo> Win32HidBus::EnumerateInterfaces() {
  std::vector<HidInterfaceInfo> interfaces;
  if (!libraries_) {
    return interfaces;
  }
  const HidLibraries& libraries = *libraries_;
  GUID hidClass{};
  libraries.getHidGuid(&hidClass);
  HDEVINFO found = libraries.getClassDevs(&hidClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  const DeviceInfoSet set(found == INVALID_HANDLE_VALUE ? nullptr : found, libraries.destroyDeviceInfoList);
  if (!set) {
    return interfaces;
  }
  SP_DEVICE_INTERFACE_DATA interface {};
  interface.cbSize = sizeof(interface);
  for (DWORD index = 0; libraries.enumDeviceInterfaces(set.get(), nullptr, &hidClass, index, &interface);
       ++index) {
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    std::u16string path = InterfacePath(libraries, set.get(), interface, device);
    if (!path.empty()) {
      interfaces.push_back({std::move(path), HardwareIds(libraries, set.get(), device)});
    }
  }
  return interfaces;
}

std::unique_ptr<HidDevice> Win32HidBus::Open(const std::u16string& path, HidAccess access) {
  if (!libraries_) {
    return nullptr;
  }
  const DWORD flags = access == HidAccess::Reading ? FILE_FLAG_OVERLAPPED : FILE_ATTRIBUTE_NORMAL;
  UniqueHandle file =
      OwnFileHandle(CreateFileW(ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, flags, nullptr));
  if (!file) {
    return nullptr;
  }
  return std::make_unique<Win32HidDevice>(libraries_, std::move(file));
}

}  // namespace monitor::win32
