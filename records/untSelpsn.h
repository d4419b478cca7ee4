// SPDX-License-Identifier: GPL-3.0-or-later
// The investor picker: a list of the enterprise's investors, either to tick any number of them
// (mode 2) or to choose one (any other mode).
#pragma once

#include <QDialog>
#include <QVariantMap>

class QCheckBox;
class QTableWidget;

namespace lw {

class TfrmSelpsn : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSelpsn(QWidget *parent = nullptr);

    int PickMode = 0;
    void setTickColumnVisible(bool visible);
    void setSelectAllVisible(bool visible);

    // The row the caller reads after OK: every column of the list query.
    QVariantMap currentRow() const;
    int rowCount() const;
    void setCurrentRow(int row);
    // Ticks or unticks one listed investor and writes it to its stored row.
    void setTicked(int row, bool ticked);
    bool isTicked(int row) const;

    void FormShow();
    void bbtnOKClick();
    void cbAllClick();
    void cbNoneClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString listStatement() const;
    void openList();
    void tickAll(bool ticked);

    QTableWidget *DBGridEh1 = nullptr;
    QCheckBox *cbAll = nullptr;
    QCheckBox *cbNone = nullptr;
    QList<QVariantMap> m_rows;
    QMap<QString, QString> m_natureNames;
    bool m_shown = false;
    bool m_filling = false;
};

} // namespace lw
