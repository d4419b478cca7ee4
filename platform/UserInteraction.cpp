// SPDX-License-Identifier: GPL-3.0-or-later
#include "UserInteraction.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

namespace lw {

namespace {
UserInteraction *g_replacement = nullptr;
}

UserInteraction &UserInteraction::current()
{
    static DesktopInteraction desktop;
    return g_replacement ? *g_replacement : desktop;
}

void UserInteraction::install(UserInteraction *replacement)
{
    g_replacement = replacement;
}

int DesktopInteraction::message(MsgIcon icon, const QString &caption, const QString &text, MsgButtons buttons)
{
    QMessageBox box(QApplication::activeWindow());
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(caption);
    box.setText(text);
    switch (icon) {
    case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
    case MsgIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
    case MsgIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgIcon::None: break;
    }
    // Chinese captions as the Windows message box shows them on a Chinese system.
    auto add = [&box](QMessageBox::StandardButton b, const QString &label) {
        box.addButton(b)->setText(label);
    };
    switch (buttons) {
    case MsgButtons::Ok:
        add(QMessageBox::Ok, QStringLiteral("确定"));
        break;
    case MsgButtons::YesNo:
        add(QMessageBox::Yes, QStringLiteral("是(&Y)"));
        add(QMessageBox::No, QStringLiteral("否(&N)"));
        break;
    case MsgButtons::YesNoDefaultNo:
        add(QMessageBox::Yes, QStringLiteral("是(&Y)"));
        add(QMessageBox::No, QStringLiteral("否(&N)"));
        box.setDefaultButton(QMessageBox::No);
        box.setEscapeButton(QMessageBox::No);
        break;
    case MsgButtons::YesNoCancel:
        add(QMessageBox::Yes, QStringLiteral("是(&Y)"));
        add(QMessageBox::No, QStringLiteral("否(&N)"));
        add(QMessageBox::Cancel, QStringLiteral("取消"));
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    box.exec();
    auto *clicked = box.clickedButton();
    switch (box.standardButton(clicked)) {
    case QMessageBox::Yes: return IdYes;
    case QMessageBox::No: return IdNo;
    case QMessageBox::Cancel: return IdCancel;
    default: break;
    }
    // The close box of a Yes/No/Cancel box counts as Cancel; of an OK box as OK.
    if (buttons == MsgButtons::YesNoCancel)
        return IdCancel;
    if (buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoDefaultNo)
        return IdNo;
    return IdOk;
}

QString DesktopInteraction::saveFileName(const QString &caption, const QString &suggestedName, const QString &filter)
{
    // A bare name opens in the user's documents folder, not wherever the program was started.
    QString start = suggestedName;
    if (QFileInfo(suggestedName).isRelative())
        start = QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)).filePath(suggestedName);
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, start, filter);
}

QString DesktopInteraction::openFileName(const QString &caption, const QString &filter)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, QString(), filter);
}

bool DesktopInteraction::openUrl(const QUrl &url)
{
    // The shell runs a program it is handed; desktop services on Linux would only show it.
    if (url.isLocalFile()) {
        const QFileInfo file(url.toLocalFile());
        const QString suffix = file.suffix().toLower();
        if (file.isFile() && file.isExecutable() && (suffix.isEmpty() || suffix == QLatin1String("exe")))
            return QProcess::startDetached(file.absoluteFilePath(), {}, file.absolutePath());
    }
    return QDesktopServices::openUrl(url);
}

} // namespace lw
