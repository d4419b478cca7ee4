-- SPDX-License-Identifier: GPL-3.0-or-later
-- The local database. Every text column accepts the empty string; amounts are REAL.

-- Enterprise and investor data, downloaded from the bureau and edited locally.
CREATE TABLE enpbas (
  swglm TEXT
);

CREATE TABLE psn (
  swglm TEXT, nsrsbh TEXT, nsr_mc TEXT, djzclx_dm TEXT, djzclx_mc TEXT, zzjg_dm TEXT,
  kysl_rq TEXT, lxdh_mc TEXT, zcdz_mc TEXT, scjydz TEXT, jyfw_mc TEXT, zsfs_dm TEXT,
  zsfs_mc TEXT, djjglx_dm TEXT, zclxxl_mc TEXT, zsl REAL, sbqxr_dm TEXT, shbj TEXT
);

CREATE TABLE hhrtzqk (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  swdjjbxx_id TEXT, hhrswglm TEXT, hhr_mc TEXT, tzzxz TEXT, zjzl_dm TEXT, zjzl_mc TEXT,
  zjhm TEXT, gj_dm TEXT, gj_mc TEXT, tzzdz TEXT, lxfs TEXT, czfs TEXT,
  tz_je REAL, tz_bl REAL, fp_bl REAL, sfbqyhj TEXT, nsjd TEXT, jkzh TEXT, tzqthhqy_mc TEXT,
  rz_rq TEXT, cj_rq TEXT, shbj TEXT, bFlag BOOLEAN DEFAULT 0
);
CREATE INDEX hhrtzqk_shbj ON hhrtzqk (shbj);

-- Partnership tables kept by the user.
CREATE TABLE thjs (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  hhrswglm TEXT, hhr_mc TEXT, hhqy_mc TEXT, hhqy_swglm TEXT, rhsj TEXT, thsj TEXT,
  rhje REAL, thje REAL, thsm TEXT, jssk REAL, jnsj TEXT, wsh TEXT, tbsj TEXT
);

CREATE TABLE hhfezrns (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  hhqy_mc TEXT, hhqy_swglm TEXT, zrr_mc TEXT, zrr_swglm TEXT, srr_mc TEXT, srr_swglm TEXT,
  hhqyzzc REAL, zrhhrzyfe REAL, zrfe REAL, zrje REAL, feqdcb REAL, ynsds REAL,
  jnsj TEXT, wspz TEXT, tbsj TEXT
);

CREATE TABLE hhqymx (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  swdjjbxx_id TEXT, hhrswglm TEXT, hhr_mc TEXT, zjhm TEXT, tzzxz TEXT, tzzdz TEXT,
  lxfs TEXT, czfs TEXT, tz_bl REAL, tz_je REAL, fp_bl REAL
);
CREATE INDEX hhqymx_owner ON hhqymx (swdjjbxx_id);

-- Code tables (delivered rows, read only).
CREATE TABLE wa_tzzxz (c_tzzxzcode TEXT PRIMARY KEY, c_tzzxzname TEXT);
CREATE TABLE wa_czfs (c_czfsid TEXT PRIMARY KEY, c_czfsname TEXT);
CREATE TABLE wa_nsjd (c_nsjdid TEXT PRIMARY KEY, c_nsjdname TEXT);
CREATE TABLE wa_sf (c_Code TEXT PRIMARY KEY, c_Name TEXT);
CREATE TABLE wa_zclxxl (c_zclxcode TEXT PRIMARY KEY, c_zclxname TEXT);
CREATE TABLE wa_nation (c_NationCode TEXT PRIMARY KEY, c_NationName TEXT);
CREATE TABLE wa_certtype (c_CardType TEXT PRIMARY KEY, c_CardTypeName TEXT);

-- Cell-mapping tables, one per declaration form (delivered rows, read only).
CREATE TABLE wa_yjsheet   (id INTEGER PRIMARY KEY AUTOINCREMENT, col INTEGER, row INTEGER, sheet INTEGER, type INTEGER, sField TEXT);
CREATE TABLE wa_qssheet   (id INTEGER PRIMARY KEY AUTOINCREMENT, col INTEGER, row INTEGER, sheet INTEGER, type INTEGER, sField TEXT);
CREATE TABLE wa_hzsheet   (id INTEGER PRIMARY KEY AUTOINCREMENT, col INTEGER, row INTEGER, sheet INTEGER, type INTEGER, sField TEXT);
CREATE TABLE wa_czzssheet (id INTEGER PRIMARY KEY AUTOINCREMENT, col INTEGER, row INTEGER, sheet INTEGER, type INTEGER, sField TEXT);
CREATE TABLE wa_hdzssheet (id INTEGER PRIMARY KEY AUTOINCREMENT, col INTEGER, row INTEGER, sheet INTEGER, type INTEGER, sField TEXT);
CREATE TABLE wa_hhqymx    (id INTEGER PRIMARY KEY AUTOINCREMENT, col INTEGER, row INTEGER, sheet INTEGER, type INTEGER, sField TEXT);

-- Per-period working tables of the declaration forms.
CREATE TABLE recal_yj     (col INTEGER, row INTEGER, sheet INTEGER, type INTEGER, sField TEXT, sValue TEXT, iFlag INTEGER, qsrq TEXT, zzrq TEXT);
CREATE TABLE recal_qs     (col INTEGER, row INTEGER, sheet INTEGER, type INTEGER, sField TEXT, sValue TEXT, iFlag INTEGER, qsrq TEXT, zzrq TEXT);
CREATE TABLE recal_hz     (col INTEGER, row INTEGER, sheet INTEGER, type INTEGER, sField TEXT, sValue TEXT, iFlag INTEGER, qsrq TEXT, zzrq TEXT);
CREATE TABLE recal_cz     (col INTEGER, row INTEGER, sheet INTEGER, type INTEGER, sField TEXT, sValue TEXT, iFlag INTEGER, qsrq TEXT, zzrq TEXT);
CREATE TABLE recal_hd     (col INTEGER, row INTEGER, sheet INTEGER, type INTEGER, sField TEXT, sValue TEXT, iFlag INTEGER, qsrq TEXT, zzrq TEXT);
CREATE TABLE recal_hhqymx (col INTEGER, row INTEGER, sheet INTEGER, type INTEGER, sField TEXT, sValue TEXT, iFlag INTEGER, qsrq TEXT, zzrq TEXT);
CREATE INDEX recal_yj_cell     ON recal_yj     (qsrq, zzrq, sheet, col, row);
CREATE INDEX recal_qs_cell     ON recal_qs     (qsrq, zzrq, sheet, col, row);
CREATE INDEX recal_hz_cell     ON recal_hz     (qsrq, zzrq, sheet, col, row);
CREATE INDEX recal_cz_cell     ON recal_cz     (qsrq, zzrq, sheet, col, row);
CREATE INDEX recal_hd_cell     ON recal_hd     (qsrq, zzrq, sheet, col, row);
CREATE INDEX recal_hhqymx_cell ON recal_hhqymx (qsrq, zzrq, sheet, col, row);

-- Loss carry-forward ledger.
CREATE TABLE wa_mbksmxsheet (
  swglm TEXT, qsrq TEXT, zzrq TEXT, nd INTEGER,
  qysbks_je REAL, kmbks_je REAL, ks1_je REAL, ks2_je REAL, ks3_je REAL, ks4_je REAL
);
CREATE INDEX wa_mbksmxsheet_key ON wa_mbksmxsheet (swglm, qsrq, zzrq, nd);

-- Version of the installed program.
CREATE TABLE wa_version (version REAL);

-- Filing record: every declaration upload attempt and every electronic data file written.
CREATE TABLE IF NOT EXISTS sbjl (
  jlid INTEGER PRIMARY KEY AUTOINCREMENT,
  jllx TEXT,     -- 上传 or 电子文件
  bblx INTEGER,  -- report kind
  bbmc TEXT,     -- the form's caption
  qsrq TEXT,
  zzrq TEXT,
  sj TEXT,       -- yyyy-mm-dd hh:mm:ss
  wjm TEXT,      -- name sent, or the files written
  jg TEXT,       -- the bureau's answer or the error
  cg INTEGER     -- 1 accepted or written
);
