#include "output/tokens.h"

namespace tv {

QString tokenQuery() {
  return QStringLiteral("SELECT  tbl_TokenMst.NameN,") + QStringLiteral(" tbl_TokenMst.Color,") +
         QStringLiteral(" tbl_TokenMst.TextN,") +
         QStringLiteral(" tbl_TokenMst.CAttack, tbl_TokenMst.CDefence") +
         QStringLiteral(" FROM tbl_TokenMst") + QStringLiteral(" ORDER BY tbl_TokenMst.NameN");
}

std::optional<TokenChoice> ChooseToken(Database& db, int index) {
  if (index < 0) return std::nullopt;
  auto rs = db.openRecordset(tokenQuery(), RecordsetType::Snapshot, dbForwardOnly);
  rs.move(index);
  if (rs.eof()) return std::nullopt;

  // Null columns read as empty text; a token without power and toughness has "/".
  TokenChoice choice;
  CurrentToken& token = choice.token;
  token.NameN = rs.text(u"NameN");
  token.Color = rs.text(u"Color");
  token.TextN = rs.text(u"TextN");
  token.PowerToughness = rs.text(u"CAttack") + u'/' + rs.text(u"CDefence");
  const QString crlf = QStringLiteral("\r\n");
  choice.text = token.NameN + crlf + crlf + QStringLiteral("色 (") + token.Color + u')' + crlf + crlf +
                token.TextN + crlf + crlf + u'[' + token.PowerToughness + u']' + crlf;
  showable(choice.text);
  return choice;
}

}  // namespace tv
