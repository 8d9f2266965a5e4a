// The slab phantom file: what it describes, and every refusal naming line and field before
// any history runs.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "engine/phantom_file.h"
#include "records/input_error.h"

namespace dosavia {
namespace {

TEST(PhantomFileTest, LayersFromTheSurfaceDownThenWater) {
  const struct {
    const char* text;
    const char* description;
    int count;
    float last_top;  // [cm]
    float first_density;
    float first_water_equivalent;  // electrons per cm^3 as water's density
  } cases[] = {
      {"water 3\nlung 10\n", "water 3 lung 10 water 17", 3, 13, 1, 1},
      {"\xEF\xBB\xBF# bolus\r\nwater 1\r\n\r\n", "water 1 water 29", 2, 1, 1, 1},
      {"  air 0.5 \nbone 29.5\n", "air 0.5 bone 29.5", 2, 0.5f, 0.001205f, 0.0010836f},
      {"lung 30", "lung 30", 1, 0, 0.26f, 0.25784f},
  };
  for (const auto& c : cases) {
    const Phantom p = ParsePhantom(c.text, "p.txt");
    EXPECT_EQ(p.Description(), c.description) << c.text;
    const SlabLayers<float> layers = p.Layers();
    ASSERT_EQ(layers.count, c.count) << c.text;
    EXPECT_FLOAT_EQ(layers.z[static_cast<std::size_t>(c.count - 1)], c.last_top) << c.text;
    EXPECT_FLOAT_EQ(layers.z[static_cast<std::size_t>(c.count)], 30.0f) << c.text;
    EXPECT_FLOAT_EQ(layers.mass_density[0], c.first_density) << c.text;
    EXPECT_NEAR(layers.density[0], c.first_water_equivalent, 1e-4 * c.first_water_equivalent)
        << c.text;
  }
}

std::string ManyLayers(int n) {
  std::string text;
  for (int i = 0; i < n; ++i) text += "lung 0.1\n";
  return text;
}

TEST(PhantomFileTest, RefusesWithLineAndField) {
  const struct {
    std::string text;
    ProblemKind kind;
    int line;
    FieldName field;
  } cases[] = {
      {"water 3\nlead 1\n", ProblemKind::kPhantomUnknownMaterial, 2, FieldName::kMaterial},
      {"Lung 1\n", ProblemKind::kPhantomUnknownMaterial, 1, FieldName::kMaterial},
      {"lung 0\n", ProblemKind::kPhantomThicknessInvalid, 1, FieldName::kThickness},
      {"lung -2\n", ProblemKind::kPhantomThicknessInvalid, 1, FieldName::kThickness},
      {"lung ten\n", ProblemKind::kPhantomThicknessInvalid, 1, FieldName::kThickness},
      {"lung nan\n", ProblemKind::kPhantomThicknessInvalid, 1, FieldName::kThickness},
      {"water 20\n\nlung 10.5\n", ProblemKind::kPhantomTooDeep, 3, FieldName::kThickness},
      {"bone 2\tair 0.5\n", ProblemKind::kPhantomLineShape, 1, FieldName::kNone},
      {"lung\n", ProblemKind::kPhantomLineShape, 1, FieldName::kNone},
      {"water 1\nlung \xC3\x28\n", ProblemKind::kPhantomNotUtf8, 2, FieldName::kNone},
      {"# nothing\n\n", ProblemKind::kPhantomEmpty, 0, FieldName::kNone},
      {ManyLayers(70), ProblemKind::kPhantomTooManyLayers, kMaxSlabLayers, FieldName::kNone},
  };
  for (const auto& c : cases) {
    try {
      ParsePhantom(c.text, "p.txt");
      ADD_FAILURE() << "accepted: " << c.text;
    } catch (const InputError& e) {
      EXPECT_EQ(e.problem().kind, c.kind) << c.text;
      EXPECT_EQ(e.file(), "p.txt");
      EXPECT_EQ(e.line(), c.line) << c.text;
      EXPECT_EQ(e.field().name, c.field) << c.text;
    }
  }
}

// What is not a phantom file at all: a folder, a pipe, 4 MiB of text.
TEST(PhantomFileTest, RefusesWhatIsNoFile) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("phantom_test_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir / "folder");
  const std::string fifo = (dir / "pipe").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  {
    std::ofstream big(dir / "big.txt", std::ios::binary);
    const std::string line = "water 0.000001\n";  // 15 bytes
    for (std::size_t n = 0; n < (4u << 20); n += line.size()) big << line;
  }
  for (const std::string name : {"folder", "pipe", "big.txt", "missing.txt"}) {
    try {
      ReadPhantomFile((dir / name).string(), name);
      ADD_FAILURE() << "accepted " << name;
    } catch (const InputError& e) {
      EXPECT_EQ(e.file(), name);
      EXPECT_EQ(e.line(), 0) << name;
    }
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace dosavia
