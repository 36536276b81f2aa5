#pragma once
// A record that carries named, owned attachments (the instance name, for one).
#include <cstring>
#include <map>
#include <string>

namespace CoarsePlacement {

class ExtendibleData {
 public:
  // Polymorphic base of every attachment.
  class ext_base {
   public:
    virtual ~ext_base() = default;
  };

  struct ltstr {
    bool operator()(const char* a, const char* b) const { return std::strcmp(a, b) < 0; }
  };

  ExtendibleData() = default;
  ExtendibleData(const ExtendibleData&) = delete;
  ExtendibleData& operator=(const ExtendibleData&) = delete;
  virtual ~ExtendibleData();

  // The attachment stored under `key`, or null.
  ext_base* getExtData(const char* key) const;
  // Stores `data` (taking ownership) under `key`, which must outlive the record
  // (a string literal). An existing entry keeps its key and takes the new record.
  void setExtData(const char* key, ext_base* data);

 private:
  std::map<const char*, ext_base*, ltstr> extData_;
};

// The name of an instance, attached under the key "name".
class inst_name : public ExtendibleData::ext_base {
 public:
  explicit inst_name(std::string n) : name(std::move(n)) {}
  std::string name;
};

}  // namespace CoarsePlacement
