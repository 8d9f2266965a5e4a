// The slab phantom file given by "Kestrun --phantom FILE": UTF-8 text, one layer per line
// from the surface down, a material name and a thickness in cm ("lung 10"); blank lines and
// lines starting with '#' are skipped. Below the last layer the phantom is water to its
// full depth.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "physics/physics_tables.h"
#include "physics/slab_layers.h"

namespace dosavia {

// A material the layers may name: its density [g/cm^3] and its electrons per gram relative
// to water's, sum of w Z / A over its elements by mass (ICRU Report 44 lung, inflated, and
// cortical bone; dry air near sea level). A run reads its own data (PhantomData); the
// electrons per gram make water of the same electrons per cm^3 where it has none. A bolus
// is tissue-like material laid on the skin, taken as water: it has water's data, and its
// own name only so that the run's records and the screens say where the patient begins.
struct PhantomMaterial {
  std::string_view name;
  double density;
  double electrons_per_gram;  // relative to water (0.55509 mol/g)
  bool own_data = true;       // false: water's tables
};
inline constexpr PhantomMaterial kPhantomMaterials[] = {{"water", 1.0, 1.0, false},
                                                        {"lung", 0.26, 0.99170},
                                                        {"bone", 1.92, 0.92739},
                                                        {"air", 0.001205, 0.89928},
                                                        {"bolus", 1.0, 1.0, false}};

// The material of `name`, or none.
const PhantomMaterial* FindPhantomMaterial(std::string_view name);

struct PhantomLayer {
  std::string material;
  double density = 1;  // [g/cm^3]
  double electrons_per_gram = 1;
  double thickness_cm = 0;
};

struct Phantom {
  std::vector<PhantomLayer> layers;  // as written, then water to the full depth

  // The layers as water of each material's electrons per cm^3 (no data of their own), in
  // the precision of the run: the engine's float, the interactive screens' double.
  template <typename Real = float>
  SlabLayers<Real> Layers() const;
  // One line for the run's records: "water 3 lung 10 water 17".
  std::string Description() const;
};

// The data file names of a material other than water: its photon coefficients in the
// layout of water20.dat, its electron data in that of ELACC.dat.
std::string MaterialPhotonFile(std::string_view material);    // "lung20.dat"
std::string MaterialElectronFile(std::string_view material);  // "ELACC-lung.dat"

// A phantom as a run takes it: its layers, each material other than water with its own
// photon and electron data at its mass density, read by the readers of water's files
// (which name file, line and field of anything unsound). Water's layers take the run's
// own tables. The layers point into this object, which must outlive the run. The engine
// runs in float, the visual screens in double: both read the same files the same way.
template <typename Real>
class BasicPhantomData {
 public:
  // `path_of` turns a data file's plain name into the path to read.
  BasicPhantomData(const Phantom& phantom,
                   const std::function<std::string(const std::string&)>& path_of);
  BasicPhantomData(const BasicPhantomData&) = delete;
  BasicPhantomData& operator=(const BasicPhantomData&) = delete;

  const SlabLayers<Real>& layers() const { return layers_; }

 private:
  std::vector<std::string> names_;
  std::vector<std::unique_ptr<PhysicsTables<Real>>> tables_;
  SlabLayers<Real> layers_;
};
using PhantomData = BasicPhantomData<float>;

extern template class BasicPhantomData<float>;
extern template class BasicPhantomData<double>;
extern template SlabLayers<float> Phantom::Layers<float>() const;
extern template SlabLayers<double> Phantom::Layers<double>() const;

// Reads the layers of `content`. Throws InputError naming `display_name`, the line and the
// field for bytes that are not UTF-8, a line that is not a name and a number, an unknown
// material, a thickness that is not a positive number, layers deeper than the phantom,
// too many layers, or no layer at all.
Phantom ParsePhantom(std::string_view content, const std::string& display_name);

// Reads the file at `path` (a regular file under 4 MiB) and parses it.
Phantom ReadPhantomFile(const std::string& path, const std::string& display_name);

}  // namespace dosavia
