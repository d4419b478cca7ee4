// SPDX-License-Identifier: GPL-3.0-or-later
// The progress window: one frameless money-green window shown around long operations.
#pragma once

#include <QWidget>

class QLabel;
class QMovie;

namespace lw {

class TProcess : public QWidget
{
    Q_OBJECT
public:
    explicit TProcess(QWidget *parent = nullptr);
    void setMessage(const QString &text);
    QString message() const;

    // The one instance, or nullptr before the first ShowProgress.
    static TProcess *existing();

private:
    QLabel *Label1 = nullptr;
    QLabel *Animate1 = nullptr;
    QMovie *m_movie = nullptr;
};

// Where the progress window goes so that it leaves the owner window (the dialog that runs the
// operation, frame included) uncovered: below it, else above, else beside it, else in the screen's
// top-left corner, away from where dialogs keep their buttons. Centred on the screen without owner.
QPoint ProgressPosition(const QRect &owner, const QSize &size, const QRect &screen);

// Shows the progress window with a message, repainting it at once although the caller keeps the
// user-interface thread busy afterwards.
void ShowProgress(const QString &message);
void HideProgress();

// Shows the progress window for the life of a scope and hides it on every path out.
class ProgressScope
{
public:
    explicit ProgressScope(const QString &message) { ShowProgress(message); }
    ~ProgressScope() { HideProgress(); }
    ProgressScope(const ProgressScope &) = delete;
    ProgressScope &operator=(const ProgressScope &) = delete;
};

} // namespace lw
