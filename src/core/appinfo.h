#pragma once

#include <QString>

#include "core/version.h"

namespace tv {

inline const QString kAppTitle = QStringLiteral("Talvik's");
// Where users reach the maker; shown in the version texts.
inline const QString kMakerUrl = QStringLiteral("https://talviks.example.org/");

// Major, ".", then minor and revision run together: 2.2.1 gives "2.21".
inline QString versionText(int major = kVersionMajor, int minor = kVersionMinor, int patch = kVersionPatch) {
  return QString::number(major) + u'.' + QString::number(minor) + QString::number(patch);
}

// The detail box's text until a card is chosen.
QString versionCardText();

// The text of the version message box.
QString versionMessageText();

}  // namespace tv
