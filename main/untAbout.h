// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

namespace lw {

// The About box: the program's version and release date, nothing read from the database.
class TfrmAbout : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget *parent = nullptr);

    static QString version() { return QStringLiteral("2.0"); }
    static QString releaseDate() { return QStringLiteral("2014-04-01"); }
};

} // namespace lw
