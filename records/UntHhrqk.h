// SPDX-License-Identifier: GPL-3.0-or-later
// The partnership tables window: one class for the settlement of partners who leave (kind 1,
// thjs), the share transfers (kind 2, hhfezrns) and the members of a partner that is itself a
// partnership (kind 3, hhqymx of one partner). Each table is uploaded to the bureau as a document.
#pragma once

#include <QDialog>
#include <QMap>
#include <QVariantMap>

#include <functional>

class QTableWidget;
class QToolButton;

namespace lw {

class Tfrmhhrqk : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrmhhrqk(QWidget *parent = nullptr);

    int TableKind = 1;
    QString PartnerCode;

    // The server login in upload mode: true with the entered code and password when the user
    // logged in, false when cancelled. The application installs the login dialog; without one
    // every upload stops at this step.
    using UploadLogin = std::function<bool(QString &code, QString &password)>;
    static void setUploadLogin(UploadLogin login);

    // Kind 3 as the investor detail dialog opens it: the partner's members, "新增" in place of
    // "选择人员&A".
    void PrepareMemberList(const QString &partnerCode);

    void FormShow();
    void RefreshTable();

    // Toolbar.
    void TeSpBtnSelectClick();
    void TeSpBtnNewClick();
    void TeSpBtnModifyClick();
    void TeSpBtnDeleteClick();
    void TeSpBtnDeleteAllClick();
    void TeSpBtnUploadClick();
    void TeSpBtnExportClick();

    QToolButton *button(const char *name) const;
    void setButtonVisible(const char *name, bool visible);
    QTableWidget *grid() const;
    int rowCount() const { return int(m_rows.size()); }
    void setCurrentRow(int row);
    QVariantMap currentRow() const;

    // Fills a partnership upload document template for the kind from rows of its table.
    static void FillDocument(int kind, const QString &templatePath, const QList<QVariantMap> &rows, const QString &savePath);

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct GridColumn { const char *column; const char *title; };
    static const QList<GridColumn> &gridColumns(int kind);
    QString tableName() const;
    QString datasetStatement() const;
    QTableWidget *makeGrid(int kind);
    // What a grid and the export show for a column: coded columns by name, numbers as numbers.
    QVariant shownValue(const QString &column, const QVariant &stored) const;

    QTableWidget *DBGridEh1 = nullptr; // thjs
    QTableWidget *DBGridEh2 = nullptr; // hhfezrns
    QTableWidget *DBGridEh3 = nullptr; // hhqymx
    QList<QVariantMap> m_rows;
    QMap<QString, QMap<QString, QString>> m_codeNames; // column -> code -> name
    bool m_shown = false;
};

} // namespace lw
