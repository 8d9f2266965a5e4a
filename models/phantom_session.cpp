#include "models/phantom_session.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>

#include <sys/stat.h>

#include "engine/conditions_file.h"
#include "models/curve_metrics.h"
#include "models/curve_table.h"
#include "models/phantom_bands.h"
#include "models/phantom_presets.h"
#include "models/visual_session.h"
#include "records/file_io.h"
#include "records/input_error.h"
#include "records/number_text.h"
#include "records/utf8_text.h"

namespace dosavia {

namespace {

bool AllWater(const Phantom& phantom) {
  for (const PhantomLayer& layer : phantom.layers)
    if (layer.material != "water") return false;
  return true;
}

// The layers joined into the phantom file's lines, one row a line.
std::string LinesOf(std::span<const EditedLayer> rows) {
  // A line end typed into a box would make two lines of one row.
  const auto flat = [](std::string s) {
    for (char& c : s)
      if (c == '\n' || c == '\r') c = ' ';
    return s;
  };
  std::string text;
  for (const EditedLayer& row : rows) text += flat(row.material) + " " + flat(row.thickness) + "\n";
  return text;
}

}  // namespace

void PhantomSession::Take(std::string key, std::string text, Phantom phantom) {
  // Water alone is the run the screen always made: no phantom file, the result of its name.
  if (AllWater(phantom)) {
    preset_key_ = "water";
    text_.clear();
    phantom_.reset();
    return;
  }
  preset_key_ = std::move(key);
  text_ = std::move(text);
  phantom_ = std::move(phantom);
}

bool PhantomSession::ChoosePreset(std::string_view key) {
  const PhantomPreset* preset = FindPhantomPreset(key);
  if (preset == nullptr) return false;
  if (preset->layers.empty()) {
    preset_key_ = std::string(preset->key);
    text_.clear();
    phantom_.reset();
    return true;
  }
  Take(std::string(preset->key), std::string(preset->layers),
       ParsePhantom(preset->layers, kPhantomFile));
  return true;
}

std::optional<Problem> PhantomSession::EditLayers(std::span<const EditedLayer> rows) {
  // The reader skips a line that starts with '#' as a comment; a row typed so is no comment.
  std::string known;
  for (const PhantomMaterial& m : kPhantomMaterials)
    known += (known.empty() ? "" : ", ") + std::string(m.name);
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (!rows[i].material.empty() && rows[i].material.front() == '#')
      return Problem(ProblemKind::kPhantomUnknownMaterial)
          .In(kPhantomFile, static_cast<int>(i) + 1)
          .At(ProblemField::Named(FieldName::kMaterial))
          .WithValue(Excerpt(rows[i].material))
          .WithLimit(known);
  const std::string text = LinesOf(rows);
  try {
    Phantom phantom = ParsePhantom(text, kPhantomFile);
    Take({}, text, std::move(phantom));
  } catch (const InputError& e) {
    return e.problem();
  }
  return std::nullopt;
}

std::optional<Problem> PhantomSession::FollowLink(std::string_view value) {
  const std::optional<std::string> text = PhantomTextOfLink(value);
  if (!text)
    return Problem(ProblemKind::kPhantomLineShape).In("phantom=", 0).WithValue(Excerpt(value));
  if (FindPhantomPreset(value) != nullptr) {
    ChoosePreset(value);
    return std::nullopt;
  }
  try {
    Phantom phantom = ParsePhantom(*text, "phantom=");
    Take({}, *text, std::move(phantom));
  } catch (const InputError& e) {
    return e.problem();
  }
  return std::nullopt;
}

std::string PhantomSession::ResultMark() const {
  if (!phantom_) return {};
  const std::string link = PhantomLinkOf(*phantom_);
  return FindPhantomPreset(link) != nullptr ? link : std::string(kEditedPhantomMark);
}

std::string PhantomSession::Link() const {
  return phantom_ ? PhantomLinkOf(*phantom_) : std::string("water");
}

void WritePhantomFile(const std::filesystem::path& path, std::string_view text) {
  // The atomic writer replaces the file a link leads to; the layers belong beside Joken.dat
  // and nowhere else.
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    std::error_code ec;
    throw WriteError(Problem(ProblemKind::kWillNotReplaceThroughLink)
                         .In(path.string())
                         .WithValue(Excerpt(std::filesystem::read_symlink(path, ec).string())));
  }
  WriteFileAtomically(path.string(), text);
}

std::optional<Phantom> PhantomOfDescription(std::string_view description) {
  // "water 3 lung 10 water 17": pairs of a material and a thickness, a line each.
  std::string text;
  int word = 0;
  std::size_t i = 0;
  while (i < description.size()) {
    while (i < description.size() && description[i] == ' ') ++i;
    std::size_t j = i;
    while (j < description.size() && description[j] != ' ') ++j;
    if (j == i) break;
    text += std::string(description.substr(i, j - i)) + (word % 2 ? "\n" : " ");
    ++word;
    i = j;
  }
  if (word == 0 || word % 2 != 0) return std::nullopt;
  try {
    Phantom phantom = ParsePhantom(text, "phantom");
    if (AllWater(phantom)) return std::nullopt;
    return phantom;
  } catch (const InputError&) {
    return std::nullopt;
  }
}

std::optional<Phantom> PhantomOfResult(std::string_view file, const RunStatistics* statistics) {
  if (statistics != nullptr) return PhantomOfDescription(statistics->phantom);
  const std::size_t slash = file.find_last_of("/\\");
  if (slash != std::string_view::npos) file.remove_prefix(slash + 1);
  const PhantomPreset* preset = FindPhantomPreset(ParseResultFileName(file).phantom);
  if (preset == nullptr || preset->layers.empty()) return std::nullopt;
  return ParsePhantom(preset->layers, std::string(preset->key));
}

std::string WaterResultFor(std::string_view file, std::span<const std::string> listed) {
  const std::size_t slash = file.find_last_of("/\\");
  if (slash != std::string_view::npos) file.remove_prefix(slash + 1);
  const std::string energy = ParseResultFileName(file).energy;
  if (energy.empty()) return {};
  std::string best;
  bool best_accurate = false;
  double best_photons = -1;
  for (const std::string& name : listed) {
    const ResultNameParts parts = ParseResultFileName(name);
    PhysicsSwitches exact = parts.physics;
    exact.accurate_transport = false;
    if (parts.energy != energy || !parts.phantom.empty() || !exact.AllOn()) continue;
    double photons = 0;
    // The number reader every file reader uses: the browser's C++ library converts no
    // floating-point text by std::from_chars.
    if (!parts.photons.empty()) ParseReal(parts.photons, photons);
    const bool accurate = parts.physics.accurate_transport;
    if (best.empty() || (accurate && !best_accurate) ||
        (accurate == best_accurate && photons > best_photons)) {
      best = name;
      best_accurate = accurate;
      best_photons = photons;
    }
  }
  return best;
}

namespace {

constexpr int kMeanBins = 3;  // the 3 mm over which a dose at an interface is read
constexpr double kBinCm = 0.1;
constexpr double kEdge = 1e-6;  // [cm]: depths written to a few decimals

using Curve = RunStatistics::Curve;

// The last bin wholly above `depth` and the first wholly below it (1-based).
int LastBinAbove(double depth_cm) {
  return static_cast<int>(std::floor(depth_cm / kBinCm + kEdge));
}
int FirstBinBelow(double depth_cm) {
  return static_cast<int>(std::ceil(depth_cm / kBinCm - kEdge)) + 1;
}

double MeanOf(const Curve& dose, int first, int last) {
  first = std::max(first, 1);
  last = std::min(last, kDepthBins);
  if (last < first) return -1;
  double sum = 0;
  for (int k = first; k <= last; ++k) sum += dose[k];
  return sum / (last - first + 1);
}

// The numbers of one slab from one curve (on the graph's scale): before, inside, its depth,
// beyond, and the re-build-up depth against `water` (null: none).
struct SlabNumbers {
  double before = -1, inside = -1, inside_depth = 0, beyond = -1, rebuild = -1;
};

SlabNumbers NumbersOf(const SlabValues& slab, const Curve& dose, const Curve* water) {
  SlabNumbers n;
  if (slab.top_cm > kEdge) {
    const int last = LastBinAbove(slab.top_cm);
    n.before = MeanOf(dose, last - kMeanBins + 1, last);
  }
  const int first_in = FirstBinBelow(slab.top_cm);
  const int last_in = LastBinAbove(slab.bottom_cm);
  const int width = std::min(kMeanBins, std::max(1, last_in - first_in + 1));
  if (last_in < first_in) {
    // A slab thinner than a bin: the bin that holds its middle.
    const int k =
        std::clamp(FirstBinBelow(0.5 * (slab.top_cm + slab.bottom_cm)) - 1, 1, kDepthBins);
    n.inside = dose[k];
    n.inside_depth = DepthBinCentreCm(k);
  } else {
    for (int k = first_in; k + width - 1 <= last_in; ++k) {
      const double mean = MeanOf(dose, k, k + width - 1);
      if (n.inside < 0 || mean < n.inside) {
        n.inside = mean;
        n.inside_depth = 0.5 * (DepthBinCentreCm(k) + DepthBinCentreCm(k + width - 1));
      }
    }
  }
  const int first_below = FirstBinBelow(slab.bottom_cm);
  if (first_below + kMeanBins - 1 <= kDepthBins) {
    n.beyond = MeanOf(dose, first_below, first_below + kMeanBins - 1);
    if (water != nullptr) {
      // The first 3 mm mean below the slab that holds the share of water's, the crossing
      // put between the means' centres as the ratio runs; at once below it: the slab's
      // bottom, the dose never fell short.
      double previous = -1;
      for (int k = first_below; k + kMeanBins - 1 <= kDepthBins; ++k) {
        const double w = MeanOf(*water, k, k + kMeanBins - 1);
        const double ratio = w > 0 ? MeanOf(dose, k, k + kMeanBins - 1) / w : 0;
        const double depth = DepthBinCentreCm(k + 1);
        if (ratio >= kRebuildShare) {
          n.rebuild = k == first_below
                          ? slab.bottom_cm
                          : depth - kBinCm * (ratio - kRebuildShare) / (ratio - previous);
          break;
        }
        previous = ratio;
      }
    }
  }
  return n;
}

// The curve of `field` on the graph's scale, as per cent.
Curve Scaled(const Curve& dose, const Curve& kerma) {
  const double k = FittedSurfaceKerma(kerma);
  const double scale = 100.0 * (k > 0 ? 1.0 / k : 1.0);
  Curve out{};
  for (int i = 1; i <= kDepthBins; ++i) out[i] = dose[i] * scale;
  return out;
}

Curve FromTables(const ResultTables& tables, int field) {
  Curve dose{}, kerma{};
  for (int i = 1; i <= kDepthBins; ++i) {
    dose[i] = tables.DoseTable[kTotalDose][field][i];
    kerma[i] = tables.Kerma[i];
  }
  return Scaled(dose, kerma);
}

// The run's curve without history group `g`, on the graph's scale.
Curve LeaveOut(const RunStatistics& s, int field, int g) {
  Curve dose{}, kerma{};
  const int n = s.groups;
  for (int i = 1; i <= kDepthBins; ++i) {
    double d = 0, k = 0;
    for (int h = 0; h < n; ++h) {
      d += s.group[h][field][i];
      k += s.group[h][RunStatistics::kKerma][i];
    }
    dose[i] = (d - s.group[g][field][i]) / (n - 1);
    kerma[i] = (k - s.group[g][RunStatistics::kKerma][i]) / (n - 1);
  }
  return Scaled(dose, kerma);
}

// Jackknife variance from leave-one-out values; the values that do not exist in one of them
// (a crossing not found) make it unknown.
double JackknifeVariance(const std::vector<double>& values) {
  const double n = static_cast<double>(values.size());
  if (values.size() < 2) return -1;
  double mean = 0;
  for (const double v : values) {
    if (v < 0) return -1;
    mean += v / n;
  }
  double sum = 0;
  for (const double v : values) sum += (v - mean) * (v - mean);
  return (n - 1) / n * sum;
}

}  // namespace

InterfaceValues MeasureInterfaces(const Phantom& phantom, const ResultTables& tables, int field,
                                  const RunStatistics* statistics, const ResultTables* water,
                                  const RunStatistics* water_statistics) {
  InterfaceValues values;
  // The slabs: runs of one material other than water, from the surface down.
  double z = 0;
  for (const PhantomLayer& layer : phantom.layers) {
    const double top = z;
    z += layer.thickness_cm;
    if (layer.material == "water") continue;
    if (!values.slabs.empty() && values.slabs.back().material == layer.material &&
        std::abs(values.slabs.back().bottom_cm - top) < kEdge) {
      values.slabs.back().bottom_cm = z;
      continue;
    }
    SlabValues slab;
    slab.material = layer.material;
    slab.top_cm = top;
    slab.bottom_cm = z;
    values.slabs.push_back(slab);
  }
  if (statistics != nullptr && (statistics->groups < 2 || statistics->group.empty()))
    statistics = nullptr;
  if (water_statistics != nullptr &&
      (water_statistics->groups < 2 || water_statistics->group.empty()))
    water_statistics = nullptr;
  if (statistics != nullptr && statistics->histories < kFewestMeasuredHistories) {
    values.too_few = true;
    values.measured = true;
    return values;
  }
  values.measured = statistics != nullptr;
  const Curve dose = FromTables(tables, field);
  const std::optional<Curve> water_dose =
      water != nullptr ? std::optional<Curve>(FromTables(*water, field)) : std::nullopt;
  const Curve* water_curve = water_dose ? &*water_dose : nullptr;
  for (SlabValues& slab : values.slabs) {
    const SlabNumbers n = NumbersOf(slab, dose, water_curve);
    slab.before.value = n.before;
    slab.inside.value = n.inside;
    slab.inside_depth_cm = n.inside_depth;
    slab.beyond.value = n.beyond;
    slab.rebuild_cm.value = n.rebuild;
    using Rebuild = SlabValues::Rebuild;
    slab.rebuild = n.beyond < 0                  ? Rebuild::kNone
                   : water_curve == nullptr      ? Rebuild::kNoWaterRun
                   : n.rebuild < 0               ? Rebuild::kNotReached
                   : n.rebuild <= slab.bottom_cm ? Rebuild::kAtInterface
                                                 : Rebuild::kFound;
    if (statistics != nullptr) {
      std::vector<double> before, inside, beyond, rebuild;
      for (int g = 0; g < statistics->groups; ++g) {
        const SlabNumbers m = NumbersOf(slab, LeaveOut(*statistics, field, g), water_curve);
        before.push_back(m.before);
        inside.push_back(m.inside);
        beyond.push_back(m.beyond);
        rebuild.push_back(m.rebuild);
      }
      const auto sigma = [](const std::vector<double>& v) {
        const double var = JackknifeVariance(v);
        return var < 0 ? -1.0 : std::sqrt(var);
      };
      slab.before.sigma = n.before < 0 ? -1 : sigma(before);
      slab.inside.sigma = sigma(inside);
      slab.beyond.sigma = n.beyond < 0 ? -1 : sigma(beyond);
      if (slab.rebuild == Rebuild::kFound || slab.rebuild == Rebuild::kAtInterface) {
        double var = JackknifeVariance(rebuild);
        // The water run's own noise, added where it has its groups.
        if (var >= 0 && water_statistics != nullptr) {
          std::vector<double> against_water;
          for (int g = 0; g < water_statistics->groups; ++g) {
            const Curve w = LeaveOut(*water_statistics, field, g);
            against_water.push_back(NumbersOf(slab, dose, &w).rebuild);
          }
          const double var_water = JackknifeVariance(against_water);
          var = var_water < 0 ? -1 : var + var_water;
        }
        slab.rebuild_cm.sigma = var < 0 ? -1 : std::sqrt(var);
      }
    }
    // Without the run's groups no uncertainty is claimed: a result's noise is correlated
    // over the electrons' range, and its bins' scatter would understate it several times.
  }
  return values;
}

bool DmaxIsReadIn(const std::optional<Phantom>& phantom) {
  return !phantom || !SlabBendsDoseFit(PhantomBands(*phantom));
}

std::string MaterialName(std::string_view material, bool english) {
  if (const MaterialLook* look = MaterialLookOf(material))
    return std::string(english ? look->word_en : look->name_ja);
  return std::string(material);
}

namespace {

std::string Fixed(double value, int decimals) {
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  std::string text = buffer;
  // The C library's locale may write a decimal comma; the tables write points.
  std::replace(text.begin(), text.end(), ',', '.');
  return text;
}

std::string Centimetres(double cm) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", cm);
  std::string text = buffer;
  std::replace(text.begin(), text.end(), ',', '.');
  return text;
}

}  // namespace

std::string PhantomName(const Phantom& phantom, bool english) {
  if (const PhantomPreset* preset = FindPhantomPreset(PhantomLinkOf(phantom)))
    return std::string(english ? preset->name_en : preset->name_ja);
  std::size_t named = phantom.layers.size();
  while (named > 1 && phantom.layers[named - 1].material == "water") --named;
  std::string text = english ? "phantom: " : "ファントム: ";
  for (std::size_t i = 0; i < named; ++i)
    text += (i ? ", " : "") + MaterialName(phantom.layers[i].material, english) + " " +
            Centimetres(phantom.layers[i].thickness_cm) + " cm";
  return text;
}

std::vector<EditedLayer> EditorRowsOf(const std::optional<Phantom>& phantom) {
  if (!phantom) return {{"water", "3"}, {"lung", "10"}};
  std::size_t named = phantom->layers.size();
  while (named > 1 && phantom->layers[named - 1].material == "water") --named;
  std::vector<EditedLayer> rows;
  for (std::size_t i = 0; i < named; ++i)
    rows.push_back({phantom->layers[i].material, Centimetres(phantom->layers[i].thickness_cm)});
  return rows;
}

std::vector<SlabValueCells> InterfaceValueText(const InterfaceValues& values,
                                               std::string_view energy, bool english) {
  std::vector<SlabValueCells> rows;
  const auto dose = [&](const ValueWithSigma& v) {
    if (v.value < 0) return std::string("—");
    std::string text = Fixed(v.value, 1);
    if (v.sigma >= 0) text += " ± " + Fixed(std::max(0.1, v.sigma), 1);
    return text + " %";
  };
  for (const SlabValues& slab : values.slabs) {
    SlabValueCells cells;
    cells.slab = MaterialName(slab.material, english) + " " + Centimetres(slab.top_cm) + "–" +
                 Centimetres(slab.bottom_cm) + " cm";
    if (values.too_few) {
      const std::string few = english ? "too few photons" : "光子が少なすぎる";
      cells.before = cells.inside = cells.beyond = cells.rebuild = few;
      rows.push_back(cells);
      continue;
    }
    cells.before = dose(slab.before);
    cells.inside = dose(slab.inside);
    cells.beyond = dose(slab.beyond);
    using Rebuild = SlabValues::Rebuild;
    switch (slab.rebuild) {
      case Rebuild::kFound:
        cells.rebuild = Fixed(slab.rebuild_cm.value, 2);
        if (slab.rebuild_cm.sigma >= 0)
          cells.rebuild += " ± " + Fixed(std::max(0.01, slab.rebuild_cm.sigma), 2);
        cells.rebuild += " cm";
        break;
      case Rebuild::kNoWaterRun:
        cells.rebuild = english ? "needs a water run of " + std::string(energy)
                                : std::string(energy) + " の水の計算結果が必要";
        break;
      case Rebuild::kAtInterface:
        cells.rebuild = english ? "at the interface" : "境界で 95 % 以上";
        break;
      case Rebuild::kNotReached:
        cells.rebuild = english ? "not within 30 cm" : "30 cm までに戻らない";
        break;
      case Rebuild::kNone: cells.rebuild = "—"; break;
    }
    rows.push_back(cells);
  }
  return rows;
}

std::string InterfaceSummary(const InterfaceValues& values, std::string_view energy, bool english) {
  std::string text;
  const auto bare = [](std::string cell) {
    const std::size_t unit = cell.rfind(" %");
    return unit != std::string::npos && unit + 2 == cell.size() ? cell.substr(0, unit) : cell;
  };
  for (const SlabValueCells& cells : InterfaceValueText(values, energy, english)) {
    if (!text.empty()) text += "; ";
    text += cells.slab + ": ";
    if (values.too_few) {
      text += cells.inside;
      continue;
    }
    text += (english ? "before " : "手前 ") + bare(cells.before) +
            (english ? ", inside " : ", 中 ") + bare(cells.inside) +
            (english ? ", beyond " : ", 先 ") + bare(cells.beyond) + " %, " +
            (english ? "95 % of water: " : "水の 95 %: ") + cells.rebuild;
  }
  return text;
}

}  // namespace dosavia
