#include "carddb/database.h"

#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cstring>

#include "carddb/dialect.h"
#include "carddb/names.h"

namespace tv {

void registerRows(sqlite3* db);  // derived.cpp

namespace {

QString engineMessage(sqlite3* db) { return QString::fromUtf8(sqlite3_errmsg(db)); }

DbError::Kind failureKind(sqlite3* db) {
  switch (sqlite3_extended_errcode(db) & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return DbError::Kind::InUse;
    case SQLITE_TOOBIG:
      return DbError::Kind::TooBig;
    default:
      return DbError::Kind::Other;
  }
}

[[noreturn]] void fail(sqlite3* db, const QString& context) {
  throw DbError::inContext(context, engineMessage(db), failureKind(db));
}

DbError statementError(sqlite3* db, const QString& sql) {
  return DbError::fromEngine(engineMessage(db), sql, failureKind(db));
}

void jetLikeFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (argc < 2 || sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  const auto* pattern = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  const int patternLen = sqlite3_value_bytes(argv[0]);
  const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
  const int textLen = sqlite3_value_bytes(argv[1]);
  sqlite3_result_int(ctx, jetLike({pattern, size_t(patternLen)}, {text, size_t(textLen)}));
}

void textPredicateFunction(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  constexpr int kMaxArgs = 8;
  std::string_view args[kMaxArgs];
  const int n = std::min(argc, kMaxArgs);
  for (int i = 0; i < n; ++i) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[i]));
    if (text) args[i] = {text, size_t(sqlite3_value_bytes(argv[i]))};
  }
  const auto& predicate = *static_cast<const Database::TextPredicate*>(sqlite3_user_data(ctx));
  sqlite3_result_int(ctx, predicate(std::span<const std::string_view>(args, size_t(n))) ? 1 : 0);
}

// Prepared statement that finalizes itself.
struct Stmt {
  sqlite3_stmt* s = nullptr;
  Stmt() = default;
  Stmt(const Stmt&) = delete;
  Stmt& operator=(const Stmt&) = delete;
  ~Stmt() { sqlite3_finalize(s); }
};

void prepare(sqlite3* db, const QString& sql, Stmt& out) {
  const QByteArray utf8 = sql.toUtf8();
  const char* tail = nullptr;
  if (sqlite3_prepare_v2(db, utf8.constData(), int(utf8.size()), &out.s, &tail) != SQLITE_OK)
    throw statementError(db, sql);
  if (!out.s) throw DbError(QStringLiteral("empty statement [") + sql + QStringLiteral("]"));
  // One statement a call: a second would otherwise be dropped unseen.
  const char* end = utf8.constData() + utf8.size();
  if (tail && tail < end) {
    Stmt next;
    const int rc = sqlite3_prepare_v2(db, tail, int(end - tail), &next.s, nullptr);
    if (rc != SQLITE_OK || next.s)
      throw DbError(QStringLiteral("more than one statement [") + sql + QStringLiteral("]"));
  }
}

QVariant columnValue(sqlite3_stmt* s, int i) {
  switch (sqlite3_column_type(s, i)) {
    case SQLITE_INTEGER:
      return QVariant(qlonglong(sqlite3_column_int64(s, i)));
    case SQLITE_FLOAT:
      return QVariant(sqlite3_column_double(s, i));
    case SQLITE_TEXT: {
      const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
      return QVariant(QString::fromUtf8(p, sqlite3_column_bytes(s, i)));
    }
    case SQLITE_BLOB: {
      const auto* p = static_cast<const char*>(sqlite3_column_blob(s, i));
      return QVariant(QByteArray(p, sqlite3_column_bytes(s, i)));
    }
    default:
      return QVariant();
  }
}

void bindValue(sqlite3_stmt* s, int i, const QVariant& v) {
  if (!v.isValid() || v.isNull()) {
    sqlite3_bind_null(s, i);
    return;
  }
  switch (v.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::ULongLong:
      sqlite3_bind_int64(s, i, v.toLongLong());
      return;
    case QMetaType::Double:
    case QMetaType::Float:
      sqlite3_bind_double(s, i, v.toDouble());
      return;
    case QMetaType::QByteArray: {
      const QByteArray b = v.toByteArray();
      sqlite3_bind_blob(s, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
      return;
    }
    default: {
      const QByteArray t = v.toString().toUtf8();
      sqlite3_bind_text(s, i, t.constData(), int(t.size()), SQLITE_TRANSIENT);
    }
  }
}

// A card database is untrusted input: its schema may not be written, loaded
// extensions are compiled out, and nothing the file defines (views, triggers)
// may call functions or virtual tables with side effects.
void hardenConnection(sqlite3* db) {
  for (const auto& [option, value] : {std::pair{SQLITE_DBCONFIG_DEFENSIVE, 1},
                                      {SQLITE_DBCONFIG_WRITABLE_SCHEMA, 0},
                                      {SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0},
                                      {SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0}})
    if (sqlite3_db_config(db, option, value, nullptr) != SQLITE_OK)
      fail(db, QStringLiteral("cannot configure the engine"));
}

void stepToEnd(sqlite3* db, sqlite3_stmt* s, const QString& sql) {
  int rc;
  while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) throw statementError(db, sql);
}

}  // namespace

QString passwordFromConnect(const QString& connect) {
  for (const QString& part : connect.split(u';')) {
    const qsizetype eq = part.indexOf(u'=');
    if (eq > 0 && part.left(eq).trimmed().compare(u"PWD", Qt::CaseInsensitive) == 0) return part.mid(eq + 1);
  }
  return {};
}

Database::~Database() { sqlite3_close_v2(db_); }

std::unique_ptr<Database> Database::connect(const QString& path, const QString& connect, bool create) {
  const bool exists = QFileInfo(path).isFile();
  if (!create && !exists) throw DbError(QStringLiteral("no database file: ") + path);
  if (create && QFileInfo::exists(path)) throw DbError(QStringLiteral("file exists: ") + path);

  // One thread uses a connection: no engine mutexes, no memory statistics.
  static const bool configured = [] {
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
    return true;
  }();
  (void)configured;
  sqlite3* raw = nullptr;
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX | (create ? SQLITE_OPEN_CREATE : 0);
  const int rc = sqlite3_open_v2(path.toUtf8().constData(), &raw, flags, nullptr);
  std::unique_ptr<Database> db(new Database(raw));
  if (rc != SQLITE_OK) fail(raw, QStringLiteral("cannot open ") + path);
  try {
    db->configure(path, connect);
  } catch (...) {
    if (create) {
      db.reset();
      QFile::remove(path);  // a half-made file is no database
    }
    throw;
  }
  return db;
}

void Database::configure(const QString& path, const QString& connect) {
  sqlite3* raw = db_;
  sqlite3_extended_result_codes(raw, 1);
  hardenConnection(raw);
  sqlite3_limit(raw, SQLITE_LIMIT_LENGTH, kMaxValueBytes);
  // A card database another program holds locked is waited for a moment, not failed at once.
  sqlite3_busy_timeout(raw, kBusyTimeoutMs);

  const QByteArray password = passwordFromConnect(connect).toUtf8();
  if (!password.isEmpty() && sqlite3_key(raw, password.constData(), int(password.size())) != SQLITE_OK)
    fail(raw, QStringLiteral("cannot key ") + path);
  // Card databases keep SQLCipher 3's format, so files made by the stock 3.x
  // tool and by older builds open, and the files we make open there.
  execute(QStringLiteral("PRAGMA cipher_compatibility = 3"));
  // The first read of the schema is where a wrong key, a foreign file or a
  // malformed schema shows.
  execute(QStringLiteral("SELECT count(*) FROM sqlite_master"));
  // Checks cell sizes as pages are read: a damaged page is an error, not a wild read.
  execute(QStringLiteral("PRAGMA cell_size_check = ON"));
  execute(QStringLiteral("PRAGMA temp_store = MEMORY"));
  // Room for a large card database's pages, so a search decrypts each once.
  execute(QStringLiteral("PRAGMA cache_size = -65536"));

  registerRows(raw);
  if (sqlite3_create_function_v2(raw, "like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, jetLikeFunction,
                                 nullptr, nullptr, nullptr) != SQLITE_OK)
    fail(raw, QStringLiteral("cannot register like"));
}

std::unique_ptr<Database> Database::open(const QString& path, const QString& connect) {
  auto db = Database::connect(path, connect, false);
  for (const QString& table : cardDatabaseTables())
    if (!db->hasTable(table))
      throw DbError(QStringLiteral("not a card database (no table %1): %2").arg(table, path));
  return db;
}

std::unique_ptr<Database> Database::create(const QString& path, const QString& connect) {
  return Database::connect(path, connect, true);
}

bool Database::hasTable(const QString& name) {
  runDeferred();
  Stmt st;
  prepare(db_, QStringLiteral("SELECT 1 FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE"),
          st);
  bindValue(st.s, 1, name);
  const int rc = sqlite3_step(st.s);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) fail(db_, QStringLiteral("schema"));
  return rc == SQLITE_ROW;
}

void Database::definePredicate(const char* name, int argCount, TextPredicate predicate) {
  auto* owned = new TextPredicate(std::move(predicate));
  int flags = SQLITE_UTF8;
#ifdef SQLITE_DIRECTONLY
  flags |= SQLITE_DIRECTONLY;  // never from a view or trigger of the file
#endif
  // The engine owns it from here, also when registering fails.
  if (sqlite3_create_function_v2(db_, name, argCount, flags, owned, textPredicateFunction, nullptr, nullptr,
                                 [](void* p) { delete static_cast<TextPredicate*>(p); }) != SQLITE_OK)
    fail(db_, QStringLiteral("cannot register ") + QString::fromLatin1(name));
}

void Database::execute(const QString& sql, int options) {
  runDeferred();
  const QString adapted = adaptDialect(sql);
  const bool atomic = (options & dbFailOnError) != 0;
  if (atomic && sqlite3_exec(db_, "SAVEPOINT tv_execute", nullptr, nullptr, nullptr) != SQLITE_OK)
    fail(db_, QStringLiteral("savepoint"));
  try {
    Stmt st;
    prepare(db_, adapted, st);
    stepToEnd(db_, st.s, sql);
  } catch (...) {
    if (atomic) {
      sqlite3_exec(db_, "ROLLBACK TO tv_execute", nullptr, nullptr, nullptr);
      sqlite3_exec(db_, "RELEASE tv_execute", nullptr, nullptr, nullptr);
    }
    throw;
  }
  if (atomic && sqlite3_exec(db_, "RELEASE tv_execute", nullptr, nullptr, nullptr) != SQLITE_OK)
    fail(db_, QStringLiteral("release"));
}

// ---------------------------------------------------------------------------

struct Recordset::Impl {
  struct Column {
    QString name;    // result name as the engine reports it
    QString table;   // origin table, empty for expressions
    QString origin;  // origin column, empty for expressions
  };
  enum class Mode { None, Edit, AddNew };

  sqlite3* db = nullptr;
  QString sql;
  bool dynaset = false;
  std::vector<Column> columns;

  // Snapshot: the live statement.
  sqlite3_stmt* stmt = nullptr;
  bool atEnd = true;

  // Dynaset: every row with the rowid of each origin table.
  QStringList tables;
  std::vector<std::vector<QVariant>> rows;
  std::vector<std::vector<qint64>> rowids;
  size_t pos = 0;
  Mode mode = Mode::None;
  std::vector<std::pair<int, QVariant>> pending;

  ~Impl() { sqlite3_finalize(stmt); }

  void step() {
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
      atEnd = false;
    } else {
      atEnd = true;
      if (rc != SQLITE_DONE) throw statementError(db, sql);
    }
  }

  bool eof() const { return dynaset ? pos >= rows.size() : atEnd; }

  int indexOf(QStringView name) const {
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot >= 0) {
      const QStringView table = name.left(dot), col = name.mid(dot + 1);
      for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].table.compare(table, Qt::CaseInsensitive) == 0 &&
            (columns[i].origin.compare(col, Qt::CaseInsensitive) == 0 ||
             columns[i].name.compare(col, Qt::CaseInsensitive) == 0))
          return int(i);
      name = col;
    }
    for (size_t i = 0; i < columns.size(); ++i)
      if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0) return int(i);
    return -1;
  }

  // Loops read the same few names row after row: remember them as written.
  mutable std::vector<std::pair<QString, int>> resolved;

  int require(QStringView name) const {
    for (const auto& [known, index] : resolved)
      if (known == name) return index;
    const int i = indexOf(name);
    if (i < 0) throw DbError(QStringLiteral("no field named ") + name.toString());
    resolved.emplace_back(name.toString(), i);
    return i;
  }
};

Recordset::Recordset(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;
Recordset::~Recordset() = default;

Recordset Database::openRecordset(const QString& sql, RecordsetType type, int /*options*/) {
  runDeferred();
  auto impl = std::make_unique<Recordset::Impl>();
  impl->db = db_;
  impl->sql = sql;
  impl->dynaset = type == RecordsetType::Dynaset;

  Stmt first;
  prepare(db_, adaptDialect(sql), first);
  const int n = sqlite3_column_count(first.s);
  for (int i = 0; i < n; ++i) {
    auto str = [](const char* p) { return p ? QString::fromUtf8(p) : QString(); };
    impl->columns.push_back({str(sqlite3_column_name(first.s, i)), str(sqlite3_column_table_name(first.s, i)),
                             str(sqlite3_column_origin_name(first.s, i))});
  }

  if (!impl->dynaset) {
    impl->stmt = first.s;
    first.s = nullptr;
    impl->step();
    return Recordset(std::move(impl));
  }

  // A dynaset reads the rowid of every origin table in front of the
  // requested columns so that changes can be written back row by row.
  for (const auto& c : impl->columns)
    if (!c.table.isEmpty() && !impl->tables.contains(c.table, Qt::CaseInsensitive)) impl->tables << c.table;
  Stmt full;
  static const QRegularExpression selectHead(QStringLiteral(R"(^\s*SELECT\s)"),
                                             QRegularExpression::CaseInsensitiveOption);
  const auto head = selectHead.match(sql);
  sqlite3_stmt* reader = first.s;
  int offset = 0;
  // Otherwise update() would have no rowid to write to, and would write nothing.
  if (!head.hasMatch()) throw DbError(QStringLiteral("an updatable recordset needs a SELECT statement"));
  if (!impl->tables.isEmpty()) {
    QStringList rowidColumns;
    for (const QString& t : impl->tables) rowidColumns << t + QStringLiteral(".rowid");
    const QString withRowids = QStringLiteral("SELECT ") + rowidColumns.join(QStringLiteral(", ")) +
                               QStringLiteral(", ") + sql.mid(head.capturedEnd());
    prepare(db_, adaptDialect(withRowids), full);
    reader = full.s;
    offset = int(impl->tables.size());
  }
  int rc;
  while ((rc = sqlite3_step(reader)) == SQLITE_ROW) {
    std::vector<qint64> ids(offset);
    for (int i = 0; i < offset; ++i) ids[i] = sqlite3_column_int64(reader, i);
    std::vector<QVariant> values(n);
    for (int i = 0; i < n; ++i) values[i] = columnValue(reader, offset + i);
    impl->rowids.push_back(std::move(ids));
    impl->rows.push_back(std::move(values));
  }
  if (rc != SQLITE_DONE) throw statementError(db_, sql);
  return Recordset(std::move(impl));
}

bool Recordset::eof() const { return !d || d->eof(); }

void Recordset::moveNext() { move(1); }

void Recordset::move(qint64 n) {
  if (!d) throw DbError(QStringLiteral("recordset is closed"));
  for (; n > 0 && !d->eof(); --n) {
    if (d->dynaset)
      ++d->pos;
    else
      d->step();
  }
}

QVariant Recordset::field(QStringView name) const {
  if (eof()) throw DbError(QStringLiteral("no current record"));
  const int i = d->require(name);
  if (d->dynaset) return d->rows[d->pos][size_t(i)];
  return columnValue(d->stmt, i);
}

int Recordset::column(QStringView name) const {
  if (!d) throw DbError(QStringLiteral("no recordset"));
  return d->require(name);
}

QByteArrayView Recordset::utf8(QStringView name) const { return utf8(column(name)); }

QByteArrayView Recordset::utf8(int i) const {
  if (eof()) throw DbError(QStringLiteral("no current record"));
  if (d->dynaset) throw DbError(QStringLiteral("utf8() reads snapshots only"));
  if (i < 0 || i >= fieldCount()) throw DbError(QStringLiteral("no such column"));
  const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(d->stmt, i));
  return QByteArrayView(p, sqlite3_column_bytes(d->stmt, i));
}

bool Recordset::isNull(int i) const {
  if (eof()) throw DbError(QStringLiteral("no current record"));
  if (i < 0 || i >= fieldCount()) throw DbError(QStringLiteral("no such column"));
  if (d->dynaset) return !d->rows[d->pos][size_t(i)].isValid();
  return sqlite3_column_type(d->stmt, i) == SQLITE_NULL;
}

Cell Recordset::cell(QStringView name) const { return cell(column(name)); }

Cell Recordset::cell(int i) const {
  Cell c;
  cell(i, c);
  return c;
}

void Recordset::cell(int i, Cell& c) const {
  if (eof()) throw DbError(QStringLiteral("no current record"));
  if (d->dynaset) throw DbError(QStringLiteral("cell() reads snapshots only"));
  if (i < 0 || i >= fieldCount()) throw DbError(QStringLiteral("no such column"));
  // The bytes go into c's own buffer where it has one (no allocation a row).
  auto setBytes = [&c](const void* p, int n) {
    c.bytes.resize(n);
    if (n > 0) std::memcpy(c.bytes.data(), p, size_t(n));
  };
  c.integer = 0;
  c.real = 0;
  switch (sqlite3_column_type(d->stmt, i)) {
    case SQLITE_INTEGER:
      c.kind = Cell::Integer;
      c.integer = sqlite3_column_int64(d->stmt, i);
      c.bytes.clear();
      break;
    case SQLITE_FLOAT:
      c.kind = Cell::Real;
      c.real = sqlite3_column_double(d->stmt, i);
      c.bytes.clear();
      break;
    case SQLITE_TEXT:
      c.kind = Cell::Text;
      setBytes(sqlite3_column_text(d->stmt, i), sqlite3_column_bytes(d->stmt, i));
      break;
    case SQLITE_BLOB:
      c.kind = Cell::Blob;
      setBytes(sqlite3_column_blob(d->stmt, i), sqlite3_column_bytes(d->stmt, i));
      break;
    default:
      c.kind = Cell::Null;
      c.bytes.clear();
      break;
  }
}

QString Recordset::text(QStringView name) const {
  if (eof()) throw DbError(QStringLiteral("no current record"));
  const int i = d->require(name);
  if (d->dynaset) return d->rows[d->pos][size_t(i)].toString();
  if (sqlite3_column_type(d->stmt, i) == SQLITE_TEXT) {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(d->stmt, i));
    return QString::fromUtf8(p, sqlite3_column_bytes(d->stmt, i));
  }
  return columnValue(d->stmt, i).toString();
}

int Recordset::fieldCount() const { return d ? int(d->columns.size()) : 0; }
QString Recordset::fieldName(int i) const { return d->columns.at(size_t(i)).name; }

void Recordset::addNew() {
  if (!d || !d->dynaset) throw DbError(QStringLiteral("recordset is not updatable"));
  d->mode = Impl::Mode::AddNew;
  d->pending.clear();
}

void Recordset::edit() {
  if (!d || !d->dynaset) throw DbError(QStringLiteral("recordset is not updatable"));
  if (d->eof()) throw DbError(QStringLiteral("no current record"));
  d->mode = Impl::Mode::Edit;
  d->pending.clear();
}

void Recordset::setField(QStringView name, const QVariant& value) {
  if (!d || d->mode == Impl::Mode::None) throw DbError(QStringLiteral("field set outside AddNew or Edit"));
  const int i = d->require(name);
  if (d->columns[size_t(i)].table.isEmpty())
    throw DbError(QStringLiteral("field is not updatable: ") + name.toString());
  for (auto& [col, v] : d->pending)
    if (col == i) {
      v = value;
      return;
    }
  d->pending.emplace_back(i, value);
}

void Recordset::update() {
  if (!d || d->mode == Impl::Mode::None) throw DbError(QStringLiteral("update without AddNew or Edit"));
  const auto mode = d->mode;
  d->mode = Impl::Mode::None;
  const auto pending = std::move(d->pending);
  d->pending.clear();

  // Group the changed fields by the table they belong to.
  for (qsizetype t = 0; t < d->tables.size(); ++t) {
    const QString& table = d->tables[t];
    QStringList names;
    std::vector<QVariant> values;
    for (const auto& [col, v] : pending)
      if (d->columns[size_t(col)].table.compare(table, Qt::CaseInsensitive) == 0) {
        names << d->columns[size_t(col)].origin;
        values.push_back(v);
      }
    if (names.isEmpty()) continue;

    QString sql;
    if (mode == Impl::Mode::AddNew) {
      if (names.size() != qsizetype(pending.size()))
        throw DbError(QStringLiteral("a new row can go into one table only"));
      QStringList marks(names.size(), QStringLiteral("?"));
      sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    } else {
      sql = QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
                .arg(table, names.join(QStringLiteral(" = ?, ")));
    }
    Stmt st;
    prepare(d->db, sql, st);
    for (size_t i = 0; i < values.size(); ++i) bindValue(st.s, int(i + 1), values[i]);
    if (mode == Impl::Mode::Edit)
      sqlite3_bind_int64(st.s, int(values.size() + 1), d->rowids[d->pos][size_t(t)]);
    stepToEnd(d->db, st.s, sql);

    if (mode == Impl::Mode::AddNew) {
      std::vector<QVariant> row(d->columns.size());
      for (const auto& [col, v] : pending) row[size_t(col)] = v;
      std::vector<qint64> ids(size_t(d->tables.size()), 0);
      ids[size_t(t)] = sqlite3_last_insert_rowid(d->db);
      d->rows.push_back(std::move(row));
      d->rowids.push_back(std::move(ids));
      return;
    }
  }
  if (mode == Impl::Mode::Edit)
    for (const auto& [col, v] : pending) d->rows[d->pos][size_t(col)] = v;
}

void Recordset::remove() {
  if (!d || !d->dynaset) throw DbError(QStringLiteral("recordset is not updatable"));
  if (d->eof()) throw DbError(QStringLiteral("no current record"));
  if (d->tables.size() != 1) throw DbError(QStringLiteral("a row can be deleted from one table only"));
  const QString sql = QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(d->tables.first());
  Stmt st;
  prepare(d->db, sql, st);
  sqlite3_bind_int64(st.s, 1, d->rowids[d->pos][0]);
  stepToEnd(d->db, st.s, sql);
  d->rows.erase(d->rows.begin() + qsizetype(d->pos));
  d->rowids.erase(d->rowids.begin() + qsizetype(d->pos));
  d->mode = Impl::Mode::None;
}

void Recordset::close() { d.reset(); }

}  // namespace tv
