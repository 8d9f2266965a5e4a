#include "engine/pencil_beam.h"

#include "engine/beam_geometry.h"
#include "physics/photon_transport.h"

namespace dosavia {

namespace {
constexpr float kEntryRadiusCm = 0.2f;
constexpr float kEntrySquareSideCm = 0.4f;
constexpr float kEntryRadiusSquared = 0.04f;  // [cm^2]
}  // namespace

Vec3<float> SampleEntryPoint(RandomStream<float>& random) {
  static_assert(kEntrySquareSideCm == 2 * kEntryRadiusCm);
  float u;
  float v;
  do {
    const float r1 = random.Uniform();
    const float r2 = random.Uniform();
    u = (0.5f - r1) * kEntrySquareSideCm;
    v = (0.5f - r2) * kEntrySquareSideCm;
  } while (u * u + v * v > kEntryRadiusSquared);
  return {kAxisCm + u, kAxisCm + v, 0.0f};
}

PhantomBox<float> EnginePhantomBox() {
  return {0.0f, kPhantomWidthCm, 0.0f, kPhantomWidthCm, kPhantomDepthCm};
}

PencilBeam::PencilBeam(const PhysicsTables<float>& tables, RandomStream<float>& random,
                       DoseTally& tally, const PhysicsSwitches& physics)
    : context_{tables, random, EnginePhantomBox(), physics}, observer_(tally) {}

PencilBeam::PencilBeam(const PhysicsTables<float>& tables, RandomStream<float>& random,
                       DoseTally& tally, ScoringThread& scorer, const PhysicsSwitches& physics)
    : context_{tables, random, EnginePhantomBox(), physics}, observer_(tally, scorer) {}

void PencilBeam::RunHistory(float energy) {
  const Vec3<float> start = SampleEntryPoint(context_.random);
  const Direction<float> along_z{1.0f, 0.0f, 1.0f, 0.0f};
  if (!(energy == source_energy_)) {
    source_energy_ = energy;
    source_attenuation_ = context_.tables.PhotonCoefficients(energy);
  }
  TrackHistory(context_, start, along_z, energy, observer_, &source_attenuation_);
  observer_.Flush();
}

}  // namespace dosavia
