// SPDX-License-Identifier: GPL-3.0-or-later
// The password window: changes the password with which the enterprise logs on to the bureau's
// service. The password lives only on the server.
#pragma once

#include <QDialog>

#include <memory>

class QLineEdit;
class QPushButton;

namespace lw {

class TMySoap;

class TfrmChangePass : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmChangePass(QWidget *parent = nullptr);
    ~TfrmChangePass() override;

    void bbtnOKClick();

private:
    QLineEdit *edtOld = nullptr;
    QLineEdit *edtNew1 = nullptr;
    QLineEdit *edtNew2 = nullptr;
    QPushButton *bbtnOK = nullptr;
    QPushButton *bbtnCancel = nullptr;
    std::unique_ptr<TMySoap> m_soap;
};

} // namespace lw
