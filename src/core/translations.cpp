#include "core/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace tv {

bool installQtTranslations() {
  static const bool installed = [] {
    auto* translator = new QTranslator(QCoreApplication::instance());
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    if (!translator->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
      delete translator;
      return false;
    }
    // Qt's dialogs write sizes and dates in the default locale.
    QLocale::setDefault(japanese);
    return QCoreApplication::installTranslator(translator);
  }();
  return installed;
}

}  // namespace tv
