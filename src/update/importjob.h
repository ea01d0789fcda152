// An import (update/cardupdate.h) in a worker thread, reporting to the thread
// that made the job: what a progress dialog shows, and the end.
#pragma once

#include <QObject>
#include <QThread>
#include <atomic>

#include "update/cardupdate.h"

namespace tv {

class CardImportJob : public QObject {
  Q_OBJECT
 public:
  CardImportJob(CardDataFiles files, QString target, QObject* parent = nullptr);
  // Cancels a running import and waits for it.
  ~CardImportJob() override;

  void start();
  // Asks the import to stop; finished() follows, with a Cancelled outcome
  // unless the import was already done.
  void cancel() { cancel_ = true; }
  // Valid once finished() was sent.
  const ImportOutcome& outcome() const { return outcome_; }

 Q_SIGNALS:
  // After each set: the words of importProgressText, and the share of the file read in thousandths.
  void progressed(const QString& text, int permille);
  void finished();

 private:
  CardDataFiles files_;
  QString target_;
  std::atomic<bool> cancel_{false};
  ImportOutcome outcome_;
  QThread* thread_ = nullptr;
};

}  // namespace tv
