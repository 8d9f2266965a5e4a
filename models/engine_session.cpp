#include "models/engine_session.h"

#include <cmath>
#include <system_error>

#include "engine/conditions_file.h"
#include "models/typed_text.h"
#include "models/visual_batch.h"
#include "records/input_error.h"

namespace dosavia {

EngineRunPlan PlanEngineRun(std::string_view energy_text, std::string_view count_plain_text,
                            const std::filesystem::path& folder, bool accurate,
                            std::string_view phantom_mark) {
  using Refusal = EngineRunPlan::Refusal;
  EngineRunPlan plan;
  const std::string plain = PlainCountText(count_plain_text);
  const double count = TypedPhotonCount(count_plain_text);
  plan.photons = WholePhotonCount(count);
  plan.spectrum_file = SpectrumFileName(std::string(energy_text));
  // Named by the number the box holds, so that "5e7" and "50000000 photons" name a 50M run.
  plan.result_file =
      ResultFileName(energy_text, plan.photons > 0 ? std::to_string(plan.photons) : plain);
  if (!phantom_mark.empty())
    plan.result_file = PhantomResultFileName(plan.result_file, phantom_mark);
  else if (accurate)
    plan.result_file = AccurateResultFileName(plan.result_file);
  plan.photon_total = PhotonTotalText(plain);
  plan.expected_seconds = static_cast<double>(plan.photons) / kEnginePhotonsPerSecond;
  plan.ask = plan.expected_seconds > kEngineAskAboveSeconds;
  // Kestrun reads only the first 20 bytes of each name (a Japanese character takes three):
  // a longer one would make it read another spectrum or write a result the screen never
  // finds.
  const auto too_long = [](const std::string& name) {
    return name.size() > static_cast<std::size_t>(kFileNameLength);
  };
  if (too_long(plan.spectrum_file) || too_long(plan.result_file)) {
    plan.refusal = Refusal::kNameTooLong;
    return plan;
  }
  // The count by the engine's own rule on the very text Joken.dat will hold, then at least
  // one whole photon ("0.5" runs nothing).
  try {
    ReadPhotonTotal(plan.photon_total);
  } catch (const InputError& e) {
    plan.refusal = Refusal::kCount;
    plan.problem = e.problem();
    return plan;
  }
  if (plan.photons < 1) {
    plan.refusal = Refusal::kCount;
    plan.problem =
        Problem(ProblemKind::kLessThanOnePhoton).WithValue(std::string(count_plain_text));
    return plan;
  }
  // An energy without its spectrum ("12" without 12MV.csv) is refused now, not by the engine
  // after its start.
  std::error_code error;
  if (!std::filesystem::is_regular_file(folder / plan.spectrum_file, error)) {
    plan.refusal = Refusal::kNoSpectrum;
    plan.problem = Problem(ProblemKind::kCannotOpen).In(plan.spectrum_file);
  }
  return plan;
}

std::optional<RunSeed> EngineSeedOf(std::string_view seed_plain_text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!seed_plain_text.empty() && blank(seed_plain_text.front()))
    seed_plain_text.remove_prefix(1);
  while (!seed_plain_text.empty() && blank(seed_plain_text.back()))
    seed_plain_text.remove_suffix(1);
  if (seed_plain_text.empty()) return kDefaultSeed;
  return ParseRunSeed(seed_plain_text);
}

void EngineSession::Confirm(std::string_view energy_text, std::string_view count_plain_text,
                            bool accurate, std::string_view seed_text, std::string_view phantom) {
  confirmed_texts_ = {std::string(energy_text), std::string(count_plain_text), accurate,
                      EngineSeedOf(seed_text), std::string(phantom)};
  shown_ = confirmed_texts_;
  confirmed_ = true;
}

void EngineSession::ShowSettings(std::string_view energy_text, std::string_view count_plain_text,
                                 bool accurate, std::string_view seed_text,
                                 std::string_view phantom) {
  shown_ = {std::string(energy_text), std::string(count_plain_text), accurate,
            EngineSeedOf(seed_text), std::string(phantom)};
}

}  // namespace dosavia
