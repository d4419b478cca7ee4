// SPDX-License-Identifier: GPL-3.0-or-later
// Connects the declaration window's two filing buttons to the procedures of this library.
#pragma once

namespace lw {

void InstallFilingProcedures();

} // namespace lw
