-- Zelvo embedded database: the stored procedures.
--
-- Every procedure is one row of zelvo_procedure. params lists the formal names in call order:
-- the client binds the values of a call to them by position and replaces each formal name in
-- the body by its value, bound as a parameter. Y is the year as a text of four digits, M the
-- month number 1 to 12, U the unit code. Years are compared as text, as yil is stored.
--
-- Editions: the standard procedures cover the students of the unit with gss = 0, the
-- procedures whose names end in xxx those with gss = 1. The timesheet, accrual and declaration
-- tables hold the rows of both editions.
--
-- Bodies may call the functions that the client registers on its connection: trfold(text)
-- folds a text to lower case with Turkish rules, dec2(x) brings a number to two decimals (half
-- away from zero, from its shortest decimal form) and share(amount, percent) gives a
-- percentage of an amount, rounded the same way.
--
-- The register searches sort in Turkish alphabetical order with a key built from the folded
-- text: each of the letters c-cedilla, soft g, dotless i, o-umlaut, s-cedilla and u-umlaut is
-- replaced by the Latin letter it follows in the alphabet and a brace, which sorts after z.

-- ---------------------------------------------------------------- login and administration

-- BireyGetirLogin(user name): the user rows whose name matches exactly, letter case and blanks
-- included. The password takes no part in the search: sifre holds its salted hash, which the
-- client verifies against the typed password on the row found.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('BireyGetirLogin', '@Key1', 'kullanici', 'idkullanici',
'SELECT idkullanici, kullanici, sifre, adsoy, birimkodu, email, yetkitipi, surum
FROM kullanici
WHERE kullanici = @Key1
ORDER BY idkullanici');

-- BirimGetir(): every unit.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('BirimGetir', '', NULL, NULL,
'SELECT birimkodu, birimadi
FROM birim
ORDER BY birimkodu');

-- isyerigetir(U): the workplace row of the unit.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('isyerigetir', '@key1', 'isyeri', 'idisyeri',
'SELECT idisyeri, birimkodu, birimadi, isyerisicil, kontrolno, isyeriaracino, isyeriunvani,
       isyeriadres, isyerivergino, vergidairesi, surum
FROM isyeri
WHERE birimkodu = @key1
ORDER BY idisyeri');

-- ParametreGetir(): the parameter rows, the one in force first.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('ParametreGetir', '', 'Parametre', 'idparametre',
'SELECT idparametre, aktifyil, belgemahiyet, belgeturu, belgeturuyab, isci, isveren,
       istencikisnedeni, kanunno, sigortakodu, au01, au02, au03, au04, au05, au06, au07,
       au08, au09, au10, au11, au12, surum
FROM Parametre
ORDER BY idparametre');

-- ---------------------------------------------------------------- student register

-- OgrenciGetirAdi(U, text): the students of the unit whose first name holds the text anywhere,
-- without regard to letter case by Turkish rules. An empty text lists all of them. The rows come
-- in Turkish alphabetical order of surname and first name.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('OgrenciGetirAdi', '@key1,@key2', 'ogrenci', 'idogrenci',
'SELECT idogrenci, otomasyonid, ogrencino, adi, soyadi, ilksoyadi, tckimlikno, ssksicilno, statu,
       baslangictarihi, bitistarihi, gss, stajili, stajyeri, birimkodu, birimadi, okuladi,
       aktarmatarihi, degistiren, surum
FROM ogrenci
WHERE birimkodu = @key1
  AND (@key2 IS NULL OR length(@key2) = 0 OR instr(trfold(adi), trfold(@key2)) > 0)
ORDER BY replace(replace(replace(replace(replace(replace(trfold(soyadi),
         ''ç'', ''c{''), ''ğ'', ''g{''), ''ı'', ''h{''), ''ö'', ''o{''), ''ş'', ''s{''), ''ü'', ''u{''),
         replace(replace(replace(replace(replace(replace(trfold(adi),
         ''ç'', ''c{''), ''ğ'', ''g{''), ''ı'', ''h{''), ''ö'', ''o{''), ''ş'', ''s{''), ''ü'', ''u{''),
         ogrencino, idogrenci');

-- OgrenciGetirSoyAdi(U, text): the students of the unit whose surname holds the text anywhere,
-- without regard to letter case by Turkish rules. An empty text lists all of them. The rows come
-- in Turkish alphabetical order of surname and first name.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('OgrenciGetirSoyAdi', '@key1,@key2', 'ogrenci', 'idogrenci',
'SELECT idogrenci, otomasyonid, ogrencino, adi, soyadi, ilksoyadi, tckimlikno, ssksicilno, statu,
       baslangictarihi, bitistarihi, gss, stajili, stajyeri, birimkodu, birimadi, okuladi,
       aktarmatarihi, degistiren, surum
FROM ogrenci
WHERE birimkodu = @key1
  AND (@key2 IS NULL OR length(@key2) = 0 OR instr(trfold(soyadi), trfold(@key2)) > 0)
ORDER BY replace(replace(replace(replace(replace(replace(trfold(soyadi),
         ''ç'', ''c{''), ''ğ'', ''g{''), ''ı'', ''h{''), ''ö'', ''o{''), ''ş'', ''s{''), ''ü'', ''u{''),
         replace(replace(replace(replace(replace(replace(trfold(adi),
         ''ç'', ''c{''), ''ğ'', ''g{''), ''ı'', ''h{''), ''ö'', ''o{''), ''ş'', ''s{''), ''ü'', ''u{''),
         ogrencino, idogrenci');

-- OgrenciGetirOgrenciNo(U, text): the students of the unit whose student number holds the text
-- anywhere, without regard to letter case by Turkish rules. An empty text lists all of them. The
-- rows come in Turkish alphabetical order of surname and first name.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('OgrenciGetirOgrenciNo', '@key1,@key2', 'ogrenci', 'idogrenci',
'SELECT idogrenci, otomasyonid, ogrencino, adi, soyadi, ilksoyadi, tckimlikno, ssksicilno, statu,
       baslangictarihi, bitistarihi, gss, stajili, stajyeri, birimkodu, birimadi, okuladi,
       aktarmatarihi, degistiren, surum
FROM ogrenci
WHERE birimkodu = @key1
  AND (@key2 IS NULL OR length(@key2) = 0 OR instr(trfold(ogrencino), trfold(@key2)) > 0)
ORDER BY replace(replace(replace(replace(replace(replace(trfold(soyadi),
         ''ç'', ''c{''), ''ğ'', ''g{''), ''ı'', ''h{''), ''ö'', ''o{''), ''ş'', ''s{''), ''ü'', ''u{''),
         replace(replace(replace(replace(replace(replace(trfold(adi),
         ''ç'', ''c{''), ''ğ'', ''g{''), ''ı'', ''h{''), ''ö'', ''o{''), ''ş'', ''s{''), ''ü'', ''u{''),
         ogrencino, idogrenci');

-- ---------------------------------------------------------------- timesheet

-- PuantajSil(Y, M, U): removes the timesheet rows of the month of the unit, for the students of
-- the standard edition.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('PuantajSil', '@key1,@key2,@key3', NULL, NULL,
'DELETE FROM Puantaj
WHERE yil = @key1 AND ay = @key2 AND birimkodu = @key3
  AND idogrenci IN (SELECT idogrenci FROM ogrenci WHERE gss = 0)');

-- PuantajGetir(first day, last day, U): the students of the standard edition of the unit whose
-- internship overlaps the period, passive students (status 2) left out. The two days come as
-- day-first texts, DD-MM-YYYY.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('PuantajGetir', '@key1,@key2,@key3', NULL, NULL,
'WITH donem AS (
    SELECT date(CASE WHEN substr(@key1, 3, 1) = ''-''
                  THEN substr(@key1, 7, 4) || ''-'' || substr(@key1, 4, 2)
                       || ''-'' || substr(@key1, 1, 2)
                  ELSE @key1 END) AS ilk,
           date(CASE WHEN substr(@key2, 3, 1) = ''-''
                  THEN substr(@key2, 7, 4) || ''-'' || substr(@key2, 4, 2)
                       || ''-'' || substr(@key2, 1, 2)
                  ELSE @key2 END) AS son
)
SELECT o.idogrenci, o.baslangictarihi, o.bitistarihi, o.ogrencino, o.adi, o.soyadi
FROM ogrenci o, donem d
WHERE o.birimkodu = @key3 AND o.gss = 0
  AND o.statu IS NOT ''2''
  AND o.baslangictarihi IS NOT NULL AND o.bitistarihi IS NOT NULL
  AND date(o.baslangictarihi) <= d.son AND date(o.bitistarihi) >= d.ilk
ORDER BY o.ogrencino, o.idogrenci');

-- PuantajOzel(Y, M, idogrenci as text): the stored timesheet row of the student for the month, to
-- be updated or appended to. The student decides the edition, so both editions share the body.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('PuantajOzel', '@key1,@key2,@key3', 'Puantaj', 'idpuantaj',
'SELECT idpuantaj, idogrenci, yil, ay, gun, gun1, gun2, birimkodu, surum
FROM Puantaj
WHERE yil = @key1 AND ay = @key2 AND idogrenci = CAST(@key3 AS INTEGER)
ORDER BY idpuantaj');

-- PuantajGenel(Y, M, U): the timesheet of the month of the unit for the standard edition, with the
-- student data the month view shows. Corrections are written back to Puantaj.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('PuantajGenel', '@key1,@key2,@key3', 'Puantaj', 'idpuantaj',
'SELECT p.idpuantaj, p.idogrenci, p.yil, p.ay, p.gun, p.gun1, p.gun2, p.birimkodu,
       o.ogrencino, o.adi, o.soyadi, o.baslangictarihi, o.bitistarihi, p.surum
FROM Puantaj p
JOIN ogrenci o ON o.idogrenci = p.idogrenci
WHERE p.yil = @key1 AND p.ay = @key2 AND p.birimkodu = @key3 AND o.gss = 0
ORDER BY o.ogrencino, o.adi, o.soyadi, p.idpuantaj');

-- PuantajSilxxx(Y, M, U): removes the timesheet rows of the month of the unit, for the students of
-- the GSS edition.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('PuantajSilxxx', '@key1,@key2,@key3', NULL, NULL,
'DELETE FROM Puantaj
WHERE yil = @key1 AND ay = @key2 AND birimkodu = @key3
  AND idogrenci IN (SELECT idogrenci FROM ogrenci WHERE gss = 1)');

-- PuantajGetirxxx(first day, last day, U): the students of the GSS edition of the unit whose
-- internship overlaps the period, passive students (status 2) left out. The two days come as
-- day-first texts, DD-MM-YYYY.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('PuantajGetirxxx', '@key1,@key2,@key3', NULL, NULL,
'WITH donem AS (
    SELECT date(CASE WHEN substr(@key1, 3, 1) = ''-''
                  THEN substr(@key1, 7, 4) || ''-'' || substr(@key1, 4, 2)
                       || ''-'' || substr(@key1, 1, 2)
                  ELSE @key1 END) AS ilk,
           date(CASE WHEN substr(@key2, 3, 1) = ''-''
                  THEN substr(@key2, 7, 4) || ''-'' || substr(@key2, 4, 2)
                       || ''-'' || substr(@key2, 1, 2)
                  ELSE @key2 END) AS son
)
SELECT o.idogrenci, o.baslangictarihi, o.bitistarihi, o.ogrencino, o.adi, o.soyadi
FROM ogrenci o, donem d
WHERE o.birimkodu = @key3 AND o.gss = 1
  AND o.statu IS NOT ''2''
  AND o.baslangictarihi IS NOT NULL AND o.bitistarihi IS NOT NULL
  AND date(o.baslangictarihi) <= d.son AND date(o.bitistarihi) >= d.ilk
ORDER BY o.ogrencino, o.idogrenci');

-- PuantajOzelxxx(Y, M, idogrenci as text): the stored timesheet row of the student for the month,
-- to be updated or appended to. The student decides the edition, so both editions share the body.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('PuantajOzelxxx', '@key1,@key2,@key3', 'Puantaj', 'idpuantaj',
'SELECT idpuantaj, idogrenci, yil, ay, gun, gun1, gun2, birimkodu, surum
FROM Puantaj
WHERE yil = @key1 AND ay = @key2 AND idogrenci = CAST(@key3 AS INTEGER)
ORDER BY idpuantaj');

-- PuantajGenelxxx(Y, M, U): the timesheet of the month of the unit for the GSS edition, with the
-- student data the month view shows. Corrections are written back to Puantaj.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('PuantajGenelxxx', '@key1,@key2,@key3', 'Puantaj', 'idpuantaj',
'SELECT p.idpuantaj, p.idogrenci, p.yil, p.ay, p.gun, p.gun1, p.gun2, p.birimkodu,
       o.ogrencino, o.adi, o.soyadi, o.baslangictarihi, o.bitistarihi, p.surum
FROM Puantaj p
JOIN ogrenci o ON o.idogrenci = p.idogrenci
WHERE p.yil = @key1 AND p.ay = @key2 AND p.birimkodu = @key3 AND o.gss = 1
ORDER BY o.ogrencino, o.adi, o.soyadi, p.idpuantaj');

-- GunHesapla(start, end, idogrenci, M, Y): the days from start to end, both included, 0 when the
-- end is before the start, empty when a date is missing. Serves both editions. The student, month
-- and year are not needed for the count.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('GunHesapla', '@key1,@key2,@key3,@key4,@key5', NULL, NULL,
'WITH staj AS (
    SELECT date(CASE WHEN substr(@key1, 3, 1) = ''-''
                  THEN substr(@key1, 7, 4) || ''-'' || substr(@key1, 4, 2)
                       || ''-'' || substr(@key1, 1, 2)
                  ELSE @key1 END) AS bas,
           date(CASE WHEN substr(@key2, 3, 1) = ''-''
                  THEN substr(@key2, 7, 4) || ''-'' || substr(@key2, 4, 2)
                       || ''-'' || substr(@key2, 1, 2)
                  ELSE @key2 END) AS bit
)
SELECT CASE
           WHEN bas IS NULL OR bit IS NULL THEN NULL
           WHEN bit < bas THEN 0
           ELSE CAST(round(julianday(bit) - julianday(bas)) AS INTEGER) + 1
       END AS gun
FROM staj');

-- gunhesapla_i(tar1, tar2, ay, yil): opened once by the timesheet windows, result not read.
-- Changes nothing.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('gunhesapla_i', '@tar1,@tar2,@ay,@yil', NULL, NULL,
'SELECT CASE
           WHEN date(@tar2) < date(@tar1) THEN 0
           ELSE CAST(round(julianday(date(@tar2)) - julianday(date(@tar1))) AS INTEGER) + 1
       END AS gun,
       @ay AS ay, @yil AS yil');

-- GunHesaplaListe(spans, M, Y): GunHesapla for every student of a timesheet run in one call.
-- spans is a JSON array of [start, end, idogrenci] (texts or nulls, as GunHesapla takes them);
-- one row per element comes back, in the order given: its position sira (from 1) and gun.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('GunHesaplaListe', '@key1,@key2,@key3', NULL, NULL,
'WITH gelen AS (
    SELECT CAST(key AS INTEGER) + 1 AS sira, json_extract(value, ''$[0]'') AS k1,
           json_extract(value, ''$[1]'') AS k2
    FROM json_each(@key1)
), staj AS (
    SELECT sira,
           date(CASE WHEN substr(k1, 3, 1) = ''-''
                  THEN substr(k1, 7, 4) || ''-'' || substr(k1, 4, 2) || ''-'' || substr(k1, 1, 2)
                  ELSE k1 END) AS bas,
           date(CASE WHEN substr(k2, 3, 1) = ''-''
                  THEN substr(k2, 7, 4) || ''-'' || substr(k2, 4, 2) || ''-'' || substr(k2, 1, 2)
                  ELSE k2 END) AS bit
    FROM gelen
)
SELECT sira,
       CASE
           WHEN bas IS NULL OR bit IS NULL THEN NULL
           WHEN bit < bas THEN 0
           ELSE CAST(round(julianday(bit) - julianday(bas)) AS INTEGER) + 1
       END AS gun
FROM staj
ORDER BY sira');

-- PuantajYaz(Y, M, U, days): stores the days of a timesheet run in one call. days is a JSON
-- array of [idogrenci, gun]. A student who has a row for the month (in whatever unit) gets its
-- gun replaced, gun1 and gun2 staying as they are; the others get a new row of unit U, added in
-- the order given. Serves both editions. The run is recorded in degisiklik.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('PuantajYaz', '@key1,@key2,@key3,@key4', NULL, NULL,
'UPDATE Puantaj SET gun = g.gun
FROM (SELECT CAST(json_extract(value, ''$[0]'') AS INTEGER) AS idogrenci,
             json_extract(value, ''$[1]'') AS gun
      FROM json_each(@key4)) AS g
WHERE Puantaj.yil = @key1 AND Puantaj.ay = @key2 AND Puantaj.idogrenci = g.idogrenci;
INSERT INTO Puantaj (idogrenci, yil, ay, gun, birimkodu)
SELECT g.idogrenci, substr(@key1, 1, 4), @key2, g.gun, substr(@key3, 1, 2)
FROM (SELECT CAST(key AS INTEGER) AS sira,
             CAST(json_extract(value, ''$[0]'') AS INTEGER) AS idogrenci,
             json_extract(value, ''$[1]'') AS gun
      FROM json_each(@key4)) AS g
WHERE NOT EXISTS (SELECT 1 FROM Puantaj q
                  WHERE q.yil = @key1 AND q.ay = @key2 AND q.idogrenci = g.idogrenci)
ORDER BY g.sira;
INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, yeni)
SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), ''puantaj'',
       printf(''%s-%02d'', @key1, @key2), @key3,
       json_object(''adim'', ''Puantaj hesabı'', ''yil'', @key1, ''ay'', @key2,
                   ''gss'', (SELECT max(o.gss) FROM ogrenci o
                             WHERE o.idogrenci IN (SELECT CAST(json_extract(value, ''$[0]'')
                                                               AS INTEGER)
                                                   FROM json_each(@key4))),
                   ''satir'', json_array_length(@key4))');

-- ---------------------------------------------------------------- accrual

-- TahakkukSil(Y, M, U): removes the accrual rows of the month of the unit, for the students of the
-- standard edition.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('TahakkukSil', '@key1,@key2,@key3', NULL, NULL,
'DELETE FROM Tahakkuk
WHERE yil = @key1 AND ay = @key2 AND birimkodu = @key3
  AND idogrenci IN (SELECT idogrenci FROM ogrenci WHERE gss = 0)');

-- Tahakkukekle(idogrenci, Y, M, gun, U, kazanc, matrah): stores one accrual row. The amounts are
-- brought to two decimals, the shares are the premium base times the percentages of the parameter
-- row in force, rounded the same way. The student decides the edition, so both editions share the
-- body.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('Tahakkukekle', '@idogrenci,@yil,@ay,@gun,@birimkodu,@kazanc,@matrah', NULL, NULL,
'INSERT INTO Tahakkuk (idogrenci, yil, ay, gun, birimkodu, kazanc, matrah, isveren, isci)
VALUES (CAST(@idogrenci AS INTEGER), @yil, @ay, @gun, @birimkodu, dec2(@kazanc), dec2(@matrah),
        share(dec2(@matrah), (SELECT isveren FROM Parametre ORDER BY idparametre LIMIT 1)),
        share(dec2(@matrah), (SELECT isci FROM Parametre ORDER BY idparametre LIMIT 1)))');

-- TahakkukGenel(Y, M, U): the accrual rows of the month of the unit for the standard edition.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('TahakkukGenel', '@key1,@key2,@key3', NULL, NULL,
'SELECT t.yil, t.ay, o.ogrencino, o.adi, o.soyadi, t.gun, t.kazanc, t.matrah, t.isveren,
       t.isci, t.idogrenci
FROM Tahakkuk t
JOIN ogrenci o ON o.idogrenci = t.idogrenci
WHERE t.yil = @key1 AND t.ay = @key2 AND t.birimkodu = @key3 AND o.gss = 0
ORDER BY o.ogrencino, o.adi, o.soyadi, t.idtahakkuk');

-- TahakkukSilxxx(Y, M, U): removes the accrual rows of the month of the unit, for the students of
-- the GSS edition.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('TahakkukSilxxx', '@key1,@key2,@key3', NULL, NULL,
'DELETE FROM Tahakkuk
WHERE yil = @key1 AND ay = @key2 AND birimkodu = @key3
  AND idogrenci IN (SELECT idogrenci FROM ogrenci WHERE gss = 1)');

-- TahakkukekleListe(Y, M, U, rows): Tahakkukekle for every timesheet row of an accrual run in
-- one call. rows is a JSON array of [idogrenci as text, gun, kazanc, matrah], the amounts as
-- exact decimal texts with two decimals; the rows are added in the order given, each worked out
-- as Tahakkukekle does: dec2 and share follow the rounding rule of src/core/money.h. Serves both
-- editions. The run is recorded in degisiklik.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('TahakkukekleListe', '@key1,@key2,@key3,@key4', NULL, NULL,
'INSERT INTO Tahakkuk (idogrenci, yil, ay, gun, birimkodu, kazanc, matrah, isveren, isci)
SELECT CAST(r.idogrenci AS INTEGER), @key1, @key2, r.gun, @key3, dec2(r.kazanc), dec2(r.matrah),
       share(dec2(r.matrah), (SELECT isveren FROM Parametre ORDER BY idparametre LIMIT 1)),
       share(dec2(r.matrah), (SELECT isci FROM Parametre ORDER BY idparametre LIMIT 1))
FROM (SELECT CAST(key AS INTEGER) AS sira, json_extract(value, ''$[0]'') AS idogrenci,
             json_extract(value, ''$[1]'') AS gun,
             json_extract(value, ''$[2]'') AS kazanc,
             json_extract(value, ''$[3]'') AS matrah
      FROM json_each(@key4)) AS r
ORDER BY r.sira;
INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, yeni)
SELECT (SELECT kullanici FROM zelvo_oturum WHERE id = 1), ''tahakkuk'',
       printf(''%s-%02d'', @key1, @key2), @key3,
       json_object(''adim'', ''Tahakkuk hesabı'', ''yil'', @key1, ''ay'', @key2,
                   ''gss'', (SELECT max(o.gss) FROM ogrenci o
                             WHERE o.idogrenci IN (SELECT CAST(json_extract(value, ''$[0]'')
                                                               AS INTEGER)
                                                   FROM json_each(@key4))),
                   ''satir'', json_array_length(@key4))');

-- Tahakkukeklexxx(idogrenci, Y, M, gun, U, kazanc, matrah): stores one accrual row. The amounts
-- are brought to two decimals, the shares are the premium base times the percentages of the
-- parameter row in force, rounded the same way. The student decides the edition, so both editions
-- share the body.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('Tahakkukeklexxx', '@idogrenci,@yil,@ay,@gun,@birimkodu,@kazanc,@matrah', NULL, NULL,
'INSERT INTO Tahakkuk (idogrenci, yil, ay, gun, birimkodu, kazanc, matrah, isveren, isci)
VALUES (CAST(@idogrenci AS INTEGER), @yil, @ay, @gun, @birimkodu, dec2(@kazanc), dec2(@matrah),
        share(dec2(@matrah), (SELECT isveren FROM Parametre ORDER BY idparametre LIMIT 1)),
        share(dec2(@matrah), (SELECT isci FROM Parametre ORDER BY idparametre LIMIT 1)))');

-- TahakkukGenelxxx(Y, M, U): the accrual rows of the month of the unit for the GSS edition.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('TahakkukGenelxxx', '@key1,@key2,@key3', NULL, NULL,
'SELECT t.yil, t.ay, o.ogrencino, o.adi, o.soyadi, t.gun, t.kazanc, t.matrah, t.isveren,
       t.isci, t.idogrenci
FROM Tahakkuk t
JOIN ogrenci o ON o.idogrenci = t.idogrenci
WHERE t.yil = @key1 AND t.ay = @key2 AND t.birimkodu = @key3 AND o.gss = 1
ORDER BY o.ogrencino, o.adi, o.soyadi, t.idtahakkuk');

-- ---------------------------------------------------------------- monthly lists

-- Liste1(Y, M, U): the list rows of the month of the unit for the standard edition, in the order
-- they are printed.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('Liste1', '@key1,@key2,@key3', NULL, NULL,
'SELECT t.yil, t.ay, o.ogrencino, o.adi, o.soyadi, o.ssksicilno, o.tckimlikno,
       o.baslangictarihi, o.bitistarihi, t.gun, t.kazanc, t.matrah, t.isveren, t.isci,
       t.idogrenci
FROM Tahakkuk t
JOIN ogrenci o ON o.idogrenci = t.idogrenci
WHERE t.yil = @key1 AND t.ay = @key2 AND t.birimkodu = @key3 AND o.gss = 0
ORDER BY o.ogrencino, o.adi, o.soyadi, t.idtahakkuk');

-- Liste1xxx(Y, M, U): the list rows of the month of the unit for the GSS edition, in the order
-- they are printed.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('Liste1xxx', '@key1,@key2,@key3', NULL, NULL,
'SELECT t.yil, t.ay, o.ogrencino, o.adi, o.soyadi, o.ssksicilno, o.tckimlikno,
       o.baslangictarihi, o.bitistarihi, t.gun, t.kazanc, t.matrah, t.isveren, t.isci,
       t.idogrenci
FROM Tahakkuk t
JOIN ogrenci o ON o.idogrenci = t.idogrenci
WHERE t.yil = @key1 AND t.ay = @key2 AND t.birimkodu = @key3 AND o.gss = 1
ORDER BY o.ogrencino, o.adi, o.soyadi, t.idtahakkuk');

-- ---------------------------------------------------------------- declaration

-- XmlGetir(Y, M, U): the declaration rows of the month of the unit for the standard edition. The
-- declaration window appends the new rows to this result.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('XmlGetir', '@key1,@key2,@key3', 'Xml', 'idxml',
'SELECT x.idxml, x.idogrenci, x.yil, x.ay, x.birimkodu, x.ogrencino, x.adi, x.soyadi,
       x.ilksoyadi, x.ssksicilno, x.tckimlikno, x.baslangictarihi, x.bitistarihi, x.gun,
       x.pek, x.isveren, x.isci, x.girisgun, x.cikisgun, x.istencikisnedeni, x.sil1
FROM Xml x
WHERE x.yil = @key1 AND x.ay = @key2 AND x.birimkodu = @key3
  AND x.idogrenci IN (SELECT idogrenci FROM ogrenci WHERE gss = 0)
ORDER BY x.idxml');

-- XmlListe2(Y, M, U): the declaration rows of the month of the unit for the standard edition, in
-- the order the files number them, with the internship province and institution of the student and
-- gun_1, the day count of the timesheet row of the same student and month.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('XmlListe2', '@key1,@key2,@key3', NULL, NULL,
'SELECT x.idxml, x.idogrenci, x.yil, x.ay, x.birimkodu, x.ogrencino, x.adi, x.soyadi,
       x.ilksoyadi, x.ssksicilno, x.tckimlikno, x.baslangictarihi, x.bitistarihi, x.gun,
       x.pek, x.isveren, x.isci, x.girisgun, x.cikisgun, x.istencikisnedeni, x.sil1,
       o.stajili, o.stajyeri, p.gun AS gun_1
FROM Xml x
JOIN ogrenci o ON o.idogrenci = x.idogrenci
LEFT JOIN Puantaj p ON p.idogrenci = x.idogrenci AND p.yil = x.yil AND p.ay = x.ay
WHERE x.yil = @key1 AND x.ay = @key2 AND x.birimkodu = @key3 AND o.gss = 0
ORDER BY x.ogrencino, x.adi, x.soyadi, x.idxml');

-- XmlGetirxxx(Y, M, U): the declaration rows of the month of the unit for the GSS edition. The
-- declaration window appends the new rows to this result.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('XmlGetirxxx', '@key1,@key2,@key3', 'Xml', 'idxml',
'SELECT x.idxml, x.idogrenci, x.yil, x.ay, x.birimkodu, x.ogrencino, x.adi, x.soyadi,
       x.ilksoyadi, x.ssksicilno, x.tckimlikno, x.baslangictarihi, x.bitistarihi, x.gun,
       x.pek, x.isveren, x.isci, x.girisgun, x.cikisgun, x.istencikisnedeni, x.sil1
FROM Xml x
WHERE x.yil = @key1 AND x.ay = @key2 AND x.birimkodu = @key3
  AND x.idogrenci IN (SELECT idogrenci FROM ogrenci WHERE gss = 1)
ORDER BY x.idxml');

-- XmlListe2xxx(Y, M, U): the declaration rows of the month of the unit for the GSS edition, in the
-- order the files number them, with the internship province and institution of the student and
-- gun_1, the day count of the timesheet row of the same student and month.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('XmlListe2xxx', '@key1,@key2,@key3', NULL, NULL,
'SELECT x.idxml, x.idogrenci, x.yil, x.ay, x.birimkodu, x.ogrencino, x.adi, x.soyadi,
       x.ilksoyadi, x.ssksicilno, x.tckimlikno, x.baslangictarihi, x.bitistarihi, x.gun,
       x.pek, x.isveren, x.isci, x.girisgun, x.cikisgun, x.istencikisnedeni, x.sil1,
       o.stajili, o.stajyeri, p.gun AS gun_1
FROM Xml x
JOIN ogrenci o ON o.idogrenci = x.idogrenci
LEFT JOIN Puantaj p ON p.idogrenci = x.idogrenci AND p.yil = x.yil AND p.ay = x.ay
WHERE x.yil = @key1 AND x.ay = @key2 AND x.birimkodu = @key3 AND o.gss = 1
ORDER BY x.ogrencino, x.adi, x.soyadi, x.idxml');

-- XmlSilxxx(Y, M, U): removes the declaration rows of the month of the unit for the GSS edition.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('XmlSilxxx', '@key1,@key2,@key3', NULL, NULL,
'DELETE FROM Xml
WHERE yil = @key1 AND ay = @key2 AND birimkodu = @key3
  AND idogrenci IN (SELECT idogrenci FROM ogrenci WHERE gss = 1)');

-- XmlListe1xxx(Y, M, U): the accrual rows of the month of the unit for the GSS edition joined with
-- their students: the source of the GSS declaration rows.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('XmlListe1xxx', '@key1,@key2,@key3', NULL, NULL,
'SELECT o.idogrenci, o.ogrencino, o.adi, o.soyadi, o.ssksicilno, o.tckimlikno,
       o.baslangictarihi, o.bitistarihi, p.yil, p.ay, p.gun, p.kazanc, p.matrah,
       p.isveren, p.isci, o.birimkodu, o.stajili, o.stajyeri, o.ilksoyadi
FROM Tahakkuk p
JOIN ogrenci o ON o.idogrenci = p.idogrenci
WHERE p.yil = @key1 AND p.ay = @key2 AND p.birimkodu = @key3 AND o.gss = 1
ORDER BY o.ogrencino, o.adi, o.soyadi, p.idtahakkuk');

-- ---------------------------------------------------------------- record of changes

-- DegisiklikGetir(idogrenci): the recorded changes of one student, newest first: when (local
-- time, DD.MM.YYYY HH:MM:SS), who, what (insert, update, delete) and the row before and after.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('DegisiklikGetir', '@key1', NULL, NULL,
'SELECT strftime(''%d.%m.%Y %H:%M:%S'', zaman, ''localtime'') AS zaman, kim,
       CASE WHEN eski IS NULL THEN ''ekleme'' WHEN yeni IS NULL THEN ''silme''
            ELSE ''değişiklik'' END AS islem,
       eski, yeni
FROM degisiklik
WHERE tablo = ''ogrenci'' AND anahtar = CAST(@key1 AS TEXT)
ORDER BY iddegisiklik DESC');

-- SonDegisiklik(table, key): who made the newest recorded change of one row and when (local
-- time, DD.MM.YYYY HH:MM); no row when none is recorded. A store refused because the row
-- changed since it was read names them.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('SonDegisiklik', '@key1,@key2', NULL, NULL,
'SELECT kim, strftime(''%d.%m.%Y %H:%M'', zaman, ''localtime'') AS zaman
FROM degisiklik
WHERE tablo = lower(@key1) AND anahtar = CAST(@key2 AS TEXT)
ORDER BY iddegisiklik DESC
LIMIT 1');

-- ---------------------------------------------------------------- the month's chain

-- The tables are made by 05-monthstate.sql.
-- AyDurumuYaz(Y, M, U, gss, adim, user, rows, first day, last day): records a run of a step in
-- the run's own transaction. The accrual's wages are read here from the parameter row, as the
-- run read them.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('AyDurumuYaz', '@key1,@key2,@key3,@key4,@key5,@key6,@key7,@key8,@key9', NULL, NULL,
'INSERT INTO aydurumu (birimkodu, yil, ay, gss, adim, calisma, kaynak, zaman, kullanici, satir,
                      ilk, son, ucret, ucretocak)
VALUES (@key3, @key1, @key2, @key4, @key5, 1,
        (SELECT calisma FROM aydurumu
         WHERE birimkodu = @key3 AND yil = @key1 AND ay = @key2 AND gss = @key4
           AND adim = @key5 - 1),
        strftime(''%Y-%m-%d %H:%M:%S'', ''now'', ''localtime''), @key6, @key7, @key8, @key9,
        CASE WHEN @key5 = 2 THEN (SELECT ucret FROM aydurumu_ucret WHERE ay = @key2 LIMIT 1) END,
        CASE WHEN @key5 = 2 AND @key2 = 12
             THEN (SELECT ucret FROM aydurumu_ucret WHERE ay = 1 LIMIT 1) END)
ON CONFLICT (birimkodu, yil, ay, gss, adim) DO UPDATE
SET calisma = calisma + 1, kaynak = excluded.kaynak, zaman = excluded.zaman,
    kullanici = excluded.kullanici, satir = excluded.satir, ilk = excluded.ilk,
    son = excluded.son, ucret = excluded.ucret, ucretocak = excluded.ucretocak;
DELETE FROM aydurumu_degisiklik
WHERE birimkodu = @key3 AND yil = @key1 AND ay = @key2 AND gss = @key4 AND adim = @key5');

-- AyDurumu(Y, M, U, gss): the recorded steps of the month, with the number of students changed
-- since each ran and whether the wages it priced with are still those of the parameter row.
INSERT INTO zelvo_procedure (name, params, target, target_key, body)
VALUES ('AyDurumu', '@key1,@key2,@key3,@key4', NULL, NULL,
'SELECT d.adim, d.calisma, d.kaynak, d.zaman, d.kullanici, d.satir,
       (SELECT count(*) FROM aydurumu_degisiklik c
        WHERE c.birimkodu = d.birimkodu AND c.yil = d.yil AND c.ay = d.ay AND c.gss = d.gss
          AND c.adim = d.adim) AS degisen,
       CASE WHEN d.adim = 2
             AND (d.ucret IS NOT (SELECT ucret FROM aydurumu_ucret WHERE ay = d.ay LIMIT 1)
                  OR (d.ay = 12
                      AND d.ucretocak IS NOT (SELECT ucret FROM aydurumu_ucret
                                              WHERE ay = 1 LIMIT 1)))
            THEN 1 ELSE 0 END AS ucretdegisti
FROM aydurumu d
WHERE d.birimkodu = @key3 AND d.yil = @key1 AND d.ay = @key2 AND d.gss = @key4
ORDER BY d.adim');
