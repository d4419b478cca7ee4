// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>

namespace lw {

class TfrmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TfrmMain(QWidget *parent = nullptr);

    // Brings a work panel to the front: 0 home, 2 records, 4 declarations.
    void showPanel(int panel);
    int currentPanel() const { return m_panel; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    int m_panel = 0;
    bool m_shown = false;
};

} // namespace lw
