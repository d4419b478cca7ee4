// SPDX-License-Identifier: GPL-3.0-or-later
// The main window: a left column choosing one of two work areas of large icons, and the menu.
// Closing it ends the process at once; its first showing runs the start-up checks.
#pragma once

#include <QMainWindow>

#include <functional>

class QLabel;
class QStackedWidget;

namespace lw {

class ClickLabel;

class TfrmMain : public QMainWindow
{
    Q_OBJECT
public:
    explicit TfrmMain(QWidget *parent = nullptr);

    // Brings a work panel to the front: 0 home (pl0), 2 records (pl2), 4 declarations (pl4).
    void showPanel(int panel);
    int currentPanel() const { return m_panel; }

    // Left column.
    void imgHeadClick();
    void Img_1Click();
    void Img_4Click();

    // Menu.
    void NSysInitClick();
    void NBackupClick();
    void NRestoreClick();
    void NChangePswClick();
    void NExitClick();
    void N1Click();
    void NAboutClick();

    // Records panel.
    void Image3Click();
    void Image1Click();
    void Image4Click();

    // True when no investor has local changes that were not uploaded.
    static bool PartnersUploaded();
    // Opens the declaration window of a report kind (1 to 5) after the pre-check; false when the
    // pre-check refused it.
    bool OpenDeclaration(int kind);

    // What closing the window does: end the process at once (tests replace it).
    using ProcessExit = std::function<void(int)>;
    static void setProcessExit(ProcessExit exit);

signals:
    // The windows opened from the panels live in libraries above this one; the program wires
    // these to them.
    void declarationRequested(int kind);
    void enterpriseWindowRequested();
    void partnershipTablesRequested(int tableKind, const QString &caption);
    void filingRecordRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildTitle();
    void buildLeftColumn();
    void buildPanels();
    void buildMenu();
    QWidget *buildIconPanel(const QString &name, const QList<std::tuple<QString, QString, QString, std::function<void()>>> &entries);
    void loadNavPictures(const QString &upper, const QString &lower);

    QStackedWidget *m_panels = nullptr;
    ClickLabel *m_img1 = nullptr;
    ClickLabel *m_img4 = nullptr;
    int m_panel = 0;
    bool m_shown = false;
};

} // namespace lw
