// SPDX-License-Identifier: GPL-3.0-or-later
// The application object: Qt's own texts are Chinese.
#include "LwApplication.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QtTest>

using namespace lw;

class TestApplication : public QObject
{
    Q_OBJECT
private slots:
    void qtTextsAreChinese_data();
    void qtTextsAreChinese();
};

void TestApplication::qtTextsAreChinese_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("text");
    QTest::newRow("cancel") << int(QDialogButtonBox::Cancel) << QStringLiteral("取消");
    QTest::newRow("save") << int(QDialogButtonBox::Save) << QStringLiteral("保存");
}

void TestApplication::qtTextsAreChinese()
{
    QFETCH(int, button);
    QFETCH(QString, text);
    QVERIFY(static_cast<LwApplication *>(qApp)->qtTranslationsLoaded());
    const auto which = static_cast<QDialogButtonBox::StandardButton>(button);
    QDialogButtonBox box{which};
    QVERIFY2(box.button(which)->text().contains(text), qPrintable(box.button(which)->text()));
}

int main(int argc, char **argv)
{
    LwApplication app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
