// SPDX-License-Identifier: GPL-3.0-or-later
// The declaration window: one window for every report kind, holding the kind's form in the
// spreadsheet control, the tax period and the toolbar that loads, saves, deletes, exports and
// sends the form.
#pragma once

#include "ReportKinds.h"

#include <QDialog>

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace lw {

class TCell;

class TfrmRpt : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmRpt(QWidget *parent = nullptr);

    int ReportKind = 1;
    bool Saved = true;
    int EditCol = 0;
    int EditRow = 0;
    // The declaration-deadline code read when shown with kind 1; empty for other kinds.
    QString KeptSbqxrDm;

    TCell *CellInfo = nullptr;

    // Runs once when the window is first shown; public so tests can prepare a window unshown.
    void FormShow();

    // Toolbar and strip.
    void TeSpBtnInportClick();
    void TeSpBtnModifyClick();
    void ToolButton3Click();
    void TeSpBtnSetupClick();
    void TeSpBtnSaveClick();
    // untRptPrint.cpp: the filled form on paper or as a PDF.
    void TeSpBtnPrintClick();
    void TeSpBtnPdfClick();
    QString proposedPdfName() const;
    void TeSpBtnExitClick();
    void Button1Click();
    void Button2Click();
    // "生成文件&U" and "上传电子数据": the filing procedures live in a library above this one,
    // which installs them; without them the buttons do nothing.
    void ToolButton1Click();
    void ToolButton2Click();
    using FilingProcedure = std::function<void(TfrmRpt &)>;
    static void SetFilingProcedures(FilingProcedure upload, FilingProcedure files);

    // The period strings from the date fields; false (after a message) when a field holds no date.
    bool periodStrings(QString &qsrq, QString &zzrq) const;
    void setPeriod(const QString &qsrq, const QString &zzrq);
    // The kind's tables, template and help for the collection method in force.
    ReportKindInfo kindInfo() const;
    bool auditAnnual() const;

    // Writes the control's values into the working rows of the period in the date fields.
    void SaveValues();
    void ShowStoredValues();
    // The ledger-button rule.
    void updateLedgerButton();
    // True when the form's loaded-check cell holds something.
    bool formLoaded() const;
    // Status-bar notes (kinds 1–4 and 1, 2, 4): the regime the forms compute against the period
    // in the date fields, and the investors' shares on the form.
    void updateRegimeNotice();
    void updateShareNotice();
    // The last accepted upload of the form for the period on screen, from the filing record.
    void updateFilingNotice();

    QToolButton *button(const char *name) const;
    void setButtonVisible(const char *name, bool visible);
    bool buttonVisible(const char *name) const;

public:
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildToolbar();
    void buildPeriodStrip();
    void openTemplate();
    void markNotApplicable(int col, int row);
    void CellInfoAllowEditCell(int col, int row, int &approve);
    void CellInfoEditFinish(QString &text, int &approve);
    void CellInfoSheetChanged(int oldSheet, int newSheet);
    // Loading, by kind.
    void fillEnterprise(const QString &qsrq, const QString &zzrq);
    void fillInvestors();
    void fillPartnerships(const QString &qsrq, const QString &zzrq);
    void fillLiquidation(const QString &qsrq, const QString &zzrq);

    QLabel *m_periodLabel = nullptr;
    QLineEdit *qsrqDateEdit = nullptr;
    QLineEdit *zzrqDateEdit = nullptr;
    QPushButton *Button1 = nullptr;
    QPushButton *Button2 = nullptr;
    QLabel *m_regimeNotice = nullptr;
    QLabel *m_shareNotice = nullptr;
    QLabel *m_filingNotice = nullptr;
    bool m_shown = false;
};

} // namespace lw
