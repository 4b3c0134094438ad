-- A small company as the attendance software would hold it: Turkish names in every letter the
-- language adds, active and passive people, people without group or department, card numbers
-- with leading zeros. Load with the client's character set utf8mb4 (the server stores latin5).

INSERT INTO grup (id, ad) VALUES (1, 'İdari Personel'), (2, 'Üretim'), (3, 'Güvenlik'),
  (4, 'Şoförler');
INSERT INTO bolum (id, ad) VALUES (1, 'Muhasebe'), (2, 'İnsan Kaynakları'), (3, 'Döküm'),
  (4, 'Çelik Hasır'), (5, 'Sevkiyat');
INSERT INTO gorev (id, ad) VALUES (1, 'Müdür'), (2, 'Şef'), (3, 'Operatör'), (4, 'Güvenlik Görevlisi'),
  (5, 'Aşçı');
INSERT INTO servis (id, ad) VALUES (1, 'Kadıköy Servisi'), (2, 'Gebze Servisi'),
  (3, 'Üsküdar Servisi');
INSERT INTO bolge (id, ad) VALUES (1, 'İstanbul Anadolu'), (2, 'Kocaeli'), (3, 'Ağrı');
INSERT INTO firma (id, ad) VALUES (1, 'Çağ Metal San. ve Tic. A.Ş.'), (2, 'Öz Ilgın Lojistik Ltd. Şti.');

INSERT INTO personel (kartid, kartno, ad, soyad, isegiristarihi, istencikistarihi, ucret, durum,
  gecisyetki, webadres, firmaid, grupid, bolumid, gorevid, servisid, bolgeid, birimid, takimid,
  subeid) VALUES
  ('0004521987', '00012', 'İsmail', 'Şahin', '2009-03-02', NULL, 42000.00, 'Aktif', 'Tam', '123456', 1, 1, 1, 1, 1, 1, NULL, NULL, 1),
  ('0004521988', '00013', 'Ayşe', 'Çelik', '2011-07-18', NULL, 31000.00, 'Aktif', 'Tam', '2580', 1, 1, 2, 2, 1, 1, NULL, NULL, 1),
  ('0004521990', '00015', 'Gökhan', 'Öztürk', '2014-01-06', NULL, 28500.00, 'Aktif', 'Kısıtlı', '9021', 1, 2, 3, 3, 2, 2, 1, 1, 1),
  ('0004521991', '00016', 'Şükrü', 'Ağaoğlu', '2015-05-11', NULL, 27000.00, 'Aktif', 'Kısıtlı', '', 1, 2, 3, 3, 2, 2, 1, 2, 1),
  ('0004521992', '00017', 'Ümran', 'Işık', '2016-09-26', '2023-02-28', 26000.00, 'Pasif', 'Kısıtlı', '4411', 1, 2, 4, 3, 2, 2, 1, 2, 1),
  ('0004521993', '00018', 'Çağrı', 'Güneş', '2017-02-13', NULL, 26500.00, 'Aktif', 'Kısıtlı', '5566', 1, 2, 4, 3, 3, 1, 2, 2, 1),
  ('0004521994', '00019', 'Özlem', 'Doğan', '2018-04-02', NULL, 30000.00, 'Aktif', 'Tam', '7788', 1, 1, 2, 2, 1, 1, NULL, NULL, 1),
  ('0004521995', '00020', 'Işıl', 'Yıldırım', '2019-08-19', NULL, 24000.00, 'Aktif', 'Kısıtlı', '', 2, NULL, NULL, 5, NULL, 3, NULL, NULL, 2),
  ('0004521996', '00021', 'Ilgın', 'Karaağaç', '2020-10-05', '2021-06-30', 23000.00, 'Pasif', 'Kısıtlı', '1357', 2, NULL, 5, 3, 3, 2, NULL, NULL, 2),
  ('0004521997', '00022', 'Hüseyin', 'Erdoğdu', '2021-03-15', NULL, 25500.00, 'Aktif', 'Kısıtlı', '2468', 2, 4, NULL, 3, 3, 2, NULL, NULL, 2),
  ('0004521998', '00023', 'Gülşen', 'Ünal', '2021-11-22', NULL, 25500.00, 'Aktif', 'Kısıtlı', '8642', 1, 3, NULL, 4, NULL, 1, NULL, NULL, 1),
  ('0004521999', '00024', 'Ömer', 'Çakır', '2022-01-10', NULL, 26000.00, 'Aktif', 'Kısıtlı', '0042', 1, 3, 5, 4, 1, 1, NULL, NULL, 1),
  ('', '00025', 'Tuğba', 'Kılıç', '2022-06-01', NULL, 24000.00, 'Aktif', 'Kısıtlı', '', 1, 2, 3, 3, 2, 2, 1, 1, 1),
  ('0004522001', '00102', 'Mehmet Ali', 'Aydın', '2012-09-03', NULL, 35000.00, 'Aktif', 'Tam', '314159', 1, 1, 1, 2, 1, 1, NULL, NULL, 1),
  ('0004522002', '00103', 'Zeynep', 'İnce', '2013-12-16', '2019-12-31', 29000.00, 'Pasif', 'Kısıtlı', '2718', 1, 1, 2, 2, 1, 1, NULL, NULL, 1),
  ('0004522003', '01200', 'Ma''ruf', 'Ekinci', '2023-04-03', NULL, 40000.00, 'Aktif', 'Tam', '1111', 2, 4, 5, 1, NULL, 2, NULL, NULL, 2),
  ('0004522004', '01201', 'Eda', 'Söğüt', '2023-05-08', NULL, 22000.00, 'Aktif', 'Kısıtlı', '6060', 2, 4, 5, 5, 3, 3, NULL, NULL, 2),
  ('2147483648', '01202', 'Cem', 'Ekşioğlu', '2024-02-19', NULL, 22500.00, 'Aktif', 'Kısıtlı', '1234567', 1, 2, 3, 3, 2, 2, 1, 1, 1),
  ('0004522006', '12', 'Oğuz', 'Büyükçınar', '2008-01-02', NULL, 50000.00, 'Aktif', 'Tam', '9999', 1, 1, 1, 1, 1, 1, NULL, NULL, 1),
  ('0004522007', '312', 'İlkay', 'Sarıgül', '2010-06-14', '2012-08-31', 18000.00, 'Pasif', 'Kısıtlı', '', 1, NULL, NULL, 3, NULL, 2, NULL, NULL, 1);

INSERT INTO terminaller (kod, ad, Source, Baudrate_Remote_Port, Device_Num, CommPassword, serino,
  aktarimtipi, cihaztipi, modultipi, secim) VALUES
  ('01', 'Giriş Kapısı', '127.0.0.1', '4370', '1', '0', 'ZD-2911-0001', 'genel', 'SelvanoR', 'pdks', 1),
  ('02', 'Yemekhane Önü', '127.0.0.1', '4371', '2', '0', '', 'genel', 'SelvanoNorvi', 'ymk-2', 1),
  ('03', 'Çelik Hasır Deposu', '192.168.1.203', '4370', '3', '0', '', 'genel', 'Brennsoft', 'gc-2', 0);
