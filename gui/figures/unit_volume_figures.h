// Fig.3 to Fig.6: the unit-volume model of the build-up. Water is cut into equal small
// volumes; the primary photons give each volume a kerma, and the secondary electrons carry it
// a fixed number of volumes on, sharing it equally among the volumes they cross.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "gui/figures/figure_frame.h"
#include "models/figure_models.h"

namespace dosavia::gui {

// Fig.3: a row of volumes along the beam, the kerma in each, the electrons of the first
// volumes with their shares, and the resulting dose under each volume.
class LongitudinalModelFigure : public FigureFrame {
  Q_OBJECT

 public:
  explicit LongitudinalModelFigure(QWidget* parent = nullptr);

 protected:
  void Paint(QPainter& p) override;

 private:
  std::vector<double> kerma_;
  std::vector<double> dose_;
};

// Fig.4 (transmission 1) and Fig.5 (attenuated beam): dose of each volume as bars against the
// kerma as a step line, with the region of (transient) equilibrium marked. Fig.8 and Fig.9
// are Fig.5 with and without electron transport: electrons of `range` 1 stay in their
// volume, so the dose is the kerma from the surface on and there is no build-up.
class ModelDoseFigure : public FigureFrame {
  Q_OBJECT

 public:
  explicit ModelDoseFigure(double transmission, QWidget* parent = nullptr)
      : ModelDoseFigure(transmission, kModelRange, parent) {}
  ModelDoseFigure(double transmission, int range, QWidget* parent = nullptr);

 protected:
  void Paint(QPainter& p) override;

 private:
  double transmission_;
  int range_;
  std::vector<double> kerma_;
  std::vector<double> dose_;
};

// Fig.6: a row of volumes across the beam, the spread of the central volume's electrons, and
// the dose at the centre for fields ① to ④.
class LateralModelFigure : public FigureFrame {
  Q_OBJECT

 public:
  explicit LateralModelFigure(QWidget* parent = nullptr);

 protected:
  void Paint(QPainter& p) override;

 private:
  // The name of field k (0 for ①) with its volumes and the dose of the central volume.
  QString FieldLabel(std::size_t k) const;

  std::array<double, 4> central_dose_{};  // of fields ① to ④
};

}  // namespace dosavia::gui
