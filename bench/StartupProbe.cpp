// The program's start as its entry makes it, with one line on the output once the window is
// shown with both rigs on-line: the start-up benchmark times the process from outside up to it.

#include <QCoreApplication>
#include <QTimer>
#include <iostream>

#include "ProgramMain.h"
#include "ZuvozeRaro_Unit.h"

int main(int argc, char** argv) {
    return ProgramMain(argc, argv, [](TForm1& form) {
        // Looks every millisecond: the panels raise no signal of their own.
        auto* look = new QTimer(&form);
        look->setTimerType(Qt::PreciseTimer);
        QObject::connect(look, &QTimer::timeout, [&form, look] {
            if (form.isVisible() && form.RigPanel1->ON() && form.RigPanel2->ON()) {
                std::cout << "on-line" << std::endl;
                look->stop();
                QCoreApplication::exit(0);
            }
        });
        look->start(1);
    });
}
