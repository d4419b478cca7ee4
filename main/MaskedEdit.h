// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QLineEdit;
class QWidget;

namespace lw {

// A password entry that shows '*' for each character whatever the desktop style would use.
// maxLength 0 leaves the length open.
QLineEdit *NewMaskedEdit(QWidget *parent, const char *objectName, int maxLength = 0);

} // namespace lw
