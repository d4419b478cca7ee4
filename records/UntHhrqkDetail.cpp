// SPDX-License-Identifier: GPL-3.0-or-later
#include "UntHhrqkDetail.h"

#include "Clock.h"
#include "MessageBoxes.h"
#include "NumberFormat.h"
#include "untDm.h"

#include <QDate>
#include <QDateEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QToolButton>
#include <QVBoxLayout>

namespace lw {

namespace {

const QSet<QString> &numberColumns()
{
    static const QSet<QString> columns{"rhje", "thje", "jssk", "hhqyzzc", "zrhhrzyfe", "zrfe", "zrje", "feqdcb", "ynsds"};
    return columns;
}

// The forms a date editor accepts as typed text.
QDate parseDate(const QString &text)
{
    for (const char *format : {"yyyy-M-d", "yyyy/M/d", "yyyy.M.d", "yyyyMMdd"}) {
        const QDate d = QDate::fromString(text.trimmed(), QLatin1String(format));
        if (d.isValid())
            return d;
    }
    return QDate();
}

const QDate kNoDate(1900, 1, 1);

} // namespace

TfrmHhrqkDetail::TfrmHhrqkDetail(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmHhrqkDetail"));
    auto *layout = new QVBoxLayout(this);
    GroupBox1 = addGroup(QStringLiteral("退伙结算表"), QStringLiteral("thjs_"),
                         {{"hhrswglm", "合伙人管理码"}, {"hhr_mc", "合伙人名称"}, {"hhqy_swglm", "合伙企业管理码"},
                          {"hhqy_mc", "合伙企业"}, {"thsj", "退伙时间"}, {"rhsj", "入伙时间"}, {"rhje", "入伙金额"},
                          {"thje", "退伙金额"}, {"thsm", "退伙说明"}, {"jssk", "结算税款"}, {"jnsj", "缴纳时间"},
                          {"wsh", "完税号"}},
                         {"thje", "thsm", "jssk", "jnsj", "wsh"});
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    layout->addWidget(GroupBox1);
    GroupBox2 = addGroup(QStringLiteral("合伙份额转让纳税情况表"), QStringLiteral("fe_"),
                         {{"hhqy_swglm", "合伙企业管理码"}, {"hhqy_mc", "合伙企业名称"}, {"zrr_mc", "份额转让人"},
                          {"zrr_swglm", "转让合伙人管理码"}, {"srr_mc", "份额受让人"}, {"srr_swglm", "受让合伙人管理码"},
                          {"hhqyzzc", "合伙企业总净资产"}, {"zrhhrzyfe", "转让合伙人占有份额"}, {"zrfe", "转让份额"},
                          {"zrje", "转让金额"}, {"feqdcb", "份额取得成本"}, {"ynsds", "应纳所得税"}, {"jnsj", "缴纳时间"},
                          {"wspz", "完税凭证"}},
                         {"srr_mc", "srr_swglm", "hhqyzzc", "zrhhrzyfe", "zrfe", "zrje", "feqdcb", "ynsds", "jnsj", "wspz"});
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    layout->addWidget(GroupBox2);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    auto *bbtnOK = new QPushButton(QStringLiteral("确定"), this);
    bbtnOK->setObjectName(QStringLiteral("bbtnOK"));
    auto *bbtnCancel = new QPushButton(QStringLiteral("取消"), this);
    bbtnCancel->setObjectName(QStringLiteral("bbtnCancel"));
    buttons->addWidget(bbtnOK);
    buttons->addWidget(bbtnCancel);
    layout->addLayout(buttons);
    connect(bbtnOK, &QPushButton::clicked, this, [this] { RunGuarded([this] { bbtnOKClick(); }); });
    connect(bbtnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

QGroupBox *TfrmHhrqkDetail::addGroup(const QString &title, const QString &prefix,
                                     const QList<std::pair<const char *, const char *>> &fields, const QStringList &editable)
{
    auto *group = new QGroupBox(title, this);
    auto *form = new QFormLayout(group);
    for (const auto &[column, label] : fields) {
        const QString name = QLatin1String(column);
        if (name == QLatin1String("jnsj")) {
            form->addRow(QString::fromUtf8(label), addDateEditor(group, prefix + name));
            continue;
        }
        auto *e = new QLineEdit(group);
        e->setObjectName(prefix + name);
        e->setEnabled(editable.contains(name));
        m_editors.insert(prefix + name, e);
        connect(e, &QLineEdit::textEdited, this, [this] { m_editing = true; });
        if (name == QLatin1String("thsj")) {
            // The leaving date comes from the investor's cj_rq; say so when the bureau sent none.
            auto *box = new QWidget(group);
            auto *row = new QHBoxLayout(box);
            row->setContentsMargins(0, 0, 0, 0);
            auto *hint = new QLabel(QStringLiteral("企业信息中没有该投资者的退伙日期"), box);
            hint->setObjectName(prefix + QStringLiteral("thsj_hint"));
            hint->setStyleSheet(QStringLiteral("color: #a05000;"));
            hint->hide();
            row->addWidget(e, 1);
            row->addWidget(hint);
            form->addRow(QString::fromUtf8(label), box);
            continue;
        }
        form->addRow(QString::fromUtf8(label), e);
    }
    return group;
}

QWidget *TfrmHhrqkDetail::addDateEditor(QWidget *group, const QString &name)
{
    auto *box = new QWidget(group);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    auto *date = new QDateEdit(box);
    date->setObjectName(name);
    date->setCalendarPopup(true);
    date->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    date->setMinimumDate(kNoDate);
    // The lowest date shows as an empty field: a payment date may be left open.
    date->setSpecialValueText(QStringLiteral(" "));
    date->setDate(kNoDate);
    auto *clear = new QToolButton(box);
    clear->setObjectName(name + QStringLiteral("_clear"));
    clear->setText(QStringLiteral("清空"));
    row->addWidget(date, 1);
    row->addWidget(clear);
    m_dates.insert(name, date);
    connect(date, &QDateEdit::dateChanged, this, [this] {
        if (!m_loading)
            m_editing = m_dateTouched = true;
    });
    connect(clear, &QToolButton::clicked, this, [date] { date->setDate(kNoDate); });
    return box;
}

QDateEdit *TfrmHhrqkDetail::dateEdit() const
{
    return m_dates.value(prefix() + QStringLiteral("jnsj"));
}

void TfrmHhrqkDetail::clearDate()
{
    dateEdit()->setDate(kNoDate);
}

QString TfrmHhrqkDetail::table() const
{
    return TableKind == 1 ? QStringLiteral("thjs") : QStringLiteral("hhfezrns");
}

QString TfrmHhrqkDetail::prefix() const
{
    return TableKind == 1 ? QStringLiteral("thjs_") : QStringLiteral("fe_");
}

QLineEdit *TfrmHhrqkDetail::edit(const QString &column) const
{
    return m_editors.value(prefix() + column);
}

void TfrmHhrqkDetail::OpenRow(qint64 id)
{
    auto &q = dm()->adoQry1;
    q.select(QStringLiteral("select * from ") + table() + QStringLiteral(" where id=") + QString::number(id));
    if (q.IsEmpty())
        throw DbError(QStringLiteral("记录不存在！"));
    m_row.clear();
    for (const QString &c : q.columnNames())
        m_row.insert(c, q.FieldByName(c));
    GroupBox1->setVisible(TableKind == 1);
    GroupBox2->setVisible(TableKind != 1);
    m_loading = true;
    for (auto it = m_editors.cbegin(); it != m_editors.cend(); ++it) {
        if (it.key().startsWith(prefix())) {
            it.value()->setText(FormatStoredValue(m_row.value(it.key().mid(prefix().size()))));
            it.value()->setCursorPosition(0);
        }
    }
    if (auto *hint = findChild<QLabel *>(QStringLiteral("thjs_thsj_hint")))
        hint->setVisible(TableKind == 1 && m_row.value(QStringLiteral("thsj")).toString().trimmed().isEmpty());
    const QDate paid = parseDate(m_row.value(QStringLiteral("jnsj")).toString());
    dateEdit()->setDate(paid.isValid() ? paid : kNoDate);
    m_loading = false;
    m_editing = m_dateTouched = false;
}

void TfrmHhrqkDetail::bbtnOKClick()
{
    // Only a stored row the user changed is written and stamped.
    if (m_editing) {
        QStringList sets;
        for (auto it = m_editors.cbegin(); it != m_editors.cend(); ++it) {
            if (!it.key().startsWith(prefix()) || !it.value()->isEnabled())
                continue;
            const QString column = it.key().mid(prefix().size());
            const QString text = it.value()->text();
            const bool unchanged = text == FormatStoredValue(m_row.value(column));
            if (unchanged) {
                continue;
            } else if (numberColumns().contains(column)) {
                if (text.trimmed().isEmpty()) {
                    sets << column + QStringLiteral("=null");
                    continue;
                }
                double number = 0;
                if (!ParseAmount(text, &number)) {
                    ErrorBox(QStringLiteral("“%1”不是有效的数值！").arg(text));
                    it.value()->setFocus();
                    return;
                }
                sets << column + QLatin1Char('=') + FormatGeneral(number);
            } else {
                sets << column + QLatin1Char('=') + QuotedStr(text);
            }
        }
        // A payment date is always stored in the one form the documents carry; one the user did
        // not touch and that is no date stays as it was.
        const QDate paid = dateEdit()->date();
        const QString stored = m_row.value(QStringLiteral("jnsj")).toString();
        if (m_dateTouched && paid == kNoDate) {
            if (!stored.isEmpty())
                sets << QStringLiteral("jnsj=null");
        } else if (m_dateTouched || parseDate(stored).isValid()) {
            sets << QStringLiteral("jnsj=") + QuotedStr(paid.toString(QStringLiteral("yyyy-MM-dd")));
        }
        sets << QStringLiteral("tbsj=") + QuotedStr(Clock::today().toString(QStringLiteral("yyyy-MM-dd")));
        dm()->adoQry1.exec(QStringLiteral("update ") + table() + QStringLiteral(" set ") + sets.join(QLatin1Char(','))
                           + QStringLiteral(" where id=") + QString::number(m_row.value(QStringLiteral("id")).toLongLong()));
        m_editing = false;
    }
    accept();
}

} // namespace lw
