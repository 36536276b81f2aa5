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

HDM_extendible::Extras& HDM_extendible::extras() {
  if (!extras_) extras_ = std::make_unique<Extras>();
  return *extras_;
}

HDM_extendible::ext_base* HDM_extendible::getExtData(std::string_view key) const {
  if (!extras_) return nullptr;
  auto it = extras_->ext.find(key);
  return it == extras_->ext.end() ? nullptr : it->second.get();
}

void HDM_extendible::setExtData(std::string_view key, std::unique_ptr<ext_base> data) {
  auto& ext = extras().ext;
  auto it = ext.find(key);
  if (it == ext.end())
    ext.emplace(std::string(key), std::move(data));
  else
    it->second = std::move(data);
}

void HDM_extendible::removeExtData(std::string_view key) {
  if (!extras_) return;
  auto it = extras_->ext.find(key);
  if (it != extras_->ext.end()) extras_->ext.erase(it);
}

HdmBaseView* HdmKernelViews::getView(int slot) const {
  if (!extras_ || slot < 0 || slot >= kSlots) return nullptr;
  return extras_->views[static_cast<size_t>(slot)].get();
}

void HdmKernelViews::setView(int slot, std::unique_ptr<HdmBaseView> view) {
  if (slot < 0 || slot >= kSlots) {
    warn("view slot " + std::to_string(slot) + " does not exist");
    return;
  }
  extras().views[static_cast<size_t>(slot)] = std::move(view);
}

}  // namespace hdm
