// SPDX-License-Identifier: GPL-3.0-or-later
#include "untMain.h"

#include "untStartup.h"

namespace lw {

TfrmMain::TfrmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Ledgerwell"));
    resize(977, 653);
}

void TfrmMain::showPanel(int panel)
{
    m_panel = panel;
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        RunStartupSequence(this);
    }
}

} // namespace lw
