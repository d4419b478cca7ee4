// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScriptedInteraction.h"

namespace lw::test {

ScriptedInteraction::ScriptedInteraction()
{
    UserInteraction::install(this);
}

ScriptedInteraction::~ScriptedInteraction()
{
    UserInteraction::install(nullptr);
}

QStringList ScriptedInteraction::texts() const
{
    QStringList result;
    for (const Shown &s : shown)
        result << s.text;
    return result;
}

void ScriptedInteraction::clear()
{
    shown.clear();
    opened.clear();
    saveDialogs.clear();
    suggestedNames.clear();
    unexpected.clear();
    m_answers.clear();
    m_fileNames.clear();
}

int ScriptedInteraction::message(MsgIcon icon, const QString &caption, const QString &text, MsgButtons buttons)
{
    shown << Shown{icon, caption, text, buttons};
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    if (m_strict && buttons != MsgButtons::Ok)
        unexpected << text;
    return buttons == MsgButtons::Ok ? IdOk : IdNo;
}

QString ScriptedInteraction::saveFileName(const QString &caption, const QString &suggestedName, const QString &)
{
    saveDialogs << caption;
    suggestedNames << suggestedName;
    if (m_fileNames.isEmpty()) {
        unexpected << QStringLiteral("save dialog: ") + caption;
        return QString();
    }
    return m_fileNames.takeFirst();
}

QString ScriptedInteraction::openFileName(const QString &caption, const QString &)
{
    openDialogs << caption;
    if (m_fileNames.isEmpty()) {
        unexpected << QStringLiteral("open dialog: ") + caption;
        return QString();
    }
    return m_fileNames.takeFirst();
}

bool ScriptedInteraction::openUrl(const QUrl &url)
{
    opened << url;
    return true;
}

} // namespace lw::test
