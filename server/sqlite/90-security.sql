-- Zelvo embedded database: version 4.
--
-- Version 4 is the shared server's own sign-in (a login role per user, row policies by unit).
-- The embedded database is one file on one workstation, guarded by the system account: its users
-- stay the program's own, their passwords checked by the program against the stored hashes, so
-- there is nothing to add here but the version.
UPDATE zelvo_info SET value = '4' WHERE key = 'schema_version' AND CAST(value AS INTEGER) < 4;
