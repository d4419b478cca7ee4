// SPDX-License-Identifier: GPL-3.0-or-later
// Electronic data files of the quarterly and the audit-based annual form: up to three files of
// at most 20 investors each, every one sealed with the digest of the enterprise code and its own
// tax total.
#pragma once

#include "XmlDoc.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace lw {

class TCell;
class TfrmRpt;

struct ElectronicFileLayout
{
    bool annual = false;
    QString templateFile; // relative to AppPath
    QString formCode;
    QString proposedName; // followed by the enterprise code
    int firstRow = 0;     // investor rows of sheet 1
    int lastRow = 0;
    int sealColumn = 0;   // summed over the rows of a file for its seal
};

const ElectronicFileLayout &QuarterlyFileLayout();
const ElectronicFileLayout &AnnualFileLayout();

struct ElectronicFileHeader
{
    QString qsrq; // "yyyy-mm-dd", from the date fields
    QString zzrq;
    QString sbqxrDm;        // the quarterly file's deadline code
    bool auditBased = true; // the quarterly file carries taxable income only under audit-based collection
};

// One document per group of 20 rows that the investor count calls for and whose first row holds
// an investor; raises XmlError when the template lacks a position.
std::vector<XmlDoc> BuildElectronicFiles(const QString &templatePath, TCell &cell, const ElectronicFileLayout &layout,
                                         const ElectronicFileHeader &header, int investorCount);

// The names the files are saved under: chosen + ".xml" for one file, chosen + "(i).xml" for several.
QStringList ElectronicFileNames(const QString &chosen, int count);

// The electronic data file button of the declaration window.
void WriteElectronicFiles(TfrmRpt &window);

} // namespace lw
