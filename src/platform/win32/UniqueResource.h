// Sole owner of one Windows handle-like value, released exactly once.
#pragma once

#include <utility>

namespace monitor::win32 {

template <class Handle, auto Release, Handle Empty = Handle{}>
class UniqueResource {
 public:
  UniqueResource() = default;
  explicit UniqueResource(Handle handle) : handle_(handle) {}
  UniqueResource(UniqueResource&& other) noexcept : handle_(std::exchange(other.handle_, Empty)) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) {
      reset(std::exchange(other.handle_, Empty));
    }
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;
  ~UniqueResource() { reset(); }

  [[nodiscard]] Handle get() const { return handle_; }
  [[nodiscard]] explicit operator bool() const { return handle_ != Empty; }

  // For APIs that return the handle through a pointer argument.
  Handle* put() {
    reset();
    return &handle_;
  }

  void reset(Handle handle = Empty) {
    if (handle_ != Empty) {
      Release(handle_);
    }
    handle_ = handle;
  }

 private:
  Handle handle_ = Empty;
};

}  // namespace monitor::win32
