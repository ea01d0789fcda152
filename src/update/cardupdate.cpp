#include "update/cardupdate.h"

#include <QFile>
#include <QFileInfo>
#include <filesystem>
#include <new>

#include "carddb/names.h"
#include "carddb/progress.h"
#include "core/startup.h"
#include "deck/decktables.h"
#include "text/atomicfile.h"

namespace tv {
namespace {

namespace fs = std::filesystem;

// The file a path names, a symbolic link followed: the new file goes beside
// it, so that the rename stays within one file system.
QString resolved(const QString& target) {
  const QString real = QFileInfo(target).canonicalFilePath();
  return real.isEmpty() ? target : real;
}

fs::path fsPath(const QString& path) { return fs::path(path.toStdU16String()); }

// The importer speaks to terminals in English; the window says in Japanese
// which file it could not use. Its own message still goes to the log.
QString importFailureText(const QString& detail, const tvtools::ImportOptions& o) {
  const auto names = [&](const QString& path) { return !path.isEmpty() && detail.startsWith(path + u':'); };
  const auto file = [](const QString& path) { return QFileInfo(path).fileName(); };
  if (names(o.output))
    return QStringLiteral("「%1」に書き込めませんでした。ディスクの空きと書き込みの権限を確かめてください。")
        .arg(file(o.output));
  const struct {
    const QString& path;
    const char16_t* kind;
  } inputs[] = {{o.mtgjson, u"MTGJSON"},
                {o.whisper, u"WHISPER"},
                {o.sets, u"エキスパンション一覧"},
                {o.tokens, u"トークン一覧"}};
  for (const auto& input : inputs)
    if (names(input.path))
      return QStringLiteral("「%1」を読み込めませんでした。%2 のファイルではないか、壊れています。")
          .arg(file(input.path), QString::fromUtf16(input.kind));
  return QStringLiteral("カードデータを作れませんでした。");
}

// The deck tables of `from` into the empty ones of `to`, each row as it was;
// the card values then come from the new card master where it holds the card.
void carryDeck(Database& from, Database& to) {
  Transaction transaction(to);
  for (const QString& table : {kMainDeckTable, kSideDeckTable}) {
    writeDeckTableRows(to, table, readDeckTableRows(from, table));
    const QString sameCard =
        QStringLiteral(
            " FROM tbl_CardMst WHERE tbl_CardMst.CardSetEx = %1.CardSetEx AND tbl_CardMst.NameE = "
            "%1.NameE")
            .arg(table);
    to.execute(
        QStringLiteral("UPDATE %1 SET (NameN, NumCost, CAttack, CDefence) = (SELECT tbl_CardMst.NameN, "
                       "tbl_CardMst.NumCost, tbl_CardMst.CAttack, tbl_CardMst.CDefence%2) WHERE EXISTS "
                       "(SELECT 1%2)")
            .arg(table, sameCard),
        dbFailOnError);
  }
  transaction.commit();
}

}  // namespace

CardDataFiles installedCardData(const QString& folder) {
  CardDataFiles files;
  files.mtgjson = folder + QStringLiteral("/AllPrintings-subset.json.xz");
  files.whisper = folder + QStringLiteral("/whisper-cards.xml.xz");
  return files;
}

ImportOutcome importCardData(const CardDataFiles& files, const QString& target,
                             const std::atomic<bool>& cancel,
                             const std::function<void(const tvtools::ImportProgress&)>& progress) {
  struct Cancelled {};
  tvtools::ImportOptions o;
  o.mtgjson = files.mtgjson;
  o.whisper = files.whisper;
  o.sets = files.sets;
  o.tokens = files.tokens;
  o.output = resolved(target) + QStringLiteral(".new");
  o.progress = [&](const tvtools::ImportProgress& p) {
    if (cancel) throw Cancelled{};
    if (progress) progress(p);
  };
  ImportOutcome out;
  try {
    const tvtools::ImportSummary summary = tvtools::importCardDatabase(o);
    out.sets = summary.sets;
    out.cards = summary.cards;
  } catch (const Cancelled&) {
    out.status = ImportOutcome::Cancelled;
    return out;
  } catch (const std::bad_alloc&) {
    out.error = QStringLiteral("メモリが足りません。");
    return out;
  } catch (const std::exception& e) {  // the importer's BuildError
    out.detail = QString::fromStdString(e.what());
    out.error = importFailureText(out.detail, o);
    qWarning("%s", e.what());
    return out;
  }
  if (cancel) {
    QFile::remove(o.output);
    out.status = ImportOutcome::Cancelled;
    return out;
  }
  out.status = ImportOutcome::Done;
  out.file = o.output;
  return out;
}

QString importProgressText(const tvtools::ImportProgress& p, qint64 elapsedMs) {
  const QString done = QStringLiteral("%1 セット、%2 枚").arg(p.sets).arg(p.cards);
  if (p.writing) return done + QStringLiteral("を書き込んでいます…");
  QString text = done + QStringLiteral("を読み込みました");
  if (const auto left = tvtools::secondsLeft(p, elapsedMs); left && *left > 0)
    text += *left < 60 ? QStringLiteral("（残り約 %1 秒）").arg(*left)
                       : QStringLiteral("（残り約 %1 分）").arg((*left + 30) / 60);
  return text;
}

ReplaceOutcome replaceCardDatabase(Database* current, const QString& target, const QString& newFile) {
  ReplaceOutcome out;
  const auto fail = [&](const QString& reason) {
    out.db.reset();
    QFile::remove(newFile);
    out.error = reason;
    return std::move(out);
  };
  out.db = OpenCardDatabase(newFile);
  if (!out.db) return fail(QStringLiteral("新しいカードデータベースを開けません。"));
  if (current) {
    try {
      carryDeck(*current, *out.db);
    } catch (const DbError& e) {
      return fail(e.reason());
    }
  }

  // The old file stays as .bak: linked (or copied) under a passing name
  // first, named .bak only once the new file is in place, so that a failure
  // leaves the old .bak too.
  const QString real = resolved(target);
  const QString backup = real + QStringLiteral(".bak"), backupNew = real + QStringLiteral(".bak.new");
  const bool hadFile = QFileInfo(real).isFile();
  std::error_code ec;
  if (hadFile) {
    fs::remove(fsPath(backupNew), ec);
    ec.clear();
    fs::create_hard_link(fsPath(real), fsPath(backupNew), ec);
    if (ec) {
      ec.clear();
      fs::copy_file(fsPath(real), fsPath(backupNew), ec);
    }
    if (ec) {
      fs::remove(fsPath(backupNew), ec);
      return fail(QStringLiteral("%1 を保存できません。").arg(backup));
    }
  }
  fs::rename(fsPath(newFile), fsPath(real), ec);
  if (ec) {
    const QString reason = systemErrorText(ec.value());
    fs::remove(fsPath(backupNew), ec);
    return fail(QStringLiteral("%1 を置き換えられません: %2").arg(real, reason));
  }
  if (hadFile) fs::rename(fsPath(backupNew), fsPath(backup), ec);  // the update stands without it
  return out;
}

}  // namespace tv
