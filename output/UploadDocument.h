// SPDX-License-Identifier: GPL-3.0-or-later
// The declaration upload document of each report kind: its template, name, key and loaded-check
// cells, and the filling of the template from the form by position.
#pragma once

#include "XmlDoc.h"

#include <QString>

namespace lw {

class TCell;

struct UploadDocumentKind
{
    QString name;     // "DATA_YJBB": template rpt/<name>.xml, files <name>_<key>.xml
    int loadedCol = 0; // sheet 0 cell the load always fills
    int loadedRow = 0;
    int keyCol = 0;    // sheet 0 cell holding the document key
    int keyRow = 0;
};

// Kind 4 follows the collection method: audit-based gives DATA_CZZS, deemed DATA_HDZS.
UploadDocumentKind UploadDocumentOf(int reportKind, bool auditBased);

struct FilingDates
{
    QString qsrq;       // the period of the date fields, "yyyy-mm-dd"; keys the working rows
    QString zzrq;
    QString filingDate; // today, "yyyy-mm-dd"
};

// Loads the template and fills it from the form; raises XmlError when the template lacks a
// position the kind fills. The audit-based annual form's enterprise lines come from its stored
// working rows of the period, not from the control.
XmlDoc BuildUploadDocument(const QString &templatePath, TCell &cell, int reportKind, bool auditBased,
                           const FilingDates &dates);

} // namespace lw
