#include "output/printjob.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <algorithm>
#include <optional>

#include "core/appinfo.h"
#include "core/fonts.h"
#include "output/pdftext.h"
#include "text/atomicfile.h"

namespace tv {

namespace {

// Paper edges no printer can reach; the PDF keeps the same layout.
constexpr qreal kMarginMm = 10;

std::optional<QPageSize> paperNamed(const QString& name) {
  const QString wanted = name.trimmed();
  if (wanted.isEmpty()) return std::nullopt;
  for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
    const auto pageId = static_cast<QPageSize::PageSizeId>(id);
    if (QPageSize::key(pageId).compare(wanted, Qt::CaseInsensitive) == 0) return QPageSize(pageId);
  }
  return std::nullopt;
}

QString firstSettingLine(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
  while (!file.atEnd()) {
    const QString line = QString::fromUtf8(file.readLine(256)).trimmed();
    if (!line.isEmpty() && !line.startsWith(u'#')) return line;
  }
  return {};
}

// Control characters other than the line breaks would draw as boxes or
// nothing; a blank keeps the column.
QString drawable(QString line) {
  for (QChar& c : line)
    if (c.unicode() < 0x20 || c.unicode() == 0x7f) c = u' ';
  return line;
}

}  // namespace

QStringList printedLines(const QString& text) {
  static const QRegularExpression breaks(QStringLiteral("\r\n|\r|\n"));
  return text.split(breaks);
}

bool RecordingPrintJob::fitsOnLine(const QString& text) const {
  const QStringList lines = printedLines(text);
  return !columns || std::all_of(lines.begin(), lines.end(),
                                 [&](const QString& line) { return line.size() <= *columns; });
}

QPageSize systemPaperSize() {
  if (auto size = paperNamed(qEnvironmentVariable("PAPERSIZE"))) return *size;
  const QString conf = qEnvironmentVariable("PAPERCONF", QStringLiteral("/etc/papersize"));
  if (auto size = paperNamed(firstSettingLine(conf))) return *size;
  if (QLocale::system().measurementSystem() == QLocale::ImperialUSSystem) return QPageSize(QPageSize::Letter);
  return QPageSize(QPageSize::A4);
}

struct QtPrintJob::Impl {
  std::unique_ptr<QPrinter> printer;
  // The PDF is made in memory, its text mended, then written to `pdfPath`.
  QBuffer pdfBytes;
  QString pdfPath;
  PrintedText printed;
  std::unique_ptr<QPdfWriter> pdf;
  QPagedPaintDevice* device = nullptr;
  QPainter painter;
  QFont font{kFixedPitchFace, 10};
  LineSpacing spacing = LineSpacing::Em;
  qreal y = 0;
  int pages = 0;

  void begin() {
    if (painter.isActive()) return;
    if (!painter.begin(device)) {
      throw PrintError(pdf ? QStringLiteral("PDFファイルを書き込めませんでした。")
                           : QStringLiteral("プリンタで印刷を始められませんでした。"));
    }
    painter.setFont(font);
    y = 0;
    pages = 1;
  }

  void applyFont() {
    if (painter.isActive()) painter.setFont(font);
  }
};

bool QtPrintJob::hasDefaultPrinter() { return !QPrinterInfo::defaultPrinter().isNull(); }

std::unique_ptr<QtPrintJob> QtPrintJob::forDefaultPrinter() {
  const QPrinterInfo info = QPrinterInfo::defaultPrinter();
  if (info.isNull()) throw PrintError(QStringLiteral("通常使うプリンタが設定されていません。"));
  installFontSubstitutions();
  auto impl = std::make_unique<Impl>();
  impl->printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
  impl->printer->setDocName(kAppTitle);
  impl->printer->setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                QPageLayout::Millimeter);
  impl->device = impl->printer.get();
  return std::unique_ptr<QtPrintJob>(new QtPrintJob(std::move(impl)));
}

std::unique_ptr<QtPrintJob> QtPrintJob::forPdf(const QString& path) {
  installFontSubstitutions();
  auto impl = std::make_unique<Impl>();
  impl->pdfPath = path;
  impl->pdfBytes.open(QIODevice::WriteOnly);
  impl->pdf = std::make_unique<QPdfWriter>(&impl->pdfBytes);
  impl->pdf->setCreator(kAppTitle);
  impl->pdf->setTitle(kAppTitle);
  impl->pdf->setPageLayout(QPageLayout(systemPaperSize(), QPageLayout::Portrait,
                                       QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                       QPageLayout::Millimeter));
  impl->device = impl->pdf.get();
  return std::unique_ptr<QtPrintJob>(new QtPrintJob(std::move(impl)));
}

QtPrintJob::QtPrintJob(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}

QtPrintJob::~QtPrintJob() {
  // A job that never reached endDoc() leaves no file behind; the printer
  // drops what it was given.
  if (d->painter.isActive()) {
    if (d->printer) d->printer->abort();
    d->painter.end();
  }
}

void QtPrintJob::setFontName(const QString& face) {
  d->font.setFamily(face);
  d->applyFont();
}

void QtPrintJob::setFontSize(qint16 points) {
  if (points > 0) d->font.setPointSize(points);
  d->applyFont();
}

void QtPrintJob::print(const QString& text) {
  d->begin();
  // On the em grid lines stand one em apart with the baseline at the
  // ideographic em box's, as in the face the layouts were drawn for; the
  // substitutes' own line spacing would stretch a copy beyond a card's height.
  const qreal em = d->font.pointSizeF() * d->device->logicalDpiY() / 72.0;
  const QFontMetricsF face(d->font, d->device);
  const bool grid = d->spacing == LineSpacing::Em;
  const qreal lineHeight = grid ? em : face.lineSpacing(), baseline = grid ? 0.88 * em : face.ascent();
  const qreal pageHeight = d->device->height();
  for (const QString& line : printedLines(text)) {
    if (d->y > 0 && d->y + lineHeight > pageHeight) {
      if (!d->device->newPage()) throw PrintError(QStringLiteral("次のページに進めませんでした。"));
      ++d->pages;
      d->y = 0;
    }
    const QString drawn = drawable(line);
    d->painter.drawText(QPointF(0, d->y + baseline), drawn);
    if (d->pdf) d->printed.add(d->font, drawn);
    d->y += lineHeight;
  }
}

void QtPrintJob::setLineSpacing(LineSpacing spacing) { d->spacing = spacing; }

bool QtPrintJob::fitsOnLine(const QString& text) const {
  const QFontMetricsF face(d->font, d->device);
  const QStringList lines = printedLines(text);
  return std::all_of(lines.begin(), lines.end(), [&](const QString& line) {
    return face.horizontalAdvance(drawable(line)) <= d->device->width();
  });
}

void QtPrintJob::endDoc() {
  d->begin();
  d->painter.end();
  if (d->printer && d->printer->printerState() == QPrinter::Error)
    throw PrintError(QStringLiteral("印刷できませんでした。プリンタの状態を確かめてください。"));
  if (d->pdf) {
    QString error;
    if (!writeFileAtomically(d->pdfPath, d->printed.mend(d->pdfBytes.data()), &error))
      throw PrintError(QStringLiteral("PDFファイルを書き込めませんでした。\n") + error);
  }
}

int QtPrintJob::pageCount() const { return d->pages; }

}  // namespace tv
