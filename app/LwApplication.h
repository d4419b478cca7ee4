// SPDX-License-Identifier: GPL-3.0-or-later
// The application object: an error that no handler caught ends that handler and is shown in the
// standard error box with its own text; the program goes on.
#pragma once

#include <QApplication>

namespace lw {

class LwApplication : public QApplication
{
    Q_OBJECT
public:
    LwApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace lw
