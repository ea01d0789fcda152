#include "output/printjob.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
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

TEST(QtPrintJob, SheetsAndLongDeckListsAsPdfPages) {
  QTemporaryDir dir;
  tv::CurrentCard card;
  card.NameE = "Llanowar Elves", card.Cost = "G", card.TypeNameE = "Creature",
  card.CType = "エルフ・ドルイド";
  card.CardSetEx = "M19", card.Rare = "C", card.PowerToughness = "1/1";
  card.TextN = "{T}：あなたのマナ・プールに{G}を加える。\r\n\r\nSample text 1234";
  const tv::CurrentToken token{"兵士", "白", "警戒", "1/1"};
  QString deck;
  for (int i = 1; i <= 150; ++i) deck += QStringLiteral("%1 カード名 Card Name %1\r\n").arg(i);

  struct Sheet {
    QString file;
    std::function<void(tv::PrintJob&)> print;
    int pages;
  } sheets[] = {
      {"proxy.pdf", [&](tv::PrintJob& j) { tv::PrintSheet(j, tv::proxyCopyLines(card)); }, 1},
      {"token.pdf", [&](tv::PrintJob& j) { tv::PrintSheet(j, tv::tokenCopyLines(token)); }, 1},
      {"deck.pdf",
       [&](tv::PrintJob& j) {
         tv::PrintDeckList(j, {"緑単エルフ", "一行目\n二行目", deck, "2.21", "2026/12/06"});
       },
       3},
  };
  for (const auto& s : sheets) {
    const QString path = sheetPath(dir, s.file);
    QFile::remove(path);
    auto job = tv::QtPrintJob::forPdf(path);
    s.print(*job);
    EXPECT_EQ(job->pageCount(), s.pages) << s.file.toStdString();
    EXPECT_EQ(pdfPages(path), s.pages) << s.file.toStdString();
  }
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
