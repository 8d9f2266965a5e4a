// The visual simulation screen: the user picks an X-ray energy and a square field, confirms
// them with "OK", and every "Go" simulates a batch of photons whose electron and positron
// tracks are drawn in a side view of the water phantom, beside a histogram of the sampled
// photon energies. A second, twice-magnified view can be switched on and off. Parts of the
// physics can be switched off for the next batches, to see where the build-up comes from.
#pragma once

#include <QWidget>

#include <array>
#include <memory>
#include <vector>

#include "gui/visual/visual_batch_run.h"

class QCheckBox;
class QCloseEvent;
class QEvent;
class QKeyEvent;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace dosavia {
class VisualSession;
}  // namespace dosavia

namespace dosavia::gui {

class DepthDosePanel;
class PhysicsSwitchBoxes;
class PictureBox;

class VisualScreen : public QWidget {
  Q_OBJECT

 public:
  explicit VisualScreen(QWidget* parent = nullptr);
  ~VisualScreen() override;

  // The screen's session: what OK confirmed, the simulation, the live curve, the totals.
  // The screen only forwards the user's actions to it and draws what it says.
  const VisualSession& Session() const { return *session_; }

  // Puts the screen into its opening state (the menu calls it before showing the screen):
  // the session's data loaded and its opening state, the boxes as kVisualOpening has them.
  // Throws InputError when a data file is missing or malformed.
  void PrepareForShow();

  // Whether the magnified view is shown.
  bool Zoomed() const;

  // Photons a second of the step display as the speed slider stands; 0 as fast as it goes.
  const double& PhotonsPerSecond() const { return photons_per_second_; }

  // Settings.
  QComboBox* energy_box = nullptr;         // X-ray energy [MV]
  QPushButton* spectrum_button = nullptr;  // "Ｘ線スペクトル": the spectrum page
  QComboBox* field_box = nullptr;          // field size
  QPushButton* zoom_button = nullptr;      // shows or hides the magnified view
  // Older tracks fade as newer photons come, or stay as drawn; kept in the preferences.
  QCheckBox* fade_box = nullptr;
  // The physics switches: a ticked box leaves its part out of the next batches.
  PhysicsSwitchBoxes* physics_switches = nullptr;
  // The accurate electron transport, which draws delta rays and bremsstrahlung photons.
  QCheckBox* accurate_box = nullptr;
  // The slab phantom the photons run in (the presets of every screen); a phantom runs the
  // accurate transport, the switches and the accurate box resting while it is chosen.
  QComboBox* phantom_box = nullptr;
  // Batches.
  QPushButton* ok_button = nullptr;
  QPushButton* reset_button = nullptr;
  QPushButton* stop_button = nullptr;
  // Pause and Resume in one button named by what it does next (key P), and one photon at a
  // time (key N): the paused batch's next photon, or between batches a batch of one.
  QPushButton* pause_button = nullptr;
  QPushButton* single_button = nullptr;
  QLineEdit* photon_count_box = nullptr;  // photons per "Go"
  QLabel* total_count_label = nullptr;    // total of photons simulated
  // The seed of the batch series on screen; a seed typed here starts the next series on it,
  // an empty box a fresh one each series.
  QLineEdit* seed_box = nullptr;
  QCheckBox* step_display_box = nullptr;  // step-by-step display
  QLabel* photon_energy_label = nullptr;  // energy of the current photon [MeV]
  QPushButton* go_button = nullptr;
  QPushButton* graph_clear_button = nullptr;
  QPushButton* back_button = nullptr;  // return icon: back to the main menu
  // Pictures.
  PictureBox* side_view = nullptr;  // depth z across, lateral x down [cm]
  PictureBox* spectrum_histogram = nullptr;
  PictureBox* zoomed_side_view = nullptr;  // the side view at twice the magnification
  QCheckBox* depth_dose_box = nullptr;     // "深部線量を表示": shows the depth-dose panel
  QSlider* speed_slider = nullptr;         // speed of the step display, slowest at the left
  QLabel* speed_label = nullptr;           // the chosen speed
  DepthDosePanel* depth_dose_panel = nullptr;  // in place of the spectrum histogram
  // Field-edge lines, as indices of the fixed lines of the side view and of its zoomed copy.
  int field_edge_upper = -1;
  int field_edge_lower = -1;
  int zoomed_field_edge_upper = -1;
  int zoomed_field_edge_lower = -1;

 public slots:
  // "OK": reads the spectrum of the chosen energy and applies the field size.
  void OnConfirmSettings();
  // "Reset": the screen as it opens (kVisualOpening), in the Settings state.
  void OnReset();
  // "Go": runs one batch of the typed number of photons.
  void OnGo();
  // "Graph clear": clears pictures and counters and the depth-dose reference curve, keeps
  // the settings.
  void OnGraphClear();
  // "Ｘ線スペクトル": shows the spectrum page.
  void OnShowSpectrum();
  // Zoom button: shows or hides the magnified view.
  void OnToggleZoom();
  // Return icon: back to the main menu.
  void OnBackToMenu();
  // "Stop": ends the running batch after the photon in progress; counters and histogram
  // keep what was simulated.
  void OnStop();
  // Pause / Resume: holds the running batch with its tracks and curve on screen, or lets it
  // go on.
  void OnPause();
  // One photon: of the paused batch, or between batches a batch of one.
  void OnSinglePhoton();

 protected:
  // Closing this window returns to the menu, as the return icon does; a running batch is
  // stopped first.
  void closeEvent(QCloseEvent* event) override;
  // A language switch: every text again in the chosen language.
  void changeEvent(QEvent* event) override;
  // P: Pause / Resume; N: one photon. A key reaches the screen only where no control took it,
  // so that a letter typed into a box stays a letter.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::unique_ptr<VisualSession> session_;
  // Whether the seed box holds a seed the user typed (else the next series gets a fresh one).
  bool seed_typed_ = false;
  // The session's series whose tracks the pictures show.
  long long shown_series_ = -1;
  // Set by Stop (or closing the window) while a batch runs.
  bool stop_requested_ = false;
  // Photons that one photon at a time has let through the paused batch, not yet run.
  int single_steps_ = 0;
  // The side views' fade and newest photon, carried from batch to batch of a series.
  SideViewTracks side_view_tracks_;
  // The batch running is one photon's, between batches.
  bool one_photon_batch_ = false;
  // Runs a batch of `photons` (Go, or one photon between batches) on the series' seed.
  void RunBatch(long long photons);
  // Pause, Resume and one photon as the session stands.
  void ShowPauseButtons();
  // The boxes as the screen opens.
  void ShowOpeningValues();
  // Counters, buttons, pictures and panel as the session stands.
  void ShowSession();
  void SetZoomed(bool zoomed);
  // Photons a second of the step display as the speed slider stands (0: unheld).
  double StepRate() const;
  void SetUpWindow();
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
  // The key of the accurate transport's tracks on each side view: its labels' indices.
  struct TrackKey {
    PictureBox* picture;
    int delta_ray;
    int bremsstrahlung;
  };
  std::vector<TrackKey> track_keys_;
  // The key written while the accurate transport runs, empty otherwise.
  void ShowTrackKey();
  void PlaceEnergyAxisLabels();
  // While a batch yields, the buttons that would disturb it are disabled.
  void SetBatchRunning(bool running);
  // OK and Go as the boxes stand: Go only while they show the energy and field the last OK
  // applied, OK whenever they show anything else, so that a batch never runs settings
  // other than those on screen.
  void FollowSettingBoxes();
  void MoveFieldEdgeLines(double side);
  void CreateDepthDoseControls();
  void ShowDepthDosePanel(bool show);
  // A switch ticked or unticked: the graphs start afresh for the new physics, the last
  // depth-dose curve staying as the panel's reference.
  void SwitchPhysics();
  // The phantom box's choice: the session runs it (or names the file it cannot read, the
  // phantom in force kept), and the bands go under the tracks and the curve.
  void ChoosePhantom();
  void ShowPhantom();
  void SetStepSpeed(int position);

  std::array<QLabel*, 9> energy_axis_labels_{};
  double photons_per_second_ = 0;
  bool leave_after_batch_ = false;
};

}  // namespace dosavia::gui
