// The lines of a list box, held as strings or produced on demand: a search
// result of tens of thousands of lines then costs a few bytes a line, and
// only the lines on screen are ever made.
#pragma once

#include <QStringList>
#include <memory>

namespace tv {

class LineSource {
 public:
  virtual ~LineSource() = default;
  virtual qsizetype count() const = 0;
  virtual QString line(qsizetype row) const = 0;
};

class Lines {
 public:
  Lines() = default;
  Lines(QStringList lines) : list_(std::move(lines)) {}  // NOLINT: a string list is lines
  explicit Lines(std::shared_ptr<const LineSource> source) : source_(std::move(source)) {}

  qsizetype size() const { return source_ ? source_->count() : list_.size(); }
  bool isEmpty() const { return size() == 0; }
  QString at(qsizetype row) const { return source_ ? source_->line(row) : list_.at(row); }

  QStringList toStringList() const {
    if (!source_) return list_;
    QStringList out;
    out.reserve(size());
    for (qsizetype i = 0; i < size(); ++i) out << at(i);
    return out;
  }

 private:
  QStringList list_;
  std::shared_ptr<const LineSource> source_;
};

}  // namespace tv
