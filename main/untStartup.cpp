// SPDX-License-Identifier: GPL-3.0-or-later
#include "untStartup.h"

#include "untMain.h"

namespace lw {

void RunStartupSequence(TfrmMain *main)
{
    main->showPanel(0);
}

} // namespace lw
