// Parts of the physics that a lesson can switch off, to show where the dose build-up comes
// from. Every part is on by default; a run with all of them on is the full simulation.
#pragma once

namespace dosavia {

struct PhysicsSwitches {
  // Off: an electron or positron gives up its whole kinetic energy where it is set in
  // motion (the kerma approximation); a positron annihilates there.
  bool electron_transport = true;
  // Off: electrons and positrons keep their starting direction along their whole range.
  bool multiple_scattering = true;
  // Off: only primary photons are followed; at a Compton or coherent scatter the electron
  // gets its share and the scattered photon leaves the problem, as do annihilation photons.
  bool photon_scatter = true;
  // Off: the interaction is left out of the photon's attenuation. A drawn coherent or pair
  // event then leaves the photon flying on unchanged, which is the same as flying with the
  // smaller coefficient (the free path has no memory), so the other interactions keep
  // their rates.
  bool coherent = true;
  bool pair = true;
  // Not a part switched off but the way electrons and positrons are followed: false, the
  // exact transport (the program's defined behaviour and the default); true, the accurate
  // transport (accurate_transport.h) with its own data, ELACC.dat. It rides with the
  // switches because every run carries them from its command line to its statistics.
  bool accurate_transport = false;

  bool AllOn() const {
    return electron_transport && multiple_scattering && photon_scatter && coherent && pair;
  }
  friend bool operator==(const PhysicsSwitches&, const PhysicsSwitches&) = default;
};

}  // namespace dosavia
