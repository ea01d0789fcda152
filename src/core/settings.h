// What the user's choices keep between runs (window size, options, recent
// decks): one INI file in the user's configuration folder, never beside the
// program, so that an installed program and a build folder behave alike.
#pragma once

#include <QSettings>
#include <QString>
#include <memory>

namespace tv {

// $XDG_CONFIG_HOME/talviks (~/.config/talviks when unset).
QString userConfigFolder();

// The settings file in that folder; each caller opens its own and QSettings
// keeps them in step. Keys are grouped by the part of the program that owns
// them ("window/…", "search/…", "output/…", "deck/…").
std::unique_ptr<QSettings> userSettings();

}  // namespace tv
