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
//
// The free list is a stack of ids, kept as runs of consecutive ids: objects
// are made and destroyed in batches (an instance's pins, a version's nets), so
// millions of freed ids take a few runs instead of eight bytes each.
template <class T>
class idGen {
 public:
  idGen() : id_(generate()) {}
  idGen(const idGen&) = delete;
  idGen& operator=(const idGen&) = delete;
  ~idGen() { release(id_); }

  const hdm_id<T>& id() const { return id_; }

  // Test hook: the next fresh id (with an empty free list) follows (high, low).
  static void setCounter(int high, int low) {
    count_ = high;
    low_ = low;
  }
  // Number of ids waiting to be handed out again.
  static long long freeCount() {
    long long n = 0;
    for (const Run& r : delList_) n += r.count;
    return n;
  }

 private:
  // Ids last, last - step, last - 2 step, ... (count of them); last is the
  // most recently freed.
  struct Run {
    hdm_id<T> last;
    int count;
    int step;
  };

  static hdm_id<T> generate() {
    if (!delList_.empty()) {
      Run& r = delList_.back();
      hdm_id<T> id = r.last;
      if (--r.count == 0)
        delList_.pop_back();
      else
        r.last.low -= r.step;
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

  static void release(const hdm_id<T>& id) {
    if (!delList_.empty()) {
      Run& r = delList_.back();
      if (r.last.high == id.high) {
        long long d = static_cast<long long>(id.low) - r.last.low;
        if ((r.count == 1 && (d == 1 || d == -1)) || (r.count > 1 && d == r.step)) {
          r.step = static_cast<int>(d);
          r.last = id;
          ++r.count;
          return;
        }
      }
    }
    delList_.push_back({id, 1, 0});
  }

  hdm_id<T> id_;
  static inline int count_ = 0;
  static inline int low_ = 0;
  static inline std::vector<Run> delList_;
};

// The id of an object, or (0, 0) for none.
template <class T>
hdm_id<T> idOf(const T* obj) {
  return obj ? obj->id() : hdm_id<T>{};
}

}  // namespace hdm
