// SPDX-License-Identifier: GPL-3.0-or-later
// The spreadsheet control the declaration windows embed: a workbook shown with sheet tabs,
// reached through the operations and events below.
#pragma once

#include <QWidget>

#include <memory>

class QLineEdit;
class QTabBar;

namespace lw {

class GridView;
class UserInteraction;
class Workbook;

class Q_DECL_EXPORT TCell : public QWidget
{
    Q_OBJECT

public:
    explicit TCell(QWidget *parent = nullptr);
    ~TCell() override;

    int OpenWorkbook(const QString &path, const QString &unused);
    QString ReadCellText(int col, int row, int sheet);
    double ReadCellNumber(int col, int row, int sheet);
    void WriteCellText(int col, int row, int sheet, const QString &text);
    void WriteCellNumber(int col, int row, int sheet, double value);
    int ReadCellMark(int col, int row, int sheet);
    void WriteCellMark(int col, int row, int sheet, int mark);
    int ActiveSheetIndex();
    void RecalculateWorkbook();
    void ClearWorkbook();
    int ExportToExcel();
    void CommitPendingEdit();
    bool SetUiLanguage(int lcid);

    // The prompt seam for the save dialog and messages (not owned); without one the
    // desktop dialogs are used.
    void setInteraction(UserInteraction *ui) { m_ui = ui; }

    Workbook &workbook() { return *m_book; }
    int sheetCount() const;
    void setActiveSheet(int sheet);
    int currentCol() const;
    int currentRow() const;
    void setCurrentCell(int col, int row);
    QString lastError() const { return m_error; }

    // In-cell editing, driven by the grid and usable by tests.
    bool isEditing() const { return m_editor != nullptr; }
    QLineEdit *editor() const { return m_editor; }
    // Opens the editor on the current cell; replace starts with initial text, otherwise with
    // the cell's content. False when the cell refuses input.
    bool beginEdit(const QString &initial, bool replace);
    void commitEdit();
    void cancelEdit();
    // Keeps an open editor over its cell while the grid scrolls.
    void placeEditor();
    // The text the grid draws for a cell of the shown sheet: a number too wide for its cell
    // shows as "###…" filling the width, as spreadsheet programs do.
    QString shownText(int col, int row) const;

signals:
    void OnAllowEditCell(lw::TCell *sender, int col, int row, int &approve);
    void OnEditFinish(lw::TCell *sender, QString &text, int &approve);
    void OnSheetChanged(lw::TCell *sender, int oldSheet, int newSheet);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void rebuildTabs();
    void tabChanged(int index);
    void showMessage(const QString &text);
    void storeInput(int col, int row, int sheet, const QString &text);
    // True (after telling the user) when the entry is text and the cell shows numbers.
    bool refuseEntry(const QString &text);

    std::unique_ptr<Workbook> m_book;
    GridView *m_grid;
    QTabBar *m_tabs;
    QLineEdit *m_editor = nullptr;
    int m_editCol = 0, m_editRow = 0, m_editSheet = 0;
    bool m_refusing = false; // a refusal message is up: focus changes do not commit
    int m_activeSheet = 0;
    bool m_updatingTabs = false;
    UserInteraction *m_ui = nullptr;
    QString m_error;
    int m_language = 2052;
};

} // namespace lw
