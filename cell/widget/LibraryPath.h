// SPDX-License-Identifier: GPL-3.0-or-later
// The file of the shared library that holds a given address, for the registration entries.
#pragma once

#include <QString>

namespace lw {

QString libraryPathOf(const void *address);

} // namespace lw
