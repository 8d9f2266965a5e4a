#include "engine/phantom_file.h"

#include <cmath>
#include <cstdio>

#include "engine/beam_geometry.h"
#include "physics/electron_data.h"
#include "physics/physics_loader.h"
#include "records/file_io.h"
#include "records/input_error.h"
#include "records/number_text.h"
#include "records/utf8_text.h"

namespace dosavia {

namespace {

// Depths within this of the phantom's bottom count as reaching it [cm]: thicknesses
// written to a few decimals add up with rounding.
constexpr double kDepthTolerance = 1e-6;

std::string Centimetres(double cm) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", cm);
  return text;
}

std::string KnownNames() {
  std::string names;
  for (const PhantomMaterial& m : kPhantomMaterials)
    names += (names.empty() ? "" : ", ") + std::string(m.name);
  return names;
}

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    std::size_t j = i;
    while (j < line.size() && line[j] != ' ' && line[j] != '\t') ++j;
    if (j > i) words.push_back(line.substr(i, j - i));
    i = j;
  }
  return words;
}

}  // namespace

template <typename Real>
SlabLayers<Real> Phantom::Layers() const {
  SlabLayers<Real> s;
  double z = 0;
  for (const PhantomLayer& layer : layers) {
    s.density[static_cast<std::size_t>(s.count)] =
        static_cast<Real>(layer.density * layer.electrons_per_gram);
    s.mass_density[static_cast<std::size_t>(s.count)] = static_cast<Real>(layer.density);
    s.z[static_cast<std::size_t>(s.count)] = static_cast<Real>(z);
    z += layer.thickness_cm;
    ++s.count;
  }
  s.z[static_cast<std::size_t>(s.count)] = kPhantomDepthCm;
  return s;
}

const PhantomMaterial* FindPhantomMaterial(std::string_view name) {
  for (const PhantomMaterial& m : kPhantomMaterials)
    if (m.name == name) return &m;
  return nullptr;
}

std::string MaterialPhotonFile(std::string_view material) {
  return std::string(material) + "20.dat";
}

std::string MaterialElectronFile(std::string_view material) {
  return "ELACC-" + std::string(material) + ".dat";
}

template <typename Real>
BasicPhantomData<Real>::BasicPhantomData(
    const Phantom& phantom, const std::function<std::string(const std::string&)>& path_of)
    : layers_(phantom.Layers<Real>()) {
  for (int k = 0; k < layers_.count; ++k) {
    const PhantomLayer& layer = phantom.layers[static_cast<std::size_t>(k)];
    const PhantomMaterial* material = FindPhantomMaterial(layer.material);
    if (material == nullptr || !material->own_data) continue;
    std::size_t i = 0;
    while (i < names_.size() && names_[i] != layer.material) ++i;
    if (i == names_.size()) {
      auto tables = std::make_unique<PhysicsTables<Real>>();
      LoadPhysicsTables(*tables, path_of(MaterialPhotonFile(layer.material)),
                        path_of(kElectronDataFile));
      tables->SetPhantomConstants(kPhantomWidthCm, kPhantomWidthCm, kPhantomDepthCm);
      LoadElectronData(tables->electrons, path_of(MaterialElectronFile(layer.material)));
      names_.push_back(layer.material);
      tables_.push_back(std::move(tables));
    }
    layers_.tables[static_cast<std::size_t>(k)] = tables_[i].get();
    layers_.density[static_cast<std::size_t>(k)] = static_cast<Real>(layer.density);
  }
}

template SlabLayers<float> Phantom::Layers<float>() const;
template SlabLayers<double> Phantom::Layers<double>() const;
template class BasicPhantomData<float>;
template class BasicPhantomData<double>;

std::string Phantom::Description() const {
  std::string text;
  for (const PhantomLayer& layer : layers)
    text += (text.empty() ? "" : " ") + layer.material + " " + Centimetres(layer.thickness_cm);
  return text;
}

Phantom ParsePhantom(std::string_view content, const std::string& display_name) {
  if (StartsWithByteOrderMark(content)) content.remove_prefix(3);
  Phantom phantom;
  double depth = 0;
  int line_number = 0;
  std::size_t at = 0;
  while (at < content.size()) {
    std::size_t end = content.find('\n', at);
    if (end == std::string_view::npos) end = content.size();
    std::string_view line = content.substr(at, end - at);
    at = end + 1;
    ++line_number;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    for (std::size_t i = 0; i < line.size();) {
      const std::size_t n = Utf8SequenceLength(line.substr(i));
      if (n == 0) throw BadInput(ProblemKind::kPhantomNotUtf8, display_name, line_number);
      i += n;
    }
    const std::vector<std::string_view> words = Words(line);
    if (words.empty() || words[0].front() == '#') continue;
    if (words.size() != 2)
      throw BadInput(ProblemKind::kPhantomLineShape, display_name, line_number, {}, Excerpt(line));
    const PhantomMaterial* material = FindPhantomMaterial(words[0]);
    if (material == nullptr)
      throw BadInput(ProblemKind::kPhantomUnknownMaterial, display_name, line_number,
                     ProblemField::Named(FieldName::kMaterial), Excerpt(words[0]), KnownNames());
    double thickness = 0;
    const ProblemField thickness_field = ProblemField::NthValue(2).WithName(FieldName::kThickness);
    if (!ParseReal(words[1], thickness) || !std::isfinite(thickness) || !(thickness > 0))
      throw BadInput(ProblemKind::kPhantomThicknessInvalid, display_name, line_number,
                     thickness_field, Excerpt(words[1]));
    depth += thickness;
    if (depth > kPhantomDepthCm + kDepthTolerance)
      throw BadInput(ProblemKind::kPhantomTooDeep, display_name, line_number, thickness_field,
                     Centimetres(depth), Centimetres(kPhantomDepthCm));
    if (static_cast<int>(phantom.layers.size()) == kMaxSlabLayers - 1)
      throw BadInput(ProblemKind::kPhantomTooManyLayers, display_name, line_number, {}, {},
                     std::to_string(kMaxSlabLayers - 1));
    phantom.layers.push_back(
        {std::string(material->name), material->density, material->electrons_per_gram, thickness});
  }
  if (phantom.layers.empty()) throw BadInput(ProblemKind::kPhantomEmpty, display_name, 0);
  if (depth < kPhantomDepthCm - kDepthTolerance)
    phantom.layers.push_back({"water", 1.0, 1.0, kPhantomDepthCm - depth});
  return phantom;
}

Phantom ReadPhantomFile(const std::string& path, const std::string& display_name) {
  // A file of 4 MiB or more is no phantom.
  return ParsePhantom(ReadWholeFile(path, display_name, kMaxInputFileBytes - 1), display_name);
}

}  // namespace dosavia
