#include "flat/ExtendibleData.h"

namespace CoarsePlacement {

ExtendibleData::~ExtendibleData() {
  for (auto& entry : extData_) delete entry.second;
}

ExtendibleData::ext_base* ExtendibleData::getExtData(const char* key) const {
  auto it = extData_.find(key);
  return it == extData_.end() ? nullptr : it->second;
}

void ExtendibleData::setExtData(const char* key, ext_base* data) {
  auto [it, inserted] = extData_.emplace(key, data);
  if (!inserted && it->second != data) {
    delete it->second;
    it->second = data;
  }
}

}  // namespace CoarsePlacement
