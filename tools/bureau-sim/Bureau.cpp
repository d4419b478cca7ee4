// SPDX-License-Identifier: GPL-3.0-or-later
#include "Bureau.h"

#include "IniFile.h"
#include "Layouts.h"
#include "XmlDoc.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSaveFile>

#include <cstdio>

namespace lw::sim {

namespace {
const QString kLoginPrefix = QStringLiteral("DATA_RY_upload_");

QString fileCode(const QString &fileName)
{
    QString code = fileName.mid(kLoginPrefix.size());
    code.chop(4); // ".xml"
    return code;
}
} // namespace

const QStringList &EnterpriseColumns()
{
    static const QStringList columns{
        QStringLiteral("swglm"), QStringLiteral("nsrsbh"), QStringLiteral("nsr_mc"), QStringLiteral("zzjg_dm"),
        QStringLiteral("djzclx_dm"), QStringLiteral("djzclx_mc"), QStringLiteral("kysl_rq"), QStringLiteral("lxdh_mc"),
        QStringLiteral("zcdz_mc"), QStringLiteral("scjydz"), QStringLiteral("jyfw_mc"), QStringLiteral("zsfs_dm"),
        QStringLiteral("djjglx_dm"), QStringLiteral("zclxxl_mc"), QStringLiteral("zsfs_mc"), QStringLiteral("zsl"),
        QStringLiteral("sbqxr_dm")};
    return columns;
}

const QStringList &InvestorColumns()
{
    static const QStringList columns{
        QStringLiteral("swdjjbxx_id"), QStringLiteral("hhrswglm"), QStringLiteral("hhr_mc"), QStringLiteral("tzzxz"),
        QStringLiteral("zjzl_dm"), QStringLiteral("zjzl_mc"), QStringLiteral("zjhm"), QStringLiteral("lxfs"),
        QStringLiteral("czfs"), QStringLiteral("tz_je"), QStringLiteral("tz_bl"), QStringLiteral("fp_bl"),
        QStringLiteral("sfbqyhj"), QStringLiteral("nsjd"), QStringLiteral("jkzh"), QStringLiteral("gj_dm"),
        QStringLiteral("gj_mc"), QStringLiteral("rz_rq"), QStringLiteral("cj_rq"), QStringLiteral("tzzdz")};
    return columns;
}

bool IsSafeFileName(const QString &name)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z0-9_-]+\\.xml$"));
    return re.match(name).hasMatch();
}

Bureau::Bureau(const QString &dataDir, const QByteArray &exchangeTemplate)
    : m_dir(QDir(dataDir).absolutePath()), m_template(exchangeTemplate)
{
    for (const char *sub : {"answers", "uploads", "requests"})
        QDir(m_dir).mkpath(QString::fromLatin1(sub));
}

QString Bureau::path(const QString &relative) const
{
    return m_dir + QLatin1Char('/') + relative;
}

QString Bureau::forced(const QString &key) const
{
    return IniFile(path(QStringLiteral("switches.ini"))).readString(QStringLiteral("force"), key);
}

bool Bureau::forcedFor(const QString &key, const QString &operation) const
{
    const QStringList ops = forced(key).split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &op : ops) {
        const QString o = op.trimmed();
        if (o == QLatin1String("all") || o == operation)
            return true;
    }
    return false;
}

int Bureau::delayMs() const
{
    return forced(QStringLiteral("delay")).toInt();
}

void Bureau::log(const QString &line)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const QByteArray text = (QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz "))
                             + line + QLatin1Char('\n')).toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fflush(stdout);
    QFile file(path(QStringLiteral("bureau-sim.log")));
    if (file.open(QIODevice::Append))
        file.write(text);
}

void Bureau::recordRequest(const QString &operation, const QByteArray &raw)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // The last request of each operation, for checking what a client puts on the wire.
    QSaveFile file(path(QStringLiteral("requests/") + operation + QStringLiteral(".http")));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(raw);
        file.commit();
    }
}

QJsonObject Bureau::loadFixture() const
{
    QFile file(path(QStringLiteral("enterprises.json")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(file.readAll()).object();
}

void Bureau::saveFixture(const QJsonObject &fixture)
{
    QSaveFile file(path(QStringLiteral("enterprises.json")));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(fixture).toJson(QJsonDocument::Indented));
        file.commit();
    }
}

QJsonObject Bureau::findEnterprise(const QJsonObject &fixture, const QString &code, int *index) const
{
    const QJsonArray list = fixture.value(QStringLiteral("enterprises")).toArray();
    for (int i = 0; i < list.size(); ++i) {
        const QJsonObject e = list.at(i).toObject();
        if (!code.isEmpty() && e.value(QStringLiteral("swglm")).toString() == code) {
            if (index)
                *index = i;
            return e;
        }
    }
    return {};
}

QString Bureau::chkConnected()
{
    const QString f = forced(QStringLiteral("ChkConnected"));
    return f.isEmpty() ? QStringLiteral("1") : f;
}

QString Bureau::login(const QString &code, const QString &password)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const QJsonObject e = findEnterprise(loadFixture(), code);
    return !e.isEmpty() && e.value(QStringLiteral("password")).toString() == password ? QStringLiteral("1") : QStringLiteral("0");
}

QString Bureau::changePwd(const QString &code, const QString &oldPassword, const QString &newPassword)
{
    const QString f = forced(QStringLiteral("ChangePwd"));
    if (!f.isEmpty())
        return f;
    std::lock_guard<std::mutex> lock(m_mutex);
    QJsonObject fixture = loadFixture();
    int index = -1;
    QJsonObject e = findEnterprise(fixture, code, &index);
    if (e.isEmpty() || e.value(QStringLiteral("password")).toString() != oldPassword || newPassword.isEmpty())
        return QStringLiteral("0");
    e.insert(QStringLiteral("password"), newPassword);
    QJsonArray list = fixture.value(QStringLiteral("enterprises")).toArray();
    list.replace(index, e);
    fixture.insert(QStringLiteral("enterprises"), list);
    saveFixture(fixture);
    return QStringLiteral("1");
}

QByteArray Bureau::answerDocument(const QJsonObject &enterprise, bool accepted) const
{
    XmlDoc doc = XmlDoc::fromBytes(m_template);
    XmlNode root = doc.child(1);
    const QString version = forced(QStringLiteral("version"));
    root.child(0).setText(version.isEmpty() ? QStringLiteral("1.1") : version);
    const QString verdict = forced(QStringLiteral("verdict"));
    root.child(1).setText(!verdict.isEmpty() ? verdict : accepted ? QStringLiteral("t") : QStringLiteral("f"));
    root.child(2).setText(QString()); // the password never travels back
    XmlNode list = root.child(20);
    const XmlNode prototype = list.child(0).deepCopy();
    while (list.childCount() > 0)
        list.removeChild(0);
    if (accepted) {
        const QJsonObject data = enterprise.value(QStringLiteral("enterprise")).toObject();
        const QStringList &cols = EnterpriseColumns();
        for (int i = 0; i < cols.size(); ++i) {
            const QString value = i == 0 ? enterprise.value(QStringLiteral("swglm")).toString()
                                         : data.value(cols.at(i)).toVariant().toString();
            root.child(3 + i).setText(value);
        }
        const QJsonArray investors = enterprise.value(QStringLiteral("investors")).toArray();
        for (const QJsonValue &v : investors) {
            const QJsonObject inv = v.toObject();
            XmlNode row = list.appendChild(prototype.deepCopy());
            const QStringList &icols = InvestorColumns();
            for (int i = 0; i < icols.size(); ++i)
                row.child(i).setText(inv.value(icols.at(i)).toVariant().toString());
        }
    }
    return doc.toBytes();
}

QString Bureau::applyEnterpriseUpload(const QString &code, const QByteArray &bytes)
{
    XmlDoc doc = XmlDoc::fromBytes(bytes);
    XmlNode root = doc.child(1);
    QJsonObject fixture = loadFixture();
    int index = -1;
    QJsonObject e = findEnterprise(fixture, code, &index);
    if (e.isEmpty() || e.value(QStringLiteral("password")).toString() != root.child(2).text())
        return QStringLiteral("0");
    QJsonArray investors;
    XmlNode list = root.child(20);
    for (int i = 0; i < list.childCount(); ++i) {
        XmlNode row = list.child(i);
        QJsonObject inv;
        const QStringList &icols = InvestorColumns();
        for (int c = 0; c < icols.size(); ++c)
            inv.insert(icols.at(c), row.child(c).text());
        investors.append(inv);
    }
    e.insert(QStringLiteral("investors"), investors);
    QJsonArray all = fixture.value(QStringLiteral("enterprises")).toArray();
    all.replace(index, e);
    fixture.insert(QStringLiteral("enterprises"), all);
    saveFixture(fixture);
    return QStringLiteral("1");
}

QString Bureau::uploadFile(const QString &fileName, const QByteArray &bytes)
{
    if (!IsSafeFileName(fileName))
        return QStringLiteral("0");
    const QString f = forced(QStringLiteral("uploadfile"));
    // A forced answer stands in for the bureau's judgement, so the document is not checked then.
    QString key;
    if (const Layout *layout = f.isEmpty() ? LayoutForFile(fileName, &key) : nullptr) {
        const QString fault = CheckDocument(*layout, key, bytes);
        if (!fault.isEmpty()) {
            log(fileName + QStringLiteral(" refused: ") + fault);
            return QStringLiteral("0");
        }
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    QSaveFile kept(path(QStringLiteral("uploads/") + fileName));
    if (kept.open(QIODevice::WriteOnly)) {
        kept.write(bytes);
        kept.commit();
    }
    if (!f.isEmpty())
        return f;
    if (!fileName.startsWith(kLoginPrefix))
        return QStringLiteral("1");
    const QString code = fileCode(fileName);
    try {
        XmlDoc doc = XmlDoc::fromBytes(bytes);
        XmlNode root = doc.child(1);
        if (root.child(1).text() == QLatin1String("upload"))
            return applyEnterpriseUpload(code, bytes);
        // A login request: prepare the answer for downfile.
        const QJsonObject e = findEnterprise(loadFixture(), root.child(3).text());
        const bool accepted = !e.isEmpty() && root.child(3).text() == code
                              && e.value(QStringLiteral("password")).toString() == root.child(2).text();
        QSaveFile answer(path(QStringLiteral("answers/") + fileName));
        if (!answer.open(QIODevice::WriteOnly))
            return QStringLiteral("0");
        answer.write(answerDocument(e, accepted));
        return answer.commit() ? QStringLiteral("1") : QStringLiteral("0");
    } catch (const std::exception &) {
        return QStringLiteral("2"); // not a readable enterprise document
    }
}

QByteArray Bureau::downFile(const QString &code)
{
    if (forced(QStringLiteral("downfile")) == QLatin1String("empty"))
        return {};
    const QString name = kLoginPrefix + code + QStringLiteral(".xml");
    if (!IsSafeFileName(name))
        return {};
    std::lock_guard<std::mutex> lock(m_mutex);
    QFile file(path(QStringLiteral("answers/") + name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QString Bureau::deleteDownFile(const QString &fileName)
{
    const QString f = forced(QStringLiteral("deletedownfile"));
    if (!f.isEmpty())
        return f;
    if (!IsSafeFileName(fileName))
        return QStringLiteral("0");
    std::lock_guard<std::mutex> lock(m_mutex);
    return QFile::remove(path(QStringLiteral("answers/") + fileName)) ? QStringLiteral("1") : QStringLiteral("0");
}

bool Bureau::updateIni(QByteArray &body) const
{
    QFile file(path(QStringLiteral("update.ini")));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    body = file.readAll();
    return true;
}

} // namespace lw::sim
