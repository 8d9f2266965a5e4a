// The clinical geometry beside the engine's parallel beam: a result's central-axis curves
// turned into the depth doses of a point source at a source-surface distance (SSD) of 50 to
// 150 cm, with the field defined at the surface, as clinical depth-dose tables are measured.
//
// Two things change when the source is a point at distance s from the surface:
//  - the photon fluence on the axis falls with the inverse square (s / (s + d))^2, and
//  - the field grows with depth: a field of side F at the surface is F (s + d) / s wide at
//    depth d, so the scatter reaching the axis at depth d is that of the wider field.
// Both are applied to the parallel beam's curves of the ten square fields: at depth d the
// dose is the parallel-beam dose of side F (s + d) / s, interpolated linearly in the field
// side between the two neighbouring columns, times the inverse square. Linear in side
// because the scatter on the axis from a ring of radius r and width dr of the field is about
// proportional to dr (the ring's area 2 pi r dr times a point kernel falling as 1/r), so the
// central-axis dose grows close to linearly with the side of the field between columns that
// lie 1 to 5 cm apart; an interpolation in area would bend the wrong way.
//
// How good it is. Scoring the pencil beam's ring tally at depth d with the radius stretched
// by (s + d) / s is the divergent beam with the obliquity of its rays neglected, and that
// folds to exactly "the parallel field of side F (s + d) / s times the inverse square"; the
// only step the tables add is the interpolation between the ten columns. Against that direct
// fold of the same tally (10 MV, 10^6 photons) the percentage depth dose agrees within 0.15 %
// of the maximum for 4 x 4 to 10 x 10 cm at SSD 50 to 150 cm, and d_max within 0.01 cm; for
// 1 x 1 cm within 1.1 % (the dose of fields of 1 to 2 cm is far from linear in the side).
// What the approximation leaves out:
//  - fields that grow beyond the largest column (20 cm) keep its scatter: a 20 x 20 cm field
//    at SSD 100 is 26 cm wide at 30 cm depth; its dose is 1.2 % of the maximum low at 25 cm;
//  - obliquity: the rays off the axis enter at angles up to atan(F / 2s) (6 degrees for
//    20 x 20 cm at 100 cm); their slightly longer path to a given depth is not modelled;
//  - the history of the scatter: a photon scattered at a shallower depth d' came through a
//    field F (s + d') / s, narrower than the one taken at the scoring depth, so the scatter
//    at depth is a little too high (an estimate: about half a per cent of the dose at 10 cm
//    for 10 x 10 cm at SSD 100);
//  - the electrons from the treatment head, which a clinical beam also carries (the
//    engine's beam is photons only): they raise the surface dose and pull d_max a little
//    shallower still, most at 15 MV.
// The inverse square falls fastest near the surface, so d_max moves shallower with a smaller
// SSD: the shipped 10 MV curves (3 x 10^7 photons) give d_max 2.88 cm for 10 x 10 cm in the
// parallel beam, 2.36 cm at SSD 100 and 2.13 cm at SSD 50, and PDD(10 cm) 73.5 % at SSD 100,
// the clinical values of a 10 MV beam. The field's growth hardly moves d_max (0.01 cm); it
// raises the dose at depth.
#pragma once

#include <memory>
#include <vector>

#include "engine/result_file.h"

namespace dosavia {

// The SSDs [cm] a front end offers: the range of clinical set-ups (an SSD far beyond it
// is the parallel beam again).
inline constexpr double kSmallestSsdCm = 50.0;
inline constexpr double kLargestSsdCm = 150.0;

// Side [cm] at depth `depth_cm` of a field of side `surface_side_cm` defined at the surface
// of a point source at SSD `ssd_cm`.
double FieldSideAtDepthCm(double surface_side_cm, double ssd_cm, double depth_cm);

// Central-axis value of dose component `component` (kTotalDose, kPrimaryDose or
// kScatterDose) of a square field of side `side_cm` at depth bin `bin` (1..300) of the
// parallel beam: linear in side between the two neighbouring field columns; sides outside
// 1..20 cm take the nearest column's value.
double InterpolatedFieldDose(const ResultTables& parallel, int component, double side_cm, int bin);

// The tables of the point source at SSD `ssd_cm` (positive; any value, so that a very
// large SSD can be seen to give the parallel beam back): field column j is the field
// of side kFieldSideCm[j] at the surface; every curve, the primary kerma included, is on the
// parallel tables' scale at the surface (the inverse square taken as 1 at depth 0, the bin
// centre's depth used below it). Throws std::invalid_argument for an SSD that is not a positive
// finite number.
std::unique_ptr<ResultTables> ClinicalGeometryTables(const ResultTables& parallel, double ssd_cm);

// The percentage depth dose of field column `field` at SSD `ssd_cm`: the total dose of
// ClinicalGeometryTables divided by its fitted maximum (FitDoseMaximum), times 100; indexed
// by depth bin 1..300, element 0 unused.
std::vector<double> ClinicalPercentDepthDose(const ResultTables& parallel, int field,
                                             double ssd_cm);

}  // namespace dosavia
