#include "text/atomicfile.h"

#include <QSaveFile>

namespace tv {

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
  QSaveFile file(path);
  if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit()) return true;
  if (error) *error = file.errorString();
  file.cancelWriting();
  return false;
}

}  // namespace tv
