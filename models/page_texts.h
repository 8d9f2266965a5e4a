// The texts of the explanation pages (pages 1-6 and the references), in
// Japanese as the program's source texts. Dosavia's pages and the browser
// edition both show them from this table, and the English of each comes from
// Dosavia's translation file: lupdate finds every text by its marker
// PAGE_TEXT(context, text), an alias of QT_TRANSLATE_NOOP. The desktop pages
// lay the lines out one label each, as they are broken here; the browser joins
// the lines of a paragraph and lets them flow.
#pragma once

#include <span>

// Marks a translatable page text for lupdate without making this library depend
// on Qt.
#define PAGE_TEXT(context, text) text

namespace dosavia {

// What a line is: the first line of a paragraph or one that goes on with it, a
// heading, or a line of a citation (not translated: the references are cited as
// they were published).
enum class PageLineKind { kParagraph, kBody, kHeading, kCitation, kCitationMore };

struct PageLine {
  PageLineKind kind;
  const char* text;
};

// The figures of the pages, by the numbers their captions give them (Fig.1 to
// Fig.12); each front end draws them from the figure models.
enum class PageFigure {
  kTmr = 1,                    // Fig.1: TMR of 10 MV X-rays
  kElectronMap,                // Fig.2: where the electrons' energy is absorbed (a picture)
  kLongitudinalModel,          // Fig.3: unit volumes along the beam
  kModelDose,                  // Fig.4: their dose without attenuation
  kAttenuatedModelDose,        // Fig.5: and with it
  kLateralModel,               // Fig.6: unit volumes sideways to the beam
  kNarrowField,                // Fig.7: depth dose of narrow fields
  kModelDoseWithTransport,     // Fig.8: Fig.5 beside ...
  kModelDoseWithoutTransport,  // Fig.9: ... the electrons held where they start
  kLungSlab,                   // Fig.10: depth dose through a lung slab
  kAirGap,                     // Fig.11: ... an air gap
  kBoneAndBolus,               // Fig.12: ... a bone slab and under a bolus
};

// The pages: the explanation pages 1..kExplanationPageCount, then the references.
inline constexpr int kExplanationPageCount = 6;
inline constexpr int kReferencesPage = kExplanationPageCount + 1;

struct PageTexts {
  int page;             // 1..kExplanationPageCount, or kReferencesPage
  const char* context;  // translation context of every text below
  const char* title;
  std::span<const PageLine> lines;
  std::span<const char* const> captions;  // figure captions in the order of the figures
  const char* next;                       // the button to the next page; nullptr on the last
  std::span<const PageFigure> figures;    // the figure under each caption
  // What a figure's picture says in words, shown under it in the interface language: the
  // note of each figure in their order, nullptr where there is none; fewer than the figures
  // where the last have none.
  std::span<const char* const> notes = {};
};

// Every page in reading order: pages 1-6, then the references.
std::span<const PageTexts> ExplanationPages();

// Page `page` (1..kExplanationPageCount, or kReferencesPage); std::out_of_range
// otherwise.
const PageTexts& ExplanationPageTexts(int page);

}  // namespace dosavia
