#include "core/appinfo.h"

namespace tv {

QString versionCardText() {
  return QStringLiteral("Talvik's Version ") + versionText() +
         QStringLiteral("\r\n\r\nProduced by Halden\r\n") + kMakerUrl;
}

QString versionMessageText() {
  return QStringLiteral("Talvik's Ver ") + versionText() + QStringLiteral("\r\nProduced by Halden\r\n\r\n") +
         QStringLiteral("ご意見、ご要望、バグ報告はこちらまで\r\n") + kMakerUrl +
         QStringLiteral(
             "\r\n\r\n現在取り扱い説明書がありません、\r\n気合と直感で使ってみてください。。m(_ _)m");
}

}  // namespace tv
