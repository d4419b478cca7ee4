// SPDX-License-Identifier: GPL-3.0-or-later
#include "untProcess.h"

#include "MessageBoxes.h"
#include "Paths.h"

#include <QApplication>
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

    // It only tells the user to wait: the dialog behind keeps the focus and its buttons.
    setAttribute(Qt::WA_ShowWithoutActivating);
    if (auto *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QPoint ProgressPosition(const QRect &owner, const QSize &size, const QRect &screen)
{
    if (!owner.isValid())
        return screen.center() - QRect(QPoint(), size).center();
    const int gap = 8;
    const int centredX = qBound(screen.left(), owner.center().x() - size.width() / 2, qMax(screen.left(), screen.right() - size.width() + 1));
    const int centredY = qBound(screen.top(), owner.center().y() - size.height() / 2, qMax(screen.top(), screen.bottom() - size.height() + 1));
    const QPoint candidates[] = {{centredX, owner.bottom() + 1 + gap},
                                 {centredX, owner.top() - gap - size.height()},
                                 {owner.right() + 1 + gap, centredY},
                                 {owner.left() - gap - size.width(), centredY}};
    for (const QPoint &p : candidates) {
        const QRect r(p, size);
        if (screen.contains(r) && !r.intersects(owner))
            return p;
    }
    return screen.topLeft();
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
    // The window that runs the operation; the progress window must not sit over its buttons.
    QWidget *owner = QApplication::activeModalWidget();
    if (!owner || owner == g_process)
        owner = QApplication::activeWindow();
    QScreen *screen = owner && owner != g_process ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QRect ownerFrame = owner && owner != g_process && owner->isVisible() ? owner->frameGeometry() : QRect();
        g_process->move(ProgressPosition(ownerFrame, g_process->frameGeometry().size(), screen->availableGeometry()));
    }
    g_process->show();
    g_process->setMessage(message);
}

void HideProgress()
{
    if (g_process)
        g_process->hide();
}

} // namespace lw
