// The texts of the explanation pages (pages 1-5 and the references), in
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

struct PageTexts {
  int form;             // 5..10, the form number of Dosavia's page
  const char* context;  // translation context of every text below
  const char* title;
  std::span<const PageLine> lines;
  std::span<const char* const> captions;  // figure captions in the order of the figures
  const char* next;                       // the button to the next page; nullptr on the last
};

// Dosavia's forms of the pages: 5..8 are pages 1-4, 9 the references and 10 page 5.
inline constexpr int kFirstPageForm = 5;
inline constexpr int kLastPageForm = 10;

// Every page in reading order: pages 1-5, then the references.
std::span<const PageTexts> ExplanationPages();

// The page of form `form` (kFirstPageForm..kLastPageForm); std::out_of_range
// otherwise.
const PageTexts& ExplanationPageTexts(int form);

}  // namespace dosavia
