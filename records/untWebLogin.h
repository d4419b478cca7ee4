// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog that opens every exchange with the bureau: checks the service, sends the login
// request and, when downloading, waits for and checks the bureau's answer.
#pragma once
#include <QDialog>
#include <memory>

class QLineEdit;
class QPushButton;
class QTimer;

namespace lw {

class TMySoap;

class TfrmWebLogin : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmWebLogin(QWidget *parent = nullptr);
    ~TfrmWebLogin() override;

    // 1 download: wait for the answer and check it; 2 upload: close as soon as the request is sent.
    int LoginMode = 1;

    QString code() const;
    QString password() const;

    // The wait between sending the request and fetching the answer; tests set 0.
    static void setWaitMilliseconds(int ms);
    static int waitMilliseconds();

    void FormShow();
    void bbtnOKClick();
    void Timer1Timer();
    // Returns the service's answer text for discarding its copy ("1" on success).
    QString DeleteServerFile(const QString &name);

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    // One pass of the tick; false when it ended in a way that must not be retried.
    void fetchAnswer();
    void saveEnpbas();

    QLineEdit *edtSwglm = nullptr;
    QLineEdit *edtPassword = nullptr;
    QPushButton *bbtnOK = nullptr;
    QPushButton *bbtnCancel = nullptr;
    QTimer *Timer1 = nullptr;
    std::unique_ptr<TMySoap> m_soap;
    bool m_inserting = false;
    QString m_storedCode;
    bool m_waiting = false;   // request sent, progress window up, answer not yet checked
    bool m_tickSettled = false;
};

} // namespace lw
