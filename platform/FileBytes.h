// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

namespace lw {

// The whole file, read in blocks of 1024 bytes; throws std::runtime_error with the file's error
// text when it cannot be opened or read.
QByteArray ReadFileBytes(const QString &path);
// Writes the whole file at once (through a temporary, so a failure leaves the old file); throws
// std::runtime_error on failure.
void WriteFileBytes(const QString &path, const QByteArray &bytes);

} // namespace lw
