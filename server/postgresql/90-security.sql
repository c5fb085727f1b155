-- Zelvo server database (PostgreSQL): who may do what.
--
-- Every user signs in to the server with a login role of their own name (the kullanici column
-- of their user row), and the server itself checks the password: kullanici.sifre holds nothing
-- on a server. A user's role is a member of one of two groups:
--   zelvo_personel  staff: the windows of their own unit;
--   zelvo_yonetici  administrators (yetkitipi 1): what staff may, and the parameter row, and
--                   moving themselves to another unit. A member of zelvo_personel.
-- The groups get exactly the privileges the windows and the procedures need; the rows of a
-- table that carries a unit code are those of the user's own unit (row-level security), and of
-- kullanici a user reaches only their own row. The procedures run as the caller, so the same
-- rules hold inside them.
--
-- The installing role owns the database and the tables and is not subject to the row policies
-- (they are enabled, not forced): it installs, upgrades and administers, and it makes the users
-- with the functions at the end of this file, which need CREATEROLE. Roles are the cluster's,
-- not the database's: a user of two Zelvo databases on one server is one role.
--
-- Runs after 01 to 07 and before 91-audit-security.sql, which closes the record of changes. May
-- run again over an installed database, and brings one installed by an earlier version (no
-- roles, passwords in sifre) forward in the same transaction.

-- ---------------------------------------------------------------- the groups

DO $$
BEGIN
    IF (NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'zelvo_personel')
        OR NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'zelvo_yonetici'))
       AND NOT (SELECT r.rolcreaterole OR r.rolsuper FROM pg_roles r
                WHERE r.rolname = current_user) THEN
        RAISE EXCEPTION 'Kurulumu yapan rolün (%) CREATEROLE yetkisi olmalıdır', current_user;
    END IF;
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'zelvo_personel') THEN
        CREATE ROLE zelvo_personel NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = 'zelvo_yonetici') THEN
        CREATE ROLE zelvo_yonetici NOLOGIN;
    END IF;
    IF NOT EXISTS (SELECT 1 FROM pg_auth_members m
                   WHERE m.roleid = 'zelvo_personel'::regrole
                     AND m.member = 'zelvo_yonetici'::regrole) THEN
        GRANT zelvo_personel TO zelvo_yonetici;
    END IF;
END
$$;

-- ---------------------------------------------------------------- the database and the schema

-- Nobody but the owner makes objects; only the groups connect, and make no temporary tables
-- either: a user's temporary table would stand in for the schema's table of the same name
-- wherever a name is unqualified, also in the owner-run triggers of 06-audit.sql, whose search
-- path leaves pg_temp unnamed (and so searched first).
REVOKE CREATE ON SCHEMA public FROM PUBLIC;
DO $$
BEGIN
    EXECUTE format('REVOKE ALL ON DATABASE %I FROM PUBLIC', current_database());
    EXECUTE format('GRANT CONNECT ON DATABASE %I TO zelvo_personel, zelvo_yonetici',
                   current_database());
END
$$;
GRANT USAGE ON SCHEMA public TO zelvo_personel, zelvo_yonetici;

-- ---------------------------------------------------------------- the tables

-- Whatever an earlier installation or a hand-made grant gave goes first, so that what follows
-- is all there is. degisiklik is 91-audit-security.sql's.
REVOKE ALL ON schema_version, zelvo_procedure, kullanici, birim, statu, parametre, isyeri,
              ogrenci, puantaj, tahakkuk, xml, aydurumu, aydurumu_degisiklik
    FROM PUBLIC, zelvo_personel, zelvo_yonetici;

-- Read by the start-up (schema_version, zelvo_procedure), the login (kullanici), the unit and
-- status lists, the parameter row and every window and procedure of the month.
GRANT SELECT ON schema_version, zelvo_procedure, kullanici, birim, statu, parametre, isyeri,
                ogrenci, puantaj, tahakkuk, xml, aydurumu, aydurumu_degisiklik
    TO zelvo_personel;
-- the register and the student import add, change and remove students
GRANT INSERT, UPDATE, DELETE ON ogrenci TO zelvo_personel;
-- PuantajYaz adds and replaces, the month view corrects, PuantajSil removes timesheet rows
GRANT INSERT, UPDATE, DELETE ON puantaj TO zelvo_personel;
-- Tahakkukekle(Liste) adds and TahakkukSil removes accrual rows; nothing changes one
GRANT INSERT, DELETE ON tahakkuk TO zelvo_personel;
-- the declaration's first step removes the month's rows and adds them again
GRANT INSERT, DELETE ON xml TO zelvo_personel;
-- the workplace window keeps the unit's row
GRANT INSERT, UPDATE ON isyeri TO zelvo_personel;
-- AyDurumuYaz records a run (INSERT ... ON CONFLICT DO UPDATE) and forgets the changes the
-- run has now seen; the changes themselves are noted by the owner-run triggers of
-- 05-monthstate.sql
GRANT INSERT, UPDATE ON aydurumu TO zelvo_personel;
GRANT DELETE ON aydurumu_degisiklik TO zelvo_personel;
-- a user keeps their name, e-mail address and unit (the unit only an administrator, see
-- zelvo_kullanici_kural); the user name, the authority, the key and sifre stay as the
-- installing role made them
GRANT UPDATE (adsoy, email, birimkodu) ON kullanici TO zelvo_personel;
-- the parameter row is the administrators'
GRANT INSERT, UPDATE ON parametre TO zelvo_yonetici;
-- No grant on the identity sequences: the server takes the next value of an identity column
-- without asking for a privilege on its sequence.

-- ---------------------------------------------------------------- the signed-in user's unit

-- The unit of the user row of the role the session signed in with (session_user: a SET ROLE
-- changes nothing). NULL for a role without a user row, which then sees no unit's rows. Runs as
-- the caller: the kullanici policy lets a user read their own row. The table is named with its
-- schema, so that nothing earlier in a caller's search path stands in for it.
CREATE OR REPLACE FUNCTION zelvo_user_unit() RETURNS varchar
LANGUAGE sql STABLE AS $$
    SELECT k.birimkodu FROM public.kullanici k WHERE k.kullanici = session_user
$$;

-- ---------------------------------------------------------------- row-level security

-- The rows of the user's own unit, to read and to write. The function is called in a
-- sub-select, which the server evaluates once per statement instead of once per row. The unit
-- is compared through coalesce (a row without a unit is nobody's either way) so that the
-- planner never makes the policy's condition an index condition of its own: the procedures name
-- the unit and the keys they join by, and before a table's statistics are in, the policy's
-- condition on ogrenci_birim turned List-1's join of 10,000 students into 50 million row
-- comparisons (5.5 s instead of 20 ms).
DO $$
DECLARE
    tablo text;
BEGIN
    FOREACH tablo IN ARRAY ARRAY['ogrenci', 'puantaj', 'tahakkuk', 'xml', 'isyeri', 'aydurumu',
                                 'aydurumu_degisiklik'] LOOP
        EXECUTE format('ALTER TABLE %I ENABLE ROW LEVEL SECURITY', tablo);
        EXECUTE format('DROP POLICY IF EXISTS birim_kendi ON %I', tablo);
        -- a month's row is written only for a student the user may see: one of their unit
        -- (a key check would otherwise run as the owner and tell whether another unit's
        -- student exists)
        EXECUTE format('CREATE POLICY birim_kendi ON %1$I '
                       'USING (coalesce(birimkodu, '''') = (SELECT zelvo_user_unit())) '
                       'WITH CHECK (coalesce(birimkodu, '''') = (SELECT zelvo_user_unit())%2$s)',
                       tablo,
                       CASE WHEN tablo IN ('puantaj', 'tahakkuk', 'xml')
                            THEN format(' AND EXISTS (SELECT 1 FROM public.ogrenci o '
                                        'WHERE o.idogrenci = %I.idogrenci)', tablo)
                            ELSE '' END);
    END LOOP;
END
$$;

-- A user reaches their own user row only.
ALTER TABLE kullanici ENABLE ROW LEVEL SECURITY;
DROP POLICY IF EXISTS kullanici_kendi ON kullanici;
CREATE POLICY kullanici_kendi ON kullanici
    USING (kullanici = session_user) WITH CHECK (kullanici = session_user);

-- birim, statu and parametre belong to no unit: every user reads all of them, so they carry no
-- row security.

-- What a user may change in their own row, whatever the column privileges allow: the user name,
-- the key and the authority never, the unit only an administrator, and only to a unit that
-- exists. The installing role (the table's owner, or a member of it, and superusers) is not
-- held to it. Runs as the caller: it reads only the catalog and birim.
CREATE OR REPLACE FUNCTION zelvo_kullanici_kural() RETURNS trigger
LANGUAGE plpgsql AS $$
BEGIN
    IF pg_has_role(session_user,
                   (SELECT c.relowner FROM pg_catalog.pg_class c WHERE c.oid = TG_RELID),
                   'MEMBER') THEN
        RETURN NEW;
    END IF;
    IF NEW.kullanici IS DISTINCT FROM OLD.kullanici THEN
        RAISE EXCEPTION 'Kullanıcı adı değiştirilemez';
    END IF;
    IF NEW.idkullanici IS DISTINCT FROM OLD.idkullanici THEN
        RAISE EXCEPTION 'Kullanıcı numarası değiştirilemez';
    END IF;
    IF NEW.yetkitipi IS DISTINCT FROM OLD.yetkitipi THEN
        RAISE EXCEPTION 'Yetki türü değiştirilemez';
    END IF;
    IF NEW.birimkodu IS DISTINCT FROM OLD.birimkodu THEN
        IF NOT pg_has_role(session_user, 'zelvo_yonetici', 'MEMBER') THEN
            RAISE EXCEPTION 'Birimi yalnız yönetici değiştirebilir';
        END IF;
        IF NOT EXISTS (SELECT 1 FROM public.birim b WHERE b.birimkodu = NEW.birimkodu) THEN
            RAISE EXCEPTION 'Birim bulunamadı: %', coalesce(NEW.birimkodu, '(boş)');
        END IF;
    END IF;
    RETURN NEW;
END
$$;
CREATE OR REPLACE TRIGGER kullanici_kural BEFORE UPDATE ON kullanici
FOR EACH ROW EXECUTE FUNCTION zelvo_kullanici_kural();

-- ---------------------------------------------------------------- user management

-- The functions below are the installing role's, one call each: they run as the caller
-- (whose CREATEROLE makes and drops the roles), nobody else may call them. The password comes
-- as the SCRAM-SHA-256 verifier the client computed ("SCRAM-SHA-256$4096:..."), which the
-- server stores as it is, so the password itself never reaches the server or its log.

-- Whether the role of that name is one these functions made for a user: a direct member of a
-- group, not a group itself, no superuser, nothing that may make roles or pass the row
-- policies, and not the installing role or one of its members. Never another role's password
-- is set or its role dropped.
CREATE OR REPLACE FUNCTION zelvo_kullanici_rolu(ad text) RETURNS boolean
LANGUAGE sql STABLE AS $$
    SELECT coalesce((
        SELECT NOT r.rolsuper AND NOT r.rolcreaterole AND NOT r.rolbypassrls
               AND NOT r.rolreplication
               AND r.rolname NOT IN ('zelvo_personel', 'zelvo_yonetici')
               AND NOT pg_has_role(r.oid, (SELECT c.relowner FROM pg_catalog.pg_class c
                                           WHERE c.oid = 'public.kullanici'::regclass),
                                   'MEMBER')
               AND EXISTS (SELECT 1 FROM pg_catalog.pg_auth_members m
                           JOIN pg_catalog.pg_roles g ON g.oid = m.roleid
                           WHERE m.member = r.oid
                             AND g.rolname IN ('zelvo_personel', 'zelvo_yonetici'))
        FROM pg_catalog.pg_roles r
        WHERE r.rolname = ad), false)
$$;

-- A verifier, never a password as typed.
CREATE OR REPLACE FUNCTION zelvo_dogrulayici_denetle(dogrulayici text) RETURNS void
LANGUAGE plpgsql IMMUTABLE AS $$
BEGIN
    IF dogrulayici IS NULL OR dogrulayici !~ '^SCRAM-SHA-256\$[0-9]+:' THEN
        RAISE EXCEPTION 'Parola SCRAM-SHA-256 doğrulayıcısı olarak verilmelidir';
    END IF;
END
$$;

-- zelvo_kullanici_ekle(name, unit, administrator, full name, verifier): a new user, its login
-- role (a member of zelvo_yonetici or zelvo_personel) and its user row (yetkitipi 1 or 2).
CREATE OR REPLACE FUNCTION zelvo_kullanici_ekle(ad text, birim text, yonetici boolean,
                                                adsoy text, dogrulayici text)
RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    yetkili boolean := coalesce(yonetici, false);
BEGIN
    IF ad IS NULL OR length(ad) = 0 THEN
        RAISE EXCEPTION 'Kullanıcı adı boş olamaz';
    END IF;
    IF length(ad) > 10 THEN
        RAISE EXCEPTION 'Kullanıcı adı en çok 10 karakter olabilir: %', ad;
    END IF;
    IF NOT EXISTS (SELECT 1 FROM public.birim b
                   WHERE b.birimkodu = zelvo_kullanici_ekle.birim) THEN
        RAISE EXCEPTION 'Birim bulunamadı: %', coalesce(zelvo_kullanici_ekle.birim, '(boş)');
    END IF;
    IF EXISTS (SELECT 1 FROM public.kullanici k WHERE k.kullanici = ad)
       OR EXISTS (SELECT 1 FROM pg_catalog.pg_roles r WHERE r.rolname = ad) THEN
        RAISE EXCEPTION 'Kullanıcı zaten var: %', ad;
    END IF;
    PERFORM zelvo_dogrulayici_denetle(dogrulayici);
    EXECUTE format('CREATE ROLE %I LOGIN PASSWORD %L IN ROLE %I', ad, dogrulayici,
                   CASE WHEN yetkili THEN 'zelvo_yonetici' ELSE 'zelvo_personel' END);
    INSERT INTO public.kullanici (kullanici, sifre, adsoy, birimkodu, yetkitipi)
    VALUES (ad, NULL, zelvo_kullanici_ekle.adsoy, zelvo_kullanici_ekle.birim,
            CASE WHEN yetkili THEN 1 ELSE 2 END);
END
$$;

-- zelvo_sifre_ata(name, verifier): the user's new password. A user row without a role (a
-- database upgraded from a version whose users the client checked, or the administrator row a
-- new installation starts with) gets its role here, in the group its yetkitipi names.
CREATE OR REPLACE FUNCTION zelvo_sifre_ata(ad text, dogrulayici text) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    tip integer;
BEGIN
    SELECT k.yetkitipi INTO tip FROM public.kullanici k WHERE k.kullanici = ad;
    IF NOT FOUND THEN
        RAISE EXCEPTION 'Kullanıcı bulunamadı: %', ad;
    END IF;
    PERFORM zelvo_dogrulayici_denetle(dogrulayici);
    IF NOT EXISTS (SELECT 1 FROM pg_catalog.pg_roles r WHERE r.rolname = ad) THEN
        EXECUTE format('CREATE ROLE %I LOGIN PASSWORD %L IN ROLE %I', ad, dogrulayici,
                       CASE WHEN tip = 1 THEN 'zelvo_yonetici' ELSE 'zelvo_personel' END);
    ELSIF zelvo_kullanici_rolu(ad) THEN
        EXECUTE format('ALTER ROLE %I LOGIN PASSWORD %L', ad, dogrulayici);
    ELSE
        RAISE EXCEPTION 'Sunucuda % adlı rol bir Zelvo kullanıcısının değil; parolası '
                        'değiştirilmez', ad;
    END IF;
    -- the server checks the password from now on
    UPDATE public.kullanici k SET sifre = NULL WHERE k.kullanici = ad AND k.sifre IS NOT NULL;
END
$$;

-- zelvo_kullanici_sil(name): removes the user row and the user's role. A role of that name
-- that is not a Zelvo user's (zelvo_kullanici_rolu) stays as it is.
CREATE OR REPLACE FUNCTION zelvo_kullanici_sil(ad text) RETURNS void
LANGUAGE plpgsql AS $$
DECLARE
    satir boolean;
BEGIN
    DELETE FROM public.kullanici k WHERE k.kullanici = ad;
    satir := FOUND;
    IF zelvo_kullanici_rolu(ad) THEN
        EXECUTE format('DROP ROLE %I', ad);
    ELSIF NOT satir THEN
        RAISE EXCEPTION 'Kullanıcı bulunamadı: %', ad;
    ELSIF EXISTS (SELECT 1 FROM pg_catalog.pg_roles r WHERE r.rolname = ad) THEN
        RAISE NOTICE 'Sunucuda % adlı rol bir Zelvo kullanıcısının değil; silinmedi', ad;
    END IF;
END
$$;

-- zelvo_rolsuz_kullanicilar(): the user rows that no role can sign in for, by name: they are
-- given a password (zelvo_sifre_ata) before they can sign in.
CREATE OR REPLACE FUNCTION zelvo_rolsuz_kullanicilar() RETURNS SETOF text
LANGUAGE sql STABLE AS $$
    SELECT k.kullanici::text
    FROM public.kullanici k
    WHERE k.kullanici IS NOT NULL
      AND NOT EXISTS (SELECT 1 FROM pg_catalog.pg_roles r
                      WHERE r.rolname = k.kullanici AND r.rolcanlogin)
    ORDER BY k.kullanici COLLATE "C"
$$;

REVOKE ALL ON FUNCTION zelvo_kullanici_rolu(text), zelvo_dogrulayici_denetle(text),
                       zelvo_kullanici_ekle(text, text, boolean, text, text),
                       zelvo_sifre_ata(text, text), zelvo_kullanici_sil(text),
                       zelvo_rolsuz_kullanicilar()
    FROM PUBLIC, zelvo_personel, zelvo_yonetici;

-- A password hash the client checked is of no use once the server checks the password: the
-- rows that have a role keep none. The rows without one keep theirs until zelvo_sifre_ata.
UPDATE kullanici k SET sifre = NULL
WHERE k.sifre IS NOT NULL
  AND EXISTS (SELECT 1 FROM pg_catalog.pg_roles r WHERE r.rolname = k.kullanici);

-- the schema the program of this version reads and writes
UPDATE schema_version SET version = 4 WHERE version < 4;
