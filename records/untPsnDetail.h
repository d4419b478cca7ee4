// SPDX-License-Identifier: GPL-3.0-or-later
// The investor detail dialog: completes one investor of the enterprise (hhrtzqk), marking it for
// upload again when the fields the bureau checks change, or edits one member of a partner that is
// itself a partnership (hhqymx).
#pragma once

#include <QDialog>
#include <QMap>
#include <QSet>
#include <QVariantMap>

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;

namespace lw {

class TfrmPsnDetail : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmPsnDetail(QWidget *parent = nullptr);

    // The caller opens the dataset it needs on its row before showing the dialog.
    void OpenInvestor(qint64 id);
    void OpenMember(qint64 id);
    void InsertMember(const QString &partnerCode);
    // Member form: the member group shown, the investor group hidden.
    void ShowMemberGroup();

    bool investorOpen() const { return m_investorOpen; }
    bool investorEditing() const { return m_investorEditing; }
    bool memberEditing() const { return m_memberEditing; }

    void bbtnOKClick();
    // Runs whenever the user chooses an investor nature.
    void tzzxzChange();

    QLineEdit *edit(const QString &group, const QString &column) const;
    QComboBox *list(const QString &group, const QString &column) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *addText(QGroupBox *group, const QString &prefix, const QString &column, bool editable, bool filtered);
    QComboBox *addList(QGroupBox *group, const QString &prefix, const QString &column, const QString &sql, bool editable);
    void fillLists();
    void showRow(const QString &prefix, const QVariantMap &row);
    // The row's values as the editors hold them; untouched nulls stay null.
    QVariantMap currentValues(const QString &prefix, const QVariantMap &stored) const;
    bool investorChecksPass();
    void saveInvestor();
    void saveMember();
    void clearTouched(const QString &prefix);

    QGroupBox *GroupBox1 = nullptr; // investor
    QGroupBox *GroupBox2 = nullptr; // member
    QPushButton *bbtnOK = nullptr;
    QPushButton *bbtnCancel = nullptr;
    QMap<QString, QWidget *> m_editors; // "inv_col" / "mx_col"
    QMap<QComboBox *, QString> m_listSql;
    bool m_listsFilled = false;

    bool m_investorOpen = false;
    bool m_investorEditing = false;
    QVariantMap m_investor;
    bool m_memberOpen = false;
    bool m_memberEditing = false;
    bool m_memberInserting = false;
    QVariantMap m_member;
    QSet<QString> m_touched; // editors the user changed
};

} // namespace lw
