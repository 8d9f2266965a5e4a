// Fig.3 to Fig.6: the unit-volume model of the build-up. Water is cut into equal small
// volumes; the primary photons give each volume a kerma, and the secondary electrons carry it
// a fixed number of volumes on, sharing it equally among the volumes they cross.
#pragma once

#include <QFrame>

#include <vector>

namespace dosavia::gui {

// Kerma of the longitudinal model [per volume].
inline constexpr double kModelKerma = 100;
// Forward range of the electrons [volumes], the volume of release included.
inline constexpr int kModelRange = 4;
// Fraction of the photons that each volume passes on to the next in the attenuated case.
inline constexpr double kModelTransmission = 0.9;
// Kerma of the lateral model [per volume] and the electrons' reach to each side [volumes],
// the volume of release included.
inline constexpr double kLateralKerma = 80;
inline constexpr int kLateralReach = 4;

// Kerma of volumes 1..n along the beam: `first` in volume 1, times `transmission` per volume.
std::vector<double> ModelKerma(int volumes, double first, double transmission);

// Dose of each volume when the kerma of every volume is shared equally by it and the next
// `range` - 1 volumes downstream.
std::vector<double> ModelDose(const std::vector<double>& kerma, int range);

// Dose of the central volume of a field `field_volumes` wide (odd) across the beam, when each
// volume sends half its kerma to each side, shared equally over `reach` volumes on that side
// counting itself (so a volume keeps two shares).
double LateralCentralDose(int field_volumes, double kerma, int reach);

// Fig.3: a row of volumes along the beam, the kerma in each, the electrons of the first
// volumes with their shares, and the resulting dose under each volume.
class LongitudinalModelFigure : public QFrame {
  Q_OBJECT

 public:
  explicit LongitudinalModelFigure(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

// Fig.4 (transmission 1) and Fig.5 (attenuated beam): dose of each volume as bars against the
// kerma as a step line, with the region of (transient) equilibrium marked.
class ModelDoseFigure : public QFrame {
  Q_OBJECT

 public:
  explicit ModelDoseFigure(double transmission, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  double transmission_;
};

// Fig.6: a row of volumes across the beam, the spread of the central volume's electrons, and
// the dose at the centre for fields ① to ④.
class LateralModelFigure : public QFrame {
  Q_OBJECT

 public:
  explicit LateralModelFigure(QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace dosavia::gui
