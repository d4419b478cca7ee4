// SPDX-License-Identifier: GPL-3.0-or-later
// Test stand-in for the user-interaction seam: answers prompts in turn and records them.
#pragma once

#include "UserInteraction.h"

#include <QList>
#include <QStringList>
#include <QUrl>

namespace lw::test {

struct Shown
{
    MsgIcon icon;
    QString caption;
    QString text;
    MsgButtons buttons;
};

class ScriptedInteraction : public UserInteraction
{
public:
    // Installs itself for its lifetime.
    ScriptedInteraction();
    ~ScriptedInteraction() override;

    // Queue answers for the next message boxes (IdYes, IdNo, ...). A message box with no queued
    // answer is answered with OK (or No) and recorded as unexpected when strict.
    void answer(int result) { m_answers << result; }
    void answerFileName(const QString &name) { m_fileNames << name; }
    void setStrict(bool strict) { m_strict = strict; }

    QList<Shown> shown;
    QList<QUrl> opened;
    QStringList saveDialogs;
    QStringList openDialogs;
    QStringList suggestedNames; // the file name each save dialog proposed
    QStringList unexpected;

    QStringList texts() const;
    void clear();

    int message(MsgIcon icon, const QString &caption, const QString &text, MsgButtons buttons) override;
    QString saveFileName(const QString &caption, const QString &suggestedName, const QString &filter) override;
    // Open dialogs take their answers from the same queue as save dialogs.
    QString openFileName(const QString &caption, const QString &filter) override;
    bool openUrl(const QUrl &url) override;

private:
    QList<int> m_answers;
    QStringList m_fileNames;
    bool m_strict = false;
};

} // namespace lw::test
