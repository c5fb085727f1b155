-- Zelvo server database (PostgreSQL): the stored procedures.
--
-- Every procedure of the embedded database's catalog is a function of the same name here,
-- with its parameters in the same order, and a row of zelvo_procedure that gives the formal
-- names, the write target and whether rows come back. A procedure whose result is read is a
-- set-returning function with the same columns in the same row order as on the embedded
-- database: SELECT * FROM name(...). A procedure that only acts returns the number of rows it
-- changed: SELECT name(...). Y is the year as a text of four digits, M the month number 1 to
-- 12, U the unit code. Years are compared as text, as yil is stored.
--
-- Editions: the standard procedures cover the students of the unit with gss = 0, the
-- procedures whose names end in xxx those with gss = 1. The timesheet, accrual and declaration
-- tables hold the rows of both editions.
--
-- Row order is the embedded database's: texts compare byte by byte (COLLATE "C", whatever
-- the database's own collation) and empty values come first.

-- ---------------------------------------------------------------- Turkish text rules

-- Lower case by Turkish rules: I gives dotless i, dotted capital I gives i.
CREATE OR REPLACE FUNCTION trfold(t text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT lower(t COLLATE "tr-x-icu")
$$;

-- The key of Turkish alphabetical order, compared byte by byte: each of c-cedilla, soft g,
-- dotless i, o-umlaut, s-cedilla and u-umlaut is replaced by the Latin letter it follows in
-- the alphabet and a brace, which sorts after z.
CREATE OR REPLACE FUNCTION trsortkey(t text) RETURNS text
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT replace(replace(replace(replace(replace(replace(trfold(t),
           'ç', 'c{'), 'ğ', 'g{'), 'ı', 'h{'), 'ö', 'o{'), 'ş', 's{'), 'ü', 'u{')
$$;

-- An amount brought to two decimals by the rounding rule of src/core/money.h (half away from
-- zero; PostgreSQL's round(numeric, 2) is that rule). A double carries binary noise
-- (33030.15 * 19 / 30 arrives as 20919.094999999998): its conversion to numeric keeps 15
-- significant digits, which gives back the exact decimal value (20919.095) before rounding.
CREATE OR REPLACE FUNCTION zelvo_amount(x double precision) RETURNS numeric
LANGUAGE sql IMMUTABLE PARALLEL SAFE AS $$
    SELECT round(x::numeric, 2)
$$;

-- ---------------------------------------------------------------- login and administration

-- BireyGetirLogin(user name): the user rows whose name matches exactly, letter case and blanks
-- included. The password takes no part in the search: sifre holds its salted hash, which the
-- client verifies against the typed password on the row found.
DROP FUNCTION IF EXISTS BireyGetirLogin(text);
CREATE OR REPLACE FUNCTION BireyGetirLogin(key1 text)
RETURNS TABLE (idkullanici integer, kullanici varchar, sifre varchar, adsoy varchar,
               birimkodu varchar, email varchar, yetkitipi integer, surum integer)
LANGUAGE sql STABLE AS $$
    SELECT k.idkullanici, k.kullanici, k.sifre, k.adsoy, k.birimkodu, k.email, k.yetkitipi,
           k.surum
    FROM kullanici k
    WHERE k.kullanici = key1
    ORDER BY k.idkullanici
$$;

-- BirimGetir(): every unit.
CREATE OR REPLACE FUNCTION BirimGetir()
RETURNS TABLE (birimkodu varchar, birimadi varchar)
LANGUAGE sql STABLE AS $$
    SELECT b.birimkodu, b.birimadi
    FROM birim b
    ORDER BY b.birimkodu COLLATE "C"
$$;

-- isyerigetir(U): the workplace row of the unit.
DROP FUNCTION IF EXISTS isyerigetir(text);
CREATE OR REPLACE FUNCTION isyerigetir(key1 text)
RETURNS TABLE (idisyeri integer, birimkodu varchar, birimadi varchar, isyerisicil varchar,
               kontrolno varchar, isyeriaracino varchar, isyeriunvani varchar,
               isyeriadres varchar, isyerivergino varchar, vergidairesi varchar, surum integer)
LANGUAGE sql STABLE AS $$
    SELECT i.idisyeri, i.birimkodu, i.birimadi, i.isyerisicil, i.kontrolno, i.isyeriaracino,
           i.isyeriunvani, i.isyeriadres, i.isyerivergino, i.vergidairesi, i.surum
    FROM isyeri i
    WHERE i.birimkodu = key1
    ORDER BY i.idisyeri
$$;

-- ParametreGetir(): the parameter rows, the one in force first.
DROP FUNCTION IF EXISTS ParametreGetir();
CREATE OR REPLACE FUNCTION ParametreGetir()
RETURNS TABLE (idparametre integer, aktifyil varchar, belgemahiyet varchar, belgeturu varchar,
               belgeturuyab varchar, isci numeric, isveren numeric, istencikisnedeni varchar,
               kanunno varchar, sigortakodu varchar, au01 numeric, au02 numeric, au03 numeric,
               au04 numeric, au05 numeric, au06 numeric, au07 numeric, au08 numeric,
               au09 numeric, au10 numeric, au11 numeric, au12 numeric, surum integer)
LANGUAGE sql STABLE AS $$
    SELECT p.idparametre, p.aktifyil, p.belgemahiyet, p.belgeturu, p.belgeturuyab, p.isci,
           p.isveren, p.istencikisnedeni, p.kanunno, p.sigortakodu, p.au01, p.au02, p.au03,
           p.au04, p.au05, p.au06, p.au07, p.au08, p.au09, p.au10, p.au11, p.au12, p.surum
    FROM parametre p
    ORDER BY p.idparametre
$$;

-- ---------------------------------------------------------------- student register

-- OgrenciGetirAdi(U, text), OgrenciGetirSoyAdi(U, text), OgrenciGetirOgrenciNo(U, text): the
-- students of the unit whose first name, surname or student number holds the text anywhere,
-- without regard to letter case by Turkish rules ('%' and '_' are plain characters). An empty
-- text lists all of them. The rows come in Turkish alphabetical order of surname and first name.
-- The three procedures call this function with the column they search.
CREATE OR REPLACE FUNCTION zelvo_ogrenciara(key1 text, key2 text, alan text)
RETURNS SETOF ogrenci
LANGUAGE sql STABLE AS $$
    SELECT o.*
    FROM ogrenci o
    WHERE o.birimkodu = key1
      AND (key2 IS NULL OR length(key2) = 0
           OR strpos(trfold(CASE alan WHEN 'adi' THEN o.adi
                                      WHEN 'soyadi' THEN o.soyadi
                                      ELSE o.ogrencino END), trfold(key2)) > 0)
    ORDER BY trsortkey(o.soyadi) COLLATE "C" NULLS FIRST,
             trsortkey(o.adi) COLLATE "C" NULLS FIRST,
             o.ogrencino COLLATE "C" NULLS FIRST, o.idogrenci
$$;

DROP FUNCTION IF EXISTS OgrenciGetirAdi(text, text);
CREATE OR REPLACE FUNCTION OgrenciGetirAdi(key1 text, key2 text)
RETURNS TABLE (idogrenci integer, otomasyonid integer, ogrencino varchar, adi varchar,
               soyadi varchar, ilksoyadi varchar, tckimlikno varchar, ssksicilno varchar,
               statu varchar, baslangictarihi date, bitistarihi date, gss integer,
               stajili varchar, stajyeri varchar, birimkodu varchar, birimadi varchar,
               okuladi varchar, aktarmatarihi date, degistiren varchar, surum integer)
LANGUAGE sql STABLE AS $$ SELECT * FROM zelvo_ogrenciara(key1, key2, 'adi') $$;

DROP FUNCTION IF EXISTS OgrenciGetirSoyAdi(text, text);
CREATE OR REPLACE FUNCTION OgrenciGetirSoyAdi(key1 text, key2 text)
RETURNS TABLE (idogrenci integer, otomasyonid integer, ogrencino varchar, adi varchar,
               soyadi varchar, ilksoyadi varchar, tckimlikno varchar, ssksicilno varchar,
               statu varchar, baslangictarihi date, bitistarihi date, gss integer,
               stajili varchar, stajyeri varchar, birimkodu varchar, birimadi varchar,
               okuladi varchar, aktarmatarihi date, degistiren varchar, surum integer)
LANGUAGE sql STABLE AS $$ SELECT * FROM zelvo_ogrenciara(key1, key2, 'soyadi') $$;

DROP FUNCTION IF EXISTS OgrenciGetirOgrenciNo(text, text);
CREATE OR REPLACE FUNCTION OgrenciGetirOgrenciNo(key1 text, key2 text)
RETURNS TABLE (idogrenci integer, otomasyonid integer, ogrencino varchar, adi varchar,
               soyadi varchar, ilksoyadi varchar, tckimlikno varchar, ssksicilno varchar,
               statu varchar, baslangictarihi date, bitistarihi date, gss integer,
               stajili varchar, stajyeri varchar, birimkodu varchar, birimadi varchar,
               okuladi varchar, aktarmatarihi date, degistiren varchar, surum integer)
LANGUAGE sql STABLE AS $$ SELECT * FROM zelvo_ogrenciara(key1, key2, 'ogrencino') $$;

-- ---------------------------------------------------------------- timesheet

-- PuantajSil(Y, M, U), PuantajSilxxx(Y, M, U): remove the timesheet rows of the month of the
-- unit for the students of one edition (edition 0: standard, 1: GSS).
-- The two procedures call this function with their edition.
CREATE OR REPLACE FUNCTION zelvo_puantajsil(key1 text, key2 integer, key3 text, edition integer)
RETURNS integer
LANGUAGE sql AS $$
    WITH silinen AS (
        DELETE FROM puantaj
        WHERE yil = key1 AND ay = key2 AND birimkodu = key3
          AND idogrenci IN (SELECT o.idogrenci FROM ogrenci o WHERE o.gss = edition)
        RETURNING 1)
    SELECT count(*)::integer FROM silinen
$$;

CREATE OR REPLACE FUNCTION PuantajSil(key1 text, key2 integer, key3 text) RETURNS integer
LANGUAGE sql AS $$ SELECT zelvo_puantajsil(key1, key2, key3, 0) $$;

CREATE OR REPLACE FUNCTION PuantajSilxxx(key1 text, key2 integer, key3 text) RETURNS integer
LANGUAGE sql AS $$ SELECT zelvo_puantajsil(key1, key2, key3, 1) $$;

-- PuantajGetir(first day, last day, U), PuantajGetirxxx: the students of one edition of the
-- unit whose internship overlaps the period, passive students (status 2) left out. The two
-- days come as day-first texts, DD-MM-YYYY (YYYY-MM-DD is read too).
-- The two procedures call this function with their edition.
CREATE OR REPLACE FUNCTION zelvo_puantajgetir(key1 text, key2 text, key3 text, edition integer)
RETURNS TABLE (idogrenci integer, baslangictarihi date, bitistarihi date, ogrencino varchar,
               adi varchar, soyadi varchar)
LANGUAGE sql STABLE AS $$
    SELECT o.idogrenci, o.baslangictarihi, o.bitistarihi, o.ogrencino, o.adi, o.soyadi
    FROM ogrenci o, (SELECT zelvo_day(key1) AS ilk, zelvo_day(key2) AS son) d
    WHERE o.birimkodu = key3 AND o.gss = edition
      AND o.statu IS DISTINCT FROM '2'
      AND o.baslangictarihi IS NOT NULL AND o.bitistarihi IS NOT NULL
      AND o.baslangictarihi <= d.son AND o.bitistarihi >= d.ilk
    ORDER BY o.ogrencino COLLATE "C" NULLS FIRST, o.idogrenci
$$;

CREATE OR REPLACE FUNCTION PuantajGetir(key1 text, key2 text, key3 text)
RETURNS TABLE (idogrenci integer, baslangictarihi date, bitistarihi date, ogrencino varchar,
               adi varchar, soyadi varchar)
LANGUAGE sql STABLE AS $$ SELECT * FROM zelvo_puantajgetir(key1, key2, key3, 0) $$;

CREATE OR REPLACE FUNCTION PuantajGetirxxx(key1 text, key2 text, key3 text)
RETURNS TABLE (idogrenci integer, baslangictarihi date, bitistarihi date, ogrencino varchar,
               adi varchar, soyadi varchar)
LANGUAGE sql STABLE AS $$ SELECT * FROM zelvo_puantajgetir(key1, key2, key3, 1) $$;

-- PuantajOzel(Y, M, idogrenci as text): the stored timesheet row of the student for the
-- month, to be updated or appended to. The student decides the edition, so both editions share
-- the body.
DROP FUNCTION IF EXISTS PuantajOzelxxx(text, integer, text);
DROP FUNCTION IF EXISTS PuantajOzel(text, integer, text);
CREATE OR REPLACE FUNCTION PuantajOzel(key1 text, key2 integer, key3 text)
RETURNS TABLE (idpuantaj integer, idogrenci integer, yil varchar, ay integer, gun integer,
               gun1 integer, gun2 integer, birimkodu varchar, surum integer)
LANGUAGE sql STABLE AS $$
    SELECT p.idpuantaj, p.idogrenci, p.yil, p.ay, p.gun, p.gun1, p.gun2, p.birimkodu, p.surum
    FROM puantaj p
    WHERE p.yil = key1 AND p.ay = key2 AND p.idogrenci = zelvo_int(key3)
    ORDER BY p.idpuantaj
$$;

-- PuantajGenel(Y, M, U), PuantajGenelxxx: the timesheet of the month of the unit for one
-- edition, with the student data the month view shows. Corrections are written back to
-- puantaj.
-- The two procedures call this function with their edition.
DROP FUNCTION IF EXISTS zelvo_puantajgenel(text, integer, text, integer);
CREATE OR REPLACE FUNCTION zelvo_puantajgenel(key1 text, key2 integer, key3 text, edition integer)
RETURNS TABLE (idpuantaj integer, idogrenci integer, yil varchar, ay integer, gun integer,
               gun1 integer, gun2 integer, birimkodu varchar, ogrencino varchar, adi varchar,
               soyadi varchar, baslangictarihi date, bitistarihi date, surum integer)
LANGUAGE sql STABLE AS $$
    SELECT p.idpuantaj, p.idogrenci, p.yil, p.ay, p.gun, p.gun1, p.gun2, p.birimkodu,
           o.ogrencino, o.adi, o.soyadi, o.baslangictarihi, o.bitistarihi, p.surum
    FROM puantaj p
    JOIN ogrenci o ON o.idogrenci = p.idogrenci
    WHERE p.yil = key1 AND p.ay = key2 AND p.birimkodu = key3 AND o.gss = edition
    ORDER BY o.ogrencino COLLATE "C" NULLS FIRST, o.adi COLLATE "C" NULLS FIRST,
             o.soyadi COLLATE "C" NULLS FIRST, p.idpuantaj
$$;

DROP FUNCTION IF EXISTS PuantajGenel(text, integer, text);
CREATE OR REPLACE FUNCTION PuantajGenel(key1 text, key2 integer, key3 text)
RETURNS TABLE (idpuantaj integer, idogrenci integer, yil varchar, ay integer, gun integer,
               gun1 integer, gun2 integer, birimkodu varchar, ogrencino varchar, adi varchar,
               soyadi varchar, baslangictarihi date, bitistarihi date, surum integer)
LANGUAGE sql STABLE AS $$ SELECT * FROM zelvo_puantajgenel(key1, key2, key3, 0) $$;

DROP FUNCTION IF EXISTS PuantajGenelxxx(text, integer, text);
CREATE OR REPLACE FUNCTION PuantajGenelxxx(key1 text, key2 integer, key3 text)
RETURNS TABLE (idpuantaj integer, idogrenci integer, yil varchar, ay integer, gun integer,
               gun1 integer, gun2 integer, birimkodu varchar, ogrencino varchar, adi varchar,
               soyadi varchar, baslangictarihi date, bitistarihi date, surum integer)
LANGUAGE sql STABLE AS $$ SELECT * FROM zelvo_puantajgenel(key1, key2, key3, 1) $$;

-- PuantajOzelxxx(Y, M, idogrenci as text): the student decides the edition; PuantajOzel.
CREATE OR REPLACE FUNCTION PuantajOzelxxx(key1 text, key2 integer, key3 text)
RETURNS TABLE (idpuantaj integer, idogrenci integer, yil varchar, ay integer, gun integer,
               gun1 integer, gun2 integer, birimkodu varchar, surum integer)
LANGUAGE sql STABLE AS $$ SELECT * FROM PuantajOzel(key1, key2, key3) $$;

-- GunHesapla(start, end, idogrenci, M, Y): the days from start to end, both included, 0 when the
-- end is before the start, empty when a date is missing or no date. The dates come as
-- YYYY-MM-DD or day first, DD-MM-YYYY. Serves both editions. The student, month and year are
-- not needed for the count.
CREATE OR REPLACE FUNCTION GunHesapla(key1 text, key2 text, key3 text, key4 integer, key5 text)
RETURNS TABLE (gun integer)
LANGUAGE sql STABLE AS $$
    SELECT CASE
               WHEN s.bas IS NULL OR s.bit IS NULL THEN NULL
               WHEN s.bit < s.bas THEN 0
               ELSE s.bit - s.bas + 1
           END
    FROM (SELECT zelvo_day(key1) AS bas, zelvo_day(key2) AS bit) s
$$;

-- gunhesapla_i(tar1, tar2, ay, yil): opened once by the timesheet windows, result not read.
-- Changes nothing. The dates come as YYYY-MM-DD. The month and the year come back as the
-- columns ay and yil, so the parameters that carry them stay unnamed.
CREATE OR REPLACE FUNCTION gunhesapla_i(tar1 text, tar2 text, integer, integer)
RETURNS TABLE (gun integer, ay integer, yil integer)
LANGUAGE sql STABLE AS $$
    SELECT CASE
               WHEN s.bit < s.bas THEN 0
               ELSE s.bit - s.bas + 1
           END,
           $3, $4
    FROM (SELECT zelvo_isodate(tar1) AS bas, zelvo_isodate(tar2) AS bit) s
$$;

-- GunHesaplaListe(spans, M, Y): GunHesapla for every student of a timesheet run in one call.
-- spans is a JSON array of [start, end, idogrenci] (texts or nulls, as GunHesapla takes them);
-- one row per element comes back, in the order given: its position sira (from 1) and gun.
CREATE OR REPLACE FUNCTION GunHesaplaListe(key1 text, key2 integer, key3 text)
RETURNS TABLE (sira integer, gun integer)
LANGUAGE sql STABLE AS $$
    SELECT e.sira::integer, g.gun
    FROM json_array_elements(key1::json) WITH ORDINALITY AS e(staj, sira)
    CROSS JOIN LATERAL GunHesapla(e.staj->>0, e.staj->>1, e.staj->>2, key2, key3) AS g
    ORDER BY e.sira
$$;

-- PuantajYaz(Y, M, U, days): stores the days of a timesheet run in one call. days is a JSON
-- array of [idogrenci, gun]. A student who has a row for the month (in whatever unit) gets its
-- gun replaced, gun1 and gun2 staying as they are; the others get a new row of unit U, added in
-- the order given. Serves both editions. Returns the number of rows stored.
CREATE OR REPLACE FUNCTION PuantajYaz(key1 text, key2 integer, key3 text, key4 text)
RETURNS integer
LANGUAGE sql AS $$
    WITH gelen AS (
        SELECT (e.satir->>0)::integer AS idogrenci, (e.satir->>1)::integer AS gun, e.sira
        FROM json_array_elements(key4::json) WITH ORDINALITY AS e(satir, sira)),
    degisen AS (
        UPDATE puantaj p SET gun = g.gun
        FROM gelen g
        WHERE p.yil = key1 AND p.ay = key2 AND p.idogrenci = g.idogrenci
        RETURNING 1),
    eklenen AS (
        INSERT INTO puantaj (idogrenci, yil, ay, gun, birimkodu)
        SELECT g.idogrenci, left(key1, 4), key2, g.gun, left(key3, 2)
        FROM gelen g
        WHERE NOT EXISTS (SELECT 1 FROM puantaj q
                          WHERE q.yil = key1 AND q.ay = key2 AND q.idogrenci = g.idogrenci)
        ORDER BY g.sira
        RETURNING 1)
    SELECT ((SELECT count(*) FROM degisen) + (SELECT count(*) FROM eklenen))::integer
$$;

-- ---------------------------------------------------------------- accrual

-- TahakkukSil(Y, M, U), TahakkukSilxxx: remove the accrual rows of the month of the unit for
-- the students of one edition.
-- The two procedures call this function with their edition.
CREATE OR REPLACE FUNCTION zelvo_tahakkuksil(key1 text, key2 integer, key3 text, edition integer)
RETURNS integer
LANGUAGE sql AS $$
    WITH silinen AS (
        DELETE FROM tahakkuk
        WHERE yil = key1 AND ay = key2 AND birimkodu = key3
          AND idogrenci IN (SELECT o.idogrenci FROM ogrenci o WHERE o.gss = edition)
        RETURNING 1)
    SELECT count(*)::integer FROM silinen
$$;

CREATE OR REPLACE FUNCTION TahakkukSil(key1 text, key2 integer, key3 text) RETURNS integer
LANGUAGE sql AS $$ SELECT zelvo_tahakkuksil(key1, key2, key3, 0) $$;

CREATE OR REPLACE FUNCTION TahakkukSilxxx(key1 text, key2 integer, key3 text) RETURNS integer
LANGUAGE sql AS $$ SELECT zelvo_tahakkuksil(key1, key2, key3, 1) $$;

-- Tahakkukekle(idogrenci, Y, M, gun, U, kazanc, matrah): stores one accrual row. The amounts
-- are brought to two decimals, the shares are the premium base times the percentages of the
-- parameter row in force, rounded the same way. The student decides the edition, so both
-- editions share the body.
CREATE OR REPLACE FUNCTION Tahakkukekle(idogrenci text, yil text, ay integer, gun integer,
                                        birimkodu text, kazanc double precision,
                                        matrah double precision) RETURNS integer
LANGUAGE plpgsql AS $$
DECLARE
    taban numeric := zelvo_amount($7);
BEGIN
    -- called once per student of a run: PL/pgSQL keeps the plan of the insert for the session
    INSERT INTO tahakkuk (idogrenci, yil, ay, gun, birimkodu, kazanc, matrah, isveren, isci)
    SELECT zelvo_int($1), $2, $3, $4, $5, zelvo_amount($6), taban,
           round(taban * p.isveren / 100, 2), round(taban * p.isci / 100, 2)
    FROM (SELECT 1) AS satir
    LEFT JOIN (SELECT o.isveren, o.isci FROM parametre o ORDER BY o.idparametre LIMIT 1) p
        ON true;
    RETURN 1;
END
$$;

-- TahakkukGenel(Y, M, U), TahakkukGenelxxx: the accrual rows of the month of the unit for one
-- edition.
-- The two procedures call this function with their edition.
CREATE OR REPLACE FUNCTION zelvo_tahakkukgenel(key1 text, key2 integer, key3 text, edition integer)
RETURNS TABLE (yil varchar, ay integer, ogrencino varchar, adi varchar, soyadi varchar,
               gun integer, kazanc numeric, matrah numeric, isveren numeric, isci numeric,
               idogrenci integer)
LANGUAGE sql STABLE AS $$
    SELECT t.yil, t.ay, o.ogrencino, o.adi, o.soyadi, t.gun, t.kazanc, t.matrah, t.isveren,
           t.isci, t.idogrenci
    FROM tahakkuk t
    JOIN ogrenci o ON o.idogrenci = t.idogrenci
    WHERE t.yil = key1 AND t.ay = key2 AND t.birimkodu = key3 AND o.gss = edition
    ORDER BY o.ogrencino COLLATE "C" NULLS FIRST, o.adi COLLATE "C" NULLS FIRST,
             o.soyadi COLLATE "C" NULLS FIRST, t.idtahakkuk
$$;

CREATE OR REPLACE FUNCTION TahakkukGenel(key1 text, key2 integer, key3 text)
RETURNS TABLE (yil varchar, ay integer, ogrencino varchar, adi varchar, soyadi varchar,
               gun integer, kazanc numeric, matrah numeric, isveren numeric, isci numeric,
               idogrenci integer)
LANGUAGE sql STABLE AS $$ SELECT * FROM zelvo_tahakkukgenel(key1, key2, key3, 0) $$;

CREATE OR REPLACE FUNCTION TahakkukGenelxxx(key1 text, key2 integer, key3 text)
RETURNS TABLE (yil varchar, ay integer, ogrencino varchar, adi varchar, soyadi varchar,
               gun integer, kazanc numeric, matrah numeric, isveren numeric, isci numeric,
               idogrenci integer)
LANGUAGE sql STABLE AS $$ SELECT * FROM zelvo_tahakkukgenel(key1, key2, key3, 1) $$;

-- Tahakkukeklexxx(idogrenci, Y, M, gun, U, kazanc, matrah): the student decides the edition;
-- Tahakkukekle.
CREATE OR REPLACE FUNCTION Tahakkukeklexxx(idogrenci text, yil text, ay integer, gun integer,
                                           birimkodu text, kazanc double precision,
                                           matrah double precision) RETURNS integer
LANGUAGE sql AS $$ SELECT Tahakkukekle($1, $2, $3, $4, $5, $6, $7) $$;

-- TahakkukekleListe(Y, M, U, rows): Tahakkukekle for every timesheet row of an accrual run in
-- one call. rows is a JSON array of [idogrenci as text, gun, kazanc, matrah], the amounts as
-- exact decimal texts ("20919.10"), read as numeric and never through a double; the rows are
-- added in the order given, the shares derived as Tahakkukekle does, by the rounding rule of
-- src/core/money.h. Serves both editions. Returns the number of rows added.
CREATE OR REPLACE FUNCTION TahakkukekleListe(key1 text, key2 integer, key3 text, key4 text)
RETURNS integer
LANGUAGE sql AS $$
    WITH eklenen AS (
        INSERT INTO tahakkuk (idogrenci, yil, ay, gun, birimkodu, kazanc, matrah, isveren, isci)
        SELECT zelvo_int(e.satir->>0), key1, key2, (e.satir->>1)::integer, key3,
               round((e.satir->>2)::numeric, 2), t.taban,
               round(t.taban * p.isveren / 100, 2), round(t.taban * p.isci / 100, 2)
        FROM json_array_elements(key4::json) WITH ORDINALITY AS e(satir, sira)
        CROSS JOIN LATERAL (SELECT round((e.satir->>3)::numeric, 2) AS taban) t
        LEFT JOIN (SELECT o.isveren, o.isci FROM parametre o ORDER BY o.idparametre LIMIT 1) p
            ON true
        ORDER BY e.sira
        RETURNING 1)
    SELECT count(*)::integer FROM eklenen
$$;

-- ---------------------------------------------------------------- monthly lists

-- Liste1(Y, M, U), Liste1xxx: the list rows of the month of the unit for one edition, in the
-- order they are printed.
-- The two procedures call this function with their edition.
CREATE OR REPLACE FUNCTION zelvo_liste1(key1 text, key2 integer, key3 text, edition integer)
RETURNS TABLE (yil varchar, ay integer, ogrencino varchar, adi varchar, soyadi varchar,
               ssksicilno varchar, tckimlikno varchar, baslangictarihi date, bitistarihi date,
               gun integer, kazanc numeric, matrah numeric, isveren numeric, isci numeric,
               idogrenci integer)
LANGUAGE sql STABLE AS $$
    SELECT t.yil, t.ay, o.ogrencino, o.adi, o.soyadi, o.ssksicilno, o.tckimlikno,
           o.baslangictarihi, o.bitistarihi, t.gun, t.kazanc, t.matrah, t.isveren, t.isci,
           t.idogrenci
    FROM tahakkuk t
    JOIN ogrenci o ON o.idogrenci = t.idogrenci
    WHERE t.yil = key1 AND t.ay = key2 AND t.birimkodu = key3 AND o.gss = edition
    ORDER BY o.ogrencino COLLATE "C" NULLS FIRST, o.adi COLLATE "C" NULLS FIRST,
             o.soyadi COLLATE "C" NULLS FIRST, t.idtahakkuk
$$;

CREATE OR REPLACE FUNCTION Liste1(key1 text, key2 integer, key3 text)
RETURNS TABLE (yil varchar, ay integer, ogrencino varchar, adi varchar, soyadi varchar,
               ssksicilno varchar, tckimlikno varchar, baslangictarihi date, bitistarihi date,
               gun integer, kazanc numeric, matrah numeric, isveren numeric, isci numeric,
               idogrenci integer)
LANGUAGE sql STABLE AS $$ SELECT * FROM zelvo_liste1(key1, key2, key3, 0) $$;

CREATE OR REPLACE FUNCTION Liste1xxx(key1 text, key2 integer, key3 text)
RETURNS TABLE (yil varchar, ay integer, ogrencino varchar, adi varchar, soyadi varchar,
               ssksicilno varchar, tckimlikno varchar, baslangictarihi date, bitistarihi date,
               gun integer, kazanc numeric, matrah numeric, isveren numeric, isci numeric,
               idogrenci integer)
LANGUAGE sql STABLE AS $$ SELECT * FROM zelvo_liste1(key1, key2, key3, 1) $$;

-- ---------------------------------------------------------------- declaration

-- XmlGetir(Y, M, U), XmlGetirxxx: the declaration rows of the month of the unit for one
-- edition. The declaration window appends the new rows to this result.
-- The two procedures call this function with their edition.
CREATE OR REPLACE FUNCTION zelvo_xmlgetir(key1 text, key2 integer, key3 text, edition integer)
RETURNS TABLE (idxml integer, idogrenci integer, yil varchar, ay integer, birimkodu varchar,
               ogrencino varchar, adi varchar, soyadi varchar, ilksoyadi varchar,
               ssksicilno varchar, tckimlikno varchar, baslangictarihi date, bitistarihi date,
               gun integer, pek varchar, isveren numeric, isci numeric, girisgun varchar,
               cikisgun varchar, istencikisnedeni varchar, sil1 varchar)
LANGUAGE sql STABLE AS $$
    SELECT x.idxml, x.idogrenci, x.yil, x.ay, x.birimkodu, x.ogrencino, x.adi, x.soyadi,
           x.ilksoyadi, x.ssksicilno, x.tckimlikno, x.baslangictarihi, x.bitistarihi, x.gun,
           x.pek, x.isveren, x.isci, x.girisgun, x.cikisgun, x.istencikisnedeni, x.sil1
    FROM xml x
    WHERE x.yil = key1 AND x.ay = key2 AND x.birimkodu = key3
      AND x.idogrenci IN (SELECT o.idogrenci FROM ogrenci o WHERE o.gss = edition)
    ORDER BY x.idxml
$$;

CREATE OR REPLACE FUNCTION XmlGetir(key1 text, key2 integer, key3 text)
RETURNS TABLE (idxml integer, idogrenci integer, yil varchar, ay integer, birimkodu varchar,
               ogrencino varchar, adi varchar, soyadi varchar, ilksoyadi varchar,
               ssksicilno varchar, tckimlikno varchar, baslangictarihi date, bitistarihi date,
               gun integer, pek varchar, isveren numeric, isci numeric, girisgun varchar,
               cikisgun varchar, istencikisnedeni varchar, sil1 varchar)
LANGUAGE sql STABLE AS $$ SELECT * FROM zelvo_xmlgetir(key1, key2, key3, 0) $$;

CREATE OR REPLACE FUNCTION XmlGetirxxx(key1 text, key2 integer, key3 text)
RETURNS TABLE (idxml integer, idogrenci integer, yil varchar, ay integer, birimkodu varchar,
               ogrencino varchar, adi varchar, soyadi varchar, ilksoyadi varchar,
               ssksicilno varchar, tckimlikno varchar, baslangictarihi date, bitistarihi date,
               gun integer, pek varchar, isveren numeric, isci numeric, girisgun varchar,
               cikisgun varchar, istencikisnedeni varchar, sil1 varchar)
LANGUAGE sql STABLE AS $$ SELECT * FROM zelvo_xmlgetir(key1, key2, key3, 1) $$;

-- XmlListe2(Y, M, U), XmlListe2xxx: the declaration rows of the month of the unit for one
-- edition, in the order the files number them, with the internship province and institution
-- of the student and gun_1, the day count of the timesheet row of the same student and month.
-- The two procedures call this function with their edition.
CREATE OR REPLACE FUNCTION zelvo_xmlliste2(key1 text, key2 integer, key3 text, edition integer)
RETURNS TABLE (idxml integer, idogrenci integer, yil varchar, ay integer, birimkodu varchar,
               ogrencino varchar, adi varchar, soyadi varchar, ilksoyadi varchar,
               ssksicilno varchar, tckimlikno varchar, baslangictarihi date, bitistarihi date,
               gun integer, pek varchar, isveren numeric, isci numeric, girisgun varchar,
               cikisgun varchar, istencikisnedeni varchar, sil1 varchar,
               stajili varchar, stajyeri varchar, gun_1 integer)
LANGUAGE sql STABLE AS $$
    SELECT x.idxml, x.idogrenci, x.yil, x.ay, x.birimkodu, x.ogrencino, x.adi, x.soyadi,
           x.ilksoyadi, x.ssksicilno, x.tckimlikno, x.baslangictarihi, x.bitistarihi, x.gun,
           x.pek, x.isveren, x.isci, x.girisgun, x.cikisgun, x.istencikisnedeni, x.sil1,
           o.stajili, o.stajyeri, p.gun
    FROM xml x
    JOIN ogrenci o ON o.idogrenci = x.idogrenci
    LEFT JOIN puantaj p ON p.idogrenci = x.idogrenci AND p.yil = x.yil AND p.ay = x.ay
    WHERE x.yil = key1 AND x.ay = key2 AND x.birimkodu = key3 AND o.gss = edition
    ORDER BY x.ogrencino COLLATE "C" NULLS FIRST, x.adi COLLATE "C" NULLS FIRST,
             x.soyadi COLLATE "C" NULLS FIRST, x.idxml
$$;

CREATE OR REPLACE FUNCTION XmlListe2(key1 text, key2 integer, key3 text)
RETURNS TABLE (idxml integer, idogrenci integer, yil varchar, ay integer, birimkodu varchar,
               ogrencino varchar, adi varchar, soyadi varchar, ilksoyadi varchar,
               ssksicilno varchar, tckimlikno varchar, baslangictarihi date, bitistarihi date,
               gun integer, pek varchar, isveren numeric, isci numeric, girisgun varchar,
               cikisgun varchar, istencikisnedeni varchar, sil1 varchar,
               stajili varchar, stajyeri varchar, gun_1 integer)
LANGUAGE sql STABLE AS $$ SELECT * FROM zelvo_xmlliste2(key1, key2, key3, 0) $$;

CREATE OR REPLACE FUNCTION XmlListe2xxx(key1 text, key2 integer, key3 text)
RETURNS TABLE (idxml integer, idogrenci integer, yil varchar, ay integer, birimkodu varchar,
               ogrencino varchar, adi varchar, soyadi varchar, ilksoyadi varchar,
               ssksicilno varchar, tckimlikno varchar, baslangictarihi date, bitistarihi date,
               gun integer, pek varchar, isveren numeric, isci numeric, girisgun varchar,
               cikisgun varchar, istencikisnedeni varchar, sil1 varchar,
               stajili varchar, stajyeri varchar, gun_1 integer)
LANGUAGE sql STABLE AS $$ SELECT * FROM zelvo_xmlliste2(key1, key2, key3, 1) $$;

-- XmlSilxxx(Y, M, U): removes the declaration rows of the month of the unit for the GSS edition.
CREATE OR REPLACE FUNCTION XmlSilxxx(key1 text, key2 integer, key3 text) RETURNS integer
LANGUAGE sql AS $$
    WITH silinen AS (
        DELETE FROM xml
        WHERE yil = key1 AND ay = key2 AND birimkodu = key3
          AND idogrenci IN (SELECT o.idogrenci FROM ogrenci o WHERE o.gss = 1)
        RETURNING 1)
    SELECT count(*)::integer FROM silinen
$$;

-- XmlListe1xxx(Y, M, U): the accrual rows of the month of the unit for the GSS edition joined
-- with their students: the source of the GSS declaration rows.
CREATE OR REPLACE FUNCTION XmlListe1xxx(key1 text, key2 integer, key3 text)
RETURNS TABLE (idogrenci integer, ogrencino varchar, adi varchar, soyadi varchar,
               ssksicilno varchar, tckimlikno varchar, baslangictarihi date, bitistarihi date,
               yil varchar, ay integer, gun integer, kazanc numeric, matrah numeric,
               isveren numeric, isci numeric, birimkodu varchar, stajili varchar,
               stajyeri varchar, ilksoyadi varchar)
LANGUAGE sql STABLE AS $$
    SELECT o.idogrenci, o.ogrencino, o.adi, o.soyadi, o.ssksicilno, o.tckimlikno,
           o.baslangictarihi, o.bitistarihi, p.yil, p.ay, p.gun, p.kazanc, p.matrah,
           p.isveren, p.isci, o.birimkodu, o.stajili, o.stajyeri, o.ilksoyadi
    FROM tahakkuk p
    JOIN ogrenci o ON o.idogrenci = p.idogrenci
    WHERE p.yil = key1 AND p.ay = key2 AND p.birimkodu = key3 AND o.gss = 1
    ORDER BY o.ogrencino COLLATE "C" NULLS FIRST, o.adi COLLATE "C" NULLS FIRST,
             o.soyadi COLLATE "C" NULLS FIRST, p.idtahakkuk
$$;

-- ---------------------------------------------------------------- the catalog

-- Formal names as the embedded catalog spells them, write targets by their stored names.
INSERT INTO zelvo_procedure (name, params, target, target_key, returns_rows) VALUES
    ('BireyGetirLogin', '@Key1', 'kullanici', 'idkullanici', true),
    ('BirimGetir', '', NULL, NULL, true),
    ('isyerigetir', '@key1', 'isyeri', 'idisyeri', true),
    ('ParametreGetir', '', 'parametre', 'idparametre', true),
    ('OgrenciGetirAdi', '@key1,@key2', 'ogrenci', 'idogrenci', true),
    ('OgrenciGetirSoyAdi', '@key1,@key2', 'ogrenci', 'idogrenci', true),
    ('OgrenciGetirOgrenciNo', '@key1,@key2', 'ogrenci', 'idogrenci', true),
    ('PuantajSil', '@key1,@key2,@key3', NULL, NULL, false),
    ('PuantajGetir', '@key1,@key2,@key3', NULL, NULL, true),
    ('PuantajOzel', '@key1,@key2,@key3', 'puantaj', 'idpuantaj', true),
    ('PuantajGenel', '@key1,@key2,@key3', 'puantaj', 'idpuantaj', true),
    ('PuantajSilxxx', '@key1,@key2,@key3', NULL, NULL, false),
    ('PuantajGetirxxx', '@key1,@key2,@key3', NULL, NULL, true),
    ('PuantajOzelxxx', '@key1,@key2,@key3', 'puantaj', 'idpuantaj', true),
    ('PuantajGenelxxx', '@key1,@key2,@key3', 'puantaj', 'idpuantaj', true),
    ('GunHesapla', '@key1,@key2,@key3,@key4,@key5', NULL, NULL, true),
    ('gunhesapla_i', '@tar1,@tar2,@ay,@yil', NULL, NULL, true),
    ('GunHesaplaListe', '@key1,@key2,@key3', NULL, NULL, true),
    ('PuantajYaz', '@key1,@key2,@key3,@key4', NULL, NULL, false),
    ('TahakkukSil', '@key1,@key2,@key3', NULL, NULL, false),
    ('Tahakkukekle', '@idogrenci,@yil,@ay,@gun,@birimkodu,@kazanc,@matrah', NULL, NULL, false),
    ('TahakkukekleListe', '@key1,@key2,@key3,@key4', NULL, NULL, false),
    ('TahakkukGenel', '@key1,@key2,@key3', NULL, NULL, true),
    ('Liste1', '@key1,@key2,@key3', NULL, NULL, true),
    ('XmlGetir', '@key1,@key2,@key3', 'xml', 'idxml', true),
    ('XmlListe2', '@key1,@key2,@key3', NULL, NULL, true),
    ('TahakkukSilxxx', '@key1,@key2,@key3', NULL, NULL, false),
    ('Tahakkukeklexxx', '@idogrenci,@yil,@ay,@gun,@birimkodu,@kazanc,@matrah', NULL, NULL, false),
    ('TahakkukGenelxxx', '@key1,@key2,@key3', NULL, NULL, true),
    ('Liste1xxx', '@key1,@key2,@key3', NULL, NULL, true),
    ('XmlGetirxxx', '@key1,@key2,@key3', 'xml', 'idxml', true),
    ('XmlListe2xxx', '@key1,@key2,@key3', NULL, NULL, true),
    ('XmlSilxxx', '@key1,@key2,@key3', NULL, NULL, false),
    ('XmlListe1xxx', '@key1,@key2,@key3', NULL, NULL, true)
ON CONFLICT (name) DO UPDATE
SET params = EXCLUDED.params, target = EXCLUDED.target, target_key = EXCLUDED.target_key,
    returns_rows = EXCLUDED.returns_rows;
