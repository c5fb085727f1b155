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

-- ---------------------------------------------------------------- students

CREATE TRIGGER degisiklik_ogrenci_ekle AFTER INSERT ON ogrenci
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, yeni)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'ogrenci', NEW.idogrenci,
           NEW.birimkodu, json_object(
        'idogrenci', NEW.idogrenci, 'otomasyonid', NEW.otomasyonid, 'ogrencino', NEW.ogrencino,
        'adi', NEW.adi, 'soyadi', NEW.soyadi, 'ilksoyadi', NEW.ilksoyadi,
        'tckimlikno', NEW.tckimlikno, 'ssksicilno', NEW.ssksicilno, 'statu', NEW.statu,
        'baslangictarihi', NEW.baslangictarihi, 'bitistarihi', NEW.bitistarihi, 'gss', NEW.gss,
        'stajili', NEW.stajili, 'stajyeri', NEW.stajyeri, 'birimkodu', NEW.birimkodu,
        'birimadi', NEW.birimadi, 'okuladi', NEW.okuladi, 'aktarmatarihi', NEW.aktarmatarihi,
        'degistiren', NEW.degistiren);
END;

-- An update that leaves the row as it was (a window storing an unchanged row) records nothing.
CREATE TRIGGER degisiklik_ogrenci_degistir AFTER UPDATE ON ogrenci
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, eski, yeni)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'ogrenci', NEW.idogrenci,
           NEW.birimkodu, r.eski, r.yeni
    FROM (SELECT json_object(
        'idogrenci', OLD.idogrenci, 'otomasyonid', OLD.otomasyonid, 'ogrencino', OLD.ogrencino,
        'adi', OLD.adi, 'soyadi', OLD.soyadi, 'ilksoyadi', OLD.ilksoyadi,
        'tckimlikno', OLD.tckimlikno, 'ssksicilno', OLD.ssksicilno, 'statu', OLD.statu,
        'baslangictarihi', OLD.baslangictarihi, 'bitistarihi', OLD.bitistarihi, 'gss', OLD.gss,
        'stajili', OLD.stajili, 'stajyeri', OLD.stajyeri, 'birimkodu', OLD.birimkodu,
        'birimadi', OLD.birimadi, 'okuladi', OLD.okuladi, 'aktarmatarihi', OLD.aktarmatarihi,
        'degistiren', OLD.degistiren) AS eski, json_object(
        'idogrenci', NEW.idogrenci, 'otomasyonid', NEW.otomasyonid, 'ogrencino', NEW.ogrencino,
        'adi', NEW.adi, 'soyadi', NEW.soyadi, 'ilksoyadi', NEW.ilksoyadi,
        'tckimlikno', NEW.tckimlikno, 'ssksicilno', NEW.ssksicilno, 'statu', NEW.statu,
        'baslangictarihi', NEW.baslangictarihi, 'bitistarihi', NEW.bitistarihi, 'gss', NEW.gss,
        'stajili', NEW.stajili, 'stajyeri', NEW.stajyeri, 'birimkodu', NEW.birimkodu,
        'birimadi', NEW.birimadi, 'okuladi', NEW.okuladi, 'aktarmatarihi', NEW.aktarmatarihi,
        'degistiren', NEW.degistiren) AS yeni) AS r
    WHERE r.eski IS NOT r.yeni;
END;

CREATE TRIGGER degisiklik_ogrenci_sil AFTER DELETE ON ogrenci
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, eski)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'ogrenci', OLD.idogrenci,
           OLD.birimkodu, json_object(
        'idogrenci', OLD.idogrenci, 'otomasyonid', OLD.otomasyonid, 'ogrencino', OLD.ogrencino,
        'adi', OLD.adi, 'soyadi', OLD.soyadi, 'ilksoyadi', OLD.ilksoyadi,
        'tckimlikno', OLD.tckimlikno, 'ssksicilno', OLD.ssksicilno, 'statu', OLD.statu,
        'baslangictarihi', OLD.baslangictarihi, 'bitistarihi', OLD.bitistarihi, 'gss', OLD.gss,
        'stajili', OLD.stajili, 'stajyeri', OLD.stajyeri, 'birimkodu', OLD.birimkodu,
        'birimadi', OLD.birimadi, 'okuladi', OLD.okuladi, 'aktarmatarihi', OLD.aktarmatarihi,
        'degistiren', OLD.degistiren);
END;

-- ---------------------------------------------------------------- parameter row

CREATE TRIGGER degisiklik_parametre_ekle AFTER INSERT ON Parametre
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, yeni)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'parametre', NEW.idparametre,
           json_object(
        'idparametre', NEW.idparametre, 'aktifyil', NEW.aktifyil,
        'belgemahiyet', NEW.belgemahiyet, 'belgeturu', NEW.belgeturu,
        'belgeturuyab', NEW.belgeturuyab, 'isci', NEW.isci, 'isveren', NEW.isveren,
        'istencikisnedeni', NEW.istencikisnedeni, 'kanunno', NEW.kanunno,
        'sigortakodu', NEW.sigortakodu, 'au01', NEW.au01, 'au02', NEW.au02, 'au03', NEW.au03,
        'au04', NEW.au04, 'au05', NEW.au05, 'au06', NEW.au06, 'au07', NEW.au07, 'au08', NEW.au08,
        'au09', NEW.au09, 'au10', NEW.au10, 'au11', NEW.au11, 'au12', NEW.au12);
END;

CREATE TRIGGER degisiklik_parametre_degistir AFTER UPDATE ON Parametre
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, eski, yeni)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'parametre', NEW.idparametre,
           r.eski, r.yeni
    FROM (SELECT json_object(
        'idparametre', OLD.idparametre, 'aktifyil', OLD.aktifyil,
        'belgemahiyet', OLD.belgemahiyet, 'belgeturu', OLD.belgeturu,
        'belgeturuyab', OLD.belgeturuyab, 'isci', OLD.isci, 'isveren', OLD.isveren,
        'istencikisnedeni', OLD.istencikisnedeni, 'kanunno', OLD.kanunno,
        'sigortakodu', OLD.sigortakodu, 'au01', OLD.au01, 'au02', OLD.au02, 'au03', OLD.au03,
        'au04', OLD.au04, 'au05', OLD.au05, 'au06', OLD.au06, 'au07', OLD.au07, 'au08', OLD.au08,
        'au09', OLD.au09, 'au10', OLD.au10, 'au11', OLD.au11, 'au12', OLD.au12) AS eski,
        json_object(
        'idparametre', NEW.idparametre, 'aktifyil', NEW.aktifyil,
        'belgemahiyet', NEW.belgemahiyet, 'belgeturu', NEW.belgeturu,
        'belgeturuyab', NEW.belgeturuyab, 'isci', NEW.isci, 'isveren', NEW.isveren,
        'istencikisnedeni', NEW.istencikisnedeni, 'kanunno', NEW.kanunno,
        'sigortakodu', NEW.sigortakodu, 'au01', NEW.au01, 'au02', NEW.au02, 'au03', NEW.au03,
        'au04', NEW.au04, 'au05', NEW.au05, 'au06', NEW.au06, 'au07', NEW.au07, 'au08', NEW.au08,
        'au09', NEW.au09, 'au10', NEW.au10, 'au11', NEW.au11, 'au12', NEW.au12) AS yeni) AS r
    WHERE r.eski IS NOT r.yeni;
END;

CREATE TRIGGER degisiklik_parametre_sil AFTER DELETE ON Parametre
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, eski)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'parametre', OLD.idparametre,
           json_object(
        'idparametre', OLD.idparametre, 'aktifyil', OLD.aktifyil,
        'belgemahiyet', OLD.belgemahiyet, 'belgeturu', OLD.belgeturu,
        'belgeturuyab', OLD.belgeturuyab, 'isci', OLD.isci, 'isveren', OLD.isveren,
        'istencikisnedeni', OLD.istencikisnedeni, 'kanunno', OLD.kanunno,
        'sigortakodu', OLD.sigortakodu, 'au01', OLD.au01, 'au02', OLD.au02, 'au03', OLD.au03,
        'au04', OLD.au04, 'au05', OLD.au05, 'au06', OLD.au06, 'au07', OLD.au07, 'au08', OLD.au08,
        'au09', OLD.au09, 'au10', OLD.au10, 'au11', OLD.au11, 'au12', OLD.au12);
END;

-- ---------------------------------------------------------------- workplace rows

CREATE TRIGGER degisiklik_isyeri_ekle AFTER INSERT ON isyeri
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, yeni)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'isyeri', NEW.idisyeri,
           NEW.birimkodu, json_object(
        'idisyeri', NEW.idisyeri, 'birimkodu', NEW.birimkodu, 'birimadi', NEW.birimadi,
        'isyerisicil', NEW.isyerisicil, 'kontrolno', NEW.kontrolno,
        'isyeriaracino', NEW.isyeriaracino, 'isyeriunvani', NEW.isyeriunvani,
        'isyeriadres', NEW.isyeriadres, 'isyerivergino', NEW.isyerivergino,
        'vergidairesi', NEW.vergidairesi);
END;

CREATE TRIGGER degisiklik_isyeri_degistir AFTER UPDATE ON isyeri
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, eski, yeni)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'isyeri', NEW.idisyeri,
           NEW.birimkodu, r.eski, r.yeni
    FROM (SELECT json_object(
        'idisyeri', OLD.idisyeri, 'birimkodu', OLD.birimkodu, 'birimadi', OLD.birimadi,
        'isyerisicil', OLD.isyerisicil, 'kontrolno', OLD.kontrolno,
        'isyeriaracino', OLD.isyeriaracino, 'isyeriunvani', OLD.isyeriunvani,
        'isyeriadres', OLD.isyeriadres, 'isyerivergino', OLD.isyerivergino,
        'vergidairesi', OLD.vergidairesi) AS eski, json_object(
        'idisyeri', NEW.idisyeri, 'birimkodu', NEW.birimkodu, 'birimadi', NEW.birimadi,
        'isyerisicil', NEW.isyerisicil, 'kontrolno', NEW.kontrolno,
        'isyeriaracino', NEW.isyeriaracino, 'isyeriunvani', NEW.isyeriunvani,
        'isyeriadres', NEW.isyeriadres, 'isyerivergino', NEW.isyerivergino,
        'vergidairesi', NEW.vergidairesi) AS yeni) AS r
    WHERE r.eski IS NOT r.yeni;
END;

CREATE TRIGGER degisiklik_isyeri_sil AFTER DELETE ON isyeri
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, eski)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'isyeri', OLD.idisyeri,
           OLD.birimkodu, json_object(
        'idisyeri', OLD.idisyeri, 'birimkodu', OLD.birimkodu, 'birimadi', OLD.birimadi,
        'isyerisicil', OLD.isyerisicil, 'kontrolno', OLD.kontrolno,
        'isyeriaracino', OLD.isyeriaracino, 'isyeriunvani', OLD.isyeriunvani,
        'isyeriadres', OLD.isyeriadres, 'isyerivergino', OLD.isyerivergino,
        'vergidairesi', OLD.vergidairesi);
END;

-- ---------------------------------------------------------------- user rows (no hash)

CREATE TRIGGER degisiklik_kullanici_ekle AFTER INSERT ON kullanici
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, yeni)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'kullanici', NEW.idkullanici,
           NEW.birimkodu, json_object(
        'idkullanici', NEW.idkullanici, 'kullanici', NEW.kullanici, 'adsoy', NEW.adsoy,
        'birimkodu', NEW.birimkodu, 'email', NEW.email, 'yetkitipi', NEW.yetkitipi);
END;

-- A password change shows as a row whose values stayed.
CREATE TRIGGER degisiklik_kullanici_degistir AFTER UPDATE ON kullanici
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, eski, yeni)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'kullanici', NEW.idkullanici,
           NEW.birimkodu, json_object(
        'idkullanici', OLD.idkullanici, 'kullanici', OLD.kullanici, 'adsoy', OLD.adsoy,
        'birimkodu', OLD.birimkodu, 'email', OLD.email, 'yetkitipi', OLD.yetkitipi), json_object(
        'idkullanici', NEW.idkullanici, 'kullanici', NEW.kullanici, 'adsoy', NEW.adsoy,
        'birimkodu', NEW.birimkodu, 'email', NEW.email, 'yetkitipi', NEW.yetkitipi)
    WHERE OLD.sifre IS NOT NEW.sifre OR OLD.kullanici IS NOT NEW.kullanici
       OR OLD.adsoy IS NOT NEW.adsoy OR OLD.birimkodu IS NOT NEW.birimkodu
       OR OLD.email IS NOT NEW.email OR OLD.yetkitipi IS NOT NEW.yetkitipi;
END;

CREATE TRIGGER degisiklik_kullanici_sil AFTER DELETE ON kullanici
BEGIN
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, eski)
    SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), 'kullanici', OLD.idkullanici,
           OLD.birimkodu, json_object(
        'idkullanici', OLD.idkullanici, 'kullanici', OLD.kullanici, 'adsoy', OLD.adsoy,
        'birimkodu', OLD.birimkodu, 'email', OLD.email, 'yetkitipi', OLD.yetkitipi);
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

INSERT INTO zelvo_info (key, value) VALUES ('migration:06-audit.sql', '1');
