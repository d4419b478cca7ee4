// SPDX-License-Identifier: GPL-3.0-or-later
#include "untPsn.h"

#include "ExchangeDoc.h"
#include "FileBytes.h"
#include "GridExport.h"
#include "NumberFormat.h"
#include "MessageBoxes.h"
#include "UntMySoap.h"
#include "XmlDoc.h"
#include "untDm.h"
#include "untProcess.h"
#include "untPsnDetail.h"
#include "untWebLogin.h"

#include <QComboBox>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

namespace lw {

namespace {
struct Field
{
    const char *label;
    const char *column;
};
// The read-only enterprise fields of the first page, in order.
const Field kFields[] = {{"税务管理码:", "swglm"},  {"纳税人识别号:", "nsrsbh"}, {"企业名称:", "nsr_mc"},
                         {"组织机构代码:", "zzjg_dm"}, {"登记注册类型:", "djzclx_mc"}, {"机构类型", "djjglx_dm"},
                         {"征收方式:", "zsfs_mc"},  {"电话:", "lxdh_mc"},     {"开业日期:", "kysl_rq"},
                         {"注册地址:", "zcdz_mc"},  {"生产经营地址:", "scjydz"}, {"经营范围:", "jyfw_mc"}};

struct GridColumn
{
    const char *column;
    const char *title;
};
const GridColumn kGrid[] = {{"hhrswglm", "投资者税务管理码"}, {"hhr_mc", "投资者名称"},   {"zjhm", "证件编号"},
                            {"tzzxz", "投资者性质"},       {"czfs", "出资方式"},      {"tz_je", "出资金额"},
                            {"fp_bl", "分配比例"},         {"tzqthhqy_mc", "投资其他合伙企业"},
                            {"sfbqyhj", "是否在本企业汇缴"}, {"jkzh", "缴款账号"},      {"nsjd", "纳税鉴定"},
                            {"tzzdz", "投资者地址"},       {"lxfs", "联系方式"}};

struct CodeList
{
    const char *column;
    const char *table;
    const char *key;
    const char *name;
};
const CodeList kCodeLists[] = {{"sfbqyhj", "wa_sf", "c_Code", "c_Name"},
                               {"nsjd", "wa_nsjd", "c_nsjdid", "c_nsjdname"},
                               {"czfs", "wa_czfs", "c_czfsid", "c_czfsname"},
                               {"tzzxz", "wa_tzzxz", "c_tzzxzcode", "c_tzzxzname"}};

// Trims spaces and control characters at both ends, as the completeness check counts them.
QString TrimControl(const QString &text)
{
    int b = 0, e = int(text.size());
    while (b < e && text.at(b).unicode() <= ' ')
        ++b;
    while (e > b && text.at(e - 1).unicode() <= ' ')
        --e;
    return text.mid(b, e - b);
}


QPushButton *ToolButton(QWidget *parent, QHBoxLayout *bar, const char *name, const char *text)
{
    auto *button = new QPushButton(QString::fromUtf8(text), parent);
    button->setObjectName(QLatin1String(name));
    bar->addWidget(button);
    return button;
}
} // namespace

std::function<bool(QWidget *, int)> &TfrmPsn::OpenPsnDetail()
{
    static std::function<bool(QWidget *, int)> hook = [](QWidget *parent, int id) {
        TfrmPsnDetail detail(parent);
        detail.OpenInvestor(id);
        return detail.exec() == QDialog::Accepted;
    };
    return hook;
}

TfrmPsn::TfrmPsn(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPsn"));
    setWindowTitle(QStringLiteral("企业信息"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    resize(820, 560);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));

    auto *page1 = new QWidget;
    page1->setObjectName(QStringLiteral("TabSheet1"));
    auto *bar1 = new QHBoxLayout;
    TeSpBtnDownload = ToolButton(page1, bar1, "TeSpBtnDownload", "下载&I");
    QPushButton *exit1 = ToolButton(page1, bar1, "TeSpBtnExit1", "退出&Q");
    bar1->addStretch();
    auto *form = new QFormLayout;
    for (const Field &f : kFields) {
        auto *edit = new QLineEdit(page1);
        edit->setObjectName(QStringLiteral("edt_") + QLatin1String(f.column));
        edit->setReadOnly(true);
        edit->setEnabled(false);
        m_fields.insert(QLatin1String(f.column), edit);
        form->addRow(QString::fromUtf8(f.label), edit);
    }
    cbZclxxl = new QComboBox(page1);
    cbZclxxl->setObjectName(QStringLiteral("cbZclxxl"));
    form->addRow(QStringLiteral("注册类型小类:"), cbZclxxl);
    auto *v1 = new QVBoxLayout(page1);
    v1->addLayout(bar1);
    v1->addLayout(form);
    v1->addStretch();
    PageControl1->addTab(page1, QStringLiteral("基本信息"));

    auto *page2 = new QWidget;
    page2->setObjectName(QStringLiteral("TabSheet2"));
    auto *bar2 = new QHBoxLayout;
    TeSpBtnModify = ToolButton(page2, bar2, "TeSpBtnModify", "修改&M");
    TeSpBtnUpload = ToolButton(page2, bar2, "TeSpBtnUpload", "上传&U");
    TeSpBtnExport = ToolButton(page2, bar2, "TeSpBtnExport", "导出");
    QPushButton *exit2 = ToolButton(page2, bar2, "TeSpBtnExit2", "退出&Q");
    bar2->addStretch();
    DBGridEh1 = new QTableWidget(0, int(std::size(kGrid)), page2);
    DBGridEh1->setObjectName(QStringLiteral("DBGridEh1"));
    DBGridEh1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGridEh1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGridEh1->setSelectionMode(QAbstractItemView::SingleSelection);
    QStringList titles;
    for (const GridColumn &c : kGrid)
        titles << QString::fromUtf8(c.title);
    DBGridEh1->setHorizontalHeaderLabels(titles);
    DBGridEh1->setColumnHidden(7, true); // tzqthhqy_mc
    auto *v2 = new QVBoxLayout(page2);
    v2->addLayout(bar2);
    v2->addWidget(DBGridEh1);
    PageControl1->addTab(page2, QStringLiteral("投资者(合伙人)明细信息"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);

    connect(TeSpBtnDownload, &QPushButton::clicked, this, [this] { RunGuarded([this] { TeSpBtnDownloadClick(); }); });
    connect(TeSpBtnModify, &QPushButton::clicked, this, [this] { RunGuarded([this] { TeSpBtnModifyClick(); }); });
    connect(DBGridEh1, &QTableWidget::cellDoubleClicked, this, [this] { RunGuarded([this] { TeSpBtnModifyClick(); }); });
    connect(TeSpBtnUpload, &QPushButton::clicked, this, [this] { RunGuarded([this] { TeSpBtnUploadClick(); }); });
    connect(TeSpBtnExport, &QPushButton::clicked, this, [this] { RunGuarded([this] { TeSpBtnExportClick(); }); });
    connect(exit1, &QPushButton::clicked, this, &QWidget::close);
    connect(exit2, &QPushButton::clicked, this, &QWidget::close);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int i) { RunGuarded([this, i] { PageControl1Change(i); }); });
    connect(cbZclxxl, QOverload<int>::of(&QComboBox::activated), this, [this] { m_pendingEdit = true; });
}

TfrmPsn::~TfrmPsn() = default;

void TfrmPsn::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        RunGuarded([this] { FormShow(); });
    }
}

void TfrmPsn::FormShow()
{
    cbZclxxl->clear();
    AdoQuery &q = dm()->ADOQuery1;
    q.select(QStringLiteral("select c_zclxcode, c_zclxname from wa_zclxxl"));
    for (q.First(); !q.Eof(); q.Next())
        cbZclxxl->addItem(q.text(QStringLiteral("c_zclxname")), q.text(QStringLiteral("c_zclxcode")));
    FillCodeLists();
    RefreshTables();
}

void TfrmPsn::FillCodeLists()
{
    m_codeLists.clear();
    AdoQuery &q = dm()->ADOQuery1;
    for (const CodeList &c : kCodeLists) {
        QMap<QString, QString> &list = m_codeLists[QLatin1String(c.column)];
        q.select(QStringLiteral("select %1, %2 from %3").arg(QLatin1String(c.key), QLatin1String(c.name), QLatin1String(c.table)));
        for (q.First(); !q.Eof(); q.Next())
            list.insert(q.text(QLatin1String(c.key)), q.text(QLatin1String(c.name)));
    }
}

QString TfrmPsn::coded(const QString &column, const QString &code) const
{
    const auto list = m_codeLists.constFind(column);
    if (list == m_codeLists.constEnd())
        return code;
    return list->value(code);
}

void TfrmPsn::RefreshTables()
{
    AdoQuery &q = dm()->ADOQuery1;
    q.select(QStringLiteral("select * from psn"));
    for (auto it = m_fields.begin(); it != m_fields.end(); ++it) {
        it.value()->setText(q.IsEmpty() ? QString() : FormatStoredValue(q.FieldByName(it.key())));
        // Long read-only fields (经营范围, the name) show their beginning.
        it.value()->setCursorPosition(0);
        it.value()->setToolTip(it.value()->text());
    }
    const QString subclass = q.IsEmpty() ? QString() : q.text(QStringLiteral("zclxxl_mc"));
    // The stored value is the list's key; older rows may hold the shown name instead.
    int index = subclass.isEmpty() ? -1 : cbZclxxl->findData(subclass);
    if (index < 0 && !subclass.isEmpty())
        index = cbZclxxl->findText(subclass);
    cbZclxxl->setCurrentIndex(index);
    m_pendingEdit = false;

    q.select(QStringLiteral("select * from hhrtzqk "));
    DBGridEh1->setRowCount(0);
    DBGridEh1->setRowCount(q.RecordCount());
    int row = 0;
    for (q.First(); !q.Eof(); q.Next(), ++row) {
        for (int c = 0; c < int(std::size(kGrid)); ++c) {
            const QString column = QLatin1String(kGrid[c].column);
            QString text = FormatStoredValue(q.FieldByName(column));
            if (m_codeLists.contains(column))
                text = coded(column, text);
            auto *item = new QTableWidgetItem(text);
            const QVariant stored = q.FieldByName(column);
            if (!m_codeLists.contains(column) && (stored.typeId() == QMetaType::Double || stored.typeId() == QMetaType::LongLong)) {
                item->setData(kExportValueRole, stored);
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            if (c == 0)
                item->setData(Qt::UserRole, q.FieldByName(QStringLiteral("id")));
            DBGridEh1->setItem(row, c, item);
        }
    }
    DBGridEh1->resizeColumnsToContents();
    if (DBGridEh1->rowCount() > 0)
        DBGridEh1->setCurrentCell(0, 0);
}

void TfrmPsn::savePendingEdit()
{
    if (!m_pendingEdit)
        return;
    m_pendingEdit = false;
    const int i = cbZclxxl->currentIndex();
    const QString key = i < 0 ? QString() : cbZclxxl->itemData(i).toString();
    dm()->adoQry1.exec(QStringLiteral("update psn set zclxxl_mc=%1").arg(QuotedStr(key)));
}

bool TfrmPsn::CheckSubclass()
{
    savePendingEdit();
    AdoQuery &q = dm()->adoQry1;
    q.select(QStringLiteral("select swglm, zclxxl_mc from psn"));
    if (q.IsEmpty() || q.text(QStringLiteral("swglm")).isEmpty() || !q.text(QStringLiteral("zclxxl_mc")).isEmpty())
        return true;
    {
        const QSignalBlocker block(PageControl1);
        PageControl1->setCurrentIndex(0);
    }
    InfoBox(QStringLiteral("注册类型小类不能为空！"));
    cbZclxxl->setFocus();
    return false;
}

void TfrmPsn::PageControl1Change(int index)
{
    if (index == 1)
        CheckSubclass();
}

// The close box and the exit buttons arrive here too (QDialog's close event rejects).
void TfrmPsn::reject()
{
    bool ok = true;
    RunGuarded([this, &ok] { ok = CheckSubclass(); });
    if (ok)
        QDialog::reject();
}

void TfrmPsn::TeSpBtnDownloadClick()
{
    QString code;
    {
        TfrmWebLogin login(this);
        login.LoginMode = 1;
        if (login.exec() != QDialog::Accepted)
            return;
        code = login.code();
    }
    if (!IsSafeTaxCode(code)) {
        InfoBox(UnsafeTaxCodeMessage());
        return;
    }
    ImportAnswer(ExchangeAnswerPath(code));
}

bool TfrmPsn::ImportAnswer(const QString &path)
{
    ShowProgress(QStringLiteral("正在下载企业信息，请稍后。。。"));
    EnterpriseAnswer answer;
    try {
        // Read whole before the tables are touched: a malformed answer changes nothing.
        answer = ReadEnterpriseAnswer(XmlDoc::fromFile(path));
    } catch (const XmlError &e) {
        HideProgress();
        ErrorBox(QStringLiteral("企业信息文件格式不正确，未导入任何数据！\n") + QString::fromStdString(e.what()));
        return false;
    }
    try {
        StoreEnterpriseAnswer(answer);
    } catch (...) {
        HideProgress();
        throw;
    }
    HideProgress();
    if (QFile::exists(path))
        QFile::remove(path);
    RefreshTables();
    return true;
}

void TfrmPsn::TeSpBtnModifyClick()
{
    dm()->adoQry1.select(QStringLiteral("select 1 from psn"));
    if (dm()->adoQry1.IsEmpty())
        return;
    const int row = DBGridEh1->currentRow();
    if (row < 0 || !DBGridEh1->item(row, 0))
        return;
    const int id = DBGridEh1->item(row, 0)->data(Qt::UserRole).toInt();
    if (OpenPsnDetail() && OpenPsnDetail()(this, id))
        RefreshTables();
}

void TfrmPsn::TeSpBtnUploadClick()
{
    for (const Field &f : kFields) {
        if (TrimControl(m_fields.value(QLatin1String(f.column))->text()).isEmpty()) {
            InfoBox(QStringLiteral("企业信息不全不能上传,请先去税务机关变更信息，再重新下载,上传企业信息！"));
            return;
        }
    }
    AdoQuery &q = dm()->adoQry1;
    q.select(QStringLiteral("select 1 from hhrtzqk "));
    if (!q.IsEmpty()) {
        q.select(QStringLiteral(
            "select 1 from hhrtzqk where (hhrswglm ='') or (hhrswglm is null) or (hhr_mc is null) or (zjzl_dm is null) "
            "or (zjzl_mc is null) or (tz_je is null) or (tz_bl is null) or (fp_bl is null) or (tzzxz is null) or (tzzxz='') "
            "or (lxfs is null) or  (lxfs ='')  or (czfs is null) or (czfs ='') or (tzzdz is null) or (tzzdz ='') "
            "or (sfbqyhj is null) or (sfbqyhj ='') or (jkzh is null) or (gj_dm is null)"));
        if (!q.IsEmpty()) {
            InfoBox(QStringLiteral("投资者信息不全不能上传,请先去税务机关变更信息，再重新下载,上传投资者信息！"));
            return;
        }
        q.select(QStringLiteral("select 1 from hhrtzqk where  length(hhrswglm)<15 "));
        if (!q.IsEmpty()) {
            InfoBox(QStringLiteral("您的投资者税务管理码少于15位，请确定管理码是否正确，或至税务机关窗口进行变更，变更完成后再重新下载,上传投资者信息！"));
            return;
        }
    }
    q.select(QStringLiteral("select swglm from psn"));
    const QString swglm = q.IsEmpty() ? QString() : q.text(QStringLiteral("swglm"));
    // The stored code names the upload file: refuse it before the login and before any file.
    if (!IsSafeTaxCode(swglm)) {
        InfoBox(UnsafeTaxCodeMessage());
        return;
    }

    QString code, password;
    {
        TfrmWebLogin login(this);
        login.LoginMode = 2;
        if (login.exec() != QDialog::Accepted)
            return;
        code = login.code();
        password = login.password();
    }

    const QString path = dm()->AppPath + QStringLiteral("tmp/") + ExchangeFileName(swglm);
    QByteArray bytes;
    try {
        WriteEnterpriseUpload(path, code, password);
        bytes = ReadFileBytes(path);
    } catch (...) {
        QFile::remove(path);
        throw;
    }
    // The document carries the password: it goes once it has been read for sending.
    QFile::remove(path);

    TMySoap soap;
    QString result;
    ShowProgress(QStringLiteral("正在发送数据，请稍候"));
    try {
        soap.UploadFile(ExchangeFileName(swglm), bytes, result);
    } catch (...) {
        HideProgress();
        throw;
    }
    HideProgress();
    if (result == QLatin1String("1")) {
        InfoBox(QStringLiteral("恭喜,电子数据上传成功！"));
        q.exec(QStringLiteral("update  psn set shbj='Y'"));
        q.exec(QStringLiteral("update hhrtzqk set shbj='Y' where shbj='N'"));
    } else if (result == QLatin1String("3")) {
        InfoBox(QStringLiteral("软件版本低，请重新更新软件！"));
    } else {
        InfoBox(QStringLiteral("电子数据上传失败，请稍后再试！"));
    }
}

void TfrmPsn::TeSpBtnExportClick()
{
    QStringList formats;
    for (const GridColumn &c : kGrid)
        formats << (qstrcmp(c.column, "tz_je") == 0 ? MoneyFormat() : QString());
    ExportGridWithDialog(DBGridEh1, QStringLiteral("投资者明细信息.xlsx"), formats);
}

} // namespace lw
