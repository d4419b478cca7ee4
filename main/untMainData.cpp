// SPDX-License-Identifier: GPL-3.0-or-later
// The 文件 menu's backup and restore of the whole database.
#include "untMain.h"

#include "Backup.h"
#include "Clock.h"
#include "MessageBoxes.h"
#include "UserInteraction.h"
#include "untDm.h"

#include <QApplication>
#include <QDialog>
#include <QFile>

namespace lw {

namespace {

const QString kCopyFilter = QStringLiteral("数据备份(*.sqlite);;所有文件(*)");

QString enterpriseCode()
{
    auto &q = dm()->ADOQuery1;
    q.select(QStringLiteral("select swglm from psn"));
    return q.IsEmpty() ? QString() : q.text(QStringLiteral("swglm"));
}

// Declaration and records windows are dialogs over the main window; the progress window is not.
bool otherWindowOpen(const QWidget *main)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != main && w->isVisible() && qobject_cast<QDialog *>(w))
            return true;
    }
    return false;
}

} // namespace

void TfrmMain::NBackupClick()
{
    const QString proposed = QStringLiteral("数据备份_%1_%2.sqlite")
                                 .arg(enterpriseCode(), Clock::now().toString(QStringLiteral("yyyyMMdd-HHmmss")));
    QString path = UserInteraction::current().saveFileName(QStringLiteral("数据备份"), proposed, kCopyFilter);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".sqlite"), Qt::CaseInsensitive))
        path += QStringLiteral(".sqlite");
    // Written beside and renamed, so an existing backup of that name survives a failed write.
    const QString beside = path + QStringLiteral(".part");
    QFile::remove(beside);
    WriteDatabaseCopy(beside);
    QFile::remove(path);
    if (!QFile::rename(beside, path)) {
        QFile::remove(beside);
        ErrorBox(QStringLiteral("数据备份失败：无法写入“%1”。").arg(path));
        return;
    }
    InfoBox(QStringLiteral("数据备份完成：%1").arg(path));
}

void TfrmMain::NRestoreClick()
{
    if (otherWindowOpen(this)) {
        WarnBox(QStringLiteral("请先关闭申报表、企业信息等窗口，再进行数据恢复！"));
        return;
    }
    const QString path = UserInteraction::current().openFileName(QStringLiteral("数据恢复"), kCopyFilter);
    if (path.isEmpty())
        return;
    const DatabaseCopyInfo info = CheckDatabaseCopy(path);
    if (!info.problem.isEmpty()) {
        ErrorBox(QStringLiteral("该文件不能用于数据恢复，数据未作任何改动。\n") + info.problem);
        return;
    }
    const QString question = QStringLiteral("将用备份替换软件中的全部数据：\n企业：%1（%2）\n备份时间：%3\n"
                                            "当前数据会先保存为安全副本。是否继续？")
                                 .arg(info.enterpriseName.isEmpty() ? QStringLiteral("无") : info.enterpriseName,
                                      info.enterpriseCode, info.written.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
    if (AskBoxDefaultNo(question) != IdYes)
        return;
    RestoreDatabase(path);
    InfoBox(QStringLiteral("数据恢复完成！"));
}

} // namespace lw
