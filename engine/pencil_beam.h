// The engine's source: a narrow beam along +z entering the water at the middle of its
// surface, each history scored into the dose tally.
#pragma once

#include "engine/dose_tally.h"
#include "physics/physics_switches.h"
#include "physics/physics_tables.h"
#include "physics/random_stream.h"
#include "physics/transport_context.h"
#include "physics/transport_events.h"

namespace dosavia {

// Entry point of one history on the disc of radius 0.2 cm around the axis at depth 0 [cm].
// Rejection from the enclosing square: draws r1, then r2, u = (0.5 - r1) 0.4,
// v = (0.5 - r2) 0.4, again while u^2 + v^2 > 0.04 (a point on the rim is accepted).
Vec3<float> SampleEntryPoint(RandomStream<float>& random);

// The engine's water box: 0..50 cm in x and y, 0..30 cm in depth.
PhantomBox<float> EnginePhantomBox();

class PencilBeam {
 public:
  // `physics`: the parts of the physics in force (all of them unless a lesson switched
  // some off).
  PencilBeam(const PhysicsTables<float>& tables, RandomStream<float>& random, DoseTally& tally,
             const PhysicsSwitches& physics = {});
  // The ring scores go to `scorer`, which applies them in the same order on its thread.
  PencilBeam(const PhysicsTables<float>& tables, RandomStream<float>& random, DoseTally& tally,
             ScoringThread& scorer, const PhysicsSwitches& physics = {});

  // One history of a photon of energy [keV]: entry point, direction +z, dose component 1;
  // the transport runs it to its end and every event is scored before it returns.
  void RunHistory(float energy);

  // A slab phantom's layers for the transport and the tally (they must outlive the beam);
  // none: water.
  void SetLayers(const SlabLayers<float>* layers) {
    context_.layers = layers;
    observer_.SetLayers(layers);
  }

  // The end of a history group's segment (DoseTallyObserver::EndSegment).
  void EndSegment(const GroupSegment& segment, GroupGrowth& growth) {
    observer_.EndSegment(segment, growth);
  }

 private:
  TransportContext<float> context_;
  DoseTallyObserver observer_;
  // The coefficients of the last source energy: every history of a bin starts with them.
  float source_energy_ = -1;
  Attenuation<float> source_attenuation_{};
};

}  // namespace dosavia
