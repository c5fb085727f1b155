-- Zelvo server database (PostgreSQL): the rows a new installation starts with.
--
-- The student statuses, one unit with its workplace record, the parameter row and one
-- administrator: user name admin, password admin, which the program asks to change at the first
-- login.
-- A row that is already there is left as it is, so the script may run again.

INSERT INTO statu (kodu, adi) VALUES
    ('1', 'Staj - AKTİF'),
    ('2', 'Staj - PASİF'),
    ('3', 'Staj - TAMAMLADI')
ON CONFLICT (kodu) DO NOTHING;

INSERT INTO birim (birimkodu, birimadi) VALUES ('01', 'Mühendislik Fakültesi Dekanlığı')
ON CONFLICT (birimkodu) DO NOTHING;

-- The registration number is the first 21 digits of the 26-digit SGK workplace number:
-- nature 2, branch 8542, unit 01, former unit 01, sequence 1234567, province 006, district 01.
-- The control number and the subcontractor number complete it.
INSERT INTO isyeri (birimkodu, birimadi, isyerisicil, kontrolno, isyeriaracino, isyeriunvani,
                    isyeriadres, isyerivergino, vergidairesi)
SELECT '01', 'Kuzey Yıldızı Üniversitesi Mühendislik Fakültesi Dekanlığı', '285420101123456700601',
       '12', '000', 'Kuzey Yıldızı Üniversitesi Rektörlüğü',
       'Cumhuriyet Mah. Üniversite Cad. No:12 Çankaya/ANKARA', '1234567890',
       'Ankara Kurumlar Vergi Dairesi'
WHERE NOT EXISTS (SELECT 1 FROM isyeri WHERE birimkodu = '01');

INSERT INTO parametre (aktifyil, belgemahiyet, belgeturu, belgeturuyab, isci, isveren,
                       istencikisnedeni, kanunno, sigortakodu,
                       au01, au02, au03, au04, au05, au06, au07, au08, au09, au10, au11, au12)
SELECT '2026', 'A', '22', '43', 0, 1, '22', '00000', '0',
       33030.00, 33030.00, 33030.00, 33030.00, 33030.00, 33030.00,
       33030.00, 33030.00, 33030.00, 33030.00, 33030.00, 33030.00
WHERE NOT EXISTS (SELECT 1 FROM parametre);

-- The password is stored as its Argon2id hash (libsodium's crypto_pwhash_str), the same string
-- as on the embedded database.
INSERT INTO kullanici (kullanici, sifre, adsoy, birimkodu, email, yetkitipi)
VALUES ('admin',
        '$argon2id$v=19$m=65536,t=2,p=1$kJDewlfTpMrtjpXHKcboFQ$6euOFZLieIE2FFP0h+uyFco6PHjvymRp4OP1MA0F64k',
        'Sistem Yöneticisi', '01', NULL, 1)
ON CONFLICT (kullanici) DO NOTHING;
