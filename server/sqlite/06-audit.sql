-- Zelvo embedded database: the record of changes.
--
-- Every insert, update and delete of a student, the parameter row, a workplace row and a user
-- row, and every monthly run, leaves a row in degisiklik, written by the database's own
-- triggers and procedures so that no window can forget it. A migration: a file made by an
-- earlier version gets it once, when the program opens it.
--
-- Who made a change: the user signed in to the program, which writes the user name into
-- zelvo_oturum at login. SQLite knows no session of its own and a trigger cannot read a
-- connection's temporary tables, so the name lives in the file; a change made with another
-- tool (the sqlite3 shell) is recorded under the last user who signed in to the program.

CREATE TABLE zelvo_oturum (
    id        INTEGER PRIMARY KEY CHECK (id = 1),
    kullanici VARCHAR(10)
);

-- zaman: when, as UTC text with milliseconds. tablo: the table in lower case. anahtar: the
-- key of the row changed, or the year and month (YYYY-MM) of a monthly run. eski and yeni:
-- the row before and after as JSON objects (NULL for an insert or a delete respectively);
-- for a monthly run, yeni holds the step, year, month, edition (gss) and the number of rows
-- stored. A user row is recorded without its password hash.
CREATE TABLE degisiklik (
    iddegisiklik INTEGER PRIMARY KEY AUTOINCREMENT,
    zaman        TEXT NOT NULL DEFAULT (strftime('%Y-%m-%d %H:%M:%f', 'now')),
    kim          VARCHAR(63),
    tablo        VARCHAR(30) NOT NULL,
    anahtar      VARCHAR(30),
    birimkodu    VARCHAR(2),
    eski         TEXT,
    yeni         TEXT
);
CREATE INDEX degisiklik_satir ON degisiklik (tablo, anahtar);

-- Each recorded table has a view giving every row as the JSON object the record holds; the
-- triggers read the row from it, before a change for the old values and after it for the new
-- ones, so the columns are listed once per table. An update that leaves the row as it was (a
-- window storing an unchanged row) leaves no record.

-- ---------------------------------------------------------------- students

CREATE VIEW degisiklik_ogrenci AS
SELECT idogrenci AS anahtar, birimkodu AS birimkodu,
       json_object('idogrenci', idogrenci, 'otomasyonid', otomasyonid, 'ogrencino', ogrencino,
           'adi', adi, 'soyadi', soyadi, 'ilksoyadi', ilksoyadi,
           'tckimlikno', tckimlikno, 'ssksicilno', ssksicilno, 'statu', statu,
           'baslangictarihi', baslangictarihi, 'bitistarihi', bitistarihi, 'gss', gss,
           'stajili', stajili, 'stajyeri', stajyeri, 'birimkodu', birimkodu,
           'birimadi', birimadi, 'okuladi', okuladi, 'aktarmatarihi', aktarmatarihi,
           'degistiren', degistiren) AS deger
FROM ogrenci;

CREATE TRIGGER degisiklik_ogrenci_ekle AFTER INSERT ON ogrenci
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, yeni)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'ogrenci', v.anahtar, v.birimkodu,
           v.deger
    FROM degisiklik_ogrenci v WHERE v.anahtar = NEW.idogrenci;
END;

CREATE TRIGGER degisiklik_ogrenci_once BEFORE UPDATE ON ogrenci
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, eski)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'ogrenci', v.anahtar, v.birimkodu,
           v.deger
    FROM degisiklik_ogrenci v WHERE v.anahtar = OLD.idogrenci;
END;

CREATE TRIGGER degisiklik_ogrenci_sonra AFTER UPDATE ON ogrenci
BEGIN
    UPDATE degisiklik
    SET anahtar = NEW.idogrenci, birimkodu = v.birimkodu, yeni = v.deger
    FROM degisiklik_ogrenci v
    WHERE v.anahtar = NEW.idogrenci
      AND degisiklik.iddegisiklik = (SELECT max(iddegisiklik) FROM degisiklik
                                     WHERE tablo = 'ogrenci' AND anahtar = CAST(OLD.idogrenci AS TEXT));
    DELETE FROM degisiklik
    WHERE iddegisiklik = (SELECT max(iddegisiklik) FROM degisiklik
                          WHERE tablo = 'ogrenci' AND anahtar = CAST(NEW.idogrenci AS TEXT))
      AND eski IS yeni;
END;

CREATE TRIGGER degisiklik_ogrenci_sil BEFORE DELETE ON ogrenci
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, eski)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'ogrenci', v.anahtar, v.birimkodu,
           v.deger
    FROM degisiklik_ogrenci v WHERE v.anahtar = OLD.idogrenci;
END;

-- ---------------------------------------------------------------- parameter row

CREATE VIEW degisiklik_parametre AS
SELECT idparametre AS anahtar, NULL AS birimkodu,
       json_object('idparametre', idparametre, 'aktifyil', aktifyil, 'belgemahiyet', belgemahiyet,
           'belgeturu', belgeturu, 'belgeturuyab', belgeturuyab, 'isci', isci,
           'isveren', isveren, 'istencikisnedeni', istencikisnedeni, 'kanunno', kanunno,
           'sigortakodu', sigortakodu, 'au01', au01, 'au02', au02,
           'au03', au03, 'au04', au04, 'au05', au05,
           'au06', au06, 'au07', au07, 'au08', au08,
           'au09', au09, 'au10', au10, 'au11', au11,
           'au12', au12) AS deger
FROM Parametre;

CREATE TRIGGER degisiklik_parametre_ekle AFTER INSERT ON Parametre
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, yeni)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'parametre', v.anahtar, v.birimkodu,
           v.deger
    FROM degisiklik_parametre v WHERE v.anahtar = NEW.idparametre;
END;

CREATE TRIGGER degisiklik_parametre_once BEFORE UPDATE ON Parametre
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, eski)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'parametre', v.anahtar, v.birimkodu,
           v.deger
    FROM degisiklik_parametre v WHERE v.anahtar = OLD.idparametre;
END;

CREATE TRIGGER degisiklik_parametre_sonra AFTER UPDATE ON Parametre
BEGIN
    UPDATE degisiklik
    SET anahtar = NEW.idparametre, birimkodu = v.birimkodu, yeni = v.deger
    FROM degisiklik_parametre v
    WHERE v.anahtar = NEW.idparametre
      AND degisiklik.iddegisiklik = (SELECT max(iddegisiklik) FROM degisiklik
                                     WHERE tablo = 'parametre' AND anahtar = CAST(OLD.idparametre AS TEXT));
    DELETE FROM degisiklik
    WHERE iddegisiklik = (SELECT max(iddegisiklik) FROM degisiklik
                          WHERE tablo = 'parametre' AND anahtar = CAST(NEW.idparametre AS TEXT))
      AND eski IS yeni;
END;

CREATE TRIGGER degisiklik_parametre_sil BEFORE DELETE ON Parametre
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, eski)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'parametre', v.anahtar, v.birimkodu,
           v.deger
    FROM degisiklik_parametre v WHERE v.anahtar = OLD.idparametre;
END;

-- ---------------------------------------------------------------- workplace rows

CREATE VIEW degisiklik_isyeri AS
SELECT idisyeri AS anahtar, birimkodu AS birimkodu,
       json_object('idisyeri', idisyeri, 'birimkodu', birimkodu, 'birimadi', birimadi,
           'isyerisicil', isyerisicil, 'kontrolno', kontrolno, 'isyeriaracino', isyeriaracino,
           'isyeriunvani', isyeriunvani, 'isyeriadres', isyeriadres, 'isyerivergino', isyerivergino,
           'vergidairesi', vergidairesi) AS deger
FROM isyeri;

CREATE TRIGGER degisiklik_isyeri_ekle AFTER INSERT ON isyeri
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, yeni)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'isyeri', v.anahtar, v.birimkodu,
           v.deger
    FROM degisiklik_isyeri v WHERE v.anahtar = NEW.idisyeri;
END;

CREATE TRIGGER degisiklik_isyeri_once BEFORE UPDATE ON isyeri
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, eski)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'isyeri', v.anahtar, v.birimkodu,
           v.deger
    FROM degisiklik_isyeri v WHERE v.anahtar = OLD.idisyeri;
END;

CREATE TRIGGER degisiklik_isyeri_sonra AFTER UPDATE ON isyeri
BEGIN
    UPDATE degisiklik
    SET anahtar = NEW.idisyeri, birimkodu = v.birimkodu, yeni = v.deger
    FROM degisiklik_isyeri v
    WHERE v.anahtar = NEW.idisyeri
      AND degisiklik.iddegisiklik = (SELECT max(iddegisiklik) FROM degisiklik
                                     WHERE tablo = 'isyeri' AND anahtar = CAST(OLD.idisyeri AS TEXT));
    DELETE FROM degisiklik
    WHERE iddegisiklik = (SELECT max(iddegisiklik) FROM degisiklik
                          WHERE tablo = 'isyeri' AND anahtar = CAST(NEW.idisyeri AS TEXT))
      AND eski IS yeni;
END;

CREATE TRIGGER degisiklik_isyeri_sil BEFORE DELETE ON isyeri
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, eski)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'isyeri', v.anahtar, v.birimkodu,
           v.deger
    FROM degisiklik_isyeri v WHERE v.anahtar = OLD.idisyeri;
END;

-- ---------------------------------------------------------------- user rows (no hash)

-- A password change shows as a row whose values stayed.
CREATE VIEW degisiklik_kullanici AS
SELECT idkullanici AS anahtar, birimkodu AS birimkodu,
       json_object('idkullanici', idkullanici, 'kullanici', kullanici, 'adsoy', adsoy,
           'birimkodu', birimkodu, 'email', email, 'yetkitipi', yetkitipi) AS deger
FROM kullanici;

CREATE TRIGGER degisiklik_kullanici_ekle AFTER INSERT ON kullanici
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, yeni)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'kullanici', v.anahtar, v.birimkodu,
           v.deger
    FROM degisiklik_kullanici v WHERE v.anahtar = NEW.idkullanici;
END;

CREATE TRIGGER degisiklik_kullanici_once BEFORE UPDATE ON kullanici
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, eski)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'kullanici', v.anahtar, v.birimkodu,
           v.deger
    FROM degisiklik_kullanici v WHERE v.anahtar = OLD.idkullanici;
END;

CREATE TRIGGER degisiklik_kullanici_sonra AFTER UPDATE ON kullanici
BEGIN
    UPDATE degisiklik
    SET anahtar = NEW.idkullanici, birimkodu = v.birimkodu, yeni = v.deger
    FROM degisiklik_kullanici v
    WHERE v.anahtar = NEW.idkullanici
      AND degisiklik.iddegisiklik = (SELECT max(iddegisiklik) FROM degisiklik
                                     WHERE tablo = 'kullanici' AND anahtar = CAST(OLD.idkullanici AS TEXT));
    DELETE FROM degisiklik
    WHERE iddegisiklik = (SELECT max(iddegisiklik) FROM degisiklik
                          WHERE tablo = 'kullanici' AND anahtar = CAST(NEW.idkullanici AS TEXT))
      AND eski IS yeni AND OLD.sifre IS NEW.sifre;
END;

CREATE TRIGGER degisiklik_kullanici_sil BEFORE DELETE ON kullanici
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, eski)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'kullanici', v.anahtar, v.birimkodu,
           v.deger
    FROM degisiklik_kullanici v WHERE v.anahtar = OLD.idkullanici;
END;

-- ---------------------------------------------------------------- monthly runs
--
-- The timesheet and accrual runs store their rows through PuantajYaz and TahakkukekleListe,
-- whose last statement records the run (02-procedures.sql). The declaration's first step adds
-- its rows in batches after removing the month's rows of the unit and edition, so its first
-- row opens the record of the run and every row after it counts in the newest record of the
-- same unit, month and edition.
CREATE TRIGGER degisiklik_xml_calisma AFTER INSERT ON Xml
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, yeni)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'xml',
           printf('%s-%02d', NEW.yil, NEW.ay), NEW.birimkodu,
           json_object('adim', 'Bildirge hazırlığı (1. adım)', 'yil', NEW.yil, 'ay', NEW.ay,
                       'gss', o.gss, 'satir', 0)
    FROM ogrenci o
    WHERE o.idogrenci = NEW.idogrenci
      AND NOT EXISTS (SELECT 1 FROM Xml x JOIN ogrenci b ON b.idogrenci = x.idogrenci
                      WHERE x.yil = NEW.yil AND x.ay = NEW.ay AND x.birimkodu IS NEW.birimkodu
                        AND b.gss = o.gss AND x.idxml <> NEW.idxml);
    UPDATE degisiklik SET yeni = json_set(yeni, '$.satir', json_extract(yeni, '$.satir') + 1)
    WHERE iddegisiklik = (
        SELECT max(d.iddegisiklik) FROM degisiklik d
        WHERE d.tablo = 'xml' AND d.anahtar = printf('%s-%02d', NEW.yil, NEW.ay)
          AND d.birimkodu IS NEW.birimkodu
          AND json_extract(d.yeni, '$.gss') = (SELECT gss FROM ogrenci
                                               WHERE idogrenci = NEW.idogrenci));
END;

-- the schema the program of this version reads and writes
UPDATE zelvo_info SET value = '2' WHERE key = 'schema_version' AND CAST(value AS INTEGER) < 2;
INSERT INTO zelvo_info (key, value) VALUES ('migration:06-audit.sql', '1');
