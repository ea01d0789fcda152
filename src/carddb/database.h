// The engine layer: one SQLCipher connection and the recordsets opened on it.
//
// The program's SQL keeps the dialect it has always been written in (Jet-style
// `Like '*x*'`, `Delete <columns> FROM`); the adaptation lives in dialect.h and
// is applied here, so nothing above this layer knows the engine is SQLite.
#pragma once

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace tv {

// Every engine failure, carrying the engine's own message.
class DbError : public std::runtime_error {
 public:
  // The failures the program tells apart: another program holds the file
  // locked; a value (or a text made of values) beyond what the program takes.
  enum class Kind { Other, InUse, TooBig };

  explicit DbError(const QString& message, Kind kind = Kind::Other) : DbError(message, message, kind) {}
  // The engine's own words, and where they came from (a statement, an
  // operation): the user sees only `reason`, a log or a test the whole.
  static DbError fromEngine(const QString& reason, const QString& statement, Kind kind = Kind::Other) {
    return DbError(reason + QStringLiteral(" [") + statement + u']', reason, kind);
  }
  static DbError inContext(const QString& context, const QString& reason, Kind kind = Kind::Other) {
    return DbError(context + QStringLiteral(": ") + reason, reason, kind);
  }
  QString message() const { return QString::fromStdString(what()); }
  QString reason() const { return reason_; }
  Kind kind() const { return kind_; }

 private:
  DbError(const QString& message, const QString& reason, Kind kind)
      : std::runtime_error(message.toStdString()), reason_(reason), kind_(kind) {}
  QString reason_;
  Kind kind_;
};

enum class RecordsetType { Dynaset = 2, Snapshot = 4 };

// Option flags, with the values the program has always passed.
enum : int {
  dbInconsistent = 16,
  dbFailOnError = 128,
  dbForwardOnly = 256,
};

class Recordset;

// A value as the engine holds it, copied out so that it can be given back
// unchanged (text keeps its bytes, even where they are not valid UTF-8).
struct Cell {
  enum Kind : quint8 { Null, Integer, Real, Text, Blob };
  Kind kind = Null;
  qint64 integer = 0;
  double real = 0;
  QByteArray bytes;  // Text and Blob
  bool operator==(const Cell& other) const;
};
size_t qHash(const Cell& cell, size_t seed = 0);

// Rows the program hands one statement as the table tv_rows(?1), with the
// columns c0 … c7 (a column a source does not have reads as Null).
class RowSource {
 public:
  static constexpr int kColumns = 8;
  virtual ~RowSource() = default;
  virtual size_t rowCount() const = 0;
  virtual const Cell& cell(size_t row, int column) const = 0;
};

// How long a statement waits for a lock another connection holds.
constexpr int kBusyTimeoutMs = 3000;

// The longest text or blob the engine hands over, in bytes: a card's longest
// text is a few kilobytes, and a crafted file's 200 MB one would take the
// program's memory. A longer value fails as DbError::Kind::TooBig.
constexpr int kMaxValueBytes = 64 * 1024;

// The longest text made of card data that the program gives a text box: a
// card's details run to a few hundred characters, and laying out a text of
// millions takes the window seconds and gigabytes. Fails as TooBig beyond it.
constexpr qsizetype kMaxShownText = 16 * 1024;
inline const QString& showable(const QString& text) {
  if (text.size() > kMaxShownText)
    throw DbError(QStringLiteral("a text of %1 characters to show").arg(text.size()), DbError::Kind::TooBig);
  return text;
}

class Database {
 public:
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Opens an existing card database (never creates one). `connect` is a
  // connect string such as ";PWD=secret". A missing file, a wrong or missing
  // password, a file that is not a database and a database without the card
  // tables all fail here with DbError.
  static std::unique_ptr<Database> open(const QString& path, const QString& connect);

  // Creates a new, empty, keyed database file (no tables). Used by the schema
  // code; fails if the file exists.
  static std::unique_ptr<Database> create(const QString& path, const QString& connect);

  // Runs a statement that returns no rows. With dbFailOnError a failure
  // leaves the database as it was.
  void execute(const QString& sql, int options = 0);

  // A dynaset's statement must begin with SELECT (no comment, no WITH): its
  // rows are read with their rowids, which only a plain SELECT can add.
  Recordset openRecordset(const QString& sql, RecordsetType type = RecordsetType::Dynaset, int options = 0);

  bool hasTable(const QString& name);
  sqlite3* handle() const { return db_; }

  // Makes `name(text, ...)` callable in this connection's statements, true
  // where `predicate` holds for the arguments as UTF-8 text (Null reads as
  // empty). For filters the program computes and SQL cannot express; a name
  // defined again is replaced.
  using TextPredicate = std::function<bool(std::span<const std::string_view> args)>;
  void definePredicate(const char* name, int argCount, TextPredicate predicate);

  // Runs a statement that reads `rows`, in their order, as tv_rows(?1): one
  // INSERT … SELECT copies rows the program chose, with no statement per row.
  void executeWithRows(const QString& sql, const RowSource& rows);

  // Changes whenever the card database file changes, through this connection
  // or another; the in-memory working tables do not count.
  quint32 cardDataVersion();

  // Gives back the cached pages of the card database file that no statement
  // uses; with `heapToo`, also the heap that a large read has freed.
  void releaseMemory(bool heapToo = false);

  // Data worked out from the card tables and kept as long as the connection
  // (the search's catalogue). Its owner checks cardDataVersion() before use.
  std::shared_ptr<void>& derived() { return derived_; }

  // Work that no statement may overtake (a working table filled after the
  // list that shows it is on screen): every statement of this connection runs
  // it first, the program runs it when it is idle (runDeferred), and
  // dropDeferred() forgets it where its rows would be deleted unread.
  void defer(std::function<void()> work) { deferred_ = std::move(work); }
  void runDeferred() {
    if (!deferred_) return;
    const std::function<void()> work = std::move(deferred_);
    deferred_ = nullptr;
    work();
  }
  void dropDeferred() { deferred_ = nullptr; }

 private:
  explicit Database(sqlite3* db) : db_(db) {}
  static std::unique_ptr<Database> connect(const QString& path, const QString& connect, bool create);
  void configure(const QString& path, const QString& connect);
  sqlite3* db_ = nullptr;
  std::shared_ptr<void> derived_;
  std::function<void()> deferred_;
};

// Changes kept whole or not at all: a savepoint rolled back unless committed.
class Transaction {
 public:
  explicit Transaction(Database& db) : db_(db) { db_.execute(QStringLiteral("SAVEPOINT tv_transaction")); }
  ~Transaction() {
    if (done_) return;
    try {
      db_.execute(QStringLiteral("ROLLBACK TO tv_transaction"));
      db_.execute(QStringLiteral("RELEASE tv_transaction"));
    } catch (const DbError&) {
    }
  }
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;
  void commit() {
    db_.execute(QStringLiteral("RELEASE tv_transaction"));
    done_ = true;
  }

 private:
  Database& db_;
  bool done_ = false;
};

// Password part of a connect string (";PWD=..."); empty when there is none.
QString passwordFromConnect(const QString& connect);

// A result of a query. Snapshots stream forward; dynasets hold their rows and
// know which table and rowid every column comes from, so that edits and new
// rows reach the right table even through a join.
class Recordset {
 public:
  Recordset(Recordset&&) noexcept;
  Recordset& operator=(Recordset&&) noexcept;
  ~Recordset();

  bool eof() const;
  void moveNext();
  // Skips up to n rows; cheaper than n calls of moveNext on a snapshot.
  void move(qint64 n);

  // Value of the current row's column. The name matches without regard to
  // case, with or without its table prefix. Null is an invalid QVariant.
  QVariant field(QStringView name) const;
  bool isNull(QStringView name) const { return !field(name).isValid(); }
  // The value as text; Null reads as empty. Cheaper than field() in long loops.
  QString text(QStringView name) const;
  // A snapshot's value as the engine's UTF-8 text, valid until the next move.
  QByteArrayView utf8(QStringView name) const;
  // A snapshot's value as it is stored; read it before utf8() of the same column.
  Cell cell(QStringView name) const;
  // The position of a column, for loops that read it row after row without
  // looking the name up (DbError when there is none), and the reads by it.
  int column(QStringView name) const;
  QByteArrayView utf8(int column) const;
  Cell cell(int column) const;
  // The same into `into`, reusing its buffer: for loops that keep few values.
  void cell(int column, Cell& into) const;
  bool isNull(int column) const;

  void addNew();
  void edit();
  void setField(QStringView name, const QVariant& value);
  void update();
  // Deletes the current row from its table (a dynaset over one table only);
  // the next row becomes current.
  void remove();
  void close();

  int fieldCount() const;
  QString fieldName(int i) const;

 private:
  friend class Database;
  struct Impl;
  explicit Recordset(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> d;
};

}  // namespace tv
