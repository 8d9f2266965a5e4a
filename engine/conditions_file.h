// The conditions file "Joken.dat" that carries one batch run from the interactive program to
// the engine: spectrum file name, result file name and photon total, one per line.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "physics/physics_switches.h"
#include "records/problem.h"

namespace dosavia {

inline constexpr const char* kConditionsFile = "Joken.dat";
// Lines 1 and 2 are read as one field of 20 characters each.
inline constexpr int kFileNameLength = 20;
// The largest photon total whose histories a 32-bit counter can hold.
inline constexpr float kMaxPhotonTotal = 2147483520.0f;

// The conditions of one run as the engine takes them.
struct RunConditions {
  std::string spectrum_file;  // line 1: first 20 characters, trailing blanks dropped
  std::string result_file;    // line 2: likewise
  float photon_total = 0;     // line 3: N, in free format
};

// Reads the three lines. Throws InputError naming the file, the line and the field for a
// missing line, an empty name, a name that is not a plain file name of the working
// directory (a folder separator, "." or ".."), a result name that would overwrite one of the
// run's input files or a shipped program or data file, or a photon total that is not one
// number in 0..2147483520. A byte-order mark and blanks around a name are dropped; a name
// is cut to 20 bytes without splitting a UTF-8 character.
RunConditions ReadConditions(std::string_view content,
                             const std::string& display_name = kConditionsFile);

// Line 3 as the engine reads it: one number in 0..2147483520, words after it allowed as a
// comment. Throws InputError naming `display_name`, line 3 and the photon total otherwise
// ("abc", "1.000.000", "1,5E6", "1e5x", "1e10"). The interactive program checks the count
// it is about to write with this same rule.
float ReadPhotonTotal(std::string_view line, const std::string& display_name = kConditionsFile);

// Reads the file; throws InputError when it is missing or unreadable, as above otherwise,
// and when a file of the result's name exists beside it that is not an earlier result.
// With parts of the physics switched off, the result's name is the one of line 2 with their
// tag (TaggedResultFileName), and that is the name checked.
RunConditions ReadConditionsFile(const std::filesystem::path& path,
                                 const std::string& display_name = kConditionsFile,
                                 const PhysicsSwitches& physics = {});

// Throws InputError (file, line, field) unless `name` can only name a file in the working
// directory: not empty, no '/', '\\' or ':', no control character, not "." or "..".
void CheckPlainFileName(const std::string& name, const std::string& file, int line,
                        FieldName field);

// The writer's side, shared with the interactive program.

// Spectrum file of an X-ray energy text: "10" gives "10MV.csv".
std::string SpectrumFileName(std::string_view energy_text);

// Result file of an energy text and a photon count text: the energy, "MV-", the count in
// millions rounded down, "M.data" ("10", "30000000" give "10MV-30M.data"); below a million,
// in thousands rounded down with "K" ("100000" gives "10MV-100K.data"), and below a
// thousand the count itself ("500" gives "10MV-500.data"). A count text that is not a
// number counts as 0.
std::string ResultFileName(std::string_view energy_text, std::string_view count_text);

// The result name of a run with parts of the physics switched off: their tag (PhysicsTag)
// before a final ".data", or at the end of a name without it ("10MV-30M.data" without
// electron transport gives "10MV-30M-noe.data"). The full physics keeps the name as it is.
// Joken.dat always names the full-physics result, so its 20-byte limit holds as before;
// the tag adds at most 8 bytes to the name on disk.
std::string TaggedResultFileName(std::string_view name, const PhysicsSwitches& physics);

// The mark the screens give the result of a run in the accurate transport, before ".data"
// as the physics tag is: "10MV-30M-acc.data" stays apart from the exact "10MV-30M.data".
// Joken.dat holds the marked name (Kestrun --accurate adds no tag of its own).
inline constexpr std::string_view kAccurateResultTag = "-acc";
std::string AccurateResultFileName(std::string_view name);

// The mark the screens give the result of a run in a slab phantom, before ".data" as the
// accurate mark is: a phantom material's name for a phantom a class picks by that name
// ("10MV-30M-lung.data"), kEditedPhantomMark for layers of its own, so that a phantom run
// never replaces the water result of its beam. A phantom always runs the accurate
// transport, so the mark stands for that too.
inline constexpr std::string_view kEditedPhantomMark = "slab";
std::string PhantomResultFileName(std::string_view name, std::string_view mark);

// What a result file's name says, read back the way ResultFileName writes it.
struct ResultNameParts {
  std::string energy;       // the energy text ("10", "7.5"); empty when the name holds no "MV-"
  std::string photons;      // the count the name stands for ("30000000" for "30M", "100000" for
                            // "100K"); empty when not of the written form
  PhysicsSwitches physics;  // what its tag says was switched off; all on without a tag;
                            // accurate_transport for a name marked kAccurateResultTag
  std::string phantom;      // the phantom mark ("lung", "slab"); empty: water
};

// "10MV-30M.data" gives "10" and "30000000", "10MV-30M-noe.data" the same and electron transport
// off. A name of another form (a renamed copy, "10MV-30M-run2.data") still gives the energy
// before its first "MV-", in either case, but no count; a tag just before ".data" is read
// in any name, so a renamed copy still says its physics was incomplete.
ResultNameParts ParseResultFileName(std::string_view name);

// A typed photon count as the plain number it is: digit grouping at the start
// ("30,000,000", "30 000 000") is dropped. Any other text is returned as typed. (The form
// turns full-width characters into plain ones before.)
std::string PlainCountText(std::string_view typed);

// The count text in the number format "0.00E+00" (three significant digits, halves rounded
// away from zero: "30000000" gives "3.00E+07"); a text that is not a number is returned
// unchanged.
std::string PhotonTotalText(std::string_view count_text);

// The three lines of the conditions file, each ended by CR LF.
std::string ConditionsFileText(std::string_view spectrum_file, std::string_view result_file,
                               std::string_view photon_total_text);

// Creates or replaces the conditions file in one step (temporary name, then rename).
// Throws WriteError when the file cannot be written.
void WriteConditionsFile(const std::filesystem::path& path, std::string_view content);

}  // namespace dosavia
