// SPDX-License-Identifier: GPL-3.0-or-later
#include "untStartup.h"

#include "FileBytes.h"
#include "IniFile.h"
#include "MessageBoxes.h"
#include "NumberFormat.h"
#include "Paths.h"
#include "Registry.h"
#include "Shell.h"
#include "UserInteraction.h"
#include "untDm.h"
#include "untMain.h"
#include "untProcess.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <cmath>
#include <memory>
#include <stdexcept>

namespace lw {

namespace {
std::function<void()> g_enterpriseWindow;
bool g_terminateRequested = false;
int g_upgradeTimeoutMs = 20000;
// update.ini is a few lines; a server that keeps sending must not fill memory and disk.
constexpr qint64 kMaxUpdateIniBytes = 1 << 20;

QString appPath()
{
    return dm() ? dm()->AppPath : Paths::appPath();
}

void RequestTerminate()
{
    g_terminateRequested = true;
}

// Posts the quit when the sequence ends, never earlier: quit() does nothing unless the
// application's own loop runs, and a message box of a later step would otherwise swallow it
// (the first show happens before that loop starts).
struct QuitWhenRequested
{
    ~QuitWhenRequested()
    {
        if (g_terminateRequested && QCoreApplication::instance())
            QMetaObject::invokeMethod(QCoreApplication::instance(), &QCoreApplication::quit, Qt::QueuedConnection);
    }
};

bool IsWebAddress(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty() && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}

// One GET into memory; raises on any failure (no network, HTTP error status, time-out).
QByteArray HttpGet(const QString &address)
{
    const QUrl url(address);
    if (!IsWebAddress(url))
        throw std::runtime_error("no usable upgrade address");
    QNetworkAccessManager http;
    QNetworkRequest request(url);
    request.setTransferTimeout(g_upgradeTimeoutMs);
    std::unique_ptr<QNetworkReply> reply(http.get(request));
    QEventLoop loop;
    QObject::connect(reply.get(), &QNetworkReply::finished, &loop, &QEventLoop::quit);
    bool tooLarge = false;
    QObject::connect(reply.get(), &QNetworkReply::downloadProgress, &loop, [&](qint64 received, qint64) {
        if (received > kMaxUpdateIniBytes && !tooLarge) {
            tooLarge = true;
            reply->abort();
        }
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    guard.start(g_upgradeTimeoutMs + 1000);
    if (!reply->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (!reply->isFinished()) {
        reply->abort();
        throw std::runtime_error("upgrade check timed out");
    }
    if (tooLarge)
        throw std::runtime_error("upgrade description too large");
    if (reply->error() != QNetworkReply::NoError)
        throw std::runtime_error(reply->errorString().toStdString());
    const QByteArray body = reply->readAll();
    if (body.size() > kMaxUpdateIniBytes)
        throw std::runtime_error("upgrade description too large");
    return body;
}

bool AskAboutIncompleteEnterprise()
{
    AdoQuery &q = dm()->ADOQuery1;
    q.select(QStringLiteral("select * from psn where sbqxr_dm ='' or sbqxr_dm is null"));
    return !q.IsEmpty();
}
} // namespace

void SetEnterpriseWindowOpener(std::function<void()> opener)
{
    g_enterpriseWindow = std::move(opener);
}

bool TerminateRequested()
{
    return g_terminateRequested;
}

void SetUpgradeTimeout(int milliseconds)
{
    g_upgradeTimeoutMs = milliseconds;
}

bool RegisterCellControl(const QString &fileName)
{
    return Shell::callLibraryEntry(appPath() + QStringLiteral("cell/") + fileName, "DllRegisterServer")
           == Shell::EntryResult::Called;
}

bool CheckCellRegistration()
{
    try {
        if (!Registry::readDefault(Registry::cellTypeLibKey()).isEmpty())
            return true;
        return RegisterCellControl(LibraryFileName(QStringLiteral("CellCtrl5")));
    } catch (...) {
        return false;
    }
}

void WriteMarkerFile()
{
    const QString path = MarkerFilePath();
    if (QFile::exists(path) && !QFile::remove(path))
        throw std::runtime_error(QStringLiteral("无法删除文件“%1”").arg(path).toStdString());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error(QStringLiteral("无法创建文件“%1”：%2").arg(path, file.errorString()).toStdString());
    const QByteArray line = appPath().toLocal8Bit() + "\r\n";
    if (file.write(line) != line.size() || !file.flush())
        throw std::runtime_error(QStringLiteral("无法写入文件“%1”：%2").arg(path, file.errorString()).toStdString());
}

bool ParseVersion(const QString &text, double &version)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    version = v;
    return true;
}

void CheckUpgrade()
{
    const QString path = appPath();
    ShowProgress(QStringLiteral("正在检测自动升级................."));
    try {
        const QString address = IniFile(path + QStringLiteral("Audit.cfg")).readString(QStringLiteral("http"), QStringLiteral("url1"));
        HideProgress();
        const QByteArray body = HttpGet(address);
        WriteFileBytes(path + QStringLiteral("update.ini"), body);

        if (!dm())
            throw std::runtime_error("no data module");
        AdoQuery &q = dm()->ADOQuery1;
        q.select(QStringLiteral("select * from wa_version"));
        if (q.IsEmpty())
            throw std::runtime_error("no installed version");
        double installed = 0;
        if (!ParseVersion(q.text(QStringLiteral("version")), installed))
            throw std::runtime_error("installed version is not a number");

        const IniFile update(path + QStringLiteral("update.ini"));
        double newest = 0;
        if (!ParseVersion(update.readString(QStringLiteral("version"), QStringLiteral("ver"), FormatGeneral(installed)), newest))
            throw std::runtime_error("ver is not a number");
        const QString hint = update.readString(QStringLiteral("memo"), QStringLiteral("hint"));
        const QString web = update.readString(QStringLiteral("memo"), QStringLiteral("web"));

        if (!hint.isEmpty())
            InfoBox(hint);
        // A downloaded file must not make us run or open anything local.
        if (!web.isEmpty() && IsWebAddress(QUrl(web)))
            UserInteraction::current().openUrl(QUrl(web));
        if (newest > installed) {
            InfoBox(QStringLiteral("发现新版本，准备升级！"));
            UserInteraction::current().openUrl(QUrl::fromLocalFile(path + ProgramFileName(QStringLiteral("upgrade"))));
            RequestTerminate();
        }
    } catch (const std::exception &) {
        InfoBox(QStringLiteral("检测自动升级失败,请检测网络环境!"));
    }
    HideProgress();
}

void RunStartupSequence(TfrmMain *main)
{
    g_terminateRequested = false;
    QuitWhenRequested quitAtEnd;
    const QString path = appPath();

    if (!CheckCellRegistration())
        ErrorBox(QStringLiteral("表格控件注册失败!"));

    if (!QFile::exists(path + ProgramFileName(QStringLiteral("客户端软件")))) {
        InfoBox(QStringLiteral("因自动更新需要，执行文件名需为“客户端软件.exe”，不可改为其他名字，请改回！"));
        RequestTerminate();
        return;
    }
    if (!QFile::exists(path + ProgramFileName(QStringLiteral("upgrade")))) {
        InfoBox(QStringLiteral("因自动更新需要，自动更新程序名字需为“upgrade.exe”，不可改为其他名字，请改回！"));
        RequestTerminate();
        return;
    }

    try {
        WriteMarkerFile();
    } catch (const std::exception &e) {
        // The rest of the sequence needs the marker; the program stays open.
        ShowUnhandledError(QString::fromUtf8(e.what()));
        return;
    }

    CheckUpgrade();
    main->showPanel(0);

    if (dm() && dm()->connected() && AskAboutIncompleteEnterprise()
        && AskBox(QStringLiteral("为了申报信息准确，请重新下载企业信息！"), 2) == IdYes && g_enterpriseWindow)
        g_enterpriseWindow();
}

} // namespace lw
