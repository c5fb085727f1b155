-- Zelvo embedded database: the rows a new installation starts with.
--
-- The student statuses, one unit with its workplace record, the parameter row and one
-- administrator: user name admin, password admin, which the program asks to change at the first
-- login. The password is stored as its Argon2id hash (libsodium's crypto_pwhash_str at the
-- interactive limits), so a database built by hand equals the program's first run.

INSERT INTO statu (kodu, adi) VALUES ('1', 'Staj - AKTİF');
INSERT INTO statu (kodu, adi) VALUES ('2', 'Staj - PASİF');
INSERT INTO statu (kodu, adi) VALUES ('3', 'Staj - TAMAMLADI');

INSERT INTO birim (birimkodu, birimadi) VALUES ('01', 'Mühendislik Fakültesi Dekanlığı');

-- The registration number is the first 21 digits of the 26-digit SGK workplace number:
-- nature 2, branch 8542, unit 01, former unit 01, sequence 1234567, province 006, district 01.
-- The control number and the subcontractor number complete it.
INSERT INTO isyeri (birimkodu, birimadi, isyerisicil, kontrolno, isyeriaracino, isyeriunvani,
                    isyeriadres, isyerivergino, vergidairesi)
VALUES ('01', 'Kuzey Yıldızı Üniversitesi Mühendislik Fakültesi Dekanlığı', '285420101123456700601',
        '12', '000', 'Kuzey Yıldızı Üniversitesi Rektörlüğü',
        'Cumhuriyet Mah. Üniversite Cad. No:12 Çankaya/ANKARA', '1234567890',
        'Ankara Kurumlar Vergi Dairesi');

INSERT INTO Parametre (aktifyil, belgemahiyet, belgeturu, belgeturuyab, isci, isveren,
                       istencikisnedeni, kanunno, sigortakodu,
                       au01, au02, au03, au04, au05, au06, au07, au08, au09, au10, au11, au12)
VALUES ('2026', 'A', '22', '43', 0, 1, '22', '00000', '0',
        33030.00, 33030.00, 33030.00, 33030.00, 33030.00, 33030.00,
        33030.00, 33030.00, 33030.00, 33030.00, 33030.00, 33030.00);

INSERT INTO kullanici (kullanici, sifre, adsoy, birimkodu, email, yetkitipi)
VALUES ('admin',
        '$argon2id$v=19$m=65536,t=2,p=1$kJDewlfTpMrtjpXHKcboFQ$6euOFZLieIE2FFP0h+uyFco6PHjvymRp4OP1MA0F64k',
        'Sistem Yöneticisi', '01', NULL, 1);
