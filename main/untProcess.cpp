// SPDX-License-Identifier: GPL-3.0-or-later
#include "untProcess.h"

#include "MessageBoxes.h"
#include "Paths.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMovie>
#include <QScreen>

namespace lw {

namespace {
TProcess *g_process = nullptr;
const QColor kMoneyGreen(0xC0, 0xDC, 0xC0); // Delphi's clMoneyGreen
} // namespace

TProcess::TProcess(QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("TProcess"));
    setFixedSize(290, 85);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kMoneyGreen);
    setPalette(pal);

    Animate1 = new QLabel(this);
    Animate1->setObjectName(QStringLiteral("Animate1"));
    Animate1->setGeometry(90, 10, 119, 15);
    Animate1->setScaledContents(true);

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(0, 85 - 45, 290, 45);
    Label1->setAlignment(Qt::AlignCenter);

    const QString gif = Paths::appPath() + QStringLiteral("running.gif");
    m_movie = new QMovie(gif, QByteArray(), this);
    if (!QFileInfo(gif).isFile() || !m_movie->isValid()) {
        ShowUnhandledError(QStringLiteral("无法打开动画文件“%1”。").arg(gif));
    } else {
        Animate1->setMovie(m_movie);
        m_movie->start();
    }

    if (auto *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TProcess::setMessage(const QString &text)
{
    Label1->setText(text);
    Label1->repaint();
}

QString TProcess::message() const
{
    return Label1->text();
}

TProcess *TProcess::existing()
{
    return g_process;
}

void ShowProgress(const QString &message)
{
    if (!g_process)
        g_process = new TProcess;
    g_process->show();
    g_process->setMessage(message);
}

void HideProgress()
{
    if (g_process)
        g_process->hide();
}

} // namespace lw
