// SPDX-License-Identifier: GPL-3.0-or-later
// The enterprise exchange document (DATA_RY_upload): the login request, the bureau's answer and
// the enterprise upload share one layout, filled and read by child position from the template.
#pragma once
#include <QList>
#include <QMap>
#include <QString>

namespace lw {

class XmlDoc;

// Only letters, digits, '-' and '_': a code becomes part of a file name under tmp/ and xml/.
bool IsSafeTaxCode(const QString &code);
// The message shown when a code is refused.
QString UnsafeTaxCodeMessage();

QString ExchangeFileName(const QString &code);       // "DATA_RY_upload_" + code + ".xml"
QString ExchangeTemplatePath();                     // AppPath + "rpt/DATA_RY_upload.xml"
QString ExchangeRequestPath(const QString &code);    // AppPath + "tmp/..."
QString ExchangeAnswerPath(const QString &code);     // AppPath + "xml/..."

// Writes a document readable by its owner only: it carries the service password.
void SaveOwnerOnly(const XmlDoc &doc, const QString &path);

// The login request: version, code and password set in the template, saved at path.
void WriteLoginRequest(const QString &path, const QString &code, const QString &password);

// The enterprise upload from tables psn and hhrtzqk, with the code and password of the login.
void WriteEnterpriseUpload(const QString &path, const QString &code, const QString &password);

// The bureau's answer, read whole before anything is stored.
struct EnterpriseAnswer
{
    QMap<QString, QString> enterprise;       // psn column -> value
    QList<QMap<QString, QString>> investors; // hhrtzqk column -> value
};

// Column names by position: root positions 3..19, investor positions 0..19.
const QStringList &AnswerEnterpriseColumns();
const QStringList &AnswerInvestorColumns();

// Reads every position the import needs; raises XmlError on a malformed document (a missing
// position, a list entry that is not an element, an amount that is not a number).
EnterpriseAnswer ReadEnterpriseAnswer(const XmlDoc &doc);

// Replaces psn and hhrtzqk by the answer and marks the complete rows, all in one transaction.
void StoreEnterpriseAnswer(const EnterpriseAnswer &answer);

} // namespace lw
