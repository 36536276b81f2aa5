#include "hdm/HdmTech.h"

namespace hdm {

namespace {
// Layer numbers come from code, not from input; the cap keeps a wild number
// from allocating a huge table.
constexpr int kMaxLayers = 1 << 16;

bool validProperty(Tech::Property p) {
  return p >= 0 && p < Tech::kProperties;
}
}  // namespace

double Tech::techParameter::getProperty(Property p) const {
  if (!validProperty(p)) {
    warn("Unknown property in tech");
    return 0.0;
  }
  return values_[static_cast<size_t>(p)];
}

void Tech::techParameter::setProperty(Property p, double value) {
  if (!validProperty(p)) {
    warn("Unknown property in tech");
    return;
  }
  values_[static_cast<size_t>(p)] = value;
}

double Tech::getLayerProperty(int layer, Property p) const {
  if (layer < 0 || layer >= layerCount()) {
    warn("layer contains no tech parameters");
    return 0.0;
  }
  return layers_[static_cast<size_t>(layer)].getProperty(p);
}

Tech::techParameter* Tech::layerForWrite(int layer) {
  if (layer < 0) {
    warn("Negative layer number");
    return nullptr;
  }
  if (layer >= kMaxLayers) {
    warn("Layer number " + std::to_string(layer) + " is too large");
    return nullptr;
  }
  if (layer >= layerCount()) layers_.resize(static_cast<size_t>(layer) + 1);
  return &layers_[static_cast<size_t>(layer)];
}

void Tech::setLayerProperty(int layer, Property p, double value) {
  if (techParameter* t = layerForWrite(layer)) t->setProperty(p, value);
}

void Tech::setLayerDirection(int layer, LayerRtDir dir) {
  if (techParameter* t = layerForWrite(layer)) t->direction = dir;
}

LayerRtDir Tech::getLayerDirection(int layer) const {
  if (layer < 0 || layer >= layerCount()) {
    warn("layer contains no tech parameters");
    return LAYER_ANY;
  }
  return layers_[static_cast<size_t>(layer)].direction;
}

}  // namespace hdm
