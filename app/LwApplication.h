// SPDX-License-Identifier: GPL-3.0-or-later
// The application object: an error that no handler caught ends that handler and is shown in the
// standard error box with its own text; the program goes on. Qt's own texts (file dialogs, context
// menus, standard buttons) are Chinese like everything else the user reads.
#pragma once

#include <QApplication>
#include <QTranslator>

namespace lw {

class LwApplication : public QApplication
{
    Q_OBJECT
public:
    LwApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
    bool qtTranslationsLoaded() const { return m_qtLoaded; }

private:
    QTranslator m_qtTranslator;
    bool m_qtLoaded = false;
};

} // namespace lw
