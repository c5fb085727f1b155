-- Zelvo embedded database: row versions.
--
-- The rows the windows store (students, the parameter row, workplace rows, user rows and
-- timesheet rows) carry surum, which the database raises by one at every update, whoever makes
-- it. A window writes a row back only while its version is the one it read
-- (UPDATE ... WHERE key = @key AND surum = @read), so the second of two programs that opened
-- the same row is told instead of silently undoing the first one's change.
--
-- SQLite cannot change NEW in a trigger, so the version is raised by an update of its own after
-- the row's; an update that itself raised it by one (or this trigger's own update, should
-- recursive triggers be switched on) is left alone. That update changes surum alone: the
-- record of changes (06-audit.sql) does not list the column and keeps nothing for it, and the
-- month's change notes (05-monthstate.sql) watch other columns.
--
-- A migration: applied once to a file made by an earlier version, recorded at the end. A new
-- file gets it too, after the schema, so the columns are added here and nowhere else.

ALTER TABLE ogrenci ADD COLUMN surum INTEGER NOT NULL DEFAULT 0;
ALTER TABLE Parametre ADD COLUMN surum INTEGER NOT NULL DEFAULT 0;
ALTER TABLE isyeri ADD COLUMN surum INTEGER NOT NULL DEFAULT 0;
ALTER TABLE kullanici ADD COLUMN surum INTEGER NOT NULL DEFAULT 0;
ALTER TABLE Puantaj ADD COLUMN surum INTEGER NOT NULL DEFAULT 0;

CREATE TRIGGER surum_ogrenci AFTER UPDATE ON ogrenci
WHEN NEW.surum IS NOT OLD.surum + 1
BEGIN
    UPDATE ogrenci SET surum = OLD.surum + 1 WHERE idogrenci = NEW.idogrenci;
END;

CREATE TRIGGER surum_parametre AFTER UPDATE ON Parametre
WHEN NEW.surum IS NOT OLD.surum + 1
BEGIN
    UPDATE Parametre SET surum = OLD.surum + 1 WHERE idparametre = NEW.idparametre;
END;

CREATE TRIGGER surum_isyeri AFTER UPDATE ON isyeri
WHEN NEW.surum IS NOT OLD.surum + 1
BEGIN
    UPDATE isyeri SET surum = OLD.surum + 1 WHERE idisyeri = NEW.idisyeri;
END;

CREATE TRIGGER surum_kullanici AFTER UPDATE ON kullanici
WHEN NEW.surum IS NOT OLD.surum + 1
BEGIN
    UPDATE kullanici SET surum = OLD.surum + 1 WHERE idkullanici = NEW.idkullanici;
END;

CREATE TRIGGER surum_puantaj AFTER UPDATE ON Puantaj
WHEN NEW.surum IS NOT OLD.surum + 1
BEGIN
    UPDATE Puantaj SET surum = OLD.surum + 1 WHERE idpuantaj = NEW.idpuantaj;
END;

-- the schema the program of this version reads and writes
UPDATE zelvo_info SET value = '3' WHERE key = 'schema_version' AND CAST(value AS INTEGER) < 3;
INSERT INTO zelvo_info (key, value) VALUES ('migration:07-rowversion.sql', '1');
