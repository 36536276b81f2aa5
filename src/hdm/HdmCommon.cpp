#include "hdm/HdmCommon.h"

#include <iostream>

namespace hdm {

const char* printDir(int dir) {
  switch (dir) {
    case PORT_IN:
      return "PORT_IN";
    case PORT_OUT:
      return "PORT_OUT";
    case PORT_BI:
      return "PORT_BI";
    default:
      return "ERROR";
  }
}

const char* netTypeName(int type) {
  switch (type) {
    case NET_NORMAL:
      return "NET_NORMAL";
    case NET_BUS:
      return "NET_BUS";
    case NET_CONST_ZERO:
      return "NET_CONST_ZERO";
    case NET_CONST_ONE:
      return "NET_CONST_ONE";
    default:
      return "ERROR";
  }
}

void warn(std::string_view text) {
  std::cerr << "HDM warning! " << text << '\n';
}

HDM_extendible::ext_base* HDM_extendible::getExtData(std::string_view key) const {
  if (!ext_) return nullptr;
  auto it = ext_->find(key);
  return it == ext_->end() ? nullptr : it->second.get();
}

void HDM_extendible::setExtData(std::string_view key, std::unique_ptr<ext_base> data) {
  if (!ext_) ext_ = std::make_unique<Map>();
  auto it = ext_->find(key);
  if (it == ext_->end())
    ext_->emplace(std::string(key), std::move(data));
  else
    it->second = std::move(data);
}

void HDM_extendible::removeExtData(std::string_view key) {
  if (!ext_) return;
  auto it = ext_->find(key);
  if (it != ext_->end()) ext_->erase(it);
}

HdmBaseView* HdmKernelViews::getView(int slot) const {
  if (!views_ || slot < 0 || slot >= kSlots) return nullptr;
  return (*views_)[static_cast<size_t>(slot)].get();
}

void HdmKernelViews::setView(int slot, std::unique_ptr<HdmBaseView> view) {
  if (slot < 0 || slot >= kSlots) {
    warn("view slot " + std::to_string(slot) + " does not exist");
    return;
  }
  if (!views_) views_ = std::make_unique<std::array<std::unique_ptr<HdmBaseView>, kSlots>>();
  (*views_)[static_cast<size_t>(slot)] = std::move(view);
}

}  // namespace hdm
