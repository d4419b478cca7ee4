// SPDX-License-Identifier: GPL-3.0-or-later
#include "DeclareFixture.h"

namespace lw::test {

DeclareFixture::DeclareFixture(const QString &collectionCode, const QString &deadlineCode)
    : env(std::make_unique<TestEnv>()), ui(std::make_unique<ScriptedInteraction>())
{
    env->copyFromStage(QStringLiteral("rpt"));
    env->copyFromStage(QStringLiteral("running.gif"));
    tdm = std::make_unique<Tdm>();
    auto &q = tdm->adoQry1;
    q.exec(QStringLiteral("insert into psn (swglm,nsrsbh,nsr_mc,djzclx_mc,zcdz_mc,lxdh_mc,zsfs_dm,zsfs_mc,zsl,sbqxr_dm) values "
                          "('370102000123456','91370102MA3C12345X','济南泉城会计师事务所（普通合伙）','普通合伙企业',"
                          "'济南市历下区泉城路1号','0531-88886666',%1,'查账征收',10,%2)")
              .arg(QuotedStr(collectionCode), QuotedStr(deadlineCode)));
    const char *investors[][6] = {
        {"370102198001010011", "张明", "01", "40", "0", "201"},
        {"370102198502020022", "李华", "01", "30", "0", "201"},
        {"370102000999888", "泉城投资有限公司", "02", "20", "0", "299"},
        {"370102000777666", "历下创投合伙企业", "03", "10", "1", "299"},
    };
    for (const auto &i : investors)
        q.exec(QStringLiteral("insert into hhrtzqk (swdjjbxx_id,hhrswglm,hhr_mc,tzzxz,fp_bl,sfbqyhj,zjzl_dm,zjzl_mc,zjhm,gj_mc,shbj) "
                              "values ('370102000123456','%1','%2','%3',%4,'%5','%6','居民身份证','370102198001010011','中国','Y')")
                   .arg(QLatin1String(i[0]), QString::fromUtf8(i[1]), QLatin1String(i[2]), QLatin1String(i[3]),
                        QLatin1String(i[4]), QLatin1String(i[5])));
}

DeclareFixture::~DeclareFixture()
{
    tdm.reset();
    ui.reset();
    env.reset();
}

int DeclareFixture::count(const QString &sql)
{
    tdm->ADOQuery1.select(sql);
    return tdm->ADOQuery1.RecordCount();
}

QString DeclareFixture::value(const QString &sql)
{
    tdm->ADOQuery1.select(sql);
    return tdm->ADOQuery1.IsEmpty() ? QStringLiteral("<none>") : tdm->ADOQuery1.FieldByName(tdm->ADOQuery1.columnNames().first()).toString();
}

} // namespace lw::test
