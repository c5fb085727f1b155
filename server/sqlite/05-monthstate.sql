-- Zelvo embedded database: what each step of a unit's month was computed from.
--
-- Every recorded run of a monthly step (adim 1 the timesheet, 2 the accrual, 3 the declaration
-- rows) keeps one row in aydurumu for its unit, year, month and edition (gss): when it ran, who
-- ran it, how many rows it stored and what it read. calisma is raised by every run of the step;
-- kaynak is the calisma of the step before it as the run found it, so a step run again later
-- is seen by the steps after it. The triggers below note, in aydurumu_degisiklik, every
-- student whose change a recorded step has not yet seen, whoever makes the change (a window,
-- an import or plain SQL); the step's next run forgets them. The procedures that record a run
-- and read a month's state (AyDurumuYaz, AyDurumu) are in the catalog, 02-procedures.sql.
--
-- A migration: applied once to a file made by an earlier version, recorded at the end.

CREATE TABLE IF NOT EXISTS aydurumu (
    birimkodu VARCHAR(2) NOT NULL,
    yil       VARCHAR(4) NOT NULL,
    ay        INTEGER NOT NULL,
    gss       INTEGER NOT NULL,
    adim      INTEGER NOT NULL CHECK (adim IN (1, 2, 3)),
    calisma   INTEGER NOT NULL,
    kaynak    INTEGER,
    zaman     VARCHAR(19),
    kullanici VARCHAR(50),
    satir     INTEGER,
    -- the timesheet: the period it selected students for, as YYYY-MM-DD
    ilk       VARCHAR(10),
    son       VARCHAR(10),
    -- the accrual: the month's minimum wage it priced with (December: also January's)
    ucret     VARCHAR(24),
    ucretocak VARCHAR(24),
    PRIMARY KEY (birimkodu, yil, ay, gss, adim)
);

CREATE TABLE IF NOT EXISTS aydurumu_degisiklik (
    birimkodu VARCHAR(2) NOT NULL,
    yil       VARCHAR(4) NOT NULL,
    ay        INTEGER NOT NULL,
    gss       INTEGER NOT NULL,
    adim      INTEGER NOT NULL,
    idogrenci INTEGER NOT NULL,
    PRIMARY KEY (birimkodu, yil, ay, gss, adim, idogrenci)
);

-- The timesheet of a month has seen a student change when the student was or is one of those
-- its period selects (PuantajGetir): the unit and edition, not passive, both dates set and the
-- internship overlapping the period.
CREATE TRIGGER IF NOT EXISTS ogrenci_aydurumu_ekle AFTER INSERT ON ogrenci
BEGIN
    INSERT OR IGNORE INTO aydurumu_degisiklik (birimkodu, yil, ay, gss, adim, idogrenci)
    SELECT d.birimkodu, d.yil, d.ay, d.gss, 1, NEW.idogrenci
    FROM aydurumu d
    WHERE d.adim = 1 AND d.birimkodu = NEW.birimkodu AND d.gss = NEW.gss
      AND NEW.statu IS NOT '2'
      AND date(NEW.baslangictarihi) <= d.son AND date(NEW.bitistarihi) >= d.ilk;
END;

CREATE TRIGGER IF NOT EXISTS ogrenci_aydurumu_sil AFTER DELETE ON ogrenci
BEGIN
    INSERT OR IGNORE INTO aydurumu_degisiklik (birimkodu, yil, ay, gss, adim, idogrenci)
    SELECT d.birimkodu, d.yil, d.ay, d.gss, 1, OLD.idogrenci
    FROM aydurumu d
    WHERE d.adim = 1 AND d.birimkodu = OLD.birimkodu AND d.gss = OLD.gss
      AND OLD.statu IS NOT '2'
      AND date(OLD.baslangictarihi) <= d.son AND date(OLD.bitistarihi) >= d.ilk;
END;

CREATE TRIGGER IF NOT EXISTS ogrenci_aydurumu_degistir
AFTER UPDATE OF baslangictarihi, bitistarihi, statu, gss, birimkodu ON ogrenci
WHEN OLD.baslangictarihi IS NOT NEW.baslangictarihi OR OLD.bitistarihi IS NOT NEW.bitistarihi
  OR OLD.statu IS NOT NEW.statu OR OLD.gss IS NOT NEW.gss OR OLD.birimkodu IS NOT NEW.birimkodu
BEGIN
    INSERT OR IGNORE INTO aydurumu_degisiklik (birimkodu, yil, ay, gss, adim, idogrenci)
    SELECT d.birimkodu, d.yil, d.ay, d.gss, 1, NEW.idogrenci
    FROM aydurumu d
    WHERE d.adim = 1
      AND ((d.birimkodu = OLD.birimkodu AND d.gss = OLD.gss AND OLD.statu IS NOT '2'
            AND date(OLD.baslangictarihi) <= d.son AND date(OLD.bitistarihi) >= d.ilk)
        OR (d.birimkodu = NEW.birimkodu AND d.gss = NEW.gss AND NEW.statu IS NOT '2'
            AND date(NEW.baslangictarihi) <= d.son AND date(NEW.bitistarihi) >= d.ilk));
END;

-- The declaration rows copy the student's names, numbers and dates: a change to one of them
-- after the rows were made is noted for every month that holds a row of the student.
CREATE TRIGGER IF NOT EXISTS ogrenci_aydurumu_bildirge
AFTER UPDATE OF ogrencino, adi, soyadi, ilksoyadi, ssksicilno, tckimlikno, baslangictarihi,
                bitistarihi ON ogrenci
WHEN OLD.ogrencino IS NOT NEW.ogrencino OR OLD.adi IS NOT NEW.adi
  OR OLD.soyadi IS NOT NEW.soyadi OR OLD.ilksoyadi IS NOT NEW.ilksoyadi
  OR OLD.ssksicilno IS NOT NEW.ssksicilno OR OLD.tckimlikno IS NOT NEW.tckimlikno
  OR OLD.baslangictarihi IS NOT NEW.baslangictarihi OR OLD.bitistarihi IS NOT NEW.bitistarihi
BEGIN
    INSERT OR IGNORE INTO aydurumu_degisiklik (birimkodu, yil, ay, gss, adim, idogrenci)
    SELECT d.birimkodu, d.yil, d.ay, d.gss, 3, NEW.idogrenci
    FROM Xml x
    JOIN aydurumu d ON d.adim = 3 AND d.birimkodu = x.birimkodu AND d.yil = x.yil
                   AND d.ay = x.ay AND d.gss = OLD.gss
    WHERE x.idogrenci = NEW.idogrenci;
END;

-- A day count corrected after the accrual priced it.
CREATE TRIGGER IF NOT EXISTS puantaj_aydurumu AFTER UPDATE OF gun, gun1, gun2 ON Puantaj
WHEN OLD.gun IS NOT NEW.gun OR OLD.gun1 IS NOT NEW.gun1 OR OLD.gun2 IS NOT NEW.gun2
BEGIN
    INSERT OR IGNORE INTO aydurumu_degisiklik (birimkodu, yil, ay, gss, adim, idogrenci)
    SELECT d.birimkodu, d.yil, d.ay, d.gss, 2, NEW.idogrenci
    FROM aydurumu d
    WHERE d.adim = 2 AND d.birimkodu = NEW.birimkodu AND d.yil = NEW.yil AND d.ay = NEW.ay
      AND d.gss = (SELECT gss FROM ogrenci WHERE idogrenci = NEW.idogrenci);
END;

-- The month's minimum wage as a text, auMM of the parameter row.
CREATE VIEW IF NOT EXISTS aydurumu_ucret AS
SELECT 1 AS ay, CAST(au01 AS TEXT) AS ucret FROM Parametre UNION ALL
SELECT 2, CAST(au02 AS TEXT) FROM Parametre UNION ALL
SELECT 3, CAST(au03 AS TEXT) FROM Parametre UNION ALL
SELECT 4, CAST(au04 AS TEXT) FROM Parametre UNION ALL
SELECT 5, CAST(au05 AS TEXT) FROM Parametre UNION ALL
SELECT 6, CAST(au06 AS TEXT) FROM Parametre UNION ALL
SELECT 7, CAST(au07 AS TEXT) FROM Parametre UNION ALL
SELECT 8, CAST(au08 AS TEXT) FROM Parametre UNION ALL
SELECT 9, CAST(au09 AS TEXT) FROM Parametre UNION ALL
SELECT 10, CAST(au10 AS TEXT) FROM Parametre UNION ALL
SELECT 11, CAST(au11 AS TEXT) FROM Parametre UNION ALL
SELECT 12, CAST(au12 AS TEXT) FROM Parametre;

UPDATE zelvo_info SET value = '2' WHERE key = 'schema_version' AND CAST(value AS INTEGER) < 2;
INSERT OR REPLACE INTO zelvo_info (key, value) VALUES ('migration:05-monthstate.sql', '1');
