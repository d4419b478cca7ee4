// SPDX-License-Identifier: GPL-3.0-or-later
#include "untMain.h"

#include "Backup.h"
#include "ClickLabel.h"
#include "MessageBoxes.h"
#include "Paths.h"
#include "UserInteraction.h"
#include "untAbout.h"
#include "untChangePass.h"
#include "untDm.h"
#include "untStartup.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <cstdlib>
#include <stdexcept>

// Outside any namespace, as the resource initialiser is a global function.
static void initResources()
{
    Q_INIT_RESOURCE(images); // the pictures live in a static library
}

namespace lw {

namespace {
TfrmMain::ProcessExit g_exit;

QFont captionFont()
{
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(12);
    f.setBold(true);
    return f;
}

QPixmap resourcePicture(const char *name)
{
    return QPixmap(QStringLiteral(":/images/") + QLatin1String(name));
}
} // namespace

TfrmMain::TfrmMain(QWidget *parent) : QMainWindow(parent)
{
    initResources();
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Ledgerwell"));
    resize(977, 653);
    if (auto *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    auto *central = new QWidget(this);
    auto *outer = new QVBoxLayout(central);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    setCentralWidget(central);

    buildTitle();
    buildLeftColumn();
    buildPanels();
    buildMenu();

    auto *StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    const int widths[] = {250, 180, 180};
    for (int i = 0; i < 3; ++i) {
        auto *section = new QLabel(i == 0 ? QStringLiteral("就绪") : QString(), StatusBar1);
        section->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        section->setFixedWidth(widths[i]);
        StatusBar1->addWidget(section);
    }
    setStatusBar(StatusBar1);
}

void TfrmMain::buildTitle()
{
    auto *pnlTitle = new QWidget(centralWidget());
    pnlTitle->setObjectName(QStringLiteral("pnlTitle"));
    pnlTitle->setFixedHeight(61);
    pnlTitle->setAttribute(Qt::WA_StyledBackground);
    pnlTitle->setStyleSheet(QStringLiteral("#pnlTitle { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #1F5FA8, stop:1 #123E73); }"));
    auto *row = new QHBoxLayout(pnlTitle);
    row->setContentsMargins(0, 0, 0, 0);
    auto *imgTop = new QLabel(pnlTitle);
    imgTop->setObjectName(QStringLiteral("imgTop"));
    imgTop->setPixmap(resourcePicture("title_left.png"));
    auto *img4 = new QLabel(pnlTitle);
    img4->setObjectName(QStringLiteral("img4"));
    img4->setPixmap(resourcePicture("title_right.png"));
    row->addWidget(imgTop);
    row->addStretch();
    row->addWidget(img4);
    static_cast<QVBoxLayout *>(centralWidget()->layout())->addWidget(pnlTitle);
}

void TfrmMain::buildLeftColumn()
{
    auto *body = new QWidget(centralWidget());
    body->setObjectName(QStringLiteral("body"));
    auto *row = new QHBoxLayout(body);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    static_cast<QVBoxLayout *>(centralWidget()->layout())->addWidget(body, 1);

    auto *plLeft = new QWidget(body);
    plLeft->setObjectName(QStringLiteral("plLeft"));
    plLeft->setFixedWidth(226);
    row->addWidget(plLeft);

    auto *imgOpreate = new QLabel(plLeft);
    imgOpreate->setObjectName(QStringLiteral("imgOpreate"));
    imgOpreate->setPixmap(resourcePicture("left_bg.png"));
    imgOpreate->setScaledContents(true);
    imgOpreate->setGeometry(0, 0, 226, 2000);

    auto *imgHead = new ClickLabel(plLeft);
    imgHead->setObjectName(QStringLiteral("imgHead"));
    imgHead->setPixmap(resourcePicture("head.png"));
    imgHead->setGeometry(0, 8, 226, 130);
    connect(imgHead, &ClickLabel::clicked, this, [this] { RunGuarded([this] { imgHeadClick(); }); });

    auto nav = [plLeft](const char *name, int y) {
        auto *label = new ClickLabel(plLeft);
        label->setObjectName(QLatin1String(name));
        label->setGeometry(24, y, 179, 39);
        return label;
    };
    m_img1 = nav("Img_1", 145);
    m_img4 = nav("Img_4", 183);
    nav("Img_2", 221)->hide();
    nav("Img_3", 259)->hide();
    m_img1->setPixmap(QPixmap(Paths::appPath() + QStringLiteral("jpg/1.jpg")));
    m_img4->setPixmap(QPixmap(Paths::appPath() + QStringLiteral("jpg/4.jpg")));
    connect(m_img1, &ClickLabel::clicked, this, [this] { RunGuarded([this] { Img_1Click(); }); });
    connect(m_img4, &ClickLabel::clicked, this, [this] { RunGuarded([this] { Img_4Click(); }); });
}

QWidget *TfrmMain::buildIconPanel(const QString &name,
                                  const QList<std::tuple<QString, QString, QString, std::function<void()>>> &entries)
{
    auto *panel = new QWidget(m_panels);
    panel->setObjectName(name);
    panel->setAutoFillBackground(true);
    QPalette pal = panel->palette();
    pal.setColor(QPalette::Window, Qt::white);
    panel->setPalette(pal);
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(40, 40, 40, 40);
    grid->setHorizontalSpacing(48);
    grid->setVerticalSpacing(36);
    int i = 0;
    for (const auto &[iconName, picture, caption, action] : entries) {
        auto *cell = new QWidget(panel);
        auto *col = new QVBoxLayout(cell);
        col->setSpacing(6);
        auto *icon = new ClickLabel(cell);
        icon->setObjectName(iconName);
        icon->setFixedSize(64, 64);
        icon->setPixmap(QPixmap(QStringLiteral(":/images/") + picture));
        auto *label = new ClickLabel(cell);
        label->setObjectName(QStringLiteral("lbl") + iconName);
        label->setText(caption);
        label->setFont(captionFont());
        label->setAlignment(Qt::AlignCenter);
        col->addWidget(icon, 0, Qt::AlignHCenter);
        col->addWidget(label, 0, Qt::AlignHCenter);
        const std::function<void()> handler = action; // structured bindings cannot be captured before C++20
        auto run = [handler] { RunGuarded(handler); };
        connect(icon, &ClickLabel::clicked, this, run);
        connect(label, &ClickLabel::clicked, this, run);
        grid->addWidget(cell, i / 3, i % 3, Qt::AlignTop | Qt::AlignHCenter);
        ++i;
    }
    grid->setRowStretch((i + 2) / 3, 1);
    grid->setColumnStretch(3, 1);
    return panel;
}

void TfrmMain::buildPanels()
{
    m_panels = new QStackedWidget(centralWidget());
    m_panels->setObjectName(QStringLiteral("workArea"));
    centralWidget()->findChild<QWidget *>(QStringLiteral("body"))->layout()->addWidget(m_panels);

    auto *pl0 = new QWidget(m_panels);
    pl0->setObjectName(QStringLiteral("pl0"));
    auto *homeLayout = new QVBoxLayout(pl0);
    homeLayout->setContentsMargins(0, 0, 0, 0);
    auto *Image10 = new QLabel(pl0);
    Image10->setObjectName(QStringLiteral("Image10"));
    Image10->setPixmap(resourcePicture("home.png"));
    Image10->setAlignment(Qt::AlignCenter);
    Image10->setAutoFillBackground(true);
    QPalette pal = Image10->palette();
    pal.setColor(QPalette::Window, Qt::white);
    Image10->setPalette(pal);
    homeLayout->addWidget(Image10);
    m_panels->addWidget(pl0);

    m_panels->addWidget(buildIconPanel(QStringLiteral("pl2"), {
        {QStringLiteral("Image3"), QStringLiteral("icon_enterprise.png"), QStringLiteral("企业信息"), [this] { Image3Click(); }},
        {QStringLiteral("Image1"), QStringLiteral("icon_withdraw.png"), QStringLiteral("退伙结算"), [this] { Image1Click(); }},
        {QStringLiteral("Image4"), QStringLiteral("icon_transfer.png"), QStringLiteral("合伙份额转让纳税情况"), [this] { Image4Click(); }},
    }));
    m_panels->addWidget(buildIconPanel(QStringLiteral("pl4"), {
        {QStringLiteral("Image35"), QStringLiteral("icon_quarter.png"), QStringLiteral("季度预缴"), [this] { OpenDeclaration(1); }},
        {QStringLiteral("img2"), QStringLiteral("icon_liquidation.png"), QStringLiteral("企业清算"), [this] { OpenDeclaration(2); }},
        {QStringLiteral("img3"), QStringLiteral("icon_consolidated.png"), QStringLiteral("汇总申报"), [this] { OpenDeclaration(3); }},
        {QStringLiteral("img1"), QStringLiteral("icon_annual.png"), QStringLiteral("年度汇缴"), [this] { OpenDeclaration(4); }},
        {QStringLiteral("Image2"), QStringLiteral("icon_partners.png"), QStringLiteral("合伙人为合伙企业明细"), [this] { OpenDeclaration(5); }},
        {QStringLiteral("Image5"), QStringLiteral("icon_record.png"), QStringLiteral("申报记录"), [this] { emit filingRecordRequested(); }},
    }));
}

void TfrmMain::buildMenu()
{
    auto *MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    auto *file = MainMenu1->addMenu(QStringLiteral("  文  件  "));
    auto *help = MainMenu1->addMenu(QStringLiteral("  帮  助  "));
    auto add = [this](QMenu *menu, const char *name, const QString &text, void (TfrmMain::*handler)()) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, [this, handler] { RunGuarded([this, handler] { (this->*handler)(); }); });
    };
    add(file, "NSysInit", QStringLiteral("系统初始化"), &TfrmMain::NSysInitClick);
    add(file, "NChangePsw", QStringLiteral("修改密码"), &TfrmMain::NChangePswClick);
    file->addSeparator();
    add(file, "NBackup", QStringLiteral("数据备份…"), &TfrmMain::NBackupClick);
    add(file, "NRestore", QStringLiteral("数据恢复…"), &TfrmMain::NRestoreClick);
    file->addSeparator();
    add(file, "NExit", QStringLiteral("退出系统"), &TfrmMain::NExitClick);
    add(help, "N1", QStringLiteral("帮助"), &TfrmMain::N1Click);
    add(help, "NAbout", QStringLiteral("关于系统"), &TfrmMain::NAboutClick);
}

void TfrmMain::showPanel(int panel)
{
    m_panel = panel;
    m_panels->setCurrentIndex(panel == 2 ? 1 : panel == 4 ? 2 : 0);
}

void TfrmMain::loadNavPictures(const QString &upper, const QString &lower)
{
    // The panel is already in front when a picture is missing; the error reaches the error box.
    for (auto [label, name] : {std::pair{m_img1, upper}, std::pair{m_img4, lower}}) {
        const QString path = Paths::appPath() + QStringLiteral("jpg/") + name;
        QPixmap picture;
        if (!QFileInfo(path).isFile() || !picture.load(path))
            throw std::runtime_error(QStringLiteral("无法打开图片文件“%1”。").arg(path).toStdString());
        label->setPixmap(picture);
    }
}

void TfrmMain::imgHeadClick()
{
    showPanel(0);
    loadNavPictures(QStringLiteral("1.jpg"), QStringLiteral("4.jpg"));
}

void TfrmMain::Img_1Click()
{
    showPanel(2);
    loadNavPictures(QStringLiteral("1-m.jpg"), QStringLiteral("4.jpg"));
}

void TfrmMain::Img_4Click()
{
    showPanel(4);
    loadNavPictures(QStringLiteral("1.jpg"), QStringLiteral("4-m.jpg"));
}

void TfrmMain::NSysInitClick()
{
    // Return or the close box must not empty every table.
    if (AskBoxDefaultNo(QStringLiteral("系统初始化会将软件中所有信息清除，你确定要进行系统初始化吗？")) != IdYes)
        return;
    // A copy that cannot be written stops here, before anything is deleted.
    WriteSafetyCopy(QStringLiteral("init"));
    static const char *const tables[] = {"enpbas", "psn", "hhrtzqk", "hhfezrns", "hhqymx", "thjs", "recal_hhqymx",
                                         "recal_cz", "recal_hd", "recal_hz", "recal_qs", "recal_yj", "wa_mbksmxsheet",
                                         "sbjl"};
    // All tables or none: a failure part way leaves every table as it was.
    DbTransaction transaction(dm()->adoConn);
    for (const char *table : tables)
        dm()->adoQry1.exec(QStringLiteral("delete from ") + QLatin1String(table));
    transaction.commit();
    InfoBox(QStringLiteral("系统初始化完毕！"));
}

void TfrmMain::NChangePswClick()
{
    TfrmChangePass frmChangePass(this);
    frmChangePass.exec();
}

void TfrmMain::NExitClick()
{
    if (AskBox(QStringLiteral("是否确认退出系统？"), 2) == IdYes)
        QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

void TfrmMain::N1Click()
{
    UserInteraction::current().openUrl(QUrl::fromLocalFile(Paths::appPath() + QStringLiteral("hlp/hlp.html")));
}

void TfrmMain::NAboutClick()
{
    TfrmAbout frmAbout(this);
    frmAbout.exec();
}

void TfrmMain::Image3Click()
{
    emit enterpriseWindowRequested();
}

void TfrmMain::Image1Click()
{
    emit partnershipTablesRequested(1, QStringLiteral("退伙结算表"));
}

void TfrmMain::Image4Click()
{
    emit partnershipTablesRequested(2, QStringLiteral("合伙份额转让纳税情况表"));
}

bool TfrmMain::PartnersUploaded()
{
    auto &q = dm()->ADOQuery1;
    q.select(QStringLiteral("select 1 from hhrtzqk where shbj='N'"));
    return q.IsEmpty();
}

bool TfrmMain::OpenDeclaration(int kind)
{
    if (!PartnersUploaded()) {
        InfoBox(QStringLiteral("为了确保申报信息准确，请检查企业信息准确，并上传企业信息之后，再进行填写申报表！"));
        return false;
    }
    emit declarationRequested(kind);
    return true;
}

void TfrmMain::setProcessExit(ProcessExit exit)
{
    g_exit = std::move(exit);
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    // Every statement has committed on its own, so nothing is lost by ending here.
    event->accept();
    if (g_exit)
        g_exit(0);
    else
        std::_Exit(0);
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        // Once the window is on screen, so the start-up messages do not stand over an empty desktop.
        QTimer::singleShot(0, this, [this] { RunGuarded([this] { RunStartupSequence(this); }); });
    }
}

} // namespace lw
