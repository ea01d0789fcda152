// The four printer operations every printed sheet is made of, a recording
// job for tests, and the Qt job that draws them on the default printer or
// into a PDF file.
#pragma once

#include <QPageSize>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace tv {

// The face every layout counts columns in: a full-width character is two
// half-width columns. Mapped onto an installed face by the font substitution.
inline const QString kFixedPitchFace = QStringLiteral("ＭＳ ゴシック");

// A printer or PDF file that failed; the message is for the user.
class PrintError : public std::runtime_error {
 public:
  explicit PrintError(const QString& message) : std::runtime_error(message.toStdString()) {}
  QString message() const { return QString::fromStdString(what()); }
};

// One job at a time: started by its first operation, ended by endDoc(). The
// font survives between operations.
class PrintJob {
 public:
  virtual ~PrintJob() = default;
  virtual void setFontName(const QString& face) = 0;
  virtual void setFontSize(qint16 points) = 0;
  // Prints at the left margin of the current line; every line break inside
  // starts a new line, and a new line follows the string. Never wraps; a full
  // page continues on the next.
  virtual void print(const QString& text) = 0;
  virtual void endDoc() = 0;

  // Lines one em apart, the grid the card-sized sheets are drawn on, or as
  // far apart as the face spaces its lines, for running text.
  enum class LineSpacing { Em, Face };
  virtual void setLineSpacing(LineSpacing) {}
  // Whether every line of the string, in the current font, fits across the
  // printable width.
  virtual bool fitsOnLine(const QString&) const { return true; }
};

struct PrintOp {
  enum Kind { FontName, FontSize, Print, EndDoc };
  Kind kind;
  QString text;  // the face or the printed string
  int size = 0;
  bool operator==(const PrintOp&) const = default;
};

class RecordingPrintJob : public PrintJob {
 public:
  void setFontName(const QString& face) override { ops.push_back({PrintOp::FontName, face}); }
  void setFontSize(qint16 points) override { ops.push_back({PrintOp::FontSize, {}, points}); }
  void print(const QString& text) override { ops.push_back({PrintOp::Print, text}); }
  void endDoc() override { ops.push_back({PrintOp::EndDoc, {}}); }
  void setLineSpacing(LineSpacing s) override { spacing = s; }
  // A line fits when it has at most `columns` characters; any line without them.
  bool fitsOnLine(const QString& text) const override;
  std::vector<PrintOp> ops;
  LineSpacing spacing = LineSpacing::Em;
  std::optional<qsizetype> columns;
};

// The lines of one printed string: CR LF, a lone LF (as a text box gives its
// text back) and a lone CR each end a line.
QStringList printedLines(const QString& text);

// The paper the system asks for: PAPERSIZE, PAPERCONF or /etc/papersize, then
// Letter where the locale measures in inches, else A4.
QPageSize systemPaperSize();

class QtPrintJob : public PrintJob {
 public:
  // Whether the system has a default printer to print on.
  static bool hasDefaultPrinter();
  // Throws PrintError when there is no default printer.
  static std::unique_ptr<QtPrintJob> forDefaultPrinter();
  // The file is written whole or not at all, when the document ends.
  static std::unique_ptr<QtPrintJob> forPdf(const QString& path);

  ~QtPrintJob() override;
  void setFontName(const QString& face) override;
  void setFontSize(qint16 points) override;
  void print(const QString& text) override;
  void endDoc() override;
  void setLineSpacing(LineSpacing spacing) override;
  bool fitsOnLine(const QString& text) const override;

  int pageCount() const;

 private:
  struct Impl;
  explicit QtPrintJob(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> d;
};

}  // namespace tv
