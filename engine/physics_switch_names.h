// The names under which the parts of the physics are switched off: Kestrun's --without
// words, the letters of the result-name tag, and the words the console, the legends and
// the visual pages use.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "physics/physics_switches.h"

namespace dosavia {

struct PhysicsSwitchName {
  std::string_view option;  // the word after --without
  char tag;                 // its letter in the result-name tag
  bool PhysicsSwitches::*member;
  std::string_view japanese;
  std::string_view english;
};

// In the order of the tag's letters.
inline constexpr std::array<PhysicsSwitchName, 5> kPhysicsSwitchNames{{
    {"electron-transport", 'e', &PhysicsSwitches::electron_transport, "電子・陽電子の輸送",
     "electron and positron transport"},
    {"multiple-scattering", 'm', &PhysicsSwitches::multiple_scattering, "多重散乱",
     "multiple scattering"},
    {"photon-scatter", 's', &PhysicsSwitches::photon_scatter, "散乱光子の追跡",
     "scattered photons"},
    {"coherent", 'c', &PhysicsSwitches::coherent, "コヒーレント散乱", "coherent scattering"},
    {"pair", 'p', &PhysicsSwitches::pair, "電子対生成", "pair production"},
}};

// The entry of a --without word; null for an unknown word.
const PhysicsSwitchName* FindPhysicsSwitch(std::string_view option);

// The tag that marks a result of switched-off physics: "-no" and one letter per part off,
// in table order ("-noe", "-noemscp"); empty for the full physics, whose names stay as
// they always were.
std::string PhysicsTag(const PhysicsSwitches& physics);

// The switches of a tag as PhysicsTag writes it; empty for any other text.
std::optional<PhysicsSwitches> ParsePhysicsTag(std::string_view tag);

// The parts switched off, joined by ", " in the language asked for; empty for the full
// physics.
std::string SwitchedOffText(const PhysicsSwitches& physics, bool english);

}  // namespace dosavia
