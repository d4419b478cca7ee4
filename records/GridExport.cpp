// SPDX-License-Identifier: GPL-3.0-or-later
#include "GridExport.h"

#include "UserInteraction.h"

#include <QFileInfo>
#include <QTableWidget>

#include <clocale>
#include <stdexcept>
#include <xlsxwriter.h>

namespace lw {

QString ExportPathFor(const QString &chosen)
{
    const QFileInfo info(chosen);
    const QString suffix = info.suffix().toLower();
    if (suffix == QLatin1String("xlsx"))
        return chosen;
    // The content is xlsx whatever was typed: Excel refuses an ".xls" holding it.
    if (suffix == QLatin1String("xls"))
        return chosen.left(chosen.size() - 3) + QStringLiteral("xlsx");
    return chosen + QStringLiteral(".xlsx");
}

QString AskExportPath(const QString &suggestedName)
{
    const QString path = UserInteraction::current().saveFileName(QStringLiteral("导出"), suggestedName, QStringLiteral("Excel(*.xlsx)"));
    return path.isEmpty() ? QString() : ExportPathFor(path);
}

bool ExportGridWithDialog(const QTableWidget *grid, const QString &suggestedName, const QStringList &formats)
{
    const QString path = AskExportPath(suggestedName);
    if (path.isEmpty())
        return false;
    ExportGridToXlsx(grid, path, formats);
    return true;
}

void ExportGridToXlsx(const QTableWidget *grid, const QString &path, const QStringList &formats)
{
    QStringList titles;
    QStringList visibleFormats;
    QList<QVariantList> rows(grid->rowCount());
    for (int c = 0; c < grid->columnCount(); ++c) {
        if (grid->isColumnHidden(c))
            continue;
        const QTableWidgetItem *head = grid->horizontalHeaderItem(c);
        titles << (head ? head->text() : QString());
        visibleFormats << formats.value(c);
        for (int r = 0; r < grid->rowCount(); ++r) {
            const QTableWidgetItem *item = grid->item(r, c);
            QVariant value;
            if (item) {
                value = item->data(kExportValueRole);
                if (!value.isValid() && !item->text().isEmpty())
                    value = item->text();
            }
            rows[r] << value;
        }
    }
    ExportGridXlsx(path, titles, rows, visibleFormats);
}

void ExportGridXlsx(const QString &path, const QStringList &titles, const QList<QVariantList> &rows, const QStringList &formats)
{
    // The writer formats numbers with the C library, which must not use a ',' decimal point.
    setlocale(LC_NUMERIC, "C");
    const QByteArray file = path.toLocal8Bit();
    lxw_workbook *book = workbook_new(file.constData());
    if (!book)
        throw std::runtime_error(QStringLiteral("无法创建文件：%1").arg(path).toStdString());
    lxw_worksheet *sheet = workbook_add_worksheet(book, nullptr);
    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);
    QList<lxw_format *> numberFormats;
    for (int c = 0; c < titles.size(); ++c) {
        worksheet_write_string(sheet, 0, lxw_col_t(c), titles.at(c).toUtf8().constData(), bold);
        lxw_format *format = nullptr;
        if (!formats.value(c).isEmpty()) {
            format = workbook_add_format(book);
            format_set_num_format(format, formats.at(c).toUtf8().constData());
        }
        numberFormats << format;
        // Wide enough for the title; the writer cannot measure text.
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), qMax(10.0, 2.2 * titles.at(c).size() + 2), nullptr);
    }
    for (int r = 0; r < rows.size(); ++r) {
        const QVariantList &row = rows.at(r);
        for (int c = 0; c < row.size(); ++c) {
            const QVariant &v = row.at(c);
            if (v.isNull())
                continue;
            const lxw_row_t xr = lxw_row_t(r + 1);
            if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Int || v.typeId() == QMetaType::LongLong)
                worksheet_write_number(sheet, xr, lxw_col_t(c), v.toDouble(), numberFormats.value(c));
            else
                worksheet_write_string(sheet, xr, lxw_col_t(c), v.toString().toUtf8().constData(), nullptr);
        }
    }
    const lxw_error err = workbook_close(book);
    if (err != LXW_NO_ERROR)
        throw std::runtime_error(QStringLiteral("无法写入文件：%1（%2）").arg(path, QString::fromUtf8(lxw_strerror(err))).toStdString());
}

} // namespace lw
