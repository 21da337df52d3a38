// The about box, which is also the program's help.
#pragma once

#include <QDialog>
#include <QPointer>

class QLabel;

namespace trevalon::shell {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    // Loads the one about box when it is not loaded, otherwise brings it to the
    // front; shown without waiting and without an owner. Closing it unloads it.
    static frmAbout* ShowOrRaise();
    // The loaded about box, or null.
    static frmAbout* Loaded();

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLabel* Label8;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label11;
    QLabel* Label12;

private:
    explicit frmAbout(QWidget* parent = nullptr);

    static QPointer<frmAbout> loaded_;
};

}  // namespace trevalon::shell
