#pragma once
// Memory for the model's many small objects (nets, instances, buses, pin
// arrays) and its large tables. A flattened design has millions of them, so
// they come from 2 MiB chunks marked for transparent huge pages: one page
// fault and one TLB entry per chunk instead of one per 4 KiB, and no general
// allocator bookkeeping per object. Freed blocks return to a free list of
// their size class; when the last block is freed (the models are gone) the
// chunks go back to the system.
#include <cstddef>
#include <new>

namespace hdm {

class Arena {
 public:
  static void* allocate(std::size_t bytes);
  static void deallocate(void* p, std::size_t bytes) noexcept;

  // Memory for a large table: huge-page backed when it spans whole pages.
  static void* allocateTable(std::size_t bytes);
  static void deallocateTable(void* p, std::size_t bytes) noexcept;
};

// Class-level allocation through the arena: a base for the model's objects.
struct ArenaAllocated {
  static void* operator new(std::size_t bytes) { return Arena::allocate(bytes); }
  static void operator delete(void* p, std::size_t bytes) noexcept { Arena::deallocate(p, bytes); }
  static void* operator new[](std::size_t bytes) { return Arena::allocate(bytes); }
  static void operator delete[](void* p, std::size_t bytes) noexcept {
    Arena::deallocate(p, bytes);
  }
};

// Allocator for the large vectors of name sets.
template <class T>
struct TableAllocator {
  using value_type = T;
  TableAllocator() = default;
  template <class U>
  TableAllocator(const TableAllocator<U>&) {}
  T* allocate(std::size_t n) { return static_cast<T*>(Arena::allocateTable(n * sizeof(T))); }
  void deallocate(T* p, std::size_t n) noexcept { Arena::deallocateTable(p, n * sizeof(T)); }
  template <class U>
  bool operator==(const TableAllocator<U>&) const {
    return true;
  }
};

}  // namespace hdm
