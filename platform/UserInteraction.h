// SPDX-License-Identifier: GPL-3.0-or-later
// Every prompt, save dialog and shell open of the program goes through this seam, so that tests
// can answer in turn and record what was shown.
#pragma once

#include <QString>
#include <QUrl>

namespace lw {

enum class MsgIcon { None, Question, Error, Information, Warning };
// YesNoDefaultNo: a question whose Return (or close box) must not start what it asks about.
enum class MsgButtons { Ok, YesNo, YesNoCancel, YesNoDefaultNo };

// Windows button identifiers, which callers compare against.
enum MsgResult { IdOk = 1, IdCancel = 2, IdYes = 6, IdNo = 7 };

class UserInteraction
{
public:
    virtual ~UserInteraction() = default;

    // Application-modal message box; returns one of MsgResult.
    virtual int message(MsgIcon icon, const QString &caption, const QString &text, MsgButtons buttons) = 0;
    // Save dialog; empty when the user cancels. filter is in Qt's form, "Excel(*.xlsx)".
    virtual QString saveFileName(const QString &caption, const QString &suggestedName, const QString &filter) = 0;
    // Open dialog for an existing file; empty when the user cancels.
    virtual QString openFileName(const QString &caption, const QString &filter) = 0;
    // Opens a file or address with the desktop's default action; the outcome is advisory.
    virtual bool openUrl(const QUrl &url) = 0;

    // The interaction in force: the desktop one unless a test installed another.
    static UserInteraction &current();
    // Installs a replacement (not owned); nullptr restores the desktop one.
    static void install(UserInteraction *replacement);
};

// The desktop implementation with QMessageBox, QFileDialog and QDesktopServices.
class DesktopInteraction : public UserInteraction
{
public:
    int message(MsgIcon icon, const QString &caption, const QString &text, MsgButtons buttons) override;
    QString saveFileName(const QString &caption, const QString &suggestedName, const QString &filter) override;
    QString openFileName(const QString &caption, const QString &filter) override;
    bool openUrl(const QUrl &url) override;
};

} // namespace lw
