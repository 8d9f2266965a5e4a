// Loading "water20.dat" and "ELDAT.dat" into PhysicsTables, with every value checked.
#pragma once

#include <string>
#include <string_view>

#include "physics/physics_tables.h"

namespace dosavia {

inline constexpr const char* kWaterDataFile = "water20.dat";
inline constexpr const char* kElectronDataFile = "ELDAT.dat";

// Reads both data files (photon coefficients and atomic functions, then the deflection
// table) and replaces the tables' data only when both are complete and sound; the phantom
// constants are left to the caller. Throws InputError naming the file, line and field for
// a missing or short file, a field that is not a number or beyond the single-precision
// range, a row count outside 2..46, coefficients that are not positive or add up beyond
// the range, energies too close to interpolate between, form-factor rows out of order or
// not starting at x = 0 with integral 0, an S(x) of 0 beyond x = 0, or ScatterEnergies
// that do not descend.
template <typename Real>
void LoadPhysicsTables(PhysicsTables<Real>& tables, const std::string& water_path = kWaterDataFile,
                       const std::string& electron_path = kElectronDataFile);

// The same from the two files' contents already in memory; the names appear in errors.
template <typename Real>
void LoadPhysicsTablesFromText(PhysicsTables<Real>& tables, const std::string& water_name,
                               std::string_view water_text, const std::string& electron_name,
                               std::string_view electron_text);

extern template void LoadPhysicsTablesFromText<float>(PhysicsTables<float>&, const std::string&,
                                                      std::string_view, const std::string&,
                                                      std::string_view);
extern template void LoadPhysicsTablesFromText<double>(PhysicsTables<double>&, const std::string&,
                                                       std::string_view, const std::string&,
                                                       std::string_view);
extern template void LoadPhysicsTables<float>(PhysicsTables<float>&, const std::string&,
                                              const std::string&);
extern template void LoadPhysicsTables<double>(PhysicsTables<double>&, const std::string&,
                                               const std::string&);

}  // namespace dosavia
