// SPDX-License-Identifier: GPL-3.0-or-later
// A picture or caption that acts on a click, with the hand cursor.
#pragma once

#include <QLabel>

namespace lw {

class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickLabel(QWidget *parent = nullptr) : QLabel(parent) { setCursor(Qt::PointingHandCursor); }

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override
    {
        QLabel::mouseReleaseEvent(event);
        emit clicked();
    }
};

} // namespace lw
