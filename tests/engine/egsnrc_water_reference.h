// The reference code's energy deposited per incident photon in the engine's pencil-beam
// geometry, summed over all 125 rings (a beam as wide as the phantom) [MeV]: EGSnrc v2025a,
// DOSRZnrc, PRESTA-II, 10 keV cut-offs, monoenergetic photons on a disc of radius 0.2 cm
// (2e7 histories at 1.975 MeV, 1e7 at 5.975 MeV; 1-sigma about 0.1-0.3 % per value).
// Taken from the ring x slab grids egsnrc_E01.975MeV_edep_grid.csv and
// egsnrc_E05.975MeV_edep_grid.csv: the 30 slabs of 1 mm from the surface to 3 cm, then the
// means of the 1 cm intervals from 3 to 25 cm; and the share of rings 1-3.
#pragma once

#include <array>

namespace dosavia::testing {

struct ReferenceDepthDose {
  double energy_mev;
  std::array<double, 30> slabs;     // 0-0.1, ..., 2.9-3.0 cm
  std::array<double, 22> cm_means;  // 3-4, ..., 24-25 cm, per 1 mm slab
  // The share of the energy within 0.6 cm of the axis (rings 1-3), 0.5-3 and 3-25 cm.
  double narrow_share_build_up;
  double narrow_share_beyond;
};

inline constexpr std::array<ReferenceDepthDose, 2> kEgsnrcWaterReference{{
    {1.975,
     {
         1.04059e-03, 2.29034e-03, 3.34969e-03, 4.20838e-03, 4.82254e-03, 5.18156e-03,
         5.34095e-03, 5.39382e-03, 5.39646e-03, 5.39163e-03, 5.37013e-03, 5.38297e-03,
         5.37479e-03, 5.37730e-03, 5.35111e-03, 5.35754e-03, 5.34044e-03, 5.32444e-03,
         5.32734e-03, 5.34010e-03, 5.30693e-03, 5.30380e-03, 5.29990e-03, 5.29886e-03,
         5.28751e-03, 5.26754e-03, 5.25955e-03, 5.25796e-03, 5.25801e-03, 5.23868e-03,
     },
     {
         5.18444e-03, 5.09072e-03, 4.98622e-03, 4.88230e-03, 4.77008e-03, 4.64903e-03,
         4.54224e-03, 4.42586e-03, 4.31199e-03, 4.18431e-03, 4.07863e-03, 3.95476e-03,
         3.84080e-03, 3.73131e-03, 3.61387e-03, 3.50818e-03, 3.38854e-03, 3.27974e-03,
         3.16453e-03, 3.05924e-03, 2.95440e-03, 2.85083e-03,
     },
     0.91642,
     0.70433},
    {5.975,
     {
         6.05009e-04, 1.30605e-03, 1.96630e-03, 2.63538e-03, 3.27995e-03, 3.93253e-03,
         4.55686e-03, 5.17979e-03, 5.76487e-03, 6.35172e-03, 6.88524e-03, 7.38570e-03,
         7.87755e-03, 8.34593e-03, 8.75186e-03, 9.13435e-03, 9.45911e-03, 9.74954e-03,
         1.00194e-02, 1.02434e-02, 1.04294e-02, 1.05836e-02, 1.06713e-02, 1.07505e-02,
         1.07971e-02, 1.08530e-02, 1.08493e-02, 1.08495e-02, 1.08538e-02, 1.08441e-02,
     },
     {
         1.07599e-02, 1.06003e-02, 1.04422e-02, 1.02987e-02, 1.01360e-02, 1.00155e-02,
         9.82504e-03, 9.65977e-03, 9.51268e-03, 9.37187e-03, 9.22646e-03, 9.04991e-03,
         8.87558e-03, 8.72172e-03, 8.56769e-03, 8.43705e-03, 8.26475e-03, 8.10622e-03,
         7.94350e-03, 7.76443e-03, 7.60613e-03, 7.47084e-03,
     },
     0.73539,
     0.61171},
}};

}  // namespace dosavia::testing
