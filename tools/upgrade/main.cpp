// SPDX-License-Identifier: GPL-3.0-or-later
// The upgrade program the client hands over to when the bureau offers a newer version. The real
// installer comes from the bureau; this one tells the user which version to install and where
// to find it, as update.ini beside it describes.
#include "IniFile.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QUrl>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("upgrade"));
    const QString dir = QCoreApplication::applicationDirPath() + QLatin1Char('/');
    const lw::IniFile update(dir + QStringLiteral("update.ini"));
    const QString version = update.readString(QStringLiteral("version"), QStringLiteral("ver"));
    const QString web = update.readString(QStringLiteral("memo"), QStringLiteral("web"));

    QString text = version.isEmpty() ? QStringLiteral("税务局已发布客户端软件的新版本。")
                                     : QStringLiteral("税务局已发布客户端软件的新版本 %1。").arg(version);
    text += QStringLiteral("\n请安装新版本后重新启动“客户端软件”。");
    const QUrl url(web);
    if (url.isValid() && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")))
        text += QStringLiteral("\n下载地址：%1").arg(url.toString());
    QMessageBox box(QMessageBox::Information, QStringLiteral("自动升级"), text, QMessageBox::Ok);
    box.exec();
    return 0;
}
