#include "app/printing.h"

#include <QMessageBox>

#include "app/core/appinfo.h"

namespace tv {

namespace {

std::unique_ptr<PrintJob> systemPrinterJob() {
  if (!QtPrintJob::hasDefaultPrinter()) return nullptr;
  return QtPrintJob::forDefaultPrinter();
}

PrinterJobSource& printerJobSource() {
  static PrinterJobSource source = systemPrinterJob;
  return source;
}

}  // namespace

void setPrinterJobSource(PrinterJobSource source) {
  printerJobSource() = source ? std::move(source) : PrinterJobSource(systemPrinterJob);
}

void runPrintJob(QWidget* parent, const PdfPathChooser& choosePdfPath,
                 const std::function<void(PrintJob&)>& print) {
  try {
    std::unique_ptr<PrintJob> job = printerJobSource()();
    if (!job) {
      QMessageBox ask(QMessageBox::Question, kAppTitle, kNoPrinterMessage, QMessageBox::Yes | QMessageBox::No,
                      parent);
      ask.setDefaultButton(QMessageBox::Yes);
      if (ask.exec() != QMessageBox::Yes) return;
      const std::optional<QString> path = choosePdfPath ? choosePdfPath() : std::nullopt;
      if (!path || path->isEmpty()) return;
      job = QtPrintJob::forPdf(*path);
    }
    print(*job);
  } catch (const PrintError& e) {
    showExclamation(parent, e.message());
  }
}

void showExclamation(QWidget* parent, const QString& message) {
  QMessageBox box(QMessageBox::Warning, kAppTitle, message, QMessageBox::Ok, parent);
  box.exec();
}

}  // namespace tv
