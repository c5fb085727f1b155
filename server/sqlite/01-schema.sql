-- Zelvo embedded database: tables, keys and triggers.
--
-- Applied once to a new database, either by the program on its first run or by hand:
--   cat server/sqlite/0*.sql | sqlite3 zelvo.db
-- The program runs the PRAGMA statements on their own and everything else inside one
-- transaction, so this file holds no BEGIN or COMMIT of its own.
--
-- Text columns carry their width (VARCHAR(n) or CHAR(n)): the client reads the widths from
-- PRAGMA table_info and cuts longer texts before writing them. Dates are DATETIME columns
-- holding ISO text, YYYY-MM-DD; a CHECK on each refuses anything else, whoever writes it. The
-- check goes through julianday() because date() alone gives back 2026-02-30 unchanged, while
-- julianday() carries it over to 2026-03-02, which then differs from what was written. Amounts
-- are DECIMAL(18,2), and the procedures bring them to two decimals before they are stored.

PRAGMA journal_mode = WAL;
PRAGMA foreign_keys = ON;

-- Facts about this database, for the program to recognise it.
CREATE TABLE zelvo_info (
    key   TEXT PRIMARY KEY,
    value TEXT
);
INSERT INTO zelvo_info (key, value) VALUES ('schema_version', '1');
INSERT INTO zelvo_info (key, value) VALUES ('application', 'Zelvo');

-- Stored procedures. The client looks a procedure up by name, binds the values of the call by
-- position to the formal names in params, replaces every formal name in the body by its bound
-- value and runs the statements of the body in order. The last statement that returns rows
-- gives the result. target and target_key name the table and key column that the rows of the
-- result are written back to, where the windows edit them.
CREATE TABLE zelvo_procedure (
    name       TEXT PRIMARY KEY COLLATE NOCASE,
    params     TEXT NOT NULL DEFAULT '',
    target     TEXT,
    target_key TEXT,
    body       TEXT NOT NULL
);

-- Staff users. yetkitipi 1 is an administrator. sifre holds the password only as a salted
-- Argon2id hash in libsodium's string form ("$argon2id$v=19$m=...,t=...,p=...$salt$hash"),
-- made and verified by the client; the password as typed is never stored.
CREATE TABLE kullanici (
    idkullanici INTEGER PRIMARY KEY AUTOINCREMENT,
    kullanici   VARCHAR(10),
    sifre       VARCHAR(255),
    adsoy       VARCHAR(50),
    birimkodu   VARCHAR(2),
    email       VARCHAR(50),
    yetkitipi   INTEGER
);
CREATE UNIQUE INDEX kullanici_ad ON kullanici (kullanici);

-- Organisational units.
CREATE TABLE birim (
    birimkodu VARCHAR(2) PRIMARY KEY,
    birimadi  VARCHAR(50)
);

-- The workplace record of a unit: the numbers that head its declaration file.
CREATE TABLE isyeri (
    idisyeri      INTEGER PRIMARY KEY AUTOINCREMENT,
    birimkodu     VARCHAR(2),
    birimadi      VARCHAR(70),
    isyerisicil   VARCHAR(50),
    kontrolno     VARCHAR(2),
    isyeriaracino VARCHAR(3),
    isyeriunvani  VARCHAR(50),
    isyeriadres   VARCHAR(70),
    isyerivergino VARCHAR(20),
    vergidairesi  VARCHAR(50)
);
CREATE INDEX isyeri_birim ON isyeri (birimkodu);

-- Basic parameters. The windows use the first row (lowest idparametre). isveren and isci are
-- the percentages of the premium base paid by the employer and by the employee, au01 .. au12
-- the monthly minimum wage of January .. December.
CREATE TABLE Parametre (
    idparametre      INTEGER PRIMARY KEY AUTOINCREMENT,
    aktifyil         VARCHAR(4),
    belgemahiyet     VARCHAR(1),
    belgeturu        VARCHAR(2),
    belgeturuyab     VARCHAR(2),
    isci             DECIMAL(5,2),
    isveren          DECIMAL(5,2),
    istencikisnedeni VARCHAR(2),
    kanunno          VARCHAR(5),
    sigortakodu      VARCHAR(2),
    au01             DECIMAL(18,2),
    au02             DECIMAL(18,2),
    au03             DECIMAL(18,2),
    au04             DECIMAL(18,2),
    au05             DECIMAL(18,2),
    au06             DECIMAL(18,2),
    au07             DECIMAL(18,2),
    au08             DECIMAL(18,2),
    au09             DECIMAL(18,2),
    au10             DECIMAL(18,2),
    au11             DECIMAL(18,2),
    au12             DECIMAL(18,2)
);

-- Student status: 1 internship active, 2 passive, 3 completed.
CREATE TABLE statu (
    kodu CHAR(1) PRIMARY KEY,
    adi  CHAR(30)
);

-- Interning students. gss = 1: the general health insurance premium is paid for the student
-- (the GSS edition of the monthly work), 0: the standard edition. A NULL written into gss
-- becomes 0.
CREATE TABLE ogrenci (
    idogrenci       INTEGER PRIMARY KEY AUTOINCREMENT,
    otomasyonid     INTEGER,
    ogrencino       VARCHAR(10),
    adi             VARCHAR(50),
    soyadi          VARCHAR(50),
    ilksoyadi       VARCHAR(50),
    tckimlikno      CHAR(11),
    ssksicilno      VARCHAR(20),
    statu           VARCHAR(1),
    baslangictarihi DATETIME
        CHECK (baslangictarihi IS NULL OR date(julianday(baslangictarihi)) IS baslangictarihi),
    bitistarihi     DATETIME
        CHECK (bitistarihi IS NULL OR date(julianday(bitistarihi)) IS bitistarihi),
    gss             INTEGER NOT NULL ON CONFLICT REPLACE DEFAULT 0 CHECK (gss IN (0, 1)),
    stajili         VARCHAR(50),
    stajyeri        VARCHAR(150),
    birimkodu       VARCHAR(2),
    birimadi        VARCHAR(50),
    okuladi         VARCHAR(50),
    aktarmatarihi   DATETIME
        CHECK (aktarmatarihi IS NULL OR date(julianday(aktarmatarihi)) IS aktarmatarihi),
    degistiren      VARCHAR(50)
);
CREATE INDEX ogrenci_birim ON ogrenci (birimkodu, gss);

-- Timesheet: the days of one student in the declaration period of one month (15th to 14th).
-- gun1 and gun2 split the December days between the old and the new minimum wage.
CREATE TABLE Puantaj (
    idpuantaj INTEGER PRIMARY KEY AUTOINCREMENT,
    idogrenci INTEGER NOT NULL REFERENCES ogrenci (idogrenci) ON DELETE CASCADE,
    yil       VARCHAR(4),
    ay        INTEGER,
    gun       INTEGER,
    gun1      INTEGER,
    gun2      INTEGER,
    birimkodu VARCHAR(2),
    UNIQUE (idogrenci, yil, ay)
);
CREATE INDEX puantaj_donem ON Puantaj (yil, ay, birimkodu);

-- Accrual: earnings, premium base and the two shares of one student in one month.
CREATE TABLE Tahakkuk (
    idtahakkuk INTEGER PRIMARY KEY AUTOINCREMENT,
    idogrenci  INTEGER NOT NULL REFERENCES ogrenci (idogrenci) ON DELETE CASCADE,
    yil        VARCHAR(4),
    ay         INTEGER,
    gun        INTEGER,
    kazanc     DECIMAL(18,2),
    matrah     DECIMAL(18,2),
    isveren    DECIMAL(18,2),
    isci       DECIMAL(18,2),
    birimkodu  VARCHAR(2),
    UNIQUE (idogrenci, yil, ay)
);
CREATE INDEX tahakkuk_donem ON Tahakkuk (yil, ay, birimkodu);

-- Declaration rows, as the declaration window prepares them from the accrual and the
-- students. pek, girisgun, cikisgun, istencikisnedeni and sil1 are the texts that go into the
-- declaration file: pek as the workstation writes the number, sil1 with a point and two
-- decimals, girisgun and cikisgun as DDMM.
CREATE TABLE Xml (
    idxml            INTEGER PRIMARY KEY AUTOINCREMENT,
    idogrenci        INTEGER NOT NULL REFERENCES ogrenci (idogrenci) ON DELETE CASCADE,
    yil              VARCHAR(4),
    ay               INTEGER,
    birimkodu        VARCHAR(2),
    ogrencino        VARCHAR(10),
    adi              VARCHAR(50),
    soyadi           VARCHAR(50),
    ilksoyadi        VARCHAR(50),
    ssksicilno       VARCHAR(20),
    tckimlikno       CHAR(11),
    baslangictarihi  DATETIME
        CHECK (baslangictarihi IS NULL OR date(julianday(baslangictarihi)) IS baslangictarihi),
    bitistarihi      DATETIME
        CHECK (bitistarihi IS NULL OR date(julianday(bitistarihi)) IS bitistarihi),
    gun              INTEGER,
    pek              VARCHAR(20),
    isveren          DECIMAL(18,2),
    isci             DECIMAL(18,2),
    girisgun         VARCHAR(4),
    cikisgun         VARCHAR(4),
    istencikisnedeni VARCHAR(2),
    sil1             VARCHAR(20),
    UNIQUE (idogrenci, yil, ay)
);
CREATE INDEX xml_donem ON Xml (yil, ay, birimkodu);

-- Deleting a student removes the timesheet, accrual and declaration rows of the student. The
-- foreign keys cascade when the connection enforces them, and this trigger does the same on a
-- connection that does not.
CREATE TRIGGER ogrenci_sil AFTER DELETE ON ogrenci
BEGIN
    DELETE FROM Puantaj WHERE idogrenci = OLD.idogrenci;
    DELETE FROM Tahakkuk WHERE idogrenci = OLD.idogrenci;
    DELETE FROM Xml WHERE idogrenci = OLD.idogrenci;
END;

-- The December period runs from 15 December to 14 January, and a new minimum wage takes
-- effect on 1 January. A December timesheet row stored without a split gets the default one:
-- gun2 = the days of the internship, cut to the period, that fall in January (1 to 14 January
-- of the next year), gun1 = gun - gun2. A full period (gun 30) gives 16 and 14. gun2 never
-- exceeds gun. Rows that already exist keep their split: the trigger looks only at new rows.
CREATE TRIGGER puantaj_aralik_bolus AFTER INSERT ON Puantaj
WHEN NEW.ay = 12 AND NEW.gun1 IS NULL AND NEW.gun2 IS NULL AND NEW.gun IS NOT NULL
    AND CAST(NEW.yil AS INTEGER) BETWEEN 1 AND 9998
BEGIN
    UPDATE Puantaj
    SET gun2 = (
            SELECT max(0, min(NEW.gun,
                CAST(round(julianday(min(coalesce(date(o.bitistarihi), j.son), j.son))
                         - julianday(max(coalesce(date(o.baslangictarihi), j.ilk), j.ilk)))
                     AS INTEGER) + 1))
            FROM (SELECT printf('%04d-01-01', CAST(NEW.yil AS INTEGER) + 1) AS ilk,
                         printf('%04d-01-14', CAST(NEW.yil AS INTEGER) + 1) AS son) AS j
            LEFT JOIN ogrenci o ON o.idogrenci = NEW.idogrenci)
    WHERE idpuantaj = NEW.idpuantaj;
    UPDATE Puantaj SET gun1 = gun - gun2 WHERE idpuantaj = NEW.idpuantaj;
END;
