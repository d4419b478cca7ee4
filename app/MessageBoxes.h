// SPDX-License-Identifier: GPL-3.0-or-later
// The four message boxes every window uses, all through the user-interaction seam.
#pragma once

#include <QString>

namespace lw {

// Question box "提示": kind 2 Yes/No, kind 3 Yes/No/Cancel, any other kind OK.
// Returns the Windows identifier of the pressed button: Yes 6, No 7, Cancel 2, OK 1.
int AskBox(const QString &text, int kind);
// A Yes/No question whose default answer is No.
int AskBoxDefaultNo(const QString &text);
void ErrorBox(const QString &text);
void InfoBox(const QString &text);
void WarnBox(const QString &text);
// The application's standard error box for an error no handler caught.
void ShowUnhandledError(const QString &text);
// The plain dialog shown before the application has a title.
void PlainMessage(const QString &text);

} // namespace lw

#include <functional>

namespace lw {
// Runs an event handler; an error it raises ends it and is shown in the standard error box, as
// the application does for errors no handler caught.
void RunGuarded(const std::function<void()> &handler);
} // namespace lw
