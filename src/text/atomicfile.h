// Every file the program writes goes through here, so that a failure never
// leaves a half-written or emptied file behind; and the files it opens are
// read here with a bound. Reasons are Japanese, for the user.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace tv {

// Writes the file whole or not at all: a temporary file beside it, every
// write, the flush to disk and the close checked, then renamed over the
// target (a link is followed; an existing file keeps its permissions). In
// a folder that refuses new files, an existing writable file is written in
// place instead, its old contents put back if that fails. On failure the
// reason goes to `error`.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error);

// A plain file's first `limit` + 1 bytes at most, so that a longer file
// shows as such; nothing, and the reason in `error`, when it cannot be read.
// A FIFO or a device is refused unread.
std::optional<QByteArray> readFileAtMost(const QString& path, qint64 limit, QString* error);

// A system error (errno) as the user reads it: the common ones in Japanese.
QString systemErrorText(int errnum);

}  // namespace tv
