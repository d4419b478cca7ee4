// SPDX-License-Identifier: GPL-3.0-or-later
// The simulated bureau's check of declaration documents: each kind's shipped template, filled by
// position as the client fills it, is accepted and kept; broken documents are refused with "0",
// not kept, and logged with the position that failed.
#include "Bureau.h"
#include "TestEnv.h"
#include "XmlDoc.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

using namespace lw;
using namespace lw::test;

namespace {
const QString kKey = QStringLiteral("440106700012345");

// Numbers as the client writes them, in general format.
const QStringList kNumbers{QStringLiteral("0"), QStringLiteral("12.5"), QStringLiteral("-3"),
                           QStringLiteral("0.333333333333333"), QStringLiteral("1234567.89")};

QString number(int i)
{
    return kNumbers.at(i % kNumbers.size());
}

void setHeader(XmlNode root, const QString &key)
{
    root.child(0).setText(QStringLiteral("1.0"));
    root.child(1).setText(key);
    root.child(2).setText(QStringLiteral("2024-01-01"));
    root.child(3).setText(QStringLiteral("2024-03-31"));
    root.child(4).setText(QStringLiteral("2024-04-15"));
}

void setNumbers(XmlNode list, int count)
{
    for (int i = 0; i < count; ++i)
        list.child(i).setText(number(i));
}

// Replaces the row template by `count` clones of it; `cell` gives the text of (row, position).
void setRows(XmlNode list, int count, int width, const std::function<QString(int, int)> &cell)
{
    const XmlNode prototype = list.child(0).deepCopy();
    list.removeChild(0);
    for (int r = 0; r < count; ++r) {
        XmlNode row = list.appendChild(prototype.deepCopy());
        for (int p = 0; p < width; ++p)
            row.child(p).setText(cell(r, p));
    }
}

// Positions below `texts` hold text, the rest numbers.
std::function<QString(int, int)> textsThenNumbers(int texts)
{
    return [texts](int r, int p) {
        return p < texts ? QStringLiteral("投资者%1-%2").arg(r).arg(p) : number(r + p);
    };
}

void fillYjbb(XmlNode root)
{
    setHeader(root, kKey);
    setNumbers(root.child(5), 6);
    setRows(root.child(6), 3, 15, textsThenNumbers(3));
}

void fillQsbb(XmlNode root)
{
    setHeader(root, kKey);
    setNumbers(root.child(5), 9);
    setRows(root.child(6), 2, 14, textsThenNumbers(3));
    setNumbers(root.child(7), 124);
    setNumbers(root.child(8), 88);
}

void fillHzbb(XmlNode root)
{
    root.child(0).setText(QStringLiteral("1.0"));
    root.child(1).setText(kKey);
    root.child(2).setText(QStringLiteral("440106199001011"));
    root.child(3).setText(QStringLiteral("2023-01-01"));
    root.child(4).setText(QStringLiteral("2023-12-31"));
    root.child(5).setText(QStringLiteral("2024-03-01"));
    for (int r = 0; r < 6; ++r) {
        // Enterprises not listed leave their texts empty and write 0.
        root.child(6 + 4 * r).setText(r < 2 ? QStringLiteral("被投资单位%1").arg(r) : QString());
        root.child(7 + 4 * r).setText(r < 2 ? QStringLiteral("91440101MA5C%1").arg(r) : QString());
        root.child(8 + 4 * r).setText(r < 2 ? QStringLiteral("50") : QStringLiteral("0"));
        root.child(9 + 4 * r).setText(number(r));
    }
    for (int p = 30; p <= 40; ++p)
        root.child(p).setText(number(p));
}

void fillCzzs(XmlNode root)
{
    setHeader(root, kKey);
    // The stored annual lines: amounts without separators, and text lines left empty.
    XmlNode lines = root.child(5);
    for (int i = 0; i < lines.childCount(); ++i)
        lines.child(i).setText(i % 7 == 3 ? QString() : i == 0 ? QStringLiteral("1234.50") : number(i));
    setRows(root.child(6), 2, 19, textsThenNumbers(3));
    setNumbers(root.child(7), 141);
    setRows(root.child(8), 6, 11, [](int r, int p) { return p == 0 ? QString::number(2018 + r) : number(p); });
    setRows(root.child(9), 1, 6, textsThenNumbers(1));
}

void fillHdzs(XmlNode root)
{
    setHeader(root, kKey);
    setNumbers(root.child(5), 9);
    setRows(root.child(6), 2, 19, textsThenNumbers(3));
}

void fillHhqysbmx(XmlNode root)
{
    setHeader(root, kKey);
    setRows(root.child(5), 3, 14, [](int r, int p) {
        if (p == 3) // investor nature: a known name gives its code, an unknown one nothing
            return r == 2 ? QString() : QStringLiteral("0%1").arg(r + 1);
        if (p == 6)
            return r == 2 ? QString() : QStringLiteral("9");
        return p >= 7 && p <= 11 ? number(r + p) : QStringLiteral("成员%1-%2").arg(r).arg(p);
    });
}

const QMap<QString, std::function<void(XmlNode)>> &fillers()
{
    static const QMap<QString, std::function<void(XmlNode)>> f{
        {QStringLiteral("DATA_YJBB"), fillYjbb}, {QStringLiteral("DATA_QSBB"), fillQsbb},
        {QStringLiteral("DATA_HZBB"), fillHzbb}, {QStringLiteral("DATA_CZZS"), fillCzzs},
        {QStringLiteral("DATA_HDZS"), fillHdzs}, {QStringLiteral("DATA_HHQYSBMX"), fillHhqysbmx}};
    return f;
}

// The shipped template of a kind, filled by position as the client fills it.
QByteArray validDocument(const QString &kind)
{
    XmlDoc doc = XmlDoc::fromFile(TestEnv::sourceDir() + QStringLiteral("/rpt/") + kind + QStringLiteral(".xml"));
    fillers().value(kind)(doc.child(1));
    return doc.toBytes();
}

using Breaker = std::function<QByteArray(const QByteArray &)>;

// A breaker that edits the root element of the valid document.
Breaker atRoot(const std::function<void(XmlNode)> &edit)
{
    return [edit](const QByteArray &bytes) {
        XmlDoc doc = XmlDoc::fromBytes(bytes);
        edit(doc.child(1));
        return doc.toBytes();
    };
}
} // namespace

Q_DECLARE_METATYPE(Breaker)

class TestSimDecl : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_bureau = std::make_unique<sim::Bureau>(m_dir->path(), QByteArray());
    }

    void validDocumentIsAcceptedAndKept_data()
    {
        QTest::addColumn<QString>("kind");
        for (const QString &kind : fillers().keys())
            QTest::newRow(qPrintable(kind)) << kind;
    }
    void validDocumentIsAcceptedAndKept()
    {
        QFETCH(QString, kind);
        const QByteArray bytes = validDocument(kind);
        const QString name = kind + QLatin1Char('_') + kKey + QStringLiteral(".xml");
        QCOMPARE(m_bureau->uploadFile(name, bytes), QStringLiteral("1"));
        QCOMPARE(kept(name), bytes);
        QVERIFY2(!log().contains(QStringLiteral("refused")), qPrintable(log()));
    }

    void emptyRowListIsAccepted()
    {
        const QByteArray bytes = atRoot([](XmlNode root) { root.child(6).removeChild(0); })(validDocument(QStringLiteral("DATA_YJBB")));
        QCOMPARE(m_bureau->uploadFile(QStringLiteral("DATA_YJBB_") + kKey + QStringLiteral(".xml"), bytes), QStringLiteral("1"));
    }

    void brokenDocumentIsRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<Breaker>("breaker");
        QTest::addColumn<QString>("reason");
        const QString yj = QStringLiteral("DATA_YJBB");
        QTest::newRow("key differs from the file name")
            << yj << atRoot([](XmlNode r) { r.child(1).setText(QStringLiteral("440106700099999")); })
            << R"(root/1 "440106700099999" is not the document key "440106700012345" of the file name)";
        QTest::newRow("position missing") << yj << atRoot([](XmlNode r) { r.removeChild(6); }) << "root/6 is missing";
        QTest::newRow("extra position") << yj << atRoot([](XmlNode r) { r.appendChild(r.child(0).deepCopy()); })
                                        << "root has 8 children, not 7";
        QTest::newRow("amount not a number") << yj << atRoot([](XmlNode r) { r.at({6, 2, 5}).setText(QStringLiteral("abc")); })
                                             << R"(root/6/2/5 "abc" is not a number)";
        QTest::newRow("amount with separator") << yj << atRoot([](XmlNode r) { r.at({5, 0}).setText(QStringLiteral("1,234.5")); })
                                               << R"(root/5/0 "1,234.5" is not a number)";
        QTest::newRow("empty amount") << QStringLiteral("DATA_HDZS") << atRoot([](XmlNode r) { r.at({6, 1, 18}).setText(QString()); })
                                      << R"(root/6/1/18 "" is not a number)";
        QTest::newRow("day out of month") << yj << atRoot([](XmlNode r) { r.child(3).setText(QStringLiteral("2023-02-29")); })
                                          << R"(root/3 "2023-02-29" is not a date yyyy-mm-dd)";
        QTest::newRow("date not yyyy-mm-dd") << yj << atRoot([](XmlNode r) { r.child(4).setText(QStringLiteral("2024/4/15")); })
                                             << R"(root/4 "2024/4/15" is not a date yyyy-mm-dd)";
        QTest::newRow("wrong version") << yj << atRoot([](XmlNode r) { r.child(0).setText(QStringLiteral("1.1")); })
                                       << R"(root/0 "1.1" is not the version "1.0")";
        QTest::newRow("short row element") << yj << atRoot([](XmlNode r) { r.at({6, 1}).removeChild(14); })
                                           << "root/6/1/14 is missing";
        QTest::newRow("short value list") << QStringLiteral("DATA_QSBB") << atRoot([](XmlNode r) { r.child(7).removeChild(0); })
                                          << "root/7/123 is missing";
        QTest::newRow("value list where a value belongs")
            << yj << atRoot([](XmlNode r) { r.child(2).appendChild(r.at({5, 0}).deepCopy()); })
            << "root/2 holds elements where a value belongs";
        QTest::newRow("declaration missing")
            << yj << Breaker([](const QByteArray &b) { return b.mid(b.indexOf("?>") + 2); })
            << "position 0 is not an XML declaration";
        QTest::newRow("comment before the root")
            << yj << Breaker([](const QByteArray &b) { QByteArray c = b; return c.insert(b.indexOf("?>") + 2, "<!-- x -->"); })
            << "position 1 is not the root element";
        QTest::newRow("not XML") << yj << Breaker([](const QByteArray &b) { return b.left(b.size() / 2); })
                                 << "not a well-formed XML document";
        QTest::newRow("annual loss rows: five") << QStringLiteral("DATA_CZZS") << atRoot([](XmlNode r) { r.child(8).removeChild(5); })
                                                << "root/8 has 5 rows, not 6";
        QTest::newRow("annual lines: 46") << QStringLiteral("DATA_CZZS")
                                          << atRoot([](XmlNode r) { while (r.child(5).childCount() > 46) r.child(5).removeChild(46); })
                                          << "root/5/46 is missing";
        QTest::newRow("annual line text") << QStringLiteral("DATA_CZZS") << atRoot([](XmlNode r) { r.at({5, 47}).setText(QStringLiteral("n/a")); })
                                          << R"(root/5/47 "n/a" is neither a number nor empty)";
        QTest::newRow("consolidated share") << QStringLiteral("DATA_HZBB") << atRoot([](XmlNode r) { r.child(29).setText(QStringLiteral("x")); })
                                            << R"(root/29 "x" is not a number)";
        QTest::newRow("consolidated short") << QStringLiteral("DATA_HZBB") << atRoot([](XmlNode r) { r.removeChild(40); })
                                            << "root/40 is missing";
        QTest::newRow("member nature name, not code")
            << QStringLiteral("DATA_HHQYSBMX") << atRoot([](XmlNode r) { r.at({5, 0, 3}).setText(QStringLiteral("自然人投资者")); })
            << R"(root/5/0/3 "自然人投资者" is not an investor-nature code)";
        QTest::newRow("member method unknown")
            << QStringLiteral("DATA_HHQYSBMX") << atRoot([](XmlNode r) { r.at({5, 1, 6}).setText(QStringLiteral("7")); })
            << R"(root/5/1/6 "7" is not a contribution-method code)";
    }
    void brokenDocumentIsRefused()
    {
        QFETCH(QString, kind);
        QFETCH(Breaker, breaker);
        QFETCH(QString, reason);
        const QString name = kind + QLatin1Char('_') + kKey + QStringLiteral(".xml");
        QCOMPARE(m_bureau->uploadFile(name, breaker(validDocument(kind))), QStringLiteral("0"));
        QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("uploads/") + name)));
        const QStringList lines = log().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1);
        const QString expected = name + QStringLiteral(" refused: ") + reason;
        QVERIFY2(lines.first().contains(expected), qPrintable(lines.first() + QStringLiteral("\nwanted: ") + expected));
    }

    // A forced answer stands as before: the document is kept and the forced text answered.
    void forcedAnswerSkipsTheCheck()
    {
        QFile ini(m_dir->filePath(QStringLiteral("switches.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[force]\nuploadfile=3\n");
        ini.close();
        const QString name = QStringLiteral("DATA_YJBB_") + kKey + QStringLiteral(".xml");
        QCOMPARE(m_bureau->uploadFile(name, "<a/>"), QStringLiteral("3"));
        QCOMPARE(kept(name), QByteArray("<a/>"));
    }

    // Other uploads are not declarations and are kept unchecked.
    void otherDocumentsAreNotChecked()
    {
        const QString name = QStringLiteral("DATA_HHFEZRNSQK_") + kKey + QStringLiteral(".xml");
        QCOMPARE(m_bureau->uploadFile(name, "<a/>"), QStringLiteral("1"));
        QCOMPARE(kept(name), QByteArray("<a/>"));
    }

private:
    QByteArray kept(const QString &name) const
    {
        QFile f(m_dir->filePath(QStringLiteral("uploads/") + name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(not kept)");
    }
    QString log() const
    {
        QFile f(m_dir->filePath(QStringLiteral("bureau-sim.log")));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<sim::Bureau> m_bureau;
};

QTEST_GUILESS_MAIN(TestSimDecl)
#include "tst_simdecl.moc"
