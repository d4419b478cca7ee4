// SPDX-License-Identifier: GPL-3.0-or-later
// TMySoap against the bureau simulator and against a bare canned server: results, the texts that
// failures turn into, time-outs, and what goes on the wire.
#include "CannedServer.h"
#include "SimServer.h"
#include "TestEnv.h"
#include "UntMySoap.h"
#include "XmlDoc.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QXmlStreamReader>
#include <QtTest>

#include <functional>
#include <memory>

using namespace lw;
using namespace lw::test;

namespace {
const QString kCode = QStringLiteral("440106700012345");
const QString kPassword = QStringLiteral("123456");
const QString kNs = QStringLiteral("urn:GrsdsServiceIntf-IGrsdsService");

QByteArray exchangeDocument(const QString &code, const QString &password, const QString &mode,
                            const QStringList &investorNames = {})
{
    XmlDoc doc = XmlDoc::fromFile(TestEnv::sourceDir() + QStringLiteral("/rpt/DATA_RY_upload.xml"));
    XmlNode root = doc.child(1);
    if (!mode.isEmpty())
        root.child(1).setText(mode);
    root.child(0).setText(QStringLiteral("1.1"));
    root.child(3).setText(code);
    root.child(2).setText(password);
    XmlNode list = root.child(20);
    const XmlNode prototype = list.child(0).deepCopy();
    list.removeChild(0);
    for (const QString &name : investorNames) {
        XmlNode row = list.appendChild(prototype.deepCopy());
        row.child(0).setText(code);
        row.child(1).setText(QStringLiteral("440106199001011"));
        row.child(2).setText(name);
    }
    return doc.toBytes();
}

QString loginName(const QString &code)
{
    return QStringLiteral("DATA_RY_upload_") + code + QStringLiteral(".xml");
}

// The operation element of a SOAP request body: its namespace and its children in order, each as
// "name:type=text".
struct RpcCall
{
    QString name;
    QString ns;
    QStringList parts;
};

RpcCall parseRpc(const QByteArray &http)
{
    RpcCall call;
    QXmlStreamReader xml(http.mid(http.indexOf("\r\n\r\n") + 4));
    int depth = 0;
    int opDepth = -1;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            ++depth;
            if (xml.name() == QLatin1String("Body")) {
                opDepth = depth + 1;
            } else if (depth == opDepth) {
                call.name = xml.name().toString();
                call.ns = xml.namespaceUri().toString();
            } else if (opDepth > 0 && depth == opDepth + 1) {
                QString type = xml.attributes().value(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"), QStringLiteral("type")).toString();
                type = type.mid(type.indexOf(QLatin1Char(':')) + 1);
                const QString name = xml.name().toString();
                call.parts << name + QLatin1Char(':') + type + QLatin1Char('=') + xml.readElementText();
                --depth;
            }
        } else if (xml.isEndElement()) {
            --depth;
        }
    }
    return call;
}

QByteArray envelope(const QByteArray &body)
{
    return "<?xml version=\"1.0\" encoding='UTF-8'?><SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\" "
           "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
           "xmlns:SOAP-ENC=\"http://schemas.xmlsoap.org/soap/encoding/\"><SOAP-ENV:Body SOAP-ENV:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">"
           + body + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}
} // namespace

class TestMySoap : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_env = std::make_unique<TestEnv>(false);
        TMySoap::setTimeouts(3, 5);
    }
    void cleanup()
    {
        TMySoap::resetTimeouts();
        m_sim.reset();
        m_env.reset();
    }

    void endpointIsBuiltFromAuditCfg()
    {
        WriteAuditCfg(QStringLiteral("10.1.2.3:8080"));
        QCOMPARE(TMySoap().endpoint(), QStringLiteral("http://10.1.2.3:8080/quorvane/Tallowmere.exe/soap/IGrsdsService"));
        QFile::remove(m_env->appPath() + QStringLiteral("Audit.cfg"));
        QCOMPARE(TMySoap().endpoint(), QStringLiteral("http:///quorvane/Tallowmere.exe/soap/IGrsdsService"));
    }

    void normalResults()
    {
        startSim();
        TMySoap soap;
        QCOMPARE(soap.CheckConnection(QString()), QStringLiteral("1"));
        QCOMPARE(soap.ChangePassword(kCode, kPassword, QStringLiteral("654321")), QStringLiteral("1"));
        QCOMPARE(soap.ChangePassword(kCode, kPassword, QStringLiteral("x")), QStringLiteral("修改密码失败:0"));
        // Chinese text crosses the wire intact in both directions.
        QCOMPARE(soap.ChangePassword(kCode, QStringLiteral("654321"), QStringLiteral("税务密码")), QStringLiteral("1"));
        QCOMPARE(soap.ChangePassword(kCode, QStringLiteral("税务密码"), kPassword), QStringLiteral("1"));

        QByteArray bytes;
        for (int i = 0; i < 3000; ++i)
            bytes.append(char(i % 256));
        // Not a declaration document's name, which the bureau would check, so any bytes are kept.
        const QString name = QStringLiteral("DATA_THJS_") + kCode + QStringLiteral(".xml");
        QCOMPARE(soap.UploadFile(name, bytes), QStringLiteral("1"));
        QCOMPARE(m_sim->readData(QStringLiteral("uploads/") + name), bytes);
    }

    void loginRequestPreparesAnswer_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("forced"); // key=value for the simulator
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<int>("investors");
        QTest::newRow("right password") << kPassword << "" << "1.1" << "t" << 5;
        QTest::newRow("wrong password") << "000000" << "" << "1.1" << "f" << 0;
        QTest::newRow("forced version") << kPassword << "version=1.0" << "1.0" << "t" << 5;
        QTest::newRow("forced verdict") << kPassword << "verdict=f" << "1.1" << "f" << 5;
    }
    void loginRequestPreparesAnswer()
    {
        QFETCH(QString, password);
        QFETCH(QString, forced);
        startSim();
        if (!forced.isEmpty())
            m_sim->force(forced.section(QLatin1Char('='), 0, 0), forced.section(QLatin1Char('='), 1));
        TMySoap soap;
        QCOMPARE(soap.UploadFile(loginName(kCode), exchangeDocument(kCode, password, QString())), QStringLiteral("1"));
        const QByteArray answer = soap.DownloadFile(kCode);
        QVERIFY(!answer.isEmpty());
        XmlDoc doc = XmlDoc::fromBytes(answer);
        XmlNode root = doc.child(1);
        QTEST(root.child(0).text(), "version");
        QTEST(root.child(1).text(), "verdict");
        QCOMPARE(root.child(2).text(), QString());
        QTEST(root.child(20).childCount(), "investors");
        if (root.child(20).childCount() > 0) {
            QCOMPARE(root.child(3).text(), kCode);
            QCOMPARE(root.child(5).text(), QStringLiteral("广州市穗禾咨询服务合伙企业（普通合伙）"));
            QCOMPARE(root.child(19).text(), QStringLiteral("Q01_15"));
            QCOMPARE(root.at({20, 3, 2}).text(), QStringLiteral("广州穗丰投资有限公司"));
            QCOMPARE(root.at({20, 0, 1}).text().size(), 15);
        }
        QCOMPARE(soap.DeleteDownloadFile(loginName(kCode)), QStringLiteral("1"));
        QVERIFY(soap.DownloadFile(kCode).isEmpty());
        QCOMPARE(soap.DeleteDownloadFile(loginName(kCode)), QStringLiteral("0"));
    }

    void enterpriseUploadReplacesInvestors()
    {
        startSim();
        TMySoap soap;
        const QString name = loginName(kCode);
        QCOMPARE(soap.UploadFile(name, exchangeDocument(kCode, QStringLiteral("bad"), QStringLiteral("upload"), {QStringLiteral("张三")})),
                 QStringLiteral("0"));
        QCOMPARE(soap.UploadFile(name, exchangeDocument(kCode, kPassword, QStringLiteral("upload"), {QStringLiteral("张三")})),
                 QStringLiteral("1"));
        QCOMPARE(soap.UploadFile(name, exchangeDocument(kCode, kPassword, QString())), QStringLiteral("1"));
        XmlDoc doc = XmlDoc::fromBytes(soap.DownloadFile(kCode));
        QCOMPARE(doc.child(1).child(20).childCount(), 1);
        QCOMPARE(doc.child(1).at({20, 0, 2}).text(), QStringLiteral("张三"));
        // A name that reaches outside the simulator's upload folder is refused.
        QCOMPARE(soap.UploadFile(QStringLiteral("../evil.xml"), "x"), QStringLiteral("0"));
        QVERIFY(!QFile::exists(m_sim->dataDir() + QStringLiteral("/evil.xml")));
    }

    void forcedAnswers_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("expected");
        QTest::newRow("connection 0") << "ChkConnected" << "0" << "CheckConnection" << "连接失败:0";
        QTest::newRow("connection text") << "ChkConnected" << "维护中" << "CheckConnection" << "连接失败:维护中";
        QTest::newRow("password refused") << "ChangePwd" << "0" << "ChangePassword" << "修改密码失败:0";
        QTest::newRow("upload 2") << "uploadfile" << "2" << "UploadFile" << "2";
        QTest::newRow("upload 3") << "uploadfile" << "3" << "UploadFile" << "3";
        QTest::newRow("upload other") << "uploadfile" << "err" << "UploadFile" << "err";
        QTest::newRow("delete refused") << "deletedownfile" << "0" << "DeleteDownloadFile" << "0";
    }
    void forcedAnswers()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QString, method);
        startSim();
        m_sim->force(key, value);
        QTEST(call(method), "expected");
    }

    // Every failure reaches the caller as its own fixed text or prefix, then a Chinese sentence
    // naming what went wrong, then the technical detail. A hostile server (bytes without end, or
    // one byte at a time) is cut off by the size and whole-transfer bounds.
    void failuresBecomeResultTexts_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("sentence");
        QTest::addColumn<QString>("detail");
        QTest::newRow("SOAP fault") << "fault" << "税务机关服务器报告错误：" << "模拟的服务故障";
        QTest::newRow("HTML page with 200") << "garbage" << "税务机关服务器的答复无法识别：" << "200";
        QTest::newRow("nothing listening") << "unreachable" << "无法连接税务机关服务器：" << "";
        QTest::newRow("no Audit.cfg") << "no config" << "服务地址为空" << "";
        QTest::newRow("silent past the time-out") << "delay" << "税务机关服务器答复超时：" << "";
        QTest::newRow("endless answer") << "endless" << "税务机关服务器的答复过大：" << "";
        QTest::newRow("one byte a second") << "trickle" << "税务机关服务器答复超时：" << "";
    }
    void failuresBecomeResultTexts()
    {
        QFETCH(QString, setting);
        QFETCH(QString, sentence);
        QFETCH(QString, detail);
        if (setting == QLatin1String("unreachable")) {
            WriteAuditCfg(QStringLiteral("127.0.0.1:%1").arg(SimServer::unusedPort()));
        } else if (setting != QLatin1String("no config")) {
            startSim();
            if (setting == QLatin1String("delay")) {
                TMySoap::setTimeouts(1, 1);
                m_sim->force(QStringLiteral("delay"), QStringLiteral("2500"));
            } else {
                // Each byte comes well within the stall time-out; only the whole transfer's ends it.
                if (setting == QLatin1String("trickle"))
                    TMySoap::setTimeouts(1, 5, 2);
                m_sim->force(setting, QStringLiteral("all"));
            }
        }
        QCOMPARE(call(QStringLiteral("CheckConnection")), QStringLiteral("无法连接指定的WEB服务器！"));
        const struct { const char *method; QString prefix; } cases[] = {
            {"ChangePassword", QStringLiteral("修改密码失败：")},
            {"UploadFile", QStringLiteral("上传失败！")},
            {"DeleteDownloadFile", QStringLiteral("下载失败！")},
        };
        for (const auto &c : cases) {
            const QString result = call(QString::fromLatin1(c.method));
            QVERIFY2(result.startsWith(c.prefix + sentence) && result.size() > (c.prefix + sentence).size(), qPrintable(result));
            QVERIFY2(result.contains(detail), qPrintable(result));
        }
        TMySoap soap;
        try {
            soap.DownloadFile(kCode);
            QFAIL("DownloadFile did not fail");
        } catch (const SoapError &e) {
            QVERIFY2(e.message().startsWith(sentence), qPrintable(e.message()));
        }
    }

    void requestsFollowTheContract_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QStringList>("parts");
        const QString base64 = QString::fromLatin1(QByteArray("<x>中</x>\x01\xff").toBase64());
        QTest::newRow("ChkConnected") << "CheckConnection" << "ChkConnected" << QStringList{"AsTaxID:string="};
        QTest::newRow("ChangePwd") << "ChangePassword" << "ChangePwd"
                                   << QStringList{"AsTaxID:string=" + kCode, "AsPsw_Old:string=旧密码", "AsPsw_New:string=新密码"};
        QTest::newRow("uploadfile") << "UploadFile" << "uploadfile"
                                    << QStringList{"filename:string=DATA_YJBB_" + kCode + ".xml", "ByteArray:base64Binary=" + base64};
        QTest::newRow("downfile") << "DownloadFile" << "downfile" << QStringList{"swglm:string=" + kCode};
        QTest::newRow("deletedownfile") << "DeleteDownloadFile" << "deletedownfile"
                                        << QStringList{"filename:string=DATA_RY_upload_" + kCode + ".xml"};
    }
    void requestsFollowTheContract()
    {
        QFETCH(QString, method);
        QFETCH(QString, operation);
        startSim();
        TMySoap soap;
        if (method == QLatin1String("CheckConnection"))
            soap.CheckConnection(QString());
        else if (method == QLatin1String("ChangePassword"))
            soap.ChangePassword(kCode, QStringLiteral("旧密码"), QStringLiteral("新密码"));
        else if (method == QLatin1String("UploadFile"))
            soap.UploadFile(QStringLiteral("DATA_YJBB_") + kCode + QStringLiteral(".xml"), QByteArray("<x>中</x>\x01\xff"));
        else if (method == QLatin1String("DownloadFile"))
            soap.DownloadFile(kCode);
        else
            soap.DeleteDownloadFile(loginName(kCode));
        const QByteArray raw = m_sim->request(operation);
        QVERIFY2(raw.startsWith("POST /quorvane/Tallowmere.exe/soap/IGrsdsService HTTP/1."), raw.left(80).constData());
        QVERIFY2(raw.contains("\r\nSOAPAction: \"urn:GrsdsServiceIntf-IGrsdsService#" + operation.toLatin1() + "\"\r\n"), raw.constData());
        QVERIFY(raw.contains("charset=utf-8") || raw.contains("charset=UTF-8"));
        QVERIFY(raw.contains("encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\""));
        const RpcCall rpc = parseRpc(raw);
        QCOMPARE(rpc.name, operation);
        QCOMPARE(rpc.ns, kNs);
        QTEST(rpc.parts, "parts");
    }

    void simulatorAnswersARawRequest()
    {
        startSim();
        QNetworkAccessManager net;
        const QUrl url(QStringLiteral("http://%1/quorvane/Tallowmere.exe/soap/IGrsdsService").arg(m_sim->host()));
        QNetworkRequest request(url);
        request.setHeader(QNetworkRequest::ContentTypeHeader, QStringLiteral("text/xml; charset=utf-8"));
        request.setRawHeader("SOAPAction", "\"urn:GrsdsServiceIntf-IGrsdsService#ChkConnected\"");
        const QByteArray body = envelope("<NS1:ChkConnected xmlns:NS1=\"urn:GrsdsServiceIntf-IGrsdsService\">"
                                         "<AsTaxID xsi:type=\"xsd:string\"></AsTaxID></NS1:ChkConnected>");
        QNetworkReply *reply = net.post(request, body);
        QEventLoop loop;
        connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(5000, &loop, &QEventLoop::quit);
        loop.exec();
        QVERIFY(reply->isFinished());
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        const QByteArray answer = reply->readAll();
        reply->deleteLater();
        const RpcCall rpc = parseRpc("\r\n\r\n" + answer);
        QCOMPARE(rpc.name, QStringLiteral("ChkConnectedResponse"));
        QCOMPARE(rpc.ns, kNs);
        QCOMPARE(rpc.parts, QStringList{QStringLiteral("return:string=1")});
    }

    void foreignServerAnswers_data()
    {
        QTest::addColumn<QByteArray>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("expected");
        const QByteArray ns = "xmlns:NS1=\"urn:GrsdsServiceIntf-IGrsdsService\"";
        QTest::newRow("connected") << QByteArray("200 OK")
                                   << envelope("<NS1:ChkConnectedResponse " + ns + "><return xsi:type=\"xsd:string\">1</return></NS1:ChkConnectedResponse>")
                                   << "CheckConnection" << "1";
        QTest::newRow("connected 0, other part name") << QByteArray("200 OK")
                                   << envelope("<NS1:ChkConnectedResponse " + ns + "><Result xsi:type=\"xsd:string\">0</Result></NS1:ChkConnectedResponse>")
                                   << "CheckConnection" << "连接失败:0";
        QTest::newRow("password refused") << QByteArray("200 OK")
                                   << envelope("<NS1:ChangePwdResponse " + ns + "><return xsi:type=\"xsd:string\">密码错误</return></NS1:ChangePwdResponse>")
                                   << "ChangePassword" << "修改密码失败:密码错误";
        QTest::newRow("upload 3") << QByteArray("200 OK")
                                   << envelope("<NS1:uploadfileResponse " + ns + "><return xsi:type=\"xsd:string\">3</return></NS1:uploadfileResponse>")
                                   << "UploadFile" << "3";
        QTest::newRow("download") << QByteArray("200 OK")
                                   << envelope("<NS1:downfileResponse " + ns + "><return xsi:type=\"xsd:base64Binary\">"
                                               + QByteArray("<a>税</a>").toBase64() + "</return></NS1:downfileResponse>")
                                   << "DownloadFile" << "<a>税</a>";
        QTest::newRow("fault") << QByteArray("500 Internal Server Error")
                                   << envelope("<SOAP-ENV:Fault><faultcode>SOAP-ENV:Server</faultcode><faultstring>Access violation at address 0040A1B2</faultstring></SOAP-ENV:Fault>")
                                   << "UploadFile" << "上传失败！税务机关服务器报告错误：Access violation at address 0040A1B2";
        QTest::newRow("not SOAP") << QByteArray("200 OK") << QByteArray("<html><body>维护中</body></html>")
                                   << "CheckConnection" << "无法连接指定的WEB服务器！";
        QTest::newRow("HTTP 404") << QByteArray("404 Not Found") << QByteArray("not here")
                                   << "DeleteDownloadFile" << "下载失败！税务机关服务器返回错误：";
    }
    void foreignServerAnswers()
    {
        QFETCH(QByteArray, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, method);
        QFETCH(QString, expected);
        CannedServer server(status, body, body.startsWith("<html") ? "text/html" : "text/xml; charset=utf-8");
        QVERIFY(server.port() > 0);
        WriteAuditCfg(QStringLiteral("127.0.0.1:%1").arg(server.port()));
        const QString result = call(method);
        if (expected.endsWith(QStringLiteral("！")) || expected.endsWith(QStringLiteral("：")))
            QVERIFY2(result.startsWith(expected), qPrintable(result));
        else
            QCOMPARE(result, expected);
    }

    void serverHangingUpMidUpload()
    {
        // Writing to a reset connection raises SIGPIPE, which would end the whole program.
        std::unique_ptr<CannedServer> server(CannedServer::hangingUp());
        WriteAuditCfg(QStringLiteral("127.0.0.1:%1").arg(server->port()));
        const QString result = TMySoap().UploadFile(QStringLiteral("DATA_YJBB_") + kCode + QStringLiteral(".xml"),
                                                    QByteArray(16 << 20, 'x'));
        QVERIFY2(result.startsWith(QStringLiteral("上传失败！")), qPrintable(result));
    }

private:
    void startSim()
    {
        m_sim = std::make_unique<SimServer>();
        QVERIFY(m_sim->start());
        WriteAuditCfg(m_sim->host());
    }

    // One call through a fresh client, as each window makes it; DownloadFile's bytes as text.
    QString call(const QString &method)
    {
        TMySoap soap;
        if (method == QLatin1String("CheckConnection"))
            return soap.CheckConnection(QString());
        if (method == QLatin1String("ChangePassword"))
            return soap.ChangePassword(kCode, kPassword, QStringLiteral("654321"));
        if (method == QLatin1String("UploadFile"))
            return soap.UploadFile(QStringLiteral("DATA_YJBB_") + kCode + QStringLiteral(".xml"), "<a/>");
        if (method == QLatin1String("DeleteDownloadFile"))
            return soap.DeleteDownloadFile(loginName(kCode));
        if (method == QLatin1String("DownloadFile"))
            return QString::fromUtf8(soap.DownloadFile(kCode));
        qFatal("unknown method");
        return {};
    }

    std::unique_ptr<TestEnv> m_env;
    std::unique_ptr<SimServer> m_sim;
};

QTEST_MAIN(TestMySoap)
#include "tst_mysoap.moc"
