#include "carddb/decompress.h"

#include <lzma.h>
#include <zlib.h>

#include "carddb/error.h"

namespace tvtools {
namespace {

constexpr qint64 kInputChunk = 1 << 16;
constexpr qsizetype kOutputChunk = 1 << 18;

}  // namespace

class DecompressingReader::Decoder {
 public:
  virtual ~Decoder() = default;
  // Decodes the next piece of the file; `fileEnded` when there is no more
  // (`in` is then empty). Sets `done` once the data is complete.
  virtual QByteArray decode(const QByteArray& in, bool fileEnded, bool& done) = 0;
};

namespace {

class PlainDecoder : public DecompressingReader::Decoder {
 public:
  QByteArray decode(const QByteArray& in, bool fileEnded, bool& done) override {
    done = fileEnded;
    return in;
  }
};

class GzipDecoder : public DecompressingReader::Decoder {
 public:
  explicit GzipDecoder(const QString& path) : path_(path) {
    // 16 + MAX_WBITS: a gzip header and trailer, as .gz files have.
    if (inflateInit2(&z_, 16 + MAX_WBITS) != Z_OK) throw BuildError(path_ + QStringLiteral(": cannot read"));
  }
  ~GzipDecoder() override { inflateEnd(&z_); }

  QByteArray decode(const QByteArray& in, bool fileEnded, bool& done) override {
    QByteArray out;
    z_.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
    z_.avail_in = uInt(in.size());
    for (;;) {
      if (memberEnded_) {
        if (z_.avail_in == 0) break;
        inflateReset(&z_);  // a gzip file may hold several members one after another
        memberEnded_ = false;
      }
      const qsizetype used = out.size();
      out.resize(used + kOutputChunk);
      z_.next_out = reinterpret_cast<Bytef*>(out.data() + used);
      z_.avail_out = uInt(kOutputChunk);
      const int rc = inflate(&z_, Z_NO_FLUSH);
      out.resize(used + kOutputChunk - qsizetype(z_.avail_out));
      if (rc == Z_STREAM_END) {
        memberEnded_ = true;
      } else if (rc == Z_BUF_ERROR || (rc == Z_OK && z_.avail_in == 0 && z_.avail_out > 0)) {
        break;  // all input taken
      } else if (rc != Z_OK) {
        throw BuildError(QStringLiteral("%1: damaged gzip data (%2)")
                             .arg(path_, QString::fromLatin1(z_.msg ? z_.msg : "inflate failed")));
      }
    }
    if (fileEnded && !memberEnded_) throw BuildError(QStringLiteral("%1: truncated gzip data").arg(path_));
    done = fileEnded;
    return out;
  }

 private:
  QString path_;
  z_stream z_{};
  bool memberEnded_ = false;
};

class XzDecoder : public DecompressingReader::Decoder {
 public:
  explicit XzDecoder(const QString& path) : path_(path) {
    if (lzma_stream_decoder(&s_, UINT64_MAX, LZMA_CONCATENATED) != LZMA_OK)
      throw BuildError(path_ + QStringLiteral(": cannot read"));
  }
  ~XzDecoder() override { lzma_end(&s_); }

  QByteArray decode(const QByteArray& in, bool fileEnded, bool& done) override {
    QByteArray out;
    s_.next_in = reinterpret_cast<const uint8_t*>(in.constData());
    s_.avail_in = size_t(in.size());
    const lzma_action action = fileEnded ? LZMA_FINISH : LZMA_RUN;
    for (;;) {
      const qsizetype used = out.size();
      out.resize(used + kOutputChunk);
      s_.next_out = reinterpret_cast<uint8_t*>(out.data() + used);
      s_.avail_out = size_t(kOutputChunk);
      const lzma_ret rc = lzma_code(&s_, action);
      out.resize(used + kOutputChunk - qsizetype(s_.avail_out));
      if (rc == LZMA_STREAM_END) {
        done = true;
        return out;
      }
      if (rc == LZMA_BUF_ERROR && fileEnded)
        throw BuildError(QStringLiteral("%1: truncated xz data").arg(path_));
      if (rc != LZMA_OK && rc != LZMA_BUF_ERROR)
        throw BuildError(QStringLiteral("%1: damaged xz data (error %2)").arg(path_).arg(int(rc)));
      if (!fileEnded && s_.avail_in == 0 && s_.avail_out > 0) break;
    }
    done = false;
    return out;
  }

 private:
  QString path_;
  lzma_stream s_ = LZMA_STREAM_INIT;
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
  bool done = decoder_ == nullptr;
  while (!done) {
    const QByteArray in = file_.read(kInputChunk);
    if (file_.error() != QFileDevice::NoError)
      throw BuildError(QStringLiteral("%1: cannot read: %2").arg(path_, file_.errorString()));
    const QByteArray out = decoder_->decode(in, in.isEmpty(), done);
    if (done) decoder_.reset();
    if (!out.isEmpty()) return out;
  }
  return {};
}

DecompressingStreamBuf::int_type DecompressingStreamBuf::underflow() {
  if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
  chunk_ = reader_.next();
  if (chunk_.isEmpty()) return traits_type::eof();
  char* begin = chunk_.data();
  setg(begin, begin, begin + chunk_.size());
  return traits_type::to_int_type(*begin);
}

}  // namespace tvtools
