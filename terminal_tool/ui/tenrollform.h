#pragma once

#include <QDialog>

class Tfrmgiris;

class TEnrollForm : public QDialog {
public:
    explicit TEnrollForm(Tfrmgiris& main);

private:
    Tfrmgiris& main_;
};
