// SPDX-License-Identifier: GPL-3.0-or-later
#include "MessageBoxes.h"

#include "UserInteraction.h"

#include <QCoreApplication>

#include <exception>

namespace lw {

int AskBox(const QString &text, int kind)
{
    const MsgButtons buttons = kind == 2 ? MsgButtons::YesNo
                             : kind == 3 ? MsgButtons::YesNoCancel
                                         : MsgButtons::Ok;
    return UserInteraction::current().message(MsgIcon::Question, QStringLiteral("提示"), text, buttons);
}

int AskBoxDefaultNo(const QString &text)
{
    return UserInteraction::current().message(MsgIcon::Question, QStringLiteral("提示"), text, MsgButtons::YesNoDefaultNo);
}

void ErrorBox(const QString &text)
{
    UserInteraction::current().message(MsgIcon::Error, QStringLiteral("错误"), text, MsgButtons::Ok);
}

void InfoBox(const QString &text)
{
    UserInteraction::current().message(MsgIcon::Information, QStringLiteral("提示"), text, MsgButtons::Ok);
}

void WarnBox(const QString &text)
{
    UserInteraction::current().message(MsgIcon::Warning, QStringLiteral("警告"), text, MsgButtons::Ok);
}

void ShowUnhandledError(const QString &text)
{
    UserInteraction::current().message(MsgIcon::Error, QCoreApplication::applicationName(), text, MsgButtons::Ok);
}

void PlainMessage(const QString &text)
{
    UserInteraction::current().message(MsgIcon::None, QString(), text, MsgButtons::Ok);
}

} // namespace lw

namespace lw {
void RunGuarded(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &e) {
        ShowUnhandledError(QString::fromUtf8(e.what()));
    }
}
} // namespace lw
