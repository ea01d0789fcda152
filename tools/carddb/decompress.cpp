#include "carddb/decompress.h"

#include <lzma.h>
#include <zlib.h>

#include "carddb/error.h"

namespace tvtools {
namespace {

constexpr qint64 kInputChunk = 1 << 16;
// A few kilobytes of compressed data can hold gigabytes: each piece handed
// on is at most this long, however much the input holds.
constexpr qsizetype kOutputChunk = 1 << 18;
// xz -9 needs 65 MiB to decode; a header asking for more is no data file's.
constexpr uint64_t kXzMemoryLimit = 256 << 20;

}  // namespace

class DecompressingReader::Decoder {
 public:
  virtual ~Decoder() = default;
  // Decodes from `in` (taking what it used) into `out`, at most `room`
  // bytes; returns how many it wrote. `fileEnded`: `in` is all that is left.
  // Sets `done` once the data is complete.
  virtual qsizetype decode(QByteArrayView& in, bool fileEnded, char* out, qsizetype room, bool& done) = 0;
};

namespace {

class PlainDecoder : public DecompressingReader::Decoder {
 public:
  qsizetype decode(QByteArrayView& in, bool fileEnded, char* out, qsizetype room, bool& done) override {
    const qsizetype n = std::min(room, in.size());
    std::copy_n(in.data(), n, out);
    in = in.sliced(n);
    done = fileEnded && in.isEmpty();
    return n;
  }
};

class GzipDecoder : public DecompressingReader::Decoder {
 public:
  explicit GzipDecoder(const QString& path) : path_(path) {
    // 16 + MAX_WBITS: a gzip header and trailer, as .gz files have.
    if (inflateInit2(&z_, 16 + MAX_WBITS) != Z_OK) throw BuildError(path_ + QStringLiteral(": cannot read"));
  }
  ~GzipDecoder() override { inflateEnd(&z_); }

  qsizetype decode(QByteArrayView& in, bool fileEnded, char* out, qsizetype room, bool& done) override {
    done = false;
    if (memberEnded_ && !in.isEmpty()) {
      inflateReset(&z_);  // a gzip file may hold several members one after another
      memberEnded_ = false;
    }
    if (in.isEmpty() && fileEnded) {
      if (!memberEnded_) throw BuildError(QStringLiteral("%1: truncated gzip data").arg(path_));
      done = true;
      return 0;
    }
    z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z_.avail_in = uInt(in.size());
    z_.next_out = reinterpret_cast<Bytef*>(out);
    z_.avail_out = uInt(room);
    const int rc = inflate(&z_, Z_NO_FLUSH);
    in = in.sliced(in.size() - qsizetype(z_.avail_in));
    if (rc == Z_STREAM_END)
      memberEnded_ = true;
    else if (rc != Z_OK && rc != Z_BUF_ERROR)
      throw BuildError(QStringLiteral("%1: damaged gzip data (%2)")
                           .arg(path_, QString::fromLatin1(z_.msg ? z_.msg : "inflate failed")));
    return room - qsizetype(z_.avail_out);
  }

 private:
  QString path_;
  z_stream z_{};
  bool memberEnded_ = false;
};

// One xz stream after another, as `cat a.xz b.xz` makes; anything else after
// the end (stream padding aside) is an error of its own, not truncation.
class XzDecoder : public DecompressingReader::Decoder {
 public:
  explicit XzDecoder(const QString& path) : path_(path) { start(); }
  ~XzDecoder() override { lzma_end(&s_); }

  qsizetype decode(QByteArrayView& in, bool fileEnded, char* out, qsizetype room, bool& done) override {
    done = false;
    if (streamEnded_) {
      while (!in.isEmpty() && in.front() == '\0') in = in.sliced(1);
      if (in.isEmpty()) {
        done = fileEnded;
        return 0;
      }
      start();
      afterEnd_ = true;
    }
    s_.next_in = reinterpret_cast<const uint8_t*>(in.data());
    s_.avail_in = size_t(in.size());
    s_.next_out = reinterpret_cast<uint8_t*>(out);
    s_.avail_out = size_t(room);
    const lzma_ret rc = lzma_code(&s_, fileEnded ? LZMA_FINISH : LZMA_RUN);
    in = in.sliced(in.size() - qsizetype(s_.avail_in));
    const qsizetype written = room - qsizetype(s_.avail_out);
    if (written > 0) afterEnd_ = false;
    if (rc == LZMA_STREAM_END) {
      streamEnded_ = true;
      done = fileEnded && in.isEmpty();
    } else if (rc != LZMA_OK && !(rc == LZMA_BUF_ERROR && !fileEnded)) {
      if (afterEnd_) throw BuildError(QStringLiteral("%1: data after the end of the xz data").arg(path_));
      if (rc == LZMA_BUF_ERROR) throw BuildError(QStringLiteral("%1: truncated xz data").arg(path_));
      if (rc == LZMA_MEMLIMIT_ERROR)
        throw BuildError(QStringLiteral("%1: xz data that needs more than %2 MiB to read")
                             .arg(path_)
                             .arg(kXzMemoryLimit >> 20));
      throw BuildError(QStringLiteral("%1: damaged xz data (error %2)").arg(path_).arg(int(rc)));
    }
    return written;
  }

 private:
  void start() {
    lzma_end(&s_);
    s_ = LZMA_STREAM_INIT;
    if (lzma_stream_decoder(&s_, kXzMemoryLimit, 0) != LZMA_OK)
      throw BuildError(path_ + QStringLiteral(": cannot read"));
    streamEnded_ = false;
  }

  QString path_;
  lzma_stream s_ = LZMA_STREAM_INIT;
  bool streamEnded_ = false;
  bool afterEnd_ = false;  // a new stream begun after one ended, without output yet
};

}  // namespace

DecompressingReader::DecompressingReader(const QString& path) : path_(path), file_(path) {
  if (!file_.open(QIODevice::ReadOnly))
    throw BuildError(QStringLiteral("%1: cannot read: %2").arg(path, file_.errorString()));
  const QByteArray magic = file_.peek(6);
  if (magic.startsWith("\xFD"
                       "7zXZ"))
    decoder_ = std::make_unique<XzDecoder>(path);
  else if (magic.startsWith("\x1F\x8B"))
    decoder_ = std::make_unique<GzipDecoder>(path);
  else
    decoder_ = std::make_unique<PlainDecoder>();
}

DecompressingReader::~DecompressingReader() = default;

QByteArray DecompressingReader::next() {
  QByteArray out;
  while (decoder_) {
    if (unread_.isEmpty() && !fileEnded_) {
      input_ = file_.read(kInputChunk);
      if (file_.error() != QFileDevice::NoError)
        throw BuildError(QStringLiteral("%1: cannot read: %2").arg(path_, file_.errorString()));
      fileEnded_ = input_.isEmpty();
      unread_ = input_;
    }
    if (out.isEmpty()) out.resize(kOutputChunk);
    bool done = false;
    const qsizetype n =
        decoder_->decode(unread_, fileEnded_ && unread_.isEmpty(), out.data(), out.size(), done);
    if (done) decoder_.reset();
    if (n > 0) {
      out.truncate(n);
      return out;
    }
  }
  return {};
}

}  // namespace tvtools
