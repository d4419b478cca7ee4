// SPDX-License-Identifier: GPL-3.0-or-later
#include "untChangePass.h"

#include "MaskedEdit.h"

#include "MessageBoxes.h"
#include "UntMySoap.h"
#include "untDm.h"
#include "untProcess.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace lw {

TfrmChangePass::TfrmChangePass(QWidget *parent) : QDialog(parent), m_soap(std::make_unique<TMySoap>())
{
    setObjectName(QStringLiteral("frmChangePass"));
    setWindowTitle(QStringLiteral("密码修改"));
    setFixedSize(272, 201);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    edtOld = NewMaskedEdit(this, "edtOld", 20);
    edtNew1 = NewMaskedEdit(this, "edtNew1", 20);
    edtNew2 = NewMaskedEdit(this, "edtNew2", 20);
    bbtnOK = new QPushButton(QStringLiteral("确定"), this);
    bbtnOK->setObjectName(QStringLiteral("bbtnOK"));
    bbtnOK->setDefault(true);
    bbtnCancel = new QPushButton(QStringLiteral("取消"), this);
    bbtnCancel->setObjectName(QStringLiteral("bbtnCancel"));

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("原 密 码："), this), 0, 0);
    grid->addWidget(edtOld, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("新 密 码："), this), 1, 0);
    grid->addWidget(edtNew1, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("确认密码："), this), 2, 0);
    grid->addWidget(edtNew2, 2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(bbtnOK);
    buttons->addWidget(bbtnCancel);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(bbtnOK, &QPushButton::clicked, this, &TfrmChangePass::bbtnOKClick);
    connect(bbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
    edtOld->setFocus();
}

TfrmChangePass::~TfrmChangePass() = default;

void TfrmChangePass::bbtnOKClick()
{
    const QString oldPassword = edtOld->text().trimmed();
    const QString newPassword = edtNew1->text().trimmed();
    if (oldPassword.isEmpty()) {
        ErrorBox(QStringLiteral("原密码不能为空！"));
        edtOld->setFocus();
        return;
    }
    if (newPassword.isEmpty()) {
        ErrorBox(QStringLiteral("新密码不能为空！"));
        edtNew1->setFocus();
        return;
    }
    if (newPassword != edtNew2->text().trimmed()) {
        ErrorBox(QStringLiteral("新密码与确认密码不一致！"));
        edtNew1->clear();
        edtNew2->clear();
        edtNew1->setFocus();
        return;
    }

    ProgressScope progress(QStringLiteral("正在连接Web服务器。。。"));
    QString result;
    m_soap->CheckConnection(QString(), result);
    if (result != QLatin1String("1")) {
        ErrorBox(QStringLiteral("无法连接到指定的Web服务器，请稍后再试！"));
        return;
    }
    AdoQuery &q = dm()->adoQry1;
    q.select(QStringLiteral("select * from enpbas"));
    if (q.IsEmpty())
        InfoBox(QStringLiteral("请先设置企业信息!"));
    else
        dm()->TaxCode = q.text(QStringLiteral("swglm"));

    m_soap->ChangePassword(dm()->TaxCode, oldPassword, newPassword, result);
    if (result == QLatin1String("1")) {
        InfoBox(QStringLiteral("恭喜,密码修改成功！"));
        accept();
    } else {
        ErrorBox(QStringLiteral("密码修改错误!"));
    }
}

} // namespace lw
