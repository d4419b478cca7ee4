// SPDX-License-Identifier: GPL-3.0-or-later
#include "GridExport.h"

#include "UserInteraction.h"

#include <QFileInfo>
#include <QTableWidget>

#include <clocale>
#include <stdexcept>
#include <xlsxwriter.h>

namespace lw {

bool ExportGridWithDialog(const QTableWidget *grid, const QString &suggestedName)
{
    QString path = UserInteraction::current().saveFileName(QStringLiteral("导出"), suggestedName, QStringLiteral("Excel(*.xlsx)"));
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".xlsx");
    ExportGridToXlsx(grid, path);
    return true;
}

void ExportGridToXlsx(const QTableWidget *grid, const QString &path)
{
    std::setlocale(LC_NUMERIC, "C"); // libxlsxwriter prints numbers with the C library
    const QByteArray file = path.toLocal8Bit();
    lxw_workbook *book = workbook_new(file.constData());
    if (!book)
        throw std::runtime_error(QStringLiteral("无法创建文件 %1").arg(path).toStdString());
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);
    lxw_col_t out = 0;
    for (int c = 0; c < grid->columnCount(); ++c) {
        if (grid->isColumnHidden(c))
            continue;
        const QTableWidgetItem *head = grid->horizontalHeaderItem(c);
        worksheet_write_string(sheet, 0, out, (head ? head->text() : QString()).toUtf8().constData(), bold);
        for (int r = 0; r < grid->rowCount(); ++r) {
            const QTableWidgetItem *item = grid->item(r, c);
            if (item && !item->text().isEmpty())
                worksheet_write_string(sheet, lxw_row_t(r + 1), out, item->text().toUtf8().constData(), nullptr);
        }
        ++out;
    }
    const lxw_error err = workbook_close(book);
    if (err != LXW_NO_ERROR)
        throw std::runtime_error(QStringLiteral("导出到 %1 失败：%2").arg(path, QString::fromUtf8(lxw_strerror(err))).toStdString());
}

} // namespace lw
