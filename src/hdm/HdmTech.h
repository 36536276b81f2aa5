#pragma once
// The technology record a model may carry: a scale value, via records, and per
// metal layer five numeric properties and a routing direction.
#include <array>
#include <string>
#include <vector>

#include "hdm/HdmCommon.h"

namespace hdm {

struct techVia {
  std::string name;
  int lowerLayer = 0;
  int upperLayer = 0;
};

class Tech {
 public:
  // Index of a layer property, 0 to 4.
  using Property = int;
  static constexpr int kProperties = 5;

  class techParameter {
   public:
    // The value; an index outside 0 to 4 warns and gives 0.0.
    double getProperty(Property p) const;
    // Stores the value; an index outside 0 to 4 warns and changes nothing.
    void setProperty(Property p, double value);
    LayerRtDir direction = LAYER_ANY;

   private:
    std::array<double, kProperties> values_{};
  };

  std::vector<techVia> vias;
  std::string name;
  double lambda = 0;

  int layerCount() const { return static_cast<int>(layers_.size()); }
  const techParameter& layer(int i) const { return layers_[static_cast<size_t>(i)]; }

  // A missing layer warns and gives 0.0.
  double getLayerProperty(int layer, Property p) const;
  // A negative layer warns; a layer beyond the table extends it first.
  void setLayerProperty(int layer, Property p, double value);
  void setLayerDirection(int layer, LayerRtDir dir);
  // A missing layer warns and gives direction value 2.
  LayerRtDir getLayerDirection(int layer) const;

 private:
  // The layer, the table extended up to it; none (with a warning) when negative.
  techParameter* layerForWrite(int layer);

  std::vector<techParameter> layers_;
};

}  // namespace hdm
