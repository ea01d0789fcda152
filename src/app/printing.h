// Running a printing feature from an event handler: on the default printer,
// or, when the system has none, into a PDF file the user names.
#pragma once

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

#include "app/messagebox.h"
#include "output/printjob.h"

namespace tv {

// The default printer's job, or nothing when the system has none.
using PrinterJobSource = std::function<std::unique_ptr<PrintJob>()>;
// Tests put a recording job (or no printer) in the system's place; an empty
// source restores it.
void setPrinterJobSource(PrinterJobSource source);

inline const QString kNoPrinterMessage =
    QStringLiteral("通常使うプリンタが設定されていません。\r\nPDFファイルとして保存しますか？");
inline const QString kPdfFilter = QStringLiteral("PDFファイル (*.pdf)|*.pdf|");

// What a printout asks of the window: its message boxes and, without a
// printer, the name of a PDF file (nothing on cancel).
struct PrintUi {
  QWidget* parent = nullptr;
  MessageBoxFunction messageBox = execMessageBox;
  std::function<std::optional<QString>()> choosePdfPath;

  // The exclamation box of a refusal or a failure.
  void exclaim(const QString& text) const;
};

// Prints on the default printer. Without one, asks whether to save a PDF
// instead (yes is the default) and, when the user names a file, prints into
// it. A printer or file failure is shown; nothing fails silently.
void runPrintJob(const PrintUi& ui, const std::function<void(PrintJob&)>& print);

}  // namespace tv
