-- Zelvo server database (PostgreSQL): what each step of a unit's month was computed from.
--
-- Every recorded run of a monthly step (adim 1 the timesheet, 2 the accrual, 3 the declaration
-- rows) keeps one row in aydurumu for its unit, year, month and edition (gss): when it ran, who
-- ran it, how many rows it stored and what it read. calisma is raised by every run of the step;
-- kaynak is the calisma of the step before it as the run found it, so a step run again later
-- is seen by the steps after it. The triggers below note, in aydurumu_degisiklik, every
-- student whose change a recorded step has not yet seen, whoever makes the change (a window,
-- an import or an administrator's SQL); the step's next run forgets them.
--
-- Runs again over an installed schema without harm.

CREATE TABLE IF NOT EXISTS aydurumu (
    birimkodu varchar(2) NOT NULL,
    yil       varchar(4) NOT NULL,
    ay        integer NOT NULL,
    gss       integer NOT NULL,
    adim      integer NOT NULL CHECK (adim IN (1, 2, 3)),
    calisma   integer NOT NULL,
    kaynak    integer,
    zaman     varchar(19),
    kullanici varchar(50),
    satir     integer,
    ilk       varchar(10),
    son       varchar(10),
    ucret     varchar(24),
    ucretocak varchar(24),
    PRIMARY KEY (birimkodu, yil, ay, gss, adim)
);

CREATE TABLE IF NOT EXISTS aydurumu_degisiklik (
    birimkodu varchar(2) NOT NULL,
    yil       varchar(4) NOT NULL,
    ay        integer NOT NULL,
    gss       integer NOT NULL,
    adim      integer NOT NULL,
    idogrenci integer NOT NULL,
    PRIMARY KEY (birimkodu, yil, ay, gss, adim, idogrenci)
);

-- The month's minimum wage as a text, auMM of the parameter row.
CREATE OR REPLACE FUNCTION zelvo_ayucret(month integer) RETURNS text
LANGUAGE sql STABLE AS $$
    SELECT (CASE month WHEN 1 THEN au01 WHEN 2 THEN au02 WHEN 3 THEN au03 WHEN 4 THEN au04
                       WHEN 5 THEN au05 WHEN 6 THEN au06 WHEN 7 THEN au07 WHEN 8 THEN au08
                       WHEN 9 THEN au09 WHEN 10 THEN au10 WHEN 11 THEN au11 WHEN 12 THEN au12
            END)::text
    FROM parametre ORDER BY idparametre LIMIT 1
$$;

-- Owner-run: a change is noted for every month it touches, also months of a unit the user who
-- makes the change may not read (a student moved to another unit), so the note must not depend
-- on the caller's row policies. The search path is pinned for that reason.
CREATE OR REPLACE FUNCTION zelvo_aydurumu_ogrenci() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    -- the timesheet of a month has seen a student change when the student was or is one of
    -- those its period selects (PuantajGetir)
    IF TG_OP = 'INSERT' OR TG_OP = 'DELETE' OR
       (OLD.baslangictarihi, OLD.bitistarihi, OLD.statu, OLD.gss, OLD.birimkodu)
       IS DISTINCT FROM (NEW.baslangictarihi, NEW.bitistarihi, NEW.statu, NEW.gss, NEW.birimkodu)
    THEN
        INSERT INTO aydurumu_degisiklik (birimkodu, yil, ay, gss, adim, idogrenci)
        SELECT d.birimkodu, d.yil, d.ay, d.gss, 1,
               CASE WHEN TG_OP = 'DELETE' THEN OLD.idogrenci ELSE NEW.idogrenci END
        FROM aydurumu d
        WHERE d.adim = 1
          AND ((TG_OP <> 'INSERT' AND d.birimkodu = OLD.birimkodu AND d.gss = OLD.gss
                AND OLD.statu IS DISTINCT FROM '2'
                AND OLD.baslangictarihi <= d.son::date AND OLD.bitistarihi >= d.ilk::date)
            OR (TG_OP <> 'DELETE' AND d.birimkodu = NEW.birimkodu AND d.gss = NEW.gss
                AND NEW.statu IS DISTINCT FROM '2'
                AND NEW.baslangictarihi <= d.son::date AND NEW.bitistarihi >= d.ilk::date))
        ON CONFLICT DO NOTHING;
    END IF;
    -- the declaration rows copy the student's names, numbers and dates
    IF TG_OP = 'UPDATE' AND
       (OLD.ogrencino, OLD.adi, OLD.soyadi, OLD.ilksoyadi, OLD.ssksicilno, OLD.tckimlikno,
        OLD.baslangictarihi, OLD.bitistarihi)
       IS DISTINCT FROM
       (NEW.ogrencino, NEW.adi, NEW.soyadi, NEW.ilksoyadi, NEW.ssksicilno, NEW.tckimlikno,
        NEW.baslangictarihi, NEW.bitistarihi)
    THEN
        INSERT INTO aydurumu_degisiklik (birimkodu, yil, ay, gss, adim, idogrenci)
        SELECT d.birimkodu, d.yil, d.ay, d.gss, 3, NEW.idogrenci
        FROM xml x
        JOIN aydurumu d ON d.adim = 3 AND d.birimkodu = x.birimkodu AND d.yil = x.yil
                       AND d.ay = x.ay AND d.gss = OLD.gss
        WHERE x.idogrenci = NEW.idogrenci
        ON CONFLICT DO NOTHING;
    END IF;
    RETURN NULL;
END
$$;

DROP TRIGGER IF EXISTS ogrenci_aydurumu ON ogrenci;
CREATE TRIGGER ogrenci_aydurumu AFTER INSERT OR UPDATE OR DELETE ON ogrenci
FOR EACH ROW EXECUTE FUNCTION zelvo_aydurumu_ogrenci();

-- A day count corrected after the accrual priced it. Owner-run for the reason above.
CREATE OR REPLACE FUNCTION zelvo_aydurumu_puantaj() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
    IF (OLD.gun, OLD.gun1, OLD.gun2) IS DISTINCT FROM (NEW.gun, NEW.gun1, NEW.gun2) THEN
        INSERT INTO aydurumu_degisiklik (birimkodu, yil, ay, gss, adim, idogrenci)
        SELECT d.birimkodu, d.yil, d.ay, d.gss, 2, NEW.idogrenci
        FROM aydurumu d
        WHERE d.adim = 2 AND d.birimkodu = NEW.birimkodu AND d.yil = NEW.yil AND d.ay = NEW.ay
          AND d.gss = (SELECT o.gss FROM ogrenci o WHERE o.idogrenci = NEW.idogrenci)
        ON CONFLICT DO NOTHING;
    END IF;
    RETURN NULL;
END
$$;

DROP TRIGGER IF EXISTS puantaj_aydurumu ON puantaj;
CREATE TRIGGER puantaj_aydurumu AFTER UPDATE OF gun, gun1, gun2 ON puantaj
FOR EACH ROW EXECUTE FUNCTION zelvo_aydurumu_puantaj();

-- AyDurumuYaz(Y, M, U, gss, adim, user, rows, first day, last day): records a run of a step in
-- the run's own transaction. The accrual's wages are read here from the parameter row, as the
-- run read them. Returns 1.
CREATE OR REPLACE FUNCTION AyDurumuYaz(key1 text, key2 integer, key3 text, key4 integer,
                                       key5 integer, key6 text, key7 integer, key8 text,
                                       key9 text)
RETURNS integer
LANGUAGE plpgsql AS $$
BEGIN
    INSERT INTO aydurumu AS a (birimkodu, yil, ay, gss, adim, calisma, kaynak, zaman, kullanici,
                               satir, ilk, son, ucret, ucretocak)
    VALUES (key3, key1, key2, key4, key5, 1,
            (SELECT p.calisma FROM aydurumu p
             WHERE p.birimkodu = key3 AND p.yil = key1 AND p.ay = key2 AND p.gss = key4
               AND p.adim = key5 - 1),
            to_char(localtimestamp, 'YYYY-MM-DD HH24:MI:SS'), key6, key7, key8, key9,
            CASE WHEN key5 = 2 THEN zelvo_ayucret(key2) END,
            CASE WHEN key5 = 2 AND key2 = 12 THEN zelvo_ayucret(1) END)
    ON CONFLICT (birimkodu, yil, ay, gss, adim) DO UPDATE
    SET calisma = a.calisma + 1, kaynak = EXCLUDED.kaynak, zaman = EXCLUDED.zaman,
        kullanici = EXCLUDED.kullanici, satir = EXCLUDED.satir, ilk = EXCLUDED.ilk,
        son = EXCLUDED.son, ucret = EXCLUDED.ucret, ucretocak = EXCLUDED.ucretocak;
    DELETE FROM aydurumu_degisiklik c
    WHERE c.birimkodu = key3 AND c.yil = key1 AND c.ay = key2 AND c.gss = key4
      AND c.adim = key5;
    RETURN 1;
END
$$;

-- AyDurumu(Y, M, U, gss): the recorded steps of the month, with the number of students changed
-- since each ran and whether the wages it priced with are still those of the parameter row.
CREATE OR REPLACE FUNCTION AyDurumu(key1 text, key2 integer, key3 text, key4 integer)
RETURNS TABLE (adim integer, calisma integer, kaynak integer, zaman varchar, kullanici varchar,
               satir integer, degisen integer, ucretdegisti integer)
LANGUAGE sql STABLE AS $$
    SELECT d.adim, d.calisma, d.kaynak, d.zaman, d.kullanici, d.satir,
           (SELECT count(*) FROM aydurumu_degisiklik c
            WHERE c.birimkodu = d.birimkodu AND c.yil = d.yil AND c.ay = d.ay
              AND c.gss = d.gss AND c.adim = d.adim)::integer,
           CASE WHEN d.adim = 2
                 AND (d.ucret IS DISTINCT FROM zelvo_ayucret(d.ay)
                      OR (d.ay = 12 AND d.ucretocak IS DISTINCT FROM zelvo_ayucret(1)))
                THEN 1 ELSE 0 END
    FROM aydurumu d
    WHERE d.birimkodu = key3 AND d.yil = key1 AND d.ay = key2 AND d.gss = key4
    ORDER BY d.adim
$$;

INSERT INTO zelvo_procedure (name, params, target, target_key, returns_rows) VALUES
    ('AyDurumuYaz', '@key1,@key2,@key3,@key4,@key5,@key6,@key7,@key8,@key9', NULL, NULL, false),
    ('AyDurumu', '@key1,@key2,@key3,@key4', NULL, NULL, true)
ON CONFLICT (name) DO UPDATE
SET params = EXCLUDED.params, target = EXCLUDED.target, target_key = EXCLUDED.target_key,
    returns_rows = EXCLUDED.returns_rows;

UPDATE schema_version SET version = 2 WHERE version < 2;
