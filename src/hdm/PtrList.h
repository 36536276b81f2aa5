#pragma once
// A list of pointers that keeps up to N of them inside the owning object and
// moves to the heap beyond that: most nets of a flattened design have two or
// three pins and carry no port, so they need no allocation for either list.
#include <cstdint>
#include <cstring>
#include <span>
#include <utility>

#include "hdm/Arena.h"

namespace hdm {

template <class T, unsigned N>
class PtrList {
  static_assert(N >= 1, "at least one pointer inside");

 public:
  PtrList() = default;
  PtrList(const PtrList&) = delete;
  PtrList& operator=(const PtrList&) = delete;
  ~PtrList() { release(); }

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T** data() { return onHeap() ? heap_ : inline_; }
  T* const* data() const { return onHeap() ? heap_ : inline_; }
  T*& operator[](size_t i) { return data()[i]; }
  T* operator[](size_t i) const { return data()[i]; }
  T* back() const { return data()[size_ - 1]; }
  std::span<T* const> view() const { return {data(), size_}; }

  void push_back(T* p) {
    if (size_ == cap_) grow(static_cast<std::uint32_t>(cap_ * 2));
    data()[size_++] = p;
  }
  void pop_back() { --size_; }
  void reserve(size_t n) {
    if (n > cap_) grow(static_cast<std::uint32_t>(n));
  }
  // Empties the list and gives back its heap storage.
  void clear() {
    release();
    size_ = 0;
    cap_ = N;
  }

 private:
  bool onHeap() const { return cap_ > N; }
  void grow(std::uint32_t cap) {
    T** fresh = static_cast<T**>(Arena::allocate(cap * sizeof(T*)));
    std::memcpy(fresh, data(), size_ * sizeof(T*));
    release();
    heap_ = fresh;
    cap_ = cap;
  }
  void release() {
    if (onHeap()) Arena::deallocate(heap_, cap_ * sizeof(T*));
  }

  union {
    T* inline_[N];
    T** heap_;
  };
  std::uint32_t size_ = 0;
  std::uint32_t cap_ = N;
};

}  // namespace hdm
