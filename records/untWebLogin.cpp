// SPDX-License-Identifier: GPL-3.0-or-later
#include "untWebLogin.h"

#include "MaskedEdit.h"

#include "ExchangeDoc.h"
#include "FileBytes.h"
#include "MessageBoxes.h"
#include "UntMySoap.h"
#include "XmlDoc.h"
#include "untDm.h"
#include "untProcess.h"

#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

namespace lw {

namespace {
int g_waitMs = 10000;
} // namespace

void TfrmWebLogin::setWaitMilliseconds(int ms)
{
    g_waitMs = ms;
}

int TfrmWebLogin::waitMilliseconds()
{
    return g_waitMs;
}

TfrmWebLogin::TfrmWebLogin(QWidget *parent) : QDialog(parent), m_soap(std::make_unique<TMySoap>())
{
    setObjectName(QStringLiteral("frmWebLogin"));
    setWindowTitle(QStringLiteral("登录服务器"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMinimizeButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setAttribute(Qt::WA_DeleteOnClose, false); // callers own it and read the fields after OK
    setMinimumWidth(300);

    edtSwglm = new QLineEdit(this);
    edtSwglm->setObjectName(QStringLiteral("edtSwglm"));
    edtPassword = NewMaskedEdit(this, "edtPassword");
    bbtnOK = new QPushButton(QStringLiteral("确定"), this);
    bbtnOK->setObjectName(QStringLiteral("bbtnOK"));
    bbtnOK->setDefault(true);
    bbtnCancel = new QPushButton(QStringLiteral("取消"), this);
    bbtnCancel->setObjectName(QStringLiteral("bbtnCancel"));

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("税务管理码"), this), 0, 0);
    grid->addWidget(edtSwglm, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("登录密码"), this), 1, 0);
    grid->addWidget(edtPassword, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bbtnOK);
    buttons->addWidget(bbtnCancel);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10000);

    connect(bbtnOK, &QPushButton::clicked, this, [this] { RunGuarded([this] { bbtnOKClick(); }); });
    connect(bbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Timer1, &QTimer::timeout, this, &TfrmWebLogin::Timer1Timer);
}

TfrmWebLogin::~TfrmWebLogin()
{
    if (m_waiting)
        HideProgress();
}

QString TfrmWebLogin::code() const
{
    return edtSwglm->text();
}

QString TfrmWebLogin::password() const
{
    // The password change sends its passwords without surrounding blanks, so a password is only
    // ever set that way; the login removes them too, or a password set with blanks around it
    // could never log on again.
    return edtPassword->text().trimmed();
}

void TfrmWebLogin::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    RunGuarded([this] { FormShow(); });
}

void TfrmWebLogin::FormShow()
{
    AdoQuery &q = dm()->adoQry1;
    q.select(QStringLiteral("select swglm from enpbas"));
    m_inserting = q.IsEmpty();
    m_storedCode = m_inserting ? QString() : q.text(QStringLiteral("swglm"));
    edtSwglm->setText(m_storedCode);
    edtSwglm->setFocus();
}

void TfrmWebLogin::saveEnpbas()
{
    const QString code = edtSwglm->text();
    if (m_inserting) {
        dm()->adoQry1.exec(QStringLiteral("insert into enpbas (swglm) values (%1)").arg(QuotedStr(code)));
        m_inserting = false;
    } else if (code != m_storedCode) {
        dm()->adoQry1.exec(QStringLiteral("update enpbas set swglm=%1").arg(QuotedStr(code)));
    }
    m_storedCode = code;
}

void TfrmWebLogin::bbtnOKClick()
{
    const QString code = edtSwglm->text();
    // Without a code there is no enterprise to ask for, and the request file would have no name.
    if (code.trimmed().isEmpty()) {
        InfoBox(QStringLiteral("税务管理码不能为空！"));
        edtSwglm->setFocus();
        return;
    }
    // The code names files under tmp/ and xml/: refuse it before anything is written.
    if (!IsSafeTaxCode(code)) {
        InfoBox(UnsafeTaxCodeMessage());
        edtSwglm->setFocus();
        return;
    }
    Timer1->stop();
    if (m_waiting) { // OK again while waiting: start over
        m_waiting = false;
        HideProgress();
    }
    saveEnpbas();
    dm()->TaxCode = code;

    ShowProgress(QStringLiteral("正在尝试连接Web服务器。。。"));
    QString result;
    try {
        m_soap->CheckConnection(QString(), result);
    } catch (...) {
        result.clear();
    }
    if (result != QLatin1String("1"))
        ErrorBox(QStringLiteral("无法连接到指定的Web服务器，请稍后再试！"));
    HideProgress();
    if (result != QLatin1String("1"))
        return;

    ShowProgress(QStringLiteral("正在验证密码，请稍后。。。"));
    try {
        const QString request = ExchangeRequestPath(code);
        QByteArray bytes;
        try {
            WriteLoginRequest(request, code, password());
            bytes = ReadFileBytes(request);
        } catch (...) {
            QFile::remove(request); // it carries the password
            throw;
        }
        QFile::remove(request);
        m_soap->UploadFile(ExchangeFileName(code), bytes, result);
    } catch (...) {
        HideProgress();
        throw;
    }
    if (result == QLatin1String("2")) {
        HideProgress();
        InfoBox(QStringLiteral("上传企业信息失败，请稍后再试！"));
        return;
    }
    if (LoginMode == 1) {
        m_waiting = true;
        Timer1->start(g_waitMs);
        return;
    }
    HideProgress();
    accept();
}

void TfrmWebLogin::Timer1Timer()
{
    // The timer stays off while a tick runs, so a message box it shows is never stacked by the
    // next tick; after an unexpected error it is armed again and the fetch is retried.
    Timer1->stop();
    m_tickSettled = false;
    RunGuarded([this] { fetchAnswer(); });
    if (!m_tickSettled && m_waiting)
        Timer1->start(g_waitMs);
}

void TfrmWebLogin::fetchAnswer()
{
    const QString code = edtSwglm->text();
    auto stop = [this](const QString &message) {
        m_tickSettled = true;
        m_waiting = false;
        HideProgress();
        InfoBox(message);
    };
    if (!IsSafeTaxCode(code)) {
        stop(UnsafeTaxCodeMessage());
        return;
    }
    const QString answerPath = ExchangeAnswerPath(code);
    if (QFile::exists(answerPath))
        QFile::remove(answerPath);

    if (m_soap->DownloadFile(code).isEmpty()) {
        stop(QStringLiteral("下载企业信息失败，请稍后再试！"));
        return;
    }
    WriteFileBytes(answerPath, m_soap->DownloadFile(code));

    const XmlDoc doc = XmlDoc::fromFile(answerPath);
    const XmlNode root = doc.child(1);
    const QString verdict = root.child(1).text();
    const QString version = root.child(0).text();
    if (version != QLatin1String("1.1")) {
        stop(QStringLiteral("软件版本低，请到税务局网站上面下载最新软件！"));
        return;
    }
    const QString serverName = ExchangeFileName(code);
    if (verdict != QLatin1String("t")) {
        m_tickSettled = true;
        m_waiting = false;
        HideProgress();
        DeleteServerFile(serverName);
        InfoBox(QStringLiteral("税务管理码或登录密码输入不正确，请检查！"));
        return;
    }
    if (DeleteServerFile(serverName) != QLatin1String("1")) {
        stop(QStringLiteral("处理企业信息失败，请稍后再试！"));
        return;
    }
    m_tickSettled = true;
    m_waiting = false;
    HideProgress();
    accept();
}

QString TfrmWebLogin::DeleteServerFile(const QString &name)
{
    QString result;
    m_soap->DeleteDownloadFile(name, result);
    return result;
}

void TfrmWebLogin::reject()
{
    Timer1->stop();
    if (m_waiting) {
        m_waiting = false;
        HideProgress();
    }
    QDialog::reject();
}

} // namespace lw
