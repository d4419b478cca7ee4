// SPDX-License-Identifier: GPL-3.0-or-later
#include "MaskedEdit.h"

#include <QLineEdit>
#include <QProxyStyle>

namespace lw {

namespace {
class StarMaskStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget, QStyleHintReturn *ret) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, option, widget, ret);
    }
};
} // namespace

QLineEdit *NewMaskedEdit(QWidget *parent, const char *objectName, int maxLength)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(objectName));
    edit->setEchoMode(QLineEdit::Password);
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    auto *style = new StarMaskStyle;
    style->setParent(edit); // a widget does not own the style it is given
    edit->setStyle(style);
    return edit;
}

} // namespace lw
