// The SQL dialect the program is written in, adapted to the engine.
#pragma once

#include <QString>
#include <string_view>

namespace tv {

// Jet wildcard match: '*' any run, '?' one character, stepping by code point;
// ASCII letters match without regard to case. Both arguments are UTF-8.
bool jetLike(std::string_view pattern, std::string_view text);

// Rewrites the statement forms the engine does not know: "Delete <columns>
// FROM t WHERE ..." becomes "DELETE FROM t WHERE ..." (the column list never
// restricted anything: whole rows go). Everything else is returned unchanged.
QString adaptDialect(const QString& sql);

}  // namespace tv
