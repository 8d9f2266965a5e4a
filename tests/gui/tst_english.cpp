// The English interface: the translation file is complete, every form shows no Japanese in
// English, and switching back gives the Japanese texts exactly as before.
#include <QAbstractButton>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QRegularExpression>
#include <QTableWidget>
#include <QXmlStreamReader>
#include <QtTest>

#include <functional>
#include <map>

#include "gui/app/window_registry.h"
#include "gui/engine_screen/engine_console.h"
#include "gui/forms/menu_window.h"
#include "gui/visual/visual_screen.h"
#include "gui/forms/spectrum_page.h"
#include "gui/engine_screen/engine_screen.h"
#include "gui/forms/explanation_page.h"
#include "gui/forms/references_page.h"
#include "gui/base/language.h"
#include "gui/base/message_text.h"
#include "gui/figures/spectrum_graph.h"
#include "gui/figures/title_illustration.h"
#include "gui_test_support.h"
#include "records/problem.h"

using namespace dosavia;
using namespace dosavia::gui;
using dosavia::gui::testing::TempWorkDir;

namespace {

// Kana, kanji, Japanese punctuation and full-width forms.
const QRegularExpression kJapanese(
    QStringLiteral("[\\x{3000}-\\x{30ff}\\x{4e00}-\\x{9fff}\\x{ff01}-\\x{ff5e}]"));

// Every text a user can read on a form, keyed by widget path and kind.
std::map<QString, QString> Texts(QWidget* form) {
  std::map<QString, QString> texts;
  QList<QWidget*> widgets = form->findChildren<QWidget*>();
  widgets.prepend(form);
  for (int i = 0; i < widgets.size(); ++i) {
    QWidget* w = widgets[i];
    const QString key = QString::number(i) + QLatin1Char(' ') + w->metaObject()->className();
    if (auto* label = qobject_cast<QLabel*>(w)) texts[key + " text"] = label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) texts[key + " text"] = button->text();
    if (auto* group = qobject_cast<QGroupBox*>(w)) texts[key + " title"] = group->title();
    if (auto* table = qobject_cast<QTableWidget*>(w))
      for (int c = 0; c < table->columnCount(); ++c)
        if (QTableWidgetItem* item = table->horizontalHeaderItem(c))
          texts[key + " header " + QString::number(c)] = item->text() + '\n' + item->toolTip();
    if (!w->toolTip().isEmpty()) texts[key + " tip"] = w->toolTip();
    if (w->isWindow()) texts[key + " window"] = w->windowTitle();
  }
  return texts;
}

// Every place a reader reports a problem at: each named field, and the n-th value, the
// n-th record, a data field with its columns and edit descriptor, a run of fields, columns.
std::vector<std::pair<QString, ProblemField>> ReportedFields() {
  std::vector<std::pair<QString, ProblemField>> fields;
  for (int n = 1; n < static_cast<int>(FieldName::kCount); ++n)
    fields.emplace_back(QStringLiteral("named %1").arg(n),
                        ProblemField::Named(static_cast<FieldName>(n)));
  fields.emplace_back(QStringLiteral("n-th value"), ProblemField::NthValue(1));
  fields.emplace_back(QStringLiteral("n-th record"), ProblemField::NthRecord(2));
  fields.emplace_back(
      QStringLiteral("data field"),
      ProblemField::Data(3, "E9.3").WithColumns(9, 17).WithName(FieldName::kIntensity));
  fields.emplace_back(QStringLiteral("run of fields"), ProblemField::DataRun(1, 3, "I5"));
  fields.emplace_back(QStringLiteral("columns to the end"),
                      ProblemField::Columns(18).WithName(FieldName::kAfterIntensity));
  return fields;
}

void Switch(Language language) {
  SetLanguage(language, false);
  QCoreApplication::processEvents();
}

}  // namespace

class TestEnglish : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QVERIFY(work_.Missing().isEmpty()); }

  // Every message has an English text of its own: finished, not empty, without Japanese,
  // and with the same %n places as its source (a lost %1 would show a raw placeholder).
  void translationFileComplete() {
    QFile file(QStringLiteral(DOSAVIA_TS_FILE));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString context, source;
    int messages = 0;
    const QRegularExpression places(QStringLiteral("%\\d"));
    const auto place_list = [&](const QString& text) {
      QStringList found;
      for (auto it = places.globalMatch(text); it.hasNext();) found << it.next().captured();
      found.sort();
      found.removeDuplicates();
      return found;
    };
    while (!xml.atEnd()) {
      if (xml.readNext() != QXmlStreamReader::StartElement) continue;
      if (xml.name() == QLatin1String("name"))
        context = xml.readElementText();
      else if (xml.name() == QLatin1String("source"))
        source = xml.readElementText();
      else if (xml.name() == QLatin1String("translation")) {
        ++messages;
        const QString where = context + ": " + source;
        QVERIFY2(xml.attributes().value(QLatin1String("type")).isEmpty(), qPrintable(where));
        const QString english = xml.readElementText();
        QVERIFY2(!english.trimmed().isEmpty(), qPrintable(where));
        QVERIFY2(!english.contains(kJapanese), qPrintable(where));
        QCOMPARE(place_list(english), place_list(source));
      }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QVERIFY(messages > 200);
  }

  void formsInEnglish_data() {
    QTest::addColumn<std::function<QWidget*()>>("form");
    QTest::newRow("menu") << std::function<QWidget*()>([] { return &GetMenuWindow(); });
    QTest::newRow("visual") << std::function<QWidget*()>([] { return &GetVisualScreen(); });
    QTest::newRow("spectra") << std::function<QWidget*()>([] { return &GetSpectrumPage(); });
    QTest::newRow("non-visual") << std::function<QWidget*()>([] { return &GetEngineScreen(); });
    QTest::newRow("page 1") << std::function<QWidget*()>([] { return &GetExplanationPage(1); });
    QTest::newRow("page 2") << std::function<QWidget*()>([] { return &GetExplanationPage(2); });
    QTest::newRow("page 3") << std::function<QWidget*()>([] { return &GetExplanationPage(3); });
    QTest::newRow("page 4") << std::function<QWidget*()>([] { return &GetExplanationPage(4); });
    QTest::newRow("page 5") << std::function<QWidget*()>([] { return &GetExplanationPage(5); });
    QTest::newRow("references") << std::function<QWidget*()>([] { return &GetReferencesPage(); });
    QTest::newRow("console") << std::function<QWidget*()>([] {
      static EngineConsole console;
      return &console;
    });
  }

  // In English no widget text, title or tool tip holds Japanese; back in Japanese every text
  // is the one shown before the switch.
  void formsInEnglish() {
    QFETCH(std::function<QWidget*()>, form);
    QWidget* shown = form();
    Switch(Language::kJapanese);
    const auto japanese = Texts(shown);
    Switch(Language::kEnglish);
    for (const auto& [where, text] : Texts(shown))
      QVERIFY2(!text.contains(kJapanese), qPrintable(where + ": " + text));
    Switch(Language::kJapanese);
    QVERIFY(Texts(shown) == japanese);
  }

  void fieldsInMessagesInTheInterfaceLanguage_data() {
    QTest::addColumn<int>("field");
    QTest::addColumn<bool>("english");
    const auto fields = ReportedFields();
    for (int i = 0; i < static_cast<int>(fields.size()); ++i) {
      QTest::addRow("%s, Japanese", qPrintable(fields[i].first)) << i << false;
      QTest::addRow("%s, English", qPrintable(fields[i].first)) << i << true;
    }
  }

  // A file's problem in a message box and in a one-line report names the field in the
  // interface's language: no "value 1" in a Japanese message, no kanji in an English one
  // (an edit descriptor such as E9.3 is the same in both).
  void fieldsInMessagesInTheInterfaceLanguage() {
    QFETCH(int, field);
    QFETCH(bool, english);
    const ProblemField where = ReportedFields()[field].second;
    const ProblemError error(
        Problem(ProblemKind::kNotANumber).In("4MV.csv", 3).At(where).WithValue("abc"));
    Switch(english ? Language::kEnglish : Language::kJapanese);
    const QString message = FileProblemMessage(QStringLiteral("-"), error);
    const QString line = ProblemText(error);
    const QString caption = Tr("Messages", "\n項目：").mid(1);
    Switch(Language::kJapanese);
    QString field_line;
    for (const QString& l : message.split(QLatin1Char('\n')))
      if (l.startsWith(caption)) field_line = l.mid(caption.size());
    QVERIFY2(!field_line.isEmpty(), qPrintable(message));
    QVERIFY2(line.contains(field_line), qPrintable(line));
    QString words = field_line;
    words.remove(QString::fromStdString(where.edit));
    if (english)
      QVERIFY2(!words.contains(kJapanese), qPrintable(words));
    else
      QVERIFY2(!words.contains(QRegularExpression(QStringLiteral("[A-Za-z]"))), qPrintable(words));
  }

  // The spectrum page's report of a spectrum file it cannot read is in the interface's
  // language, not the command line's English.
  void spectrumProblemsInJapanese() {
    TempWorkDir dir;
    dir.Write(QStringLiteral("4MV.csv"), "0.025, 1.0\r\n0.075, abc\r\n");
    Switch(Language::kJapanese);
    SpectrumGraph graph;
    graph.Reload();
    QVERIFY(!graph.Problems().isEmpty());
    const QString problem = graph.Problems().front();
    QVERIFY2(problem.contains(kJapanese), qPrintable(problem));
    QVERIFY2(!problem.contains(QRegularExpression(QStringLiteral("\\b(line|value|record)\\b"))),
             qPrintable(problem));
  }

  void languageArgument_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("language");  // -1: none
    QTest::newRow("none") << QStringList{"Dosavia"} << -1;
    QTest::newRow("en") << QStringList{"Dosavia", "--lang", "en"} << int(Language::kEnglish);
    QTest::newRow("ja") << QStringList{"Dosavia", "--lang", "ja"} << int(Language::kJapanese);
    QTest::newRow("unknown") << QStringList{"Dosavia", "--lang", "fr"} << -1;
    QTest::newRow("no value") << QStringList{"Dosavia", "--lang"} << -1;
  }

  void languageArgument() {
    QFETCH(QStringList, arguments);
    QFETCH(int, language);
    std::vector<QByteArray> bytes;
    for (const QString& a : arguments) bytes.push_back(a.toUtf8());
    std::vector<char*> argv;
    for (QByteArray& b : bytes) argv.push_back(b.data());
    const auto found = LanguageArgument(static_cast<int>(argv.size()), argv.data());
    QCOMPARE(found ? int(*found) : -1, language);
  }

  // The menu picture's "Water" (水) stands clear of the tank's frame in either language and
  // at the zoom of a projector or of a large screen: no ink within 5 px of the frame's inner
  // edges.
  void waterClearOfItsFrame_data() {
    QTest::addColumn<int>("language");
    QTest::addColumn<double>("zoom");
    for (const auto& [language, name] :
         {std::pair{Language::kJapanese, "ja"}, std::pair{Language::kEnglish, "en"}})
      for (double zoom : {0.96, 1.0, 1.82})
        QTest::addRow("%s at %g", name, zoom) << int(language) << zoom;
  }

  void waterClearOfItsFrame() {
    QFETCH(int, language);
    QFETCH(double, zoom);
    Switch(Language(language));
    TitleIllustration picture;
    picture.resize(QSize(559, 432) * zoom);
    picture.SetZoom(zoom);
    const QImage image = picture.grab().toImage();
    Switch(Language::kJapanese);
    const QColor frame(0, 70, 160);
    const auto is_frame = [&](int x, int y) {
      const QColor c = image.pixelColor(x, y);
      return std::abs(c.red() - frame.red()) + std::abs(c.green() - frame.green()) +
                 std::abs(c.blue() - frame.blue()) <
             60;
    };
    // The tank's right edge on the beam's row and its bottom edge a little left of it.
    const int row = image.height() / 2;
    int right = image.width() - 1;
    while (right > 0 && !is_frame(right, row)) --right;
    int bottom = image.height() - 1;
    while (bottom > 0 && !is_frame(right - 40, bottom)) --bottom;
    while (is_frame(right - 1, row)) --right;  // inner edge
    while (is_frame(right - 40, bottom - 1)) --bottom;
    QVERIFY(right > image.width() / 2 && bottom > row);
    // The word's ink: dark pixels (the word's colour) in the corner, off the frame.
    int ink = 0;
    // The frame's own smoothed edge takes two pixels inside it.
    constexpr int kEdge = 2;
    for (int y = bottom - 80 * zoom; y < bottom - kEdge; ++y)
      for (int x = right - 120 * zoom; x < right - kEdge; ++x) {
        if (image.pixelColor(x, y).lightness() > 150) continue;
        ++ink;
        QVERIFY2(right - x > 5 && bottom - y > 5,
                 qPrintable(QStringLiteral("ink at %1 px from the right, %2 px from the bottom")
                                .arg(right - x)
                                .arg(bottom - y)));
      }
    QVERIFY(ink > 10);
  }

 private:
  TempWorkDir work_;
};

QTEST_MAIN(TestEnglish)
#include "tst_english.moc"
