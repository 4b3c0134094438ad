-- Adds @people generated persons (default 50000) for measuring the personnel list at the size
-- of a large company. Needs the seed's look-up rows. Card numbers follow the seed's, from 100001.
SET @people = COALESCE(@people, 50000);

INSERT INTO personel (kartid, kartno, ad, soyad, isegiristarihi, ucret, durum, gecisyetki,
  webadres, firmaid, grupid, bolumid, gorevid, servisid, bolgeid, subeid)
SELECT LPAD(5000000 + seq, 10, '0'),
       LPAD(100000 + seq, 6, '0'),
       ELT(1 + seq MOD 24, 'Ahmet', 'Ayşe', 'Mehmet', 'Fatma', 'Mustafa', 'Emine', 'Hüseyin',
           'Hatice', 'İbrahim', 'Zeynep', 'Hasan', 'Elif', 'İsmail', 'Özge', 'Ömer', 'Gülsüm',
           'Yusuf', 'Şerife', 'Murat', 'Çiğdem', 'Uğur', 'Büşra', 'Oğuzhan', 'Işıl'),
       ELT(1 + (seq DIV 24) MOD 20, 'Yılmaz', 'Kaya', 'Demir', 'Şahin', 'Çelik', 'Yıldız',
           'Yıldırım', 'Öztürk', 'Aydın', 'Özdemir', 'Arslan', 'Doğan', 'Kılıç', 'Aslan', 'Çetin',
           'Kara', 'Koç', 'Kurt', 'Özkan', 'Şimşek'),
       DATE_ADD('2000-01-01', INTERVAL seq MOD 8000 DAY),
       20000 + seq MOD 30000,
       IF(seq MOD 7 = 0, 'Pasif', 'Aktif'),
       'Kısıtlı',
       IF(seq MOD 5 = 0, '', LPAD(seq MOD 1000000, 6, '0')),
       1 + seq MOD 2,
       IF(seq MOD 11 = 0, NULL, 1 + seq MOD 4),
       IF(seq MOD 13 = 0, NULL, 1 + seq MOD 5),
       1 + seq MOD 5,
       1 + seq MOD 3,
       1 + seq MOD 3,
       1 + seq MOD 2
FROM seq_1_to_1000000
WHERE seq <= @people;
