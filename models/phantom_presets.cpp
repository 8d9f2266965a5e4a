#include "models/phantom_presets.h"

#include <cstdio>

namespace dosavia {

namespace {

std::string Centimetres(double cm) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", cm);
  return text;
}

// The layers as a link writes them, the water below the last named layer left out.
std::string WrittenOut(const Phantom& phantom) {
  std::size_t named = phantom.layers.size();
  while (named > 1 && phantom.layers[named - 1].material == "water") --named;
  std::string text;
  for (std::size_t i = 0; i < named; ++i)
    text += (i ? "," : "") + phantom.layers[i].material + ":" +
            Centimetres(phantom.layers[i].thickness_cm);
  return text;
}

}  // namespace

const PhantomPreset* FindPhantomPreset(std::string_view key) {
  for (const PhantomPreset& preset : kPhantomPresets)
    if (preset.key == key) return &preset;
  return nullptr;
}

std::optional<std::string> PhantomTextOfLink(std::string_view value) {
  if (const PhantomPreset* preset = FindPhantomPreset(value))
    return std::string(preset->layers.empty() ? "water 30\n" : preset->layers);
  std::string text;
  while (!value.empty()) {
    const std::size_t comma = value.find(',');
    const std::string_view layer = value.substr(0, comma);
    const std::size_t colon = layer.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 == layer.size())
      return std::nullopt;
    const std::string_view thickness = layer.substr(colon + 1);
    if (thickness.find_first_of(" \t\r\n:#") != std::string_view::npos) return std::nullopt;
    std::string_view material = layer.substr(0, colon);
    if (material.find_first_of(" \t\r\n#") != std::string_view::npos) return std::nullopt;
    text += std::string(material) + " " + std::string(thickness) + "\n";
    if (comma == std::string_view::npos) break;
    value.remove_prefix(comma + 1);
    if (value.empty()) return std::nullopt;
  }
  if (text.empty()) return std::nullopt;
  return text;
}

std::string PhantomLinkOf(const Phantom& phantom) {
  const std::string written = WrittenOut(phantom);
  for (const PhantomPreset& preset : kPhantomPresets) {
    if (preset.layers.empty()) continue;
    if (WrittenOut(ParsePhantom(preset.layers, std::string(preset.key))) == written)
      return std::string(preset.key);
  }
  bool all_water = true;
  for (const PhantomLayer& layer : phantom.layers)
    all_water = all_water && layer.material == "water";
  return all_water ? std::string("water") : written;
}

}  // namespace dosavia
