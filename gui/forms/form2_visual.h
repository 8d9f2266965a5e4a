// The visual simulation screen: the user picks an X-ray energy and a square field, confirms
// them with "OK", and every "Go" simulates a batch of photons whose electron and positron
// tracks are drawn in a side view of the water phantom, beside a histogram of the sampled
// photon energies. A second, twice-magnified view can be switched on and off. Parts of the
// physics can be switched off for the next batches, to see where the build-up comes from.
#pragma once

#include <QWidget>

#include <array>
#include <vector>

class QCheckBox;
class QCloseEvent;
class QEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace dosavia::gui {

class DepthDosePanel;
class PhysicsSwitchBoxes;
class PictureBox;

class Form2 : public QWidget {
  Q_OBJECT

 public:
  explicit Form2(QWidget* parent = nullptr);

  // Puts the screen into its opening state (the menu calls it before showing the screen):
  // 100 photons per "Go", total 0, energy 10 MV, field 4x4, pictures cleared, Settings
  // state, step display ticked, magnified view off, the full physics.
  void PrepareForShow();

  // Photons a second of the step display as the speed slider stands; 0 as fast as it goes.
  const double& PhotonsPerSecond() const { return photons_per_second_; }

  QLabel* Label12 = nullptr;
  QLabel* Label13 = nullptr;
  QLabel* Label14 = nullptr;
  QLabel* Label15 = nullptr;
  QLabel* Label16 = nullptr;
  QLabel* Label18 = nullptr;
  QLabel* Label19 = nullptr;
  QLabel* Label20 = nullptr;
  QLabel* Label21 = nullptr;
  QLabel* Label22 = nullptr;
  QLabel* Label24 = nullptr;  // total of photons simulated
  QLabel* Label25 = nullptr;
  QLabel* Label32 = nullptr;  // energy of the current photon [MeV]
  QLabel* Label35 = nullptr;
  QLabel* Label36 = nullptr;
  QLabel* Label39 = nullptr;
  QLabel* Label43 = nullptr;
  QLabel* Label46 = nullptr;
  QComboBox* Combo1 = nullptr;  // field size
  QComboBox* Combo2 = nullptr;  // energy [MV]
  QLineEdit* Text1 = nullptr;   // photons per "Go"
  QCheckBox* Check1 = nullptr;  // step-by-step display
  QPushButton* Command1 = nullptr;
  QPushButton* Command2 = nullptr;
  QPushButton* Command3 = nullptr;
  QPushButton* Command4 = nullptr;
  QPushButton* Command5 = nullptr;
  QPushButton* Command6 = nullptr;
  QPushButton* Command7 = nullptr;
  QPushButton* Command8 = nullptr;  // Stop
  PictureBox* Picture1 = nullptr;  // side view: depth z across, lateral x down [cm]
  PictureBox* Picture2 = nullptr;  // spectrum histogram
  PictureBox* Picture3 = nullptr;  // side view at twice the magnification
  QCheckBox* Check2 = nullptr;  // "深部線量を表示": shows the depth-dose panel
  QSlider* Slider1 = nullptr;   // speed of the step display, slowest at the left
  QLabel* Label47 = nullptr;    // caption of the speed
  QLabel* Label48 = nullptr;    // the chosen speed
  DepthDosePanel* DepthDosePanel1 = nullptr;  // in place of the spectrum histogram
  // The physics switches: a ticked box leaves its part out of the next batches.
  PhysicsSwitchBoxes* Frame1 = nullptr;
  QLabel* Label49 = nullptr;  // how little coherent scattering and pair production change
  // Field-edge lines, as indices of the fixed lines of Picture1 (Line5, Line7) and of
  // Picture3 (Line54, Line55).
  int Line5 = -1;
  int Line7 = -1;
  int Line54 = -1;
  int Line55 = -1;

 public slots:
  // "OK": reads the spectrum of the chosen energy and applies the field size.
  void Command1_Click();
  // "Reset": clears everything and returns to the Settings state.
  void Command2_Click();
  // "Go": runs one batch of the typed number of photons.
  void Command3_Click();
  // "Graph clear": clears pictures and counters and the depth-dose reference curve, keeps
  // the settings.
  void Command4_Click();
  // "Ｘ線スペクトル": shows the spectrum page.
  void Command5_Click();
  // Zoom button: shows or hides the magnified view.
  void Command6_Click();
  // Return icon: back to the main menu.
  void Command7_Click();
  // "Stop": ends the running batch after the photon in progress; counters and histogram
  // keep what was simulated.
  void Command8_Click();

 protected:
  // Closing this window returns to the menu, as the return icon does; a running batch is
  // stopped first.
  void closeEvent(QCloseEvent* event) override;
  // A language switch: every text again in the chosen language.
  void changeEvent(QEvent* event) override;

 private:
  void Form_Load();
  void CreateControls();
  void CreateTitles();
  void CreateSettingControls();
  void CreatePhysicsSwitches();
  void CreateBatchControls();
  void CreatePictures();
  void DecorateSideView(PictureBox* picture, double magnification);
  void DecorateSpectrum();
  // A caption drawn on a picture that follows the language.
  void AddTrLabel(PictureBox* picture, const char* source, double x, double y, Qt::Alignment anchor,
                  const QColor& color, const QFont& font);
  void RetranslateUi();
  struct TrLabel {
    PictureBox* picture;
    int index;
    const char* source;
  };
  std::vector<TrLabel> tr_labels_;
  void PlaceEnergyAxisLabels();
  // While a batch yields, the buttons that would disturb it are disabled.
  void SetBatchRunning(bool running);
  void MoveFieldEdgeLines(double side);
  void CreateDepthDoseControls();
  void ShowDepthDosePanel(bool show);
  // "Graph clear" without the depth-dose panel: pictures, counters and histogram emptied.
  void ClearPicturesAndCounts();
  // A switch ticked or unticked: the graphs start afresh for the new physics, the last
  // depth-dose curve staying as the panel's reference.
  void SwitchPhysics();
  void SetStepSpeed(int position);
  // Remembers how long a batch took per photon at the display and speed it ran with, for
  // the next estimate at the same ones.
  void LearnSpeed(int pace, long long photons, double seconds);
  // The pace a batch would run at now: 0 without step display, else 1 + the speed slider's
  // position.
  int CurrentPace() const;

  std::array<QLabel*, 9> energy_axis_labels_{};
  bool ok_enabled_before_batch_ = false;
  double photons_per_second_ = 0;
  bool leave_after_batch_ = false;
  // Seconds per photon at each pace (CurrentPace): a batch at 1 photon a second says
  // nothing of one at the highest speed.
  std::array<double, 7> seconds_per_photon_{};
};

// Photons a second of the step display at each position of its speed slider, slowest
// first; 0 is as fast as the window system draws.
inline constexpr double kStepSpeeds[] = {1, 3, 10, 30, 100, 0};

// The seconds a batch of `photons` is expected to take at `seconds_per_photon` as last
// timed at its pace; a step display held to `photons_per_second` (0: unheld) takes at
// least the time of its pace, whatever was timed.
double ExpectedBatchSeconds(long long photons, double seconds_per_photon,
                            double photons_per_second);

// Runs a visual batch (RunVisualBatch of the simulation) on the visual screen's own
// pictures and energy display; returns the photons simulated.
long long RunVisualBatch();

}  // namespace dosavia::gui
