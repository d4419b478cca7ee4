// SPDX-License-Identifier: GPL-3.0-or-later
// The SOAP and HTTP side of the simulator.
#pragma once

#include <QString>

namespace lw::sim {

class Bureau;

// Binds to host:port (0 = any free port), prints the address in use and serves until killed;
// returns non-zero when the address cannot be bound.
int Serve(Bureau &bureau, const QString &host, int port);

} // namespace lw::sim
