// SPDX-License-Identifier: GPL-3.0-or-later
#include "untAbout.h"

#include <QLabel>
#include <QPushButton>

namespace lw {

TfrmAbout::TfrmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("关于"));
    setWindowFlags(Qt::Dialog | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(399, 287);
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    QFont f(QStringLiteral("宋体"));
    f.setPixelSize(12);
    setFont(f);

    auto *imgTop = new QLabel(this);
    imgTop->setObjectName(QStringLiteral("imgTop"));
    imgTop->setGeometry(0, 0, 399, 67);
    imgTop->setPixmap(QPixmap(QStringLiteral(":/images/about_top.png")));
    imgTop->setScaledContents(true);

    auto line = [this](const QString &name, const QString &text, int y, bool bold = false) {
        auto *label = new QLabel(text, this);
        label->setObjectName(name);
        label->setGeometry(40, y, 330, 22);
        if (bold) {
            QFont b = label->font();
            b.setBold(true);
            b.setPixelSize(14);
            label->setFont(b);
        }
        return label;
    };
    line(QStringLiteral("lblName"), QStringLiteral("个人所得税生产经营所得申报客户端"), 88, true);
    line(QStringLiteral("lblVersion"), QStringLiteral("版　　本：") + version(), 124);
    line(QStringLiteral("lblDate"), QStringLiteral("发布日期：") + releaseDate(), 150);
    line(QStringLiteral("lblUse"), QStringLiteral("适用于个人独资企业、合伙企业投资者的个人所得税申报。"), 176);
    line(QStringLiteral("lblLicence"), QStringLiteral("本软件按 GNU 通用公共许可证第 3 版或更高版本发布。"), 202);

    auto *btnOK = new QPushButton(QStringLiteral("确定"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(162, 244, 75, 25);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace lw
