// Qt's own texts (file dialogs, context menus, standard buttons) in Japanese,
// whatever language the system speaks.
#pragma once

namespace tv {

// Loads Qt's Japanese catalogue into the running application, once; false
// when it is not installed (the texts then stay English).
bool installQtTranslations();

}  // namespace tv
