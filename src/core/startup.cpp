#include "core/startup.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <cmath>

#include "carddb/schema.h"
#include "core/appinfo.h"
#include "core/userfiles.h"

namespace tv {
namespace {

QString decodeIniText(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = utf8.decode(bytes);
  if (!utf8.hasError()) return text;
  QStringDecoder sjis("Shift_JIS");
  if (sjis.isValid()) return sjis.decode(bytes);
  return QString::fromLatin1(bytes);
}

bool isUtf8(const QByteArray& bytes) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = utf8.decode(bytes);  // decode() is lazy until converted
  return !utf8.hasError();
}

bool isShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Cuts a value at its first NUL and at 255 bytes, as the platform's profile
// reader did, without splitting a character of the value's encoding.
QByteArray cutValue(QByteArray value) {
  if (const qsizetype nul = value.indexOf('\0'); nul >= 0) value.truncate(nul);
  constexpr qsizetype kMax = 255;
  if (value.size() <= kMax) return value;
  qsizetype end = 0;
  if (isUtf8(value)) {
    end = kMax;
    while (end > 0 && (static_cast<unsigned char>(value[end]) & 0xC0) == 0x80) --end;
  } else {
    // Shift-JIS: a lead byte and its trail byte stay together.
    for (qsizetype next = 0; next <= kMax;
         next += isShiftJisLead(static_cast<unsigned char>(value[next])) ? 2 : 1)
      end = next;
  }
  return value.left(end);
}

// A configuration file is a few lines: anything larger is not one.
constexpr qint64 kMaxIniBytes = 64 * 1024;

}  // namespace

std::optional<QString> ReadIniValue(const QString& section, const QString& key, const QString& file) {
  // Only a regular file: a FIFO would block the start, a device never end.
  if (!QFileInfo(file).isFile()) return std::nullopt;
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray content = f.read(kMaxIniBytes);
  if (content.startsWith("\xEF\xBB\xBF")) content.remove(0, 3);

  bool inSection = false;
  for (QByteArray line : content.split('\n')) {
    line = line.trimmed();
    if (line.isEmpty() || line.startsWith(';')) continue;
    if (line.startsWith('[')) {
      const qsizetype close = line.indexOf(']');
      const QByteArray name = line.mid(1, close < 0 ? -1 : close - 1).trimmed();
      inSection = decodeIniText(name).compare(section, Qt::CaseInsensitive) == 0;
      continue;
    }
    if (!inSection) continue;
    const qsizetype eq = line.indexOf('=');
    if (eq < 0 || decodeIniText(line.left(eq).trimmed()).compare(key, Qt::CaseInsensitive) != 0) continue;
    QByteArray value = line.mid(eq + 1).trimmed();
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
      value = value.mid(1, value.size() - 2);
    value = cutValue(value);
    if (value.isEmpty()) return std::nullopt;
    return decodeIniText(value).replace(u'\\', u'/');
  }
  return std::nullopt;
}

std::unique_ptr<Database> OpenCardDatabase(const QString& path, DbError::Kind* failure) {
  try {
    auto db = Database::open(path, kCardDbConnect);
    keepWorkingTablesInMemory(*db);
    return db;
  } catch (const DbError& e) {
    if (failure) *failure = e.kind();
    return nullptr;
  }
}

DataVersion judgeDataVersion(const QVariant& dbVersion) {
  bool numeric = false;
  const double raw = dbVersion.toString().toDouble(&numeric);
  if (!dbVersion.isValid() || !numeric || !std::isfinite(raw) || raw < -32768.5 || raw >= 32767.5) return {};
  return {raw < kMinDataVersion ? DataVersion::Verdict::Old : DataVersion::Verdict::Accepted,
          int(std::lround(raw))};
}

StartupOutcome InitApplication(const QString& appPath, bool anotherInstance) {
  StartupOutcome out;
  if (anotherInstance) {
    out.error = kMsgSecondInstance;
    return out;
  }
  const QString besideProgram = appPath + QStringLiteral("/TV.ini");
  const bool usersIni = !QFileInfo::exists(besideProgram) && QFileInfo::exists(userIniPath());
  const auto value = ReadIniValue(QStringLiteral("File"), QStringLiteral("LocalDataFile"),
                                  usersIni ? userIniPath() : besideProgram);
  if (!value) {
    out.iniMissing = !usersIni && !QFileInfo::exists(besideProgram);
    out.error = kMsgIniFailed;
    return out;
  }
  out.gDatabasePath = usersIni ? userDatabasePath(*value) : appPath + u'/' + *value;
  // A file another program holds locked is said to be in use, not broken.
  DbError::Kind failure = DbError::Kind::Other;
  auto fail = [&](const QString& message) {
    out.gCardDb.reset();
    out.error = failure == DbError::Kind::InUse ? kMsgDataInUse : message;
    return std::move(out);
  };
  out.gCardDb = OpenCardDatabase(out.gDatabasePath, &failure);
  if (!out.gCardDb) return fail(kMsgBrokenData);

  // A version table without a usable number is broken data, not old data.
  DataVersion version;
  try {
    auto rs =
        out.gCardDb->openRecordset(QStringLiteral("SELECT DbVersion") + QStringLiteral(" FROM tbl_Version"),
                                   RecordsetType::Snapshot, dbForwardOnly);
    version = judgeDataVersion(rs.eof() ? QVariant() : rs.field(u"DbVersion"));
  } catch (const DbError& e) {
    failure = e.kind();
  }
  if (version.verdict == DataVersion::Verdict::Broken) return fail(kMsgBrokenData);
  if (version.verdict == DataVersion::Verdict::Old) return fail(kMsgOldData);
  out.dataVersion = version.value;
  out.labelText = QStringLiteral("Talvik's Version ") + versionText() + QStringLiteral("\r\n") +
                  QStringLiteral("Deck DB Version ") + QString::number(version.value);
  return out;
}

}  // namespace tv
