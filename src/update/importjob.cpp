#include "update/importjob.h"

#include <QElapsedTimer>

namespace tv {

CardImportJob::CardImportJob(CardDataFiles files, QString target, QObject* parent)
    : QObject(parent), files_(std::move(files)), target_(std::move(target)) {}

CardImportJob::~CardImportJob() {
  if (!thread_) return;
  cancel_ = true;
  thread_->wait();
  delete thread_;
}

void CardImportJob::start() {
  thread_ = QThread::create([this] {
    QElapsedTimer clock;
    clock.start();
    outcome_ = importCardData(files_, target_, cancel_, [&](const tvtools::ImportProgress& p) {
      const QString text = importProgressText(p, clock.elapsed());
      const int permille = p.writing || p.bytesTotal <= 0 ? 1000 : int(p.bytesRead * 1000 / p.bytesTotal);
      QMetaObject::invokeMethod(
          this, [this, text, permille] { Q_EMIT progressed(text, permille); }, Qt::QueuedConnection);
    });
  });
  connect(thread_, &QThread::finished, this, &CardImportJob::finished, Qt::QueuedConnection);
  thread_->start();
}

}  // namespace tv
