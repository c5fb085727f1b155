-- Zelvo demonstration data: interning students of unit 01 in the active year 2026, the same
-- rows for the embedded database and for a PostgreSQL server (the statements suit both).
--
-- Not applied on the first run. Load it into a database made from the 0*.sql scripts:
--   sqlite3 zelvo.db < server/demo.sql
--   psql -h HOST -U zelvo -d zelvo -v ON_ERROR_STOP=1 -1 -f server/demo.sql
--
-- The students cover the cases the monthly work meets: internships filling a whole period,
-- starting or ending inside one, a one-day internship, a passive and a completed student,
-- students of the general health insurance edition (gss = 1), a December period that runs into
-- January, a student with a former surname, a student without dates, and names with every
-- Turkish letter.

INSERT INTO ogrenci (ogrencino, adi, soyadi, ilksoyadi, tckimlikno, ssksicilno, statu,
                     baslangictarihi, bitistarihi, gss, stajili, stajyeri, birimkodu, birimadi,
                     okuladi)
VALUES
-- Exactly the January period, 15 January to 14 February.
('2022101001', 'Ahmet', 'Yılmaz', NULL, '25881399814', '25881399814', '1',
 '2026-01-15', '2026-02-14', 0, 'ANKARA', 'Başkent Elektrik Proje Ltd. Şti.', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
-- Starts before the January period and ends after the February one.
('2022101002', 'Işıl', 'Çağlayan', NULL, '79879730998', '79879730998', '1',
 '2026-01-05', '2026-03-31', 0, 'İSTANBUL', 'Anadolu Yazılım A.Ş.', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
-- Starts inside the January period.
('2022101003', 'İbrahim', 'Şahin', NULL, '21417075344', '21417075344', '1',
 '2026-01-20', '2026-03-10', 0, 'ANKARA', 'Ostim Makine Sanayi A.Ş.', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
-- Ends inside the January period.
('2022101004', 'Gülşah', 'Öztürk', 'Ağaoğlu', '74556815180', '74556815180', '1',
 '2026-01-02', '2026-01-28', 0, 'İZMİR', 'Ege Enerji Dağıtım A.Ş.', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
-- One day.
('2022101005', 'Ömer', 'Ünlü', NULL, '98447294052', '98447294052', '1',
 '2026-02-20', '2026-02-20', 0, 'KONYA', 'Selçuklu Belediyesi Fen İşleri Müdürlüğü', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
-- Passive: left out of every timesheet.
('2022101006', 'Şule', 'Ilgaz', NULL, '65761698750', '65761698750', '2',
 '2026-01-10', '2026-02-28', 0, 'ANKARA', 'Çankaya Yapı Denetim Ltd. Şti.', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
-- Completed: still counted in the periods of the internship.
('2022101007', 'Ayşe', 'Doğan', NULL, '26897684628', '26897684628', '3',
 '2026-02-15', '2026-03-14', 0, 'BURSA', 'Uludağ Otomotiv Yan Sanayi A.Ş.', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
-- Former surname.
('2022101008', 'Zeynep', 'Kılıç', 'Güneş', '88809320840', '88809320840', '1',
 '2026-03-01', '2026-04-30', 0, 'ANKARA', 'Devlet Su İşleri 5. Bölge Müdürlüğü', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
-- Summer internships.
('2022101009', 'Mehmet Çağrı', 'Aydın', NULL, '29672731760', '29672731760', '1',
 '2026-06-15', '2026-07-24', 0, 'ESKİŞEHİR', 'Tülomsaş Lokomotif Fabrikası', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
('2022101010', 'Elif', 'Şimşek', NULL, '88486488734', '88486488734', '1',
 '2026-07-01', '2026-08-11', 0, 'ANKARA', 'Başkent Elektrik Proje Ltd. Şti.', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
('2022101011', 'Uğur', 'Koç', NULL, '76344002994', '76344002994', '1',
 '2026-06-22', '2026-08-28', 0, 'İSTANBUL', 'Marmara Tersane İşletmeleri A.Ş.', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
-- December periods running into January of 2027.
('2022101012', 'Can', 'Erdoğan', NULL, '88753477874', '88753477874', '1',
 '2026-12-01', '2027-01-31', 0, 'ANKARA', 'Ostim Makine Sanayi A.Ş.', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
('2022101013', 'Gökçe', 'Yıldırım', NULL, '86804571762', '86804571762', '1',
 '2026-12-20', '2027-01-10', 0, 'İZMİR', 'Ege Enerji Dağıtım A.Ş.', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
('2022101014', 'Hüseyin', 'Çelik', NULL, '94726714730', '94726714730', '1',
 '2026-12-15', '2027-01-14', 0, 'ANKARA', 'Devlet Su İşleri 5. Bölge Müdürlüğü', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
-- No dates yet: never on a timesheet.
('2022101015', 'Irmak', 'Özdemir', NULL, '61362701028', '61362701028', '1',
 NULL, NULL, 0, NULL, NULL, '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
-- General health insurance edition.
('2022101016', 'İpek', 'Arslan', NULL, '89819331956', '89819331956', '1',
 '2026-01-15', '2026-02-14', 1, 'ANKARA', 'Anadolu Yazılım A.Ş.', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
('2022101017', 'Oğuz', 'Kaya', NULL, '18452059958', '18452059958', '1',
 '2026-01-25', '2026-04-10', 1, 'KAYSERİ', 'Erciyes Isı Sistemleri A.Ş.', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
('2022101018', 'Sıla', 'Güler', 'Tekin', '82837929884', '82837929884', '1',
 '2026-12-01', '2027-01-20', 1, 'ANKARA', 'Çankaya Yapı Denetim Ltd. Şti.', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
('2022101019', 'Çağatay', 'Işık', NULL, '51622948614', '51622948614', '2',
 '2026-02-01', '2026-03-31', 1, 'İSTANBUL', 'Marmara Tersane İşletmeleri A.Ş.', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
-- Autumn internships.
('2022101020', 'Büşra', 'Aksoy', NULL, '72836016104', '72836016104', '1',
 '2026-09-14', '2026-10-15', 0, 'ANTALYA', 'Akdeniz Turizm Yatırımları A.Ş.', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi'),
('2022101021', 'Doğukan', 'İnce', NULL, '15500875416', '15500875416', '1',
 '2026-10-15', '2026-11-14', 0, 'SAMSUN', 'Karadeniz Liman İşletmeleri A.Ş.', '01',
 'Mühendislik Fakültesi Dekanlığı', 'Kuzey Yıldızı Üniversitesi');

-- A staff user of the unit besides the administrator: user name personel, password zelvo2026,
-- stored as its Argon2id hash.
INSERT INTO kullanici (kullanici, sifre, adsoy, birimkodu, email, yetkitipi)
VALUES ('personel',
        '$argon2id$v=19$m=65536,t=2,p=1$uoWRG0QwcSZyAtrVdgq+qQ$/7zHNMQPAMOelzuotXaq259ZdPfQ0t3QdlWaZLQGluM',
        'Fatma Karagöz', '01', 'fatma.karagoz@example.org', 2);
