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
