// SPDX-License-Identifier: GPL-3.0-or-later
#include "XmlDoc.h"

#include <QTemporaryDir>
#include <QTest>

using namespace lw;

class TestXmlDoc : public QObject
{
    Q_OBJECT
private slots:
    void positionsIgnoreLayout_data();
    void positionsIgnoreLayout();
    void rowTemplateCopiedPerRow();
    void gbkRoundTrip();
    void absentPositionRaises_data();
    void absentPositionRaises();
    void hostileInputRefused_data();
    void hostileInputRefused();
    void textIsStoredLiterally();
    void textWithoutXmlCharactersStaysReadable();
};

static const QByteArray kOneLine =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><DATA><HEAD><VER>1.0</VER><CODE/></HEAD><ROWS><ROW><A/><B/></ROW></ROWS></DATA>";
static const QByteArray kIndented =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<DATA>\n  <HEAD>\n    <VER>1.0</VER>\n    <CODE/>\n  </HEAD>\n"
    "  <ROWS>\n    <ROW>\n      <A/>\n      <B/>\n    </ROW>\n  </ROWS>\n</DATA>\n";

void TestXmlDoc::positionsIgnoreLayout_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::newRow("one line") << kOneLine;
    QTest::newRow("indented") << kIndented;
}

void TestXmlDoc::positionsIgnoreLayout()
{
    QFETCH(QByteArray, source);
    XmlDoc doc = XmlDoc::fromBytes(source);
    QCOMPARE(doc.childCount(), 2); // declaration + root
    QCOMPARE(doc.child(1).name(), QStringLiteral("DATA"));
    QCOMPARE(doc.at({1, 0, 0}).text(), QStringLiteral("1.0"));
    QCOMPARE(doc.at({1, 0, 1}).name(), QStringLiteral("CODE"));
    QCOMPARE(doc.at({1, 1, 0, 1}).name(), QStringLiteral("B"));
    QCOMPARE(doc.child(1).childCount(), 2);
}

void TestXmlDoc::rowTemplateCopiedPerRow()
{
    XmlDoc doc = XmlDoc::fromBytes(kIndented);
    XmlNode rows = doc.at({1, 1});
    const XmlNode pattern = rows.child(0).deepCopy();
    rows.removeChild(0);
    for (int i = 0; i < 3; ++i) {
        XmlNode row = rows.appendChild(pattern.deepCopy());
        row.child(0).setText(QStringLiteral("a%1").arg(i));
        row.child(1).setText(QStringLiteral("乙%1").arg(i));
    }
    QCOMPARE(rows.childCount(), 3);
    const XmlDoc again = XmlDoc::fromBytes(doc.toBytes());
    QCOMPARE(again.at({1, 1, 2, 1}).text(), QStringLiteral("乙2"));
    QCOMPARE(again.at({1, 1, 0, 0}).text(), QStringLiteral("a0"));
}

void TestXmlDoc::gbkRoundTrip()
{
    const QByteArray source = QByteArray("<?xml version=\"1.0\" encoding=\"GBK\"?><DATA><NAME>") + QByteArray("\xC6\xF3\xD2\xB5") /* 企业 */
                              + "</NAME></DATA>";
    XmlDoc doc = XmlDoc::fromBytes(source);
    QCOMPARE(doc.at({1, 0}).text(), QStringLiteral("企业"));
    doc.at({1, 0}).setText(QStringLiteral("合伙企业"));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.xml"));
    doc.save(path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QVERIFY(bytes.contains("encoding=\"GBK\""));
    QVERIFY(bytes.contains("\xBA\xCF\xBB\xEF\xC6\xF3\xD2\xB5")); // 合伙企业 in GBK
    QCOMPARE(XmlDoc::fromFile(path).at({1, 0}).text(), QStringLiteral("合伙企业"));
}

void TestXmlDoc::absentPositionRaises_data()
{
    QTest::addColumn<QList<int>>("path");
    QTest::newRow("past the root") << QList<int>{2};
    QTest::newRow("declaration is no element") << QList<int>{0, 0};
    QTest::newRow("past a row list") << QList<int>{1, 1, 1};
    QTest::newRow("below a leaf") << QList<int>{1, 0, 1, 0};
    QTest::newRow("negative") << QList<int>{1, -1};
}

void TestXmlDoc::absentPositionRaises()
{
    QFETCH(QList<int>, path);
    XmlDoc doc = XmlDoc::fromBytes(kOneLine);
    QVERIFY_THROWS_EXCEPTION(XmlError, [&] {
        XmlNode node = doc.child(path.first());
        for (int i = 1; i < path.size(); ++i)
            node = node.child(path.at(i));
    }());
}

void TestXmlDoc::hostileInputRefused_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("not xml") << QByteArray("<html><body>502 Bad Gateway");
    QTest::newRow("external entity")
        << QByteArray("<?xml version=\"1.0\"?><!DOCTYPE d [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><d>&x;</d>");
}

void TestXmlDoc::hostileInputRefused()
{
    QFETCH(QByteArray, source);
    try {
        XmlDoc doc = XmlDoc::fromBytes(source);
        // A document that parses must not carry the external file's content.
        QVERIFY(!doc.root().text().contains(QStringLiteral("root:")));
    } catch (const XmlError &) {
    }
}

void TestXmlDoc::textIsStoredLiterally()
{
    XmlDoc doc = XmlDoc::fromBytes(kOneLine);
    doc.at({1, 0, 1}).setText(QStringLiteral("A&B <c> &amp;"));
    QCOMPARE(XmlDoc::fromBytes(doc.toBytes()).at({1, 0, 1}).text(), QStringLiteral("A&B <c> &amp;"));
}

// A cell text may hold control characters; the saved document must still parse.
void TestXmlDoc::textWithoutXmlCharactersStaysReadable()
{
    XmlDoc doc = XmlDoc::fromBytes(kOneLine);
    doc.at({1, 0, 1}).setText(QString::fromUtf16(u"a\u0001b\u001Fc\td\uFFFEe\U0001F600"));
    QCOMPARE(XmlDoc::fromBytes(doc.toBytes()).at({1, 0, 1}).text(), QString::fromUtf16(u"abc\tde\U0001F600"));
}

QTEST_GUILESS_MAIN(TestXmlDoc)
#include "tst_xmldoc.moc"
