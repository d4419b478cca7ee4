// SPDX-License-Identifier: GPL-3.0-or-later
// The partnership record dialog: one row of the settlement of partners who leave (thjs) or of
// the share transfers (hhfezrns). The identifying fields copied from the investor stay read-only;
// the filing date is stamped when an existing row is changed.
#pragma once

#include <QDialog>
#include <QMap>
#include <QVariantMap>

class QGroupBox;
class QDateEdit;
class QLineEdit;

namespace lw {

class TfrmHhrqkDetail : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmHhrqkDetail(QWidget *parent = nullptr);

    // 1 edits thjs, any other value hhfezrns.
    int TableKind = 1;

    // Opens the kind's table on the row with this id and shows only the kind's group.
    void OpenRow(qint64 id);
    bool editing() const { return m_editing; }

    void bbtnOKClick();

    QLineEdit *edit(const QString &column) const;
    // The payment date of the kind shown; its lowest date stands for "no date".
    QDateEdit *dateEdit() const;
    void clearDate();

private:
    QString table() const;
    QString prefix() const;
    QWidget *addDateEditor(QWidget *group, const QString &name);
    QGroupBox *addGroup(const QString &title, const QString &prefix, const QList<std::pair<const char *, const char *>> &fields,
                        const QStringList &editable);

    QGroupBox *GroupBox1 = nullptr; // thjs
    QGroupBox *GroupBox2 = nullptr; // hhfezrns
    QMap<QString, QLineEdit *> m_editors; // "thjs_col" / "fe_col"
    QMap<QString, QDateEdit *> m_dates; // "thjs_jnsj" / "fe_jnsj"
    QVariantMap m_row;
    bool m_editing = false;
    bool m_dateTouched = false;
    bool m_loading = false;
};

} // namespace lw
