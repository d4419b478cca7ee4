// SPDX-License-Identifier: GPL-3.0-or-later
// A throw-away installation with the templates and a small partnership: two natural-person
// partners, one legal-person partner and one partner that is itself a partnership.
#pragma once

#include "ScriptedInteraction.h"
#include "TestEnv.h"
#include "untDm.h"

#include <memory>

namespace lw::test {

struct DeclareFixture
{
    explicit DeclareFixture(const QString &collectionCode = QStringLiteral("10"),
                            const QString &deadlineCode = QStringLiteral("Q01_15"));
    ~DeclareFixture();

    int count(const QString &sql);
    QString value(const QString &sql);

    std::unique_ptr<TestEnv> env;
    std::unique_ptr<ScriptedInteraction> ui;
    std::unique_ptr<Tdm> tdm;
};

} // namespace lw::test
