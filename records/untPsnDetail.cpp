// SPDX-License-Identifier: GPL-3.0-or-later
#include "untPsnDetail.h"

#include "MessageBoxes.h"
#include "NumberFormat.h"
#include "UntHhrqk.h"
#include "untDm.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lw {

namespace {

const QString kInv = QStringLiteral("inv_");
const QString kMx = QStringLiteral("mx_");

bool isNumberColumn(const QString &column)
{
    return column == QLatin1String("tz_je") || column == QLatin1String("tz_bl") || column == QLatin1String("fp_bl");
}

// SQL literal of a value: quoted text, bare number, or null.
QString literal(const QString &column, const QVariant &v)
{
    if (v.isNull())
        return QStringLiteral("null");
    if (isNumberColumn(column))
        return FormatGeneral(v.toDouble());
    return QuotedStr(v.toString());
}

// Characters the bureau's service cannot take in these fields.
QString RefusedCharacters()
{
    return QStringLiteral("!#$&'*?^~@");
}

QString FormatMessage()
{
    return QStringLiteral("格式：包含数字，字母，汉字，下划线，中划线，空格，小括号，中括号，逗号，点号，反斜号，百分号，冒号!");
}

QVariantMap readRow(const QString &sql)
{
    auto &q = dm()->ADOQuery1;
    q.select(sql);
    QVariantMap row;
    if (q.IsEmpty())
        throw DbError(QStringLiteral("记录不存在！"));
    for (const QString &c : q.columnNames())
        row.insert(c, q.FieldByName(c));
    return row;
}

} // namespace

TfrmPsnDetail::TfrmPsnDetail(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPsnDetail"));
    setWindowTitle(QStringLiteral("投资者（合伙人）信息"));
    auto *layout = new QVBoxLayout(this);

    const QString natureSql = QStringLiteral("select * from wa_tzzxz order by c_tzzxzcode");
    const QString czfsSql = QStringLiteral("select * from wa_czfs");

    GroupBox1 = new QGroupBox(QStringLiteral("投资者(合伙人)信息"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setLayout(new QFormLayout);
    addText(GroupBox1, kInv, QStringLiteral("swdjjbxx_id"), false, false);
    addText(GroupBox1, kInv, QStringLiteral("hhrswglm"), false, true);
    addText(GroupBox1, kInv, QStringLiteral("hhr_mc"), false, true);
    addList(GroupBox1, kInv, QStringLiteral("gj_dm"), QStringLiteral("select * from wa_nation order by c_NationName"), false);
    addList(GroupBox1, kInv, QStringLiteral("zjzl_dm"), QStringLiteral("select * from wa_certtype"), false);
    addText(GroupBox1, kInv, QStringLiteral("zjhm"), false, true);
    QComboBox *nature = addList(GroupBox1, kInv, QStringLiteral("tzzxz"), natureSql, true);
    addText(GroupBox1, kInv, QStringLiteral("tzzdz"), true, true);
    addText(GroupBox1, kInv, QStringLiteral("lxfs"), true, true);
    addList(GroupBox1, kInv, QStringLiteral("czfs"), czfsSql, true);
    addText(GroupBox1, kInv, QStringLiteral("tz_je"), false, true);
    addText(GroupBox1, kInv, QStringLiteral("tz_bl"), false, true);
    addText(GroupBox1, kInv, QStringLiteral("fp_bl"), false, true);
    addText(GroupBox1, kInv, QStringLiteral("jkzh"), true, true);
    addList(GroupBox1, kInv, QStringLiteral("nsjd"), QStringLiteral("select * from wa_nsjd"), false);
    addList(GroupBox1, kInv, QStringLiteral("sfbqyhj"), QStringLiteral("select * from wa_sf"), true);
    const QStringList invLabels{"税务管理码", "投资者税务管理码", "合伙人名称", "国家或地区", "证件种类", "证件号码",
                                "投资者性质(*)", "投资者地址(*)", "联系方式(*)", "出资方式(*)", "投资金额", "投资比例",
                                "分配比例", "缴款账号", "纳税鉴定", "多处投资的\n是否在本企业汇缴(*)"};
    auto *invForm = static_cast<QFormLayout *>(GroupBox1->layout());
    layout->addWidget(GroupBox1);
    connect(nature, &QComboBox::activated, this, [this] { RunGuarded([this] { tzzxzChange(); }); });

    GroupBox2 = new QGroupBox(QStringLiteral("合伙人为合伙企业明细信息"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setLayout(new QFormLayout);
    addText(GroupBox2, kMx, QStringLiteral("swdjjbxx_id"), false, false);
    addText(GroupBox2, kMx, QStringLiteral("hhrswglm"), true, true);
    addText(GroupBox2, kMx, QStringLiteral("hhr_mc"), true, true);
    addText(GroupBox2, kMx, QStringLiteral("zjhm"), true, true);
    addList(GroupBox2, kMx, QStringLiteral("tzzxz"), natureSql, true);
    addText(GroupBox2, kMx, QStringLiteral("tzzdz"), true, true);
    addText(GroupBox2, kMx, QStringLiteral("lxfs"), true, true);
    addList(GroupBox2, kMx, QStringLiteral("czfs"), czfsSql, true);
    addText(GroupBox2, kMx, QStringLiteral("tz_je"), true, true);
    addText(GroupBox2, kMx, QStringLiteral("tz_bl"), true, true);
    addText(GroupBox2, kMx, QStringLiteral("fp_bl"), true, true);
    const QStringList mxLabels{"税务管理码", "投资者税务管理码", "投资人名称", "证件号码", "投资者性质(*)", "投资者地址(*)",
                               "联系方式(*)", "出资方式(*)", "出资金额", "出资比例", "分配比例"};
    auto *mxForm = static_cast<QFormLayout *>(GroupBox2->layout());
    GroupBox2->hide();
    layout->addWidget(GroupBox2);

    // Labels in screen order beside their editors.
    for (int i = 0; i < invLabels.size(); ++i)
        invForm->setWidget(i, QFormLayout::LabelRole, new QLabel(invLabels.at(i)));
    for (int i = 0; i < mxLabels.size(); ++i)
        mxForm->setWidget(i, QFormLayout::LabelRole, new QLabel(mxLabels.at(i)));

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    bbtnOK = new QPushButton(QStringLiteral("确定"), this);
    bbtnOK->setObjectName(QStringLiteral("bbtnOK"));
    bbtnCancel = new QPushButton(QStringLiteral("取消"), this);
    bbtnCancel->setObjectName(QStringLiteral("bbtnCancel"));
    buttons->addWidget(bbtnOK);
    buttons->addWidget(bbtnCancel);
    layout->addLayout(buttons);
    connect(bbtnOK, &QPushButton::clicked, this, [this] { RunGuarded([this] { bbtnOKClick(); }); });
    connect(bbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QLineEdit *TfrmPsnDetail::addText(QGroupBox *group, const QString &prefix, const QString &column, bool editable, bool filtered)
{
    auto *edit = new QLineEdit(group);
    edit->setObjectName(prefix + column);
    edit->setEnabled(editable);
    if (filtered) {
        edit->installEventFilter(this);
        // Pasted or dropped text passes the same filter as typed characters.
        connect(edit, &QLineEdit::textEdited, this, [edit](const QString &text) {
            QString kept;
            for (QChar c : text)
                if (!RefusedCharacters().contains(c))
                    kept += c;
            if (kept.size() == text.size())
                return;
            const int cursor = qMax(0, edit->cursorPosition() - int(text.size() - kept.size()));
            edit->setText(kept);
            edit->setCursorPosition(cursor);
            InfoBox(FormatMessage());
        });
    }
    static_cast<QFormLayout *>(group->layout())->addRow(static_cast<QWidget *>(nullptr), edit);
    m_editors.insert(prefix + column, edit);
    const bool investor = prefix == kInv;
    const QString key = prefix + column;
    connect(edit, &QLineEdit::textEdited, this, [this, investor, key] {
        (investor ? m_investorEditing : m_memberEditing) = true;
        m_touched.insert(key);
    });
    return edit;
}

QComboBox *TfrmPsnDetail::addList(QGroupBox *group, const QString &prefix, const QString &column, const QString &sql, bool editable)
{
    auto *box = new QComboBox(group);
    box->setObjectName(prefix + column);
    box->setEnabled(editable);
    static_cast<QFormLayout *>(group->layout())->addRow(static_cast<QWidget *>(nullptr), box);
    m_editors.insert(prefix + column, box);
    m_listSql.insert(box, sql);
    const bool investor = prefix == kInv;
    const QString key = prefix + column;
    connect(box, &QComboBox::activated, this, [this, investor, key] {
        (investor ? m_investorEditing : m_memberEditing) = true;
        m_touched.insert(key);
    });
    return box;
}

void TfrmPsnDetail::fillLists()
{
    if (m_listsFilled)
        return;
    m_listsFilled = true;
    auto &q = dm()->ADOQuery1;
    for (auto it = m_listSql.cbegin(); it != m_listSql.cend(); ++it) {
        q.select(it.value());
        // Each code table has its key first and its name second.
        const QStringList cols = q.columnNames();
        for (q.First(); !q.Eof(); q.Next())
            it.key()->addItem(q.text(cols.value(1)), q.text(cols.value(0)));
        it.key()->setCurrentIndex(-1);
    }
}

QLineEdit *TfrmPsnDetail::edit(const QString &group, const QString &column) const
{
    return qobject_cast<QLineEdit *>(m_editors.value(group + QLatin1Char('_') + column));
}

QComboBox *TfrmPsnDetail::list(const QString &group, const QString &column) const
{
    return qobject_cast<QComboBox *>(m_editors.value(group + QLatin1Char('_') + column));
}

void TfrmPsnDetail::showRow(const QString &prefix, const QVariantMap &row)
{
    fillLists();
    for (auto it = m_editors.cbegin(); it != m_editors.cend(); ++it) {
        if (!it.key().startsWith(prefix))
            continue;
        const QString text = FormatStoredValue(row.value(it.key().mid(prefix.size())));
        if (auto *e = qobject_cast<QLineEdit *>(it.value()))
            e->setText(text);
        else if (auto *c = qobject_cast<QComboBox *>(it.value()))
            c->setCurrentIndex(c->findData(text));
    }
}

QVariantMap TfrmPsnDetail::currentValues(const QString &prefix, const QVariantMap &stored) const
{
    QVariantMap values;
    for (auto it = m_editors.cbegin(); it != m_editors.cend(); ++it) {
        if (!it.key().startsWith(prefix))
            continue;
        const QString column = it.key().mid(prefix.size());
        // A field the user left alone keeps its stored value, also a code no list holds.
        if (!m_touched.contains(it.key())) {
            values.insert(column, stored.value(column));
            continue;
        }
        QString text;
        if (auto *e = qobject_cast<QLineEdit *>(it.value()))
            text = e->text();
        else if (auto *c = qobject_cast<QComboBox *>(it.value()))
            text = c->currentIndex() < 0 ? QString() : c->currentData().toString();
        const QVariant old = stored.value(column);
        if (text == FormatStoredValue(old)) {
            values.insert(column, old);
            continue;
        }
        if (text.isEmpty()) {
            values.insert(column, isNumberColumn(column) ? QVariant() : QVariant(QString()));
        } else if (isNumberColumn(column)) {
            double number = 0;
            if (!ParseAmount(text, &number))
                throw DbError(QStringLiteral("“%1”不是有效的数值！").arg(text));
            values.insert(column, number);
        } else {
            values.insert(column, text);
        }
    }
    return values;
}

void TfrmPsnDetail::clearTouched(const QString &prefix)
{
    for (auto it = m_touched.begin(); it != m_touched.end();) {
        if (it->startsWith(prefix))
            it = m_touched.erase(it);
        else
            ++it;
    }
}

void TfrmPsnDetail::OpenInvestor(qint64 id)
{
    m_investor = readRow(QStringLiteral("select * from hhrtzqk where id=") + QString::number(id));
    m_investorOpen = true;
    m_investorEditing = false;
    clearTouched(kInv);
    showRow(kInv, m_investor);
}

void TfrmPsnDetail::OpenMember(qint64 id)
{
    m_member = readRow(QStringLiteral("select * from hhqymx where id=") + QString::number(id));
    m_memberOpen = true;
    m_memberEditing = false;
    m_memberInserting = false;
    clearTouched(kMx);
    showRow(kMx, m_member);
}

void TfrmPsnDetail::InsertMember(const QString &partnerCode)
{
    m_member = QVariantMap{{QStringLiteral("swdjjbxx_id"), partnerCode}};
    m_memberOpen = true;
    m_memberEditing = true;
    m_memberInserting = true;
    clearTouched(kMx);
    showRow(kMx, m_member);
}

void TfrmPsnDetail::ShowMemberGroup()
{
    GroupBox1->hide();
    GroupBox2->show();
}

bool TfrmPsnDetail::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit *>(watched)) {
        const QString typed = static_cast<QKeyEvent *>(event)->text();
        if (typed.size() == 1 && RefusedCharacters().contains(typed.at(0))) {
            InfoBox(FormatMessage());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmPsnDetail::tzzxzChange()
{
    m_investorEditing = true;
    QComboBox *nature = list(QStringLiteral("inv"), QStringLiteral("tzzxz"));
    const QString code = nature->currentIndex() < 0 ? QString() : nature->currentData().toString();
    QString nsjd;
    if (code == QLatin1String("01"))
        nsjd = QStringLiteral("02");
    else if (code == QLatin1String("02"))
        nsjd = QStringLiteral("01");
    QComboBox *box = list(QStringLiteral("inv"), QStringLiteral("nsjd"));
    box->setCurrentIndex(box->findData(nsjd));
    m_touched.insert(kInv + QStringLiteral("nsjd"));
}

bool TfrmPsnDetail::investorChecksPass()
{
    struct Check { const char *column; const char *message; };
    static const Check checks[] = {{"tzzxz", "投资者性质不能为空！"},
                                   {"czfs", "出资方式不能为空！"},
                                   {"tzzdz", "投资者地址不能为空！"},
                                   {"lxfs", "联系方式不能为空！"},
                                   {"sfbqyhj", "是否在本企业汇缴不能为空！"}};
    const QVariantMap values = currentValues(kInv, m_investor);
    for (const Check &c : checks) {
        if (values.value(QLatin1String(c.column)).toString().isEmpty()) {
            InfoBox(QString::fromUtf8(c.message));
            m_editors.value(kInv + QLatin1String(c.column))->setFocus();
            return false;
        }
    }
    return true;
}

void TfrmPsnDetail::saveInvestor()
{
    const QVariantMap values = currentValues(kInv, m_investor);
    QStringList sets;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        if (it.value() != m_investor.value(it.key()) || it.value().isNull() != m_investor.value(it.key()).isNull())
            sets << it.key() + QLatin1Char('=') + literal(it.key(), it.value());
    if (!sets.isEmpty())
        dm()->ADOQuery1.exec(QStringLiteral("update hhrtzqk set ") + sets.join(QLatin1Char(',')) + QStringLiteral(" where id=")
                             + QString::number(m_investor.value(QStringLiteral("id")).toLongLong()));
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        m_investor.insert(it.key(), it.value());
    m_investorEditing = false;
}

void TfrmPsnDetail::saveMember()
{
    const QVariantMap values = currentValues(kMx, m_member);
    auto &q = dm()->ADOQuery1;
    if (m_memberInserting) {
        QStringList columns, literals;
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            if (it.value().isNull())
                continue;
            columns << it.key();
            literals << literal(it.key(), it.value());
        }
        q.exec(QStringLiteral("insert into hhqymx (") + columns.join(QLatin1Char(',')) + QStringLiteral(") values (")
               + literals.join(QLatin1Char(',')) + QLatin1Char(')'));
    } else {
        QStringList sets;
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            if (it.key() != QLatin1String("swdjjbxx_id"))
                sets << it.key() + QLatin1Char('=') + literal(it.key(), it.value());
        q.exec(QStringLiteral("update hhqymx set ") + sets.join(QLatin1Char(',')) + QStringLiteral(" where id=")
               + QString::number(m_member.value(QStringLiteral("id")).toLongLong()));
    }
    m_memberEditing = false;
    m_memberInserting = false;
}

void TfrmPsnDetail::bbtnOKClick()
{
    if (m_investorOpen && m_investorEditing) {
        const QVariantMap v = currentValues(kInv, m_investor);
        auto t = [&v](const char *c) { return QuotedStr(v.value(QLatin1String(c)).toString()); };
        const QString code = v.value(QStringLiteral("hhrswglm")).toString();
        // A stored investor already holding these values means nothing the bureau checks changed;
        // nulls never compare equal, so an investor with a null there always counts as changed.
        auto &q = dm()->ADOQuery1;
        q.select(QStringLiteral("select 1 from hhrtzqk where sfbqyhj=") + t("sfbqyhj") + QStringLiteral(" and tzzxz=") + t("tzzxz")
                 + QStringLiteral(" and  tzzdz=") + t("tzzdz") + QStringLiteral(" and lxfs=") + t("lxfs")
                 + QStringLiteral(" and czfs=") + t("czfs") + QStringLiteral(" and jkzh=") + t("jkzh"));
        const bool changed = q.IsEmpty();
        if (!investorChecksPass())
            return;
        saveInvestor();
        if (changed) {
            q.exec(QStringLiteral("update hhrtzqk set shbj='N' where hhrswglm=") + QuotedStr(code));
            InfoBox(QStringLiteral("投资者信息已修改，请及时上传信息！"));
        }
    }
    if (m_memberOpen && m_memberEditing)
        saveMember();
    setResult(QDialog::Accepted);
    if (m_investorOpen && m_investor.value(QStringLiteral("tzzxz")).toString() == QLatin1String("03")) {
        Tfrmhhrqk members(this);
        members.PrepareMemberList(m_investor.value(QStringLiteral("hhrswglm")).toString());
        members.exec();
    }
    accept();
}

} // namespace lw
