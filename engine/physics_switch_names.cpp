#include "engine/physics_switch_names.h"

namespace dosavia {

namespace {
constexpr std::string_view kTagStart = "-no";
}  // namespace

const PhysicsSwitchName* FindPhysicsSwitch(std::string_view option) {
  for (const PhysicsSwitchName& name : kPhysicsSwitchNames)
    if (name.option == option) return &name;
  return nullptr;
}

std::string PhysicsTag(const PhysicsSwitches& physics) {
  std::string letters;
  for (const PhysicsSwitchName& name : kPhysicsSwitchNames)
    if (!(physics.*name.member)) letters += name.tag;
  return letters.empty() ? letters : std::string(kTagStart) + letters;
}

std::optional<PhysicsSwitches> ParsePhysicsTag(std::string_view tag) {
  if (tag.size() <= kTagStart.size() || tag.substr(0, kTagStart.size()) != kTagStart)
    return std::nullopt;
  tag.remove_prefix(kTagStart.size());
  PhysicsSwitches physics;
  std::size_t next = 0;  // letters come once each, in table order
  for (const char c : tag) {
    while (next < kPhysicsSwitchNames.size() && kPhysicsSwitchNames[next].tag != c) ++next;
    if (next == kPhysicsSwitchNames.size()) return std::nullopt;
    physics.*kPhysicsSwitchNames[next++].member = false;
  }
  return physics;
}

std::string SwitchedOffText(const PhysicsSwitches& physics, bool english) {
  std::string text;
  for (const PhysicsSwitchName& name : kPhysicsSwitchNames) {
    if (physics.*name.member) continue;
    if (!text.empty()) text += ", ";
    text += english ? name.english : name.japanese;
  }
  return text;
}

}  // namespace dosavia
