-- Zelvo server database (PostgreSQL): who may read the record of changes.
--
-- Only the installing role (the owner) writes degisiklik, and only through the triggers of
-- 06-audit.sql; nobody else inserts, changes or removes a row. Staff and administrators read
-- the rows of their own unit, except those of other users' user rows: of kullanici, a user
-- reads the record of their own row only. Runs after the roles and the unit function of
-- 90-security.sql when those are installed, and leaves the table closed to everyone but its
-- owner when they are not. May run again.

REVOKE ALL ON degisiklik FROM PUBLIC;
REVOKE ALL ON FUNCTION zelvo_degisiklik_satir() FROM PUBLIC;
REVOKE ALL ON FUNCTION zelvo_degisiklik_calisma() FROM PUBLIC;
REVOKE ALL ON FUNCTION zelvo_calisma_say(text, text, varchar, varchar, integer, integer, bigint)
    FROM PUBLIC;
-- a role other than the owner sees no row without a policy that lets it
ALTER TABLE degisiklik ENABLE ROW LEVEL SECURITY;

DO $$
DECLARE
    grupadi text;
BEGIN
    FOREACH grupadi IN ARRAY ARRAY['zelvo_personel', 'zelvo_yonetici'] LOOP
        IF EXISTS (SELECT 1 FROM pg_roles WHERE rolname = grupadi) THEN
            -- whatever a blanket grant on the schema's tables gave, reading is all that stays
            EXECUTE format('REVOKE ALL ON degisiklik FROM %I', grupadi);
            EXECUTE format('GRANT SELECT ON degisiklik TO %I', grupadi);
        END IF;
    END LOOP;
    DROP POLICY IF EXISTS degisiklik_birim ON degisiklik;
    IF EXISTS (SELECT 1 FROM pg_proc WHERE proname = 'zelvo_user_unit') THEN
        -- in EXECUTE: the statement must not be compiled where the function does not exist.
        -- A record of a user row is read only by that user (the key is their idkullanici).
        -- Both sub-selects run once per statement, not once per row; the unit is compared
        -- through coalesce for the reason 90-security.sql gives (no index condition of the
        -- policy's own: a student's history is found by degisiklik_satir).
        EXECUTE 'CREATE POLICY degisiklik_birim ON degisiklik FOR SELECT '
                'USING (coalesce(birimkodu, '''') = (SELECT zelvo_user_unit()) '
                'AND (tablo <> ''kullanici'' '
                'OR anahtar = (SELECT k.idkullanici::text FROM public.kullanici k '
                'WHERE k.kullanici = session_user)))';
    END IF;
END
$$;
