-- Tables of the PDKS database that cardpush reads (personnel and its look-ups) and the one it
-- maintains (terminaller). The attendance software keeps its data in latin5 (Turkish).
-- Load into an empty database made with: CHARACTER SET latin5 COLLATE latin5_turkish_ci.

SET default_storage_engine = InnoDB;

CREATE TABLE grup (
  id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  ad VARCHAR(60) NOT NULL DEFAULT ''
) DEFAULT CHARSET = latin5 COLLATE = latin5_turkish_ci;

CREATE TABLE bolum LIKE grup;
CREATE TABLE gorev LIKE grup;
CREATE TABLE servis LIKE grup;
CREATE TABLE bolge LIKE grup;
CREATE TABLE firma LIKE grup;

CREATE TABLE personel (
  id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  kartid VARCHAR(20) NOT NULL DEFAULT '',
  kartno VARCHAR(20) NOT NULL DEFAULT '',
  ad VARCHAR(50) NOT NULL DEFAULT '',
  soyad VARCHAR(50) NOT NULL DEFAULT '',
  isegiristarihi DATE NULL,
  istencikistarihi DATE NULL,
  ucret DECIMAL(12, 2) NULL,
  durum VARCHAR(10) NOT NULL DEFAULT 'Aktif',
  gecisyetki VARCHAR(20) NULL,
  webadres VARCHAR(50) NULL,
  firmaid INT NULL,
  grupid INT NULL,
  bolumid INT NULL,
  gorevid INT NULL,
  servisid INT NULL,
  bolgeid INT NULL,
  birimid INT NULL,
  takimid INT NULL,
  subeid INT NULL,
  KEY personel_kartno (kartno),
  KEY personel_durum (durum)
) DEFAULT CHARSET = latin5 COLLATE = latin5_turkish_ci;

CREATE TABLE terminaller (
  id INT NOT NULL AUTO_INCREMENT PRIMARY KEY,
  kod VARCHAR(10) NOT NULL DEFAULT '',
  ad VARCHAR(60) NOT NULL DEFAULT '',
  Source VARCHAR(60) NOT NULL DEFAULT '',
  Baudrate_Remote_Port VARCHAR(10) NOT NULL DEFAULT '',
  Device_Num VARCHAR(10) NOT NULL DEFAULT '',
  CommPassword VARCHAR(20) NOT NULL DEFAULT '',
  serino VARCHAR(40) NOT NULL DEFAULT '',
  aktarimtipi VARCHAR(20) NOT NULL DEFAULT '',
  cihaztipi VARCHAR(20) NOT NULL DEFAULT '',
  modultipi VARCHAR(20) NOT NULL DEFAULT '',
  secim TINYINT(1) NOT NULL DEFAULT 0,
  -- A column of the attendance software that cardpush leaves alone.
  sonaktarim DATETIME NULL
) DEFAULT CHARSET = latin5 COLLATE = latin5_turkish_ci;
