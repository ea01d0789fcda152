#include "app/printing.h"

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

void PrintUi::exclaim(const QString& text) const { messageBox({parent, QMessageBox::Warning, text}); }

void runPrintJob(const PrintUi& ui, const std::function<void(PrintJob&)>& print) {
  try {
    std::unique_ptr<PrintJob> job = printerJobSource()();
    if (!job) {
      const auto answer = ui.messageBox({ui.parent, QMessageBox::Question, kNoPrinterMessage,
                                         QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes});
      if (answer != QMessageBox::Yes) return;
      const std::optional<QString> path = ui.choosePdfPath ? ui.choosePdfPath() : std::nullopt;
      if (!path || path->isEmpty()) return;
      job = QtPrintJob::forPdf(*path);
    }
    print(*job);
  } catch (const PrintError& e) {
    ui.exclaim(e.message());
  }
}

}  // namespace tv
