#pragma once
// Parts shared by every object of the hierarchical design model: the
// enumerations, the warning line, extensions and view slots. Extensions and
// views are allocated only when an object first receives one, so an object
// without them costs one pointer for each.
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>

namespace hdm {

enum PortDir { PORT_IN = 0, PORT_OUT = 1, PORT_BI = 2 };
enum NetType { NET_NORMAL = 0, NET_BUS = 2, NET_CONST_ZERO = 3, NET_CONST_ONE = 4 };
enum LayerRtDir { LAYER_HORIZONTAL = 0, LAYER_VERTICAL = 1, LAYER_ANY = 2 };

// "PORT_IN", "PORT_OUT", "PORT_BI", or "ERROR" for any other value.
const char* printDir(int dir);
// "NET_NORMAL", "NET_BUS", "NET_CONST_ZERO", "NET_CONST_ONE", or "ERROR".
const char* netTypeName(int type);

// Writes "HDM warning! " + text and a line end on standard error.
void warn(std::string_view text);

// A view object attached to a model object (a physical view, for one).
class HdmBaseView {
 public:
  virtual ~HdmBaseView() = default;
};

// Named extensions of an object. The extensions and the view slots of
// HdmKernelViews share one block, allocated when the first is stored.
class HDM_extendible {
 public:
  class ext_base {
   public:
    virtual ~ext_base() = default;
  };

  HDM_extendible() = default;
  HDM_extendible(const HDM_extendible&) = delete;
  HDM_extendible& operator=(const HDM_extendible&) = delete;

  // The extension stored under `key`, or none.
  ext_base* getExtData(std::string_view key) const;
  // Stores `data` (taking ownership) under `key`, replacing and deleting any
  // extension stored there before.
  void setExtData(std::string_view key, std::unique_ptr<ext_base> data);
  // Deletes the extension under `key`, if any.
  void removeExtData(std::string_view key);

 protected:
  static constexpr int kViewSlots = 3;
  struct Extras {
    std::map<std::string, std::unique_ptr<ext_base>, std::less<>> ext;
    std::array<std::unique_ptr<HdmBaseView>, kViewSlots> views;
  };
  Extras& extras();

  std::unique_ptr<Extras> extras_;
};

// Three view slots, each holding an owned view or none.
class HdmKernelViews : public HDM_extendible {
 public:
  static constexpr int kSlots = kViewSlots;
  static constexpr int kPhysicalView = 0;

  // The view in `slot` (0 to 2), or none.
  HdmBaseView* getView(int slot) const;
  // Stores `view` (taking ownership) in `slot`, deleting the previous one.
  void setView(int slot, std::unique_ptr<HdmBaseView> view);
};

}  // namespace hdm
