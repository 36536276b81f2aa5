#include "hdm/Arena.h"

#include <sys/mman.h>

#include <cstdlib>
#include <vector>

// Under AddressSanitizer every block is a plain allocation, so that the
// sanitizer sees each object's lifetime.
#if defined(__SANITIZE_ADDRESS__)
#define OSVO_ARENA_PLAIN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define OSVO_ARENA_PLAIN 1
#endif
#endif

namespace hdm {

#ifdef OSVO_ARENA_PLAIN
void* Arena::allocate(std::size_t bytes) {
  return ::operator new(bytes);
}
void Arena::deallocate(void* p, std::size_t) noexcept {
  ::operator delete(p);
}
void* Arena::allocateTable(std::size_t bytes) {
  return ::operator new(bytes);
}
void Arena::deallocateTable(void* p, std::size_t) noexcept {
  ::operator delete(p);
}
#else

namespace {

constexpr std::size_t kChunk = std::size_t{2} << 20;
constexpr std::size_t kGrain = 16;
constexpr std::size_t kMaxSmall = 4096;
constexpr std::size_t kClasses = kMaxSmall / kGrain + 1;

void* hugeBlock(std::size_t bytes) {
  void* p = std::aligned_alloc(kChunk, bytes);
  if (!p) throw std::bad_alloc();
  madvise(p, bytes, MADV_HUGEPAGE);
  return p;
}

struct FreeBlock {
  FreeBlock* next;
};

struct State {
  std::vector<void*> chunks;
  FreeBlock* freeLists[kClasses] = {};
  char* cur = nullptr;
  char* end = nullptr;
  std::size_t live = 0;  // blocks handed out and not yet returned

  void releaseAll() {
    // Keep one chunk, so that a lone object made and freed again and again
    // does not fetch a fresh chunk each time.
    for (std::size_t i = 1; i < chunks.size(); ++i) std::free(chunks[i]);
    if (!chunks.empty()) chunks.resize(1);
    for (FreeBlock*& f : freeLists) f = nullptr;
    cur = chunks.empty() ? nullptr : static_cast<char*>(chunks[0]);
    end = cur ? cur + kChunk : nullptr;
  }
};

State& state() {
  static State* s = new State;  // never destroyed: objects may outlive statics
  return *s;
}

std::size_t classOf(std::size_t bytes) {
  return (bytes + kGrain - 1) / kGrain;
}

}  // namespace

void* Arena::allocate(std::size_t bytes) {
  if (bytes == 0) bytes = 1;
  if (bytes > kMaxSmall) return ::operator new(bytes);
  State& s = state();
  std::size_t c = classOf(bytes);
  ++s.live;
  if (FreeBlock* f = s.freeLists[c]) {
    s.freeLists[c] = f->next;
    return f;
  }
  std::size_t size = c * kGrain;
  if (static_cast<std::size_t>(s.end - s.cur) < size) {
    s.chunks.push_back(hugeBlock(kChunk));
    s.cur = static_cast<char*>(s.chunks.back());
    s.end = s.cur + kChunk;
  }
  void* p = s.cur;
  s.cur += size;
  return p;
}

void Arena::deallocate(void* p, std::size_t bytes) noexcept {
  if (!p) return;
  if (bytes == 0) bytes = 1;
  if (bytes > kMaxSmall) {
    ::operator delete(p);
    return;
  }
  State& s = state();
  auto* f = static_cast<FreeBlock*>(p);
  std::size_t c = classOf(bytes);
  f->next = s.freeLists[c];
  s.freeLists[c] = f;
  if (--s.live == 0) s.releaseAll();
}

void* Arena::allocateTable(std::size_t bytes) {
  if (bytes >= kChunk) return hugeBlock((bytes + kChunk - 1) / kChunk * kChunk);
  return ::operator new(bytes);
}

void Arena::deallocateTable(void* p, std::size_t bytes) noexcept {
  if (!p) return;
  if (bytes >= kChunk)
    std::free(p);
  else
    ::operator delete(p);
}
#endif

}  // namespace hdm
