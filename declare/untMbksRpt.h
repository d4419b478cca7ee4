// SPDX-License-Identifier: GPL-3.0-or-later
// The loss carry-forward ledger of the audit-based annual form: five years of losses and how
// they were made up, kept per enterprise and annual period.
#pragma once

#include <QDialog>

namespace lw {

class TCell;

class TfrmMbksRpt : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmMbksRpt(QWidget *parent = nullptr);

    // Keys set by the opener before showing.
    QString TaxCode;
    QString StartDate;
    QString EndDate;
    // False once a cell edit was finished, whether saved or not.
    bool Saved = true;

    TCell *Cell1 = nullptr;

    void FormShow();
    void TeSpBtnSetupClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString keyCondition() const;
    bool m_shown = false;
};

} // namespace lw
