// SPDX-License-Identifier: GPL-3.0-or-later
// The checks run when the main window is first shown: spreadsheet control registration, the
// program names the upgrade relies on, the marker file, the upgrade check, and the question
// about incomplete enterprise data.
#pragma once

#include <QString>

#include <functional>

namespace lw {

class TfrmMain;

// Runs the start-up sequence once; the main window is brought to its home panel unless the
// run ends early.
void RunStartupSequence(TfrmMain *main);

// Opens the enterprise and investor window modally; set by the window that provides it.
// Does nothing until then.
void SetEnterpriseWindowOpener(std::function<void()> opener);

// Loads AppPath/cell/fileName and calls its DllRegisterServer; false when the library cannot be
// loaded, lacks the entry or the entry reports an error.
bool RegisterCellControl(const QString &fileName);
// Registers the spreadsheet control when its type-library key is empty; false when that
// registration failed.
bool CheckCellRegistration();
// Records the installation directory in the marker file; raises std::runtime_error on failure.
void WriteMarkerFile();
// Fetches update.ini, shows its notice, opens its address and hands over to the upgrade
// program when a newer version exists; a failure is reported and the start goes on.
void CheckUpgrade();
// Versions as the upgrade check compares them; false when text is not a finite number.
bool ParseVersion(const QString &text, double &version);

// Whether the sequence asked the application to end (a wrong program name, an upgrade).
bool TerminateRequested();
// Milliseconds the upgrade description may take to arrive; tests shorten it.
void SetUpgradeTimeout(int milliseconds);

} // namespace lw
