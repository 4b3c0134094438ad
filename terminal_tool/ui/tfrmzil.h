#pragma once
// The bell window "Zil Saatleri": the 24 bells of the connected terminal, one row each.
// Created once at start and only hidden when closed, so the rows survive between openings.

#include "bell_schedule.h"

#include <QDialog>
#include <array>
#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class Tfrmgiris;

class Tfrmzil : public QDialog {
public:
    explicit Tfrmzil(Tfrmgiris& main);

    // Reads the bell table into the rows.
    void Button1Click();
    // Sends the rows on top of the terminal's current bell table.
    void Button2Click();
    void BitBtn1Click();

    // The rows as the user left them (read on the window thread).
    BellRows rows() const;
    void showBells(const BellList& bells);

    // sa1..sa24, gun1..gun24, sure1..sure24 and the labels "Zil 1:".."Zil 24:" at index n - 1.
    std::array<QLabel*, BellCount> labels{};
    std::array<QLineEdit*, BellCount> sa{};
    std::array<QComboBox*, BellCount> gun{};
    std::array<QLineEdit*, BellCount> sure{};
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* BitBtn1 = nullptr;

protected:
    // The window stays open while its command still uses the terminal link.
    void closeEvent(QCloseEvent* event) override;
    // Opens centred on the desktop.
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    void buildControls();
    // Runs one bell command off the window thread; the three buttons wait for it.
    void runCommand(std::function<void()> work, std::function<void()> done = {});

    Tfrmgiris& main_;
    bool busy_ = false;
};
