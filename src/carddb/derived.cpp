// What the engine layer offers data worked out from the card tables: a list
// of rowids as a table, the card database's data version, memory to give back.
//
// tv_rowids(?1) is a table-valued function over a list of rowids that the
// program binds as a pointer, so one INSERT … SELECT can copy chosen rows in
// a chosen order without a statement per row. SQL text cannot forge the
// pointer, and the function cannot be used from a database's own schema.
#include <sqlite3.h>

#include <cstring>
#include <vector>

#include "carddb/database.h"

namespace tv {
namespace {

constexpr const char* kPointerType = "tv_rowids";

struct Cursor {
  sqlite3_vtab_cursor base;
  const std::vector<qint64>* ids = nullptr;
  size_t pos = 0;
};

int rowidsConnect(sqlite3* db, void*, int, const char* const*, sqlite3_vtab** out, char**) {
  const int rc = sqlite3_declare_vtab(db, "CREATE TABLE x(id, list HIDDEN)");
  if (rc != SQLITE_OK) return rc;
  auto* table = static_cast<sqlite3_vtab*>(sqlite3_malloc(sizeof(sqlite3_vtab)));
  if (!table) return SQLITE_NOMEM;
  std::memset(table, 0, sizeof(*table));
  sqlite3_vtab_config(db, SQLITE_VTAB_DIRECTONLY);
  *out = table;
  return SQLITE_OK;
}

int rowidsDisconnect(sqlite3_vtab* table) {
  sqlite3_free(table);
  return SQLITE_OK;
}

// Usable only with its argument: tv_rowids(?1).
int rowidsBestIndex(sqlite3_vtab*, sqlite3_index_info* info) {
  for (int i = 0; i < info->nConstraint; ++i) {
    const auto& c = info->aConstraint[i];
    if (c.iColumn == 1 && c.op == SQLITE_INDEX_CONSTRAINT_EQ && c.usable) {
      info->aConstraintUsage[i].argvIndex = 1;
      info->aConstraintUsage[i].omit = 1;
      info->estimatedCost = 1;
      info->estimatedRows = 100000;
      return SQLITE_OK;
    }
  }
  return SQLITE_CONSTRAINT;
}

int rowidsOpen(sqlite3_vtab*, sqlite3_vtab_cursor** out) {
  auto* cursor = new (std::nothrow) Cursor();
  if (!cursor) return SQLITE_NOMEM;
  *out = &cursor->base;
  return SQLITE_OK;
}

Cursor* asCursor(sqlite3_vtab_cursor* c) { return reinterpret_cast<Cursor*>(c); }

int rowidsClose(sqlite3_vtab_cursor* c) {
  delete asCursor(c);
  return SQLITE_OK;
}

int rowidsFilter(sqlite3_vtab_cursor* c, int, const char*, int argc, sqlite3_value** argv) {
  Cursor* cursor = asCursor(c);
  cursor->ids = argc > 0
                    ? static_cast<const std::vector<qint64>*>(sqlite3_value_pointer(argv[0], kPointerType))
                    : nullptr;
  cursor->pos = 0;
  return SQLITE_OK;
}

int rowidsNext(sqlite3_vtab_cursor* c) {
  ++asCursor(c)->pos;
  return SQLITE_OK;
}

int rowidsEof(sqlite3_vtab_cursor* c) {
  const Cursor* cursor = asCursor(c);
  return !cursor->ids || cursor->pos >= cursor->ids->size();
}

int rowidsColumn(sqlite3_vtab_cursor* c, sqlite3_context* ctx, int column) {
  const Cursor* cursor = asCursor(c);
  if (column == 0)
    sqlite3_result_int64(ctx, (*cursor->ids)[cursor->pos]);
  else
    sqlite3_result_null(ctx);
  return SQLITE_OK;
}

int rowidsRowid(sqlite3_vtab_cursor* c, sqlite3_int64* rowid) {
  *rowid = sqlite3_int64(asCursor(c)->pos + 1);
  return SQLITE_OK;
}

// Eponymous only (no xCreate): there is no CREATE VIRTUAL TABLE of it.
sqlite3_module rowidsModule() {
  sqlite3_module m{};
  m.xConnect = rowidsConnect;
  m.xBestIndex = rowidsBestIndex;
  m.xDisconnect = rowidsDisconnect;
  m.xOpen = rowidsOpen;
  m.xClose = rowidsClose;
  m.xFilter = rowidsFilter;
  m.xNext = rowidsNext;
  m.xEof = rowidsEof;
  m.xColumn = rowidsColumn;
  m.xRowid = rowidsRowid;
  return m;
}

}  // namespace

void registerRowids(sqlite3* db) {
  static const sqlite3_module module = rowidsModule();
  if (sqlite3_create_module_v2(db, "tv_rowids", &module, nullptr, nullptr) != SQLITE_OK)
    throw DbError(QStringLiteral("cannot register tv_rowids: ") + QString::fromUtf8(sqlite3_errmsg(db)));
}

void Database::executeWithRowids(const QString& sql, const std::vector<qint64>& rowids) {
  const QByteArray utf8 = sql.toUtf8();
  sqlite3_stmt* st = nullptr;
  const auto error = [&] {
    const QString message = QString::fromUtf8(sqlite3_errmsg(db_));
    sqlite3_finalize(st);
    return DbError(message + QStringLiteral(" [") + sql + QStringLiteral("]"));
  };
  if (sqlite3_prepare_v2(db_, utf8.constData(), int(utf8.size()), &st, nullptr) != SQLITE_OK || !st)
    throw error();
  if (sqlite3_bind_pointer(st, 1, const_cast<std::vector<qint64>*>(&rowids), kPointerType, nullptr) !=
      SQLITE_OK)
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

void Database::releaseMemory() { sqlite3_db_release_memory(db_); }

}  // namespace tv
