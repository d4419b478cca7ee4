// SPDX-License-Identifier: GPL-3.0-or-later
#include "LwApplication.h"

#include "MessageBoxes.h"

#include <QLibraryInfo>

#include <exception>

namespace lw {

LwApplication::LwApplication(int &argc, char **argv) : QApplication(argc, argv)
{
    // Without them the file dialogs and context menus would speak English; a missing file leaves
    // Qt's English texts rather than stopping the program.
    m_qtLoaded = m_qtTranslator.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (m_qtLoaded)
        installTranslator(&m_qtTranslator);
}

bool LwApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &e) {
        ShowUnhandledError(QString::fromUtf8(e.what()));
    } catch (...) {
        ShowUnhandledError(QStringLiteral("未知错误"));
    }
    return false;
}

} // namespace lw
