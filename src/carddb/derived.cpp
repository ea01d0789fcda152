// What the engine layer offers data worked out from the card tables: rows
// the program holds as a table, the card database's data version, memory to
// give back.
//
// tv_rows(?1) is a table-valued function over a RowSource that the program
// binds as a pointer, so one INSERT … SELECT can copy rows it chose, in its
// order, without a statement per row. SQL text cannot forge the pointer, and
// the function cannot be used from a database's own schema.
#include <sqlite3.h>

#include <QHash>
#include <cstring>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include "carddb/database.h"

namespace tv {
namespace {

constexpr const char* kPointerType = "tv_rows";

struct Cursor {
  sqlite3_vtab_cursor base;
  const RowSource* rows = nullptr;
  size_t pos = 0;
};

int rowsConnect(sqlite3* db, void*, int, const char* const*, sqlite3_vtab** out, char**) {
  const int rc = sqlite3_declare_vtab(db, "CREATE TABLE x(c0, c1, c2, c3, c4, c5, c6, c7, source HIDDEN)");
  if (rc != SQLITE_OK) return rc;
  auto* table = static_cast<sqlite3_vtab*>(sqlite3_malloc(sizeof(sqlite3_vtab)));
  if (!table) return SQLITE_NOMEM;
  std::memset(table, 0, sizeof(*table));
  sqlite3_vtab_config(db, SQLITE_VTAB_DIRECTONLY);
  *out = table;
  return SQLITE_OK;
}

int rowsDisconnect(sqlite3_vtab* table) {
  sqlite3_free(table);
  return SQLITE_OK;
}

// Usable only with its argument: tv_rows(?1).
int rowsBestIndex(sqlite3_vtab*, sqlite3_index_info* info) {
  for (int i = 0; i < info->nConstraint; ++i) {
    const auto& c = info->aConstraint[i];
    if (c.iColumn == RowSource::kColumns && c.op == SQLITE_INDEX_CONSTRAINT_EQ && c.usable) {
      info->aConstraintUsage[i].argvIndex = 1;
      info->aConstraintUsage[i].omit = 1;
      info->estimatedCost = 1;
      info->estimatedRows = 100000;
      return SQLITE_OK;
    }
  }
  return SQLITE_CONSTRAINT;
}

int rowsOpen(sqlite3_vtab*, sqlite3_vtab_cursor** out) {
  auto* cursor = new (std::nothrow) Cursor();
  if (!cursor) return SQLITE_NOMEM;
  *out = &cursor->base;
  return SQLITE_OK;
}

Cursor* asCursor(sqlite3_vtab_cursor* c) { return reinterpret_cast<Cursor*>(c); }

int rowsClose(sqlite3_vtab_cursor* c) {
  delete asCursor(c);
  return SQLITE_OK;
}

int rowsFilter(sqlite3_vtab_cursor* c, int, const char*, int argc, sqlite3_value** argv) {
  Cursor* cursor = asCursor(c);
  cursor->rows =
      argc > 0 ? static_cast<const RowSource*>(sqlite3_value_pointer(argv[0], kPointerType)) : nullptr;
  cursor->pos = 0;
  return SQLITE_OK;
}

int rowsNext(sqlite3_vtab_cursor* c) {
  ++asCursor(c)->pos;
  return SQLITE_OK;
}

int rowsEof(sqlite3_vtab_cursor* c) {
  const Cursor* cursor = asCursor(c);
  return !cursor->rows || cursor->pos >= cursor->rows->rowCount();
}

int rowsColumn(sqlite3_vtab_cursor* c, sqlite3_context* ctx, int column) {
  const Cursor* cursor = asCursor(c);
  if (column >= RowSource::kColumns) {
    sqlite3_result_null(ctx);
    return SQLITE_OK;
  }
  const Cell& cell = cursor->rows->cell(cursor->pos, column);
  switch (cell.kind) {
    case Cell::Integer:
      sqlite3_result_int64(ctx, cell.integer);
      break;
    case Cell::Real:
      sqlite3_result_double(ctx, cell.real);
      break;
    case Cell::Text:
      sqlite3_result_text64(ctx, cell.bytes.constData(), sqlite3_uint64(cell.bytes.size()), SQLITE_STATIC,
                            SQLITE_UTF8);
      break;
    case Cell::Blob:
      sqlite3_result_blob64(ctx, cell.bytes.constData(), sqlite3_uint64(cell.bytes.size()), SQLITE_STATIC);
      break;
    case Cell::Null:
      sqlite3_result_null(ctx);
      break;
  }
  return SQLITE_OK;
}

int rowsRowid(sqlite3_vtab_cursor* c, sqlite3_int64* rowid) {
  *rowid = sqlite3_int64(asCursor(c)->pos + 1);
  return SQLITE_OK;
}

// Eponymous only (no xCreate): there is no CREATE VIRTUAL TABLE of it.
sqlite3_module rowsModule() {
  sqlite3_module m{};
  m.xConnect = rowsConnect;
  m.xBestIndex = rowsBestIndex;
  m.xDisconnect = rowsDisconnect;
  m.xOpen = rowsOpen;
  m.xClose = rowsClose;
  m.xFilter = rowsFilter;
  m.xNext = rowsNext;
  m.xEof = rowsEof;
  m.xColumn = rowsColumn;
  m.xRowid = rowsRowid;
  return m;
}

}  // namespace

bool Cell::operator==(const Cell& other) const {
  if (kind != other.kind) return false;
  switch (kind) {
    case Integer:
      return integer == other.integer;
    case Real:
      return std::memcmp(&real, &other.real, sizeof real) == 0;
    case Text:
    case Blob:
      return bytes == other.bytes;
    case Null:
      break;
  }
  return true;
}

size_t qHash(const Cell& cell, size_t seed) {
  switch (cell.kind) {
    case Cell::Integer:
      return ::qHash(cell.integer, seed);
    case Cell::Real: {
      quint64 bits;
      std::memcpy(&bits, &cell.real, sizeof bits);
      return ::qHash(bits, seed ^ 1);
    }
    case Cell::Text:
    case Cell::Blob:
      return ::qHash(cell.bytes, seed ^ cell.kind);
    case Cell::Null:
      break;
  }
  return seed;
}

void registerRows(sqlite3* db) {
  static const sqlite3_module module = rowsModule();
  if (sqlite3_create_module_v2(db, "tv_rows", &module, nullptr, nullptr) != SQLITE_OK)
    throw DbError(QStringLiteral("cannot register tv_rows: ") + QString::fromUtf8(sqlite3_errmsg(db)));
}

void Database::executeWithRows(const QString& sql, const RowSource& rows) {
  runDeferred();
  const QByteArray utf8 = sql.toUtf8();
  sqlite3_stmt* st = nullptr;
  const auto error = [&] {
    const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
    sqlite3_finalize(st);
    return DbError(message + QStringLiteral(" [") + sql + QStringLiteral("]"));
  };
  if (sqlite3_prepare_v2(db_, utf8.constData(), int(utf8.size()), &st, nullptr) != SQLITE_OK || !st)
    throw error();
  if (sqlite3_bind_pointer(st, 1, const_cast<RowSource*>(&rows), kPointerType, nullptr) != SQLITE_OK)
    throw error();
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) throw error();
  sqlite3_finalize(st);
}

quint32 Database::cardDataVersion() {
  // A read of the file first, so that a change by another connection shows.
  execute(QStringLiteral("PRAGMA main.data_version"));
  unsigned int version = 0;
  if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_DATA_VERSION, &version) != SQLITE_OK)
    throw DbError(QStringLiteral("cannot read the data version"));
  return version;
}

void Database::releaseMemory(bool heapToo) {
  sqlite3_db_release_memory(db_);
#ifdef __GLIBC__
  // What a large read freed stays with the allocator, below memory still in
  // use, unless it is handed back explicitly (at some cost: once a start).
  if (heapToo) malloc_trim(0);
#else
  (void)heapToo;
#endif
}

}  // namespace tv
