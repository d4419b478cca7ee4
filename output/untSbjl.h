// SPDX-License-Identifier: GPL-3.0-or-later
// "申报记录": every declaration upload attempt and electronic data file, newest first, with a
// filter by report kind and an export.
#pragma once

#include <QDialog>

class QComboBox;
class QTableWidget;

namespace lw {

class TfrmSbjl : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSbjl(QWidget *parent = nullptr);

    // Fills the grid for the kind chosen in the filter (0: all kinds).
    void RefreshTable();
    void TeSpBtnExportClick();

    QComboBox *cbKind = nullptr;
    QTableWidget *DBGridEh1 = nullptr;
};

} // namespace lw
