#pragma once
// Typed identities of the hierarchical design model. Every object kind draws
// its ids from its own process-wide pool: ids of deleted objects are handed out
// again (most recently freed first), otherwise a (high, low) counter advances.
#include <climits>
#include <compare>
#include <vector>

namespace hdm {

template <class T>
struct hdm_id {
  int high = 0;
  int low = 0;

  friend bool operator==(const hdm_id&, const hdm_id&) = default;
  friend auto operator<=>(const hdm_id& a, const hdm_id& b) {
    if (auto c = a.high <=> b.high; c != 0) return c;
    return a.low <=> b.low;
  }
};

// Base of every object of kind T: gives the object its id at construction and
// returns it to the pool at destruction.
template <class T>
class idGen {
 public:
  idGen() : id_(generate()) {}
  idGen(const idGen&) = delete;
  idGen& operator=(const idGen&) = delete;
  ~idGen() { delList_.push_back(id_); }

  const hdm_id<T>& id() const { return id_; }

  // Test hook: the next fresh id (with an empty free list) follows (high, low).
  static void setCounter(int high, int low) {
    count_ = high;
    low_ = low;
  }
  // Ids waiting to be handed out again, the most recent last.
  static const std::vector<hdm_id<T>>& freeList() { return delList_; }

 private:
  static hdm_id<T> generate() {
    if (!delList_.empty()) {
      hdm_id<T> id = delList_.back();
      delList_.pop_back();
      return id;
    }
    if (low_ == INT_MAX) {
      low_ = 0;
      ++count_;
    } else {
      ++low_;
    }
    return {count_, low_};
  }

  hdm_id<T> id_;
  static inline int count_ = 0;
  static inline int low_ = 0;
  static inline std::vector<hdm_id<T>> delList_;
};

// The id of an object, or (0, 0) for none.
template <class T>
hdm_id<T> idOf(const T* obj) {
  return obj ? obj->id() : hdm_id<T>{};
}

}  // namespace hdm
