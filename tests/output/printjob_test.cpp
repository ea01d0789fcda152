#include "output/printjob.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "output/sheets.h"
#include "support/failingwrites.h"
#include "support/fixtures.h"
#include "support/printers.h"

namespace {

// Pages as the PDF file itself counts them.
int pdfPages(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return -1;
  static const QRegularExpression page("/Type\\s*/Page(?![a-zA-Z])");
  return int(QString::fromLatin1(f.readAll()).count(page));
}

// TV_SHEET_DIR keeps the sheets for a look at them.
QString sheetPath(const QTemporaryDir& dir, const QString& name) {
  const QString keep = qEnvironmentVariable("TV_SHEET_DIR");
  return keep.isEmpty() ? dir.filePath(name) : QDir(keep).filePath(name);
}

// What poppler's pdftotext reads from the file (scripts/install-deps.sh installs it).
QString pdfToText(const QString& path, const QStringList& options = {}) {
  QProcess p;
  p.start("pdftotext", QStringList{"-layout"} + options + QStringList{"-enc", "UTF-8", path, "-"});
  if (!p.waitForFinished(30000) || p.exitCode() != 0) {
    ADD_FAILURE() << "pdftotext failed on " << path.toStdString();
    return {};
  }
  return QString::fromUtf8(p.readAllStandardOutput());
}

QString withoutBlanks(QString s) {
  s.removeIf([](QChar c) { return c.isSpace(); });
  return s;
}

struct Word {
  QString text;
  double xMin, yMin, xMax, yMax;
};

// The words of the first page with their boxes in points, and the page width.
std::vector<Word> pdfWords(const QString& path, double* pageWidth) {
  const QString html = pdfToText(path, {"-bbox", "-f", "1", "-l", "1"});
  static const QRegularExpression page(R"re(<page width="([\d.]+)")re");
  *pageWidth = page.match(html).captured(1).toDouble();
  static const QRegularExpression word(
      R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
  std::vector<Word> words;
  for (const auto& m : word.globalMatch(html))
    words.push_back({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(),
                     m.captured(3).toDouble(), m.captured(4).toDouble()});
  return words;
}

struct Sheet {
  QString file;
  std::function<void(tv::PrintJob&)> print;
};

std::vector<Sheet> sampleSheets() {
  tv::CurrentCard card;
  card.NameE = "Llanowar Elves", card.Cost = "G", card.TypeNameE = "Creature",
  card.CType = "エルフ・ドルイド";
  card.CardSetEx = "M19", card.Rare = "C", card.PowerToughness = "1/1";
  // Characters whose glyphs the faces also give to radicals, dashes and slashes.
  card.TextN = "{T}：土地一つ、士気、日行く・／―～\r\n\r\nSample text 1234";
  const tv::CurrentToken token{"兵士・土", "白", "警戒", "1/1"};
  QString deck;
  for (int i = 1; i <= 150; ++i) deck += QStringLiteral("%1 土地・一日 Card Name gjpqy %1\r\n").arg(i);
  return {
      {"proxy.pdf", [=](tv::PrintJob& j) { tv::PrintSheet(j, tv::proxyCopyLines(card)); }},
      {"token.pdf", [=](tv::PrintJob& j) { tv::PrintSheet(j, tv::tokenCopyLines(token)); }},
      {"deck.pdf",
       [=](tv::PrintJob& j) {
         tv::PrintDeckList(j, {"緑単エルフ／行", "一行目\n二行目", deck, "2.21", "2026/12/06"});
       }},
  };
}

TEST(QtPrintJob, PdfPagesGiveBackAsTextExactlyWhatWasPrinted) {
  QTemporaryDir dir;
  for (const Sheet& s : sampleSheets()) {
    SCOPED_TRACE(s.file.toStdString());
    const QString path = sheetPath(dir, s.file);
    QFile::remove(path);
    auto job = tv::QtPrintJob::forPdf(path);
    s.print(*job);
    EXPECT_EQ(pdfPages(path), job->pageCount());
    EXPECT_EQ(job->pageCount() > 1, s.file == "deck.pdf");  // a long deck goes on, the sheets fit

    tv::RecordingPrintJob recorded;
    s.print(recorded);
    QString printed;
    for (const tv::PrintOp& op : recorded.ops) printed += op.text;
    for (const tv::PrintOp& op : recorded.ops)
      if (op.kind != tv::PrintOp::Print) printed.remove(op.text);
    EXPECT_EQ(withoutBlanks(pdfToText(path)), withoutBlanks(printed));
  }
}

TEST(QtPrintJob, DeckListLinesTakeTheFacesSpacingAndTheDateStaysOnThePage) {
  QTemporaryDir dir;
  const std::vector<Sheet> sheets = sampleSheets();
  auto lineDistance = [&](const Sheet& s, const QString& first, const QString& second, double* pageWidth,
                          std::vector<Word>* words) {
    const QString path = sheetPath(dir, s.file);
    QFile::remove(path);
    s.print(*tv::QtPrintJob::forPdf(path));
    *words = pdfWords(path, pageWidth);
    double a = -1, b = -1;
    for (const Word& w : *words) {
      if (w.text == first && a < 0) a = w.yMin;
      if (w.text == second && b < 0) b = w.yMin;
    }
    return b - a;
  };
  double width = 0;
  std::vector<Word> words;
  // The deck's lines stand as far apart as the face spaces 12-point lines.
  QFont face(tv::kFixedPitchFace);
  face.setPixelSize(12);  // a pixel a point
  const double deckLine = lineDistance(sheets[2], "2", "3", &width, &words);
  EXPECT_NEAR(deckLine, QFontMetricsF(face).lineSpacing(), 0.2);
  EXPECT_GT(deckLine, 12.5);
  // The date ends inside the printable width (10 mm margins), at most a column before its end.
  const Word& date =
      *std::find_if(words.begin(), words.end(), [](const Word& w) { return w.text == "2026/12/06"; });
  const double rightEdge = width - 10 / 25.4 * 72;
  EXPECT_LE(date.xMax, rightEdge + 0.1);
  EXPECT_GT(date.xMax, rightEdge - 5.5);
  // The proxy sheet keeps its em grid.
  EXPECT_NEAR(lineDistance(sheets[0], "Llanowar", "Creature", &width, &words), 2 * 10, 0.2);
}

TEST(QtPrintJob, PdfIsWrittenWholeOrNotAtAll) {
  QTemporaryDir dir;
  const QString path = dir.filePath("unfinished.pdf");
  {
    auto job = tv::QtPrintJob::forPdf(path);
    job->print("never ended");
    EXPECT_FALSE(QFile::exists(path));
  }
  EXPECT_FALSE(QFile::exists(path));
  // A file that cannot be written whole, as on a full disk: the old one stays.
  const QString old = dir.filePath("old.pdf");
  tvtest::writeFile(old, "an old PDF");
  for (const QString& target : {old, dir.filePath("missing/folder/x.pdf")}) {
    tvtest::FileSizeLimit limit(100);
    auto job = tv::QtPrintJob::forPdf(target);
    job->print("a line");
    try {
      job->endDoc();
      ADD_FAILURE() << "written: " << target.toStdString();
    } catch (const tv::PrintError& e) {
      EXPECT_TRUE(e.message().startsWith("PDFファイルを書き込めませんでした。\n"))
          << e.message().toStdString();
    }
  }
  EXPECT_EQ(tvtest::readFile(old), "an old PDF");
  if (!tv::QtPrintJob::hasDefaultPrinter()) {
    EXPECT_THROW(tv::QtPrintJob::forDefaultPrinter(), tv::PrintError);
  }
}

}  // namespace
