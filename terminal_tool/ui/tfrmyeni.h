#pragma once
// The terminal editor "Terminal Ekle-Değiştir": adds a row to table Terminal or changes the
// selected one. It lives as long as the program, so its boxes keep what the last use left.

#include "device_session.h"

#include <QDialog>
#include <functional>
#include <optional>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Tfrmgiris;

class Tfrmyeni : public QDialog {
public:
    explicit Tfrmyeni(Tfrmgiris& main);

    // "Ekle": "tcp/ip" chosen with its box, password "0", empty name, mode "yeni".
    void prepareNew();
    // "Değiştir": mode "guncelle", both boxes hidden, then filled from the row when the
    // lookup found it (nullopt: the boxes keep their last contents).
    void prepareChange(const std::optional<TerminalRecord>& row);
    // Shows the editor modally; when modalHook is set it runs instead of the event loop
    // (the editor is shown, the hook acts on it, and the editor is hidden afterwards).
    void showModally();
    std::function<void(Tfrmyeni&)> modalHook;

    void FormShow();
    void ComboBox1Change();
    void BitBtn2Click(); // "Kaydet"
    void Button1Click(); // "Kapat"

    QString mode; // "yeni" or "guncelle"

    QLineEdit* nameEdit = nullptr;     // "Cihaz" -> Terminal
    QLineEdit* numberEdit = nullptr;   // "Cihaz No" -> TerminalNo
    QComboBox* ComboBox1 = nullptr;    // "Bağlantı Tipi" -> Tip
    QGroupBox* GroupBox1 = nullptr;    // "com port"
    QLineEdit* comPortEdit = nullptr;  // "Com Port" -> ComPort
    QLineEdit* baudEdit = nullptr;     // "Baud" -> ComBaud
    QGroupBox* GroupBox2 = nullptr;    // "tcp/ip"
    QLineEdit* ipEdit = nullptr;       // "ip adres" -> Ip
    QLineEdit* tcpPortEdit = nullptr;  // "tcp port" -> NetPort
    QLineEdit* passwordEdit = nullptr; // "passsword" -> Sifre
    QPushButton* BitBtn2 = nullptr;    // "Kaydet"
    QPushButton* Button1 = nullptr;    // "Kapat"

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showGroups(bool com, bool tcp);

    Tfrmgiris& main_;
};
