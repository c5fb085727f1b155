-- Zelvo server database (PostgreSQL): row versions.
--
-- The rows the windows store (students, the parameter row, workplace rows, user rows and
-- timesheet rows) carry surum, which the server raises by one at every update, whoever makes
-- it. A window writes a row back only while its version is the one it read
-- (UPDATE ... WHERE key = @key AND surum = @read), so the second of two workstations that
-- opened the same row is told instead of silently undoing the first one's change. The column
-- itself is made in 01-schema.sql, before the procedures that return it. May run again over an
-- installed database.

CREATE OR REPLACE FUNCTION zelvo_surum_artir() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
    NEW.surum := OLD.surum + 1;
    RETURN NEW;
END
$$;

DO $$
DECLARE
    tablo text;
BEGIN
    FOREACH tablo IN ARRAY ARRAY['ogrenci', 'parametre', 'isyeri', 'kullanici', 'puantaj'] LOOP
        EXECUTE format('DROP TRIGGER IF EXISTS surum_artir ON %I', tablo);
        EXECUTE format('CREATE TRIGGER surum_artir BEFORE UPDATE ON %I '
                       'FOR EACH ROW EXECUTE FUNCTION zelvo_surum_artir()', tablo);
    END LOOP;
END
$$;

-- The record of changes leaves the version out: it is the server's bookkeeping, not a value
-- anyone typed, and an update that changes nothing else still records nothing. Otherwise as in
-- 06-audit.sql (SECURITY DEFINER and a pinned search_path for the reasons given there).
CREATE OR REPLACE FUNCTION zelvo_degisiklik_satir() RETURNS trigger
LANGUAGE plpgsql SECURITY DEFINER SET search_path = pg_catalog, public AS $$
DECLARE
    eski jsonb;
    yeni jsonb;
BEGIN
    IF TG_OP <> 'INSERT' THEN
        eski := to_jsonb(OLD) - 'sifre' - 'surum';
    END IF;
    IF TG_OP <> 'DELETE' THEN
        yeni := to_jsonb(NEW) - 'sifre' - 'surum';
    END IF;
    IF TG_OP = 'UPDATE' AND to_jsonb(OLD) - 'surum' = to_jsonb(NEW) - 'surum' THEN
        RETURN NULL;
    END IF;
    INSERT INTO degisiklik (kim, tablo, anahtar, birimkodu, eski, yeni)
    VALUES (session_user, TG_TABLE_NAME, coalesce(yeni, eski) ->> TG_ARGV[0],
            coalesce(yeni, eski) ->> 'birimkodu', eski, yeni);
    RETURN NULL;
END
$$;

-- SonDegisiklik(table, key): who made the newest recorded change of one row and when (the
-- session's time zone, DD.MM.YYYY HH24:MI); no row when none is recorded or visible to the
-- caller. A store refused because the row changed since it was read names them.
CREATE OR REPLACE FUNCTION SonDegisiklik(key1 text, key2 text)
RETURNS TABLE (kim varchar, zaman text)
LANGUAGE sql STABLE AS $$
    SELECT d.kim, to_char(d.zaman, 'DD.MM.YYYY HH24:MI')
    FROM degisiklik d
    WHERE d.tablo = lower(key1) AND d.anahtar = key2
    ORDER BY d.iddegisiklik DESC
    LIMIT 1
$$;

INSERT INTO zelvo_procedure (name, params, target, target_key, returns_rows)
VALUES ('SonDegisiklik', '@key1,@key2', NULL, NULL, true)
ON CONFLICT (name) DO UPDATE
SET params = EXCLUDED.params, target = EXCLUDED.target, target_key = EXCLUDED.target_key,
    returns_rows = EXCLUDED.returns_rows;

-- the schema the program of this version reads and writes
UPDATE schema_version SET version = 3 WHERE version < 3;
