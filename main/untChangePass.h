// SPDX-License-Identifier: GPL-3.0-or-later
// The password window (filled in with the bureau service).
#pragma once

#include <QDialog>

namespace lw {

class TfrmChangePass : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmChangePass(QWidget *parent = nullptr);
};

} // namespace lw
