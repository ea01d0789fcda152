// The checks the program makes before its first window: every outcome is a
// value, so each path is testable without a screen; the message box and the
// exit stay at the edge (main).
#pragma once

#include <QString>
#include <memory>
#include <optional>

#include "carddb/database.h"

namespace tv {

inline const QString kMsgSecondInstance = QStringLiteral("このソフトは、すでに起動されています。");
inline const QString kMsgIniFailed =
    QStringLiteral(".iniファイルの読み込みに失敗しました。[File] DatabaseName");
inline const QString kMsgBrokenData = QStringLiteral(
    "【データファイルに障害があります】\r\n指定のフォルダにデータファイルが存在しないか、\r\n"
    "データファイルが壊れている可能性があります");
inline const QString kMsgOldData =
    QStringLiteral("【データファイルが古いです】\r\n新しいデータファイルをダウンロードしてください");
inline const QString kMsgDataInUse = QStringLiteral(
    "【データファイルが使用中です】\r\n他のプログラムがデータファイルを使用しています。\r\n"
    "そのプログラムを終了してから、もう一度起動してください");

// The value of `key` in `[section]` of an INI file, or nothing when the file,
// section or key is missing or the value is empty. Values longer than 255
// bytes are cut there. Text is UTF-8, or Shift-JIS when it is not valid UTF-8.
std::optional<QString> ReadIniValue(const QString& section, const QString& key, const QString& file);

// Opens the card database; nullptr on any failure, whose kind goes to `failure`.
std::unique_ptr<Database> OpenCardDatabase(const QString& path, DbError::Kind* failure = nullptr);

// tbl_Version's DbVersion (of its first row; invalid when there is none) as
// start-up judges it: a number it reads as a 16-bit whole number, of at least
// the lowest version the program takes.
struct DataVersion {
  enum class Verdict { Accepted, Old, Broken };
  Verdict verdict = Verdict::Broken;
  int value = 0;  // as the start-up window shows it
};
DataVersion judgeDataVersion(const QVariant& dbVersion);

struct StartupOutcome {
  QString error;  // empty on success
  QString gDatabasePath;
  std::unique_ptr<Database> gCardDb;
  int dataVersion = 0;
  QString labelText;  // the start-up window's version text
  // Neither the program's folder nor the user's configuration folder has a
  // TV.ini (the error is then the TV.ini message).
  bool iniMissing = false;
  bool ok() const { return error.isEmpty(); }
};

// Runs the start-up checks in their fixed order. `anotherInstance` is the
// single-instance lock's verdict; `appPath` the program's folder. TV.ini is
// read from `appPath`, else from the user's configuration folder, whose
// TV.ini names a card database in the user's data folder (core/userfiles.h).
StartupOutcome InitApplication(const QString& appPath, bool anotherInstance);

}  // namespace tv
