#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <limits>
#include <string>

#include "platform/PlatformError.h"
#include "platform/Utf8.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideText.h"

namespace monitor::win32 {
namespace {

// ReadFile and WriteFile move at most a DWORD's worth of bytes per call.
constexpr std::size_t kMaxTransfer = std::numeric_limits<DWORD>::max();
// Names are only taken by a crashed writer's leftovers, so a few tries suffice.
constexpr int kTemporaryNameAttempts = 100;

DWORD Attributes(std::u16string_view path) { return GetFileAttributesW(ToWide(path).c_str()); }

// Creates a new, uniquely named file in the target's folder, so that the
// final rename stays on one volume. Returns the error code, or ERROR_SUCCESS
// with the file and its name filled in.
DWORD CreateTemporaryBeside(const std::wstring& target, UniqueHandle& file, std::wstring& name) {
  static std::atomic<unsigned> counter{0};
  const std::wstring folder = target.substr(0, target.find_last_of(L"\\/") + 1);
  DWORD error = ERROR_FILE_EXISTS;
  for (int attempt = 0; attempt < kTemporaryNameAttempts && error == ERROR_FILE_EXISTS; ++attempt) {
    name =
        folder + L"~" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) + L".tmp";
    file = OwnFileHandle(
        CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    error = file ? ERROR_SUCCESS : GetLastError();
  }
  return error;
}

DWORD WriteAll(HANDLE file, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const auto chunk = static_cast<DWORD>(std::min(bytes.size(), kMaxTransfer));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) {
      return GetLastError();
    }
    bytes = bytes.subspan(written);
  }
  return ERROR_SUCCESS;
}

}  // namespace

bool Win32FileSystem::FileExists(std::u16string_view path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool Win32FileSystem::FolderExists(std::u16string_view path) {
  const DWORD attributes = Attributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32FileSystem::CreateFolder(std::u16string_view path) {
  return CreateDirectoryW(ToWide(path).c_str(), nullptr) != 0;
}

std::vector<std::uint8_t> Win32FileSystem::ReadWholeFile(std::u16string_view path) {
  const UniqueHandle file =
      OwnFileHandle(CreateFileW(ToWide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    throw PlatformError("cannot open " + ToUtf8(path), GetLastError());
  }
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size)) {
    throw PlatformError("cannot size " + ToUtf8(path), GetLastError());
  }
  if (static_cast<std::uint64_t>(size.QuadPart) > std::numeric_limits<std::size_t>::max()) {
    throw PlatformError("cannot hold " + ToUtf8(path), ERROR_FILE_TOO_LARGE);
  }
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const auto chunk = static_cast<DWORD>(std::min(bytes.size() - done, kMaxTransfer));
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr)) {
      throw PlatformError("cannot read " + ToUtf8(path), GetLastError());
    }
    if (read == 0) {
      break;  // the file got shorter since it was sized
    }
    done += read;
  }
  bytes.resize(done);
  return bytes;
}

void Win32FileSystem::WriteWholeFile(std::u16string_view path, std::span<const std::uint8_t> bytes) {
  const std::wstring target = ToWide(path);
  UniqueHandle file;
  std::wstring temporary;
  DWORD error = CreateTemporaryBeside(target, file, temporary);
  if (error != ERROR_SUCCESS) {
    throw PlatformError("cannot create a temporary file for " + ToUtf8(path), error);
  }
  error = WriteAll(file.get(), bytes);
  if (error == ERROR_SUCCESS && !FlushFileBuffers(file.get())) {
    error = GetLastError();
  }
  file.reset();
  if (error == ERROR_SUCCESS &&
      !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = GetLastError();
  }
  if (error != ERROR_SUCCESS) {
    DeleteFileW(temporary.c_str());
    throw PlatformError("cannot write " + ToUtf8(path), error);
  }
}

}  // namespace monitor::win32
