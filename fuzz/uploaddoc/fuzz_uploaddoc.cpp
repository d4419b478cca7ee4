// SPDX-License-Identifier: GPL-3.0-or-later
// Any bytes as an upload-document or electronic-file template: filling it from a loaded form ends
// in a document or an XmlError, never a crash. The first byte picks the document.
#include "ElectronicFile.h"
#include "TCell.h"
#include "UploadDocument.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {
// Made once and kept to the end of the process: destroying the application after the fuzzer's
// exit handlers have run would touch Qt's own globals, already gone.
QApplication *g_app = nullptr;
lw::TCell *g_cell = nullptr;
QTemporaryDir *g_dir = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_uploaddoc";
    static char *argv[] = {name, nullptr};
    g_app = new QApplication(argc, argv);
    g_dir = new QTemporaryDir;
    g_cell = new lw::TCell;
    g_cell->OpenWorkbook(QStringLiteral(LW_SOURCE_DIR "/rpt/yjbb.xlsx"), QString());
    // A loaded form: a header and three investors with figures, one row with a blank code.
    g_cell->WriteCellText(5, 4, 0, QStringLiteral("440106700012345"));
    g_cell->WriteCellText(2, 2, 0, QStringLiteral("2011-01-01"));
    g_cell->WriteCellNumber(4, 8, 0, 400000);
    for (int r = 4; r <= 7; ++r) {
        g_cell->WriteCellText(1, r, 1, r == 6 ? QStringLiteral(" \t") : QStringLiteral("44010619780315%1").arg(r));
        g_cell->WriteCellNumber(4, r, 1, 25);
    }
    g_cell->RecalculateWorkbook();
    // Fonts and the like are set up once, before the first input, so they are not taken for leaks.
    QCoreApplication::processEvents();
    (void)lw::BuildElectronicFiles(QStringLiteral(LW_SOURCE_DIR "/rpt/CSJY_A.xml"), *g_cell, lw::QuarterlyFileLayout(),
                                   {QStringLiteral("2011-01-01"), QStringLiteral("2011-03-31"), QString(), true}, 4);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const QString path = g_dir->filePath(QStringLiteral("template.xml"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return 0;
        file.write(reinterpret_cast<const char *>(data + 1), qint64(size - 1));
    }
    const int pick = data[0] % 5;
    try {
        if (pick < 3) {
            const lw::FilingDates dates{QStringLiteral("2011-01-01"), QStringLiteral("2011-03-31"), QStringLiteral("2011-04-12")};
            (void)lw::BuildUploadDocument(path, *g_cell, pick + 1, false, dates).toBytes();
        } else {
            const lw::ElectronicFileHeader header{QStringLiteral("2011-01-01"), QStringLiteral("2011-03-31"), QStringLiteral("Q01_15"), true};
            const auto files = lw::BuildElectronicFiles(path, *g_cell, pick == 3 ? lw::QuarterlyFileLayout() : lw::AnnualFileLayout(),
                                                        header, 45);
            for (const lw::XmlDoc &doc : files)
                (void)doc.toBytes();
        }
    } catch (const lw::XmlError &) {
    }
    return 0;
}
