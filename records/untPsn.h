// SPDX-License-Identifier: GPL-3.0-or-later
// The enterprise and its investors: shown, downloaded from and uploaded to the bureau.
#pragma once
#include <QDialog>
#include <QMap>
#include <functional>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableWidget;

namespace lw {

class TfrmPsn : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmPsn(QWidget *parent = nullptr);
    ~TfrmPsn() override;

    // Opens the investor detail window on the hhrtzqk row with this id; true when it closed with
    // OK. Unset, modifying does nothing.
    static std::function<bool(QWidget *parent, int id)> &OpenPsnDetail();

    void FormShow();
    void RefreshTables();
    void FillCodeLists();

    void TeSpBtnDownloadClick();
    void TeSpBtnModifyClick();
    void TeSpBtnUploadClick();
    void TeSpBtnExportClick();
    void PageControl1Change(int index);

    // Imports the bureau's answer at path into psn and hhrtzqk; a malformed answer changes
    // nothing and is reported. True when imported.
    bool ImportAnswer(const QString &path);

    // Saves a pending change of the subclass list; false (with the message) while the enterprise
    // has no subclass, which keeps the window on its first page.
    bool CheckSubclass();

    void reject() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void savePendingEdit();
    QString coded(const QString &column, const QString &code) const;

    QTabWidget *PageControl1 = nullptr;
    QPushButton *TeSpBtnDownload = nullptr;
    QPushButton *TeSpBtnModify = nullptr;
    QPushButton *TeSpBtnUpload = nullptr;
    QPushButton *TeSpBtnExport = nullptr;
    QMap<QString, QLineEdit *> m_fields; // psn column -> read-only field
    QComboBox *cbZclxxl = nullptr;
    QTableWidget *DBGridEh1 = nullptr;
    QMap<QString, QMap<QString, QString>> m_codeLists; // column -> code -> name
    bool m_pendingEdit = false;
    bool m_shown = false;
};

} // namespace lw
