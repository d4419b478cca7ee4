// SPDX-License-Identifier: GPL-3.0-or-later
// The checks run when the main window is first shown (filled in with the bureau service).
#pragma once

namespace lw {

class TfrmMain;

// Runs the start-up sequence once; the main window is brought to its home panel.
void RunStartupSequence(TfrmMain *main);

} // namespace lw
