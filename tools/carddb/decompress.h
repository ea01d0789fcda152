// Reads a data file as it is distributed: plain, gzip or xz, told apart by
// its first bytes, decompressed as it is read.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <memory>

namespace tvtools {

class DecompressingReader {
 public:
  // Throws BuildError when the file cannot be opened.
  explicit DecompressingReader(const QString& path);
  ~DecompressingReader();
  DecompressingReader(const DecompressingReader&) = delete;
  DecompressingReader& operator=(const DecompressingReader&) = delete;

  // The next piece of the content, at most 256 KiB; empty at its end.
  // Throws BuildError for damaged or truncated data, naming the file.
  QByteArray next();

  const QString& path() const { return path_; }
  // How much of the file as stored has been read, for progress reports.
  qint64 bytesRead() const { return file_.pos(); }
  qint64 bytesTotal() const { return file_.size(); }

  class Decoder;

 private:
  QString path_;
  QFile file_;
  QByteArray input_;
  QByteArrayView unread_;  // of input_
  bool fileEnded_ = false;
  std::unique_ptr<Decoder> decoder_;
};

}  // namespace tvtools
