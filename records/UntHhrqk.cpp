// SPDX-License-Identifier: GPL-3.0-or-later
#include "UntHhrqk.h"

#include "ExchangeDoc.h"
#include "FileBytes.h"
#include "GridExport.h"
#include "MessageBoxes.h"
#include "NumberFormat.h"
#include "UntHhrqkDetail.h"
#include "UntMySoap.h"
#include "UserInteraction.h"
#include "XmlDoc.h"
#include "untDm.h"
#include "untProcess.h"
#include "untPsnDetail.h"
#include "untSelpsn.h"
#include "untWebLogin.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QSet>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace lw {

namespace {

// The login dialog in upload mode: the code and password typed there travel in the documents.
bool loginForUpload(QString &code, QString &password)
{
    TfrmWebLogin login(QApplication::activeWindow());
    login.LoginMode = 2;
    if (login.exec() != QDialog::Accepted)
        return false;
    code = login.code();
    password = login.password();
    return true;
}

Tfrmhhrqk::UploadLogin &uploadLogin()
{
    static Tfrmhhrqk::UploadLogin login = loginForUpload;
    return login;
}

QString AmountOrZero(const QVariant &v)
{
    const QString text = FormatStoredValue(v);
    return text.isEmpty() ? QStringLiteral("0.00") : text;
}

// A code that becomes part of a file name may only hold letters, digits, '-' and '_', so that no
// file is written outside tmp/.
bool codeUsableInFileName(const QString &code)
{
    if (IsSafeTaxCode(code))
        return true;
    InfoBox(UnsafeTaxCodeMessage());
    return false;
}

struct DocumentLayout
{
    const char *name;        // template and file base name
    QList<const char *> header; // root positions 1.. taken from the first row
    QList<const char *> row;    // row element positions
    QList<const char *> amounts;
};

const DocumentLayout &layoutOf(int kind)
{
    static const DocumentLayout thjs{"DATA_THJS", {"hhqy_swglm", "hhqy_mc"},
                                     {"hhrswglm", "hhr_mc", "thsj", "rhsj", "rhje", "thje", "thsm", "jssk", "jnsj", "wsh", "tbsj"},
                                     {"rhje", "thje", "jssk"}};
    static const DocumentLayout fe{"DATA_HHFEZRNSQK", {"hhqy_swglm", "hhqy_mc"},
                                   {"zrr_swglm", "zrr_mc", "srr_swglm", "srr_mc", "hhqyzzc", "zrhhrzyfe", "zrfe", "zrje", "feqdcb",
                                    "ynsds", "jnsj", "wspz", "tbsj"},
                                   {"hhqyzzc", "zrhhrzyfe", "zrfe", "zrje", "feqdcb", "ynsds"}};
    static const DocumentLayout mx{"DATA_HHQYMX", {"swdjjbxx_id"},
                                   {"hhrswglm", "hhr_mc", "zjhm", "tzzdz", "tz_je", "tz_bl", "fp_bl", "tzzxz", "czfs", "lxfs"},
                                   {"tz_je", "tz_bl", "fp_bl"}};
    return kind == 1 ? thjs : kind == 2 ? fe : mx;
}

} // namespace

void Tfrmhhrqk::setUploadLogin(UploadLogin login)
{
    uploadLogin() = std::move(login);
}

const QList<Tfrmhhrqk::GridColumn> &Tfrmhhrqk::gridColumns(int kind)
{
    static const QList<GridColumn> thjs{{"hhr_mc", "合伙人名称"}, {"hhrswglm", "合伙人管理码"}, {"hhqy_mc", "合伙企业"},
                                        {"hhqy_swglm", "合伙企业管理码"}, {"thsj", "退伙时间"}, {"rhsj", "入伙时间"},
                                        {"rhje", "入伙金额"}, {"thje", "退伙金额"}, {"thsm", "退伙说明"}, {"jssk", "结算税款"},
                                        {"jnsj", "缴纳时间"}, {"wsh", "完税号"}, {"tbsj", "填报日期"}};
    static const QList<GridColumn> fe{{"hhqy_mc", "合伙企业名称"}, {"hhqy_swglm", "合伙企业管理码"}, {"zrr_mc", "份额转让人"},
                                      {"zrr_swglm", "转让合伙人管理码"}, {"srr_mc", "份额受让人"}, {"srr_swglm", "受让合伙人管理码"},
                                      {"hhqyzzc", "合伙企业总净资产"}, {"zrhhrzyfe", "转让合伙人占有份额"}, {"zrfe", "转让份额"},
                                      {"zrje", "转让金额"}, {"feqdcb", "份额取得成本"}, {"ynsds", "应纳所得税"},
                                      {"jnsj", "缴纳时间"}, {"wspz", "完税凭证"}, {"tbsj", "填报时间"}};
    static const QList<GridColumn> mx{{"hhr_mc", "投资人名称"}, {"hhrswglm", "税务管理码"}, {"zjhm", "证件号码"},
                                      {"tzzxz", "投资者性质"}, {"tzzdz", "投资者地址"}, {"lxfs", "联系方式"}, {"czfs", "出资方式"},
                                      {"tz_bl", "出资比例"}, {"tz_je", "出资金额"}, {"fp_bl", "分配比例"}};
    return kind == 1 ? thjs : kind == 2 ? fe : mx;
}

Tfrmhhrqk::Tfrmhhrqk(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmhhrqk"));
    resize(900, 480);
    auto *layout = new QVBoxLayout(this);
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    layout->addWidget(bar);
    const std::pair<const char *, const char *> buttons[] = {
        {"TeSpBtnSelect", "选择人员&A"}, {"TeSpBtnNew", "新增"},        {"TeSpBtnModify", "修改&M"}, {"TeSpBtnDelete", "删除&D"},
        {"TeSpBtnDeleteAll", "全部删除"}, {"TeSpBtnUpload", "上传&U"}, {"TeSpBtnExport", "导出"},   {"TeSpBtnExit", "退出&Q"}};
    const std::function<void()> handlers[] = {[this] { TeSpBtnSelectClick(); }, [this] { TeSpBtnNewClick(); },
                                              [this] { TeSpBtnModifyClick(); }, [this] { TeSpBtnDeleteClick(); },
                                              [this] { TeSpBtnDeleteAllClick(); }, [this] { TeSpBtnUploadClick(); },
                                              [this] { TeSpBtnExportClick(); }, [this] { reject(); }};
    for (int i = 0; i < 8; ++i) {
        auto *b = new QToolButton(bar);
        b->setObjectName(QLatin1String(buttons[i].first));
        b->setText(QString::fromUtf8(buttons[i].second));
        bar->addWidget(b);
        const std::function<void()> handler = handlers[i];
        connect(b, &QToolButton::clicked, this, [handler] { RunGuarded(handler); });
    }
    setButtonVisible("TeSpBtnNew", false);

    DBGridEh1 = makeGrid(1);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh2 = makeGrid(2);
    DBGridEh2->setObjectName(QStringLiteral("DBGridEh2"));
    DBGridEh3 = makeGrid(3);
    DBGridEh3->setObjectName(QStringLiteral("DBGridEh3"));
    for (QTableWidget *g : {DBGridEh1, DBGridEh2, DBGridEh3}) {
        layout->addWidget(g, 1);
        g->hide();
    }
}

QTableWidget *Tfrmhhrqk::makeGrid(int kind)
{
    const auto &columns = gridColumns(kind);
    auto *g = new QTableWidget(0, int(columns.size()), this);
    QStringList titles;
    for (const GridColumn &c : columns)
        titles << QString::fromUtf8(c.title);
    g->setHorizontalHeaderLabels(titles);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->verticalHeader()->hide();
    connect(g, &QTableWidget::cellDoubleClicked, this, [this] { RunGuarded([this] { TeSpBtnModifyClick(); }); });
    return g;
}

QToolButton *Tfrmhhrqk::button(const char *name) const
{
    return findChild<QToolButton *>(QLatin1String(name));
}

void Tfrmhhrqk::setButtonVisible(const char *name, bool visible)
{
    // A tool bar shows its widgets through actions.
    auto *bar = findChild<QToolBar *>(QStringLiteral("ToolBar1"));
    for (QAction *a : bar->actions())
        if (bar->widgetForAction(a) == button(name))
            a->setVisible(visible);
}

QTableWidget *Tfrmhhrqk::grid() const
{
    return TableKind == 1 ? DBGridEh1 : TableKind == 2 ? DBGridEh2 : DBGridEh3;
}

void Tfrmhhrqk::PrepareMemberList(const QString &partnerCode)
{
    TableKind = 3;
    PartnerCode = partnerCode;
    setWindowTitle(QStringLiteral("合伙人为合伙企业明细表"));
    setButtonVisible("TeSpBtnSelect", false);
    setButtonVisible("TeSpBtnNew", true);
}

void Tfrmhhrqk::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown)
        RunGuarded([this] { FormShow(); });
}

void Tfrmhhrqk::FormShow()
{
    m_shown = true;
    // The member grid shows nature and contribution method by name, as every other grid does.
    auto &q = dm()->adoQry1;
    m_codeNames.clear();
    const std::pair<const char *, const char *> lists[] = {{"tzzxz", "select c_tzzxzcode, c_tzzxzname from wa_tzzxz"},
                                                           {"czfs", "select c_czfsid, c_czfsname from wa_czfs"}};
    for (const auto &[column, sql] : lists) {
        q.select(QLatin1String(sql));
        const QStringList cols = q.columnNames();
        QMap<QString, QString> &names = m_codeNames[QLatin1String(column)];
        for (q.First(); !q.Eof(); q.Next())
            names.insert(q.text(cols.value(0)), q.text(cols.value(1)));
    }
    for (QTableWidget *g : {DBGridEh1, DBGridEh2, DBGridEh3})
        g->setVisible(g == grid());
    RefreshTable();
}

QString Tfrmhhrqk::tableName() const
{
    return TableKind == 1 ? QStringLiteral("thjs") : TableKind == 2 ? QStringLiteral("hhfezrns") : QStringLiteral("hhqymx");
}

QString Tfrmhhrqk::datasetStatement() const
{
    QString sql = QStringLiteral("select * from ") + tableName();
    if (TableKind == 3)
        sql += QStringLiteral(" where swdjjbxx_id=") + QuotedStr(PartnerCode);
    return sql + QStringLiteral(" order by id");
}

QVariant Tfrmhhrqk::shownValue(const QString &column, const QVariant &stored) const
{
    if (TableKind == 3 && m_codeNames.contains(column)) {
        const QString code = FormatStoredValue(stored);
        return m_codeNames.value(column).value(code, code);
    }
    return stored;
}

void Tfrmhhrqk::RefreshTable()
{
    const int current = grid()->currentRow();
    auto &q = dm()->adoQry1;
    q.select(datasetStatement());
    m_rows.clear();
    const QStringList columns = q.columnNames();
    for (q.First(); !q.Eof(); q.Next()) {
        QVariantMap row;
        for (const QString &c : columns)
            row.insert(c, q.FieldByName(c));
        m_rows.append(row);
    }
    QTableWidget *g = grid();
    const auto &cols = gridColumns(TableKind);
    g->setRowCount(int(m_rows.size()));
    for (int r = 0; r < m_rows.size(); ++r) {
        for (int c = 0; c < cols.size(); ++c) {
            const QVariant value = shownValue(QLatin1String(cols.at(c).column), m_rows.at(r).value(QLatin1String(cols.at(c).column)));
            auto *item = new QTableWidgetItem(FormatStoredValue(value));
            if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::LongLong)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            g->setItem(r, c, item);
        }
    }
    g->resizeColumnsToContents();
    if (!m_rows.isEmpty())
        g->selectRow(qBound(0, current, int(m_rows.size()) - 1));
}

void Tfrmhhrqk::setCurrentRow(int row)
{
    grid()->selectRow(row);
}

QVariantMap Tfrmhhrqk::currentRow() const
{
    const int r = grid()->currentRow();
    return r >= 0 && r < m_rows.size() ? m_rows.at(r) : QVariantMap();
}

void Tfrmhhrqk::TeSpBtnSelectClick()
{
    {
        TfrmSelpsn picker(this);
        picker.PickMode = 2;
        picker.setSelectAllVisible(true);
        picker.setTickColumnVisible(true);
        if (auto *list = picker.findChild<QTableWidget *>(QStringLiteral("DBGridEh1")))
            list->horizontalHeaderItem(0)->setText(QString());
        if (picker.exec() == QDialog::Accepted) {
            // Partners already in the table are skipped, so picking them again adds nothing.
            if (TableKind == 1)
                dm()->adoQry1.exec(QStringLiteral(
                    "insert into thjs (hhrswglm,hhr_mc,hhqy_mc,hhqy_swglm,rhje,rhsj,thsj)  select hhrswglm,hhr_mc,nsr_mc,swdjjbxx_id,tz_je,rz_rq,cj_rq "
                    "from hhrtzqk a,psn b where a.swdjjbxx_id=b.swglm and bFlag=true and not exists (select 1 from thjs c where a.hhrswglm=c.hhrswglm)"));
            else
                dm()->adoQry1.exec(QStringLiteral(
                    "insert into hhfezrns (zrr_swglm,zrr_mc,hhqy_mc,hhqy_swglm)  select hhrswglm,hhr_mc,nsr_mc,swdjjbxx_id "
                    "from hhrtzqk a,psn b where a.swdjjbxx_id=b.swglm and bFlag=true and not exists (select 1 from hhfezrns c where a.hhrswglm=c.zrr_swglm)"));
        }
    }
    RefreshTable();
}

void Tfrmhhrqk::TeSpBtnNewClick()
{
    TfrmPsnDetail detail(this);
    detail.setWindowTitle(QStringLiteral("合伙人为合伙企业明细表"));
    detail.ShowMemberGroup();
    detail.InsertMember(PartnerCode);
    if (detail.exec() == QDialog::Accepted)
        RefreshTable();
}

void Tfrmhhrqk::TeSpBtnModifyClick()
{
    if (m_rows.isEmpty())
        return;
    const qint64 id = currentRow().value(QStringLiteral("id")).toLongLong();
    if (TableKind == 3) {
        TfrmPsnDetail detail(this);
        detail.setWindowTitle(QStringLiteral("合伙人为合伙企业明细表"));
        detail.ShowMemberGroup();
        detail.OpenMember(id);
        if (detail.exec() == QDialog::Accepted)
            RefreshTable();
        return;
    }
    TfrmHhrqkDetail detail(this);
    detail.TableKind = TableKind;
    detail.setWindowTitle(TableKind == 1 ? QStringLiteral("退伙结算表") : QStringLiteral("合伙份额转让纳税情况表"));
    detail.OpenRow(id);
    if (detail.exec() == QDialog::Accepted)
        RefreshTable();
}

void Tfrmhhrqk::TeSpBtnDeleteClick()
{
    if (m_rows.isEmpty())
        return;
    if (AskBox(QStringLiteral("是否确定删除该条记录？"), 2) != IdYes)
        return;
    dm()->adoQry1.exec(QStringLiteral("delete from ") + tableName() + QStringLiteral(" where id=")
                       + QString::number(currentRow().value(QStringLiteral("id")).toLongLong()));
    RefreshTable();
}

void Tfrmhhrqk::TeSpBtnDeleteAllClick()
{
    if (m_rows.isEmpty())
        return;
    if (AskBox(QStringLiteral("是否确定删除全部记录？"), 2) != IdYes)
        return;
    if (TableKind == 3)
        dm()->adoQry1.exec(QStringLiteral("delete from hhqymx where swdjjbxx_id=") + QuotedStr(PartnerCode));
    else
        dm()->adoQry1.exec(QStringLiteral("delete from ") + tableName());
    RefreshTable();
}

void Tfrmhhrqk::TeSpBtnExportClick()
{
    const QString file = AskExportPath();
    if (file.isEmpty())
        return;
    // Money columns in the money format; shares and ratios as plain numbers.
    static const QSet<QString> money{"rhje", "thje", "jssk", "hhqyzzc", "zrje", "feqdcb", "ynsds", "tz_je"};
    const auto &cols = gridColumns(TableKind);
    QStringList titles, formats;
    for (const GridColumn &c : cols) {
        titles << QString::fromUtf8(c.title);
        formats << (money.contains(QLatin1String(c.column)) ? MoneyFormat() : QString());
    }
    QList<QVariantList> rows;
    for (const QVariantMap &row : m_rows) {
        QVariantList values;
        for (const GridColumn &c : cols)
            values << shownValue(QLatin1String(c.column), row.value(QLatin1String(c.column)));
        rows << values;
    }
    ExportGridXlsx(file, titles, rows, formats);
}

void Tfrmhhrqk::FillDocument(int kind, const QString &templatePath, const QList<QVariantMap> &rows, const QString &savePath)
{
    const DocumentLayout &layout = layoutOf(kind);
    XmlDoc doc = XmlDoc::fromFile(templatePath);
    XmlNode root = doc.child(1);
    root.child(0).setText(QStringLiteral("1.0"));
    const QVariantMap first = rows.isEmpty() ? QVariantMap() : rows.first();
    for (int i = 0; i < layout.header.size(); ++i)
        root.child(i + 1).setText(FormatStoredValue(first.value(QLatin1String(layout.header.at(i)))));
    XmlNode list = root.child(int(layout.header.size()) + 1);
    const XmlNode prototype = list.child(0).deepCopy();
    list.removeChild(0);
    for (const QVariantMap &row : rows) {
        XmlNode element = list.appendChild(prototype.deepCopy());
        for (int p = 0; p < layout.row.size(); ++p) {
            const QLatin1String column(layout.row.at(p));
            const bool amount = layout.amounts.contains(layout.row.at(p));
            element.child(p).setText(amount ? AmountOrZero(row.value(column)) : FormatStoredValue(row.value(column)));
        }
    }
    QFile::remove(savePath);
    doc.save(savePath);
}

void Tfrmhhrqk::TeSpBtnUploadClick()
{
    QString code, password;
    if (!uploadLogin() || !uploadLogin()(code, password))
        return;
    // The members' document is named after the partner, whatever code was typed at login.
    const QString fileCode = TableKind == 3 ? PartnerCode : code;
    if (!codeUsableInFileName(fileCode))
        return;
    const DocumentLayout &layout = layoutOf(TableKind);
    const QString base = QLatin1String(layout.name);
    const QString appPath = dm()->AppPath;
    const QString serviceName = base + QLatin1Char('_') + fileCode + QStringLiteral(".xml");
    const QString localFile = appPath + QStringLiteral("tmp/") + serviceName;

    auto &q = dm()->adoQry1;
    QString sql = QStringLiteral("select * from ") + tableName();
    if (TableKind == 3)
        sql += QStringLiteral(" where swdjjbxx_id=") + QuotedStr(PartnerCode);
    q.select(sql);
    QList<QVariantMap> rows;
    for (q.First(); !q.Eof(); q.Next()) {
        QVariantMap row;
        for (const QString &c : q.columnNames())
            row.insert(c, q.FieldByName(c));
        rows << row;
    }
    FillDocument(TableKind, appPath + QStringLiteral("rpt/") + base + QStringLiteral(".xml"), rows, localFile);
    const QByteArray bytes = ReadFileBytes(localFile);

    QString result;
    {
        TMySoap soap;
        ProgressScope progress(QStringLiteral("正在发送数据，请稍候"));
        soap.UploadFile(serviceName, bytes, result);
    }
    if (result == QLatin1String("1")) {
        InfoBox(QStringLiteral("恭喜,电子数据上传成功！"));
        QFile::remove(localFile);
    } else if (result == QLatin1String("3")) {
        InfoBox(QStringLiteral("软件版本低，请重新更新软件！"));
    } else {
        InfoBox(QStringLiteral("电子数据上传失败，请稍后再试！"));
    }
}

} // namespace lw
