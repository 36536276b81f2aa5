#pragma once
// Ordered sets of model objects with an optional index by name.
//
// A set is a list of object pointers in insertion order. Erasing leaves a hole
// (the list order of the others is kept) and costs O(log n): while holes exist
// a Fenwick tree of live entries maps list positions to slots and back. Holes
// are squeezed out by a later push_back once they outnumber the live entries,
// so the storage stays within twice the live size. Erasing while iterating is
// safe; appending while iterating is not.
//
// The name index is an open-addressing table of slots keyed by the objects'
// own names (an object's name must not change while it is in an indexed set).
// It is built on first lookup; sets without it search the list from the front.
//
// A slot policy (a type with static `set(T*, int)` and `get(const T*)`) lets the
// set record each object's slot in the object, which makes membership tests
// and erasing by object O(1) resp. O(log n); an object may then belong to only
// one set of that policy.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "hdm/Arena.h"
#include "hdm/HdmCommon.h"

namespace hdm {

struct NoSlot {};

template <class T, class SlotPolicy = NoSlot>
class hdmNameSetNoErase {
 public:
  static constexpr bool kTracksSlots = !std::is_same_v<SlotPolicy, NoSlot>;
  enum Status { kOk = 0, kNullObject = 1, kDuplicateName = 2, kRangeError = 3 };

  explicit hdmNameSetNoErase(bool nameIndexed = true) : indexed_(nameIndexed) {}
  hdmNameSetNoErase(const hdmNameSetNoErase&) = delete;
  hdmNameSetNoErase& operator=(const hdmNameSetNoErase&) = delete;

  int size() const { return live_; }
  bool empty() const { return live_ == 0; }
  // The code of the last problem: 0 ok, 1 null object refused, 2 duplicate
  // name, 3 position out of range.
  int status() const { return status_; }
  bool nameIndexed() const { return indexed_; }

  // The object at list position `pos`; out of range warns and gives none.
  T* at(int pos) {
    if (pos < 0 || pos >= live_) {
      warn("In hdmSetNoErase: ragne error");
      status_ = kRangeError;
      return nullptr;
    }
    return slots_[static_cast<size_t>(slotOfPosition(pos))];
  }
  T* operator[](int pos) { return at(pos); }
  // The object at `pos`, or none when out of range (without a warning).
  T* peek(int pos) const {
    if (pos < 0 || pos >= live_) return nullptr;
    return slots_[static_cast<size_t>(slotOfPosition(pos))];
  }
  T* back() const {
    for (auto it = slots_.rbegin(); it != slots_.rend(); ++it)
      if (*it) return *it;
    return nullptr;
  }

  void push_back(T* obj) {
    if (!obj) {
      warn("Null object is not inserted");
      status_ = kNullObject;
      return;
    }
    if constexpr (kTracksSlots) {
      if (slotOf(obj) >= 0) {
        warn("Object " + obj->name() + " is already in the set");
        return;
      }
    }
    if (dead_ >= kMinCompaction && dead_ >= live_) compact();
    int slot = static_cast<int>(slots_.size());
    slots_.push_back(obj);
    ++live_;
    if (!tree_.empty()) treeAppend();
    if constexpr (kTracksSlots) SlotPolicy::set(obj, slot);
    if (indexBuilt_) indexInsert(obj, slot);
  }

  // List position of the object named `name`, or -1.
  int getIndex(std::string_view name) {
    if (!indexed_) {
      int pos = 0;
      for (T* obj : slots_) {
        if (!obj) continue;
        if (obj->name() == name) return pos;
        ++pos;
      }
      return -1;
    }
    int slot = findSlot(name);
    return slot < 0 ? -1 : positionOfSlot(slot);
  }
  // The object named `name`, or none.
  T* get(std::string_view name) {
    if (!indexed_) {
      int pos = getIndex(name);
      return pos < 0 ? nullptr : at(pos);
    }
    int slot = findSlot(name);
    return slot < 0 ? nullptr : slots_[static_cast<size_t>(slot)];
  }

  // `base` when no object has that name, else the first of base_1, base_2, ...
  // that none has. With the name index this is O(1) amortized: the index keeps,
  // per base, a suffix from which on the search starts (all below it are taken
  // or were freed) and the freed ones below it.
  std::string uniqueName(const std::string& base) {
    if (!indexed_) {
      std::string name = base;
      for (int k = 1; getIndex(name) >= 0; ++k) name = suffixed(base, k);
      return name;
    }
    Entry* e = findEntry(base);
    if (!e) return base;
    if (!holes_.empty()) {
      auto h = holes_.find(base);
      if (h != holes_.end()) {
        while (!h->second.empty()) {
          std::string name = suffixed(base, *h->second.begin());
          if (!findEntry(name)) return name;   // a hole until the name is inserted
          h->second.erase(h->second.begin());  // taken again meanwhile
        }
        holes_.erase(h);
      }
    }
    int k = std::max(e->cursor, 1);
    std::string name = suffixed(base, k);
    while (findEntry(name)) name = suffixed(base, ++k);
    e->cursor = k;  // suffixes below k are taken or holes; k itself once inserted
    return name;
  }

  bool contains(const T* obj) const { return obj && slotOf(obj) >= 0; }
  // List position of `obj`, or -1 when it is not in the set.
  int positionOf(const T* obj) const {
    int slot = obj ? slotOf(obj) : -1;
    return slot < 0 ? -1 : positionOfSlot(slot);
  }

  // Forward iteration over the objects in list order.
  class iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = T*;
    using difference_type = std::ptrdiff_t;
    using pointer = T* const*;
    using reference = T* const&;

    iterator() = default;
    iterator(T* const* p, T* const* end) : p_(p), end_(end) { skip(); }
    reference operator*() const { return *p_; }
    iterator& operator++() {
      ++p_;
      skip();
      return *this;
    }
    iterator operator++(int) {
      iterator old = *this;
      ++*this;
      return old;
    }
    friend bool operator==(const iterator& a, const iterator& b) { return a.p_ == b.p_; }

   private:
    void skip() {
      while (p_ != end_ && !*p_) ++p_;
    }
    T* const* p_ = nullptr;
    T* const* end_ = nullptr;
  };
  iterator begin() const { return iterator(slots_.data(), slots_.data() + slots_.size()); }
  iterator end() const {
    return iterator(slots_.data() + slots_.size(), slots_.data() + slots_.size());
  }

  void reserve(size_t n) { slots_.reserve(n); }

 protected:
  // Removes the object at list position `pos`; out of range warns.
  T* eraseAt(int pos) {
    if (pos < 0 || pos >= live_) {
      warn("In hdmSetNoErase: ragne error");
      status_ = kRangeError;
      return nullptr;
    }
    int slot = slotOfPosition(pos);
    T* obj = slots_[static_cast<size_t>(slot)];
    eraseSlot(slot);
    return obj;
  }
  // Removes `obj`; false when it is not in the set.
  bool eraseObj(const T* obj) {
    int slot = obj ? slotOf(obj) : -1;
    if (slot < 0) return false;
    eraseSlot(slot);
    return true;
  }
  // Empties the set without touching the objects.
  void clearAll() {
    if constexpr (kTracksSlots)
      for (T* obj : slots_)
        if (obj) SlotPolicy::set(obj, -1);
    slots_.clear();
    tree_.clear();
    index_.clear();
    duplicates_.clear();
    ghosts_.clear();
    holes_.clear();
    indexBuilt_ = false;
    live_ = dead_ = 0;
    indexUsed_ = indexTombs_ = 0;
  }

 private:
  static constexpr int kMinCompaction = 32;
  static constexpr int kEmpty = -1;
  static constexpr int kDeleted = -2;

  struct Entry {
    std::uint32_t hash = 0;
    int slot = kEmpty;
    int cursor = 1;  // every name_k with k below it is taken
  };

  static std::string suffixed(const std::string& base, int k) {
    std::string name = base;
    name += '_';
    name += std::to_string(k);
    return name;
  }
  // Splits "base_k" (k written without leading zeros, at least 1) into base
  // and k; false for other names.
  static bool splitSuffix(std::string_view name, std::string_view& base, int& k) {
    size_t cut = name.find_last_of('_');
    if (cut == std::string_view::npos || cut + 1 >= name.size() || name[cut + 1] == '0' ||
        name.size() - cut > 10)
      return false;
    k = 0;
    for (size_t i = cut + 1; i < name.size(); ++i) {
      if (name[i] < '0' || name[i] > '9') return false;
      k = k * 10 + (name[i] - '0');
    }
    base = name.substr(0, cut);
    return true;
  }

  int slotOf(const T* obj) const {
    if constexpr (kTracksSlots) {
      int s = SlotPolicy::get(obj);
      bool listed =
          s >= 0 && static_cast<size_t>(s) < slots_.size() && slots_[static_cast<size_t>(s)] == obj;
      return listed ? s : -1;
    } else {
      auto it = std::find(slots_.begin(), slots_.end(), obj);
      return it == slots_.end() ? -1 : static_cast<int>(it - slots_.begin());
    }
  }

  void eraseSlot(int slot) {
    T* obj = slots_[static_cast<size_t>(slot)];
    if (indexBuilt_) indexErase(obj, slot);
    if (tree_.empty()) treeBuild();
    slots_[static_cast<size_t>(slot)] = nullptr;
    treeAdd(slot, -1);
    --live_;
    ++dead_;
    if constexpr (kTracksSlots) SlotPolicy::set(obj, -1);
  }

  void compact() {
    std::vector<int> moved(slots_.size(), -1);
    size_t out = 0;
    for (size_t in = 0; in < slots_.size(); ++in) {
      T* obj = slots_[in];
      if (!obj) continue;
      moved[in] = static_cast<int>(out);
      slots_[out] = obj;
      if constexpr (kTracksSlots) SlotPolicy::set(obj, static_cast<int>(out));
      ++out;
    }
    slots_.resize(out);
    for (Entry& e : index_)
      if (e.slot >= 0) e.slot = moved[static_cast<size_t>(e.slot)];
    tree_.clear();
    dead_ = 0;
  }

  // Fenwick tree over slots (1-based): counts of live entries. Present only
  // while the list has holes.
  void treeBuild() {
    size_t n = slots_.size();
    tree_.assign(n + 1, 0);
    for (size_t i = 1; i <= n; ++i) {
      tree_[i] += slots_[i - 1] ? 1 : 0;
      size_t up = i + (i & (~i + 1));
      if (up <= n) tree_[up] += tree_[i];
    }
  }
  void treeAdd(int slot, int delta) {
    for (size_t i = static_cast<size_t>(slot) + 1; i < tree_.size(); i += i & (~i + 1))
      tree_[i] += delta;
  }
  // Live entries among slots [0, slot).
  int treePrefix(int slot) const {
    int sum = 0;
    for (size_t i = static_cast<size_t>(slot); i > 0; i -= i & (~i + 1)) sum += tree_[i];
    return sum;
  }
  void treeAppend() {
    size_t i = slots_.size();  // the new slot is i - 1, its node i
    size_t low = i & (~i + 1);
    int value = (slots_[i - 1] ? 1 : 0) + treePrefix(static_cast<int>(i - 1)) -
                treePrefix(static_cast<int>(i - low));
    tree_.push_back(value);
  }

  int slotOfPosition(int pos) const {
    if (dead_ == 0) return pos;
    size_t n = slots_.size();
    size_t step = 1;
    while (step * 2 <= n) step *= 2;
    size_t idx = 0;
    int rest = pos + 1;
    for (; step > 0; step >>= 1) {
      if (idx + step <= n && tree_[idx + step] < rest) {
        idx += step;
        rest -= tree_[idx];
      }
    }
    return static_cast<int>(idx);
  }
  int positionOfSlot(int slot) const { return dead_ == 0 ? slot : treePrefix(slot); }

  static std::uint32_t hashName(std::string_view name) {
    size_t h = std::hash<std::string_view>{}(name);
    return static_cast<std::uint32_t>(h ^ (h >> 32));
  }

  Entry* findEntry(std::string_view name) {
    if (!indexBuilt_) buildIndex();
    if (index_.empty()) return nullptr;
    std::uint32_t h = hashName(name);
    size_t mask = index_.size() - 1;
    for (size_t i = h & mask;; i = (i + 1) & mask) {
      Entry& e = index_[i];
      if (e.slot == kEmpty) return nullptr;
      if (e.slot >= 0 && e.hash == h && slots_[static_cast<size_t>(e.slot)]->name() == name)
        return &e;
    }
  }
  int findSlot(std::string_view name) {
    Entry* e = findEntry(name);
    return e ? e->slot : -1;
  }

  void buildIndex() {
    indexBuilt_ = true;
    index_.clear();
    duplicates_.clear();
    ghosts_.clear();
    holes_.clear();
    indexUsed_ = indexTombs_ = 0;
    for (size_t s = 0; s < slots_.size(); ++s)
      if (slots_[s]) indexInsert(slots_[s], static_cast<int>(s));
  }

  void rehash(size_t capacity) {
    std::vector<Entry, TableAllocator<Entry>> old;
    old.swap(index_);
    index_.assign(capacity, Entry{});
    size_t mask = capacity - 1;
    for (const Entry& e : old) {
      if (e.slot < 0) continue;
      size_t i = e.hash & mask;
      while (index_[i].slot != kEmpty) i = (i + 1) & mask;
      index_[i] = e;
    }
    indexTombs_ = 0;
  }

  void indexInsert(T* obj, int slot) {
    if ((indexUsed_ + indexTombs_ + 1) * 2 > index_.size()) {
      // At most half full; tombstones alone are cleared at the same size.
      size_t capacity = std::max<size_t>(16, index_.size());
      while ((indexUsed_ + 1) * 2 > capacity * 3 / 4) capacity *= 2;
      rehash(capacity);
    }
    const std::string& name = obj->name();
    std::uint32_t h = hashName(name);
    size_t mask = index_.size() - 1;
    size_t freeAt = index_.size();
    for (size_t i = h & mask;; i = (i + 1) & mask) {
      Entry& e = index_[i];
      if (e.slot == kEmpty) {
        if (freeAt == index_.size()) freeAt = i;
        break;
      }
      if (e.slot == kDeleted) {
        if (freeAt == index_.size()) freeAt = i;
        continue;
      }
      if (e.hash == h && slots_[static_cast<size_t>(e.slot)]->name() == name) {
        warn("Duplicate name of " + name + " override old data");
        status_ = kDuplicateName;
        e.slot = slot;
        ++duplicates_[name];
        return;
      }
    }
    if (index_[freeAt].slot == kDeleted) --indexTombs_;
    int cursor = 1;
    if (!ghosts_.empty()) {
      auto g = ghosts_.find(name);
      if (g != ghosts_.end()) {
        cursor = g->second;
        ghosts_.erase(g);
      }
    }
    index_[freeAt] = Entry{h, slot, cursor};
    ++indexUsed_;
    std::string_view base;
    int k;
    if (splitSuffix(name, base, k)) {
      if (int* c = cursorOf(base); c && *c == k) *c = k + 1;
      if (!holes_.empty()) {
        auto h = holes_.find(std::string(base));
        if (h != holes_.end()) {
          h->second.erase(k);
          if (h->second.empty()) holes_.erase(h);
        }
      }
    }
  }

  // The cursor of `base`: in its entry, or kept aside while no object has
  // that name.
  int* cursorOf(std::string_view base) {
    if (Entry* b = findEntry(base)) return &b->cursor;
    if (ghosts_.empty()) return nullptr;
    auto g = ghosts_.find(std::string(base));
    return g == ghosts_.end() ? nullptr : &g->second;
  }

  void indexErase(const T* obj, int slot) {
    if (index_.empty()) return;
    const std::string& name = obj->name();
    if (!duplicates_.empty()) {
      auto dup = duplicates_.find(name);
      if (dup != duplicates_.end()) {
        // Another object of the name stays: the index keeps (or moves to) the
        // newest of them.
        if (--dup->second == 0) duplicates_.erase(dup);
        Entry* e = findEntry(name);
        if (e && e->slot == slot) {
          for (size_t s = slots_.size(); s-- > 0;) {
            if (static_cast<int>(s) != slot && slots_[s] && slots_[s]->name() == name) {
              e->slot = static_cast<int>(s);
              break;
            }
          }
        }
        return;
      }
    }
    std::uint32_t h = hashName(name);
    size_t mask = index_.size() - 1;
    for (size_t i = h & mask;; i = (i + 1) & mask) {
      Entry& e = index_[i];
      if (e.slot == kEmpty) return;
      if (e.slot == slot) {
        e.slot = kDeleted;
        --indexUsed_;
        ++indexTombs_;
        if (e.cursor > 1) ghosts_[name] = e.cursor;  // its suffixes stay taken
        break;
      }
    }
    std::string_view base;
    int k;
    if (splitSuffix(name, base, k)) {
      if (int* c = cursorOf(base); c && k < *c) holes_[std::string(base)].insert(k);
    }
  }

  std::vector<T*, TableAllocator<T*>> slots_;
  std::vector<int, TableAllocator<int>> tree_;
  std::vector<Entry, TableAllocator<Entry>> index_;
  // Names held by more than one object: how many beyond the indexed one.
  std::unordered_map<std::string, int> duplicates_;
  // Cursors of names that no object has at present.
  std::unordered_map<std::string, int> ghosts_;
  // Per base, the freed suffixes below its cursor.
  std::unordered_map<std::string, std::set<int>> holes_;
  size_t indexUsed_ = 0;
  size_t indexTombs_ = 0;
  int live_ = 0;
  int dead_ = 0;
  int status_ = kOk;
  bool indexed_;
  bool indexBuilt_ = false;
};

// A name set whose entries may be erased.
template <class T, class SlotPolicy = NoSlot>
class hdmNameSet : public hdmNameSetNoErase<T, SlotPolicy> {
  using Base = hdmNameSetNoErase<T, SlotPolicy>;

 public:
  using Base::Base;
  // Removes the entry at list position `pos` (the object is not destroyed) and
  // returns it; out of range warns and gives none.
  T* erase(int pos) { return Base::eraseAt(pos); }
  // Removes `obj` from the set; false when it was not listed.
  bool eraseObject(const T* obj) { return Base::eraseObj(obj); }
  void clear() { Base::clearAll(); }
};

}  // namespace hdm
