// SPDX-License-Identifier: GPL-3.0-or-later
// The benchmarks' enterprise: a partnership of 50 investors (every fifth a legal person, 2 % each)
// under a collection method, in the database of the running data module.
#pragma once

#include "untDm.h"

inline void AddBenchPartnership(lw::Tdm &tdm, const QString &collectionCode = QStringLiteral("10"))
{
    auto &q = tdm.adoQry1;
    q.exec(QStringLiteral("insert into psn (swglm,nsr_mc,zsfs_dm,zsl,sbqxr_dm) values "
                          "('370102000123456','基准测试合伙企业','%1',10,'Q01_15')")
               .arg(collectionCode));
    for (int i = 0; i < 50; ++i)
        q.exec(QStringLiteral("insert into hhrtzqk (swdjjbxx_id,hhrswglm,hhr_mc,tzzxz,fp_bl) values "
                              "('370102000123456','3701021980%1','投资者%2','%3',2)")
                   .arg(i, 5, 10, QLatin1Char('0'))
                   .arg(i)
                   .arg(i % 5 == 0 ? QStringLiteral("02") : QStringLiteral("01")));
}
