// SPDX-License-Identifier: GPL-3.0-or-later
#include "untChangePass.h"

namespace lw {

TfrmChangePass::TfrmChangePass(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmChangePass"));
    setWindowTitle(QStringLiteral("密码修改"));
}

} // namespace lw
